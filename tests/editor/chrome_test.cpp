// The actions of the chrome's buttons: ADD LIGHT, New, and the top bar's one modal window at a time.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "raymath.h"
#include "document/problem_check.h"
#include "document/undo.h"
#include "editor/ui_state.h"
#include "editor/chrome.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "support/editor_state.h"
#include "support/project_folder.h"
#include "support/vector_check.h"

class ChromeActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartEditorState(ui, map, 0);
    }
    void TearDown() override
    {
        FreeUndoHistory();
        ResetProjectState();
    }
    std::unique_ptr<UiState> ui;
    std::unique_ptr<MapDoc> map;
};

TEST_F(ChromeActions, SpotLightAtFocusAimedLikeTheCamera)
{
    ASSERT_EQ(AddLight(map.get(), *ui, 1), 1);
    ASSERT_EQ(map->entityCount, 2);
    const Entity &e = map->entities[1];
    EXPECT_STREQ(e.name, "Spot_1");
    EXPECT_STREQ(e.className, "light_spot");
    EXPECT_EQ(e.kind, ENTITY_LIGHT_SPOT);
    EXPECT_EQ(e.position.x, 0.0f);
    EXPECT_EQ(e.position.y, 2.0f);
    EXPECT_EQ(e.position.z, 0.0f);
    EXPECT_FLOAT_EQ(e.brightness, 1.6f);
    EXPECT_EQ(e.range, 16.0f);
    EXPECT_EQ(e.innerCone, 22.0f);
    EXPECT_EQ(e.outerCone, 40.0f);
    EXPECT_EQ(e.lightColour.g, 241);
    EXPECT_EQ(e.castsLight, 1);
    EXPECT_EQ(e.model, -1);
    Vector3 f = EntityForward(e.rotation);
    Vector3 want = Vector3Normalize(Vector3{ -12, -10, -12 });
    ExpectNear(f, want);
    EXPECT_EQ(ui->selEntity, 1);
    EXPECT_EQ(ui->selBrush, -1);
    EXPECT_EQ(ui->sideTab, TAB_PROPERTIES);
    EXPECT_STREQ(ui->statusText, "Added Spot light at the 3D view focus.");
}

TEST_F(ChromeActions, SunAndPointValuesAndTheEntityLimit)
{
    AddLight(map.get(), *ui, 2);
    EXPECT_STREQ(map->entities[1].name, "Sun_1");
    EXPECT_EQ(map->entities[1].range, 100.0f);
    EXPECT_FLOAT_EQ(map->entities[1].brightness, 0.9f);
    AddLight(map.get(), *ui, 0);
    EXPECT_STREQ(map->entities[2].className, "light");

    map->entityCount = kMaxEntities;
    auto before = std::make_unique<MapDoc>();
    memcpy(before.get(), map.get(), sizeof(MapDoc));
    int undoCount = gUndo.count;
    EXPECT_EQ(AddLight(map.get(), *ui, 0), 0);
    EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0);
    EXPECT_EQ(gUndo.count, undoCount);
    EXPECT_STREQ(ui->statusText, "Object limit reached.");
}

TEST_F(ChromeActions, NewEmptiesTheMapAndUndoBringsItBack)
{
    PushUndoState(map.get());
    snprintf(ui->mapFileName, kMapFileNameLen, "%s", "castle.zizudu");
    NewMap(map.get(), *ui);
    EXPECT_EQ(map->brushCount, 0);
    EXPECT_EQ(map->entityCount, 0);
    EXPECT_EQ(ui->selBrush, -1);
    EXPECT_STREQ(ui->statusText, "Created New Map");
    EXPECT_STREQ(ui->mapFileName, "untitled.zizudu");   // Save no longer reaches castle.zizudu
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(map->brushCount, 1);
    EXPECT_STREQ(map->brushes[0].name, "Ground_Brush");
}

TEST_F(ChromeActions, WhileAModalWindowIsOpenTheTopBarOpensNoOther)
{
    ui->showRenderOutput = true;
    snprintf(ui->statusText, kStatusLen, "%s", "before");
    for (int button : { TOPBAR_OPEN, TOPBAR_SAVE, TOPBAR_SAVE_AS, TOPBAR_PROJECTS }) {
        EXPECT_EQ(TopBarPress(map.get(), *ui, button), 0) << button;
    }
    EXPECT_FALSE(ui->showOpenDialog || ui->showSaveDialog || gProjects.managerOpen);
    EXPECT_STREQ(ui->statusText, "before");      // Save without a project did not even report
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_NEW), 1);
    ui->showRenderOutput = false;
    gProjects.managerOpen = true;
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_RENDER), 0);
    EXPECT_FALSE(ui->showRenderOutput);
    gProjects.currentPath[0] = 'P';               // with a project open Save only writes the map
    EXPECT_FALSE(TopBarOpensModal(TOPBAR_SAVE));
    gProjects.managerOpen = false;
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_RENDER), 1);
    EXPECT_TRUE(ui->showRenderOutput);
}
