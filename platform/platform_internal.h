// platform_internal.h: what the module's shared part and its two system parts (platform_posix.cpp,
// platform_win32.cpp) hand each other; nothing outside platform/ includes it.
#pragma once

#include <cstddef>

// A save's temporary file is "<name>.kirto-save-<8 hex digits>.tmp": made by PlatformCreateTemp,
// recognised by PlatformRemoveStaleTemps. The marker keeps the clean-up off the user's own files
// (a "notes.20240115.tmp" is never taken for one), and a save to such a name is refused.
constexpr char kTempMarker[] = ".kirto-save-";
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
// The temporary name of a save to path with the given tag written into out; 1, or 0 with errno
// set when it does not fit.
int PlatformTempName(const char *path, unsigned tag, char *out, size_t outSize);
// Notes a close request from a signal handler or the system's own close events.
void PlatformNoteCloseRequest(void);
// Runs the rescue PlatformSetExitRescue holds, at most once: at exit, or when the session ends.
void PlatformRunExitRescue(void);
