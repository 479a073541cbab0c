// builtin_rows.h: table-driven builtin tests: sample maps, the editor link and the rows runner.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "document/map_records.h"
#include "document/settings.h"
#include "editor/ui_state.h"
#include "script/mods.h"

// One row: a script ('|' between instructions), the stack it leaves (deepest first) and an
// optional check of the map it ran on.
struct BuiltinRow {
    const char *script;
    std::vector<float> stack;
    std::function<void(const MapDoc &)> check = nullptr;
};

// Runs every row on its own copy of map (selection and tool as given); values compared within 1e-4.
void RunBuiltinRows(const std::vector<BuiltinRow> &rows, const MapDoc &map, int selBrush = -1, int selEntity = -1,
                    ModTool *tool = nullptr);

// Five brushes and three entities:
// brush 0 cube at (0,0,0) size 2; 1 cylinder at (5,0,0) size 2; 2 wedge at (0,0,5) size 2;
// 3 cube at (0,5,0) size 1; 4 cube at (-5,0,0) size 2 turned 90 degrees of yaw.
// entity 0 sun at (6,10,6); 1 prop_physics at (1,2,3); 2 generic at (0,0,0); only the sun casts light.
std::unique_ptr<MapDoc> SampleMap(void);
// 256 unit cubes named B0.. and 256 generic entities: every table full.
std::unique_ptr<MapDoc> FullMap(void);
std::unique_ptr<MapDoc> EmptyMap(void);

// Keeps the settings, snapping, the mod registry's counts and flags and the editor link as they were before a test, and
// on request links a UiState with its start values through gEd.
struct ScriptEnvGuard {
    EditorSettings settings = gSettings;
    LightingSettings lighting = gLighting;
    SnapSettings snap = gSnap;
    EditorContext link = gEd;
    bool exitRequested = gMods.exitRequested, undoRequested = gMods.undoRequested;
    int modCount = gMods.count, activeMod = gMods.activeMod, activeTool = gMods.activeTool;
    int modelCount, textureCount;
    std::unique_ptr<UiState> ui;

    // Fills gEd from a fresh UiState with its start values and start cameras, the views in a
    // 2 x 2 grid of 400 x 300 from (0,0) (3D, top / front, side), and asset counts of 2 models
    // and 3 textures; returns the state.
    UiState &LinkEditor(void);
    ScriptEnvGuard();
    ~ScriptEnvGuard();
};
