// Projects: folders and name rules, the project list, the two path functions and the map list.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "raylib.h"
#include "document/map_file.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "support/project_folder.h"

namespace fs = std::filesystem;

static const char *const kSubdirs[] = { "maps", "exports", "mods", "assets", "assets/models", "assets/textures" };

// The order in which the platform lists a folder's entries (the order a scan walks them).
static std::vector<std::string> ListingOrder(const char *dir)
{
    std::vector<std::string> names;
    FilePathList list = LoadDirectoryFiles(dir);
    for (unsigned int i = 0; i < list.count; i++) names.push_back(GetFileName(list.paths[i]));
    UnloadDirectoryFiles(list);
    return names;
}

TEST(Projects, FirstStartCreatesUntitledWithEveryFolder)
{
    ProjectWorkFolder work;
    ScanProjects();
    EXPECT_EQ(gProjects.count, 0);
    EXPECT_TRUE(fs::is_directory("projects"));

    ASSERT_EQ(CreateProject("Untitled"), 1);
    ASSERT_EQ(gProjects.count, 1);
    EXPECT_STREQ(gProjects.entries[0].name, "Untitled");
    EXPECT_STREQ(gProjects.entries[0].path, "projects/Untitled");
    for (const char *sub : kSubdirs) EXPECT_TRUE(fs::is_directory(std::string("projects/Untitled/") + sub)) << sub;
    // Created, but neither selected nor opened.
    EXPECT_EQ(gProjects.selected, -1);
    EXPECT_STREQ(gProjects.currentPath, "");
    EXPECT_STREQ(gProjects.currentName, "(none)");
}

TEST(Projects, NameRules)
{
    ProjectWorkFolder work;
    ScanProjects();
    EXPECT_EQ(CreateProject("My Level 2"), 1);   // spaces are allowed
    for (const char *bad : { "lvl.2", "a/b", "c:x", "back\\slash", "", ".", ".." }) {
        EXPECT_EQ(ProjectNameIsValid(bad), 0) << bad;
        EXPECT_EQ(CreateProject(bad), 0) << bad;
    }
    EXPECT_EQ(CreateProject(nullptr), 0);
    EXPECT_EQ(CreateProject("My Level 2"), 0);   // exists already
    EXPECT_EQ(gProjects.count, 1);
    EXPECT_FALSE(fs::exists("projects/a"));
    EXPECT_FALSE(fs::exists("projects/lvl"));
}

TEST(Projects, PlainFileInTheWayIsReportedAsFailure)
{
    ProjectWorkFolder work;
    ScanProjects();
    WriteAllBytes("projects/Blocked", { 'x' });
    EXPECT_EQ(CreateProject("Blocked"), 0);
    EXPECT_EQ(gProjects.count, 0);               // files in "projects" are not projects
    EXPECT_TRUE(fs::is_regular_file("projects/Blocked"));
}

TEST(Projects, ListHoldsAtMost64AndRefusesMore)
{
    ProjectWorkFolder work;
    fs::create_directories("projects");
    for (int i = 0; i < 65; i++) fs::create_directories("projects/p" + std::to_string(i));
    WriteAllBytes("projects/notes.txt", { 'n' });
    ScanProjects();
    ASSERT_EQ(gProjects.count, kMaxProjects);
    std::vector<std::string> order = ListingOrder("projects");
    order.erase(std::remove(order.begin(), order.end(), "notes.txt"), order.end());
    for (int i = 0; i < kMaxProjects; i++) EXPECT_EQ(order[(size_t)i], gProjects.entries[i].name);
    EXPECT_EQ(CreateProject("Another"), 0);
    EXPECT_FALSE(fs::exists("projects/Another"));
}

