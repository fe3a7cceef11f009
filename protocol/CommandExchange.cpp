#include "protocol/CommandExchange.h"

#include "protocol/FinalResult.h"

#include <cstring>
#include <thread>
#include <vector>

namespace nw {

namespace {

// The bytes that arrived after the last write, as the reader put them.
class CReplyArrival final : public IAwaited {
  public:
    CReplyArrival(const CSerialPort& port, int from, const std::string& command, bool resultsOff)
        : m_port(port), m_from(from), m_command(command), m_resultsOff(resultsOff) {}

    bool Arrived() override {
        m_seen = m_port.Waiting();
        return HoldsFinalResult(Received(), m_command, m_resultsOff);
    }
    void WaitForChange(std::chrono::steady_clock::time_point deadline) override {
        if (!m_port.ReaderRunning())
            std::this_thread::sleep_until(deadline); // nothing more comes
        else
            m_port.WaitForMore(m_seen, deadline);
    }
    std::string Received() const {
        std::vector<char> bytes(CRxBuffer::kSlots);
        const int n = m_port.Peek(bytes.data(), static_cast<int>(bytes.size()));
        return n > m_from ? std::string(bytes.data() + m_from, static_cast<std::size_t>(n - m_from))
                          : std::string();
    }

  private:
    const CSerialPort& m_port;
    int m_from;
    const std::string& m_command;
    bool m_resultsOff;
    int m_seen = 0;
};

} // namespace

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
    m_replyFrom = m_port.Waiting();
    m_resultsOff = ResultsOffAfter({}, m_lastWritten, m_resultsOff);
    const auto n = static_cast<std::uint32_t>(std::strlen(pszCommand));
    if (m_port.Write(pszCommand, n) != n)
        m_bLineGone = true;
    return !m_bLineGone;
}

std::optional<double> CCommandExchange::AwaitReply(std::uint32_t ms) {
    if (m_bLineGone)
        return std::nullopt;
    CReplyArrival arrival(m_port, m_replyFrom, m_lastWritten, m_resultsOff);
    const std::optional<double> used = m_pacer.PauseUntil(ms, arrival);
    m_resultsOff = ResultsOffAfter(arrival.Received(), m_lastWritten, m_resultsOff);
    return used;
}

} // namespace nw
