// builtin_table.cpp: the table of builtins, expanded from builtin_list.h, and the lookup by name.
#include "script/builtin_table.h"

#include <cstring>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
#define KIRTO_BUILTIN_ROW(id, number, name, argc, family, help) { name, argc, id, family, help },
const BuiltinDef kBuiltins[kBuiltinCount] = { KIRTO_BUILTINS(KIRTO_BUILTIN_ROW) };
#undef KIRTO_BUILTIN_ROW

// The ids in row order, checked here so that a new row cannot reuse an id or leave a gap: the
// families' switches and the tests take the ids to be 0..count-1, each once.
#define KIRTO_BUILTIN_NUMBER(id, number, name, argc, family, help) number,
static constexpr int kIdsByRow[kBuiltinCount] = { KIRTO_BUILTINS(KIRTO_BUILTIN_NUMBER) };
#undef KIRTO_BUILTIN_NUMBER
static constexpr bool BuiltinIdsAreRowsPermuted()
{
    bool seen[kBuiltinCount] = {};
    for (int row = 0; row < kBuiltinCount; row++) {
        int id = kIdsByRow[row];
        if (id < 0 || id >= kBuiltinCount || seen[id]) return false;
        seen[id] = true;
    }
    return true;
}
static_assert(BuiltinIdsAreRowsPermuted(), "builtin ids must be 0..count-1, each once");

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int FindBuiltin(const char *name)
{
    for (int i = 0; i < kBuiltinCount; i++)
        if (strcmp(kBuiltins[i].name, name) == 0) return i;
    return -1;
}
