// platform.cpp: folder creation and the font path on Windows and POSIX systems.
#include "editor/platform.h"

#include "raylib.h"

#if defined(_WIN32)
#include <direct.h>
#else
#include <sys/stat.h>
#include <sys/types.h>
#endif

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kFontCandidates[] = {
    "C:\\Windows\\Fonts\\tahoma.ttf",
    "/usr/share/wine/fonts/tahoma.ttf",                      // Debian fonts-wine, Tahoma's metrics
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",       // Debian fonts-dejavu-core
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PlatformMakeDir(const char *path)
{
#if defined(_WIN32)
    _mkdir(path);
#else
    mkdir(path, 0755);
#endif
}

const char *PlatformFontPath(void)
{
    for (const char *path : kFontCandidates) {
        if (FileExists(path)) return path;
    }
    return kFontCandidates[0];
}
