// The map-object builtin families (brush., face., ent.) on empty, sample and full maps, the
// missing-object answers, and the refusals that keep every brush one the tools could have made.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "document/brush_geometry.h"
#include "document/map_limits.h"
#include "support/brush_check.h"
#include "support/builtin_rows.h"
#include "support/script_run.h"

// Check helpers for rows: the map holds these counts, this brush is valid, the map is unchanged.
static std::function<void(const MapDoc &)> Counts(int brushes, int entities)
{
    return [=](const MapDoc &m) { EXPECT_EQ(m.brushCount, brushes); EXPECT_EQ(m.entityCount, entities); };
}
static std::function<void(const MapDoc &)> ValidBrush(int b)
{
    return [=](const MapDoc &m) { EXPECT_TRUE(BrushIsValid(m.brushes[b])); EXPECT_GT(BrushVolume(m.brushes[b]), 0.0); };
}
static std::function<void(const MapDoc &)> Unchanged(const MapDoc &before)
{
    const MapDoc *start = &before;
    return [start](const MapDoc &m) { EXPECT_EQ(memcmp(&m, start, sizeof(MapDoc)), 0); };
}

TEST(BuiltinsBrush, ReadAndPlaceOnTheSampleMap)
{
    auto map = SampleMap();
    RunBuiltinRows({
        { "PUSH 0|CALL brush.vertcount|PUSH 0|CALL brush.facecount|PUSH 5|CALL brush.vertcount|PUSH -1|CALL brush.facecount",
          { 8, 6, -1, -1 } },
        { "PUSH 1.9|CALL brush.posx|PUSH 3|CALL brush.posy|PUSH 2|CALL brush.posz|PUSH 3|CALL brush.sizex|PUSH 4|CALL brush.roty",
          { 5, 5, 5, 1, 90 } },
        { "PUSH 1|CALL brush.shape|PUSH 2|CALL brush.shape|PUSH 7|CALL brush.shape|PUSH 0|CALL brush.gettex", { 1, 3, -1, -1 } },
        { "PUSH 3|PUSH 6|CALL brush.getx|PUSH 3|PUSH 6|CALL brush.gety|PUSH 0|PUSH 8|CALL brush.getx", { 0.5f, 0.5f, 0 } },
        // Faces stay as they are: the top is bent now, the bottom is not.
        { "PUSH 0|PUSH 6|PUSH 3|PUSH 4|PUSH 5|CALL brush.setv|PUSH 0|PUSH 6|CALL brush.gety|PUSH 0|PUSH 0|CALL face.planarerr",
          { 1, 4, 0 }, [](const MapDoc &m) { EXPECT_GT(FacePlanarError(&m.brushes[0], &m.brushes[0].faces[1]), 0.1f); } },
        { "PUSH 0|PUSH 1|PUSH 2|PUSH 3|CALL brush.setpos|PUSH 0|PUSH 10|PUSH 20|PUSH 30|CALL brush.setrot", { 1, 1 },
          [](const MapDoc &m) {
              EXPECT_EQ(m.brushes[0].origin.z, 3.0f);
              EXPECT_EQ(m.brushes[0].rotation.x, 10.0f);
              EXPECT_EQ(m.brushes[0].rotation.z, 30.0f);
          } },
        { "PUSH 1|CALL brush.minx|PUSH 1|CALL brush.maxx|PUSH 4|CALL brush.minx|PUSH 3|CALL brush.centrey|PUSH 3|CALL brush.maxy",
          { 4, 6, -6, 5, 5.5f } },
        { "PUSH 3|CALL brush.volume|PUSH 0|CALL brush.volume|PUSH 9|CALL brush.volume", { 1, 8, 0 } },
        // Scaling about the centroid: x doubles, z goes to the 0.01 floor.
        { "PUSH 0|PUSH 4|PUSH 2|PUSH 0|CALL brush.setsize|PUSH 0|CALL brush.maxx|PUSH 0|CALL brush.sizez|PUSH 0|CALL brush.volume",
          { 1, 2, 0.01f, 0.08f }, ValidBrush(0) },
        { "PUSH 0|PUSH 7|CALL brush.settex|PUSH 0|CALL brush.gettex|PUSH 0|PUSH 3|CALL face.tex", { 1, 7, -1 } },
        { "PUSH 0|PUSH 0.6|CALL brush.hide|PUSH 0|CALL brush.ishidden|PUSH 0|PUSH -3|CALL brush.setmass|PUSH 0|CALL brush.mass",
          { 1, 1, 1, 0 } },
        { "PUSH 0|PUSH 300|PUSH -5|PUSH 12.7|CALL brush.setcol|PUSH 0|CALL brush.colr|PUSH 0|CALL brush.colg|PUSH 0|CALL brush.colb",
          { 1, 255, 0, 12 } },
    }, *map);

    // A brush whose size X is 0 scales nothing on X but stores the new size.
    map->brushes[0].size.x = 0.0f;
    RunBuiltinRows({ { "PUSH 0|PUSH 3|PUSH 2|PUSH 2|CALL brush.setsize|PUSH 0|CALL brush.maxx|PUSH 0|CALL brush.sizex",
                       { 1, 1, 3 } } }, *map);
}

