// entity.cpp: the entity panel of the Object Properties tab: name and class, position,
// rotation and scale, kind, light settings, physics, tint, model and texture override.
//
// The fields, boxes, toggles, check boxes and the aim button write into the entity in place, and
// the tab makes each committed change one undo step; the three asset buttons take their own.
#include "editor/panels/right_panel.h"

#include <cstdio>

#include "raymath.h"
#include "document/problem_check.h"
#include "document/undo.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/tools/vertex.h"
#include "editor/widgets.h"
#include "project/assets.h"

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
static const char *const kKindToggle[kEntityKindCount] = { "Generic", "Light", "Spot", "Sun", "Physics", "Spawn" };

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static float EntityLightRows(UiState &ui, Entity *e, float L, float P, float y);
static float EntityAssetRows(MapDoc *map, UiState &ui, const Entity *e, float L, float P, float y);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
float EntityPropertiesPanel(MapDoc *map, UiState &ui, float L, float P, float y)
{
    static const char *const kAxisLabel[3] = { "X:", "Y:", "Z:" };
    static const char *const kRotLabel[3] = { "Pitch:", "Yaw:", "Roll:" };
    static const float kRotLimit[3] = { 90.0f, 180.0f, 180.0f };
    Entity *e = ui.selEntityPtr;
    float h = ui.rowH;
    GuiLabel(Rectangle{ L + 33.75f, y, 450.0f, h }, TextFormat("Entity #%d Properties", ui.selEntity));
    y += h + 4.5f;
    GuiLabel(Rectangle{ L + 33.75f, y, 108.0f, h }, "Name:");
    PropertyTextBox(Rectangle{ L + 141.75f, y, 303.75f, h }, e->name, kNameLen, &ui.nameBoxEdit, 0);
    y += h + 9.0f;
    GuiLabel(Rectangle{ L + 33.75f, y, 108.0f, h }, "Class:");
    PropertyTextBox(Rectangle{ L + 141.75f, y, 303.75f, h }, e->className, kNameLen, &ui.classBoxEdit, 1);
    y += h + 9.0f;

    Rectangle field = { L + 27.0f, y, P - 54.0f, h };
    GuiLabel(field, "--- Position ---");
    for (int k = 0; k < 3; k++) {
        field.y += h;
        GuiNumField(NF_ENTITY_POS_X + k, field, kAxisLabel[k], &e->position.x + k, -kMapPositionLimit,
                    kMapPositionLimit, "%.3f");
    }
    field.y += h + 6.75f;
    GuiLabel(field, "--- Rotation (deg) ---");
    for (int k = 0; k < 3; k++) {
        field.y += h;
        GuiNumField(NF_ENTITY_ROT_X + k, field, kRotLabel[k], &e->rotation.x + k, -kRotLimit[k], kRotLimit[k], "%.1f");
    }
    field.y += h;
    GuiNumField(NF_ENTITY_SCALE, field, "Scale:", &e->scale, 0.05f, 20.0f, "%.3f");
    y = field.y + h + 6.75f;

    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Type ---");
    y += h;
    float w = (P - 81.0f) / 3.0f;
    for (int k = 0; k < kEntityKindCount; k++) {
        Rectangle toggle = { L + 33.75f + (float)(k % 3) * (w + 6.75f), y + (k < 3 ? 0.0f : h + 6.75f), w, h };
        bool on = e->kind == k;
        if (GuiToggle(toggle, kKindToggle[k], on) && !on) {
            EntityKindPick(e, k);
            EntityColoursHold(e);   // a light kind shows its colour section from this frame
        }
    }
    y += 2.0f * h + 20.25f;
    if (EntityIsLight(e)) y = EntityLightRows(ui, e, L, P, y);

    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Physics ---");
    y += h;
    PropertyCheckBox(Rectangle{ L + 33.75f, y, h - 9.0f, h - 9.0f }, "Physics Object", &e->physics);
    y += h + 4.5f;
    field = Rectangle{ L + 27.0f, y, P - 54.0f, h };
    GuiNumFieldByte(NF_ENTITY_TINT_R, field, "Tint R:", &e->tint.r);
    field.y += h;
    GuiNumFieldByte(NF_ENTITY_TINT_G, field, "Tint G:", &e->tint.g);
    field.y += h;
    GuiNumFieldByte(NF_ENTITY_TINT_B, field, "Tint B:", &e->tint.b);
    y = field.y + h;
    if (e->physics) {
        GuiNumField(NF_ENTITY_MASS, Rectangle{ L + 27.0f, y, P - 54.0f, h }, "Mass:", &e->mass, 0.1f, 500.0f, "%.2f");
        y += h;
    }
    return EntityAssetRows(map, ui, e, L, P, y + 9.0f);
}

void EntityKindPick(Entity *entity, int kind)
{
    if (kind < 0 || kind >= kEntityKindCount) return;
    entity->kind = kind;
    snprintf(entity->className, sizeof(entity->className), "%s", kEntityKindName[kind]);
    if (kind < ENTITY_LIGHT_ENVIRONMENT) {
        entity->castsLight = (kind == ENTITY_LIGHT || kind == ENTITY_LIGHT_SPOT) ? 1 : 0;
    } else {
        entity->castsLight = kind == ENTITY_LIGHT_ENVIRONMENT ? 1 : 0;
        entity->physics = kind == ENTITY_PROP_PHYSICS ? 1 : 0;
    }
}

