// info.cpp: the Info tab: counts of the map, the asset library and the undo history.
#include "editor/panels/right_panel.h"

#include <cstdio>

#include "document/undo.h"
#include "editor/gui.h"
#include "project/assets.h"

static constexpr int kInfoLineLen = 64;
static constexpr float kInfoStep = 45.0f;

float DrawInfoTab(const MapDoc *map, const PanelPlace &place)
{
    char lines[5][kInfoLineLen];
    snprintf(lines[0], kInfoLineLen, "Brushes: %d", map->brushCount);
    snprintf(lines[1], kInfoLineLen, "Entities: %d", map->entityCount);
    snprintf(lines[2], kInfoLineLen, "Models Loaded: %d", gAssets.modelCount);
    snprintf(lines[3], kInfoLineLen, "Textures Loaded: %d", gAssets.textureCount);
    snprintf(lines[4], kInfoLineLen, "Undo Steps: %d / %d", gUndo.index, gUndo.count);
    for (int i = 0; i < 5; i++) {
        GuiLabel(Rectangle{ place.x + 33.75f, place.y + 11.25f + kInfoStep * (float)i, 405.0f, 45.0f }, lines[i]);
    }
    return place.y;   // the five lines always fit: the region never scrolls for them
}
