// The project switch, the map file dialog's actions, the top bar's Save and the recovery prompt.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "document/map_file.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/startup.h"
#include "editor/widgets.h"
#include "editor/windows/map_dialogs.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "support/project_folder.h"

namespace fs = std::filesystem;

class MapDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui = std::make_unique<UiState>();
        UiStateStartValues(*ui, 0, 0);
        map = std::make_unique<MapDoc>();
        DefaultMap(map.get(), *ui);
        PushUndoState(map.get());
        ClearMapDirty();                        // as at start-up: the default map is no work
    }
    // Saves a map of n cubes under name into the open project's maps folder at the given time.
    void PutMap(const char *name, int n, long seconds)
    {
        auto m = std::make_unique<MapDoc>();
        BuildCubes(m.get(), n);
        SaveMapAt(maps + name, *m, seconds);
    }
    void Open(const char *project)
    {
        maps = OpenTestProject(project) + "/maps/";
        ProjectSwitch(map.get(), *ui);
    }
    // Opens a project made before, as the project manager does.
    void Reopen(const char *project)
    {
        ScanProjects();
        for (int i = 0; i < gProjects.count; i++) {
            if (strcmp(gProjects.entries[i].name, project) == 0) OpenProject(i);
        }
        ProjectSwitch(map.get(), *ui);
    }
    bool MapEquals(const MapDoc &other) { return memcmp(map.get(), &other, sizeof(MapDoc)) == 0; }

    ProjectWorkFolder work;
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
    std::string maps;
};

//----------------------------------------------------------------------------------
// Project switch
//----------------------------------------------------------------------------------
TEST_F(MapDialogs, SwitchLoadsTheNewestMapCleanWithAFreshHistory)
{
    Open("Before");                             // a project was open: nothing of its map is kept
    maps = OpenTestProject("Level") + "/maps/";
    PutMap("older.zizudu", 2, 100);
    PutMap("newer.zizudu", 3, 200);
    ui->selEntity = 0;
    ui->xform.transformMode = XFORM_GRAB;
    gNumFields.editing[3] = true;
    gVtxActive[0] = 1;
    gAutoSave.timer = 77.0f;
    gMapDirty = true;
    PushUndoState(map.get());

    ProjectSwitch(map.get(), *ui);
    EXPECT_EQ(map->brushCount, 3);
    EXPECT_STREQ(ui->mapFileName, "newer.zizudu");
    EXPECT_STREQ(ui->statusText, "Opened 'Level' - loaded latest map newer.zizudu (3 brushes)");
    EXPECT_EQ(ui->selBrush, -1);
    EXPECT_EQ(ui->selEntity, -1);
    EXPECT_EQ(ui->xform.transformMode, XFORM_NONE);
    EXPECT_EQ(ui->curTexture, -1);
    EXPECT_EQ(ui->curModel, -1);
    EXPECT_FALSE(AnyNumFieldEditing());
    EXPECT_EQ(gVtxActive[0], 0);
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_FALSE(gMapDirty);                    // the history's first snapshot is no change
    EXPECT_FALSE(gRecoverPrompt);
    EXPECT_EQ(gUndo.count, 1);
    EXPECT_EQ(Undo(map.get()), 1);              // the one snapshot is the loaded map
    EXPECT_EQ(map->brushCount, 3);
    EXPECT_EQ(Undo(map.get()), 0);
}

// A newest map the reader refuses is named with its reason; the older maps stay on disk and Save
// aims at a new name.
TEST_F(MapDialogs, SwitchNamesTheNewestMapItCouldNotRead)
{
    Open("Before");
    maps = OpenTestProject("Cut") + "/maps/";
    PutMap("older.zizudu", 2, 100);
    PutMap("newer.zizudu", 3, 200);
    fs::resize_file(maps + "newer.zizudu", 40);
    SetModTime(maps + "newer.zizudu", 300);
    ProjectSwitch(map.get(), *ui);
    EXPECT_STREQ(ui->statusText, "Opened 'Cut' - could not load newer.zizudu: file cut short, starting empty");
    EXPECT_STREQ(ui->mapFileName, "untitled.zizudu");
    EXPECT_TRUE(FileExists(maps + "older.zizudu"));
}

