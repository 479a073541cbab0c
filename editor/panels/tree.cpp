// tree.cpp: the Tree tab: a row per brush and entity, selection from a row, and Subdivide.
#include "editor/panels/right_panel.h"

#include <cstdio>

#include "editor/input.h"
#include "editor/gui.h"
#include "editor/shortcuts.h"
#include "editor/tools/select.h"

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static float DrawTreeRows(MapDoc *map, UiState &ui, const PanelPlace &place, float y, bool isEntity);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float DrawTreeTab(MapDoc *map, UiState &ui, const PanelPlace &place)
{
    // Whether the button shows is settled before the rows: a row press that selects a brush must
    // not also reach a button that appears under the same release.
    bool buttonShown = MapBrushValid(map, ui.selBrush);
    Rectangle button = TreeSubdivideRect(place);
    bool rowsLocked = !TreeRowsTakePointer(buttonShown, button, GetMousePosition());
    if (rowsLocked) GuiLock();
    float y = DrawTreeRows(map, ui, place, place.y, false);
    DrawTreeRows(map, ui, place, y, true);
    if (rowsLocked) GuiUnlock();
    if (buttonShown && GuiButton(button, "Subdivide Selected Brush")) SubdivideSelected(map, ui);
    return TreeTabContentBottom(map, place);
}

float TreeTabContentBottom(const MapDoc *map, const PanelPlace &place)
{
    int rows = ClampCount(map->brushCount, kMaxBrushes) + ClampCount(map->entityCount, kMaxEntities);
    return place.y + 2.0f * kTreeRowH + (float)rows * kTreeRowStep;
}

void TreeRowText(char *out, int outSize, bool selected, const char *name, const char *kind, int index)
{
    const char *marker = selected ? ">" : " ";
    if (name != nullptr && name[0] != '\0') snprintf(out, (size_t)outSize, "%s %s", marker, name);
    else snprintf(out, (size_t)outSize, "%s %s #%d", marker, kind, index);
}

int TreeSelect(MapDoc *map, UiState &ui, bool isEntity, int index)
{
    if (isEntity ? !MapEntityValid(map, index) : !MapBrushValid(map, index)) return 0;
    TransformCancel(map, ui);   // its saved values belong to the object being deselected
    char text[kTreeRowTextLen];
    if (isEntity) {
        TreeRowText(text, sizeof(text), index == ui.selEntity, map->entities[index].name, "Entity", index);
        ui.selEntity = index;
        ui.selBrush = -1;
    } else {
        TreeRowText(text, sizeof(text), index == ui.selBrush, map->brushes[index].name, "Brush", index);
        ui.selBrush = index;
        ui.selEntity = -1;
    }
    StatusSet(ui, "Selected %s from Tree", text);
    return 1;
}

Rectangle TreeSubdivideRect(const PanelPlace &place)
{
    return Rectangle{ place.x + 33.75f, place.top + place.height - 123.75f, place.w - 67.5f, 49.5f };
}

bool TreeRowsTakePointer(bool buttonShown, Rectangle button, Vector2 pointer)
{
    return !(buttonShown && CheckCollisionPointRec(pointer, button));
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The heading and one button per brush (entity when isEntity) from y down; returns the y below.
static float DrawTreeRows(MapDoc *map, UiState &ui, const PanelPlace &place, float y, bool isEntity)
{
    GuiLabel(Rectangle{ place.x + 22.5f, y, 450.0f, 40.5f }, isEntity ? "--- Entities ---" : "--- Brushes ---");
    y += kTreeRowH;
    int count = isEntity ? ClampCount(map->entityCount, kMaxEntities) : ClampCount(map->brushCount, kMaxBrushes);
    for (int i = 0; i < count; i++, y += kTreeRowStep) {
        Rectangle row = { place.x + 33.75f, y, place.w - 67.5f, kTreeRowH };
        if (row.y + row.height < place.view.y || row.y > place.view.y + place.view.height) continue;   // out of sight
        char text[kTreeRowTextLen];
        if (isEntity) TreeRowText(text, sizeof(text), i == ui.selEntity, map->entities[i].name, "Entity", i);
        else TreeRowText(text, sizeof(text), i == ui.selBrush, map->brushes[i].name, "Brush", i);
        if (GuiButton(row, text)) TreeSelect(map, ui, isEntity, i);
    }
    return y;
}
