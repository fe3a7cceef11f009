#include "res/PicturePages.h"

#include <array>
#include <cmath>

namespace nw::res {

namespace {

using A = ArrowTarget;

// The master sits at the top centre; its arrow comes from the left.
constexpr TreeNode kMaster = {"M", 175, 26, 95, 26};

// 1:2: S1 bottom left, S2 bottom right; arrows from the outer sides.
constexpr std::array<TreeNode, 3> kTree2 = {{
    kMaster,
    {"S1", 100, 100, 35, 100},
    {"S2", 250, 100, 315, 100},
}};

// 1:3: S1 left, S2 straight below M, S3 right; S2's arrow comes from below.
constexpr std::array<TreeNode, 4> kTree3 = {{
    kMaster,
    {"S1", 70, 100, 8, 100},
    {"S2", 175, 104, 130, 138},
    {"S3", 280, 100, 342, 100},
}};

// 1:4: S1 far left and S4 far right at mid height, S2 and S3 lower between
// them; every slave's arrow comes from below.
constexpr std::array<TreeNode, 5> kTree4 = {{
    kMaster,
    {"S1", 40, 72, 40, 136},
    {"S2", 130, 104, 95, 138},
    {"S3", 220, 104, 255, 138},
    {"S4", 310, 72, 310, 136},
}};

} // namespace

std::span<const TreeNode> TreeFor(int slaves) {
    switch (slaves) {
    case 2:
        return kTree2;
    case 3:
        return kTree3;
    default:
        return kTree4;
    }
}

std::optional<int> ArrowNode(ArrowTarget target) {
    if (target == A::None)
        return std::nullopt;
    return static_cast<int>(target) - static_cast<int>(A::Master);
}

std::array<std::uint32_t, 256> PicturePalette() {
    std::array<std::uint32_t, 256> colours{};
    for (int i = 0; i < 128; ++i) {
        const auto v = static_cast<std::uint32_t>(255 - i * 255 / 127);
        colours[static_cast<std::size_t>(i)] = v << 16 | v << 8 | v;
    }
    const int red = static_cast<int>(kArrowRed >> 16);
    for (int i = 0; i < 128; ++i) {
        const double t = i / 127.0;
        const auto r = static_cast<std::uint32_t>(255 + (red - 255) * t);
        const auto gb = static_cast<std::uint32_t>(255 * (1 - t));
        colours[static_cast<std::size_t>(128 + i)] = r << 16 | gb << 8 | gb;
    }
    return colours;
}

PointF RimPoint(PointF from, PointF to, double r) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double length = std::hypot(dx, dy);
    if (length <= 0)
        return from;
    return {from.x + dx * r / length, from.y + dy * r / length};
}

std::optional<ArrowShape> ArrowFor(const TreeNode& node) {
    constexpr double kHeadLength = 14.0;
    constexpr double kHeadHalfWidth = 7.0;
    constexpr double kTipDepth = 3.0; // how far the tip reaches inside the rim
    const PointF tail{static_cast<double>(node.tailX), static_cast<double>(node.tailY)};
    const PointF centre{static_cast<double>(node.cx), static_cast<double>(node.cy)};
    const PointF tip = RimPoint(centre, tail, kNodeRadius - kTipDepth);
    const double length = std::hypot(tail.x - tip.x, tail.y - tip.y);
    if (length <= kHeadLength)
        return std::nullopt;
    const PointF unit{(tail.x - tip.x) / length, (tail.y - tip.y) / length}; // tip to tail
    const PointF normal{-unit.y, unit.x};
    const PointF base{tip.x + unit.x * kHeadLength, tip.y + unit.y * kHeadLength};
    return ArrowShape{tail,
                      base,
                      tip,
                      {base.x + normal.x * kHeadHalfWidth, base.y + normal.y * kHeadHalfWidth},
                      {base.x - normal.x * kHeadHalfWidth, base.y - normal.y * kHeadHalfWidth}};
}

std::string PageDescription(const PicturePage& page) {
    std::string text = "1:" + std::to_string(page.slaves) + " network";
    const std::optional<int> node = ArrowNode(page.arrow);
    if (!node)
        return text + " overview";
    const std::string who = *node == 0 ? "the master" : "slave" + std::to_string(*node);
    return text + ", attach " + who + " next";
}

} // namespace nw::res
