// help.h: the Help window: the editor's keys and mouse gestures as fixed lines of text.
//
// It only shows text and holds back no input: every key it lists can be tried while it is open.
#pragma once

#include "raylib.h"
#include "editor/ui_state.h"

// Phase 32: the window, its X and Close buttons.
void HelpWindow(UiState &ui);
