// map_file.h: saving and loading maps as ".zizudu" files.
//
// The format is little-endian and packed, with no checksum: an 8-byte magic "ZIZUDU2" (with its
// NUL), an i32 version (3 written; below 3 read with short faces), the brush records, the entity
// records. A file without the magic is read as the headerless first version, whose brushes were
// boxes. Hidden flags and entity tints are not stored. These functions write no messages; the
// callers turn 1 or 0 into their own status lines, with the reason a refused load keeps.
#pragma once

#include <cstddef>
#include "document/map_records.h"
#include "platform/platform.h"

constexpr char kMapMagic[8] = "ZIZUDU2";
constexpr int kMapMagicCompared = 7;           // the eighth byte (the NUL) is not compared
constexpr int kMapVersion = 3;                 // version written; below it faces are short
constexpr int kMapFaceFlagsVersion = 3;        // first version with projection, flips and tint

// Record sizes in the file.
constexpr int kMapHeaderBytes = 16;            // magic, version, brush count
constexpr int kMapBrushFixedBytes = 101;       // a brush record without its vertices and faces
constexpr int kMapFaceFixedBytes = 35;         // a version-3 face without its indices
constexpr int kMapShortFaceFixedBytes = 28;    // a face of version 2 or below without its indices
constexpr int kMapEntityBytes = 130;
constexpr int kMapV1BrushBytes = 296;
constexpr int kMapV1EntityBytes = 104;
constexpr float kMapV1MinDensity = 0.0001f;    // a headerless density this small or smaller means 2.0
constexpr float kMapV1DefaultScale = 2.0f;

// Largest file a full map makes; no valid file of any version needs more bytes than this.
constexpr size_t kMaxMapFileBytes = (size_t)kMapHeaderBytes + 4 + (size_t)kMapEntityBytes * kMaxEntities +
    (size_t)kMaxBrushes * (kMapBrushFixedBytes + 12 * kMaxBrushVerts +
                           (size_t)kMaxBrushFaces * (kMapFaceFixedBytes + 4 * kMaxFaceCorners));

// Writes map to path as a version-3 file (through a symbolic link, to the file it leads to);
// returns 1 once the new file is in place, or 0 leaving any earlier file at path as it was (the
// map holds a count or index a load would reject or a number that is not finite, the file is
// read-only or no regular file, its name is of a save's temporary file, or a write, flush or
// rename failed). MapSaveReason says why. A success may carry a warning (MapSaveWarning): after a
// failed flush of the folder the new file is in place but may not survive a power cut.
int SaveMapZIZUDU(const char *path, const MapDoc *map);
// SaveMapZIZUDU kept inside folder: refused, with nothing written, when path (through its links)
// ends outside folder, while folder itself may be reached through links.
int SaveMapZIZUDUWithin(const char *path, const char *folder, const MapDoc *map);
// Why the last failed save failed, a short lower-case phrase ("permission denied", "link leads
// outside the project"); every failed save sets it, a successful one leaves it.
const char *MapSaveReason(void);
// What the last successful save could not make sure of ("folder not flushed to disk: input/output
// error"), or "" when nothing.
const char *MapSaveWarning(void);
// The stamp of the file the last successful save put in place, taken from the file it wrote after
// the rename, so that no later writer's file can be taken for it.
PlatformStamp MapSavedStamp(void);
// Reads the file at path into map; returns 1, or 0 with map unchanged (unreadable, truncated or
// invalid file).
int LoadMapZIZUDU(const char *path, MapDoc *map);
// Why the last refused load refused its file, a short lower-case phrase ("file cut short").
const char *MapFileReason(void);
