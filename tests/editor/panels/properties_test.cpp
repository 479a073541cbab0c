// The Object Properties tab's edits: values out of range shown without being written, the size
// rescale, face placement targets and buttons, entity kinds and cones, the brush buttons'
// snapshots, and one undo step per committed edit of the tab.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/undo.h"
#include "editor/panels/right_panel.h"
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

TEST_F(Properties, EachCommittedEditIsOneUndoStepThatMarksTheMapChanged)
{
    ui->selBrush = 1;
    Brush &b = map->brushes[1];
    EXPECT_EQ(PanelFrame([&] { BrushPanelFlip(map.get(), *ui, 0); }), 0);   // its own snapshot, no second
    const struct {
        int brush;   // the shown brush, or -1 for the Sun
        std::function<void()> edit;
    } edits[] = {
        { 1, [&] { b.origin.z = 2.0f; } },                                   // a typed field
        { 1, [&] { b.physics = 1; } },                                       // a check box
        { 1, [&] { snprintf(b.name, sizeof(b.name), "%s", "Renamed"); } },  // the Name box
        { 1, [&] { FacePanelApply(map.get(), *ui, FACE_OP_R90); } },         // a button
        { -1, [&] { EntityKindPick(&map->entities[0], ENTITY_LIGHT_SPOT); } }, // a toggle
    };
    for (const auto &e : edits) {
        ui->selBrush = e.brush;
        ui->selEntity = e.brush < 0 ? 0 : -1;
        auto before = std::make_unique<MapDoc>(*map);
        ClearMapDirty();
        int steps = gUndo.index, stepped = PanelFrame(e.edit);
        EXPECT_EQ(stepped, 1);
        EXPECT_EQ(gUndo.index, steps + 1);
        EXPECT_TRUE(gMapDirty);
        ASSERT_EQ(Undo(map.get()), 1);   // exactly this edit goes back: the flip and the others stay
        EXPECT_EQ(memcmp(map.get(), before.get(), sizeof(MapDoc)), 0);
        ASSERT_EQ(Redo(map.get()), 1);
    }
}

TEST_F(Properties, ADragIsOneStepAndEscapeOrAnUnchangedValueNone)
{
    ui->selBrush = 1;
    Brush &b = map->brushes[1];
    Brush start = b;
    int steps = gUndo.index;
    for (float x : { 5.0f, 6.0f, 7.0f }) {
        ClearMapDirty();                  // as an autosave in the middle of the drag would
        PanelFrame([&] { b.origin.x = x; }, true);
        EXPECT_TRUE(gMapDirty);
    }
    EXPECT_EQ(PanelFrame([] {}), 0);     // released; then Escape; then the same value typed
    EXPECT_EQ(PanelFrame([&] { b.origin.y = b.origin.y; }), 0);
    EXPECT_EQ(gUndo.index, steps + 1);
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(memcmp(&b, &start, sizeof(Brush)), 0);
    // An Undo in the middle of a drag: the rest of the press is a step of its own.
    EXPECT_EQ(PanelFrame([&] { b.origin.x = 8.0f; }, true), 1);
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(PanelFrame([&] { b.origin.x = 9.0f; }, true), 1);
    PanelFrame([] {});
}
