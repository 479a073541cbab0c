// Light gathering and CPU shading: which entities become lights, and the shaded values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "document/brush_geometry.h"
#include "document/problem_check.h"
#include "document/settings.h"
#include "render/lights.h"

class Lights : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = gSettings;
        memset(&map, 0, sizeof(map));
        SettingsForTests().editor.lighting = 1;
        SettingsForTests().editor.ambient = 0.35f;
    }
    void TearDown() override { SettingsForTests().editor = saved; }

    Entity *Add(int kind, Vector3 pos)
    {
        Entity *e = &map.entities[map.entityCount++];
        memset(e, 0, sizeof(*e));
        e->kind = kind;
        e->position = pos;
        e->castsLight = 1;
        e->lightColour = Color{ 255, 255, 255, 255 };
        e->brightness = 1.0f;
        e->range = 20.0f;
        return e;
    }

    EditorSettings saved;
    MapDoc map;
};

static const Color kWhite = { 255, 255, 255, 255 };
static const Vector3 kUp = { 0, 1, 0 };

TEST_F(Lights, GatherKeepsTheFirst32QualifyingLightsOnlyWhileLightingIsOn)
{
    for (int i = 0; i < 40; i++) Add(ENTITY_LIGHT, Vector3{ (float)i, 0, 0 });
    SettingsForTests().editor.lighting = 0;
    GatherLights(&map);
    EXPECT_EQ(gLightCount, 0);
    SettingsForTests().editor.lighting = 1;
    GatherLights(&map);
    ASSERT_EQ(gLightCount, kMaxLights);
    EXPECT_EQ(gLights[31].position.x, 31.0f);
}

TEST_F(Lights, GatherSkipsNonCastersAndOtherKindsButKeepsHiddenLights)
{
    Add(ENTITY_LIGHT, Vector3{ 0, 0, 0 })->castsLight = 0;
    Add(ENTITY_GENERIC, Vector3{ 1, 0, 0 });
    Add(ENTITY_PROP_PHYSICS, Vector3{ 2, 0, 0 });
    Add(ENTITY_PLAYER_START, Vector3{ 3, 0, 0 });
    Add(ENTITY_LIGHT_SPOT, Vector3{ 4, 0, 0 })->hidden = 1;
    Add(ENTITY_LIGHT, Vector3{ 5, 0, 0 })->castsLight = 2;   // only exactly 1 counts
    GatherLights(&map);
    ASSERT_EQ(gLightCount, 1);
    EXPECT_EQ(gLights[0].type, ENTITY_LIGHT_SPOT);
}

TEST_F(Lights, GatherFillsRangeColourConesAndDirection)
{
    Entity *p = Add(ENTITY_LIGHT, Vector3{ 0, 0, 0 });
    p->range = 0.0f;
    p->lightColour = Color{ 255, 0, 51, 255 };
    Entity *s = Add(ENTITY_LIGHT_SPOT, Vector3{ 0, 0, 0 });
    s->innerCone = 50.0f;
    s->outerCone = 30.0f;
    s->rotation = Vector3{ 90, 0, 0 };
    GatherLights(&map);
    ASSERT_EQ(gLightCount, 2);
    EXPECT_EQ(gLights[0].range, kDefaultLightRange);
    EXPECT_NEAR(gLights[0].colour[2], 0.2f, 1e-6f);
    EXPECT_NEAR(gLights[1].cosInner, cosf(50.0f * kDegToRad), 1e-6f);
    EXPECT_EQ(gLights[1].cosOuter, gLights[1].cosInner);         // the outer takes the inner's value
    Vector3 f = EntityForward(s->rotation);
    EXPECT_EQ(gLights[1].direction.y, f.y);
}

TEST_F(Lights, ShadeAmbientOnlyAndSaturatedSun)
{
    Add(ENTITY_LIGHT, Vector3{ 100, 0, 0 });                     // out of range
    GatherLights(&map);
    Color c = ShadeSurface(Vector3{ 0, 0, 0 }, kUp, kWhite);
    EXPECT_EQ(c.r, 89); EXPECT_EQ(c.g, 89); EXPECT_EQ(c.b, 89); EXPECT_EQ(c.a, 255);

    Entity *sun = Add(ENTITY_LIGHT_ENVIRONMENT, Vector3{ 0, 0, 0 });
    sun->rotation = Vector3{ 90, 0, 0 };                         // shining straight down
    sun->brightness = 5.0f;
    GatherLights(&map);
    c = ShadeSurface(Vector3{ 0, 0, 0 }, kUp, Color{ 200, 100, 50, 7 });
    EXPECT_EQ(c.r, 255); EXPECT_EQ(c.g, 200); EXPECT_EQ(c.b, 100); EXPECT_EQ(c.a, 7);   // sum capped at 2
}