TEST_F(MapDialogs, SwitchWithoutReadableMapStartsEmptyAndIsNeverAutosaved)
{
    Open("Before");
    maps = OpenTestProject("Empty") + "/maps/";
    Entity sun = map->entities[0];
    ProjectSwitch(map.get(), *ui);
    EXPECT_EQ(map->brushCount, 0);
    EXPECT_EQ(map->entityCount, 0);
    EXPECT_EQ(memcmp(&map->entities[0], &sun, sizeof(Entity)), 0);   // nothing else of the map changes
    EXPECT_STREQ(ui->mapFileName, "untitled.zizudu");
    EXPECT_STREQ(ui->statusText, "Opened 'Empty' - no maps yet, starting empty");
    EXPECT_FALSE(gMapDirty);

    // Untouched: no autosave however long it stays open, and opening it again offers nothing.
    RunAutoSave(map.get(), 120.0f, ui->statusText, kStatusLen);
    RunAutoSave(map.get(), 240.0f, ui->statusText, kStatusLen);
    ProjectSwitch(map.get(), *ui);
    EXPECT_FALSE(FileExists(maps + kAutoSaveName));
    EXPECT_FALSE(gRecoverPrompt);

    // A newest map that cannot be read also starts empty.
    PutMap("good.zizudu", 2, 100);
    WriteAllBytes(maps + "bad.zizudu", { 'x' });
    SetModTime(maps + "bad.zizudu", 200);
    BuildCubes(map.get(), 1);
    ProjectSwitch(map.get(), *ui);
    EXPECT_EQ(map->brushCount, 0);
    EXPECT_STREQ(ui->mapFileName, "untitled.zizudu");
}

TEST_F(MapDialogs, FirstProjectWithoutAReadableMapKeepsTheMapItsHistoryAndItsFlag)
{
    for (bool unreadable : { false, true }) {
        ResetProjectState();
        BuildCubes(map.get(), 1);
        PushUndoState(map.get());
        BuildCubes(map.get(), 2);               // the work not yet autosaved anywhere
        auto work = std::make_unique<MapDoc>(*map);
        int undoCount = gUndo.count, undoIndex = gUndo.index;

        maps = OpenTestProject(unreadable ? "Broken" : "Fresh") + "/maps/";
        if (unreadable) WriteAllBytes(maps + "bad.zizudu", { 'x' });
        ProjectSwitch(map.get(), *ui);
        EXPECT_TRUE(MapEquals(*work));
        EXPECT_STREQ(ui->mapFileName, "untitled.zizudu");
        EXPECT_EQ(std::string(ui->statusText), std::string("Opened '") + gProjects.currentName + "' - " +
                  (unreadable ? "could not load bad.zizudu: file cut short, " : "no maps yet, ") + "keeping the current map");
        EXPECT_EQ(gUndo.count, undoCount);
        EXPECT_EQ(gUndo.index, undoIndex);
        EXPECT_TRUE(gMapDirty);

        // The work reaches the new project at the first autosave, and the edit before it is undone as ever.
        RunAutoSave(map.get(), 120.0f, ui->statusText, kStatusLen);
        auto saved = std::make_unique<MapDoc>();
        ASSERT_EQ(LoadMapZIZUDU((maps + kAutoSaveName).c_str(), saved.get()), 1);
        EXPECT_EQ(memcmp(saved.get(), work.get(), sizeof(MapDoc)), 0);
        ASSERT_EQ(Undo(map.get()), 1);
        EXPECT_EQ(map->brushCount, 1);
    }
}

