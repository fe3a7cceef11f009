// Creates a template's controls as widgets inside a parent: each at its
// dialog-unit rectangle converted with the parent's base units, in template
// order (which is also the tab order and, for overlapping controls, the
// stacking order), with its style, initial text and enabled state. A control
// is named by its caption (as shown now), an edit or combo box by the label
// before it.
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

// How a button, radio button or check box reached its handler.
enum class ControlUse {
    Click,  // clicked by any means (an auto radio or check box changed first)
    Toggle, // its check state changed otherwise (not by the window logic)
};
// Called with a control's id and how it was used. While the control's window
// runs an operation, a click changes no check state.
using ClickSink = std::function<void(int id, ControlUse how)>;

// The object name a control with `id` gets, e.g. "c1009".
QString ControlObjectName(int id);

BuiltControls BuildControls(QWidget& parent, const res::DialogTemplate& tmpl,
                            const BaseUnits& units, const ClickSink& onClick);

} // namespace nw::qt
