#include "app/win32/WaitCursor.h"

#include "app/win32/Win32.h"

namespace nw::win {

void CWaitCursorState::Raise() {
    ++m_raised;
    Apply();
}

void CWaitCursorState::Lower() {
    if (m_raised > 0)
        --m_raised;
    if (m_idle > m_raised)
        m_idle = m_raised;
    Apply();
}

void CWaitCursorState::Apply() const {
    SetCursor(LoadCursorW(nullptr, Busy() ? IDC_WAIT : IDC_ARROW));
}

CWaitCursorState::IdleScope::IdleScope(CWaitCursorState& state)
    : m_state(state), m_saved(state.m_idle) {
    m_state.m_idle = m_state.m_raised;
    m_state.Apply();
}

CWaitCursorState::IdleScope::~IdleScope() {
    m_state.m_idle = m_saved < m_state.m_raised ? m_saved : m_state.m_raised;
    m_state.Apply();
}

} // namespace nw::win
