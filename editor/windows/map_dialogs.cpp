// map_dialogs.cpp: the map file dialog, the top bar's Save, the project switch and the recovery
// prompt.
#include "editor/windows/map_dialogs.h"

#include <cstdio>
#include <cstring>

#include "document/map_file.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/startup.h"
#include "editor/input.h"
#include "editor/console.h"
#include "editor/gui.h"
#include "editor/tools/clip_tool.h"
#include "editor/tools/select.h"
#include "editor/tools/vertex.h"
#include "editor/widgets.h"
#include "editor/windows/project_manager.h"
#include "platform/platform.h"
#include "project/assets.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "project/rescue.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kDialogMaxW = 945.0f, kDialogMaxH = 675.0f;
static constexpr float kDialogRowH = 40.5f;
static constexpr float kDialogWheelStep = 45.0f;
static constexpr float kDialogMinListH = 112.5f;
static constexpr float kRecoverMaxW = 900.0f, kRecoverMaxH = 382.5f;
static constexpr unsigned char kDialogVeilAlpha = 110;
static constexpr unsigned char kRecoverVeilAlpha = 120;
static constexpr Color kRowHovered = { 52, 55, 64, 255 };
static constexpr char kRecoveredName[] = "recovered.zizudu";
// How a refused action is asked for again, after the reason in the status line.
static const char *const kAskAgain[] = { "not closed; close again to discard the work",
                                         "not opened; open it again to discard the work",
                                         "not recovered; Recover again to discard the work" };
static const char *const kActionName[] = { "Close", "Project open", "Recover" };

// The map an Open or a project switch reads into, so a failed read leaves both the map and its
// undo history alone.
static MapDoc sLoadedMap;

// The map's own file as this editor last read or wrote it (or found it, when the map took its
// name): a Save over it after another writer changed it is refused once.
struct MapFileStamp {
    char path[kProjectFilePathLen];   // empty: none
    PlatformStamp file;               // zero when no file was there
    bool warned;                      // a Save was refused over warnedPath as it is in warnedAbout
    char warnedPath[kProjectFilePathLen];
    PlatformStamp warnedAbout;
};
static MapFileStamp sMapFile;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void DropSelection(UiState &ui);
static void DrawMapList(Rectangle list, UiState &ui);
static int SaveUnderMapFileName(const MapDoc *map, UiState &ui);
static int OpenMapFileName(MapDoc *map, UiState &ui);
static int UnsavedWorkMayGo(const MapDoc *map, UiState &ui, RescueAction action, const char *projectPath,
                            const char *nextProjectPath, char *kept);
static void OpenSwitchedMap(MapDoc *map, UiState &ui, const char *name, const char *missing);
static void DescribeMissingLatestMap(char *out, int outSize);
static void MapFileNoteOpen(const char *path);
static int MapFileMayReplace(const char *path);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ProjectSwitch(MapDoc *map, UiState &ui)
{
    // The opened project's newest map and recovery test come first, while nothing is written: a
    // rescue file put into its maps folder is then neither the map it opens nor newer than its
    // autosave, and an undone switch leaves no mark on disk.
    const char *latest = LoadLatestProjectMap(&sLoadedMap);
    char name[kMapBrowseNameLen] = "";
    if (latest != nullptr) snprintf(name, sizeof(name), "%s", latest);
    char missing[kStatusLen] = "";
    if (latest == nullptr) DescribeMissingLatestMap(missing, sizeof(missing));
    char offeredBefore[kRecoverPathLen];
    snprintf(offeredBefore, sizeof(offeredBefore), "%s", gRecoverPath);
    bool offer = AutoSaveIsNewer();
    // A map made before any project was open stays, with its history and flag, in a project with
    // no map to open: nothing leaves memory, and the autosave takes the work there.
    bool keepMap = gProjects.previousPath[0] == '\0' && latest == nullptr;

    char kept[kProjectFilePathLen] = "";
    if (!keepMap && !UnsavedWorkMayGo(map, ui, RESCUE_SWITCH, gProjects.previousPath, gProjects.currentPath, kept)) {
        snprintf(gRecoverPath, sizeof(gRecoverPath), "%s", offeredBefore);
        ReturnToPreviousProject();   // the project left is open again, with the map as it was
        ScanProjectMaps();
        return;
    }
    char autoSave[kRecoverPathLen];
    // Work that went into this very project's autosave (opened again) is offered at once.
    if (kept[0] != '\0' && AutoSavePath(autoSave, sizeof(autoSave)) && strcmp(kept, autoSave) == 0) {
        snprintf(gRecoverPath, sizeof(gRecoverPath), "%s", autoSave);
        offer = true;
    }
    ProjectTidyOpened();
    AutoSaveNoteOpened();

    RescanAssets();                      // the project's own assets, where it has them
    ui.curTexture = gAssets.textureCount > 0 ? 0 : -1;
    ui.curModel = gAssets.modelCount > 0 ? 0 : -1;

    DropSelection(ui);
    ui.xform.transformMode = XFORM_NONE;      // a running grab, rotate or scale is dropped
    ResetNumFields();

    gAutoSave.timer = 0.0f;
    gRecoverPrompt = offer;
    if (keepMap) {
        snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kUntitledMapName);
        MapFileNoteOpen("");
        StatusSet(ui, "Opened '%s' - %skeeping the current map", gProjects.currentName, missing);
    } else {
        OpenSwitchedMap(map, ui, latest != nullptr ? name : nullptr, missing);
    }
    ScanProjectMaps();                   // a rescue file written into the opened project is listed
    if (kept[0] != '\0') {              // where the work went is what the status line must show
        ConsolePush(CONSOLE_EDITOR, ui.statusText);
        StatusSet(ui, "Unsaved work kept in %s", kept);
    }
}

