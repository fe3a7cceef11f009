#include "app/qt/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace nw::qt {

CBusyCursor::~CBusyCursor() {
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

void CBusyCursor::Raise() {
    ++m_raised;
    Apply();
}

void CBusyCursor::Lower() {
    if (m_raised > 0)
        --m_raised;
    if (m_idle > m_raised)
        m_idle = m_raised;
    Apply();
}

void CBusyCursor::Apply() {
    const bool busy = m_raised > m_idle;
    if (busy == m_shown)
        return;
    m_shown = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

CBusyCursor::IdleScope::IdleScope(CBusyCursor& cursor)
    : m_cursor(cursor), m_savedIdle(cursor.m_idle) {
    m_cursor.m_idle = m_cursor.m_raised;
    m_cursor.Apply();
}

CBusyCursor::IdleScope::~IdleScope() {
    m_cursor.m_idle = m_savedIdle < m_cursor.m_raised ? m_savedIdle : m_cursor.m_raised;
    m_cursor.Apply();
}

} // namespace nw::qt
