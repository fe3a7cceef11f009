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

// The picture app/qt/IconArt.cpp paints, drawn with whole pixels in the
// sixteen colours: a navy square, yellow lines from the master circle to the
// two slave circles, white circles. Size 16 or 32; any other size throws
// std::invalid_argument.
IconImage DrawAppIcon16(int size);

// The bytes of an .ico file holding the images in order, each as a 4-bit
// bitmap with the standard palette and a clear (fully opaque) AND mask.
// Throws std::invalid_argument if an image is not 1..256 pixels square or
// its pixel count does not match its size.
std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images);

} // namespace nw::res
