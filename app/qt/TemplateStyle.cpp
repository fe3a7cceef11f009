#include "app/qt/TemplateStyle.h"

#include <QApplication>
#include <QPointer>
#include <QStyleFactory>

namespace nw::qt {

namespace {
constexpr int kIndicatorGap = 4; // pixels between indicator and caption
}

CTemplateStyle::CTemplateStyle()
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())),
      m_framed(QStyleFactory::create(QStringLiteral("Windows"))) {
    if (m_framed != nullptr)
        m_framed->setParent(this);
}

int CTemplateStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const {
    if (metric == PM_RadioButtonLabelSpacing || metric == PM_CheckBoxLabelSpacing)
        return kIndicatorGap;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void CTemplateStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                        QPainter* painter, const QWidget* widget) const {
    if (control == CC_GroupBox && m_framed != nullptr)
        m_framed->drawComplexControl(control, option, painter, widget);
    else
        QProxyStyle::drawComplexControl(control, option, painter, widget);
}

QRect CTemplateStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                     SubControl sub, const QWidget* widget) const {
    if (control == CC_GroupBox && m_framed != nullptr)
        return m_framed->subControlRect(control, option, sub, widget);
    return QProxyStyle::subControlRect(control, option, sub, widget);
}

QStyle* TemplateStyle() {
    static QPointer<CTemplateStyle> style;
    if (style.isNull()) {
        style = new CTemplateStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style.data();
}

} // namespace nw::qt