TEST_F(MapDialogs, FirstProjectWithAMapOffersTheWorkBuiltBeforeItAsItsAutosave)
{
    for (bool work : { false, true }) {
        ResetProjectState();
        DefaultMap(map.get(), *ui);
        PushUndoState(map.get());
        ClearMapDirty();
        if (work) {
            BuildCubes(map.get(), 5);
            PushUndoState(map.get());
        }
        auto before = std::make_unique<MapDoc>(*map);
        maps = OpenTestProject(work ? "Worked" : "Fresh") + "/maps/";
        PutMap("saved.zizudu", 3, 100);

        ProjectSwitch(map.get(), *ui);
        EXPECT_EQ(map->brushCount, 3);
        EXPECT_STREQ(ui->mapFileName, "saved.zizudu");
        EXPECT_FALSE(gMapDirty);
        EXPECT_EQ(gUndo.count, 1);              // Undo never brings another map under this name
        EXPECT_EQ(gRecoverPrompt, work);
        EXPECT_EQ(FileExists(maps + kAutoSaveName), work);
        if (!work) continue;
        EXPECT_EQ(std::string(gRecoverPath), maps + kAutoSaveName);
        ASSERT_EQ(RecoverAutoSave(map.get(), *ui), 1);
        EXPECT_TRUE(MapEquals(*before));
    }
}

TEST_F(MapDialogs, LeavingAProjectWritesItsUnsavedWorkWhereItsNextOpenOffersIt)
{
    Open("Left");
    std::string left = maps;
    BuildCubes(map.get(), 4);
    PushUndoState(map.get());
    auto work = std::make_unique<MapDoc>(*map);
    Open("Other");
    EXPECT_TRUE(FileExists(left + kAutoSaveName));
    EXPECT_EQ(map->brushCount, 0);
    std::string other = maps;
    Open("Third");                              // Other was left untouched: nothing is written there
    EXPECT_FALSE(FileExists(other + kAutoSaveName));

    Reopen("Left");
    ASSERT_TRUE(gRecoverPrompt);
    ASSERT_EQ(RecoverAutoSave(map.get(), *ui), 1);
    EXPECT_TRUE(MapEquals(*work));

    // A project that cannot take its autosave: the work becomes the opened project's autosave,
    // offered at once, and the status line says why.
    fs::permissions(left + kAutoSaveName, fs::perms::owner_read);
    Reopen("Third");
    EXPECT_STREQ(ui->statusText, "Could not autosave to projects/Left/maps/_autosave.zizudu: file is read-only");
    EXPECT_STREQ(gProjects.currentName, "Third");
    ASSERT_TRUE(gRecoverPrompt);
    EXPECT_STREQ(gRecoverPath, "projects/Third/maps/_autosave.zizudu");
    ASSERT_EQ(RecoverAutoSave(map.get(), *ui), 1);
    EXPECT_TRUE(MapEquals(*work));
}

TEST_F(MapDialogs, WorkNoProjectCanTakeStaysOpenAndTheFirstCloseIsRefused)
{
    Open("Offer");
    std::string offer = maps;
    PutMap(kAutoSaveName, 2, 200);              // older work on offer at Offer's next open
    std::vector<uint8_t> offered = ReadAllBytes(offer + kAutoSaveName);
    Open("Left");
    BuildCubes(map.get(), 4);
    PushUndoState(map.get());
    auto work = std::make_unique<MapDoc>(*map);
    int undoCount = gUndo.count, undoIndex = gUndo.index;
    fs::create_directory(maps + kAutoSaveName); // no file can go there, whoever runs the test

    Reopen("Offer");
    EXPECT_STREQ(gProjects.currentPath, "projects/Left");
    EXPECT_STREQ(gProjects.currentName, "Left");
    EXPECT_STREQ(ui->statusText, "Did not open 'Offer' - the unsaved work stays open: 'Offer' has an autosave on offer");
    EXPECT_TRUE(MapEquals(*work));
    EXPECT_EQ(gUndo.count, undoCount);
    EXPECT_EQ(gUndo.index, undoIndex);
    EXPECT_TRUE(gMapDirty);
    EXPECT_FALSE(gRecoverPrompt);
    EXPECT_EQ(ReadAllBytes(offer + kAutoSaveName), offered);

    // The close: refused once with the reason, and the second goes ahead.
    const std::string refused = "Not closed - close again to discard the changes. Could not autosave to projects/Left/maps/_autosave.zizudu";
    EXPECT_EQ(CloseRequestGranted(map.get(), *ui), 0);
    EXPECT_EQ(std::string(ui->statusText).rfind(refused, 0), 0u) << ui->statusText;
    EXPECT_EQ(CloseRequestGranted(map.get(), *ui), 1);
}

