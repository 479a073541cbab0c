// undo.h: whole-map undo and redo by snapshots.
//
// Before every undoable edit the editor copies the whole MapDoc into a ring of buffers; the map
// holds no pointers, so a snapshot and a restore are plain byte copies. Taking a snapshot is the
// main thing that marks the map dirty (an Undo or Redo that changes the map does too); a save or
// the autosave clears it once it has written the map.
#pragma once

#include <cstdint>
#include "document/map_records.h"

constexpr int kUndoSlots = 16;

struct UndoHistory {
    MapDoc *slots[kUndoSlots];   // allocated on first use, kept until FreeUndoHistory
    int32_t count;               // snapshots valid from slot 0; slots index+1 .. count-1 are redo states
    int32_t index;               // slot that Undo restores next; -1 = nothing to undo
    uint32_t serial;             // moves with every push, undo, redo and free: whether the history
                                 // changed since a moment the caller noted
};

extern UndoHistory gUndo;
extern bool gMapDirty;           // the map changed since it was last written or opened

// Marks the map dirty and stores a snapshot of it, dropping every redo state.
void PushUndoState(const MapDoc *map);
// Keeps the current map for Redo and restores the newest snapshot; 1, or 0 with nothing to undo.
// A snapshot that differs from the map marks it dirty.
int Undo(MapDoc *map);
// Restores the state the last Undo replaced; 1, or 0 when there is none. Marks dirty as Undo does.
int Redo(MapDoc *map);
// Frees every snapshot buffer; the history is empty afterwards.
void FreeUndoHistory(void);
// Marks the map as changed since the last autosave.
void MarkMapDirty(void);
// The map counts as unchanged again (written by a save or the autosave, or freshly opened).
void ClearMapDirty(void);
