// mesh_cache.h: one uploaded mesh per brush slot for the GPU renderer, rebuilt only on change.
//
// Nothing tells the cache about edits: SyncBrushMeshes re-hashes every brush at the end of each
// frame (only while the GPU renderer is ready) and re-bakes the slots whose hash changed. Meshes
// are non-indexed triangles in the brush's local space with face normals and texture coordinates;
// the brush transform, colour and texture are applied when drawing, so they are not hashed.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

constexpr uint32_t kFnvOffsetBasis = 0x811C9DC5u;
constexpr uint32_t kFnvPrime = 16777619u;

struct MeshCacheEntry {
    Mesh mesh;
    bool valid;              // mesh holds an uploaded mesh
    uint32_t hash;           // BrushGeometryHash when last baked
    int32_t triangleCount;
};

extern MeshCacheEntry gMeshCache[kMaxBrushes];   // indexed by brush slot

// FNV-1a of the data a baked mesh depends on: vertices, faces with their placement and tint, and
// the brush transform after each World face.
uint32_t BrushGeometryHash(const Brush *brush);
// Sum of (corners - 2) over the faces with more than 2 corners.
int BrushTriangleCount(const Brush *brush);
// Fills a zeroed mesh's arrays with the brush's triangles, not uploaded; 0 (mesh left zero) when the
// brush has no triangles or memory runs out.
int BrushMeshFill(const Brush *brush, Mesh *mesh);
// Rebuilds and uploads the entry's mesh; the entry stays invalid when the brush has no triangles
// or memory runs out.
void BakeBrushMesh(const Brush *brush, MeshCacheEntry *entry);
// Brings every entry up to date with the map; returns how many brushes were baked.
int SyncBrushMeshes(const MapDoc *map);
// Unloads every mesh and clears every entry.
void FreeMeshCache(void);
