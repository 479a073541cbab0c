// map_file.cpp: the ".zizudu" writer and reader, and the headerless first version's importer.
//
// A whole file is built in, or read into, one memory buffer and then written or parsed field by
// field, so the file system sees one large write or read. A load checks the whole file before it
// writes to the caller's map, so a bad file never damages the open map. A save goes to a new file
// of its own beside the target, which replaces the target only once it is complete on disk.
#include "document/map_file.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Stored numbers are little-endian; where the machine is too, runs of them are copied as they
// stand. Every Windows machine is.
#if (defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__) || defined(_WIN32)
#define KIRTO_LITTLE_ENDIAN 1
#endif
// Face indices are checked four at a time where SSE2 is there (every x86-64 compiler has it).
#if defined(KIRTO_LITTLE_ENDIAN) && (defined(__SSE2__) || defined(_M_X64))
#include <emmintrin.h>
#define KIRTO_SSE2_INDICES 1
#endif

#include "document/brush_geometry.h"
#include "document/map_limits.h"
#include "document/primitives.h"
#include "platform/platform.h"

static constexpr int kMaxPathLen = 1024;           // the file a save replaces, plus the temporary suffix
static constexpr int kSaveReasonLen = 96;
static constexpr Color kWhite = { 255, 255, 255, 255 };

// Headerless first version: field offsets inside a MapV1Brush and a MapV1Entity record.
static constexpr int kV1BrushOrigin = 0, kV1BrushSize = 12, kV1BrushRotation = 24, kV1BrushColour = 36;
static constexpr int kV1BrushTexture = 40, kV1BrushDensity = 44, kV1BrushOffset = 52, kV1BrushName = 160;
static constexpr int kV1BrushShape = 192, kV1BrushCorners = 196, kV1BrushCornersValid = 292;
static constexpr int kV1BrushCornerCount = 8;
static_assert(kV1BrushSize == kV1BrushOrigin + 12 && kV1BrushRotation == kV1BrushSize + 12 &&
              kV1BrushOffset == kV1BrushDensity + 8, "headerless brush floats run unbroken from origin and density");
static constexpr int kV1EntityPosition = 0, kV1EntityRotation = 12, kV1EntityScale = 24;
static constexpr int kV1EntityClass = 28, kV1EntityModel = 60, kV1EntityTexture = 64, kV1EntityName = 69;
// Headerless entities start with the values every entity of that time had.
static constexpr float kV1Brightness = 1.0f, kV1Range = 20.0f, kV1InnerCone = 25.0f, kV1OuterCone = 45.0f;
static constexpr float kV1Mass = 10.0f;

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct ByteWriter {
    uint8_t *data;
    size_t size;
    size_t capacity;
    int ok;              // 0 once a write did not fit
};

