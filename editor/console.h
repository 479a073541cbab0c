// console.h: the ring of the last 600 log and status lines.
//
// Library log lines arrive through KirtoTraceLog, which also writes them to standard output;
// status lines are pushed once per frame when they change. The console window that lists them is
// editor/windows/console_window.
#pragma once

#include <cstdarg>
#include "raylib.h"

enum ConsoleLevel { CONSOLE_EDITOR = 0, CONSOLE_INFO = 1, CONSOLE_WARN = 2, CONSOLE_ERROR = 3 };

constexpr int kConsoleLines = 600;
constexpr int kConsoleLineLen = 200;   // 199 characters plus NUL

struct ConsoleLine {
    char text[kConsoleLineLen];
    int level;                         // ConsoleLevel
};

struct ConsoleLog {
    ConsoleLine lines[kConsoleLines];
    int count;                         // lines held, 0..600
    int head;                          // slot the next line goes to
    bool open;                         // the window is shown
    float scroll;                      // visible lines skipped at the bottom, from the newest
    bool follow;                       // a new line resets scroll to 0
    bool showInfo, showWarn, showError, showEditor;
    int errorCount;                    // level-3 lines since start or the last Clear
};

extern ConsoleLog gConsole;

// Appends a line, cut to 199 characters.
void ConsolePush(int level, const char *text);
// Formats into one line and appends it.
void ConsoleLogf(int level, const char *fmt, ...);
// Empties the ring and zeroes the error count; the window and its filters stay as they are.
void ConsoleClear(void);
// The i-th newest line (0 = newest), or NULL when i is out of range.
const ConsoleLine *ConsoleAt(int i);
// Whether lines of this level are listed; levels outside 0..3 always are.
bool ConsoleLevelVisible(int level);
// The library's log hook: one console line and one line on standard output per message.
void KirtoTraceLog(int logLevel, const char *fmt, va_list args);

