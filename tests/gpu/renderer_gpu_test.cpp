// The GPU renderer and the mesh cache with a real OpenGL context: resources and their release,
// quality, the CPU fallback when the lighting shader is missing or broken, re-baking, and the
// images of the Render view's own pass.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <random>
#include <string>

#include "raylib.h"
#include "document/primitives.h"
#include "document/settings.h"
#include "editor/windows/render_view.h"
#include "project/assets.h"
#include "render/draw_cache.h"
#include "render/lights.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"
#include "support/map_bytes.h"

namespace {

constexpr int kImageW = 800, kImageH = 600;

// Ground, a box floating over its middle and a sun straight above: the box's shadow falls on the
// ground at the origin, which the start camera sees past the box's side.
void ShadowScene(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    BrushInit(&map->brushes[0], SHAPE_CUBE, Vector3{ 0, -0.5f, 0 }, Vector3{ 20, 1, 20 }, -1);
    map->brushes[0].colour = Color{ 200, 200, 200, 255 };
    BrushInit(&map->brushes[1], SHAPE_CUBE, Vector3{ 0, 3, 0 }, Vector3{ 3, 2, 3 }, -1);
    map->brushes[1].colour = WHITE;
    map->brushCount = 2;
    EntityInitLight(&map->entities[0], ENTITY_LIGHT_ENVIRONMENT, Vector3{ 0, 10, 0 }, WHITE, 1.0f, 100, 25, 45);
    map->entities[0].rotation = Vector3{ 90, 0, 0 };   // straight down
    map->entityCount = 1;
}

struct Shot {
    int at, open, modelSide;   // red of the ground at `at`, of the ground at (-5, 0, 5), of a model's +Z side
    bool gpu;
};

const Camera3D kShotCamera = { { 12, 10, 12 }, { 0, 0, 0 }, { 0, 1, 0 }, 75, CAMERA_PERSPECTIVE };

// The Render view's own pass (GPU when the renderer is ready, else the CPU fallback), read back
// top row first; UnloadImage it.
Image RenderPicture(const MapDoc *map)
{
    static UiState ui;
    memset(&ui, 0, sizeof(ui));
    ui.cam3D = kShotCamera;
    ui.renderTargets[kRenderOutputTarget] = LoadRenderTexture(kImageW, kImageH);
    GatherLights(map);
    if (gRenderer.ready) SyncBrushMeshes(map);   // as the end of the frame before does
    MapDrawCacheUpdate(map);                     // as the views' pass does
    RenderPreviewPass(ui, map);
    Image img = LoadImageFromTexture(ui.renderTargets[kRenderOutputTarget].texture);
    ImageFlipVertical(&img);
    UnloadRenderTexture(ui.renderTargets[kRenderOutputTarget]);
    return img;
}

// The red of the picture where it shows the world point p.
int RedAt(Image img, Vector3 p)
{
    Vector2 s = GetWorldToScreenEx(p, kShotCamera, kImageW, kImageH);
    return (int)GetImageColor(img, (int)s.x, (int)s.y).r;
}

Shot RenderShot(const MapDoc *map, Vector3 at = Vector3{ 0, 0, 0 })
{
    Image img = RenderPicture(map);
    Shot shot = { RedAt(img, at), RedAt(img, Vector3{ -5, 0, 5 }), RedAt(img, Vector3{ -5, 0.5f, 5.5f }),
                  gRenderer.ready != 0 };
    UnloadImage(img);
    return shot;
}

std::ostream &operator<<(std::ostream &m, const Shot &s)
{
    return m << "at " << s.at << " open " << s.open << " model " << s.modelSide << (s.gpu ? " (GPU)" : " (CPU)");
}

class Gpu : public ::testing::Test {
protected:
    void SetUp() override
    {
        SettingsForTests().lighting =
            LightingSettings{ QUALITY_MEDIUM, 1, 1, 0.0022f, 26.0f, 0.55f, 1.0f, 0.12f, 2.2f };
        SettingsForTests().editor.lighting = 1;
        SettingsForTests().editor.ambient = 0.35f;
        ASSERT_TRUE(ReloadRenderer(720, 450)) << gRenderer.status;
    }
    void TearDown() override { FreeRenderer(); }
};

}  // namespace

