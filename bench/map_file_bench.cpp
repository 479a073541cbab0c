// Save and load of a full map beside a raw fwrite and fread of the same number of bytes.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench_clock.h"
#include "document/map_file.h"
#include "document/primitives.h"

static constexpr int kRuns = 50;

static MapDoc sMap, sLoaded;

// Every brush as large as a brush can be, so the file is the largest a map makes.
static void BuildLargestMap(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    for (int b = 0; b < kMaxBrushes; b++) {
        Brush *brush = &map->brushes[b];
        snprintf(brush->name, kNameLen, "Brush_%d", b);
        brush->vertCount = kMaxBrushVerts;
        for (int i = 0; i < kMaxBrushVerts; i++) brush->verts[i] = Vector3{ (float)i, (float)b, 0.5f };
        brush->faceCount = kMaxBrushFaces;
        for (int f = 0; f < kMaxBrushFaces; f++) {
            brush->faces[f].count = kMaxFaceCorners;
            for (int c = 0; c < kMaxFaceCorners; c++) brush->faces[f].indices[c] = (f + c) % kMaxBrushVerts;
            FaceInitDefaults(&brush->faces[f], -1);
        }
    }
    map->brushCount = kMaxBrushes;
    for (int e = 0; e < kMaxEntities; e++) snprintf(map->entities[e].name, kNameLen, "Entity_%d", e);
    map->entityCount = kMaxEntities;
}

int main(void)
{
    const char *path = "map_file_bench.zizudu";
    const char *rawPath = "map_file_bench.raw";
    BuildLargestMap(&sMap);
    if (!SaveMapZIZUDU(path, &sMap)) {
        printf("save failed\n");
        return 1;
    }
    FILE *f = fopen(path, "rb");
    std::vector<unsigned char> bytes(kMaxMapFileBytes + 1);
    size_t size = fread(bytes.data(), 1, bytes.size(), f);
    fclose(f);

    std::vector<double> save, load, rawWrite, rawRead;
    for (int run = 0; run < kRuns; run++) {
        double t0 = NowMs();
        SaveMapZIZUDU(path, &sMap);
        double t1 = NowMs();
        LoadMapZIZUDU(path, &sLoaded);
        double t2 = NowMs();
        FILE *w = fopen(rawPath, "wb");
        fwrite(bytes.data(), 1, size, w);
        fclose(w);
        double t3 = NowMs();
        FILE *r = fopen(rawPath, "rb");
        size_t got = fread(bytes.data(), 1, size, r);
        fclose(r);
        double t4 = NowMs();
        if (got != size) return 1;
        save.push_back(t1 - t0);
        load.push_back(t2 - t1);
        rawWrite.push_back(t3 - t2);
        rawRead.push_back(t4 - t3);
    }
    printf("full map file: %zu bytes, median of %d runs\n", size, kRuns);
    printf("  SaveMapZIZUDU  %8.3f ms   raw fwrite %8.3f ms   ratio %.2f (target 3)\n", Median(save),
           Median(rawWrite), Median(save) / Median(rawWrite));
    printf("  LoadMapZIZUDU  %8.3f ms   raw fread  %8.3f ms   ratio %.2f (target 3)\n", Median(load),
           Median(rawRead), Median(load) / Median(rawRead));
    remove(path);
    remove(rawPath);
    return 0;
}
