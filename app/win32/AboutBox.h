// The about box (template 100): icon, version line, notice, OK. Opened
// modally from the main window's system menu.
#pragma once

#include "app/win32/TemplateDialog.h"

namespace nw::win {

class CAboutBox : public CTemplateDialog {
  public:
    explicit CAboutBox(CHostContext& context);

  protected:
    void OnInitDialog() override;
};

} // namespace nw::win
