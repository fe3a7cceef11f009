// The main window's logic: line settings and Port Open / Port Close, the
// wizard's step machine, Check, Factory Reset and the way into the Manual
// Setting window. Owns the port, the command exchange and every piece of state
// the operations share. Talks to its controls only through the host.
#pragma once

#include "protocol/CommandExchange.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Network.h"
#include "protocol/Outcome.h"
#include "serial/SerialEnum.h"
#include "serial/SerialPort.h"
#include "ui/Host.h"
#include "ui/LineSettingTables.h"
#include "ui/StepRecorder.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace nw {

// What the Manual Setting window may do to the main window: use its line,
// read and set its connection mode, and show the network a master was set
// for.
class IMainWindowState {
  public:
    virtual ~IMainWindowState() = default;
    virtual CCommandExchange& Exchange() = 0;
    virtual ConnectionMode Mode() const = 0;
    // The member only; the main window's radio buttons stay as they are.
    virtual void SetMode(ConnectionMode mode) = 0;
    // After a master was set for `slaves` slaves: the mode radios, the 1:N
    // value, its radios and its overview picture.
    virtual void ShowMasterSet(int slaves) = 0;
    // Hands an adapter step that ended to the recorder, if one is set, with
    // the port filled in.
    virtual void RecordStep(StepRecord step) = 0;
};

class CSetupDlg final : public IMainWindowState {
  public:
    explicit CSetupDlg(IHost& host);
    CSetupDlg(const CSetupDlg&) = delete;
    CSetupDlg& operator=(const CSetupDlg&) = delete;

    // First push to the controls, the overview picture, the port list (from
    // `ports`, refreshed here) and the line-setting combos.
    void OnInitDialog(CSerialEnum& ports);

    // Pushes the members to the controls: message text, mode and 1:N radios.
    void UpdateData();

    // Handlers, by control. Each returns how it ended.
    Outcome OnButtonPortOpen();     // 1009
    Outcome OnButtonPortClose();    // 1010
    Outcome OnButtonCheck();        // 1011
    Outcome OnRadioMultiDrop();     // 1000
    Outcome OnRadioNodeSwitching(); // 1001
    Outcome OnRadio1To2();          // 1002
    Outcome OnRadio1To3();          // 1003
    Outcome OnRadio1To4();          // 1004
    Outcome OnButtonStart();        // 1005
    Outcome OnButtonRestart();      // 1007
    Outcome OnButtonManual();       // 1012
    Outcome OnButtonFactoryReset(); // 1006
    void OnSysCommand(unsigned nID);

    OutcomeKind DetectDevice();
    OutcomeKind CheckMultiConnection();
    // Information report; stores the adapter's address in slot nSlot when it
    // is 0..4.
    OutcomeKind ReadDeviceInfo(int nSlot);

    // IMainWindowState
    CCommandExchange& Exchange() override { return m_exchange; }
    ConnectionMode Mode() const override { return m_nMode; }
    void SetMode(ConnectionMode mode) override { m_nMode = mode; }
    void ShowMasterSet(int slaves) override;
    void RecordStep(StepRecord step) override;
    // The device the port box names: a listed port's device, or the typed text.
    std::string ChosenDevice();

    CSerialPort m_port;
    CCommandExchange m_exchange; // m_nRxCount, m_szRxBuf, m_strResponse
    int m_nPort = 1;
    std::uint32_t m_nBaud = 9600;
    int m_nParity = 0;
    int m_nStopBits = 0;
    int m_bPortOpen = 0;
    std::string m_strMessage;
    ConnectionMode m_nMode = ConnectionMode::MultiDrop;
    NetworkSize m_nOneToN = NetworkSize::OneToTwo;
    int m_nStep = 0;
    std::array<std::string, 5> m_strBdAddr;
    std::string m_strReport;
    InfoLines m_info;
    std::vector<CComPortInfo> m_ports; // the port box's items, in list order
    // Read each adapter back at the end of its wizard step; a field that
    // differs fails the step.
    bool m_verifyEachStep = false;
    // Sees every wizard step (and the Manual Setting window's Master Set and
    // Slave Set) when it ends; none: nothing is recorded.
    IStepRecorder* m_recorder = nullptr;

  private:
    // The wizard's step machine; OnButtonStart records the step it ran.
    Outcome RunWizardStep();
    // What the step that just ran did, as a record; `step` is its number.
    StepRecord WizardStepRecord(int step, const Outcome& outcome);
    // The blind writes of a wizard step (and their verification); the
    // failure text, empty when the step succeeded.
    std::string WizardSlaveStep();
    std::string WizardMasterStep();
    std::string VerifyStep(bool master);
    IntendedSettings WizardSettings(bool master);
    void HideAllPictures();
    void ShowPicture(int page); // hides all pages, then shows `page`
    void EnablePortOpenControls();
    void EnablePortClosedControls();
    bool ResponseDisabled();
    // Shows a wizard failure (Retry) and returns its outcome.
    Outcome ReportFailure(const std::string& text);
    Outcome ChooseOneToN(NetworkSize size); // a 1:N radio: the value and its overview page
    void FillComboFromTable(int id, std::span<const TableEntry> table, int key);
    // The picked list item of combo `id`, or its typed text.
    std::string SelectedText(int id);
    int SelectedTableValue(int id, std::span<const TableEntry> table);

    IHost& m_host;
    std::string m_openDevice; // the device Port Open opened
    // What the running wizard step read and verified, for its record.
    std::string m_stepAddress;
    std::string m_stepName;
    std::string m_stepVerification;
    bool m_stepWroteMaster = false;
    bool m_stepWroteSlave = false;
};

} // namespace nw