TEST_F(MapDialogs, CloseKeepsUnsavedWorkInTheProjectAndSaysWhenItCannot)
{
    BuildCubes(map.get(), 2);
    PushUndoState(map.get());
    EXPECT_EQ(KeepUnsavedWorkOnClose(map.get(), *ui), 0);   // no project: nowhere to write, and it says so
    EXPECT_STREQ(ui->statusText, "Unsaved changes not autosaved: no project is open to hold them.");
    EXPECT_EQ(CloseRequestGranted(map.get(), *ui), 0);     // so the first close is refused,
    PushUndoState(map.get());
    EXPECT_EQ(CloseRequestGranted(map.get(), *ui), 0);     // and again after a further edit,
    EXPECT_EQ(CloseRequestGranted(map.get(), *ui), 1);     // but not twice over the same work
    Open("P");                                  // no maps: the work stays open, unsaved
    gRecoverPrompt = true;
    EXPECT_EQ(KeepUnsavedWorkOnClose(map.get(), *ui), 0);
    EXPECT_FALSE(FileExists(maps + kAutoSaveName));
    gRecoverPrompt = false;
    EXPECT_EQ(KeepUnsavedWorkOnClose(map.get(), *ui), 1);
    EXPECT_TRUE(FileExists(maps + kAutoSaveName));
    EXPECT_FALSE(gMapDirty);
}

