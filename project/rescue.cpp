// rescue.cpp: the held copy of the map and the order of files that takes unsaved work.
#include "project/rescue.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "raylib.h"
#include "document/map_file.h"
#include "document/undo.h"
#include "platform/platform.h"
#include "project/autosave.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// The map as the file that last took it holds it: work is whatever differs from it.
static MapDoc sHeld;
static bool sHeldNoted;
static char sHeldAutoSave[kProjectPathLen];   // the project whose autosave holds it; empty: another file

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int RescueIntoFolderOf(const char *projectPath, const MapDoc *map, RescueOutcome *out);
static void RescueNoteFailure(RescueOutcome *out, const char *path, const char *why);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void RescueNoteHeld(const MapDoc *map, const char *autoSaveProject)
{
    memcpy(&sHeld, map, sizeof(MapDoc));
    sHeldNoted = true;
    snprintf(sHeldAutoSave, sizeof(sHeldAutoSave), "%s", autoSaveProject != nullptr ? autoSaveProject : "");
}

int RescueWorkUnsaved(const MapDoc *map)
{
    // The flag alone would count an Undo back to the written state as work.
    bool differs = !sHeldNoted || memcmp(map, &sHeld, sizeof(MapDoc)) != 0;
    if (gMapDirty && differs) return 1;
    if (differs || sHeldAutoSave[0] == '\0') return 0;
    // Held only by the autosave: once another writer replaced it, no file holds the work.
    return AutoSaveHoldsWrite(sHeldAutoSave) ? 0 : 1;
}

int RescueUnsavedWork(const MapDoc *map, const char *projectPath, const char *nextProjectPath, bool offerKept,
                      RescueOutcome *out)
{
    out->file[0] = '\0';
    out->reason[0] = '\0';
    out->detail[0] = '\0';
    if (!RescueWorkUnsaved(map)) return 1;

    bool project = projectPath != nullptr && projectPath[0] != '\0';
    char autoSave[kProjectFilePathLen];
    if (project && AutoSavePathOf(projectPath, autoSave, sizeof(autoSave))) {
        char line[kRescueReasonLen];
        if (offerKept) {
            RescueNoteFailure(out, autoSave, "older work on offer there was kept");
        } else if (AutoSaveWriteTo(projectPath, map, line, sizeof(line))) {
            snprintf(out->file, sizeof(out->file), "%s", autoSave);
            return 1;
        } else {
            RescueNoteFailure(out, autoSave, AutoSaveReason());
        }
    }
    if (RescueIntoFolderOf(projectPath, map, out)) return 1;
    if (nextProjectPath != nullptr && nextProjectPath[0] != '\0' && RescueIntoFolderOf(nextProjectPath, map, out)) return 1;
    return 0;
}

int RescueFreePath(const char *folder, long long seconds, char *out, int outSize)
{
    time_t t = (time_t)seconds;
    struct tm *local = localtime(&t);
    char stamp[32];
    if (local == nullptr || strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", local) == 0) return 0;
    const char sep[2] = { folder[0] != '\0' ? kPlatformSeparator : '\0', '\0' };
    for (int i = 1; i <= kRescueNameAttempts; i++) {
        int n = i == 1 ? snprintf(out, (size_t)outSize, "%s%s%s%s%s", folder, sep, kRescuePrefix, stamp, kMapExtension)
                       : snprintf(out, (size_t)outSize, "%s%s%s%s-%d%s", folder, sep, kRescuePrefix, stamp, i, kMapExtension);
        if (n < 0 || n >= outSize) return 0;
        // Any entry takes a name, a folder or a dangling link among them: nothing is replaced.
        char end[kProjectFilePathLen];
        bool link = !PlatformResolveLinks(out, end, sizeof(end)) || strcmp(end, out) != 0;
        if (PlatformModTime(out) == 0 && !link) return 1;
    }
    return 0;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// A new rescue file in the maps folder of the project at projectPath (empty: the working folder,
// where maps go with no project open); 1 when written, else the failure is noted.
static int RescueIntoFolderOf(const char *projectPath, const MapDoc *map, RescueOutcome *out)
{
    bool project = projectPath != nullptr && projectPath[0] != '\0';
    char folder[kProjectDirLen] = "";
    if (project) ProjectMapsFolder(projectPath, folder, sizeof(folder));
    char path[kProjectFilePathLen];
    if (project && !PlatformIsFolder(folder)) {
        // Made only by an open that goes ahead, so that an undone one leaves no mark.
        RescueNoteFailure(out, folder, PlatformModTime(folder) != 0 ? "not a folder" : "no such folder");
        return 0;
    }
    if (!RescueFreePath(folder, (long long)time(nullptr), path, sizeof(path))) {
        RescueNoteFailure(out, folder[0] != '\0' ? folder : ".", "no free file name");
        return 0;
    }
    if (!SaveMapZIZUDUWithin(path, project ? projectPath : nullptr, map)) {
        RescueNoteFailure(out, path, MapSaveReason());
        return 0;
    }
    snprintf(out->file, sizeof(out->file), "%s", path);
    RescueNoteHeld(map, nullptr);
    ClearMapDirty();
    return 1;
}

// One failed file: its name and why become the reason, its whole path joins the detail.
static void RescueNoteFailure(RescueOutcome *out, const char *path, const char *why)
{
    snprintf(out->reason, sizeof(out->reason), "%s: %s", GetFileName(path), why);
    size_t used = strlen(out->detail);
    snprintf(out->detail + used, sizeof(out->detail) - used, "%s%s: %s", used > 0 ? "; " : "", path, why);
}
