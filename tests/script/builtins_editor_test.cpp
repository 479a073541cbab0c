// The editor-side builtin families: selection and tool, map counts and grid, cameras, snapping,
// settings, assets, input, the running tool and the plain helpers, with and without the link.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "support/builtin_rows.h"
#include "support/script_run.h"

TEST(BuiltinsSelection, LinkedEditorFollowsTheScript)
{
    ScriptEnvGuard guard;
    UiState &ui = guard.LinkEditor();
    auto map = SampleMap();
    auto sel = [&ui](int brush, int entity) {
        return [&ui, brush, entity](const MapDoc &) { EXPECT_EQ(ui.selBrush, brush); EXPECT_EQ(ui.selEntity, entity); };
    };
    RunBuiltinRows({
        // The run's own selection stays what it was when the run started.
        { "PUSH 3|CALL sel.setbrush|CALL sel.brush|CALL sel.entity", { 1, 1, -1 }, sel(3, -1) },
        { "PUSH 2.9|CALL sel.setbrush", { 1 }, sel(2, -1) },
        { "PUSH 5|CALL sel.setbrush|PUSH -1|CALL sel.setbrush", { 0, 0 }, sel(2, -1) },
        { "PUSH -0.5|CALL sel.setentity", { 1 }, sel(-1, 0) },
        { "PUSH 3|CALL sel.setentity|CALL sel.clear", { 0, 1 }, sel(-1, -1) },
        { "PUSH 5|CALL sel.settool|CALL sel.tool|PUSH 6|CALL sel.settool|CALL sel.tool", { 1, 5, 0, 5 } },
        { "PUSH -1|CALL sel.settexture|CALL sel.texture|PUSH 3|CALL sel.settexture|PUSH 2|CALL sel.settexture",
          { 1, -1, 0, 1 } },
        { "PUSH 1|CALL sel.setmodel|CALL sel.model|PUSH 2|CALL sel.setmodel|PUSH -2|CALL sel.setmodel", { 1, 1, 0, 0 } },
    }, *map, 1, -1);
    EXPECT_EQ(ui.curTexture, 2);
}

TEST(BuiltinsSelection, WithoutTheLinkNothingIsTouched)
{
    ScriptEnvGuard guard;
    gEd.valid = 0;
    auto map = SampleMap();
    RunBuiltinRows({
        { "CALL sel.brush|PUSH 0|CALL sel.setbrush|PUSH 0|CALL sel.setentity|CALL sel.clear", { 1, 0, 0, 0 } },
        { "CALL sel.tool|CALL sel.texture|CALL sel.model|PUSH 1|CALL sel.settool", { -1, -1, -1, 0 } },
        { "CALL cam.posx|PUSH 1|PUSH 2|PUSH 3|CALL cam.setpos|CALL cam.zoom|PUSH 10|CALL cam.setzoom", { 0, 0, 0, 0 } },
        { "CALL mouse.vp|CALL mouse.worldx", { -1, 0 } },
        // The families that need no link still work.
        { "CALL map.grid|CALL snap.rotstep|CALL map.brushcount", { 0.5f, 15, 5 } },
        { "PUSH 1|CALL brush.delete|CALL map.brushcount", { 1, 4 } },
    }, *map, 1, -1);
}

TEST(BuiltinsMap, CountsGridAndClearing)
{
    ScriptEnvGuard guard;
    auto map = SampleMap();
    RunBuiltinRows({
        { "CALL map.brushcount|CALL map.entcount|CALL map.grid", { 5, 3, 0.5f } },
        { "PUSH 0|CALL map.setgrid|PUSH 64.5|CALL map.setgrid|PUSH nan|CALL map.setgrid|CALL map.grid", { 0, 0, 0, 0.5f } },
        { "CALL map.clearbrushes|CALL map.brushcount", { 5, 0 }, [](const MapDoc &m) { EXPECT_EQ(m.entityCount, 3); } },
        { "CALL map.clearents", { 3 }, [](const MapDoc &m) { EXPECT_EQ(m.brushCount, 5); } },
        { "PUSH 0.75|CALL snap|PUSH -0.75|CALL snap|PUSH 0.7|CALL snap", { 1, -1, 0.5f } },
        { "PUSH 64|CALL map.setgrid|CALL map.grid|PUSH 40|CALL snap", { 1, 64, 64 } },
        { "PUSH 1|PUSH 2|PUSH 3|PUSH 4|PUSH 6|PUSH 3|CALL dist3|PUSH 1|PUSH 2|PUSH 3|PUSH 4|PUSH 5|PUSH 6|CALL dot3|"
          "PUSH 3|PUSH 4|PUSH 12|CALL len3", { 5, 32, 13 } },
    }, *map);
    RunBuiltinRows({ { "CALL map.clearbrushes|CALL map.brushcount", { 0, 0 } } }, *EmptyMap());
}

