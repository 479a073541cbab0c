// autosave.h: the map's dirty flag and the autosave state.
//
// The flag is the only way the rest of the editor learns that the map changed: taking an undo
// snapshot sets it. The periodic autosave and the recovery test build on this record.
#pragma once

#include <cstdint>

constexpr float kAutoSaveInterval = 120.0f;   // seconds between autosave attempts

struct AutoSaveState {
    bool enabled;          // autosave switch; nothing changes it
    float interval;        // seconds between attempts
    float timer;           // seconds since the last attempt
    bool dirty;            // the map changed since the last autosave or project open
    int32_t saveCount;     // successful autosaves of this run; never reset
};

extern AutoSaveState gAutoSave;

// Marks the map as changed since the last autosave.
void MarkMapDirty(void);
