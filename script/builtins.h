// builtins.h: the named functions scripts reach with CALL, and their dispatcher.
//
// The builtins are listed once in builtin_list.h (name, argument count, family, help), which gives
// the ids and the table in builtin_table.h. CALL stores the row; VmCallBuiltin pops the arguments
// (the first argument deepest), hands the call to the family the row names and pushes exactly one
// result. The operations live in one file per family: builtins_editor.cpp (selection, map, cameras,
// snapping, settings, assets, input, mod and the plain helpers), builtins_brush.cpp,
// builtins_face.cpp and builtins_entity.cpp. Editor state is reached through editor_link.h.
#pragma once

#include <cstdint>

#include "script/builtin_table.h"
#include "script/vm_state.h"

//----------------------------------------------------------------------------------
// Limits
//----------------------------------------------------------------------------------
constexpr int kBuiltinMaxArgs = 12;      // argument slots cleared for every call

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Runs builtin row index on the state's stack; 1, or 0 when a pop or the push failed.
int VmCallBuiltin(VmState *state, int index);
