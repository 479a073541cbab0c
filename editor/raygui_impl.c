/* raygui_impl.c: the one place raygui's implementation is compiled (as C, as it expects). */
#define RAYGUI_IMPLEMENTATION
#include "raygui.h"

/* Exported so that the editor's panels draw frames exactly as raygui's widgets do. */
void GuiDrawRectangleExt(Rectangle rec, int borderWidth, Color borderColor, Color color)
{
    GuiDrawRectangle(rec, borderWidth, borderColor, color);
}
