// Fuzzes the map loader: any bytes either load into a map that saves and reloads unchanged, or
// are refused with the open map left exactly as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "document/map_file.h"

static const char *kInputPath = "map_file_fuzz_input.zizudu";
static const char *kResavePath = "map_file_fuzz_resave.zizudu";

static MapDoc sMap, sBefore, sReloaded;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FILE *f = fopen(kInputPath, "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);

    // A recognisable open map that a refused load must not touch.
    memset(&sMap, 0x5A, sizeof(sMap));
    sMap.brushCount = 3;
    sMap.entityCount = 2;
    memcpy(&sBefore, &sMap, sizeof(sMap));

    if (!LoadMapZIZUDU(kInputPath, &sMap)) {
        if (memcmp(&sMap, &sBefore, sizeof(sMap)) != 0) abort();   // a refused file changed the map
        return 0;
    }
    // Whatever loads must save (the loader and the writer accept the same maps) and load back equal.
    if (!SaveMapZIZUDU(kResavePath, &sMap)) abort();
    memcpy(&sReloaded, &sMap, sizeof(sMap));
    if (!LoadMapZIZUDU(kResavePath, &sReloaded)) abort();
    if (sReloaded.brushCount != sMap.brushCount || sReloaded.entityCount != sMap.entityCount) abort();
    if (memcmp(sReloaded.brushes, sMap.brushes, sizeof(Brush) * (size_t)sMap.brushCount) != 0) abort();
    if (memcmp(sReloaded.entities, sMap.entities, sizeof(Entity) * (size_t)sMap.entityCount) != 0) abort();
    return 0;
}
