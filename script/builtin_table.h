// builtin_table.h: the builtins' ids and their table, as the assembler and the dispatcher read them.
//
// Everything here is expanded from the one list in builtin_list.h: BuiltinId names the dispatch
// ids, kBuiltins holds each row's name, argument count, id, family and help. CALL stores the row.
// This header knows nothing of the machine that runs the builtins (builtins.h) or of their operations.
#pragma once

#include <cstdint>

#include "script/builtin_list.h"

//----------------------------------------------------------------------------------
// Ids
//----------------------------------------------------------------------------------
#define KIRTO_BUILTIN_ID(id, number, name, argc, family, help) id = number,
enum BuiltinId : int32_t { KIRTO_BUILTINS(KIRTO_BUILTIN_ID) };
#undef KIRTO_BUILTIN_ID

#define KIRTO_BUILTIN_ONE(id, number, name, argc, family, help) +1
constexpr int kBuiltinCount = 0 KIRTO_BUILTINS(KIRTO_BUILTIN_ONE);
#undef KIRTO_BUILTIN_ONE

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
struct BuiltinDef {
    const char *name;                    // as scripts write it, case-sensitive
    int32_t argc;                        // arguments popped, up to kBuiltinMaxArgs (builtins.h)
    int32_t id;                          // dispatch number, BuiltinId
    int32_t family;                      // BuiltinFamily: the switch that runs it
    const char *help;                    // one line for mod authors
};

extern const BuiltinDef kBuiltins[kBuiltinCount];

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Row of the builtin with exactly this name, or -1.
int FindBuiltin(const char *name);
