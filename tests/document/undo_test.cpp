// Undo history: snapshot sequences below, at and past the 16 slots.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "document/undo.h"

namespace {

struct UndoTest : ::testing::Test {
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    void SetUp() override
    {
        FreeUndoHistory();
        snprintf(map->brushes[0].name, kNameLen, "state 0");
    }
    void TearDown() override { FreeUndoHistory(); }
    // An edit as the editor makes one: snapshot first, then change the map (state k = brushCount k).
    void Edit(int k)
    {
        PushUndoState(map.get());
        map->brushCount = k;
        snprintf(map->brushes[0].name, kNameLen, "state %d", k);
    }
    void ExpectState(int k)
    {
        EXPECT_EQ(map->brushCount, k);
        char want[kNameLen];
        snprintf(want, sizeof(want), "state %d", k);
        EXPECT_STREQ(map->brushes[0].name, want);
    }
};

TEST_F(UndoTest, StartSnapshotThenOneEdit)
{
    Edit(0);                                   // the start-up snapshot of state 0 ...
    Edit(1);                                   // ... and one edit to state 1
    EXPECT_EQ(gUndo.index, 1);
    EXPECT_EQ(gUndo.count, 2);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(0);
    EXPECT_EQ(Undo(map.get()), 1);             // slot 0 holds the same state
    ExpectState(0);
    EXPECT_EQ(Undo(map.get()), 0);
    ExpectState(0);
    EXPECT_EQ(Redo(map.get()), 1);
    ExpectState(0);
    EXPECT_EQ(Redo(map.get()), 1);
    ExpectState(1);
    EXPECT_EQ(Redo(map.get()), 0);
}

TEST_F(UndoTest, EditAfterUndoDropsRedo)
{
    for (int k = 1; k <= 3; k++) Edit(k);
    EXPECT_EQ(Undo(map.get()), 1);
    Edit(9);
    EXPECT_EQ(Redo(map.get()), 0);
    ExpectState(9);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(2);
}

TEST_F(UndoTest, UndoRedoPairsRestoreExactly)
{
    for (int k = 1; k <= 5; k++) Edit(k);
    std::unique_ptr<MapDoc> before(new MapDoc());
    memcpy(before.get(), map.get(), sizeof(MapDoc));
    EXPECT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(Redo(map.get()), 1);
    EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0);
    EXPECT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(3);
    EXPECT_EQ(Redo(map.get()), 1);
    EXPECT_EQ(Redo(map.get()), 1);
    EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0);
    EXPECT_EQ(Redo(map.get()), 0);
}

TEST_F(UndoTest, FifteenSnapshotsUseTheSixteenthSlotForRedo)
{
    for (int k = 1; k <= 15; k++) Edit(k);
    EXPECT_EQ(gUndo.index, 14);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(14);
    EXPECT_EQ(gUndo.count, 16);
    EXPECT_EQ(Redo(map.get()), 1);
    ExpectState(15);
    for (int k = 14; k >= 0; k--) {            // every snapshot back to the first is reachable
        EXPECT_EQ(Undo(map.get()), 1);
        ExpectState(k);
    }
    EXPECT_EQ(Undo(map.get()), 0);
}

TEST_F(UndoTest, SixteenSnapshotsKeepTheLatestEditForRedo)
{
    for (int k = 1; k <= 16; k++) Edit(k);
    EXPECT_EQ(gUndo.index, 15);
    EXPECT_EQ(gUndo.count, 16);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(15);
    EXPECT_EQ(Redo(map.get()), 1);             // the latest edit comes back
    ExpectState(16);
    EXPECT_EQ(Redo(map.get()), 0);
    EXPECT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(14);
    EXPECT_EQ(Redo(map.get()), 1);
    EXPECT_EQ(Redo(map.get()), 1);
    ExpectState(16);
}

TEST_F(UndoTest, TwentySnapshotsDropTheOldest)
{
    for (int k = 1; k <= 20; k++) Edit(k);
    EXPECT_EQ(gUndo.index, 15);
    EXPECT_EQ(gUndo.count, 16);
    // Held: the states before edits 5..20 (4..19). The first Undo gives up state 4 to keep 20.
    for (int k = 19; k >= 5; k--) {
        EXPECT_EQ(Undo(map.get()), 1);
        ExpectState(k);
    }
    EXPECT_EQ(Undo(map.get()), 0);
    ExpectState(5);
    for (int k = 6; k <= 20; k++) {
        EXPECT_EQ(Redo(map.get()), 1);
        ExpectState(k);
    }
    EXPECT_EQ(Redo(map.get()), 0);
}

TEST_F(UndoTest, PushAfterFullUndoRedoKeepsWorking)
{
    for (int k = 1; k <= 16; k++) Edit(k);
    EXPECT_EQ(Undo(map.get()), 1);
    Edit(30);                                  // the Undo dropped the oldest, so one slot is free
    EXPECT_EQ(gUndo.index, 14);
    EXPECT_EQ(gUndo.count, 15);
    EXPECT_EQ(Undo(map.get()), 1);
    ExpectState(15);
    EXPECT_EQ(Redo(map.get()), 1);
    ExpectState(30);
}

TEST_F(UndoTest, EmptyAndFreedHistoryRefuse)
{
    EXPECT_EQ(Undo(map.get()), 0);
    EXPECT_EQ(Redo(map.get()), 0);
    Edit(1);
    Edit(2);
    FreeUndoHistory();
    EXPECT_EQ(gUndo.count, 0);
    EXPECT_EQ(gUndo.index, -1);
    for (int i = 0; i < kUndoSlots; i++) EXPECT_EQ(gUndo.slots[i], nullptr);
    EXPECT_EQ(Undo(map.get()), 0);
    EXPECT_EQ(Redo(map.get()), 0);
    ExpectState(2);
}

}  // namespace
