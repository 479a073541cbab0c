// editor_state.cpp: the editor's start state for tests.
#include "support/editor_state.h"

#include <cstring>

#include "editor/app.h"

void StartEditorState(std::unique_ptr<UiState> &ui, std::unique_ptr<MapDoc> &map, int textureCount)
{
    ui = std::make_unique<UiState>();
    CamerasStartValues(*ui);
    UiStateStartValues(*ui, 0, textureCount);
    map = std::make_unique<MapDoc>();
    memset(map.get(), 0, sizeof(MapDoc));
    DefaultMap(map.get(), *ui);
}
