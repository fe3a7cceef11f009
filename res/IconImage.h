// The application icon as 16-colour pixel art, and the .ico file that holds
// it. The native Windows build turns the file into icon resource 128 at build
// time (res/tools/make_icon.cpp), so no binary file is kept in the tree.
// Nothing here depends on a toolkit or on Windows.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace nw::res {

// A square picture of indexes into StandardPalette().
struct IconImage {
    int size;
    std::vector<std::uint8_t> pixels; // size * size indexes 0..15, row 0 = top
};

// The sixteen standard Windows colours as 0x00RRGGBB: black, maroon, green,
// olive, navy, purple, teal, silver, grey, red, lime, yellow, blue, fuchsia,
// aqua, white.
const std::array<std::uint32_t, 16>& StandardPalette();

// Indexes into StandardPalette() of the icon's colours.
inline constexpr std::uint8_t kIconBlack = 0;
inline constexpr std::uint8_t kIconNavy = 4;
inline constexpr std::uint8_t kIconYellow = 11;
inline constexpr std::uint8_t kIconWhite = 15;

// The picture on a 32-unit grid, at every size: a navy tile, yellow lines
// from the master circle to the two slave circles, white circles.
struct IconPoint {
    int x, y;
};
inline constexpr IconPoint kIconMaster{16, 9};
inline constexpr IconPoint kIconSlave1{8, 24};
inline constexpr IconPoint kIconSlave2{24, 24};
inline constexpr int kIconCircleRadius = 5;

// The picture drawn with whole pixels in the sixteen colours, as a 16-colour
// icon is: a full square, lines 1 pixel wide at 16 pixels and 2 at 32. Size
// 16 or 32; any other size throws std::invalid_argument. Larger sizes are
// painted smooth by the desktop program from the same grid.
IconImage DrawAppIcon16(int size);

// The bytes of an .ico file holding the images in order, each as a 4-bit
// bitmap with the standard palette and a clear (fully opaque) AND mask.
// Throws std::invalid_argument if an image is not 1..256 pixels square or
// its pixel count does not match its size.
std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images);

} // namespace nw::res
