#include "sim/OutputQueue.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

namespace nw::sim {

std::string COutputQueue::Random(std::size_t n, bool printable) {
    std::uniform_int_distribution<int> dist(printable ? 0x21 : 0x00, printable ? 0x7e : 0xff);
    std::string bytes(n, '\0');
    for (char& c : bytes)
        c = static_cast<char>(dist(m_rng));
    return bytes;
}

void COutputQueue::Schedule(Faults& f, const std::string& adapter, const std::string& reply) {
    ScheduleAt(f, adapter, reply, Clock::now() + std::chrono::milliseconds(f.latencyMs));
}

void COutputQueue::ScheduleAt(Faults& f, const std::string& adapter, const std::string& reply,
                              Clock::time_point due) {
    if (reply.empty())
        return;
    const std::string text = Random(f.garbageBytes, true) + reply;
    if (f.splitAt > 0 && f.splitAt < text.size()) {
        m_chunks.push_back({due, 0, adapter, text.substr(0, f.splitAt)});
        m_chunks.push_back({due, f.splitPauseMs, adapter, text.substr(f.splitAt)});
    } else {
        m_chunks.push_back({due, 0, adapter, text});
    }
    if (f.floodBytes > 0) {
        m_chunks.push_back({due, 0, adapter, Random(f.floodBytes, false)});
        f.floodBytes = 0;
    }
}

void COutputQueue::Push(const std::string& adapter, const std::string& bytes) {
    m_chunks.push_back({Clock::now(), 0, adapter, bytes});
}

void COutputQueue::WriteDue(int fd, const Written& written) {
    while (!m_chunks.empty()) {
        Chunk& c = m_chunks.front();
        const Clock::time_point now = Clock::now();
        if (c.due > now)
            return;
        const ssize_t n = ::write(fd, c.bytes.data() + c.sent, c.bytes.size() - c.sent);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            m_chunks.clear(); // the line is gone: nothing more can be delivered
            return;
        }
        written(c.adapter, c.bytes.substr(c.sent, static_cast<std::size_t>(n)));
        c.sent += static_cast<std::size_t>(n);
        if (c.sent < c.bytes.size())
            continue;
        m_chunks.pop_front();
        if (!m_chunks.empty() && m_chunks.front().gapMs > 0)
            m_chunks.front().due =
                std::max(m_chunks.front().due,
                         Clock::now() + std::chrono::milliseconds(m_chunks.front().gapMs));
    }
}

int COutputQueue::WaitMs() const {
    if (m_chunks.empty())
        return -1;
    const auto wait =
        std::chrono::ceil<std::chrono::milliseconds>(m_chunks.front().due - Clock::now());
    return wait.count() <= 0 ? 0 : static_cast<int>(std::min<long long>(wait.count(), 1 << 30));
}

bool COutputQueue::Due() const {
    return !m_chunks.empty() && m_chunks.front().due <= Clock::now();
}

std::size_t COutputQueue::Pending() const {
    std::size_t n = 0;
    for (const Chunk& c : m_chunks)
        n += c.bytes.size() - c.sent;
    return n;
}

} // namespace nw::sim
