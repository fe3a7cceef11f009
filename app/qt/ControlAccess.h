// How the template windows' controls show themselves to assistive technology
// (a screen reader, voice control, a UI test on the accessibility bus), and
// how a window's running operation closes them to it.
//
// Buttons, radio buttons and check boxes get an accessible interface of their
// own: the name is the caption shown now (the Start button says "Next" when
// the screen does), a radio button has the radio role although its group, not
// the button, keeps it exclusive, and while the window runs an operation the
// controls report themselves unavailable and refuse their actions. An
// accessibility action arrives as a call over the bus, which the pause of a
// running operation does not hold back as it holds back the mouse and the
// keyboard. The widgets' enabled state, the one the window logic sets, is
// never touched for this: a mouse user sees nothing change.
//
// A live text (the main window's message area, the Manual Setting window's
// information area) is a notification to assistive technology: each new text
// is announced, so a screen reader speaks it wherever the focus is.
#pragma once

#include <QString>

#include <map>

class QLabel;
class QWidget;

namespace nw::qt {

// Installs the accessible interfaces of the template windows' controls. Once
// per program, before the first window builds its controls.
void InstallControlAccessibility();

// True while the window holding `control` runs an operation: its controls
// take no click, press or toggle meanwhile.
bool ControlRefusesInput(const QWidget* control);

// Tells assistive technology that the enabled buttons among `controls` have
// become available or unavailable (their window began or ended an operation).
void NotifyAvailabilityChanged(const std::map<int, QWidget*>& controls);

// A caption as a screen reader says it: without the mnemonic marker.
QString SpokenCaption(const QString& caption);

// Makes `label` a live text.
void MakeLive(QLabel* label);
// Announces the text of a live, visible label (it just changed).
void AnnounceIfLive(QLabel* label);

} // namespace nw::qt
