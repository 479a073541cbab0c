// autosave.cpp: the autosave step of every frame and the recovery test.
#include "project/autosave.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "raylib.h"
#include "document/map_file.h"
#include "document/undo.h"
#include "platform/platform.h"
#include "project/projects.h"
#include "project/rescue.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
AutoSaveState gAutoSave = { true, kAutoSaveInterval, 0.0f, 0, {} };
bool gRecoverPrompt = false;
char gRecoverPath[kRecoverPathLen];
static const char *sReason = "";   // why the last autosave write failed

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static bool AutoSaveTimerRuns(void);
static int ProjectAutoSavePath(const char *projectPath, char *out, int outSize);
static const char *AutoSaveReplaceRefusal(const char *projectPath, const char *path);
static void AutoSaveKeepStamp(const char *projectPath, const PlatformStamp *file, bool written);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int AutoSavePath(char *out, int outSize)
{
    return ProjectAutoSavePath(gProjects.currentPath, out, outSize);
}

int AutoSavePathOf(const char *projectPath, char *out, int outSize)
{
    return ProjectAutoSavePath(projectPath, out, outSize);
}

void AutoSaveNoteOpened(void)
{
    char path[kRecoverPathLen];
    if (!AutoSavePath(path, sizeof(path))) return;
    PlatformStamp now;
    PlatformReadStamp(path, &now);
    // Opened again while its file is as noted: whether this editor wrote it still counts.
    if (strcmp(gAutoSave.kept.projectPath, gProjects.currentPath) == 0 && PlatformStampsEqual(&now, &gAutoSave.kept.file)) return;
    AutoSaveKeepStamp(gProjects.currentPath, &now, false);
}

int AutoSaveWriteTo(const char *projectPath, const MapDoc *map, char *status, int statusSize)
{
    char path[kRecoverPathLen];
    if (!ProjectAutoSavePath(projectPath, path, sizeof(path))) {
        sReason = "no project folder to write to";
        if (status) snprintf(status, (size_t)statusSize, "Could not autosave: no project folder to write to");
        return 0;
    }
    const char *refusal = AutoSaveReplaceRefusal(projectPath, path);
    if (refusal != nullptr) {
        sReason = refusal;
        if (status) snprintf(status, (size_t)statusSize, "Could not autosave to %s: %s", path, refusal);
        return 0;
    }
    if (!SaveMapZIZUDUWithin(path, projectPath, map)) {
        // The flag stays set, so the next attempt tries again.
        sReason = MapSaveReason();
        if (status) snprintf(status, (size_t)statusSize, "Could not autosave to %s: %s", path, MapSaveReason());
        return 0;
    }
    PlatformStamp written = MapSavedStamp();   // the file this save wrote, never one put there since
    AutoSaveKeepStamp(projectPath, &written, true);
    RescueNoteHeld(map, projectPath);
    ClearMapDirty();
    gAutoSave.saveCount++;
    const char *warning = MapSaveWarning();
    if (status && warning[0] != '\0') {
        snprintf(status, (size_t)statusSize, "Autosaved (%d) to %s - warning: %s", gAutoSave.saveCount, kAutoSaveName,
                 warning);
    } else if (status) {
        snprintf(status, (size_t)statusSize, "Autosaved (%d) to %s", gAutoSave.saveCount, kAutoSaveName);
    }
    return 1;
}

const char *AutoSaveReason(void)
{
    return sReason;
}

int AutoSaveHoldsWrite(const char *projectPath)
{
    const AutoSaveStamp &kept = gAutoSave.kept;
    char path[kRecoverPathLen];
    if (!kept.written || strcmp(kept.projectPath, projectPath) != 0) return 0;
    if (!ProjectAutoSavePath(projectPath, path, sizeof(path))) return 0;
    PlatformStamp now;
    return PlatformReadStamp(path, &now) && PlatformStampsEqual(&now, &kept.file) ? 1 : 0;
}

void RunAutoSave(const MapDoc *map, float frameSeconds, char *status, int statusSize)
{
    if (!AutoSaveTimerRuns()) return;
    gAutoSave.timer += frameSeconds;
    if (gAutoSave.timer < gAutoSave.interval) return;
    gAutoSave.timer = 0.0f;
    if (gMapDirty) AutoSaveWriteTo(gProjects.currentPath, map, status, statusSize);
}

float AutoSaveSecondsLeft(void)
{
    if (!AutoSaveTimerRuns()) return -1.0f;
    return fmaxf(0.0f, gAutoSave.interval - gAutoSave.timer);
}

bool AutoSaveIsNewer(void)
{
    char path[kRecoverPathLen];
    if (!AutoSavePath(path, sizeof(path)) || !PlatformIsRegularFile(path)) return false;
    long t = (long)PlatformModTime(path);
    for (int i = 0; i < gMapBrowse.count; i++) {
        if (strcmp(gMapBrowse.names[i], kAutoSaveName) == 0) continue;
        // A rescue map holds other work than the autosave: written later, it must not hide it,
        // or the next autosave would replace the autosave's work unoffered.
        if (strncmp(gMapBrowse.names[i], kRescuePrefix, strlen(kRescuePrefix)) == 0) continue;
        if (t <= (long)gMapBrowse.mtimes[i]) return false;
    }
    snprintf(gRecoverPath, sizeof(gRecoverPath), "%s", path);
    return true;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static bool AutoSaveTimerRuns(void)
{
    // The autosave on offer must survive until the user chooses Recover or Ignore.
    return gAutoSave.enabled && gProjects.currentPath[0] != '\0' && !gRecoverPrompt;
}

// projectPath's autosave file into out; 0 when projectPath is empty or the path does not fit.
static int ProjectAutoSavePath(const char *projectPath, char *out, int outSize)
{
    if (projectPath == nullptr || projectPath[0] == '\0') return 0;
    char maps[kProjectDirLen];
    if (!ProjectMapsFolder(projectPath, maps, sizeof(maps))) return 0;
    int n = snprintf(out, (size_t)outSize, "%s%c%s", maps, kPlatformSeparator, kAutoSaveName);
    return (n >= 0 && n < outSize) ? 1 : 0;
}

// Why the autosave file at path, of the project at projectPath, must not be replaced; NULL when it
// may: no regular file is there, or it is the file of the kept stamp. A file that cannot be
// replaced at all says so first: taking the write bits away changes its stamp too, and "written
// by someone else" would hide the reason that matters.
static const char *AutoSaveReplaceRefusal(const char *projectPath, const char *path)
{
    int exists;
    if (!PlatformCheckReplaceable(path, &exists)) return PlatformReplaceRefusal(path);
    PlatformStamp now;
    if (!PlatformReadStamp(path, &now)) return nullptr;   // nothing to replace; the save refuses the rest
    const AutoSaveStamp &kept = gAutoSave.kept;
    bool known = strcmp(kept.projectPath, projectPath) == 0;
    if (known && PlatformStampsEqual(&now, &kept.file)) return nullptr;
    if (known && kept.written) return "changed on disk since this editor wrote it";
    return "written by someone else after the project opened";
}

// file becomes the kept stamp of the autosave of the project at projectPath.
static void AutoSaveKeepStamp(const char *projectPath, const PlatformStamp *file, bool written)
{
    AutoSaveStamp &kept = gAutoSave.kept;
    snprintf(kept.projectPath, sizeof(kept.projectPath), "%s", projectPath);
    kept.file = *file;
    kept.written = written;
}
