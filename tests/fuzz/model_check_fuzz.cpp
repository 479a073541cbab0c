// Fuzzes the model check: any bytes are judged as OBJ, MTL and IQM without a fault. An OBJ that
// is read holds whole triangles of finite values; an IQM that passes is walked the way raylib's
// loader walks it, byte for byte, so a read the check let through outside the file is caught.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "project/model_check.h"

namespace {

constexpr int kNameBytes = 32;   // raylib copies 32 bytes of every IQM name

uint32_t U32(const uint8_t *data, size_t at)
{
    uint32_t v;
    memcpy(&v, data + at, sizeof(v));
    return v;
}

// raylib's copy of n bytes at offset into a buffer of its own.
void Copy(const uint8_t *data, uint64_t offset, uint64_t n)
{
    if (n == 0) return;
    uint8_t *copy = (uint8_t *)malloc((size_t)n);
    memcpy(copy, data + offset, (size_t)n);
    free(copy);
}

// A name raylib copies and then prints: terminated within its 32 bytes.
void CopyName(const uint8_t *data, uint32_t ofsText, uint32_t name)
{
    char buf[kNameBytes];
    memcpy(buf, data + (uint64_t)ofsText + name, sizeof(buf));
    if (memchr(buf, '\0', sizeof(buf)) == nullptr) abort();
}

// What raylib's LoadIQM reads of a file the check passed.
void WalkIqm(const uint8_t *data)
{
    const uint32_t numText = U32(data, 28), ofsText = U32(data, 32);
    const uint32_t numMeshes = U32(data, 36), ofsMeshes = U32(data, 40);
    const uint32_t numArrays = U32(data, 44), numVertexes = U32(data, 48), ofsArrays = U32(data, 52);
    const uint32_t numTriangles = U32(data, 56), ofsTriangles = U32(data, 60);
    const uint32_t numJoints = U32(data, 68), ofsJoints = U32(data, 72);
    (void)numText;
    Copy(data, ofsMeshes, (uint64_t)numMeshes * 24);
    Copy(data, ofsTriangles, (uint64_t)numTriangles * 12);
    Copy(data, ofsArrays, (uint64_t)numArrays * 20);
    Copy(data, ofsJoints, (uint64_t)numJoints * 48);
    for (uint32_t m = 0; m < numMeshes; m++) {
        const uint8_t *mesh = data + ofsMeshes + (size_t)m * 24;
        CopyName(data, ofsText, U32(mesh, 0));
        CopyName(data, ofsText, U32(mesh, 4));
        uint32_t firstVertex = U32(mesh, 8), meshVertexes = U32(mesh, 12);
        uint32_t firstTriangle = U32(mesh, 16), meshTriangles = U32(mesh, 20);
        if ((uint64_t)firstVertex + meshVertexes > numVertexes) abort();   // the arrays' copies would overrun
        for (uint64_t t = firstTriangle; t < (uint64_t)firstTriangle + meshTriangles; t++) {
            for (int k = 0; k < 3; k++) {
                uint32_t v = U32(data, ofsTriangles + (size_t)t * 12 + 4 * (size_t)k);
                if (v < firstVertex || v - firstVertex >= meshVertexes) abort();   // an index past the mesh
            }
        }
    }
    static const int kReadBytes[7] = { 12, 8, 12, 0, 4, 4, 4 };
    for (uint32_t i = 0; i < numArrays; i++) {
        const uint8_t *va = data + ofsArrays + (size_t)i * 20;
        uint32_t type = U32(va, 0);
        if (type < 7) Copy(data, U32(va, 16), (uint64_t)numVertexes * (uint64_t)kReadBytes[type]);
    }
    for (uint32_t j = 0; j < numJoints; j++) CopyName(data, ofsText, U32(data, ofsJoints + (size_t)j * 48));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (size_t)kModelFileMaxBytes) return 0;
    const int n = (int)size;

    ObjMesh mesh;
    if (ObjParse(data, n, &mesh)) {
        if (mesh.partCount < 0 || mesh.partCount > kObjMaxParts) abort();
        for (int i = 0; i < mesh.partCount; i++) {
            const ObjPart &p = mesh.parts[i];
            if (p.vertexCount % 3 != 0 || p.vertexCount > p.capacity) abort();
            for (int k = 0; k < 3 * p.vertexCount; k++) {
                if (!std::isfinite(p.positions[k])) abort();
            }
            for (int k = 0; k < 2 * p.vertexCount; k++) {
                if (!std::isfinite(p.texcoords[k])) abort();
            }
        }
        ObjMeshFree(&mesh);
    } else if (mesh.partCount != 0) {
        abort();   // a refused file leaves nothing behind
    }

    ObjMaterialLib lib;
    if (ObjParseMaterials(data, n, &lib)) {
        for (int i = 0; i < lib.count; i++) {
            if (strnlen(lib.materials[i].name, kObjNameLen) >= (size_t)kObjNameLen) abort();
            if (strnlen(lib.materials[i].diffuseMap, kObjPathLen) >= (size_t)kObjPathLen) abort();
        }
    }

    if (ModelFileCheck(data, n, MODEL_IQM)) WalkIqm(data);
    return 0;
}
