#include "app/win32/AboutBox.h"

#include "app/win32/Text.h"
#include "res/Strings.h"

namespace nw::win {

CAboutBox::CAboutBox(CHostContext& context)
    : CTemplateDialog(*res::FindTemplate(res::kAboutBox), context) {}

void CAboutBox::OnInitDialog() {
    // The version line is longer than its static is wide in any font: grow
    // the static downwards so the wrapped date shows instead of being cut.
    const std::wstring line = Widen(res::kAboutVersionLine);
    for (HWND c = GetWindow(Hwnd(), GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t text[128] = {};
        GetWindowTextW(c, text, 128);
        if (line != text)
            continue;
        RECT r{};
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
        RECT need{0, 0, r.right - r.left, 0};
        HDC dc = GetDC(c);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(c, WM_GETFONT, 0, 0)));
        DrawTextW(dc, line.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        SelectObject(dc, old);
        ReleaseDC(c, dc);
        if (need.bottom > r.bottom - r.top)
            SetWindowPos(c, nullptr, 0, 0, r.right - r.left, need.bottom,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Center();
}

} // namespace nw::win
