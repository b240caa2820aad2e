#include "placement/position_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "fake_window.h"
#include "placement/file_attributes.h"
#include "placement/ini_file.h"
#include "placement/position_file.h"
#include "temp_folder.h"

namespace sousuo {
namespace {

using testing::FakeApp;
using testing::ownerMayWrite;
using testing::permissionsOf;
using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

const Text TopSection = "\xC4\xBF\xC2\xBC\xB6\xA5\xB1\xDF";   // 目录顶边
const Text TopKey = "\xCE\xBB\xD6\xC3\xB6\xA5\xB1\xDF";       // 位置顶边
const Text LeftSection = "\xC4\xBF\xC2\xBC\xD7\xF3\xB1\xDF";  // 目录左边
const Text LeftKey = "\xCE\xBB\xD6\xC3\xD7\xF3\xB1\xDF";      // 位置左边

std::string topLines(const std::string& value) {
    return "[" + TopSection + "]\r\n" + TopKey + "=" + value + "\r\n";
}
std::string leftLines(const std::string& value) {
    return "[" + LeftSection + "]\r\n" + LeftKey + "=" + value + "\r\n";
}
std::string positionFile(const std::string& top, const std::string& left) {
    return topLines(top) + leftLines(left);
}

// The fakes with the run directory and the configuration directory in fresh folders.
class PositionStore : public ::testing::Test {
protected:
    PositionStore() {
        app_.context.runDirectory = run_.path();
        app_.context.userConfigDir = config_.path();
        // The primary monitor of the fake, and a second one to its right.
        app_.desktop.screens = {ScreenRect{0, 0, 1280, 1024}, ScreenRect{1280, 0, 1920, 1080}};
    }

    std::string filePath() const { return run_ / "peizhi.ini"; }
    std::vector<std::string> writes() const { return app_.log.matching("write "); }
    void placeWindow(int left, int top) {
        app_.window.set(Control::mainWindow, prop::left, std::int32_t{left});
        app_.window.set(Control::mainWindow, prop::top, std::int32_t{top});
    }
    Text storedTop() const { return readIniValue(filePath(), TopSection, TopKey); }
    Text storedLeft() const { return readIniValue(filePath(), LeftSection, LeftKey); }