void EntityColoursHold(Entity *entity)
{
    entity->tint.a = 255;   // a tint is always in force on the model
    if (EntityIsLight(entity)) entity->lightColour.a = 255;
}

void EntityConesHold(Entity *entity, bool innerChanged, bool outerChanged)
{
    // Only an edit moves a cone: cones stored the other way round are shown as they are.
    if ((innerChanged || outerChanged) && entity->innerCone > entity->outerCone) entity->outerCone = entity->innerCone;
}

int EntityPanelSetModel(MapDoc *map, UiState &ui)
{
    if (!MapEntityValid(map, ui.selEntity)) return 0;
    PushUndoState(map);
    map->entities[ui.selEntity].model = ui.curModel;
    StatusSet(ui, "Set Entity model to %d", ui.curModel);
    return 1;
}

int EntityPanelTexture(MapDoc *map, UiState &ui, bool clear)
{
    if (!MapEntityValid(map, ui.selEntity)) return 0;
    PushUndoState(map);
    map->entities[ui.selEntity].texture = clear ? -1 : ui.curTexture;
    if (clear) {
        StatusSet(ui, "Cleared texture override on Entity #%d", ui.selEntity);
    } else {
        StatusSet(ui, "Applied texture %d to Entity #%d", ui.curTexture, ui.selEntity);
    }
    return 1;
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The light section of the three light kinds: colour, brightness, range, cones, aim.
static float EntityLightRows(UiState &ui, Entity *e, float L, float P, float y)
{
    float h = ui.rowH;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Light ---");
    y += h;
    PropertyCheckBox(Rectangle{ L + 33.75f, y, h - 9.0f, h - 9.0f }, "Casts Light", &e->castsLight);
    y += h + 4.5f;
    Rectangle field = { L + 27.0f, y, P - 54.0f, h };
    GuiNumFieldByte(NF_LIGHT_COLOUR_R, field, "Red:", &e->lightColour.r);
    field.y += h;
    GuiNumFieldByte(NF_LIGHT_COLOUR_G, field, "Green:", &e->lightColour.g);
    field.y += h;
    GuiNumFieldByte(NF_LIGHT_COLOUR_B, field, "Blue:", &e->lightColour.b);
    field.y += h;
    GuiNumField(NF_LIGHT_BRIGHTNESS, field, "Bright:", &e->brightness, 0.0f, 10.0f, "%.2f");
    field.y += h;
    if (e->kind != ENTITY_LIGHT_ENVIRONMENT) {
        GuiNumField(NF_LIGHT_RANGE, field, "Range:", &e->range, 1.0f, 400.0f, "%.2f");
        field.y += h;
    }
    if (e->kind == ENTITY_LIGHT_SPOT) {
        bool inner = GuiNumField(NF_LIGHT_INNER_CONE, field, "Inner:", &e->innerCone, 1.0f, 89.0f, "%.1f");
        field.y += h;
        bool outer = GuiNumField(NF_LIGHT_OUTER_CONE, field, "Outer:", &e->outerCone, 1.0f, 89.0f, "%.1f");
        field.y += h;
        EntityConesHold(e, inner, outer);
    }
    if (e->kind != ENTITY_LIGHT) {
        if (GuiButton(field, "Aim Along 3D View")) {
            AimEntity(e, Vector3Normalize(Vector3Subtract(ui.cam3D.target, ui.cam3D.position)));
        }
        field.y += h;
    }
    return field.y + 9.0f;
}

// The model and its texture override, with the buttons that set them.
static float EntityAssetRows(MapDoc *map, UiState &ui, const Entity *e, float L, float P, float y)
{
    float h = ui.rowH;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Model Asset ---");
    y += h;
    bool model = e->model >= 0 && e->model < gAssets.modelCount;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h },
             TextFormat("Mdl: %.63s", model ? gAssets.models[e->model].name : "None (Primitive Box)"));
    y += h;
    if (GuiButton(Rectangle{ L + 33.75f, y, P - 67.5f, h + 4.5f }, "Set Model to Selected Asset")) {
        EntityPanelSetModel(map, ui);
    }
    y += h + 13.5f;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h }, "--- Model Texture Override ---");
    y += h;
    bool tex = e->texture >= 0 && e->texture < gAssets.textureCount;
    GuiLabel(Rectangle{ L + 33.75f, y, 405.0f, h },
             TextFormat("Tex: %.63s", tex ? gAssets.textures[e->texture].name : "Default Material Texture"));
    y += h;
    float w = (P - 78.75f) / 2.0f;
    if (GuiButton(Rectangle{ L + 33.75f, y, w, h + 4.5f }, "Apply Tex")) EntityPanelTexture(map, ui, false);
    if (GuiButton(Rectangle{ L + 45.0f + w, y, w, h + 4.5f }, "Clear Override")) EntityPanelTexture(map, ui, true);
    return y + h + 13.5f;
}
