// ".zizudu" files: the exact byte layout, round trips, older versions and extreme values.
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "document/map_file.h"
#include "document/primitives.h"
#include "support/map_bytes.h"

namespace {

struct MapFileTest : ::testing::Test {
    TempFolder dir;
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    std::unique_ptr<MapDoc> loaded{ new MapDoc() };
};

// One hand-made brush of 4 vertices and two faces (3 and 4 corners), and one entity.
void SmallMap(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    Brush *b = &map->brushes[0];
    snprintf(b->name, kNameLen, "Wedge");
    b->origin = Vector3{ 1.5f, -2, 3 };
    b->rotation = Vector3{ 10, 20, 30 };
    b->size = Vector3{ 4, 5, 6 };
    b->colour = Color{ 1, 2, 3, 4 };
    b->texture = 7;
    b->shape = SHAPE_WEDGE;
    b->physics = 1;
    b->mass = 12.5f;
    b->friction = 0.25f;
    b->bounce = 0.75f;
    b->vertCount = 4;
    b->verts[0] = Vector3{ 0, 0, 0 };
    b->verts[1] = Vector3{ 1, 0, 0 };
    b->verts[2] = Vector3{ 0, 1, 0 };
    b->verts[3] = Vector3{ 0, 0, 1 };
    b->faceCount = 2;
    const int corners[2] = { 3, 4 };
    for (int f = 0; f < 2; f++) {
        BrushFace *face = &b->faces[f];
        face->count = corners[f];
        for (int c = 0; c < face->count; c++) face->indices[c] = (c + f) % 4;
        face->texture = f - 1;
        face->uvScale[0] = 2.0f;
        face->uvScale[1] = 0.5f;
        face->uvOffset[0] = 0.25f;
        face->uvOffset[1] = -0.25f;
        face->uvRotation = 45.0f;
        face->projection = PROJ_FIT;
        face->flipU = 1;
        face->flipV = 0;
        face->tint = Color{ 10, 20, 30, 40 };
    }
    map->brushCount = 1;
    Entity *e = &map->entities[0];
    snprintf(e->name, kNameLen, "Lamp");
    snprintf(e->className, kNameLen, "light_spot");
    e->position = Vector3{ 6, 7, 8 };
    e->rotation = Vector3{ 50, 215, 0 };
    e->scale = 1.5f;
    e->model = 3;
    e->texture = -1;
    e->kind = ENTITY_LIGHT_SPOT;
    e->lightColour = Color{ 255, 244, 214, 255 };
    e->brightness = 0.9f;
    e->range = 100;
    e->innerCone = 25;
    e->outerCone = 45;
    e->castsLight = 1;
    e->physics = 0;
    e->mass = 10;
    e->tint = Color{ 255, 255, 255, 255 };
    map->entityCount = 1;
}

// SmallMap's file, written out from the layout table field by field.
MapBytes SmallMapBytes(int version)
{
    MapBytes f;
    f.Raw("ZIZUDU2", 8).I32(version).I32(1);
    f.Name("Wedge").Vec3({ 1.5f, -2, 3 }).Vec3({ 10, 20, 30 }).Vec3({ 4, 5, 6 }).Colour({ 1, 2, 3, 4 });
    f.I32(7).I32(SHAPE_WEDGE).U8(1).F32(12.5f).F32(0.25f).F32(0.75f);
    f.I32(4).Vec3({ 0, 0, 0 }).Vec3({ 1, 0, 0 }).Vec3({ 0, 1, 0 }).Vec3({ 0, 0, 1 });
    f.I32(2);
    const int corners[2] = { 3, 4 };
    for (int face = 0; face < 2; face++) {
        f.I32(corners[face]);
        for (int c = 0; c < corners[face]; c++) f.I32((c + face) % 4);
        f.I32(face - 1).F32(2.0f).F32(0.5f).F32(0.25f).F32(-0.25f).F32(45.0f);
        if (version >= 3) f.U8(PROJ_FIT).U8(1).U8(0).Colour({ 10, 20, 30, 40 });
    }
    f.I32(1);
    f.Name("Lamp").Name("light_spot").Vec3({ 6, 7, 8 }).Vec3({ 50, 215, 0 }).F32(1.5f);
    f.I32(3).I32(-1).I32(ENTITY_LIGHT_SPOT).Colour({ 255, 244, 214, 255 });
    f.F32(0.9f).F32(100).F32(25).F32(45).U8(1).U8(0).F32(10);
    return f;
}

TEST_F(MapFileTest, EmptyMapIsTwentyBytes)
{
    std::string path = dir.File("empty.zizudu");
    ASSERT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 1);
    MapBytes want;
    want.Raw("ZIZUDU2", 8).I32(3).I32(0).I32(0);
    EXPECT_EQ(ReadAllBytes(path), want.v);
    EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{ "empty.zizudu" });
}