TEST(Projects, OpenProjectAndStaleSelection)
{
    ProjectWorkFolder work;
    ScanProjects();
    ASSERT_EQ(CreateProject("A"), 1);
    ASSERT_EQ(CreateProject("B"), 1);
    OpenProject(gProjects.count);                // one past the end: nothing
    OpenProject(-1);
    EXPECT_STREQ(gProjects.currentPath, "");

    fs::remove_all("projects/A/maps");
    fs::remove_all("projects/A/assets");
    int a = strcmp(gProjects.entries[0].name, "A") == 0 ? 0 : 1;
    OpenProject(a);
    EXPECT_STREQ(gProjects.currentPath, "projects/A");
    EXPECT_STREQ(gProjects.currentName, "A");
    EXPECT_EQ(gProjects.selected, a);
    for (const char *sub : kSubdirs) EXPECT_TRUE(fs::is_directory(std::string("projects/A/") + sub)) << sub;

    // Opened again: a save interrupted over a minute ago leaves nothing behind.
    WriteTextFile("projects/A/maps/a.zizudu.kirto-save-0000abcd.tmp", "x");
    SetModTime("projects/A/maps/a.zizudu.kirto-save-0000abcd.tmp", (long)time(nullptr) - kStaleSaveSeconds - 1);
    OpenProject(a);
    EXPECT_FALSE(FileExists("projects/A/maps/a.zizudu.kirto-save-0000abcd.tmp"));

    // A rescan that leaves fewer rows than the selection drops the selection.
    gProjects.selected = 1;
    fs::remove_all("projects/B");
    fs::remove_all("projects/A");
    ScanProjects();
    EXPECT_EQ(gProjects.count, 0);
    EXPECT_EQ(gProjects.selected, -1);
}

TEST(Projects, RescanKeepsTheSelectionOnItsProjectOrDropsIt)
{
    ProjectWorkFolder work;
    ScanProjects();
    ASSERT_EQ(CreateProject("Picked"), 1);
    gProjects.selected = 0;
    // Each new folder may reorder the listing; the selection follows the picked project.
    for (int i = 0; i < 12; i++) {
        ASSERT_EQ(CreateProject(("New " + std::to_string(i)).c_str()), 1);
        ASSERT_GE(gProjects.selected, 0);
        EXPECT_STREQ(gProjects.entries[gProjects.selected].name, "Picked") << i;
    }
    fs::remove_all("projects/New 3");
    ScanProjects();
    ASSERT_GE(gProjects.selected, 0);
    EXPECT_STREQ(gProjects.entries[gProjects.selected].name, "Picked");

    fs::remove_all("projects/Picked");
    ScanProjects();
    EXPECT_EQ(gProjects.selected, -1);
}

TEST(Projects, FilePathAndAssetDir)
{
    ProjectWorkFolder work;
    // With no project open every name is used as given.
    EXPECT_STREQ(ProjectFilePath("maps", "a.zizudu"), "a.zizudu");
    EXPECT_STREQ(ProjectAssetDir("models"), "assets/models");

    std::string p = OpenTestProject("P");
    EXPECT_STREQ(ProjectFilePath("maps", "a.zizudu"), "projects/P/maps/a.zizudu");
    for (const char *asPath : { "sub/a.zizudu", "C:a.zizudu", "/abs/a.zizudu", "\\a.zizudu", "x\\a.zizudu" }) {
        EXPECT_STREQ(ProjectFilePath("maps", asPath), asPath);
    }
    const char *first = ProjectFilePath("maps", "one");
    ProjectFilePath("maps", "two");
    EXPECT_STREQ(first, "projects/P/maps/two");  // one buffer, overwritten by the next call

    EXPECT_STREQ(ProjectAssetDir("textures"), "projects/P/assets/textures");
    fs::remove_all("projects/P/assets/textures");
    EXPECT_STREQ(ProjectAssetDir("textures"), "assets/textures");
}

TEST(Projects, TypedMapNames)
{
    for (const char *plain : { "level1", "level1.zizudu", "my map.zizudu", "_autosave" }) EXPECT_EQ(MapNameIsPlain(plain), 1) << plain;
    for (const char *notPlain : { "", ".", "..", "sub/a.zizudu", "..\\a.zizudu", "C:a.zizudu", "/a" }) {
        EXPECT_EQ(MapNameIsPlain(notPlain), 0) << notPlain;
    }
    EXPECT_EQ(MapNameIsPlain(nullptr), 0);
    EXPECT_EQ(MapNameIsReserved("_autosave.zizudu"), 1);
    EXPECT_EQ(MapNameIsReserved("_AutoSave.ZIZUDU"), 1);
    EXPECT_EQ(MapNameIsReserved("_autosave.zizudu2"), 0);
    EXPECT_EQ(MapNameIsReserved("_autosave"), 0);
    EXPECT_EQ(MapNameIsReserved(nullptr), 0);
}

