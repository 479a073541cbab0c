// The Windows side of the platform module: names Windows cannot hold (checked on every system),
// and on Windows UTF-8 and long names, stamps, the reasons of failures, a save keeping the map's
// attributes, links and containment. Uses nothing but the module, so that the Windows test
// executable needs no window.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/platform.h"

TEST(WindowsNames, WhatWindowsCannotHoldIsRefusedWithItsReason)
{
    struct Case {
        const char *name;
        const char *words;      // a part of the reason, or nullptr for none
    };
    const Case cases[] = {
        { "CON", "device" },          { "con", "device" },         { "nul.txt", "device" },
        { "Com1", "device" },         { "LPT9.zizudu", "device" }, { "aux .map", "device" },
        { "a?b", "<>:" },             { "x<y", "<>:" },            { "p|q", "<>:" },
        { "say\"hi\"", "<>:" },       { "tab\there", "control" },  { "trail ", "space or a dot" },
        { "trail.", "space or a dot" }, { "Caf\xc3\xa9", nullptr }, { "console", nullptr },
        { "COM0", nullptr },          { "LPT", nullptr },          { "conx.txt", nullptr },
        { "level 1.zizudu", nullptr }, { ".hidden", nullptr },
    };
    for (const Case &c : cases) {
        const char *reason = PlatformWindowsNameRefusal(c.name);
        if (c.words == nullptr) {
            EXPECT_EQ(reason, nullptr) << c.name;
        } else {
            ASSERT_NE(reason, nullptr) << c.name;
            EXPECT_NE(strstr(reason, c.words), nullptr) << c.name << ": " << reason;
        }
#if !defined(_WIN32)
        EXPECT_EQ(PlatformNameRefusal(c.name), nullptr) << c.name;   // other systems store them as typed
#else
        EXPECT_EQ(PlatformNameRefusal(c.name), reason) << c.name;
#endif
    }
}

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winioctl.h>

namespace {

std::wstring Wide(const std::string &utf8)
{
    wchar_t out[4096];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, out, 4096);
    return n > 0 ? std::wstring(out) : std::wstring();
}

// A fresh folder under the system's temporary folder, removed (files and all) at the end.
struct WinFolder {
    std::string path;
    WinFolder()
    {
        std::error_code error;
        path = (std::filesystem::temp_directory_path(error) / ("kirto_win_" + std::to_string(GetTickCount64()))).string();
        PlatformMakeDir(path.c_str());
    }
    ~WinFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(std::filesystem::path(L"\\\\?\\" + Wide(path)), error);
    }
    std::string File(const std::string &name) const { return path + "\\" + name; }
};

// Writes bytes to path the way a save does: a new temporary file moved over it while still open,
// then the stamp of the open file, which must be the path's; 1 or 0.
int SaveBytes(const std::string &path, const std::string &bytes)
{
    char temp[kPlatformPathLen];
    int exists = 0;
    if (!PlatformCheckReplaceable(path.c_str(), &exists)) return 0;
    int file = PlatformCreateTemp(path.c_str(), temp, sizeof(temp));
    if (file < 0) return 0;
    int ok = PlatformWriteAll(file, bytes.data(), bytes.size());
    if (ok && exists) ok = PlatformCopyMode(file, path.c_str());
    if (ok) ok = PlatformSyncFile(file);
    if (ok) ok = PlatformReplaceFile(temp, path.c_str());
    PlatformStamp mine, found;
    if (ok) {
        EXPECT_TRUE(PlatformStampOfFile(file, &mine) && PlatformReadStamp(path.c_str(), &found) &&
                    PlatformStampsEqual(&mine, &found)) << path;
    }
    PlatformCloseFile(file);
    if (!ok) PlatformRemoveFile(temp);
    return ok;
}

std::string ReadBytes(const std::string &path)
{
    unsigned char *data = nullptr;
    long size = 0;
    if (!PlatformReadRegularFile(path.c_str(), 1 << 20, &data, &size)) return "(unreadable)";
    std::string bytes((const char *)data, (size_t)size);
    free(data);
    return bytes;
}

}   // namespace

