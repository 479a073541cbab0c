// projects.h: projects, the paths of their files and the list of the open project's maps.
//
// A project is a folder in "projects" of the working folder with a fixed set of sub-folders; at
// most one is open, and an empty currentPath means none is. Every map file name goes through
// ProjectFilePath. These functions write no messages; the project manager and the editor turn
// their results into status lines.
#pragma once

#include <cstdint>
#include "document/map_records.h"

constexpr int kMaxProjects = 64;
constexpr int kProjectNameLen = 64;          // 63 characters plus NUL
constexpr int kProjectPathLen = 256;
constexpr int kProjectDirLen = 320;          // a project path plus one sub-folder
constexpr int kProjectFilePathLen = 420;     // a project path, a sub-folder and a file name
constexpr int kMaxMapBrowse = 128;
constexpr int kMapBrowseNameLen = 96;
constexpr char kProjectsDir[] = "projects";
constexpr char kMapsDir[] = "maps";
constexpr char kMapExtension[] = ".zizudu";
constexpr char kAutoSaveName[] = "_autosave.zizudu";
constexpr char kUntitledMapName[] = "untitled.zizudu";   // a map that is no file's yet
constexpr long kStaleSaveSeconds = 60;       // a save's temporary file this old was left by an interrupted save

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct ProjectEntry {
    char name[kProjectNameLen];              // the folder's own name
    char path[kProjectPathLen];              // "projects", a separator and the name
};

struct ProjectList {
    ProjectEntry entries[kMaxProjects];      // folders of the last scan, in listing order
    int32_t count;
    int32_t selected;                        // the manager's highlighted row, -1 none
    float scroll;                            // the manager's list scroll in pixels
    bool managerOpen;                        // the project manager window is shown
    bool nameEditing;                        // the manager's name box has the keyboard
    char newName[kProjectNameLen];           // the manager's name box
    char currentPath[kProjectPathLen];       // the open project's folder; empty: none open
    char currentName[kProjectNameLen];       // the open project's name
    char previousPath[kProjectPathLen];      // the project open before the last OpenProject; empty: none
    char previousName[kProjectNameLen];      // its name
};

struct MapBrowseList {
    char names[kMaxMapBrowse][kMapBrowseNameLen];   // file names of the open project's maps, newest first
    int32_t mtimes[kMaxMapBrowse];                  // modification times in whole seconds
    int32_t count;
    float scroll;                                   // the map dialog's list scroll in pixels
};

extern ProjectList gProjects;
extern MapBrowseList gMapBrowse;

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Creates the project folder and its maps, exports, mods, assets, assets/models and
// assets/textures sub-folders; existing folders are fine.
void MakeProjectSubdirs(const char *projectPath);
// Rebuilds the project list from the folders in "projects" (created when missing). The selected
// row stays on the same project, or becomes -1 when that project is gone.
void ScanProjects(void);
// 1 when name may name a project: not empty, no '/', '\\', ':' or '.', and one the system stores
// as typed (PlatformNameRefusal).
int ProjectNameIsValid(const char *name);
// Makes a new project folder with its sub-folders and rescans; 1, or 0 when the name is refused,
// the list is full, the folder exists already or could not be made. Neither selects nor opens it.
int CreateProject(const char *name);
// Makes entry index the open project, noting in previousPath and previousName the project that
// was open before; an index outside the list changes nothing. Nothing on disk changes, so that
// the editor's project switch (map, assets, autosave) may still undo it.
void OpenProject(int index);
// The maps folder of the project at projectPath into out; 1, or 0 when it does not fit.
int ProjectMapsFolder(const char *projectPath, char *out, int outSize);
// Once an open is certain: restores the open project's sub-folders and removes from its maps
// folder the temporary files of saves interrupted at least kStaleSaveSeconds ago.
void ProjectTidyOpened(void);
// Undoes the last OpenProject: the project open before it (previousPath, previousName) is the
// open project again (none, when none was open before); the manager's selection stays.
void ReturnToPreviousProject(void);
// The path under which a map file is read or written: the name in the open project's sub-folder,
// or unchanged when it looks like a path or no project is open. One static buffer, overwritten
// by the next call.
const char *ProjectFilePath(const char *subdir, const char *fileName);
// The folder of one asset kind ("models", "textures"): the open project's when it exists, else
// the working folder's. One static buffer, overwritten by the next call.
const char *ProjectAssetDir(const char *kind);
// 1 when a typed map name stays inside the maps folder: not empty, not "." or "..", and without
// '/', '\\' or ':'.
int MapNameIsPlain(const char *name);
// 1 when name is the autosave's file name, in any case (a case-insensitive file system would
// take it for the autosave).
int MapNameIsReserved(const char *name);
// Rebuilds gMapBrowse from the open project's maps folder, newest first; empty with none open.
void ScanProjectMaps(void);
// Rescans the maps and loads the newest into map; its name (in gMapBrowse), or NULL when there
// is none or it could not be read (map unchanged; gMapBrowse.names[0] and MapFileReason say which
// and why).
const char *LoadLatestProjectMap(MapDoc *map);