TEST(Projects, MapListNewestFirstWithoutAutosaveOrOtherFiles)
{
    ProjectWorkFolder work;
    std::string maps = OpenTestProject("P") + "/maps/";
    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 1);
    SaveMapAt(maps + "a.zizudu", *map, 100);
    SaveMapAt(maps + "b.zizudu", *map, 300);
    SaveMapAt(maps + "c.ZIZUDU", *map, 300);     // the extension is compared without regard to case
    SaveMapAt(maps + "_autosave.zizudu", *map, 900);
    WriteAllBytes(maps + "notes.txt", { 'n' });
    fs::create_directories(maps + "folder.zizudu");

    gMapBrowse.scroll = 50.0f;
    ScanProjectMaps();
    ASSERT_EQ(gMapBrowse.count, 3);
    EXPECT_EQ(gMapBrowse.scroll, 0.0f);
    EXPECT_STREQ(gMapBrowse.names[2], "a.zizudu");
    EXPECT_EQ(gMapBrowse.mtimes[2], 100);
    // Equal times keep the listing order.
    std::vector<std::string> order = ListingOrder(maps.c_str());
    auto pos = [&order](const char *n) { return std::find(order.begin(), order.end(), n) - order.begin(); };
    bool bFirst = pos("b.zizudu") < pos("c.ZIZUDU");
    EXPECT_STREQ(gMapBrowse.names[0], bFirst ? "b.zizudu" : "c.ZIZUDU");
    EXPECT_STREQ(gMapBrowse.names[1], bFirst ? "c.ZIZUDU" : "b.zizudu");
    EXPECT_EQ(gMapBrowse.mtimes[0], 300);
}

TEST(Projects, MapListWithoutProjectIsEmpty)
{
    ProjectWorkFolder work;
    gMapBrowse.count = 5;
    gMapBrowse.scroll = 12.0f;
    ScanProjectMaps();
    EXPECT_EQ(gMapBrowse.count, 0);
    EXPECT_EQ(gMapBrowse.scroll, 12.0f);

    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 2);
    auto before = std::make_unique<MapDoc>(*map);
    EXPECT_EQ(LoadLatestProjectMap(map.get()), nullptr);
    EXPECT_EQ(memcmp(map.get(), before.get(), sizeof(MapDoc)), 0);
}

TEST(Projects, LatestMapIsLoadedAndAnUnreadableNewestGivesNone)
{
    ProjectWorkFolder work;
    std::string maps = OpenTestProject("P") + "/maps/";
    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 2);
    SaveMapAt(maps + "old.zizudu", *map, 100);
    BuildCubes(map.get(), 3);
    SaveMapAt(maps + "new.zizudu", *map, 200);

    auto loaded = std::make_unique<MapDoc>();
    const char *name = LoadLatestProjectMap(loaded.get());
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "new.zizudu");
    EXPECT_EQ(loaded->brushCount, 3);

    WriteAllBytes(maps + "broken.zizudu", { 'Z', 'I', 'Z' });
    SetModTime(maps + "broken.zizudu", 300);
    BuildCubes(loaded.get(), 1);
    EXPECT_EQ(LoadLatestProjectMap(loaded.get()), nullptr);   // the older readable maps are not tried
    EXPECT_EQ(loaded->brushCount, 1);
}

TEST(Projects, SpecialFilesAmongTheMapsAreNeverOpened)
{
    // Each of these would block the editor for good if it were opened: a pipe has no writer.
    ProjectWorkFolder work;
    std::string maps = OpenTestProject("P") + "/maps/";
    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 2);
    SaveMapAt(maps + "good.zizudu", *map, 100);
    MakeFifo(maps + "pipe.zizudu");
    SetModTime(maps + "pipe.zizudu", 500);
    MakeFifo(maps + "_autosave.zizudu");
    SetModTime(maps + "_autosave.zizudu", 900);

    ScanProjectMaps();
    ASSERT_EQ(gMapBrowse.count, 1);
    EXPECT_STREQ(gMapBrowse.names[0], "good.zizudu");
    EXPECT_FALSE(AutoSaveIsNewer());
    auto loaded = std::make_unique<MapDoc>();
    ASSERT_NE(LoadLatestProjectMap(loaded.get()), nullptr);
    EXPECT_EQ(loaded->brushCount, 2);
    EXPECT_EQ(LoadMapZIZUDU((maps + "pipe.zizudu").c_str(), loaded.get()), 0);   // typed in the dialog
    EXPECT_EQ(loaded->brushCount, 2);
}
