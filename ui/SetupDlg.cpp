#include "ui/SetupDlg.h"

#include "protocol/Conversations.h"
#include "protocol/Dialect.h"
#include "protocol/Verify.h"
#include "res/ControlIds.h"
#include "ui/Messages.h"
#include "ui/WizardTables.h"

#include <cstdio>

namespace nw {

using namespace id::main;

CSetupDlg::CSetupDlg(IHost& host)
    : m_exchange(m_port, host), m_strMessage(msg::kPortOpenPlease), m_host(host) {
    m_strBdAddr.fill(cmd::kNoAddress);
    m_port.SetMessageSink([this](const std::string& text) { m_host.MessageBox(text); });
}

bool CSetupDlg::ResponseDisabled() {
    return m_host.GetCheck(kCheckDisableResponse);
}

void CSetupDlg::UpdateData() {
    m_host.SetText(kStaticMessage, m_strMessage);
    m_host.SetCheck(kRadioMultiDrop, m_nMode == ConnectionMode::MultiDrop);
    m_host.SetCheck(kRadioNodeSwitching, m_nMode == ConnectionMode::NodeSwitching);
    m_host.SetCheck(kRadio1To2, m_nOneToN == NetworkSize::OneToTwo);
    m_host.SetCheck(kRadio1To3, m_nOneToN == NetworkSize::OneToThree);
    m_host.SetCheck(kRadio1To4, m_nOneToN == NetworkSize::OneToFour);
    m_host.DataPushed();
}

void CSetupDlg::OnInitDialog(CSerialEnum& ports) {
    UpdateData();
    ShowPicture(wizard::OverviewPage(NetworkSize::OneToTwo));

    ports.Refresh();
    m_ports = ports.m_aPorts;
    for (std::size_t i = 0; i < m_ports.size(); ++i) {
        m_host.ComboAdd(kComboPort, m_ports[i].m_strFriendlyName);
        int number = 0;
        if (std::sscanf(m_ports[i].m_strFriendlyName.c_str(), "COM%d", &number) == 1 &&
            number == m_nPort)
            m_host.ComboSelect(kComboPort, static_cast<int>(i));
    }
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        m_host.ComboAdd(kComboBaud, std::to_string(kBaudRates[i]));
        if (kBaudRates[i] == m_nBaud)
            m_host.ComboSelect(kComboBaud, static_cast<int>(i));
    }
    FillComboFromTable(kComboParity, kParityTable, m_nParity);
    FillComboFromTable(kComboStopBits, kStopBitTable, m_nStopBits);
}

void CSetupDlg::FillComboFromTable(int id, std::span<const TableEntry> table, int key) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        m_host.ComboAdd(id, table[i].text);
        if (table[i].value == key)
            m_host.ComboSelect(id, static_cast<int>(i));
    }
}

std::string CSetupDlg::SelectedText(int id) {
    const std::string text = m_host.ComboSelectedText(id);
    return text.empty() ? m_host.GetText(id) : text; // typed rather than picked from the list
}

int CSetupDlg::SelectedTableValue(int id, std::span<const TableEntry> table) {
    return TableValue(table, SelectedText(id));
}

