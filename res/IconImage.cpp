#include "res/IconImage.h"

#include <cstddef>
#include <stdexcept>

namespace nw::res {

namespace {

constexpr std::array<std::uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// Drawing works in half pixels: there a pixel's centre (2x + 1) and a grid
// point (unit * size / 16) are both whole numbers at 16 and 32 pixels.
using Point = IconPoint;

constexpr Point ToHalfPixels(Point unit, int size) {
    return {unit.x * size / 16, unit.y * size / 16};
}

void Set(IconImage& image, int x, int y, std::uint8_t index) {
    image.pixels[static_cast<std::size_t>(y * image.size + x)] = index;
}

// Every pixel whose centre lies inside the circle of `radius` (half pixels)
// around `centre`; a centre right on the edge is left out, which keeps the
// 16-pixel master circle round instead of sprouting a pixel each side.
void FillCircle(IconImage& image, Point centre, int radius, std::uint8_t index) {
    for (int y = 0; y < image.size; ++y) {
        for (int x = 0; x < image.size; ++x) {
            const int dx = 2 * x + 1 - centre.x;
            const int dy = 2 * y + 1 - centre.y;
            if (dx * dx + dy * dy < radius * radius)
                Set(image, x, y, index);
        }
    }
}

// Every pixel whose centre lies inside the stroke from a to b, `halfWidth`
// half pixels to either side of the segment, with flat ends.
void DrawLine(IconImage& image, Point a, Point b, int halfWidth, std::uint8_t index) {
    const int dx = b.x - a.x;
    const int dy = b.y - a.y;
    const int length2 = dx * dx + dy * dy;
    for (int y = 0; y < image.size; ++y) {
        for (int x = 0; x < image.size; ++x) {
            const int px = 2 * x + 1 - a.x;
            const int py = 2 * y + 1 - a.y;
            const int along = px * dx + py * dy;
            if (along < 0 || along > length2)
                continue;
            const int across = px * dy - py * dx; // distance * length
            if (across * across <= halfWidth * halfWidth * length2)
                Set(image, x, y, index);
        }
    }
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// Bitmap rows are padded to whole 32-bit words.
constexpr std::uint32_t RowBytes(int size, int bitsPerPixel) {
    return static_cast<std::uint32_t>((size * bitsPerPixel + 31) / 32 * 4);
}

constexpr std::uint32_t kIconDirBytes = 6;
constexpr std::uint32_t kEntryBytes = 16;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kPaletteBytes = 16 * 4;

// The colour bitmap and the AND mask together.
std::uint32_t BitmapBytes(int size) {
    return RowBytes(size, 4) * static_cast<std::uint32_t>(size) +
           RowBytes(size, 1) * static_cast<std::uint32_t>(size);
}

void CheckImage(const IconImage& image) {
    if (image.size < 1 || image.size > 256)
        throw std::invalid_argument("icon image size out of range");
    if (image.pixels.size() != static_cast<std::size_t>(image.size * image.size))
        throw std::invalid_argument("icon image pixel count does not match its size");
}

void PutBitmap(std::vector<std::uint8_t>& out, const IconImage& image) {
    const int size = image.size;
    Put32(out, kInfoHeaderBytes);
    Put32(out, static_cast<std::uint32_t>(size));
    Put32(out, static_cast<std::uint32_t>(2 * size)); // the colour bitmap and the AND mask
    Put16(out, 1);                                    // planes
    Put16(out, 4);                                    // bits per pixel
    Put32(out, 0);                                    // uncompressed
    Put32(out, BitmapBytes(size));
    Put32(out, 0); // pixels per metre, x and y
    Put32(out, 0);
    Put32(out, 16); // colours used
    Put32(out, 0);  // colours important: all

    for (std::uint32_t rgb : kPalette) {
        out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
        out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
        out.push_back(0);
    }

    // Bottom row first; two pixels a byte, the left one in the high nibble.
    const std::uint32_t colourRow = RowBytes(size, 4);
    for (int y = size - 1; y >= 0; --y) {
        const std::uint8_t* row = image.pixels.data() + static_cast<std::size_t>(y * size);
        for (std::uint32_t i = 0; i < colourRow; ++i) {
            const int x = static_cast<int>(2 * i);
            const int left = x < size ? row[x] & 0x0F : 0;
            const int right = x + 1 < size ? row[x + 1] & 0x0F : 0;
            out.push_back(static_cast<std::uint8_t>((left << 4) | right));
        }
    }
    // The AND mask: every pixel opaque.
    out.insert(out.end(), RowBytes(size, 1) * static_cast<std::uint32_t>(size), 0);
}

} // namespace

const std::array<std::uint32_t, 16>& StandardPalette() {
    return kPalette;
}

IconImage DrawAppIcon16(int size) {
    if (size != 16 && size != 32)
        throw std::invalid_argument("the 16-colour icon comes in 16 and 32 pixels only");
    // A plain full square.
    IconImage image{size,
                    std::vector<std::uint8_t>(static_cast<std::size_t>(size * size), kIconNavy)};

    const Point master = ToHalfPixels(kIconMaster, size);
    const Point slave1 = ToHalfPixels(kIconSlave1, size);
    const Point slave2 = ToHalfPixels(kIconSlave2, size);
    // Lines 1 pixel wide at 16 pixels, 2 at 32: half of that to each side.
    const int halfWidth = size / 16;
    DrawLine(image, master, slave1, halfWidth, kIconYellow);
    DrawLine(image, master, slave2, halfWidth, kIconYellow);

    const int radius = kIconCircleRadius * size / 16;
    for (Point centre : {master, slave1, slave2})
        FillCircle(image, centre, radius, kIconWhite);
    return image;
}

std::vector<std::uint8_t> EncodeIco(std::span<const IconImage> images) {
    for (const IconImage& image : images)
        CheckImage(image);

    const auto count = static_cast<std::uint32_t>(images.size());
    std::vector<std::uint8_t> out;
    Put16(out, 0); // reserved
    Put16(out, 1); // an icon, not a cursor
    Put16(out, count);

    std::uint32_t offset = kIconDirBytes + kEntryBytes * count;
    for (const IconImage& image : images) {
        const std::uint32_t bytes = kInfoHeaderBytes + kPaletteBytes + BitmapBytes(image.size);
        // Width and height 256 are written as 0.
        out.push_back(static_cast<std::uint8_t>(image.size & 0xFF));
        out.push_back(static_cast<std::uint8_t>(image.size & 0xFF));
        out.push_back(16); // colours
        out.push_back(0);  // reserved
        Put16(out, 1);     // planes
        Put16(out, 4);     // bits per pixel
        Put32(out, bytes);
        Put32(out, offset);
        offset += bytes;
    }
    for (const IconImage& image : images)
        PutBitmap(out, image);
    return out;
}

} // namespace nw::res