TEST(BuiltinsBrush, CreateCloneDeleteAndRebuild)
{
    auto empty = EmptyMap(), sample = SampleMap(), full = FullMap();
    RunBuiltinRows({
        { "PUSH 9|PUSH 1|PUSH 2|PUSH 3|PUSH 0|PUSH 0|PUSH -1|CALL brush.add", { 0 },
          [](const MapDoc &m) {
              ASSERT_EQ(m.brushCount, 1);
              EXPECT_STREQ(m.brushes[0].name, "Mod_0");
              EXPECT_EQ(m.brushes[0].shape, SHAPE_CUBE);
              EXPECT_EQ(m.brushes[0].origin.y, 2.0f);
              EXPECT_EQ(m.brushes[0].size.z, 0.01f);
              EXPECT_TRUE(BrushIsValid(m.brushes[0]));
          } },
        { "PUSH 0|CALL brush.clone|PUSH 0|CALL brush.delete", { -1, 0 }, Counts(0, 0) },
    }, *empty);
    RunBuiltinRows({
        { "PUSH 1|PUSH 0|PUSH 0|PUSH 0|PUSH 1|PUSH 2|PUSH 3|CALL brush.add|PUSH 5|CALL brush.sizey", { 5, 2 },
          [](const MapDoc &m) { EXPECT_STREQ(m.brushes[5].name, "Mod_5"); EXPECT_EQ(m.brushes[5].shape, SHAPE_CYLINDER); } },
        { "PUSH 2|CALL brush.clone", { 5 },
          [](const MapDoc &m) {
              EXPECT_STREQ(m.brushes[5].name, "Copy_5");
              EXPECT_EQ(memcmp(m.brushes[5].faces, m.brushes[2].faces, sizeof(m.brushes[2].faces)), 0);
          } },
        { "PUSH 1|CALL brush.delete|CALL map.brushcount|PUSH 5|CALL brush.delete", { 1, 4, 0 },
          [](const MapDoc &m) { EXPECT_STREQ(m.brushes[1].name, "B2"); EXPECT_STREQ(m.brushes[3].name, "B4"); } },
        { "PUSH 4|PUSH 2|CALL brush.rebuild|PUSH 4|CALL brush.shape|PUSH 4|CALL brush.roty|PUSH 0|PUSH 5|CALL brush.rebuild",
          { 1, 2, 90, 0 }, [](const MapDoc &m) { EXPECT_STREQ(m.brushes[4].name, "B4"); EXPECT_TRUE(BrushIsValid(m.brushes[4])); } },
    }, *sample);
    RunBuiltinRows({
        { "PUSH 0|PUSH 0|PUSH 0|PUSH 0|PUSH 1|PUSH 1|PUSH 1|CALL brush.add|PUSH 3|CALL brush.clone", { -1, -1 }, Unchanged(*full) },
    }, *full);
}