TEST_F(Lights, PointLightFallsOffToNothingAtItsRange)
{
    SettingsForTests().editor.ambient = 0.0f;
    Add(ENTITY_LIGHT, Vector3{ 0, 10, 0 });
    GatherLights(&map);
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 5, 0 }, kUp, kWhite).r, 143);    // (1 - 5/20)^2 = 0.5625
    EXPECT_EQ(ShadeSurface(Vector3{ 0, -10, 0 }, kUp, kWhite).r, 0);    // exactly at the range
    EXPECT_EQ(ShadeSurface(Vector3{ 0, -11, 0 }, kUp, kWhite).r, 0);    // beyond it
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 5, 0 }, Vector3{ 0, -1, 0 }, kWhite).r, 0);   // facing away
}

TEST_F(Lights, SpotLightConeHasASoftEdgeBetweenInnerAndOuter)
{
    SettingsForTests().editor.ambient = 0.0f;
    Entity *s = Add(ENTITY_LIGHT_SPOT, Vector3{ 0, 10, 0 });
    s->rotation = Vector3{ 90, 0, 0 };                          // pointing down
    s->innerCone = 10.0f;
    s->outerCone = 30.0f;
    GatherLights(&map);
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 0, 0 }, kUp, kWhite).r, 63);     // on the axis: (1 - 10/20)^2 = 0.25
    // 20 degrees off the axis: between the two cones, attenuated by t squared.
    float x = 10.0f * tanf(20.0f * kDegToRad);
    float d = sqrtf(100.0f + x * x);
    float c = 10.0f / d;
    float t = (c - cosf(30.0f * kDegToRad)) / (cosf(10.0f * kDegToRad) - cosf(30.0f * kDegToRad));
    float a = (1.0f - d / 20.0f) * (1.0f - d / 20.0f) * t * t;
    EXPECT_EQ(ShadeSurface(Vector3{ x, 0, 0 }, kUp, kWhite).r, (int)(255.0f * a * c));
    EXPECT_EQ(ShadeSurface(Vector3{ 10, 0, 0 }, kUp, kWhite).r, 0);    // 45 degrees: outside the cone

    s->innerCone = 50.0f;                                        // inner beyond outer: a hard edge
    GatherLights(&map);
    EXPECT_EQ(ShadeSurface(Vector3{ 10, 0, 0 }, kUp, kWhite).r, (int)(255.0f * 0.2928932f * 0.2928932f * 0.7071068f));
}

TEST_F(Lights, FixedKeyLightWhenLightingIsOffOrNoLightIsHeld)
{
    GatherLights(&map);                                          // no lights
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 0, 0 }, Vector3{ 0, -1, 0 }, kWhite).r, 140);   // 255 x 0.55
    Vector3 key = { 0.45f, 0.8f, 0.35f };
    float len = sqrtf(0.45f * 0.45f + 0.64f + 0.35f * 0.35f);
    key = Vector3{ key.x / len, key.y / len, key.z / len };
    EXPECT_NEAR(ShadeSurface(Vector3{ 0, 0, 0 }, key, Color{ 100, 100, 100, 255 }).r, 100, 1);   // facing it fully
    Add(ENTITY_LIGHT_ENVIRONMENT, Vector3{ 0, 0, 0 });
    GatherLights(&map);
    SettingsForTests().editor.lighting = 0;   // lights held, but lighting off
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 0, 0 }, kUp, kWhite).r, (int)(255.0f * (0.55f + 0.45f * 0.8f / len)));
}

TEST_F(Lights, UncheckedMapValuesShadeWithinZeroTo255)
{
    Entity *sun = Add(ENTITY_LIGHT_ENVIRONMENT, Vector3{ 0, 0, 0 });
    sun->rotation = Vector3{ 90, 0, 0 };
    sun->brightness = -1000.0f;
    GatherLights(&map);
    Color c = ShadeSurface(Vector3{ 0, 0, 0 }, kUp, kWhite);
    EXPECT_EQ(c.r, 0); EXPECT_EQ(c.g, 0); EXPECT_EQ(c.b, 0);
    sun->brightness = std::numeric_limits<float>::quiet_NaN();
    GatherLights(&map);
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 0, 0 }, kUp, kWhite).r, 0);
    sun->brightness = 1e30f;
    GatherLights(&map);
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 0, 0 }, kUp, kWhite).r, 255);
    SettingsForTests().editor.ambient = -3.0f;   // nothing reaches a face turned away
    EXPECT_EQ(ShadeSurface(Vector3{ 0, 0, 0 }, Vector3{ 0, -1, 0 }, kWhite).r, 0);
}
