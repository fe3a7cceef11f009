// The information report's parse on any reply: never crashes, never yields an
// address that could split a command, always a report of seven or eight lines.
#include "protocol/DeviceInfo.h"
#include "protocol/Dialect.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The report sees the reply as text: it ends at the first NUL.
    std::string reply(reinterpret_cast<const char*>(data), size);
    reply = reply.c_str();
    nw::InfoLines lines;
    lines.m_strInfoResponse = "Command Response: ON";
    const std::string address = nw::ParseDeviceInfo(reply, lines);
    if (address.size() > 12 || nw::cmd::HasControlChar(address))
        std::abort();
    if (lines.m_strInfoAddress != "Bluetooth Address: " + address)
        std::abort();
    if (lines.m_strInfoMode.rfind("Mode: ", 0) != 0 ||
        lines.m_strInfoStatus.rfind("Status: ", 0) != 0 ||
        lines.m_strInfoFlow.rfind("FlowControl: ", 0) != 0)
        std::abort();
    const std::string report = nw::ComposeReport(lines);
    const auto breaks = std::count(report.begin(), report.end(), '\n') -
                        std::count(lines.m_strInfoName.begin(), lines.m_strInfoName.end(), '\n');
    if (breaks != 6 && breaks != 7)
        std::abort();
    return 0;
}
