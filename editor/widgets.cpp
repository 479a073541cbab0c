// widgets.cpp: scrolled panels, numeric fields, the tool palette and the tooltip.
#include "editor/widgets.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "document/brush_geometry.h"
#include "editor/gui.h"
#include "editor/tools/tool_id.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
NumFieldState gNumFields;

const ToolDef kTools[kToolRowCount] = {
    { "Select", "Q", "Select and move whole objects. Click in any viewport.", TOOL_SELECT },
    { "Block", "B", "Drag a box in a 2D view, then Enter to create a solid.", TOOL_BLOCK },
    { "Clip", "C", "Drag a cut line in a 2D view, Enter to slice the selection.", TOOL_CLIP },
    { "Vertex", "V", "Morph mode: reshape solids by vertex, edge or face.", TOOL_VERTEX },
    { "Entity", "E", "Place lights, props, spawns and physics objects.", TOOL_ENTITY },
    { "Texture", "T", "Apply the selected texture to faces or whole brushes.", TOOL_TEXTURE },
};

static constexpr float kScrollStep = 67.5f;
static constexpr float kScrollMargin = 18.0f;
static constexpr float kThumbMinHeight = 40.5f;
static constexpr float kLabelWidth = 112.5f;
static constexpr float kBoxWidth = 126.0f;
static constexpr float kSliderMinWidth = 40.5f;
static constexpr float kPaletteRowHeight = 67.5f;
static constexpr float kPaletteRowStep = 74.25f;
static constexpr int kPointerAway = -1000000;   // pixels: far beyond any window
static constexpr int kMaxWrapLines = 16;

//----------------------------------------------------------------------------------
// Scrolled region
//----------------------------------------------------------------------------------
float PanelScrollMax(const PanelScroll *scroll, float viewHeight)
{
    float most = scroll->contentHeight - viewHeight;
    return most > 0.0f ? most : 0.0f;
}

void PanelScrollClamp(PanelScroll *scroll, float viewHeight)
{
    float most = PanelScrollMax(scroll, viewHeight);
    if (scroll->offset > most) scroll->offset = most;
    if (scroll->offset < 0.0f) scroll->offset = 0.0f;
}

void PanelScrollMeasure(PanelScroll *scroll, Rectangle view, float contentBottom)
{
    scroll->contentHeight = (contentBottom - view.y) + scroll->offset + kScrollMargin;
}

float PanelScrollBegin(PanelScroll *scroll, Rectangle view, Vector2 mouse)
{
    float wheel = GetMouseWheelMove();
    if (CheckCollisionPointRec(mouse, view) && wheel != 0.0f) scroll->offset -= kScrollStep * wheel;
    PanelScrollClamp(scroll, view.height);
    BeginScissorMode((int)view.x, (int)view.y, (int)view.width, (int)view.height);
    GuiPointerLimit(view, mouse);
    return -scroll->offset;
}

void PanelScrollEnd(PanelScroll *scroll, Rectangle view, float contentBottom)
{
    EndScissorMode();
    GuiPointerRelease();
    PanelScrollMeasure(scroll, view, contentBottom);
    float overflow = scroll->contentHeight - view.height;
    if (overflow <= 0.0f) return;
    Rectangle track = { view.x + view.width - 11.25f, view.y, 9.0f, view.height };
    DrawRectangleRec(track, Color{ 38, 40, 46, 255 });
    float thumbH = view.height / scroll->contentHeight * view.height;
    if (thumbH < kThumbMinHeight) thumbH = kThumbMinHeight;
    float thumbY = view.y + (view.height - thumbH) * scroll->offset / overflow;
    DrawRectangleRec(Rectangle{ track.x, thumbY, track.width, thumbH }, Color{ 125, 130, 140, 255 });
}

void GuiPointerLimit(Rectangle area, Vector2 mouse)
{
    // raylib adds the offset to every pointer read, raygui's included, until it is reset.
    if (CheckCollisionPointRec(mouse, area)) SetMouseOffset(0, 0);
    else SetMouseOffset(kPointerAway, kPointerAway);
}

void GuiPointerRelease(void)
{
    SetMouseOffset(0, 0);
}

//----------------------------------------------------------------------------------
// Numeric fields
//----------------------------------------------------------------------------------
int NumFieldParse(const char *text, float min, float max, float *out)
{
    float v = (float)atof(text);
    // atof reads "nan", "inf" and huge exponents; none of them may reach a record.
    if (!std::isfinite(v)) return 0;
    if (v < min) v = min;
    if (v > max) v = max;
    *out = v;
    return 1;
}

float NumFieldShown(float value, float min, float max)
{
    if (!std::isfinite(value)) return min;
    return value < min ? min : (value > max ? max : value);
}

float NumFieldSliderWidth(float fieldWidth)
{
    float w = fieldWidth - kLabelWidth - kBoxWidth - 18.0f;
    return w < kSliderMinWidth ? kSliderMinWidth : w;
}

