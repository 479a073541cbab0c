// The builtins table, the name look-up and the calling convention.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "script/builtins.h"
#include "support/script_run.h"

TEST(ScriptBuiltins, TableShape)
{
    std::set<std::string> names;
    std::set<int> ids;
    for (int i = 0; i < kBuiltinCount; i++) {
        const BuiltinDef &b = kBuiltins[i];
        ASSERT_NE(b.name, nullptr) << i;
        names.insert(b.name);
        ids.insert(b.id);
        EXPECT_GE(b.argc, 0) << b.name;
        EXPECT_LE(b.argc, 7) << b.name;
        ASSERT_NE(b.help, nullptr) << b.name;
        EXPECT_GT(strlen(b.help), 0u) << b.name;
        EXPECT_EQ(strchr(b.help, '\n'), nullptr) << b.name;
        // Ids equal positions except in the mod. group.
        if (i < 213 || i > 219) {
            EXPECT_EQ(b.id, i) << b.name;
        }
    }
    EXPECT_EQ(names.size(), (size_t)kBuiltinCount);
    EXPECT_EQ(ids.size(), (size_t)kBuiltinCount);
    EXPECT_EQ(*ids.begin(), 0);
    EXPECT_EQ(*ids.rbegin(), kBuiltinCount - 1);

    const char *modNames[] = { "mod.ismode", "mod.active", "mod.frame", "mod.exit", "mod.get", "mod.set",
                               "mod.pushundo" };
    const int modIds[] = { 219, 213, 214, 215, 216, 217, 218 };
    const int modArgc[] = { 0, 0, 0, 0, 1, 2, 0 };
    for (int k = 0; k < 7; k++) {
        EXPECT_STREQ(kBuiltins[213 + k].name, modNames[k]);
        EXPECT_EQ(kBuiltins[213 + k].id, modIds[k]);
        EXPECT_EQ(kBuiltins[213 + k].argc, modArgc[k]);
    }
}

TEST(ScriptBuiltins, FamiliesInTableOrder)
{
    struct Family { const char *prefix; int first, last; };
    const Family families[] = {
        { "sel.", 0, 10 }, { "map.", 11, 16 }, { "cam.", 17, 37 }, { "snap.", 38, 47 }, { "set.", 48, 61 },
        { "brush.", 62, 117 }, { "face.", 118, 147 }, { "ent.", 148, 184 }, { "asset.", 185, 187 },
        { "sys.", 188, 194 }, { "key.", 195, 202 }, { "mouse.", 203, 212 }, { "mod.", 213, 219 },
    };
    for (const Family &f : families) {
        for (int i = f.first; i <= f.last; i++)
            EXPECT_EQ(strncmp(kBuiltins[i].name, f.prefix, strlen(f.prefix)), 0) << i << " " << kBuiltins[i].name;
    }
    const char *plain[] = { "snap", "log", "dist3", "dot3", "len3" };
    const int plainArgc[] = { 1, 1, 6, 6, 3 };
    for (int k = 0; k < 5; k++) {
        EXPECT_STREQ(kBuiltins[220 + k].name, plain[k]);
        EXPECT_EQ(kBuiltins[220 + k].argc, plainArgc[k]);
    }
    // Spot checks of names and argument counts across the table.
    struct Row { int index; const char *name; int argc; };
    const Row rows[] = {
        { 0, "sel.brush", 0 }, { 6, "sel.settool", 1 }, { 14, "map.setgrid", 1 }, { 20, "cam.setpos", 3 },
        { 30, "cam.setangles", 2 }, { 36, "cam.orbit", 4 }, { 47, "snap.setrotstep", 1 },
        { 61, "set.setquality", 1 }, { 67, "brush.setv", 5 }, { 80, "brush.add", 7 },
        { 117, "brush.clip", 6 }, { 119, "face.vert", 3 }, { 145, "face.settint", 5 },
        { 146, "face.split", 4 }, { 148, "ent.add", 4 }, { 163, "ent.setlight", 5 },
        { 184, "ent.settex", 2 }, { 202, "key.any", 0 }, { 209, "mouse.vp", 0 },
    };
    for (const Row &r : rows) {
        EXPECT_STREQ(kBuiltins[r.index].name, r.name);
        EXPECT_EQ(kBuiltins[r.index].argc, r.argc) << r.name;
    }
    EXPECT_STREQ(kBuiltins[20].help, "(x,y,z) move the camera, keeping its aim");
}

TEST(ScriptBuiltins, FindBuiltinIsExact)
{
    EXPECT_EQ(FindBuiltin("sel.brush"), 0);
    EXPECT_EQ(FindBuiltin("len3"), 224);
    EXPECT_EQ(FindBuiltin("mod.ismode"), 213);
    EXPECT_EQ(FindBuiltin("brush.add"), 80);
    EXPECT_EQ(FindBuiltin("Brush.add"), -1);
    EXPECT_EQ(FindBuiltin("brush.add "), -1);
    EXPECT_EQ(FindBuiltin("brush."), -1);
    EXPECT_EQ(FindBuiltin(""), -1);
    for (int i = 0; i < kBuiltinCount; i++) EXPECT_EQ(FindBuiltin(kBuiltins[i].name), i);
}

TEST(ScriptBuiltins, EveryCallPopsItsArgumentsAndPushesOne)
{
    std::unique_ptr<VmState> state(new VmState());
    for (int i = 0; i < kBuiltinCount; i++) {
        memset(state.get(), 0, sizeof(VmState));
        for (int k = 0; k < 10; k++) state->stack[state->sp++] = (float)k;
        ASSERT_EQ(VmCallBuiltin(state.get(), i), 1) << kBuiltins[i].name;
        EXPECT_EQ(state->sp, 10 - kBuiltins[i].argc + 1) << kBuiltins[i].name;
        // The arguments came off the top: what lies under them is untouched.
        for (int k = 0; k < 10 - kBuiltins[i].argc; k++) EXPECT_EQ(state->stack[k], (float)k);

        memset(state.get(), 0, sizeof(VmState));
        if (kBuiltins[i].argc > 0) {
            state->sp = kBuiltins[i].argc - 1;
            EXPECT_EQ(VmCallBuiltin(state.get(), i), 0) << kBuiltins[i].name;
            EXPECT_STREQ(state->error, "stack underflow");
            EXPECT_EQ(state->sp, 0);     // values already popped are lost
        }
    }
    EXPECT_EQ(VmCallBuiltin(state.get(), -1), 0);
    EXPECT_EQ(VmCallBuiltin(state.get(), kBuiltinCount), 0);
}
