#include "protocol/CommandExchange.h"

#include <cstring>

namespace nw {

std::string DropEcho(const std::string& reply, std::string_view command) {
    std::string_view text = command;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    if (text.empty() || reply.compare(0, text.size(), text) != 0)
        return reply;
    std::size_t at = text.size();
    for (const char c : command.substr(text.size())) {
        if (at >= reply.size() || reply[at] != c)
            break;
        ++at;
    }
    return reply.substr(at);
}

void CCommandExchange::Take() {
    m_nRxCount = m_port.Take(m_szRxBuf, m_port.Waiting());
    m_szRxBuf[m_nRxCount] = '\0';
    m_strResponse = m_szRxBuf; // a NUL inside the reply ends the text
}

void CCommandExchange::Collect() {
    Take();
    if (m_bLineGone)
        m_strResponse.clear();
    else
        m_strResponse = DropEcho(m_strResponse, m_lastWritten);
}

bool CCommandExchange::Write(const char* pszCommand) {
    if (m_bLineGone)
        return false;
    m_lastWritten = pszCommand;
    const auto n = static_cast<std::uint32_t>(std::strlen(pszCommand));
    if (m_port.Write(pszCommand, n) != n)
        m_bLineGone = true;
    return !m_bLineGone;
}

} // namespace nw
