// wizard: the guided setting, one line of input per button press.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "res/ControlIds.h"

#include <string>

namespace nw::cli {

namespace {

std::string Trimmed(const std::string& line) {
    const char* space = " \t\r\n\f\v";
    const auto first = line.find_first_not_of(space);
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(space) - first + 1);
}

} // namespace

int RunWizard(CCliSession& session, std::istream& in) {
    const CliOptions& o = session.Options();
    CSetupDlg& dlg = session.Dlg();
    CTerminalConsole& console = session.Console();

    if (o.slaveCount == 3)
        dlg.OnRadio1To3();
    else if (o.slaveCount == 4)
        dlg.OnRadio1To4();
    else
        dlg.OnRadio1To2();
    if (o.mode == ModeChoice::NodeSwitching)
        dlg.OnRadioNodeSwitching();
    else
        dlg.OnRadioMultiDrop();
    if (o.disableResponse)
        session.Host().SetCheck(id::main::kCheckDisableResponse, true);
    dlg.m_verifyEachStep = o.verify;
    if (console.ErrIsTerminal())
        console.Note("Enter (or \"next\") presses Start/Next/Retry; also restart, reset, "
                     "check, quit.");

    // The wizard has set the network when its last press that ran the
    // wizard completed the master step; a restart or a reset undoes that,
    // a check leaves it.
    bool complete = false;
    CTerminalHost& host = session.Host();
    using Handler = Outcome (CSetupDlg::*)();
    struct Button {
        const char* word;
        int id;
        Handler handler;
    };
    const Button buttons[] = {
        {"next", id::main::kButtonStart, &CSetupDlg::OnButtonStart},
        {"restart", id::main::kButtonRestart, &CSetupDlg::OnButtonRestart},
        {"reset", id::main::kButtonFactoryReset, &CSetupDlg::OnButtonFactoryReset},
        {"check", id::main::kButtonCheck, &CSetupDlg::OnButtonCheck}};
    std::string line;
    while (std::getline(in, line)) {
        std::string command = Trimmed(line);
        if (command.empty())
            command = "next";
        if (command == "quit")
            break;
        const Button* button = nullptr;
        for (const Button& b : buttons) {
            if (command == b.word)
                button = &b;
        }
        if (button == nullptr) {
            console.Note("unknown wizard command: " + command +
                         " (next, restart, reset, check, quit)");
            continue;
        }
        // A disabled button cannot be pressed (Restart, before Start was).
        if (!host.Enabled(button->id)) {
            console.Note(command + ": the button is not available now");
            continue;
        }
        host.BeginPress();
        const Outcome outcome = (dlg.*button->handler)();
        host.EndPress();
        if (button->handler == &CSetupDlg::OnButtonStart)
            complete = outcome.Succeeded() && dlg.m_nStep == 0;
        else if (button->handler != &CSetupDlg::OnButtonCheck)
            complete = false;
    }
    return complete ? kExitSuccess : kExitFailure;
}

} // namespace nw::cli
