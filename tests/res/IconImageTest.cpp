// The application icon: the 16-colour picture and the .ico file that carries
// it into the Windows build, read back byte by byte as the resource compiler
// reads it.
#include "res/IconImage.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace nw::res {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t(b.at(at + 3)) << 24;
}

TEST(IconFile, EntriesHeadersAndBitmapsAddUpToTheFile) {
    // Three pixels wide: each row padded to a word, the last pixel with a
    // byte to itself; then the 32-pixel picture.
    const IconImage images[] = {{3, {9, 2, 3, 0, 0, 0, 12, 0, 0}}, DrawAppIcon16(32)};
    const Bytes file = EncodeIco(images);
    const std::uint32_t bytes[] = {128, 744}; // 40 + 64 + rows * (colour + mask)
    ASSERT_EQ(file.size(), 6 + 2 * 16 + 128 + 744);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{0, 0, 1, 0, 2, 0}));
    std::size_t offset = 6 + 2 * 16;
    for (std::size_t n = 0; n < 2; ++n) {
        const auto size = static_cast<std::uint32_t>(images[n].size);
        const std::size_t e = 6 + 16 * n;
        EXPECT_EQ(U32(file, e), size | size << 8 | 16u << 16); // width, height, colours
        EXPECT_EQ(U32(file, e + 4), 1u | 4u << 16);            // planes, bits per pixel
        EXPECT_EQ(U32(file, e + 8), bytes[n]);
        ASSERT_EQ(U32(file, e + 12), offset);
        EXPECT_EQ(U32(file, offset + 8), 2 * size); // the AND mask's rows counted in
        EXPECT_EQ(U32(file, offset + 20), bytes[n] - 104);
        EXPECT_EQ(U32(file, offset + 40 + 4 * 11), 0xFFFF00u); // B, G, R, 0: yellow
        // Bottom row first, the left pixel in the high nibble; a mask of zeros.
        const std::size_t bitmap = offset + 104, row = (size + 7) / 8 * 4;
        for (std::uint32_t y = 0; y < size; ++y)
            for (std::uint32_t x = 0; x < size; ++x) {
                const std::uint8_t b = file[bitmap + (size - 1 - y) * row + x / 2];
                ASSERT_EQ(x % 2 ? b & 0x0F : b >> 4, images[n].pixels[y * size + x]) << x << y;
            }
        for (std::size_t i = bitmap + size * row; i < offset + bytes[n]; ++i)
            ASSERT_EQ(file[i], 0) << i;
        offset += bytes[n];
    }
    IconImage wrongCount{4, Bytes(15, 0)};
    EXPECT_THROW(EncodeIco(std::span(&wrongCount, 1)), std::invalid_argument);
}

TEST(AppIcon, ShowsTheTreeMirroredAtBothSizes) {
    for (int size : {16, 32}) {
        const IconImage image = DrawAppIcon16(size);
        ASSERT_EQ(image.pixels.size(), std::size_t(size * size));
        // Points of the 32-unit grid: the circles' centres white; corners and the gap navy.
        const auto at = [&](int x, int y) {
            return image.pixels[y * size / 32 * size + x * size / 32];
        };
        EXPECT_EQ(Bytes({at(16, 9), at(8, 24), at(24, 24), at(0, 0), at(31, 31), at(16, 24)}),
                  Bytes({kIconWhite, kIconWhite, kIconWhite, kIconNavy, kIconNavy, kIconNavy}))
            << size;
        for (int i = 0; i < size * size; ++i)
            ASSERT_EQ(image.pixels[i], image.pixels[i / size * size + size - 1 - i % size]) << i;
    }
}

} // namespace
} // namespace nw::res
