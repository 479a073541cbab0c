// The actions of the chrome's buttons on the map: ADD LIGHT and New.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raylib.h"
#include "raymath.h"
#include "document/problem_check.h"
#include "document/undo.h"
#include "editor/app.h"
#include "editor/chrome.h"
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
    void TearDown() override { FreeUndoHistory(); }
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
    snprintf(ui->statusText, kStatusLen, "%s", "unchanged");
    EXPECT_EQ(AddLight(map.get(), *ui, 0), 0);
    EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0);
    EXPECT_STREQ(ui->statusText, "unchanged");
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
