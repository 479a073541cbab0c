// editor_state.cpp: the editor's start state for tests.
#include "support/editor_state.h"

#include <cstring>

#include "editor/startup.h"

void StartEditorState(std::unique_ptr<UiState> &ui, std::unique_ptr<MapDoc> &map, int textureCount)
{
    ui = std::make_unique<UiState>();
    CamerasStartValues(*ui);
    UiStateStartValues(*ui, 0, textureCount);
    map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    DefaultMap(map.get(), *ui);
}

Font FixedWidthTestFont(int baseSize)
{
    static GlyphInfo glyphs[95];
    static Rectangle recs[95];
    for (int i = 0; i < 95; i++) glyphs[i] = GlyphInfo{ 32 + i, 0, 0, 10, {} };
    Font font = { baseSize, 95, 0, {}, recs, glyphs };
    font.texture.id = 1;   // raygui takes no font without a texture
    return font;
}
