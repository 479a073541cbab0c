// Capacities, defaults and the plain-record property of the map records.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "document/map_records.h"
#include "document/primitives.h"

TEST(MapRecords, CapacitiesAndNameTables)
{
    MapDoc *map = nullptr;
    EXPECT_EQ(sizeof(map->brushes) / sizeof(map->brushes[0]), 256u);
    EXPECT_EQ(sizeof(map->entities) / sizeof(map->entities[0]), 256u);
    EXPECT_EQ(sizeof(map->brushes[0].verts) / sizeof(Vector3), 64u);
    EXPECT_EQ(sizeof(map->brushes[0].faces) / sizeof(BrushFace), 48u);
    EXPECT_EQ(sizeof(map->brushes[0].faces[0].indices) / sizeof(int32_t), 16u);
    EXPECT_EQ(sizeof(map->brushes[0].name), 32u);
    EXPECT_EQ(sizeof(map->entities[0].className), 32u);

    EXPECT_STREQ(kEntityKindName[ENTITY_LIGHT_ENVIRONMENT], "light_environment");
    EXPECT_STREQ(kEntityKindName[ENTITY_PLAYER_START], "info_player_start");
    EXPECT_STREQ(kEntityKindIcon[ENTITY_LIGHT_ENVIRONMENT], "light_env");
    EXPECT_STREQ(kEntityKindIcon[ENTITY_PROP_PHYSICS], "physics");
    EXPECT_STREQ(kShapeName[SHAPE_WEDGE], "Arc");
    EXPECT_STREQ(kProjName[PROJ_FIT], "Fit");
}

TEST(MapRecords, FaceInitDefaultsKeepsCornersAndResetsPlacement)
{
    BrushFace face;
    memset(&face, 0x5a, sizeof(face));
    face.count = 4;
    for (int k = 0; k < 4; k++) face.indices[k] = 10 + k;
    FaceInitDefaults(&face, 7);
    EXPECT_EQ(face.count, 4);
    for (int k = 0; k < 4; k++) EXPECT_EQ(face.indices[k], 10 + k);
    EXPECT_EQ(face.texture, 7);
    EXPECT_EQ(face.uvScale[0], 2.0f);
    EXPECT_EQ(face.uvScale[1], 2.0f);
    EXPECT_EQ(face.uvOffset[0], 0.0f);
    EXPECT_EQ(face.uvOffset[1], 0.0f);
    EXPECT_EQ(face.uvRotation, 0.0f);
    EXPECT_EQ(face.projection, PROJ_WORLD);
    EXPECT_EQ(face.flipU, 0);
    EXPECT_EQ(face.flipV, 0);
    EXPECT_EQ(face.tint.r, 255);
    EXPECT_EQ(face.tint.a, 255);
}

TEST(MapRecords, ByteCopyOfMapIsIndependent)
{
    auto a = std::make_unique<MapDoc>();
    auto b = std::make_unique<MapDoc>();
    memset(a.get(), 0, sizeof(MapDoc));
    BrushInit(&a->brushes[0], SHAPE_CUBE, Vector3{ 1, 2, 3 }, Vector3{ 2, 2, 2 }, 0);
    snprintf(a->entities[0].name, kNameLen, "%s", "Lamp");
    a->brushCount = 1;
    a->entityCount = 1;

    memcpy(b.get(), a.get(), sizeof(MapDoc));
    EXPECT_EQ(memcmp(a.get(), b.get(), sizeof(MapDoc)), 0);

    b->brushes[0].verts[0].x = 99.0f;
    snprintf(b->entities[0].name, kNameLen, "%s", "Other");
    b->brushCount = 0;
    EXPECT_EQ(a->brushes[0].verts[0].x, -1.0f);
    EXPECT_STREQ(a->entities[0].name, "Lamp");
    EXPECT_EQ(a->brushCount, 1);
}
