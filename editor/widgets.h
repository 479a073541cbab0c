// widgets.h: the small widgets the editor's panels share.
//
// A scrolled, clipped panel region; labelled numeric fields (slider plus typed box) whose edit
// state is kept by a numeric id; the tool palette over kTools; the tooltip box. They keep no state
// of their own but the numeric fields' table gNumFields; scroll states belong to the caller.
#pragma once

#include <cstdint>
#include "raylib.h"

//----------------------------------------------------------------------------------
// Records
//----------------------------------------------------------------------------------
// Scroll state of a clipped panel region; owned by the caller.
struct PanelScroll {
    float offset;          // how far the content is scrolled up, 0 or more
    float contentHeight;   // measured at the end of the last frame, margin included
};

// One id per numeric field on screen, the index of its edit state in gNumFields; two fields that
// shared an id would share their typed text and edit mode. An axis triple runs X, Y, Z in a row,
// so a loop over the axes adds its axis to the X id.
enum NumFieldId : int {
    // Object Properties, brush
    NF_BRUSH_POS_X, NF_BRUSH_POS_Y, NF_BRUSH_POS_Z,
    NF_BRUSH_SIZE_X, NF_BRUSH_SIZE_Y, NF_BRUSH_SIZE_Z,
    NF_BRUSH_ROT_X, NF_BRUSH_ROT_Y, NF_BRUSH_ROT_Z,
    NF_BRUSH_MASS, NF_BRUSH_FRICTION, NF_BRUSH_BOUNCE,
    // Object Properties, face
    NF_FACE_SCALE_U, NF_FACE_SCALE_V, NF_FACE_ROTATION, NF_FACE_OFFSET_U, NF_FACE_OFFSET_V,
    NF_FACE_TINT_R, NF_FACE_TINT_G, NF_FACE_TINT_B,
    // Object Properties, entity
    NF_ENTITY_POS_X, NF_ENTITY_POS_Y, NF_ENTITY_POS_Z,
    NF_ENTITY_ROT_X, NF_ENTITY_ROT_Y, NF_ENTITY_ROT_Z,
    NF_ENTITY_SCALE,
    NF_LIGHT_COLOUR_R, NF_LIGHT_COLOUR_G, NF_LIGHT_COLOUR_B,
    NF_LIGHT_BRIGHTNESS, NF_LIGHT_RANGE, NF_LIGHT_INNER_CONE, NF_LIGHT_OUTER_CONE,
    NF_ENTITY_TINT_R, NF_ENTITY_TINT_G, NF_ENTITY_TINT_B,
    NF_ENTITY_MASS,
    // Settings tab
    NF_SNAP_ROT_STEP, NF_SNAP_SCALE_STEP,
    NF_COUNT
};

constexpr int kNumFieldCount = NF_COUNT;
constexpr int kNumFieldTextLen = 24;     // 23 characters plus NUL

struct NumFieldState {
    bool editing[kNumFieldCount];        // the field's text box is in edit mode
    char text[kNumFieldCount][kNumFieldTextLen];
    bool drawn[kNumFieldCount];          // drawn in the current screen pass
    char refused[kNumFieldTextLen];      // the last typed text refused as not finite; empty: none
};

// The status line for typed text that reads as NaN or an infinity, with the text.
constexpr char kNotFiniteStatus[] = "Not a finite number: %.40s";

extern NumFieldState gNumFields;

struct ToolDef {
    const char *name;
    const char *key;                     // shown beside the name, not a shortcut
    const char *help;                    // tooltip
    int id;                              // ToolId
};

constexpr int kToolRowCount = 6;
constexpr int kLabelPartLen = 256;       // longest piece of text one label line shows, NUL included
extern const ToolDef kTools[kToolRowCount];

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
// Applies the wheel, clamps the offset and clips to view; returns the shift to add to every y.
// Until the end, widgets see the pointer only while mouse lies inside view (GuiPointerLimit).
float PanelScrollBegin(PanelScroll *scroll, Rectangle view, Vector2 mouse);
// Ends the clipping and the pointer limit, measures the content and draws the passive scrollbar
// when it overflows.
void PanelScrollEnd(PanelScroll *scroll, Rectangle view, float contentBottom);
// Widgets drawn from here see the pointer only when mouse lies inside area, else far off-screen:
// raygui hit-tests without regard to the scissor, so a control clipped out of sight must not
// take a click. The keys are untouched, and a press elsewhere still ends a text box's edit.
void GuiPointerLimit(Rectangle area, Vector2 mouse);
// Widgets see the real pointer again.
void GuiPointerRelease(void);
// Largest offset of a scrolled region with the given content height; 0 when it fits.
float PanelScrollMax(const PanelScroll *scroll, float viewHeight);
// Holds the offset within 0 .. PanelScrollMax.
void PanelScrollClamp(PanelScroll *scroll, float viewHeight);
// The content height of a region whose content ends at contentBottom (screen y, offset applied).
void PanelScrollMeasure(PanelScroll *scroll, Rectangle view, float contentBottom);