TEST_F(MapFileTest, WriterFollowsTheLayoutExactly)
{
    SmallMap(map.get());
    map->brushes[0].hidden = 1;                // not stored
    map->entities[0].tint = Color{ 9, 9, 9, 9 };
    std::string path = dir.File("small.zizudu");
    ASSERT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 1);
    std::vector<uint8_t> want = SmallMapBytes(3).v;
    EXPECT_EQ(want.size(), 16u + 101 + 12 * 4 + (35 + 12) + (35 + 16) + 4 + 130);
    EXPECT_EQ(ReadAllBytes(path), want);
}

TEST_F(MapFileTest, HandBuiltVersionThreeLoadsToItsValues)
{
    std::string path = dir.File("v3.zizudu");
    MapBytes file = SmallMapBytes(3);
    file.v[7] = 'x';                           // the eighth magic byte is not compared
    WriteAllBytes(path, file.v);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    SmallMap(map.get());
    EXPECT_EQ(memcmp(&map->brushes[0], &loaded->brushes[0], sizeof(Brush)), 0);
    EXPECT_EQ(memcmp(&map->entities[0], &loaded->entities[0], sizeof(Entity)), 0);
    EXPECT_EQ(loaded->brushCount, 1);
    EXPECT_EQ(loaded->entityCount, 1);
}

TEST_F(MapFileTest, VersionsBelowThreeHaveShortFaces)
{
    for (int version : { 2, 1, 0, -7 }) {
        std::string path = dir.File("old.zizudu");
        MapBytes file = SmallMapBytes(version);
        EXPECT_EQ(file.v.size(), SmallMapBytes(3).v.size() - 2 * 7);   // 28 + 4c bytes a face
        WriteAllBytes(path, file.v);
        loaded->brushes[0].faces[0].tint = Color{ 1, 1, 1, 1 };
        ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1) << version;
        SmallMap(map.get());
        for (int f = 0; f < 2; f++) {
            BrushFace *face = &map->brushes[0].faces[f];
            face->projection = PROJ_WORLD;
            face->flipU = face->flipV = 0;
            face->tint = Color{ 255, 255, 255, 255 };
        }
        EXPECT_EQ(memcmp(&map->brushes[0], &loaded->brushes[0], sizeof(Brush)), 0) << version;
        EXPECT_EQ(memcmp(&map->entities[0], &loaded->entities[0], sizeof(Entity)), 0) << version;
    }
}

TEST_F(MapFileTest, LoadFixesKindProjectionAndInvisibleTint)
{
    struct Case { int32_t kind; uint8_t projection; Color tint; int32_t wantKind; uint8_t wantProj; Color wantTint; };
    const Case cases[] = {
        { 7, 3, { 10, 20, 30, 0 }, 0, 0, { 255, 255, 255, 255 } },
        { -1, 255, { 10, 20, 30, 1 }, 0, 0, { 10, 20, 30, 1 } },
        { 5, 2, { 0, 0, 0, 255 }, 5, 2, { 0, 0, 0, 255 } },
        { 6, 1, { 255, 255, 255, 0 }, 0, 1, { 255, 255, 255, 255 } },
    };
    std::string path = dir.File("fix.zizudu");
    for (const Case &c : cases) {
        SmallMap(map.get());
        map->entities[0].kind = c.kind;
        map->brushes[0].faces[1].projection = c.projection;
        map->brushes[0].faces[1].tint = c.tint;
        ASSERT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 1);
        ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
        EXPECT_EQ(loaded->entities[0].kind, c.wantKind);
        EXPECT_EQ(loaded->brushes[0].faces[1].projection, c.wantProj);
        EXPECT_EQ(memcmp(&loaded->brushes[0].faces[1].tint, &c.wantTint, 4), 0);
    }
}

