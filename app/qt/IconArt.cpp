#include "app/qt/IconArt.h"

#include "res/IconImage.h"

#include <QPainter>
#include <QPixmap>

namespace nw::qt {

namespace {

QColor Standard(std::uint8_t index) {
    return QColor::fromRgb(res::StandardPalette()[index]);
}

// The 16-colour picture, opaque.
QImage FromIndexes(const res::IconImage& icon) {
    QImage image(icon.size, icon.size, QImage::Format_ARGB32);
    for (int y = 0; y < icon.size; ++y) {
        for (int x = 0; x < icon.size; ++x) {
            const std::uint8_t index = icon.pixels[static_cast<std::size_t>(y * icon.size + x)];
            image.setPixel(x, y, 0xFF000000u | res::StandardPalette()[index]);
        }
    }
    return image;
}

QPointF At(res::IconPoint unit, double s) {
    return {unit.x * s, unit.y * s};
}

} // namespace

QImage DrawAppIcon(int size) {
    if (size <= 32)
        return FromIndexes(res::DrawAppIcon16(size));
    // Anti-aliased, on a rounded tile with a dark edge.
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0; // drawn on the 32-unit grid

    p.setPen(QPen(Standard(res::kIconBlack), s));
    p.setBrush(Standard(res::kIconNavy));
    p.drawRoundedRect(QRectF(0.5 * s, 0.5 * s, 31 * s, 31 * s), 5 * s, 5 * s);

    const QPointF master = At(res::kIconMaster, s);
    const QPointF slave1 = At(res::kIconSlave1, s);
    const QPointF slave2 = At(res::kIconSlave2, s);
    p.setPen(QPen(Standard(res::kIconYellow), 2.0 * s));
    p.drawLine(master, slave1);
    p.drawLine(master, slave2);

    p.setPen(Qt::NoPen);
    p.setBrush(Standard(res::kIconWhite));
    const double r = res::kIconCircleRadius * s;
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
