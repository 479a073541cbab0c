// mods.cpp: the mod registry.
#include "script/mods.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
// Zero-filled (it is megabytes of programs): with no package kept, no tool counts as selected
// whatever activeMod and activeTool hold, and the scan sets them to -1.
ModRegistry gMods;

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int ModToolIsActive(const ModTool *tool)
{
    if (!tool || !tool->isMode) return 0;
    if (gMods.activeMod < 0 || gMods.activeMod >= gMods.count || gMods.activeMod >= kMaxMods) return 0;
    const ModPackage &package = gMods.mods[gMods.activeMod];
    if (gMods.activeTool < 0 || gMods.activeTool >= package.toolCount || gMods.activeTool >= kMaxModTools) return 0;
    return &package.tools[gMods.activeTool] == tool ? 1 : 0;
}
