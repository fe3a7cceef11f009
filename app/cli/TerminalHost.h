// A window of the terminal front end: keeps the state of its controls (enabled,
// texts, checks, combo lists and selections) so the window
// logic reads back what it set and what the command "typed", and prints what
// the desktop window would show. The main window prints its message area
// (1030) when the text changes, its message boxes and its picture pages; the
// Manual Setting window prints every text set on its information area (1025)
// and its message boxes. Nothing is printed until Echo(true): the texts a
// window shows while it is being set up are not part of a command's output.
#pragma once

#include "app/cli/TerminalConsole.h"
#include "protocol/Outcome.h"
#include "ui/Host.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace nw {
class CManualDlg;
}

namespace nw::cli {

class CTerminalHost : public IHost {
  public:
    enum class Role { Main, Manual };

    // Controls start enabled or disabled as the window's template makes them.
    CTerminalHost(Role role, CTerminalConsole& console, IPacer& pacer);

    // IHost
    void Pause(std::uint32_t ms) override { m_pacer.Pause(ms); }
    std::optional<double> PauseUntil(std::uint32_t ms, IAwaited& awaited) override {
        return m_pacer.PauseUntil(ms, awaited);
    }
    double PauseScale() const override { return m_pacer.PauseScale(); }
    void EnableControl(int id, bool enable) override { m_enabled[id] = enable; }
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) override { return Text(id); }
    void SetCheck(int id, bool checked) override { m_check[id] = checked; }
    bool GetCheck(int id) override { return Checked(id); }
    void ComboAdd(int id, const std::string& text) override { m_combo[id].push_back(text); }
    void ComboSelect(int id, int index) override;
    std::string ComboSelectedText(int id) override;
    void ShowPicture(int templateId, bool show) override;
    void MessageBox(const std::string& text, const std::string& detail) override;
    void BeginWaitCursor() override { m_console.BeginWait(); }
    void EndWaitCursor() override { m_console.EndWait(); }
    void RunManualWindow(CSetupDlg& owner) override;

    void Echo(bool on) { m_echo = on; }

    // A button press of the wizard: at its end the message area's text is
    // printed once more if the press printed none, so each press ends with
    // its final message even when that did not change.
    void BeginPress() { m_pressPrinted = false; }
    void EndPress();

    // The user types into an edit box or a combo box's edit field.
    void Type(int id, const std::string& text) { m_text[id] = text; }
    // Picks the list item of combo `id` whose text is `text`; false if none.
    bool ComboPick(int id, const std::string& text);

    // What the Manual Setting window does once open (its report ended as
    // `opened`), on its own host; the window closes when it returns.
    std::function<void(CManualDlg&, CTerminalHost&, const Outcome& opened)> onManualWindow;

    std::string Text(int id) const;
    bool Checked(int id) const;
    bool Enabled(int id) const;

  private:
    Role m_role;
    CTerminalConsole& m_console;
    IPacer& m_pacer;
    bool m_echo = false;
    std::map<int, bool> m_enabled;
    std::map<int, std::string> m_text;
    std::map<int, bool> m_check;
    std::map<int, std::vector<std::string>> m_combo;
    std::map<int, int> m_comboSel;
    bool m_pressPrinted = false;
};

} // namespace nw::cli
