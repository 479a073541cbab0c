// The model check without a window: only regular files of bounded size, the OBJ reader (indices,
// corner counts, normals, texture coordinates, materials), MTL text, the IQM layout and what a
// glTF must hold beyond cgltf's own validation.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "project/model_check.h"
#include "support/asset_corpus.h"
#include "support/map_bytes.h"

namespace {

// A mesh parsed from text and freed at the end of the test.
struct ParsedObj {
    ObjMesh mesh;
    int ok;
    explicit ParsedObj(const std::string &text) : ok(ObjParse((const unsigned char *)text.data(), (int)text.size(), &mesh)) {}
    ~ParsedObj() { ObjMeshFree(&mesh); }
};

int CheckIqm(const std::vector<uint8_t> &bytes) { return ModelFileCheck(bytes.data(), (int)bytes.size(), MODEL_IQM, nullptr); }

int CheckGltf(const std::string &text) { return ModelFileCheck((const unsigned char *)text.data(), (int)text.size(), MODEL_GLTF, nullptr); }

// The triangle's text with from replaced by to (which must be there).
std::string Edited(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(ModelCorpus, EveryCaseIsJudgedAsItsSoundnessSays)
{
    TempFolder dir;
    WriteModelCorpus(dir.path);                                  // the files a glTF may name
    for (const ModelCase &c : ModelCorpus()) {
        int kind = ModelKindOfPath(c.file.c_str());
        EXPECT_EQ(ModelFileCheck(c.bytes.data(), (int)c.bytes.size(), kind, dir.File(c.file.c_str()).c_str()), c.sound ? 1 : 0) << c.file;
    }
}

TEST(ObjReader, FacesOfAnyCornerCountAreFannedAndGetTheirFlatNormal)
{
    for (int corners : { 4, 5, 16, 36 }) {
        ParsedObj obj(ObjCap(corners));
        ASSERT_TRUE(obj.ok);
        ASSERT_EQ(obj.mesh.partCount, 1);
        ASSERT_EQ(obj.mesh.parts[0].vertexCount, 3 * (corners - 2));
        for (int i = 0; i < obj.mesh.parts[0].vertexCount; i++) {
            EXPECT_NEAR(obj.mesh.parts[0].normals[3 * i + 1], 1.0f, 1e-5f);   // the cap faces up
        }
    }
}

TEST(ObjReader, NegativeIndicesCountBackFromTheListsReadSoFar)
{
    ParsedObj obj(ObjNegativeTriangle());
    ASSERT_TRUE(obj.ok);
    const ObjPart &p = obj.mesh.parts[0];
    EXPECT_EQ(p.positions[7], 1.0f);                // the third corner is vertex 3
    EXPECT_FLOAT_EQ(p.texcoords[5], 0.75f);         // V flipped: 1 - 0.25
    EXPECT_EQ(p.normals[2], 1.0f);                  // the file's normal
    ParsedObj later("v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 5 5 5\nf -4 -3 -1\n");
    ASSERT_TRUE(later.ok);
    EXPECT_EQ(later.mesh.parts[0].positions[15], 5.0f);
}

TEST(ObjReader, RefusesBadIndicesAndLinesAndKeepsNothing)
{
    for (const char *face : { "f 0 1 2", "f 1//2 2 3", "f 1 2", "f 1 2 x", "f 1 2 99999999999999999999" }) {
        ParsedObj obj(ObjTriangleWithFace(face));
        EXPECT_FALSE(obj.ok) << face;
        EXPECT_EQ(obj.mesh.partCount, 0);
    }
    EXPECT_FALSE(ParsedObj("f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n").ok);   // only vertices read so far
    EXPECT_FALSE(ParsedObj("v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n").ok);
    std::string atLimit = "#" + std::string(kObjMaxLineLen - 1, 'c') + "\n";
    EXPECT_TRUE(ParsedObj(atLimit + ObjCube()).ok);
    EXPECT_FALSE(ParsedObj("c" + atLimit + ObjCube()).ok);
}

TEST(ObjReader, EachMaterialIsAPartWithItsMtlColourAndTexture)
{
    std::string text = "mtllib props.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                       "usemtl a\nf 1 2 3\nusemtl b\nf 1 2 3\nusemtl a\nf 1 2 3\r\n";
    ParsedObj obj(text);
    ASSERT_TRUE(obj.ok);
    EXPECT_STREQ(obj.mesh.materialLib, "props.mtl");
    ASSERT_EQ(obj.mesh.partCount, 3);
    EXPECT_STREQ(obj.mesh.parts[1].material, "a");
    EXPECT_EQ(obj.mesh.parts[1].vertexCount, 6);

    std::string mtl = "Kd 0 1 0\nnewmtl a\nKd 1 0.5 2\nmap_Kd -s 1 1 1 skin.png\nnewmtl b\nKd x\n";
    ObjMaterialLib lib;
    ASSERT_TRUE(ObjParseMaterials((const unsigned char *)mtl.data(), (int)mtl.size(), &lib));
    ASSERT_EQ(lib.count, 2);
    const ObjMaterial &a = lib.materials[ObjFindMaterial(&lib, "a")];
    EXPECT_EQ(a.diffuse.g, 127);
    EXPECT_EQ(a.diffuse.b, 255);                                 // clamped to 1
    EXPECT_STREQ(a.diffuseMap, "skin.png");                      // past the options
    EXPECT_EQ(lib.materials[1].diffuse.r, 255);                  // a bad colour keeps white
    EXPECT_EQ(ObjFindMaterial(&lib, "c"), -1);
}

TEST(IqmCheck, EveryOffsetCountAndIndexMustLieInsideTheFile)
{
    const struct { int field; uint32_t value; } broken[] = {
        { kIqmFieldNumText, 3 },                   // the names past the text block
        { kIqmFieldNumMeshes, 2 },                 // a second mesh made of the arrays' bytes
        { kIqmFieldNumVertexes, 4 },               // the arrays' data would run past the end
        { kIqmFieldNumTriangles, 0 },              // the mesh's triangle outside the file's
        { kIqmFieldNumJoints, 1 },                 // a joint whose name is outside the text
    };
    for (const auto &b : broken) EXPECT_FALSE(CheckIqm(IqmWithField(b.field, b.value))) << b.field;
    std::vector<uint8_t> bytes = IqmTriangle();
    uint32_t ofsTriangles, ofsArrays;
    memcpy(&ofsTriangles, bytes.data() + kIqmFieldOfsTriangles, 4);
    memcpy(&ofsArrays, bytes.data() + kIqmFieldOfsVertexArrays, 4);
    bytes[ofsTriangles + 8] = 3;                   // a vertex outside the mesh
    EXPECT_FALSE(CheckIqm(bytes));
    bytes = IqmTriangle();
    bytes[ofsArrays] = 1;                          // texture coordinates twice: raylib would lose one
    EXPECT_FALSE(CheckIqm(bytes));
    bytes = IqmTriangle();
    bytes.pop_back();
    EXPECT_FALSE(CheckIqm(bytes));
}

TEST(GltfCheck, RefusesWhatRaylibWouldFollowUnchecked)
{
    const std::string tri = GltfTriangle();
    ASSERT_TRUE(CheckGltf(tri));
    std::string nodes = "\"nodes\":[{\"mesh\":0}";
    for (int i = 1; i < kGltfMaxMeshes; i++) nodes += ",{\"mesh\":0}";
    EXPECT_TRUE(CheckGltf(Edited(tri, "\"nodes\":[{\"mesh\":0}", nodes)));
    const std::string image = "{\"images\":[{\"bufferView\":0,\"mimeType\":\"image/png\"}],";
    EXPECT_TRUE(CheckGltf(Edited(tri, "{", image)));
    const std::string refused[] = {
        Edited(tri, "\"POSITION\"", "\"NORMAL\""),                               // no vertex: joints would overrun
        Edited(tri, "\"componentType\":5126", "\"componentType\":5121"),          // bytes: a format raylib skips
        Edited(tri, "\"bufferView\":0,\"byteOffset\":0,", ""),                      // zeros without a view
        Edited(tri, "\"byteLength\":36", "\"byteLength\":36,\"byteStride\":9223372036854775807"),   // validation's sum wraps
        Edited(tri, "\"}]}", "\"},{\"byteLength\":4}]}"),                           // a buffer with no bytes
        Edited(tri, "{", "{\"images\":[{\"bufferView\":0}],"),                      // no MIME type to compare
        Edited(Edited(tri, "{", image), "\"byteLength\":36", "\"byteLength\":36,\"byteStride\":12"),   // copied 12 bytes a step
        Edited(tri, "\"nodes\":[{\"mesh\":0}", nodes + ",{\"mesh\":0}"),            // one mesh too many
    };
    for (const std::string &text : refused) EXPECT_FALSE(CheckGltf(text)) << text.substr(0, 200);
}

TEST(ModelFiles, OnlyARegularFileWithinTheBoundIsReadAndThenWhole)
{
    TempFolder dir;
    { std::ofstream big(dir.File("big.obj")); }
    std::filesystem::resize_file(dir.File("big.obj"), (uintmax_t)kModelFileMaxBytes + 1);   // sparse
    unsigned char *data = nullptr;
    int size = -1;
    EXPECT_FALSE(ModelFileRead(dir.File("big.obj").c_str(), kModelFileMaxBytes, &data, &size));
    EXPECT_EQ(data, nullptr);

    { std::ofstream small(dir.File("small.obj")); small << "v 1 2 3"; }
    ASSERT_TRUE(ModelFileRead(dir.File("small.obj").c_str(), 7, &data, &size));
    EXPECT_EQ(size, 7);
    EXPECT_EQ(memcmp(data, "v 1 2 3", 8), 0);      // with a NUL after the last byte
    MemFree(data);
    EXPECT_FALSE(ModelFileRead(dir.File("small.obj").c_str(), 6, &data, &size));
    // A pipe without a writer would block an open that waits for one; a folder has no bytes.
    MakeFifo(dir.File("pipe.obj"));
    std::filesystem::create_directory(dir.File("folder.obj"));
    for (const char *name : { "pipe.obj", "folder.obj", "missing.obj" }) {
        EXPECT_FALSE(ModelFileRead(dir.File(name).c_str(), kModelFileMaxBytes, &data, &size)) << name;
        EXPECT_EQ(data, nullptr) << name;
    }
}

TEST(ModelCheck, EachRefusalKeepsItsReason)
{
    TempFolder dir;
    std::filesystem::create_directory(dir.File("folder.obj"));
    { std::ofstream big(dir.File("big.obj")); }
    std::filesystem::resize_file(dir.File("big.obj"), (uintmax_t)kModelFileMaxBytes + 1);   // sparse
    const struct { const char *file, *reason; } files[] = {
        { "missing.obj", "no such file" }, { "folder.obj", "not a regular file" }, { "big.obj", "file too large" },
    };
    for (const auto &f : files) {
        unsigned char *data = nullptr;
        int size = 0;
        EXPECT_FALSE(ModelFileRead(dir.File(f.file).c_str(), kModelFileMaxBytes, &data, &size)) << f.file;
        EXPECT_STREQ(ModelCheckReason(), f.reason);
    }
    const struct { int kind; std::vector<uint8_t> bytes; const char *reason; } cases[] = {
        { MODEL_OBJ, TextBytes(ObjTriangleWithFace("f 1 2 9")), "face index 9 out of range" },
        { MODEL_OBJ, TextBytes(ObjTriangleWithFace("f 1/5 2/1 3/1")), "face texture index 5 out of range" },
        { MODEL_OBJ, TextBytes(ObjTriangleWithFace("f 1 2")), "face of fewer than 3 corners" },
        { MODEL_OBJ, TextBytes(ObjLongLine()), "line longer than 4096 characters" },
        { MODEL_OBJ, {}, "empty file" },
        { MODEL_IQM, IqmWithField(kIqmFieldOfsMeshes, 0x7fffff00u), "IQM meshes outside the file" },
        { MODEL_IQM, IqmWithField(kIqmFieldVersion, 1), "bad IQM header" },
        { MODEL_GLTF, TextBytes("{\"asset\": [1, 2"), "glTF invalid JSON" },
    };
    for (const auto &c : cases) {
        EXPECT_FALSE(ModelFileCheck(c.bytes.data(), (int)c.bytes.size(), c.kind, nullptr)) << c.reason;
        EXPECT_STREQ(ModelCheckReason(), c.reason);
    }
}
