// builtins.cpp: builtin lookup, the calling convention shared by every builtin, and the argument
// readers the families use.
//
// The operations live in one file per family; this file only pops, picks the family by id range
// and pushes. An id that no family handles pushes 0.
#include "script/builtins.h"

#include <cmath>
#include <cstring>

#include "script/builtin_families.h"
#include "script/editor_link.h"

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int FindBuiltin(const char *name)
{
    for (int i = 0; i < kBuiltinCount; i++)
        if (strcmp(kBuiltins[i].name, name) == 0) return i;
    return -1;
}

int VmCallBuiltin(VmState *state, int index)
{
    if (index < 0 || index >= kBuiltinCount) return 0;
    const BuiltinDef &def = kBuiltins[index];
    float args[kBuiltinMaxArgs] = {};
    int argc = def.argc < kBuiltinMaxArgs ? def.argc : kBuiltinMaxArgs;
    // The top of the stack is the last argument, so a script pushes them in the written order.
    for (int i = argc - 1; i >= 0; i--)
        if (!VmPop(state, &args[i])) return 0;

    float result = 0.0f;
    int id = def.id;
    if (id >= BI_BRUSH_VERTCOUNT && id <= BI_BRUSH_CLIP) result = CallBrushBuiltin(state, id, args);
    else if (id >= BI_FACE_VERTCOUNT && id <= BI_FACE_PLANARERR) result = CallFaceBuiltin(state, id, args);
    else if (id >= BI_ENT_ADD && id <= BI_ENT_SETTEX) result = CallEntityBuiltin(state, id, args);
    else result = CallEditorBuiltin(state, id, args);
    return VmPush(state, result);
}

int ArgInt(float value, int32_t *out)
{
    // Checked in floating point: converting NaN or an out-of-range float is undefined behaviour.
    if (!(value > -2147483649.0f && value < 2147483648.0f)) return 0;
    *out = (int32_t)value;
    return 1;
}

int32_t ArgIndex(float value)
{
    int32_t out = kArgBad;
    return ArgInt(value, &out) ? out : kArgBad;
}

int ArgFlag(float value)
{
    return fabsf(value) > kFlagOn ? 1 : 0;
}

int ArgsFinite(const float *args, int first, int count)
{
    for (int i = first; i < first + count; i++)
        if (!std::isfinite(args[i])) return 0;
    return 1;
}

int EditorLinkReady(void)
{
    return gEd.valid ? 1 : 0;
}
