// The asset scan with a real OpenGL context over asset folders full of hostile files: nothing
// crashes or blocks, every sound file loads and keeps its number, and the working folder stays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "raylib.h"
#include "rlgl.h"
#include "project/assets.h"
#include "project/image_check.h"
#include "project/model_load.h"
#include "support/asset_corpus.h"
#include "support/map_bytes.h"

namespace fs = std::filesystem;

namespace {

const Model *ModelNamed(const char *name)
{
    for (int i = 0; i < gAssets.modelCount; i++) {
        if (std::string(gAssets.models[i].name) == name) return &gAssets.models[i].model;
    }
    return nullptr;
}

std::vector<std::string> sWarnings;

void KeepWarning(int level, const char *format, va_list args)
{
    char text[512];
    vsnprintf(text, sizeof(text), format, args);
    if (level == LOG_WARNING) sWarnings.push_back(text);
}

void ExportSquare(const char *path)
{
    Image image = GenImageColor(4, 4, RED);
    EXPECT_TRUE(ExportImage(image, path));
    UnloadImage(image);
}

}  // namespace

TEST(AssetScan, HostileFilesAreRefusedSoundOnesKeepTheirNumbersAndTheFolderStays)
{
    TempFolder dir;
    fs::path previous = fs::current_path();
    fs::current_path(dir.path);
    for (const char *folder : { "assets/models", "assets/textures/x.png", "resources/icons" }) fs::create_directories(folder);
    WriteModelCorpus("assets/models");
    ExportSquare("assets/textures/good.png");
    ExportSquare("resources/icons/light.png");
    MakeFifo("assets/textures/fifo.png");                 // would block the start-up for ever
    MakeFifo("resources/icons/fifo.png");
    Image wide = GenImageColor(kImageMaxSide + 1, 1, RED);  // a sound image, wider than any let through
    EXPECT_TRUE(ExportImage(wide, "assets/textures/wide.png"));
    EXPECT_TRUE(ExportImage(wide, "resources/icons/wide.png"));
    UnloadImage(wide);

    AutoScanAssets();
    EXPECT_EQ(fs::current_path(), fs::path(dir.path));
    // The sound models, in listing order, and nothing else.
    std::set<std::string> sound;
    for (const ModelCase &c : ModelCorpus()) {
        if (c.sound) sound.insert(c.file);
    }
    std::vector<std::string> expected, names;
    FilePathList files = LoadDirectoryFiles("assets/models");
    for (unsigned int i = 0; i < files.count; i++) {
        if (AssetFileAccepted(ASSET_MODELS, files.paths[i]) && sound.count(GetFileName(files.paths[i]))) {
            expected.push_back(GetFileNameWithoutExt(files.paths[i]));
        }
    }
    UnloadDirectoryFiles(files);
    for (int i = 0; i < gAssets.modelCount; i++) names.push_back(gAssets.models[i].name);
    EXPECT_EQ(names, expected);
    ASSERT_EQ(gAssets.textureCount, 1);
    EXPECT_STREQ(gAssets.textures[0].name, "good");
    EXPECT_EQ(gAssets.iconCount, 1);

    // Every corner of the 36-sided cap is drawn; the textured OBJ and the IQM show their image.
    ASSERT_TRUE(ModelNamed("cap36") && ModelNamed("textured") && ModelNamed("tri"));
    EXPECT_EQ(ModelNamed("cap36")->meshes[0].triangleCount, 34);
    EXPECT_EQ(ModelNamed("textured")->materials[0].maps[MATERIAL_MAP_DIFFUSE].texture.width, 4);
    EXPECT_FLOAT_EQ(ModelNamed("textured")->meshes[0].texcoords[1], 1.0f);   // vt 0 0, V flipped
    EXPECT_EQ(ModelNamed("tri")->materials[0].maps[MATERIAL_MAP_DIFFUSE].texture.width, 4);

    // A working folder whose name has moved is kept all the same.
    fs::path moved = dir.path + "_moved";
    fs::rename(dir.path, moved);
    AutoScanAssets();
    EXPECT_EQ((size_t)gAssets.modelCount, expected.size());
    EXPECT_EQ(fs::current_path(), moved);
    fs::rename(moved, dir.path);
    UnloadAllAssets();
    fs::current_path(previous);
}

TEST(AssetScan, AModelWhoseOwnTexturesFailIsDrawnWithTheDefaultTexture)
{
    // A JPEG (which this build does not decode), a missing image and a pipe: each leaves the
    // material's texture unloaded, which must not bind texture 0 and draw the model black.
    TempFolder dir;
    WriteAllBytes(dir.path + "/skin.jpg", { 0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0 });
    MakeFifo(dir.path + "/pipe.png");
    for (const char *image : { "skin.jpg", "gone.png", "pipe.png" }) {
        std::string path = dir.path + "/" + image + ".iqm";
        WriteAllBytes(path, IqmTriangle(image));
        Model model;
        ASSERT_EQ(ModelLoadChecked(path.c_str(), &model), 1) << image;
        EXPECT_EQ(model.materials[0].maps[MATERIAL_MAP_ALBEDO].texture.id, rlGetTextureIdDefault()) << image;
        ModelRelease(model);
    }
}

TEST(AssetScan, EachRefusedFileIsLoggedWithItsReason)
{
    TempFolder dir;
    fs::path previous = fs::current_path();
    fs::current_path(dir.path);
    fs::create_directories("assets/models");
    fs::create_directories("assets/textures");
    WriteAllBytes("assets/models/far.obj", TextBytes(ObjTriangleWithFace("f 1 2 9")));
    WriteAllBytes("assets/models/empty.obj", TextBytes("# no faces\n"));
    MakeFifo("assets/textures/fifo.png");
    Image wide = GenImageColor(kImageMaxSide + 1, 1, RED);
    EXPECT_TRUE(ExportImage(wide, "assets/textures/wide.png"));
    UnloadImage(wide);

    sWarnings.clear();
    SetTraceLogCallback(KeepWarning);
    AutoScanAssets();
    SetTraceLogCallback(nullptr);
    for (const char *line : { "Could not load assets/models/far.obj: face index 9 out of range",
                              "Could not load assets/models/empty.obj: no triangles",
                              "Could not load assets/textures/fifo.png: not a regular file",
                              "Could not load assets/textures/wide.png: image 8193 x 1 over 8192 pixels a side" }) {
        EXPECT_NE(std::find(sWarnings.begin(), sWarnings.end(), line), sWarnings.end()) << line;
    }
    UnloadAllAssets();
    fs::current_path(previous);
}
