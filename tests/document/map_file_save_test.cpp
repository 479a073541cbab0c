// Saving a map on a real file system: links, permission bits, read-only files, failed saves and a
// full disk never damage another entry, and a failed save leaves nothing behind.
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
    int Save(const std::string &path) { return SaveMapZIZUDU(path.c_str(), map.get()); }
    std::vector<uint8_t> Saved()
    {
        std::string path = dir.File("reference.zizudu");
        EXPECT_EQ(Save(path), 1);
        std::vector<uint8_t> bytes = ReadAllBytes(path);
        unlink(path.c_str());
        return bytes;
    }
};

unsigned ModeOf(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (unsigned)(st.st_mode & 0777) : 0u;
}

bool IsLink(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST_F(MapSaveTest, LinksAreFollowedToTheirFileAndKept)
{
    std::vector<uint8_t> want = Saved();
    // A stale temporary entry that leads elsewhere is neither written through nor removed.
    std::string path = dir.File("map.zizudu");
    WriteAllBytes(dir.File("victim"), { 1, 2, 3 });
    ASSERT_EQ(symlink("victim", (path + ".tmp").c_str()), 0);
    ASSERT_EQ(Save(path), 1);
    EXPECT_EQ(ReadAllBytes(dir.File("victim")), (std::vector<uint8_t>{ 1, 2, 3 }));
    EXPECT_EQ(ReadAllBytes(path), want);
    EXPECT_EQ(FolderNames(dir.path), (Names{ "map.zizudu", "map.zizudu.tmp", "victim" }));

    // A chain: an absolute link to a relative link into a subfolder, whose file keeps its mode.
    mkdir(dir.File("sub").c_str(), 0755);
    WriteAllBytes(dir.File("sub/real.zizudu"), { 9 });
    chmod(dir.File("sub/real.zizudu").c_str(), 0600);
    ASSERT_EQ(symlink("sub/real.zizudu", dir.File("near").c_str()), 0);
    ASSERT_EQ(symlink(dir.File("near").c_str(), dir.File("far").c_str()), 0);
    ASSERT_EQ(Save(dir.File("far")), 1);
    EXPECT_TRUE(IsLink(dir.File("far")) && IsLink(dir.File("near")));
    EXPECT_EQ(ReadAllBytes(dir.File("sub/real.zizudu")), want);
    EXPECT_EQ(ModeOf(dir.File("sub/real.zizudu")), 0600u);
    EXPECT_EQ(FolderNames(dir.File("sub")), Names{ "real.zizudu" });

    // A link to a file not yet there creates it; a loop of links saves nothing.
    ASSERT_EQ(symlink("sub/fresh.zizudu", dir.File("dangling").c_str()), 0);
    ASSERT_EQ(Save(dir.File("dangling")), 1);
    EXPECT_TRUE(IsLink(dir.File("dangling")));
    EXPECT_EQ(ReadAllBytes(dir.File("sub/fresh.zizudu")), want);
    ASSERT_EQ(symlink("loop2", dir.File("loop1").c_str()), 0);
    ASSERT_EQ(symlink("loop1", dir.File("loop2").c_str()), 0);
    Names before = FolderNames(dir.path);
    EXPECT_EQ(Save(dir.File("loop1")), 0);
    EXPECT_EQ(FolderNames(dir.path), before);
}

TEST_F(MapSaveTest, PermissionBitsAreKeptAndReadOnlyFilesRefused)
{
    std::string path = dir.File("map.zizudu");
    mode_t old = umask(027);                   // a new file takes the usual mode under the umask
    EXPECT_EQ(Save(path), 1);
    umask(old);
    EXPECT_EQ(ModeOf(path), 0640u);
    chmod(path.c_str(), 0604);
    EXPECT_EQ(Save(path), 1);
    EXPECT_EQ(ModeOf(path), 0604u);

    // Refused whether access() says so (a user) or only the mode does (root); nothing changes.
    map->brushCount = 1;
    for (unsigned mode : { 0444u, 0400u }) {
        std::vector<uint8_t> before = ReadAllBytes(path);
        chmod(path.c_str(), mode);
        EXPECT_EQ(Save(path), 0) << mode;
        EXPECT_EQ(ReadAllBytes(path), before);
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(FolderNames(dir.path), Names{ "map.zizudu" });
    }
}

// A small file system of its own, when the tests may mount one (as root, outside a locked-down
// container); unmounted at the end whatever happened.
struct SmallDisk {
    std::string path;
    bool mounted = false;
    explicit SmallDisk(const std::string &at) : path(at)
    {
        mkdir(path.c_str(), 0755);
        mounted = mount("kirto_test", path.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SmallDisk()
    {
        if (mounted) umount2(path.c_str(), MNT_DETACH);
    }
};

TEST_F(MapSaveTest, FullDiskFailsKeepingTheOldFileAndLeavingNothing)
{
    SmallDisk disk(dir.File("disk"));
    if (!disk.mounted) GTEST_SKIP() << "cannot mount a small tmpfs here";
    std::string path = disk.path + "/map.zizudu";
    ASSERT_EQ(Save(path), 1);
    std::vector<uint8_t> before = ReadAllBytes(path);
    mkdir((path + ".tmp").c_str(), 0755);      // an unrelated empty folder the clean-up must keep

    BuildFullMap(map.get());                   // several times the disk's size
    EXPECT_EQ(Save(path), 0);
    EXPECT_EQ(ReadAllBytes(path), before);
    EXPECT_EQ(FolderNames(disk.path), (Names{ "map.zizudu", "map.zizudu.tmp" }));
}

}  // namespace
