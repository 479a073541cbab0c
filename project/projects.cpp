// projects.cpp: the project list, project folders, the two path functions and the map list.
#include "project/projects.h"

#include <cstdio>
#include <cctype>
#include <cstring>

#include "raylib.h"
#include "document/map_file.h"
#include "platform/platform.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
ProjectList gProjects = { {}, 0, -1, 0.0f, false, false, "", "", "(none)", "", "" };
MapBrowseList gMapBrowse;

static const char *const kProjectSubdirs[] = { "maps", "exports", "mods", "assets", "assets/models", "assets/textures" };
static const char kForbiddenNameChars[] = "/\\:.";
static const char kPathChars[] = "/\\:";

static char sFilePath[kProjectFilePathLen];
static char sAssetDir[kProjectDirLen];

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int FindProject(const char *path);
static int LooksLikePath(const char *fileName);
static void SortMapsNewestFirst(void);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void MakeProjectSubdirs(const char *projectPath)
{
    PlatformMakeDir(projectPath);
    char dir[kProjectDirLen];
    for (const char *sub : kProjectSubdirs) {
        snprintf(dir, sizeof(dir), "%s%c%s", projectPath, kPlatformSeparator, sub);
        PlatformMakeDir(dir);
    }
}

void ScanProjects(void)
{
    // The listing order may change with every folder added or removed: the selection follows
    // its project (by folder path, which a name cut to its buffer might not tell apart), so Open
    // Selected never opens a project the user did not pick.
    char selectedPath[kProjectPathLen] = "";
    bool hadSelection = gProjects.selected >= 0 && gProjects.selected < gProjects.count;
    if (hadSelection) {
        snprintf(selectedPath, sizeof(selectedPath), "%s", gProjects.entries[gProjects.selected].path);
    }

    gProjects.count = 0;
    PlatformMakeDir(kProjectsDir);
    PlatformFolderListing list;
    PlatformOpenFolderListing(kProjectsDir, &list);
    for (const char *path = PlatformNextFolderEntry(&list); path != nullptr && gProjects.count < kMaxProjects;
         path = PlatformNextFolderEntry(&list)) {
        if (!PlatformIsFolder(path)) continue;   // files directly in "projects" are not projects
        ProjectEntry *e = &gProjects.entries[gProjects.count++];
        snprintf(e->path, sizeof(e->path), "%s", path);
        snprintf(e->name, sizeof(e->name), "%s", GetFileName(path));
    }
    PlatformCloseFolderListing(&list);
    gProjects.selected = hadSelection ? FindProject(selectedPath) : -1;
}

int ProjectNameIsValid(const char *name)
{
    if (name == nullptr || name[0] == '\0') return 0;
    if (PlatformNameRefusal(name) != nullptr) return 0;   // never made under a name other than the one typed
    return strpbrk(name, kForbiddenNameChars) == nullptr ? 1 : 0;
}

int CreateProject(const char *name)
{
    if (!ProjectNameIsValid(name) || gProjects.count >= kMaxProjects) return 0;
    char path[kProjectPathLen];
    int n = snprintf(path, sizeof(path), "%s%c%s", kProjectsDir, kPlatformSeparator, name);
    if (n < 0 || n >= (int)sizeof(path)) return 0;   // a cut name would make another folder
    if (PlatformIsFolder(path)) return 0;
    MakeProjectSubdirs(path);
    ScanProjects();
    // The system may refuse the folder (a file of that name, a name it cannot store).
    return PlatformIsFolder(path) ? 1 : 0;
}

void OpenProject(int index)
{
    if (index < 0 || index >= gProjects.count) return;
    const ProjectEntry *e = &gProjects.entries[index];
    snprintf(gProjects.previousPath, sizeof(gProjects.previousPath), "%s", gProjects.currentPath);
    snprintf(gProjects.previousName, sizeof(gProjects.previousName), "%s", gProjects.currentName);
    snprintf(gProjects.currentPath, sizeof(gProjects.currentPath), "%s", e->path);
    snprintf(gProjects.currentName, sizeof(gProjects.currentName), "%s", e->name);
    gProjects.selected = index;
}

void ProjectTidyOpened(void)
{
    if (gProjects.currentPath[0] == '\0') return;
    MakeProjectSubdirs(gProjects.currentPath);   // a project whose sub-folders were deleted gets them back
    // A save killed halfway leaves its complete temporary file; a fresh one may be another
    // editor's save still being written.
    char maps[kProjectDirLen];
    if (ProjectMapsFolder(gProjects.currentPath, maps, sizeof(maps))) PlatformRemoveStaleTemps(maps, kStaleSaveSeconds);
}

int ProjectMapsFolder(const char *projectPath, char *out, int outSize)
{
    int n = snprintf(out, (size_t)outSize, "%s%c%s", projectPath, kPlatformSeparator, kMapsDir);
    return n >= 0 && n < outSize ? 1 : 0;
}

