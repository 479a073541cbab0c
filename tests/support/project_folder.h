// project_folder.h: a working folder of its own for the project, autosave and dialog tests.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>

#include "document/map_records.h"
#include "support/map_bytes.h"

// The test runs inside a fresh temporary folder with the project list, the map list, the autosave
// state and the undo history as at start-up; the previous folder and the run's autosave count
// come back when it ends.
struct ProjectWorkFolder {
    TempFolder dir;
    std::string previous;
    int savedCount;
    ProjectWorkFolder();
    ~ProjectWorkFolder();
};

// Project list, map list, autosave and recovery state as at start-up (saveCount is kept: it
// counts the whole run).
void ResetProjectState(void);
// Creates the project folder "projects/<name>" with its sub-folders and opens it; returns its path.
std::string OpenTestProject(const char *name);
// Sets a file's modification time, in whole seconds.
void SetModTime(const std::string &path, long seconds);
// A map of n cube brushes and no entities.
void BuildCubes(MapDoc *map, int n);
// Saves map to path and sets its modification time; fails the test when the save fails.
void SaveMapAt(const std::string &path, const MapDoc &map, long seconds);
// Writes text to a file, replacing it.
void WriteTextFile(const std::string &path, const std::string &text);
// A mod folder "mods/<name>" in the working folder with its manifest and (file, text) scripts.
void MakeTestMod(const std::string &name, const std::string &manifest,
                 std::initializer_list<std::pair<const char *, const char *>> scripts);
