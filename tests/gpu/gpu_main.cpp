// The GPU tests' main: a hidden window gives them an OpenGL 3.3 context (Mesa under Xvfb in CI),
// and the source folder is the working folder, so resources/shaders is found as the program finds it.
#include <gtest/gtest.h>

#include "raylib.h"
#include "render/renderer.h"

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    SetTraceLogLevel(LOG_WARNING);
    SetConfigFlags(FLAG_WINDOW_HIDDEN);
    InitWindow(640, 200, "kirto gpu tests");   // not the targets' shape: passes must set their own
    if (!IsWindowReady()) {
        fprintf(stderr, "kirto_gpu_tests: no OpenGL window (run under Xvfb)\n");
        return 1;
    }
    if (!ChangeDirectory(KIRTO_SOURCE_DIR)) return 1;
    int result = RUN_ALL_TESTS();
    FreeRenderer();
    CloseWindow();
    return result;
}