// Labelled slider plus text box for a float kept by field id (NumFieldId); true when the value changed. Only
// a moved slider or committed text writes the value; Escape ends typing and keeps the old value.
// Committed text that is not finite keeps the old value too and is held for NumFieldTakeRefusal.
bool GuiNumField(int id, Rectangle bounds, const char *label, float *value, float min, float max, const char *fmt);
// The same for a byte 0..255; true when the value changed.
bool GuiNumFieldByte(int id, Rectangle bounds, const char *label, unsigned char *value);
// Reads typed text as a number clamped to min..max into *out; 0 (and *out untouched) when the
// text reads as NaN or an infinity. Text that is not a number reads as 0.
int NumFieldParse(const char *text, float min, float max, float *out);
// The value a field's slider shows: held to min..max, min for NaN.
float NumFieldShown(float value, float min, float max);
// Width of a numeric field's slider for a field of the given width.
float NumFieldSliderWidth(float fieldWidth);
// True when any numeric field's text box is in edit mode.
bool AnyNumFieldEditing(void);
// 1 with the text a field refused since the last call copied into out (cap bytes, terminated),
// which the caller reports with kNotFiniteStatus; 0 when none was refused.
int NumFieldTakeRefusal(char *out, int cap);
// Leaves edit mode in every field; the texts stay.
void ResetNumFields(void);
// Marks the start of a screen pass: no field has been drawn yet.
void NumFieldsBeginFrame(void);
// Releases the edit mode of every field that was not drawn in this screen pass, so a field that
// disappears (its tab changed, its window closed) can never keep the keyboard.
void NumFieldsEndFrame(void);

// Draws the tool palette at the top of panel, sets *toolId on a click, writes the y below it to
// outBottom (may be NULL); returns the hovered row or -1.
int DrawToolPalette(Rectangle panel, int *toolId, float *outBottom);
// Draws the one-line tooltip box above the bottom strip; nothing for NULL or empty text.
void DrawToolTip(const char *text, int screenW, int screenH, float bottomOffset);
// Bytes of the first line of text (up to a line break) that fits width when drawn in font at
// fontSize and spacing, broken before the last blank that allows it; a word wider than width is
// cut where it stops fitting. At least one character unless the line is empty.
int TextWrapLineLength(Font font, float fontSize, float spacing, const char *text, float width);
// The line of text that starts a label labelWidth wide, wrapped as TextWrapLineLength in raygui's
// font and style: returns its length and writes to *next where the following line starts (the
// break's blanks and a line feed skipped; at the NUL after the last line).
int LabelWrapLine(const char *text, float labelWidth, int *next);
// A label showing the first length bytes of text (at most kLabelPartLen - 1 of them).
void GuiLabelPart(Rectangle bounds, const char *text, int length);
// A label whose text is wrapped at blanks onto as many lines as it needs, each a label of bounds'
// size lineStep below the one before; returns the height added below bounds (0 for one line).
float GuiLabelWrapped(Rectangle bounds, const char *text, float lineStep);
// A modal window: at most maxW by maxH and 45 smaller than the screen each way, centred, never
// starting above or left of the screen.
Rectangle ModalWindowRect(int screenW, int screenH, float maxW, float maxH);
// The veil over the whole screen, the shared window frame and its 54-pixel title strip.
void DrawModalFrame(int screenW, int screenH, Rectangle win, unsigned char veilAlpha, const char *title);
// A dark list box of count rows rowH high (content rowH x count + 9): draws the box, applies the
// wheel to *scroll while the mouse is over it, clamps *scroll and clips to the box. The caller
// draws its rows (ListBoxRow, skipping those ListBoxRowHidden) and then calls EndScissorMode.
// Returns whether the mouse is over the box.
bool ListBoxBegin(Rectangle box, float *scroll, int count, float rowH, float wheelStep);
// Row i of a list box at the given scroll.
Rectangle ListBoxRow(Rectangle box, int i, float rowH, float scroll);
// Whether a row lies wholly above or below its list box.
bool ListBoxRowHidden(Rectangle box, Rectangle row);
// value rounded to the nearest multiple of step (halves away from zero); unchanged for step <= 0.0001.
float SnapStep(float value, float step);
