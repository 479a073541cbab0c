// ".zizudu" files the loader must refuse, each leaving the open map exactly as it was.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

#include "document/map_file.h"
#include "document/primitives.h"
#include "support/map_bytes.h"

namespace {

// The values a current file declares; each rejection case breaks one of them.
struct FileLayout {
    int32_t brushCount = 1;
    int32_t vertCount = 4;
    int32_t faceCount = 1;
    int32_t corners = 3;
    int32_t firstIndex = 0;
    int32_t lastIndex = 3;
    int32_t entityCount = 1;
};

// A version-3 file of one brush of 4 vertices with one face, and one entity, as the layout declares.
MapBytes CurrentFile(const FileLayout &s)
{
    MapBytes f;
    f.Raw("ZIZUDU2", 8).I32(3).I32(s.brushCount);
    f.Name("B").Vec3({}).Vec3({}).Vec3({ 1, 1, 1 }).Colour({ 1, 2, 3, 4 }).I32(-1).I32(0).U8(0);
    f.F32(10).F32(0.5f).F32(0.2f).I32(s.vertCount);
    // Four vertices, or as many as a smaller count declares.
    for (int i = 0; i < 4 && i < s.vertCount; i++) f.Vec3({ (float)(i & 1), (float)(i >> 1), 0 });
    f.I32(s.faceCount);
    f.I32(s.corners);
    if (s.corners > 0) f.I32(s.firstIndex);
    for (int c = 1; c + 1 < s.corners && c < 16; c++) f.I32(1);
    if (s.corners > 1) f.I32(s.lastIndex);
    f.I32(-1).F32(2).F32(2).F32(0).F32(0).F32(0).U8(0).U8(0).U8(0).Colour({ 255, 255, 255, 255 });
    f.I32(s.entityCount);
    f.Name("E").Name("generic").Vec3({}).Vec3({}).F32(1).I32(-1).I32(-1).I32(0).Colour({ 255, 255, 255, 255 });
    f.F32(1).F32(20).F32(25).F32(45).U8(0).U8(0).F32(10);
    return f;
}

struct MapRejectTest : ::testing::Test {
    TempFolder dir;
    std::string path = dir.File("bad.zizudu");
    std::unique_ptr<MapDoc> map{ new MapDoc() };
    std::unique_ptr<MapDoc> before{ new MapDoc() };
    void SetUp() override
    {
        // An open map with content in every part a failed load could damage.
        BrushInit(&map->brushes[0], SHAPE_CYLINDER, Vector3{ 1, 2, 3 }, Vector3{ 2, 2, 2 }, 0);
        BrushInit(&map->brushes[1], SHAPE_CUBE, Vector3{ 0, 0, 0 }, Vector3{ 1, 1, 1 }, 0);
        map->brushCount = 2;
        snprintf(map->entities[0].name, kNameLen, "Sun");
        map->entityCount = 1;
        memcpy(before.get(), map.get(), sizeof(MapDoc));
    }
    void ExpectRejected(const std::vector<uint8_t> &bytes, const char *what)
    {
        WriteAllBytes(path, bytes);
        EXPECT_EQ(LoadMapZIZUDU(path.c_str(), map.get()), 0) << what;
        EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0) << what << ": the map changed";
    }
};

TEST_F(MapRejectTest, ValidReferenceFileLoads)
{
    FileLayout s;
    WriteAllBytes(path, CurrentFile(s).v);
    ASSERT_EQ(LoadMapZIZUDU(path.c_str(), map.get()), 1);
    EXPECT_EQ(map->brushCount, 1);
    EXPECT_EQ(map->brushes[0].faces[0].indices[2], 3);   // an index one below the vertex count passes
    s.corners = 0;                                       // faces of 0 to 2 corners are the check's business
    WriteAllBytes(path, CurrentFile(s).v);
    EXPECT_EQ(LoadMapZIZUDU(path.c_str(), map.get()), 1);
    s.corners = 16;
    WriteAllBytes(path, CurrentFile(s).v);
    EXPECT_EQ(LoadMapZIZUDU(path.c_str(), map.get()), 1);
}

TEST_F(MapRejectTest, EveryValidationRule)
{
    struct Case { const char *what; FileLayout layout; };
    std::vector<Case> cases;
    auto add = [&](const char *what, void (*change)(FileLayout &)) {
        FileLayout s;
        change(s);
        cases.push_back({ what, s });
    };
    add("brush count -1", [](FileLayout &s) { s.brushCount = -1; });
    add("brush count 257", [](FileLayout &s) { s.brushCount = 257; });
    add("brush count past the data", [](FileLayout &s) { s.brushCount = 2; });
    add("vertex count -1", [](FileLayout &s) { s.vertCount = -1; });
    add("vertex count 65", [](FileLayout &s) { s.vertCount = 65; });
    add("face count -1", [](FileLayout &s) { s.faceCount = -1; });
    add("face count 49", [](FileLayout &s) { s.faceCount = 49; });
    add("corner count -1", [](FileLayout &s) { s.corners = -1; });
    add("corner count 17", [](FileLayout &s) { s.corners = 17; });
    add("face index -1", [](FileLayout &s) { s.firstIndex = -1; });
    add("face index = vertex count", [](FileLayout &s) { s.lastIndex = 4; });
    add("face index INT32_MIN", [](FileLayout &s) { s.lastIndex = INT32_MIN; });
    add("face index INT32_MAX", [](FileLayout &s) { s.lastIndex = INT32_MAX; });
    add("face index 0 of no vertices", [](FileLayout &s) { s.vertCount = 0; });
    add("16th corner = vertex count", [](FileLayout &s) {
        s.corners = 16;
        s.lastIndex = 4;
    });
    add("entity count -1", [](FileLayout &s) { s.entityCount = -1; });
    add("entity count 257", [](FileLayout &s) { s.entityCount = 257; });
    add("entity count past the data", [](FileLayout &s) { s.entityCount = 2; });
    for (const Case &c : cases) ExpectRejected(CurrentFile(c.layout).v, c.what);

    // The headerless version's own counts.
    const int32_t badCounts[][2] = { { -1, 0 }, { 257, 0 }, { 0, -1 }, { 0, 257 }, { 1, 0 }, { 0, 1 } };
    for (const auto &n : badCounts) {
        MapBytes f;
        f.I32(n[0]).I32(n[1]);
        ExpectRejected(f.v, "headerless counts");
    }
    ExpectRejected(std::vector<uint8_t>(5, 0), "five bytes");
    ExpectRejected({}, "empty file");
    ExpectRejected(std::vector<uint8_t>{ 'Z', 'I', 'Z', 'U', 'D', 'U', '2', 0, 3, 0, 0 }, "header cut in the version");
    EXPECT_EQ(LoadMapZIZUDU(dir.File("missing.zizudu").c_str(), map.get()), 0);
    EXPECT_EQ(LoadMapZIZUDU(dir.path.c_str(), map.get()), 0);   // a folder is not a map
    EXPECT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0);
}

