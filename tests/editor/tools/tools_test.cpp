// The map-making tools and shortcuts: transform arithmetic and cancel, picks, paste, block and
// entity creation, the full-map refusals, transforms that must not outlive their object, and the
// Clip tool's misses, refusals and reset (its wheel and Backspace are driven end to end).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "raylib.h"
#include "document/map_limits.h"
#include "document/primitives.h"
#include "document/settings.h"
#include "document/topology.h"
#include "document/undo.h"
#include "editor/ui_state.h"
#include "editor/shortcuts.h"
#include "editor/tools/block.h"
#include "editor/tools/clip_tool.h"
#include "editor/tools/entity_tool.h"
#include "editor/tools/select.h"
#include "support/brush_check.h"
#include "support/editor_state.h"

class Tools : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEditorState(ui, map, 1);
        SettingsForTests().editor.gridStep = 0.5f;
        savedSnap = gSnap;
    }
    void TearDown() override
    {
        SettingsForTests().snap = savedSnap;
        FreeUndoHistory();
    }
    void AddCube(Vector3 centre, Vector3 size)
    {
        BrushInit(&map->brushes[map->brushCount++], SHAPE_CUBE, centre, size, 0);
    }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
    SnapSettings savedSnap;
};

TEST_F(Tools, TransformArithmeticSnapsLocksAndFloors)
{
    EXPECT_EQ(GrabOffset(Vector2{ 13, 0 }, AXIS_NONE, 0.5f).x, 0.5f);           // 0.65 snaps to 0.5
    Vector3 z = GrabOffset(Vector2{ 13, 40 }, AXIS_Z, 0.0f);
    EXPECT_EQ(z.x, 0.0f);
    EXPECT_FLOAT_EQ(z.z, 2.0f);                                                // down the screen is +Z
    EXPECT_FLOAT_EQ(GrabOffset(Vector2{ 0, 40 }, AXIS_NONE, 0.0f).y, -2.0f);   // and -Y
    EXPECT_EQ(RotateAngle(20, 15.0f), 45.0f);
    EXPECT_EQ(ScaleFactor(-100, 0.0f), kMinScaleFactor);

    // A thin brush scaled far down keeps the size floor; cancel restores every value exactly.
    ui->selBrush = 0;
    Brush before = map->brushes[0];
    map->brushes[0].size.y = 0.1f;
    before.size.y = 0.1f;
    SettingsForTests().snap.scale = 0;
    int snapshots = gUndo.count;
    ASSERT_EQ(TransformBegin(map.get(), *ui, XFORM_SCALE, Vector2{ 500, 300 }), 1);
    TransformUpdate(map.get(), *ui, Vector2{ 400, 310 });
    EXPECT_EQ(map->brushes[0].size.y, kMinBrushSize);
    EXPECT_FLOAT_EQ(map->brushes[0].size.x, 0.5f);
    TransformCancel(map.get(), *ui);
    EXPECT_EQ(ui->xform.transformMode, XFORM_NONE);
    EXPECT_EQ(memcmp(&map->brushes[0], &before, sizeof(Brush)), 0);
    EXPECT_EQ(gUndo.count, snapshots + 1);
}

TEST_F(Tools, RepeatedScalingStopsAtTheLimitAndStaysFinite)
{
    SettingsForTests().snap.scale = 0;
    auto pass = [&](int lock, float dx) {   // T, the pointer dx pixels on (800: x9), applied
        ASSERT_EQ(TransformBegin(map.get(), *ui, XFORM_SCALE, Vector2{ 100, 300 }), 1);
        ui->xform.axisLock = lock;
        TransformUpdate(map.get(), *ui, Vector2{ 100 + dx, 300 });
        TransformDrop(*ui);
    };
    const Brush ground = map->brushes[0];   // 10 x 1 x 10: its size X is its largest number
    const struct { int lock; bool entity; } cases[] = { { AXIS_NONE, false }, { AXIS_X, false }, { AXIS_NONE, true } };
    for (const auto &c : cases) {
        map->brushes[0] = ground;
        ui->selBrush = c.entity ? -1 : 0;
        ui->selEntity = c.entity ? 0 : -1;
        float *grown = c.entity ? &map->entities[0].scale : &map->brushes[0].size.x;
        pass(c.lock, 100.0f);
        EXPECT_EQ(*grown, 2.0f * (c.entity ? 1.0f : ground.size.x));   // below the limit: as always
        for (int i = 0; i < 34; i++) pass(c.lock, 800.0f);
        float held = *grown;
        EXPECT_TRUE(held <= kMapScaleLimit && held > 0.99f * kMapScaleLimit) << held;
        EXPECT_TRUE(BrushIsFinite(&map->brushes[0]) && EntityIsFinite(&map->entities[0]));
        for (int i = 0; i < map->brushes[0].vertCount; i++)
            EXPECT_LE(fabsf(map->brushes[0].verts[i].x), kMapScaleLimit);
        pass(c.lock, -50.0f);
        EXPECT_FLOAT_EQ(*grown, 0.5f * held);
    }
}