bool GuiNumField(int id, Rectangle bounds, const char *label, float *value, float min, float max, const char *fmt)
{
    if (id < 0 || id >= kNumFieldCount) return false;
    if (fmt == nullptr) fmt = "%.3f";
    gNumFields.drawn[id] = true;
    float before = *value;

    Rectangle labelRect = { bounds.x, bounds.y, kLabelWidth, bounds.height };
    float sliderW = NumFieldSliderWidth(bounds.width);
    Rectangle sliderRect = { bounds.x + kLabelWidth, bounds.y + 2.25f, sliderW, bounds.height - 4.5f };
    Rectangle boxRect = { sliderRect.x + sliderW + 9.0f, bounds.y, kBoxWidth, bounds.height };

    GuiLabel(labelRect, label);
    // The slider shows a copy held to the range: a stored value outside it (from a file, a tool
    // or a script) is written back only when the user moves the slider.
    float shown = NumFieldShown(*value, min, max);
    float slid = GuiSlider(sliderRect, nullptr, nullptr, shown, min, max);
    if (slid != shown) *value = slid;
    char *text = gNumFields.text[id];
    // Escape drops the typed text: the value stays and the box shows it again.
    if (gNumFields.editing[id] && IsKeyPressed(KEY_ESCAPE)) gNumFields.editing[id] = false;
    if (!gNumFields.editing[id]) snprintf(text, kNumFieldTextLen, fmt, *value);
    if (GuiTextBox(boxRect, text, kNumFieldTextLen, gNumFields.editing[id])) {
        gNumFields.editing[id] = !gNumFields.editing[id];
        if (!gNumFields.editing[id] && !NumFieldParse(text, min, max, value)) {
            snprintf(gNumFields.refused, kNumFieldTextLen, "%s", text);
        }
    }
    return fabsf(*value - before) > 0.00001f;
}

bool GuiNumFieldByte(int id, Rectangle bounds, const char *label, unsigned char *value)
{
    float f = (float)*value;
    if (!GuiNumField(id, bounds, label, &f, 0.0f, 255.0f, "%.0f")) return false;
    *value = (unsigned char)(f <= 0.0f ? 0 : (f >= 255.0f ? 255 : (int)f));
    return true;
}

int NumFieldTakeRefusal(char *out, int cap)
{
    if (gNumFields.refused[0] == '\0' || cap <= 0) return 0;
    snprintf(out, (size_t)cap, "%s", gNumFields.refused);
    gNumFields.refused[0] = '\0';
    return 1;
}

bool AnyNumFieldEditing(void)
{
    for (int i = 0; i < kNumFieldCount; i++) if (gNumFields.editing[i]) return true;
    return false;
}

void ResetNumFields(void)
{
    for (int i = 0; i < kNumFieldCount; i++) gNumFields.editing[i] = false;
}

void NumFieldsBeginFrame(void)
{
    for (int i = 0; i < kNumFieldCount; i++) gNumFields.drawn[i] = false;
}

void NumFieldsEndFrame(void)
{
    // The typed text is dropped rather than stored: the record it was meant for may be gone.
    for (int i = 0; i < kNumFieldCount; i++) if (!gNumFields.drawn[i]) gNumFields.editing[i] = false;
}

//----------------------------------------------------------------------------------
// Tool palette and tooltip
//----------------------------------------------------------------------------------
int DrawToolPalette(Rectangle panel, int *toolId, float *outBottom)
{
    Vector2 mouse = GetMousePosition();
    float y = panel.y + 13.5f;
    float rowW = panel.width - 18.0f;
    int hovered = -1;
    GuiLabel(Rectangle{ panel.x + 11.25f, y, rowW, 27.0f }, "TOOLS");
    y += 31.5f;
    for (int i = 0; i < kToolRowCount; i++) {
        Rectangle row = { panel.x + 9.0f, y, rowW, kPaletteRowHeight };
        bool on = (*toolId == kTools[i].id);
        if (CheckCollisionPointRec(mouse, row)) hovered = i;
        // A click on the active row leaves it active: only a toggle that turns on selects.
        if (GuiToggle(row, kTools[i].name, on) && !on) *toolId = kTools[i].id;
        GuiLabel(Rectangle{ row.x + row.width - 31.5f, row.y + 2.25f, 27.0f, 63.0f }, kTools[i].key);
        y += kPaletteRowStep;
    }
    if (outBottom) *outBottom = y + 9.0f;
    return hovered;
}

void DrawToolTip(const char *text, int screenW, int screenH, float bottomOffset)
{
    if (text == nullptr || text[0] == '\0') return;
    Rectangle box = { 13.5f, (float)screenH - bottomOffset - 54.0f, 0.6f * (float)screenW, 45.0f };
    DrawRectangleRec(box, Color{ 25, 26, 31, 235 });
    DrawRectangleLinesEx(box, 2.25f, Color{ 90, 94, 104, 255 });
    GuiLabel(Rectangle{ box.x + 13.5f, box.y, box.width - 27.0f, 45.0f }, text);
}

