// clip.h: cutting brushes with planes and with the strokes drawn by the Clip tool.
#pragma once

#include <cstdint>
#include "raylib.h"

enum ClipKeep : int32_t {
    CLIP_KEEP_FRONT = 0,
    CLIP_KEEP_BACK = 1,
    CLIP_KEEP_BOTH = 2,
};

// A point p is in front when dot(normal, p) - dist > 0.
struct ClipPlane {
    Vector3 normal;      // unit
    float dist;
    int32_t keep;        // ClipKeep
};

// One line or arc drawn in a 2D view.
struct ClipStroke {
    Vector3 start;       // world points of the drawn line
    Vector3 end;
    float bulge;         // signed sagitta of an arc
    int32_t segments;    // 2..16 for an arc
    uint8_t arc;
    int32_t keep;        // ClipKeep
    int32_t view;        // ViewKind 1..3 it was drawn in
};
