// A dialog built from a template: its caption, font, client size in dialog
// units and controls. Clicks reach OnControlClicked by control id. Handlers
// run through RunOperation, one at a time: while one runs, the window takes
// no other (an accessibility action, a shortcut, a click made by code or a
// timer is refused; mouse and keyboard input waits in the pause, see
// PaintingPause.h), and a close of the window waits until it has ended, as
// the original's window could neither nest operations nor close in the
// middle of one. Enter presses the focused push button, else the default
// button, else closes the window as OK does; Escape closes it as Cancel does.
#pragma once

#include "app/qt/ControlBuilder.h"
#include "res/DialogTemplates.h"

#include <QDialog>

#include <functional>
#include <vector>

namespace nw::qt {

class CTemplateWindow : public QDialog {
    Q_OBJECT
  public:
    CTemplateWindow(const res::DialogTemplate& tmpl, QWidget* parent);

    // The control with `id`, nullptr when the template has none.
    QWidget* Control(int id) const;
    template <class T> T* ControlAs(int id) const { return qobject_cast<T*>(Control(id)); }

    const res::DialogTemplate& Template() const { return m_template; }
    const BaseUnits& Units() const { return m_controls.units; }
    // A dialog-unit rectangle of this window in pixels.
    QRect MapRect(int x, int y, int cx, int cy) const;

    // Runs one handler unless one is running already (then false); a close
    // asked for meanwhile happens when it ends.
    bool RunOperation(const std::function<void()>& handler);
    bool OperationRunning() const { return m_running > 0; }

  protected:
    virtual void OnControlClicked(int id) = 0;

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void ControlUsed(int id, ControlUse how);

    const res::DialogTemplate& m_template;
    BuiltControls m_controls;
    int m_running = 0;
    bool m_closePending = false;
    // Controls whose check state changed while an operation ran: their
    // handlers run after it, so the logic follows the state.
    std::vector<int> m_toggledMeanwhile;
};

} // namespace nw::qt
