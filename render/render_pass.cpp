// render_pass.cpp: the GPU render of the Render view (shadow, depth, occlusion, blur and lit
// passes) and the entity models drawn through the lighting program.
//
// The shadow and depth passes draw into framebuffers of their own size outside raylib's texture
// mode, where BeginMode3D would take the aspect of the window; they set their own viewport and
// projection instead, so the occlusion lines up with the lit image drawn in texture mode.
#include <cmath>
#include <cstring>

#include "raylib.h"
#include "raymath.h"
#include "rlgl.h"
#include "document/brush_geometry.h"
#include "document/settings.h"
#include "project/assets.h"
#include "render/draw_cache.h"
#include "render/gizmos.h"
#include "render/lights.h"
#include "render/mesh_batch.h"
#include "render/mesh_cache.h"
#include "render/renderer.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr int kMaxTintedMaterials = 16;     // materials past this keep their own look
static constexpr float kMinDirectionLength = 0.0001f;
static constexpr float kSteepLight = 0.95f;        // |d.y| above this: the shadow camera's up is +Z
static constexpr float kShadowDistance = 1.6f;     // shadow camera distance, in shadow areas
static constexpr float kShadowFar = 3.2f;          // depth range of the shadow map, in shadow areas
static constexpr float kSsaoBias = 0.02f;
static constexpr int kSamplesLow = 8, kSamplesHigh = 24;
static constexpr float kLightReachMargin = 0.01f;   // share of a range, and world units, kept beyond it
static const Vector3 kDefaultShadowDir = { -0.4f, -1.0f, -0.3f };

int gDrawPerBrush;
int gShadowMapDraws;
int gOcclusionDraws;

static constexpr uint64_t kShadowKeySeed = 0x5AD0C0FFEE15D0E5ull;
static constexpr uint64_t kOcclusionKeySeed = 0xA0C1D0E5B1077EDull;

// The pass textures of this frame's lit pass, lent to the lit entity models drawn after it.
static unsigned int sLitShadowTex, sLitAoTex;

// What every lighting program drawn with in a lit pass is given, and the pass's number.
struct LitPassUniforms {
    Vector3 viewPos;
    Matrix lightVP;
    int shadowsOn, soft, aoOn;
    float screen[2];
};
static LitPassUniforms sPass;
static uint32_t sLitPass;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void BeginTargetCamera(Camera3D camera, int width, int height, double nearPlane, double farPlane);
static void DrawCachedMeshes(const MapDoc *map, Material material, bool brushLook);
static void DrawBatches(Material material, bool brushLook);
static Matrix BrushModelTransform(const Brush *brush);
static void GivePassUniforms(LitProgram *program);
static void UploadLightTable(LitProgram *program, const int *list, int count);
static int LightsReaching(const int *list, int count, BoundingBox box, int out[kMaxShaderLights]);
static void DrawLitDepthFirst(const MapDoc *map, bool always);
static void DrawBrushDepth(const MapDoc *map);
static void LendPassMaps(Material *material, unsigned int shadowTex, unsigned int aoTex);
static Matrix DepthPass(const MapDoc *map, unsigned int framebuffer, Camera3D camera, int width, int height,
                        double nearPlane, double farPlane, Matrix *projection);
static uint64_t BatchesKey(uint64_t h);
static uint64_t ShadowMapKey(Camera3D shadowCam, double nearPlane, double farPlane);
static uint64_t OcclusionKey(Camera3D camera, int width, int height);
static int OcclusionSamples(void);
static Matrix ShadowPass(const MapDoc *map, Camera3D camera, bool *shadowsOn);
static bool OcclusionPass(const MapDoc *map, Camera3D camera, int width, int height);
static bool OcclusionFromDepth(Texture2D depth, Matrix projection, int width, int height);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ShadowCasterIndex(void)
{
    // Only a sun casts (see ShadowPass), so no lamp, however bright a script made it, takes the
    // place of one.
    int best = -1;
    int lights = ClampCount(gLightCount, kMaxLights);
    for (int i = 0; i < lights; i++) {
        if (gLights[i].type != ENTITY_LIGHT_ENVIRONMENT) continue;
        if (best < 0 || gLights[i].brightness > gLights[best].brightness) best = i;
    }
    return best;
}