TEST_F(MapRejectTest, EveryTruncationOfEveryVersion)
{
    // A few brushes of every shape and a few entities, in the current layout ...
    std::unique_ptr<MapDoc> sample(new MapDoc());
    BuildFullMap(sample.get());
    sample->brushCount = kBrushShapeCount;
    sample->entityCount = 2;
    std::string source = dir.File("sample.zizudu");
    ASSERT_EQ(SaveMapZIZUDU(source.c_str(), sample.get()), 1);
    std::vector<std::vector<uint8_t>> files = { ReadAllBytes(source) };
    // ... in the short-face layout (one brush, one entity) and headerless.
    MapBytes shortFaces = CurrentFile(FileLayout{});
    shortFaces.v[8] = 2;
    shortFaces.v.erase(shortFaces.v.end() - 4 - kMapEntityBytes - 7, shortFaces.v.end() - 4 - kMapEntityBytes);
    files.push_back(shortFaces.v);
    MapBytes v1;
    v1.I32(1).I32(1).Raw(std::vector<uint8_t>(kMapV1BrushBytes, 0).data(), kMapV1BrushBytes);
    v1.Raw(std::vector<uint8_t>(kMapV1EntityBytes, 0).data(), kMapV1EntityBytes);
    files.push_back(v1.v);

    for (const std::vector<uint8_t> &whole : files) {
        WriteAllBytes(path, whole);
        ASSERT_EQ(LoadMapZIZUDU(path.c_str(), map.get()), 1);   // the whole file is good ...
        memcpy(map.get(), before.get(), sizeof(MapDoc));
        for (size_t n = 0; n < whole.size(); n++) {          // ... and no shorter piece of it is
            std::vector<uint8_t> cut(whole.begin(), whole.begin() + (std::ptrdiff_t)n);
            WriteAllBytes(path, cut);
            ASSERT_EQ(LoadMapZIZUDU(path.c_str(), map.get()), 0) << "cut at " << n << " of " << whole.size();
            ASSERT_EQ(memcmp(before.get(), map.get(), sizeof(MapDoc)), 0) << "cut at " << n;
        }
    }
}

}  // namespace

TEST_F(MapRejectTest, ARefusedLoadKeepsItsReason)
{
    FileLayout lastIndexPast, tooManyBrushes;
    lastIndexPast.lastIndex = 4;
    tooManyBrushes.brushCount = 257;
    MapBytes headerless;
    headerless.I32(1).I32(0);
    const struct { std::vector<uint8_t> bytes; const char *reason; } cases[] = {
        { CurrentFile(lastIndexPast).v, "face index out of range" },
        { CurrentFile(tooManyBrushes).v, "brush count out of range" },
        { std::vector<uint8_t>{ 'Z', 'I', 'Z', 'U', 'D', 'U', '2', 0, 3, 0 }, "file cut short" },
        { headerless.v, "file cut short" },
    };
    for (const auto &c : cases) {
        ExpectRejected(c.bytes, c.reason);
        EXPECT_STREQ(MapFileReason(), c.reason);
    }
    EXPECT_EQ(LoadMapZIZUDU(dir.path.c_str(), map.get()), 0);
    EXPECT_STREQ(MapFileReason(), "not a regular file");
}

TEST_F(MapRejectTest, ANonFiniteNumberInAnyFieldIsRefused)
{
    const std::vector<uint8_t> good = CurrentFile(FileLayout{}).v;
    const size_t brush = kMapHeaderBytes, face = brush + kMapBrushFixedBytes + 12 * 4;
    const size_t entity = good.size() - kMapEntityBytes;
    // Brush origin x, size y, bounce, last vertex z; face scale u, rotation; entity position x, scale, mass.
    const size_t fields[] = { brush + 32, brush + 60, brush + 89, brush + 97 + 12 * 3 + 8, face + 20, face + 36,
                              entity + 64, entity + 88, entity + 126 };
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    std::vector<std::vector<uint8_t>> files;
    for (size_t at : fields) {
        for (float value : { nan, inf, -inf }) {
            files.push_back(good);
            memcpy(&files.back()[at], &value, 4);
        }
    }
    files.push_back(std::vector<uint8_t>(8 + kMapV1BrushBytes, 0));   // headerless: one brush of size inf
    files.back()[0] = 1;
    memcpy(&files.back()[8 + 12], &inf, 4);
    for (const std::vector<uint8_t> &bytes : files) {
        ExpectRejected(bytes, "a float field");
        EXPECT_STREQ(MapFileReason(), "not a finite number");
    }
}
