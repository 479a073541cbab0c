// file_replace.cpp: the one file operation whose behaviour differs between operating systems.
//
// Kept apart from the map file code because the Windows header cannot share a file with raylib's.
#include "document/file_replace.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

int FileReplace(const char *from, const char *to)
{
#ifdef _WIN32
    // rename() refuses an existing target on Windows; this call replaces it instead.
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
#else
    return rename(from, to) == 0 ? 1 : 0;   // atomic over an existing file on POSIX systems
#endif
}
