// master, slave, reset --manual and autofill: the Manual Setting window opened
// (it shows its report), one button pressed, the window closed.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonText.h"
#include "res/ControlIds.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

#include <array>
#include <vector>

namespace nw::cli {

using namespace id::manual;

namespace {

constexpr std::array<Outcome (CManualDlg::*)(), 4> kUseHandlers = {
    &CManualDlg::OnCheckUse1, &CManualDlg::OnCheckUse2, &CManualDlg::OnCheckUse3,
    &CManualDlg::OnCheckUse4};

// Ticks the response-disable box when the option asks for it.
void TickDisable(CTerminalHost& host, bool disable) {
    if (disable)
        host.SetCheck(kCheckDisableResponse, true);
}

} // namespace

int RunMaster(CCliSession& session) {
    const CliOptions& o = session.Options();
    return ExitStatus(session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
        for (std::size_t k = 0; k < o.slaves.size(); ++k) {
            if (!o.slaves[k])
                continue;
            host.SetCheck(kUseChecks[k], true); // a click ticks the box, then its handler runs
            (dlg.*kUseHandlers[k])();
            host.Type(kSlaveEdits[k], *o.slaves[k]);
        }
        if (o.mode == ModeChoice::MultiDrop)
            dlg.OnRadioMultiDrop();
        else if (o.mode == ModeChoice::NodeSwitching)
            dlg.OnRadioNodeSwitching();
        TickDisable(host, o.disableResponse);
        return dlg.OnButtonMasterSet();
    }));
}

int RunSlave(CCliSession& session) {
    const CliOptions& o = session.Options();
    return ExitStatus(session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
        host.Type(kEditMaster, o.masterAddress);
        TickDisable(host, o.disableResponse);
        return dlg.OnButtonSlaveSet();
    }));
}

int RunManualReset(CCliSession& session) {
    return ExitStatus(session.RunManualWindow(
        [](CManualDlg& dlg, CTerminalHost&) { return dlg.OnButtonFactoryReset(); }));
}

int RunAutoFill(CCliSession& session) {
    std::vector<std::string> slaves;
    std::vector<bool> use;
    std::vector<std::string> unread;
    bool disable = false;
    bool nodeSwitching = false;
    const Outcome outcome = session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
        const Outcome filled = dlg.OnButtonAutoFill();
        for (std::size_t k = 0; k < 4; ++k) {
            slaves.push_back(host.Text(kSlaveEdits[k]));
            use.push_back(host.Checked(kUseChecks[k]));
        }
        disable = host.Checked(kCheckDisableResponse);
        nodeSwitching = host.Checked(kRadioNodeSwitching);
        unread = dlg.m_unreadRegisters;
        return filled;
    });
    // Values only where the registers were read (some of them may not have been).
    const bool read =
        outcome.Succeeded() || (outcome.kind == OutcomeKind::Failed && !unread.empty());

    CTerminalConsole& console = session.Console();
    if (session.Options().json) {
        Json json;
        json["ok"] = outcome.Succeeded();
        if (read) {
            json["slaves"] = slaves;
            json["use"] = use;
            json["disableResponse"] = disable;
            json["mode"] = nodeSwitching ? "node-switching" : "multi-drop";
            json["unread"] = unread;
        }
        console.Result(JsonText(json));
        return ExitStatus(outcome);
    }
    if (!read)
        return ExitStatus(outcome);
    for (std::size_t k = 0; k < slaves.size(); ++k)
        console.Result("Slave" + std::to_string(k + 1) + ": " + slaves[k]);
    console.Result(std::string("Disable (OK, ERROR, CONNET, DISCONNET Message): ") +
                   (disable ? "on" : "off"));
    console.Result(nodeSwitching ? "Mode: Node Switching Mode" : "Mode: Multi-Drop Mode");
    if (!unread.empty())
        console.Result(outcome.message);
    return ExitStatus(outcome);
}

} // namespace nw::cli