TEST(BuiltinsBrush, TopologyAndClipGoThroughTheToolsOperations)
{
    auto sample = SampleMap(), full = FullMap();
    // Face 0 of a cube is its bottom: corners 0 and 2 of it are a diagonal, 0 and 1 an edge.
    const std::string edge = "PUSH 0|PUSH 0|PUSH 0|PUSH 0|CALL face.vert|PUSH 0|PUSH 0|PUSH 1|CALL face.vert|";
    RunBuiltinRows({
        { "PUSH 0|PUSH 0|PUSH 1|CALL brush.extrude|PUSH 0|CALL brush.facecount|PUSH 0|PUSH 10|PUSH 1|CALL brush.extrude",
          { 1, 10, 0 }, ValidBrush(0) },
        { (edge + "CALL brush.splitedge|PUSH 0|PUSH 1|PUSH 1|CALL brush.splitedge|PUSH 7|PUSH 0|PUSH 1|CALL brush.splitedge").c_str(),
          { 8, -1, -1 }, ValidBrush(0) },
        { "PUSH 0|PUSH 0|CALL brush.weld|PUSH 0|PUSH nan|CALL brush.weld", { 0, 0 } },
        { "PUSH 2|PUSH 0|CALL brush.flip|PUSH 2|PUSH 3|CALL brush.flip|PUSH 2|PUSH -1|CALL brush.flip", { 1, 0, 0 }, ValidBrush(2) },
        { "PUSH 0|PUSH 0|CALL brush.subdivide|PUSH 0|PUSH 48|CALL brush.subdivide", { 4, 0 }, ValidBrush(0) },
        { "PUSH 0|PUSH 0|PUSH 0|PUSH 0|PUSH 0|CALL face.vert|PUSH 0|PUSH 0|PUSH 2|CALL face.vert|CALL face.split|PUSH 0|CALL brush.facecount",
          { 1, 7 }, ValidBrush(0) },
        { ("PUSH 0|" + edge + "CALL face.split").c_str(), { 0 } },   // an edge is no diagonal
        // Clip: the front part (x > 0) stays in the slot, the back part comes last as Clip_5.
        { "PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0|PUSH 2|CALL brush.clip|PUSH 0|CALL brush.minx|PUSH 5|CALL brush.maxx", { 2, 0, 0 },
          [](const MapDoc &m) {
              ASSERT_EQ(m.brushCount, 6);
              EXPECT_STREQ(m.brushes[5].name, "Clip_5");
              EXPECT_TRUE(BrushIsValid(m.brushes[0]));
              EXPECT_TRUE(BrushIsValid(m.brushes[5]));
          } },
        { "PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0|PUSH 1|CALL brush.clip|PUSH 0|CALL brush.maxx|PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0.5|PUSH 7|CALL brush.clip",
          { 1, 0, 0 }, Counts(5, 3) },
        { "PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 5|PUSH 2|CALL brush.clip|PUSH 9|PUSH 1|PUSH 0|PUSH 0|PUSH 0|PUSH 2|CALL brush.clip",
          { 0, -1 }, Unchanged(*sample) },
    }, *sample);
    // A full map cannot take the back part: keeping both refuses, keeping one still cuts.
    RunBuiltinRows({
        { "PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0|PUSH 2|CALL brush.clip", { 0 }, Unchanged(*full) },
        { "PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0|PUSH 0|CALL brush.clip|PUSH 0|CALL brush.minx", { 1, 0 }, ValidBrush(0) },
    }, *full);

    // A face turned inward is turned back.
    FaceReverse(&sample->brushes[3].faces[2]);
    RunBuiltinRows({ { "PUSH 3|CALL brush.fixwind|PUSH 3|CALL brush.volume", { 1, 1 }, ValidBrush(3) } }, *sample);
    // The L of two extrusions: a face turned inward is turned back without turning the others, and
    // a plane through both legs is refused as not convex, not as a miss.
    Brush &ell = sample->brushes[0];
    ell = ExtrudedL();
    FaceReverse(&ell.faces[FaceFacing(ell, Vector3{ 0, -1, 0 }, 0.0f)]);
    RunBuiltinRows({ { "PUSH 0|CALL brush.fixwind|PUSH 0|CALL brush.volume|PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0.5|PUSH 2|CALL brush.clip",
                       { 1, 56, -2 }, [](const MapDoc &m) {
                           Brush want = ExtrudedL();
                           EXPECT_EQ(memcmp(&m.brushes[0], &want, sizeof(Brush)), 0);
                           EXPECT_EQ(m.brushCount, 5);
                       } } }, *sample);
}

