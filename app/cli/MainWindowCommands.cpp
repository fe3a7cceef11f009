// ports, check, detect and reset: the main window's buttons.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonObject.h"
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"
#include "ui/Messages.h"

namespace nw::cli {

namespace {

constexpr char kDetected[] = "OLMA detected.";

// The value of a report line: the text after its "Label: ".
std::string ValueOf(const std::string& line) {
    const auto colon = line.find(": ");
    return colon == std::string::npos ? line : line.substr(colon + 2);
}

std::string CheckJson(const CSetupDlg& dlg) {
    const InfoLines& info = dlg.m_info;
    CJsonObject json;
    json.Add("detected", true)
        .Add("name", ValueOf(info.m_strInfoName))
        .Add("address", ValueOf(info.m_strInfoAddress))
        .Add("mode", ValueOf(info.m_strInfoMode))
        .Add("flowControl", ValueOf(info.m_strInfoFlow))
        .Add("status", ValueOf(info.m_strInfoStatus));
    // Two lines, or the single "Authentication: ?" when the adapter gave neither.
    const std::string& security = info.m_strInfoSecurity;
    const auto newline = security.find('\n');
    json.Add("authentication", ValueOf(security.substr(0, newline)));
    if (newline == std::string::npos)
        json.AddNull("encryption");
    else
        json.Add("encryption", ValueOf(security.substr(newline + 1)));
    json.Add("commandResponse", ValueOf(info.m_strInfoResponse)).Add("report", dlg.m_strReport);
    return json.Text();
}

} // namespace

int RunPorts(const CliEnv& env, CTerminalConsole& console) {
    CSerialEnum ports(env.sysRoot, env.devRoot);
    ports.Refresh();
    for (const CComPortInfo& port : ports.m_aPorts)
        console.Result(port.m_strFriendlyName);
    return kExitSuccess;
}

int RunCheck(CCliSession& session) {
    session.Dlg().OnButtonCheck();
    const auto& boxes = session.Host().Boxes();
    const bool detected = !boxes.empty() && boxes.back() != msg::kNotDetected;
    if (session.Options().json)
        session.Console().Result(detected ? CheckJson(session.Dlg())
                                          : CJsonObject().Add("detected", false).Text());
    return detected ? kExitSuccess : kExitFailure;
}

int RunDetect(CCliSession& session) {
    CSetupDlg& dlg = session.Dlg();
    int detection = -1;
    int multi = -1;
    {
        CWaitCursor wait(session.Host());
        detection = dlg.DetectDevice();
        if (detection == 1)
            multi = dlg.CheckMultiConnection();
    }
    if (session.Options().json) {
        CJsonObject json;
        json.Add("detected", detection == 1);
        if (detection == 1)
            json.Add("multiConnection", multi == 1);
        else
            json.AddNull("multiConnection");
        session.Console().Result(json.Text());
    } else if (detection != 1) {
        session.Console().Result(msg::kNotDetected);
    } else {
        session.Console().Result(multi == 1 ? kDetected : msg::kNoMulti);
    }
    return detection == 1 && multi == 1 ? kExitSuccess : kExitFailure;
}

int RunReset(CCliSession& session) {
    session.Dlg().OnButtonFactoryReset();
    const bool success = session.Host().Boxes().empty() &&
                         session.Host().Text(id::main::kStaticMessage) == msg::kResetSuccess;
    return success ? kExitSuccess : kExitFailure;
}

} // namespace nw::cli
