// Creates a template's controls as widgets inside a parent: each at its
// dialog-unit rectangle converted with the parent's base units, in template
// order (which is also the tab order and, for overlapping controls, the
// stacking order), with its style, initial text and enabled state, and an
// accessible name (its caption, or for an edit or combo box the label
// before it).
#pragma once

#include "app/qt/DialogUnits.h"
#include "res/DialogTemplates.h"

#include <QString>

#include <functional>
#include <map>

class QWidget;

namespace nw::qt {

struct BuiltControls {
    std::map<int, QWidget*> byId; // controls with an id
    BaseUnits units;
};

// Called with a control's id when the user clicks a button, radio button or
// check box (after an auto radio or check box changed its own state).
using ClickSink = std::function<void(int id)>;

// The object name a control with `id` gets, e.g. "c1009".
QString ControlObjectName(int id);

BuiltControls BuildControls(QWidget& parent, const res::DialogTemplate& tmpl,
                            const BaseUnits& units, const ClickSink& onClick);

} // namespace nw::qt
