// gui.h: raygui's declarations plus the routines of raygui_impl.c that the editor calls.
#pragma once

#include "raylib.h"
#include "raygui.h"

#if defined(__cplusplus)
extern "C" {
#endif
// raygui's own rectangle drawing (static in its header), with its style and alpha.
void GuiDrawRectangleExt(Rectangle rec, int borderWidth, Color borderColor, Color color);
#if defined(__cplusplus)
}
#endif
