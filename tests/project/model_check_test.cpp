// The model check without a window: reading only regular files of bounded size, the OBJ reader
// (indices, corner counts, normals, texture coordinates, materials), MTL text and the IQM layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "project/model_check.h"
#include "support/asset_corpus.h"
#include "support/map_bytes.h"

namespace {

int ParseText(const std::string &text, ObjMesh *mesh)
{
    return ObjParse((const unsigned char *)text.data(), (int)text.size(), mesh);
}

int CheckBytes(const std::vector<uint8_t> &bytes, int kind)
{
    return ModelFileCheck(bytes.data(), (int)bytes.size(), kind);
}

// A mesh freed at the end of the test.
struct ParsedObj {
    ObjMesh mesh;
    ParsedObj() { memset(&mesh, 0, sizeof(mesh)); }
    ~ParsedObj() { ObjMeshFree(&mesh); }
};

}  // namespace

TEST(ObjReader, FacesOfAnyCornerCountAreFannedIntoTriangles)
{
    const struct { std::string text; int triangles; } cases[] = {
        { ObjCube(), 12 }, { ObjCap(5), 3 }, { ObjCap(8), 6 }, { ObjCap(16), 14 }, { ObjCap(36), 34 },
    };
    for (const auto &c : cases) {
        ParsedObj obj;
        ASSERT_TRUE(ParseText(c.text, &obj.mesh));
        ASSERT_EQ(obj.mesh.partCount, 1);
        EXPECT_EQ(obj.mesh.parts[0].vertexCount, 3 * c.triangles);
    }
    // The cap lies in y = 0, wound counter-clockwise seen from above: every flat normal is +Y.
    ParsedObj cap;
    ASSERT_TRUE(ParseText(ObjCap(16), &cap.mesh));
    for (int i = 0; i < cap.mesh.parts[0].vertexCount; i++) {
        EXPECT_NEAR(cap.mesh.parts[0].normals[3 * i + 1], 1.0f, 1e-5f) << i;
        EXPECT_EQ(cap.mesh.parts[0].texcoords[2 * i], 0.0f);
    }
}

TEST(ObjReader, NegativeIndicesCountBackFromTheListsReadSoFar)
{
    ParsedObj obj;
    ASSERT_TRUE(ParseText(ObjNegativeTriangle(), &obj.mesh));
    const ObjPart &p = obj.mesh.parts[0];
    ASSERT_EQ(p.vertexCount, 3);
    EXPECT_EQ(p.positions[3], 1.0f);                // the second corner is vertex 2
    EXPECT_EQ(p.positions[7], 1.0f);                // the third is vertex 3
    EXPECT_FLOAT_EQ(p.texcoords[5], 0.75f);         // V flipped: 1 - 0.25
    EXPECT_EQ(p.normals[2], 1.0f);                  // the file's normal
    // A later vertex moves what -1 means.
    ParsedObj later;
    ASSERT_TRUE(ParseText("v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 5 5 5\nf -4 -3 -1\n", &later.mesh));
    EXPECT_EQ(later.mesh.parts[0].positions[3 * 5], 5.0f);
}

TEST(ObjReader, RefusesIndicesOutsideTheListsLongLinesAndBinaryText)
{
    const std::string refused[] = {
        ObjTriangleWithFace("f 1 2 2147483647"),
        ObjTriangleWithFace("f -1 -2 -100"),
        ObjTriangleWithFace("f 1/5/9 2/-7/3 3/1000000/1"),
        ObjTriangleWithFace("f 1 2 99999999999999999999"),
        ObjTriangleWithFace("f 0 1 2"),
        ObjTriangleWithFace("f 1//2 2 3"),                        // a normal past the one given
        ObjTriangleWithFace("f 1 2"),                             // not a polygon
        ObjTriangleWithFace("f 1 2 x"),
        "f 1 2 3\nv 0 0 0\nv 1 0 0\nv 0 1 0\n",                   // only the vertices read so far count
        ObjLongLine(),
        std::string("\0v 0 0 0\n", 9) + ObjCube(),
        "v 0 0 nan\nv 1 0 0\nv 0 1 0\nf 1 2 3\n",
        "v 0 0\n",
    };
    for (const std::string &text : refused) {
        ObjMesh mesh;
        EXPECT_FALSE(ParseText(text, &mesh)) << text.substr(0, 80);
        EXPECT_EQ(mesh.partCount, 0);
    }
    // A line just at the limit is read; one byte more refuses the file.
    std::string comment = "#" + std::string(kObjMaxLineLen - 1, 'c');
    ParsedObj atLimit;
    EXPECT_TRUE(ParseText(comment + "\n" + ObjCube(), &atLimit.mesh));
    ObjMesh over;
    EXPECT_FALSE(ParseText(comment + "c\n" + ObjCube(), &over));
}