struct ByteReader {
    const uint8_t *data;
    size_t size;         // bytes of the file
    size_t pos;
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// Faces are the bulk of a file, and a stored face is laid out like the record up to its padding:
// the count, the indices in use, then texture to tint. The reader copies those runs whole.
static constexpr size_t kFaceTailOffset = offsetof(BrushFace, texture);
static constexpr size_t kFaceTailBytes = offsetof(BrushFace, tint) + sizeof(Color) - kFaceTailOffset;
static constexpr size_t kShortFaceTailBytes = offsetof(BrushFace, projection) - kFaceTailOffset;
static_assert(kFaceTailOffset == 4 + 4 * kMaxFaceCorners && kFaceTailBytes == 31 && kShortFaceTailBytes == 24,
              "a stored face's texture-to-tint run matches the record");
static_assert(kFaceTailBytes + 4 == kMapFaceFixedBytes && kShortFaceTailBytes + 4 == kMapShortFaceFixedBytes,
              "face record sizes");
static constexpr size_t kTailProjection = offsetof(BrushFace, projection) - kFaceTailOffset;
static constexpr size_t kTailTintAlpha = offsetof(BrushFace, tint) + offsetof(Color, a) - kFaceTailOffset;
static_assert(offsetof(BrushFace, uvScale) == kFaceTailOffset + 4 && offsetof(BrushFace, uvRotation) ==
              kFaceTailOffset + 20 && kTailProjection == 24 && kTailTintAlpha == 30, "face fields in file order");

// Indices are read as all 16 slots and vertices in 16-byte pieces, so the buffer has room past the
// largest file for a read that runs over the end.
static constexpr size_t kReadSlack = 4 * kMaxFaceCorners;
// Each face starts where the count of the one before says, so walking the faces is a chain of
// loads that waits on memory at every step; fetching this far ahead keeps those loads near.
static constexpr size_t kPrefetchAhead = 512;

// One file buffer serves every call; a check reads each record into the spare one and drops it.
static uint8_t sFileBytes[kMaxMapFileBytes + kReadSlack];
static Brush sSpareBrush;
static Entity sSpareEntity;
static const char *sLoadReason = "";   // why the last refused load refused
static char sSaveReason[kSaveReasonLen];   // why the last failed save failed
static char sSaveWarning[kSaveReasonLen];  // what the last successful save could not make sure of
static PlatformStamp sSavedStamp;          // the file the last successful save put in place
static const char *const kCutShort = "file cut short";
static const char *const kNotFinite = "not a finite number";

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static const char *MapWriteRefusal(const MapDoc *map);
static void WriteBrush(ByteWriter *w, const Brush *brush);
static void WriteFace(ByteWriter *w, const BrushFace *face);
static void WriteEntity(ByteWriter *w, const Entity *entity);
static int ReplaceFileBytes(const char *path, const char *folder, const uint8_t *data, size_t size);
static int SaveFails(const char *reason);
static void SaveWarns(const char *what, const char *reason);
static int ReadMapBytes(ByteReader *r, MapDoc *out);
static int ReadBrush(ByteReader *r, Brush *brush, int version);
static int ReadFaces(ByteReader *r, Brush *brush, int version);
static int CopyFaceIndices(int32_t *to, const uint8_t *from, int count, int vertCount);
static int ReadEntity(ByteReader *r, Entity *entity);
static int ImportV1Map(ByteReader *r, MapDoc *out);
static void ImportV1Brush(const uint8_t *record, Brush *brush);
static void ImportV1Entity(const uint8_t *record, Entity *entity);
static int V1RecordsFinite(const uint8_t *records, int brushCount, int entityCount);
static int StoredFloatsFinite(const uint8_t *p, int count);
static void TerminateName(char *name);
static void CopyNameText(char *to, const uint8_t *from);
static int Refuse(const char *reason);

static void PutBytes(ByteWriter *w, const void *bytes, size_t n);
static void PutU8(ByteWriter *w, uint8_t v);
static void PutI32(ByteWriter *w, int32_t v);
static void PutF32(ByteWriter *w, float v);
static void PutVec3(ByteWriter *w, Vector3 v);
static void PutColour(ByteWriter *w, Color c);
static int GetBytes(ByteReader *r, void *bytes, size_t n);
static int GetU8(ByteReader *r, uint8_t *v);
static int GetI32(ByteReader *r, int32_t *v);
static int GetF32(ByteReader *r, float *v);
static int GetVec3(ByteReader *r, Vector3 *v);
static int GetColour(ByteReader *r, Color *c);
static int GetVerts(ByteReader *r, Vector3 *verts, int n);
static int32_t LoadI32(const uint8_t *p);
static float LoadF32(const uint8_t *p);
static Vector3 LoadVec3(const uint8_t *p);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int SaveMapZIZUDU(const char *path, const MapDoc *map)
{
    return SaveMapZIZUDUWithin(path, nullptr, map);
}

int SaveMapZIZUDUWithin(const char *path, const char *folder, const MapDoc *map)
{
    // A map the loader would refuse is not written: the save would replace a good file with one
    // that can never be opened again.
    sSaveWarning[0] = '\0';
    const char *refusal = MapWriteRefusal(map);
    if (refusal != nullptr) return SaveFails(refusal);

    ByteWriter w = { sFileBytes, 0, kMaxMapFileBytes, 1 };
    PutBytes(&w, kMapMagic, sizeof(kMapMagic));
    PutI32(&w, kMapVersion);
    PutI32(&w, map->brushCount);
    for (int b = 0; b < map->brushCount; b++) WriteBrush(&w, &map->brushes[b]);
    PutI32(&w, map->entityCount);
    for (int e = 0; e < map->entityCount; e++) WriteEntity(&w, &map->entities[e]);
    if (!w.ok) return SaveFails("map too large");

    return ReplaceFileBytes(path, folder, w.data, w.size);
}

int LoadMapZIZUDU(const char *path, MapDoc *map)
{
    // A named pipe or a device under a map's name would block the open: only regular files are read.
    FILE *f = PlatformOpenRegularFile(path);
    if (!f) return Refuse(PlatformFileRefusal(path, -1));
    // No valid file needs more than kMaxMapFileBytes; anything after that is never parsed.
    size_t n = fread(sFileBytes, 1, kMaxMapFileBytes, f);
    int readError = ferror(f);
    fclose(f);
    if (readError) return Refuse("read error");

    // The whole file is checked before the map is touched, so a bad file leaves the open map as it
    // was. The second pass runs the same code over the same bytes and therefore succeeds too.
    ByteReader check = { sFileBytes, n, 0 };
    if (!ReadMapBytes(&check, nullptr)) return 0;
    ByteReader r = { sFileBytes, n, 0 };
    return ReadMapBytes(&r, map);
}

const char *MapFileReason(void)
{
    return sLoadReason;
}

const char *MapSaveReason(void)
{
    return sSaveReason;
}

const char *MapSaveWarning(void)
{
    return sSaveWarning;
}

PlatformStamp MapSavedStamp(void)
{
    return sSavedStamp;
}

//----------------------------------------------------------------------------------
// Internal functions: writing
//----------------------------------------------------------------------------------
// Why the loader would refuse the map (a count or index out of its ranges, a number that is not
// finite), or NULL when it may be written.
static const char *MapWriteRefusal(const MapDoc *map)
{
    static const char *const kBadCount = "the map holds a count or index no file may hold";
    if (map->brushCount < 0 || map->brushCount > kMaxBrushes) return kBadCount;
    if (map->entityCount < 0 || map->entityCount > kMaxEntities) return kBadCount;
    for (int b = 0; b < map->brushCount; b++) {
        const Brush *brush = &map->brushes[b];
        if (brush->vertCount < 0 || brush->vertCount > kMaxBrushVerts) return kBadCount;
        if (brush->faceCount < 0 || brush->faceCount > kMaxBrushFaces) return kBadCount;
        for (int f = 0; f < brush->faceCount; f++) {
            const BrushFace *face = &brush->faces[f];
            if (face->count < 0 || face->count > kMaxFaceCorners) return kBadCount;
            for (int c = 0; c < face->count; c++) {
                if (face->indices[c] < 0 || face->indices[c] >= brush->vertCount) return kBadCount;
            }
        }
        if (!BrushIsFinite(brush)) return kNotFinite;
    }
    for (int e = 0; e < map->entityCount; e++) {
        if (!EntityIsFinite(&map->entities[e])) return kNotFinite;
    }
    return nullptr;
}

static void WriteBrush(ByteWriter *w, const Brush *brush)
{
    PutBytes(w, brush->name, kNameLen);
    PutVec3(w, brush->origin);
    PutVec3(w, brush->rotation);
    PutVec3(w, brush->size);
    PutColour(w, brush->colour);
    PutI32(w, brush->texture);
    PutI32(w, brush->shape);
    PutU8(w, brush->physics);
    PutF32(w, brush->mass);
    PutF32(w, brush->friction);
    PutF32(w, brush->bounce);
    PutI32(w, brush->vertCount);
    for (int i = 0; i < brush->vertCount; i++) PutVec3(w, brush->verts[i]);
    PutI32(w, brush->faceCount);
    for (int f = 0; f < brush->faceCount; f++) WriteFace(w, &brush->faces[f]);
}

// One face in the version-3 layout.
static void WriteFace(ByteWriter *w, const BrushFace *face)
{
    PutI32(w, face->count);
    for (int c = 0; c < face->count; c++) PutI32(w, face->indices[c]);
    PutI32(w, face->texture);
    PutF32(w, face->uvScale[0]);
    PutF32(w, face->uvScale[1]);
    PutF32(w, face->uvOffset[0]);
    PutF32(w, face->uvOffset[1]);
    PutF32(w, face->uvRotation);
    PutU8(w, face->projection);
    PutU8(w, face->flipU);
    PutU8(w, face->flipV);
    PutColour(w, face->tint);
}

static void WriteEntity(ByteWriter *w, const Entity *entity)
{
    PutBytes(w, entity->name, kNameLen);
    PutBytes(w, entity->className, kNameLen);
    PutVec3(w, entity->position);
    PutVec3(w, entity->rotation);
    PutF32(w, entity->scale);
    PutI32(w, entity->model);
    PutI32(w, entity->texture);
    PutI32(w, entity->kind);
    PutColour(w, entity->lightColour);
    PutF32(w, entity->brightness);
    PutF32(w, entity->range);
    PutF32(w, entity->innerCone);
    PutF32(w, entity->outerCone);
    PutU8(w, entity->castsLight);
    PutU8(w, entity->physics);
    PutF32(w, entity->mass);
}

// Puts the bytes in place of the file at path without harming any other entry: a link at path
// is kept and the file it leads to is replaced; a file the user may not write is left alone; the
// bytes go into a file that only this call created, which takes the old file's permission bits
// and reaches the disk before it replaces the old file in one step. 1 once the new file is in
// place (a failed flush of the folder is only a warning then), or 0 with the old file as it was
// and nothing of the attempt left behind. With folder set, a file that lies outside it is refused
// before anything is made. A name of the form the save's own temporary files take is refused:
// the clean-up of interrupted saves would remove it.
static int ReplaceFileBytes(const char *path, const char *folder, const uint8_t *data, size_t size)
{
    char target[kMaxPathLen];
    int exists;
    static const char *const kTempName = "the name is kept for temporary files of saves";
    if (PlatformIsSaveTempName(path)) return SaveFails(kTempName);
    if (!PlatformResolveLinks(path, target, sizeof(target))) return SaveFails(PlatformErrorReason());
    if (PlatformIsSaveTempName(target)) return SaveFails(kTempName);
    // A link planted in the folder must not carry the save to a file elsewhere.
    if (folder != nullptr && PlatformPathLeaves(target, folder)) return SaveFails("link leads outside the project");
    if (!PlatformCheckReplaceable(target, &exists)) return SaveFails(PlatformReplaceRefusal(target));

    char temp[kMaxPathLen];
    int file = PlatformCreateTemp(target, temp, sizeof(temp));
    if (file < 0) return SaveFails(PlatformErrorReason());
    int ok = PlatformWriteAll(file, data, size);
    if (ok && exists) ok = PlatformCopyMode(file, target);      // a new map keeps the default mode
    if (ok) ok = PlatformSyncFile(file);
    // Each reason is taken before the next call can change the system's error code. The file
    // stays open across the rename: its stamp is read from it, not from the path, which another
    // writer may already have replaced again.
    if (ok) ok = PlatformReplaceFile(temp, target);
    if (!ok) {
        SaveFails(PlatformErrorReason());
        PlatformCloseFile(file);
        PlatformRemoveFile(temp);   // a half-written temporary file never stays behind
        return 0;
    }
    // In place: the save counts as written from here on. The rename changed the file's change
    // time, so the stamp is taken after it.
    PlatformStampOfFile(file, &sSavedStamp);
    // Without the folder's flush the rename itself may be lost to a power cut, leaving the old
    // file; the new one is in place all the same, so a failure is a warning, not a failed save.
    if (!PlatformSyncFolderOf(target)) SaveWarns("folder not flushed to disk", PlatformErrorReason());
    if (!PlatformCloseFile(file) && sSaveWarning[0] == '\0') SaveWarns("file closed with an error", PlatformErrorReason());
    return 1;
}

// Keeps reason as the last save's failure; returns 0.
static int SaveFails(const char *reason)
{
    snprintf(sSaveReason, sizeof(sSaveReason), "%s", reason);
    return 0;
}

// Keeps what the last successful save could not make sure of, and the system's reason.
static void SaveWarns(const char *what, const char *reason)
{
    snprintf(sSaveWarning, sizeof(sSaveWarning), "%s: %s", what, reason);
}

//----------------------------------------------------------------------------------
// Internal functions: reading
//----------------------------------------------------------------------------------
// Parses a whole file of any version into out; 1, or 0 at the first short read or failed check.
// With out null the file is only checked. Out's counts change only once every record was read.
static int ReadMapBytes(ByteReader *r, MapDoc *out)
{
    uint8_t magic[sizeof(kMapMagic)];
    if (!GetBytes(r, magic, sizeof(magic))) return 0;
    if (memcmp(magic, kMapMagic, kMapMagicCompared) != 0) return ImportV1Map(r, out);

    int32_t version, brushCount;
    if (!GetI32(r, &version) || !GetI32(r, &brushCount)) return 0;
    if (brushCount < 0 || brushCount > kMaxBrushes) return Refuse("brush count out of range");
    // An infinity or a NaN would spread through every mean and box the editor forms from it. The
    // check pass looks; the second reads the same numbers.
    for (int b = 0; b < brushCount; b++) {
        if (!ReadBrush(r, out ? &out->brushes[b] : &sSpareBrush, version)) return 0;
        if (!out && !BrushIsFinite(&sSpareBrush)) return Refuse(kNotFinite);
    }

    int32_t entityCount;
    if (!GetI32(r, &entityCount)) return 0;
    if (entityCount < 0 || entityCount > kMaxEntities) return Refuse("entity count out of range");
    for (int e = 0; e < entityCount; e++) {
        if (!ReadEntity(r, out ? &out->entities[e] : &sSpareEntity)) return 0;
        if (!out && !EntityIsFinite(&sSpareEntity)) return Refuse(kNotFinite);
    }
    if (out) {
        out->brushCount = brushCount;
        out->entityCount = entityCount;
    }
    return 1;
}

// Every byte of the record is written, padding and unused slots as zeros, without clearing the
// whole record first: a full brush would be written twice.
static int ReadBrush(ByteReader *r, Brush *brush, int version)
{
    memset(&brush->colour, 0, sizeof(Brush) - offsetof(Brush, colour));
    if (!GetBytes(r, brush->name, kNameLen)) return 0;
    TerminateName(brush->name);
    if (!GetVec3(r, &brush->origin) || !GetVec3(r, &brush->rotation) || !GetVec3(r, &brush->size)) return 0;
    if (!GetColour(r, &brush->colour) || !GetI32(r, &brush->texture) || !GetI32(r, &brush->shape)) return 0;
    if (!GetU8(r, &brush->physics) || !GetF32(r, &brush->mass) || !GetF32(r, &brush->friction)) return 0;
    if (!GetF32(r, &brush->bounce) || !GetI32(r, &brush->vertCount)) return 0;
    if (brush->vertCount < 0 || brush->vertCount > kMaxBrushVerts) return Refuse("vertex count out of range");
    if (!GetVerts(r, brush->verts, brush->vertCount)) return 0;
    if (!GetI32(r, &brush->faceCount)) return 0;
    if (brush->faceCount < 0 || brush->faceCount > kMaxBrushFaces) return Refuse("face count out of range");
    if (!ReadFaces(r, brush, version)) return 0;
    memset(&brush->faces[brush->faceCount], 0, sizeof(BrushFace) * (size_t)(kMaxBrushFaces - brush->faceCount));
    return 1;
}

// The brush's faces; versions below 3 lack projection, flips and tint. Faces of 0 to 2 corners
// pass here: the problem check reports them.
static int ReadFaces(ByteReader *r, Brush *brush, int version)
{
    const int shortFaces = version < kMapFaceFlagsVersion;
    const size_t tailBytes = shortFaces ? kShortFaceTailBytes : kFaceTailBytes;
    // The reader's fields in locals: the byte copies into the faces could alias them, which would
    // make the compiler reload them after every copy.
    const uint8_t *data = r->data;
    const size_t size = r->size;
    const int vertCount = brush->vertCount;
    size_t pos = r->pos;
    for (int f = 0; f < brush->faceCount; f++) {
        BrushFace *face = &brush->faces[f];
#ifdef KIRTO_SSE2_INDICES
        _mm_prefetch(reinterpret_cast<const char *>(data + pos + kPrefetchAhead), _MM_HINT_T0);
#endif
        if (size - pos < 4) return Refuse(kCutShort);
        int32_t count = LoadI32(data + pos);
        if (count < 0 || count > kMaxFaceCorners) return Refuse("corner count out of range");
        size_t indexBytes = 4 * (size_t)count;
        if (size - pos - 4 < indexBytes + tailBytes) return Refuse(kCutShort);
        const uint8_t *stored = data + pos + 4;
        face->count = count;
        if (!CopyFaceIndices(face->indices, stored, count, vertCount)) return Refuse("face index out of range");

        // The tail in two 16-byte pieces (overlapping for the full tail): fixed-size copies stay
        // plain register moves where a variable one would start a string copy.
        uint8_t *record = reinterpret_cast<uint8_t *>(face);
        const uint8_t *tail = stored + indexBytes;
        memset(record + kFaceTailOffset + kFaceTailBytes, 0, sizeof(BrushFace) - kFaceTailOffset - kFaceTailBytes);
        memcpy(record + kFaceTailOffset, tail, 16);
        if (shortFaces) {
            memcpy(record + kFaceTailOffset + 16, tail + 16, 8);
            face->projection = PROJ_WORLD;
            face->flipU = 0;
            face->flipV = 0;
            face->tint = kWhite;
        } else {
            memcpy(record + kFaceTailOffset + kFaceTailBytes - 16, tail + kFaceTailBytes - 16, 16);
            // Tested on the stored bytes: reading back the record just written costs a stall.
            if (tail[kTailProjection] >= kProjectionCount) face->projection = PROJ_WORLD;
            if (tail[kTailTintAlpha] == 0) face->tint = kWhite;   // an invisible tint is taken as no tint
        }
#ifndef KIRTO_LITTLE_ENDIAN
        face->texture = LoadI32(tail);
        for (int k = 0; k < 5; k++) (&face->uvScale[0])[k] = LoadF32(tail + 4 + 4 * k);
#endif
        pos += 4 + indexBytes + tailBytes;
    }
    r->pos = pos;
    return 1;
}

#ifdef KIRTO_SSE2_INDICES
// For each count, all ones in the index slots in use.
struct SlotMasks {
    int32_t inUse[kMaxFaceCorners + 1][kMaxFaceCorners];
};

static constexpr SlotMasks MakeSlotMasks()
{
    SlotMasks masks = {};
    for (int count = 0; count <= kMaxFaceCorners; count++) {
        for (int c = 0; c < kMaxFaceCorners; c++) masks.inUse[count][c] = c < count ? -1 : 0;
    }
    return masks;
}

alignas(16) static constexpr SlotMasks kSlotMasks = MakeSlotMasks();

// Four index slots: the stored values in the slots in use, zeros after them. Returns all ones in
// each slot in use whose index is not in 0 .. vertCount-1. With the sign bits flipped, a signed
// compare is an unsigned one, so one compare also catches negative indices.
static inline __m128i IndexPiece(int32_t *to, const uint8_t *from, const int32_t *inUseMask, __m128i flippedCount)
{
    const __m128i sign = _mm_set1_epi32(INT32_MIN);
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
    __m128i inUse = _mm_load_si128(reinterpret_cast<const __m128i *>(inUseMask));
    __m128i inside = _mm_cmpgt_epi32(flippedCount, _mm_xor_si128(v, sign));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(to), _mm_and_si128(v, inUse));
    return _mm_andnot_si128(inside, inUse);
}
#endif

