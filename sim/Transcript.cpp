#include "sim/Transcript.h"

#include <utility>

namespace nw::sim {

void CTranscript::Restart() {
    m_epoch = std::chrono::steady_clock::now();
    Clear();
}

void CTranscript::Clear() {
    m_entries.clear();
    m_received.clear();
}

void CTranscript::Record(Direction dir, const std::string& adapter, std::string bytes) {
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_epoch)
            .count();
    TranscriptEntry entry{ms, dir, adapter, std::move(bytes)};
    if (m_sink)
        m_untraced.push_back(entry);
    m_entries.push_back(std::move(entry));
}

void CTranscript::Rx(const std::string& adapter, const std::string& bytes) {
    Record(Direction::Rx, adapter, bytes);
    m_received += bytes;
    m_rxTotal += bytes.size();
}

void CTranscript::Tx(const std::string& adapter, std::string bytes) {
    m_txTotal += bytes.size();
    Record(Direction::Tx, adapter, std::move(bytes));
}

void CTranscript::SetSink(Sink sink) {
    m_sink = std::move(sink);
    if (!m_sink)
        m_untraced.clear();
}

std::vector<TranscriptEntry> CTranscript::TakeUntraced() {
    return std::exchange(m_untraced, {});
}

} // namespace nw::sim