TEST(ObjReader, EachMaterialIsAPartAndTheMaterialFileIsNamed)
{
    std::string text = "mtllib props.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"
                       "usemtl a\nf 1 2 3\nusemtl b\nf 1 2 3\nusemtl a\nf 1 2 3\r\n";
    ParsedObj obj;
    ASSERT_TRUE(ParseText(text, &obj.mesh));
    EXPECT_STREQ(obj.mesh.materialLib, "props.mtl");
    ASSERT_EQ(obj.mesh.partCount, 3);
    EXPECT_STREQ(obj.mesh.parts[0].material, "");
    EXPECT_STREQ(obj.mesh.parts[1].material, "a");
    EXPECT_EQ(obj.mesh.parts[1].vertexCount, 6);
    EXPECT_STREQ(obj.mesh.parts[2].material, "b");

    // Past the limit, faces of further materials join the first part.
    std::string many = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    for (int i = 0; i <= kObjMaxParts; i++) many += "usemtl m" + std::to_string(i) + "\nf 1 2 3\n";
    ParsedObj full;
    ASSERT_TRUE(ParseText(many, &full.mesh));
    EXPECT_EQ(full.mesh.partCount, kObjMaxParts);
    EXPECT_EQ(full.mesh.parts[0].vertexCount, 6);
}

TEST(ObjMaterials, DiffuseColourAndTextureByName)
{
    std::string text = "# props\nKd 0 1 0\nnewmtl skin\nKd 1 0.5 2\nmap_Kd -s 1 1 1 skin.png\n"
                       "newmtl plain\nKd 0 0 1\nnewmtl bad\nKd x\n";
    ObjMaterialLib lib;
    ASSERT_TRUE(ObjParseMaterials((const unsigned char *)text.data(), (int)text.size(), &lib));
    ASSERT_EQ(lib.count, 3);
    int skin = ObjFindMaterial(&lib, "skin");
    ASSERT_EQ(skin, 0);
    EXPECT_EQ(lib.materials[0].diffuse.r, 255);
    EXPECT_EQ(lib.materials[0].diffuse.g, 127);
    EXPECT_EQ(lib.materials[0].diffuse.b, 255);                   // clamped to 1
    EXPECT_STREQ(lib.materials[0].diffuseMap, "skin.png");
    EXPECT_EQ(lib.materials[1].diffuse.b, 255);
    EXPECT_EQ(lib.materials[1].diffuse.r, 0);
    EXPECT_STREQ(lib.materials[1].diffuseMap, "");
    EXPECT_EQ(lib.materials[2].diffuse.r, 255);                   // a bad colour keeps white
    EXPECT_EQ(ObjFindMaterial(&lib, "missing"), -1);
    std::string binary("newmtl a\n\0", 10);
    EXPECT_FALSE(ObjParseMaterials((const unsigned char *)binary.data(), (int)binary.size(), &lib));
    EXPECT_EQ(lib.count, 0);
}

