// undo.cpp: the snapshot ring behind Undo and Redo.
#include "document/undo.h"

#include <cstdlib>
#include <cstring>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
UndoHistory gUndo = { {}, 0, -1, 0 };
bool gMapDirty = false;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static MapDoc *UndoSlot(int i);
static void UndoDropOldest(void);
static void RestoreSnapshot(MapDoc *map, const MapDoc *snapshot);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PushUndoState(const MapDoc *map)
{
    MarkMapDirty();
    gUndo.serial++;
    if (gUndo.index < kUndoSlots - 1) gUndo.index++;
    else UndoDropOldest();                            // full: the oldest buffer becomes the newest slot
    MapDoc *slot = UndoSlot(gUndo.index);
    if (!slot) {                                      // allocation failed: nothing is stored
        gUndo.index--;
        return;
    }
    memcpy(slot, map, sizeof(MapDoc));
    gUndo.count = gUndo.index + 1;                    // drops every redo state
}

int Undo(MapDoc *map)
{
    if (gUndo.index < 0) return 0;
    gUndo.serial++;
    if (gUndo.index == kUndoSlots - 1) {
        // No slot above the newest snapshot is left for the current map: give up the oldest
        // snapshot instead of the latest edit, so Redo can always bring the current map back.
        UndoDropOldest();
        gUndo.index--;
    }
    MapDoc *keep = UndoSlot(gUndo.index + 1);
    if (keep) {                                       // without a buffer the undo goes on, unredoable
        memcpy(keep, map, sizeof(MapDoc));
        if (gUndo.index + 1 >= gUndo.count) gUndo.count = gUndo.index + 2;
    }
    MapDoc *slot = UndoSlot(gUndo.index);
    if (!slot) return 0;
    RestoreSnapshot(map, slot);
    gUndo.index--;
    return 1;
}

int Redo(MapDoc *map)
{
    if (gUndo.index + 1 >= gUndo.count - 1) return 0;
    MapDoc *slot = UndoSlot(gUndo.index + 2);
    if (!slot) return 0;
    gUndo.index++;
    gUndo.serial++;
    RestoreSnapshot(map, slot);
    return 1;
}

void FreeUndoHistory(void)
{
    for (int i = 0; i < kUndoSlots; i++) {
        free(gUndo.slots[i]);
        gUndo.slots[i] = nullptr;
    }
    gUndo.count = 0;
    gUndo.index = -1;
    gUndo.serial++;
}

void MarkMapDirty(void)
{
    gMapDirty = true;
}

void ClearMapDirty(void)
{
    gMapDirty = false;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Slot i's buffer, allocated (uninitialised) on first use; null out of range or when out of memory.
static MapDoc *UndoSlot(int i)
{
    if (i < 0 || i >= kUndoSlots) return nullptr;
    if (!gUndo.slots[i]) gUndo.slots[i] = (MapDoc *)malloc(sizeof(MapDoc));
    return gUndo.slots[i];
}

// Shifts every buffer down one slot; the oldest snapshot's buffer is reused as the last slot.
// index and count are left to the caller.
static void UndoDropOldest(void)
{
    MapDoc *oldest = gUndo.slots[0];
    memmove(&gUndo.slots[0], &gUndo.slots[1], sizeof(gUndo.slots[0]) * (kUndoSlots - 1));
    gUndo.slots[kUndoSlots - 1] = oldest;
}

// The map becomes the snapshot. One that differs from the map leaves it unlike what was last
// written, so it is marked changed: a save followed by an Undo is still autosaved.
static void RestoreSnapshot(MapDoc *map, const MapDoc *snapshot)
{
    if (memcmp(map, snapshot, sizeof(MapDoc)) != 0) MarkMapDirty();
    memcpy(map, snapshot, sizeof(MapDoc));
}