int CloseRequestGranted(const MapDoc *map, UiState &ui)
{
    char kept[kProjectFilePathLen];
    if (!UnsavedWorkMayGo(map, ui, RESCUE_CLOSE, gProjects.currentPath, nullptr, kept)) return 0;
    // The window goes next: the log (console and standard output) is where the file is named.
    if (kept[0] != '\0') {
        StatusSet(ui, "Unsaved work kept in %s", kept);
        TraceLog(LOG_INFO, "Unsaved work kept in %s", kept);
    }
    return 1;
}

void KeepUnsavedWorkAtExit(void)
{
    RescueOutcome out;
    if (RescueUnsavedWork(&activeMap, gProjects.currentPath, nullptr, gRecoverPrompt, &out)) {
        if (out.detail[0] != '\0') TraceLog(LOG_WARNING, "The unsaved work could not go to %s", out.detail);
        if (out.file[0] != '\0') TraceLog(LOG_INFO, "Unsaved work kept in %s", out.file);
    } else {
        TraceLog(LOG_WARNING, "The unsaved work could not be written: %s", out.detail);
    }
}

void OpenMapFileDialog(UiState &ui, int isSave)
{
    ScanProjectMaps();
    snprintf(ui.dlgNameBefore, sizeof(ui.dlgNameBefore), "%s", ui.mapFileName);
    if (isSave) ui.showSaveDialog = true;
    else ui.showOpenDialog = true;
}

void CloseMapFileDialog(UiState &ui)
{
    ui.showSaveDialog = false;
    ui.showOpenDialog = false;
    ui.fileBoxEdit = false;
}

void CancelMapFileDialog(UiState &ui)
{
    // A row clicked or a name typed only to look: Save keeps writing the map's own file.
    snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", ui.dlgNameBefore);
    CloseMapFileDialog(ui);
}

void MapFileDialog(MapDoc *map, UiState &ui)
{
    ui.dlgIsSave = ui.showSaveDialog;
    Rectangle win = ModalWindowRect(ui.screenW, ui.screenH, kDialogMaxW, kDialogMaxH);
    float x = win.x, y = win.y, w = win.width, h = win.height;
    DrawModalFrame(ui.screenW, ui.screenH, win, kDialogVeilAlpha, ui.dlgIsSave ? "Save Map Into Project" : "Open Map From Project");

    Rectangle folder = { x + 27.0f, y + 72.0f, w - 54.0f, 36.0f };
    char sep = kPlatformSeparator;
    if (gProjects.currentPath[0] != '\0') GuiLabel(folder, TextFormat("%s%cmaps%c", gProjects.currentPath, sep, sep));
    else GuiLabel(folder, TextFormat("No project open - files go into the working folder %s%c", GetWorkingDirectory(), sep));

    float listH = h - 288.0f;
    if (listH < kDialogMinListH) listH = kDialogMinListH;
    Rectangle list = { x + 27.0f, y + 117.0f, w - 54.0f, listH };
    DrawMapList(list, ui);

    float y1 = list.y + list.height + 9.0f;
    GuiLabel(Rectangle{ x + 27.0f, y1, 135.0f, 45.0f }, "File:");
    if (GuiTextBox(Rectangle{ x + 126.0f, y1, w - 153.0f, 45.0f }, ui.mapFileName, kMapFileNameLen, ui.fileBoxEdit)) {
        ui.fileBoxEdit = !ui.fileBoxEdit;
    }

    float y2 = y1 + 58.5f, buttonW = (w - 81.0f) / 2.0f;
    bool action = GuiButton(Rectangle{ x + 27.0f, y2, buttonW, 49.5f }, ui.dlgIsSave ? "Save" : "Open");
    bool cancel = GuiButton(Rectangle{ x + 54.0f + buttonW, y2, buttonW, 49.5f }, "Cancel");
    if (action) MapDialogAction(map, ui);
    else if (cancel) CancelMapFileDialog(ui);
}

