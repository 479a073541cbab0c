// model_load.h: turning a model file that passed model_check into a raylib Model, and giving it back.
//
// OBJ files become meshes built here from the parsed parts, with the diffuse colour and texture of
// their ".mtl" materials; IQM, glTF and GLB files go to raylib's LoadModel with every file it
// reads meanwhile (the model itself, textures, external buffers) served by a guarded reader: the
// checked bytes for the model, and only regular files of bounded size for the rest. The working
// folder is the same after every load, whatever its result. Needs an OpenGL context.
#pragma once

#include "raylib.h"
#include "project/model_check.h"

// Loads the model file at path; 1 with *model filled, or 0 with nothing loaded (an unknown
// extension, not a regular file, too large, refused by the check, or no vertex in any mesh).
int ModelLoadChecked(const char *path, Model *model);
// The image file at path as a texture: read by us (a regular file of at most kImageMaxFileBytes)
// and decoded by raylib only when its header declares no more than kImageMaxSide on a side; id 0
// otherwise.
Texture2D LoadCheckedTexture(const char *path);
// Why the last refused ModelLoadChecked or LoadCheckedTexture gave nothing, a short lower-case
// phrase: the check's reason ("face index 9 out of range", "bad header") or the load's own.
const char *ModelLoadReason(void);
// Routes raylib's own file loads through the platform module's reader on Windows, where raylib
// would take a file name in the system's code page rather than UTF-8; nothing elsewhere.
void RouteRaylibFileLoads(void);
// Releases a model of ModelLoadChecked with the textures its materials hold, which raylib's
// UnloadModel leaves behind.
void ModelRelease(Model model);
