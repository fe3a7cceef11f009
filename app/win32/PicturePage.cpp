#include "app/win32/PicturePage.h"

#include "app/win32/PictureBitmap.h"

namespace nw::win {

CPicturePage::CPicturePage(const res::DialogTemplate& tmpl, CHostContext& context)
    : CTemplateDialog(tmpl, context) {}

CPicturePage::~CPicturePage() {
    if (Hwnd() != nullptr)
        DestroyWindow(Hwnd()); // before the bitmap it shows goes
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
}

void CPicturePage::OnInitDialog() {
    const res::PicturePage* page = res::FindPicturePage(Template().id);
    HWND picture = GetWindow(Hwnd(), GW_CHILD); // the page's one control
    if (page == nullptr || picture == nullptr)
        return;
    m_bitmap = DrawPictureBitmap(*page);
    SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bitmap));
}

} // namespace nw::win
