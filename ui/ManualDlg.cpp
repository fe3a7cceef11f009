#include "ui/ManualDlg.h"

#include "protocol/Dialect.h"
#include "protocol/FactoryReset.h"
#include "protocol/MasterSequence.h"
#include "protocol/Readback.h"
#include "protocol/SlaveSequence.h"
#include "protocol/WakeUp.h"
#include "res/ControlIds.h"
#include "ui/Messages.h"
#include "ui/WizardTables.h"

namespace nw {

using namespace id::manual;

Outcome CManualDlg::OnInitDialog() {
    m_main.Exchange().BeginOperation();
    UpdateData(false);
    return ReportOutcome();
}

Outcome CManualDlg::ReportOutcome() const {
    return m_bReportRead ? Outcome::Success(m_strReport) : m_main.Exchange().Failed(m_strReport);
}

void CManualDlg::UpdateData(bool bSaveAndValidate) {
    (void)bSaveAndValidate; // the exchange runs alike in both directions
    DoDataExchange();
    m_host.DataPushed();
}

void CManualDlg::DoDataExchange() {
    if (m_bCheckPending == 1) {
        m_bCheckPending = 0;
        m_bReportRead = ReadDeviceInfo() != -1;
        if (!m_bReportRead)
            m_strReport = msg::kCanNotFoundManual;
        m_host.SetText(kStaticInfo, m_strReport);
    }
    m_host.SetCheck(kRadioMultiDrop, m_nModeRadio == 0);
    m_host.SetCheck(kRadioNodeSwitching, m_nModeRadio == 1);
}

int CManualDlg::ReadDeviceInfo() {
    const DeviceInfoResult r =
        nw::ReadDeviceInfo(m_main.Exchange(), m_info, ResumeRule::AfterEscapeOnly);
    if (r.result != 1)
        return -1;
    m_strReport = ComposeReport(m_info);
    return 1;
}

Outcome CManualDlg::OnButtonCheck() {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    m_bCheckPending = 1;
    UpdateData(false);
    return ReportOutcome();
}

Outcome CManualDlg::OnRadioMultiDrop() {
    m_main.m_nMode = 0;
    return Outcome::Success();
}
Outcome CManualDlg::OnRadioNodeSwitching() {
    m_main.m_nMode = 1;
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
    if (WakeUp(m_main.Exchange(), kWakeForReset) == -1) {
        m_host.MessageBox(msg::kResetError);
        return m_main.Exchange().Failed(msg::kResetError);
    }
    ResetBlind(m_main.Exchange());
    // The refresh writes nothing once the line is gone: it then shows that
    // no adapter can be found.
    m_bCheckPending = 1;
    UpdateData(false);
    return ReportOutcome();
}

void CManualDlg::ReadConnectionRegisters() {
    CCommandExchange& ex = m_main.Exchange();
    const std::array<const char*, 4> queries = {cmd::kAts46Query, cmd::kAts54Query,
                                                cmd::kAts55Query, cmd::kAts56Query};
    constexpr std::array<const char*, 4> names = {"S46", "S54", "S55", "S56"};
    m_unreadRegisters.clear();
    for (std::size_t k = 0; k < 4; ++k) {
        const ReadbackAddress r = AddressFromReadback(ex.SendCommand(queries[k], kAddressQueryMs));
        m_strSlaveAddr[k] = r.address;
        if (!r.read)
            m_unreadRegisters.emplace_back(names[k]);
    }
    // A setting's reply holds its value unless nothing or an error came.
    auto setting = [&](const char* query, const char* name) {
        const std::string reply = ex.SendCommand(query, kSettingQueryMs);
        if (reply.empty() || reply::Contains(reply, reply::kError))
            m_unreadRegisters.emplace_back(name);
        return reply;
    };
    const bool responsesOn = reply::Contains(setting(cmd::kAts10Query, "S10"), "1");
    m_host.SetCheck(kCheckDisableResponse, !responsesOn);
    m_nModeRadio = reply::Contains(setting(cmd::kAts53Query, "S53"), "2") ? 1 : 0;
    UpdateData(false);
}

Outcome CManualDlg::OnButtonAutoFill() {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    m_unreadRegisters.clear();
    if (WakeUp(m_main.Exchange(), kWakeForQuery) == -1) {
        m_host.MessageBox(msg::kFactoryResetAndCheck);
        return m_main.Exchange().Failed(msg::kFactoryResetAndCheck);
    }
    ReadConnectionRegisters();
    for (std::size_t k = 0; k < 4; ++k)
        m_host.SetText(kSlaveEdits[k], m_strSlaveAddr[k]);
    for (std::size_t k = 0; k < 4; ++k) {
        const bool empty = m_strSlaveAddr[k] == cmd::kNoAddress;
        m_host.EnableControl(kSlaveEdits[k], !empty);
        m_host.SetCheck(kUseChecks[k], !empty); // as a check-state message: no handler runs
    }
    if (m_main.Exchange().LineGone())
        return Outcome::Gone(msg::kFactoryResetAndCheck);
    if (!m_unreadRegisters.empty()) {
        std::string text = "Not read:";
        for (const std::string& name : m_unreadRegisters)
            text += " " + name;
        return Outcome::Failure(text);
    }
    return Outcome::Success();
}

Outcome CManualDlg::OnButtonMasterSet() {
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
    return ConfigureMaster();
}

Outcome CManualDlg::ConfigureMaster() {
    std::array<bool, 4> use{};
    for (std::size_t k = 0; k < 4; ++k)
        use[k] = m_host.GetCheck(kUseChecks[k]);
    CCommandExchange& ex = m_main.Exchange();
    const MasterWriteResult r = WriteManualMaster(
        ex, use, m_strSlaveAddr, m_info.m_strInfoMode == msg::kModeMaster, m_main.m_nMode);
    if (r.modeWritten)
        m_info.m_strInfoMode = msg::kModeMaster;
    switch (r.outcome) {
    case MasterOutcome::NotDetected:
    case MasterOutcome::Rejected:
        m_host.MessageBox(msg::kFactoryResetAndCheck);
        return m_main.Exchange().Failed(msg::kFactoryResetAndCheck);
    case MasterOutcome::NoMultiConnection:
        m_host.MessageBox(msg::kNoMulti);
        return m_main.Exchange().Failed(msg::kNoMulti);
    case MasterOutcome::Written:
        break;
    }
    m_info.m_strInfoStatus = msg::kStatusPending;

    IHost& mainHost = m_main.Host();
    mainHost.SetCheck(id::main::kRadioMultiDrop, m_main.m_nMode == 0);
    mainHost.SetCheck(id::main::kRadioNodeSwitching, m_main.m_nMode != 0);

    const bool disable = m_host.GetCheck(kCheckDisableResponse);
    if (!ex.Write(disable ? cmd::kAts10Off : cmd::kAts10On)) {
        m_host.MessageBox(msg::kFactoryResetAndCheck);
        return Outcome::Gone(msg::kFactoryResetAndCheck);
    }
    m_info.m_strInfoResponse = disable ? msg::kResponseOff : msg::kResponseOn;

    m_main.HideAllPictures();
    m_main.m_nOneToN = r.used >= 4 ? 2 : (r.used == 3 ? 1 : 0);
    mainHost.ShowPicture(wizard::OverviewPage(m_main.m_nOneToN), true);
    mainHost.SetCheck(id::main::kRadio1To4, m_main.m_nOneToN == 2);
    mainHost.SetCheck(id::main::kRadio1To3, m_main.m_nOneToN == 1);
    mainHost.SetCheck(id::main::kRadio1To2, m_main.m_nOneToN == 0);

    m_strReport = ComposeReport(m_info);
    m_host.SetText(kStaticInfo, m_strReport);
    m_host.MessageBox(msg::kMasterSuccess);
    return Outcome::Success(msg::kMasterSuccess);
}

Outcome CManualDlg::OnButtonSlaveSet() {
    CWaitCursor wait(m_host);
    m_main.Exchange().BeginOperation();
    m_strMasterAddr = m_host.GetText(kEditMaster);
    if (!cmd::IsSendableAddress(m_strMasterAddr)) {
        m_host.MessageBox(msg::kMasterAddress);
        return Outcome::Failure(msg::kMasterAddress);
    }
    if (ConfigureSlave() == -1) {
        m_host.MessageBox(msg::kCheckOlma);
        return m_main.Exchange().Failed(msg::kCheckOlma);
    }
    m_host.MessageBox(msg::kSlaveSuccess);
    return Outcome::Success(msg::kSlaveSuccess);
}

int CManualDlg::ConfigureSlave() {
    const bool disable = m_host.GetCheck(kCheckDisableResponse);
    if (WriteManualSlave(m_main.Exchange(), m_strMasterAddr, disable) == -1)
        return -1;
    m_info.m_strInfoMode = msg::kModeSlave;
    m_info.m_strInfoResponse = disable ? msg::kResponseOff : msg::kResponseOn;
    m_info.m_strInfoStatus = msg::kStatusPending;
    m_strReport = ComposeReport(m_info);
    m_host.SetText(kStaticInfo, m_strReport);
    return 1;
}

} // namespace nw