TEST(WindowsFiles, UtfEightAndLongNamesAreTheNamesOnDisk)
{
    WinFolder dir;
    std::string cafe = dir.File("Caf\xc3\xa9");
    PlatformMakeDir(cafe.c_str());
    // The folder on disk holds the one code point U+00E9, not two code-page characters.
    EXPECT_NE(GetFileAttributesW((Wide(dir.path) + L"\\Caf\u00e9").c_str()), INVALID_FILE_ATTRIBUTES);
    std::string deep = cafe;
    while (deep.size() < 300) {
        deep += "\\a_rather_long_folder_name";
        PlatformMakeDir(deep.c_str());
    }
    PlatformFolderListing listing;
    ASSERT_EQ(PlatformOpenFolderListing(dir.path.c_str(), &listing), 1);
    const char *entry = PlatformNextFolderEntry(&listing);   // the only one, "." and ".." left out
    EXPECT_EQ(entry != nullptr ? std::string(entry) : std::string(), cafe);
    EXPECT_EQ(PlatformNextFolderEntry(&listing), nullptr);
    PlatformCloseFolderListing(&listing);
    EXPECT_EQ(PlatformIsFolder(cafe.c_str()), 1);
    const std::string paths[] = { cafe + "\\map.zizudu", deep + "\\r\xc3\xa9sum\xc3\xa9.zizudu" };
    for (const std::string &path : paths) {
        ASSERT_EQ(SaveBytes(path, "first"), 1) << path;
        ASSERT_EQ(SaveBytes(path, "second"), 1) << path;   // over the existing file
        EXPECT_EQ(ReadBytes(path), "second");
        EXPECT_EQ(PlatformIsRegularFile(path.c_str()), 1);
        char real[kPlatformPathLen];
        ASSERT_EQ(PlatformRealPath(path.c_str(), real, sizeof(real)), 1) << path << " " << PlatformErrorReason();
        EXPECT_NE(strncmp(real, "\\\\?\\", 4), 0) << real;   // the long form stays inside the module
        EXPECT_EQ(PlatformPathLeaves(path.c_str(), dir.path.c_str()), 0);
        EXPECT_EQ(PlatformRemoveFile(path.c_str()), 1);
    }
    for (; deep != cafe; deep.resize(deep.rfind('\\'))) {   // the folder's own clean-up stops at 260
        RemoveDirectoryW((L"\\\\?\\" + Wide(deep)).c_str());
    }
}

// The times' precision is FileStamp's test, which runs here too.
TEST(WindowsFiles, StampsTellAnotherFileInThePlaceApartAndOnlyFilesHaveOne)
{
    WinFolder dir;
    std::string path = dir.File("a.zizudu");
    PlatformStamp first, second;
    ASSERT_EQ(SaveBytes(path, "abc"), 1);
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &first), 1);
    ASSERT_EQ(SaveBytes(path, "xyz"), 1);   // a new file in its place, the same size
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &second), 1);
    EXPECT_EQ(second.size, 3);
    EXPECT_NE(second.file, first.file);
    EXPECT_EQ(second.device, first.device);
    EXPECT_EQ(PlatformReadStamp(dir.path.c_str(), &second), 0);   // a folder has no stamp
    EXPECT_EQ(PlatformReadStamp("NUL", &second), 0);              // nor a device
}

TEST(WindowsFiles, FailuresGiveTheReasonTheSystemHad)
{
    WinFolder dir;
    std::string held = dir.File("held.zizudu");
    ASSERT_EQ(SaveBytes(held, "x"), 1);
    HANDLE h = CreateFileW(Wide(held).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);   // shares nothing
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveBytes(held, "y"), 0);
    EXPECT_STREQ(PlatformErrorReason(), "in use by another program");
    EXPECT_EQ(PlatformOpenRegularFile(held.c_str()), nullptr);
    EXPECT_STREQ(PlatformFileRefusal(held.c_str(), -1), "in use by another program");
    CloseHandle(h);

    // 3 GiB without writing them: the size alone is "too large", never "unreadable".
    std::string huge = dir.File("huge.bin");
    h = CreateFileW(Wide(huge).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD none = 0;
    DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &none, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 3LL << 30;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    EXPECT_STREQ(PlatformFileRefusal(huge.c_str(), -1), "file too large");
    PlatformStamp stamp;
    ASSERT_EQ(PlatformReadStamp(huge.c_str(), &stamp), 1);
    EXPECT_EQ(stamp.size, 3LL << 30);
    PlatformRemoveFile(huge.c_str());

    struct Case {
        std::string path;
        const char *reason;
    };
    const Case cases[] = {
        { dir.File(std::string(300, 'n')), "name too long" },     // one name past the file system's 255
        { dir.File("missing\\a.zizudu"), "no such folder" },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(SaveBytes(c.path, "z"), 0) << c.path;
        EXPECT_STREQ(PlatformErrorReason(), c.reason) << c.path;
    }
    EXPECT_STREQ(PlatformFileRefusal(dir.path.c_str(), -1), "not a regular file");
    EXPECT_STREQ(PlatformFileRefusal(dir.File("none").c_str(), -1), "no such file");
}