void ReturnToPreviousProject(void)
{
    snprintf(gProjects.currentPath, sizeof(gProjects.currentPath), "%s", gProjects.previousPath);
    snprintf(gProjects.currentName, sizeof(gProjects.currentName), "%s", gProjects.previousName);
}

const char *ProjectFilePath(const char *subdir, const char *fileName)
{
    if (LooksLikePath(fileName) || gProjects.currentPath[0] == '\0') {
        snprintf(sFilePath, sizeof(sFilePath), "%s", fileName);
    } else {
        snprintf(sFilePath, sizeof(sFilePath), "%s%c%s%c%s", gProjects.currentPath, kPlatformSeparator, subdir,
                 kPlatformSeparator, fileName);
    }
    return sFilePath;
}

const char *ProjectAssetDir(const char *kind)
{
    if (gProjects.currentPath[0] != '\0') {
        snprintf(sAssetDir, sizeof(sAssetDir), "%s%cassets%c%s", gProjects.currentPath, kPlatformSeparator,
                 kPlatformSeparator, kind);
        if (PlatformIsFolder(sAssetDir)) return sAssetDir;
    }
    snprintf(sAssetDir, sizeof(sAssetDir), "assets%c%s", kPlatformSeparator, kind);
    return sAssetDir;
}

int MapNameIsPlain(const char *name)
{
    if (name == nullptr || name[0] == '\0') return 0;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return 0;
    return strpbrk(name, kPathChars) == nullptr ? 1 : 0;
}

int MapNameIsReserved(const char *name)
{
    if (name == nullptr) return 0;
    size_t i = 0;
    for (; name[i] != '\0' && kAutoSaveName[i] != '\0'; i++) {
        if (tolower((unsigned char)name[i]) != tolower((unsigned char)kAutoSaveName[i])) return 0;
    }
    return name[i] == '\0' && kAutoSaveName[i] == '\0' ? 1 : 0;
}

void ScanProjectMaps(void)
{
    gMapBrowse.count = 0;
    if (gProjects.currentPath[0] == '\0') return;

    char dir[kProjectDirLen];
    ProjectMapsFolder(gProjects.currentPath, dir, sizeof(dir));
    PlatformFolderListing list;
    PlatformOpenFolderListing(dir, &list);
    for (const char *path = PlatformNextFolderEntry(&list); path != nullptr && gMapBrowse.count < kMaxMapBrowse;
         path = PlatformNextFolderEntry(&list)) {
        const char *name = GetFileName(path);
        if (!IsFileExtension(path, kMapExtension) || strcmp(name, kAutoSaveName) == 0) continue;
        if (!PlatformIsRegularFile(path)) continue;   // a folder or a pipe is no map, whatever its name
        int k = gMapBrowse.count++;
        snprintf(gMapBrowse.names[k], sizeof(gMapBrowse.names[k]), "%s", name);
        gMapBrowse.mtimes[k] = (int32_t)PlatformModTime(path);
    }
    PlatformCloseFolderListing(&list);
    SortMapsNewestFirst();
    gMapBrowse.scroll = 0.0f;
}

const char *LoadLatestProjectMap(MapDoc *map)
{
    ScanProjectMaps();
    if (gMapBrowse.count == 0) return nullptr;
    // The next-newest map is not tried: opening an older map silently would hide the problem.
    if (!LoadMapZIZUDU(ProjectFilePath(kMapsDir, gMapBrowse.names[0]), map)) return nullptr;
    return gMapBrowse.names[0];
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The list index of the project in this folder, or -1.
static int FindProject(const char *path)
{
    for (int i = 0; i < gProjects.count; i++) {
        if (strcmp(gProjects.entries[i].path, path) == 0) return i;
    }
    return -1;
}

// Absolute, drive-relative or containing a folder: used as given, relative to the working folder.
static int LooksLikePath(const char *fileName)
{
    if (fileName[0] == '/' || fileName[0] == '\\') return 1;
    if (fileName[0] != '\0' && fileName[1] == ':') return 1;
    return strpbrk(fileName, "/\\") != nullptr ? 1 : 0;
}

// Insertion sort by time, newest first; equal times keep their listing order.
static void SortMapsNewestFirst(void)
{
    char name[kMapBrowseNameLen];
    for (int i = 1; i < gMapBrowse.count; i++) {
        int32_t t = gMapBrowse.mtimes[i];
        memcpy(name, gMapBrowse.names[i], sizeof(name));
        int j = i - 1;
        while (j >= 0 && gMapBrowse.mtimes[j] < t) {
            gMapBrowse.mtimes[j + 1] = gMapBrowse.mtimes[j];
            memcpy(gMapBrowse.names[j + 1], gMapBrowse.names[j], sizeof(name));
            j--;
        }
        gMapBrowse.mtimes[j + 1] = t;
        memcpy(gMapBrowse.names[j + 1], name, sizeof(name));
    }
}
