#include "serial/RxBuffer.h"

#include <algorithm>
#include <cstring>

namespace nw {

CRxBuffer::CRxBuffer() {
    Reset();
}

void CRxBuffer::Reset() {
    m_nWritePos = 0;
    m_nReadPos = 0;
    m_abData.fill(0);
    m_nCount.store(0, std::memory_order_release);
}

int CRxBuffer::Put(const char* source, int length) {
    if (length <= 0 || source == nullptr)
        return -1;
    std::unique_lock lock(m_cs);
    if (GetFree() < length)
        return -1;
    const int room = kCapacity - m_nWritePos; // slots after the write position
    if (length > room) {
        if (room > 0)
            std::memcpy(&m_abData[m_nWritePos + 1], source, static_cast<size_t>(room));
        std::memcpy(&m_abData[0], source + room, static_cast<size_t>(length - room));
    } else {
        std::memcpy(&m_abData[m_nWritePos + 1], source, static_cast<size_t>(length));
    }
    m_nWritePos = (m_nWritePos + length) % kSlots;
    m_nCount.fetch_add(length, std::memory_order_acq_rel);
    lock.unlock();
    m_arrived.notify_all();
    return length;
}

int CRxBuffer::Peek(char* destination, int length) const {
    std::lock_guard lock(m_cs);
    const int n = std::min(length, m_nCount.load(std::memory_order_acquire));
    if (n <= 0 || destination == nullptr)
        return 0;
    for (int i = 0; i < n; ++i)
        destination[i] = m_abData[static_cast<std::size_t>((m_nReadPos + 1 + i) % kSlots)];
    return n;
}

bool CRxBuffer::WaitForMore(int count, std::chrono::steady_clock::time_point deadline) const {
    std::unique_lock lock(m_cs);
    const int wakes = m_nWakes;
    m_arrived.wait_until(lock, deadline, [&] {
        return m_nCount.load(std::memory_order_acquire) > count || m_nWakes != wakes;
    });
    return m_nCount.load(std::memory_order_acquire) > count;
}

void CRxBuffer::Wake() {
    {
        std::lock_guard lock(m_cs);
        ++m_nWakes;
    }
    m_arrived.notify_all();
}

int CRxBuffer::Get(char* destination, int length) {
    std::lock_guard lock(m_cs);
    if (m_nCount.load(std::memory_order_acquire) < length || length <= 0 || destination == nullptr)
        return 0;
    const int room = kCapacity - m_nReadPos;
    if (room >= length) {
        std::memcpy(destination, &m_abData[m_nReadPos + 1], static_cast<size_t>(length));
    } else {
        if (room > 0)
            std::memcpy(destination, &m_abData[m_nReadPos + 1], static_cast<size_t>(room));
        std::memcpy(destination + room, &m_abData[0], static_cast<size_t>(length - room));
    }
    m_nReadPos = (m_nReadPos + length) % kSlots;
    m_nCount.fetch_sub(length, std::memory_order_acq_rel);
    return length;
}

} // namespace nw
