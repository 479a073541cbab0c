// assets.cpp: loading, numbering and releasing the models, textures and icons.
#include "project/assets.h"

#include <cstdio>

#include "document/map_records.h"
#include "platform/platform.h"
#include "project/model_load.h"
#include "project/projects.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
AssetLibrary gAssets;

static const char *const kModelExts[] = { ".obj", ".gltf", ".glb", ".iqm" };
static const char *const kTextureExts[] = { ".png", ".jpg", ".jpeg", ".bmp" };
static const char *const kIconExts[] = { ".png" };
static const char *const kIconDir = "resources/icons";

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void ScanFolder(int table, const char *dir);
static int AssetTableFull(int table);
static void AddCheckerTexture(void);
static int StoreMapTexture(Texture2D texture, const char *name);
static uint64_t HashTextureTable(uint64_t h, const TextureAsset *table, int count);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void InitProjectDirectories(void)
{
    PlatformMakeDir("assets");
    PlatformMakeDir("resources");
    PlatformMakeDir(kIconDir);
    PlatformMakeDir("assets/models");
    PlatformMakeDir("assets/textures");
    PlatformMakeDir("assets/maps");
}

void AutoScanAssets(void)
{
    UnloadAllAssets();
    ScanIconFolder();
    ScanFolder(ASSET_MODELS, ProjectAssetDir("models"));
    ScanFolder(ASSET_TEXTURES, ProjectAssetDir("textures"));
    if (gAssets.textureCount == 0) AddCheckerTexture();
}

void ScanIconFolder(void)
{
    ScanFolder(ASSET_ICONS, kIconDir);
}

int LoadMapModel(const char *path, const char *name)
{
    if (gAssets.modelCount >= kMaxModels) return -1;
    Model model;
    if (!ModelLoadChecked(path, &model)) return -1;   // checked before any parser sees it
    ModelAsset *slot = &gAssets.models[gAssets.modelCount];
    AssetSetName(slot->name, name);
    slot->model = model;
    slot->loaded = true;
    return gAssets.modelCount++;
}

int LoadMapTexture(const char *path, const char *name)
{
    if (gAssets.textureCount >= kMaxTextures) return -1;
    Texture2D texture = LoadCheckedTexture(path);   // a pipe, a huge or a broken image: skipped like a missing file
    if (texture.id == 0) return -1;
    return StoreMapTexture(texture, name);
}

int LoadIconAsset(const char *path, const char *name)
{
    if (gAssets.iconCount >= kMaxIcons) return -1;
    Texture2D texture = LoadCheckedTexture(path);
    if (texture.id == 0) return -1;
    SetTextureFilter(texture, TEXTURE_FILTER_BILINEAR);
    TextureAsset *slot = &gAssets.icons[gAssets.iconCount];
    AssetSetName(slot->name, name);
    slot->texture = texture;
    slot->loaded = true;
    return gAssets.iconCount++;
}

void UnloadAllAssets(void)
{
    for (int i = 0; i < gAssets.modelCount && i < kMaxModels; i++) {
        if (gAssets.models[i].loaded) ModelRelease(gAssets.models[i].model);
    }
    for (int i = 0; i < gAssets.textureCount && i < kMaxTextures; i++) {
        if (gAssets.textures[i].loaded) UnloadTexture(gAssets.textures[i].texture);
    }
    for (int i = 0; i < gAssets.iconCount && i < kMaxIcons; i++) {
        if (gAssets.icons[i].loaded) UnloadTexture(gAssets.icons[i].texture);
    }
    gAssets.modelCount = 0;
    gAssets.textureCount = 0;
    gAssets.iconCount = 0;
}

int AssetFileAccepted(int table, const char *path)
{
    const char *const *exts = kModelExts;
    int n = (int)(sizeof(kModelExts) / sizeof(kModelExts[0]));
    if (table == ASSET_TEXTURES) {
        exts = kTextureExts;
        n = (int)(sizeof(kTextureExts) / sizeof(kTextureExts[0]));
    } else if (table == ASSET_ICONS) {
        exts = kIconExts;
        n = (int)(sizeof(kIconExts) / sizeof(kIconExts[0]));
    } else if (table != ASSET_MODELS) {
        return 0;
    }
    for (int i = 0; i < n; i++) {
        if (IsFileExtension(path, exts[i])) return 1;
    }
    return 0;
}

