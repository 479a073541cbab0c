// renderer.cpp: the GPU renderer's resources: programs, uniform locations, material and targets.
//
// Every resource is made and released through the helpers below, which keep one count of what
// is alive; a release clears the record's id, so nothing is released twice, and a reload that
// leaves the count where the first start-up left it has leaked nothing.
#include "render/renderer.h"

#include <cstdio>
#include <cstring>

#include "rlgl.h"
#include "document/settings.h"
#include "platform/platform.h"
#include "render/lights.h"
#include "render/mesh_batch.h"
#include "render/mesh_cache.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
Renderer gRenderer;
int gRendererLoads;
int gLitVariantBuilds;

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
static constexpr int kFallbackTargetW = 720, kFallbackTargetH = 450;
static constexpr int kPathLen = 96;
static constexpr int kUniformNameLen = 32;
static constexpr int kFailedNamesLen = 24;         // "depth, ssao, blur" and its end
static constexpr int kVariantHeaderLen = 512;      // the defines a variant adds to its source
// LitVariantKey's fields: shadow mode, occlusion, light count, then each slot's kind.
static constexpr int kKeyAoBit = 2, kKeyCountShift = 3, kKeyKindShift = 7, kKeyKindBits = 2;
static constexpr uint32_t kKeyModeMask = 3u, kKeyCountMask = 15u, kKeyKindMask = 3u;

static int sLive;                                  // GPU objects held now
static uint32_t sLastBuildPass;                    // the lit pass that last built a variant
static int sLastW = kFallbackTargetW, sLastH = kFallbackTargetH;   // size of the last full-size targets

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void AttachDepthTexture(RenderTexture2D *target, int width, int height);
static char *ReadShaderFile(const char *name);
static Shader LoadProgram(const char *vsName, const char *fsName, char *keptText[2]);
static Shader LoadProgramText(const char *vsText, const char *fsText);
static void ReleaseLitProgram(LitProgram *program);
static int ProgramLoaded(Shader shader);
static void WriteStatus(void);
static void ReleaseProgram(Shader *shader);
static void ReleaseTarget(RenderTexture2D *target);
static void MakeShadowMap(int size);
static void MakeSizedTargets(int width, int height);
static void ReleaseSizedTargets(void);
static void ReleaseAll(void);
static void LookUpLocations(void);
static void LookUpLitLocations(LitProgram *program);

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

RenderTexture2D LoadLitTarget(int width, int height)
{
    RenderTexture2D t = LoadDepthTarget(width, height);
    return t.id != 0 ? t : LoadRenderTexture(width, height);
}

bool DepthIsTexture(const RenderTexture2D &target)
{
    return target.depth.id != 0 && target.depth.format == kDepthTextureFormat;
}

