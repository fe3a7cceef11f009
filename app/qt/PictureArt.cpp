#include "app/qt/PictureArt.h"

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

namespace nw::qt {

namespace {

constexpr double kPenWidth = 2.0;
constexpr double kShaftWidth = 4.0;
constexpr double kHeadLength = 14.0;
constexpr double kHeadHalfWidth = 7.0;
const QColor kRed(220, 0, 0);
constexpr double kTipDepth = 3.0; // how far the tip reaches inside the rim

QFont LabelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic")});
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

// The point where the segment from `from` towards `to` leaves a circle of
// radius `r` around `from`.
QPointF OnRim(const QPointF& from, const QPointF& to, double r) {
    QLineF line(from, to);
    if (line.length() <= 0)
        return from;
    line.setLength(r);
    return line.p2();
}

void DrawArrow(QPainter& p, const res::TreeNode& node) {
    const QPointF tail(node.tailX, node.tailY);
    const QPointF tip = ArrowTip(node);
    QLineF shaft(tip, tail);
    const double length = shaft.length();
    if (length <= kHeadLength)
        return;
    const QPointF unit = (tail - tip) / length; // from tip back to tail
    const QPointF normal(-unit.y(), unit.x());
    const QPointF headBase = tip + unit * kHeadLength;

    p.setPen(QPen(kRed, kShaftWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QLineF(headBase, tail));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(
        QPolygonF({tip, headBase + normal * kHeadHalfWidth, headBase - normal * kHeadHalfWidth}));
}

// An 8-bit palette that holds the drawing's colours and the blends between
// white and black and between white and red that anti-aliasing produces.
QList<QRgb> Palette() {
    QList<QRgb> colors;
    for (int i = 0; i < 128; ++i) {
        const int v = 255 - i * 255 / 127;
        colors.append(qRgb(v, v, v));
    }
    for (int i = 0; i < 128; ++i) {
        const double t = i / 127.0;
        colors.append(qRgb(static_cast<int>(255 + (kRed.red() - 255) * t),
                           static_cast<int>(255 * (1 - t)), static_cast<int>(255 * (1 - t))));
    }
    return colors;
}

} // namespace

QPointF ArrowTip(const res::TreeNode& node) {
    return OnRim(QPointF(node.cx, node.cy), QPointF(node.tailX, node.tailY),
                 res::kNodeRadius - kTipDepth);
}

QImage DrawPicture(const res::PicturePage& page) {
    QImage image(res::kBitmapWidth, res::kBitmapHeight, QImage::Format_RGB888);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const std::span<const res::TreeNode> tree = res::TreeFor(page.slaves);
    const res::TreeNode& master = tree[0];
    const QPointF m(master.cx, master.cy);
    p.setPen(QPen(Qt::black, kPenWidth));
    for (std::size_t i = 1; i < tree.size(); ++i) {
        const QPointF s(tree[i].cx, tree[i].cy);
        p.drawLine(OnRim(m, s, res::kNodeRadius), OnRim(s, m, res::kNodeRadius));
    }
    p.setFont(LabelFont());
    for (const res::TreeNode& node : tree) {
        const QRectF box(node.cx - res::kNodeRadius, node.cy - res::kNodeRadius,
                         2.0 * res::kNodeRadius, 2.0 * res::kNodeRadius);
        p.setPen(QPen(Qt::black, kPenWidth));
        p.setBrush(Qt::white);
        p.drawEllipse(box);
        p.drawText(box, Qt::AlignCenter, QString::fromUtf8(node.label));
    }
    if (const std::optional<int> target = res::ArrowNode(page.arrow))
        DrawArrow(p, tree[static_cast<std::size_t>(*target)]);
    p.end();

    if (page.bitsPerPixel == 8)
        return image.convertToFormat(QImage::Format_Indexed8, Palette(), Qt::ThresholdDither);
    return image;
}

QImage DrawBitmap(int bitmapId) {
    for (const res::PicturePage& page : res::AllPicturePages()) {
        if (page.bitmapId == bitmapId)
            return DrawPicture(page);
    }
    QImage blank(res::kBitmapWidth, res::kBitmapHeight, QImage::Format_RGB888);
    blank.fill(Qt::white);
    return blank;
}

} // namespace nw::qt
