// check, detect and reset: the main window's buttons.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonText.h"
#include "ui/Messages.h"

namespace nw::cli {

namespace {

constexpr char kDetected[] = "OLMA detected.";

// The value of a report line: the text after its "Label: ".
std::string ValueOf(const std::string& line) {
    const auto colon = line.find(": ");
    return colon == std::string::npos ? line : line.substr(colon + 2);
}

Json CheckJson(const CSetupDlg& dlg) {
    const InfoLines& info = dlg.m_info;
    Json json;
    json["ok"] = true;
    json["detected"] = true;
    json["name"] = ValueOf(info.m_strInfoName);
    json["address"] = ValueOf(info.m_strInfoAddress);
    json["mode"] = ValueOf(info.m_strInfoMode);
    json["flowControl"] = ValueOf(info.m_strInfoFlow);
    json["status"] = ValueOf(info.m_strInfoStatus);
    // Two lines, or the single "Authentication: ?" when the adapter gave neither.
    const std::string& security = info.m_strInfoSecurity;
    const auto newline = security.find('\n');
    json["authentication"] = ValueOf(security.substr(0, newline));
    json["encryption"] =
        newline == std::string::npos ? Json(nullptr) : Json(ValueOf(security.substr(newline + 1)));
    json["commandResponse"] = ValueOf(info.m_strInfoResponse);
    json["report"] = dlg.m_strReport;
    return json;
}

} // namespace

int ExitStatus(const Outcome& outcome) {
    return outcome.Succeeded() ? kExitSuccess : kExitFailure;
}

int RunCheck(CCliSession& session) {
    CSetupDlg& dlg = session.Dlg();
    const Outcome outcome = dlg.OnButtonCheck();
    StepRecord step{.role = "adapter", .operation = "check", .outcome = OutcomeText(outcome)};
    if (outcome.kind != OutcomeKind::LineGone && !dlg.m_strReport.empty()) {
        step.address = dlg.m_strBdAddr[0];
        step.name = ValueOf(dlg.m_info.m_strInfoName);
    }
    dlg.RecordStep(step);
    if (session.Options().json) {
        Json json;
        if (outcome.Succeeded()) {
            json = CheckJson(dlg);
        } else {
            json["ok"] = false;
            json["detected"] = false;
            // Something answered without saying what it is: what it said.
            if (outcome.kind == OutcomeKind::Failed && !dlg.m_strReport.empty())
                json["report"] = dlg.m_strReport;
        }
        session.Console().Result(JsonText(json));
    }
    return ExitStatus(outcome);
}

int RunDetect(CCliSession& session) {
    CSetupDlg& dlg = session.Dlg();
    bool detected = false;
    bool multi = false;
    {
        CWaitCursor wait(session.Host());
        dlg.Exchange().BeginOperation();
        detected = dlg.DetectDevice() == OutcomeKind::Succeeded;
        if (detected)
            multi = dlg.CheckMultiConnection() == OutcomeKind::Succeeded;
        // A line that went took the answers with it.
        if (dlg.Exchange().LineGone())
            detected = false;
    }
    const bool ok = detected && multi;
    if (session.Options().json) {
        Json json;
        json["ok"] = ok;
        json["detected"] = detected;
        json["multiConnection"] = detected ? Json(multi) : Json(nullptr);
        session.Console().Result(JsonText(json));
    } else if (!detected) {
        session.Console().Result(msg::kNotDetected);
    } else {
        session.Console().Result(multi ? kDetected : msg::kNoMulti);
    }
    return ok ? kExitSuccess : kExitFailure;
}

int RunReset(CCliSession& session) {
    return ExitStatus(session.Dlg().OnButtonFactoryReset());
}

} // namespace nw::cli