TEST_F(Gpu, ReloadsQualityAndTinySizesNeitherLeakNorLoseTheTargets)
{
    EXPECT_STREQ(gRenderer.status, "Renderer: GPU  shadows=yes  ssao=yes  shadowmap=1536px");
    EXPECT_EQ(gRenderer.ssaoWidth * 10 + gRenderer.ssaoHeight, 3600 + 225);
    const int live = RendererLiveResources();   // four programs, the material, four targets
    EXPECT_EQ(live, 9);
    for (int w : { 640, 0, 2 }) {               // 0: a window too small for a view keeps the last size
        ASSERT_TRUE(ReloadRenderer(w, 400));
        EXPECT_EQ(RendererLiveResources(), live);
        EXPECT_FALSE(gMeshCache[0].valid);      // the cache fills again at the next sync
    }
    EXPECT_EQ(gRenderer.depthTarget.texture.width, 2);
    EXPECT_EQ(gRenderer.ssaoWidth, 1);          // half of 2, at least 1
    ResizeRendererTargets(1, 600);              // ignored
    EXPECT_EQ(gRenderer.depthTarget.texture.width, 2);
    ResizeRendererTargets(800, 600);
    EXPECT_EQ(gRenderer.ssaoHeight, 300);

    // Quality: 2 -> 1 re-makes the map at 1024, 1 -> 0 keeps it, 3 makes it 2048.
    const struct { RenderQuality q; int size; bool same; } steps[] = {
        { QUALITY_LOW, 1024, false }, { QUALITY_OFF, 1024, true }, { QUALITY_HIGH, 2048, false } };
    for (const auto &s : steps) {
        unsigned int before = gRenderer.shadowMap.id;
        SettingsForTests().lighting.quality = s.q;
        ApplyRenderQuality();
        EXPECT_EQ(gRenderer.shadowMap.depth.width, s.size);
        EXPECT_NE(strstr(gRenderer.status, TextFormat("shadowmap=%dpx", s.size)), nullptr) << gRenderer.status;
        EXPECT_EQ(gRenderer.shadowMap.id == before, s.same);
        EXPECT_TRUE(gRenderer.targetsOk);
    }
    EXPECT_EQ(RendererLiveResources(), live);
    InitRenderer(720, 450);                     // a second start without a release strands nothing
    EXPECT_EQ(RendererLiveResources(), live);
    FreeRenderer();
    FreeRenderer();                             // shutdown after a release frees nothing twice
    EXPECT_EQ(RendererLiveResources(), 0);
    MapDoc map;
    ShadowScene(&map);
    EXPECT_FALSE(RenderScene3D_GPU(&map, Camera3D{}, RenderTexture2D{}, BLACK, SKY_DAY));
}

