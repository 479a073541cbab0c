// console_window.cpp: the console window: filters, follow mode, wheel scroll-back, Clear and X.
#include "editor/windows/console_window.h"

#include <cmath>

#include "editor/console.h"
#include "editor/gui.h"
#include "editor/input.h"
#include "editor/layout.h"

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static constexpr float kTitleH = 49.5f;
static constexpr float kControlH = 40.5f;
static constexpr float kLineH = 29.25f;
static constexpr float kWheelLines = 3.0f;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static Color ConsoleLevelColour(int level);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

int ConsoleLinesThatFit(float listHeight)
{
    return listHeight > 0.0f ? (int)(listHeight / kLineH) : 0;
}

void DrawConsoleWindow(UiState &ui)
{
    Rectangle r = ConsoleWindowRect(ui.screenW, ui.screenH, ui.statusBarH);
    GuiDrawRectangleExt(r, 2, Color{ 80, 80, 80, 255 }, Color{ 18, 19, 23, 245 });
    GuiStatusBar(Rectangle{ r.x, r.y, r.width, kTitleH },
                 TextFormat("Console   %d lines   %d error(s)", gConsole.count, gConsole.errorCount));

    float bx = r.x + r.width - 675.0f, by = r.y + 4.5f;
    gConsole.showEditor = GuiToggle(Rectangle{ bx, by, 117.0f, kControlH }, "Editor", gConsole.showEditor);
    gConsole.showInfo = GuiToggle(Rectangle{ bx + 121.5f, by, 94.5f, kControlH }, "Info", gConsole.showInfo);
    gConsole.showWarn = GuiToggle(Rectangle{ bx + 220.5f, by, 94.5f, kControlH }, "Warn", gConsole.showWarn);
    gConsole.showError = GuiToggle(Rectangle{ bx + 319.5f, by, 94.5f, kControlH }, "Error", gConsole.showError);
    gConsole.follow = GuiToggle(Rectangle{ bx + 418.5f, by, 112.5f, kControlH }, "Follow", gConsole.follow);
    if (GuiButton(Rectangle{ bx + 535.5f, by, 90.0f, kControlH }, "Clear")) ConsoleClear();
    if (GuiButton(Rectangle{ r.x + r.width - 49.5f, by, 45.0f, kControlH }, "X")) gConsole.open = false;

    Rectangle list = { r.x + 13.5f, r.y + 54.0f, r.width - 27.0f, r.height - 67.5f };
    float wheel = GetMouseWheelMove();
    // Beneath a modal window drawn over the console the wheel is that window's.
    if (PointerOverConsole(ui) && CheckCollisionPointRec(ui.mouse, list) && wheel != 0.0f) {
        gConsole.scroll -= kWheelLines * wheel;
        gConsole.follow = false;
    }
    if (gConsole.scroll < 0.0f) {
        gConsole.scroll = 0.0f;
        gConsole.follow = true;
    }

    int fit = ConsoleLinesThatFit(list.height);
    int skip = (int)gConsole.scroll;
    BeginScissorMode((int)list.x, (int)list.y, (int)list.width, (int)list.height);
    float y = list.y + list.height - kLineH;
    int drawn = 0, listed = 0;
    for (int i = 0; i < gConsole.count && drawn < fit; i++) {
        const ConsoleLine *line = ConsoleAt(i);
        if (!ConsoleLevelVisible(line->level)) continue;
        if (listed++ < skip) continue;
        DrawTextEx(ui.uiFont, line->text, Vector2{ list.x + 9.0f, y }, 24.75f, 2.25f, ConsoleLevelColour(line->level));
        y -= kLineH;
        drawn++;
    }
    EndScissorMode();
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static Color ConsoleLevelColour(int level)
{
    switch (level) {
    case CONSOLE_ERROR: return Color{ 255, 110, 100, 255 };
    case CONSOLE_WARN: return Color{ 255, 205, 90, 255 };
    case CONSOLE_EDITOR: return Color{ 150, 220, 255, 255 };
    default: return Color{ 200, 200, 205, 255 };
    }
}
