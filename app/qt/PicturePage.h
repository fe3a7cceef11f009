// One instruction picture page: a captionless child window with a raised
// frame holding its bitmap, built from its page template. The main window
// lays every page onto its picture area and shows one at a time.
#pragma once

#include "res/DialogTemplates.h"

#include <QFrame>

namespace nw::qt {

class CPicturePage : public QFrame {
    Q_OBJECT
  public:
    CPicturePage(const res::DialogTemplate& tmpl, QWidget* parent);
    int TemplateId() const { return m_templateId; }

  private:
    int m_templateId;
};

} // namespace nw::qt
