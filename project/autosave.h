// autosave.h: the map's dirty flag, the periodic autosave and the recovery test.
//
// The flag is the only way the rest of the editor learns that the map changed: taking an undo
// snapshot sets it. While a project is open and the map is dirty, the map is written into the
// project's maps folder as "_autosave.zizudu" every interval; when a project is opened whose
// autosave is newer than every other map in it, the editor offers to recover it.
#pragma once

#include <cstdint>
#include "document/map_records.h"
#include "project/projects.h"

constexpr float kAutoSaveInterval = 120.0f;   // seconds between autosave attempts
constexpr int kRecoverPathLen = kProjectFilePathLen;

struct AutoSaveState {
    bool enabled;          // autosave switch; nothing changes it
    float interval;        // seconds between attempts
    float timer;           // seconds since the last attempt
    bool dirty;            // the map changed since the last autosave or project open
    int32_t saveCount;     // successful autosaves of this run; never reset
};

extern AutoSaveState gAutoSave;
extern bool gRecoverPrompt;                   // the recovery prompt is shown
extern char gRecoverPath[kRecoverPathLen];    // the autosave the prompt offers

// Marks the map as changed since the last autosave.
void MarkMapDirty(void);
// The open project's autosave path into out; 0 when no project is open or it does not fit.
int AutoSavePath(char *out, int outSize);
// Once per frame: advances the timer while a project is open and no recovery prompt is shown, and
// at each full interval writes a dirty map to the autosave. Writes the outcome into status (may
// be NULL); the flag is cleared only by a successful write.
void RunAutoSave(const MapDoc *map, float frameSeconds, char *status, int statusSize);
// The recovery test against the map list of the last ScanProjectMaps: 1 when the open project's
// autosave exists and is strictly newer than every listed map (its path then in gRecoverPath).
bool AutoSaveIsNewer(void);
