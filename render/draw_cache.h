// draw_cache.h: each brush's world-space drawing geometry, kept until the brush changes.
//
// The views draw every brush in every frame they redraw; the world positions, texture
// coordinates, fan triangles and unique edges depend only on the brush record (and on which
// textures are usable), so they are built once per change, found by a hash over what drawing
// reads. CPU shading is not kept: it depends on the lights. Also here: the test that sends
// nothing to a view that lies wholly outside it.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

constexpr int kMaxCacheCorners = kMaxBrushFaces * kMaxFaceCorners;
constexpr int kMaxCacheEdges = kMaxBrushFaces * kMaxFaceCorners;   // every face edge distinct
constexpr int kCachePoints = kMaxBrushVerts + 1;                   // the last is the origin

// One face as drawn: its corners are cornerStart .. cornerStart + count - 1 of the cache.
struct CachedFace {
    int32_t cornerStart, count;
    Vector3 normal;                      // world
    Color tint;
};

struct BrushDrawCache {
    uint64_t hash;                       // of what drawing read when this was built
    int32_t built;
    Vector3 points[kCachePoints];        // world positions by vertex; bad indices use the origin
    int32_t faceCount;                   // faces of 3 or more corners, in texture-group order
    CachedFace faces[kMaxBrushFaces];
    int32_t groupCount;                  // runs of faces sharing one texture
    int32_t groupStart[kMaxBrushFaces];
    uint32_t groupTexture[kMaxBrushFaces];
    int16_t cornerPoint[kMaxCacheCorners];   // index into points
    Vector2 cornerUV[kMaxCacheCorners];
    int32_t edgeCount;                   // each undirected face edge once
    int16_t edges[kMaxCacheEdges][2];    // indices into points
    BoundingBox bounds;                  // of every point drawn
};

// The six planes of a camera's view volume (a x + b y + c z + d >= 0 inside).
struct ViewVolume {
    Vector4 planes[6];
};

extern BrushDrawCache gBrushDrawCache[kMaxBrushes];
extern int gDrawUncached;                // 1: draw straight from the records (the reference picture)
extern int gBrushCacheRebuilds;          // builds since start; tests count them

// h followed by what a camera sees from: its place, aim, up, field and projection.
uint64_t HashCamera(uint64_t h, Camera3D camera);
// Hash over everything the views read to draw the brush's geometry (not its flags).
uint64_t BrushDrawHash(const Brush *brush);
// Builds the cache entry from the brush; hash is stored as given.
void BrushDrawCacheBuild(BrushDrawCache *cache, const Brush *brush, uint64_t hash);
// Rebuilds slot `index` when the brush's hash changed; returns 1 when it rebuilt.
int BrushDrawCacheUpdate(int index, const Brush *brush);
// Brings every used slot of the map up to date; returns the number rebuilt.
int MapDrawCacheUpdate(const MapDoc *map);
// Marks every slot stale (the next update rebuilds all).
void DrawCacheClear(void);
// All faces of a cached brush as triangles, one batch per texture, coloured colour x face tint.
void DrawCachedSolid(const BrushDrawCache *cache, Color colour);
// Each unique edge once as a line, inside an open RL_LINES batch.
void EmitCachedEdges(const BrushDrawCache *cache, Color colour);
// The view volume of the camera mode now open (rlgl's current modelview and projection).
ViewVolume ViewVolumeCurrent(void);
// 1 when some part of the box may lie inside the volume, 0 when it is wholly outside.
int ViewVolumeHasBox(const ViewVolume *volume, BoundingBox box);
