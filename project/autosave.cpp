// autosave.cpp: the dirty flag and the autosave state's start values.
#include "project/autosave.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
AutoSaveState gAutoSave = { true, kAutoSaveInterval, 0.0f, false, 0 };

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void MarkMapDirty(void)
{
    gAutoSave.dirty = true;
}
