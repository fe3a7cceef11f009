#include "app/qt/TemplateWindow.h"

#include "app/qt/ControlAccess.h"
#include "app/qt/TemplateFont.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

#include <utility>

namespace nw::qt {

CTemplateWindow::CTemplateWindow(const res::DialogTemplate& tmpl, QWidget* parent)
    : QDialog(parent), m_template(tmpl) {
    Qt::WindowFlags flags = (tmpl.style & res::kAppWindow) != 0 ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if ((tmpl.style & res::kCaption) != 0)
        flags |= Qt::WindowTitleHint;
    if ((tmpl.style & res::kSysMenu) != 0)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(tmpl.caption));
    setAccessibleName(windowTitle());

    const QFont font = TemplateFont(tmpl.fontFace, tmpl.pointSize);
    setFont(font);
    const BaseUnits units = BaseUnitsOf(font);
    InstallControlAccessibility();
    m_controls =
        BuildControls(*this, tmpl, units, [this](int id, ControlUse how) { ControlUsed(id, how); });
    setFixedSize(MulDiv(tmpl.cx, units.cx, 4), MulDiv(tmpl.cy, units.cy, 8));
}

QWidget* CTemplateWindow::Control(int id) const {
    const auto it = m_controls.byId.find(id);
    return it == m_controls.byId.end() ? nullptr : it->second;
}

QRect CTemplateWindow::MapRect(int x, int y, int cx, int cy) const {
    return MapDialogRect(m_controls.units, x, y, cx, cy);
}

void CTemplateWindow::ControlUsed(int id, ControlUse how) {
    if (!OperationRunning())
        OnControlClicked(id);
    else if (how == ControlUse::Toggle)
        m_toggledMeanwhile.push_back(id);
}

bool CTemplateWindow::RunOperation(const std::function<void()>& handler) {
    if (OperationRunning())
        return false;
    m_running = 1;
    NotifyAvailabilityChanged(m_controls.byId);
    handler();
    m_running = 0;
    NotifyAvailabilityChanged(m_controls.byId);
    for (int id : std::exchange(m_toggledMeanwhile, {}))
        OnControlClicked(id);
    if (m_closePending) {
        m_closePending = false;
        close();
    }
    return true;
}

void CTemplateWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool plain = event->modifiers() == Qt::NoModifier ||
                       (event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter);
    if (!enter || !plain) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter presses the focused push button, else the template's default
    // button, else ends the window as OK does.
    if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) {
        if (focused->isEnabled())
            focused->click();
        return;
    }
    for (QPushButton* b : findChildren<QPushButton*>()) {
        if (b->isDefault() && b->isVisible()) {
            if (b->isEnabled())
                b->click();
            return;
        }
    }
    accept();
}

void CTemplateWindow::closeEvent(QCloseEvent* event) {
    if (m_running > 0) {
        m_closePending = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace nw::qt
