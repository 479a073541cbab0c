// console_window.h: the console window: the log's lines with their filters, follow mode, wheel
// scroll-back, Clear and X.
#pragma once

#include "editor/ui_state.h"

// Whole lines that fit a list area of the given height.
int ConsoleLinesThatFit(float listHeight);
// Phase 33: the console window, while it is open.
void DrawConsoleWindow(UiState &ui);