TEST_F(Gpu, AShaderMissingBrokenOrNotAFileSwitchesOffWhatNeedsItAndSaysSo)
{
    MapDoc map;
    ShadowScene(&map);
    const std::string kCpu = "Shaders missing or failed to compile - using CPU shading. Check resources/shaders/";
    const std::string kGpu = "Renderer: GPU  shadows=";
    // FIXED_BROKEN: only the programs built with fixed lights fail; the file as it is draws instead.
    // A FIFO, read, would block the start for ever; HUGE is the sound file made longer than is read.
    enum Fault { MISSING, BROKEN, FIFO, FIXED_BROKEN, HUGE };
    const struct { const char *file; Fault fault; std::string status; } cases[] = {
        { "lighting.fs", MISSING, kCpu }, { "lighting.vs", MISSING, kCpu }, { "lighting.fs", BROKEN, kCpu },
        { "lighting.vs", BROKEN, kCpu }, { "lighting.fs", FIFO, kCpu }, { "lighting.vs", HUGE, kCpu },
        { "lighting.fs", FIXED_BROKEN, kGpu + "yes  ssao=yes  shadowmap=1536px" },
        { "depth.fs", BROKEN,
          kGpu + "no  ssao=no  shadowmap=1536px  - shadows and occlusion off: depth shader failed to load" },
        { "ssao.fs", MISSING, kGpu + "yes  ssao=no  shadowmap=1536px  - occlusion off: ssao shader failed to load" },
        { "blur.fs", BROKEN, kGpu + "yes  ssao=no  shadowmap=1536px  - occlusion off: blur shader failed to load" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.file) + " fault " + std::to_string(c.fault));
        FreeRenderer();
        TempFolder dir;                         // the shader folder with one file missing or broken
        std::filesystem::copy("resources", dir.path + "/resources", std::filesystem::copy_options::recursive);
        std::string file = dir.path + "/resources/shaders/" + c.file;
        std::vector<uint8_t> text = ReadAllBytes(file);
        const std::string notGlsl = c.fault == FIXED_BROKEN ? "\n#ifdef LIGHT_SLOTS\nthis line is not GLSL\n#endif\n"
                                                            : "\nthis line is not GLSL\n";
        text.insert(text.end(), notGlsl.begin(), notGlsl.end());
        std::filesystem::remove(file);
        if (c.fault == BROKEN || c.fault == FIXED_BROKEN) WriteAllBytes(file, text);
        if (c.fault == HUGE) {                  // NULs after the sound source, which the compiler would never see
            WriteAllBytes(file, std::vector<uint8_t>(text.begin(), text.end() - (long)notGlsl.size()));
            std::filesystem::resize_file(file, (uintmax_t)kShaderFileMaxBytes + 1);
        }
        ASSERT_TRUE(c.fault != FIFO || mkfifo(file.c_str(), 0600) == 0);
        ASSERT_TRUE(ChangeDirectory(dir.path.c_str()));
        bool ready = ReloadRenderer(720, 450);
        ChangeDirectory(KIRTO_SOURCE_DIR);
        EXPECT_EQ(ready, c.status != kCpu);
        EXPECT_EQ(gRenderer.status, c.status);
        Shot s = RenderShot(&map);              // either path draws the lit ground
        EXPECT_EQ(s.gpu, ready);
        EXPECT_GT(s.open, 150) << s;
        EXPECT_EQ(s.at * 4 < s.open * 3, ready && ShadowPassUsable()) << s;   // a shadow when the status has one
        FreeRenderer();
        EXPECT_EQ(RendererLiveResources(), 0);  // the programs that did load are released too
    }
}