int MapDialogAction(MapDoc *map, UiState &ui)
{
    int ok;
    if (ui.dlgIsSave) {
        ok = SaveUnderMapFileName(map, ui);
        ScanProjectMaps();
    } else {
        ok = OpenMapFileName(map, ui);
        // A failed Open leaves the map as it was, so the name stays that map's.
        if (!ok) snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", ui.dlgNameBefore);
    }
    CloseMapFileDialog(ui);   // one attempt, successful or not
    return ok;
}

int SaveMapToProject(const MapDoc *map, UiState &ui)
{
    if (gProjects.currentPath[0] == '\0') {
        OpenProjectManager();
        StatusSet(ui, "%s", "Open or create a project first - maps are saved inside it.");
        return 0;
    }
    return SaveUnderMapFileName(map, ui);
}

void RecoverDialog(MapDoc *map, UiState &ui)
{
    Rectangle win = ModalWindowRect(ui.screenW, ui.screenH, kRecoverMaxW, kRecoverMaxH);
    float x = win.x, y = win.y, w = win.width, h = win.height;
    DrawModalFrame(ui.screenW, ui.screenH, win, kRecoverVeilAlpha, "Recover Unsaved Work");
    GuiLabel(Rectangle{ x + 36.0f, y + 81.0f, w - 72.0f, 40.5f }, "This project has an autosave newer than every saved map.");
    GuiLabel(Rectangle{ x + 36.0f, y + 121.5f, w - 72.0f, 40.5f }, "The last session probably ended without saving.");
    GuiLabel(Rectangle{ x + 36.0f, y + 171.0f, w - 72.0f, 40.5f }, "Load it? Nothing is overwritten until you save.");

    float buttonY = y + h - 76.5f, buttonW = (w - 108.0f) / 2.0f;
    bool recover = GuiButton(Rectangle{ x + 36.0f, buttonY, buttonW, 54.0f }, "Recover");
    bool ignore = GuiButton(Rectangle{ x + 72.0f + buttonW, buttonY, buttonW, 54.0f }, "Ignore");
    if (recover) RecoverAutoSave(map, ui);
    else if (ignore) IgnoreAutoSave();
}

int RecoverAutoSave(MapDoc *map, UiState &ui)
{
    if (!LoadMapZIZUDU(gRecoverPath, &sLoadedMap)) {
        gRecoverPrompt = false;
        StatusSet(ui, "The autosave could not be read: %s.", MapFileReason());
        return 0;
    }
    // The work open now goes into a file first; the prompt still stands, so never over the
    // autosave about to be loaded.
    char kept[kProjectFilePathLen];
    if (!UnsavedWorkMayGo(map, ui, RESCUE_RECOVER, gProjects.currentPath, nullptr, kept)) return 0;
    gRecoverPrompt = false;
    memcpy(map, &sLoadedMap, sizeof(MapDoc));
    DropSelection(ui);
    FreeUndoHistory();
    PushUndoState(map);   // the recovered map counts as changed until it is saved again
    snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kRecoveredName);
    MapFileNoteOpen("");   // no file of that name was read: a Save over one asks first
    if (kept[0] != '\0') {
        ConsolePush(CONSOLE_EDITOR, TextFormat("Unsaved work kept in %s", kept));
        StatusSet(ui, "Recovered %d brushes; the map before is in %s. Save As to keep it.", map->brushCount,
                  GetFileName(kept));
    } else {
        StatusSet(ui, "Recovered %d brushes. Save As to keep it.", map->brushCount);
    }
    return 1;
}

