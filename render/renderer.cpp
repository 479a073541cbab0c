// renderer.cpp: the GPU renderer's resources: programs, uniform locations, material and targets.
//
// Every resource is made and released through the helpers below, which keep one count of what
// is alive; a release clears the record's id, so nothing is released twice, and a reload that
// leaves the count where the first start-up left it has leaked nothing.
#include "render/renderer.h"

#include <cstdio>
#include <cstring>

#include "rlgl.h"
#include "document/platform.h"
#include "render/mesh_batch.h"
#include "render/mesh_cache.h"
#include "render/settings.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
Renderer gRenderer;
int gRendererLoads;

static const char *const kLightingUniformName[LU_COUNT] = {
    "viewPos", "ambientColor", "lightVP", "shadowMap", "shadowEnabled", "shadowBias", "shadowTexelSize",
    "shadowSoft", "aoMap", "aoEnabled", "screenSize", "specularStrength", "gamma", "lightCount", "shadowLight",
};
static const char *const kLightArrayName[LA_COUNT] = {
    "lightType[%i]", "lightPos[%i]", "lightDir[%i]", "lightColor[%i]", "lightBrightness[%i]",
    "lightRange[%i]", "lightCosInner[%i]", "lightCosOuter[%i]",
};
static const char *const kSsaoUniformName[SU_COUNT] = {
    "depthTexture", "projection", "invProjection", "screenSize", "radius", "intensity", "bias",
    "sampleCount", "nearPlane", "farPlane",
};

static const char *const kShaderDir = "resources/shaders/";
static const char *const kFailStatus =
    "Shaders missing or failed to compile - using CPU shading. Check resources/shaders/";
static constexpr int kShadowRes[kQualityCount] = { 1024, 1024, 1536, 2048 };
static constexpr int kPixelFormatDepth = 19;       // what raylib records for a render texture's depth
static constexpr int kFallbackTargetW = 720, kFallbackTargetH = 450;
static constexpr int kPathLen = 96;
static constexpr int kUniformNameLen = 32;
static constexpr int kFailedNamesLen = 24;         // "depth, ssao, blur" and its end

static int sLive;                                  // GPU objects held now
static int sLastW = kFallbackTargetW, sLastH = kFallbackTargetH;   // size of the last full-size targets

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void AttachDepthTexture(RenderTexture2D *target, int width, int height);
static Shader LoadProgram(const char *vsName, const char *fsName);
static int ProgramLoaded(Shader shader);
static void WriteStatus(void);
static void ReleaseProgram(Shader *shader);
static void ReleaseTarget(RenderTexture2D *target);
static void MakeSizedTargets(int width, int height);
static void ReleaseSizedTargets(void);
static void ReleaseAll(void);
static void LookUpLocations(void);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ShadowResForQuality(int quality)
{
    return (quality >= 0 && quality < kQualityCount) ? kShadowRes[quality] : kShadowRes[0];
}

RenderTexture2D LoadShadowTarget(int width, int height)
{
    RenderTexture2D t;
    memset(&t, 0, sizeof(t));
    t.id = rlLoadFramebuffer();
    if (t.id == 0) return t;
    t.texture.width = width;                       // no colour texture: only its size is kept
    t.texture.height = height;
    rlEnableFramebuffer(t.id);
    AttachDepthTexture(&t, width, height);
    if (!rlFramebufferComplete(t.id)) {
        rlUnloadFramebuffer(t.id);                 // takes its depth attachment with it
        t.id = 0;
    }
    rlDisableFramebuffer();
    return t;
}