// All 16 index slots from the stored indices: the count in use, each checked against the brush's
// vertices, and zeros after them. Reads 64 bytes whatever the count; the file buffer has room.
static int CopyFaceIndices(int32_t *to, const uint8_t *from, int count, int vertCount)
{
#ifdef KIRTO_SSE2_INDICES
    const int32_t *inUse = kSlotMasks.inUse[count];
    const __m128i flippedCount = _mm_set1_epi32((int32_t)((uint32_t)vertCount ^ 0x80000000u));
    __m128i bad = IndexPiece(to, from, inUse, flippedCount);
    bad = _mm_or_si128(bad, IndexPiece(to + 4, from + 16, inUse + 4, flippedCount));
    bad = _mm_or_si128(bad, IndexPiece(to + 8, from + 32, inUse + 8, flippedCount));
    bad = _mm_or_si128(bad, IndexPiece(to + 12, from + 48, inUse + 12, flippedCount));
    return _mm_movemask_epi8(bad) == 0;
#else
    int ok = 1;
    for (int c = 0; c < kMaxFaceCorners; c++) {
        int32_t v = c < count ? LoadI32(from + 4 * c) : 0;
        if (c < count && (v < 0 || v >= vertCount)) ok = 0;
        to[c] = v;
    }
    return ok;
#endif
}

