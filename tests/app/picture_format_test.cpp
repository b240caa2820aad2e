#include <gtest/gtest.h>

#include "app/picture.h"

namespace sousuo {
namespace {

Bytes bytes(std::initializer_list<int> values) {
    Bytes result;
    for (int v : values) result.push_back(static_cast<std::uint8_t>(v));
    return result;
}

TEST(PictureFormat, TakenFromTheFirstEightBytes) {
    struct Case {
        Bytes prefix;
        PictureFormat format;
    };
    const Case cases[] = {
        {bytes({'B', 'M', 0, 0, 0, 0, 0, 0}), PictureFormat::bitmap},
        {bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F'}), PictureFormat::jpeg},
        {bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}), PictureFormat::png},
        {bytes({0, 0, 1, 0, 1, 0, 16, 16}), PictureFormat::icon},
        {bytes({0, 0, 1, 0, 0, 0, 16, 16}), PictureFormat::none},  // no images
        {bytes({0, 0, 2, 0, 2, 0, 32, 32}), PictureFormat::cursor},
        {bytes({0, 0, 2, 0, 0, 0, 32, 32}), PictureFormat::none},
        {bytes({'G', 'I', 'F', '8', '7', 'a', 1, 0}), PictureFormat::gif},
        {bytes({'G', 'I', 'F', '8', '9', 'a', 1, 0}), PictureFormat::gif},
        {bytes({'G', 'I', 'F', '8', '8', 'a', 1, 0}), PictureFormat::none},
        {bytes({0x0A, 5, 1, 8, 0, 0, 0, 0}), PictureFormat::pcx8},
        {bytes({0x0A, 0, 1, 8, 0, 0, 0, 0}), PictureFormat::pcx8},
        {bytes({0x0A, 6, 1, 8, 0, 0, 0, 0}), PictureFormat::none},
        {bytes({0x0A, 3, 1, 1, 0, 0, 0, 0}), PictureFormat::pcx1},
        {bytes({0x0A, 2, 1, 1, 0, 0, 0, 0}), PictureFormat::none},
        {bytes({'<', 'h', 't', 'm', 'l', '>', ' ', ' '}), PictureFormat::none},
        {bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J'}), PictureFormat::none},  // 7 bytes
        {Bytes(), PictureFormat::none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(detectPictureFormat(c.prefix), c.format)
            << "expected " << pictureFormatName(c.format) << " for " << c.prefix.size() << " bytes";
    }
}

}  // namespace
}  // namespace sousuo
