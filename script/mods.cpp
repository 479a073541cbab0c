// mods.cpp: the mod registry: scanning the mods folder, parsing manifests, assembling the tools'
// scripts and running one-shot tools.
#include "script/mods.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "raylib.h"
#include "platform/platform.h"
#include "script/vm.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// Zero-filled (it is megabytes of programs): with no package kept, no tool counts as selected
// whatever activeMod and activeTool hold, and the scan sets them to -1.
ModRegistry gMods;

static VmState sRunState;   // one run at a time; too large for the stack

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void ParseToolLine(ModPackage *package, const char *value, bool isMode);
static void TrimSpaces(char *text, bool leading, bool trailing);
static void CopyCut(char *dst, int dstSize, const char *src, int len);
static int PathInsideFolder(const char *path, const char *realFolder);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ModToolIsActive(const ModTool *tool)
{
    return tool && tool->isMode && tool == ModToolAt(gMods.activeMod, gMods.activeTool) ? 1 : 0;
}

ModTool *ModToolAt(int mod, int tool)
{
    if (mod < 0 || mod >= gMods.count || mod >= kMaxMods) return nullptr;
    ModPackage &package = gMods.mods[mod];
    if (tool < 0 || tool >= package.toolCount || tool >= kMaxModTools) return nullptr;
    return &package.tools[tool];
}

void ScanMods(void)
{
    // Every slot is cleared, not just the count: a rescan that finds fewer mods must not leave an
    // old package for a stale index to reach.
    memset(gMods.mods, 0, sizeof(gMods.mods));
    gMods.count = 0;
    gMods.activeMod = -1;
    gMods.activeTool = -1;
    gMods.lastError[0] = '\0';
    PlatformMakeDir(kModsDir);

    PlatformFolderListing list;
    PlatformOpenFolderListing(kModsDir, &list);
    for (const char *path = PlatformNextFolderEntry(&list); path != nullptr && gMods.count < kMaxMods;
         path = PlatformNextFolderEntry(&list)) {
        if (PlatformIsFolder(path)) LoadMod(path);
    }
    PlatformCloseFolderListing(&list);
    if (gMods.count == 0) {
        snprintf(gMods.lastError, sizeof(gMods.lastError), "%s",
                 "No mods in mods/ - each needs its own subfolder containing mod.txt");
    }
}

int LoadMod(const char *path)
{
    if (gMods.count >= kMaxMods) return 0;
    char file[512];
    snprintf(file, sizeof(file), "%s%cmod.txt", path, kPlatformSeparator);
    char *text = ReadWholeFile(file);
    if (!text) return 0;

    ModPackage *package = &gMods.mods[gMods.count];
    memset(package, 0, sizeof(*package));
    snprintf(package->name, sizeof(package->name), "%s", GetFileName(path));
    package->valid = true;
    ParseModManifest(package, text);
    MemFree(text);

    char realFolder[kPlatformPathLen];
    bool folderKnown = PlatformRealPath(path, realFolder, sizeof(realFolder)) != 0;
    for (int t = 0; t < package->toolCount; t++) {
        ModTool *tool = &package->tools[t];
        snprintf(file, sizeof(file), "%s%c%s", path, kPlatformSeparator, tool->script);
        bool safe = folderKnown && ModScriptPathSafe(tool->script) && PathInsideFolder(file, realFolder);
        char *source = safe ? ReadWholeFile(file) : nullptr;
        if (!source) {
            snprintf(tool->prog.error, sizeof(tool->prog.error), "missing script %s", tool->script);
            continue;
        }
        tool->loaded = VmAssemble(source, &tool->prog) != 0;
        MemFree(source);
    }
    if (package->toolCount == 0) {
        memset(package, 0, sizeof(*package));   // the slot goes to the next folder
        return 0;
    }
    gMods.count++;
    return 1;
}

void ParseModManifest(ModPackage *package, const char *text)
{
    const char *p = text;
    while (*p) {
        // One line: up to a line feed or kModLineLen characters, whichever comes first.
        int len = 0;
        while (p[len] && p[len] != '\n' && len < kModLineLen) len++;
        char line[kModLineLen + 1];
        memcpy(line, p, (size_t)len);
        line[len] = '\0';
        p += len;
        if (*p == '\n' && len < kModLineLen) p++;

        line[strcspn(line, "#;")] = '\0';
        char *eq = strchr(line, '=');
        if (!eq) continue;
        *eq = '\0';
        char *key = line, *value = eq + 1;
        while (*key == ' ' || *key == '\t') key++;
        for (int n = (int)strlen(key); n > 0 && (key[n - 1] == ' ' || key[n - 1] == '\t'); n--) key[n - 1] = '\0';
        while (*value == ' ' || *value == '\t') value++;
        for (int n = (int)strlen(value); n > 0 && strchr(" \t\r", value[n - 1]); n--) value[n - 1] = '\0';

        if (strcmp(key, "name") == 0) {
            snprintf(package->name, sizeof(package->name), "%s", value);
        } else if (strcmp(key, "author") == 0) {
            snprintf(package->author, sizeof(package->author), "%s", value);
        } else if (strcmp(key, "tool") == 0 || strcmp(key, "mode") == 0) {
            if (package->toolCount < kMaxModTools) ParseToolLine(package, value, key[0] == 'm');
        }
    }
}

