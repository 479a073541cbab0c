// The Object Properties tab's edits: values out of range shown without being written, the size
// rescale, face placement targets and buttons, entity kinds and cones, the brush buttons'
// snapshots, and one undo step per committed edit of the tab.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/right_panel.h"
#include "editor/widgets.h"
#include "support/brush_check.h"
#include "support/editor_state.h"

class Properties : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEditorState(ui, map, 1);
        BrushInit(&map->brushes[map->brushCount++], SHAPE_CUBE, Vector3{ 4, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
        PushUndoState(map.get());
        VtxClearActive();
    }
    void TearDown() override
    {
        VtxClearActive();
        FreeUndoHistory();
    }
    // One frame of the tab: the copy, what its widgets change, the comparison. held: the left
    // button is still down after this frame. Returns whether the frame took an undo step.
    int PanelFrame(const std::function<void()> &widgets, bool held = false)
    {
        PropertiesEditBegin(map.get(), *ui);
        widgets();
        return PropertiesEditEnd(map.get(), held);
    }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
};

TEST(PropertyFields, SliderShowsAHeldCopy)
{
    EXPECT_EQ(NumFieldShown(215.0f, -180.0f, 180.0f), 180.0f);   // the default Sun's yaw
    EXPECT_EQ(NumFieldShown(-0.01f, 0.05f, 100.0f), 0.05f);
    EXPECT_EQ(NumFieldShown(NAN, 1.0f, 400.0f), 1.0f);
    EXPECT_EQ(NumFieldShown(3.5f, 0.0f, 10.0f), 3.5f);
}

TEST_F(Properties, SizeRescalesAboutTheCentroidAndKeepsAClosedShape)
{
    Brush &b = map->brushes[1];   // spans -1..1 on every axis, centroid 0
    b.size.x = 4.0f;
    ASSERT_EQ(BrushSizeRescale(&b, Vector3{ 2, 2, 2 }), 1);
    for (int i = 0; i < b.vertCount; i++) EXPECT_FLOAT_EQ(fabsf(b.verts[i].x), 2.0f);
    EXPECT_EQ(b.origin.x, 4.0f);
    EXPECT_EQ(BrushSizeRescale(&b, b.size), 0);   // nothing changed, nothing moves

    for (int i = 0; i < b.vertCount; i++) b.verts[i].x += 2.0f;   // 0..4 now: centroid at x 2
    b.size.x = 2.0f;
    ASSERT_EQ(BrushSizeRescale(&b, Vector3{ 4, 2, 2 }), 1);
    for (int i = 0; i < b.vertCount; i++) EXPECT_TRUE(b.verts[i].x == 1.0f || b.verts[i].x == 3.0f);

    // A negative stored size does not mirror the brush inside out; a zero one gives factor 1.
    Brush before = b;
    b.size = Vector3{ 1.0f, 5.0f, 2.0f };
    ASSERT_EQ(BrushSizeRescale(&b, Vector3{ -2.0f, 0.0f, 2.0f }), 1);
    EXPECT_TRUE(BrushIsValid(b));
    for (int i = 0; i < b.vertCount; i++) EXPECT_EQ(b.verts[i].y, before.verts[i].y);

    // Floored; and a result that is not finite is refused with the size put back.
    b.size.z = 0.0f;
    BrushSizeRescale(&b, Vector3{ 1.0f, 5.0f, 2.0f });
    EXPECT_EQ(b.size.z, kMinBrushFieldSize);
    before = b;
    b.verts[0].x = 3e38f;
    before.verts[0].x = 3e38f;
    b.size.x = 100.0f;
    EXPECT_EQ(BrushSizeRescale(&b, Vector3{ 1.0f, 5.0f, kMinBrushFieldSize }), 0);
    EXPECT_EQ(b.size.x, 1.0f);
    EXPECT_EQ(memcmp(b.verts, before.verts, sizeof(b.verts)), 0);
}

