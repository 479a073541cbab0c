// builtin_families.h: what the builtin families share inside the script subsystem.
//
// VmCallBuiltin (builtins.cpp) pops the arguments and hands the call to the family its row names
// (builtin_list.h); each family switches on the id and returns the one value the call pushes. The argument
// readers apply the calling convention in one place: an index, code or count that is NaN,
// infinite or outside the 32-bit range is never converted, so it can name no object by accident.
#pragma once

#include <climits>
#include <cmath>
#include <cstdint>

#include "script/builtin_table.h"
#include "script/editor_link.h"
#include "script/vm_state.h"

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
// What ArgIndex gives for a value that is not an index: below every range a builtin admits.
constexpr int32_t kArgBad = INT32_MIN;
constexpr float kFlagOn = 0.5f;          // a flag is on when its magnitude is above this
constexpr float kMaxChannel = 255.0f;    // colour channels run 0..255

//----------------------------------------------------------------------------------
// Argument readers
//----------------------------------------------------------------------------------
// 1 with the value truncated toward zero in out; 0 (out untouched) for NaN, infinities and values
// outside the 32-bit range.
inline int ArgInt(float value, int32_t *out)
{
    // Checked in floating point: converting NaN or an out-of-range float is undefined behaviour.
    if (!(value > -2147483649.0f && value < 2147483648.0f)) return 0;
    *out = (int32_t)value;
    return 1;
}
// The value truncated toward zero, or kArgBad when ArgInt refuses it.
inline int32_t ArgIndex(float value)
{
    int32_t out = kArgBad;
    return ArgInt(value, &out) ? out : kArgBad;
}
// 1 when the flag's magnitude is above 0.5 (NaN is off).
inline int ArgFlag(float value)
{
    return fabsf(value) > kFlagOn ? 1 : 0;
}
// 1 when args[first .. first+count-1] are all finite.
inline int ArgsFinite(const float *args, int first, int count)
{
    for (int i = first; i < first + count; i++)
        if (!std::isfinite(args[i])) return 0;
    return 1;
}
// A colour channel from a finite argument: clamped to 0..255, then truncated.
inline uint8_t ArgChannel(float value)
{
    return (uint8_t)(value < 0.0f ? 0.0f : (value > kMaxChannel ? kMaxChannel : value));
}
// A flag or test as the value a builtin pushes: 1 or 0.
inline float FromBool(int value)
{
    return value ? 1.0f : 0.0f;
}
// 1 when the editor link is filled (gEd.valid).
inline int EditorLinkReady(void)
{
    return gEd.valid ? 1 : 0;
}

//----------------------------------------------------------------------------------
// Families: the value to push for builtin id with the popped arguments
//----------------------------------------------------------------------------------
// In builtins_editor.cpp: BF_SELECTION (sel., map.), the run's own selection and the editor's.
float CallSelectionBuiltin(VmState *state, int id, const float *args);
// BF_CAMERA (cam.): the 3D camera, and the zoom of the 2D views.
float CallCameraBuiltin(int id, const float *args);
// BF_SETTINGS (snap., set.).
float CallSettingsBuiltin(int id, const float *args);
// BF_INPUT (asset., sys., key., mouse.).
float CallInputBuiltin(int id, const float *args);
// BF_MOD (mod.): the run's mod tool, through the state's link.
float CallModBuiltin(VmState *state, int id, const float *args);
// BF_PLAIN: snap, log, dist3, dot3, len3.
float CallPlainBuiltin(VmState *state, int id, const float *args);
// BF_BRUSH (brush.), in builtins_brush.cpp.
float CallBrushBuiltin(VmState *state, int id, const float *args);
// BF_FACE (face.), in builtins_face.cpp.
float CallFaceBuiltin(VmState *state, int id, const float *args);
// BF_ENTITY (ent.), in builtins_entity.cpp.
float CallEntityBuiltin(VmState *state, int id, const float *args);