int ShaderLightList(int outIndex[kMaxShaderLights])
{
    int n = ClampCount(gLightCount, kMaxShaderLights);
    for (int i = 0; i < n; i++) outIndex[i] = i;
    int caster = ShadowCasterIndex();
    if (caster >= n) outIndex[n - 1] = caster;   // only when all eight places are taken
    return n;
}

bool PickShadowCaster(Vector3 centre, Camera3D *outCamera)
{
    int best = ShadowCasterIndex();
    if (best < 0) return false;
    Vector3 d = gLights[best].direction;
    if (Vector3Length(d) < kMinDirectionLength) d = kDefaultShadowDir;
    d = Vector3Normalize(d);
    outCamera->position = Vector3Subtract(centre, Vector3Scale(d, kShadowDistance * gLighting.shadowArea));
    outCamera->target = centre;
    outCamera->up = (fabsf(d.y) > kSteepLight) ? Vector3{ 0.0f, 0.0f, 1.0f } : Vector3{ 0.0f, 1.0f, 0.0f };
    outCamera->fovy = 2.0f * gLighting.shadowArea;
    outCamera->projection = CAMERA_ORTHOGRAPHIC;
    return true;
}

void DrawBrushMeshes(const MapDoc *map)
{
    DrawCachedMeshes(map, gRenderer.material, true);
}

void UploadLights(Vector3 viewPos, Matrix lightVP, bool shadowsOn, bool aoOn, int width, int height)
{
    sPass = LitPassUniforms{ viewPos, lightVP, shadowsOn ? 1 : 0, gLighting.quality > QUALITY_LOW ? 1 : 0, aoOn ? 1 : 0,
                             { (float)width, (float)height } };
    sLitPass++;
    if (sLitPass == 0) sLitPass = 1;               // 0 is what a program never drawn with holds
}

Shader LitShaderFor(const int *list, int count)
{
    count = ClampCount(count, kMaxShaderLights);
    int mode = !sPass.shadowsOn ? LIT_SHADOWS_OFF : (sPass.soft ? LIT_SHADOWS_SOFT : LIT_SHADOWS_HARD);
    // The reference picture is the shader file's own: nothing fixed, everything from uniforms.
    LitProgram *p = gDrawPerBrush ? nullptr : LitVariantFor(LitVariantKey(mode, sPass.aoOn != 0, list, count), sLitPass);
    if (p == nullptr) p = &gRenderer.lighting;
    p->usedPass = sLitPass;
    if (p->commonPass != sLitPass) GivePassUniforms(p);
    if (p->tableCount != count || memcmp(p->table, list, sizeof(int) * (size_t)count) != 0) UploadLightTable(p, list, count);
    return p->shader;
}

