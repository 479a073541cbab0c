// project_folder.cpp: working folders, file times and sample maps for the project tests.
#include "support/project_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include <unistd.h>
#include <utime.h>

#include "document/map_file.h"
#include "document/primitives.h"
#include "document/selection.h"
#include "document/undo.h"
#include "platform/platform.h"
#include "project/autosave.h"
#include "project/projects.h"

ProjectWorkFolder::ProjectWorkFolder()
{
    previous = std::filesystem::current_path().string();
    savedCount = gAutoSave.saveCount;
    std::filesystem::current_path(dir.path);
    ResetProjectState();
}

ProjectWorkFolder::~ProjectWorkFolder()
{
    std::filesystem::current_path(previous);
    ResetProjectState();
    gAutoSave.saveCount = savedCount;
}

void ResetProjectState(void)
{
    memset(&gProjects, 0, sizeof(gProjects));
    gProjects.selected = -1;
    snprintf(gProjects.currentName, sizeof(gProjects.currentName), "%s", "(none)");
    memset(&gMapBrowse, 0, sizeof(gMapBrowse));
    gAutoSave.enabled = true;
    gAutoSave.interval = kAutoSaveInterval;
    gAutoSave.timer = 0.0f;
    memset(&gAutoSave.kept, 0, sizeof(gAutoSave.kept));
    gMapDirty = false;
    gRecoverPrompt = false;
    gRecoverPath[0] = '\0';
    FreeUndoHistory();
    VtxClearActive();
}

std::string OpenTestProject(const char *name)
{
    ScanProjects();
    EXPECT_EQ(CreateProject(name), 1) << name;
    for (int i = 0; i < gProjects.count; i++) {
        if (strcmp(gProjects.entries[i].name, name) == 0) OpenProject(i);
    }
    EXPECT_STREQ(gProjects.currentName, name);
    return gProjects.currentPath;
}

void SetModTime(const std::string &path, long seconds)
{
    struct utimbuf times = { (time_t)seconds, (time_t)seconds };
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

void BuildCubes(MapDoc *map, int n)
{
    memset(map, 0, sizeof(*map));
    for (int i = 0; i < n; i++) {
        BrushInit(&map->brushes[i], 0, Vector3{ 3.0f * (float)i, 0.5f, 0.0f }, Vector3{ 1.0f, 1.0f, 1.0f }, -1);
        snprintf(map->brushes[i].name, sizeof(map->brushes[i].name), "Cube_%d", i);
    }
    map->brushCount = n;
}

void SaveMapAt(const std::string &path, const MapDoc &map, long seconds)
{
    ASSERT_EQ(SaveMapZIZUDU(path.c_str(), &map), 1) << path;
    SetModTime(path, seconds);
}

void WriteTextFile(const std::string &path, const std::string &text)
{
    WriteAllBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

void MakeTestMod(const std::string &name, const std::string &manifest,
                 std::initializer_list<std::pair<const char *, const char *>> scripts)
{
    PlatformMakeDir("mods");
    std::string dir = "mods/" + name;
    PlatformMakeDir(dir.c_str());
    WriteTextFile(dir + "/mod.txt", manifest);
    for (const auto &s : scripts) WriteTextFile(dir + "/" + s.first, s.second);
}
