// property_boxes.cpp: the Object Properties tab's Name and Class boxes and its flag check boxes,
// shared by the brush and the entity sections.
#include "editor/panels/right_panel.h"

#include <cstdio>

#include "editor/gui.h"

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
static constexpr int kTextBoxSlots = 2;              // the Name box and the Class box

// The text a Name or Class box is typing, and the record text it replaces at commit.
struct TypedText {
    char text[kNameLen];
    const char *owner;
};

static TypedText typed[kTextBoxSlots];
static bool textBoxDrawn[kTextBoxSlots];

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PropertyTextBox(Rectangle bounds, char *text, int capacity, bool *edit, int slot)
{
    if (slot < 0 || slot >= kTextBoxSlots || capacity < 1) return;
    TypedText &t = typed[slot];
    int size = capacity < kNameLen ? capacity : kNameLen;
    textBoxDrawn[slot] = true;
    // The selection moved to another record while typing, or Escape: the typed text is dropped.
    if (*edit && (t.owner != text || IsKeyPressed(KEY_ESCAPE))) *edit = false;
    // The box types into its own copy and the record takes it at commit: one change, one step.
    if (!GuiTextBox(bounds, *edit ? t.text : text, size, *edit)) return;
    *edit = !*edit;
    if (*edit) {
        snprintf(t.text, (size_t)size, "%s", text);
        t.owner = text;
    } else {
        snprintf(text, (size_t)size, "%s", t.text);
    }
}

bool PropertyCheckBox(Rectangle bounds, const char *text, uint8_t *flag)
{
    bool on = *flag != 0;
    if (GuiCheckBox(bounds, text, on) == on) return false;
    *flag = on ? 0 : 1;
    return true;
}

void PropertyTextBoxesEndFrame(UiState &ui)
{
    if (!textBoxDrawn[0]) ui.nameBoxEdit = false;
    if (!textBoxDrawn[1]) ui.classBoxEdit = false;
    textBoxDrawn[0] = textBoxDrawn[1] = false;
}
