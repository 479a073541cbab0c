// platform.h: everything that differs between operating systems.
#pragma once

// Creates one folder; the result is not reported (an existing folder is fine).
void PlatformMakeDir(const char *path);
// The interface font file: the Windows font first, then free fonts of the same metrics, then
// DejaVu Sans. Returns the Windows path when none exists, so the load fails the usual way.
const char *PlatformFontPath(void);
