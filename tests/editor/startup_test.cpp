// The state every run starts from: UiState, gEd, the default map and the settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "document/brush_geometry.h"
#include "document/settings.h"
#include "editor/startup.h"
#include "support/brush_check.h"

TEST(StartValues, SettingsRecords)
{
    EXPECT_FLOAT_EQ(gSettings.gridStep, 0.5f);
    EXPECT_FLOAT_EQ(gSettings.flySpeed, 0.2f);
    EXPECT_FLOAT_EQ(gSettings.vertexSize, 0.25f);
    EXPECT_EQ(gSettings.targetFps, 60);
    EXPECT_EQ(gSettings.view3DBackground.r, 40);
    EXPECT_EQ(gSettings.view2DBackground.r, 0);
    EXPECT_EQ(gSettings.view2DBackground.a, 255);
    EXPECT_EQ(gSettings.show2DGrid, 1);
    EXPECT_EQ(gSettings.show3DGrid, 1);
    EXPECT_FLOAT_EQ(gSettings.fovy, 75.0f);
    EXPECT_FLOAT_EQ(gSettings.ambient, 0.35f);
    EXPECT_EQ(gSettings.lighting, 1);
    EXPECT_EQ(gSettings.gizmoIcons, 1);
    EXPECT_FLOAT_EQ(gSettings.gizmoSize, 1.0f);

    EXPECT_EQ(gLighting.quality, QUALITY_MEDIUM);
    EXPECT_STREQ(kQualityName[gLighting.quality], "Medium");
    EXPECT_STREQ(kQualityName[0], "Off (CPU)");
    EXPECT_EQ(gLighting.shadows, 1);
    EXPECT_EQ(gLighting.ssao, 1);
    EXPECT_FLOAT_EQ(gLighting.shadowBias, 0.0022f);
    EXPECT_FLOAT_EQ(gLighting.shadowArea, 26.0f);
    EXPECT_FLOAT_EQ(gLighting.aoRadius, 0.55f);
    EXPECT_FLOAT_EQ(gLighting.aoStrength, 1.0f);
    EXPECT_FLOAT_EQ(gLighting.specular, 0.12f);
    EXPECT_FLOAT_EQ(gLighting.gamma, 2.2f);
}

TEST(StartValues, CamerasAndHeading)
{
    auto ui = std::make_unique<UiState>();
    CamerasStartValues(*ui);
    EXPECT_EQ(ui->cam3D.position.x, 12.0f);
    EXPECT_EQ(ui->cam3D.position.y, 10.0f);
    EXPECT_EQ(ui->cam3D.fovy, 75.0f);
    EXPECT_EQ(ui->cam3D.projection, CAMERA_PERSPECTIVE);
    EXPECT_NEAR(ui->flyYaw, -2.3562f, 1e-4f);
    EXPECT_NEAR(ui->flyPitch, -0.5325f, 1e-4f);
    // The heading's forward vector points from the camera to its target.
    Vector3 f = { sinf(ui->flyYaw) * cosf(ui->flyPitch), sinf(ui->flyPitch), cosf(ui->flyYaw) * cosf(ui->flyPitch) };
    Vector3 d = Vector3Normalize(Vector3Subtract(ui->cam3D.target, ui->cam3D.position));
    EXPECT_NEAR(Vector3DotProduct(f, d), 1.0f, 1e-5f);
    EXPECT_EQ(ui->orthoZoom, 16.0f);
    EXPECT_EQ(ui->topBarWidth, 2542.5f);
    EXPECT_EQ(ui->cam2D[0].up.z, -1.0f);
    EXPECT_EQ(ui->cam2D[1].up.y, 1.0f);
    EXPECT_EQ(ui->cam2D[2].up.y, 1.0f);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(ui->cam2D[i].projection, CAMERA_ORTHOGRAPHIC);
        EXPECT_EQ(ui->cam2D[i].fovy, 16.0f);
    }
}

