// The fifteen instruction pictures as drawn: size and depth, and a red arrow
// that ends in the circle of the adapter to attach next, clear of the other
// circles (none on the overviews).
#include "app/qt/PictureArt.h"
#include "res/PicturePages.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace nw::test {
namespace {

bool IsRed(QRgb c) {
    return qRed(c) > 160 && qGreen(c) < 90 && qBlue(c) < 90;
}
double Distance(const QPoint& p, const res::TreeNode& n) {
    return std::hypot(p.x() - n.cx, p.y() - n.cy);
}

TEST(PictureArt, ArrowEndsInTheCircleOfTheAdapterToAttachNext) {
    for (const res::PicturePage& page : res::AllPicturePages()) {
        SCOPED_TRACE(page.templateId);
        const QImage drawn = qt::DrawPicture(page);
        EXPECT_EQ(drawn.size(), QSize(res::kBitmapWidth, res::kBitmapHeight));
        EXPECT_EQ(drawn.depth(), page.bitsPerPixel);
        EXPECT_EQ(qt::DrawBitmap(page.bitmapId), drawn);
        const QImage image = drawn.convertToFormat(QImage::Format_RGB32);
        const auto tree = res::TreeFor(page.slaves);
        std::vector<QPoint> red;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (IsRed(image.pixel(x, y)))
                    red.emplace_back(x, y);
        const std::optional<int> target = res::ArrowNode(page.arrow);
        if (!target) {
            EXPECT_TRUE(red.empty()) << "red on an overview";
            continue;
        }
        ASSERT_GT(red.size(), 100u);
        const res::TreeNode& aim = tree[static_cast<std::size_t>(*target)];
        double nearest = std::numeric_limits<double>::max();
        for (const QPoint& p : red) {
            nearest = std::min(nearest, Distance(p, aim));
            for (const res::TreeNode& other : tree) { // no other circle touched
                if (&other != &aim) {
                    ASSERT_GT(Distance(p, other), res::kNodeRadius + 3.0) << other.label;
                }
            }
        }
        // The tip reaches over the rim, not into the label.
        EXPECT_LE(nearest, res::kNodeRadius);
        EXPECT_GT(nearest, res::kNodeRadius - 6.0);
    }
}

} // namespace
} // namespace nw::test
