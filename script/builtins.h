// builtins.h: the named functions scripts reach with CALL, and their dispatcher.
//
// kBuiltins lists every builtin with its argument count and dispatch id; CALL stores the row and
// VmCallBuiltin pops the arguments (the first argument deepest), runs the operation chosen by the
// row's id and pushes exactly one result. The table lives in builtin_table.cpp, the ids in
// builtin_ids.h, and the operations in one file per family: builtins_editor.cpp (selection, map,
// cameras, snapping, settings, assets, input, mod and the plain helpers), builtins_brush.cpp,
// builtins_face.cpp and builtins_entity.cpp. Editor state is reached through editor_link.h.
#pragma once

#include <cstdint>

#include "script/vm.h"

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kBuiltinCount = 225;
constexpr int kBuiltinMaxArgs = 12;      // argument slots cleared for every call

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct BuiltinDef {
    const char *name;                    // as scripts write it, case-sensitive
    int32_t argc;                        // 0..7
    int32_t id;                          // dispatch number
    const char *help;                    // one line for mod authors
};

extern const BuiltinDef kBuiltins[kBuiltinCount];

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Row 0..224 of the builtin with exactly this name, or -1.
int FindBuiltin(const char *name);
// Runs builtin row index on the state's stack; 1, or 0 when a pop or the push failed.
int VmCallBuiltin(VmState *state, int index);
