// clip_tool.h: the Clip tool: straight and arc cut lines drawn in the 2D views, queued and applied
// to the selected brush with Enter, and their overlay.
//
// The tool owns Tab, Space, Backspace, Escape and Enter while it is active and something is drawn
// or queued; the wheel bends an arc line instead of zooming the view under it. Leaving the tool
// by any means drops the line and the queue.
#pragma once

#include "raylib.h"
#include "document/clip.h"
#include "document/map_records.h"

struct UiState;

constexpr int kMaxClipCuts = 8;

constexpr int kClipMaxApplyPlanes = 32;        // planes collected for one apply
constexpr float kClipMinLinePixels = 9.0f;     // a shorter drag sets no line
constexpr float kClipMinBulgeStep = 0.05f;     // the bulge step is the grid step, at least this
constexpr float kClipStartBulgeSteps = 3.0f;   // a new arc bulges this many steps
constexpr float kClipFlatBulge = 0.0001f;      // an arc bulging less starts from the bulge above
constexpr int kClipMinSegments = 2;
constexpr int kClipMaxSegments = kClipMaxStrokePoints - 1;

// The line being drawn and the queued cuts (UiState.clip).
struct ClipToolState {
    ClipStroke clipCuts[kMaxClipCuts];
    int clipCutCount;
    int clipSegments;
    float clipBulge;
    bool clipArc;
    int clipKeep;                    // ClipKeep
    int clipView;                    // ViewKind
    bool clipHasLine, clipDragging;
    Vector2 clipStrokeStart, clipStrokeEnd;   // screen points: under the mouse, of the press
    Vector3 clipWorldStart, clipWorldEnd;     // world points: of the press, under the mouse
    bool clipBackspaceUsed;          // the Clip tool took this frame's Backspace: it deletes nothing
};

// Phase 10: leaving the tool drops its line and queue; while it is active, the press, drag and
// release draw a line in a 2D view, and Tab, the wheel, Space, Backspace, Escape and Enter act on it.
void ClipToolPhase(MapDoc *map, UiState &ui);
// Whether this frame's wheel bends the arc line of the active Clip tool (the view then does not zoom).
bool ClipToolTakesWheel(const UiState &ui, float wheel);
// Drops the line being drawn and every queued cut.
void ClipDropAll(UiState &ui);
// Appends the line to the queue; 1, or 0 without a line or with a full queue.
int ClipQueueLine(UiState &ui);
// Backspace: drops the line being drawn, else the last queued cut; 1 when it dropped something.
int ClipRemoveLast(UiState &ui);
// Tab and the tool strip: the kept side of the line and of the lines after it, with its status line.
void ClipSetKeep(UiState &ui, int keep);
// The wheel over an arc line: bulge, or with shift the segment count (2..16); 1 when it changed.
int ClipWheel(UiState &ui, float wheel, bool shift);
// Enter: cuts the selected brush with the queued cuts and the line, one snapshot when it changed.
// 1, or 0 with no brush selected, nothing to cut with, a miss or a refusal (map unchanged, no
// snapshot); every outcome writes the status line.
int ClipApply(MapDoc *map, UiState &ui);
// The name of a kept side for the status line ("front", "back", "both (splits into pieces)").
const char *ClipKeepName(int keep);
// Phase 28: the queued cuts, the line being drawn and the kept-side ticks, while the tool is active.
void ClipOverlay(const UiState &ui);
