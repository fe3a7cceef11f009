// The about box (template 100): the icon, the version line, who made the
// program and how to reach them, and the OK button "확인".
#pragma once

#include "app/qt/TemplateWindow.h"

namespace nw::qt {

class CAboutBox : public CTemplateWindow {
    Q_OBJECT
  public:
    explicit CAboutBox(QWidget* parent);

  protected:
    void OnControlClicked(int id) override;
};

} // namespace nw::qt
