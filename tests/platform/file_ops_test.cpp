// The file operations a save is built from, what they refuse and why, on every system: the
// Windows build runs these same cases under wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/platform.h"
#include "support/map_bytes.h"

namespace fs = std::filesystem;

TEST(FileOps, EntriesAreRegularReplaceableAndReadableOnlyWhenTheyAreFiles)
{
    TempFolder dir;
    WriteAllBytes(dir.File("map.bin"), { 1, 2, 3, 4 });
    fs::create_directory(dir.File("folder"));
    struct Case {
        const char *name;
        int regular, replaceable, exists;
        const char *refusal;            // PlatformFileRefusal with at most 3 bytes
        const char *replaceRefusal;     // nullptr where a replace is allowed
    };
    const Case cases[] = {
        { "map.bin", 1, 1, 1, "file too large", nullptr },
        { "missing.bin", 0, 1, 0, "no such file", nullptr },
        { "folder", 0, 0, 0, "not a regular file", "is a folder" },
    };
    for (const Case &c : cases) {
        std::string path = dir.File(c.name);
        int exists = -1;
        EXPECT_EQ(PlatformIsRegularFile(path.c_str()), c.regular) << c.name;
        EXPECT_EQ(PlatformCheckReplaceable(path.c_str(), &exists), c.replaceable) << c.name;
        if (c.replaceable) {
            EXPECT_EQ(exists, c.exists) << c.name;
        }
        EXPECT_STREQ(PlatformFileRefusal(path.c_str(), 3), c.refusal) << c.name;
        if (c.replaceRefusal) {
            EXPECT_STREQ(PlatformReplaceRefusal(path.c_str()), c.replaceRefusal) << c.name;
        }
        unsigned char *data = nullptr;
        long size = -1;
        EXPECT_EQ(PlatformReadRegularFile(path.c_str(), 4, &data, &size), c.regular) << c.name;
        if (c.regular) {
            EXPECT_EQ(std::string((char *)data, (size_t)size + 1), std::string("\1\2\3\4", 5)) << c.name;
        }
        free(data);
    }
}

TEST(FileOps, ATemporaryFileWrittenBesideTheMapReplacesItOrTakesItsPlace)
{
    TempFolder dir;
    for (bool existed : { true, false }) {
        std::string map = dir.File(existed ? "old.zizudu" : "new.zizudu");
        if (existed) WriteAllBytes(map, { 9, 9 });
        char temp[kPlatformPathLen];
        int file = PlatformCreateTemp(map.c_str(), temp, sizeof(temp));
        ASSERT_GE(file, 0) << map;
        const unsigned char bytes[] = { 1, 2, 3 };
        EXPECT_EQ(PlatformWriteAll(file, bytes, sizeof(bytes)), 1);
        EXPECT_EQ(PlatformSyncFile(file), 1);
        EXPECT_EQ(PlatformCloseFile(file), 1);
        EXPECT_EQ(PlatformReplaceFile(temp, map.c_str()), 1) << map;
        EXPECT_EQ(PlatformSyncFolderOf(map.c_str()), 1);
        EXPECT_EQ(ReadAllBytes(map), (std::vector<uint8_t>{ 1, 2, 3 })) << map;
        EXPECT_FALSE(FileExists(temp));
    }
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{ "new.zizudu", "old.zizudu" }));
}

TEST(FileOps, OnlyTemporaryFilesOfSavesOlderThanTheAgeAreRemoved)
{
    TempFolder dir;
    struct Case {
        const char *name;
        int ageSeconds;
        bool removed;
    };
    const Case cases[] = {
        { "level.kirto-save-0a1b2c3d.tmp", 120, true },
        { "_autosave.zizudu.kirto-save-ffffffff.tmp", 61, true },
        { "level.kirto-save-12345678.tmp", 10, false },   // a save may still be writing it
        { "level.kirto-save-1234567.tmp", 120, false },   // names PlatformCreateTemp never makes
        { "level.kirto-save-1234ABCG.tmp", 120, false },
        { "level.12345678.tmp", 120, false },
        { "level.zizudu", 120, false },
    };
    std::vector<std::string> kept;
    for (const Case &c : cases) {
        WriteAllBytes(dir.File(c.name), { 1 });
        fs::last_write_time(dir.File(c.name), fs::file_time_type::clock::now() - std::chrono::seconds(c.ageSeconds));
        if (!c.removed) kept.push_back(c.name);
    }
    EXPECT_EQ(PlatformRemoveStaleTemps(dir.path.c_str(), 60), 2);
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(FolderNames(dir.path), kept);
}

TEST(FileOps, RealPathsAndContainment)
{
    TempFolder dir;
    fs::create_directories(dir.File("project/maps"));
    char real[kPlatformPathLen];
    EXPECT_EQ(PlatformRealPath(dir.File("missing").c_str(), real, sizeof(real)), 0);
    ASSERT_EQ(PlatformRealPath(dir.File("project/maps/..").c_str(), real, sizeof(real)), 1);
    EXPECT_TRUE(fs::path(real).is_absolute()) << real;
    EXPECT_TRUE(fs::equivalent(real, dir.File("project"))) << real;
    const std::string project = dir.File("project");
    EXPECT_EQ(PlatformPathLeaves(dir.File("project/maps/a.zizudu").c_str(), project.c_str()), 0);
    EXPECT_EQ(PlatformPathLeaves(dir.File("elsewhere.zizudu").c_str(), project.c_str()), 1);
    EXPECT_EQ(PlatformPathLeaves(dir.File("project/maps/../../b.zizudu").c_str(), project.c_str()), 1);
}
