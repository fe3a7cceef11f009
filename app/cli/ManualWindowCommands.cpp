// master, slave, reset --manual and autofill: the Manual Setting window opened
// (it shows its report), one button pressed, the window closed.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonObject.h"
#include "res/ControlIds.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

#include <array>
#include <vector>

namespace nw::cli {

using namespace id::manual;

namespace {

constexpr std::array<void (CManualDlg::*)(), 4> kUseHandlers = {
    &CManualDlg::OnCheckUse1, &CManualDlg::OnCheckUse2, &CManualDlg::OnCheckUse3,
    &CManualDlg::OnCheckUse4};

bool LastBoxIs(const CTerminalHost& host, const char* text) {
    return !host.Boxes().empty() && host.Boxes().back() == text;
}

// Ticks the response-disable box when the option asks for it.
void TickDisable(CTerminalHost& host, bool disable) {
    if (disable)
        host.SetCheck(kCheckDisableResponse, true);
}

} // namespace

int RunMaster(CCliSession& session) {
    const CliOptions& o = session.Options();
    bool success = false;
    session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
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
        dlg.OnButtonMasterSet();
        success = LastBoxIs(host, msg::kMasterSuccess);
    });
    return success ? kExitSuccess : kExitFailure;
}

int RunSlave(CCliSession& session) {
    const CliOptions& o = session.Options();
    bool success = false;
    session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
        host.Type(kEditMaster, o.masterAddress);
        TickDisable(host, o.disableResponse);
        dlg.OnButtonSlaveSet();
        success = LastBoxIs(host, msg::kSlaveSuccess);
    });
    return success ? kExitSuccess : kExitFailure;
}

int RunManualReset(CCliSession& session) {
    bool success = false;
    session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
        dlg.OnButtonFactoryReset();
        success =
            !LastBoxIs(host, msg::kResetError) && host.Text(kStaticInfo) != msg::kCanNotFoundManual;
    });
    return success ? kExitSuccess : kExitFailure;
}

int RunAutoFill(CCliSession& session) {
    bool success = false;
    std::vector<std::string> slaves;
    std::vector<bool> use;
    bool disable = false;
    bool nodeSwitching = false;
    session.RunManualWindow([&](CManualDlg& dlg, CTerminalHost& host) {
        dlg.OnButtonAutoFill();
        success = !LastBoxIs(host, msg::kFactoryResetAndCheck);
        for (std::size_t k = 0; k < 4; ++k) {
            slaves.push_back(host.Text(kSlaveEdits[k]));
            use.push_back(host.Checked(kUseChecks[k]));
        }
        disable = host.Checked(kCheckDisableResponse);
        nodeSwitching = host.Checked(kRadioNodeSwitching);
    });
    if (!success)
        return kExitFailure;

    CTerminalConsole& console = session.Console();
    if (session.Options().json) {
        console.Result(CJsonObject()
                           .Add("slaves", slaves)
                           .Add("use", use)
                           .Add("disableResponse", disable)
                           .Add("mode", nodeSwitching ? "node-switching" : "multi-drop")
                           .Text());
        return kExitSuccess;
    }
    for (std::size_t k = 0; k < slaves.size(); ++k)
        console.Result("Slave" + std::to_string(k + 1) + ": " + slaves[k]);
    console.Result(std::string("Disable (OK, ERROR, CONNET, DISCONNET Message): ") +
                   (disable ? "on" : "off"));
    console.Result(nodeSwitching ? "Mode: Node Switching Mode" : "Mode: Multi-Drop Mode");
    return kExitSuccess;
}

} // namespace nw::cli
