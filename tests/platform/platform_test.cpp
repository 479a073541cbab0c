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
    const std::string tag = ".kirto-save-00000000.tmp";
    mkdir(maps.c_str(), 0755);
    mkdir((maps + "/dir" + tag).c_str(), 0755);
    WriteAllBytes(dir.File(("victim" + tag).c_str()), { 1 });
    ASSERT_EQ(symlink(dir.File(("victim" + tag).c_str()).c_str(), (maps + "/link" + tag).c_str()), 0);
    ASSERT_EQ(symlink(maps.c_str(), dir.File("linked").c_str()), 0);
    // Kept, in listing order: the user's own files with a date or hex digits before ".tmp", names
    // a save never makes, a fresh one (a save still writing it), a folder and a link.
    const std::vector<std::string> kept = {
        ".kirto-save-12345678.tmp", "a.kirto-save-1234567.tmp", "a.kirto-save-12345678.tmpx",
        "a.kirto-save-1234ABCD.tmp", "a.kirto-save12345678.tmp", "castle.20240115.tmp", "dir" + tag,
        "fresh.kirto-save-12345678.tmp", "link" + tag, "notes.cafebabe.tmp",
    };
    const std::vector<std::string> old = { "_autosave.zizudu.kirto-save-0a1b2c3d.tmp", "level.kirto-save-ffffffff.tmp" };
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
    EXPECT_TRUE(FileExists(dir.File(("victim" + tag).c_str())));
}
#endif
