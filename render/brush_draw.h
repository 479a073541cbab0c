// brush_draw.h: drawing brushes straight from the map records in rlgl's immediate mode.
//
// Textured (optionally CPU-shaded) solids, wireframes and the overlay of selected faces. Every
// function draws one brush inside a 3D camera mode the caller has opened. The colour passed in
// stands in for the brush's own colour, which only the GPU render shows; face tints apply here.
#pragma once

#include "raylib.h"
#include "document/map_records.h"

// The face's texture: its own when its index is 0 or more, else the brush's; id 0 when unusable.
Texture2D BrushFaceTexture(const Brush *brush, const BrushFace *face);
// Colour of a face before shading: each of red, green, blue is colour x tint / 255; alpha kept.
Color FaceDrawColour(Color colour, Color tint);
// Faces in the order DrawBrushSolid emits them, grouped by texture id (groups in order of their
// first face); groupStart[g] is where group g begins in order. Returns the number of groups.
int BrushTextureBatches(const Brush *brush, int *order, int *groupStart);
// Appends one face (a fan of triangles as quads) to an open RL_QUADS batch.
void EmitFace(const Brush *brush, const BrushFace *face, Color colour, bool shade);
// All faces, one batch per texture.
void DrawBrushSolid(const Brush *brush, Color colour, bool shade);
// Every edge of every face as a 3D line (shared edges twice).
void DrawBrushWireframe(const Brush *brush, Color colour);
// The brush's selected faces, flat, untextured and double-sided.
void DrawBrushFaceHighlight(const Brush *brush, int brushIndex, Color colour);
// The solid, then a black wireframe when wire is set.
void DrawBrushGeometry(const Brush *brush, Color colour, bool wire, bool shade);
