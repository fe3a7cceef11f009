// The application icon: the 16-colour picture and the .ico file that carries
// it into the Windows build. The checks read the file back byte by byte, as
// the resource compiler will.
#include "res/IconImage.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <stdexcept>

namespace nw::res {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U16(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

constexpr std::size_t kDir = 6, kEntry = 16, kHeader = 40, kPalette = 64;

TEST(IconFile, EntriesHeadersAndBitmapsAddUpToTheFile) {
    // Three pixels wide: each row padded to a word, the last pixel with a
    // byte to itself; then the 32- and 16-pixel pictures.
    const IconImage images[] = {
        {3, {9, 2, 3, 0, 0, 0, 12, 0, 0}}, DrawAppIcon16(32), DrawAppIcon16(16)};
    const Bytes file = EncodeIco(images);
    // 40 + 64 + 3 rows * (4 + 4); 32 rows * (16 + 4); 16 rows * (8 + 4).
    const std::uint32_t bytes[] = {128, 744, 296};
    ASSERT_EQ(file.size(), kDir + 3 * kEntry + 128 + 744 + 296);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{0, 0, 1, 0, 3, 0})); // an icon, 3
    std::size_t offset = kDir + 3 * kEntry;
    for (int n = 0; n < 3; ++n) {
        const int size = images[n].size;
        SCOPED_TRACE(size);
        const std::size_t e = kDir + kEntry * n;
        EXPECT_EQ(Bytes(&file[e], &file[e + 4]),
                  (Bytes{std::uint8_t(size), std::uint8_t(size), 16, 0}));
        EXPECT_EQ(U32(file, e + 4), 1u | 4u << 16); // planes, bits per pixel
        EXPECT_EQ(U32(file, e + 8), bytes[n]);
        ASSERT_EQ(U32(file, e + 12), offset);

        EXPECT_EQ(U32(file, offset), 40u);
        EXPECT_EQ(U32(file, offset + 4), std::uint32_t(size));
        EXPECT_EQ(U32(file, offset + 8), std::uint32_t(2 * size)); // with the AND mask
        EXPECT_EQ(U32(file, offset + 12), 1u | 4u << 16);
        EXPECT_EQ(U32(file, offset + 16), 0u);
        EXPECT_EQ(U32(file, offset + 20), bytes[n] - kHeader - kPalette);
        EXPECT_EQ(U32(file, offset + 32), 16u);
        EXPECT_EQ(U32(file, offset + kHeader + 4 * 11), 0xFFFF00u); // B, G, R, 0: yellow

        // The picture read back, bottom row first, the left pixel in the high
        // nibble; an AND mask that hides nothing.
        const std::size_t bitmap = offset + kHeader + kPalette, rowBytes = (size + 7) / 8 * 4;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const std::uint8_t b = file[bitmap + (size - 1 - y) * rowBytes + x / 2];
                ASSERT_EQ(x % 2 ? b & 0x0F : b >> 4, images[n].pixels[y * size + x])
                    << x << "," << y;
            }
        }
        for (std::size_t i = bitmap + size * rowBytes; i < offset + bytes[n]; ++i)
            ASSERT_EQ(file[i], 0) << i;
        offset += bytes[n];
    }
    IconImage wrongCount{4, Bytes(15, 0)};
    EXPECT_THROW(EncodeIco(std::span(&wrongCount, 1)), std::invalid_argument);
    IconImage tooLarge{257, Bytes(257 * 257, 0)};
    EXPECT_THROW(EncodeIco(std::span(&tooLarge, 1)), std::invalid_argument);
}

TEST(AppIcon, ShowsTheTreeAtBothSizes) {
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        const IconImage image = DrawAppIcon16(size);
        ASSERT_EQ(image.pixels.size(), std::size_t(size * size));
        auto at = [&](int x, int y) { return image.pixels[y * size + x]; };
        // The pixel that holds a point of the 32-unit grid.
        auto unit = [&](int ux, int uy) { return at(ux * size / 32, uy * size / 32); };
        // Circle centres and 4 units off the master's; corners, between the
        // slaves and between the lines.
        for (auto [x, y] : {std::pair{16, 9}, {8, 24}, {24, 24}, {12, 9}, {16, 5}})
            EXPECT_EQ(unit(x, y), kIconWhite) << x << "," << y;
        for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {16, 24}, {16, 18}})
            EXPECT_EQ(unit(x, y), kIconNavy) << x << "," << y;
        // The picture mirrors left to right.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size / 2; ++x)
                ASSERT_EQ(at(x, y), at(size - 1 - x, y)) << x << "," << y;
    }
    EXPECT_THROW(DrawAppIcon16(24), std::invalid_argument);
}

} // namespace
} // namespace nw::res
