// builtins.cpp: builtin lookup and the calling convention shared by every builtin.
//
// The operations themselves are dispatched by id below; an id without a handler leaves the
// result at 0, so every call still pops its arguments and pushes one value.
#include "script/builtins.h"

#include <cstring>

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
    switch (def.id) {
    default:
        break;                           // no handler: the result stays 0
    }
    (void)args;
    return VmPush(state, result);
}
