#include "app/qt/PictureArt.h"

#include <QFont>
#include <QLineF>
#include <QPainter>
#include <QPolygonF>

#include <cstdint>

namespace nw::qt {

namespace {

const QColor kInk = QColor::fromRgb(res::kInk);
const QColor kPaper = QColor::fromRgb(res::kPaper);
const QColor kRed = QColor::fromRgb(res::kArrowRed);

QPointF Q(res::PointF p) {
    return {p.x, p.y};
}

QFont LabelFont() {
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("NanumGothic")});
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

void DrawArrow(QPainter& p, const res::TreeNode& node) {
    const std::optional<res::ArrowShape> arrow = res::ArrowFor(node);
    if (!arrow)
        return;
    p.setPen(QPen(kRed, res::kArrowShaftWidth, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QLineF(Q(arrow->headBase), Q(arrow->tail)));
    p.setPen(Qt::NoPen);
    p.setBrush(kRed);
    p.drawPolygon(QPolygonF({Q(arrow->tip), Q(arrow->left), Q(arrow->right)}));
}

// The 8-bit pages' palette, opaque.
QList<QRgb> Palette() {
    QList<QRgb> colors;
    for (std::uint32_t rgb : res::PicturePalette())
        colors.append(0xFF000000u | rgb);
    return colors;
}

} // namespace

QPointF ArrowTip(const res::TreeNode& node) {
    const std::optional<res::ArrowShape> arrow = res::ArrowFor(node);
    return arrow ? Q(arrow->tip) : QPointF(node.cx, node.cy);
}

QImage DrawPicture(const res::PicturePage& page) {
    QImage image(res::kBitmapWidth, res::kBitmapHeight, QImage::Format_RGB888);
    image.fill(kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const std::span<const res::TreeNode> tree = res::TreeFor(page.slaves);
    const res::TreeNode& master = tree[0];
    const res::PointF m{static_cast<double>(master.cx), static_cast<double>(master.cy)};
    p.setPen(QPen(kInk, res::kLinePenWidth));
    for (std::size_t i = 1; i < tree.size(); ++i) {
        const res::PointF s{static_cast<double>(tree[i].cx), static_cast<double>(tree[i].cy)};
        p.drawLine(Q(res::RimPoint(m, s, res::kNodeRadius)),
                   Q(res::RimPoint(s, m, res::kNodeRadius)));
    }
    p.setFont(LabelFont());
    for (const res::TreeNode& node : tree) {
        const QRectF box(node.cx - res::kNodeRadius, node.cy - res::kNodeRadius,
                         2.0 * res::kNodeRadius, 2.0 * res::kNodeRadius);
        p.setPen(QPen(kInk, res::kLinePenWidth));
        p.setBrush(kPaper);
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
    blank.fill(kPaper);
    return blank;
}

} // namespace nw::qt
