// vm_state.cpp: the stack and the log of a script run, the part of the state the builtins use too.
#include "script/vm_state.h"

#include <cstdio>
#include <cstring>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int VmPush(VmState *state, float value)
{
    if (state->sp >= kVmStackSize) {
        snprintf(state->error, sizeof(state->error), "stack overflow");
        return 0;
    }
    state->stack[state->sp++] = value;
    return 1;
}

int VmPop(VmState *state, float *out)
{
    if (state->sp <= 0) {
        snprintf(state->error, sizeof(state->error), "stack underflow");
        return 0;
    }
    *out = state->stack[--state->sp];
    return 1;
}

void VmLog(VmState *state, const char *text)
{
    size_t used = strnlen(state->log, sizeof(state->log) - 1);
    size_t len = strlen(text);
    // The whole entry and its line feed must fit, with room for the terminator: no partial entries.
    if (used + len + 2 >= sizeof(state->log)) return;
    memcpy(state->log + used, text, len);
    state->log[used + len] = '\n';
    state->log[used + len + 1] = '\0';
}
