// editor_link.cpp: the two records through which the builtins reach state beyond their map.
#include "script/editor_link.h"

#include "document/settings.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
EditorContext gEd;   // invalid until the editor fills it at start-up
// The settings lie beneath the scripts, so they reach them from the start, even without a window;
// the asset counts belong to the asset library, which the editor links at start-up.
ScriptGlobals gScriptGlobals = { &gSettingsRecord, nullptr, nullptr, nullptr };