TEST(BuiltinsCamera, MovesAimsAndZooms)
{
    ScriptEnvGuard guard;
    UiState &ui = guard.LinkEditor();   // camera at (12, 10, 12) looking at the origin, zoom 16
    auto map = EmptyMap();
    RunBuiltinRows({
        { "CALL cam.posx|CALL cam.posy|CALL cam.posz|CALL cam.fov|CALL cam.zoom", { 12, 10, 12, 75, 16 } },
        { "PUSH 1|PUSH 2|PUSH 3|CALL cam.setpos|CALL cam.targetx|CALL cam.targety|CALL cam.targetz", { 1, -11, -8, -9 } },
        { "PUSH 1|PUSH 2|PUSH 13|CALL cam.settarget|CALL cam.yaw|CALL cam.pitch|CALL cam.fwdz", { 1, 0, 0, 1 } },
        { "PUSH 1|PUSH 12|PUSH 3|CALL cam.lookat|CALL cam.pitch|CALL cam.fwdy", { 1, 90, 1 } },
        // Aimed at its own position: a zero direction, yaw atan2(0, 0) and pitch 0.
        { "PUSH 1|PUSH 2|PUSH 3|CALL cam.settarget|CALL cam.yaw|CALL cam.pitch|CALL cam.fwdx", { 1, 0, 0, 0 } },
        { "PUSH 90|PUSH 90|CALL cam.setangles|CALL cam.pitch|CALL cam.yaw", { 1, 1.5533f * 57.295776f, 90 },
          [&ui](const MapDoc &) {
              EXPECT_NEAR(ui.cam3D.target.x, 1.0f + cosf(1.5533f), 1e-5f);
              EXPECT_NEAR(ui.cam3D.target.y, 2.0f + sinf(1.5533f), 1e-5f);
              EXPECT_NEAR(ui.cam3D.target.z, 3.0f, 1e-5f);
          } },
        { "PUSH 9|CALL cam.setfov|PUSH 150.5|CALL cam.setfov|PUSH 150|CALL cam.setfov|CALL cam.fov", { 0, 0, 1, 150 } },
        { "PUSH 0|PUSH 0|CALL cam.setangles|PUSH 1|PUSH 1|PUSH 1|PUSH 0|CALL cam.orbit|CALL cam.posx|CALL cam.posy|CALL cam.posz",
          { 1, 1, 1, 1, 0 } },
        { "PUSH 2|CALL cam.dolly|CALL cam.posz|CALL cam.targetz", { 1, 2, 3 } },
        { "PUSH nan|PUSH 0|PUSH 0|CALL cam.setpos|PUSH inf|CALL cam.dolly|CALL cam.posz", { 0, 0, 2 } },
        // The 2D cameras take a new zoom at once, so the views show what clicks map to.
        { "PUSH 0.1|CALL cam.setzoom|PUSH 5000|CALL cam.setzoom|PUSH 4999|CALL cam.setzoom|CALL cam.zoom", { 0, 0, 1, 4999 },
          [&ui](const MapDoc &) { EXPECT_TRUE(ui.cam2D[0].fovy == 4999 && ui.cam2D[1].fovy == 4999 && ui.cam2D[2].fovy == 4999); } },
    }, *map);

    auto run = RunScript(ScriptLines("PUSH 1|PUSH 2|CALL cam.setpos"));
    EXPECT_FALSE(run->ran);
    EXPECT_STREQ(run->state->error, "stack underflow");
}

TEST(BuiltinsSettings, SnappingSettingsAndAssets)
{
    ScriptEnvGuard guard;
    guard.LinkEditor();
    auto map = EmptyMap();
    RunBuiltinRows({
        { "CALL snap.move|CALL snap.rot|CALL snap.scale|CALL snap.vertex|CALL snap.rotstep", { 1, 1, 0, 1, 15 } },
        { "PUSH 0.4|CALL snap.setmove|CALL snap.move|PUSH -0.6|CALL snap.setscale|PUSH nan|CALL snap.setvertex|CALL snap.vertex",
          { 1, 0, 1, 1, 0 } },
        { "PUSH 0.05|CALL snap.setrotstep|PUSH 180|CALL snap.setrotstep|CALL snap.rotstep", { 0, 1, 180 } },
        { "PUSH 5|CALL set.setambient|CALL set.ambient|PUSH -1|CALL set.setambient|CALL set.ambient", { 1, 2, 1, 0 } },
        { "PUSH 0|CALL set.setflyspeed|CALL set.flyspeed", { 1, 0.001f } },
        { "PUSH 0.1|CALL set.setgamma|CALL set.gamma|PUSH nan|CALL set.setgamma|CALL set.gamma", { 1, 0.5f, 0, 0.5f } },
        { "PUSH 0.2|CALL set.setgizmos|CALL set.gizmos", { 1, 0 } },
        { "CALL set.quality|PUSH 4|CALL set.setquality|PUSH 3.7|CALL set.setquality|CALL set.quality", { 2, 0, 1, 3 },
          [](const MapDoc &) { EXPECT_EQ(gLighting.quality, QUALITY_HIGH); } },
        { "CALL asset.texcount|CALL asset.modelcount", { 3, 2 } },
    }, *map);
    EXPECT_EQ(gSnap.scale, 1);
}