TEST_F(Properties, FaceTargetsAndButtonsThatChangeNothingSaySo)
{
    ui->selBrush = 1;
    int ref;
    bool targets[kMaxBrushFaces];
    EXPECT_EQ(FaceTargetsFind(map.get(), 1, &ref, targets), 6);   // nothing selected: every face
    EXPECT_EQ(ref, 0);
    FaceSet(1, 2, 1);
    FaceSet(1, 5, 1);
    EXPECT_EQ(FaceTargetsFind(map.get(), 1, &ref, targets), 2);
    EXPECT_EQ(ref, 2);
    EXPECT_TRUE(targets[5] && !targets[0]);
    map->brushes[1].faces[5].uvRotation = 270.0f;
    EXPECT_EQ(FacePanelApply(map.get(), *ui, FACE_OP_R90), 2);
    EXPECT_EQ(map->brushes[1].faces[5].uvRotation, 0.0f);
    EXPECT_EQ(map->brushes[1].faces[0].uvRotation, 0.0f);

    // Faces selected only on another brush: no face of this one changes, and the status says so.
    VtxClearSelection();
    FaceSet(0, 1, 1);
    Brush before = map->brushes[1];
    ui->facePlacementValid = true;
    ui->facePlacementClipboard.uvRotation = 45.0f;
    for (int op : { FACE_OP_R90, FACE_OP_PASTE, FACE_OP_FIT, FACE_OP_WORLD, FACE_OP_RESET }) {
        snprintf(ui->statusText, sizeof(ui->statusText), "%s", "");
        EXPECT_EQ(FacePanelApply(map.get(), *ui, op), 0) << op;
        EXPECT_STREQ(ui->statusText, "No face of Brush #1 changed: select faces of this brush.") << op;
    }
    EXPECT_EQ(memcmp(&before, &map->brushes[1], sizeof(Brush)), 0);

    // Paste onto a triangle keeps its corners and texture; Fit on a 4 x 2 floor maps it onto 0..1.
    VtxClearSelection();
    Brush &tri = map->brushes[1];
    tri.faceCount = 1;
    tri.faces[0].count = 3;
    tri.faces[0].texture = 2;
    BrushFace corners = tri.faces[0];
    ASSERT_EQ(FacePanelApply(map.get(), *ui, FACE_OP_PASTE), 1);
    EXPECT_STREQ(ui->statusText, "Pasted placement onto 1 face(s).");
    EXPECT_EQ(tri.faces[0].uvRotation, 45.0f);
    EXPECT_EQ(memcmp(corners.indices, tri.faces[0].indices, sizeof(corners.indices)), 0);
    EXPECT_EQ(tri.faces[0].texture, 2);

    Brush floor = {};
    floor.size = Vector3{ 4, 0, 2 };
    const Vector3 p[4] = { { 0, 0, 0 }, { 0, 0, 2 }, { 4, 0, 2 }, { 4, 0, 0 } };
    for (const Vector3 &v : p) BrushAddVert(&floor, v);
    const int quad[4] = { 0, 1, 2, 3 };
    BrushAddFace(&floor, quad, 4, -1);
    ASSERT_EQ(FaceFitPlacement(&floor, &floor.faces[0]), 1);
    EXPECT_FLOAT_EQ(floor.faces[0].uvScale[0] * floor.faces[0].uvScale[1], 8.0f);
    EXPECT_FLOAT_EQ(floor.faces[0].uvOffset[0], 0.0f);
    EXPECT_FLOAT_EQ(floor.faces[0].uvOffset[1], 0.0f);
}

