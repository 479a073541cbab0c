// The dirty flag: its start values and who sets it.
#include <gtest/gtest.h>

#include <memory>

#include "document/undo.h"
#include "project/autosave.h"

TEST(AutoSave, StartValuesAndSnapshotMarksDirty)
{
    // Nothing but the autosave run changes these; the dirty flag is set by other tests' snapshots.
    EXPECT_TRUE(gAutoSave.enabled);
    EXPECT_EQ(gAutoSave.interval, 120.0f);
    EXPECT_EQ(gAutoSave.timer, 0.0f);
    EXPECT_EQ(gAutoSave.saveCount, 0);

    std::unique_ptr<MapDoc> map(new MapDoc());
    FreeUndoHistory();
    gAutoSave.dirty = false;
    PushUndoState(map.get());
    EXPECT_TRUE(gAutoSave.dirty);

    gAutoSave.dirty = false;                    // undo and redo leave the flag alone
    EXPECT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(Redo(map.get()), 1);
    EXPECT_FALSE(gAutoSave.dirty);
    MarkMapDirty();
    EXPECT_TRUE(gAutoSave.dirty);
    FreeUndoHistory();
    gAutoSave.dirty = false;
}
