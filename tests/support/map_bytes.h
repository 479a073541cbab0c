// map_bytes.h: map files built byte by byte, sample maps, a temporary folder and file helpers, for
// the map file, project, autosave and dialog tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "document/map_records.h"

// A little-endian byte string, written field by field in the order a test lists them.
struct MapBytes {
    std::vector<uint8_t> v;
    MapBytes &I32(int32_t x);
    MapBytes &F32(float x);
    MapBytes &U8(uint8_t x);
    MapBytes &Vec3(Vector3 x);
    MapBytes &Colour(Color c);
    MapBytes &Name(const char *text);      // 32 bytes: the text, then NULs
    MapBytes &Raw(const void *p, size_t n);
};

// A fresh folder for one test's files, removed with its files when the test ends.
struct TempFolder {
    std::string path;
    TempFolder();
    ~TempFolder();
    std::string File(const char *name) const;
};

#if !defined(_WIN32)
// While it lives, the process may open one more file and no second: a save's temporary file is
// made, and the flush of its folder afterwards cannot open the folder (too many open files).
struct OneMoreOpenFile {
    unsigned long long softLimit;
    OneMoreOpenFile();
    ~OneMoreOpenFile();
};
#endif

std::vector<uint8_t> ReadAllBytes(const std::string &path);
void WriteAllBytes(const std::string &path, const std::vector<uint8_t> &bytes);
bool FileExists(const std::string &path);
#if !defined(_WIN32)
// Makes a named pipe at path: a special file that blocks whoever opens it to read.
void MakeFifo(const std::string &path);
#endif
// The names in a folder, sorted; links and folders count as names too.
std::vector<std::string> FolderNames(const std::string &dir);

// The map as a load gives it back: hidden flags cleared, entity tints white.
void NormaliseAsLoaded(MapDoc *map);
// A map with 256 brushes of every shape and 256 entities, every stored field set to varied values.
void BuildFullMap(MapDoc *map);
