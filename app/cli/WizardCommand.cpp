// wizard: the guided setting, one line of input per button press.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "res/ControlIds.h"
#include "ui/Messages.h"

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
    if (console.ErrIsTerminal())
        console.Note("Enter (or \"next\") presses Start/Next/Retry; also restart, reset, "
                     "check, quit.");

    std::string line;
    while (std::getline(in, line)) {
        const std::string command = Trimmed(line);
        if (command.empty() || command == "next")
            dlg.OnButtonStart();
        else if (command == "restart")
            dlg.OnButtonRestart();
        else if (command == "reset")
            dlg.OnButtonFactoryReset();
        else if (command == "check")
            dlg.OnButtonCheck();
        else if (command == "quit")
            break;
        else
            console.Note("unknown wizard command: " + command +
                         " (next, restart, reset, check, quit)");
    }
    return session.Host().LastPrintedMessage() == msg::kMultiComplete ? kExitSuccess : kExitFailure;
}

} // namespace nw::cli
