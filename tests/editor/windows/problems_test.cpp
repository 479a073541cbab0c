// The problem report's repair.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "document/topology.h"
#include "document/undo.h"
#include "editor/startup.h"
#include "editor/chrome.h"
#include "editor/windows/problems.h"
#include "support/brush_check.h"

TEST(AutoFix, RepairsIntoClosedBrushesOrLeavesThemAndSaysWhat)
{
    auto ui = std::make_unique<UiState>();
    auto map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    UiStateStartValues(*ui, 0, 0);
    BrushInit(&map->brushes[0], SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, 0);
    BrushInit(&map->brushes[1], SHAPE_CUBE, Vector3{ 5, 0, 0 }, Vector3{ 2, 0.004f, 2 }, 0);   // welds flat
    map->brushCount = 2;

    // Nothing to repair: no undo step.
    int snapshots = gUndo.count;
    Brush thin = map->brushes[1];
    map->brushCount = 1;
    EXPECT_EQ(AutoFixAll(map.get(), *ui), 0);
    EXPECT_EQ(gUndo.count, snapshots);

    // A near-duplicate vertex and a turned face are mended in one step; the thin brush, which the
    // weld would fold flat, stays as it was and the status line says so.
    map->brushCount = 2;
    BrushAddVert(&map->brushes[0], Vector3{ -0.998f, -1, -1 });
    FaceReverse(&map->brushes[0].faces[2]);
    EXPECT_EQ(AutoFixAll(map.get(), *ui), 1);
    EXPECT_EQ(gUndo.count, snapshots + 1);
    EXPECT_TRUE(BrushIsValid(map->brushes[0]));
    EXPECT_EQ(map->brushes[0].vertCount, 8);
    EXPECT_EQ(memcmp(&map->brushes[1], &thin, sizeof(Brush)), 0);
    EXPECT_STREQ(ui->statusText,
                 "Welded 1 duplicate vertices and fixed winding of 1 face(s); 1 brush(es) left as they were.");
    EXPECT_EQ(ui->problemReport.coincident, 0);

    // A new map is another map: the report of the old one closes.
    ui->showProblems = true;
    NewMap(map.get(), *ui);
    EXPECT_FALSE(ui->showProblems);
    FreeUndoHistory();
}

// The L of two extrusions is wound right though not convex: the repair leaves it alone, and
// turns back only the face that was turned.
TEST(AutoFix, KeepsASoundLAndMendsItsTurnedFace)
{
    auto ui = std::make_unique<UiState>();
    auto map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    UiStateStartValues(*ui, 0, 0);
    map->brushes[0] = ExtrudedL();
    map->brushCount = 1;
    EXPECT_EQ(AutoFixAll(map.get(), *ui), 0);
    FaceReverse(&map->brushes[0].faces[FaceFacing(map->brushes[0], Vector3{ 0, -1, 0 }, 0.0f)]);
    EXPECT_EQ(AutoFixAll(map.get(), *ui), 1);
    Brush ell = ExtrudedL();
    EXPECT_EQ(memcmp(&map->brushes[0], &ell, sizeof(Brush)), 0);
    EXPECT_STREQ(ui->statusText, "Welded 0 duplicate vertices and fixed winding of 1 face(s).");
    FreeUndoHistory();
}
