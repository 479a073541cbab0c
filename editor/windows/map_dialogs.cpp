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
static constexpr char kOfferKept[] = "Unsaved changes not autosaved: the autosave on offer was kept.";

// The map an Open or a project switch reads into, so a failed read leaves both the map and its
// undo history alone.
static MapDoc sLoadedMap;

// The map's own file as this editor last read or wrote it (or found it, when the map took its
// name): a Save over it after another writer changed it is refused once.
struct MapFileStamp {
    char path[kProjectFilePathLen];   // empty: none
    PlatformStamp file;               // zero when no file was there
    bool warned;                      // a Save was refused over the file as it is in warnedAbout
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
static int KeepWorkAsAutoSave(const char *projectPath, const MapDoc *map, char *failure);
static int KeepWorkInOpenedProject(const MapDoc *map, char *failure);
static void StayInPreviousProject(UiState &ui, const char *failure, const char *refusal);
static void OpenSwitchedMap(MapDoc *map, UiState &ui, const char *name, const char *missing);
static void DescribeMissingLatestMap(char *out, int outSize);
static void MapFileNoteOpen(const char *path);
static int KeepUnsavedWork(const char *projectPath, const MapDoc *map, char *outcome);
static int MapFileMayReplace(const char *path);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ProjectSwitch(MapDoc *map, UiState &ui)
{
    // Unsaved work of the project being left goes to its autosave before anything else changes,
    // so the recovery prompt offers it the next time that project opens. When that cannot be
    // written (nor replace an autosave still on offer), it becomes the autosave of the project
    // being opened, offered at once; when that fails too, the switch is undone.
    char failure[kStatusLen] = "";
    bool firstProject = gProjects.previousPath[0] == '\0';
    bool leftBehind = false;
    if (!firstProject) {
        char outcome[kStatusLen];
        leftBehind = !KeepUnsavedWork(gProjects.previousPath, map, outcome);   // the close's rule
        if (leftBehind) snprintf(failure, sizeof(failure), "%s", outcome);
        else if (outcome[0] != '\0') ConsolePush(CONSOLE_EDITOR, outcome);
    }
    AutoSaveState autoSaveBefore = gAutoSave;
    AutoSaveNoteOpened();
    char refusal[kStatusLen];
    if (leftBehind && !KeepWorkInOpenedProject(map, refusal)) {
        gAutoSave = autoSaveBefore;   // the stamp of the project that stays open
        StayInPreviousProject(ui, failure, refusal);
        return;
    }

    RescanAssets();                      // the project's own assets, where it has them
    ui.curTexture = gAssets.textureCount > 0 ? 0 : -1;
    ui.curModel = gAssets.modelCount > 0 ? 0 : -1;

    DropSelection(ui);
    ui.xform.transformMode = XFORM_NONE;      // a running grab, rotate or scale is dropped
    ResetNumFields();

    gAutoSave.timer = 0.0f;
    ScanProjectMaps();
    gRecoverPrompt = AutoSaveIsNewer();

    // A map built before any project was open was made on the editor's own advice to open a
    // project first. It becomes this project's autosave, offered at once, while the project's map
    // opens with a history of its own: no Undo reaches a map that is not this file's. It stays
    // open instead, with its history and flag, when there is no map to open, when the project's
    // own autosave is on offer (which it must not replace) or when it cannot be written.
    const char *name = LoadLatestProjectMap(&sLoadedMap);
    char missing[kStatusLen] = "";
    if (name == nullptr) DescribeMissingLatestMap(missing, sizeof(missing));
    bool keepWork = firstProject && (name == nullptr || (gMapDirty && gRecoverPrompt));
    bool workOffered = leftBehind;
    if (firstProject && !keepWork && gMapDirty) {
        keepWork = !KeepWorkAsAutoSave(gProjects.currentPath, map, failure);
        workOffered = !keepWork;
    }
    // Written in this very second, the autosave need not be newer than every map: it is offered.
    if (workOffered) gRecoverPrompt = AutoSavePath(gRecoverPath, sizeof(gRecoverPath)) != 0;
    if (keepWork) {
        snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kUntitledMapName);
        StatusSet(ui, "Opened '%s' - %skeeping the current map", gProjects.currentName, missing);
    } else {
        OpenSwitchedMap(map, ui, name, missing);
    }
    MapFileNoteOpen(ProjectFilePath(kMapsDir, ui.mapFileName));
    if (failure[0] != '\0') {          // the failure is what the status line must show
        ConsolePush(CONSOLE_EDITOR, ui.statusText);
        StatusSet(ui, "%s", failure);
    }
}

int KeepUnsavedWorkOnClose(const MapDoc *map, UiState &ui)
{
    char outcome[kStatusLen];
    int ok = KeepUnsavedWork(gProjects.currentPath, map, outcome);
    if (outcome[0] != '\0') StatusSet(ui, "%s", outcome);
    // The window may go next: the log (console and standard output) is where a failure still shows.
    if (!ok) TraceLog(LOG_WARNING, "%s", ui.statusText);
    return ok;
}

int CloseRequestGranted(const MapDoc *map, UiState &ui)
{
    if (KeepUnsavedWorkOnClose(map, ui)) return 1;
    // The warning covered the work as it was then: after a further edit the next close asks again.
    if (ui.closeRefused && ui.closeRefusedSerial == gUndo.serial) return 1;
    ui.closeRefused = true;
    ui.closeRefusedSerial = gUndo.serial;
    char why[kStatusLen];
    snprintf(why, sizeof(why), "%s", ui.statusText);
    StatusSet(ui, "Not closed - close again to discard the changes. %s", why);
    return 0;
}