// Until the editor shares its settings, the builtins that reach them answer as for a missing object.
TEST(BuiltinsSettings, WithoutTheSharedRecordGettersAnswerZeroAndSettersRefuse)
{
    ScriptEnvGuard guard;
    const SettingsRecord *shared = gScriptGlobals.settings;
    gScriptGlobals.settings = nullptr;
    auto map = EmptyMap();
    RunBuiltinRows({
        { "CALL map.grid|PUSH 1|CALL map.setgrid|PUSH 0.7|CALL snap", { 0, 0, 0.7f } },
        { "CALL snap.move|PUSH 0|CALL snap.setmove|CALL set.quality|PUSH 1|CALL set.setquality", { 0, 0, 0, 0 } },
    }, *map);
    gScriptGlobals.settings = shared;
    EXPECT_EQ(gSettings.gridStep, 0.5f);
    EXPECT_EQ(gSnap.move, 1);
    EXPECT_EQ(gLighting.quality, QUALITY_MEDIUM);
}

TEST(BuiltinsInput, ViewsUnderTheMouseAndKeys)
{
    // Without a window the mouse stays at (0, 0) and no key is held.
    ScriptEnvGuard guard;
    UiState &ui = guard.LinkEditor();
    auto map = EmptyMap();
    RunBuiltinRows({ { "CALL mouse.vp|CALL mouse.worldx", { 0, 0 } } }, *map);   // over the 3D view
    // The top view 100 pixels right of the mouse: 100 of its 300-pixel height of 16 units to the left.
    ui.viewRect[VIEW_3D] = Rectangle{ 1000, 0, 400, 300 };
    ui.viewRect[VIEW_TOP] = Rectangle{ -100, -150, 400, 300 };
    RunBuiltinRows({ { "CALL mouse.vp|CALL mouse.worldx|CALL mouse.worldy|CALL mouse.worldz", { 1, -16.0f / 3, 0, 0 } } },
                   *map);
    ui.viewRect[VIEW_TOP] = Rectangle{ 1000, 300, 400, 300 };   // the mouse over no view, as over a panel
    RunBuiltinRows({
        { "CALL mouse.vp|CALL mouse.worldz", { -1, 0 } },
        { "PUSH 65|CALL key.down|PUSH 65|CALL key.up|PUSH 0|CALL key.up|PUSH nan|CALL key.up|CALL key.any", { 0, 1, 0, 0, 0 } },
        { "PUSH 3|CALL mouse.down|CALL key.shift|CALL sys.time", { 0, 0, 0 } },
    }, *map);
}

TEST(BuiltinsMod, SlotsFramesAndRequests)
{
    ScriptEnvGuard guard;
    auto map = EmptyMap();
    gMods.exitRequested = gMods.undoRequested = false;
    RunBuiltinRows({
        { "CALL mod.ismode|CALL mod.frame|PUSH 0|CALL mod.get|PUSH 0|PUSH 1|CALL mod.set|CALL mod.exit|CALL mod.pushundo",
          { 0, 0, 0, 0, 1, 1 }, [](const MapDoc &) { EXPECT_TRUE(gMods.exitRequested && gMods.undoRequested); } },
    }, *map);
    std::unique_ptr<ModTool> oneShot(new ModTool());
    oneShot->frame = 5;   // only mode-tool frames count
    RunBuiltinRows({
        { "CALL mod.frame|CALL mod.active|PUSH 31|PUSH 7|CALL mod.set|PUSH 32|CALL mod.get|PUSH -1|PUSH 2|CALL mod.set|"
          "PUSH nan|CALL mod.get", { 0, 0, 1, 0, 0, 0 } },
        { "PUSH 31.5|CALL mod.get", { 7 } },   // kept between runs
    }, *map, -1, -1, oneShot.get());

    ModTool *mode = &gMods.mods[0].tools[0];
    gMods.count = gMods.mods[0].toolCount = 1;
    gMods.activeMod = gMods.activeTool = 0;
    mode->isMode = true;
    mode->frame = 4;
    RunBuiltinRows({ { "CALL mod.ismode|CALL mod.active|CALL mod.frame", { 1, 1, 4 } } }, *map, -1, -1, mode);
    gMods.activeTool = 1;
    RunBuiltinRows({ { "CALL mod.active", { 0 } } }, *map, -1, -1, mode);
    memset(&gMods.mods[0], 0, sizeof(ModPackage));
}

TEST(BuiltinsPlain, LogWritesAndPassesItsValue)
{
    auto run = RunScript(ScriptLines("PUSH 2.5|CALL log"));
    EXPECT_EQ(run->Stack(), (std::vector<float>{ 2.5f }));
    EXPECT_STREQ(run->state->log, "2.5\n");
}
