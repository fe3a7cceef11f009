// The host interface: what the window logic needs from a window, addressed by
// control id. The desktop front end, the terminal front end and the tests'
// recording host implement it; the logic never sees a toolkit.
#pragma once

#include "protocol/Pacer.h"

#include <string>

namespace nw {

class CSetupDlg;

class IHost : public IPacer {
  public:
    ~IHost() override = default;

    virtual void EnableControl(int id, bool enable) = 0;
    // Caption of a button, text of a static or an edit box.
    virtual void SetText(int id, const std::string& text) = 0;
    // The window text of an edit box or of a combo box's edit field.
    virtual std::string GetText(int id) = 0;
    // Check state of a check box or radio button, set directly: no click
    // handler runs.
    virtual void SetCheck(int id, bool checked) = 0;
    virtual bool GetCheck(int id) = 0;

    // Combo boxes: the list and its selection.
    virtual void ComboAdd(int id, const std::string& text) = 0;
    virtual void ComboSelect(int id, int index) = 0;
    // Text of the selected list item; empty when no item is selected.
    virtual std::string ComboSelectedText(int id) = 0;

    // Picture pages by template number.
    virtual void ShowPicture(int templateId, bool show) = 0;

    // A modal message box with only an OK button; returns when dismissed.
    // `detail` (may be empty) is extra text a front end may show smaller.
    virtual void MessageBox(const std::string& text, const std::string& detail = {}) = 0;

    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Called once at the end of every push of members to controls, after the
    // pushed values reached the controls.
    virtual void DataPushed() {}

    // Main window only: opens the Manual Setting window modally for `owner`
    // and returns when it closes.
    virtual void RunManualWindow(CSetupDlg& owner) = 0;
    // Main window only: runs the about box modally.
    virtual void RunAboutBox() {}
};

// Holds the wait cursor for a scope.
class CWaitCursor {
  public:
    explicit CWaitCursor(IHost& host) : m_host(host) { m_host.BeginWaitCursor(); }
    ~CWaitCursor() { m_host.EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

  private:
    IHost& m_host;
};

} // namespace nw
