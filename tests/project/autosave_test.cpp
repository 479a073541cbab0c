// The dirty flag, the autosave step and the recovery test.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/map_file.h"
#include "document/undo.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "support/project_folder.h"

TEST(AutoSave, StartValuesAndSnapshotMarksDirty)
{
    // Nothing but the autosave run changes these; the dirty flag is set by other tests' snapshots.
    EXPECT_TRUE(gAutoSave.enabled);
    EXPECT_EQ(gAutoSave.interval, 120.0f);
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_EQ(gAutoSave.saveCount, 0);

    std::unique_ptr<MapDoc> map(new MapDoc());
    FreeUndoHistory();
    gMapDirty = false;
    PushUndoState(map.get());
    EXPECT_TRUE(gMapDirty);

    gMapDirty = false;                          // undo and redo that change nothing leave the flag alone
    EXPECT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(Redo(map.get()), 1);
    EXPECT_FALSE(gMapDirty);
    map->brushCount = 1;                        // one that brings another map back marks it changed
    EXPECT_EQ(Undo(map.get()), 1);
    EXPECT_TRUE(gMapDirty);
    gMapDirty = false;
    MarkMapDirty();
    EXPECT_TRUE(gMapDirty);
    FreeUndoHistory();
    gMapDirty = false;
}

//----------------------------------------------------------------------------------
// The autosave step, driven with synthetic frame times
//----------------------------------------------------------------------------------
class AutoSaveRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        map = std::make_unique<MapDoc>();
        BuildCubes(map.get(), 2);
        status[0] = '\0';
    }
    // Runs frames of 1/64 s (exact in binary, so the sums are too) for the given seconds.
    void RunSeconds(int seconds)
    {
        for (int i = 0; i < seconds * 64; i++) RunAutoSave(map.get(), 1.0f / 64.0f, status, sizeof(status));
    }
    ProjectWorkFolder work;
    std::unique_ptr<MapDoc> map;
    char status[128];
};

TEST_F(AutoSaveRun, NoProjectNoAutosaveAndNoTimer)
{
    gMapDirty = true;
    RunAutoSave(map.get(), 1000.0f, status, sizeof(status));
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_TRUE(gMapDirty);
    EXPECT_STREQ(status, "");
    EXPECT_FALSE(FileExists(std::string("_autosave.zizudu")));
}

TEST_F(AutoSaveRun, WritesAtEachIntervalOnlyWhileDirty)
{
    std::string path = OpenTestProject("P") + "/maps/_autosave.zizudu";
    int count = gAutoSave.saveCount;
    RunAutoSave(map.get(), 119.5f, status, sizeof(status));
    RunAutoSave(map.get(), 0.5f, status, sizeof(status));   // 120 s: an attempt, but nothing changed
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_FALSE(FileExists(path));
    EXPECT_STREQ(status, "");

    // An edit at 119 s is written at the attempt at 120 s.
    RunAutoSave(map.get(), 119.0f, status, sizeof(status));
    PushUndoState(map.get());
    RunAutoSave(map.get(), 0.999f, status, sizeof(status));
    EXPECT_FALSE(FileExists(path));
    RunAutoSave(map.get(), 0.001f, status, sizeof(status));
    ASSERT_TRUE(FileExists(path));
    EXPECT_FALSE(gMapDirty);
    EXPECT_EQ(gAutoSave.saveCount, count + 1);
    EXPECT_EQ(std::string(status), "Autosaved (" + std::to_string(count + 1) + ") to _autosave.zizudu");
    auto loaded = std::make_unique<MapDoc>();
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(loaded->brushCount, 2);

    // An edit just after an attempt waits a whole interval.
    RunSeconds(1);
    PushUndoState(map.get());
    map->brushCount = 1;
    RunSeconds(118);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(loaded->brushCount, 2);
    RunSeconds(1);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(loaded->brushCount, 1);
    EXPECT_EQ(gAutoSave.saveCount, count + 2);

    // Without a status buffer nothing is written there, but the map still is.
    PushUndoState(map.get());
    RunAutoSave(map.get(), 120.0f, nullptr, 0);
    EXPECT_EQ(gAutoSave.saveCount, count + 3);
}

