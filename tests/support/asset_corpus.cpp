// asset_corpus.cpp: the model files, sound and hostile, that the model check and the asset scan
// are tried on.
#include "support/asset_corpus.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "raylib.h"
#include "support/map_bytes.h"

std::string ObjCube(void)
{
    return "o cube\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\nv -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\ns off\n"
           "f 1 2 3 4\nf 6 5 8 7\nf 5 1 4 8\nf 2 6 7 3\nf 4 3 7 8\nf 5 6 2 1\n";
}

std::string ObjCap(int corners)
{
    std::string text, face = "f";
    for (int i = 0; i < corners; i++) {
        float a = 6.2831853f * (float)i / (float)corners;
        text += "v " + std::to_string(cosf(a)) + " 0 " + std::to_string(-sinf(a)) + "\n";
        face += " " + std::to_string(i + 1);
    }
    return text + face + "\n";
}

std::string ObjNegativeTriangle(void) { return ObjTriangleWithFace("vt 0 0.25\nf -3/-3/-1 -2/-2/-1 -1/-1/-1"); }

std::string ObjTexturedQuad(void)
{
    return "mtllib props.mtl\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
           "usemtl skin\nf 1/1 2/2 3/3 4/4\n";
}

std::string ObjTriangleWithFace(const char *face)
{
    return std::string("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 1\nvn 0 0 1\n") + face + "\n";
}

std::string ObjLongLine(void) { return "v " + std::string(5000, '7') + "\nv 0 0 0\nv 1 0 0\nf 1 2 3\n"; }

std::vector<uint8_t> IqmTriangle(const char *material)
{
    // Header, text, one mesh, two vertex arrays, one triangle, then the arrays' data.
    std::string text = std::string("\0tri\0", 5) + material + std::string("\0", 1);
    const uint32_t ofsText = 124, ofsMeshes = ofsText + (uint32_t)text.size();
    const uint32_t ofsArrays = ofsMeshes + 24, ofsTriangles = ofsArrays + 40;
    const uint32_t ofsPositions = ofsTriangles + 12, ofsTexcoords = ofsPositions + 36;
    const uint32_t fileSize = ofsTexcoords + 24;
    MapBytes b;
    b.Raw("INTERQUAKEMODEL", 16).I32(2).I32((int32_t)fileSize).I32(0);
    b.I32((int32_t)text.size()).I32((int32_t)ofsText);
    b.I32(1).I32((int32_t)ofsMeshes);
    b.I32(2).I32(3).I32((int32_t)ofsArrays);
    b.I32(1).I32((int32_t)ofsTriangles).I32(0);
    for (int i = 0; i < 14; i++) b.I32(0);   // joints, poses, anims, frames, bounds, comment, extensions
    b.Raw(text.data(), text.size());
    b.I32(1).I32(5).I32(0).I32(3).I32(0).I32(1);                      // name "tri", its material
    b.I32(0).I32(0).I32(7).I32(3).I32((int32_t)ofsPositions);         // positions: float x 3
    b.I32(1).I32(0).I32(7).I32(2).I32((int32_t)ofsTexcoords);         // texcoords: float x 2
    b.I32(0).I32(1).I32(2);
    b.Vec3(Vector3{ 0, 0, 0 }).Vec3(Vector3{ 1, 0, 0 }).Vec3(Vector3{ 0, 1, 0 });
    b.F32(0).F32(0).F32(1).F32(0).F32(0).F32(1);
    EXPECT_EQ(b.v.size(), (size_t)fileSize);
    return b.v;
}

std::vector<uint8_t> IqmWithField(int offset, uint32_t value)
{
    std::vector<uint8_t> bytes = IqmTriangle();
    memcpy(bytes.data() + offset, &value, sizeof(value));
    return bytes;
}

// Three positions (36 bytes), three u16 indices and two bytes of padding.
static std::vector<uint8_t> GltfTriangleBuffer(uint16_t thirdIndex = 2)
{
    MapBytes b;
    b.Vec3(Vector3{ 0, 0, 0 }).Vec3(Vector3{ 1, 0, 0 }).Vec3(Vector3{ 0, 1, 0 });
    uint16_t indices[4] = { 0, 1, thirdIndex, 0 };
    b.Raw(indices, sizeof(indices));
    return b.v;
}

std::string GltfTriangle(const GltfTriangleParts &parts)
{
    std::vector<uint8_t> buffer = GltfTriangleBuffer(parts.thirdIndex);
    std::string uri;
    if (parts.bufferUri && parts.bufferUri[0] != '\0') {
        uri = parts.bufferUri;
    } else if (parts.bufferUri) {
        int n = 0;
        char *base64 = EncodeDataBase64(buffer.data(), (int)buffer.size(), &n);
        uri = std::string("data:application/octet-stream;base64,") + base64;
        MemFree(base64);
    }
    return "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0}],"
           "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":0},\"indices\":1}]}],"
           "\"accessors\":[{\"bufferView\":0,\"byteOffset\":" + std::to_string(parts.positionOffset) +
           ",\"componentType\":5126,\"count\":3,\"type\":\"VEC3\",\"min\":[0,0,0],\"max\":[1,1,0]},"
           "{\"bufferView\":1,\"componentType\":5123,\"count\":3,\"type\":\"SCALAR\"}],"
           "\"bufferViews\":[{\"buffer\":0,\"byteLength\":36},{\"buffer\":0,\"byteOffset\":36,\"byteLength\":6}],"
           "\"buffers\":[{\"byteLength\":44" + (parts.bufferUri ? ",\"uri\":\"" + uri + "\"" : std::string()) + "}]}";
}

