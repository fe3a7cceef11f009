#include "app/qt/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace nw::qt {

CBusyCursor::~CBusyCursor() {
    if (m_shown)
        QGuiApplication::restoreOverrideCursor();
}

void CBusyCursor::OnBusyChanged(bool busy) {
    m_shown = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
}

} // namespace nw::qt
