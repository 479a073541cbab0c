// select.h: object-level input: click selection, Delete, and grab, rotate and scale.
//
// A transform rewrites its object every frame from the values saved at its start and the mouse
// offset, so nothing accumulates; it ends by apply or cancel, and ends before anything else
// changes the map or the selection under it.
#pragma once

#include <cstdint>
#include "raylib.h"
#include "document/map_records.h"

struct UiState;

enum TransformMode : int32_t { XFORM_NONE = 0, XFORM_GRAB = 1, XFORM_ROTATE = 2, XFORM_SCALE = 3 };
enum AxisLock : int32_t { AXIS_NONE = 0, AXIS_X = 1, AXIS_Y = 2, AXIS_Z = 3 };

constexpr float kEntityPickHalf = 0.9f;        // entity pick box: 0.9 to each side and below
constexpr float kEntityPickUp = 1.8f;          // ... and 1.8 up from the position
constexpr float kBrushPickFar = 99999.0f;      // brush hits at this distance or beyond miss
constexpr float kGrabPerPixel = 0.05f;         // world units
constexpr float kRotatePerPixel = 2.0f;        // degrees
constexpr float kScalePerPixel = 0.01f;
constexpr float kMinScaleFactor = 0.05f;
constexpr float kMinBrushSize = 0.01f;         // smallest size component a scale leaves

// The running transform (UiState.xform): what it does and the object's values at its start.
struct TransformState {
    int transformMode;               // TransformMode
    int axisLock;                    // AxisLock
    Vector2 xformStartMouse;
    Vector3 xformOrigPos, xformOrigRot, xformOrigSize;
    float xformOrigScale;
    int xformBrush, xformEntity;     // the object the running transform rewrites, -1 = none
    Vector3 origVertices[kMaxBrushVerts];   // a brush's local vertices at the start
    int origVertCount;
};

// Phase 11: selects the brush or entity under a left press (3D view with every tool, 2D views with
// the Select and Vertex tools). A press on empty space keeps the selection.
void ClickSelectPhase(MapDoc *map, UiState &ui);
// Phase 12: Delete or Backspace removes the selection; G, R, T start a transform; a running
// transform follows the mouse until Enter or a press outside the 3D view applies it, or Escape or
// the right button cancels it.
void DeleteAndTransformPhase(MapDoc *map, UiState &ui);

// Nearest brush the ray hits (not hidden, nearer than kBrushPickFar; ties keep the lower index); -1.
int PickBrush3D(const MapDoc *map, Ray ray);
// Nearest entity whose pick box the ray crosses (not hidden); -1.
int PickEntity3D(const MapDoc *map, Ray ray);
// Brush of smallest box volume whose world box holds p in the two axes of 2D view `view` (not
// hidden; ties keep the lower index); -1.
int PickBrush2D(const MapDoc *map, Vector3 p, int view);

// World offset of a grab after the mouse moved d pixels, with the axis lock and snap step (0: none).
Vector3 GrabOffset(Vector2 d, int axisLock, float step);
// Rotation in degrees after dx pixels; step 0 leaves it unsnapped.
float RotateAngle(float dx, float step);
// Scale factor after dx pixels, snapped when step is not 0, never below kMinScaleFactor.
float ScaleFactor(float dx, float step);

// Starts a transform (TransformMode) of the selection, with one undo snapshot; 1, or 0 when no
// valid brush or entity is selected.
int TransformBegin(MapDoc *map, UiState &ui, int mode, Vector2 mouse);
// Rewrites the transformed object from its saved values and the mouse; writes the status line.
void TransformUpdate(MapDoc *map, UiState &ui, Vector2 mouse);
// Writes the saved values back and ends the transform ("Transform Canceled."); nothing when none runs.
void TransformCancel(MapDoc *map, UiState &ui);
// Ends the transform without writing: the map it worked on has been replaced.
void TransformDrop(UiState &ui);
