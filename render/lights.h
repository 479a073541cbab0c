// lights.h: the map's lights gathered once per frame, and per-face CPU shading.
//
// The CPU shading here reads gLights and gives one colour per face. The table is rebuilt from nothing by every GatherLights; hidden lights count like visible ones.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

constexpr int kMaxLights = 32;
constexpr float kDefaultLightRange = 20.0f;      // used when a light's range is 0.01 or less
constexpr float kMinLightRange = 0.01f;
constexpr float kMaxLightSum = 2.0f;             // a channel's light sum is capped here

struct LightInfo {
    Vector3 position;
    Vector3 direction;       // unit forward of the entity's rotation, for every kind
    float colour[3];         // 0..1
    float brightness;
    float range;
    float cosInner;
    float cosOuter;
    int32_t type;            // EntityKind: 1 point, 2 spot, 3 sun
};

extern LightInfo gLights[kMaxLights];
extern int gLightCount;

// Rebuilds gLights from the map: nothing while lighting is off, else the first 32 entities of
// kind 1, 2 or 3 that cast light, in index order.
void GatherLights(const MapDoc *map);
// Lit colour of a surface point with a unit world normal: ambient plus the gathered lights, or a
// fixed key light when lighting is off or no light is held. Channels stay within 0..255.
Color ShadeSurface(Vector3 point, Vector3 normal, Color base);
