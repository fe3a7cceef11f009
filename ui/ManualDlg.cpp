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

void CManualDlg::UpdateData(bool bSaveAndValidate) {
    (void)bSaveAndValidate; // the exchange runs alike in both directions
    DoDataExchange();
    m_host.DataPushed();
}

void CManualDlg::DoDataExchange() {
    if (m_bCheckPending == 1) {
        m_bCheckPending = 0;
        if (ReadDeviceInfo() == -1)
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

void CManualDlg::OnButtonCheck() {
    CWaitCursor wait(m_host);
    m_bCheckPending = 1;
    UpdateData(false);
}

void CManualDlg::OnRadioMultiDrop() { m_main.m_nMode = 0; }
void CManualDlg::OnRadioNodeSwitching() { m_main.m_nMode = 1; }

void CManualDlg::OnCheckUse(int k) {
    const auto i = static_cast<std::size_t>(k);
    m_host.EnableControl(kSlaveEdits[i], m_host.GetCheck(kUseChecks[i]));
}
void CManualDlg::OnCheckUse1() { OnCheckUse(0); }
void CManualDlg::OnCheckUse2() { OnCheckUse(1); }
void CManualDlg::OnCheckUse3() { OnCheckUse(2); }
void CManualDlg::OnCheckUse4() { OnCheckUse(3); }

void CManualDlg::OnButtonFactoryReset() {
    CWaitCursor wait(m_host);
    if (WakeUp(m_main.Exchange(), kWakeForReset) == -1) {
        m_host.MessageBox(msg::kResetError);
        return;
    }
    ResetBlind(m_main.Exchange());
    m_bCheckPending = 1;
    UpdateData(false);
}

void CManualDlg::ReadConnectionRegisters() {
    CCommandExchange& ex = m_main.Exchange();
    const std::array<const char*, 4> queries = {cmd::kAts46Query, cmd::kAts54Query,
                                                cmd::kAts55Query, cmd::kAts56Query};
    for (std::size_t k = 0; k < 4; ++k)
        m_strSlaveAddr[k] = AddressFromReadback(ex.SendCommand(queries[k], kAddressQueryMs));
    const bool responsesOn = reply::Contains(ex.SendCommand(cmd::kAts10Query, kSettingQueryMs), "1");
    m_host.SetCheck(kCheckDisableResponse, !responsesOn);
    m_nModeRadio = reply::Contains(ex.SendCommand(cmd::kAts53Query, kSettingQueryMs), "2") ? 1 : 0;
    UpdateData(false);
}

void CManualDlg::OnButtonAutoFill() {
    CWaitCursor wait(m_host);
    if (WakeUp(m_main.Exchange(), kWakeForQuery) == -1) {
        m_host.MessageBox(msg::kFactoryResetAndCheck);
        return;
    }
    ReadConnectionRegisters();
    for (std::size_t k = 0; k < 4; ++k)
        m_host.SetText(kSlaveEdits[k], m_strSlaveAddr[k]);
    for (std::size_t k = 0; k < 4; ++k) {
        const bool empty = m_strSlaveAddr[k] == cmd::kNoAddress;
        m_host.EnableControl(kSlaveEdits[k], !empty);
        m_host.SetCheck(kUseChecks[k], !empty); // as a check-state message: no handler runs
    }
}

void CManualDlg::OnButtonMasterSet() {
    CWaitCursor wait(m_host);
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
            return;
        }
    }
    if (count < 2) {
        m_host.MessageBox(msg::kCheckMoreUse);
        return;
    }
    ConfigureMaster();
}

void CManualDlg::ConfigureMaster() {
    std::array<bool, 4> use{};
    for (std::size_t k = 0; k < 4; ++k)
        use[k] = m_host.GetCheck(kUseChecks[k]);
    CCommandExchange& ex = m_main.Exchange();
    const MasterWriteResult r = WriteManualMaster(ex, use, m_strSlaveAddr,
                                                  m_info.m_strInfoMode == msg::kModeMaster,
                                                  m_main.m_nMode);
    if (r.modeWritten)
        m_info.m_strInfoMode = msg::kModeMaster;
    switch (r.outcome) {
    case MasterOutcome::NotDetected:
    case MasterOutcome::Rejected:
        m_host.MessageBox(msg::kFactoryResetAndCheck);
        return;
    case MasterOutcome::NoMultiConnection:
        m_host.MessageBox(msg::kNoMulti);
        return;
    case MasterOutcome::Written:
        break;
    }
    m_info.m_strInfoStatus = msg::kStatusPending;

    IHost& mainHost = m_main.Host();
    mainHost.SetCheck(id::main::kRadioMultiDrop, m_main.m_nMode == 0);
    mainHost.SetCheck(id::main::kRadioNodeSwitching, m_main.m_nMode != 0);

    const bool disable = m_host.GetCheck(kCheckDisableResponse);
    ex.Write(disable ? cmd::kAts10Off : cmd::kAts10On);
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
}

void CManualDlg::OnButtonSlaveSet() {
    CWaitCursor wait(m_host);
    m_strMasterAddr = m_host.GetText(kEditMaster);
    if (!cmd::IsSendableAddress(m_strMasterAddr)) {
        m_host.MessageBox(msg::kMasterAddress);
        return;
    }
    m_host.MessageBox(ConfigureSlave() == -1 ? msg::kCheckOlma : msg::kSlaveSuccess);
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
