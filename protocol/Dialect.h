// The adapter's AT command dialect, byte for byte as written to the line, and
// the reply keywords the program judges replies by. Case is part of each
// command: the address writes are upper case, everything else lower case.
#pragma once

#include <cstdint>
#include <string>

namespace nw::cmd {

inline constexpr char kAt[] = "at\r\n";             // probe, "OK" when awake
inline constexpr char kAts10Query[] = "ats10?\r\n"; // result messages: a "0" means off
inline constexpr char kAts10Off[] = "ats10=0\r\n";  // result messages off
inline constexpr char kAts10On[] = "ats10=1\r\n";   // result messages on
inline constexpr char kEscape[] = "+++";            // leave data mode; no line end
inline constexpr char kHangUp[] = "ath\r\n";        // drop the Bluetooth link
inline constexpr char kOnline[] = "ato\r\n";        // back to the link after "+++"
inline constexpr char kBtInfoQuery[] = "at+btinfo?\r\n";
inline constexpr char kBtCancel[] = "at+btcancel\r\n";
inline constexpr char kBtModeMaster[] = "at+btmode,1\r\n";
inline constexpr char kBtModeSlave[] = "at+btmode,2\r\n";
inline constexpr char kAts46Query[] = "ats46?\r\n";
inline constexpr char kAts54Query[] = "ats54?\r\n";
inline constexpr char kAts55Query[] = "ats55?\r\n";
inline constexpr char kAts56Query[] = "ats56?\r\n";
inline constexpr char kAts46Write[] = "ATS46=%s\r\n"; // printf format, 12-char address
inline constexpr char kAts54Write[] = "ATS54=%s\r\n";
inline constexpr char kAts55Write[] = "ATS55=%s\r\n";
inline constexpr char kAts56Write[] = "ATS56=%s\r\n";
inline constexpr char kAts46Clear[] = "ats46=000000000000\r\n";
inline constexpr char kAts54Clear[] = "ats54=000000000000\r\n";
inline constexpr char kAts55Clear[] = "ats55=000000000000\r\n";
inline constexpr char kAts56Clear[] = "ats56=000000000000\r\n";
inline constexpr char kAts53Query[] = "ats53?\r\n";
inline constexpr char kAts53Off[] = "ats53=0\r\n";
inline constexpr char kAts53MultiDrop[] = "ats53=1\r\n";
inline constexpr char kAts53NodeSwitching[] = "ats53=2\r\n";
inline constexpr char kFactoryReset[] = "at&f\r\n";
inline constexpr char kRestart[] = "atz\r\n";

// The address that means "no address" everywhere.
inline constexpr char kNoAddress[] = "000000000000";
inline constexpr std::size_t kAddressLength = 12;

// True when `text` holds a byte that could end or split a command line on
// the adapter (CR, LF, NUL and the other control characters, DEL).
bool HasControlChar(const std::string& text);

// An address that may go into a command: exactly 12 characters, none of them
// a control character. (The adapter itself checks that they are hex digits.)
bool IsSendableAddress(const std::string& text);

// Formats one of the "ATSnn=%s\r\n" commands with an address, as the adapter
// command buffer does (64 bytes; longer results are cut).
std::string FormatAddressWrite(const char* format, const std::string& address);

} // namespace nw::cmd

namespace nw::reply {

inline constexpr char kOk[] = "OK";
inline constexpr char kError[] = "ERROR";
inline constexpr char kStandby[] = "STANDBY";
inline constexpr char kPending[] = "PENDING";
inline constexpr char kConnect[] = "CONNECT";

// Plain, case-sensitive search from the first character: the one test every
// reply is judged by.
inline bool Contains(const std::string& reply, const char* keyword) {
    return reply.find(keyword) != std::string::npos;
}

} // namespace nw::reply
