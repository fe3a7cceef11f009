#include "ui/ManualDlg.h"

#include "protocol/Conversations.h"
#include "protocol/Dialect.h"
#include "res/ControlIds.h"
#include "ui/Messages.h"

namespace nw {

using namespace id::manual;

Outcome CManualDlg::OnInitDialog() {
    m_main.Exchange().BeginOperation();
    UpdateData();
    return ReportOutcome();
}

Outcome CManualDlg::ReportOutcome() const {
    return m_bReportRead ? Outcome::Success(m_strReport) : m_main.Exchange().Failed(m_strReport);
}

void CManualDlg::UpdateData() {
    DoDataExchange();
    m_host.DataPushed();
}

void CManualDlg::DoDataExchange() {
    if (m_bCheckPending == 1) {
        m_bCheckPending = 0;
        m_bReportRead = ReadDeviceInfo() == OutcomeKind::Succeeded;
        if (!m_bReportRead)
            m_strReport = msg::kCanNotFoundManual;
        m_host.SetText(kStaticInfo, m_strReport);
    }
    m_host.SetCheck(kRadioMultiDrop, m_nModeRadio == ConnectionMode::MultiDrop);
    m_host.SetCheck(kRadioNodeSwitching, m_nModeRadio == ConnectionMode::NodeSwitching);
}

OutcomeKind CManualDlg::ReadDeviceInfo() {
    const DeviceInfoResult r =
        nw::ReadDeviceInfo(m_main.Exchange(), m_info, ResumeRule::AfterEscapeOnly);
    if (r.kind == OutcomeKind::Succeeded)
        m_strReport = ComposeReport(m_info);
    return r.kind;
}

Outcome CManualDlg::OnButtonCheck() {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    m_bCheckPending = 1;
    UpdateData();
    return ReportOutcome();
}

Outcome CManualDlg::OnRadioMultiDrop() {
    m_main.SetMode(ConnectionMode::MultiDrop);
    return Outcome::Success();
}
Outcome CManualDlg::OnRadioNodeSwitching() {
    m_main.SetMode(ConnectionMode::NodeSwitching);
    return Outcome::Success();
}

Outcome CManualDlg::OnCheckUse(int k) {
    const auto i = static_cast<std::size_t>(k);
    m_host.EnableControl(kSlaveEdits[i], m_host.GetCheck(kUseChecks[i]));
    return Outcome::Success();
}
Outcome CManualDlg::OnCheckUse1() {
    return OnCheckUse(0);
}
Outcome CManualDlg::OnCheckUse2() {
    return OnCheckUse(1);
}
Outcome CManualDlg::OnCheckUse3() {
    return OnCheckUse(2);
}
Outcome CManualDlg::OnCheckUse4() {
    return OnCheckUse(3);
}

Outcome CManualDlg::OnButtonFactoryReset() {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    if (WakeUp(m_main.Exchange(), WakeFor::Reset) != OutcomeKind::Succeeded) {
        m_host.MessageBox(msg::kResetError);
        return m_main.Exchange().Failed(msg::kResetError);
    }
    (void)ResetBlind(m_main.Exchange());
    // The refresh writes nothing once the line is gone: it then shows that
    // no adapter can be found.
    m_bCheckPending = 1;
    UpdateData();
    return ReportOutcome();
}

Outcome CManualDlg::OnButtonAutoFill() {
    CWaitCursor wait(m_host);
    CCommandExchange& ex = m_main.Exchange();
    ex.BeginOperation();
    m_unreadRegisters.clear();
    if (WakeUp(ex, WakeFor::Query) != OutcomeKind::Succeeded) {
        m_host.MessageBox(msg::kFactoryResetAndCheck);
        return ex.Failed(msg::kFactoryResetAndCheck);
    }
    const MasterRegisters r = ReadMasterRegisters(ex);
    for (std::size_t k = 0; k < 4; ++k)
        m_strSlaveAddr[k] = r.slaves[k].address;
    m_unreadRegisters = r.unread;
    m_host.SetCheck(kCheckDisableResponse, !r.responsesOn);
    m_nModeRadio = r.mode;
    UpdateData();
    for (std::size_t k = 0; k < 4; ++k)
        m_host.SetText(kSlaveEdits[k], m_strSlaveAddr[k]);
    for (std::size_t k = 0; k < 4; ++k) {
        const bool empty = m_strSlaveAddr[k] == cmd::kNoAddress;
        m_host.EnableControl(kSlaveEdits[k], !empty);
        m_host.SetCheck(kUseChecks[k], !empty); // as a check-state message: no handler runs
    }
    if (r.kind == OutcomeKind::LineGone)
        return Outcome::Gone(msg::kFactoryResetAndCheck);
    if (!m_unreadRegisters.empty()) {
        std::string text = "Not read:";
        for (const std::string& name : m_unreadRegisters)
            text += " " + name;
        return Outcome::Failure(text);
    }
    return Outcome::Success();
}

void CManualDlg::Record(const char* operation, const std::string& settings,
                        const Outcome& outcome) {
    StepRecord r;
    r.role = operation;
    if (m_bReportRead) {
        r.address = ReportValue(m_info.m_strInfoAddress);
        r.name = ReportValue(m_info.m_strInfoName);
    }
    r.operation = operation;
    r.settings = settings;
    r.outcome = OutcomeText(outcome);
    m_main.RecordStep(std::move(r));
}

Outcome CManualDlg::OnButtonMasterSet() {
    std::string settings;
    const Outcome outcome = SetMaster(settings);
    Record("master", settings, outcome);
    return outcome;
}

Outcome CManualDlg::OnButtonSlaveSet() {
    std::string settings;
    const Outcome outcome = SetSlave(settings);
    Record("slave", settings, outcome);
    return outcome;
}

Outcome CManualDlg::SetMaster(std::string& settings) {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    for (std::size_t k = 0; k < 4; ++k)
        m_strSlaveAddr[k] = m_host.GetText(kSlaveEdits[k]);
    int count = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        if (!m_host.GetCheck(kUseChecks[k]))
            continue;
        ++count;
        // Only the length matters to the adapter's command; control bytes
        // (a line end read back by Auto Fill) would split it, so they fail too.
        if (!cmd::IsSendableAddress(m_strSlaveAddr[k])) {
            m_host.MessageBox(msg::kSlaveAddress[k]);
            return Outcome::Failure(msg::kSlaveAddress[k]);
        }
    }
    if (count < 2) {
        m_host.MessageBox(msg::kCheckMoreUse);
        return Outcome::Failure(msg::kCheckMoreUse);
    }
    IntendedSettings intended{.master = true,
                              .mode = m_main.Mode(),
                              .disableResponse = m_host.GetCheck(kCheckDisableResponse)};
    for (std::size_t k = 0; k < 4; ++k) {
        if (m_host.GetCheck(kUseChecks[k]))
            intended.slaves[k] = m_strSlaveAddr[k];
    }
    settings = SettingsText(intended);
    return ConfigureMaster();
}

