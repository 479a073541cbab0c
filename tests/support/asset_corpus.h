// asset_corpus.h: hostile and sound model files, each case made in one line, for the model check
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

// OBJ texts: a cube of 6 quads; a flat n-sided cap as one face, facing up; a triangle given by
// negative indices with texture coordinates and a normal; a textured quad of material "skin" from
// "props.mtl"; a triangle with the given face line; "v " and 5000 digits, then three more lines.
std::string ObjCube(void);
std::string ObjCap(int corners);
std::string ObjNegativeTriangle(void);
std::string ObjTexturedQuad(void);
std::string ObjTriangleWithFace(const char *face);
std::string ObjLongLine(void);

// An IQM file of one mesh and one triangle (positions, texture coordinates) whose material names
// the given file; the same with the u32 at a header byte offset replaced.
std::vector<uint8_t> IqmTriangle(const char *material = "skin.png");
std::vector<uint8_t> IqmWithField(int offset, uint32_t value);

// What a glTF triangle (three float positions, three u16 indices, one 44-byte buffer) has changed:
// the position accessor's byte offset, the third index, and the buffer's URI ("" embeds it as a
// data: URI; nullptr gives none, as a GLB's own buffer has).
struct GltfTriangleParts {
    uint32_t positionOffset = 0;
    uint16_t thirdIndex = 2;
    const char *bufferUri = "";
};
// The glTF text of that triangle; the buffers list comes last, so a test may append to it.
std::string GltfTriangle(const GltfTriangleParts &parts = {});
// The same triangle as a GLB: its JSON chunk and the buffer as its BIN chunk.
std::vector<uint8_t> GlbTriangle(void);

std::vector<uint8_t> TextBytes(const std::string &text);

// One model file of the corpus: its name, its bytes and whether it must load.
struct ModelCase {
    std::string file;
    std::vector<uint8_t> bytes;
    bool sound;
};
// The hostile cases (long line, indices out of range, NUL-leading text, bad IQM offsets, glTF
// accessor past its buffer, an index past the positions, buffer files in a pipe or too short)
// and the sound ones (quads, 16- and 36-corner caps, negative indices, a textured quad, IQMs, glTFs
// with an embedded and an external buffer, a GLB).
std::vector<ModelCase> ModelCorpus(void);
// Writes the corpus into dir, with a folder named x.obj, a pipe named fifo.obj, a pipe named
// pipe.png that a sound IQM names as its texture, the glTFs' buffer files (pipe.bin a pipe), and
// the textured quad's material and image.
void WriteModelCorpus(const std::string &dir);