    TempFolder run_;
    TempFolder config_;
    FakeApp app_;
};

struct RestoreCase {
    const char* name;
    std::optional<std::string> file;
    std::vector<std::string> writes;
};

const std::vector<std::string> NoWrites;
std::vector<std::string> placed(int top, int left) {
    return {"write mainWindow.1=" + std::to_string(top),
            "write mainWindow.0=" + std::to_string(left)};
}

const RestoreCase RestoreCases[] = {
    {"no file", std::nullopt, NoWrites},
    {"only the top section", topLines("120"), NoWrites},
    {"only the left section", leftLines("340"), NoWrites},
    {"an empty value", positionFile("120", ""), NoWrites},
    {"both sections, top first", positionFile("120", "340"), placed(120, 340)},
    {"sections in the other order", leftLines("340") + topLines("120"), placed(120, 340)},
    {"not a number", positionFile("abc", "340"), placed(0, 340)},
    {"a number with a unit", positionFile("120px", "340"), placed(120, 340)},
    {"negative left edge", positionFile("120", "-15"), placed(120, -15)},
    {"partly off the left of the primary monitor", positionFile("100", "-400"), placed(100, -400)},
    {"partly above the primary monitor", positionFile("-20", "100"), placed(-20, 100)},
    {"one pixel on the primary monitor", positionFile("100", "-454"), placed(100, -454)},
    {"on the second monitor", positionFile("900", "2500"), placed(900, 2500)},
    {"off every monitor", positionFile("5000", "-9000"), NoWrites},
    {"just left of the primary monitor", positionFile("100", "-455"), NoWrites},
    {"just below both monitors", positionFile("1080", "1500"), NoWrites},
    {"below the primary, left of the second", positionFile("1024", "100"), NoWrites},
    {"just right of the second monitor", positionFile("100", "3200"), NoWrites},
    {"garbage", std::string("\xFF\xFE\0[[=\r\r\n", 9), NoWrites},
};

TEST_F(PositionStore, RestoreAppliesBothEdgesWhenTheStripWouldShow) {
    for (const RestoreCase& c : RestoreCases) {
        std::filesystem::remove(filePath());
        if (c.file) writeFile(filePath(), *c.file);
        app_.log.clear();
        restorePosition(app_.context);
        EXPECT_EQ(writes(), c.writes) << c.name;
        // Restoring never changes the file, also where its place was not applied.
        if (c.file) {
            EXPECT_EQ(readFile(filePath()), *c.file) << c.name;
        }
    }
}

TEST_F(PositionStore, RestoreAppliesThePlaceWhenNoMonitorIsKnown) {
    app_.desktop.screens.clear();
    writeFile(filePath(), positionFile("5000", "-9000"));
    restorePosition(app_.context);
    EXPECT_EQ(writes(), placed(5000, -9000));
}

TEST_F(PositionStore, SaveWritesTheFourLinesThatTheNextRunRestores) {
    placeWindow(-15, 120);
    savePosition(app_.context);
    EXPECT_EQ(readFile(filePath()), positionFile("120", "-15"));
    EXPECT_EQ(run_.names(), std::vector<std::string>{"peizhi.ini"});

    FakeApp next;
    next.context.runDirectory = run_.path();
    restorePosition(next.context);
    EXPECT_EQ(next.log.matching("write "), placed(120, -15));
}

TEST_F(PositionStore, SaveKeepsTheFilesOtherLinesAndPermissions) {
    writeFile(filePath(), "; mine\r\n" + positionFile("1", "2") + "[other]\r\nx=y\r\n");
    ::chmod(filePath().c_str(), 0640);
    placeWindow(340, 120);
    savePosition(app_.context);
    EXPECT_EQ(readFile(filePath()),
              "; mine\r\n" + positionFile("120", "340") + "[other]\r\nx=y\r\n");
    EXPECT_EQ(permissionsOf(filePath()), 0640u);
}

const ReplaceStep AllSteps[] = {ReplaceStep::createTemporary, ReplaceStep::writeTemporary,
                                ReplaceStep::syncTemporary, ReplaceStep::renameOverTarget,
                                ReplaceStep::syncDirectory};

TEST_F(PositionStore, SaveInterruptedAtAnyStepLeavesTheOldOrTheNewFile) {
    const std::string oldFile = "; mine\r\n" + positionFile("1", "2");
    const std::string newFile = "; mine\r\n" + positionFile("120", "340");
    placeWindow(340, 120);
    for (const ReplaceStep cut : AllSteps) {
        const auto step = static_cast<int>(cut);
        writeFile(filePath(), oldFile);
        // What a crash at each step up to the cut would leave: the old file until the rename
        // has happened, the new one after it, and never anything in between.
        const bool renamed = cut > ReplaceStep::renameOverTarget;
        savePosition(app_.context, [&](ReplaceStep at) {
            const bool afterRename = at > ReplaceStep::renameOverTarget;
            EXPECT_EQ(readFile(filePath()), afterRename ? newFile : oldFile)
                << "cut at " << step << ", seen at " << static_cast<int>(at);
            return at != cut;
        });
        EXPECT_EQ(readFile(filePath()), renamed ? newFile : oldFile) << "cut at " << step;
        // The failed step cleans up after itself: no temporary file stays behind.
        EXPECT_EQ(run_.names(), std::vector<std::string>{"peizhi.ini"}) << "cut at " << step;
        EXPECT_TRUE(ownerMayWrite(filePath()));
    }
}

TEST_F(PositionStore, ReadOnlyFileKeepsItsValuesAtThatSaveAndIsWritableAfterIt) {
    writeFile(filePath(), positionFile("1", "2"));
    ::chmod(filePath().c_str(), 0444);
    placeWindow(340, 120);

    savePosition(app_.context);
    EXPECT_EQ(storedTop(), "1");
    EXPECT_EQ(storedLeft(), "2");
    EXPECT_TRUE(ownerMayWrite(filePath()));

    savePosition(app_.context);
    EXPECT_EQ(storedTop(), "120");
    EXPECT_EQ(storedLeft(), "340");
}

TEST_F(PositionStore, FileGoesToTheConfigurationFolderWhenTheRunDirectoryIsNotWritable) {
    app_.context.runDirectory = run_ / "not-there";
    app_.context.userConfigDir = config_ / "not-yet/config";
    const std::string inConfig = config_ / "not-yet/config/sousuo/peizhi.ini";
    EXPECT_EQ(positionFilePath(app_.context), inConfig);

    placeWindow(340, 120);
    savePosition(app_.context);
    EXPECT_EQ(readFile(inConfig), positionFile("120", "340"));

    FakeApp next;
    next.context.runDirectory = app_.context.runDirectory;
    next.context.userConfigDir = app_.context.userConfigDir;
    restorePosition(next.context);
    EXPECT_EQ(next.log.matching("write "), placed(120, 340));
}

TEST_F(PositionStore, ReadsLookWhereWritesGoWhenTheRunDirectoryIsReadOnly) {
    if (::geteuid() == 0) GTEST_SKIP() << "the superuser may write into any folder";
    writeFile(filePath(), positionFile("1", "2"));
    ::chmod(run_.path().c_str(), 0555);
    const std::string inConfig = config_ / "sousuo/peizhi.ini";
    EXPECT_EQ(positionFilePath(app_.context), inConfig);
    restorePosition(app_.context);
    EXPECT_EQ(writes(), NoWrites);  // the file beside the executable is not the one in use
    placeWindow(340, 120);
    savePosition(app_.context);
    EXPECT_EQ(readFile(inConfig), positionFile("120", "340"));
    EXPECT_EQ(readFile(filePath()), positionFile("1", "2"));
}

TEST_F(PositionStore, WritableRunDirectoryKeepsTheFileBesideTheExecutable) {
    EXPECT_EQ(positionFilePath(app_.context), run_ / "peizhi.ini");
    placeWindow(340, 120);
    savePosition(app_.context);
    EXPECT_TRUE(config_.names().empty());
}

TEST_F(PositionStore, WithNoFolderKnownNothingIsReadOrWritten) {
    app_.context.runDirectory.clear();
    app_.context.userConfigDir.clear();
    EXPECT_EQ(positionFilePath(app_.context), "");
    savePosition(app_.context);
    restorePosition(app_.context);
    EXPECT_EQ(writes(), NoWrites);
}

TEST(RunDirectory, IsTheFolderOfTheRunningExecutable) {
    const std::string folder = runDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "/placement_tests"));
}

struct AttributeCase {
    mode_t before;
    std::uint32_t attributes;
    mode_t after;
};

TEST(SetFileAttributes, ReadOnlyIsTheOwnersWritePermission) {
    const AttributeCase cases[] = {
        {0644, 0x01, 0444},                       // read-only
        {0444, 0x02, 0644},                       // hidden alone gives the write permission back
        {0600, 0x24, 0600},                       // system and archive change nothing else
        {0440, 0x20, 0640}, {0644, 0x101, 0444},  // bits outside 0x27 do not count
        {0664, 0x03, 0464},                       // only the owner's permission changes
    };
    TempFolder folder;
    const std::string path = folder / "a";
    writeFile(path, "x");
    for (const AttributeCase& c : cases) {
        ::chmod(path.c_str(), c.before);
        EXPECT_TRUE(setFileAttributes(path, c.attributes));
        EXPECT_EQ(permissionsOf(path), c.after) << std::oct << c.before << " with " << c.attributes;
        EXPECT_EQ(readFile(path), "x");
    }
    EXPECT_FALSE(setFileAttributes(folder / "missing", FileHidden));
}

}  // namespace
}  // namespace sousuo