TEST_F(AutoSaveRun, FailureIsReportedKeepsDirtyAndTheOldFile)
{
    std::string maps = OpenTestProject("P") + "/maps/";
    auto old = std::make_unique<MapDoc>();
    BuildCubes(old.get(), 5);
    SaveMapAt(maps + "_autosave.zizudu", *old, 100);
    AutoSaveNoteOpened();                       // there when the project opened: it may be replaced
    std::vector<uint8_t> before = ReadAllBytes(maps + "_autosave.zizudu");
    // A read-only file is not replaced.
    std::filesystem::permissions(maps + "_autosave.zizudu", std::filesystem::perms::owner_read);

    int count = gAutoSave.saveCount;
    PushUndoState(map.get());
    RunAutoSave(map.get(), 120.0f, status, sizeof(status));
    EXPECT_STREQ(status, "Could not autosave to projects/P/maps/_autosave.zizudu: file is read-only");
    EXPECT_TRUE(gMapDirty);
    EXPECT_EQ(gAutoSave.saveCount, count);
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_EQ(ReadAllBytes(maps + "_autosave.zizudu"), before);

    // Writable again, it is still not the file the project opened with: a change of permissions
    // changes only the change time, as a copy that keeps the time does, and the two cannot be
    // told apart. Once it is gone, the next attempt one interval later works.
    std::filesystem::permissions(maps + "_autosave.zizudu", std::filesystem::perms::owner_all);
    RunAutoSave(map.get(), 120.0f, status, sizeof(status));
    EXPECT_STREQ(status, "Could not autosave to projects/P/maps/_autosave.zizudu: written by someone else after the "
                         "project opened");
    std::filesystem::remove(maps + "_autosave.zizudu");
    RunAutoSave(map.get(), 119.0f, status, sizeof(status));
    EXPECT_TRUE(gMapDirty);
    RunAutoSave(map.get(), 1.0f, status, sizeof(status));
    EXPECT_FALSE(gMapDirty);
    EXPECT_NE(ReadAllBytes(maps + "_autosave.zizudu"), before);
}

TEST_F(AutoSaveRun, NothingIsWrittenWhileTheRecoveryPromptIsShown)
{
    std::string maps = OpenTestProject("P") + "/maps/";
    auto offered = std::make_unique<MapDoc>();
    BuildCubes(offered.get(), 4);
    SaveMapAt(maps + "_autosave.zizudu", *offered, 500);
    AutoSaveNoteOpened();
    std::vector<uint8_t> before = ReadAllBytes(maps + "_autosave.zizudu");

    gRecoverPrompt = true;
    PushUndoState(map.get());
    RunAutoSave(map.get(), 120.0f, status, sizeof(status));
    RunAutoSave(map.get(), 500.0f, status, sizeof(status));
    EXPECT_EQ(ReadAllBytes(maps + "_autosave.zizudu"), before);
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_TRUE(gMapDirty);

    gRecoverPrompt = false;                     // chosen: the autosave runs again
    RunAutoSave(map.get(), 120.0f, status, sizeof(status));
    EXPECT_NE(ReadAllBytes(maps + "_autosave.zizudu"), before);
}

