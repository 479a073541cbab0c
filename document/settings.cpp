// settings.cpp: start values of the editor, snapping and lighting settings.
#include "document/settings.h"

const char *const kQualityName[kQualityCount] = { "Off (CPU)", "Low", "Medium", "High" };

EditorSettings gSettings = {
    0.5f,                     // gridStep
    0.2f,                     // flySpeed
    0.25f,                    // vertexSize
    60,                       // targetFps
    Color{ 40, 40, 40, 255 }, // view3DBackground
    Color{ 0, 0, 0, 255 },    // view2DBackground
    1,                        // show2DGrid
    1,                        // show3DGrid
    75.0f,                    // fovy
    0.35f,                    // ambient
    1,                        // lighting
    1,                        // gizmoIcons
    1.0f,                     // gizmoSize
};

SnapSettings gSnap = { 1, 0, 1, 1, 15.0f, 0.25f };

LightingSettings gLighting = {
    QUALITY_MEDIUM, // quality
    1,              // shadows
    1,              // ssao
    0.0022f,        // shadowBias
    26.0f,          // shadowArea
    0.55f,          // aoRadius
    1.0f,           // aoStrength
    0.12f,          // specular
    2.2f,           // gamma
};
