// The shadow caster pick and the lighting variants' keys and sources, which read only the gathered
// lights and the settings (no OpenGL).
#include <gtest/gtest.h>

#include <cstring>

#include "document/settings.h"
#include "render/lights.h"
#include "render/renderer.h"

// Gathers lights from a pattern, one letter a light: 'L' a lamp, 'S' a sun, 's' a dimmer sun, 'B' a
// lamp far brighter than any sun (scripts may set any brightness).
static void GatherPattern(const char *pattern)
{
    gLightCount = (int)strlen(pattern);
    for (int i = 0; i < gLightCount; i++) {
        bool sun = pattern[i] == 'S' || pattern[i] == 's';
        float brightness = pattern[i] == 'B' ? 500.0f : pattern[i] == 's' ? 0.5f : sun ? 2.0f : 50.0f;
        gLights[i] = LightInfo{ {}, { 0, 0, 1 }, { 1, 1, 1 }, brightness, 20.0f, 1, 1,
                                sun ? ENTITY_LIGHT_ENVIRONMENT : ENTITY_LIGHT };
    }
}

TEST(ShadowCaster, TheBrightestSunCastsWhateverTheLamps)
{
    const struct {
        const char *lights;
        int caster;
    } cases[] = {
        { "", -1 },
        { "LLB", -1 },              // lamps never cast
        { "LsL", 1 },
        { "BsB", 1 },               // a lamp brighter than the sun leaves it the shadow
        { "sBS", 2 },               // the brighter of two suns
        { "SsS", 0 },               // the first of equals
        { "LLLLLLLLLs", 9 },        // beyond the eight uploaded
    };
    for (const auto &c : cases) {
        GatherPattern(c.lights);
        EXPECT_EQ(ShadowCasterIndex(), c.caster) << c.lights;
        Camera3D cam = {};
        EXPECT_EQ(PickShadowCaster(Vector3{ 0, 0, 0 }, &cam), c.caster >= 0) << c.lights;
    }
    gLightCount = 0;
}

TEST(ShadowCaster, TheCameraLooksAlongTheSunAndTheSunIsAmongTheUploadedLights)
{
    const LightingSettings saved = gLighting;
    SettingsForTests().lighting.shadowArea = 10.0f;
    GatherPattern("LLLLLLLLLSs");
    gLights[9].direction = Vector3{ 0, -2, 0 };
    Camera3D cam = {};
    ASSERT_TRUE(PickShadowCaster(Vector3{ 1, 2, 3 }, &cam));
    // The tenth light's straight-down direction: 16 units above the centre, up along +Z.
    EXPECT_FLOAT_EQ(cam.position.y, 2.0f + 1.6f * 10.0f);
    EXPECT_FLOAT_EQ(cam.up.z, 1.0f);
    EXPECT_FLOAT_EQ(cam.fovy, 20.0f);
    EXPECT_EQ(cam.projection, CAMERA_ORTHOGRAPHIC);
    int list[kMaxShaderLights];                 // the caster takes the last of the eight uploaded places
    ASSERT_EQ(ShaderLightList(list), kMaxShaderLights);
    EXPECT_EQ(list[6] * 100 + list[7], 609);
    // A sun among the first eight moves nothing; a zero direction falls back to a slanted default.
    GatherPattern("LSLLLLLLLL");
    gLights[1].direction = Vector3{ 0, 0, 0 };
    ASSERT_TRUE(PickShadowCaster(Vector3{ 0, 0, 0 }, &cam));
    EXPECT_GT(cam.position.y, 0.0f);
    EXPECT_FLOAT_EQ(cam.up.y, 1.0f);
    ShaderLightList(list);
    EXPECT_EQ(list[7], 7);
    gLightCount = 0;
    SettingsForTests().lighting = saved;
}

TEST(LitVariant, FixesThePassesAndEachSlotsKindRightAfterTheVersionLine)
{
    gLightCount = 3;
    gLights[0] = LightInfo{ {}, { 0, -1, 0 }, { 1, 1, 1 }, 1.0f, 20.0f, 1, 1, ENTITY_LIGHT };
    gLights[1] = gLights[0];
    gLights[1].type = ENTITY_LIGHT_SPOT;
    gLights[2] = gLights[0];
    gLights[2].type = ENTITY_LIGHT_ENVIRONMENT;
    const int list[3] = { 2, 0, 1 };
    uint32_t key = LitVariantKey(LIT_SHADOWS_HARD, true, list, 3);
    char *text = LitVariantSource("#version 330\nvoid main() {}\n", key);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "#version 330\n#define SHADOWS_ON true\n#define SHADOWS_SOFT false\n#define AO_ON true\n"
                       "#define LIGHT_SLOTS AddSun(0); AddLamp(1, false); AddLamp(2, true);\nvoid main() {}\n");
    MemFree(text);
    // Another order, pass or count is another program; a list past eight counts its first eight.
    const int reordered[3] = { 0, 2, 1 };
    EXPECT_NE(LitVariantKey(LIT_SHADOWS_HARD, true, reordered, 3), key);
    EXPECT_NE(LitVariantKey(LIT_SHADOWS_SOFT, true, list, 3), key);
    EXPECT_NE(LitVariantKey(LIT_SHADOWS_HARD, false, list, 3), key);
    EXPECT_NE(LitVariantKey(LIT_SHADOWS_HARD, true, list, 2), key);
    const int many[10] = { 2, 0, 1, 1, 1, 0, 0, 2, 2, 2 };
    EXPECT_EQ(LitVariantKey(LIT_SHADOWS_OFF, false, many, 10), LitVariantKey(LIT_SHADOWS_OFF, false, many, 8));
    // No version line: the defines come first; one without an end of line gets one.
    text = LitVariantSource("void main() {}", LitVariantKey(LIT_SHADOWS_OFF, false, list, 0));
    EXPECT_STREQ(text, "#define SHADOWS_ON false\n#define SHADOWS_SOFT false\n#define AO_ON false\n#define LIGHT_SLOTS\n"
                       "void main() {}");
    MemFree(text);
    text = LitVariantSource("#version 330", LitVariantKey(LIT_SHADOWS_OFF, false, list, 0));
    EXPECT_EQ(strncmp(text, "#version 330\n#define SHADOWS_ON false\n", 38), 0) << text;
    MemFree(text);
    gLightCount = 0;
}
