// The Manual Setting window's logic: the information area, typed slave
// addresses for a master ("Master Set"), a typed master address for a slave
// ("Slave Set"), Auto Fill from a master's registers, and Factory Reset. It
// has no port of its own: everything goes through the main window's port and
// command exchange.
#pragma once

#include "protocol/DeviceInfo.h"
#include "protocol/Network.h"
#include "protocol/Outcome.h"
#include "ui/Host.h"
#include "ui/SetupDlg.h"

#include <array>
#include <string>
#include <vector>

namespace nw {

class CManualDlg {
  public:
    CManualDlg(IMainWindowState& main, IHost& host) : m_main(main), m_host(host) {}
    CManualDlg(const CManualDlg&) = delete;
    CManualDlg& operator=(const CManualDlg&) = delete;

    // The window's initialisation: its first push to the controls, which runs
    // the information report (the window opens showing the attached adapter).
    // Ends as the report did.
    Outcome OnInitDialog();
    void UpdateData();
    void DoDataExchange();

    // Handlers, by control. Each returns how it ended.
    Outcome OnButtonCheck();        // 1011
    Outcome OnRadioMultiDrop();     // 1002
    Outcome OnRadioNodeSwitching(); // 1003
    Outcome OnButtonFactoryReset(); // 1012
    Outcome OnButtonMasterSet();    // 1032
    Outcome OnButtonSlaveSet();     // 1033
    Outcome OnButtonAutoFill();     // 1038
    Outcome OnCheckUse1();          // 1039
    Outcome OnCheckUse2();          // 1041
    Outcome OnCheckUse3();          // 1042
    Outcome OnCheckUse4();          // 1043

    OutcomeKind ReadDeviceInfo();
    Outcome ConfigureMaster();
    OutcomeKind ConfigureSlave(bool& clearedMulti); // whether "ats53=0" was written

    ConnectionMode m_nModeRadio = ConnectionMode::MultiDrop;
    std::array<std::string, 4> m_strSlaveAddr;
    std::string m_strMasterAddr;
    int m_bCheckPending = 1;
    InfoLines m_info;
    std::string m_strReport;
    // Registers the last Auto Fill could not read ("S46", ..., "S10", "S53").
    std::vector<std::string> m_unreadRegisters;

  private:
    Outcome OnCheckUse(int k);
    // Master Set and Slave Set without their records; `settings` gets what
    // they write once they start writing.
    Outcome SetMaster(std::string& settings);
    Outcome SetSlave(std::string& settings);
    // Hands the step that ended to the main window's recorder.
    void Record(const char* operation, const std::string& settings, const Outcome& outcome);
    // How the latest report ended: read, not found, or the line gone.
    Outcome ReportOutcome() const;

    bool m_bReportRead = false;

    IMainWindowState& m_main;
    IHost& m_host;
};

} // namespace nw