char *ReadWholeFile(const char *path)
{
    unsigned char *text = nullptr;
    long size = 0;
    return PlatformReadRegularFile(path, kModMaxFileBytes, &text, &size) ? (char *)text : nullptr;
}

int ModScriptPathSafe(const char *script)
{
    if (script[0] == '\0' || script[0] == '/' || script[0] == '\\') return 0;
    if (strchr(script, ':')) return 0;   // a drive or a stream name
    // ".." as a whole path component, with either separator.
    for (const char *c = script; *c; c++) {
        bool starts = (c == script) || c[-1] == '/' || c[-1] == '\\';
        if (starts && c[0] == '.' && c[1] == '.' && (c[2] == '\0' || c[2] == '/' || c[2] == '\\')) return 0;
    }
    return 1;
}

int RunModTool(int mod, int tool, MapDoc *map, int selBrush, int selEntity)
{
    gMods.lastOutput[0] = '\0';
    gMods.lastError[0] = '\0';
    ModTool *t = ModToolAt(mod, tool);
    if (!t) {
        snprintf(gMods.lastError, sizeof(gMods.lastError), "No tool %d in mod %d.", tool, mod);
        return 0;
    }
    if (!t->loaded) {
        snprintf(gMods.lastError, sizeof(gMods.lastError), "%s: %s", t->name,
                 t->prog.error[0] ? t->prog.error : "script not loaded");
        return 0;
    }
    memset(&sRunState, 0, sizeof(sRunState));
    ModRunLinkFill(&sRunState.modLink, t);
    int ok = VmRun(&t->prog, map, selBrush, selEntity, &sRunState);
    ModRunLinkRead(&sRunState.modLink, t);   // a failed run keeps what it did before it stopped
    snprintf(gMods.lastOutput, sizeof(gMods.lastOutput), "%s", sRunState.log);
    if (!ok) snprintf(gMods.lastError, sizeof(gMods.lastError), "%s: %.158s", t->name, sRunState.error);
    return ok;
}

void ModRunLinkFill(ModRunLink *link, const ModTool *tool)
{
    memset(link, 0, sizeof(*link));
    if (!tool) return;
    link->hasTool = true;
    link->isMode = tool->isMode;
    link->active = ModToolIsActive(tool) != 0;
    link->frame = tool->frame;
    memcpy(link->slots, tool->slots, sizeof(link->slots));
}

void ModRunLinkRead(const ModRunLink *link, ModTool *tool)
{
    if (tool) memcpy(tool->slots, link->slots, sizeof(tool->slots));
    // Only raised: the editor clears them before each frame of a mode tool.
    if (link->exitRequested) gMods.exitRequested = true;
    if (link->undoRequested) gMods.undoRequested = true;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Name | script | help. Without a bar the line declares nothing.
static void ParseToolLine(ModPackage *package, const char *value, bool isMode)
{
    const char *bar = strchr(value, '|');
    if (!bar) return;
    ModTool *tool = &package->tools[package->toolCount];
    memset(tool, 0, sizeof(*tool));
    tool->isMode = isMode;
    const char *script = bar + 1;
    const char *bar2 = strchr(script, '|');
    // Trimmed first, then cut to the field, so blanks never take the place of text.
    char part[kModLineLen + 1];
    CopyCut(part, sizeof(part), value, (int)(bar - value));
    TrimSpaces(part, false, true);
    CopyCut(tool->name, sizeof(tool->name), part, (int)strlen(part));
    CopyCut(part, sizeof(part), script, bar2 ? (int)(bar2 - script) : (int)strlen(script));
    TrimSpaces(part, true, true);
    CopyCut(tool->script, sizeof(tool->script), part, (int)strlen(part));
    CopyCut(part, sizeof(part), bar2 ? bar2 + 1 : "", bar2 ? (int)strlen(bar2 + 1) : 0);
    TrimSpaces(part, true, false);
    CopyCut(tool->help, sizeof(tool->help), part, (int)strlen(part));
    package->toolCount++;
}

// Blanks only: tabs around the bars stay.
static void TrimSpaces(char *text, bool leading, bool trailing)
{
    if (leading) {
        size_t skip = strspn(text, " ");
        memmove(text, text + skip, strlen(text + skip) + 1);
    }
    if (trailing) {
        for (size_t n = strlen(text); n > 0 && text[n - 1] == ' '; n--) text[n - 1] = '\0';
    }
}

// len characters of src, cut to what dst holds.
static void CopyCut(char *dst, int dstSize, const char *src, int len)
{
    if (len > dstSize - 1) len = dstSize - 1;
    memcpy(dst, src, (size_t)len);
    dst[len] = '\0';
}

// 1 when path, every link resolved, names an entry inside realFolder (a real path itself), compared
// as the system compares names: the name check alone lets a script that is a link lead out of its mod.
static int PathInsideFolder(const char *path, const char *realFolder)
{
    char realPath[kPlatformPathLen];
    if (!PlatformRealPath(path, realPath, sizeof(realPath))) return 0;
    return PlatformPathLeaves(realPath, realFolder) == 0 && !PlatformIsFolder(realPath);
}
