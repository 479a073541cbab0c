// console.cpp: the console ring and the library log hook.
#include "editor/console.h"

#include <cstdio>
#include <cstring>

#include "raylib.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
ConsoleLog gConsole = { {}, 0, 0, false, 0.0f, true, true, true, true, true, 0 };

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void ConsolePush(int level, const char *text)
{
    ConsoleLine *line = &gConsole.lines[gConsole.head];
    snprintf(line->text, sizeof(line->text), "%s", text ? text : "");
    line->level = level;
    gConsole.head = (gConsole.head + 1) % kConsoleLines;
    if (gConsole.count < kConsoleLines) gConsole.count++;
    if (level == CONSOLE_ERROR) gConsole.errorCount++;
    if (gConsole.follow) gConsole.scroll = 0.0f;
}

void ConsoleLogf(int level, const char *fmt, ...)
{
    char text[kConsoleLineLen];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof(text), fmt, args);
    va_end(args);
    ConsolePush(level, text);
}

void ConsoleClear(void)
{
    gConsole.count = 0;
    gConsole.head = 0;
    gConsole.errorCount = 0;
}

const ConsoleLine *ConsoleAt(int i)
{
    if (i < 0 || i >= gConsole.count) return nullptr;
    int slot = gConsole.head - 1 - i;
    while (slot < 0) slot += kConsoleLines;
    return &gConsole.lines[slot];
}

bool ConsoleLevelVisible(int level)
{
    switch (level) {
    case CONSOLE_EDITOR: return gConsole.showEditor;
    case CONSOLE_INFO: return gConsole.showInfo;
    case CONSOLE_WARN: return gConsole.showWarn;
    case CONSOLE_ERROR: return gConsole.showError;
    default: return true;
    }
}

void KirtoTraceLog(int logLevel, const char *fmt, va_list args)
{
    char text[kConsoleLineLen];
    vsnprintf(text, sizeof(text), fmt, args);
    int level = CONSOLE_INFO;
    if (logLevel > LOG_WARNING) level = CONSOLE_ERROR;
    else if (logLevel == LOG_WARNING) level = CONSOLE_WARN;
    ConsolePush(level, text);
    // Flushed per line so the log survives a crash and reaches a pipe at once.
    fputs(text, stdout);
    fputc('\n', stdout);
    fflush(stdout);
}
