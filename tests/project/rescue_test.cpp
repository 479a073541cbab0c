// The rescue file's name and what counts as unsaved work.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "document/undo.h"
#include "project/rescue.h"
#include "support/project_folder.h"

namespace fs = std::filesystem;

// A name taken by anything (a file, a folder, a link that leads nowhere) moves on to the counter.
TEST(Rescue, FreePathSkipsEveryTakenName)
{
    ProjectWorkFolder work;
    fs::create_directories("maps");
    const long long when = (long long)time(nullptr);
    char stamp[32];
    time_t t = (time_t)when;
    strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", localtime(&t));
    const std::string base = std::string("unsaved-") + stamp;

    struct Case { const char *folder; const char *takeAs; const char *expected; };
    const Case cases[] = {
        { "", nullptr, "" },
        { "maps", nullptr, "maps/" },
        { "maps", "file", "maps/" },
        { "maps", "folder", "maps/" },
        { "maps", "link", "maps/" },
    };
    int taken = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.takeAs != nullptr ? c.takeAs : c.folder);
        char path[kProjectFilePathLen];
        ASSERT_EQ(RescueFreePath(c.folder, when, path, sizeof(path)), 1);
        std::string expected = std::string(c.expected) + base + (taken > 0 ? "-" + std::to_string(taken + 1) : "") + ".zizudu";
        if (c.takeAs == nullptr) {
            EXPECT_EQ(std::string(path), expected);
            continue;
        }
        EXPECT_EQ(std::string(path), expected);
        if (std::string(c.takeAs) == "file") WriteTextFile(path, "x");
        else if (std::string(c.takeAs) == "folder") fs::create_directory(path);
        else fs::create_symlink("nowhere", path);
        taken++;
    }
    char path[kProjectFilePathLen];
    ASSERT_EQ(RescueFreePath("maps", when, path, sizeof(path)), 1);
    EXPECT_EQ(std::string(path), "maps/" + base + "-4.zizudu");
    char tiny[8];
    EXPECT_EQ(RescueFreePath("maps", when, tiny, sizeof(tiny)), 0);   // a cut name would be another file
}

TEST(Rescue, WorkIsWhatDiffersFromTheHeldMapWhileFlagged)
{
    ProjectWorkFolder work;
    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 2);
    RescueNoteHeld(map.get(), nullptr);
    struct Case { int cubes; bool dirty; bool unsaved; };
    const Case cases[] = {
        { 2, false, false },   // as written
        { 2, true, false },    // edited and undone back to the written state
        { 3, true, true },     // edited
        { 3, false, false },   // changed in place with no step yet: the next step flags it
    };
    for (const Case &c : cases) {
        BuildCubes(map.get(), c.cubes);
        gMapDirty = c.dirty;
        EXPECT_EQ(RescueWorkUnsaved(map.get()), c.unsaved ? 1 : 0) << c.cubes << c.dirty;
    }
    gMapDirty = false;
}
