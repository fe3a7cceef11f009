// Control ids of the windows, as the dialog templates number them. The main
// window and the Manual Setting window reuse some numbers for different
// controls, so each window has its own set.
#pragma once

#include <array>

namespace nw::id {

// Main window, template 102.
namespace main {
inline constexpr int kRadioMultiDrop = 1000;
inline constexpr int kRadioNodeSwitching = 1001;
inline constexpr int kRadio1To2 = 1002;
inline constexpr int kRadio1To3 = 1003;
inline constexpr int kRadio1To4 = 1004;
inline constexpr int kButtonStart = 1005;
inline constexpr int kButtonFactoryReset = 1006;
inline constexpr int kButtonRestart = 1007;
inline constexpr int kComboPort = 1008;
inline constexpr int kButtonPortOpen = 1009;
inline constexpr int kButtonPortClose = 1010;
inline constexpr int kButtonCheck = 1011;
inline constexpr int kButtonManual = 1012;
inline constexpr int kPictureArea = 1026;
inline constexpr int kComboBaud = 1027;
inline constexpr int kComboParity = 1028;
inline constexpr int kComboStopBits = 1029;
inline constexpr int kStaticMessage = 1030;
inline constexpr int kCheckDisableResponse = 1035;
} // namespace main

// Manual Setting window, template 166.
namespace manual {
inline constexpr int kRadioMultiDrop = 1002;
inline constexpr int kRadioNodeSwitching = 1003;
inline constexpr int kButtonCheck = 1011;
inline constexpr int kButtonFactoryReset = 1012;
inline constexpr int kStaticInfo = 1025;
inline constexpr int kEditSlave1 = 1027;
inline constexpr int kEditSlave2 = 1028;
inline constexpr int kEditSlave3 = 1029;
inline constexpr int kEditSlave4 = 1030;
inline constexpr int kEditMaster = 1031;
inline constexpr int kButtonMasterSet = 1032;
inline constexpr int kButtonSlaveSet = 1033;
inline constexpr int kCheckDisableResponse = 1036;
inline constexpr int kButtonAutoFill = 1038;
inline constexpr int kCheckUse1 = 1039;
inline constexpr int kCheckUse2 = 1041;
inline constexpr int kCheckUse3 = 1042;
inline constexpr int kCheckUse4 = 1043;

inline constexpr std::array<int, 4> kSlaveEdits = {kEditSlave1, kEditSlave2, kEditSlave3,
                                                   kEditSlave4};
inline constexpr std::array<int, 4> kUseChecks = {kCheckUse1, kCheckUse2, kCheckUse3, kCheckUse4};
} // namespace manual

// Picture pages, by their template numbers: the network a page shows and the
// adapter its arrow points at (none on an overview).
namespace page {
inline constexpr int k1To4Overview = 129;
inline constexpr int k1To2Overview = 138;
inline constexpr int k1To3Overview = 139;
inline constexpr int k1To2Master = 142;
inline constexpr int k1To3Master = 145;
inline constexpr int k1To4Master = 146;
inline constexpr int k1To2Slave1 = 150;
inline constexpr int k1To3Slave1 = 151;
inline constexpr int k1To4Slave1 = 152;
inline constexpr int k1To2Slave2 = 156;
inline constexpr int k1To3Slave2 = 157;
inline constexpr int k1To4Slave2 = 158;
inline constexpr int k1To3Slave3 = 161;
inline constexpr int k1To4Slave3 = 162;
inline constexpr int k1To4Slave4 = 165;
} // namespace page

// Every picture page, in the order the main window creates them.
inline constexpr std::array<int, 15> kPicturePages = {
    page::k1To4Overview, page::k1To3Overview, page::k1To2Overview, page::k1To2Master,
    page::k1To3Master,   page::k1To4Master,   page::k1To2Slave1,   page::k1To3Slave1,
    page::k1To4Slave1,   page::k1To2Slave2,   page::k1To3Slave2,   page::k1To4Slave2,
    page::k1To3Slave3,   page::k1To4Slave3,   page::k1To4Slave4};

// The system menu item that opens the about box.
inline constexpr int kSysCommandAbout = 16;
// The system menu item that turns the wizard's read-back of each adapter on
// and off.
inline constexpr int kSysCommandVerify = 32;
// Beside it: waits that end on the adapter's reply.
inline constexpr int kSysCommandFast = 48;
// And the records: keeping them on and off, and their window.
inline constexpr int kSysCommandKeepRecords = 64;
inline constexpr int kSysCommandRecords = 80;

} // namespace nw::id
