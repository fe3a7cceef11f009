// The lines a station run shows. Where the windows show a text for the same
// outcome, it is that text, byte for byte.
#pragma once

namespace nw::station::text {

inline constexpr char kPortOpenError[] = "ERROR: Serial Port Open";
inline constexpr char kNotFound[] = "Can not found OLMA...";
inline constexpr char kNoMulti[] = "This OLMA is not support multiple connection mode.";
inline constexpr char kNoAddress[] = "Can not found OLMA... (its report holds no BD address)";
inline constexpr char kLineGone[] = "Can not found OLMA... (the line went away)";
inline constexpr char kOtherMaster[] =
    "ERROR: Master BD address (another adapter answers on the master's port)";
inline constexpr char kAddressRead[] = "BD address ";
inline constexpr char kSlaveSuccess[] = "Slave setting success.";
inline constexpr char kMasterSuccess[] = "Master setting success.";
inline constexpr char kVerified[] = "VERIFIED";
inline constexpr char kNotVerified[] = "NOT VERIFIED: ";
inline constexpr char kComplete[] = "SUCCESS: Multi setting complete.";
inline constexpr char kFailed[] = "FAILED: ";

} // namespace nw::station::text