TEST(BuiltinsFace, PlacementFieldsAndMeasures)
{
    auto map = SampleMap();
    RunBuiltinRows({
        { "PUSH 0|PUSH 0|CALL face.vertcount|PUSH 0|PUSH 6|CALL face.vertcount|PUSH 0|PUSH 0|PUSH 4|CALL face.vert|PUSH 0|PUSH 6|CALL face.tex",
          { 4, -1, -1, -1 } },
        { "PUSH 0|PUSH 0|CALL face.ny|PUSH 0|PUSH 4|CALL face.nx|PUSH 0|PUSH 0|CALL face.cy|PUSH 0|PUSH 4|CALL face.cx",
          { -1, 1, -1, 1 } },
        { "PUSH 0|PUSH 0|CALL face.area|PUSH 3|PUSH 1|CALL face.area|PUSH 2|PUSH 3|CALL face.area|PUSH 0|PUSH 0|CALL face.planarerr",
          { 4, 1, 2, 0 } },
        { "PUSH 0|PUSH 1|PUSH 0|PUSH 3|CALL face.setscale|PUSH 0|PUSH 1|CALL face.scaleu|PUSH 0|PUSH 1|CALL face.scalev",
          { 1, 1, 3 } },
        { "PUSH 0|PUSH 1|PUSH 3|CALL face.setproj|PUSH 0|PUSH 1|PUSH 2.9|CALL face.setproj|PUSH 0|PUSH 1|CALL face.proj|PUSH 0|PUSH 9|CALL face.proj",
          { 0, 1, 2, -1 } },
        { "PUSH 0|PUSH 1|PUSH 1|PUSH 0.2|CALL face.setflip|PUSH 0|PUSH 1|CALL face.flipu|PUSH 0|PUSH 1|CALL face.flipv", { 1, 1, 0 } },
        { "PUSH 0|PUSH 1|PUSH 300|PUSH 128|PUSH -1|CALL face.settint|PUSH 0|PUSH 1|CALL face.tintr|PUSH 0|PUSH 1|CALL face.tintg|PUSH 0|PUSH 1|CALL face.tintb",
          { 1, 255, 128, 0 }, [](const MapDoc &m) { EXPECT_EQ(m.brushes[0].faces[1].tint.a, 255); } },
        { "PUSH 0|PUSH 1|PUSH 5|CALL face.settex|PUSH 0|PUSH 1|CALL face.tex|PUSH 0|PUSH 1|PUSH 1e10|CALL face.settex|PUSH 0|PUSH 1|CALL face.tex",
          { 1, 5, 0, 5 } },
    }, *map);
}

