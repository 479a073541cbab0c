// renderer.h: the GPU renderer of the Render view: its programs, targets and passes.
//
// The renderer is optional: while it is not ready (a lighting shader missing or broken), the
// Render view draws on CPU shading; a missing or broken depth, occlusion or blur shader switches
// off only the passes that need it, and the status says so. The shader files live in
// resources/shaders of the working folder; what they compute is theirs, this module only loads
// them (regular files only) and feeds their uniforms.
// Resources (programs, material, targets) are in renderer.cpp; the frame's passes and the shaded
// entity models in render_pass.cpp.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"
#include "render/lights.h"

constexpr int kRendererStatusLen = 160;
constexpr int kMaxShaderLights = 8;          // lights uploaded to the lighting program
constexpr int kMaxLitVariants = 16;          // lighting programs built for light lists, kept at once
constexpr int kMinRendererSide = 2;          // a size below this is never given to a target
constexpr int kDepthTextureFormat = 0x10013; // our depth textures' mark; raylib records 19 for its own
constexpr long kShaderFileMaxBytes = 1 << 20; // a shader file longer than this is not read

enum LitShadowMode { LIT_SHADOWS_OFF, LIT_SHADOWS_HARD, LIT_SHADOWS_SOFT };
enum ShaderLightKind { SHADER_LIGHT_POINT = 0, SHADER_LIGHT_SPOT = 1, SHADER_LIGHT_SUN = 2 };   // "lightType"

// Uniform locations of the lighting program, one per name in kLightingUniformName.
enum LightingUniform {
    LU_VIEW_POS, LU_AMBIENT, LU_LIGHT_VP, LU_SHADOW_MAP, LU_SHADOW_ENABLED, LU_SHADOW_BIAS,
    LU_SHADOW_TEXEL, LU_SHADOW_SOFT, LU_AO_MAP, LU_AO_ENABLED, LU_SCREEN_SIZE, LU_SPECULAR, LU_GAMMA,
    LU_LIGHT_COUNT, LU_SHADOW_LIGHT, LU_COUNT,
};
// The lighting program's per-light arrays, "lightType[%i]" to "lightCosOuter[%i]".
enum LightArray { LA_TYPE, LA_POS, LA_DIR, LA_COLOR, LA_BRIGHTNESS, LA_RANGE, LA_COS_INNER, LA_COS_OUTER, LA_COUNT };
enum SsaoUniform {
    SU_DEPTH, SU_PROJECTION, SU_INV_PROJECTION, SU_SCREEN_SIZE, SU_RADIUS, SU_INTENSITY, SU_BIAS,
    SU_SAMPLE_COUNT, SU_NEAR, SU_FAR, SU_COUNT,
};

// A lighting program with its uniform locations and what it was last given. The shader file
// built as it is reads its passes and lights from uniforms; a variant is built with them fixed
// (LitVariantKey) and draws only the light list of its key.
struct LitProgram {
    Shader shader;                                         // all zero when not built
    uint32_t key;                                          // a variant's LitVariantKey
    uint8_t failed;                                        // a variant that did not build: not tried again
    int32_t loc[LU_COUNT];
    int32_t lightLoc[LA_COUNT][kMaxShaderLights];          // by LightArray, then light slot
    uint32_t usedPass;                                     // the lit pass that last drew with it
    uint32_t commonPass;                                   // the lit pass whose view and switches it holds
    int32_t table[kMaxShaderLights];                       // the gathered lights in its slots
    int32_t tableCount;                                    // -1: no table given yet
};

struct Renderer {
    LitProgram lighting;                                   // the lighting shader file as it is
    LitProgram variants[kMaxLitVariants];
    char *lightingText[2];                                 // its vertex and fragment source, for variants
    Shader depth, ssao, blur;                              // one that failed to load stays all zero
    uint8_t ready;                                         // lighting usable, resources set up
    int32_t ssaoLoc[SU_COUNT];
    int32_t blurTexelLoc;
    RenderTexture2D shadowMap, depthTarget, ssaoTarget, blurTarget;
    int32_t shadowMapSize, ssaoWidth, ssaoHeight;
    uint64_t shadowMapKey;                                 // what the shadow map holds; 0: nothing known
    Matrix shadowMapVP;                                    // the light's view x projection it was drawn with
    uint64_t occlusionKey;                                 // what the blur target's occlusion shows; 0: nothing known
    uint8_t targetsOk;                                     // shadowMap and depthTarget exist
    Material material;                                     // shared by every brush mesh
    uint8_t materialLoaded;
    char status[kRendererStatusLen];                       // one line for the Settings tab
};

extern Renderer gRenderer;
extern int gRendererLoads;                 // InitRenderer calls since start
extern int gLitVariantBuilds;              // lighting variants built since start
extern int gShadowMapDraws;                // shadow maps drawn since start (not reused)
extern int gOcclusionDraws;                // occlusion passes drawn since start (not reused)

