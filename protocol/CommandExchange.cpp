#include "protocol/CommandExchange.h"

#include <cstring>

namespace nw {

void CCommandExchange::Take() {
    const int n = m_port.m_rxBuffer.GetCount();
    m_nRxCount = m_port.m_rxBuffer.Get(m_szRxBuf, n);
    m_szRxBuf[m_nRxCount] = '\0';
    m_strResponse = m_szRxBuf; // a NUL inside the reply ends the text
}

void CCommandExchange::Write(const char* pszCommand) {
    (void)m_port.Write(pszCommand, static_cast<std::uint32_t>(std::strlen(pszCommand)));
}

void CCommandExchange::BareSend(const char* pszCommand, std::uint32_t dwPauseMs) {
    Write(pszCommand);
    Pause(dwPauseMs);
}

std::string CCommandExchange::SendCommand(const char* pszCommand, std::uint32_t dwDelayMs) {
    Drain();
    Write(pszCommand);
    Pause(dwDelayMs);
    Collect();
    return m_strResponse;
}

} // namespace nw
