// script_fuzz.cpp: arbitrary text assembled and run, and arbitrary instruction records run
// directly (operands the assembler never makes: bad slots, wild jumps, unknown opcodes), each on
// an empty map or on a sample map with every shape and entity kind, with or without the editor link.
// Whatever the builtins do, every brush left in the map must be one the tools could have made.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "document/brush_geometry.h"
#include "document/primitives.h"
#include "script/assembler.h"
#include "script/builtins.h"
#include "script/editor_link.h"
#include "script/vm.h"

static VmProgram gProgram;
static VmState gState;
static MapDoc gMap, gSample;
static char gText[1 << 17];

// What the editor link points at while a run has it.
static Camera3D gCam3D, gCam2D[3];
static float gYaw, gPitch, gZoom;
static int gSelBrush, gSelEntity, gTool, gTexture, gModel;
static Rectangle gViews[kViewCount];

// One instruction from four bytes: opcode (a few past the last), a small signed operand, a value.
static VmInstr DecodeInstr(const uint8_t *b)
{
    static const float kSpecial[] = { NAN, INFINITY, -INFINITY, 1e-9f, 1e-6f, -0.0f, 3e38f, 2147483648.0f };
    VmInstr in;
    in.op = b[0] % (kVmOpCount + 3) - 1;
    in.arg = in.op == OP_CALL ? (int)b[1] - 10 : (int)(int8_t)b[1];
    in.value = b[3] >= 248 ? kSpecial[b[3] - 248] : (float)(int8_t)b[2] / (float)(b[3] % 8 + 1);
    in.line = b[1];
    return in;
}

// A builtin argument from one byte: small indices, quarter steps, and values no index may take.
static float DecodeArg(uint8_t b)
{
    static const float kSpecial[] = { NAN, INFINITY, -INFINITY, 3e38f, -3e38f, 1e10f, 2147483648.0f, 0.5f, -0.5f, 2.9f,
                                      255.0f, 1e-6f, 64.0f, 1e20f, -1e-20f, 1e6f };
    if (b >= 240) return kSpecial[b - 240];
    return b < 128 ? (float)(b % 32) - 4.0f : (float)(b - 184) * 0.25f;
}

// Builtin calls from bytes: a row, then one byte per argument; each call's result is dropped.
static void DecodeCalls(const uint8_t *data, size_t size)
{
    memset(&gProgram, 0, sizeof(gProgram));
    int n = 0;
    for (size_t i = 0; i < size;) {
        int row = data[i++] % kBuiltinCount;
        if (n + kBuiltins[row].argc + 2 > kVmMaxCode) break;
        for (int a = 0; a < kBuiltins[row].argc; a++)
            gProgram.code[n++] = VmInstr{ OP_PUSH, i < size ? DecodeArg(data[i++]) : 0.0f, -1, 1 };
        gProgram.code[n++] = VmInstr{ OP_CALL, 0.0f, row, 1 };
        gProgram.code[n++] = VmInstr{ OP_POP, 0.0f, -1, 1 };
    }
    gProgram.count = n;
    gProgram.ok = true;
}

static void BuildSample(void)
{
    for (int i = 0; i < 2 * kBrushShapeCount; i++) {
        BrushInit(&gSample.brushes[i], i % kBrushShapeCount, Vector3{ (float)i, 0, 0 }, Vector3{ 1, 2, 1 }, -1);
        snprintf(gSample.brushes[i].name, kNameLen, "B%d", i);
    }
    gSample.brushes[3].rotation = Vector3{ 0, 45, 0 };
    gSample.brushCount = 2 * kBrushShapeCount;
    for (int k = 0; k < kEntityKindCount; k++)
        EntityInitLight(&gSample.entities[k], k, Vector3{ 0, (float)k, 0 }, Color{ 255, 255, 255, 255 }, 1, 16, 25, 45);
    gSample.entityCount = kEntityKindCount;
}