void IgnoreAutoSave(void)
{
    gRecoverPrompt = false;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// No brush, entity, brush in vertex editing, pick or merge entry stays: a new map has other slots.
static void DropSelection(UiState &ui)
{
    TransformDrop(ui);   // its saved values belong to the map that is gone
    VertexToolForget(ui);   // picks and merge entries name slots of that map too
    ui.showProblems = false;   // the report described the map that is gone
    ClipDropAll(ui);           // cuts were drawn against that map's brushes
    ui.selBrush = -1;
    ui.selEntity = -1;
    VtxClearActive();
}

// The project's maps, newest first; a press on a row copies its name into the File box.
static void DrawMapList(Rectangle list, UiState &ui)
{
    // The console is drawn over this dialog: the wheel over the console is the console's.
    float wheelStep = PointerOverConsole(ui) ? 0.0f : kDialogWheelStep;
    bool overList = ListBoxBegin(list, &gMapBrowse.scroll, gMapBrowse.count, kDialogRowH, wheelStep);
    Vector2 mouse = GetMousePosition();
    for (int i = 0; i < gMapBrowse.count; i++) {
        Rectangle row = ListBoxRow(list, i, kDialogRowH, gMapBrowse.scroll);
        if (ListBoxRowHidden(list, row)) continue;
        bool hovered = overList && CheckCollisionPointRec(mouse, row);
        if (hovered) DrawRectangleRec(row, kRowHovered);
        GuiLabel(Rectangle{ row.x + 13.5f, row.y, row.width - 27.0f, kDialogRowH }, gMapBrowse.names[i]);
        if (hovered && IsMouseButtonPressed(MOUSE_BUTTON_LEFT)) {
            snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", gMapBrowse.names[i]);
        }
    }
    EndScissorMode();
    if (gMapBrowse.count == 0) {
        GuiLabel(Rectangle{ list.x + 18.0f, list.y + 9.0f, list.width - 36.0f, 36.0f }, "No maps in this project yet.");
    }
}

// Writes the map under mapFileName into the open project's maps folder (the working folder with
// none open). A name with folders in it, or the autosave's own name, is refused: a typed name
// never writes outside the maps folder nor over the autosave.
static int SaveUnderMapFileName(const MapDoc *map, UiState &ui)
{
    if (!MapNameIsPlain(ui.mapFileName)) {
        StatusSet(ui, "Could not save '%s' - type a plain file name.", ui.mapFileName);
        return 0;
    }
    const char *refusal = PlatformNameRefusal(ui.mapFileName);
    if (refusal != nullptr) {
        StatusSet(ui, "Could not save '%s' - %s.", ui.mapFileName, refusal);
        return 0;
    }
    if (MapNameIsReserved(ui.mapFileName)) {
        StatusSet(ui, "Could not save '%s' - that name is kept for the autosave.",
                 ui.mapFileName);
        return 0;
    }
    char path[kProjectFilePathLen];
    snprintf(path, sizeof(path), "%s", ProjectFilePath(kMapsDir, ui.mapFileName));
    if (!MapFileMayReplace(path)) {
        bool own = strcmp(path, sMapFile.path) == 0;
        StatusSet(ui, "Could not save %s: %s - saving again replaces it.", GetFileName(path),
                  own ? "changed on disk" : "a file of that name exists");
        return 0;
    }
    // With no project open the working folder holds the maps, as the user's own folder.
    const char *project = gProjects.currentPath[0] != '\0' ? gProjects.currentPath : nullptr;
    if (!SaveMapZIZUDUWithin(path, project, map)) {
        StatusSet(ui, "Could not save to %s: %s", path, MapSaveReason());
        return 0;
    }
    // The status line reaches the console too, warning and all.
    const char *warning = MapSaveWarning();
    if (warning[0] != '\0') StatusSet(ui, "Saved to %s - warning: %s", path, warning);
    else StatusSet(ui, "Saved to %s", path);
    RescueNoteHeld(map, nullptr);
    ClearMapDirty();   // written: nothing left for the autosave or the recovery prompt
    MapFileNoteOpen(path);
    sMapFile.file = MapSavedStamp();   // the file this save wrote, never one put there since
    return 1;
}

// Reads mapFileName as given (no extension added). On success the map it replaced stays one Undo
// away; a failed read changes nothing.
static int OpenMapFileName(MapDoc *map, UiState &ui)
{
    char path[kProjectFilePathLen];
    snprintf(path, sizeof(path), "%s", ProjectFilePath(kMapsDir, ui.mapFileName));
    if (!LoadMapZIZUDU(path, &sLoadedMap)) {
        StatusSet(ui, "Could not load %s: %s", path, MapFileReason());
        return 0;
    }
    // The snapshot keeps the replaced map for Undo; a load is no edit, so the flag stays as it was.
    bool wasDirty = gMapDirty;
    PushUndoState(map);
    memcpy(map, &sLoadedMap, sizeof(MapDoc));
    if (!wasDirty) {
        RescueNoteHeld(map, nullptr);
        ClearMapDirty();
    }
    DropSelection(ui);
    MapFileNoteOpen(path);
    StatusSet(ui, "Loaded %s", path);
    return 1;
}

// The one rule for unsaved work about to leave memory by action: written into a file
// (RescueUnsavedWork; the autosave is skipped while it is on offer), whose path goes into kept
// (kProjectFilePathLen; empty when there was no work). 1 when the action may go ahead.
// When no file can take the work, the first request is refused with the reason first in the
// status line and the whole account in the log; the same request over the same work goes ahead.
static int UnsavedWorkMayGo(const MapDoc *map, UiState &ui, RescueAction action, const char *projectPath,
                            const char *nextProjectPath, char *kept)
{
    kept[0] = '\0';
    RescueOutcome out;
    if (RescueUnsavedWork(map, projectPath, nextProjectPath, gRecoverPrompt, &out)) {
        // Why the earlier files of the order were passed over.
        if (out.detail[0] != '\0') TraceLog(LOG_WARNING, "The unsaved work could not go to %s", out.detail);
        snprintf(kept, kProjectFilePathLen, "%s", out.file);
        ui.rescueRefused = false;
        return 1;
    }
    bool again = ui.rescueRefused && ui.rescueRefusedAction == action && ui.rescueRefusedSerial == gUndo.serial;
    TraceLog(LOG_WARNING, "%s %s: the unsaved work could not be written (%s).", kActionName[action],
             again ? "goes ahead and discards it" : "refused", out.detail);
    if (again) {
        ui.rescueRefused = false;
        return 1;
    }
    ui.rescueRefused = true;
    ui.rescueRefusedAction = action;
    ui.rescueRefusedSerial = gUndo.serial;
    StatusSet(ui, "Cannot write %s - %s.", out.reason, kAskAgain[action]);
    return 0;
}

// Why a project switch found no map to open, as the status line's phrase after "Opened 'P' - ":
// none in the project, or the newest one (first in gMapBrowse) refused by the reader.
static void DescribeMissingLatestMap(char *out, int outSize)
{
    if (gMapBrowse.count == 0) snprintf(out, (size_t)outSize, "no maps yet, ");
    else snprintf(out, (size_t)outSize, "could not load %s: %s, ", gMapBrowse.names[0], MapFileReason());
}

// The switched-to project's newest map (name, read into sLoadedMap), or an empty one when name is
// NULL (missing says why), as the start of a fresh undo history. A freshly opened map is no
// change: an untouched project stays clean.
static void OpenSwitchedMap(MapDoc *map, UiState &ui, const char *name, const char *missing)
{
    FreeUndoHistory();
    if (name != nullptr) {
        memcpy(map, &sLoadedMap, sizeof(MapDoc));
        snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", name);
        StatusSet(ui, "Opened '%s' - loaded latest map %s (%d brushes)",
                 gProjects.currentName, name, map->brushCount);
    } else {
        map->brushCount = 0;            // nothing else of the map is changed
        map->entityCount = 0;
        snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kUntitledMapName);
        StatusSet(ui, "Opened '%s' - %sstarting empty", gProjects.currentName, missing);
    }
    // An empty map is no file's: a Save over a file of its name asks first.
    MapFileNoteOpen(name != nullptr ? ProjectFilePath(kMapsDir, name) : "");
    PushUndoState(map);
    RescueNoteHeld(map, nullptr);
    ClearMapDirty();
}

