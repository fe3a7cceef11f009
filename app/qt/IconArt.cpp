#include "app/qt/IconArt.h"

#include <QPainter>
#include <QPixmap>

namespace nw::qt {

namespace {
// From the sixteen standard colours.
const QColor kNavy(0, 0, 128);
const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kBlack(0, 0, 0);
} // namespace

QImage DrawAppIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const bool smooth = size > 32;
    p.setRenderHint(QPainter::Antialiasing, smooth);
    const double s = size / 32.0; // drawn on a 32-unit grid

    p.setPen(smooth ? QPen(kBlack, s) : QPen(Qt::NoPen));
    p.setBrush(kNavy);
    if (smooth)
        p.drawRoundedRect(QRectF(0.5 * s, 0.5 * s, 31 * s, 31 * s), 5 * s, 5 * s);
    else
        p.drawRect(QRect(0, 0, size, size));

    const QPointF master(16 * s, 9 * s);
    const QPointF slave1(8 * s, 24 * s);
    const QPointF slave2(24 * s, 24 * s);
    p.setPen(QPen(kYellow, size <= 16 ? 1.0 : 2.0 * s));
    p.drawLine(master, slave1);
    p.drawLine(master, slave2);

    p.setPen(Qt::NoPen);
    p.setBrush(kWhite);
    const double r = 5 * s;
    for (const QPointF& c : {master, slave1, slave2})
        p.drawEllipse(c, r, r);
    p.end();
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
    return icon;
}

} // namespace nw::qt
