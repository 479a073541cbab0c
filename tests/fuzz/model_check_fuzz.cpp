// Fuzzes the model check: any bytes are judged as OBJ, MTL and IQM without a fault. An OBJ that
// is read holds whole triangles of finite values; an IQM that passes is walked the way raylib's
// loader walks it, so a read outside the file that the check let through is caught.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "project/model_check.h"

static uint32_t U32(const uint8_t *data, uint64_t at)
{
    uint32_t v;
    memcpy(&v, data + at, sizeof(v));
    return v;
}

// raylib copies n bytes at offset into a buffer of its own.
static void Copy(const uint8_t *data, uint64_t offset, uint64_t n)
{
    uint8_t *copy = (uint8_t *)malloc((size_t)n + 1);
    memcpy(copy, data + offset, (size_t)n);
    free(copy);
}

// raylib copies 32 bytes of a name and prints them: they must hold its end.
static void CopyName(const uint8_t *data, uint32_t ofsText, uint32_t name)
{
    char buf[32];
    memcpy(buf, data + (uint64_t)ofsText + name, sizeof(buf));
    if (memchr(buf, '\0', sizeof(buf)) == nullptr) abort();
}

static void WalkIqm(const uint8_t *d)
{
    const uint32_t ofsText = U32(d, 32), numMeshes = U32(d, 36), ofsMeshes = U32(d, 40);
    const uint32_t numArrays = U32(d, 44), numVertexes = U32(d, 48), ofsArrays = U32(d, 52);
    const uint32_t ofsTriangles = U32(d, 60), numJoints = U32(d, 68), ofsJoints = U32(d, 72);
    for (uint64_t m = ofsMeshes; m < ofsMeshes + 24ull * numMeshes; m += 24) {
        CopyName(d, ofsText, U32(d, m));
        CopyName(d, ofsText, U32(d, m + 4));
        uint32_t firstVertex = U32(d, m + 8), count = U32(d, m + 12), first = U32(d, m + 16);
        if ((uint64_t)firstVertex + count > numVertexes) abort();   // the arrays' copies would overrun
        for (uint64_t t = first; t < (uint64_t)first + U32(d, m + 20); t++) {
            for (uint64_t k = 0; k < 3; k++) {
                if (U32(d, ofsTriangles + 12 * t + 4 * k) - firstVertex >= count) abort();
            }
        }
    }
    static const int kReadBytes[7] = { 12, 8, 12, 0, 4, 4, 4 };
    for (uint64_t a = ofsArrays; a < ofsArrays + 20ull * numArrays; a += 20) {
        if (U32(d, a) < 7) Copy(d, U32(d, a + 16), (uint64_t)numVertexes * kReadBytes[U32(d, a)]);
    }
    for (uint64_t j = ofsJoints; j < ofsJoints + 48ull * numJoints; j += 48) CopyName(d, ofsText, U32(d, j));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (size_t)kModelFileMaxBytes) return 0;
    const int n = (int)size;
    ObjMesh mesh;
    int read = ObjParse(data, n, &mesh);
    if (!read && mesh.partCount != 0) abort();   // a refused file leaves nothing behind
    for (int i = 0; i < mesh.partCount; i++) {
        const ObjPart &p = mesh.parts[i];
        if (p.vertexCount % 3 != 0 || p.vertexCount > p.capacity) abort();
        for (int k = 0; k < 3 * p.vertexCount; k++) {
            if (!std::isfinite(p.positions[k]) || !std::isfinite(p.normals[k])) abort();
        }
    }
    ObjMeshFree(&mesh);
    ObjMaterialLib lib;
    ObjParseMaterials(data, n, &lib);
    if (ModelFileCheck(data, n, MODEL_IQM)) WalkIqm(data);
    return 0;
}