TEST(StartValues, UiStateFieldsKeepResourcesAndCameras)
{
    auto ui = std::make_unique<UiState>();
    memset(ui.get(), 0x33, sizeof(UiState));
    CamerasStartValues(*ui);
    ui->renderTargets[2].id = 42;
    ui->uiFont.baseSize = 29;
    UiStateStartValues(*ui, 0, 3);

    EXPECT_EQ(ui->renderTargets[2].id, 42u);
    EXPECT_EQ(ui->uiFont.baseSize, 29);
    EXPECT_EQ(ui->cam3D.position.z, 12.0f);
    EXPECT_EQ(ui->orthoZoom, 16.0f);
    EXPECT_EQ(ui->menuBarH, 49.5f);
    EXPECT_EQ(ui->viewsTop, 112.5f);
    EXPECT_EQ(ui->leftPanelW, 162.0f);
    EXPECT_EQ(ui->rightPanelW, 540.0f);
    EXPECT_EQ(ui->selBrush, -1);
    EXPECT_EQ(ui->selEntity, -1);
    EXPECT_EQ(ui->activeTool, TOOL_SELECT);
    EXPECT_EQ(ui->curTexture, 0);   // textures loaded
    EXPECT_EQ(ui->curModel, -1);    // no model
    EXPECT_STREQ(ui->mapFileName, "untitled.zizudu");
    EXPECT_STREQ(ui->vtxCentreText[2], "0.00");
    EXPECT_FALSE(ui->showHelp || ui->showOpenDialog || ui->showSaveDialog || ui->showRenderOutput ||
                 ui->showProblems || ui->mergePrompt || ui->uiBlocksInput);
    EXPECT_EQ(ui->clip.clipSegments, 6);
    EXPECT_EQ(ui->clip.clipView, VIEW_TOP);
    EXPECT_EQ(ui->block.blockView, VIEW_TOP);
    EXPECT_EQ(ui->vertex.hoverVert, -1);
    EXPECT_EQ(ui->vertex.lastStackKey, -1);
    EXPECT_EQ(ui->xform.xformOrigScale, 1.0f);
    EXPECT_EQ(ui->statusText[0], '\0');
    EXPECT_EQ(ui->tooltipText, nullptr);
    EXPECT_FALSE(ui->clipboardHasBrush || ui->clipboardHasEntity || ui->facePlacementValid);
}

TEST(StartValues, EditorContextPointsIntoState)
{
    auto ui = std::make_unique<UiState>();
    EditorContext ctx;
    memset(&ctx, 0, sizeof(ctx));
    EditorContextFill(&ctx, *ui);
    EXPECT_EQ(ctx.valid, 1);
    EXPECT_EQ(ctx.cam3D, &ui->cam3D);
    EXPECT_EQ(ctx.cam2DSide, &ui->cam2D[2]);
    EXPECT_EQ(ctx.orthoZoom, &ui->orthoZoom);
    EXPECT_EQ(ctx.curModel, &ui->curModel);
    EXPECT_EQ(ctx.viewRect, &ui->viewRect[0]);
    *ctx.selBrush = 7;
    EXPECT_EQ(ui->selBrush, 7);
}

TEST(DefaultMap, GroundBrushAndSun)
{
    auto ui = std::make_unique<UiState>();
    UiStateStartValues(*ui, 0, 1);
    auto map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    DefaultMap(map.get(), *ui);

    ASSERT_EQ(map->brushCount, 1);
    const Brush &g = map->brushes[0];
    EXPECT_STREQ(g.name, "Ground_Brush");
    EXPECT_EQ(g.shape, SHAPE_CUBE);
    EXPECT_EQ(g.texture, 0);
    EXPECT_EQ(g.colour.r, 130);
    EXPECT_EQ(g.colour.g, 130);
    EXPECT_EQ(g.colour.b, 130);
    EXPECT_EQ(g.size.x, 10.0f);
    EXPECT_EQ(g.size.y, 1.0f);
    EXPECT_TRUE(BrushIsValid(g));
    float top = -1e9f;
    for (int i = 0; i < g.vertCount; i++) top = fmaxf(top, BrushVertWorld(&g, i).y);
    EXPECT_EQ(top, 0.0f);   // the ground's top face lies at y = 0
    EXPECT_EQ(ui->selBrush, 0);

    ASSERT_EQ(map->entityCount, 1);
    const Entity &sun = map->entities[0];
    EXPECT_STREQ(sun.name, "Sun");
    EXPECT_STREQ(sun.className, "light_environment");
    EXPECT_EQ(sun.kind, ENTITY_LIGHT_ENVIRONMENT);
    EXPECT_EQ(sun.position.x, 6.0f);
    EXPECT_EQ(sun.position.y, 10.0f);
    EXPECT_EQ(sun.rotation.x, 50.0f);
    EXPECT_EQ(sun.rotation.y, 215.0f);
    EXPECT_EQ(sun.rotation.z, 0.0f);
    EXPECT_EQ(sun.scale, 1.0f);
    EXPECT_EQ(sun.lightColour.r, 255);
    EXPECT_EQ(sun.lightColour.g, 244);
    EXPECT_EQ(sun.lightColour.b, 214);
    EXPECT_FLOAT_EQ(sun.brightness, 0.9f);
    EXPECT_EQ(sun.range, 100.0f);
    EXPECT_EQ(sun.innerCone, 25.0f);
    EXPECT_EQ(sun.outerCone, 45.0f);
    EXPECT_EQ(sun.castsLight, 1);
    EXPECT_EQ(sun.physics, 0);
    EXPECT_EQ(sun.model, -1);
    EXPECT_EQ(sun.texture, -1);
    EXPECT_EQ(sun.mass, 10.0f);
    EXPECT_EQ(sun.hidden, 0);
    EXPECT_EQ(sun.tint.a, 255);
}

TEST(DefaultMap, NoTextureBuildsGroundWithoutOne)
{
    auto ui = std::make_unique<UiState>();
    UiStateStartValues(*ui, 0, 0);
    auto map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    DefaultMap(map.get(), *ui);
    EXPECT_EQ(ui->curTexture, -1);
    EXPECT_EQ(map->brushes[0].texture, -1);
}
