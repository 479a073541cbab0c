// autosave.h: the periodic autosave and the recovery test.
//
// The map document's dirty flag (gMapDirty, set by every undo snapshot) is the only way the
// autosave learns that the map changed. While a project is open and the map is dirty, the map is
// written into the project's maps folder as "_autosave.zizudu" every interval; when a project is
// opened whose autosave is newer than every other map in it, the editor offers to recover it.
#pragma once

#include <cstdint>
#include "document/map_records.h"
#include "platform/platform.h"
#include "project/projects.h"

constexpr float kAutoSaveInterval = 120.0f;   // seconds between autosave attempts
constexpr int kRecoverPathLen = kProjectFilePathLen;

// The autosave file as this editor last wrote it or, before its first write there, as it was when
// the project opened. Another copy of the editor on the same project changes it: the autosave
// then refuses to replace that copy's work.
struct AutoSaveStamp {
    char projectPath[kProjectPathLen];   // the project it belongs to; empty: none noted
    PlatformStamp file;                  // zero when no file was there
    bool written;                        // taken after this editor's own write
};

struct AutoSaveState {
    bool enabled;          // autosave switch; nothing changes it
    float interval;        // seconds between attempts
    float timer;           // seconds since the last attempt
    int32_t saveCount;     // successful autosaves of this run; never reset
    AutoSaveStamp kept;    // the only autosave file it may replace
};

extern AutoSaveState gAutoSave;
extern bool gRecoverPrompt;                   // the recovery prompt is shown
extern char gRecoverPath[kRecoverPathLen];    // the autosave the prompt offers

// The open project's autosave path into out; 0 when no project is open or it does not fit.
int AutoSavePath(char *out, int outSize);
// projectPath's autosave path into out; 0 when projectPath is empty or it does not fit.
int AutoSavePathOf(const char *projectPath, char *out, int outSize);
// Notes the open project's autosave as it is now (or that there is none), when the project has
// just opened; kept as it is when it already describes that file.
void AutoSaveNoteOpened(void);
// Writes map as the autosave of the project at projectPath (the open one, or one being left):
// on success the dirty flag is cleared, the count moves on and the file's stamp is kept. A file
// that differs from the kept stamp (another writer's) is never replaced. Writes the outcome into
// status (may be NULL); returns 1 when the map was written.
int AutoSaveWriteTo(const char *projectPath, const MapDoc *map, char *status, int statusSize);
// Why the last failed AutoSaveWriteTo wrote nothing, a short lower-case phrase.
const char *AutoSaveReason(void);
// 1 when the autosave of projectPath is still the file this editor last wrote there.
int AutoSaveHoldsWrite(const char *projectPath);
// Once per frame: advances the timer while a project is open and no recovery prompt is shown, and
// at each full interval writes a dirty map to the autosave. Writes the outcome into status (may
// be NULL); the dirty flag is cleared only by a successful write.
void RunAutoSave(const MapDoc *map, float frameSeconds, char *status, int statusSize);
// Seconds until RunAutoSave next attempts a write (0 when one is due), or -1 while its timer
// stands still (autosave off, no project open, the recovery prompt shown): how long the editor
// may rest before it must run a frame for the autosave.
float AutoSaveSecondsLeft(void);
// The recovery test against the map list of the last ScanProjectMaps: 1 when the open project's
// autosave exists and is strictly newer than every listed map but the rescue maps (its path then
// in gRecoverPath).
bool AutoSaveIsNewer(void);
