#include "app/qt/ControlBuilder.h"

#include "app/qt/ControlAccess.h"
#include "app/qt/IconArt.h"
#include "app/qt/PictureArt.h"
#include "app/qt/TemplateStyle.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <type_traits>

namespace nw::qt {

namespace {

using res::ControlKind;
using res::ControlTemplate;

QString Text(const ControlTemplate& c) {
    return QString::fromUtf8(c.text);
}

// A radio button or check box whose clicks change its state only while its
// window takes input, and that tells a state change made by a click from one
// made otherwise.
template <class Button> class CCheckable : public Button {
  public:
    using Button::Button;
    bool InClick() const { return m_inClick; }

  protected:
    void nextCheckState() override { // the state change of a click
        if (ControlRefusesInput(this))
            return; // the click itself is refused too, by the window
        m_inClick = true;
        Button::nextCheckState();
        m_inClick = false;
    }

  private:
    bool m_inClick = false;
};

// Routes the check state changes that no click made to `onClick`. A radio
// button reports only being checked: its group unchecks the others.
template <class Button>
void RouteToggles(CCheckable<Button>* button, QWidget& parent, int id, const ClickSink& onClick) {
    QObject::connect(button, &QAbstractButton::toggled, &parent, [=](bool checked) {
        if (!button->InClick() && (checked || !std::is_same_v<Button, QRadioButton>))
            onClick(id, ControlUse::Toggle);
    });
}

QLabel* MakeStatic(QWidget& parent, const ControlTemplate& c) {
    auto* label = new QLabel(Text(c), &parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QComboBox* MakeCombo(QWidget& parent, const BaseUnits& units, QRect& rect) {
    auto* combo = new QComboBox(&parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The closed combo is as high as its edit field; the template's height
    // is that of the open list.
    const int closed = std::min(combo->sizeHint().height(), MulDiv(14, units.cy, 8));
    const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (rect.height() - closed) / itemHeight));
    rect.setHeight(closed);
    return combo;
}

QWidget* MakeControl(QWidget& parent, const ControlTemplate& c, const BaseUnits& units,
                     QRect& rect) {
    switch (c.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(Text(c), &parent);
    case ControlKind::Static:
        return MakeStatic(parent, c);
    case ControlKind::Combo:
        return MakeCombo(parent, units, rect);
    case ControlKind::PushButton: {
        auto* button = new QPushButton(Text(c), &parent);
        // Only the template's default button is the default; the window
        // handles Enter on the others (see CTemplateWindow).
        button->setAutoDefault(false);
        button->setDefault((c.style & res::kDefaultButton) != 0);
        return button;
    }
    case ControlKind::AutoRadio: {
        auto* radio = new CCheckable<QRadioButton>(Text(c), &parent);
        radio->setAutoExclusive(false); // exclusive through its group below
        return radio;
    }
    case ControlKind::AutoCheck:
        return new CCheckable<QCheckBox>(Text(c), &parent);
    case ControlKind::Edit:
        return new QLineEdit(&parent);
    case ControlKind::Icon: {
        auto* label = new QLabel(&parent);
        const QPixmap icon = AppIcon().pixmap(32, 32);
        label->setPixmap(icon);
        rect.setSize(icon.size()); // an icon static takes the icon's size
        return label;
    }
    case ControlKind::Bitmap: {
        auto* label = new QLabel(&parent);
        const QPixmap bitmap = QPixmap::fromImage(DrawBitmap(c.resource));
        label->setPixmap(bitmap);
        rect.setSize(bitmap.size()); // shown at the bitmap's own size
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    }
    return nullptr;
}

} // namespace

QString ControlObjectName(int id) {
    return QStringLiteral("c%1").arg(id);
}

BuiltControls BuildControls(QWidget& parent, const res::DialogTemplate& tmpl,
                            const BaseUnits& units, const ClickSink& onClick) {
    BuiltControls built;
    built.units = units;
    QButtonGroup* radioGroup = nullptr;
    QLabel* lastLabel = nullptr;
    for (const ControlTemplate& c : tmpl.controls) {
        QRect rect = MapDialogRect(units, c.x, c.y, c.cx, c.cy);
        QWidget* w = MakeControl(parent, c, units, rect);
        w->setStyle(TemplateStyle());
        w->setGeometry(rect);
        w->setEnabled((c.style & res::kDisabled) == 0);

        // Radio groups run from a radio that starts a group over the radios
        // that follow it.
        if (c.kind == ControlKind::AutoRadio) {
            if ((c.style & res::kGroupStart) != 0 || radioGroup == nullptr) {
                radioGroup = new QButtonGroup(&parent);
                radioGroup->setExclusive(true);
            }
            radioGroup->addButton(static_cast<QAbstractButton*>(w));
        } else {
            radioGroup = nullptr;
        }

        // Captions name their controls as they change; only what shows no
        // caption of its own gets a fixed name.
        if (c.kind == ControlKind::Static)
            lastLabel = static_cast<QLabel*>(w);
        if ((c.kind == ControlKind::Edit || c.kind == ControlKind::Combo) && lastLabel) {
            w->setAccessibleName(lastLabel->text());
            lastLabel->setBuddy(w);
        }
        if (c.kind == ControlKind::Icon)
            w->setAccessibleName(QStringLiteral("Nodewright"));

        if (c.id != res::kNoId) {
            w->setObjectName(ControlObjectName(c.id));
            built.byId[c.id] = w;
            if (auto* button = qobject_cast<QAbstractButton*>(w); button && onClick) {
                const int id = c.id;
                QObject::connect(button, &QAbstractButton::clicked, &parent,
                                 [onClick, id] { onClick(id, ControlUse::Click); });
                if (auto* radio = dynamic_cast<CCheckable<QRadioButton>*>(w))
                    RouteToggles(radio, parent, id, onClick);
                if (auto* check = dynamic_cast<CCheckable<QCheckBox>*>(w))
                    RouteToggles(check, parent, id, onClick);
            }
        }
        w->show();
    }
    return built;
}

} // namespace nw::qt
