// gui_font.h: a font for measuring interface text without a window.
#pragma once

// Makes raygui measure text in a font whose printable ASCII glyphs are all glyphWidth pixels wide
// (text size glyphWidth * 2, no spacing). The font holds no texture: nothing may draw with it.
void UseFixedWidthGuiFont(int glyphWidth);
