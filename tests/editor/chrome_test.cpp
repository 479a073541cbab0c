// The actions of the chrome's buttons: ADD LIGHT, New, and the top bar's one-modal-at-a-time rule.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "raymath.h"
#include "document/problem_check.h"
#include "document/undo.h"
#include "editor/app.h"
#include "editor/chrome.h"
#include "editor/console.h"
#include "project/autosave.h"
#include "project/projects.h"
#include "support/project_folder.h"
#include "support/vector_check.h"

class ChromeActions : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui = std::make_unique<UiState>();
        CamerasStartValues(*ui);
        UiStateStartValues(*ui, 0, 0);
        map = std::make_unique<MapDoc>();
        memset(map.get(), 0, sizeof(MapDoc));
        DefaultMap(map.get(), *ui);
    }
    void TearDown() override
    {
        FreeUndoHistory();
        ResetProjectState();
        gConsole.open = false;
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
    int selBrush = ui->selBrush, selEntity = ui->selEntity, sideTab = ui->sideTab, undoCount = gUndo.count;
    EXPECT_EQ(AddLight(map.get(), *ui, 0), 0);
    EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0);
    EXPECT_STREQ(ui->statusText, "Object limit reached.");
    EXPECT_EQ(gUndo.count, undoCount);          // no snapshot for a refused light
    EXPECT_EQ(ui->selBrush, selBrush);
    EXPECT_EQ(ui->selEntity, selEntity);
    EXPECT_EQ(ui->sideTab, sideTab);
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
    EXPECT_STREQ(ui->mapFileName, "castle.zizudu");
    ASSERT_EQ(Undo(map.get()), 1);
    EXPECT_EQ(map->brushCount, 1);
    EXPECT_STREQ(map->brushes[0].name, "Ground_Brush");
}

TEST_F(ChromeActions, WhileAModalWindowIsOpenTheTopBarOpensNoOther)
{
    ProjectWorkFolder folder;                     // no project open; the project list is rescanned here
    const int opening[] = { TOPBAR_OPEN, TOPBAR_SAVE, TOPBAR_SAVE_AS, TOPBAR_RENDER, TOPBAR_PROJECTS };
    auto nothingElseOpen = [this](bool *keep) {
        for (bool *flag : { &ui->showOpenDialog, &ui->showSaveDialog, &ui->showRenderOutput, &gProjects.managerOpen,
                            &gRecoverPrompt }) {
            if (flag != keep) {
                EXPECT_FALSE(*flag);
            }
        }
    };
    for (bool *modal : { &ui->showOpenDialog, &ui->showRenderOutput, &gProjects.managerOpen, &gRecoverPrompt,
                         &ui->mergePrompt }) {
        *modal = true;
        snprintf(ui->statusText, kStatusLen, "%s", "before");
        for (int button : opening) EXPECT_EQ(TopBarPress(map.get(), *ui, button), 0) << button;
        nothingElseOpen(modal);
        EXPECT_STREQ(ui->statusText, "before");  // Save without a project wrote nothing either
        EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_CONSOLE), 1);   // the console is no modal window
        EXPECT_TRUE(gConsole.open);
        gConsole.open = false;
        *modal = false;
    }
    // With none open each of them opens its window.
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_RENDER), 1);
    EXPECT_TRUE(ui->showRenderOutput);
    ui->showRenderOutput = false;
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_SAVE), 1);
    EXPECT_TRUE(gProjects.managerOpen);
    EXPECT_STREQ(ui->statusText, "Open or create a project first - maps are saved inside it.");
}

TEST_F(ChromeActions, UnderAModalWindowSaveStillWritesIntoAnOpenProject)
{
    ProjectWorkFolder folder;
    OpenTestProject("P");
    EXPECT_FALSE(TopBarOpensModal(TOPBAR_SAVE));
    ui->showRenderOutput = true;
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_SAVE), 1);
    EXPECT_STREQ(ui->statusText, "Saved to projects/P/maps/untitled.zizudu");
    EXPECT_EQ(TopBarPress(map.get(), *ui, TOPBAR_NEW), 1);
    EXPECT_EQ(map->brushCount, 0);
}