static void LinkEditor(bool on)
{
    gCam3D = Camera3D{ { 12, 10, 12 }, { 0, 0, 0 }, { 0, 1, 0 }, 75, CAMERA_PERSPECTIVE };
    for (Camera3D &c : gCam2D) c = Camera3D{ { 0, 0, 0 }, { 0, 0, 0 }, { 0, 1, 0 }, 16, CAMERA_ORTHOGRAPHIC };
    gYaw = gPitch = 0.0f, gZoom = 16.0f;
    gSelBrush = gSelEntity = -1, gTool = gTexture = gModel = 0;
    // The headless mouse sits at (0, 0): inside the top view, so mouse.world* map through it.
    for (int v = 0; v < kViewCount; v++) gViews[v] = Rectangle{ v == VIEW_TOP ? -200.0f : 500.0f, -150, 400, 300 };
    gEd = EditorContext{ &gCam3D, &gCam2D[0], &gCam2D[1], &gCam2D[2], &gYaw, &gPitch, &gZoom, &gSelBrush, &gSelEntity,
                         &gTool, &gTexture, &gModel, gViews, (uint8_t)(on ? 1 : 0) };
}

// A brush the tools could have made: counts and corners in range, every vertex and placement finite.
static bool BrushSound(const Brush &b)
{
    if (b.vertCount < 0 || b.vertCount > kMaxBrushVerts || b.faceCount < 0 || b.faceCount > kMaxBrushFaces) return false;
    const Vector3 placement[3] = { b.origin, b.rotation, b.size };
    if (!VertsAreFinite(b.verts, b.vertCount) || !VertsAreFinite(placement, 3)) return false;
    for (int f = 0; f < b.faceCount; f++) {
        const BrushFace &face = b.faces[f];
        if (face.count < kMinFaceCorners || face.count > kMaxFaceCorners) return false;
        for (int k = 0; k < face.count; k++)
            if (face.indices[k] < 0 || face.indices[k] >= b.vertCount) return false;
    }
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2) return 0;
    if (gSample.brushCount == 0) BuildSample();
    // The first byte picks the map (bit 0), the link (bit 1), builtin calls (0xF8 to 0xFB) and raw
    // records (0xFC and above); below that the rest is script text.
    const uint8_t mode = data[0];
    data++, size--;
    if (mode >= 0xF8 && mode < 0xFC) {
        DecodeCalls(data, size);
    } else if (mode >= 0xFC) {
        memset(&gProgram, 0, sizeof(gProgram));
        size_t n = size / 4;
        if (n > (size_t)kVmMaxCode) n = kVmMaxCode;
        for (size_t i = 0; i < n; i++) gProgram.code[i] = DecodeInstr(data + i * 4);
        gProgram.count = (int)n;
        gProgram.ok = true;
    } else {
        size_t n = size < sizeof(gText) - 1 ? size : sizeof(gText) - 1;
        memcpy(gText, data, n);
        gText[n] = '\0';
        int ok = VmAssemble(gText, &gProgram);
        if (ok != (gProgram.ok ? 1 : 0)) __builtin_trap();
        if (strnlen(gProgram.error, sizeof(gProgram.error)) >= sizeof(gProgram.error)) __builtin_trap();
        if (gProgram.count < 0 || gProgram.count > kVmMaxCode || gProgram.varCount > kVmMaxVars) __builtin_trap();
    }
    if (mode & 1) gMap = gSample;
    else memset(&gMap, 0, sizeof(gMap));
    LinkEditor(mode & 2);
    memset(&gState, 0, sizeof(gState));
    int ran = VmRun(&gProgram, &gMap, (mode & 1) ? 1 : -1, -1, &gState);
    // The run's records stay within their bounds and terminated, and a failure always says why.
    if (gState.sp < 0 || gState.sp > kVmStackSize) __builtin_trap();
    if (gState.callDepth < 0 || gState.callDepth > kVmCallDepth) __builtin_trap();
    if (strnlen(gState.log, sizeof(gState.log)) >= sizeof(gState.log)) __builtin_trap();
    if (strnlen(gState.error, sizeof(gState.error)) >= sizeof(gState.error)) __builtin_trap();
    if (!ran && gState.error[0] == '\0') __builtin_trap();
    if (ran && gState.error[0] != '\0') __builtin_trap();
    // The map stays within its tables and holds only sound brushes; the tool stays a built-in one.
    if (gMap.brushCount < 0 || gMap.brushCount > kMaxBrushes) __builtin_trap();
    if (gMap.entityCount < 0 || gMap.entityCount > kMaxEntities) __builtin_trap();
    for (int i = 0; i < gMap.brushCount; i++)
        if (!BrushSound(gMap.brushes[i])) __builtin_trap();
    if (gTool < 0 || gTool > 5) __builtin_trap();
    gEd.valid = 0;
    return 0;
}
