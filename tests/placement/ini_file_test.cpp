#include "placement/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "temp_folder.h"

namespace sousuo {
namespace {

using namespace std::string_literals;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

// 目录顶边 / 位置顶边 / 目录左边 / 位置左边 as GB bytes.
const Text TopSection = "\xC4\xBF\xC2\xBC\xB6\xA5\xB1\xDF";
const Text TopKey = "\xCE\xBB\xD6\xC3\xB6\xA5\xB1\xDF";
const Text LeftSection = "\xC4\xBF\xC2\xBC\xD7\xF3\xB1\xDF";
const Text LeftKey = "\xCE\xBB\xD6\xC3\xD7\xF3\xB1\xDF";

const std::string FirstSave = "[" + TopSection + "]\r\n" + TopKey + "=120\r\n" + "[" + LeftSection +
                              "]\r\n" + LeftKey + "=-15\r\n";

TEST(IniFile, FirstSaveWritesExactlyFourLines) {
    TempFolder folder;
    const std::string oneByOne = folder / "one.ini";
    EXPECT_TRUE(writeIniValue(oneByOne, TopSection, TopKey, "120"));
    EXPECT_TRUE(writeIniValue(oneByOne, LeftSection, LeftKey, "-15"));
    EXPECT_EQ(readFile(oneByOne), FirstSave);

    const std::string together = folder / "two.ini";
    EXPECT_TRUE(
        writeIniValues(together, {{TopSection, TopKey, "120"}, {LeftSection, LeftKey, "-15"}}));
    EXPECT_EQ(readFile(together), FirstSave);

    EXPECT_EQ(readIniValue(together, TopSection, TopKey), "120");
    EXPECT_EQ(readIniValue(together, LeftSection, LeftKey), "-15");
}

TEST(IniFile, LaterSavesReplaceValuesInPlaceAndKeepEveryOtherLine) {
    TempFolder folder;
    const std::string path = folder / "peizhi.ini";
    const std::string before =
        "; placed by hand\r\n"
        "[other]\r\n"
        "colour=red\r\n"
        "\r\n"
        "[" +
        TopSection +
        "]\r\n"
        "; the top edge\r\n" +
        TopKey +
        " = 5\r\n"
        "extra=1\r\n"
        "[" +
        LeftSection + "]\n" +  // an LF line amid CR LF lines
        LeftKey + "=6";        // and no line end at the end
    writeFile(path, before);
    EXPECT_TRUE(writeIniValue(path, TopSection, TopKey, "120"));
    EXPECT_TRUE(writeIniValue(path, LeftSection, LeftKey, "340"));
    EXPECT_EQ(readFile(path),
              "; placed by hand\r\n"
              "[other]\r\n"
              "colour=red\r\n"
              "\r\n"
              "[" +
                  TopSection +
                  "]\r\n"
                  "; the top edge\r\n" +
                  TopKey +
                  "=120\r\n"
                  "extra=1\r\n"
                  "[" +
                  LeftSection + "]\n" + LeftKey + "=340\r\n");
}

struct EditCase {
    const char* name;
    std::string before;
    std::string after;  // with s / k set to v
};

const EditCase EditCases[] = {
    {"empty file", "", "[s]\r\nk=v\r\n"},
    {"key added after the section's last entry", "[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n",
     "[s]\r\na=1\r\nk=v\r\n\r\n[t]\r\nb=2\r\n"},
    {"key added to a header without line end", "[s]", "[s]\r\nk=v\r\n"},
    {"section appended after a last line without line end", "[t]\nx=1",
     "[t]\nx=1\r\n[s]\r\nk=v\r\n"},
    {"ASCII names match in either case; the file keeps its spelling", "[S]\r\nK=1\r\n",
     "[S]\r\nK=v\r\n"},
    {"the first of two equal keys is the one read, so it is the one replaced",
     "[s]\r\nk=1\r\nk=2\r\n", "[s]\r\nk=v\r\nk=2\r\n"},
    {"LF file", "[s]\nk=1\nz=2\n", "[s]\nk=v\nz=2\n"},
};

TEST(IniFile, EditsTouchOnlyTheLineOfTheKey) {
    for (const EditCase& c : EditCases) {
        EXPECT_EQ(withIniValue(c.before, "s", "k", "v"), c.after) << c.name;
        EXPECT_EQ(iniValueIn(c.after, "s", "k"), "v") << c.name;
    }
}

struct LookupCase {
    const char* name;
    std::string contents;
    std::string section;
    std::string key;
    Text value;
};

const LookupCase LookupCases[] = {
    {"CR LF", "[a]\r\nx=1\r\n[s]\r\nk=42\r\n", "s", "k", "42"},
    {"LF", "[a]\nx=1\n[s]\nk=42\n", "s", "k", "42"},
    {"CR", "[a]\rx=1\r[s]\rk=42\r", "s", "k", "42"},
    {"white space around names and value", "  [ s ]  \n\t k \t=  4 2 \t\n", "s", "k", "4 2"},
    {"quotes around the whole value", "[s]\nk=\"12\"\n", "s", "k", "12"},
    {"ASCII case", "[Window]\nTop=7\n", "wINDOW", "tOP", "7"},
    {"GB names", "[" + TopSection + "]\r\n" + TopKey + "=9\r\n", TopSection, TopKey, "9"},
    {"a trail byte that looks like a letter is not folded", "[\x81\x41]\nk=1\n", "\x81\x61", "k",
     ""},
    {"a trail byte 5D is no closing bracket", "[\x81\x5D]\nk=3\n", "\x81\x5D", "k", "3"},
    {"missing section", "[t]\nk=1\n", "s", "k", ""},
    {"missing key", "[s]\nj=1\n", "s", "k", ""},
    {"key of another section", "[s]\nj=1\n[t]\nk=2\n", "s", "k", ""},
    {"only the first section of a name is read", "[s]\nj=1\n[s]\nk=2\n", "s", "k", ""},
    {"empty value", "[s]\nk=\n", "s", "k", ""},
    {"a line without = is no key", "[s]\nk\nk=5\n", "s", "k", "5"},
    {"garbage", "\0\xFF[\xFF\n==\n]]\n"s, "s", "k", ""},
    {"a zero byte ends the value",
     "[s]\nk=1\0"
     "2\n"s,
     "s", "k", "1"},
};

TEST(IniFile, LookupsFollowTheWindowsReader) {
    for (const LookupCase& c : LookupCases) {
        EXPECT_EQ(iniValueIn(c.contents, c.section, c.key), c.value) << c.name;
    }
}

TEST(IniFile, ReadTrimsLeadingControlBytesOfNamesAndGivesNothingForEmptyNames) {
    TempFolder folder;
    const std::string path = folder / "a.ini";
    writeFile(path, "[s]\r\nk=1\r\n=2\r\n");
    EXPECT_EQ(readIniValue(path, "\x01\x1F s", "\t k"), "1");
    EXPECT_EQ(readIniValue(path, "s", " \x01"), "");
    EXPECT_EQ(readIniValue(path, "", "k"), "");
    EXPECT_EQ(readIniValue(folder / "missing.ini", "s", "k"), "");
    EXPECT_EQ(readIniValue(folder.path(), "s", "k"), "");  // a folder, not a file
}

TEST(IniFile, LongValueIsCutAt10239Bytes) {
    TempFolder folder;
    const std::string path = folder / "a.ini";
    std::string value(20000, '7');
    value[MaxIniValueSize - 1] = '1';
    value[MaxIniValueSize] = '2';
    writeFile(path, "[s]\r\nk=" + value + "\r\n");
    const Text read = readIniValue(path, "s", "k");
    ASSERT_EQ(read.size(), MaxIniValueSize);
    EXPECT_EQ(read.back(), '1');
}

TEST(IniFile, RefusedWritesLeaveTheFileAlone) {
    TempFolder folder;
    const std::string path = folder / "a.ini";
    const std::string before = "[s]\r\nk=1\r\n";
    writeFile(path, before);
    const IniSetting refused[] = {
        {"", "k", "2"},         {"s", "", "2"},      {"s", "k=j", "2"},
        {"s", "k", "2\r\nx=3"}, {"s\n[t", "k", "2"}, {"s", "k", "2\0"s},
    };
    for (const IniSetting& setting : refused) {
        EXPECT_FALSE(writeIniValues(path, {{"s", "ok", "1"}, setting}))
            << setting.section << "/" << setting.key << "/" << setting.value;
        EXPECT_EQ(readFile(path), before);
    }
    // Something that is there but cannot be read is not overwritten with our lines: a folder,
    // or a file far too large to be a position file.
    std::filesystem::create_directory(folder / "dir.ini");
    EXPECT_FALSE(writeIniValue(folder / "dir.ini", "s", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "dir.ini"));
    const std::string huge = folder / "huge.ini";
    writeFile(huge, "[s]\r\nk=1\r\n");
    std::filesystem::resize_file(huge, 17 * 1024 * 1024);
    EXPECT_EQ(readIniValue(huge, "s", "k"), "");
    EXPECT_FALSE(writeIniValue(huge, "s", "k", "2"));
    EXPECT_EQ(std::filesystem::file_size(huge), 17u * 1024 * 1024);
}

}  // namespace
}  // namespace sousuo
