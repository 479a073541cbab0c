// clip_tool.cpp: the Clip tool: drawing cut lines in the 2D views, queuing them, applying them to
// the selected brush, and drawing them over the views.
#include "editor/tools/clip_tool.h"

#include <cmath>
#include <cstdio>

#include "raymath.h"
#include "document/clip.h"
#include "document/settings.h"
#include "document/undo.h"
#include "document/view_mapping.h"
#include "editor/input.h"
#include "editor/gui.h"
#include "editor/widgets.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr Color kQueuedColour = { 120, 170, 230, 220 };
static constexpr Color kLineSetColour = { 90, 220, 120, 255 };
static constexpr Color kDraggingColour = { 220, 200, 90, 255 };
static constexpr float kQueuedWidth = 3.375f;
static constexpr float kArcWidth = 4.05f;
static constexpr float kArcDot = 4.5f;
static constexpr float kEndDot = 6.75f;
static constexpr float kTickWidth = 2.25f;
static constexpr float kTickLength = 15.75f;
static constexpr int kStraightTicks = 5;         // at sixths of a straight line
static constexpr float kMinScreenLength = 0.001f;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Vector3 ClipPointIn(const UiState &ui, int view);
static float BulgeStep(void);
static ClipStroke LineStroke(const UiState &ui);
static void DropLine(UiState &ui);
static bool ClipInputOpen(const UiState &ui);
static int StrokePoints(const ClipStroke *stroke, Vector3 *out);
static Vector2 ViewPoint(const UiState &ui, Vector3 p, int view);
static void DrawStroke(const UiState &ui, const ClipStroke *stroke, Color colour, float width, float dot);
static void DrawKeptTicks(const UiState &ui, const ClipStroke *stroke, Color colour);
static void DrawTick(Vector2 at, Vector2 dir, int keep, Color colour);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ClipToolPhase(MapDoc *map, UiState &ui)
{
    ClipToolState &clip = ui.clip;
    clip.clipBackspaceUsed = false;
    // Queued cuts are invisible under another tool, so they must not wait there for a later Enter.
    if (ui.activeTool != TOOL_CLIP) {
        ClipDropAll(ui);
        return;
    }
    if (!ClipInputOpen(ui)) return;
    // Decided before the press changes the line, as the views' zoom decided it earlier in the frame.
    float wheel = GetMouseWheelMove();
    bool bend = ClipToolTakesWheel(ui, wheel);

    if (ToolLeftPress(ui)) {
        for (int v = VIEW_TOP; v <= VIEW_SIDE; v++) {
            if (!CheckCollisionPointRec(ui.mouse, ui.viewRect[v])) continue;
            clip.clipDragging = true;
            clip.clipHasLine = false;
            clip.clipArc = ui.ctrlHeld;
            if (clip.clipArc && fabsf(clip.clipBulge) < kClipFlatBulge)
                clip.clipBulge = kClipStartBulgeSteps * BulgeStep();
            clip.clipView = v;
            clip.clipStrokeEnd = ui.mouse;
            clip.clipStrokeStart = ui.mouse;
            clip.clipWorldStart = ClipPointIn(ui, v);
            break;
        }
    }
    if (clip.clipDragging) {
        clip.clipStrokeStart = ui.mouse;
        clip.clipWorldEnd = ClipPointIn(ui, clip.clipView);
        if (IsMouseButtonReleased(MOUSE_BUTTON_LEFT) || !IsMouseButtonDown(MOUSE_BUTTON_LEFT)) {
            clip.clipDragging = false;
            clip.clipHasLine = Vector2Distance(clip.clipStrokeStart, clip.clipStrokeEnd) > kClipMinLinePixels;
            if (clip.clipHasLine)
                StatusSet(ui, "%s",
                         clip.clipArc ? "Curved cut. Wheel = bulge, Shift+wheel = segments, SPACE queues, ENTER applies."
                                      : "Cut line set. TAB = kept side, SPACE queues another, ENTER applies, ESC cancels.");
        }
    }

    if (IsKeyPressed(KEY_TAB) && clip.clipHasLine) ClipSetKeep(ui, (clip.clipKeep + 1) % 3);
    if (bend) ClipWheel(ui, wheel, ui.shiftHeld);
    if (IsKeyPressed(KEY_SPACE)) ClipQueueLine(ui);
    if (IsKeyPressed(KEY_BACKSPACE)) clip.clipBackspaceUsed = ClipRemoveLast(ui);
    if (IsKeyPressed(KEY_ESCAPE) && (clip.clipHasLine || clip.clipCutCount > 0)) {
        ClipDropAll(ui);
        StatusSet(ui, "Clip cancelled.");
    }
    if (IsKeyPressed(KEY_ENTER) && (clip.clipHasLine || clip.clipCutCount > 0)) ClipApply(map, ui);
}