static int ReadEntity(ByteReader *r, Entity *entity)
{
    memset(entity, 0, sizeof(*entity));
    if (!GetBytes(r, entity->name, kNameLen) || !GetBytes(r, entity->className, kNameLen)) return 0;
    TerminateName(entity->name);
    TerminateName(entity->className);
    if (!GetVec3(r, &entity->position) || !GetVec3(r, &entity->rotation) || !GetF32(r, &entity->scale)) return 0;
    if (!GetI32(r, &entity->model) || !GetI32(r, &entity->texture) || !GetI32(r, &entity->kind)) return 0;
    if (!GetColour(r, &entity->lightColour) || !GetF32(r, &entity->brightness)) return 0;
    if (!GetF32(r, &entity->range) || !GetF32(r, &entity->innerCone) || !GetF32(r, &entity->outerCone)) return 0;
    if (!GetU8(r, &entity->castsLight) || !GetU8(r, &entity->physics) || !GetF32(r, &entity->mass)) return 0;
    if ((uint32_t)entity->kind >= (uint32_t)kEntityKindCount) entity->kind = ENTITY_GENERIC;   // -1 too
    entity->tint = kWhite;
    return 1;
}

// The headerless first version, read from the start of the file.
static int ImportV1Map(ByteReader *r, MapDoc *out)
{
    r->pos = 0;
    int32_t brushCount, entityCount;
    if (!GetI32(r, &brushCount) || !GetI32(r, &entityCount)) return 0;
    if (brushCount < 0 || brushCount > kMaxBrushes) return Refuse("brush count out of range");
    if (entityCount < 0 || entityCount > kMaxEntities) return Refuse("entity count out of range");

    size_t need = (size_t)kMapV1BrushBytes * brushCount + (size_t)kMapV1EntityBytes * entityCount;
    if (r->size - r->pos < need) return Refuse(kCutShort);   // refused before building anything
    if (!V1RecordsFinite(r->data + r->pos, brushCount, entityCount)) return Refuse(kNotFinite);
    if (!out) return 1;
    for (int b = 0; b < brushCount; b++) {
        ImportV1Brush(r->data + r->pos, &out->brushes[b]);
        r->pos += kMapV1BrushBytes;
    }
    for (int e = 0; e < entityCount; e++) {
        ImportV1Entity(r->data + r->pos, &out->entities[e]);
        r->pos += kMapV1EntityBytes;
    }
    out->brushCount = brushCount;
    out->entityCount = entityCount;
    return 1;
}

