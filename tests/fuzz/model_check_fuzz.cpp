// Fuzzes the model check: any bytes are judged as OBJ, MTL, IQM and glTF (or GLB, told by its
// magic) without a fault. An OBJ that is read holds whole triangles of finite values; an IQM or a
// glTF that passes is walked the way raylib's loader walks it, so a read outside the file or its
// buffers that the check let through is caught.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cgltf.h"
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

static volatile uint8_t gSink;

static void Touch(const uint8_t *p, size_t n)
{
    uint8_t bytes[8];
    memcpy(bytes, p, n);
    gSink = gSink ^ bytes[0];
}

// raylib's attribute copy: the view's and the accessor's offsets and the stride are each cut to
// whole components, and the stride to an int.
static void ReadAttribute(const cgltf_accessor *a)
{
    if (a->buffer_view == nullptr || a->buffer_view->buffer->data == nullptr) abort();
    const size_t s = cgltf_component_size(a->component_type), comps = cgltf_num_components(a->type);
    if (s == 0 || s > 8) abort();
    const uint8_t *base = (const uint8_t *)a->buffer_view->buffer->data + s * (a->buffer_view->offset / s + a->offset / s);
    long long n = 0;
    for (cgltf_size k = 0; k < a->count; k++) {
        for (size_t l = 0; l < comps; l++) Touch(base + s * (n + (long long)l), s);
        n += (int)(a->stride / s);
    }
}

static void WalkGltf(const uint8_t *d, size_t size)
{
    cgltf_options options = {};
    cgltf_data *gltf = nullptr;
    if (cgltf_parse(&options, d, size, &gltf) != cgltf_result_success) abort();
    if (cgltf_load_buffers(&options, gltf, nullptr) != cgltf_result_success) abort();
    for (cgltf_size i = 0; i < gltf->nodes_count; i++) {
        const cgltf_mesh *mesh = gltf->nodes[i].mesh;
        for (cgltf_size p = 0; mesh && p < mesh->primitives_count; p++) {
            const cgltf_primitive *prim = &mesh->primitives[p];
            if (prim->type != cgltf_primitive_type_triangles) continue;
            cgltf_size vertices = 0;   // raylib sizes the joints and weights by the positions
            for (cgltf_size a = 0; a < prim->attributes_count; a++) {
                ReadAttribute(prim->attributes[a].data);
                const cgltf_accessor *at = prim->attributes[a].data;
                bool readable = at->type == cgltf_type_vec3 && (at->component_type == cgltf_component_type_r_32f ||
                                at->component_type == cgltf_component_type_r_16u || at->component_type == cgltf_component_type_r_16);
                if (prim->attributes[a].type == cgltf_attribute_type_position && readable && vertices == 0) vertices = at->count;
            }
            for (cgltf_size a = 0; a < prim->attributes_count; a++) {
                if (prim->attributes[a].data->count != vertices) abort();
            }
            if (prim->indices == nullptr || prim->indices->buffer_view == nullptr) continue;
            ReadAttribute(prim->indices);
            for (cgltf_size k = 0; k < prim->indices->count; k++) {
                if (cgltf_accessor_read_index(prim->indices, k) >= vertices) abort();
            }
        }
    }
    for (cgltf_size i = 0; i < gltf->images_count; i++) {   // copied byte by byte at the view's stride
        const cgltf_image *image = &gltf->images[i];
        if (image->uri || !image->buffer_view || !image->buffer_view->buffer->data) continue;
        if (image->mime_type == nullptr) abort();
        const cgltf_buffer_view *v = image->buffer_view;
        for (cgltf_size k = 0; k < v->size; k++) Touch((const uint8_t *)v->buffer->data + v->offset + k * (v->stride ? v->stride : 1), 1);
    }
    cgltf_free(gltf);
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
    if (ModelFileCheck(data, n, MODEL_IQM, nullptr)) WalkIqm(data);
    if (ModelFileCheck(data, n, MODEL_GLTF, nullptr)) WalkGltf(data, size);
    return 0;
}
