// platform_internal.h: what the module's shared part and its two system parts (platform_posix.cpp,
// platform_win32.cpp) hand each other; nothing outside platform/ includes it.
#pragma once

#include <cstddef>

// A save's temporary file is "<name>.<8 hex digits>.tmp": made by PlatformCreateTemp, recognised
// by PlatformRemoveStaleTemps.
constexpr int kTempTagDigits = 8;
constexpr char kTempEnding[] = ".tmp";

// Eight hex digits that differ between processes (pid), runs and calls, so a name is rarely taken
// and a taken one costs one more attempt.
unsigned PlatformTempTag(unsigned pid);
// The folder that holds path ("." for a bare name, the root for a name at the root) written into
// folder; the name that follows it in path, or nullptr when the folder does not fit.
const char *PlatformSplitFolder(const char *path, char *folder, size_t folderSize);
// 1 when the real path real is folder itself or lies beneath it.
int PlatformPathInsideFolder(const char *real, const char *folder);
// 1 for "<name>.<8 hex digits>.tmp" with a name of at least one character, as PlatformCreateTemp
// makes them.
int PlatformIsSaveTempName(const char *name);
// Notes a close request from a signal handler or the system's own close events.
void PlatformNoteCloseRequest(void);
// Runs the rescue PlatformSetExitRescue holds, at most once: at exit, or when the session ends.
void PlatformRunExitRescue(void);