// A headerless brush was a box, optionally with its eight corners moved.
static void ImportV1Brush(const uint8_t *record, Brush *brush)
{
    BrushInit(brush, SHAPE_CUBE, LoadVec3(record + kV1BrushOrigin), LoadVec3(record + kV1BrushSize),
              LoadI32(record + kV1BrushTexture));
    CopyNameText(brush->name, record + kV1BrushName);
    brush->rotation = LoadVec3(record + kV1BrushRotation);
    memcpy(&brush->colour, record + kV1BrushColour, 4);
    brush->shape = LoadI32(record + kV1BrushShape);   // kept as stored; the solid is a box regardless

    if (record[kV1BrushCornersValid] != 0) {
        for (int i = 0; i < kV1BrushCornerCount && i < brush->vertCount; i++) {
            brush->verts[i] = LoadVec3(record + kV1BrushCorners + 12 * i);
        }
    }

    float scale[2];
    for (int k = 0; k < 2; k++) {
        float density = LoadF32(record + kV1BrushDensity + 4 * k);   // repeats per unit
        scale[k] = fabsf(density) <= kMapV1MinDensity ? kMapV1DefaultScale : 1.0f / density;
    }
    for (int f = 0; f < brush->faceCount; f++) {
        BrushFace *face = &brush->faces[f];
        face->uvScale[0] = scale[0];
        face->uvScale[1] = scale[1];
        face->uvOffset[0] = LoadF32(record + kV1BrushOffset);
        face->uvOffset[1] = LoadF32(record + kV1BrushOffset + 4);
    }
    BrushFixWinding(brush);
}