TEST_F(Gpu, TheCacheRebakesOnlyTheBrushesThatChanged)
{
    MapDoc map;
    memset(&map, 0, sizeof(map));
    for (int i = 0; i < 10; i++) {
        BrushInit(&map.brushes[i], i % kBrushShapeCount, Vector3{ (float)i * 3, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    }
    map.brushCount = 10;
    EXPECT_EQ(SyncBrushMeshes(&map), 10);
    EXPECT_EQ(SyncBrushMeshes(&map), 0);
    EXPECT_EQ(gMeshCache[0].mesh.vertexCount, 36);

    for (int f = 0; f < map.brushes[2].faceCount; f++) map.brushes[2].faces[f].projection = PROJ_LOCAL;
    EXPECT_EQ(SyncBrushMeshes(&map), 1);
    map.brushes[2].origin.y += 5;               // Local faces: neither a move nor the look re-bakes
    map.brushes[2].colour = RED;
    map.brushes[2].texture = 4;
    EXPECT_EQ(SyncBrushMeshes(&map), 0);
    map.brushes[2].faces[1].tint.b = 10;
    map.brushes[5].origin.x += 1;               // World faces: the move re-bakes
    EXPECT_EQ(SyncBrushMeshes(&map), 2);

    MapRemoveBrush(&map, 3);                    // 4..9 move down: slots 3..8 re-bake, 9 is unloaded
    EXPECT_EQ(SyncBrushMeshes(&map), 6);
    EXPECT_FALSE(gMeshCache[9].valid);
    map.brushes[0].faceCount = 0;               // no triangles: no mesh, and tried every frame
    EXPECT_EQ(SyncBrushMeshes(&map), 1);
    EXPECT_EQ(SyncBrushMeshes(&map), 1);
    EXPECT_FALSE(gMeshCache[0].valid);
    map.brushCount = 0;
    EXPECT_EQ(SyncBrushMeshes(&map), 0);
    for (const MeshCacheEntry &e : gMeshCache) EXPECT_FALSE(e.valid);
}

// The cache keeps each brush's hash and compares the brush's bytes rather than hashing them again:
// after any run of edits, in use or not, damaged or not, every entry holds the brush's own hash,
// so a brush whose hash changed was baked again.
TEST_F(Gpu, TheCachedHashesFollowEveryEdit)
{
    constexpr int kBrushes = 8;
    MapDoc map;
    memset(&map, 0, sizeof(map));
    for (int i = 0; i < kBrushes; i++) {
        BrushInit(&map.brushes[i], i % kBrushShapeCount, Vector3{ (float)i * 3, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
    }
    map.brushCount = kBrushes;
    std::mt19937 rng(28);
    auto pick = [&rng](int n) { return (int)(rng() % (unsigned)n); };
    for (int round = 0; round < 600; round++) {
        Brush *b = &map.brushes[pick(kBrushes)];
        BrushFace *f = &b->faces[pick(kMaxBrushFaces)];
        switch (pick(8)) {
        case 0: b->verts[pick(kMaxBrushVerts)].y += 0.25f; break;
        case 1: f->indices[pick(kMaxFaceCorners)] = pick(kMaxBrushVerts); break;   // a corner in use or not
        case 2: f->uvOffset[1] += 0.5f; f->tint.g++; break;
        case 3: f->projection = (uint8_t)pick(3); break;
        case 4: b->origin.z += 1.0f; b->rotation.y += 15.0f; break;
        case 5: b->vertCount = pick(kMaxBrushVerts + 8) - 4; break;   // out of range too
        case 6: b->faceCount = pick(kMaxBrushFaces + 8) - 4; f->count = pick(kMaxFaceCorners + 4) - 2; break;
        default: b->colour.r++; b->name[0]++; b->hidden ^= 1; break;   // bytes the hash skips
        }
        SyncBrushMeshes(&map);
        for (int i = 0; i < kBrushes; i++) ASSERT_EQ(gMeshCache[i].hash, BrushGeometryHash(&map.brushes[i])) << round;
    }
}

TEST_F(Gpu, ABlockedSunShadowsTheGroundOnlyOnTheGpuAndOnlyWithAShadowPass)
{
    MapDoc map;
    ShadowScene(&map);
    for (RenderQuality q : { QUALITY_LOW, QUALITY_MEDIUM, QUALITY_HIGH }) {
        SettingsForTests().lighting.quality = q;
        Shot s = RenderShot(&map);
        EXPECT_LT(s.at * 4, s.open * 3) << "quality " << q << ": " << s;
    }
    // A lamp far brighter than the sun (scripts may set any brightness), out of the ground's reach.
    EntityInitLight(&map.entities[1], ENTITY_LIGHT, Vector3{ 60, 1, 60 }, WHITE, 500.0f, 1, 25, 45);
    map.entityCount = 2;
    Shot lamp = RenderShot(&map);
    EXPECT_LT(lamp.at * 4, lamp.open * 3) << "with a brighter lamp: " << lamp;
    map.entityCount = 1;
    SettingsForTests().lighting.quality = QUALITY_OFF;   // still the GPU path, without a shadow pass
    Shot off = RenderShot(&map);
    EXPECT_TRUE(off.gpu);
    EXPECT_NEAR(off.at, off.open, 3) << off;
    SettingsForTests().lighting.quality = QUALITY_MEDIUM;
    SettingsForTests().lighting.shadows = 0;
    Shot noShadows = RenderShot(&map);
    EXPECT_NEAR(noShadows.at, noShadows.open, 12) << noShadows;   // the occlusion may shade a little

    FreeRenderer();                             // the CPU fallback: one flat colour per face, in white
    Shot cpu = RenderShot(&map);
    EXPECT_EQ(cpu.at, cpu.open) << cpu;
    EXPECT_NE(cpu.open, off.open) << cpu << " / " << off;
}

TEST_F(Gpu, OcclusionDarkensTheFootOfAWallWhereTheLitPassDrawsIt)
{
    // No light: the ambient term, which the occlusion scales, is all there is.
    MapDoc map;
    ShadowScene(&map);
    map.entityCount = 0;
    BrushInit(&map.brushes[1], SHAPE_CUBE, Vector3{ 0, 1, 0 }, Vector3{ 6, 2, 0.5f }, -1);
    SettingsForTests().lighting.quality = QUALITY_HIGH;
    SettingsForTests().lighting.aoRadius = 1.0f;
    SettingsForTests().lighting.aoStrength = 2.0f;
    Shot withAo = RenderShot(&map, Vector3{ 0, 0, 0.4f });
    SettingsForTests().lighting.ssao = 0;
    Shot without = RenderShot(&map, Vector3{ 0, 0, 0.4f });
    // A depth prepass drawn in another shape than the lit pass puts the dark band elsewhere.
    EXPECT_LT(withAo.at * 5, without.at * 4) << withAo << " / " << without;
    EXPECT_NEAR(withAo.open, without.open, 6) << withAo << " / " << without;
}

TEST_F(Gpu, EntityModelsAreLitOnTheGpuPathAndTheirMaterialsComeBackUnchanged)
{
    MapDoc map;
    ShadowScene(&map);
    gAssets.models[0].model = LoadModelFromMesh(GenMeshCube(1, 1, 1));
    gAssets.models[0].loaded = true;
    gAssets.modelCount = 1;
    Entity *prop = &map.entities[map.entityCount++];
    memset(prop, 0, sizeof(*prop));
    prop->position = Vector3{ -5, 0.5f, 5 };
    prop->scale = 1;
    prop->texture = -1;                         // model 0, kind generic
    prop->tint = Color{ 255, 0, 0, 255 };
    const Material &mat = gAssets.models[0].model.materials[0];
    const Material before = mat;
    const MaterialMap map0 = mat.maps[MATERIAL_MAP_ALBEDO];

    // The sun is straight above: a side gets the ambient light only on the GPU, the full tint unlit.
    Shot gpu = RenderShot(&map);
    EXPECT_GT(gpu.modelSide, 80) << gpu;
    EXPECT_LT(gpu.modelSide, 200) << gpu;
    FreeRenderer();
    EXPECT_EQ(RenderShot(&map).modelSide, 255);
    EXPECT_EQ(mat.shader.id, before.shader.id);
    EXPECT_EQ(memcmp(&mat.maps[MATERIAL_MAP_ALBEDO], &map0, sizeof(map0)), 0);   // tint and texture lent only
    EXPECT_EQ(mat.maps[MATERIAL_MAP_METALNESS].texture.id + mat.maps[MATERIAL_MAP_OCCLUSION].texture.id, 0u);

    UnloadModel(gAssets.models[0].model);
    memset(&gAssets.models[0], 0, sizeof(gAssets.models[0]));
    gAssets.modelCount = 0;
}

TEST_F(Gpu, TheLightThatCastsTheShadowIsLitAndShadowedWhereverItWasGathered)
{
    // Nine lamps, the first by the ground under the box (not blocked by it), and the sun: the
    // same image whether the sun is gathered first or tenth, past the eight lights uploaded.
    MapDoc map;
    ShadowScene(&map);
    Entity sun = map.entities[0];
    for (int i = 0; i < 9; i++) {
        Vector3 far = { 100.0f + 10.0f * (float)i, 0.0f, 100.0f };
        EntityInitLight(&map.entities[i], ENTITY_LIGHT, i == 0 ? Vector3{ 1, 1, 1 } : far, WHITE, 0.6f, 4, 25, 45);
    }
    map.entities[9] = sun;
    map.entityCount = 10;
    Shot last = RenderShot(&map);
    std::rotate(map.entities, map.entities + 9, map.entities + 10);   // the sun first, then the lamps
    Shot first = RenderShot(&map);
    EXPECT_LT(last.at * 4, last.open * 3) << last;   // the sun is shadowed under the box
    EXPECT_NEAR(last.at, first.at, 2) << last << " / " << first;
    EXPECT_NEAR(last.open, first.open, 2) << last << " / " << first;
}

TEST_F(Gpu, ALampLightsTheSamePlacesWithShadowsOnAsWithShadowsOff)
{
    // A room without a ceiling and one lamp in it. The shadow camera looks along the lamp's
    // facing, from outside the walls: a lamp shadowed by that map would leave its own pool dark.
    MapDoc map;
    ShadowScene(&map);
    const Vector3 wallAt[4] = { { 0, 1.5f, -9.75f }, { 0, 1.5f, 9.75f }, { -9.75f, 1.5f, 0 }, { 9.75f, 1.5f, 0 } };
    for (int i = 0; i < 4; i++) {
        Vector3 size = (i < 2) ? Vector3{ 20, 3, 0.5f } : Vector3{ 0.5f, 3, 20 };
        BrushInit(&map.brushes[1 + i], SHAPE_CUBE, wallAt[i], size, -1);
        map.brushes[1 + i].colour = WHITE;
    }
    map.brushCount = 5;
    const struct { const char *what; int kind; Vector3 rotation; } lamps[] = {
        { "point facing level", ENTITY_LIGHT, { 0, 0, 0 } },
        { "point facing down and across", ENTITY_LIGHT, { 35, 40, 0 } },
        { "spot aimed a little down", ENTITY_LIGHT_SPOT, { 8, 0, 0 } },
    };
    for (const auto &l : lamps) {
        EntityInitLight(&map.entities[0], l.kind, Vector3{ 0, 2.5f, 0 }, WHITE, 1.5f, 12, 50, 80);
        map.entities[0].rotation = l.rotation;
        for (RenderQuality q : { QUALITY_LOW, QUALITY_MEDIUM, QUALITY_HIGH }) {
            SCOPED_TRACE(std::string(l.what) + ", quality " + kQualityName[q]);
            SettingsForTests().lighting.quality = q;
            ApplyRenderQuality();
            SettingsForTests().lighting.shadows = 1;
            Image on = RenderPicture(&map);
            SettingsForTests().lighting.shadows = 0;
            Image off = RenderPicture(&map);
            Vector3 pool = (l.kind == ENTITY_LIGHT_SPOT) ? Vector3{ 0, 0, 3 } : Vector3{ 0, 0, 0 };
            int lit = RedAt(off, pool), unlit = RedAt(off, Vector3{ -8, 0, -8 });
            EXPECT_GT(lit, unlit + 40) << "the pool is lit at all";
            EXPECT_NEAR(RedAt(on, pool), lit, 2);
            int differing = 0;
            const unsigned char *p = (const unsigned char *)on.data, *o = (const unsigned char *)off.data;
            for (int i = 0; i < kImageW * kImageH * 4; i += 4) differing += abs(p[i] - o[i]) > 2;
            EXPECT_EQ(differing, 0);
            UnloadImage(on);
            UnloadImage(off);
        }
    }
}