Outcome CManualDlg::ConfigureMaster() {
    std::array<bool, 4> use{};
    for (std::size_t k = 0; k < 4; ++k)
        use[k] = m_host.GetCheck(kUseChecks[k]);
    const bool disable = m_host.GetCheck(kCheckDisableResponse);
    const MasterWriteResult r =
        WriteManualMaster(m_main.Exchange(), use, m_strSlaveAddr,
                          m_info.m_strInfoMode == msg::kModeMaster, m_main.Mode(), disable);
    if (r.modeWritten)
        m_info.m_strInfoMode = msg::kModeMaster;
    if (r.kind != OutcomeKind::Succeeded) {
        const char* text = r.failure == MasterFailure::NoMultiConnection
                               ? msg::kNoMulti
                               : msg::kFactoryResetAndCheck;
        m_host.MessageBox(text);
        return m_main.Exchange().Failed(text);
    }
    m_info.m_strInfoStatus = msg::kStatusPending;
    m_info.m_strInfoResponse = disable ? msg::kResponseOff : msg::kResponseOn;
    m_main.ShowMasterSet(r.used);
    m_strReport = ComposeReport(m_info);
    m_host.SetText(kStaticInfo, m_strReport);
    m_host.MessageBox(msg::kMasterSuccess);
    return Outcome::Success(msg::kMasterSuccess);
}

Outcome CManualDlg::SetSlave(std::string& settings) {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    m_strMasterAddr = m_host.GetText(kEditMaster);
    if (!cmd::IsSendableAddress(m_strMasterAddr)) {
        m_host.MessageBox(msg::kMasterAddress);
        return Outcome::Failure(msg::kMasterAddress);
    }
    IntendedSettings intended{.master = false,
                              .masterAddress = m_strMasterAddr,
                              .disableResponse = m_host.GetCheck(kCheckDisableResponse)};
    const OutcomeKind written = ConfigureSlave(intended.clearsMulti);
    settings = SettingsText(intended);
    if (written != OutcomeKind::Succeeded) {
        m_host.MessageBox(msg::kCheckOlma);
        return m_main.Exchange().Failed(msg::kCheckOlma);
    }
    m_host.MessageBox(msg::kSlaveSuccess);
    return Outcome::Success(msg::kSlaveSuccess);
}

OutcomeKind CManualDlg::ConfigureSlave(bool& clearedMulti) {
    const bool disable = m_host.GetCheck(kCheckDisableResponse);
    const OutcomeKind written =
        WriteManualSlave(m_main.Exchange(), m_strMasterAddr, disable, &clearedMulti);
    if (written != OutcomeKind::Succeeded)
        return written;
    m_info.m_strInfoMode = msg::kModeSlave;
    m_info.m_strInfoResponse = disable ? msg::kResponseOff : msg::kResponseOn;
    m_info.m_strInfoStatus = msg::kStatusPending;
    m_strReport = ComposeReport(m_info);
    m_host.SetText(kStaticInfo, m_strReport);
    return OutcomeKind::Succeeded;
}

} // namespace nw
