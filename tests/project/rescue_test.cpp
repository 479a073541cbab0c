// The rescue file's name: the first that nothing takes.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "project/rescue.h"
#include "support/project_folder.h"

namespace fs = std::filesystem;

// A name taken by anything (a file, a folder, a link that leads nowhere) moves on to the counter.
TEST(Rescue, FreePathSkipsEveryTakenName)
{
    ProjectWorkFolder work;
    fs::create_directories("maps");
    const long long when = (long long)time(nullptr);
    char stamp[32];
    time_t t = (time_t)when;
    strftime(stamp, sizeof(stamp), "%Y%m%d-%H%M%S", localtime(&t));
    const std::string base = std::string("unsaved-") + stamp;

    struct Case { const char *folder; const char *takeAs; const char *expected; };
    const Case cases[] = {
        { "", nullptr, "" },
        { "maps", nullptr, "maps/" },
        { "maps", "file", "maps/" },
        { "maps", "folder", "maps/" },
        { "maps", "link", "maps/" },
    };
    int taken = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.takeAs != nullptr ? c.takeAs : c.folder);
        char path[kProjectFilePathLen];
        ASSERT_EQ(RescueFreePath(c.folder, when, path, sizeof(path)), 1);
        std::string expected = std::string(c.expected) + base + (taken > 0 ? "-" + std::to_string(taken + 1) : "") + ".zizudu";
        if (c.takeAs == nullptr) {
            EXPECT_EQ(std::string(path), expected);
            continue;
        }
        EXPECT_EQ(std::string(path), expected);
        if (std::string(c.takeAs) == "file") WriteTextFile(path, "x");
        else if (std::string(c.takeAs) == "folder") fs::create_directory(path);
        else fs::create_symlink("nowhere", path);
        taken++;
    }
    char path[kProjectFilePathLen];
    ASSERT_EQ(RescueFreePath("maps", when, path, sizeof(path)), 1);
    EXPECT_EQ(std::string(path), "maps/" + base + "-4.zizudu");
    char tiny[8];
    EXPECT_EQ(RescueFreePath("maps", when, tiny, sizeof(tiny)), 0);   // a cut name would be another file
}