bool ClipToolTakesWheel(const UiState &ui, float wheel)
{
    const ClipToolState &clip = ui.clip;
    if (wheel == 0.0f || ui.activeTool != TOOL_CLIP || !ClipInputOpen(ui) || PointerOverWindow(ui)) return false;
    if (!clip.clipHasLine || !clip.clipArc || clip.clipView < VIEW_TOP || clip.clipView > VIEW_SIDE) return false;
    return CheckCollisionPointRec(ui.mouse, ui.viewRect[clip.clipView]);
}

void ClipDropAll(UiState &ui)
{
    DropLine(ui);
    ui.clip.clipCutCount = 0;
}

int ClipQueueLine(UiState &ui)
{
    ClipToolState &clip = ui.clip;
    if (!clip.clipHasLine || clip.clipCutCount < 0 || clip.clipCutCount >= kMaxClipCuts) return 0;
    clip.clipCuts[clip.clipCutCount++] = LineStroke(ui);
    DropLine(ui);
    StatusSet(ui, "Queued cut %d/%d. Draw another, or Enter to apply them all.",
             clip.clipCutCount, kMaxClipCuts);
    return 1;
}

int ClipRemoveLast(UiState &ui)
{
    ClipToolState &clip = ui.clip;
    if (clip.clipHasLine || clip.clipDragging) {
        DropLine(ui);
        StatusSet(ui, "Removed the cut line. %d queued.", clip.clipCutCount);
        return 1;
    }
    if (clip.clipCutCount <= 0) return 0;
    clip.clipCutCount--;
    StatusSet(ui, "Removed queued cut. %d left.", clip.clipCutCount);
    return 1;
}

void ClipSetKeep(UiState &ui, int keep)
{
    ui.clip.clipKeep = (keep >= CLIP_KEEP_FRONT && keep <= CLIP_KEEP_BOTH) ? keep : CLIP_KEEP_FRONT;
    StatusSet(ui, "Clip keeps: %s", ClipKeepName(ui.clip.clipKeep));
}

int ClipWheel(UiState &ui, float wheel, bool shift)
{
    ClipToolState &clip = ui.clip;
    if (wheel == 0.0f) return 0;
    if (shift) {
        int segments = clip.clipSegments + (wheel > 0.0f ? 1 : -1);
        clip.clipSegments = segments < kClipMinSegments ? kClipMinSegments
                          : segments > kClipMaxSegments ? kClipMaxSegments
                                                        : segments;
        StatusSet(ui, "Arc segments: %d", clip.clipSegments);
        return 1;
    }
    clip.clipBulge += BulgeStep() * wheel;
    StatusSet(ui, "Arc bulge: %.3f  (Shift+wheel changes segments)", clip.clipBulge);
    return 1;
}