//----------------------------------------------------------------------------------
// Recovery
//----------------------------------------------------------------------------------
TEST_F(MapDialogs, NewerAutosaveRaisesThePromptAndRecoverLoadsIt)
{
    maps = OpenTestProject("Crash") + "/maps/";
    PutMap("saved.zizudu", 1, 100);
    PutMap(kAutoSaveName, 4, 200);
    std::vector<uint8_t> autosave = ReadAllBytes(maps + kAutoSaveName);

    ProjectSwitch(map.get(), *ui);
    ASSERT_TRUE(gRecoverPrompt);
    EXPECT_STREQ(gRecoverPath, "projects/Crash/maps/_autosave.zizudu");
    EXPECT_EQ(map->brushCount, 1);              // the newest listed map is loaded meanwhile

    // An edit under the prompt is not autosaved over the file on offer.
    PushUndoState(map.get());
    RunAutoSave(map.get(), 300.0f, ui->statusText, kStatusLen);
    EXPECT_EQ(ReadAllBytes(maps + kAutoSaveName), autosave);

    ui->selBrush = 0;
    ASSERT_EQ(RecoverAutoSave(map.get(), *ui), 1);
    EXPECT_FALSE(gRecoverPrompt);
    EXPECT_EQ(map->brushCount, 4);
    EXPECT_EQ(ui->selBrush, -1);
    EXPECT_STREQ(ui->mapFileName, "recovered.zizudu");
    EXPECT_STREQ(ui->statusText, "Recovered 4 brushes. Save As to keep it.");
    EXPECT_TRUE(gMapDirty);                     // recovered work counts as unsaved
    EXPECT_EQ(gUndo.count, 1);

    // The top bar's Save then keeps it under its own name, byte for byte.
    ASSERT_EQ(SaveMapToProject(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Saved to projects/Crash/maps/recovered.zizudu");
    EXPECT_EQ(ReadAllBytes(maps + "recovered.zizudu"), autosave);
}

TEST_F(MapDialogs, IgnoreKeepsTheAutosaveAndTheNextOpenOffersItAgain)
{
    maps = OpenTestProject("Crash") + "/maps/";
    PutMap(kAutoSaveName, 2, 200);              // the only map file
    ProjectSwitch(map.get(), *ui);
    ASSERT_TRUE(gRecoverPrompt);
    EXPECT_STREQ(ui->statusText, "Opened 'Crash' - no maps yet, keeping the current map");
    IgnoreAutoSave();
    EXPECT_FALSE(gRecoverPrompt);
    EXPECT_TRUE(FileExists(maps + kAutoSaveName));
    ProjectSwitch(map.get(), *ui);
    EXPECT_TRUE(gRecoverPrompt);
}

TEST_F(MapDialogs, UnreadableAutosaveLeavesTheMapAsItWas)
{
    maps = OpenTestProject("Crash") + "/maps/";
    PutMap("saved.zizudu", 3, 100);
    WriteAllBytes(maps + kAutoSaveName, { 'Z', 'I', 'Z', 'U' });
    SetModTime(maps + kAutoSaveName, 200);
    ProjectSwitch(map.get(), *ui);
    ASSERT_TRUE(gRecoverPrompt);
    auto before = std::make_unique<MapDoc>(*map);
    int undoCount = gUndo.count;

    EXPECT_EQ(RecoverAutoSave(map.get(), *ui), 0);
    EXPECT_FALSE(gRecoverPrompt);
    EXPECT_STREQ(ui->statusText, "The autosave could not be read: file cut short.");
    EXPECT_TRUE(MapEquals(*before));
    EXPECT_EQ(gUndo.count, undoCount);
    EXPECT_STREQ(ui->mapFileName, "saved.zizudu");
    EXPECT_TRUE(FileExists(maps + kAutoSaveName));
}

//----------------------------------------------------------------------------------
// Map file dialog and the top bar's Save
//----------------------------------------------------------------------------------
TEST_F(MapDialogs, SaveAddsNoExtensionAndListsOnlyMapFiles)
{
    Open("P");
    gMapDirty = true;
    OpenMapFileDialog(*ui, 1);
    EXPECT_TRUE(ui->showSaveDialog);
    ui->dlgIsSave = true;
    ui->fileBoxEdit = true;
    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "level1");
    ASSERT_EQ(MapDialogAction(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Saved to projects/P/maps/level1");
    EXPECT_TRUE(FileExists(maps + "level1"));
    EXPECT_FALSE(ui->showSaveDialog || ui->showOpenDialog || ui->fileBoxEdit);
    EXPECT_EQ(gMapBrowse.count, 0);             // rescanned, and "level1" is no ".zizudu" file
    EXPECT_FALSE(gMapDirty);                    // written: nothing left to autosave

    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "level2.zizudu");
    ui->dlgIsSave = true;
    ASSERT_EQ(MapDialogAction(map.get(), *ui), 1);
    ASSERT_EQ(gMapBrowse.count, 1);
    EXPECT_STREQ(gMapBrowse.names[0], "level2.zizudu");
    ASSERT_EQ(SaveMapZIZUDU("expected.zizudu", map.get()), 1);
    EXPECT_EQ(ReadAllBytes(maps + "level2.zizudu"), ReadAllBytes("expected.zizudu"));
}

TEST_F(MapDialogs, TypedNamesNeverWriteOutsideTheMapsFolderOrOverTheAutosave)
{
    Open("P");
    PutMap(kAutoSaveName, 2, 100);
    std::vector<uint8_t> autosave = ReadAllBytes(maps + kAutoSaveName);
    fs::create_directories("sub");

    struct Case { const char *name, *status; };
    const Case cases[] = {
        { "sub/level1.zizudu", "Could not save 'sub/level1.zizudu' - type a plain file name." },
        { "..\\up.zizudu", "Could not save '..\\up.zizudu' - type a plain file name." },
        { "C:x.zizudu", "Could not save 'C:x.zizudu' - type a plain file name." },
        { "", "Could not save '' - type a plain file name." },
        { "_autosave.zizudu", "Could not save '_autosave.zizudu' - that name is kept for the autosave." },
        { "_AUTOSAVE.zizudu", "Could not save '_AUTOSAVE.zizudu' - that name is kept for the autosave." },
    };
    for (const Case &c : cases) {
        ui->showSaveDialog = true;
        ui->dlgIsSave = true;
        snprintf(ui->mapFileName, kMapFileNameLen, "%s", c.name);
        EXPECT_EQ(MapDialogAction(map.get(), *ui), 0) << c.name;
        EXPECT_STREQ(ui->statusText, c.status);
        EXPECT_FALSE(ui->showSaveDialog);
        EXPECT_STREQ(ui->mapFileName, c.name);  // the typed name stays
    }
    EXPECT_FALSE(FileExists(std::string("sub/level1.zizudu")));
    EXPECT_FALSE(FileExists(std::string("projects/P/up.zizudu")));
    EXPECT_EQ(ReadAllBytes(maps + kAutoSaveName), autosave);

    // The top bar's Save follows the same rule.
    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "sub/level1.zizudu");
    EXPECT_EQ(SaveMapToProject(map.get(), *ui), 0);
    EXPECT_FALSE(FileExists(std::string("sub/level1.zizudu")));
}

TEST_F(MapDialogs, FailedSaveReportsKeepsDirtyAndTheOldFile)
{
    Open("P");
    PutMap("keep.zizudu", 3, 100);
    std::vector<uint8_t> before = ReadAllBytes(maps + "keep.zizudu");
    PushUndoState(map.get());
    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "keep.zizudu");

    fs::permissions(maps + "keep.zizudu", fs::perms::owner_read);   // a read-only file is not replaced
    EXPECT_EQ(SaveMapToProject(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Could not save to projects/P/maps/keep.zizudu: file is read-only");
    ui->dlgIsSave = true;
    EXPECT_EQ(MapDialogAction(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Could not save to projects/P/maps/keep.zizudu: file is read-only");
    EXPECT_TRUE(gMapDirty);
    EXPECT_EQ(ReadAllBytes(maps + "keep.zizudu"), before);

    // The map's own file made read-only says so first, though taking its write bits away moved
    // its change time as another writer's copy would.
    PutMap("level.zizudu", 1, 200);
    Reopen("P");
    fs::permissions(maps + "level.zizudu", fs::perms::owner_read);
    PushUndoState(map.get());
    EXPECT_EQ(SaveMapToProject(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Could not save to projects/P/maps/level.zizudu: file is read-only");
}

TEST_F(MapDialogs, SaveOverTheMapsOwnFileChangedOnDiskIsRefusedOnce)
{
    auto other = std::make_unique<MapDoc>();
    BuildCubes(other.get(), 6);
    for (bool loaded : { true, false }) {       // read from the file, or named after one not there yet
        Open(loaded ? "Loaded" : "Fresh");
        if (loaded) {
            PutMap("level.zizudu", 1, 100);
            Reopen("Loaded");
        }
        std::string path = maps + ui->mapFileName;
        SaveMapAt(path, *other, 300);           // another copy of the editor saves first
        std::vector<uint8_t> theirs = ReadAllBytes(path);
        EXPECT_EQ(SaveMapToProject(map.get(), *ui), 0);
        EXPECT_EQ(std::string(ui->statusText), "Could not save to " + path + ": changed on disk - Save again to overwrite it.");
        EXPECT_EQ(ReadAllBytes(path), theirs);
        ASSERT_EQ(SaveMapToProject(map.get(), *ui), 1);
        EXPECT_NE(ReadAllBytes(path), theirs);
        ASSERT_EQ(SaveMapToProject(map.get(), *ui), 1);   // written here: no question

        SaveMapAt(path, *other, 500);           // warned about one change, not about the next
        ui->dlgIsSave = true;                   // Save As to its own name asks the same
        EXPECT_EQ(MapDialogAction(map.get(), *ui), 0);
    }
}

TEST_F(MapDialogs, OpenBringsTheFileBackAndUndoTheMapItReplaced)
{
    Open("P");
    PutMap("three.zizudu", 3, 100);
    BuildCubes(map.get(), 1);                   // changed in place, without a snapshot
    auto replaced = std::make_unique<MapDoc>(*map);
    ui->selBrush = 0;
    gVtxActive[0] = 1;

    for (bool dirty : { false, true }) {
        gMapDirty = dirty;
        *map = *replaced;
        OpenMapFileDialog(*ui, 0);
        EXPECT_TRUE(ui->showOpenDialog);
        ui->dlgIsSave = false;
        snprintf(ui->mapFileName, kMapFileNameLen, "%s", "three.zizudu");
        ASSERT_EQ(MapDialogAction(map.get(), *ui), 1);
        EXPECT_STREQ(ui->statusText, "Loaded projects/P/maps/three.zizudu");
        EXPECT_EQ(map->brushCount, 3);
        EXPECT_EQ(ui->selBrush, -1);
        EXPECT_EQ(gVtxActive[0], 0);
        EXPECT_FALSE(ui->showOpenDialog);
        EXPECT_EQ(gMapDirty, dirty);            // a load is no edit
    }
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_TRUE(MapEquals(*replaced));
    ASSERT_EQ(Redo(map.get()), 1);
    EXPECT_EQ(map->brushCount, 3);
}

TEST_F(MapDialogs, FailedOpenChangesNothing)
{
    Open("P");
    BuildCubes(map.get(), 2);
    PushUndoState(map.get());
    BuildCubes(map.get(), 5);
    auto before = std::make_unique<MapDoc>(*map);
    int undoCount = gUndo.count, undoIndex = gUndo.index;
    WriteAllBytes(maps + "broken.zizudu", { 'Z', 'I', 'Z', 'U', 'D', 'U', '2', 0, 3, 0, 0, 0, 9 });

    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "mine.zizudu");
    for (const char *name : { "missing.zizudu", "broken.zizudu", "cancelled" }) {
        OpenMapFileDialog(*ui, 0);
        ui->dlgIsSave = false;
        snprintf(ui->mapFileName, kMapFileNameLen, "%s", name);   // typed, or a row clicked
        if (strcmp(name, "cancelled") == 0) {
            CancelMapFileDialog(*ui);
        } else {
            EXPECT_EQ(MapDialogAction(map.get(), *ui), 0);
            const char *reason = strcmp(name, "missing.zizudu") == 0 ? "no such file" : "file cut short";
            EXPECT_EQ(std::string(ui->statusText), std::string("Could not load projects/P/maps/") + name + ": " + reason);
        }
        EXPECT_STREQ(ui->mapFileName, "mine.zizudu");   // Save still writes the map's own file
        EXPECT_FALSE(ui->showOpenDialog);
        EXPECT_TRUE(MapEquals(*before));
        EXPECT_EQ(gUndo.count, undoCount);
        EXPECT_EQ(gUndo.index, undoIndex);
    }
    ASSERT_EQ(Redo(map.get()), 0);              // no redo state appeared either
}

TEST_F(MapDialogs, WithoutAProjectSaveOpensTheManagerAndTheDialogUsesTheWorkingFolder)
{
    ScanProjects();
    ASSERT_EQ(CreateProject("Untitled"), 1);
    EXPECT_EQ(SaveMapToProject(map.get(), *ui), 0);
    EXPECT_TRUE(gProjects.managerOpen);
    EXPECT_STREQ(ui->statusText, "Open or create a project first - maps are saved inside it.");
    EXPECT_FALSE(FileExists(std::string("untitled.zizudu")));

    OpenMapFileDialog(*ui, 1);
    EXPECT_EQ(gMapBrowse.count, 0);
    ui->dlgIsSave = true;
    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "loose.zizudu");
    ASSERT_EQ(MapDialogAction(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Saved to loose.zizudu");
    EXPECT_TRUE(FileExists(std::string("loose.zizudu")));
}