// The map now goes by the file at path: its state on disk is the one a Save may replace.
static void MapFileNoteOpen(const char *path)
{
    snprintf(sMapFile.path, sizeof(sMapFile.path), "%s", path);
    if (path[0] == '\0' || !PlatformReadStamp(path, &sMapFile.file)) memset(&sMapFile.file, 0, sizeof(sMapFile.file));
    sMapFile.warned = false;
}

// 1 when a Save may write path: no regular file there, the map's own file as this editor read or
// wrote it, or the very file a refused Save named, unchanged since. Else 0 (a file this editor has
// not seen as it is: another's, or its own changed on disk), and the next Save over it goes ahead.
static int MapFileMayReplace(const char *path)
{
    PlatformStamp now;
    int exists;
    if (!PlatformReadStamp(path, &now)) return 1;
    if (!PlatformCheckReplaceable(path, &exists)) return 1;   // the save gives that reason first
    if (strcmp(path, sMapFile.path) == 0 && PlatformStampsEqual(&now, &sMapFile.file)) return 1;
    if (sMapFile.warned && strcmp(path, sMapFile.warnedPath) == 0 && PlatformStampsEqual(&now, &sMapFile.warnedAbout)) return 1;
    sMapFile.warned = true;
    snprintf(sMapFile.warnedPath, sizeof(sMapFile.warnedPath), "%s", path);
    sMapFile.warnedAbout = now;
    return 0;
}