TEST(BuiltinsEntity, CreateEditAndDelete)
{
    auto empty = EmptyMap(), sample = SampleMap(), full = FullMap();
    RunBuiltinRows({
        { "PUSH 3|PUSH 1|PUSH 2|PUSH 3|CALL ent.add|PUSH 9|PUSH 0|PUSH 0|PUSH 0|CALL ent.add|PUSH 1|CALL ent.kind", { 0, 1, 0 },
          [](const MapDoc &m) {
              const Entity &sun = m.entities[0], &other = m.entities[1];
              EXPECT_STREQ(sun.name, "Mod_0"); EXPECT_STREQ(other.name, "Mod_1");
              EXPECT_STREQ(sun.className, "light_environment");
              EXPECT_TRUE(sun.castsLight && !other.castsLight);
              EXPECT_EQ(sun.position.z, 3.0f); EXPECT_FLOAT_EQ(sun.brightness, 1.2f); EXPECT_EQ(sun.range, 16.0f);
              EXPECT_EQ(sun.innerCone, 25.0f); EXPECT_EQ(sun.outerCone, 45.0f);
              EXPECT_TRUE(sun.model == -1 && sun.texture == -1 && sun.mass == 10.0f && sun.tint.a == 255);
          } },
    }, *empty);
    RunBuiltinRows({
        { "PUSH 1|CALL ent.posy|PUSH 0|CALL ent.kind|PUSH 3|CALL ent.kind|PUSH 3|CALL ent.model|PUSH 3|CALL ent.posx", { 2, 3, -1, -1, 0 } },
        { "PUSH 2|PUSH 0|PUSH -1|PUSH 0|CALL ent.aim|PUSH 2|CALL ent.rotx|PUSH 2|PUSH 0|PUSH 0|PUSH 0|CALL ent.aim", { 1, 90, 0 } },
        { "PUSH 2|PUSH 0|CALL ent.setscale|PUSH 2|CALL ent.scale|PUSH 2|PUSH 0|CALL ent.setrange|PUSH 2|CALL ent.range",
          { 1, 0.001f, 1, 0.1f } },
        // A prop turned into a light keeps castsLight 0 until ent.setcasts.
        { "PUSH 1|PUSH 1|CALL ent.setkind|PUSH 1|CALL ent.casts|PUSH 1|PUSH 6|CALL ent.setkind|PUSH 1|PUSH 1|CALL ent.setcasts|PUSH 1|CALL ent.casts",
          { 1, 0, 0, 1, 1 }, [](const MapDoc &m) { EXPECT_STREQ(m.entities[1].className, "light"); } },
        { "PUSH 0|PUSH 300|PUSH 20|PUSH -4|PUSH 2.5|CALL ent.setlight|PUSH 0|CALL ent.lightr|PUSH 0|CALL ent.lightg|PUSH 0|CALL ent.lightb|PUSH 0|CALL ent.bright",
          { 1, 255, 20, 0, 2.5f } },
        { "PUSH 0|PUSH 60|PUSH 30|CALL ent.setcone|PUSH 0|CALL ent.inner|PUSH 0|CALL ent.outer|PUSH 0|PUSH 0|PUSH 120|CALL ent.setcone|PUSH 0|CALL ent.inner|PUSH 0|CALL ent.outer",
          { 1, 60, 60, 1, 1, 89 } },
        { "PUSH 1|PUSH -2|CALL ent.setmass|PUSH 1|CALL ent.mass", { 1, 0 } },
        { "PUSH 1|PUSH 3|CALL ent.setmodel|PUSH 1|PUSH nan|CALL ent.setmodel|PUSH 1|CALL ent.model|PUSH 1|PUSH 5|CALL ent.settex|PUSH 1|CALL ent.tex",
          { 1, 0, 3, 1, 5 } },
        { "PUSH 0|CALL ent.delete|CALL map.entcount|PUSH 0|CALL ent.kind|PUSH 2|CALL ent.delete", { 1, 2, 4, 0 } },
    }, *sample);
    RunBuiltinRows({ { "PUSH 1|PUSH 0|PUSH 0|PUSH 0|CALL ent.add", { -1 }, Unchanged(*full) } }, *full);
}

TEST(BuiltinsFaults, BadIndicesAndCodesNameNoObject)
{
    ScriptEnvGuard guard;
    UiState &ui = guard.LinkEditor();
    auto map = SampleMap();
    ModTool tool = {};
    for (const char *bad : { "nan", "inf", "-inf", "3e9", "-3e9" }) {
        SCOPED_TRACE(bad);
        ui.selBrush = 4;
        const std::string b = std::string("PUSH ") + bad + "|";
        std::string text = b + "PUSH 9|PUSH 9|PUSH 9|CALL brush.setpos|" + b + "PUSH 9|PUSH 9|PUSH 9|CALL ent.setpos|" + b +
                           "CALL brush.delete|" + b + "CALL ent.delete|" + b + "CALL sel.setbrush|PUSH 0|" + b +
                           "PUSH 5|CALL face.settex|PUSH 0|" + b + "CALL brush.settex|" + b +
                           "PUSH 0|PUSH 0|PUSH 0|PUSH 1|PUSH 1|PUSH 1|CALL brush.add|" + b + "PUSH 0|PUSH 0|PUSH 0|CALL ent.add|" +
                           "PUSH 0|PUSH 1|PUSH 0|PUSH 0|PUSH 0|" + b + "CALL brush.clip|" + b + "CALL mod.get|" + b +
                           "CALL brush.vertcount|" + b + "CALL set.setquality";
        auto run = RunScriptOn(ScriptLines(text), *map, -1, -1, &tool);
        ASSERT_TRUE(run->ran);
        EXPECT_EQ(run->Stack(), (std::vector<float>{ 0, 0, 0, 0, 0, 0, 0, -1, -1, 0, 0, -1, 0 }));
        EXPECT_EQ(memcmp(run->map.get(), map.get(), sizeof(MapDoc)), 0);
        EXPECT_EQ(ui.selBrush, 4);
    }
}

