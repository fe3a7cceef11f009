// The main window's logic: line settings and Port Open / Port Close, the
// wizard's step machine, Check, Factory Reset and the way into the Manual
// Setting window. Owns the port, the command exchange and every piece of state
// the operations share. Talks to its controls only through the host.
#pragma once

#include "protocol/CommandExchange.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Outcome.h"
#include "serial/SerialEnum.h"
#include "serial/SerialPort.h"
#include "ui/Host.h"
#include "ui/LineSettingTables.h"

#include <array>
#include <span>
#include <string>
#include <vector>

namespace nw {

class CSetupDlg {
  public:
    explicit CSetupDlg(IHost& host);
    CSetupDlg(const CSetupDlg&) = delete;
    CSetupDlg& operator=(const CSetupDlg&) = delete;

    // First push to the controls, the overview picture, the port list (from
    // `ports`, refreshed here) and the line-setting combos.
    void OnInitDialog(CSerialEnum& ports);

    // Pushes the members to the controls: message text, mode and 1:N radios.
    void UpdateData(bool bSaveAndValidate = false);

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

    // Operations the windows share.
    std::string SendCommand(const char* pszCommand, std::uint32_t dwDelayMs) {
        return m_exchange.SendCommand(pszCommand, dwDelayMs);
    }
    int DetectDevice();
    int CheckMultiConnection();
    // Information report; stores the adapter's address in slot nSlot when it
    // is 0..4. 1, or -1 when no adapter answered.
    int ReadDeviceInfo(int nSlot);
    // The blind writes of a wizard step; false when the line went.
    bool WizardSlaveStep();
    bool WizardMasterStep();
    void HideAllPictures();
    void ShowPicture(int page); // hides all pages, then shows `page`
    void EnablePortOpenControls();
    void EnablePortClosedControls();

    IHost& Host() { return m_host; }
    CCommandExchange& Exchange() { return m_exchange; }
    bool ResponseDisabled();
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
    int m_nMode = 0;
    int m_nOneToN = 0;
    int m_nStep = 0;
    std::array<std::string, 5> m_strBdAddr;
    std::string m_strReport;
    InfoLines m_info;
    std::vector<CComPortInfo> m_ports; // the port box's items, in list order

  private:
    // Shows a wizard failure (Retry) and returns its outcome.
    Outcome ReportFailure(const char* text);
    Outcome ChooseOneToN(int oneToN); // a 1:N radio: the value and its overview page
    void FillComboFromTable(int id, std::span<const TableEntry> table, int key);
    // The picked list item of combo `id`, or its typed text.
    std::string SelectedText(int id);
    int SelectedTableValue(int id, std::span<const TableEntry> table);

    IHost& m_host;
};

} // namespace nw
