// builtin_rows.cpp: the rows runner, sample maps and the editor link for builtin tests.
#include "support/builtin_rows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "document/primitives.h"
#include "editor/startup.h"
#include "project/assets.h"
#include "support/script_run.h"

void RunBuiltinRows(const std::vector<BuiltinRow> &rows, const MapDoc &map, int selBrush, int selEntity, ModTool *tool)
{
    for (const BuiltinRow &row : rows) {
        SCOPED_TRACE(row.script);
        auto run = RunScriptOn(ScriptLines(row.script), map, selBrush, selEntity, tool);
        ASSERT_TRUE(run->assembled) << run->program->error;
        ASSERT_TRUE(run->ran) << run->state->error;
        std::vector<float> stack = run->Stack();
        ASSERT_EQ(stack.size(), row.stack.size());
        for (size_t i = 0; i < stack.size(); i++) {
            if (std::isnan(row.stack[i])) EXPECT_TRUE(std::isnan(stack[i])) << i;
            else EXPECT_NEAR(stack[i], row.stack[i], 1e-4f * fmaxf(1.0f, fabsf(row.stack[i]))) << i;
        }
        if (row.check) row.check(*run->map);
    }
}

std::unique_ptr<MapDoc> EmptyMap(void)
{
    return std::unique_ptr<MapDoc>(new MapDoc());   // value-initialised: all zero
}

std::unique_ptr<MapDoc> SampleMap(void)
{
    std::unique_ptr<MapDoc> map = EmptyMap();
    const struct { int shape; Vector3 origin; float size; } brushes[] = {
        { SHAPE_CUBE, { 0, 0, 0 }, 2 }, { SHAPE_CYLINDER, { 5, 0, 0 }, 2 }, { SHAPE_WEDGE, { 0, 0, 5 }, 2 },
        { SHAPE_CUBE, { 0, 5, 0 }, 1 }, { SHAPE_CUBE, { -5, 0, 0 }, 2 },
    };
    for (int i = 0; i < 5; i++) {
        float s = brushes[i].size;
        BrushInit(&map->brushes[i], brushes[i].shape, brushes[i].origin, Vector3{ s, s, s }, -1);
        snprintf(map->brushes[i].name, kNameLen, "B%d", i);
    }
    map->brushes[4].rotation = Vector3{ 0, 90, 0 };
    map->brushCount = 5;
    const struct { int kind; Vector3 position; } entities[] = {
        { ENTITY_LIGHT_ENVIRONMENT, { 6, 10, 6 } }, { ENTITY_PROP_PHYSICS, { 1, 2, 3 } }, { ENTITY_GENERIC, { 0, 0, 0 } },
    };
    for (int i = 0; i < 3; i++) {
        EntityInitLight(&map->entities[i], entities[i].kind, entities[i].position, Color{ 255, 255, 255, 255 }, 1, 16, 25, 45);
        map->entities[i].castsLight = (uint8_t)EntityIsLight(&map->entities[i]);
    }
    for (int i = 0; i < 3; i++) snprintf(map->entities[i].name, kNameLen, "E%d", i);
    map->entityCount = 3;
    return map;
}

std::unique_ptr<MapDoc> FullMap(void)
{
    std::unique_ptr<MapDoc> map = EmptyMap();
    for (int i = 0; i < kMaxBrushes; i++) {
        BrushInit(&map->brushes[i], SHAPE_CUBE, Vector3{ (float)i, 0, 0 }, Vector3{ 1, 1, 1 }, -1);
        snprintf(map->brushes[i].name, kNameLen, "B%d", i);
    }
    map->brushCount = kMaxBrushes;
    for (int i = 0; i < kMaxEntities; i++) {
        EntityInitLight(&map->entities[i], ENTITY_GENERIC, Vector3{ 0, (float)i, 0 }, Color{ 255, 255, 255, 255 }, 1,
                        16, 25, 45);
        snprintf(map->entities[i].name, kNameLen, "E%d", i);
    }
    map->entityCount = kMaxEntities;
    return map;
}

ScriptEnvGuard::ScriptEnvGuard() : modelCount(gAssets.modelCount), textureCount(gAssets.textureCount) {}

UiState &ScriptEnvGuard::LinkEditor(void)
{
    ui.reset(new UiState());
    memset(ui.get(), 0, sizeof(UiState));
    CamerasStartValues(*ui);
    UiStateStartValues(*ui, 2, 3);   // two models, three textures, as the asset counts say
    gAssets.modelCount = 2;
    gAssets.textureCount = 3;
    for (int v = 0; v < kViewCount; v++)
        ui->viewRect[v] = Rectangle{ (float)(v % 2) * 400.0f, (float)(v / 2) * 300.0f, 400.0f, 300.0f };
    EditorContextFill(&gEd, *ui);
    return *ui;
}

ScriptEnvGuard::~ScriptEnvGuard()
{
    SettingsForTests().editor = settings;
    SettingsForTests().lighting = lighting;
    SettingsForTests().snap = snap;
    gEd = link;
    gAssets.modelCount = modelCount;
    gAssets.textureCount = textureCount;
    gMods.exitRequested = exitRequested;
    gMods.undoRequested = undoRequested;
    gMods.count = modCount, gMods.activeMod = activeMod, gMods.activeTool = activeTool;
}