static void ImportV1Entity(const uint8_t *record, Entity *entity)
{
    memset(entity, 0, sizeof(*entity));
    entity->position = LoadVec3(record + kV1EntityPosition);
    entity->rotation = LoadVec3(record + kV1EntityRotation);
    entity->scale = LoadF32(record + kV1EntityScale);
    entity->model = LoadI32(record + kV1EntityModel);
    entity->texture = LoadI32(record + kV1EntityTexture);
    CopyNameText(entity->className, record + kV1EntityClass);
    CopyNameText(entity->name, record + kV1EntityName);
    entity->kind = ENTITY_GENERIC;
    entity->lightColour = kWhite;
    entity->brightness = kV1Brightness;
    entity->range = kV1Range;
    entity->innerCone = kV1InnerCone;
    entity->outerCone = kV1OuterCone;
    entity->mass = kV1Mass;
    entity->tint = kWhite;
}

// Every float a headerless brush or entity record gives its object is finite: a brush's origin,
// size, rotation, texture densities and offsets and, when they replace the box's, its corners; an
// entity's position, rotation and scale.
static int V1RecordsFinite(const uint8_t *records, int brushCount, int entityCount)
{
    for (int b = 0; b < brushCount; b++) {
        const uint8_t *record = records + (size_t)kMapV1BrushBytes * b;
        if (!StoredFloatsFinite(record + kV1BrushOrigin, 9)) return 0;                   // origin, size, rotation
        if (!StoredFloatsFinite(record + kV1BrushDensity, 4)) return 0;                  // densities, offsets
        if (record[kV1BrushCornersValid] != 0 && !StoredFloatsFinite(record + kV1BrushCorners, 3 * kV1BrushCornerCount))
            return 0;
    }
    const uint8_t *entities = records + (size_t)kMapV1BrushBytes * brushCount;
    for (int e = 0; e < entityCount; e++) {
        if (!StoredFloatsFinite(entities + (size_t)kMapV1EntityBytes * e + kV1EntityPosition, 7)) return 0;
    }
    return 1;
}

