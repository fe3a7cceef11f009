#include "serial/RxBuffer.h"

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
    std::lock_guard lock(m_cs);
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
    return length;
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
