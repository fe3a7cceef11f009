// One instruction picture page: a child dialog without caption (templates
// 129..165) whose bitmap static shows the page's drawing at its own size.
#pragma once

#include "app/win32/TemplateDialog.h"

namespace nw::win {

class CPicturePage : public CTemplateDialog {
  public:
    CPicturePage(const res::DialogTemplate& tmpl, CHostContext& context);
    ~CPicturePage() override;

    // The drawing the page shows, once created.
    HBITMAP Bitmap() const { return m_bitmap; }

  protected:
    void OnInitDialog() override;

  private:
    HBITMAP m_bitmap = nullptr;
};

} // namespace nw::win
