// The style of the template windows' controls: the desktop's own style, with
// two changes that keep the templates' layout: a group box's title sits on
// its frame line (controls are placed just below that line), and the gap
// between a radio or check indicator and its text is the original's narrow
// one, so captions fit the widths the templates give them.
#pragma once

#include <QProxyStyle>

namespace nw::qt {

class CTemplateStyle : public QProxyStyle {
    Q_OBJECT
  public:
    CTemplateStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget = nullptr) const override;

  private:
    QStyle* m_framed; // draws group boxes with the title on the frame line
};

// The one instance, owned by the application.
QStyle* TemplateStyle();

} // namespace nw::qt
