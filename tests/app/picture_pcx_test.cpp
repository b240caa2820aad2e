#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "app/picture.h"

namespace sousuo {
namespace {

struct Header {
    int version = 5;
    int bits = 8;
    int planes = 1;
    int left = 0;
    int top = 0;
    int right = 1;   // inclusive: width right - left + 1
    int bottom = 1;  // inclusive
    int bytesPerLine = 2;
};

void putWord(Bytes& bytes, std::size_t at, int value) {
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

// Palette entry i is (i, 255 - i, 7), so that each index shows in the pixel it gives.
Bytes pcx(const Header& h, std::initializer_list<int> coded, bool palette = true) {
    Bytes bytes(128, 0);
    bytes[0] = 0x0A;
    bytes[1] = static_cast<std::uint8_t>(h.version);
    bytes[2] = 1;
    bytes[3] = static_cast<std::uint8_t>(h.bits);
    putWord(bytes, 4, h.left);
    putWord(bytes, 6, h.top);
    putWord(bytes, 8, h.right);
    putWord(bytes, 10, h.bottom);
    bytes[65] = static_cast<std::uint8_t>(h.planes);
    putWord(bytes, 66, h.bytesPerLine);
    for (int c : coded) bytes.push_back(static_cast<std::uint8_t>(c));
    if (palette) {
        bytes.push_back(0x0C);
        for (int i = 0; i < 256; ++i) {
            bytes.push_back(static_cast<std::uint8_t>(i));
            bytes.push_back(static_cast<std::uint8_t>(255 - i));
            bytes.push_back(7);
        }
    }
    return bytes;
}

Bytes cut(Bytes bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

std::vector<int> redChannel(const PictureFrame& frame) {
    std::vector<int> reds;
    for (std::size_t i = 0; i < frame.rgba.size(); i += 4) reds.push_back(frame.rgba[i]);
    return reds;
}

TEST(PicturePcx, DecodesRunsPlanesAndBits) {
    struct Case {
        const char* what;
        Bytes file;
        int width;
        int height;
        std::vector<int> reds;  // the red byte of every pixel, rows top down
    };
    const Header mono{.version = 3, .bits = 1, .right = 8, .bottom = 0, .bytesPerLine = 2};
    const Header rgb{.planes = 3, .right = 0, .bottom = 1, .bytesPerLine = 2};
    const Case cases[] = {
        {"literal bytes", pcx({}, {1, 2, 3, 4}), 2, 2, {1, 2, 3, 4}},
        {"a run goes on across the end of a line", pcx({}, {0xC4, 9}), 2, 2, {9, 9, 9, 9}},
        {"a run of one codes a byte of 0xC0 or more",
         pcx({}, {0xC1, 0xC8, 0xC3, 5}),
         2,
         2,
         {0xC8, 5, 5, 5}},
        {"a run of zero repeats nothing", pcx({}, {0xC0, 77, 1, 2, 3, 4}), 2, 2, {1, 2, 3, 4}},
        {"the window may start away from zero",
         pcx({.left = 10, .top = 20, .right = 11, .bottom = 21}, {1, 2, 3, 4}),
         2,
         2,
         {1, 2, 3, 4}},
        {"padding bytes at the end of a line are skipped",
         pcx({.right = 0, .bottom = 1}, {1, 99, 2, 99}),
         1,
         2,
         {1, 2}},
        {"one bit per pixel, high bit first",
         pcx(mono, {0b10100000, 0b10000000}, false),
         9,
         1,
         {255, 0, 255, 0, 0, 0, 0, 0, 255}},
        {"three planes are red, green and blue",
         pcx(rgb, {10, 0, 20, 0, 30, 0, 40, 0, 50, 0, 60, 0}, false),
         1,
         2,
         {10, 40}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<Picture> picture = decodePicture(c.file);
        ASSERT_TRUE(picture);
        const PictureFrame& frame = picture->frames.front();
        EXPECT_EQ(frame.width, c.width);
        EXPECT_EQ(frame.height, c.height);
        EXPECT_EQ(redChannel(frame), c.reds);
    }
    // Green and blue of the palette and of the planes, and full alpha.
    const PictureFrame paletteFrame = decodePicture(pcx({}, {1, 2, 3, 4}))->frames.front();
    EXPECT_EQ(std::vector<int>(paletteFrame.rgba.begin(), paletteFrame.rgba.begin() + 4),
              (std::vector<int>{1, 254, 7, 255}));
    const PictureFrame rgbFrame =
        decodePicture(pcx(rgb, {10, 0, 20, 0, 30, 0, 40, 0, 50, 0, 60, 0}, false))->frames.front();
    EXPECT_EQ(std::vector<int>(rgbFrame.rgba.begin(), rgbFrame.rgba.end()),
              (std::vector<int>{10, 20, 30, 255, 40, 50, 60, 255}));
}

TEST(PicturePcx, InconsistentFilesGiveNothing) {
    const struct {
        const char* what;
        Bytes file;
    } cases[] = {
        {"too few coded bytes", pcx({}, {1, 2, 3})},
        {"a run cut after its count byte", pcx({}, {1, 2, 3, 0xC1})},
        {"no palette marker", pcx({}, {1, 2, 3, 4, 5}, false)},
        {"lines shorter than the width", pcx({.right = 2, .bytesPerLine = 2}, {0xC9, 1})},
        {"right edge left of the left edge", pcx({.left = 5, .right = 4}, {1, 2, 3, 4})},
        {"two planes of 8 bits", pcx({.planes = 2}, {0xC8, 1})},
        {"one bit with four planes", pcx({.version = 3, .bits = 1, .planes = 4}, {0xC8, 0}, false)},
        {"version 6", pcx({.version = 6}, {1, 2, 3, 4})},
        {"header only", cut(pcx({}, {1, 2, 3, 4}), 100)},
        {"65535 x 65535",
         pcx({.right = 65534, .bottom = 65534, .bytesPerLine = 65535}, {0xFF, 0, 0xFF, 0})},
    };
    for (const auto& c : cases) EXPECT_FALSE(decodePicture(c.file)) << c.what;
}

}  // namespace
}  // namespace sousuo
