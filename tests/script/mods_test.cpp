// Mods: manifest lines, script paths and the folder scan.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "script/mods.h"
#include "support/project_folder.h"

TEST(ModManifest, ToolLinesKeysCommentsAndLimits)
{
    auto package = std::make_unique<ModPackage>();
    std::string text = "name = X # comment\r\nName = ignored\nauthor=\tAda \r\n"
                       "tool = Bevel | bevel.asm | Bevels the selected brush\n"
                       "tool = Plain|plain.asm\n"
                       "tool = NoBar\n"
                       "TOOL = Upper | u.asm\n"
                       "mode =  Slide  |  slide.asm  ;\n";
    ParseModManifest(package.get(), text.c_str());
    EXPECT_STREQ(package->name, "X");
    EXPECT_STREQ(package->author, "Ada");
    ASSERT_EQ(package->toolCount, 3);
    EXPECT_STREQ(package->tools[0].name, "Bevel");
    EXPECT_STREQ(package->tools[0].script, "bevel.asm");
    EXPECT_STREQ(package->tools[0].help, "Bevels the selected brush");
    EXPECT_STREQ(package->tools[1].help, "");
    EXPECT_TRUE(package->tools[2].isMode);
    EXPECT_STREQ(package->tools[2].name, "Slide");
    EXPECT_STREQ(package->tools[2].script, "slide.asm");

    // A 13th tool is ignored; a line past 319 characters goes on as a new line.
    auto many = std::make_unique<ModPackage>();
    std::string lines;
    for (int i = 0; i < 13; i++) lines += "tool = T" + std::to_string(i) + " | t.asm\n";
    lines += "author = " + std::string(310, 'a') + "name = Tail\n";
    ParseModManifest(many.get(), lines.c_str());
    EXPECT_EQ(many->toolCount, kMaxModTools);
    EXPECT_STREQ(many->name, "Tail");

    EXPECT_TRUE(ModScriptPathSafe("tools/bevel.asm"));
    EXPECT_TRUE(ModScriptPathSafe("a..b.asm"));
    for (const char *bad : { "../x.asm", "a/../../x.asm", "..\\x.asm", "/etc/x.asm", "C:x.asm", "\\x.asm", "" }) {
        EXPECT_FALSE(ModScriptPathSafe(bad)) << bad;
    }
}

TEST(ModScan, FoldersScriptsAndAStaleRescan)
{
    ProjectWorkFolder work;
    MakeTestMod("a", "tool = Good | good.asm\ntool = Gone | gone.asm\ntool = Out | ../good.asm\n",
            { { "good.asm", "PUSH 1\nPOP\n" } });
    MakeTestMod("b", "name = Bee\nauthor = Z\n", {});   // no tool line: not kept
    MakeTestMod("c", "tool = Broken | broken.asm\n", { { "broken.asm", "FROB\n" } });
    ScanMods();
    ASSERT_EQ(gMods.count, 2);
    const ModPackage &a = strcmp(gMods.mods[0].name, "a") == 0 ? gMods.mods[0] : gMods.mods[1];
    EXPECT_TRUE(a.tools[0].loaded);
    EXPECT_STREQ(a.tools[1].prog.error, "missing script gone.asm");
    EXPECT_STREQ(a.tools[2].prog.error, "missing script ../good.asm");
    EXPECT_EQ(RunModTool(0, 7, nullptr, -1, -1), 0);
    EXPECT_NE(gMods.lastError[0], '\0');   // a bad index is named, never an empty message

    // Fewer mods on the next scan leave nothing of the old ones behind.
    gMods.activeMod = 1;
    gMods.activeTool = 0;
    WriteTextFile("mods/c/mod.txt", "");
    ScanMods();
    EXPECT_EQ(gMods.count, 1);
    EXPECT_EQ(gMods.activeMod, -1);
    EXPECT_EQ(gMods.mods[1].toolCount, 0);
    EXPECT_FALSE(gMods.mods[1].valid);
}

TEST(ModScan, OnlyRegularFilesInsideTheirOwnModAreRead)
{
    ProjectWorkFolder work;
    namespace fs = std::filesystem;
    fs::create_directories("mods/pipe");
    MakeFifo("mods/pipe/mod.txt");                      // skipped like a missing manifest
    fs::create_directories("elsewhere/linked");
    WriteTextFile("elsewhere/x.asm", "PUSH 1\nPOP\n");
    WriteTextFile("elsewhere/linked/mod.txt", "tool = Linked | in.asm\n");
    WriteTextFile("elsewhere/linked/in.asm", "PUSH 1\nPOP\n");
    fs::create_directory_symlink("../elsewhere/linked", "mods/linked");   // a linked mod keeps its own scripts
    MakeTestMod("m", "tool = Out | out.asm\ntool = Pipe | pipe.asm\ntool = Near | sub/near.asm\n", {});
    fs::create_symlink("../../elsewhere/x.asm", "mods/m/out.asm");
    MakeFifo("mods/m/pipe.asm");
    fs::create_directories("mods/m/sub");
    WriteTextFile("mods/m/real.asm", "PUSH 1\nPOP\n");
    fs::create_symlink("../real.asm", "mods/m/sub/near.asm");   // a link that stays inside is fine

    ScanMods();
    ASSERT_EQ(gMods.count, 2);
    bool mFirst = strcmp(gMods.mods[0].name, "m") == 0;
    const ModPackage &m = gMods.mods[mFirst ? 0 : 1];
    const ModPackage &linked = gMods.mods[mFirst ? 1 : 0];
    EXPECT_STREQ(m.tools[0].prog.error, "missing script out.asm");
    EXPECT_STREQ(m.tools[1].prog.error, "missing script pipe.asm");
    EXPECT_TRUE(m.tools[2].loaded);
    EXPECT_STREQ(linked.name, "linked");
    EXPECT_TRUE(linked.tools[0].loaded);
}
