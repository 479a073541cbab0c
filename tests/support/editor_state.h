// editor_state.h: the editor's state as a run begins, for the tests of tools, panels and chrome.
#pragma once

#include <memory>

#include "document/map_records.h"
#include "editor/ui_state.h"

// Cameras and UiState start values (no models, textureCount textures) and the default map, which
// selects the ground brush.
void StartEditorState(std::unique_ptr<UiState> &ui, std::unique_ptr<MapDoc> &map, int textureCount);
// A font whose every printable glyph is 10 pixels wide at baseSize, for measuring text without a
// window; it is never drawn. The glyph tables are shared by every font it returns.
Font FixedWidthTestFont(int baseSize);
