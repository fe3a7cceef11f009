// The lines a station run shows. Where the windows show a text for the same
// outcome, it is the windows' own (the message table is plain constants).
#pragma once

#include "ui/Messages.h"

namespace nw::station::text {

inline constexpr const char* kPortOpenError = msg::kSerialPortOpenError;
inline constexpr const char* kNotFound = msg::kCanNotFoundManual;
inline constexpr const char* kNoMulti = msg::kNoMulti;
inline constexpr char kNoAddress[] = "Can not found OLMA... (its report holds no BD address)";
inline constexpr char kLineGone[] = "Can not found OLMA... (the line went away)";
inline constexpr char kOtherMaster[] =
    "ERROR: Master BD address (another adapter answers on the master's port)";
inline constexpr char kAddressRead[] = "BD address ";
inline constexpr const char* kSlaveSuccess = msg::kSlaveSuccess;
inline constexpr const char* kMasterSuccess = msg::kMasterSuccess;
inline constexpr char kVerified[] = "VERIFIED";
inline constexpr char kNotVerified[] = "NOT VERIFIED: ";
inline constexpr const char* kComplete = msg::kMultiComplete;
inline constexpr char kFailed[] = "FAILED: ";

} // namespace nw::station::text