RenderTexture2D LoadDepthTarget(int width, int height)
{
    RenderTexture2D t;
    memset(&t, 0, sizeof(t));
    t.id = rlLoadFramebuffer();
    if (t.id == 0) return t;
    rlEnableFramebuffer(t.id);
    t.texture.id = rlLoadTexture(nullptr, width, height, PIXELFORMAT_UNCOMPRESSED_R8G8B8A8, 1);
    t.texture.width = width;
    t.texture.height = height;
    t.texture.format = PIXELFORMAT_UNCOMPRESSED_R8G8B8A8;
    t.texture.mipmaps = 1;
    rlFramebufferAttach(t.id, t.texture.id, RL_ATTACHMENT_COLOR_CHANNEL0, RL_ATTACHMENT_TEXTURE2D, 0);
    AttachDepthTexture(&t, width, height);
    if (!rlFramebufferComplete(t.id)) {
        rlUnloadFramebuffer(t.id);
        rlUnloadTexture(t.texture.id);
        memset(&t, 0, sizeof(t));
    }
    rlDisableFramebuffer();
    return t;
}

bool InitRenderer(int width, int height)
{
    ReleaseAll();                                  // a second start never strands the first one's objects
    gRendererLoads++;                              // new shader files may draw another picture
    gRenderer.lighting = LoadProgram("lighting.vs", "lighting.fs");
    gRenderer.depth = LoadProgram("depth.vs", "depth.fs");
    gRenderer.ssao = LoadProgram("fullscreen.vs", "ssao.fs");
    gRenderer.blur = LoadProgram("fullscreen.vs", "blur.fs");
    if (!ProgramLoaded(gRenderer.lighting)) {
        snprintf(gRenderer.status, sizeof(gRenderer.status), "%s", kFailStatus);
        gRenderer.ready = 0;
        return false;                              // the other programs stay until FreeRenderer
    }
    LookUpLocations();

    gRenderer.material = LoadMaterialDefault();
    gRenderer.material.shader = gRenderer.lighting;
    gRenderer.materialLoaded = 1;
    sLive++;

    gRenderer.shadowMapSize = ShadowResForQuality((int)gLighting.quality);
    gRenderer.shadowMap = LoadShadowTarget(gRenderer.shadowMapSize, gRenderer.shadowMapSize);
    if (gRenderer.shadowMap.id != 0) sLive++;
    MakeSizedTargets(width, height);
    gRenderer.ready = 1;
    WriteStatus();
    return true;
}

void ResizeRendererTargets(int width, int height)
{
    if (!gRenderer.ready || width < kMinRendererSide || height < kMinRendererSide) return;
    if (width == gRenderer.depthTarget.texture.width && height == gRenderer.depthTarget.texture.height) return;
    ReleaseSizedTargets();
    MakeSizedTargets(width, height);
}

void ApplyRenderQuality(void)
{
    if (!gRenderer.ready) return;
    int s = ShadowResForQuality((int)gLighting.quality);
    if (s == gRenderer.shadowMapSize) return;
    ReleaseTarget(&gRenderer.shadowMap);
    gRenderer.shadowMapSize = s;
    gRenderer.shadowMap = LoadShadowTarget(s, s);
    if (gRenderer.shadowMap.id != 0) sLive++;
    gRenderer.targetsOk = (gRenderer.shadowMap.id != 0 && gRenderer.depthTarget.id != 0) ? 1 : 0;
}

void ReleaseBorrowedMaterialTexture(void)
{
    if (!gRenderer.materialLoaded || gRenderer.material.maps == nullptr) return;
    gRenderer.material.maps[MATERIAL_MAP_ALBEDO].texture.id = rlGetTextureIdDefault();
    gRenderer.material.maps[MATERIAL_MAP_ALBEDO].color = WHITE;
}

bool ShadowPassUsable(void)
{
    return ProgramLoaded(gRenderer.depth) && gRenderer.shadowMap.id != 0;
}

bool DepthProgramUsable(void)
{
    return ProgramLoaded(gRenderer.depth);
}

bool OcclusionPassUsable(void)
{
    return ProgramLoaded(gRenderer.depth) && ProgramLoaded(gRenderer.ssao) && ProgramLoaded(gRenderer.blur) &&
           gRenderer.depthTarget.id != 0 && gRenderer.blurTarget.id != 0;
}

void FreeRenderer(void)
{
    ReleaseAll();
    gRenderer.ready = 0;
}