std::vector<uint8_t> GlbTriangle(void)
{
    std::string json = GltfTriangle({ 0, 2, nullptr });
    json.append((4 - json.size() % 4) % 4, ' ');   // chunks are 4-byte aligned
    std::vector<uint8_t> bin = GltfTriangleBuffer();
    MapBytes b;
    b.Raw("glTF", 4).I32(2).I32((int32_t)(12 + 8 + json.size() + 8 + bin.size()));
    b.I32((int32_t)json.size()).Raw("JSON", 4).Raw(json.data(), json.size());
    b.I32((int32_t)bin.size()).Raw("BIN\0", 4).Raw(bin.data(), bin.size());
    return b.v;
}

std::vector<uint8_t> TextBytes(const std::string &text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<ModelCase> ModelCorpus(void)
{
    std::vector<uint8_t> iqm = IqmTriangle();
    return {
        { "cube.obj", TextBytes(ObjCube()), true },
        { "cap16.obj", TextBytes(ObjCap(16)), true },
        { "cap36.obj", TextBytes(ObjCap(36)), true },
        { "negative.obj", TextBytes(ObjNegativeTriangle()), true },
        { "textured.obj", TextBytes(ObjTexturedQuad()), true },
        { "tri.iqm", IqmTriangle(), true },
        { "piped.iqm", IqmTriangle("pipe.png"), true },
        { "longline.obj", TextBytes(ObjLongLine()), false },
        { "bigindex.obj", TextBytes(ObjTriangleWithFace("f 1 2 2147483647")), false },
        { "negindex.obj", TextBytes(ObjTriangleWithFace("f -1 -2 -100")), false },
        { "texindex.obj", TextBytes(ObjTriangleWithFace("f 1/5/9 2/-7/3 3/1000000/1")), false },
        { "nul.obj", TextBytes(std::string("\0v 0 0 0\n", 9) + ObjCube()), false },
        { "empty.obj", {}, false },
        { "meshes.iqm", IqmWithField(kIqmFieldOfsMeshes, 0x7fffff00u), false },
        { "triangles.iqm", IqmWithField(kIqmFieldOfsTriangles, 1u << 30), false },
        { "arrays.iqm", IqmWithField(kIqmFieldOfsVertexArrays, 0xffffffecu), false },
        { "vertexes.iqm", IqmWithField(kIqmFieldNumVertexes, 0xffffffffu), false },
        { "name.iqm", IqmTriangle(std::string(40, 'm').c_str()), false },   // no end within 32 bytes
        { "version.iqm", IqmWithField(kIqmFieldVersion, 1), false },
        { "short.iqm", std::vector<uint8_t>(iqm.begin(), iqm.begin() + 100), false },
        { "embedded.gltf", TextBytes(GltfTriangle()), true },
        { "external.gltf", TextBytes(GltfTriangle({ 0, 2, "triangle.bin" })), true },
        { "binary.glb", GlbTriangle(), true },
        { "garbage.gltf", TextBytes("{\"asset\": [1, 2"), false },
        { "offset.gltf", TextBytes(GltfTriangle({ 1u << 30 })), false },       // positions 1 GiB past the buffer
        { "index.gltf", TextBytes(GltfTriangle({ 0, 60000 })), false },        // vertex 60000 of 3
        { "piped.gltf", TextBytes(GltfTriangle({ 0, 2, "pipe.bin" })), false },
        { "short.gltf", TextBytes(GltfTriangle({ 0, 2, "short.bin" })), false },
    };
}

void WriteModelCorpus(const std::string &dir)
{
    for (const ModelCase &c : ModelCorpus()) WriteAllBytes(dir + "/" + c.file, c.bytes);
    WriteAllBytes(dir + "/props.mtl", TextBytes("newmtl skin\nKd 1 0 0\nmap_Kd -s 1 1 1 skin.png\n"));
    Image skin = GenImageColor(4, 4, Color{ 0, 200, 0, 255 });
    EXPECT_TRUE(ExportImage(skin, (dir + "/skin.png").c_str()));
    UnloadImage(skin);
    std::filesystem::create_directory(dir + "/x.obj");
    MakeFifo(dir + "/fifo.obj");
    MakeFifo(dir + "/pipe.png");
    MakeFifo(dir + "/pipe.bin");
    std::vector<uint8_t> buffer = GltfTriangleBuffer();
    WriteAllBytes(dir + "/triangle.bin", buffer);
    WriteAllBytes(dir + "/short.bin", std::vector<uint8_t>(buffer.begin(), buffer.begin() + 12));   // one vertex of three
}