bool InitRenderer(int width, int height)
{
    ReleaseAll();                                  // a second start never strands the first one's objects
    gRendererLoads++;                              // new shader files may draw another picture
    gRenderer.lighting.shader = LoadProgram("lighting.vs", "lighting.fs", gRenderer.lightingText);
    gRenderer.depth = LoadProgram("depth.vs", "depth.fs", nullptr);
    gRenderer.ssao = LoadProgram("fullscreen.vs", "ssao.fs", nullptr);
    gRenderer.blur = LoadProgram("fullscreen.vs", "blur.fs", nullptr);
    if (!ProgramLoaded(gRenderer.lighting.shader)) {
        snprintf(gRenderer.status, sizeof(gRenderer.status), "%s", kFailStatus);
        gRenderer.ready = 0;
        return false;                              // the other programs stay until FreeRenderer
    }
    LookUpLocations();

    gRenderer.material = LoadMaterialDefault();
    gRenderer.material.shader = gRenderer.lighting.shader;
    gRenderer.materialLoaded = 1;
    sLive++;

    MakeShadowMap(ShadowResForQuality((int)gLighting.quality));
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
    MakeShadowMap(s);
    gRenderer.targetsOk = (gRenderer.shadowMap.id != 0 && gRenderer.depthTarget.id != 0) ? 1 : 0;
    WriteStatus();                                 // the Settings tab shows the map's new size
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

int ShaderLightType(const LightInfo *light)
{
    if (light->type == ENTITY_LIGHT_ENVIRONMENT) return SHADER_LIGHT_SUN;
    return light->type == ENTITY_LIGHT_SPOT ? SHADER_LIGHT_SPOT : SHADER_LIGHT_POINT;
}

uint32_t LitVariantKey(int shadowMode, bool ao, const int *list, int count)
{
    int n = ClampCount(count, kMaxShaderLights);
    uint32_t key = ((uint32_t)shadowMode & kKeyModeMask) | (ao ? 1u << kKeyAoBit : 0u) | ((uint32_t)n << kKeyCountShift);
    for (int i = 0; i < n; i++) {
        key |= (uint32_t)ShaderLightType(&gLights[list[i]]) << (kKeyKindShift + kKeyKindBits * i);
    }
    return key;
}

LitProgram *LitVariantFor(uint32_t key, uint32_t pass)
{
    LitProgram *slot = nullptr;
    for (LitProgram &v : gRenderer.variants) {
        bool held = ProgramLoaded(v.shader) || v.failed;
        if (held && v.key == key) return v.failed ? nullptr : &v;
    }
    for (LitProgram &v : gRenderer.variants) {
        if (!ProgramLoaded(v.shader) && !v.failed) {
            slot = &v;
            break;
        }
        if (v.usedPass != pass && (slot == nullptr || v.usedPass < slot->usedPass)) slot = &v;
    }
    if (slot == nullptr || gRenderer.lightingText[0] == nullptr || gRenderer.lightingText[1] == nullptr) return nullptr;
    // A software GL takes a fifth of a second or more to build one: a pass builds one at most, and
    // the file as it is lights the rest of it (the same picture, only slower).
    if (pass == sLastBuildPass) return nullptr;
    sLastBuildPass = pass;
    gLitVariantBuilds++;
    ReleaseLitProgram(slot);
    slot->key = key;
    char *fs = LitVariantSource(gRenderer.lightingText[1], key);
    if (fs != nullptr) slot->shader = LoadProgramText(gRenderer.lightingText[0], fs);
    MemFree(fs);
    if (!ProgramLoaded(slot->shader)) {
        slot->failed = 1;                          // the file as it is draws in its place
        return nullptr;
    }
    LookUpLitLocations(slot);
    return slot;
}

char *LitVariantSource(const char *source, uint32_t key)
{
    static const char *const kTruth[2] = { "false", "true" };
    int mode = (int)(key & kKeyModeMask);
    char head[kVariantHeaderLen];
    int n = snprintf(head, sizeof(head), "#define SHADOWS_ON %s\n#define SHADOWS_SOFT %s\n#define AO_ON %s\n#define LIGHT_SLOTS",
                     kTruth[mode != LIT_SHADOWS_OFF], kTruth[mode == LIT_SHADOWS_SOFT], kTruth[(key >> kKeyAoBit) & 1u]);
    int count = ClampCount((int)((key >> kKeyCountShift) & kKeyCountMask), kMaxShaderLights);
    for (int i = 0; i < count; i++) {
        int kind = (int)((key >> (kKeyKindShift + kKeyKindBits * i)) & kKeyKindMask);
        if (kind == SHADER_LIGHT_SUN) n += snprintf(head + n, sizeof(head) - (size_t)n, " AddSun(%d);", i);
        else n += snprintf(head + n, sizeof(head) - (size_t)n, " AddLamp(%d, %s);", i, kTruth[kind == SHADER_LIGHT_SPOT]);
    }
    // #version must stay the first line: the defines go right after it.
    size_t length = strlen(source), at = 0;
    const char *version = strstr(source, "#version");
    if (version != nullptr) {
        const char *end = strchr(version, '\n');
        at = (end != nullptr) ? (size_t)(end + 1 - source) : length;
    }
    char *out = (char *)MemAlloc((unsigned int)(length + sizeof(head) + 2));
    if (out == nullptr) return nullptr;
    memcpy(out, source, at);
    size_t used = at;
    if (at > 0 && source[at - 1] != '\n') out[used++] = '\n';
    used += (size_t)snprintf(out + used, sizeof(head) + 1, "%s\n", head);
    memcpy(out + used, source + at, length - at + 1);
    return out;
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
    target->depth.format = kDepthTextureFormat;
    rlFramebufferAttach(target->id, target->depth.id, RL_ATTACHMENT_DEPTH, RL_ATTACHMENT_TEXTURE2D, 0);
}

// The text of a file in the shader folder (calloc'd as raylib's own: UnloadFileText it), or
// nullptr when it is missing, not a regular file (a pipe would block the read) or too long.
static char *ReadShaderFile(const char *name)
{
    char path[kPathLen];
    snprintf(path, sizeof(path), "%s%s", kShaderDir, name);
    unsigned char *text = nullptr;
    long size = 0;
    return PlatformReadRegularFile(path, kShaderFileMaxBytes, &text, &size) ? (char *)text : nullptr;
}

// The program of two files in the shader folder, or an all-zero Shader when either cannot be read
// or the program does not build. With keptText, the two texts are kept there (else released).
static Shader LoadProgram(const char *vsName, const char *fsName, char *keptText[2])
{
    char *text[2] = { ReadShaderFile(vsName), ReadShaderFile(fsName) };
    Shader s = LoadProgramText(text[0], text[1]);
    for (int i = 0; i < 2; i++) {
        if (keptText != nullptr && ProgramLoaded(s)) keptText[i] = text[i];
        else UnloadFileText(text[i]);
    }
    return s;
}

// The program of two sources, or an all-zero Shader when either is missing or it does not build.
static Shader LoadProgramText(const char *vsText, const char *fsText)
{
    // With one stage absent raylib would pair the other with its default one; such a half
    // program counts as failed.
    if (vsText == nullptr || fsText == nullptr) return Shader{ 0, nullptr };
    Shader s = LoadShaderFromMemory(vsText, fsText);
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

static void ReleaseLitProgram(LitProgram *program)
{
    ReleaseProgram(&program->shader);
    memset(program, 0, sizeof(*program));
    program->tableCount = -1;
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

// A shadow map of size x size that holds nothing known yet.
static void MakeShadowMap(int size)
{
    gRenderer.shadowMapSize = size;
    gRenderer.shadowMap = LoadShadowTarget(size, size);
    gRenderer.shadowMapKey = 0;
    if (gRenderer.shadowMap.id != 0) sLive++;
}

static void MakeSizedTargets(int width, int height)
{
    gRenderer.ssaoWidth = width >= 3 ? width / 2 : 1;
    gRenderer.ssaoHeight = height >= 3 ? height / 2 : 1;
    gRenderer.depthTarget = LoadDepthTarget(width, height);
    gRenderer.ssaoTarget = LoadRenderTexture(gRenderer.ssaoWidth, gRenderer.ssaoHeight);
    gRenderer.blurTarget = LoadRenderTexture(gRenderer.ssaoWidth, gRenderer.ssaoHeight);
    gRenderer.occlusionKey = 0;                    // a new target holds nothing yet
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
    ReleaseLitProgram(&gRenderer.lighting);
    for (LitProgram &v : gRenderer.variants) ReleaseLitProgram(&v);
    for (char *&text : gRenderer.lightingText) {
        UnloadFileText(text);
        text = nullptr;
    }
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
    LookUpLitLocations(&gRenderer.lighting);
    // A program that failed has no locations to look up; its pass never runs.
    for (int u = 0; u < SU_COUNT; u++) {
        gRenderer.ssaoLoc[u] = ProgramLoaded(gRenderer.ssao) ? GetShaderLocation(gRenderer.ssao, kSsaoUniformName[u]) : -1;
    }
    gRenderer.blurTexelLoc = ProgramLoaded(gRenderer.blur) ? GetShaderLocation(gRenderer.blur, "texelSize") : -1;
}

// A lighting program's uniform locations (-1 for what it does not use); no table given yet.
static void LookUpLitLocations(LitProgram *program)
{
    for (int u = 0; u < LU_COUNT; u++) program->loc[u] = GetShaderLocation(program->shader, kLightingUniformName[u]);
    for (int a = 0; a < LA_COUNT; a++) {
        for (int i = 0; i < kMaxShaderLights; i++) {
            char name[kUniformNameLen];
            snprintf(name, sizeof(name), kLightArrayName[a], i);
            program->lightLoc[a][i] = GetShaderLocation(program->shader, name);
        }
    }
    // The pass textures ride in material map slots, which DrawMesh binds to their own units.
    program->shader.locs[SHADER_LOC_MAP_METALNESS] = program->loc[LU_SHADOW_MAP];
    program->shader.locs[SHADER_LOC_MAP_OCCLUSION] = program->loc[LU_AO_MAP];
    program->tableCount = -1;
}
