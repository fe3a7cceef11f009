// Every text the windows show, byte for byte.
#pragma once

namespace nw::msg {

inline constexpr char kPortOpenPlease[] = "Port Open Please";
inline constexpr char kPortOpen[] = "Port Open";
inline constexpr char kPortClose[] = "Port Close";
inline constexpr char kSerialPortOpenError[] = "ERROR: Serial Port Open";
inline constexpr char kNotDetected[] = "OLMA Not detected.";
inline constexpr char kCanNotFoundManual[] = "Can not found OLMA...";
inline constexpr char kConnectedOther[] =
    "OLMA is connected other device. Try disconnect and factory reset.";

inline constexpr char kCanNotFoundRetry[] = "Can not found OLMA. Check and push retry button.";
inline constexpr char kNoMultiRetry[] =
    "This OLMA is not support multiple connection mode. Check and push retry button.";
inline constexpr char kConnectMasterNext[] =
    "Connect master to the serial port and push next button.";
inline constexpr char kConnectMasterStart[] =
    "Connect master to the serial port and push start button.";
inline constexpr char kConnectSlave1[] = "Connect slave1 to a serial device and push next button.";
inline constexpr char kConnectSlave2[] = "Connect slave2 to a serial device and push start button.";
inline constexpr char kConnectSlave3[] = "Connect slave3 to a serial device and push start button.";
inline constexpr char kConnectSlave4[] = "Connect slave4 to a serial device and push start button.";
inline constexpr char kConnectMasterLast[] =
    "Connect master to a serial device and push start button.";
inline constexpr char kSettingNow[] = "Setting now. Wait please.";
inline constexpr char kMultiComplete[] = "SUCCESS: Multi setting complete.";

// The wizard's verification of each adapter (when it is asked for).
inline constexpr char kCheckAndRetry[] = "Check and push retry button.";
inline constexpr char kNotTheMaster[] =
    "NOT VERIFIED: this is not the master the slaves were given";

inline constexpr char kResetSuccess[] = "SUCCESS: Factory reset";
inline constexpr char kResetError[] = "ERROR: Factory reset";

inline constexpr char kFactoryResetAndCheck[] = "ERROR: Factory reset and check OLMA.";
inline constexpr char kNoMulti[] = "This OLMA is not support multiple connection mode.";
inline constexpr char kCheckMoreUse[] = "ERROR: Check more use button.";
inline constexpr char kMasterSuccess[] = "Master setting success.";
inline constexpr char kMasterAddress[] = "ERROR: Master BD address";
inline constexpr char kCheckOlma[] = "ERROR: Check OLMA.";
inline constexpr char kSlaveSuccess[] = "Slave setting success.";
inline constexpr const char* kSlaveAddress[4] = {
    "ERROR: Slave1 BD address", "ERROR: Slave2 BD address", "ERROR: Slave3 BD address",
    "ERROR: Slave4 BD address"};

// Captions of the Start button.
inline constexpr char kStart[] = "Start";
inline constexpr char kNext[] = "Next";
inline constexpr char kRetry[] = "Retry";
inline constexpr char kTryAgain[] = "Try again";

// Report lines the settings write without asking the adapter.
inline constexpr char kModeMaster[] = "Mode: MODE1";
inline constexpr char kModeSlave[] = "Mode: MODE2";
inline constexpr char kStatusPending[] = "Status: PENDING";
inline constexpr char kResponseOn[] = "Command Response: ON";
inline constexpr char kResponseOff[] = "Command Response: OFF";

} // namespace nw::msg