TEST_F(MapFileTest, FullMapRoundTripIsByteIdentical)
{
    BuildFullMap(map.get());
    std::string first = dir.File("first.zizudu"), second = dir.File("second.zizudu");
    ASSERT_EQ(SaveMapZIZUDU(first.c_str(), map.get()), 1);
    memset(loaded.get(), 0xAB, sizeof(MapDoc));
    ASSERT_EQ(LoadMapZIZUDU(first.c_str(), loaded.get()), 1);
    NormaliseAsLoaded(map.get());
    ASSERT_EQ(loaded->brushCount, kMaxBrushes);
    ASSERT_EQ(loaded->entityCount, kMaxEntities);
    for (int b = 0; b < kMaxBrushes; b++) {
        EXPECT_EQ(memcmp(&map->brushes[b], &loaded->brushes[b], sizeof(Brush)), 0) << "brush " << b;
    }
    for (int e = 0; e < kMaxEntities; e++) {
        EXPECT_EQ(memcmp(&map->entities[e], &loaded->entities[e], sizeof(Entity)), 0) << "entity " << e;
    }
    ASSERT_EQ(SaveMapZIZUDU(second.c_str(), loaded.get()), 1);
    EXPECT_EQ(ReadAllBytes(first), ReadAllBytes(second));
}

TEST_F(MapFileTest, LargestMapFillsTheBufferExactly)
{
    for (int b = 0; b < kMaxBrushes; b++) {
        Brush *brush = &map->brushes[b];
        brush->vertCount = kMaxBrushVerts;
        for (int i = 0; i < kMaxBrushVerts; i++) brush->verts[i] = Vector3{ (float)i, (float)b, 0 };
        brush->faceCount = kMaxBrushFaces;
        for (int f = 0; f < kMaxBrushFaces; f++) {
            brush->faces[f].count = kMaxFaceCorners;
            for (int c = 0; c < kMaxFaceCorners; c++) brush->faces[f].indices[c] = (f + c) % kMaxBrushVerts;
            brush->faces[f].tint = Color{ 1, 1, 1, 1 };
        }
    }
    map->brushCount = kMaxBrushes;
    map->entityCount = kMaxEntities;
    for (int e = 0; e < kMaxEntities; e++) map->entities[e].tint = Color{ 255, 255, 255, 255 };
    std::string path = dir.File("max.zizudu");
    ASSERT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 1);
    EXPECT_EQ(ReadAllBytes(path).size(), kMaxMapFileBytes);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(memcmp(map->brushes, loaded->brushes, sizeof(map->brushes)), 0);
    EXPECT_EQ(memcmp(map->entities, loaded->entities, sizeof(map->entities)), 0);
}

TEST_F(MapFileTest, ExtremeFieldValuesSurvive)
{
    // NaN and the infinities are refused (MapFileReject); every finite extreme comes back as it was.
    const float floats[] = { FLT_MAX, -FLT_MAX, FLT_MIN / 4, -0.0f };
    const int32_t ints[] = { INT32_MIN, INT32_MAX, -1, 0 };
    std::string path = dir.File("extreme.zizudu");
    for (float x : floats) {
        for (int32_t n : ints) {
            SmallMap(map.get());
            Brush *b = &map->brushes[0];
            b->origin = Vector3{ x, x, x };
            b->rotation = b->size = b->verts[3] = b->origin;
            b->mass = b->friction = b->bounce = x;
            b->texture = b->shape = n;
            b->physics = 255;
            b->colour = Color{ 255, 0, 255, 0 };
            memset(b->name, 'N', kNameLen - 1);
            BrushFace *face = &b->faces[1];
            face->texture = n;
            face->uvScale[0] = face->uvScale[1] = face->uvOffset[0] = face->uvOffset[1] = face->uvRotation = x;
            face->flipU = face->flipV = 255;
            Entity *e = &map->entities[0];
            e->position = e->rotation = Vector3{ x, x, x };
            e->scale = e->brightness = e->range = e->innerCone = e->outerCone = e->mass = x;
            e->model = e->texture = n;
            e->castsLight = e->physics = 255;
            memset(e->name, 'E', kNameLen - 1);
            memset(e->className, 'C', kNameLen - 1);
            ASSERT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 1);
            ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
            EXPECT_EQ(memcmp(&map->brushes[0], &loaded->brushes[0], sizeof(Brush)), 0) << x << " " << n;
            EXPECT_EQ(memcmp(&map->entities[0], &loaded->entities[0], sizeof(Entity)), 0) << x << " " << n;
        }
    }
}