void KeepUnsavedWorkAtExit(void)
{
    char outcome[kStatusLen];
    int ok = KeepUnsavedWork(gProjects.currentPath, &activeMap, outcome);
    if (outcome[0] != '\0') TraceLog(ok ? LOG_INFO : LOG_WARNING, "%s", outcome);
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
    gRecoverPrompt = false;
    if (!LoadMapZIZUDU(gRecoverPath, map)) {
        StatusSet(ui, "The autosave could not be read: %s.", MapFileReason());
        return 0;
    }
    DropSelection(ui);
    FreeUndoHistory();
    PushUndoState(map);   // the recovered map counts as changed until it is saved again
    snprintf(ui.mapFileName, sizeof(ui.mapFileName), "%s", kRecoveredName);
    MapFileNoteOpen(ProjectFilePath(kMapsDir, ui.mapFileName));
    StatusSet(ui, "Recovered %d brushes. Save As to keep it.", map->brushCount);
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
        StatusSet(ui, "Could not save to %s: changed on disk - Save again to overwrite it.", path);
        return 0;
    }
    // With no project open the working folder holds the maps, as the user's own folder.
    const char *project = gProjects.currentPath[0] != '\0' ? gProjects.currentPath : nullptr;
    if (!SaveMapZIZUDUWithin(path, project, map)) {
        StatusSet(ui, "Could not save to %s: %s", path, MapSaveReason());
        return 0;
    }
    const char *warning = MapSaveWarning();
    if (warning[0] != '\0') {
        StatusSet(ui, "Saved to %s - warning: %s", path, warning);
        ConsolePush(CONSOLE_WARN, ui.statusText);
    } else {
        StatusSet(ui, "Saved to %s", path);
    }
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
    if (!wasDirty) ClearMapDirty();
    memcpy(map, &sLoadedMap, sizeof(MapDoc));
    DropSelection(ui);
    MapFileNoteOpen(path);
    StatusSet(ui, "Loaded %s", path);
    return 1;
}

// The close's rule for unsaved work, which a project switch applies to the project it leaves: written
// to the autosave of the project at projectPath unless there is no project to hold it or the
// autosave on offer is older work the user has not decided on yet. The outcome goes into outcome
// (kStatusLen; empty when the map has no unsaved changes); 1 when nothing is left unwritten.
static int KeepUnsavedWork(const char *projectPath, const MapDoc *map, char *outcome)
{
    outcome[0] = '\0';
    if (!gMapDirty) return 1;
    if (projectPath[0] == '\0') {
        snprintf(outcome, kStatusLen, "%s", "Unsaved changes not autosaved: no project is open to hold them.");
        return 0;
    }
    if (gRecoverPrompt) {
        snprintf(outcome, kStatusLen, "%s", kOfferKept);
        return 0;
    }
    return AutoSaveWriteTo(projectPath, map, outcome, kStatusLen);
}

// Writes the unsaved map as the autosave of the project at projectPath. The outcome reaches the
// console; a failure is also copied into failure (kStatusLen), for the status line. 1 when written.
static int KeepWorkAsAutoSave(const char *projectPath, const MapDoc *map, char *failure)
{
    char line[kStatusLen];
    if (AutoSaveWriteTo(projectPath, map, line, sizeof(line))) {
        ConsolePush(CONSOLE_EDITOR, line);
        return 1;
    }
    snprintf(failure, kStatusLen, "%s", line);
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
    PushUndoState(map);
    ClearMapDirty();
}

// The opened project takes the unsaved work as its autosave, unless its own autosave is on offer
// (which the work must not replace). 1 when written; else the reason is copied into refusal
// (kStatusLen).
static int KeepWorkInOpenedProject(const MapDoc *map, char *refusal)
{
    ScanProjectMaps();
    if (AutoSaveIsNewer()) {
        snprintf(refusal, kStatusLen, "'%s' has an autosave on offer", gProjects.currentName);
        return 0;
    }
    return KeepWorkAsAutoSave(gProjects.currentPath, map, refusal);
}

// The switch is undone: the project left is open again, with the map, its history and its flag as
// they were. failure (why the work could not stay in that project) reaches the console and
// refusal (why the other project could not take it) the status line.
static void StayInPreviousProject(UiState &ui, const char *failure, const char *refusal)
{
    char opened[kProjectNameLen];
    snprintf(opened, sizeof(opened), "%s", gProjects.currentName);
    ReturnToPreviousProject();
    ScanProjectMaps();
    if (gRecoverPrompt) AutoSavePath(gRecoverPath, sizeof(gRecoverPath));   // the prompt offers the open project's
    ConsolePush(CONSOLE_EDITOR, failure);
    StatusSet(ui, "Did not open '%s' - the unsaved work stays open: %s", opened, refusal);
}

// The map now goes by the file at path: its state on disk is the one a Save may replace.
static void MapFileNoteOpen(const char *path)
{
    snprintf(sMapFile.path, sizeof(sMapFile.path), "%s", path);
    PlatformReadStamp(path, &sMapFile.file);
    sMapFile.warned = false;
}

// 1 when a Save may write path: another file than the map's own, no regular file there, one that
// cannot be replaced at all (the save gives that reason first), the file as this editor left it,
// or the very change a refused Save named. Else 0, and the next Save over the same change goes
// ahead.
static int MapFileMayReplace(const char *path)
{
    PlatformStamp now;
    int exists;
    if (strcmp(path, sMapFile.path) != 0 || !PlatformReadStamp(path, &now)) return 1;
    if (!PlatformCheckReplaceable(path, &exists)) return 1;
    if (PlatformStampsEqual(&now, &sMapFile.file)) return 1;
    if (sMapFile.warned && PlatformStampsEqual(&now, &sMapFile.warnedAbout)) return 1;
    sMapFile.warned = true;
    sMapFile.warnedAbout = now;
    return 0;
}