TEST_F(Properties, BrushButtonsTakeOneSnapshotOnlyWhenTheyChangeSomething)
{
    ui->selBrush = 1;
    Brush &b = map->brushes[1];
    int steps = gUndo.count;
    EXPECT_EQ(BrushPanelWeld(map.get(), *ui), 0);      // nothing lies together
    EXPECT_STREQ(ui->statusText, "Welded 0 vertex/vertices.");
    EXPECT_EQ(gUndo.count, steps);

    snprintf(b.name, sizeof(b.name), "%s", "Kept");
    b.rotation = Vector3{ 0, 30, 0 };
    b.physics = 1;
    b.mass = 99.0f;
    b.verts[0].x += 0.3f;
    ASSERT_EQ(BrushPanelRebuild(map.get(), *ui), 1);
    EXPECT_EQ(gUndo.count, steps + 1);
    EXPECT_STREQ(b.name, "Kept");
    EXPECT_EQ(b.rotation.y, 30.0f);
    EXPECT_EQ(b.physics, 1);
    EXPECT_EQ(b.mass, 10.0f);
    EXPECT_TRUE(BrushIsValid(b));

    ASSERT_EQ(BrushPanelFlip(map.get(), *ui, 0), 1);
    EXPECT_STREQ(ui->statusText, "Flipped brush on X.");
    EXPECT_EQ(gUndo.count, steps + 2);
    EXPECT_TRUE(BrushIsValid(b));
}

TEST(EntityPanel, KindsAndCones)
{
    Entity e = {};
    e.kind = ENTITY_PROP_PHYSICS;
    e.physics = 1;
    EntityKindPick(&e, ENTITY_LIGHT);
    EXPECT_STREQ(e.className, "light");
    EXPECT_EQ(e.castsLight, 1);
    EXPECT_EQ(e.physics, 1);                        // the first row keeps the physics flag
    EntityKindPick(&e, ENTITY_LIGHT_ENVIRONMENT);
    EXPECT_EQ(e.physics, 0);
    EXPECT_EQ(e.castsLight, 1);
    EntityKindPick(&e, ENTITY_GENERIC);
    EXPECT_EQ(e.castsLight, 0);
    EXPECT_STREQ(e.className, "generic");

    e.innerCone = 40.0f;
    e.outerCone = 30.0f;
    EntityConesHold(&e, false, false);              // stored that way: shown, not changed
    EXPECT_EQ(e.outerCone, 30.0f);
    EntityConesHold(&e, true, false);
    EXPECT_EQ(e.outerCone, 40.0f);
}

TEST_F(Properties, EachCommittedEditIsOneUndoStepOfItsOwn)
{
    ui->selBrush = 1;
    Brush &b = map->brushes[1];
    // Flip X takes its own snapshot and no second one; a Pos Z typed after it is a step of its own,
    // so Undo takes back the Z edit and leaves the flip.
    int steps = gUndo.index;
    EXPECT_EQ(PanelFrame([&] { BrushPanelFlip(map.get(), *ui, 0); }), 0);
    EXPECT_EQ(gUndo.index, steps + 1);

    const struct {
        const char *kind;
        std::function<void()> edit;
    } edits[] = {
        { "typed field", [&] { b.origin.z = 2.0f; } },
        { "size field", [&] { Vector3 before = b.size; b.size.x = 4.0f; BrushSizeRescale(&b, before); } },
        { "check box", [&] { b.physics = 1; } },
        { "name box", [&] { snprintf(b.name, sizeof(b.name), "%s", "Renamed"); } },
        { "toggle", [&] { b.faces[0].flipU = 1; } },
        { "button", [&] { FacePanelApply(map.get(), *ui, FACE_OP_R90); } },
    };
    for (const auto &e : edits) {
        Brush before = b;
        ClearMapDirty();
        steps = gUndo.index;
        EXPECT_EQ(PanelFrame(e.edit), 1) << e.kind;
        EXPECT_EQ(gUndo.index, steps + 1) << e.kind;
        EXPECT_TRUE(gMapDirty) << e.kind;
        Brush after = b;
        ASSERT_EQ(Undo(map.get()), 1);
        EXPECT_EQ(memcmp(&b, &before, sizeof(Brush)), 0) << e.kind << ": Undo restores the brush before this edit only";
        ASSERT_EQ(Redo(map.get()), 1);
        EXPECT_EQ(memcmp(&b, &after, sizeof(Brush)), 0) << e.kind;
    }
    EXPECT_EQ(b.physics, 1);   // every earlier edit is still there
    EXPECT_STREQ(b.name, "Renamed");
}