int ClipApply(MapDoc *map, UiState &ui)
{
    ClipToolState &clip = ui.clip;
    if (!MapBrushValid(map, ui.selBrush)) {
        StatusSet(ui, "Select a brush to clip first.");
        return 0;
    }
    ClipStroke strokes[kMaxClipCuts + 1];
    int strokeCount = 0;
    for (int i = 0; i < clip.clipCutCount && i < kMaxClipCuts; i++) strokes[strokeCount++] = clip.clipCuts[i];
    if (clip.clipHasLine) strokes[strokeCount++] = LineStroke(ui);

    ClipPlane planes[kClipMaxApplyPlanes];
    int planeCount = 0;
    for (int i = 0; i < strokeCount && planeCount < kClipMaxApplyPlanes; i++)
        planeCount += ClipStrokeToPlanes(&strokes[i], planes + planeCount, kClipMaxApplyPlanes - planeCount);
    if (planeCount == 0) {
        StatusSet(ui, "Nothing to cut with.");
        return 0;
    }

    // Cut first and keep the result only when it changed the map: the snapshot must hold the map
    // as it was, and a miss or a refusal must leave no undo step behind.
    int sel = ui.selBrush, oldCount = map->brushCount;
    Brush before = map->brushes[sel];
    int refusal = CLIP_MISSED;
    int result = ApplyClipPlanes(map, sel, planes, planeCount, &refusal);
    // A refused cut changed nothing, so its lines stay for another try (another kept side, room).
    if (refusal == CLIP_NO_ROOM) {
        StatusSet(ui, "Cut refused: the pieces do not fit in the map (%d brushes).",
                 kMaxBrushes);
        return 0;
    }
    if (refusal == CLIP_PAST_LIMITS) {
        StatusSet(ui, "Cut refused: a kept part would pass the brush limits.");
        return 0;
    }
    if (refusal == CLIP_NOT_CONVEX) {
        StatusSet(ui, "Cut refused: the brush is not convex.");
        return 0;
    }
    if (result == 0) {
        ClipDropAll(ui);
        StatusSet(ui, "No cut plane crossed the brush.");
        return 0;
    }
    Brush after = map->brushes[sel];
    int newCount = map->brushCount;
    map->brushes[sel] = before;
    map->brushCount = oldCount;   // the new pieces lie beyond the count, outside the snapshot's map
    PushUndoState(map);
    map->brushes[sel] = after;
    map->brushCount = newCount;

    ClipDropAll(ui);
    if (result == 1)
        StatusSet(ui, "Carved with %d plane(s) from %d cut(s).", planeCount, strokeCount);
    else
        StatusSet(ui, "Split into %d solids using %d plane(s).", result, planeCount);
    return 1;
}

const char *ClipKeepName(int keep)
{
    switch (keep) {
    case CLIP_KEEP_BACK: return "back";
    case CLIP_KEEP_BOTH: return "both (splits into pieces)";
    default: return "front";
    }
}

