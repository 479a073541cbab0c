// PushUndoState of a full map beside a plain memcpy of one MapDoc.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/bench_clock.h"
#include "document/primitives.h"
#include "document/undo.h"

static constexpr int kRuns = 2000;

static MapDoc sMap, sCopy;

int main(void)
{
    for (int b = 0; b < kMaxBrushes; b++) {
        BrushInit(&sMap.brushes[b], b % kBrushShapeCount, Vector3{ (float)b, 0, 0 }, Vector3{ 1, 1, 1 }, -1);
    }
    sMap.brushCount = kMaxBrushes;
    sMap.entityCount = kMaxEntities;
    for (int i = 0; i < kUndoSlots; i++) PushUndoState(&sMap);   // every slot allocated and touched

    double push = 0, copy = 0;
    for (int run = 0; run < kRuns; run++) {
        sMap.brushes[run % kMaxBrushes].origin.x += 1.0f;        // an edit between snapshots
        double t0 = NowMs();
        PushUndoState(&sMap);
        double t1 = NowMs();
        memcpy(&sCopy, &sMap, sizeof(MapDoc));
        double t2 = NowMs();
        push += t1 - t0;
        copy += t2 - t1;
    }
    printf("MapDoc: %zu bytes, mean of %d runs\n", sizeof(MapDoc), kRuns);
    printf("  PushUndoState  %8.4f ms   memcpy %8.4f ms   ratio %.2f (target 2)   (check %d)\n", push / kRuns,
           copy / kRuns, push / copy, (int)sCopy.brushes[0].origin.x);
    FreeUndoHistory();
    return 0;
}
