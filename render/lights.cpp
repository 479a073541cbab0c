// lights.cpp: light gathering and CPU shading.
#include "render/lights.h"

#include <cmath>

#include "raymath.h"
#include "document/brush_geometry.h"
#include "document/problem_check.h"
#include "document/settings.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
LightInfo gLights[kMaxLights];
int gLightCount = 0;

static constexpr float kKeyLightBase = 0.55f;    // fixed key light: floor of the shade
static constexpr float kKeyLightGain = 0.45f;    // and what facing it fully adds
static constexpr float kMinConeWidth = 0.0001f;  // a narrower soft edge is a hard edge

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static unsigned char ScaleChannel(unsigned char base, float factor);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void GatherLights(const MapDoc *map)
{
    gLightCount = 0;
    if (gSettings.lighting != 1) return;
    int count = ClampCount(map->entityCount, kMaxEntities);
    for (int i = 0; i < count && gLightCount < kMaxLights; i++) {
        const Entity *e = &map->entities[i];
        if (e->castsLight != 1) continue;
        if (!EntityIsLight(e)) continue;
        LightInfo *l = &gLights[gLightCount++];
        l->position = e->position;
        l->direction = EntityForward(e->rotation);
        l->colour[0] = e->lightColour.r / 255.0f;
        l->colour[1] = e->lightColour.g / 255.0f;
        l->colour[2] = e->lightColour.b / 255.0f;
        l->brightness = e->brightness;
        l->range = (e->range > kMinLightRange) ? e->range : kDefaultLightRange;
        float outer = (e->innerCone > e->outerCone) ? e->innerCone : e->outerCone;
        l->cosInner = cosf(e->innerCone * kDegToRad);
        l->cosOuter = cosf(outer * kDegToRad);
        l->type = e->kind;
    }
}

Color ShadeSurface(Vector3 point, Vector3 normal, Color base)
{
    if (gSettings.lighting != 1 || gLightCount <= 0) {
        static const Vector3 key = Vector3Normalize(Vector3{ 0.45f, 0.8f, 0.35f });
        float s = kKeyLightBase + kKeyLightGain * fmaxf(0.0f, Vector3DotProduct(normal, key));
        return Color{ ScaleChannel(base.r, s), ScaleChannel(base.g, s), ScaleChannel(base.b, s), base.a };
    }

    float sum[3] = { gSettings.ambient, gSettings.ambient, gSettings.ambient };
    for (int i = 0; i < gLightCount && i < kMaxLights; i++) {
        const LightInfo *l = &gLights[i];
        float a = 1.0f;
        Vector3 toLight;
        if (l->type == ENTITY_LIGHT_ENVIRONMENT) {
            toLight = Vector3Negate(l->direction);
        } else {
            float d = Vector3Distance(l->position, point);
            if (d > l->range) continue;
            toLight = Vector3Normalize(Vector3Subtract(l->position, point));
            float fall = 1.0f - d / l->range;
            a = fall * fall;
            if (l->type == ENTITY_LIGHT_SPOT) {
                float c = Vector3DotProduct(Vector3Negate(toLight), l->direction);
                if (c < l->cosOuter) continue;
                if (c < l->cosInner) {
                    float w = l->cosInner - l->cosOuter;
                    float t = (w > kMinConeWidth) ? (c - l->cosOuter) / w : 1.0f;
                    a *= t * t;
                }
            }
        }
        float nl = Vector3DotProduct(normal, toLight);
        if (!(nl > 0.0f)) continue;
        for (int c = 0; c < 3; c++) sum[c] += l->colour[c] * l->brightness * (nl * a);
    }
    for (int c = 0; c < 3; c++) {
        if (sum[c] > kMaxLightSum) sum[c] = kMaxLightSum;   // a NaN sum stays NaN and shades black
    }
    return Color{ ScaleChannel(base.r, sum[0]), ScaleChannel(base.g, sum[1]), ScaleChannel(base.b, sum[2]), base.a };
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// base x factor truncated, held inside 0..255: map files carry unchecked brightness and ambient
// values, and a negative, huge or NaN product must not be converted to a byte unchecked.
static unsigned char ScaleChannel(unsigned char base, float factor)
{
    float v = (float)base * factor;
    if (!(v > 0.0f)) return 0;
    if (v >= 255.0f) return 255;
    return (unsigned char)v;
}
