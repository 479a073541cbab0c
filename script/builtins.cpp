// builtins.cpp: the calling convention shared by every builtin.
//
// The operations live in one file per family; this file only pops, picks the family the row names
// and pushes. An id that no family handles pushes 0.
#include "script/builtins.h"

#include "script/builtin_families.h"

// Every row's arguments fit the slots VmCallBuiltin clears.
#define KIRTO_BUILTIN_ARGC_FITS(id, number, name, argc, family, help) \
    static_assert(argc >= 0 && argc <= kBuiltinMaxArgs, "too many arguments: " name);
KIRTO_BUILTINS(KIRTO_BUILTIN_ARGC_FITS)
#undef KIRTO_BUILTIN_ARGC_FITS

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int VmCallBuiltin(VmState *state, int index)
{
    if (index < 0 || index >= kBuiltinCount) return 0;
    const BuiltinDef &def = kBuiltins[index];
    float args[kBuiltinMaxArgs] = {};
    int argc = def.argc;
    // The top of the stack is the last argument, so a script pushes them in the written order.
    for (int i = argc - 1; i >= 0; i--)
        if (!VmPop(state, &args[i])) return 0;

    float result = 0.0f;
    switch (def.family) {
    case BF_SELECTION: result = CallSelectionBuiltin(state, def.id, args); break;
    case BF_CAMERA: result = CallCameraBuiltin(def.id, args); break;
    case BF_SETTINGS: result = CallSettingsBuiltin(def.id, args); break;
    case BF_INPUT: result = CallInputBuiltin(def.id, args); break;
    case BF_MOD: result = CallModBuiltin(state, def.id, args); break;
    case BF_PLAIN: result = CallPlainBuiltin(state, def.id, args); break;
    case BF_BRUSH: result = CallBrushBuiltin(state, def.id, args); break;
    case BF_FACE: result = CallFaceBuiltin(state, def.id, args); break;
    case BF_ENTITY: result = CallEntityBuiltin(state, def.id, args); break;
    default: break;
    }
    return VmPush(state, result);
}
