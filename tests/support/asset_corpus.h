// asset_corpus.h: hostile and sound asset files, each case made in one line, for the model check
// tests and the asset scan on a real OpenGL context.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Byte offsets of IQM header fields a test may break.
constexpr int kIqmFieldVersion = 16;
constexpr int kIqmFieldNumText = 28;
constexpr int kIqmFieldNumMeshes = 36;
constexpr int kIqmFieldOfsMeshes = 40;
constexpr int kIqmFieldNumVertexes = 48;
constexpr int kIqmFieldOfsVertexArrays = 52;
constexpr int kIqmFieldNumTriangles = 56;
constexpr int kIqmFieldOfsTriangles = 60;
constexpr int kIqmFieldNumJoints = 68;
constexpr int kIqmFieldNumFrames = 92;
constexpr int kIqmFieldNumFrameChannels = 96;
constexpr int kIqmFieldOfsFrames = 100;

// OBJ text: a unit cube of 8 vertices and 6 quads.
std::string ObjCube(void);
// OBJ text: a flat n-sided cap written as one face of n corners.
std::string ObjCap(int corners);
// OBJ text: one triangle with texture coordinates and normals, given by negative indices.
std::string ObjNegativeTriangle(void);
// OBJ text: a textured quad of material "skin" from "props.mtl".
std::string ObjTexturedQuad(void);
// OBJ text: one triangle whose face line is the given one, e.g. "f 1 2 2147483647".
std::string ObjTriangleWithFace(const char *face);
// OBJ text: "v " and 5000 digits, then three more lines.
std::string ObjLongLine(void);

// An IQM file of one mesh and one triangle (positions and texture coordinates) whose material
// names the file material.
std::vector<uint8_t> IqmTriangle(const char *material = "skin.png");
// The same with the u32 at byte offset replaced by value.
std::vector<uint8_t> IqmWithField(int offset, uint32_t value);

std::vector<uint8_t> TextBytes(const std::string &text);

// One model file of the corpus: its name, its bytes and whether it must load.
struct ModelCase {
    std::string file;
    std::vector<uint8_t> bytes;
    bool sound;
};
// Every model case: the hostile ones (long line, indices out of range, NUL-leading text, bad IQM
// offsets) and the sound ones (quads, a 16- and a 36-corner cap, negative indices, an IQM).
std::vector<ModelCase> ModelCorpus(void);
// Writes the corpus into dir, with a folder named x.obj, a pipe named fifo.obj, a pipe named
// pipe.png that a sound IQM names as its texture, and the textured quad's material and image.
void WriteModelCorpus(const std::string &dir);
