// Saving a map on a real file system: links, permission bits, read-only files and a full disk
// never damage another entry, a failed save leaves nothing behind and says why, and a save within
// a project never follows a link out of it.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <memory>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "document/map_file.h"
#include "support/map_bytes.h"

namespace {

using Names = std::vector<std::string>;

struct MapSaveTest : ::testing::Test {
    TempFolder dir;
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    void SetUp() override
    {
        BuildFullMap(map.get());
        map->brushCount = 2;                   // a few hundred bytes
        map->entityCount = 1;
    }
    int Save(const std::string &name) { return SaveMapZIZUDU(dir.File(name.c_str()).c_str(), map.get()); }
    unsigned Mode(const char *name)
    {
        struct stat st;
        return stat(dir.File(name).c_str(), &st) == 0 ? (unsigned)(st.st_mode & 0777) : 0u;
    }
    bool IsLink(const char *name)
    {
        struct stat st;
        return lstat(dir.File(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
};

TEST_F(MapSaveTest, LinksLeadToTheFileTheyNameAndStay)
{
    // A stale temporary entry that leads elsewhere is neither written through nor removed.
    WriteAllBytes(dir.File("victim"), { 1, 2, 3 });
    ASSERT_EQ(symlink("victim", dir.File("map.zizudu.tmp").c_str()), 0);
    ASSERT_EQ(Save("map.zizudu"), 1);
    std::vector<uint8_t> want = ReadAllBytes(dir.File("map.zizudu"));
    EXPECT_EQ(ReadAllBytes(dir.File("victim")), (std::vector<uint8_t>{ 1, 2, 3 }));
    EXPECT_EQ(FolderNames(dir.path), (Names{ "map.zizudu", "map.zizudu.tmp", "victim" }));

    // An absolute link to a relative link into a subfolder; the file there keeps its mode.
    mkdir(dir.File("sub").c_str(), 0755);
    WriteAllBytes(dir.File("sub/real"), { 9 });
    chmod(dir.File("sub/real").c_str(), 0600);
    ASSERT_EQ(symlink("sub/real", dir.File("near").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("near").c_str(), dir.File("far").c_str()), 0);
    ASSERT_EQ(Save("far"), 1);
    EXPECT_TRUE(IsLink("far") && IsLink("near"));
    EXPECT_EQ(ReadAllBytes(dir.File("sub/real")), want);
    EXPECT_EQ(Mode("sub/real"), 0600u);

    // A link to a file not yet there creates it; a loop of links saves nothing.
    ASSERT_EQ(symlink("sub/fresh", dir.File("dangling").c_str()), 0);
    ASSERT_EQ(Save("dangling"), 1);
    EXPECT_TRUE(IsLink("dangling"));
    EXPECT_EQ(FolderNames(dir.File("sub")), (Names{ "fresh", "real" }));
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    Names before = FolderNames(dir.path);
    EXPECT_EQ(Save("loop"), 0);
    EXPECT_EQ(FolderNames(dir.path), before);
}

TEST_F(MapSaveTest, PermissionBitsAreKeptAndReadOnlyFilesRefused)
{
    mode_t old = umask(027);                   // a new file takes the usual mode under the umask
    EXPECT_EQ(Save("map.zizudu"), 1);
    umask(old);
    EXPECT_EQ(Mode("map.zizudu"), 0640u);
    chmod(dir.File("map.zizudu").c_str(), 0604);
    EXPECT_EQ(Save("map.zizudu"), 1);
    EXPECT_EQ(Mode("map.zizudu"), 0604u);

    // Refused whether access() says so (a user) or only the mode does (root); nothing changes.
    std::vector<uint8_t> before = ReadAllBytes(dir.File("map.zizudu"));
    map->brushCount = 1;
    for (unsigned mode : { 0444u, 0400u }) {
        chmod(dir.File("map.zizudu").c_str(), mode);
        EXPECT_EQ(Save("map.zizudu"), 0) << mode;
        EXPECT_EQ(ReadAllBytes(dir.File("map.zizudu")), before);
        EXPECT_EQ(FolderNames(dir.path), Names{ "map.zizudu" });
    }
}

TEST_F(MapSaveTest, SavesWithinAProjectNeverFollowALinkOutOfIt)
{
    // The project P is itself a link, as one kept on another disk; away is a folder link out of it.
    for (const char *sub : { "out", "disk", "disk/maps", "disk/maps/sub" }) mkdir(dir.File(sub).c_str(), 0755);
    ASSERT_EQ(symlink(dir.File("disk").c_str(), dir.File("P").c_str()), 0);
    ASSERT_EQ(symlink("../out", dir.File("disk/away").c_str()), 0);
    WriteAllBytes(dir.File("out/victim"), { 1 });
    struct Case { std::string name, link; int saved; };   // name in P/maps, what its link holds
    const Case cases[] = {
        { "in", "sub/kept", 1 }, { "up", "../up", 1 }, { "chain", "in", 1 }, { "new-in", "sub/fresh", 1 },
        { "abs", dir.File("out/victim"), 0 }, { "rel", "../../out/victim", 0 }, { "leave", "rel", 0 },
        { "new-out", "../../out/fresh", 0 }, { "../away/victim", "", 0 },
    };
    for (const Case &c : cases) {
        std::string path = dir.File("P/maps/") + c.name;
        if (!c.link.empty()) {
            ASSERT_EQ(symlink(c.link.c_str(), path.c_str()), 0) << c.name;
        }
        EXPECT_EQ(SaveMapZIZUDUWithin(path.c_str(), dir.File("P").c_str(), map.get()), c.saved) << c.name;
        if (!c.saved) {
            EXPECT_STREQ(MapSaveReason(), "link leads outside the project") << c.name;
        }
    }
    EXPECT_EQ(ReadAllBytes(dir.File("out/victim")), std::vector<uint8_t>{ 1 });
    EXPECT_EQ(FolderNames(dir.File("out")), Names{ "victim" });
    EXPECT_EQ(FolderNames(dir.File("disk/maps/sub")), (Names{ "fresh", "kept" }));
}

TEST_F(MapSaveTest, EveryFailureSaysWhy)
{
    mkdir(dir.File("folder").c_str(), 0755);
    WriteAllBytes(dir.File("locked"), { 1 });
    chmod(dir.File("locked").c_str(), 0444);             // refused even for root, whom access() lets write
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    ASSERT_EQ(symlink("b.kirto-save-0123abcd.tmp", dir.File("to-temp").c_str()), 0);
    // Folders that exist, deep enough that the map's name fits and its temporary name does not.
    std::string deep;
    while (dir.path.size() + deep.size() < 800) deep += std::string(200, 'd') + "/";
    std::filesystem::create_directories(dir.File(deep.c_str()));
    deep += std::string(1010 - dir.path.size() - 1 - deep.size(), 'm');
    const char *kTempName = "the name is kept for temporary files of saves";
    const std::pair<std::string, const char *> cases[] = {
        { "missing/map", "no such folder" }, { "locked", "file is read-only" }, { "folder", "is a folder" },
        { "loop", "too many links" }, { "missing/map", "no such folder" },   // never the last failure's reason
        { "a.kirto-save-0123abcd.tmp", kTempName }, { "to-temp", kTempName }, { deep, "name too long" },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Save(c.first), 0) << c.first;
        EXPECT_STREQ(MapSaveReason(), c.second) << c.first;
    }
    EXPECT_EQ(FolderNames(dir.path), (Names{ "d" + std::string(199, 'd'), "folder", "locked", "loop", "to-temp" }));
    // A map the reader would refuse never replaces a file.
    ASSERT_GT(map->brushCount, 0);
    map->brushes[0].verts[0].x = std::numeric_limits<float>::infinity();
    EXPECT_EQ(Save("map"), 0);
    EXPECT_STREQ(MapSaveReason(), "not a finite number");
}

TEST_F(MapSaveTest, AFailedFolderFlushIsAWarningAndTheWrittenFileKeepsItsStamp)
{
    std::string path = dir.File("map.zizudu");
    ASSERT_EQ(Save("map.zizudu"), 1);
    EXPECT_STREQ(MapSaveWarning(), "");
    map->brushCount = 1;
    {
        OneMoreOpenFile limit;                 // the temporary file opens, its folder then cannot
        EXPECT_EQ(Save("map.zizudu"), 1);
    }
    EXPECT_STREQ(MapSaveWarning(), "folder not flushed to disk: too many open files");
    EXPECT_EQ(FolderNames(dir.path), Names{ "map.zizudu" });
    auto loaded = std::make_unique<MapDoc>();
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(loaded->brushCount, 1);
    // The stamp kept is the file in place, taken after its rename (which changes its change time).
    PlatformStamp saved = MapSavedStamp(), now;
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &now), 1);
    EXPECT_EQ(PlatformStampsEqual(&saved, &now), 1);
    EXPECT_EQ(Save("map.zizudu"), 1);
    EXPECT_STREQ(MapSaveWarning(), "");       // each save says its own
}

TEST_F(MapSaveTest, FullDiskFailsKeepingTheOldFileAndLeavingNothing)
{
    // A 64 KiB file system of its own, where the tests may mount one (root, no locked container).
    std::string disk = dir.File("disk");
    mkdir(disk.c_str(), 0755);
    if (mount("kirto_test", disk.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "cannot mount a tmpfs";
    std::shared_ptr<void> unmount(nullptr, [&](void *) { umount2(disk.c_str(), MNT_DETACH); });

    ASSERT_EQ(Save("disk/map.zizudu"), 1);
    std::vector<uint8_t> before = ReadAllBytes(disk + "/map.zizudu");
    mkdir((disk + "/map.zizudu.tmp").c_str(), 0755);    // an unrelated empty folder the clean-up keeps
    BuildFullMap(map.get());                   // several times the disk's size
    EXPECT_EQ(Save("disk/map.zizudu"), 0);
    EXPECT_STREQ(MapSaveReason(), "no space left on device");
    EXPECT_EQ(ReadAllBytes(disk + "/map.zizudu"), before);
    EXPECT_EQ(FolderNames(disk), (Names{ "map.zizudu", "map.zizudu.tmp" }));
}

}  // namespace
