// map_bytes.cpp: byte builders, temporary folders and sample maps for the file-handling tests.
#include "support/map_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif
#include <sys/stat.h>
#include <unistd.h>

#include "document/primitives.h"

MapBytes &MapBytes::I32(int32_t x)
{
    uint32_t u = (uint32_t)x;
    for (int i = 0; i < 4; i++) v.push_back((uint8_t)(u >> (8 * i)));
    return *this;
}

MapBytes &MapBytes::F32(float x)
{
    int32_t bits;
    memcpy(&bits, &x, 4);
    return I32(bits);
}

MapBytes &MapBytes::U8(uint8_t x)
{
    v.push_back(x);
    return *this;
}

MapBytes &MapBytes::Vec3(Vector3 x)
{
    return F32(x.x).F32(x.y).F32(x.z);
}

MapBytes &MapBytes::Colour(Color c)
{
    return U8(c.r).U8(c.g).U8(c.b).U8(c.a);
}

MapBytes &MapBytes::Name(const char *text)
{
    char buf[kNameLen] = {};
    memcpy(buf, text, strnlen(text, kNameLen));
    return Raw(buf, kNameLen);
}

MapBytes &MapBytes::Raw(const void *p, size_t n)
{
    const uint8_t *b = (const uint8_t *)p;
    v.insert(v.end(), b, b + n);
    return *this;
}

TempFolder::TempFolder()
{
    static int serial = 0;
    path = (std::filesystem::temp_directory_path() /
            ("kirto_test_" + std::to_string((long)getpid()) + "_" + std::to_string(serial++))).string();
    std::filesystem::create_directories(path);
}

TempFolder::~TempFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

std::string TempFolder::File(const char *name) const
{
    return path + "/" + name;
}

#if !defined(_WIN32)
OneMoreOpenFile::OneMoreOpenFile()
{
    struct rlimit limit;
    getrlimit(RLIMIT_NOFILE, &limit);
    softLimit = limit.rlim_cur;
    // The lowest free descriptor is the one the next open takes; the one after it lies beyond.
    int lowest = open("/dev/null", O_RDONLY | O_CLOEXEC);
    close(lowest);
    limit.rlim_cur = (rlim_t)lowest + 1;
    setrlimit(RLIMIT_NOFILE, &limit);
}

OneMoreOpenFile::~OneMoreOpenFile()
{
    struct rlimit limit;
    getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = (rlim_t)softLimit;
    setrlimit(RLIMIT_NOFILE, &limit);
}
#endif

std::vector<uint8_t> ReadAllBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAllBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write((const char *)bytes.data(), (std::streamsize)bytes.size());
}

bool FileExists(const std::string &path)
{
    return std::filesystem::exists(path);
}

#if !defined(_WIN32)
void MakeFifo(const std::string &path)
{
    ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;
}
#endif

std::vector<std::string> FolderNames(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void NormaliseAsLoaded(MapDoc *map)
{
    for (int b = 0; b < map->brushCount; b++) map->brushes[b].hidden = 0;
    for (int e = 0; e < map->entityCount; e++) {
        map->entities[e].hidden = 0;
        map->entities[e].tint = Color{ 255, 255, 255, 255 };
    }
}

void BuildFullMap(MapDoc *map)
{
    memset(map, 0, sizeof(*map));
    for (int b = 0; b < kMaxBrushes; b++) {
        Brush *brush = &map->brushes[b];
        float s = (float)b;
        BrushInit(brush, b % kBrushShapeCount, Vector3{ s, -s * 0.5f, s * 0.25f },
                  Vector3{ 1.0f + (float)(b % 7), 2.0f + (float)(b % 3), 1.5f }, b % 11 - 1);
        snprintf(brush->name, kNameLen, "Brush_%d", b);
        brush->rotation = Vector3{ s * 1.5f, -s, s * 0.125f };
        brush->colour = Color{ (uint8_t)b, (uint8_t)(255 - b), (uint8_t)(b * 3), (uint8_t)(b | 1) };
        brush->physics = (uint8_t)(b & 1);
        brush->mass = 10.0f + s;
        brush->friction = s / 256.0f;
        brush->bounce = 1.0f - s / 512.0f;
        brush->hidden = (uint8_t)(b % 3 == 0);
        for (int f = 0; f < brush->faceCount; f++) {
            BrushFace *face = &brush->faces[f];
            face->texture = (b + f) % 9 - 1;
            face->uvScale[0] = 0.5f + f;
            face->uvScale[1] = 3.0f - f * 0.25f;
            face->uvOffset[0] = -0.125f * f;
            face->uvOffset[1] = 0.375f * b;
            face->uvRotation = (float)(15 * f - 90);
            face->projection = (uint8_t)(f % kProjectionCount);
            face->flipU = (uint8_t)(f & 1);
            face->flipV = (uint8_t)((f >> 1) & 1);
            face->tint = Color{ (uint8_t)f, (uint8_t)b, (uint8_t)(b ^ f), (uint8_t)(1 + (b + f) % 255) };
        }
    }
    map->brushCount = kMaxBrushes;
    for (int e = 0; e < kMaxEntities; e++) {
        Entity *ent = &map->entities[e];
        float s = (float)e;
        ent->kind = e % kEntityKindCount;
        snprintf(ent->name, kNameLen, "Entity_%d", e);
        snprintf(ent->className, kNameLen, "%s", kEntityKindName[ent->kind]);
        ent->position = Vector3{ -s, s * 2.0f, s * 0.5f };
        ent->rotation = Vector3{ s - 90.0f, s * 1.25f - 180.0f, s * 0.1f };
        ent->scale = 0.5f + s / 64.0f;
        ent->model = e % 33 - 1;
        ent->texture = e % 65 - 1;
        ent->lightColour = Color{ (uint8_t)(e * 5), (uint8_t)e, (uint8_t)(255 - e), (uint8_t)(e * 7) };
        ent->brightness = s / 100.0f;
        ent->range = 20.0f + s;
        ent->innerCone = 25.0f + s / 10.0f;
        ent->outerCone = 45.0f + s / 10.0f;
        ent->castsLight = (uint8_t)(e & 1);
        ent->physics = (uint8_t)((e >> 1) & 1);
        ent->mass = 10.0f + s;
        ent->hidden = (uint8_t)(e % 4 == 0);
        ent->tint = Color{ 1, 2, 3, 4 };
    }
    map->entityCount = kMaxEntities;
}
