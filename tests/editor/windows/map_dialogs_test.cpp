// The project switch, the map file dialog's actions, the top bar's Save and the recovery prompt.
#include <gtest/gtest.h>

#include <algorithm>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/map_file.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/chrome.h"
#include "editor/startup.h"
#include "editor/widgets.h"
#include "editor/windows/map_dialogs.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "project/rescue.h"
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
        RescueNoteHeld(map.get(), nullptr);
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
    // One edit to n cubes, as a tool makes it: the step first, then the change.
    void Edit(int n)
    {
        PushUndoState(map.get());
        BuildCubes(map.get(), n);
    }
    // The rescue files in folder ("." for the working folder), oldest name first.
    static std::vector<std::string> RescueFiles(const std::string &folder)
    {
        std::vector<std::string> found;
        if (!fs::is_directory(folder)) return found;
        for (const std::string &n : FolderNames(folder)) {
            if (n.rfind(kRescuePrefix, 0) == 0) found.push_back(n);
        }
        return found;
    }

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

TEST_F(MapDialogs, FirstProjectWithAMapKeepsTheWorkBuiltBeforeItInTheWorkingFolder)
{
    for (bool work : { false, true }) {
        ResetProjectState();
        DefaultMap(map.get(), *ui);
        PushUndoState(map.get());
        ClearMapDirty();
        RescueNoteHeld(map.get(), nullptr);
        if (work) Edit(5);
        auto before = std::make_unique<MapDoc>(*map);
        maps = OpenTestProject(work ? "Worked" : "Fresh") + "/maps/";
        PutMap("saved.zizudu", 3, 100);

        ProjectSwitch(map.get(), *ui);
        EXPECT_EQ(map->brushCount, 3);
        EXPECT_STREQ(ui->mapFileName, "saved.zizudu");
        EXPECT_FALSE(gMapDirty);
        EXPECT_EQ(gUndo.count, 1);              // Undo never brings another map under this name
        EXPECT_FALSE(gRecoverPrompt);
        EXPECT_FALSE(FileExists(maps + kAutoSaveName));
        std::vector<std::string> kept = RescueFiles(".");
        ASSERT_EQ(kept.size(), work ? 1u : 0u);
        if (!work) continue;
        EXPECT_EQ(std::string(ui->statusText), "Unsaved work kept in " + kept[0]);
        auto saved = std::make_unique<MapDoc>();
        ASSERT_EQ(LoadMapZIZUDU(kept[0].c_str(), saved.get()), 1);
        EXPECT_EQ(saved->brushCount, before->brushCount);
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

    // An autosave the project cannot replace: the work becomes a map of its own beside it, which
    // the status line names, and the project opened offers nothing.
    fs::permissions(left + kAutoSaveName, fs::perms::owner_read);
    Reopen("Third");
    std::vector<std::string> kept = RescueFiles(left);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(std::string(ui->statusText), "Unsaved work kept in " + left + kept[0]);
    EXPECT_STREQ(gProjects.currentName, "Third");
    EXPECT_FALSE(gRecoverPrompt);
    snprintf(ui->mapFileName, kMapFileNameLen, "%s%s", left.c_str(), kept[0].c_str());
    ui->dlgIsSave = false;
    ASSERT_EQ(MapDialogAction(map.get(), *ui), 1);
    EXPECT_TRUE(MapEquals(*work));
}

// Every way out for unsaved work, and the file that takes it: the autosave of its project, a new
// map in that project's maps folder (the working folder with none open), one in the maps folder
// of the project being opened, or none, and then the action is refused once.
TEST_F(MapDialogs, UnsavedWorkLandsInTheFirstFileThatTakesIt)
{
    enum Where { NOWHERE, AUTOSAVE, OWN_MAPS, WORK_FOLDER, NEXT_MAPS };
    // A plain file where a folder was: no write gets in, whoever runs the test.
    auto block = [](const std::string &path) {
        fs::remove_all(path);
        WriteAllBytes(path, { 'x' });
    };
    auto other = std::make_unique<MapDoc>();
    BuildCubes(other.get(), 6);
    using Setup = std::function<void(const std::string &a, const std::string &b)>;
    struct Case { const char *name; RescueAction action; bool project; Setup setup; Where where; bool refused; };
    const std::vector<Case> cases = {
        { "close, the autosave", RESCUE_CLOSE, true, [&](auto &, auto &) { Edit(2); }, AUTOSAVE, false },
        { "close, untouched", RESCUE_CLOSE, true, [&](auto &, auto &) {}, NOWHERE, false },
        { "close, undone to the saved map", RESCUE_CLOSE, true, [&](auto &, auto &) {
              Edit(2);
              ASSERT_EQ(SaveMapToProject(map.get(), *ui), 1);
              Edit(3);
              ASSERT_EQ(Undo(map.get()), 1);
          }, NOWHERE, false },
        { "close, older work on offer", RESCUE_CLOSE, true, [&](auto &, auto &) {
              Edit(2);
              gRecoverPrompt = true;
          }, OWN_MAPS, false },
        { "close, no file can be the autosave", RESCUE_CLOSE, true, [&](auto &a, auto &) {
              Edit(2);
              fs::create_directory(a + "/maps/" + kAutoSaveName);
          }, OWN_MAPS, false },
        { "close, autosaved work another writer replaced", RESCUE_CLOSE, true, [&](auto &a, auto &) {
              Edit(2);
              ASSERT_EQ(AutoSaveWriteTo(a.c_str(), map.get(), nullptr, 0), 1);
              SaveMapAt(a + "/maps/" + kAutoSaveName, *other, 300);
          }, OWN_MAPS, false },
        { "close, no project", RESCUE_CLOSE, false, [&](auto &, auto &) { Edit(2); }, WORK_FOLDER, false },
        { "close, nothing writable", RESCUE_CLOSE, true, [&](auto &a, auto &) {
              Edit(2);
              block(a + "/maps");
          }, NOWHERE, true },
        { "switch, the project left", RESCUE_SWITCH, true, [&](auto &, auto &) { Edit(2); }, AUTOSAVE, false },
        { "switch, no project before", RESCUE_SWITCH, false, [&](auto &, auto &b) {
              SaveMapAt(b + "/maps/b.zizudu", *other, 100);
              Edit(2);
          }, WORK_FOLDER, false },
        { "switch, the project left unwritable", RESCUE_SWITCH, true, [&](auto &a, auto &) {
              Edit(2);
              block(a + "/maps");
          }, NEXT_MAPS, false },
        { "switch, nothing writable", RESCUE_SWITCH, true, [&](auto &a, auto &b) {
              Edit(2);
              block(a + "/maps");
              block(b + "/maps");
              fs::remove_all(b + "/exports");   // an undone open makes no folder either
          }, NOWHERE, true },
        { "recover, the map before", RESCUE_RECOVER, true, [&](auto &a, auto &) {
              SaveMapAt(a + "/maps/" + kAutoSaveName, *other, 300);
              ScanProjectMaps();
              gRecoverPrompt = AutoSaveIsNewer();
              Edit(2);
          }, OWN_MAPS, false },
    };
    for (size_t i = 0; i < cases.size(); i++) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.name);
        ResetProjectState();
        DefaultMap(map.get(), *ui);
        PushUndoState(map.get());
        ClearMapDirty();
        RescueNoteHeld(map.get(), nullptr);
        ui->rescueRefused = false;
        std::string a = "projects/A" + std::to_string(i), b = "projects/B" + std::to_string(i);
        ScanProjects();
        ASSERT_EQ(CreateProject(b.c_str() + strlen("projects/")), 1);
        if (c.project) Open(a.c_str() + strlen("projects/"));
        snprintf(ui->mapFileName, kMapFileNameLen, "%s", "saved.zizudu");
        c.setup(a, b);
        auto work = std::make_unique<MapDoc>(*map);
        const std::string folders[] = { "", "", a + "/maps/", ".", b + "/maps/" };   // by Where
        std::vector<std::string> before = RescueFiles(folders[c.where == NOWHERE ? WORK_FOLDER : c.where]);
        auto act = [&]() -> int {
            if (c.action == RESCUE_CLOSE) return CloseRequestGranted(map.get(), *ui);
            if (c.action == RESCUE_RECOVER) return RecoverAutoSave(map.get(), *ui);
            ScanProjects();
            for (int k = 0; k < gProjects.count; k++) {
                if (b == gProjects.entries[k].path) OpenProject(k);
            }
            ProjectSwitch(map.get(), *ui);
            return b == gProjects.currentPath;
        };
        if (c.refused) {
            std::vector<std::string> untouched = FolderNames(b);
            EXPECT_EQ(act(), 0);
            EXPECT_EQ(std::string(ui->statusText).rfind("Cannot write ", 0), 0u) << ui->statusText;
            EXPECT_NE(std::string(ui->statusText).find("again to discard the work."), std::string::npos) << ui->statusText;
            EXPECT_TRUE(MapEquals(*work));
            EXPECT_TRUE(gMapDirty);
            EXPECT_EQ(FolderNames(b), untouched);
            if (c.action == RESCUE_CLOSE) {     // a further edit is asked about again
                Edit(3);
                EXPECT_EQ(act(), 0);
            }
        }
        EXPECT_EQ(act(), 1);

        std::string file;
        if (c.where == AUTOSAVE) {
            file = a + "/maps/" + kAutoSaveName;
        } else if (c.where != NOWHERE) {
            std::vector<std::string> after = RescueFiles(folders[c.where]);
            ASSERT_EQ(after.size(), before.size() + 1);
            for (const std::string &n : after) {
                if (std::find(before.begin(), before.end(), n) != before.end()) continue;
                file = (c.where == WORK_FOLDER ? "" : folders[c.where]) + n;
            }
        }
        if (file.empty()) {
            EXPECT_EQ(RescueFiles(folders[WORK_FOLDER]), before);
            EXPECT_FALSE(FileExists(a + "/maps/" + kAutoSaveName));
            continue;
        }
        ASSERT_EQ(SaveMapZIZUDU("expected.zizudu", work.get()), 1);
        EXPECT_EQ(ReadAllBytes(file), ReadAllBytes("expected.zizudu")) << file;
        std::string named = c.action == RESCUE_RECOVER ? GetFileName(file.c_str()) : file;
        EXPECT_NE(std::string(ui->statusText).find(named), std::string::npos) << ui->statusText;
    }
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
    Reopen("P");                                // the map's own file, as read
    std::vector<uint8_t> before = ReadAllBytes(maps + "keep.zizudu");
    PushUndoState(map.get());

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

