// The Manual Setting window (template 166) around its logic: built from the
// template, its clicks routed to the logic's handlers, its host applying the
// logic's calls to these widgets. It works on the main window's port and
// state through the main window's logic.
#pragma once

#include "app/qt/HostContext.h"
#include "app/qt/QtHost.h"
#include "app/qt/TemplateWindow.h"
#include "ui/ManualDlg.h"

namespace nw::qt {

class CManualWindow : public CTemplateWindow {
    Q_OBJECT
  public:
    CManualWindow(QWidget* parent, CSetupDlg& main, CHostContext& context);

    // Runs the window's initialisation (which reads the attached adapter),
    // then the window modally for its parent until the user closes it.
    void Run();

    CManualDlg& Logic() { return m_dlg; }
    CQtHost& Host() { return m_host; }

  protected:
    void OnControlClicked(int id) override;

  private:
    CQtHost m_host;
    CManualDlg m_dlg;
};

} // namespace nw::qt