void AssetSetName(char *dst, const char *name)
{
    snprintf(dst, kAssetNameLen, "%s", name ? name : "");
}

int AssetModelUsable(int i)
{
    return (i >= 0 && i < gAssets.modelCount && i < kMaxModels && gAssets.models[i].loaded) ? 1 : 0;
}

int AssetTextureUsable(int i)
{
    return (i >= 0 && i < gAssets.textureCount && i < kMaxTextures && gAssets.textures[i].loaded) ? 1 : 0;
}

uint64_t HashAssetTables(uint64_t h)
{
    // A project switch may load other assets into the same slots under the same GL ids.
    int models = ClampCount(gAssets.modelCount, kMaxModels);
    h = HashBytes(h, &models, (int)sizeof(models));
    for (int i = 0; i < models; i++) {
        h = HashBytes(h, gAssets.models[i].name, kAssetNameLen);
        h = HashBytes(h, &gAssets.models[i].loaded, (int)sizeof(bool));
    }
    h = HashTextureTable(h, gAssets.textures, ClampCount(gAssets.textureCount, kMaxTextures));
    return HashTextureTable(h, gAssets.icons, ClampCount(gAssets.iconCount, kMaxIcons));
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// Offers every accepted file of the folder to its table's loader in listing order (unsorted:
// the numbering follows the listing). Refused files take no number; a full table refuses the rest.
static void ScanFolder(int table, const char *dir)
{
    PlatformFolderListing files;
    PlatformOpenFolderListing(dir, &files);
    for (const char *entry = PlatformNextFolderEntry(&files); entry != nullptr; entry = PlatformNextFolderEntry(&files)) {
        if (!AssetFileAccepted(table, entry)) continue;
        if (table == ASSET_ICONS && AssetTableFull(table)) break;
        char name[kAssetNameLen];
        AssetSetName(name, GetFileNameWithoutExt(entry));   // raylib's name buffer is shared
        int number = -1;
        switch (table) {
        case ASSET_MODELS: number = LoadMapModel(entry, name); break;
        case ASSET_TEXTURES: number = LoadMapTexture(entry, name); break;
        case ASSET_ICONS: number = LoadIconAsset(entry, name); break;
        default: break;
        }
        // A full table never asks the loader, whose reason would be an older file's.
        const char *reason = AssetTableFull(table) ? "asset table full" : ModelLoadReason();
        if (number < 0) TraceLog(LOG_WARNING, "Could not load %s: %s", entry, reason);
    }
    PlatformCloseFolderListing(&files);
}

// 1 when the table holds all the assets it can.
static int AssetTableFull(int table)
{
    switch (table) {
    case ASSET_MODELS: return gAssets.modelCount >= kMaxModels;
    case ASSET_TEXTURES: return gAssets.textureCount >= kMaxTextures;
    default: return gAssets.iconCount >= kMaxIcons;
    }
}

static void AddCheckerTexture(void)
{
    Image image = GenImageChecked(kCheckerSize, kCheckerSize, kCheckerSquare,
                                  kCheckerSquare, Color{ 200, 200, 200, 255 },
                                  Color{ 130, 130, 130, 255 });
    Texture2D texture = LoadTextureFromImage(image);
    UnloadImage(image);
    if (texture.id != 0) StoreMapTexture(texture, "default_checker");   // else the library has no texture
}

// Takes a loaded texture into the next texture slot, set to tile and stay crisp; its index.
static int StoreMapTexture(Texture2D texture, const char *name)
{
    SetTextureFilter(texture, TEXTURE_FILTER_POINT);
    SetTextureWrap(texture, TEXTURE_WRAP_REPEAT);
    TextureAsset *slot = &gAssets.textures[gAssets.textureCount];
    AssetSetName(slot->name, name);
    slot->texture = texture;
    slot->loaded = true;
    return gAssets.textureCount++;
}

static uint64_t HashTextureTable(uint64_t h, const TextureAsset *table, int count)
{
    h = HashBytes(h, &count, (int)sizeof(count));
    for (int i = 0; i < count; i++) {
        const unsigned int id = table[i].loaded ? table[i].texture.id : 0;
        h = HashBytes(h, table[i].name, kAssetNameLen);
        h = HashBytes(h, &id, (int)sizeof(id));
    }
    return h;
}
