// The shadow caster pick, which reads only the gathered lights and the settings (no OpenGL).
#include <gtest/gtest.h>

#include "render/lights.h"
#include "render/renderer.h"
#include "render/settings.h"

TEST(ShadowCaster, TheBrightestWinsASunFirstAmongAllGatheredLights)
{
    const LightingSettings saved = gLighting;
    gLighting.shadowArea = 10.0f;
    Camera3D cam = {};
    gLightCount = 0;
    EXPECT_FALSE(PickShadowCaster(Vector3{ 0, 0, 0 }, &cam));
    // Nine lamps of brightness 50, then a sun of 0.5 beyond the eight uploaded, then an equal sun.
    gLightCount = 11;
    for (int i = 0; i < gLightCount; i++) {
        gLights[i] = LightInfo{ {}, { 0, 0, 1 }, { 1, 1, 1 }, 50.0f, 20.0f, 1, 1, ENTITY_LIGHT };
    }
    gLights[9] = LightInfo{ {}, { 0, -2, 0 }, { 1, 1, 1 }, 0.5f, 20.0f, 1, 1, ENTITY_LIGHT_ENVIRONMENT };
    gLights[10] = gLights[9];
    gLights[10].direction = Vector3{ 1, 0, 0 };
    ASSERT_TRUE(PickShadowCaster(Vector3{ 1, 2, 3 }, &cam));
    // The ninth light's straight-down direction: 16 units above the centre, up along +Z.
    EXPECT_FLOAT_EQ(cam.position.y, 2.0f + 1.6f * 10.0f);
    EXPECT_FLOAT_EQ(cam.up.z, 1.0f);
    EXPECT_FLOAT_EQ(cam.fovy, 20.0f);
    EXPECT_EQ(cam.projection, CAMERA_ORTHOGRAPHIC);
    int list[kMaxShaderLights];                 // the caster takes the last of the eight uploaded places
    ASSERT_EQ(ShaderLightList(list), kMaxShaderLights);
    EXPECT_EQ(list[6] * 100 + list[7], 609);
    // Without the suns the first lamp wins; a zero direction falls back to a slanted default.
    gLightCount = 9;
    gLights[0].direction = Vector3{ 0, 0, 0 };
    ASSERT_TRUE(PickShadowCaster(Vector3{ 0, 0, 0 }, &cam));
    EXPECT_GT(cam.position.y, 0.0f);
    EXPECT_FLOAT_EQ(cam.up.y, 1.0f);
    ShaderLightList(list);                      // a caster among the first eight moves nothing
    EXPECT_EQ(list[7], 7);
    gLightCount = 0;
    gLighting = saved;
}
