// The GPU tests' main: a hidden window gives them an OpenGL 3.3 context (Mesa under Xvfb in CI),
// and the source folder is the working folder, so resources/shaders is found as the program finds it.
#include <dlfcn.h>
#include <link.h>

#include <gtest/gtest.h>

#include "raylib.h"
#include "render/renderer.h"

// Marks one loaded library never to be unloaded.
static int KeepLibraryLoaded(struct dl_phdr_info *info, size_t, void *)
{
    if (info->dlpi_name[0] != '\0') dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

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
    // Closing the window unloads the GL driver's libraries, and LeakSanitizer would then report
    // what their globals still held as leaks from unknown modules. Kept mapped until exit, the
    // driver's memory stays reachable and only real leaks are reported.
    dl_iterate_phdr(KeepLibraryLoaded, nullptr);
    FreeRenderer();
    CloseWindow();
    return result;
}