bool ReloadRenderer(int width, int height)
{
    // A window shrunk below a usable view keeps the targets' last size rather than none.
    if (width < kMinRendererSide || height < kMinRendererSide) {
        width = sLastW;
        height = sLastH;
    }
    FreeRenderer();
    memset(&gRenderer, 0, sizeof(gRenderer));
    return InitRenderer(width, height);
}

int RendererLiveResources(void)
{
    return sLive;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// A sampleable depth texture (not a renderbuffer) as the enabled framebuffer's depth attachment.
static void AttachDepthTexture(RenderTexture2D *target, int width, int height)
{
    target->depth.id = rlLoadTextureDepth(width, height, false);
    target->depth.width = width;
    target->depth.height = height;
    target->depth.mipmaps = 1;
    target->depth.format = kPixelFormatDepth;
    rlFramebufferAttach(target->id, target->depth.id, RL_ATTACHMENT_DEPTH, RL_ATTACHMENT_TEXTURE2D, 0);
}

// The program of two files in the shader folder, or an all-zero Shader when either is missing,
// is not a regular file (a pipe would block the read) or the program does not build.
static Shader LoadProgram(const char *vsName, const char *fsName)
{
    char vs[kPathLen], fs[kPathLen];
    snprintf(vs, sizeof(vs), "%s%s", kShaderDir, vsName);
    snprintf(fs, sizeof(fs), "%s%s", kShaderDir, fsName);
    // With one file absent raylib would pair the other stage with its default one; such a half
    // program counts as failed.
    if (!PlatformIsRegularFile(vs) || !PlatformIsRegularFile(fs)) return Shader{ 0, nullptr };
    Shader s = LoadShader(vs, fs);
    if (ProgramLoaded(s)) {
        sLive++;
        return s;
    }
    // A stage that does not compile leaves id 0 with a location array raylib allocated, which
    // UnloadShader would never be given; a failed link lends the default shader's own array.
    if (s.locs != nullptr && s.locs != rlGetShaderLocsDefault()) MemFree(s.locs);
    return Shader{ 0, nullptr };
}

static int ProgramLoaded(Shader shader)
{
    return (shader.id != 0 && shader.id != rlGetShaderIdDefault()) ? 1 : 0;
}

static void ReleaseProgram(Shader *shader)
{
    if (ProgramLoaded(*shader)) {
        UnloadShader(*shader);
        sLive--;
    }
    memset(shader, 0, sizeof(*shader));
}

// The ready renderer's one-line status: which passes can run, the shadow map's side, and which
// programs switched a pass off.
static void WriteStatus(void)
{
    bool shadows = ShadowPassUsable(), occlusion = OcclusionPassUsable();
    int n = snprintf(gRenderer.status, sizeof(gRenderer.status), "Renderer: GPU  shadows=%s  ssao=%s  shadowmap=%dpx",
                     shadows ? "yes" : "no", occlusion ? "yes" : "no", gRenderer.shadowMapSize);
    const struct { const Shader *program; const char *name; } optional[] = {
        { &gRenderer.depth, "depth" }, { &gRenderer.ssao, "ssao" }, { &gRenderer.blur, "blur" } };
    char failed[kFailedNamesLen] = "";
    int failures = 0;
    for (const auto &o : optional) {
        if (ProgramLoaded(*o.program)) continue;
        size_t used = strlen(failed);
        snprintf(failed + used, sizeof(failed) - used, "%s%s", failures > 0 ? ", " : "", o.name);
        failures++;
    }
    if (failures == 0 || n < 0 || n >= kRendererStatusLen) return;
    // The depth program serves both passes; the other two only the occlusion.
    const char *passes = ProgramLoaded(gRenderer.depth) ? "occlusion" : "shadows and occlusion";
    snprintf(gRenderer.status + n, sizeof(gRenderer.status) - (size_t)n, "  - %s off: %s shader%s failed to load",
             passes, failed, failures > 1 ? "s" : "");
}

static void ReleaseTarget(RenderTexture2D *target)
{
    if (target->id != 0) {
        UnloadRenderTexture(*target);              // the colour texture, and the depth with the framebuffer
        sLive--;
    }
    memset(target, 0, sizeof(*target));
}

static void MakeSizedTargets(int width, int height)
{
    gRenderer.ssaoWidth = width >= 3 ? width / 2 : 1;
    gRenderer.ssaoHeight = height >= 3 ? height / 2 : 1;
    gRenderer.depthTarget = LoadDepthTarget(width, height);
    gRenderer.ssaoTarget = LoadRenderTexture(gRenderer.ssaoWidth, gRenderer.ssaoHeight);
    gRenderer.blurTarget = LoadRenderTexture(gRenderer.ssaoWidth, gRenderer.ssaoHeight);
    const RenderTexture2D *made[3] = { &gRenderer.depthTarget, &gRenderer.ssaoTarget, &gRenderer.blurTarget };
    for (const RenderTexture2D *t : made) {
        if (t->id != 0) sLive++;
    }
    if (width >= kMinRendererSide && height >= kMinRendererSide) {
        sLastW = width;
        sLastH = height;
    }
    gRenderer.targetsOk = (gRenderer.shadowMap.id != 0 && gRenderer.depthTarget.id != 0) ? 1 : 0;
}

static void ReleaseSizedTargets(void)
{
    ReleaseTarget(&gRenderer.depthTarget);
    ReleaseTarget(&gRenderer.ssaoTarget);
    ReleaseTarget(&gRenderer.blurTarget);
    gRenderer.targetsOk = 0;
}

// In order: the material (after handing back what it borrowed, and keeping it from unloading the
// lighting program), the four programs, the targets, the meshes.
static void ReleaseAll(void)
{
    if (gRenderer.materialLoaded) {
        ReleaseBorrowedMaterialTexture();
        gRenderer.material.shader.id = rlGetShaderIdDefault();
        UnloadMaterial(gRenderer.material);
        gRenderer.material.maps = nullptr;
        gRenderer.materialLoaded = 0;
        sLive--;
    }
    ReleaseProgram(&gRenderer.lighting);
    ReleaseProgram(&gRenderer.depth);
    ReleaseProgram(&gRenderer.ssao);
    ReleaseProgram(&gRenderer.blur);
    gRenderer.ready = 0;
    ReleaseTarget(&gRenderer.shadowMap);
    ReleaseSizedTargets();
    FreeMeshCache();
    FreeBrushBatches();
}

static void LookUpLocations(void)
{
    for (int u = 0; u < LU_COUNT; u++) {
        gRenderer.lightingLoc[u] = GetShaderLocation(gRenderer.lighting, kLightingUniformName[u]);
    }
    for (int a = 0; a < LA_COUNT; a++) {
        for (int i = 0; i < kMaxShaderLights; i++) {
            char name[kUniformNameLen];
            snprintf(name, sizeof(name), kLightArrayName[a], i);
            gRenderer.lightLoc[a][i] = GetShaderLocation(gRenderer.lighting, name);
        }
    }
    // A program that failed has no locations to look up; its pass never runs.
    for (int u = 0; u < SU_COUNT; u++) {
        gRenderer.ssaoLoc[u] = ProgramLoaded(gRenderer.ssao) ? GetShaderLocation(gRenderer.ssao, kSsaoUniformName[u]) : -1;
    }
    gRenderer.blurTexelLoc = ProgramLoaded(gRenderer.blur) ? GetShaderLocation(gRenderer.blur, "texelSize") : -1;
    // The pass textures ride in material map slots, which DrawMesh binds to their own units.
    gRenderer.lighting.locs[SHADER_LOC_MAP_METALNESS] = gRenderer.lightingLoc[LU_SHADOW_MAP];
    gRenderer.lighting.locs[SHADER_LOC_MAP_OCCLUSION] = gRenderer.lightingLoc[LU_AO_MAP];
}
