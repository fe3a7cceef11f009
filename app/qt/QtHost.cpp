#include "app/qt/QtHost.h"

#include "app/qt/ControlAccess.h"
#include "app/qt/PaintingPause.h"
#include "app/qt/TemplateWindow.h"
#include "res/Strings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalBlocker>

namespace nw::qt {

namespace {
QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string S(const QString& text) {
    return text.toStdString();
}
} // namespace

CQtHost::CQtHost(CTemplateWindow& window, CHostContext& context)
    : m_window(window), m_context(context) {}

QWidget* CQtHost::Control(int id) const {
    return m_window.Control(id);
}

void CQtHost::Pause(std::uint32_t ms) {
    PauseKeepingPainted(static_cast<double>(ms) * m_context.pauseScale);
    if (m_context.afterPause)
        m_context.afterPause();
}

std::optional<double> CQtHost::PauseUntil(std::uint32_t ms, IAwaited& awaited) {
    const double scale = m_context.pauseScale;
    const std::optional<double> used = WaitKeepingPainted(ms * scale, awaited);
    if (m_context.afterPause)
        m_context.afterPause();
    return Unscaled(used, scale);
}

void CQtHost::EnableControl(int id, bool enable) {
    if (QWidget* w = Control(id))
        w->setEnabled(enable);
}

void CQtHost::SetText(int id, const std::string& text) {
    QWidget* w = Control(id);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text() != Q(text)) {
            label->setText(Q(text));
            AnnounceIfLive(label);
        }
    } else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(Q(text));
    else if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(Q(text));
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        combo->setEditText(Q(text));
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(Q(text));
}

std::string CQtHost::GetText(int id) {
    QWidget* w = Control(id);
    if (auto* label = qobject_cast<QLabel*>(w))
        return S(label->text());
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return S(button->text());
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return S(edit->text());
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return S(combo->currentText());
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return S(group->title());
    return {};
}

void CQtHost::SetCheck(int id, bool checked) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    if (button == nullptr)
        return;
    // Set directly, as a check-state message does: the group may be left
    // with no button checked, and no handler runs.
    const QSignalBlocker quiet(button);
    QButtonGroup* group = button->group();
    const bool exclusive = group != nullptr && group->exclusive();
    if (exclusive && !checked)
        group->setExclusive(false);
    button->setChecked(checked);
    if (exclusive && !checked)
        group->setExclusive(true);
}

bool CQtHost::GetCheck(int id) {
    auto* button = qobject_cast<QAbstractButton*>(Control(id));
    return button != nullptr && button->isChecked();
}

void CQtHost::ComboAdd(int id, const std::string& text) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr)
        return;
    const int before = combo->currentIndex();
    combo->addItem(Q(text));
    if (before < 0)
        combo->setCurrentIndex(-1); // adding an item never selects it
}

void CQtHost::ComboSelect(int id, int index) {
    if (auto* combo = qobject_cast<QComboBox*>(Control(id)))
        combo->setCurrentIndex(index);
}

std::string CQtHost::ComboSelectedText(int id) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr || combo->currentIndex() < 0)
        return {};
    // Text typed over the selected item leaves no item selected.
    const QString item = combo->itemText(combo->currentIndex());
    return combo->currentText() == item ? S(item) : std::string();
}

void CQtHost::ShowPicture(int templateId, bool show) {
    const auto it = m_pictures.find(templateId);
    if (it != m_pictures.end() && it->second)
        it->second->setVisible(show);
}

void CQtHost::MessageBox(const std::string& text, const std::string& detail) {
    // Over the window the user is in: the port reports its failures through
    // the main window's host even while the Manual Setting window is open,
    // and that window must be blocked too while the box waits.
    QWidget* parent = QApplication::activeModalWidget();
    if (parent == nullptr || !parent->isVisible())
        parent = &m_window;
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(res::kMessageBoxTitle), Q(text),
                    QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (!detail.empty())
        box.setInformativeText(Q(detail));
    box.setWindowModality(Qt::WindowModal);
    CBusyCursor::IdleScope idle(m_context.cursor);
    box.exec();
}

void CQtHost::BeginWaitCursor() {
    ++m_wait;
    m_context.cursor.Raise();
}

void CQtHost::EndWaitCursor() {
    --m_wait;
    m_context.cursor.Lower();
}

void CQtHost::RunManualWindow(CSetupDlg& owner) {
    if (onRunManualWindow)
        onRunManualWindow(owner);
}

void CQtHost::RunAboutBox() {
    if (onRunAboutBox)
        onRunAboutBox();
}

} // namespace nw::qt
