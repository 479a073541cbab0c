// assets.h: the asset library: the models, textures and icons that maps refer to by number.
//
// A face, brush or entity stores an asset's number, which is its position in the load order of
// the latest scan. The scan empties the tables and loads every accepted file of the asset folders
// (the open project's, else the working folder's) and the icon folder. Only regular files are
// read, so a pipe or a folder named like an asset is skipped like a missing file; a model file
// reaches a parser only after model_check has passed it, and never moves the working folder.
// No paths are kept. The scan logs each refused file with its reason as a warning; the callers
// report the counts.
#pragma once

#include <cstdint>
#include "raylib.h"

constexpr int kMaxModels = 32;
constexpr int kMaxTextures = 64;
constexpr int kMaxIcons = 16;
constexpr int kAssetNameLen = 64;          // 63 characters plus NUL
constexpr int kCheckerSize = 64;           // the stand-in texture: 64 x 64 pixels
constexpr int kCheckerSquare = 8;          // of 8-pixel squares

enum AssetTable : int32_t { ASSET_MODELS = 0, ASSET_TEXTURES = 1, ASSET_ICONS = 2 };

struct ModelAsset {
    char name[kAssetNameLen];
    Model model;              // owned by the slot
    bool loaded;
};

struct TextureAsset {
    char name[kAssetNameLen];
    Texture2D texture;        // owned by the slot
    bool loaded;
};

struct AssetLibrary {
    ModelAsset models[kMaxModels];
    int32_t modelCount;
    TextureAsset textures[kMaxTextures];
    int32_t textureCount;
    TextureAsset icons[kMaxIcons];
    int32_t iconCount;
};

extern AssetLibrary gAssets;

// Creates the working folder's asset and resource folders; existing folders are fine.
void InitProjectDirectories(void);
// Releases every loaded asset and loads the asset folders and the icon folder anew; with no
// texture at all, a generated checker becomes texture 0 "default_checker". Whoever draws with a
// library texture must have let go of it before this runs.
void AutoScanAssets(void);
// Loads up to 16 ".png" icons of "resources/icons" in listing order.
void ScanIconFolder(void);
// Loads one model into the next slot; returns its number, or -1 (table full, not a regular file,
// refused by the check, no mesh or no vertex in any mesh: ModelLoadReason says which but the first).
int LoadMapModel(const char *path, const char *name);
// Loads one texture into the next slot (nearest filtering, repeat wrap); returns its number, or -1
// (table full, not a regular file, not decoded: ModelLoadReason says which but the first).
int LoadMapTexture(const char *path, const char *name);
// Loads one icon into the next slot (bilinear filtering); returns its number or -1.
int LoadIconAsset(const char *path, const char *name);
// Releases every loaded model (with its materials' textures), texture and icon; the counts become 0.
void UnloadAllAssets(void);

// 1 when the file's extension is one the table accepts (case ignored), else 0.
int AssetFileAccepted(int table, const char *path);
// Stores name into an asset name buffer, cut to 63 characters.
void AssetSetName(char *dst, const char *name);
// 1 when model number i may be used: 0 <= i < modelCount and the slot is loaded.
int AssetModelUsable(int i);
// 1 when texture number i may be used: 0 <= i < textureCount and the slot is loaded.
int AssetTextureUsable(int i);
// The loaded models, textures and icons (names and GL ids) mixed into h: what a cached picture
// drawn with the library depends on.
uint64_t HashAssetTables(uint64_t h);
