// The host interface on a dialog window: the window logic's calls, addressed
// by control id, applied to the dialog's controls. Pauses keep the windows
// painted while input waits; message boxes are modal with only OK; the wait
// cursor shows only while an operation runs.
#pragma once

#include "app/win32/HostContext.h"
#include "ui/Host.h"

#include "app/win32/Win32.h"

#include <functional>
#include <map>

namespace nw::win {

class CWin32Host : public IHost {
  public:
    explicit CWin32Host(CHostContext& context) : m_context(context) {}

    // The dialog whose controls the calls address; set once it exists.
    void Attach(HWND dialog) { m_dialog = dialog; }
    HWND Dialog() const { return m_dialog; }

    // IHost
    void Pause(std::uint32_t ms) override;
    std::optional<double> PauseUntil(std::uint32_t ms, IAwaited& awaited) override;
    void EnableControl(int id, bool enable) override;
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) override;
    void SetCheck(int id, bool checked) override;
    bool GetCheck(int id) override;
    void ComboAdd(int id, const std::string& text) override;
    void ComboSelect(int id, int index) override;
    std::string ComboSelectedText(int id) override;
    void ShowPicture(int templateId, bool show) override;
    void MessageBox(const std::string& text, const std::string& detail) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RunManualWindow(CSetupDlg& owner) override;
    void RunAboutBox() override;

    // The picture pages this host shows and hides, by template number.
    void AddPicture(int templateId, HWND page) { m_pictures[templateId] = page; }
    // What the main window does for the Manual Setting window and the about box.
    std::function<void(CSetupDlg&)> onRunManualWindow;
    std::function<void()> onRunAboutBox;

    CHostContext& Context() { return m_context; }

  private:
    HWND Control(int id) const { return GetDlgItem(m_dialog, id); }

    CHostContext& m_context;
    HWND m_dialog = nullptr;
    std::map<int, HWND> m_pictures;
};

} // namespace nw::win
