// The fifteen instruction pictures as a description: which tree each page
// shows and which adapter its red arrow points at, and where the circles of
// each tree sit on the 350 x 140 bitmap. Drawing code turns this into
// bitmaps; nothing here depends on a toolkit.
#pragma once

#include "res/ControlIds.h"

#include <array>
#include <cstdint>
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

// Template, bitmap, slaves, arrow, depth; in the main window's creation order.
inline constexpr std::array<PicturePage, 15> kPictures = {{
    {id::page::k1To4Overview, 134, 4, ArrowTarget::None, 24},
    {id::page::k1To3Overview, 136, 3, ArrowTarget::None, 8},
    {id::page::k1To2Overview, 137, 2, ArrowTarget::None, 24},
    {id::page::k1To2Master, 141, 2, ArrowTarget::Master, 24},
    {id::page::k1To3Master, 143, 3, ArrowTarget::Master, 24},
    {id::page::k1To4Master, 144, 4, ArrowTarget::Master, 24},
    {id::page::k1To2Slave1, 147, 2, ArrowTarget::Slave1, 24},
    {id::page::k1To3Slave1, 148, 3, ArrowTarget::Slave1, 24},
    {id::page::k1To4Slave1, 149, 4, ArrowTarget::Slave1, 24},
    {id::page::k1To2Slave2, 153, 2, ArrowTarget::Slave2, 24},
    {id::page::k1To3Slave2, 154, 3, ArrowTarget::Slave2, 24},
    {id::page::k1To4Slave2, 155, 4, ArrowTarget::Slave2, 24},
    {id::page::k1To3Slave3, 159, 3, ArrowTarget::Slave3, 24},
    {id::page::k1To4Slave3, 160, 4, ArrowTarget::Slave3, 24},
    {id::page::k1To4Slave4, 164, 4, ArrowTarget::Slave4, 24},
}};

inline std::span<const PicturePage> AllPicturePages() {
    return kPictures;
}
// The page of template `templateId`, or nullptr.
constexpr const PicturePage* FindPicturePage(int templateId) {
    for (const PicturePage& p : kPictures) {
        if (p.templateId == templateId)
            return &p;
    }
    return nullptr;
}

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

// Colours as 0x00RRGGBB: black ink on white paper, the arrow in red.
inline constexpr std::uint32_t kInk = 0x000000;
inline constexpr std::uint32_t kPaper = 0xFFFFFF;
inline constexpr std::uint32_t kArrowRed = 0xDC0000;

// The palette of an 8-bit page: 128 greys from white to black, then 128
// blends from white to the arrow's red, the colours anti-aliasing produces.
std::array<std::uint32_t, 256> PicturePalette();

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
