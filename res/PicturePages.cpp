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

// Template, bitmap, slaves, arrow, depth; in the main window's creation order.
constexpr std::array<PicturePage, 15> kPages = {{
    {129, 134, 4, A::None, 24},
    {139, 136, 3, A::None, 8},
    {138, 137, 2, A::None, 24},
    {142, 141, 2, A::Master, 24},
    {145, 143, 3, A::Master, 24},
    {146, 144, 4, A::Master, 24},
    {150, 147, 2, A::Slave1, 24},
    {151, 148, 3, A::Slave1, 24},
    {152, 149, 4, A::Slave1, 24},
    {156, 153, 2, A::Slave2, 24},
    {157, 154, 3, A::Slave2, 24},
    {158, 155, 4, A::Slave2, 24},
    {161, 159, 3, A::Slave3, 24},
    {162, 160, 4, A::Slave3, 24},
    {165, 164, 4, A::Slave4, 24},
}};

} // namespace

std::span<const PicturePage> AllPicturePages() {
    return kPages;
}

const PicturePage* FindPicturePage(int templateId) {
    for (const PicturePage& p : kPages) {
        if (p.templateId == templateId)
            return &p;
    }
    return nullptr;
}

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