TEST_F(Tools, TwoDPickTakesTheSmallestBoxAndSkipsHidden)
{
    map->brushCount = 0;
    AddCube(Vector3{ 0, 0, 0 }, Vector3{ 10, 10, 10 });   // 0: the large box
    AddCube(Vector3{ 2, 0, 2 }, Vector3{ 2, 2, 2 });      // 1: nested, from 1 to 3
    AddCube(Vector3{ 4, 0, 2 }, Vector3{ 2, 2, 2 });      // 2: touches 1 at x = 3, same volume
    EXPECT_EQ(PickBrush2D(map.get(), Vector3{ 2, 99, 2 }, VIEW_TOP), 1);   // the depth axis is ignored
    EXPECT_EQ(PickBrush2D(map.get(), Vector3{ 3, 0, 2 }, VIEW_TOP), 1);    // shared edge: lower index
    EXPECT_EQ(PickBrush2D(map.get(), Vector3{ -4, 0, 0 }, VIEW_FRONT), 0);
    EXPECT_EQ(PickBrush2D(map.get(), Vector3{ 9, 0, 0 }, VIEW_SIDE), 0);   // side: Z and Y only
    map->brushes[1].hidden = 1;
    EXPECT_EQ(PickBrush2D(map.get(), Vector3{ 2, 0, 2 }, VIEW_TOP), 0);
    EXPECT_EQ(PickBrush2D(map.get(), Vector3{ 20, 0, 0 }, VIEW_TOP), -1);
}

TEST_F(Tools, DuplicateAndPasteLandAtOneOffsetAndRefuseAFullMap)
{
    map->brushCount = 0;
    for (int i = 0; i < 5; i++) AddCube(Vector3{ (float)i, 0, 0 }, Vector3{ 1, 1, 1 });
    ui->selBrush = 3;
    ASSERT_EQ(PasteClipboard(map.get(), *ui, true), 1);
    EXPECT_EQ(map->brushCount, 6);
    EXPECT_STREQ(map->brushes[5].name, "Brush_5");
    EXPECT_EQ(map->brushes[5].origin.x, 5.0f);   // 3 + max(4 x 0.5, 0.5)
    EXPECT_EQ(map->brushes[5].origin.z, 2.0f);
    EXPECT_EQ(ui->selBrush, 5);
    EXPECT_STREQ(ui->statusText, "Duplicated Brush -> #5");
    ASSERT_EQ(PasteClipboard(map.get(), *ui, false), 1);   // the clipboard still holds brush 3
    EXPECT_EQ(map->brushes[6].origin.x, 5.0f);

    map->brushCount = kMaxBrushes;
    int snapshots = gUndo.count;
    EXPECT_EQ(PasteClipboard(map.get(), *ui, false), 0);
    EXPECT_STREQ(ui->statusText, "Object limit reached.");
    EXPECT_EQ(BlockCreateBrush(map.get(), *ui), 0);
    map->entityCount = kMaxEntities;
    EXPECT_EQ(EntityPlace(map.get(), *ui, Vector3{ 0, 0, 0 }), 0);
    EXPECT_EQ(gUndo.count, snapshots);   // a refusal leaves no undo step behind
}

