// The platform layer: clearing away the temporary files of interrupted saves.
// Links and lutimes are POSIX; the Windows build leaves this file out.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include "platform/platform.h"
#include "support/map_bytes.h"

TEST(Platform, OnlyOldTemporaryFilesOfSavesAreRemoved)
{
    TempFolder dir;
    const std::string maps = dir.File("maps");
    mkdir(maps.c_str(), 0755);
    mkdir((maps + "/dir.00000000.tmp").c_str(), 0755);
    WriteAllBytes(dir.File("victim.00000000.tmp"), { 1 });
    ASSERT_EQ(symlink(dir.File("victim.00000000.tmp").c_str(), (maps + "/link.00000000.tmp").c_str()), 0);
    ASSERT_EQ(symlink(maps.c_str(), dir.File("linked").c_str()), 0);
    // Kept, in listing order: names PlatformCreateTemp never makes, a fresh one (a save still
    // writing it), a link and a folder.
    const std::vector<std::string> kept = { ".12345678.tmp", "a.1234567.tmp", "a.12345678.tmpx", "a.1234ABCD.tmp",
                                            "dir.00000000.tmp", "fresh.12345678.tmp", "link.00000000.tmp" };
    const std::vector<std::string> old = { "_autosave.zizudu.0a1b2c3d.tmp", "level.ffffffff.tmp" };
    for (const std::vector<std::string> *names : { &kept, &old }) {
        for (const std::string &name : *names) {
            std::string path = maps + "/" + name;
            if (!FileExists(path)) WriteAllBytes(path, { 2 });
            struct timeval times[2] = { { time(nullptr) - (name[0] == 'f' ? 30 : 61), 0 } };
            times[1] = times[0];
            ASSERT_EQ(lutimes(path.c_str(), times), 0) << name;
        }
    }
    EXPECT_EQ(PlatformRemoveStaleTemps(dir.File("linked").c_str(), 60), 0);   // a linked folder is not followed
    EXPECT_EQ(PlatformRemoveStaleTemps(maps.c_str(), 60), 2);
    EXPECT_EQ(FolderNames(maps), kept);
    EXPECT_TRUE(FileExists(dir.File("victim.00000000.tmp")));
}
#endif