// 1 when the count stored floats from p on are all finite.
static int StoredFloatsFinite(const uint8_t *p, int count)
{
    for (int i = 0; i < count; i++)
        if (!std::isfinite(LoadF32(p + 4 * i))) return 0;
    return 1;
}

// A stored name of 32 bytes without a NUL loses its last byte rather than run into the next field.
// Looks for the NUL eight bytes at a time: a library search costs more on so short a name.
static void TerminateName(char *name)
{
    static_assert(kNameLen % 8 == 0, "names are whole 8-byte words");
    const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    for (int i = 0; i < kNameLen; i += 8) {
        uint64_t word;
        memcpy(&word, name + i, 8);
        if ((word - ones) & ~word & highs) return;   // some byte of the word is 0
    }
    name[kNameLen - 1] = '\0';
}

// Text of at most 31 characters from a 32-byte stored name into a zeroed 32-byte name.
static void CopyNameText(char *to, const uint8_t *from)
{
    for (int i = 0; i < kNameLen - 1 && from[i] != 0; i++) to[i] = (char)from[i];
    to[kNameLen - 1] = '\0';
}

// Keeps the reason for the caller; 0, so that a check can end with `return Refuse(...)`.
static int Refuse(const char *reason)
{
    sLoadReason = reason;
    return 0;
}