TEST(BuiltinsFaults, RefusedEditsLeaveTheBrushAsItWas)
{
    auto map = SampleMap();
    map->brushes[3].size.x = 0.001f;   // so large a new size overflows the scaled vertices
    RunBuiltinRows({
        { "PUSH 0|PUSH 0|PUSH nan|PUSH 0|PUSH 0|CALL brush.setv|PUSH 0|PUSH 8|PUSH 0|PUSH 0|PUSH 0|CALL brush.setv|"
          "PUSH 0|PUSH inf|PUSH 0|PUSH 0|CALL brush.setpos|PUSH 0|PUSH 0|PUSH -inf|PUSH 0|CALL brush.setrot|"
          "PUSH 0|PUSH nan|PUSH 1|PUSH 1|CALL brush.setsize|PUSH 3|PUSH 3e38|PUSH 1|PUSH 1|CALL brush.setsize|"
          "PUSH 0|PUSH 0|PUSH inf|CALL brush.extrude|PUSH 0|PUSH nan|CALL brush.setmass|PUSH 0|PUSH 0|PUSH nan|PUSH 1|CALL face.setscale|"
          "PUSH 0|PUSH 0|PUSH 0|PUSH 1e39|PUSH 1|PUSH 1|PUSH 1|CALL brush.add|PUSH 0|PUSH 1|PUSH nan|PUSH 0|PUSH 0|PUSH 0|CALL brush.clip",
          { 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0 }, Unchanged(*map) },
    }, *map);
}

TEST(BuiltinsFaults, NumbersPastTheScaleLimitAreHeldAndInfinitiesRefused)
{
    auto map = SampleMap();
    RunBuiltinRows({
        // 1e38 x 10 is an infinity by the time a builtin sees it.
        { "PUSH 0|PUSH 1e38|PUSH 10|MUL|CALL ent.setscale|PUSH 0|PUSH 0|PUSH 1e38|PUSH 10|MUL|PUSH 0|CALL brush.setpos",
          { 0, 0 }, Unchanged(*map) },
        { "PUSH 1|PUSH 1e9|CALL ent.setscale|PUSH 1|CALL ent.scale", { 1, kMapScaleLimit } },
        // Sizes are held at the limit; the cube of size 1 grows to it, vertices at half of it.
        { "PUSH 0|PUSH 0|PUSH 0|PUSH 0|PUSH 3e38|PUSH 1|PUSH 1|CALL brush.add|CALL brush.sizex", { kMapScaleLimit } },
        { "PUSH 3|PUSH 2e6|PUSH 1|PUSH 1|CALL brush.setsize|PUSH 3|CALL brush.sizex|PUSH 3|PUSH 0|CALL brush.getx",
          { 1, kMapScaleLimit, -0.5f * kMapScaleLimit } },
    }, *map);
    // A size whose old value is tiny would carry the vertices past the limit: refused.
    map->brushes[3].size.x = 0.001f;
    RunBuiltinRows({ { "PUSH 3|PUSH 1e4|PUSH 1|PUSH 1|CALL brush.setsize", { 0 }, Unchanged(*map) } }, *map);
}

TEST(BuiltinsFaults, DeletingKeepsTheEditorsSelectionOnItsObject)
{
    ScriptEnvGuard guard;
    UiState &ui = guard.LinkEditor();
    auto map = SampleMap();
    struct Case { const char *script; int selBefore, selAfter; };
    const Case brushCases[] = { { "PUSH 1|CALL brush.delete", 3, 2 }, { "PUSH 3|CALL brush.delete", 3, -1 },
                                { "PUSH 4|CALL brush.delete", 2, 2 }, { "PUSH 7|CALL brush.delete", 3, 3 } };
    for (const Case &c : brushCases) {
        ui.selBrush = c.selBefore;
        auto run = RunScriptOn(ScriptLines(c.script), *map);
        EXPECT_EQ(ui.selBrush, c.selAfter) << c.script;
        // The selection names the same brush it named before the delete.
        if (c.selAfter >= 0) {
            EXPECT_STREQ(run->map->brushes[c.selAfter].name, map->brushes[c.selBefore].name) << c.script;
        }
    }
    const Case entityCases[] = { { "PUSH 0|CALL ent.delete", 2, 1 }, { "PUSH 2|CALL ent.delete", 2, -1 },
                                 { "PUSH 2|CALL ent.delete", 1, 1 } };
    for (const Case &c : entityCases) {
        ui.selEntity = c.selBefore;
        RunScriptOn(ScriptLines(c.script), *map);
        EXPECT_EQ(ui.selEntity, c.selAfter) << c.script;
    }
}
