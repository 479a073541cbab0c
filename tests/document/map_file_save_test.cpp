// Saving a map on a real file system: links, permission bits, read-only files and a full disk
// never damage another entry, and a failed save leaves nothing behind.
#include <gtest/gtest.h>

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
    EXPECT_EQ(ReadAllBytes(disk + "/map.zizudu"), before);
    EXPECT_EQ(FolderNames(disk), (Names{ "map.zizudu", "map.zizudu.tmp" }));
}

}  // namespace
