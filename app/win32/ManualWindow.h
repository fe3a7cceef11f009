// The Manual Setting window (template 166) around its logic: its clicks go
// to the logic's handlers, its host applies the logic's calls to these
// controls. It works on the main window's port and state through the main
// window's logic.
#pragma once

#include "app/win32/TemplateDialog.h"
#include "app/win32/Win32Host.h"
#include "ui/ManualDlg.h"

#include <functional>
#include <optional>

namespace nw::win {

class CManualWindow : public CTemplateDialog {
  public:
    CManualWindow(CHostContext& context, CSetupDlg& main);

    // Runs the window modally for `owner`: its initialisation reads the
    // attached adapter, then it waits for the user until closed.
    void Run(HWND owner);

    CManualDlg& Logic() { return m_dlg; }
    CWin32Host& Host() { return m_host; }
    // Tests only: runs once the window is initialised, inside its modal loop.
    std::function<void(CManualWindow&)> onOpened;

  protected:
    void OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    CWin32Host m_host;
    CManualDlg m_dlg;
    // From the end of the opening report until the window closes.
    std::optional<CWaitCursorState::IdleScope> m_idle;
};

} // namespace nw::win
