// builtin_families.h: what the builtin families share inside the script subsystem.
//
// VmCallBuiltin (builtins.cpp) pops the arguments and hands the call to the family its row names
// (builtin_list.h); each family switches on the id and returns the one value the call pushes. The argument
// readers apply the calling convention in one place: an index, code or count that is NaN,
// infinite or outside the 32-bit range is never converted, so it can name no object by accident.
#pragma once

#include <climits>
#include <cstdint>

#include "script/builtin_table.h"
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
int ArgInt(float value, int32_t *out);
// The value truncated toward zero, or kArgBad when ArgInt refuses it.
int32_t ArgIndex(float value);
// 1 when the flag's magnitude is above 0.5 (NaN is off).
int ArgFlag(float value);
// 1 when args[first .. first+count-1] are all finite.
int ArgsFinite(const float *args, int first, int count);
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
int EditorLinkReady(void);

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
