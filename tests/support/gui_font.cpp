// gui_font.cpp: a fixed-width font for measuring interface text without a window.
#include "support/gui_font.h"

#include "editor/gui.h"

static constexpr int kFirstGlyph = 32, kGlyphCount = 95;   // blank .. tilde

void UseFixedWidthGuiFont(int glyphWidth)
{
    static GlyphInfo glyphs[kGlyphCount];
    static Rectangle recs[kGlyphCount];
    for (int i = 0; i < kGlyphCount; i++) {
        glyphs[i] = GlyphInfo{ kFirstGlyph + i, 0, 0, glyphWidth, Image{} };
        recs[i] = Rectangle{ 0.0f, 0.0f, (float)glyphWidth, (float)(2 * glyphWidth) };
    }
    Font font = {};
    font.baseSize = 2 * glyphWidth;
    font.glyphCount = kGlyphCount;
    font.texture.id = 1;   // raygui takes no font without a texture; this one is never drawn
    font.recs = recs;
    font.glyphs = glyphs;
    GuiSetFont(font);
    GuiSetStyle(DEFAULT, TEXT_SPACING, 0);
}