// --- resources (renderer.cpp) ---
// Shadow map side for a quality: 1536 for Medium, 2048 for High, 1024 for anything else.
int ShadowResForQuality(int quality);
// A depth-only framebuffer with a sampleable depth texture; id 0 on failure.
RenderTexture2D LoadShadowTarget(int width, int height);
// A framebuffer with an RGBA8 colour texture and a sampleable depth texture; id 0 on failure.
RenderTexture2D LoadDepthTarget(int width, int height);
// A target for RenderScene3D_GPU: LoadDepthTarget's, whose depth the occlusion reads where it lies,
// or raylib's render texture when there are no depth textures (the occlusion then draws its own).
RenderTexture2D LoadLitTarget(int width, int height);
// True for a target whose depth is a texture of ours (LoadShadowTarget, LoadDepthTarget).
bool DepthIsTexture(const RenderTexture2D &target);
// Loads the programs and makes the material and targets; false (status says why) means CPU only.
bool InitRenderer(int width, int height);
// Recreates the depth, occlusion and blur targets when the size changed; sizes below 2 ignored.
void ResizeRendererTargets(int width, int height);
// Recreates the shadow map when the quality's side differs from the current one.
void ApplyRenderQuality(void);
// Gives the material back the default texture and white, before the library unloads textures.
void ReleaseBorrowedMaterialTexture(void);
// The shadow pass can run: the depth program loaded and the shadow map exists.
bool ShadowPassUsable(void);
// The depth program loaded (the lit pass lays the brushes' depth down first with it).
bool DepthProgramUsable(void);
// The occlusion pass can run: the depth, ssao and blur programs loaded, the depth and blur targets exist.
bool OcclusionPassUsable(void);
// Releases every program, target and the material once, then the mesh cache; not ready after.
void FreeRenderer(void);
// "Reload Shaders": FreeRenderer, the record cleared, InitRenderer at width x height, or at the
// previous targets' size when either is below 2. Returns InitRenderer's result.
bool ReloadRenderer(int width, int height);
// GPU objects the renderer holds now (programs, material, framebuffers, textures); 0 when freed.
int RendererLiveResources(void);
// Key of the lighting variant for these passes and the kinds of the gathered lights in list (in
// their order); a list longer than eight counts its first eight.
uint32_t LitVariantKey(int shadowMode, bool ao, const int *list, int count);
// The variant for key: found, or built into a free or the least recently used slot; nullptr when
// it failed to build, every slot is in use by this pass or this pass has built one already.
LitProgram *LitVariantFor(uint32_t key, uint32_t pass);
// The lighting source with the key's fixed passes and light slots defined after its #version line
// (or first, without one); MemFree it. nullptr when out of memory.
char *LitVariantSource(const char *source, uint32_t key);
// "lightType" of a gathered light: 0 point, 1 spot, 2 sun.
int ShaderLightType(const LightInfo *light);

// --- passes (render_pass.cpp) ---
extern int gDrawPerBrush;   // 1: each brush mesh drawn on its own with every light, no depth first (the reference picture)

// The light that casts the shadow: the brightest gathered sun (the first of equals), its index in
// gLights, or -1 when no sun is gathered.
int ShadowCasterIndex(void);
// The gathered lights given to the lighting program, as indices into gLights: the first eight in
// gathered order, except that a shadow caster gathered later takes the eighth place, so that the
// light that casts the shadow is always one the program lights with. Returns their count.
int ShaderLightList(int outIndex[kMaxShaderLights]);
// The shadow camera for ShadowCasterIndex's light; false if there is none.
bool PickShadowCaster(Vector3 centre, Camera3D *outCamera);
// The brush geometry (the batches, or each cached mesh with gDrawPerBrush) with its brushes'
// transforms, textures and colours, in the lighting material.
void DrawBrushMeshes(const MapDoc *map);
// Starts a lit pass: keeps its ambient, view, shadow and occlusion switches for every lighting
// program it draws with (LitShaderFor gives them over on first use).
void UploadLights(Vector3 viewPos, Matrix lightVP, bool shadowsOn, bool aoOn, int width, int height);
// The program that lights with the gathered lights in list (count of them, at most eight), given
// this lit pass's uniforms and that list: the variant built for them, or the shader file as it is
// when variants are off or one failed to build. "shadowLight" is the place of the shadow caster in
// the list (-1 when it is not there or shadows are off).
Shader LitShaderFor(const int *list, int count);
// Draws the map lit into target; false (nothing drawn) when the GPU path cannot run.
bool RenderScene3D_GPU(const MapDoc *map, Camera3D camera, RenderTexture2D target, Color clear, int sky);
// Scale, then pitch, yaw and roll, then the entity's position.
Matrix EntityModelTransform(const Entity *entity);
// Draws the entity's model (if usable) with its transform, texture override and tint; lit uses
// the lighting program, with the shadow and occlusion of this frame's lit pass, when ready.
void DrawEntityModelShaded(const Entity *entity, bool lit);
