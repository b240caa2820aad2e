// The files that sousuo's own content server publishes (content/sousuo/), read as the program
// reads them: texts up to the first zero byte as GB18030, pictures by their bytes.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "app/code_page.h"
#include "app/picture.h"
#include "remote/bytes_to_text.h"

namespace sousuo {
namespace {

const std::filesystem::path ContentRoot =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "content";

Bytes contentFile(const std::string& path) {
    std::ifstream in(ContentRoot / path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "missing " << (ContentRoot / path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Chinese text in GB18030 that survives the trip to UTF-8 and back unchanged.
void expectChineseText(const Text& text) {
    EXPECT_FALSE(text.empty());
    const std::string utf8 = toUtf8(text);
    EXPECT_EQ(utf8.find("\xEF\xBF\xBD"), std::string::npos) << "not GB18030: " << utf8;
    EXPECT_EQ(fromUtf8(utf8), text);
    EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; }));
}

TEST(Content, VersionMarkerIsExactly10) {
    EXPECT_EQ(contentFile("sousuo/banben.txt"), bytesOf("1.0"));
}

TEST(Content, BannerIsChineseCaptionMarkerAndHttpsLink) {
    const Bytes bytes = contentFile("sousuo/AD.txt");
    const Text text = bytesToText(bytes);
    EXPECT_EQ(text.size(), bytes.size()) << "no zero byte inside";
    const std::size_t marker = text.find("#WZ:");
    ASSERT_NE(marker, Text::npos);
    EXPECT_EQ(text.find("#WZ:", marker + 1), Text::npos) << "one marker only";
    expectChineseText(text.substr(0, marker));
    const Text link = text.substr(marker + 4);
    EXPECT_EQ(link.rfind("https://", 0), 0u) << link;
    EXPECT_EQ(link.find_first_of(" \r\n\t"), Text::npos) << "the link would carry it";
}

TEST(Content, ForcedUpdateMessageAndTitleAreChinese) {
    for (const char* path : {"sousuo/xxnr.txt", "sousuo/xxbt.txt"}) {
        SCOPED_TRACE(path);
        const Bytes bytes = contentFile(path);
        EXPECT_EQ(bytesToText(bytes).size(), bytes.size()) << "no zero byte inside";
        expectChineseText(bytesToText(bytes));
    }
}

TEST(Content, ButtonPicturesAreJpegsOfTheirButtonsSizes) {
    const struct {
        const char* path;
        int width;
        int height;
    } pictures[] = {
        {"sousuo/sousuo1.jpg", 24, 26},
        {"sousuo/sousuo2.jpg", 24, 26},
        {"sousuo/huanyuan.jpg", 24, 26},
        {"sousuo/guanbi.jpg", 20, 29},
    };
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.path);
        const Bytes bytes = contentFile(picture.path);
        EXPECT_EQ(detectPictureFormat(bytes), PictureFormat::jpeg);
        const auto decoded = decodePicture(bytes);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->width(), picture.width);
        EXPECT_EQ(decoded->height(), picture.height);
    }
    EXPECT_NE(contentFile("sousuo/sousuo1.jpg"), contentFile("sousuo/sousuo2.jpg"))
        << "the busy look differs from the normal one";
}

TEST(Content, HomePageIsThere) {
    const Bytes page = contentFile("index.html");
    EXPECT_NE(std::string(page.begin(), page.end()).find("<html"), std::string::npos);
}

}  // namespace
}  // namespace sousuo
