// settings.h: the editor, snapping and lighting settings shared by drawing, tools, panels and
// scripts.
//
// The three records start from fixed values every run and are never saved or loaded.
#pragma once

#include <cstdint>
#include "raylib.h"

enum SkyStyle : int32_t { SKY_DAY = 0, SKY_SUNSET = 1, SKY_NIGHT = 2, SKY_GRID = 3 };

enum RenderQuality : uint32_t {
    QUALITY_OFF = 0,      // CPU shading only
    QUALITY_LOW = 1,
    QUALITY_MEDIUM = 2,
    QUALITY_HIGH = 3,
};
constexpr int kQualityCount = 4;
extern const char *const kQualityName[kQualityCount];

struct EditorSettings {
    float gridStep;
    float flySpeed;
    float vertexSize;            // Vertex tool handle size
    int32_t targetFps;
    Color view3DBackground;
    Color view2DBackground;
    uint8_t show2DGrid;
    uint8_t show3DGrid;
    float fovy;
    float ambient;
    uint8_t lighting;
    uint8_t gizmoIcons;
    float gizmoSize;
};

struct SnapSettings {
    uint8_t move;                        // snap moved objects to the grid
    uint8_t scale;                       // snap scaling to scaleStep
    uint8_t rotate;                      // snap rotation to rotStep
    uint8_t vertex;                      // snap dragged vertices to the grid
    float rotStep;                       // degrees
    float scaleStep;
};

struct LightingSettings {
    RenderQuality quality;
    uint8_t shadows;
    uint8_t ssao;
    float shadowBias;
    float shadowArea;            // shadow camera: view height 2 x area, distance 1.6 x area
    float aoRadius;
    float aoStrength;
    float specular;
    float gamma;
};

extern EditorSettings gSettings;
extern SnapSettings gSnap;
extern LightingSettings gLighting;