bool RenderScene3D_GPU(const MapDoc *map, Camera3D camera, RenderTexture2D target, Color clear, int sky)
{
    sLitShadowTex = 0;
    sLitAoTex = 0;
    if (!gRenderer.ready || !gRenderer.targetsOk) return false;
    int w = target.texture.width, h = target.texture.height;
    if (w <= 1 || h <= 1) return false;
    if (!gDrawPerBrush) SyncBrushBatches(map);

    // A pass whose program failed to load stays off rather than drawing with the library's default.
    bool shadowsOn = gLighting.shadows && gLighting.quality != QUALITY_OFF && ShadowPassUsable();
    bool aoOn = gLighting.ssao && gLighting.quality > QUALITY_LOW && OcclusionPassUsable();
    Matrix lightVP = MatrixIdentity();
    if (shadowsOn) lightVP = ShadowPass(map, camera, &shadowsOn);
    // An occlusion that shows the same brushes from the same camera is kept. Otherwise, where the
    // target's depth is a texture, the occlusion reads the depth the lit pass draws first anyway, so
    // the brushes' depth is drawn once; elsewhere it draws a depth of its own.
    uint64_t aoKey = aoOn ? OcclusionKey(camera, w, h) : 0;
    bool aoKept = aoKey != 0 && aoKey == gRenderer.occlusionKey;
    bool aoFromTarget = aoOn && !aoKept && DepthIsTexture(target);
    if (aoOn && !aoKept && !aoFromTarget) aoOn = OcclusionPass(map, camera, w, h);

    BeginTextureMode(target);
    ClearBackground(clear);
    DrawSkyBackground(sky, w, h);
    BeginMode3D(camera);
    DrawLitDepthFirst(map, aoFromTarget);
    if (aoFromTarget) {
        Matrix projection = rlGetMatrixProjection();
        EndMode3D();
        EndTextureMode();
        aoOn = OcclusionFromDepth(target.depth, projection, w, h);
        BeginTextureMode(target);                  // no clear: the sky and the depth stay
        BeginMode3D(camera);
    }
    if (!aoKept) {
        gRenderer.occlusionKey = aoOn ? aoKey : 0;
        if (aoOn) gOcclusionDraws++;
    }
    UploadLights(camera.position, lightVP, shadowsOn, aoOn, w, h);
    if (shadowsOn) sLitShadowTex = gRenderer.shadowMap.depth.id;
    if (aoOn) sLitAoTex = gRenderer.blurTarget.texture.id;
    LendPassMaps(&gRenderer.material, sLitShadowTex, sLitAoTex);
    DrawBrushMeshes(map);
    EndMode3D();
    LendPassMaps(&gRenderer.material, 0, 0);       // never unloaded with the material
    EndTextureMode();
    return true;
}

Matrix EntityModelTransform(const Entity *entity)
{
    Vector3 r = Vector3Scale(entity->rotation, kDegToRad);
    return MatrixMultiply(MatrixMultiply(MatrixScale(entity->scale, entity->scale, entity->scale), MatrixRotateXYZ(r)),
                          MatrixTranslate(entity->position.x, entity->position.y, entity->position.z));
}

