// The platform layer: clearing away interrupted saves, and the rescue run when the process exits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/platform.h"
#include "support/map_bytes.h"

namespace {

using Names = std::vector<std::string>;

// Sets the modification time of the entry itself (a link, not where it leads).
void AgeEntry(const std::string &path, long seconds)
{
    struct timeval times[2];
    times[0].tv_sec = times[1].tv_sec = time(nullptr) - seconds;
    times[0].tv_usec = times[1].tv_usec = 0;
    ASSERT_EQ(lutimes(path.c_str(), times), 0) << path;
}

TEST(Platform, OnlyOldTemporaryFilesOfSavesAreRemoved)
{
    TempFolder dir;
    const std::string maps = dir.File("maps");
    mkdir(maps.c_str(), 0755);
    const char *const old[] = { "_autosave.zizudu.0a1b2c3d.tmp", "level.ffffffff.tmp" };
    const char *const kept[] = {
        "fresh.zizudu.12345678.tmp",        // a save still writing it
        ".12345678.tmp",                    // no name before the tag
        "map.zizudu.1234567.tmp",           // seven digits
        "map.zizudu.1234ABCD.tmp",          // PlatformCreateTemp writes lower-case digits
        "map.zizudu.1234567g.tmp",
        "map.zizudu.12345678.tmpx",
        "map.zizudu.tmp",
        "level.zizudu",
    };
    for (const char *name : old) WriteAllBytes(maps + "/" + name, { 1 });
    for (const char *name : kept) WriteAllBytes(maps + "/" + name, { 2 });
    for (const char *name : old) AgeEntry(maps + "/" + name, 61);
    for (const char *name : kept) {
        if (std::string(name).rfind("fresh", 0) != 0) AgeEntry(maps + "/" + name, 3600);
    }
    AgeEntry(maps + "/fresh.zizudu.12345678.tmp", 30);
    // An old link of that name leading to an old file, and a folder of that name: both stay.
    WriteAllBytes(dir.File("victim.00000000.tmp"), { 3 });
    AgeEntry(dir.File("victim.00000000.tmp"), 3600);
    ASSERT_EQ(symlink(dir.File("victim.00000000.tmp").c_str(), (maps + "/link.00000000.tmp").c_str()), 0);
    AgeEntry(maps + "/link.00000000.tmp", 3600);
    mkdir((maps + "/dir.00000000.tmp").c_str(), 0755);
    AgeEntry(maps + "/dir.00000000.tmp", 3600);

    // A maps folder that is a link is not followed.
    ASSERT_EQ(symlink(maps.c_str(), dir.File("linked").c_str()), 0);
    EXPECT_EQ(PlatformRemoveStaleTemps(dir.File("linked").c_str(), 60), 0);
    EXPECT_EQ(PlatformRemoveStaleTemps(maps.c_str(), 60), 2);

    Names want(std::begin(kept), std::end(kept));
    want.push_back("link.00000000.tmp");
    want.push_back("dir.00000000.tmp");
    std::sort(want.begin(), want.end());
    EXPECT_EQ(FolderNames(maps), want);
    EXPECT_TRUE(FileExists(dir.File("victim.00000000.tmp")));
    EXPECT_EQ(PlatformRemoveStaleTemps(dir.File("missing").c_str(), 60), 0);
}

void SayRescued(void)
{
    fputs("rescued\n", stderr);
}

TEST(PlatformDeathTest, ExitRunsTheRescueOnlyWhileItIsSet)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT({
        PlatformSetExitRescue(SayRescued);
        exit(1);
    }, ::testing::ExitedWithCode(1), "rescued");
    EXPECT_EXIT({
        PlatformSetExitRescue(SayRescued);
        PlatformSetExitRescue(nullptr);
        fputs("ended", stderr);
        exit(1);
    }, ::testing::ExitedWithCode(1), "^ended$");
}

}  // namespace
