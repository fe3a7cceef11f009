// The fifteen instruction pictures as drawn: size and depth, a circle for
// every adapter of the tree, and a red arrow that ends in the circle of the
// adapter to attach next (none on the overviews).
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
bool IsDark(QRgb c) {
    return qGray(c) < 100 && !IsRed(c);
}

double Distance(int x, int y, const res::TreeNode& n) {
    return std::hypot(x - n.cx, y - n.cy);
}

TEST(PictureArt, EveryPageIs350By140With24BitsOrItsPalette) {
    for (const res::PicturePage& page : res::AllPicturePages()) {
        const QImage image = qt::DrawPicture(page);
        EXPECT_EQ(image.size(), QSize(350, 140)) << page.templateId;
        if (page.bitmapId == 136) {
            EXPECT_EQ(image.format(), QImage::Format_Indexed8);
            EXPECT_EQ(image.depth(), 8);
            EXPECT_LE(image.colorCount(), 256);
        } else {
            EXPECT_EQ(image.format(), QImage::Format_RGB888) << page.templateId;
            EXPECT_EQ(image.depth(), 24) << page.templateId;
        }
        EXPECT_EQ(qt::DrawBitmap(page.bitmapId), image) << page.bitmapId;
    }
}

TEST(PictureArt, EveryAdapterOfTheTreeHasItsCircle) {
    for (const res::PicturePage& page : res::AllPicturePages()) {
        const QImage image = qt::DrawPicture(page).convertToFormat(QImage::Format_RGB32);
        const auto tree = res::TreeFor(page.slaves);
        ASSERT_EQ(tree.size(), static_cast<std::size_t>(page.slaves) + 1);
        for (const res::TreeNode& node : tree) {
            // A dark rim on at least three of the four sides (an arrow may
            // cover the fourth), white just inside.
            int darkSides = 0;
            for (const QPoint dir : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                bool dark = false;
                for (int d = res::kNodeRadius - 2; d <= res::kNodeRadius + 1; ++d)
                    dark =
                        dark || IsDark(image.pixel(node.cx + dir.x() * d, node.cy + dir.y() * d));
                darkSides += dark ? 1 : 0;
            }
            EXPECT_GE(darkSides, 3) << page.templateId << " " << node.label;
            EXPECT_EQ(image.pixel(node.cx - res::kNodeRadius + 5, node.cy), qRgb(255, 255, 255))
                << page.templateId << " " << node.label;
        }
    }
}

TEST(PictureArt, ArrowEndsInTheCircleOfTheAdapterToAttachNext) {
    for (const res::PicturePage& page : res::AllPicturePages()) {
        const QImage image = qt::DrawPicture(page).convertToFormat(QImage::Format_RGB32);
        const auto tree = res::TreeFor(page.slaves);
        const std::optional<int> target = res::ArrowNode(page.arrow);

        std::vector<QPoint> red;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (IsRed(image.pixel(x, y)))
                    red.emplace_back(x, y);
        if (!target) {
            EXPECT_TRUE(red.empty()) << "overview " << page.templateId << " has red";
            continue;
        }
        ASSERT_GT(red.size(), 100u) << page.templateId;
        const res::TreeNode& aim = tree[static_cast<std::size_t>(*target)];
        double nearest = std::numeric_limits<double>::max();
        double farthest = 0;
        for (const QPoint& p : red) {
            nearest = std::min(nearest, Distance(p.x(), p.y(), aim));
            farthest = std::max(farthest, Distance(p.x(), p.y(), aim));
            // No part of the arrow touches another adapter's circle.
            for (std::size_t i = 0; i < tree.size(); ++i) {
                if (static_cast<int>(i) != *target) {
                    EXPECT_GT(Distance(p.x(), p.y(), tree[i]), res::kNodeRadius + 3.0)
                        << page.templateId << " arrow touches " << tree[i].label;
                }
            }
        }
        // The tip reaches over the rim; the tail starts well outside.
        EXPECT_LE(nearest, res::kNodeRadius) << page.templateId;
        EXPECT_GT(nearest, res::kNodeRadius - 6.0) << page.templateId;
        EXPECT_GT(farthest, res::kNodeRadius + 30.0) << page.templateId;
    }
}

} // namespace
} // namespace nw::test