void DrawEntityModelShaded(const Entity *entity, bool lit)
{
    if (!AssetModelUsable(entity->model)) return;
    Model copy = gAssets.models[entity->model].model;   // materials are shared: restored below
    int overrideTex = AssetTextureUsable(entity->texture) ? entity->texture : -1;
    Color tint = (entity->tint.a != 0) ? entity->tint : WHITE;
    bool shaded = lit && gRenderer.ready;

    int n = copy.materialCount < kMaxTintedMaterials ? copy.materialCount : kMaxTintedMaterials;
    for (int i = 0; i < n; i++) {
        if (copy.materials == nullptr || copy.materials[i].maps == nullptr) n = 0;   // nothing to tint
    }
    Shader litShader = gRenderer.lighting.shader;
    if (shaded) {
        int list[kMaxShaderLights];
        litShader = LitShaderFor(list, ShaderLightList(list));
    }
    Shader savedShader[kMaxTintedMaterials];
    MaterialMap savedMaps[kMaxTintedMaterials][3];
    static constexpr int kSavedMap[3] = { MATERIAL_MAP_ALBEDO, MATERIAL_MAP_METALNESS, MATERIAL_MAP_OCCLUSION };
    for (int i = 0; i < n; i++) {
        Material *m = &copy.materials[i];
        savedShader[i] = m->shader;
        for (int k = 0; k < 3; k++) savedMaps[i][k] = m->maps[kSavedMap[k]];
        if (overrideTex >= 0) m->maps[MATERIAL_MAP_ALBEDO].texture = gAssets.textures[overrideTex].texture;
        m->maps[MATERIAL_MAP_ALBEDO].color = tint;
        if (shaded) {
            m->shader = litShader;
            LendPassMaps(m, sLitShadowTex, sLitAoTex);
        }
    }
    copy.transform = EntityModelTransform(entity);
    DrawModel(copy, Vector3{ 0.0f, 0.0f, 0.0f }, 1.0f, WHITE);
    for (int i = 0; i < n; i++) {
        copy.materials[i].shader = savedShader[i];
        for (int k = 0; k < 3; k++) copy.materials[i].maps[kSavedMap[k]] = savedMaps[i][k];
    }
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// BeginMode3D for a framebuffer of width x height that raylib's texture mode does not know of;
// EndMode3D closes it.
static void BeginTargetCamera(Camera3D camera, int width, int height, double nearPlane, double farPlane)
{
    rlDrawRenderBatchActive();
    rlMatrixMode(RL_PROJECTION);
    rlPushMatrix();
    rlLoadIdentity();
    double aspect = (double)width / (double)height;
    if (camera.projection == CAMERA_PERSPECTIVE) {
        double top = nearPlane * tan(camera.fovy * 0.5 * DEG2RAD);
        rlFrustum(-top * aspect, top * aspect, -top, top, nearPlane, farPlane);
    } else {
        double top = camera.fovy / 2.0;
        rlOrtho(-top * aspect, top * aspect, -top, top, nearPlane, farPlane);
    }
    rlMatrixMode(RL_MODELVIEW);
    rlLoadIdentity();
    rlMultMatrixf(MatrixToFloat(MatrixLookAt(camera.position, camera.target, camera.up)));
    rlEnableDepthTest();
}

// The brushes' geometry in batches, or with gDrawPerBrush every valid cached mesh with its brush's
// transform; with brushLook, the texture and colour in map 0 (the texture stays lent to the
// material until it is given back).
static void DrawCachedMeshes(const MapDoc *map, Material material, bool brushLook)
{
    if (!gDrawPerBrush) {
        DrawBatches(material, brushLook);
        return;
    }
    int brushes = ClampCount(map->brushCount, kMaxBrushes);
    if (brushLook) {
        int list[kMaxShaderLights];
        material.shader = LitShaderFor(list, ShaderLightList(list));
    }
    for (int i = 0; i < brushes; i++) {
        if (!gMeshCache[i].valid) continue;
        const Brush *b = &map->brushes[i];
        if (brushLook) {
            material.maps[MATERIAL_MAP_ALBEDO].texture = BrushMeshTexture(b);
            material.maps[MATERIAL_MAP_ALBEDO].color = b->colour;
        }
        DrawMesh(gMeshCache[i].mesh, material, BrushModelTransform(b));
    }
}

// Every uploaded batch with an identity model matrix. With brushLook (the lit pass) map 0
// carries the batch's texture and white (the colours are in its vertices), and the batch is lit
// by the program for only the lights that can reach its box, in their order: a point or spot
// light farther than its range from every fragment adds nothing, yet costs each fragment its
// share of the lighting.
static void DrawBatches(Material material, bool brushLook)
{
    int list[kMaxShaderLights];
    int n = ShaderLightList(list);
    for (const BatchChunk &c : gBatchChunks) {
        for (int b = 0; b < c.batchCount; b++) {
            const BrushBatch &batch = c.batches[b];
            if (batch.mesh.vboId == nullptr) continue;   // never uploaded
            if (brushLook) {
                material.maps[MATERIAL_MAP_ALBEDO].texture = batch.texture;
                material.maps[MATERIAL_MAP_ALBEDO].color = WHITE;
                int reach[kMaxShaderLights];
                material.shader = LitShaderFor(reach, LightsReaching(list, n, batch.bounds, reach));
            }
            DrawMesh(batch.mesh, material, MatrixIdentity());
        }
    }
}

// The brushes' depth alone into the lit target, before the lit draws: the lighting program then
// runs once for each pixel that shows a brush (the depth test passes equal depths) rather than
// once for every brush drawn over it. Skipped without a depth program, and for the brushes drawn
// one by one unless always (the occlusion reads it).
static void DrawLitDepthFirst(const MapDoc *map, bool always)
{
    if ((gDrawPerBrush && !always) || !DepthProgramUsable()) return;
    rlDrawRenderBatchActive();                     // the sky, in colour, before the mask
    rlColorMask(false, false, false, false);
    DrawBrushDepth(map);
    rlColorMask(true, true, true, true);
}

// Every cached brush drawn with the depth program: only the depth it writes matters.
static void DrawBrushDepth(const MapDoc *map)
{
    Material depthMat = gRenderer.material;
    depthMat.shader = gRenderer.depth;
    DrawCachedMeshes(map, depthMat, false);
}

static Matrix BrushModelTransform(const Brush *brush)
{
    return MatrixMultiply(MatrixRotateXYZ(Vector3Scale(brush->rotation, kDegToRad)),
                          MatrixTranslate(brush->origin.x, brush->origin.y, brush->origin.z));
}

// The shadow map and the occlusion ride in material map slots that DrawMesh binds to units of
// their own (the lighting program's samplers point at those slots); id 0 binds nothing.
static void LendPassMaps(Material *material, unsigned int shadowTex, unsigned int aoTex)
{
    if (material->maps == nullptr) return;
    material->maps[MATERIAL_MAP_METALNESS].texture = Texture2D{ shadowTex, 1, 1, 1, 0 };
    material->maps[MATERIAL_MAP_OCCLUSION].texture = Texture2D{ aoTex, 1, 1, 1, 0 };
}

// Every cached brush's depth into a framebuffer of width x height, seen by camera; returns the
// view matrix and the projection it drew with.
static Matrix DepthPass(const MapDoc *map, unsigned int framebuffer, Camera3D camera, int width, int height,
                        double nearPlane, double farPlane, Matrix *projection)
{
    rlDrawRenderBatchActive();
    rlEnableFramebuffer(framebuffer);
    rlViewport(0, 0, width, height);
    rlClearColor(0, 0, 0, 255);
    rlClearScreenBuffers();
    BeginTargetCamera(camera, width, height, nearPlane, farPlane);
    Matrix view = rlGetMatrixModelview();
    *projection = rlGetMatrixProjection();
    rlColorMask(false, false, false, false);       // only the depth is read: the colour is never written
    DrawBrushDepth(map);
    EndMode3D();
    rlColorMask(true, true, true, true);
    rlDisableFramebuffer();
    rlViewport(0, 0, GetScreenWidth(), GetScreenHeight());   // back to the window's
    return view;
}

// What the shadow map shows follows from the caster's camera, the depth range, the map's size and
// the batches it draws. A Render view drawn again for anything else (the lit pass's settings, its
// own size, an entity model, its camera turned about the same target) keeps the map it has. 0 with
// the brushes drawn one by one: that reference path draws everything every time.
static uint64_t ShadowMapKey(Camera3D shadowCam, double nearPlane, double farPlane)
{
    if (gDrawPerBrush) return 0;
    const double range[2] = { nearPlane, farPlane };
    const uint32_t target[2] = { gRenderer.shadowMap.id, (uint32_t)gRenderer.shadowMapSize };
    uint64_t h = HashCamera(kShadowKeySeed, shadowCam);
    h = HashBytes(h, range, (int)sizeof(range));
    h = HashBytes(h, target, (int)sizeof(target));
    h = BatchesKey(h);
    return h != 0 ? h : 1;
}

// What the occlusion shows follows from the brushes' depth (the batches, seen by camera at this
// size between BeginMode3D's planes) and the occlusion's own settings; the lights and the lit
// pass's other settings play no part, so a Render view drawn again while a light is placed or the
// shading is tuned keeps it. 0 with the brushes drawn one by one.
static uint64_t OcclusionKey(Camera3D camera, int width, int height)
{
    if (gDrawPerBrush) return 0;
    const double range[2] = { rlGetCullDistanceNear(), rlGetCullDistanceFar() };
    const float settings[2] = { gLighting.aoRadius, gLighting.aoStrength };
    const int32_t size[3] = { width, height, OcclusionSamples() };
    uint64_t h = HashCamera(kOcclusionKeySeed, camera);
    h = HashBytes(h, range, (int)sizeof(range));
    h = HashBytes(h, settings, (int)sizeof(settings));
    h = HashBytes(h, size, (int)sizeof(size));
    h = BatchesKey(h);
    return h != 0 ? h : 1;
}

static int OcclusionSamples(void)
{
    return gLighting.quality < QUALITY_HIGH ? kSamplesLow : kSamplesHigh;
}

// h followed by what every batch chunk was built from and which of its batches are uploaded.
static uint64_t BatchesKey(uint64_t h)
{
    for (const BatchChunk &c : gBatchChunks) {
        const uint64_t chunk[2] = { c.built ? c.key : 0, (uint64_t)c.batchCount };
        h = HashBytes(h, chunk, (int)sizeof(chunk));
        for (int b = 0; b < c.batchCount; b++) {
            const uint8_t uploaded = c.batches[b].mesh.vboId != nullptr;
            h = HashBytes(h, &uploaded, 1);
        }
    }
    return h;
}

// The depth of every brush seen from the strongest sun, drawn again only when what it shows may
// have changed; returns the sun's view x projection (identity, with shadowsOn cleared, when no
// sun is gathered). Only a sun casts: its light all comes from the shadow camera's one direction,
// while a lamp's spreads from a point that an orthographic map along its facing knows nothing of,
// so lamps light as they do with shadows off.
static Matrix ShadowPass(const MapDoc *map, Camera3D camera, bool *shadowsOn)
{
    Camera3D shadowCam;
    if (!PickShadowCaster(camera.target, &shadowCam)) {
        *shadowsOn = false;
        return MatrixIdentity();
    }
    int s = gRenderer.shadowMapSize;
    // The shadow map's own depth range, so shadowBias is a share of the scene around the target.
    double nearPlane = rlGetCullDistanceNear(), farPlane = kShadowFar * gLighting.shadowArea;
    uint64_t key = ShadowMapKey(shadowCam, nearPlane, farPlane);
    if (key != 0 && key == gRenderer.shadowMapKey) return gRenderer.shadowMapVP;
    Matrix projection;
    Matrix view = DepthPass(map, gRenderer.shadowMap.id, shadowCam, s, s, nearPlane, farPlane, &projection);
    gRenderer.shadowMapKey = key;
    gRenderer.shadowMapVP = MatrixMultiply(view, projection);
    gShadowMapDraws++;
    return gRenderer.shadowMapVP;
}

// A depth prepass of its own, occlusion and blur; false when the depth target could not be made
// at this size.
static bool OcclusionPass(const MapDoc *map, Camera3D camera, int width, int height)
{
    ResizeRendererTargets(width, height);
    if (gRenderer.depthTarget.id == 0) return false;
    Matrix projection;
    DepthPass(map, gRenderer.depthTarget.id, camera, width, height, rlGetCullDistanceNear(), rlGetCullDistanceFar(),
              &projection);
    return OcclusionFromDepth(gRenderer.depthTarget.depth, projection, width, height);
}

// The occlusion of a width x height depth texture drawn with projection (between the planes
// BeginMode3D uses) into the blur target, at half the size, blurred; false when its targets could
// not be made at this size.
static bool OcclusionFromDepth(Texture2D depth, Matrix projection, int width, int height)
{
    ResizeRendererTargets(width, height);
    if (gRenderer.ssaoTarget.id == 0 || gRenderer.blurTarget.id == 0) return false;
    double nearPlane = rlGetCullDistanceNear(), farPlane = rlGetCullDistanceFar();

    const int32_t *loc = gRenderer.ssaoLoc;
    float screen[2] = { (float)gRenderer.ssaoWidth, (float)gRenderer.ssaoHeight };
    float bias = kSsaoBias, nearF = (float)nearPlane, farF = (float)farPlane;
    int samples = OcclusionSamples();
    BeginTextureMode(gRenderer.ssaoTarget);
    ClearBackground(WHITE);
    BeginShaderMode(gRenderer.ssao);
    SetShaderValueMatrix(gRenderer.ssao, loc[SU_PROJECTION], projection);
    SetShaderValueMatrix(gRenderer.ssao, loc[SU_INV_PROJECTION], MatrixInvert(projection));
    SetShaderValue(gRenderer.ssao, loc[SU_SCREEN_SIZE], screen, SHADER_UNIFORM_VEC2);
    SetShaderValue(gRenderer.ssao, loc[SU_RADIUS], &gLighting.aoRadius, SHADER_UNIFORM_FLOAT);
    SetShaderValue(gRenderer.ssao, loc[SU_INTENSITY], &gLighting.aoStrength, SHADER_UNIFORM_FLOAT);
    SetShaderValue(gRenderer.ssao, loc[SU_BIAS], &bias, SHADER_UNIFORM_FLOAT);
    SetShaderValue(gRenderer.ssao, loc[SU_SAMPLE_COUNT], &samples, SHADER_UNIFORM_INT);
    SetShaderValue(gRenderer.ssao, loc[SU_NEAR], &nearF, SHADER_UNIFORM_FLOAT);
    SetShaderValue(gRenderer.ssao, loc[SU_FAR], &farF, SHADER_UNIFORM_FLOAT);
    SetShaderValueTexture(gRenderer.ssao, loc[SU_DEPTH], depth);
    // Any texture will do for the quad: the program reads the depth by fragment position.
    DrawTextureRec(depth, Rectangle{ 0.0f, 0.0f, (float)width, -(float)height }, Vector2{ 0.0f, 0.0f }, WHITE);
    EndShaderMode();
    EndTextureMode();

    float texel[2] = { 1.0f / (float)gRenderer.ssaoWidth, 1.0f / (float)gRenderer.ssaoHeight };
    BeginTextureMode(gRenderer.blurTarget);
    ClearBackground(WHITE);
    BeginShaderMode(gRenderer.blur);
    SetShaderValue(gRenderer.blur, gRenderer.blurTexelLoc, texel, SHADER_UNIFORM_VEC2);
    DrawTextureRec(gRenderer.ssaoTarget.texture,
                   Rectangle{ 0.0f, 0.0f, (float)gRenderer.ssaoWidth, -(float)gRenderer.ssaoHeight },
                   Vector2{ 0.0f, 0.0f }, WHITE);
    EndShaderMode();
    EndTextureMode();
    return true;
}

// The lit pass's ambient, view, shadow and occlusion switches and settings.
static void GivePassUniforms(LitProgram *program)
{
    Shader sh = program->shader;
    const int32_t *loc = program->loc;
    float ambient[3] = { gSettings.ambient, gSettings.ambient, gSettings.ambient };
    SetShaderValue(sh, loc[LU_AMBIENT], ambient, SHADER_UNIFORM_VEC3);
    SetShaderValue(sh, loc[LU_VIEW_POS], &sPass.viewPos, SHADER_UNIFORM_VEC3);
    SetShaderValueMatrix(sh, loc[LU_LIGHT_VP], sPass.lightVP);
    SetShaderValue(sh, loc[LU_SHADOW_ENABLED], &sPass.shadowsOn, SHADER_UNIFORM_INT);
    SetShaderValue(sh, loc[LU_SHADOW_SOFT], &sPass.soft, SHADER_UNIFORM_INT);
    SetShaderValue(sh, loc[LU_SHADOW_BIAS], &gLighting.shadowBias, SHADER_UNIFORM_FLOAT);
    float texel = gRenderer.shadowMapSize > 0 ? 1.0f / (float)gRenderer.shadowMapSize : 0.0f;
    SetShaderValue(sh, loc[LU_SHADOW_TEXEL], &texel, SHADER_UNIFORM_FLOAT);
    SetShaderValue(sh, loc[LU_AO_ENABLED], &sPass.aoOn, SHADER_UNIFORM_INT);
    SetShaderValue(sh, loc[LU_SCREEN_SIZE], sPass.screen, SHADER_UNIFORM_VEC2);
    SetShaderValue(sh, loc[LU_SPECULAR], &gLighting.specular, SHADER_UNIFORM_FLOAT);
    SetShaderValue(sh, loc[LU_GAMMA], &gLighting.gamma, SHADER_UNIFORM_FLOAT);
    program->commonPass = sLitPass;
    program->tableCount = -1;                      // the lights and the caster may have changed since
}

// "lightCount", the eight per-light arrays for the gathered lights in list, and "shadowLight", the
// place of the shadow caster among them (-1 when it is not there or shadows are off).
static void UploadLightTable(LitProgram *program, const int *list, int count)
{
    Shader sh = program->shader;
    int caster = ShadowCasterIndex(), shadowLight = -1;
    SetShaderValue(sh, program->loc[LU_LIGHT_COUNT], &count, SHADER_UNIFORM_INT);
    for (int i = 0; i < count; i++) {
        const LightInfo &l = gLights[list[i]];
        if (sPass.shadowsOn && list[i] == caster) shadowLight = i;
        int type = ShaderLightType(&l);
        SetShaderValue(sh, program->lightLoc[LA_TYPE][i], &type, SHADER_UNIFORM_INT);
        SetShaderValue(sh, program->lightLoc[LA_POS][i], &l.position, SHADER_UNIFORM_VEC3);
        SetShaderValue(sh, program->lightLoc[LA_DIR][i], &l.direction, SHADER_UNIFORM_VEC3);
        SetShaderValue(sh, program->lightLoc[LA_COLOR][i], l.colour, SHADER_UNIFORM_VEC3);
        SetShaderValue(sh, program->lightLoc[LA_BRIGHTNESS][i], &l.brightness, SHADER_UNIFORM_FLOAT);
        SetShaderValue(sh, program->lightLoc[LA_RANGE][i], &l.range, SHADER_UNIFORM_FLOAT);
        SetShaderValue(sh, program->lightLoc[LA_COS_INNER][i], &l.cosInner, SHADER_UNIFORM_FLOAT);
        SetShaderValue(sh, program->lightLoc[LA_COS_OUTER][i], &l.cosOuter, SHADER_UNIFORM_FLOAT);
    }
    SetShaderValue(sh, program->loc[LU_SHADOW_LIGHT], &shadowLight, SHADER_UNIFORM_INT);
    memcpy(program->table, list, sizeof(int) * (size_t)count);
    program->tableCount = count;
}

// The lights of list that may light some point of box, in list order: every sun, and each point
// or spot light whose range reaches the box (with a margin for the rasteriser's rounding).
static int LightsReaching(const int *list, int count, BoundingBox box, int out[kMaxShaderLights])
{
    int n = 0;
    for (int i = 0; i < count; i++) {
        const LightInfo &l = gLights[list[i]];
        Vector3 nearest = Vector3Clamp(l.position, box.min, box.max);
        float reach = l.range * (1.0f + kLightReachMargin) + kLightReachMargin;
        if (l.type == ENTITY_LIGHT_ENVIRONMENT || Vector3Distance(nearest, l.position) <= reach) out[n++] = list[i];
    }
    return n;
}