// A file this editor has not read or written as it is now: the map's own, changed by another
// writer, or another file of the name Save aims at. The first Save says so, the second replaces it.
TEST_F(MapDialogs, SaveOverAFileNotSeenAsItIsIsRefusedOnce)
{
    auto other = std::make_unique<MapDoc>();
    BuildCubes(other.get(), 6);
    struct Case { const char *name; bool saveAs; const char *status; };
    const Case cases[] = {
        { "loaded, then changed on disk", false, "changed on disk" },
        { "new map over an existing untitled", false, "a file of that name exists" },
        { "save as over another existing name", true, "a file of that name exists" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.name[0] == 'l' ? "Loaded" : c.saveAs ? "SaveAs" : "Fresh");
        if (c.name[0] == 'l') {
            PutMap("level.zizudu", 1, 100);
            Reopen("Loaded");
        } else if (c.saveAs) {
            PutMap("level.zizudu", 1, 100);
            Reopen("SaveAs");
            snprintf(ui->mapFileName, kMapFileNameLen, "%s", "theirs.zizudu");
        } else {
            NewMap(map.get(), *ui);
        }
        std::string path = maps + ui->mapFileName;
        SaveMapAt(path, *other, 300);           // another copy of the editor, or earlier work
        std::vector<uint8_t> theirs = ReadAllBytes(path);
        auto save = [&]() {
            ui->dlgIsSave = true;
            return c.saveAs ? MapDialogAction(map.get(), *ui) : SaveMapToProject(map.get(), *ui);
        };
        EXPECT_EQ(save(), 0);
        EXPECT_EQ(std::string(ui->statusText), std::string("Could not save ") + ui->mapFileName + ": " + c.status +
                  " - saving again replaces it.");
        EXPECT_EQ(ReadAllBytes(path), theirs);
        ASSERT_EQ(save(), 1);
        EXPECT_NE(ReadAllBytes(path), theirs);
        ASSERT_EQ(save(), 1);                   // written here: no question

        SaveMapAt(path, *other, 500);           // warned about one change, not about the next
        EXPECT_EQ(save(), 0);
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
