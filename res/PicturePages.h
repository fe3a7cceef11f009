// The fifteen instruction pictures as a description: which tree each page
// shows and which adapter its red arrow points at, and where the circles of
// each tree sit on the 350 x 140 bitmap. Drawing code turns this into
// bitmaps; nothing here depends on a toolkit.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace nw::res {

inline constexpr int kBitmapWidth = 350;
inline constexpr int kBitmapHeight = 140;
inline constexpr int kNodeRadius = 17;

// A circle of the tree and the tail of the arrow that points into it.
struct TreeNode {
    const char* label; // "M", "S1".."S4"
    int cx, cy;        // centre, bitmap pixels
    int tailX, tailY;  // where an arrow pointing at this node starts
};

// Node 0 is the master, nodes 1..N the slaves.
enum class ArrowTarget { None, Master, Slave1, Slave2, Slave3, Slave4 };

struct PicturePage {
    int templateId;
    int bitmapId;
    int slaves;        // 2, 3 or 4
    ArrowTarget arrow; // None on the three overviews
    int bitsPerPixel;  // 24, or 8 for a bitmap with a palette
};

// In the main window's creation order.
std::span<const PicturePage> AllPicturePages();
const PicturePage* FindPicturePage(int templateId);

// The tree for `slaves` (2..4): the master first, then S1..SN.
std::span<const TreeNode> TreeFor(int slaves);

// Index into TreeFor() of the node the arrow points at; none for overviews.
std::optional<int> ArrowNode(ArrowTarget target);

// Geometry of the drawing, in bitmap pixels, shared by the front ends.
struct PointF {
    double x, y;
};
inline constexpr double kLinePenWidth = 2.0; // circles and the lines between them
inline constexpr double kArrowShaftWidth = 4.0;

// The point where the segment from `from` towards `to` leaves the circle of
// radius `r` around `from`.
PointF RimPoint(PointF from, PointF to, double r);

// The red arrow into a node: a shaft from `tail` to `headBase` and a filled
// triangle `tip`, `left`, `right`. The tip lies just inside the circle's rim
// on the line from the tail to the centre.
struct ArrowShape {
    PointF tail, headBase, tip, left, right;
};
// None when the tail is too close to the circle for a head to fit.
std::optional<ArrowShape> ArrowFor(const TreeNode& node);

// One sentence a screen reader can say for the page, e.g. "1:3 network,
// attach slave2 next".
std::string PageDescription(const PicturePage& page);

} // namespace nw::res