//----------------------------------------------------------------------------------
// Internal functions: little-endian fields
//----------------------------------------------------------------------------------
static void PutBytes(ByteWriter *w, const void *bytes, size_t n)
{
    if (!w->ok || w->capacity - w->size < n) {
        w->ok = 0;
        return;
    }
    memcpy(w->data + w->size, bytes, n);
    w->size += n;
}

static void PutU8(ByteWriter *w, uint8_t v)
{
    PutBytes(w, &v, 1);
}

static void PutI32(ByteWriter *w, int32_t v)
{
    uint32_t u = (uint32_t)v;
    uint8_t b[4] = { (uint8_t)u, (uint8_t)(u >> 8), (uint8_t)(u >> 16), (uint8_t)(u >> 24) };
    PutBytes(w, b, 4);
}

static void PutF32(ByteWriter *w, float v)
{
    int32_t bits;
    memcpy(&bits, &v, 4);
    PutI32(w, bits);
}

static void PutVec3(ByteWriter *w, Vector3 v)
{
    PutF32(w, v.x);
    PutF32(w, v.y);
    PutF32(w, v.z);
}

static void PutColour(ByteWriter *w, Color c)
{
    uint8_t b[4] = { c.r, c.g, c.b, c.a };
    PutBytes(w, b, 4);
}

static int GetBytes(ByteReader *r, void *bytes, size_t n)
{
    if (r->size - r->pos < n) return Refuse(kCutShort);
    memcpy(bytes, r->data + r->pos, n);
    r->pos += n;
    return 1;
}

static int GetU8(ByteReader *r, uint8_t *v)
{
    return GetBytes(r, v, 1);
}

static int GetI32(ByteReader *r, int32_t *v)
{
    if (r->size - r->pos < 4) return Refuse(kCutShort);
    *v = LoadI32(r->data + r->pos);
    r->pos += 4;
    return 1;
}

static int GetF32(ByteReader *r, float *v)
{
    if (r->size - r->pos < 4) return Refuse(kCutShort);
    *v = LoadF32(r->data + r->pos);
    r->pos += 4;
    return 1;
}

static int GetVec3(ByteReader *r, Vector3 *v)
{
    return GetF32(r, &v->x) && GetF32(r, &v->y) && GetF32(r, &v->z);
}

static int GetColour(ByteReader *r, Color *c)
{
    uint8_t b[4];
    if (!GetBytes(r, b, 4)) return 0;
    *c = Color{ b[0], b[1], b[2], b[3] };
    return 1;
}

// Up to 64 vertices, then zeros in the unused slots. On a little-endian machine the stored
// vertices are copied in whole 16-byte pieces: a fixed-size copy stays a plain register move where
// a variable one would start a slow string copy. The last piece may read into the buffer's slack
// and write into the first unused slot, which is cleared after it.
static int GetVerts(ByteReader *r, Vector3 *verts, int n)
{
    static_assert(sizeof(Vector3) == 12 && sizeof(Vector3) * kMaxBrushVerts % 16 == 0,
                  "a stored vertex is three packed floats");
    size_t bytes = (size_t)n * sizeof(Vector3);
    if (r->size - r->pos < bytes) return Refuse(kCutShort);
    const uint8_t *from = r->data + r->pos;
#ifdef KIRTO_LITTLE_ENDIAN
    uint8_t *to = reinterpret_cast<uint8_t *>(verts);
    for (size_t i = 0; i < bytes; i += 16) memcpy(to + i, from + i, 16);
#else
    for (int i = 0; i < n; i++) verts[i] = LoadVec3(from + 12 * (size_t)i);
#endif
    memset(&verts[n], 0, sizeof(Vector3) * (size_t)(kMaxBrushVerts - n));
    r->pos += bytes;
    return 1;
}

static int32_t LoadI32(const uint8_t *p)
{
    uint32_t u = (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
    int32_t v;
    memcpy(&v, &u, 4);
    return v;
}

static float LoadF32(const uint8_t *p)
{
    int32_t bits = LoadI32(p);
    float v;
    memcpy(&v, &bits, 4);
    return v;
}

static Vector3 LoadVec3(const uint8_t *p)
{
    return Vector3{ LoadF32(p), LoadF32(p + 4), LoadF32(p + 8) };
}
