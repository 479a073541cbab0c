// file_replace.h: putting a finished file in place of another one.
#pragma once

// Moves the file at `from` over the file at `to`, replacing it in one step where the system
// allows; returns 1, or 0 with both files as they were.
int FileReplace(const char *from, const char *to);
