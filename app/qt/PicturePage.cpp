#include "app/qt/PicturePage.h"

#include "app/qt/ControlBuilder.h"
#include "app/qt/TemplateFont.h"
#include "res/PicturePages.h"

namespace nw::qt {

CPicturePage::CPicturePage(const res::DialogTemplate& tmpl, QWidget* parent)
    : QFrame(parent), m_templateId(tmpl.id) {
    setObjectName(QStringLiteral("page%1").arg(tmpl.id));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    const QFont font = TemplateFont(tmpl.fontFace, tmpl.pointSize);
    setFont(font);
    BuildControls(*this, tmpl, BaseUnitsOf(font), {});
    if (const res::PicturePage* page = res::FindPicturePage(tmpl.id))
        setAccessibleName(QString::fromStdString(res::PageDescription(*page)));
    setVisible((tmpl.style & res::kVisible) != 0);
}

} // namespace nw::qt