TEST(IqmCheck, ASoundFilePassesAndEveryBrokenOffsetOrCountIsRefused)
{
    EXPECT_TRUE(CheckBytes(IqmTriangle(), MODEL_IQM));
    const struct { int field; uint32_t value; } broken[] = {
        { kIqmFieldVersion, 1 },
        { kIqmFieldNumText, 3 },                   // the material's name past the text block
        { kIqmFieldNumMeshes, 0 },
        { kIqmFieldNumMeshes, 2 },                 // a second mesh record made of the arrays' bytes
        { kIqmFieldOfsMeshes, 0x7fffff00u },
        { kIqmFieldNumVertexes, 4 },               // the arrays' data would run past the end
        { kIqmFieldNumVertexes, 0xffffffffu },
        { kIqmFieldOfsVertexArrays, 0xffffffecu },
        { kIqmFieldNumTriangles, 0 },              // the mesh's triangle outside the file's
        { kIqmFieldOfsTriangles, 1u << 30 },
        { kIqmFieldNumJoints, 1 },                 // joints at offset 0 would overlap, but their name is outside
        { kIqmFieldOfsFrames, 0xfffffff0u },
    };
    for (const auto &b : broken) {
        std::vector<uint8_t> bytes = IqmWithField(b.field, b.value);
        const uint32_t one = 1;                   // one frame of one channel, for the frames' offset
        memcpy(bytes.data() + kIqmFieldNumFrames, &one, 4);
        memcpy(bytes.data() + kIqmFieldNumFrameChannels, &one, 4);
        EXPECT_FALSE(CheckBytes(bytes, MODEL_IQM)) << b.field << " = " << b.value;
    }
    // A triangle naming a vertex outside its mesh, a name with no end, a cut file, a bad array format,
    // an array type given twice.
    std::vector<uint8_t> tri = IqmTriangle();
    uint32_t ofsTriangles;
    memcpy(&ofsTriangles, tri.data() + kIqmFieldOfsTriangles, 4);
    tri[ofsTriangles + 8] = 3;
    EXPECT_FALSE(CheckBytes(tri, MODEL_IQM));
    EXPECT_FALSE(CheckBytes(IqmTriangle(std::string(40, 'm').c_str()), MODEL_IQM));
    std::vector<uint8_t> cut = IqmTriangle();
    cut.resize(cut.size() - 1);
    EXPECT_FALSE(CheckBytes(cut, MODEL_IQM));
    cut.resize(100);
    EXPECT_FALSE(CheckBytes(cut, MODEL_IQM));
    std::vector<uint8_t> format = IqmTriangle();
    uint32_t ofsArrays;
    memcpy(&ofsArrays, format.data() + kIqmFieldOfsVertexArrays, 4);
    format[ofsArrays + 8] = 9;
    EXPECT_FALSE(CheckBytes(format, MODEL_IQM));
    std::vector<uint8_t> twice = IqmTriangle();
    twice[ofsArrays] = 1;                                        // texture coordinates given twice
    EXPECT_FALSE(CheckBytes(twice, MODEL_IQM));
}

TEST(ModelFiles, OnlyRegularFilesOfBoundedSizeAreRead)
{
    TempFolder dir;
    unsigned char *data = nullptr;
    int size = -1;
    WriteAllBytes(dir.File("cube.obj"), TextBytes(ObjCube()));
    ASSERT_TRUE(ModelFileRead(dir.File("cube.obj").c_str(), kModelFileMaxBytes, &data, &size));
    EXPECT_EQ(size, (int)ObjCube().size());
    EXPECT_EQ(data[size], 0);                                    // ends in a NUL
    EXPECT_TRUE(ModelFileCheck(data, size, MODEL_OBJ));
    MemFree(data);

    MakeFifo(dir.File("fifo.obj"));                              // would block an open for reading
    std::filesystem::create_directory(dir.File("x.obj"));
    { std::ofstream big(dir.File("big.obj")); }
    std::filesystem::resize_file(dir.File("big.obj"), (uintmax_t)kModelFileMaxBytes + 1);   // sparse
    for (const char *name : { "fifo.obj", "x.obj", "big.obj", "missing.obj" }) {
        EXPECT_FALSE(ModelFileRead(dir.File(name).c_str(), kModelFileMaxBytes, &data, &size)) << name;
        EXPECT_EQ(data, nullptr);
    }

    EXPECT_EQ(ModelKindOfPath("a/b.OBJ"), MODEL_OBJ);
    EXPECT_EQ(ModelKindOfPath("b.glb"), MODEL_GLB);
    EXPECT_EQ(ModelKindOfPath("b.fbx"), -1);
    const unsigned char gltf[] = "{}";
    EXPECT_TRUE(ModelFileCheck(gltf, 2, MODEL_GLTF));
    EXPECT_FALSE(ModelFileCheck(gltf, 0, MODEL_GLTF));
    EXPECT_FALSE(ModelFileCheck(gltf, kModelFileMaxBytes + 1, MODEL_GLB));
}

TEST(ModelFiles, EveryCaseOfTheCorpusIsJudgedAsItsSoundnessSays)
{
    for (const ModelCase &c : ModelCorpus()) {
        int kind = ModelKindOfPath(c.file.c_str());
        if (kind == MODEL_GLTF) continue;                        // left to raylib's own parser
        EXPECT_EQ(CheckBytes(c.bytes, kind), c.sound ? 1 : 0) << c.file;
    }
}
