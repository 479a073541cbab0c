// bench_map.h: the Render view's full map, shared by its benchmark and the GPU tests that compare
// its images.
#pragma once

#include <cstring>

#include "document/primitives.h"

// 256 brushes of every shape on a 16 x 16 grid, each of its own colour, some turned, some with
// Fit faces, and 256 entities of every kind above them: lights of all three kinds among them.
inline void RenderBenchMap(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    for (int b = 0; b < kMaxBrushes; b++) {
        Brush *brush = &map->brushes[b];
        Vector3 at = { (float)(b % 16) * 2.5f - 20.0f, (float)(b % 3) * 0.5f, (float)(b / 16) * 2.5f - 20.0f };
        BrushInit(brush, b % kBrushShapeCount, at, Vector3{ 1.5f, 1.0f + (float)(b % 4), 1.5f }, 0);
        brush->colour = Color{ (unsigned char)(120 + b % 100), 160, (unsigned char)(200 - b % 80), 255 };
        if (b % 4 == 1) brush->rotation = Vector3{ 0, 30.0f, 0 };
        if (b % 5 == 2) brush->faces[0].projection = PROJ_FIT;
    }
    map->brushCount = kMaxBrushes;
    for (int i = 0; i < kMaxEntities; i++) {
        Entity *e = &map->entities[i];
        Vector3 at = { (float)(i % 16) * 2.5f - 20.0f, 6.0f, (float)(i / 16) * 2.5f - 20.0f };
        EntityInitLight(e, i % kEntityKindCount, at, Color{ 255, 230, 200, 255 }, 1.0f, 12.0f, 20.0f, 40.0f);
        e->rotation = Vector3{ 60.0f, (float)(i * 7), 0 };
    }
    map->entityCount = kMaxEntities;
}
