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
    const IconImage images[] = {DrawAppIcon16(32), DrawAppIcon16(16)};
    const Bytes file = EncodeIco(images);
    // 40 + 64 + 32 rows * (16 + 4) = 744; 40 + 64 + 16 rows * (8 + 4) = 296.
    const std::uint32_t bytes[] = {744, 296};
    ASSERT_EQ(file.size(), kDir + 2 * kEntry + 744 + 296);
    EXPECT_EQ(U16(file, 0), 0u);
    EXPECT_EQ(U16(file, 2), 1u); // an icon
    EXPECT_EQ(U16(file, 4), 2u);

    std::size_t offset = kDir + 2 * kEntry;
    for (int n = 0; n < 2; ++n) {
        const int size = images[n].size;
        SCOPED_TRACE(size);
        const std::size_t e = kDir + kEntry * n;
        EXPECT_EQ(Bytes(&file[e], &file[e + 4]),
                  (Bytes{std::uint8_t(size), std::uint8_t(size), 16, 0}));
        EXPECT_EQ(U16(file, e + 4), 1u); // planes
        EXPECT_EQ(U16(file, e + 6), 4u); // bits per pixel
        EXPECT_EQ(U32(file, e + 8), bytes[n]);
        ASSERT_EQ(U32(file, e + 12), offset);

        EXPECT_EQ(U32(file, offset), 40u);
        EXPECT_EQ(U32(file, offset + 4), std::uint32_t(size));
        EXPECT_EQ(U32(file, offset + 8), std::uint32_t(2 * size)); // with the AND mask
        EXPECT_EQ(U32(file, offset + 12), 1u | 4u << 16);          // planes, bits per pixel
        EXPECT_EQ(U32(file, offset + 16), 0u);
        EXPECT_EQ(U32(file, offset + 20), bytes[n] - kHeader - kPalette);
        EXPECT_EQ(U32(file, offset + 32), 16u);
        for (int i = 0; i < 16; ++i) // B, G, R, 0
            EXPECT_EQ(U32(file, offset + kHeader + 4 * i), StandardPalette()[i]) << i;

        // The picture read back, and an AND mask that hides nothing.
        const std::size_t bitmap = offset + kHeader + kPalette, rowBytes = size / 2;
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
}

TEST(IconFile, RowsRunBottomUpLeftPixelInTheHighNibblePaddedToWords) {
    // Three pixels wide: the last pixel of a row has its byte to itself.
    IconImage image{3, {9, 2, 3, 0, 0, 0, 12, 0, 0}};
    const Bytes file = EncodeIco(std::span(&image, 1));
    ASSERT_EQ(file.size(), kDir + kEntry + kHeader + kPalette + 3 * 4 + 3 * 4);
    const auto bitmap = file.begin() + kDir + kEntry + kHeader + kPalette;
    EXPECT_EQ(Bytes(bitmap, bitmap + 12),
              (Bytes{0xC0, 0x00, 0, 0, 0x00, 0x00, 0, 0, 0x92, 0x30, 0, 0})); // bottom row first

    IconImage wrongCount{4, Bytes(15, 0)};
    EXPECT_THROW(EncodeIco(std::span(&wrongCount, 1)), std::invalid_argument);
    IconImage tooLarge{257, Bytes(257 * 257, 0)};
    EXPECT_THROW(EncodeIco(std::span(&tooLarge, 1)), std::invalid_argument);
}

TEST(IconPalette, IsTheSixteenStandardColoursInOrder) {
    const std::array<std::uint32_t, 16> expected = {
        0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
        0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    EXPECT_EQ(StandardPalette(), expected);
}

TEST(AppIcon, ShowsTheTreeAtBothSizes) {
    constexpr std::uint32_t kNavy = 0x000080, kYellow = 0xFFFF00, kWhite = 0xFFFFFF;
    for (int size : {16, 32}) {
        SCOPED_TRACE(size);
        const IconImage image = DrawAppIcon16(size);
        ASSERT_EQ(image.size, size);
        ASSERT_EQ(image.pixels.size(), std::size_t(size * size));
        for (std::uint8_t p : image.pixels)
            ASSERT_LT(p, 16);
        auto colour = [&](int x, int y) { return StandardPalette()[image.pixels[y * size + x]]; };
        // The pixel that holds a point of the 32-unit grid.
        auto at = [&](double ux, double uy) {
            return colour(int(ux * size / 32), int(uy * size / 32));
        };

        for (auto [x, y] : {std::pair{16, 9}, {8, 24}, {24, 24}, {12, 9}, {16, 5}})
            EXPECT_EQ(at(x, y), kWhite)
                << x << "," << y; // circle centres, 4 units off the master's
        for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {16, 24}, {16, 18}})
            EXPECT_EQ(at(x, y), kNavy) << x << "," << y; // corners, between slaves and lines

        // Halfway from the master to slave 1 the line crosses x = 12 units.
        const int row = int(16.5 * size / 32), cross = 12 * size / 32;
        EXPECT_TRUE(colour(cross - 1, row) == kYellow || colour(cross, row) == kYellow);
        // Unbroken: each row from the master down to slave 1 has the line or a circle.
        for (int y = 9 * size / 32; y <= 24 * size / 32; ++y) {
            bool drawn = false;
            for (int x = 0; x < size / 2; ++x)
                drawn = drawn || colour(x, y) == kYellow || colour(x, y) == kWhite;
            EXPECT_TRUE(drawn) << "row " << y;
        }
        // The tree stands in the middle: the picture mirrors left to right.
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size / 2; ++x)
                ASSERT_EQ(colour(x, y), colour(size - 1 - x, y)) << x << "," << y;
    }
    EXPECT_THROW(DrawAppIcon16(24), std::invalid_argument);
}

} // namespace
} // namespace nw::res