TEST_F(MapFileTest, NamesWithoutTerminatorAreCutTo31)
{
    MapBytes file = SmallMapBytes(3);
    memset(&file.v[16], 'A', kNameLen);                                       // brush name
    size_t entity = file.v.size() - kMapEntityBytes;
    memset(&file.v[entity], 'B', kNameLen);                                   // entity name
    memset(&file.v[entity + kNameLen], 'C', kNameLen);                        // class name
    std::string path = dir.File("names.zizudu");
    WriteAllBytes(path, file.v);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(std::string(loaded->brushes[0].name), std::string(31, 'A'));
    EXPECT_EQ(std::string(loaded->entities[0].name), std::string(31, 'B'));
    EXPECT_EQ(std::string(loaded->entities[0].className), std::string(31, 'C'));
}

// A headerless file of one box brush and one entity.
MapBytes V1File(float densityU, float densityV, uint8_t cornersValid)
{
    uint8_t brush[kMapV1BrushBytes] = {};
    uint8_t entity[kMapV1EntityBytes] = {};
    MapBytes rec;
    rec.Vec3({ 1, 2, 3 }).Vec3({ 2, 4, 6 }).Vec3({ 0, 90, 0 }).Colour({ 5, 6, 7, 8 }).I32(4);
    rec.F32(densityU).F32(densityV).F32(0.5f).F32(-0.5f);
    memcpy(brush, rec.v.data(), rec.v.size());
    memset(brush + 60, 0xEE, 100);                          // unused bytes carry anything
    memset(brush + 160, 'W', kNameLen);                     // a name with no terminator
    MapBytes tail;
    tail.I32(SHAPE_SPHERE);
    for (int i = 0; i < 8; i++) tail.Vec3({ (float)i, (float)-i, 0.5f });
    memcpy(brush + 192, tail.v.data(), tail.v.size());
    brush[292] = cornersValid;
    MapBytes ent;
    ent.Vec3({ 9, 8, 7 }).Vec3({ 10, 20, 30 }).F32(2.0f).Name("prop_thing").I32(5).I32(-1).U8(0xEE).Name("Crate");
    memcpy(entity, ent.v.data(), ent.v.size());
    MapBytes f;
    f.I32(1).I32(1).Raw(brush, sizeof(brush)).Raw(entity, sizeof(entity));
    return f;
}

