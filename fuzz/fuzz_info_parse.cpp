// The information report's parse on any reply: never crashes, never yields an
// address that could split a command, always a report of seven or eight lines.
#include "protocol/DeviceInfo.h"
#include "protocol/Dialect.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string reply = std::string(reinterpret_cast<const char*>(data), size).c_str();
    nw::InfoLines lines;
    lines.m_strInfoResponse = "Command Response: ON";
    const std::string address = nw::ParseDeviceInfo(reply, lines);
    const std::string report = nw::ComposeReport(lines);
    const auto breaks = std::count(report.begin(), report.end(), '\n') -
                        std::count(lines.m_strInfoName.begin(), lines.m_strInfoName.end(), '\n');
    if (address.size() > 12 || nw::cmd::HasControlChar(address) ||
        reply.find(address) == std::string::npos || (breaks != 6 && breaks != 7) ||
        lines.m_strInfoAddress != "Bluetooth Address: " + address ||
        !lines.m_strInfoMode.starts_with("Mode: ") ||
        !lines.m_strInfoStatus.starts_with("Status: "))
        std::abort();
    return 0;
}
