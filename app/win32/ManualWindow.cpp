#include "app/win32/ManualWindow.h"

#include "res/Strings.h"

namespace nw::win {

CManualWindow::CManualWindow(CHostContext& context, CSetupDlg& main)
    : CTemplateDialog(*res::FindTemplate(res::kManualWindow), context), m_host(context),
      m_dlg(main, m_host) {}

void CManualWindow::Run(HWND owner) {
    RunModal(owner);
    m_idle.reset();
}

void CManualWindow::OnInitDialog() {
    m_host.Attach(Hwnd());
    HINSTANCE instance = Context().instance;
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(res::kIconApp))));
    Center();
    RunOperation([this] { m_dlg.OnInitDialog(); }); // the report, under the hourglass
    // Open and idle, the window waits for the user: no hourglass for the
    // count the main window keeps raised meanwhile.
    m_idle.emplace(Context().cursor);
    if (onOpened)
        PostMessageW(Hwnd(), WM_APP, 0, 0); // once the modal loop runs
}

bool CManualWindow::OnCommand(int id, int code) {
    return code == BN_CLICKED && RunClickHandler(m_dlg, kManualDlgHandlers, id);
}

bool CManualWindow::OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) {
    if (message != WM_APP || !onOpened)
        return false;
    onOpened(*this);
    result = TRUE;
    return true;
}

} // namespace nw::win
