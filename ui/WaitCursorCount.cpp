#include "ui/WaitCursorCount.h"

namespace nw {

void CWaitCursorCount::Raise() {
    ++m_raised;
    Update();
}

void CWaitCursorCount::Lower() {
    if (m_raised > 0)
        --m_raised;
    if (m_idle > m_raised)
        m_idle = m_raised;
    Update();
}

void CWaitCursorCount::Update() {
    if (Busy() == m_busy)
        return;
    m_busy = Busy();
    OnBusyChanged(m_busy);
}

CWaitCursorCount::IdleScope::IdleScope(CWaitCursorCount& count)
    : m_count(count), m_savedIdle(count.m_idle) {
    m_count.m_idle = m_count.m_raised;
    m_count.Update();
}

CWaitCursorCount::IdleScope::~IdleScope() {
    m_count.m_idle = m_savedIdle < m_count.m_raised ? m_savedIdle : m_count.m_raised;
    m_count.Update();
}

} // namespace nw
