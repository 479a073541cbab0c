// The asset scan with a real OpenGL context over asset folders full of hostile files: nothing
// crashes or blocks, every sound file loads and keeps its number, and the working folder stays.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "raylib.h"
#include "rlgl.h"
#include "project/assets.h"
#include "support/asset_corpus.h"
#include "support/map_bytes.h"

namespace fs = std::filesystem;

namespace {

// The names the scan must give the model slots: the sound model files, in listing order.
std::vector<std::string> SoundModelsInListingOrder(const char *dir)
{
    std::set<std::string> sound;
    for (const ModelCase &c : ModelCorpus()) {
        if (c.sound) sound.insert(c.file);
    }
    std::vector<std::string> names;
    FilePathList files = LoadDirectoryFiles(dir);
    for (unsigned int i = 0; i < files.count; i++) {
        if (AssetFileAccepted(ASSET_MODELS, files.paths[i]) && sound.count(GetFileName(files.paths[i]))) {
            names.push_back(GetFileNameWithoutExt(files.paths[i]));
        }
    }
    UnloadDirectoryFiles(files);
    return names;
}

std::vector<std::string> ModelSlotNames(void)
{
    std::vector<std::string> names;
    for (int i = 0; i < gAssets.modelCount; i++) names.push_back(gAssets.models[i].name);
    return names;
}

int ModelSlotNamed(const char *name)
{
    for (int i = 0; i < gAssets.modelCount; i++) {
        if (std::string(gAssets.models[i].name) == name) return i;
    }
    return -1;
}

void ExportSquare(const std::string &path, Color colour)
{
    Image image = GenImageColor(4, 4, colour);
    EXPECT_TRUE(ExportImage(image, path.c_str()));
    UnloadImage(image);
}

}  // namespace

TEST(AssetScan, HostileFilesAreRefusedSoundOnesKeepTheirNumbersAndTheFolderStays)
{
    TempFolder dir;
    fs::path previous = fs::current_path();
    fs::current_path(dir.path);
    fs::create_directories("assets/models");
    fs::create_directories("assets/textures");
    fs::create_directories("resources/icons");
    WriteModelCorpus("assets/models");
    ExportSquare("assets/textures/good.png", RED);
    MakeFifo("assets/textures/fifo.png");                 // would block the start-up for ever
    fs::create_directory("assets/textures/x.png");
    ExportSquare("resources/icons/light.png", WHITE);
    MakeFifo("resources/icons/fifo.png");
    fs::path here = fs::current_path();

    AutoScanAssets();
    EXPECT_EQ(fs::current_path(), here);
    EXPECT_EQ(ModelSlotNames(), SoundModelsInListingOrder("assets/models"));
    ASSERT_EQ(gAssets.textureCount, 1);
    EXPECT_STREQ(gAssets.textures[0].name, "good");
    ASSERT_EQ(gAssets.iconCount, 1);
    EXPECT_STREQ(gAssets.icons[0].name, "light");

    // Every corner of the 36-sided cap is drawn: 34 triangles in one mesh.
    int cap = ModelSlotNamed("cap36");
    ASSERT_GE(cap, 0);
    EXPECT_EQ(gAssets.models[cap].model.meshes[0].triangleCount, 34);
    // The textured OBJ shows its material's image; the IQM whose texture is a pipe loads without it.
    int textured = ModelSlotNamed("textured");
    ASSERT_GE(textured, 0);
    const Model &t = gAssets.models[textured].model;
    ASSERT_EQ(t.materialCount, 1);
    EXPECT_NE(t.materials[0].maps[MATERIAL_MAP_DIFFUSE].texture.id, rlGetTextureIdDefault());
    EXPECT_EQ(t.materials[0].maps[MATERIAL_MAP_DIFFUSE].texture.width, 4);
    EXPECT_FLOAT_EQ(t.meshes[0].texcoords[1], 1.0f);       // vt 0 0, V flipped
    int iqm = ModelSlotNamed("tri");
    ASSERT_GE(iqm, 0);
    EXPECT_EQ(gAssets.models[iqm].model.materials[0].maps[MATERIAL_MAP_DIFFUSE].texture.width, 4);
    EXPECT_GE(ModelSlotNamed("piped"), 0);

    // A working folder whose name has moved is kept all the same.
    fs::path moved = dir.path + "_moved";
    fs::rename(dir.path, moved);
    int models = gAssets.modelCount;
    AutoScanAssets();
    EXPECT_EQ(gAssets.modelCount, models);
    EXPECT_EQ(fs::current_path(), moved);
    EXPECT_TRUE(fs::exists("assets/textures/good.png"));
    fs::rename(moved, dir.path);

    UnloadAllAssets();
    fs::current_path(previous);
}
