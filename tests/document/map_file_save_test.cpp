// Saving a map on a real file system: links, permission bits, read-only files and a full disk
// never damage another entry, a failed save leaves nothing behind and says why, and a save within
// a project never follows a link out of it.
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

TEST_F(MapSaveTest, SavesWithinAProjectNeverFollowALinkOutOfIt)
{
    // dir/projects/P is reached through the link dir/disk-link, as a project kept on another disk.
    for (const char *sub : { "outside", "disk", "disk/P", "disk/P/maps", "disk/P/maps/sub", "projects" }) {
        mkdir(dir.File(sub).c_str(), 0755);
    }
    ASSERT_EQ(symlink(dir.File("disk/P").c_str(), dir.File("projects/P").c_str()), 0);
    ASSERT_EQ(symlink("../../outside", dir.File("disk/P/away").c_str()), 0);
    WriteAllBytes(dir.File("outside/victim"), { 1, 2, 3 });
    struct Case {
        const char *name;      // in projects/P/maps
        const char *link;      // what the link there holds; nullptr: no link
        int saved;
    };
    const std::string outside = dir.File("outside/victim");
    const Case cases[] = {
        { "plain.zizudu", nullptr, 1 },
        { "near.zizudu", "sub/kept", 1 },                  // stays inside
        { "up.zizudu", "../up-real", 1 },                  // leaves maps/ but not the project
        { "abs.zizudu", outside.c_str(), 0 },
        { "rel.zizudu", "../../../outside/victim", 0 },
        { "chain.zizudu", "near.zizudu", 1 },              // a chain that ends inside
        { "leave.zizudu", "hop.zizudu", 0 },               // a chain whose last hop leaves
        { "hop.zizudu", "../away/victim", 0 },             // inside, then through a folder link out
        { "dangling.zizudu", "../../../outside/fresh", 0 },
        { "dangling-in.zizudu", "sub/fresh", 1 },
    };
    for (const Case &c : cases) {
        std::string path = dir.File("projects/P/maps/") + c.name;
        if (c.link) {
            ASSERT_EQ(symlink(c.link, path.c_str()), 0) << c.name;
        }
    }
    std::vector<uint8_t> want = ReadAllBytes(outside);
    for (const Case &c : cases) {
        std::string path = dir.File("projects/P/maps/") + c.name;
        EXPECT_EQ(SaveMapZIZUDUWithin(path.c_str(), dir.File("projects/P").c_str(), map.get()), c.saved) << c.name;
        if (!c.saved) {
            EXPECT_STREQ(MapSaveReason(), "link leads outside the project") << c.name;
        }
    }
    EXPECT_EQ(ReadAllBytes(outside), want);
    EXPECT_EQ(FolderNames(dir.File("outside")), Names{ "victim" });
    EXPECT_EQ(FolderNames(dir.File("disk/P/maps/sub")), (Names{ "fresh", "kept" }));
    EXPECT_TRUE(FileExists(dir.File("disk/P/up-real")));

    // A maps folder that is itself a link out of the project; the plain save still goes through it.
    ASSERT_EQ(symlink(dir.File("outside").c_str(), dir.File("disk/P/elsewhere").c_str()), 0);
    std::string through = dir.File("projects/P/elsewhere/victim");
    EXPECT_EQ(SaveMapZIZUDUWithin(through.c_str(), dir.File("projects/P").c_str(), map.get()), 0);
    EXPECT_EQ(ReadAllBytes(outside), want);
    EXPECT_EQ(SaveMapZIZUDU(through.c_str(), map.get()), 1);
}

TEST_F(MapSaveTest, EveryFailureSaysWhy)
{
    mkdir(dir.File("folder.zizudu").c_str(), 0755);
    WriteAllBytes(dir.File("locked.zizudu"), { 1 });
    chmod(dir.File("locked.zizudu").c_str(), 0444);     // refused even for root, which access() lets write
    ASSERT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    const std::pair<const char *, const char *> cases[] = {
        { "missing/map.zizudu", "no such folder" },
        { "locked.zizudu", "file is read-only" },
        { "folder.zizudu", "is a folder" },
        { "loop", "too many links" },
        { "missing/map.zizudu", "no such folder" },   // after another failure: never the last one's reason
    };
    for (const auto &c : cases) {
        EXPECT_EQ(Save(c.first), 0) << c.first;
        EXPECT_STREQ(MapSaveReason(), c.second) << c.first;
    }
    Names before = FolderNames(dir.path);
    map->brushes[0].vertCount = -1;                     // a map no load would take back
    EXPECT_EQ(Save("map.zizudu"), 0);
    EXPECT_STRNE(MapSaveReason(), "no such folder");
    EXPECT_EQ(FolderNames(dir.path), before);

    // A read-only file system refuses root too, where the tests may mount one.
    std::string disk = dir.File("ro");
    mkdir(disk.c_str(), 0755);
    if (mount("kirto_test", disk.c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0) GTEST_SKIP() << "cannot mount a tmpfs";
    std::shared_ptr<void> unmount(nullptr, [&](void *) { umount2(disk.c_str(), MNT_DETACH); });
    BuildFullMap(map.get());
    map->brushCount = 1;
    EXPECT_EQ(Save("ro/map.zizudu"), 0);
    EXPECT_STREQ(MapSaveReason(), "read-only file system");
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
