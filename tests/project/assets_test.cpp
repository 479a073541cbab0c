// Asset library rules that need no window: accepted files, names, which numbers readers accept,
// icon look-up by name and the texture batches of brush drawing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "document/primitives.h"
#include "project/assets.h"
#include "render/brush_draw.h"
#include "render/gizmos.h"

class AssetTables : public ::testing::Test {
protected:
    void SetUp() override { memset(&gAssets, 0, sizeof(gAssets)); }
    void TearDown() override { memset(&gAssets, 0, sizeof(gAssets)); }

    // Fake slots: ids only, nothing on a GPU.
    void AddTexture(unsigned int id, const char *name, bool loaded = true)
    {
        TextureAsset &t = gAssets.textures[gAssets.textureCount++];
        t.texture.id = id;
        AssetSetName(t.name, name);
        t.loaded = loaded;
    }
    void AddIcon(const char *name, bool loaded = true)
    {
        TextureAsset &t = gAssets.icons[gAssets.iconCount++];
        AssetSetName(t.name, name);
        t.loaded = loaded;
    }
};

TEST(AssetFiles, EachTableAcceptsItsExtensionsWithoutRegardToCase)
{
    EXPECT_TRUE(AssetFileAccepted(ASSET_TEXTURES, "assets/textures/brick.PNG"));
    EXPECT_TRUE(AssetFileAccepted(ASSET_TEXTURES, "a/b.bmp"));
    EXPECT_TRUE(AssetFileAccepted(ASSET_TEXTURES, "a/b.jpg"));     // offered to the loader, which refuses it
    EXPECT_TRUE(AssetFileAccepted(ASSET_TEXTURES, "a/b.jpeg"));
    EXPECT_FALSE(AssetFileAccepted(ASSET_TEXTURES, "a/b.gif"));
    EXPECT_FALSE(AssetFileAccepted(ASSET_TEXTURES, "a/png"));
    EXPECT_TRUE(AssetFileAccepted(ASSET_ICONS, "resources/icons/light.png"));
    EXPECT_FALSE(AssetFileAccepted(ASSET_ICONS, "resources/icons/light.jpg"));
    for (const char *ok : { "m.obj", "m.gltf", "m.GLB", "m.iqm" }) EXPECT_TRUE(AssetFileAccepted(ASSET_MODELS, ok)) << ok;
    EXPECT_FALSE(AssetFileAccepted(ASSET_MODELS, "m.fbx"));
    EXPECT_FALSE(AssetFileAccepted(ASSET_MODELS, "m.png"));
    EXPECT_FALSE(AssetFileAccepted(7, "m.png"));
}

TEST(AssetFiles, NamesAreCutTo63Characters)
{
    char name[kAssetNameLen];
    std::string longName(100, 'n');
    AssetSetName(name, longName.c_str());
    EXPECT_EQ(strlen(name), 63u);
    AssetSetName(name, "stone");
    EXPECT_STREQ(name, "stone");
}

TEST_F(AssetTables, ReadersAcceptOnlyLoadedSlotsBelowTheCount)
{
    AddTexture(3, "a");
    AddTexture(4, "b", false);
    gAssets.textures[2].loaded = true;                           // left over beyond the count
    EXPECT_TRUE(AssetTextureUsable(0));
    EXPECT_FALSE(AssetTextureUsable(1));
    EXPECT_FALSE(AssetTextureUsable(2));
    EXPECT_FALSE(AssetTextureUsable(-1));
    EXPECT_FALSE(AssetTextureUsable(kMaxTextures));
    gAssets.models[0].loaded = true;
    EXPECT_FALSE(AssetModelUsable(0));
    gAssets.modelCount = 1;
    EXPECT_TRUE(AssetModelUsable(0));
}

TEST_F(AssetTables, IconLookupTakesTheLowestLoadedIndexOfThatName)
{
    AddIcon("light", false);
    AddIcon("physics");
    AddIcon("light");
    AddIcon("light");
    EXPECT_EQ(FindIcon("light"), 2);
    EXPECT_EQ(FindIcon("physics"), 1);
    EXPECT_EQ(FindIcon("Light"), -1);
    EXPECT_EQ(FindIcon("light_env"), -1);
}

TEST_F(AssetTables, FaceTextureFallsBackToTheBrushAndThenToNone)
{
    AddTexture(11, "a");
    AddTexture(12, "b");
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 1, 1, 1 }, 1);
    b.faces[0].texture = -1;
    EXPECT_EQ(BrushFaceTexture(&b, &b.faces[0]).id, 12u);        // the brush's texture
    b.faces[0].texture = 0;
    EXPECT_EQ(BrushFaceTexture(&b, &b.faces[0]).id, 11u);
    b.faces[0].texture = -1;
    b.texture = 9;                                               // beyond the loaded textures
    EXPECT_EQ(BrushFaceTexture(&b, &b.faces[0]).id, 0u);
}

TEST_F(AssetTables, SolidBrushBatchesOncePerTextureInOrderOfFirstUse)
{
    AddTexture(21, "a");
    AddTexture(22, "b");
    AddTexture(23, "c");
    Brush b;
    BrushInit(&b, SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
    const int faceTex[6] = { 1, 0, 1, 2, 0, 7 };                 // 7 is unusable: untextured
    for (int f = 0; f < 6; f++) b.faces[f].texture = faceTex[f];
    int order[kMaxBrushFaces], start[kMaxBrushFaces];
    int groups = BrushTextureBatches(&b, order, start);
    ASSERT_EQ(groups, 4);
    EXPECT_EQ(std::vector<int>(order, order + 6), (std::vector<int>{ 0, 2, 1, 4, 3, 5 }));
    EXPECT_EQ(std::vector<int>(start, start + 4), (std::vector<int>{ 0, 2, 4, 5 }));
}

TEST(FaceDrawColour, TintMultipliesTheCallersColour)
{
    Color white = { 255, 255, 255, 200 };
    Color c = FaceDrawColour(white, Color{ 128, 128, 128, 0 });
    EXPECT_EQ(c.r, 128); EXPECT_EQ(c.g, 128); EXPECT_EQ(c.b, 128); EXPECT_EQ(c.a, 200);   // alpha is the caller's
    c = FaceDrawColour(Color{ 230, 41, 55, 255 }, Color{ 255, 255, 255, 255 });
    EXPECT_EQ(c.r, 230); EXPECT_EQ(c.g, 41); EXPECT_EQ(c.b, 55);
    c = FaceDrawColour(Color{ 100, 100, 100, 255 }, Color{ 3, 0, 255, 255 });
    EXPECT_EQ(c.r, 1); EXPECT_EQ(c.g, 0); EXPECT_EQ(c.b, 100);   // truncating division
}