//----------------------------------------------------------------------------------
// Wrapped label
//----------------------------------------------------------------------------------
int TextWrapLineLength(Font font, float fontSize, float spacing, const char *text, float width)
{
    if (font.glyphs == nullptr || font.glyphCount <= 0) return (int)strcspn(text, "\n");
    float scale = font.baseSize > 0 ? fontSize / (float)font.baseSize : 1.0f;
    float x = 0.0f;
    int lastBlank = 0;
    for (int i = 0; text[i] != '\0' && text[i] != '\n';) {
        int size = 1;
        int codepoint = GetCodepointNext(&text[i], &size);
        if (codepoint == ' ') lastBlank = i;
        // Each glyph's advance plus the spacing, as raygui sums them when it draws a label.
        int g = GetGlyphIndex(font, codepoint);
        float advance = font.glyphs[g].advanceX != 0 ? (float)font.glyphs[g].advanceX : font.recs[g].width;
        x += advance * scale + spacing;
        if (x > width && i > 0) return lastBlank > 0 ? lastBlank : i;   // a word too long is cut
        i += size;
    }
    return (int)strcspn(text, "\n");
}

int LabelWrapLine(const char *text, float labelWidth, int *next)
{
    // The text area raygui leaves inside a label: the border and twice the padding on each side.
    float width = labelWidth - 2.0f * (float)GuiGetStyle(LABEL, BORDER_WIDTH) -
                  4.0f * (float)GuiGetStyle(LABEL, TEXT_PADDING);
    float size = (float)GuiGetStyle(DEFAULT, TEXT_SIZE), spacing = (float)GuiGetStyle(DEFAULT, TEXT_SPACING);
    int length = TextWrapLineLength(GuiGetFont(), size, spacing, text, width);
    int start = length;
    while (text[start] == ' ') start++;           // the break's blanks start no line
    if (text[start] == '\n') start++;
    *next = start;
    return length;
}

void GuiLabelPart(Rectangle bounds, const char *text, int length)
{
    char part[kLabelPartLen];
    snprintf(part, sizeof(part), "%.*s", length < 0 ? 0 : length, text);
    GuiLabel(bounds, part);
}

float GuiLabelWrapped(Rectangle bounds, const char *text, float lineStep)
{
    float added = 0.0f;
    const char *rest = text;
    for (int lines = 0; lines < kMaxWrapLines; lines++) {
        int next = 0;
        int len = LabelWrapLine(rest, bounds.width, &next);
        GuiLabelPart(Rectangle{ bounds.x, bounds.y + added, bounds.width, bounds.height }, rest, len);
        rest += next;
        if (*rest == '\0') break;
        added += lineStep;
    }
    return added;
}

//----------------------------------------------------------------------------------
// Modal windows and list boxes
//----------------------------------------------------------------------------------
Rectangle ModalWindowRect(int screenW, int screenH, float maxW, float maxH)
{
    float w = fminf((float)screenW - 45.0f, maxW), h = fminf((float)screenH - 45.0f, maxH);
    float x = ((float)screenW - w) / 2.0f, y = ((float)screenH - h) / 2.0f;
    return Rectangle{ x < 0.0f ? 0.0f : x, y < 0.0f ? 0.0f : y, w, h };
}

void DrawModalFrame(int screenW, int screenH, Rectangle win, unsigned char veilAlpha, const char *title)
{
    DrawRectangle(0, 0, screenW, screenH, Color{ 0, 0, 0, veilAlpha });
    GuiDrawRectangleExt(win, 2, Color{ 80, 80, 80, 255 }, Color{ 200, 200, 200, 255 });
    GuiStatusBar(Rectangle{ win.x, win.y, win.width, 54.0f }, title);
}

bool ListBoxBegin(Rectangle box, float *scroll, int count, float rowH, float wheelStep)
{
    GuiDrawRectangleExt(box, 1, Color{ 90, 92, 100, 255 }, Color{ 30, 31, 36, 255 });
    bool over = CheckCollisionPointRec(GetMousePosition(), box);
    if (over) *scroll -= wheelStep * GetMouseWheelMove();
    float most = (float)count * rowH + 9.0f - box.height;
    if (*scroll > most) *scroll = most;
    if (*scroll < 0.0f) *scroll = 0.0f;
    BeginScissorMode((int)box.x, (int)box.y, (int)box.width, (int)box.height);
    return over;
}

Rectangle ListBoxRow(Rectangle box, int i, float rowH, float scroll)
{
    return Rectangle{ box.x + 4.5f, box.y + 4.5f + rowH * (float)i - scroll, box.width - 13.5f, rowH };
}

bool ListBoxRowHidden(Rectangle box, Rectangle row)
{
    return row.y + row.height < box.y || row.y > box.y + box.height;
}

float SnapStep(float value, float step)
{
    return SnapToGrid(value, step);
}
