// The information report's text: the adapter's answer to "at+btinfo?" turned
// into report lines (name, address, mode, flow control, status,
// security, command response). Also yields the adapter's own address, which
// the wizard collects into its address slots.
#pragma once

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

} // namespace nw
