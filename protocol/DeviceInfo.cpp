#include "protocol/DeviceInfo.h"

#include "protocol/Dialect.h"

namespace nw {

namespace {

// Substring with counts clamped to the text, as the report cuts its fields.
std::string Mid(const std::string& s, long start, long count) {
    const long len = static_cast<long>(s.size());
    if (start < 0)
        start = 0;
    if (count <= 0 || start >= len)
        return {};
    if (count > len - start)
        count = len - start;
    return s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

} // namespace

std::string ComposeReport(const InfoLines& l) {
    return l.m_strInfoName + "\n" + l.m_strInfoAddress + "\n" + l.m_strInfoMode + "\n" +
           l.m_strInfoFlow + "\n" + l.m_strInfoStatus + "\n" + l.m_strInfoSecurity + "\n" +
           l.m_strInfoResponse;
}

std::string ParseDeviceInfo(const std::string& reply, InfoLines& lines) {
    using reply::Contains;

    lines.m_strInfoMode = "Mode: ?";
    for (const char* token : {"MODE0", "MODE1", "MODE2", "MODE3"}) {
        if (Contains(reply, token)) {
            lines.m_strInfoMode = std::string("Mode: ") + token;
            break;
        }
    }

    if (Contains(reply, reply::kStandby))
        lines.m_strInfoStatus = "Status: STANDBY";
    else if (Contains(reply, reply::kPending))
        lines.m_strInfoStatus = "Status: PENDING";
    else if (Contains(reply, reply::kConnect))
        lines.m_strInfoStatus = "Status: CONNECT";
    else
        lines.m_strInfoStatus = "Status: ?";

    if (Contains(reply, "NoFC"))
        lines.m_strInfoFlow = "FlowControl: OFF";
    else if (Contains(reply, "HWFC"))
        lines.m_strInfoFlow = "FlowControl: ON";
    else
        lines.m_strInfoFlow = "FlowControl: ?";

    if (Contains(reply, ",0,0"))
        lines.m_strInfoSecurity = "Authentication: OFF\nEncryption: OFF";
    else if (Contains(reply, ",1,0"))
        lines.m_strInfoSecurity = "Authentication: ON\nEncryption: OFF";
    else if (Contains(reply, ",0,1"))
        lines.m_strInfoSecurity = "Authentication: OFF\nEncryption: ON";
    else if (Contains(reply, ",1,1"))
        lines.m_strInfoSecurity = "Authentication: ON\nEncryption: ON";
    else
        lines.m_strInfoSecurity = "Authentication: ?";

    // Field 1: after the leading line end, up to the first comma.
    const std::size_t comma = reply.find(',');
    const long c = comma == std::string::npos ? -1 : static_cast<long>(comma);
    const std::string first = c > 0 ? Mid(reply, 0, c) : std::string();
    std::string address = Mid(first, 2, 12);
    // An address is later written into other adapters inside a command: one
    // holding a line end or other control byte would split that command, so
    // it is taken as no address at all.
    if (cmd::HasControlChar(address))
        address.clear();
    lines.m_strInfoAddress = "Bluetooth Address: " + address;

    // Field 2: the text after the first comma up to the next one.
    const long len = static_cast<long>(reply.size());
    const std::string rest = Mid(reply, c + 1, len - c - 1); // whole reply when no comma
    const std::size_t nameEnd = rest.find(',');
    const std::string name = nameEnd == std::string::npos ? std::string() : rest.substr(0, nameEnd);
    lines.m_strInfoName = "Friendly Name: " + name;
    return address;
}

} // namespace nw
