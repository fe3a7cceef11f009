#include "app/qt/ControlAccess.h"

#include "app/qt/TemplateWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace nw::qt {

namespace {

constexpr char kLiveProperty[] = "nwLiveText";

bool IsLive(const QWidget* widget) {
    return widget->property(kLiveProperty).toBool();
}

// A template window's push button, radio button or check box.
class CButtonAccessible : public QAccessibleWidget {
  public:
    explicit CButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, RoleOf(*button)) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return SpokenCaption(Button()->text());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const QAbstractButton* b = Button();
        s.checkable = b->isCheckable();
        s.checked = b->isChecked();
        s.pressed = b->isDown();
        if (const auto* push = qobject_cast<const QPushButton*>(b))
            s.defaultButton = push->isDefault();
        s.disabled = s.disabled || ControlRefusesInput(b);
        return s;
    }

    // The same list whether available or not: a client that kept an
    // action's index must not reach another action through it.
    QStringList actionNames() const override {
        QStringList names;
        if (Button()->isCheckable())
            names << toggleAction();
        if (role() != QAccessible::RadioButton)
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action != pressAction() && action != toggleAction()) {
            QAccessibleWidget::doAction(action);
            return;
        }
        if (!Available())
            return;
        if (action == pressAction())
            Button()->animateClick(); // clicks once this call over the bus has returned
        else
            Button()->toggle(); // the window follows the new check state (see ControlBuilder)
    }

  private:
    static QAccessible::Role RoleOf(const QAbstractButton& button) {
        if (qobject_cast<const QRadioButton*>(&button) != nullptr)
            return QAccessible::RadioButton;
        return button.isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    }
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
    bool Available() const { return widget()->isEnabled() && !ControlRefusesInput(widget()); }
};

// A live text: a notification named by the text it shows.
class CLiveTextAccessible : public QAccessibleWidget {
  public:
    explicit CLiveTextAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::Notification) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* ControlInterface(const QString& /*className*/, QObject* object) {
    if (auto* label = qobject_cast<QLabel*>(object); label != nullptr && IsLive(label))
        return new CLiveTextAccessible(label);
    auto* button = qobject_cast<QAbstractButton*>(object);
    if (button != nullptr && qobject_cast<const CTemplateWindow*>(button->window()) != nullptr)
        return new CButtonAccessible(button);
    return nullptr;
}

} // namespace

void InstallControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        return true;
    }();
    (void)installed;
}

bool ControlRefusesInput(const QWidget* control) {
    const auto* window = qobject_cast<const CTemplateWindow*>(control->window());
    return window != nullptr && window->OperationRunning();
}

void NotifyAvailabilityChanged(const std::map<int, QWidget*>& controls) {
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.disabled = true;
    for (const auto& [id, widget] : controls) {
        // A control the logic disabled stays unavailable either way.
        if (qobject_cast<QAbstractButton*>(widget) == nullptr || !widget->isEnabled())
            continue;
        QAccessibleStateChangeEvent event(widget, changed);
        QAccessible::updateAccessibility(&event);
    }
}

QString SpokenCaption(const QString& caption) {
    QString s = caption;
    s.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return s;
}

void MakeLive(QLabel* label) {
    label->setProperty(kLiveProperty, true);
    // The label's text made it a plain label's interface already: drop that
    // one, the next query makes the notification.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(label);
    if (made != nullptr && dynamic_cast<CLiveTextAccessible*>(made) == nullptr)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void AnnounceIfLive(QLabel* label) {
    if (!IsLive(label) || !label->isVisible())
        return;
    // Screen readers speak a notification when it shows. The label stays on
    // screen, so only the event goes out, after the new name.
    QAccessibleEvent event(label, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
}

} // namespace nw::qt