std::string CSetupDlg::ChosenDevice() {
    std::string text = m_host.GetText(kComboPort);
    for (const auto& p : m_ports) {
        if (text == p.m_strFriendlyName)
            return p.m_strName;
    }
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

namespace {
// The controls an open port enables and a closed one disables (1009 does the
// opposite; Restart and 1035 are left alone), in this order.
constexpr int kPortControls[] = {
    kButtonPortClose,    kButtonCheck, kButtonFactoryReset, kButtonStart, kRadioMultiDrop,
    kRadioNodeSwitching, kRadio1To2,   kRadio1To3,          kRadio1To4,   kButtonManual};
} // namespace

void CSetupDlg::EnablePortOpenControls() {
    m_host.EnableControl(kButtonPortOpen, false);
    for (int id : kPortControls)
        m_host.EnableControl(id, true);
}

void CSetupDlg::EnablePortClosedControls() {
    m_host.EnableControl(kButtonPortOpen, true);
    for (int id : kPortControls)
        m_host.EnableControl(id, false);
}

Outcome CSetupDlg::OnButtonPortOpen() {
    CWaitCursor wait(m_host);
    if (m_bPortOpen != 0)
        return Outcome::Success();
    m_exchange.BeginOperation(); // a new line
    const std::string device = ChosenDevice();
    int number = 0;
    const bool numbered = std::sscanf(device.c_str(), "COM%d", &number) == 1;
    if (numbered)
        m_nPort = number;
    m_nBaud = BaudValue(SelectedText(kComboBaud));
    m_nParity = SelectedTableValue(kComboParity, kParityTable);
    m_nStopBits = SelectedTableValue(kComboStopBits, kStopBitTable);
    if (device.empty()) {
        m_host.MessageBox(msg::kSerialPortOpenError, "No port chosen: pick or type a port.");
        return Outcome::Failure(msg::kSerialPortOpenError);
    }
    const auto stopBits = static_cast<std::uint8_t>(m_nStopBits);
    const auto parity = static_cast<std::uint8_t>(m_nParity);
    // Where ports are numbered, "COM12" and "COM12 (USB)" both mean port 12;
    // elsewhere the text is the device itself.
    const bool opened = numbered && CSerialPort::PortsAreNumbered()
                            ? m_port.Open(m_nPort, m_nBaud, stopBits, parity)
                            : m_port.Open(device, m_nBaud, stopBits, parity);
    if (!opened) {
        m_host.MessageBox(msg::kSerialPortOpenError, m_port.LastFailure().Describe());
        return Outcome::Failure(msg::kSerialPortOpenError);
    }
    m_bPortOpen = 1;
    m_openDevice = device;
    EnablePortOpenControls();
    m_strMessage = msg::kPortOpen;
    UpdateData();
    return Outcome::Success(m_strMessage);
}

Outcome CSetupDlg::OnButtonPortClose() {
    CWaitCursor wait(m_host);
    m_port.Close();
    m_bPortOpen = 0;
    EnablePortClosedControls();
    m_strMessage = msg::kPortClose;
    UpdateData();
    return Outcome::Success(m_strMessage);
}

OutcomeKind CSetupDlg::DetectDevice() {
    return nw::DetectDevice(m_exchange);
}

OutcomeKind CSetupDlg::CheckMultiConnection() {
    return nw::CheckMultiConnection(m_exchange);
}

OutcomeKind CSetupDlg::ReadDeviceInfo(int nSlot) {
    const DeviceInfoResult r =
        nw::ReadDeviceInfo(m_exchange, m_info, ResumeRule::AfterAnyOk, [this] {
            m_strMessage = msg::kConnectedOther;
            UpdateData();
        });
    if (r.kind != OutcomeKind::Succeeded)
        return r.kind;
    if (nSlot >= 0 && nSlot <= 4)
        m_strBdAddr[static_cast<std::size_t>(nSlot)] = r.address;
    m_strReport = ComposeReport(m_info);
    m_host.EnableControl(kButtonFactoryReset, true);
    m_host.EnableControl(kButtonStart, true);
    UpdateData();
    return OutcomeKind::Succeeded;
}

Outcome CSetupDlg::OnButtonCheck() {
    CWaitCursor wait(m_host);
    m_exchange.BeginOperation();
    if (ReadDeviceInfo(0) != OutcomeKind::Succeeded) {
        m_host.MessageBox(msg::kNotDetected);
        return m_exchange.Failed(msg::kNotDetected);
    }
    m_host.MessageBox(m_strReport);
    // Something answered, but without an address nothing identified it as
    // an adapter.
    if (m_strBdAddr[0].empty())
        return Outcome::Failure(m_strReport);
    return Outcome::Success(m_strReport);
}

void CSetupDlg::HideAllPictures() {
    for (int page : id::kPicturePages)
        m_host.ShowPicture(page, false);
}

void CSetupDlg::ShowPicture(int page) {
    HideAllPictures();
    if (page != 0)
        m_host.ShowPicture(page, true);
}

Outcome CSetupDlg::OnRadioMultiDrop() {
    m_nMode = ConnectionMode::MultiDrop;
    return Outcome::Success();
}
Outcome CSetupDlg::OnRadioNodeSwitching() {
    m_nMode = ConnectionMode::NodeSwitching;
    return Outcome::Success();
}

Outcome CSetupDlg::ChooseOneToN(NetworkSize size) {
    m_nOneToN = size;
    ShowPicture(wizard::OverviewPage(m_nOneToN));
    return Outcome::Success();
}

Outcome CSetupDlg::OnRadio1To2() {
    return ChooseOneToN(NetworkSize::OneToTwo);
}
Outcome CSetupDlg::OnRadio1To3() {
    return ChooseOneToN(NetworkSize::OneToThree);
}
Outcome CSetupDlg::OnRadio1To4() {
    return ChooseOneToN(NetworkSize::OneToFour);
}

void CSetupDlg::ShowMasterSet(int slaves) {
    m_host.SetCheck(kRadioMultiDrop, m_nMode == ConnectionMode::MultiDrop);
    m_host.SetCheck(kRadioNodeSwitching, m_nMode != ConnectionMode::MultiDrop);
    HideAllPictures();
    m_nOneToN = slaves >= 4   ? NetworkSize::OneToFour
                : slaves == 3 ? NetworkSize::OneToThree
                              : NetworkSize::OneToTwo;
    m_host.ShowPicture(wizard::OverviewPage(m_nOneToN), true);
    m_host.SetCheck(kRadio1To4, m_nOneToN == NetworkSize::OneToFour);
    m_host.SetCheck(kRadio1To3, m_nOneToN == NetworkSize::OneToThree);
    m_host.SetCheck(kRadio1To2, m_nOneToN == NetworkSize::OneToTwo);
}

Outcome CSetupDlg::ReportFailure(const std::string& text) {
    m_host.EnableControl(kButtonStart, true);
    m_host.SetText(kButtonStart, msg::kRetry);
    m_host.EnableControl(kButtonRestart, true);
    m_strMessage = text;
    UpdateData();
    return m_exchange.Failed(text);
}

void CSetupDlg::RecordStep(StepRecord step) {
    if (m_recorder == nullptr)
        return;
    step.port = m_openDevice;
    m_recorder->StepEnded(step);
}

Outcome CSetupDlg::OnButtonStart() {
    const int step = m_nStep + 1;
    m_stepAddress.clear();
    m_stepName.clear();
    m_stepVerification.clear();
    m_stepWroteMaster = m_stepWroteSlave = false;
    Outcome outcome = RunWizardStep();
    if (m_recorder != nullptr)
        RecordStep(WizardStepRecord(step, outcome));
    return outcome;
}

StepRecord CSetupDlg::WizardStepRecord(int step, const Outcome& outcome) {
    const bool master = step <= 2 || step == 7 ||
                        (step == 5 && m_nOneToN == NetworkSize::OneToTwo) ||
                        (step == 6 && m_nOneToN == NetworkSize::OneToThree);
    StepRecord r;
    r.role = master ? "master" : "slave" + std::to_string(step - 2);
    r.address = m_stepAddress;
    r.name = m_stepName;
    // The last step of a 1:4 network sets the master without reading it again.
    if (step == 7 && r.address.empty())
        r.address = m_strBdAddr[0];
    r.operation = step == 1   ? "wizard-detect"
                  : step == 2 ? "wizard-read"
                  : master    ? "wizard-master"
                              : "wizard-slave";
    if (m_stepWroteMaster || m_stepWroteSlave)
        r.settings = SettingsText(WizardSettings(m_stepWroteMaster));
    r.verification = m_stepVerification;
    r.outcome = OutcomeText(outcome);
    r.startsRun = step == 1;
    return r;
}

Outcome CSetupDlg::RunWizardStep() {
    CWaitCursor wait(m_host);
    m_exchange.BeginOperation();
    if (DetectDevice() != OutcomeKind::Succeeded)
        return ReportFailure(msg::kCanNotFoundRetry);
    m_host.EnableControl(kButtonRestart, true);
    for (int id : {kRadioMultiDrop, kRadioNodeSwitching, kRadio1To2, kRadio1To3, kRadio1To4})
        m_host.EnableControl(id, false);

    const int s = ++m_nStep;
    // A failed step steps back, so Retry runs it again.
    auto fail = [this](const std::string& text) {
        --m_nStep;
        return ReportFailure(text);
    };
    // Reads the attached adapter into slot `slot`.
    auto readSlot = [this](int slot) {
        if (ReadDeviceInfo(slot) != OutcomeKind::Succeeded)
            return false;
        m_stepAddress = m_strBdAddr[static_cast<std::size_t>(slot)];
        m_stepName = ReportValue(m_info.m_strInfoName);
        return true;
    };
    // The blind writes of a slave or of the master step.
    auto setAdapter = [&](bool master) {
        const std::string failure = master ? WizardMasterStep() : WizardSlaveStep();
        if (!failure.empty())
            return fail(failure);
        return Outcome::Success(m_strMessage);
    };
    switch (s) {
    case 1:
        switch (CheckMultiConnection()) {
        case OutcomeKind::LineGone:
            return fail(msg::kCanNotFoundRetry);
        case OutcomeKind::Failed:
            return fail(msg::kNoMultiRetry);
        case OutcomeKind::Succeeded:
            break;
        }
        ShowPicture(wizard::ConnectMasterPage(m_nOneToN));
        m_host.SetText(kButtonStart, msg::kNext);
        m_strMessage = msg::kConnectMasterNext;
        UpdateData();
        break;
    case 2:
        m_host.EnableControl(kButtonStart, false);
        m_strMessage = msg::kSettingNow;
        UpdateData();
        if (!readSlot(0))
            return fail(msg::kCanNotFoundRetry);
        m_host.EnableControl(kButtonStart, true);
        m_host.SetText(kButtonStart, msg::kNext);
        m_strMessage = msg::kConnectSlave1;
        UpdateData();
        ShowPicture(wizard::ConnectSlave1Page(m_nOneToN));
        break;
    case 3:
    case 4:
        if (!readSlot(s - 2))
            return fail(msg::kCanNotFoundRetry);
        return setAdapter(false);
    case 5:
        if (!readSlot(3))
            return fail(msg::kCanNotFoundRetry);
        return setAdapter(m_nOneToN == NetworkSize::OneToTwo);
    case 6:
        if (!readSlot(4))
            return fail(msg::kCanNotFoundRetry);
        return setAdapter(m_nOneToN == NetworkSize::OneToThree);
    case 7:
        return setAdapter(true);
    default:
        break;
    }
    return Outcome::Success(m_strMessage);
}

IntendedSettings CSetupDlg::WizardSettings(bool master) {
    IntendedSettings intended{.master = master,
                              .mode = m_nMode,
                              .masterAddress = m_strBdAddr[0],
                              .disableResponse = ResponseDisabled()};
    for (int k = 0; k < SlaveCount(m_nOneToN); ++k)
        intended.slaves[static_cast<std::size_t>(k)] = m_strBdAddr[static_cast<std::size_t>(k) + 1];
    return intended;
}

std::string CSetupDlg::VerifyStep(bool master) {
    const Readback r = VerifyAdapter(m_exchange, WizardSettings(master));
    m_stepVerification = VerificationText(r);
    if (m_exchange.LineGone() || !r.found)
        return msg::kCanNotFoundRetry;
    if (!r.Verified())
        return DescribeFailure(r, msg::kCheckAndRetry);
    // The slaves were given slot 0's address: this must be that adapter.
    if (master && r.address != m_strBdAddr[0])
        return std::string(msg::kNotTheMaster) + " (" + m_strBdAddr[0] + "). " +
               msg::kCheckAndRetry;
    return {};
}

std::string CSetupDlg::WizardSlaveStep() {
    m_host.EnableControl(kButtonStart, false);
    m_strMessage = msg::kSettingNow;
    UpdateData();
    m_stepWroteSlave = true;
    if (WriteWizardSlave(m_exchange, m_strBdAddr[0], ResponseDisabled()) != OutcomeKind::Succeeded)
        return msg::kCanNotFoundRetry;
    if (m_verifyEachStep) {
        if (std::string failure = VerifyStep(false); !failure.empty())
            return failure;
    }
    HideAllPictures();
    const wizard::Display next = wizard::AfterSlave(m_nStep, m_nOneToN);
    if (next.page != 0)
        m_host.ShowPicture(next.page, true);
    if (next.message != nullptr)
        m_strMessage = next.message;
    UpdateData();
    m_host.SetText(kButtonStart, msg::kNext);
    m_host.EnableControl(kButtonStart, true);
    return {};
}

std::string CSetupDlg::WizardMasterStep() {
    m_host.EnableControl(kButtonStart, false);
    m_strMessage = msg::kSettingNow;
    UpdateData();
    m_stepWroteMaster = true;
    if (WriteWizardMaster(m_exchange, m_strBdAddr, m_nOneToN, ResponseDisabled(), m_nMode) !=
        OutcomeKind::Succeeded)
        return msg::kCanNotFoundRetry;
    if (m_verifyEachStep) {
        if (std::string failure = VerifyStep(true); !failure.empty())
            return failure;
    }
    m_strMessage = msg::kMultiComplete;
    UpdateData();
    m_host.EnableControl(kButtonStart, true);
    m_host.SetText(kButtonStart, msg::kStart);
    m_nStep = 0;
    return {};
}

Outcome CSetupDlg::OnButtonRestart() {
    CWaitCursor wait(m_host);
    m_exchange.BeginOperation();
    m_nStep = 0;
    ShowPicture(wizard::OverviewPage(m_nOneToN));
    for (int id : {kRadioMultiDrop, kRadioNodeSwitching, kRadio1To2, kRadio1To3, kRadio1To4})
        m_host.EnableControl(id, true);
    m_host.EnableControl(kButtonRestart, false);
    m_strMessage = msg::kConnectMasterStart;
    UpdateData();
    m_host.SetText(kButtonStart, msg::kStart);
    // The report only refreshes the address slot; an adapter that is not
    // there does not make the restart fail, a line that went does.
    (void)ReadDeviceInfo(0);
    return m_exchange.LineGone() ? Outcome::Gone(m_strMessage) : Outcome::Success(m_strMessage);
}

Outcome CSetupDlg::OnButtonManual() {
    CWaitCursor wait(m_host);
    m_host.RunManualWindow(*this);
    return Outcome::Success();
}

Outcome CSetupDlg::OnButtonFactoryReset() {
    CWaitCursor wait(m_host);
    m_exchange.BeginOperation();
    if (WakeUp(m_exchange, WakeFor::Reset) != OutcomeKind::Succeeded) {
        m_host.MessageBox(msg::kResetError);
        return m_exchange.Failed(msg::kResetError);
    }
    const bool reset = ResetAndConfirm(m_exchange) == OutcomeKind::Succeeded;
    if (reset) {
        m_strMessage = msg::kResetSuccess;
        (void)ReadDeviceInfo(0);
    } else {
        m_strMessage = msg::kResetError;
    }
    UpdateData();
    if (m_nStep != 0) {
        --m_nStep;
        m_host.SetText(kButtonStart, msg::kTryAgain);
    }
    if (!reset || m_exchange.LineGone())
        return m_exchange.Failed(m_strMessage);
    return Outcome::Success(m_strMessage);
}

void CSetupDlg::OnSysCommand(unsigned nID) {
    if ((nID & 0xFFF0u) == static_cast<unsigned>(id::kSysCommandAbout))
        m_host.RunAboutBox();
}

} // namespace nw
