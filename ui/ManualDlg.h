// The Manual Setting window's logic: the information area, typed slave
// addresses for a master ("Master Set"), a typed master address for a slave
// ("Slave Set"), Auto Fill from a master's registers, and Factory Reset. It
// has no port of its own: everything goes through the main window's port and
// command exchange.
#pragma once

#include "protocol/DeviceInfo.h"
#include "ui/Host.h"
#include "ui/SetupDlg.h"

#include <array>
#include <string>

namespace nw {

class CManualDlg {
public:
    CManualDlg(CSetupDlg& main, IHost& host) : m_main(main), m_host(host) {}
    CManualDlg(const CManualDlg&) = delete;
    CManualDlg& operator=(const CManualDlg&) = delete;

    // The window's initialisation: its first push to the controls, which runs
    // the information report (the window opens showing the attached adapter).
    void OnInitDialog() { UpdateData(false); }
    void UpdateData(bool bSaveAndValidate = false);
    void DoDataExchange();

    void OnButtonCheck();        // 1011
    void OnRadioMultiDrop();     // 1002
    void OnRadioNodeSwitching(); // 1003
    void OnButtonFactoryReset(); // 1012
    void OnButtonMasterSet();    // 1032
    void OnButtonSlaveSet();     // 1033
    void OnButtonAutoFill();     // 1038
    void OnCheckUse1();          // 1039
    void OnCheckUse2();          // 1041
    void OnCheckUse3();          // 1042
    void OnCheckUse4();          // 1043

    int ReadDeviceInfo();
    void ReadConnectionRegisters();
    void ConfigureMaster();
    int ConfigureSlave();

    int m_nModeRadio = 0;
    std::array<std::string, 4> m_strSlaveAddr;
    std::string m_strMasterAddr;
    int m_bCheckPending = 1;
    InfoLines m_info;
    std::string m_strReport;

private:
    void OnCheckUse(int k);

    CSetupDlg& m_main;
    IHost& m_host;
};

} // namespace nw