TEST(WindowsFiles, ASaveKeepsTheMapsAttributesAndCreationTime)
{
    WinFolder dir;
    std::string path = dir.File("kept.zizudu");
    ASSERT_EQ(SaveBytes(path, "one"), 1);
    std::wstring wide = Wide(path);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    HANDLE h = CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME created = { 0x12345600u, 0x01d00000u };   // some day in 2014
    SetFileTime(h, &created, nullptr, nullptr);
    CloseHandle(h);
    WIN32_FILE_ATTRIBUTE_DATA before;
    ASSERT_TRUE(GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &before));
    // wine keeps no creation time of its own (its files live on a Unix file system).
    bool creationKept = before.ftCreationTime.dwLowDateTime == created.dwLowDateTime;
    ASSERT_EQ(SaveBytes(path, "two"), 1);
    WIN32_FILE_ATTRIBUTE_DATA after;
    ASSERT_TRUE(GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &after));
    EXPECT_TRUE(after.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    if (creationKept) {
        EXPECT_EQ(CompareFileTime(&after.ftCreationTime, &created), 0);
    }
    EXPECT_EQ(ReadBytes(path), "two");
}

TEST(WindowsPaths, ContainmentComparesAsWindowsDoes)
{
    WinFolder dir;
    PlatformMakeDir(dir.File("Proj").c_str());
    PlatformMakeDir(dir.File("Proj\\maps").c_str());
    PlatformMakeDir(dir.File("Project2").c_str());
    std::string forward = dir.path;
    for (char &c : forward) c = c == '\\' ? '/' : c;
    struct Case {
        std::string path;
        std::string folder;
        int leaves;
    };
    const Case cases[] = {
        { dir.File("Proj\\maps\\a.zizudu"), dir.File("Proj"), 0 },
        { forward + "/proj/MAPS/a.zizudu", dir.File("PROJ"), 0 },        // case and separators differ
        { dir.File("Proj\\maps\\..\\..\\b.zizudu"), dir.File("Proj"), 1 },
        { dir.File("Project2\\a.zizudu"), dir.File("Proj"), 1 },          // a longer name is no folder inside
        { dir.File("Proj\\nofolder\\a.zizudu"), dir.File("Proj"), 0 },   // nothing to write there either
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PlatformPathLeaves(c.path.c_str(), c.folder.c_str()), c.leaves) << c.path;
    }
    // A drive's root keeps its separator as the folder of a new file at the root.
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string root = std::string(windows, 3);
    EXPECT_EQ(PlatformPathLeaves((root + "kirto_never_made.zizudu").c_str(), root.c_str()), 0);
}

TEST(WindowsPaths, LinksAreFollowedToWhereTheyEndAndNeverByTheTempCleanup)
{
    WinFolder dir;
    PlatformMakeDir(dir.File("P").c_str());
    PlatformMakeDir(dir.File("outside").c_str());
    std::wstring link = Wide(dir.File("P\\maps"));
    CreateSymbolicLinkW(link.c_str(), Wide(dir.File("outside")).c_str(),
                        SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    DWORD attributes = GetFileAttributesW(link.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        GTEST_SKIP() << "the system made no link here (wine answers yes and makes none)";
    }
    std::string map = dir.File("P\\maps\\a.zizudu");
    EXPECT_EQ(PlatformPathLeaves(map.c_str(), dir.File("P").c_str()), 1);
    std::string stale = dir.File("outside\\a.zizudu.kirto-save-0123abcd.tmp");
    ASSERT_EQ(SaveBytes(dir.File("outside\\a.zizudu.kirto-save-0123abcd.tmp"), "t"), 1);
    EXPECT_EQ(PlatformRemoveStaleTemps(dir.File("P\\maps").c_str(), 0), 0);
    EXPECT_EQ(PlatformIsRegularFile(stale.c_str()), 1);
}
#endif
