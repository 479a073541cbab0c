// Throughput of cutting and subdividing brushes: every primitive clipped by 10,000 random planes,
// and brushes subdivided until they reach their capacity. Prints operations per second.
#include <cstdio>
#include <cstring>
#include <random>

#include "bench/bench_clock.h"
#include "document/brush_geometry.h"
#include "document/clip.h"
#include "document/primitives.h"
#include "document/topology.h"

constexpr int kPlanesPerShape = 10000;
constexpr int kSubdivideRounds = 2000;

int main()
{
    static Brush front, back;
    std::mt19937 rng(42);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    printf("%-10s %10s %8s %14s\n", "shape", "planes", "cuts", "clips/s");
    for (int shape = 0; shape < kBrushShapeCount; shape++) {
        Brush b;
        BrushInit(&b, shape, Vector3{ 0, 0, 0 }, Vector3{ 3, 2, 4 }, -1);
        int cuts = 0;
        double start = NowMs();
        for (int i = 0; i < kPlanesPerShape; i++) {
            Vector3 n = Vector3Normalize(Vector3{ unit(rng), unit(rng), unit(rng) });
            Vector3 p = { 1.5f * unit(rng), unit(rng), 2.0f * unit(rng) };
            if (BrushClip(&b, n, Vector3DotProduct(n, p), &front, &back) == 3) cuts++;
        }
        double s = (NowMs() - start) / 1000.0;
        printf("%-10s %10d %8d %14.0f\n", kShapeName[shape], kPlanesPerShape, cuts, kPlanesPerShape / s);
    }

    // Subdividing to capacity: whole-brush passes until the brush refuses, then single faces.
    static MapDoc map;
    printf("\n%-10s %10s %14s\n", "shape", "rounds", "subdivides/s");
    for (int shape = 0; shape < kBrushShapeCount; shape++) {
        long ops = 0;
        double start = NowMs();
        for (int round = 0; round < kSubdivideRounds; round++) {
            map.brushCount = 1;
            BrushInit(&map.brushes[0], shape, Vector3{ 0, 0, 0 }, Vector3{ 2, 2, 2 }, -1);
            while (SubdivideBrush(&map, 0)) ops++;
            for (int f = 0; f < map.brushes[0].faceCount; f++)
                if (BrushSubdivideFace(&map.brushes[0], f) > 0) ops++;
        }
        double s = (NowMs() - start) / 1000.0;
        printf("%-10s %10d %14.0f\n", kShapeName[shape], kSubdivideRounds, ops / s);
    }
    return 0;
}
