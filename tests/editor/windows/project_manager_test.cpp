// The project manager's actions: Create, Open Selected, Refresh, opening and closing the window.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "editor/windows/project_manager.h"
#include "project/projects.h"
#include "support/project_folder.h"

class ProjectManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScanProjects();
        ui->screenW = 1440;
        ui->screenH = 900;
        status[0] = '\0';
    }
    void Type(const char *name) { snprintf(gProjects.newName, sizeof(gProjects.newName), "%s", name); }
    ProjectWorkFolder work;
    std::unique_ptr<UiState> ui = std::make_unique<UiState>();
    char *status = ui->statusText;
};

TEST_F(ProjectManager, CreateReportsAndEmptiesTheBoxOnlyOnSuccess)
{
    Type("Level One");
    ASSERT_EQ(ProjectManagerCreate(*ui), 1);
    EXPECT_STREQ(status, "Created project 'Level One'");
    EXPECT_STREQ(gProjects.newName, "");
    ASSERT_EQ(gProjects.count, 1);
    EXPECT_EQ(gProjects.selected, -1);          // listed, neither selected nor opened
    EXPECT_STREQ(gProjects.currentPath, "");

    for (const char *bad : { "", "lvl.2", "Level One" }) {
        Type(bad);
        EXPECT_EQ(ProjectManagerCreate(*ui), 0) << bad;
        EXPECT_STREQ(status, "Could not create that project (bad name or already exists).");
        EXPECT_STREQ(gProjects.newName, bad);   // the typed text stays
    }
}

TEST_F(ProjectManager, OpenSelectedNeedsARowThatStillExists)
{
    EXPECT_EQ(ProjectManagerOpenSelected(*ui), 0);
    EXPECT_STREQ(status, "Select a project first.");

    ASSERT_EQ(CreateProject("A"), 1);
    ASSERT_EQ(CreateProject("B"), 1);
    gProjects.selected = 1;
    ASSERT_EQ(ProjectManagerOpenSelected(*ui), 1);
    EXPECT_STREQ(gProjects.currentName, gProjects.entries[1].name);

    // The selected row's folder goes away; a Refresh leaves fewer rows than the selection.
    std::filesystem::remove_all(gProjects.entries[1].path);
    ProjectManagerRefresh(*ui);
    EXPECT_STREQ(status, "Found 1 project(s).");
    status[0] = '\0';
    EXPECT_EQ(ProjectManagerOpenSelected(*ui), 0);
    EXPECT_STREQ(status, "Select a project first.");

    gProjects.selected = 7;                     // set past the end some other way
    EXPECT_EQ(ProjectManagerOpenSelected(*ui), 0);
}

TEST_F(ProjectManager, WindowOpensWithAFreshListAndClosingReleasesTheNameBox)
{
    std::filesystem::create_directories("projects/Later");
    OpenProjectManager();
    EXPECT_TRUE(gProjects.managerOpen);
    EXPECT_EQ(gProjects.count, 1);
    gProjects.nameEditing = true;
    CloseProjectManager();
    EXPECT_FALSE(gProjects.managerOpen);
    EXPECT_FALSE(gProjects.nameEditing);
    // Closed, the window draws nothing and reports no open.
    EXPECT_EQ(DrawProjectManager(*ui), 0);
}