TEST_F(MapFileTest, HeaderlessFirstVersion)
{
    std::string path = dir.File("v1.zizudu");
    WriteAllBytes(path, V1File(0.5f, 0.0f, 0).v);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    ASSERT_EQ(loaded->brushCount, 1);
    ASSERT_EQ(loaded->entityCount, 1);
    const Brush &b = loaded->brushes[0];
    Brush box;
    BrushInit(&box, SHAPE_CUBE, Vector3{ 1, 2, 3 }, Vector3{ 2, 4, 6 }, 4);
    EXPECT_EQ(b.vertCount, 8);
    EXPECT_EQ(b.faceCount, 6);
    EXPECT_EQ(memcmp(b.verts, box.verts, sizeof(box.verts)), 0);
    EXPECT_EQ(std::string(b.name), std::string(31, 'W'));
    EXPECT_EQ(b.shape, SHAPE_SPHERE);                       // kept as stored; the solid is a box
    EXPECT_EQ(b.rotation.y, 90.0f);
    EXPECT_EQ(b.colour.a, 8);
    EXPECT_EQ(b.texture, 4);
    for (int f = 0; f < b.faceCount; f++) {
        EXPECT_EQ(b.faces[f].uvScale[0], 2.0f);
        EXPECT_EQ(b.faces[f].uvScale[1], 2.0f);             // density 0 gives the default
        EXPECT_EQ(b.faces[f].uvOffset[0], 0.5f);
        EXPECT_EQ(b.faces[f].uvOffset[1], -0.5f);
        EXPECT_EQ(b.faces[f].projection, PROJ_WORLD);
        EXPECT_EQ(b.faces[f].tint.a, 255);
    }
    const Entity &e = loaded->entities[0];
    EXPECT_EQ(e.position.x, 9.0f);
    EXPECT_EQ(e.rotation.z, 30.0f);
    EXPECT_EQ(e.scale, 2.0f);
    EXPECT_STREQ(e.className, "prop_thing");
    EXPECT_STREQ(e.name, "Crate");
    EXPECT_EQ(e.model, 5);
    EXPECT_EQ(e.texture, -1);
    EXPECT_EQ(e.kind, ENTITY_GENERIC);
    EXPECT_EQ(e.brightness, 1.0f);
    EXPECT_EQ(e.range, 20.0f);
    EXPECT_EQ(e.innerCone, 25.0f);
    EXPECT_EQ(e.outerCone, 45.0f);
    EXPECT_EQ(e.mass, 10.0f);
    EXPECT_EQ(e.castsLight + e.physics + e.hidden, 0);
    EXPECT_EQ(e.lightColour.r + e.tint.g, 510);

    WriteAllBytes(path, V1File(0.25f, 4.0f, 1).v);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(loaded->brushes[0].faces[0].uvScale[0], 4.0f);
    EXPECT_EQ(loaded->brushes[0].faces[0].uvScale[1], 0.25f);
    for (int i = 0; i < 8; i++) EXPECT_EQ(loaded->brushes[0].verts[i].x, (float)i);   // corners replace the box
}

TEST_F(MapFileTest, EightZeroBytesEmptyTheMap)
{
    SmallMap(loaded.get());
    std::string path = dir.File("zero.zizudu");
    WriteAllBytes(path, std::vector<uint8_t>(8, 0));
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), loaded.get()), 1);
    EXPECT_EQ(loaded->brushCount, 0);
    EXPECT_EQ(loaded->entityCount, 0);
}

TEST_F(MapFileTest, FailedSaveKeepsThePreviousFile)
{
    SmallMap(map.get());
    std::string path = dir.File("keep.zizudu");
    ASSERT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 1);
    std::vector<uint8_t> good = ReadAllBytes(path);

    // Counts or indices a load would refuse are not written.
    const int bad[] = { 0, 1, 2, 3, 4, 5 };
    for (int which : bad) {
        SmallMap(map.get());
        switch (which) {
        case 0: map->brushCount = kMaxBrushes + 1; break;
        case 1: map->entityCount = -1; break;
        case 2: map->brushes[0].vertCount = kMaxBrushVerts + 1; break;
        case 3: map->brushes[0].faceCount = kMaxBrushFaces + 1; break;
        case 4: map->brushes[0].faces[1].count = kMaxFaceCorners + 1; break;
        case 5: map->brushes[0].faces[0].indices[2] = 4; break;
        }
        EXPECT_EQ(SaveMapZIZUDU(path.c_str(), map.get()), 0) << which;
        EXPECT_EQ(ReadAllBytes(path), good) << which;
        EXPECT_EQ(FolderNames(dir.path), std::vector<std::string>{ "keep.zizudu" });
    }

    SmallMap(map.get());
    std::string folder = dir.File("a_folder");                 // a target that cannot be replaced
    std::filesystem::create_directories(folder + "/inside");
    EXPECT_EQ(SaveMapZIZUDU(folder.c_str(), map.get()), 0);
    EXPECT_TRUE(FileExists(folder + "/inside"));
    EXPECT_EQ(FolderNames(dir.path), (std::vector<std::string>{ "a_folder", "keep.zizudu" }));
    EXPECT_EQ(SaveMapZIZUDU(dir.File("missing/x.zizudu").c_str(), map.get()), 0);
}

}  // namespace