TEST_F(Tools, BlockBoxesAndPlacedEntities)
{
    ui->block.blockView = VIEW_TOP;
    ui->block.blockStart = Vector3{ 1, 0, 4 };
    ui->block.blockEnd = Vector3{ 4, 0, 0 };
    ui->cam3D.target.y = 3.0f;
    Vector3 c, s;
    BlockBoxToBrush(*ui, &c, &s);
    EXPECT_EQ(c.x, 2.5f);
    EXPECT_EQ(c.y, 3.0f);
    EXPECT_EQ(c.z, 2.0f);
    EXPECT_EQ(s.x, 3.0f);
    EXPECT_EQ(s.y, kBlockDepth);
    EXPECT_EQ(s.z, 4.0f);
    ui->block.blockView = VIEW_FRONT;
    ui->block.blockStart = Vector3{ 1, 0.05f, 0 };
    ui->block.blockEnd = Vector3{ 1, 0, 0 };   // a click without a drag
    BlockBoxToBrush(*ui, &c, &s);
    EXPECT_EQ(s.x, kThinBlockSide);
    EXPECT_EQ(s.y, kThinBlockSide);

    map->brushCount = 0;
    ASSERT_EQ(BlockCreateBrush(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Created Brush #1");
    EXPECT_STREQ(map->brushes[0].name, "Brush_0");
    EXPECT_TRUE(BrushIsValid(map->brushes[0]));

    ui->placeKind = ENTITY_LIGHT_SPOT;
    ASSERT_EQ(EntityPlace(map.get(), *ui, Vector3{ 1, 2, 3 }), 1);
    const Entity &e = map->entities[1];
    EXPECT_STREQ(e.className, "light_spot");
    EXPECT_STREQ(e.name, "light_spot_1");
    EXPECT_EQ(e.castsLight, 1);
    EXPECT_EQ(e.model, -1);
    EXPECT_EQ(e.texture, ui->curTexture);
    EXPECT_EQ(ui->selEntity, 1);
    EXPECT_EQ(ui->selBrush, -1);
}

// A transform ends before its object changes under it, so its saved values never reach another one.
TEST_F(Tools, TransformsNeverOutliveTheirObject)
{
    AddCube(Vector3{ 5, 0, 0 }, Vector3{ 1, 1, 1 });
    ui->selBrush = 1;
    Vector3 start = map->brushes[1].origin;
    SettingsForTests().snap.move = 0;
    ASSERT_EQ(TransformBegin(map.get(), *ui, XFORM_GRAB, Vector2{ 0, 0 }), 1);
    TransformUpdate(map.get(), *ui, Vector2{ 40, 0 });
    ASSERT_EQ(UndoStep(map.get(), *ui, false), 1);   // cancels, then undoes the grab's snapshot
    EXPECT_EQ(ui->xform.transformMode, XFORM_NONE);
    ASSERT_EQ(UndoStep(map.get(), *ui, true), 1);
    EXPECT_EQ(map->brushes[1].origin.x, start.x);   // the state kept for Redo is untransformed

    // The selection moved elsewhere (a script, a panel): the next frame drops the transform
    // without writing the saved brush into the entity now selected.
    ui->selBrush = 1;
    ASSERT_EQ(TransformBegin(map.get(), *ui, XFORM_GRAB, Vector2{ 0, 0 }), 1);
    ui->selBrush = -1;
    ui->selEntity = 0;
    Entity sun = map->entities[0];
    DeleteAndTransformPhase(map.get(), *ui);
    EXPECT_EQ(ui->xform.transformMode, XFORM_NONE);
    EXPECT_EQ(memcmp(&map->entities[0], &sun, sizeof(Entity)), 0);

    // A stale index neither starts a transform nor selects anything to delete.
    ui->selEntity = 7;
    EXPECT_EQ(TransformBegin(map.get(), *ui, XFORM_GRAB, Vector2{ 0, 0 }), 0);
}

TEST_F(Tools, RefusedSubdivisionSaysSoWithoutASnapshot)
{
    BrushInit(&map->brushes[map->brushCount++], SHAPE_SPHERE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
    ui->selBrush = 1;
    Brush before = map->brushes[1];
    int snapshots = gUndo.count;
    EXPECT_EQ(SubdivideSelected(map.get(), *ui), 0);
    EXPECT_EQ(gUndo.count, snapshots);
    EXPECT_EQ(memcmp(&map->brushes[1], &before, sizeof(Brush)), 0);
    EXPECT_NE(ui->statusText[0], '\0');

    ui->selBrush = 0;   // the ground cube fits: one snapshot, taken before the change
    ASSERT_EQ(SubdivideSelected(map.get(), *ui), 1);
    EXPECT_EQ(gUndo.count, snapshots + 1);
    EXPECT_EQ(map->brushes[0].faceCount, 24);
    EXPECT_EQ(gUndo.slots[gUndo.index]->brushes[0].faceCount, 6);
}

// A finished cut line down the Top view at world x: its front is the part at x below it.
static void ClipLine(UiState &ui, float x, int keep, bool arc = false)
{
    ui.clip.clipWorldStart = Vector3{ x, 0, -8 };
    ui.clip.clipWorldEnd = Vector3{ x, 0, 8 };
    ui.clip.clipView = VIEW_TOP;
    ui.clip.clipKeep = keep;
    ui.clip.clipArc = arc;
    ui.clip.clipHasLine = true;
}

TEST_F(Tools, ClipMissesAndRefusalsLeaveTheMapWithoutASnapshot)
{
    ui->activeTool = TOOL_CLIP;
    Brush before = map->brushes[0];
    ClipLine(*ui, 8, CLIP_KEEP_BOTH);                      // beside the ground
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "No cut plane crossed the brush.");
    // Keep both on a full map: the back part has nowhere to go, so the cut is refused and stays.
    map->brushCount = kMaxBrushes;
    ClipLine(*ui, -1, CLIP_KEEP_BOTH);
    ASSERT_TRUE(ClipQueueLine(*ui));
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_NE(strstr(ui->statusText, "refused"), nullptr);
    EXPECT_EQ(ui->clip.clipCutCount, 1);
    EXPECT_EQ(map->brushCount, kMaxBrushes);
    EXPECT_EQ(memcmp(&map->brushes[0], &before, sizeof(Brush)), 0);
    EXPECT_EQ(gUndo.count, 0);
    ui->clip.clipCuts[0].keep = CLIP_KEEP_FRONT;                // keeping the front needs no room
    EXPECT_EQ(ClipApply(map.get(), *ui), 1);
    EXPECT_EQ(gUndo.count, 1);
}

TEST_F(Tools, AClipPastTheBrushLimitsSaysSoAndKeepsItsLine)
{
    // A line through a brush with all 48 faces: the side at x below 0.5 holds both apexes and
    // would need a 49th face, the side beyond it fits.
    ui->activeTool = TOOL_CLIP;
    ui->selBrush = map->brushCount;
    map->brushes[map->brushCount++] = Bipyramid24();
    ClipLine(*ui, 0.5f, CLIP_KEEP_BOTH);
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Cut refused: a kept part would pass the brush limits.");
    EXPECT_TRUE(ui->clip.clipHasLine);
    EXPECT_EQ(gUndo.count, 0);
    ClipSetKeep(*ui, CLIP_KEEP_BACK);
    EXPECT_EQ(ClipApply(map.get(), *ui), 1);
    EXPECT_STREQ(ui->statusText, "Carved with 1 plane(s) from 1 cut(s).");
    EXPECT_GE(GetBrushBoundingBox(&map->brushes[ui->selBrush]).min.x, 0.499f);
}

TEST_F(Tools, AClipThroughANonConvexBrushSaysSoAndKeepsItsLine)
{
    ui->activeTool = TOOL_CLIP;
    ui->selBrush = map->brushCount;
    map->brushes[map->brushCount++] = ExtrudedL();   // at the origin, legs along +Y and +Z
    Brush before = map->brushes[ui->selBrush];
    ClipLine(*ui, 0.5f, CLIP_KEEP_FRONT);
    EXPECT_EQ(ClipApply(map.get(), *ui), 0);
    EXPECT_STREQ(ui->statusText, "Cut refused: the brush is not convex.");
    EXPECT_TRUE(ui->clip.clipHasLine);
    EXPECT_EQ(memcmp(&map->brushes[ui->selBrush], &before, sizeof(Brush)), 0);
    EXPECT_EQ(gUndo.count, 0);
}

TEST_F(Tools, LeavingTheClipToolDropsItsLineAndQueue)
{
    // Queued cuts are not drawn under another tool; a later Enter must not apply them unseen.
    ui->activeTool = TOOL_CLIP;
    ClipLine(*ui, -1, CLIP_KEEP_FRONT);
    ClipQueueLine(*ui);
    ClipLine(*ui, 1, CLIP_KEEP_FRONT, true);
    ui->activeTool = TOOL_SELECT;
    ClipToolPhase(map.get(), *ui);
    EXPECT_EQ(ui->clip.clipCutCount, 0);
    EXPECT_FALSE(ui->clip.clipHasLine || ui->clip.clipArc);
}