//----------------------------------------------------------------------------------
// The recovery test
//----------------------------------------------------------------------------------
TEST(RecoveryTest, AutosaveMustBeStrictlyNewerThanEveryMap)
{
    ProjectWorkFolder work;
    EXPECT_FALSE(AutoSaveIsNewer());            // no project open
    std::string maps = OpenTestProject("P") + "/maps/";
    auto map = std::make_unique<MapDoc>();
    BuildCubes(map.get(), 1);

    ScanProjectMaps();
    EXPECT_FALSE(AutoSaveIsNewer());            // no autosave at all

    SaveMapAt(maps + "_autosave.zizudu", *map, 1000);
    ScanProjectMaps();
    EXPECT_TRUE(AutoSaveIsNewer());             // the only map file: always offered
    EXPECT_STREQ(gRecoverPath, "projects/P/maps/_autosave.zizudu");

    SaveMapAt(maps + "a.zizudu", *map, 400);
    SaveMapAt(maps + "b.zizudu", *map, 999);
    ScanProjectMaps();
    EXPECT_TRUE(AutoSaveIsNewer());             // newer than both

    SetModTime(maps + "b.zizudu", 1000);
    ScanProjectMaps();
    gRecoverPath[0] = '\0';
    EXPECT_FALSE(AutoSaveIsNewer());            // the same second is not newer
    EXPECT_STREQ(gRecoverPath, "");

    SetModTime(maps + "a.zizudu", 2000);
    ScanProjectMaps();
    EXPECT_FALSE(AutoSaveIsNewer());            // older than one map

    // The test reads the list of the last scan, not the folder.
    SetModTime(maps + "a.zizudu", 10);
    SetModTime(maps + "b.zizudu", 10);
    EXPECT_FALSE(AutoSaveIsNewer());
    ScanProjectMaps();
    EXPECT_TRUE(AutoSaveIsNewer());
}

TEST(RecoveryTest, UnreadableAutosaveIsStillOffered)
{
    // Whether it can be read is found out by Recover, which then leaves the map alone.
    ProjectWorkFolder work;
    std::string maps = OpenTestProject("P") + "/maps/";
    WriteAllBytes(maps + "_autosave.zizudu", { 1, 2, 3 });
    ScanProjectMaps();
    EXPECT_TRUE(AutoSaveIsNewer());
}

//----------------------------------------------------------------------------------
// Another writer's autosave
//----------------------------------------------------------------------------------
TEST_F(AutoSaveRun, NeverReplacesAnAutosaveAnotherWriterChanged)
{
    std::string path = OpenTestProject("P") + "/maps/_autosave.zizudu";
    auto other = std::make_unique<MapDoc>();
    BuildCubes(other.get(), 7);
    auto refused = [&](const char *reason) {
        std::vector<uint8_t> before = ReadAllBytes(path);
        PushUndoState(map.get());
        EXPECT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 0);
        EXPECT_EQ(std::string(status), "Could not autosave to " + path + ": " + reason);
        EXPECT_TRUE(gMapDirty);
        EXPECT_EQ(ReadAllBytes(path), before);
    };

    SaveMapAt(path, *other, 100);               // an old autosave, there when the project opened
    AutoSaveNoteOpened();
    PushUndoState(map.get());
    ASSERT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 1);
    ASSERT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 1);   // its own write

    SaveMapAt(path, *other, 300);               // another copy of the editor writes its work
    refused("changed on disk since this editor wrote it");
    std::filesystem::remove(path);              // nothing left to replace: written anew
    ASSERT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 1);

    // Never written here: one that appears after the open is someone else's.
    std::string fresh = OpenTestProject("Q") + "/maps/_autosave.zizudu";
    AutoSaveNoteOpened();
    path = fresh;
    SaveMapAt(path, *other, 400);
    refused("written by someone else after the project opened");
    AutoSaveNoteOpened();                       // opened again: now it was there before the open
    ASSERT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 1);
}

TEST_F(AutoSaveRun, AFailedFolderFlushIsAWarningAndTheNextAutosaveGoesAhead)
{
    OpenTestProject("P");
    AutoSaveNoteOpened();
    PushUndoState(map.get());
    {
        OneMoreOpenFile limit;                  // the folder of the new file cannot be opened to flush
        EXPECT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 1);
    }
    EXPECT_FALSE(gMapDirty);
    EXPECT_NE(strstr(status, " - warning: folder not flushed to disk: too many open files"), nullptr) << status;
    PushUndoState(map.get());                   // the file in place kept its stamp: not someone else's
    EXPECT_EQ(AutoSaveWriteTo(gProjects.currentPath, map.get(), status, sizeof(status)), 1) << status;
}
