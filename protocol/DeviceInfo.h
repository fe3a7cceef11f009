// The information report: wake the adapter, ask "at+btinfo?", and turn the
// answer into report lines (name, address, mode, flow control, status,
// security, command response). Also yields the adapter's own address, which
// the wizard collects into its address slots.
#pragma once

#include "protocol/CommandExchange.h"

#include <functional>
#include <string>

namespace nw {

// The lines of a report, each a complete text such as "Mode: MODE1".
struct InfoLines {
    std::string m_strInfoStatus;
    std::string m_strInfoResponse;
    std::string m_strInfoMode;
    std::string m_strInfoFlow;
    std::string m_strInfoAddress;
    std::string m_strInfoName;
    std::string m_strInfoSecurity; // two lines joined by "\n", or "Authentication: ?"
};

// The lines joined by "\n" in report order: name, address, mode, flow
// control, status, security, command response. No line end at the end.
std::string ComposeReport(const InfoLines& lines);

// Fills mode, status, flow, security, address and name lines from an
// "at+btinfo?" reply and returns the address field (characters 2.. of the
// text before the first comma, at most 12; empty when there is none, and
// empty when those characters hold a control character).
// Tokens are found anywhere in the reply, name included; the order of the
// searches decides between tokens.
std::string ParseDeviceInfo(const std::string& reply, InfoLines& lines);

// When to send "ato" after reading the description.
enum class ResumeRule {
    AfterAnyOk,      // "at" or "+++" answered OK (the main window)
    AfterEscapeOnly, // only "+++" answered OK (the Manual Setting window)
};

struct DeviceInfoResult {
    int result = -1;     // 1 report built, -1 no wake-up step found the adapter or the line went
    std::string address; // the address field of the reply (valid when result is 1)
};

// Runs the report: wake-up (at, ats10?, +++, ats10?), "at+btinfo?" written
// without a drain and collected after 2000 ms, "ato" by `rule`, 400 ms, and
// "ats10=0" to an adapter found with result messages off; then the parse.
// `onEscaped` runs as soon as "+++" was answered with OK (the adapter was in
// a link). On -1 the lines are untouched.
DeviceInfoResult ReadDeviceInfo(CCommandExchange& ex, InfoLines& lines, ResumeRule rule,
                                const std::function<void()>& onEscaped = {});

} // namespace nw