TEST_F(Properties, AnEntityKeepsEveryEditButTheLastOnUndo)
{
    Entity &e = map->entities[map->entityCount++];
    EntityInitLight(&e, ENTITY_LIGHT, Vector3{ 1, 2, 3 }, WHITE, 1.0f, 10.0f, 20.0f, 30.0f);
    PushUndoState(map.get());   // the placing
    ui->selBrush = -1;
    ui->selEntity = map->entityCount - 1;
    PanelFrame([&] { snprintf(e.name, sizeof(e.name), "%s", "Lamp"); });
    PanelFrame([&] { snprintf(e.className, sizeof(e.className), "%s", "lamp_post"); });
    PanelFrame([&] { e.lightColour.r = 10; });
    PanelFrame([&] { e.position.x = 7.0f; });
    PanelFrame([&] { EntityKindPick(&e, ENTITY_LIGHT_SPOT); });
    ASSERT_EQ(Undo(map.get()), 1);
    ASSERT_EQ(map->entityCount, 2);
    EXPECT_EQ(e.kind, ENTITY_LIGHT);
    EXPECT_EQ(e.position.x, 7.0f);
    EXPECT_EQ(e.lightColour.r, 10);
    EXPECT_STREQ(e.name, "Lamp");
    EXPECT_STREQ(e.className, "lamp_post");
}

TEST_F(Properties, ASliderDraggedIsOneStepFromBeforeTheDrag)
{
    ui->selBrush = 1;
    Brush &b = map->brushes[1];
    Brush start = b;
    int steps = gUndo.index;
    EXPECT_EQ(PanelFrame([&] { b.origin.x = 5.0f; }, true), 1);
    for (float x : { 6.0f, 7.0f, 8.0f }) {
        if (x == 7.0f) ClearMapDirty();   // an autosave in the middle of the drag
        EXPECT_EQ(PanelFrame([&] { b.origin.x = x; }, true), 0);
        EXPECT_TRUE(gMapDirty);           // the rest of the drag still reaches the next autosave
    }
    EXPECT_EQ(PanelFrame([] {}), 0);     // released
    EXPECT_EQ(gUndo.index, steps + 1);
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(memcmp(&b, &start, sizeof(Brush)), 0);
    ASSERT_EQ(Redo(map.get()), 1);
    EXPECT_EQ(b.origin.x, 8.0f);

    // The next press is a step of its own; so is a press going on after an Undo in its middle.
    EXPECT_EQ(PanelFrame([&] { b.origin.x = 9.0f; }, true), 1);
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(PanelFrame([&] { b.origin.x = 10.0f; }, true), 1);
    // A press that moves on to another record starts a step for it.
    ui->selBrush = 0;
    EXPECT_EQ(PanelFrame([&] { map->brushes[0].origin.y = 3.0f; }, true), 1);
    PanelFrame([] {});
}

TEST_F(Properties, EscapeAndEditsThatChangeNothingTakeNoStep)
{
    ui->selBrush = 1;
    Brush &b = map->brushes[1];
    ClearMapDirty();
    int steps = gUndo.index;
    EXPECT_EQ(PanelFrame([] {}), 0);                                      // Escape: nothing written
    EXPECT_EQ(PanelFrame([&] { b.origin.x = b.origin.x; }), 0);          // the same value committed
    const std::string name = b.name;
    EXPECT_EQ(PanelFrame([&] { snprintf(b.name, sizeof(b.name), "%s", name.c_str()); }), 0);
    EXPECT_EQ(PanelFrame([&] { BrushPanelWeld(map.get(), *ui); }), 0); // a refusal or nothing merged
    ui->selBrush = -1;
    ui->selEntity = 0;
    Entity &sun = map->entities[0];
    sun.lightColour.a = 0;
    EXPECT_EQ(PanelFrame([&] { EntityKindPick(&sun, sun.kind); }), 0);  // the toggle already on
    EXPECT_EQ(gUndo.index, steps);
    EXPECT_FALSE(gMapDirty);
    // Showing the entity holds its colours in force without counting as an edit.
    EntityColoursHold(&sun);
    EXPECT_EQ(sun.lightColour.a, 255);
}