void ClipOverlay(const UiState &ui)
{
    const ClipToolState &clip = ui.clip;
    if (ui.activeTool != TOOL_CLIP) return;
    for (int i = 0; i < clip.clipCutCount && i < kMaxClipCuts; i++) {
        DrawStroke(ui, &clip.clipCuts[i], kQueuedColour, kQueuedWidth, 0.0f);
        DrawKeptTicks(ui, &clip.clipCuts[i], kQueuedColour);
    }
    if (clip.clipCutCount > 0) {
        char text[64];
        snprintf(text, sizeof(text), "%d cut(s) queued - ENTER applies", clip.clipCutCount);
        const Rectangle &top = ui.viewRect[VIEW_TOP];
        GuiLabel(Rectangle{ top.x + 9.0f, top.y + 9.0f, 585.0f, 36.0f }, text);
    }
    if (!clip.clipDragging && !clip.clipHasLine) return;
    Color colour = clip.clipHasLine ? kLineSetColour : kDraggingColour;
    ClipStroke line = LineStroke(ui);
    if (line.arc) DrawStroke(ui, &line, colour, kArcWidth, kArcDot);
    else DrawStroke(ui, &line, colour, kQueuedWidth, 0.0f);
    DrawCircleV(ViewPoint(ui, line.start, line.view), kEndDot, colour);
    DrawCircleV(ViewPoint(ui, line.end, line.view), kEndDot, colour);
    if (clip.clipHasLine) DrawKeptTicks(ui, &line, colour);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// The world point under the mouse in a 2D view, on the grid while move snapping is on.
static Vector3 ClipPointIn(const UiState &ui, int view)
{
    Vector3 p = ScreenToOrthoWorld(ui.mouse, ui.viewRect[view], ui.cam2D[view - 1], ui.orthoZoom, view);
    if (!gSnap.move) return p;
    float step = gSettings.gridStep;
    return Vector3{ SnapStep(p.x, step), SnapStep(p.y, step), SnapStep(p.z, step) };
}

static float BulgeStep(void)
{
    return fmaxf(gSettings.gridStep, kClipMinBulgeStep);
}

// The line being drawn as a stroke, with the tool's current arc settings and kept side.
static ClipStroke LineStroke(const UiState &ui)
{
    const ClipToolState &clip = ui.clip;
    ClipStroke s = {};
    s.start = clip.clipWorldStart;
    s.end = clip.clipWorldEnd;
    s.bulge = clip.clipBulge;
    s.segments = clip.clipSegments;
    s.arc = clip.clipArc ? 1 : 0;
    s.keep = clip.clipKeep;
    s.view = clip.clipView;
    return s;
}

// The kept side and the segment count stay for the next line.
static void DropLine(UiState &ui)
{
    ClipToolState &clip = ui.clip;
    clip.clipDragging = false;
    clip.clipHasLine = false;
    clip.clipArc = false;
    clip.clipBulge = 0.0f;
}

// The tool's input: the input gate, and no running transform, whose Enter and presses are its own.
static bool ClipInputOpen(const UiState &ui)
{
    return InputGateOpen(ui) && ui.xform.transformMode == XFORM_NONE;
}

static int StrokePoints(const ClipStroke *stroke, Vector3 *out)
{
    return ClipArcPoints(stroke->start, stroke->end, stroke->arc ? stroke->bulge : 0.0f, stroke->view,
                         stroke->arc ? stroke->segments : 1, out, kClipMaxStrokePoints);
}

static Vector2 ViewPoint(const UiState &ui, Vector3 p, int view)
{
    int v = (view >= VIEW_TOP && view <= VIEW_SIDE) ? view : VIEW_SIDE;
    return WorldToViewportScreen(p, ui.viewRect[v], ui.cam2D[v - 1], ui.orthoZoom, v);
}

// The stroke's segments in the view it was drawn in; dot > 0 marks the far end of each segment.
static void DrawStroke(const UiState &ui, const ClipStroke *stroke, Color colour, float width, float dot)
{
    Vector3 points[kClipMaxStrokePoints];
    int n = StrokePoints(stroke, points);
    for (int i = 0; i + 1 < n; i++) {
        Vector2 b = ViewPoint(ui, points[i + 1], stroke->view);
        DrawLineEx(ViewPoint(ui, points[i], stroke->view), b, width, colour);
        if (dot > 0.0f) DrawCircleV(b, dot, colour);
    }
}

// Ticks on the kept side of every segment: five along a straight line, one at the middle of each
// arc segment. The side comes from the segment's cut plane, so it is the side the cut keeps.
static void DrawKeptTicks(const UiState &ui, const ClipStroke *stroke, Color colour)
{
    Vector3 points[kClipMaxStrokePoints];
    int n = StrokePoints(stroke, points);
    for (int i = 0; i + 1 < n; i++) {
        Vector3 normal;
        float dist;
        if (!ClipPlaneFromDrag(points[i], points[i + 1], stroke->view, &normal, &dist)) continue;
        Vector2 a = ViewPoint(ui, points[i], stroke->view), b = ViewPoint(ui, points[i + 1], stroke->view);
        if (Vector2Distance(a, b) <= kMinScreenLength) continue;
        Vector2 dir = Vector2Subtract(ViewPoint(ui, Vector3Add(points[i], normal), stroke->view), a);
        if (Vector2Length(dir) <= kMinScreenLength) continue;
        dir = Vector2Normalize(dir);
        if (n == 2) {
            for (int k = 1; k <= kStraightTicks; k++)
                DrawTick(Vector2Lerp(a, b, (float)k / (float)(kStraightTicks + 1)), dir, stroke->keep, colour);
        } else {
            DrawTick(Vector2Lerp(a, b, 0.5f), dir, stroke->keep, colour);
        }
    }
}

// dir points to the front; the back is kept on the other side, both on both.
static void DrawTick(Vector2 at, Vector2 dir, int keep, Color colour)
{
    Vector2 d = Vector2Scale(dir, kTickLength);
    if (keep == CLIP_KEEP_BACK) d = Vector2Negate(d);
    DrawLineEx(at, Vector2Add(at, d), kTickWidth, colour);
    if (keep == CLIP_KEEP_BOTH) DrawLineEx(at, Vector2Subtract(at, d), kTickWidth, colour);
}
