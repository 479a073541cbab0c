// platform_win32.cpp: the platform module on Windows (kirto.exe): folders, the font, the save's
// file operations, links and real paths, stamps, names Windows cannot hold and the close requests.
//
// Every path comes in and goes out as UTF-8 and every file-system call is the wide one, so a name
// such as "Café" is the same on disk as on screen; a long path takes the "\\?\" form. The reasons
// of failures come from GetLastError, turned into the errno codes PlatformErrorReason knows.
#if defined(_WIN32)
#include "platform/platform.h"
#include "platform/platform_internal.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
struct LastErrorCode {
    DWORD error;
    int code;
};
// The system's errors as the codes PlatformErrorReason words; any other is an input/output error.
static const LastErrorCode kLastErrorCodes[] = {
    { ERROR_FILE_NOT_FOUND, ENOENT },
    { ERROR_PATH_NOT_FOUND, ENOENT },
    { ERROR_INVALID_DRIVE, ENOENT },
    { ERROR_BAD_NETPATH, ENOENT },
    { ERROR_ACCESS_DENIED, EACCES },
    { ERROR_PRIVILEGE_NOT_HELD, EACCES },
    { ERROR_SHARING_VIOLATION, EBUSY },
    { ERROR_LOCK_VIOLATION, EBUSY },
    { ERROR_USER_MAPPED_FILE, EBUSY },
    { ERROR_WRITE_PROTECT, EROFS },
    { ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG },
    { ERROR_BUFFER_OVERFLOW, ENAMETOOLONG },
    { ERROR_FILE_TOO_LARGE, EFBIG },
    { ERROR_DISK_FULL, ENOSPC },
    { ERROR_HANDLE_DISK_FULL, ENOSPC },
    { ERROR_FILE_EXISTS, EEXIST },
    { ERROR_ALREADY_EXISTS, EEXIST },
    { ERROR_TOO_MANY_OPEN_FILES, EMFILE },
    { ERROR_DIRECTORY, ENOTDIR },
    { ERROR_CANT_RESOLVE_FILENAME, ELOOP },
    { ERROR_INVALID_NAME, EINVAL },
    { ERROR_BAD_PATHNAME, EINVAL },
};

static constexpr int kWidePathLen = 32768;            // the longest path of the "\\?\" form, in UTF-16 units
static constexpr int kNameLen = 255;                  // the longest name of one file or folder, in UTF-16 units
static constexpr int kShortPathLen = 248;             // past this the plain form fails (folders at 248)
static constexpr DWORD kWriteChunk = 1u << 20;
static constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
static constexpr long long kEpochIn1601Units = 116444736000000000LL;   // 1970-01-01 in 100 ns steps from 1601
static constexpr DWORD kSessionRescueWaitMs = 20000;  // the system ends the process after its own limit anyway

static char sFontPath[kPlatformPathLen];
static HANDLE sRescueDone;              // set once the frame loop took the close and the process may end
static WNDPROC sWindowProc;             // the window's own procedure, which every message still reaches
// The last temporary file made and its volume's serial: wine forgets the volume of a handle once
// its file is renamed, and a rename never moves a file to another volume.
static int sTempFile = -1;
static DWORD sTempVolume;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int Widen(const char *path, wchar_t *out);
static int Narrow(const wchar_t *wide, char *out, size_t outSize);
static int FailWith(DWORD error);
static HANDLE OpenEntry(const char *path, DWORD access, DWORD flags);
static int StampOfHandle(HANDLE h, PlatformStamp *stamp);
static int HandleIsRegularFile(HANDLE h);
static long long FileTimeToEpochNs(long long fileTime);
static BOOL WINAPI NoteConsoleClose(DWORD event);
static LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
static void NoteCloseSignal(int number);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PlatformMakeDir(const char *path)
{
    static wchar_t wide[kWidePathLen];
    if (Widen(path, wide)) CreateDirectoryW(wide, nullptr);
}

const char *PlatformFontPath(void)
{
    // Only the system's own font folder: the program ships no font and reads none from elsewhere.
    wchar_t windows[MAX_PATH];
    char folder[kPlatformPathLen] = "C:\\Windows";
    UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n > 0 && n < MAX_PATH) Narrow(windows, folder, sizeof(folder));
    snprintf(sFontPath, sizeof(sFontPath), "%s\\Fonts\\tahoma.ttf", folder);
    return sFontPath;
}

int PlatformResolveLinks(const char *path, char *out, size_t outSize)
{
    int n = snprintf(out, outSize, "%s", path);
    if (n < 0 || (size_t)n >= outSize) { errno = ENAMETOOLONG; return 0; }
    static wchar_t wide[kWidePathLen];
    if (!Widen(path, wide)) return 0;
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return 1;
    // A link or a junction: the system follows the whole chain and names where it ends. A chain
    // that ends at nothing is refused, as the save could not tell where its file would go.
    return PlatformRealPath(path, out, outSize);
}

int PlatformCheckReplaceable(const char *path, int *exists)
{
    *exists = 0;
    static wchar_t wide[kWidePathLen];
    if (!Widen(path, wide)) return 0;
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        FailWith(error);
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;   // the save finds out which
    }
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return 0;
    if (!PlatformIsRegularFile(path)) return 0;   // a device name answers too
    *exists = 1;
    return 1;
}

int PlatformCreateTemp(const char *path, char *tempPath, size_t tempSize)
{
    static wchar_t wide[kWidePathLen];
    for (int attempt = 0; attempt < kPlatformTempAttempts; attempt++) {
        if (!PlatformTempName(path, PlatformTempTag((unsigned)GetCurrentProcessId()), tempPath, tempSize)) return -1;
        if (!Widen(tempPath, wide)) return -1;
        // A new file only (an entry already there, a link among them, fails), shared for deletion
        // so that it can be moved over the map while the save still holds it open for its stamp.
        HANDLE h = CreateFileW(wide, GENERIC_WRITE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_DELETE,
                               nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            BY_HANDLE_FILE_INFORMATION info;
            DWORD volume = GetFileInformationByHandle(h, &info) ? info.dwVolumeSerialNumber : 0;
            int file = _open_osfhandle((intptr_t)h, _O_WRONLY | _O_BINARY);
            if (file < 0) {
                CloseHandle(h);
                DeleteFileW(wide);
                errno = EMFILE;
                return -1;
            }
            sTempFile = file;
            sTempVolume = volume;
            return file;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return FailWith(error) - 1;
    }
    errno = EEXIST;
    return -1;
}

int PlatformWriteAll(int file, const void *data, size_t size)
{
    HANDLE h = (HANDLE)_get_osfhandle(file);
    if (h == INVALID_HANDLE_VALUE) { errno = EBADF; return 0; }
    const char *p = (const char *)data;
    while (size > 0) {
        DWORD chunk = size < kWriteChunk ? (DWORD)size : kWriteChunk;
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr)) return FailWith(GetLastError());
        if (written == 0) { errno = ENOSPC; return 0; }    // nothing taken and no error: the disk is full
        p += written;
        size -= written;
    }
    return 1;
}

int PlatformCopyMode(int file, const char *from)
{
    // The map's attributes (hidden, archive, not indexed) and its creation time go onto the new
    // file, which a move puts in its place with the new file's own. Read-only maps never get here.
    HANDLE h = (HANDLE)_get_osfhandle(file);
    static wchar_t wide[kWidePathLen];
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (h == INVALID_HANDLE_VALUE || !Widen(from, wide)) return 0;
    if (!GetFileAttributesExW(wide, GetFileExInfoStandard, &old)) return FailWith(GetLastError());
    FILE_BASIC_INFO info;
    memset(&info, 0, sizeof(info));     // zero times are left as they are
    info.CreationTime.LowPart = old.ftCreationTime.dwLowDateTime;
    info.CreationTime.HighPart = (LONG)old.ftCreationTime.dwHighDateTime;
    DWORD kept = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                 FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    info.FileAttributes = old.dwFileAttributes & kept;
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof(info))) return FailWith(GetLastError());
    return 1;
}

int PlatformSyncFile(int file)
{
    HANDLE h = (HANDLE)_get_osfhandle(file);
    if (h == INVALID_HANDLE_VALUE) { errno = EBADF; return 0; }
    return FlushFileBuffers(h) ? 1 : FailWith(GetLastError());
}

int PlatformCloseFile(int file)
{
    if (file == sTempFile) sTempFile = -1;
    return _close(file) == 0;   // closes the system's handle with it
}

int PlatformReplaceFile(const char *from, const char *to)
{
    // rename() refuses an existing target on Windows; this call replaces it and waits for the disk.
    static wchar_t wideFrom[kWidePathLen];
    static wchar_t wideTo[kWidePathLen];
    if (!Widen(from, wideFrom) || !Widen(to, wideTo)) return 0;
    if (MoveFileExW(wideFrom, wideTo, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
    DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED) {
        // The move says only "access denied" when another program holds the map open without
        // sharing its deletion; asking for that access alone tells the two apart.
        HANDLE h = CreateFileW(wideTo, DELETE, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) error = ERROR_SHARING_VIOLATION;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    return FailWith(error);
}

int PlatformSyncFolderOf(const char *path)
{
    (void)path;
    return 1;                   // the write-through move already reached the disk
}

int PlatformRemoveFile(const char *path)
{
    static wchar_t wide[kWidePathLen];
    if (!Widen(path, wide)) return 0;
    return DeleteFileW(wide) ? 1 : FailWith(GetLastError());
}

int PlatformIsRegularFile(const char *path)
{
    // Opened for no access at all, which neither waits for nor disturbs a device, then asked.
    HANDLE h = OpenEntry(path, 0, 0);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int regular = HandleIsRegularFile(h);
    CloseHandle(h);
    return regular;
}

FILE *PlatformOpenRegularFile(const char *path)
{
    if (!PlatformIsRegularFile(path)) return nullptr;   // a device is never opened for reading
    HANDLE h = OpenEntry(path, GENERIC_READ, 0);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    if (!HandleIsRegularFile(h)) {
        CloseHandle(h);
        return nullptr;
    }
    int fd = _open_osfhandle((intptr_t)h, _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return nullptr;
    }
    FILE *f = _fdopen(fd, "rb");
    if (f == nullptr) _close(fd);
    return f;
}

const char *PlatformFileRefusal(const char *path, long maxBytes)
{
    HANDLE h = OpenEntry(path, 0, 0);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "no such file" : "unreadable file";
    }
    int regular = HandleIsRegularFile(h);
    LARGE_INTEGER size;
    int sized = GetFileSizeEx(h, &size);
    CloseHandle(h);
    if (!regular) return "not a regular file";
    // A long holds 2 GiB here: anything past it is too large for any reader of this program.
    if (sized && (size.QuadPart > (long long)LONG_MAX || (maxBytes >= 0 && size.QuadPart > (long long)maxBytes))) {
        return "file too large";
    }
    h = OpenEntry(path, GENERIC_READ, 0);   // another program may hold it without sharing its reading
    DWORD error = GetLastError();
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    if (h == INVALID_HANDLE_VALUE && (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)) {
        return "in use by another program";
    }
    return "unreadable file";
}

int PlatformRealPath(const char *path, char *out, size_t outSize)
{
    HANDLE h = OpenEntry(path, 0, 0);
    if (h == INVALID_HANDLE_VALUE) return 0;
    static wchar_t final[kWidePathLen];
    DWORD len = GetFinalPathNameByHandleW(h, final, kWidePathLen, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    DWORD error = GetLastError();
    CloseHandle(h);
    if (len > 0 && len < (DWORD)kWidePathLen) return Narrow(final, out, outSize);
    if (error != ERROR_MORE_DATA) return FailWith(error);
    // wine gives up on final names past about 280 characters, whatever the buffer: the real path
    // of the folder, then this entry's name, which must be no link itself.
    static wchar_t wide[kWidePathLen];
    static wchar_t full[kWidePathLen];
    char fullPath[kPlatformPathLen];
    char folder[kPlatformPathLen];
    char realFolder[kPlatformPathLen];
    if (!Widen(path, wide)) return 0;
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return FailWith(error);
    len = GetFullPathNameW(wide, kWidePathLen, full, nullptr);
    if (len == 0 || len >= (DWORD)kWidePathLen || !Narrow(full, fullPath, sizeof(fullPath))) return FailWith(error);
    const char *name = PlatformSplitFolder(fullPath, folder, sizeof(folder));
    if (name == nullptr || name[0] == '\0' || strcmp(folder, fullPath) == 0) return FailWith(error);
    if (!PlatformRealPath(folder, realFolder, sizeof(realFolder))) return 0;
    int n = snprintf(out, outSize, "%s\\%s", realFolder, name);
    if (n < 0 || (size_t)n >= outSize) { errno = ENAMETOOLONG; return 0; }
    return 1;
}

int PlatformOpenFolderListing(const char *folder, PlatformFolderListing *listing)
{
    static wchar_t wide[kWidePathLen];
    static WIN32_FIND_DATAW found;
    listing->handle = nullptr;
    listing->pending = 0;
    char pattern[kPlatformPathLen];
    int n = snprintf(listing->path, sizeof(listing->path), "%s\\", folder);
    int p = snprintf(pattern, sizeof(pattern), "%s\\*", folder);
    if (n < 0 || (size_t)n >= sizeof(listing->path) || p < 0 || (size_t)p >= sizeof(pattern)) return 0;
    listing->folderLen = (size_t)n;
    if (!Widen(pattern, wide)) return 0;
    HANDLE find = FindFirstFileW(wide, &found);
    if (find == INVALID_HANDLE_VALUE) return FailWith(GetLastError());
    listing->handle = find;
    listing->pending = 1;
    size_t room = sizeof(listing->path) - listing->folderLen;
    if (!Narrow(found.cFileName, listing->path + listing->folderLen, room)) listing->pending = 0;
    return 1;
}

const char *PlatformNextFolderEntry(PlatformFolderListing *listing)
{
    static WIN32_FIND_DATAW found;
    if (listing->handle == nullptr) return nullptr;
    size_t room = sizeof(listing->path) - listing->folderLen;
    char *name = listing->path + listing->folderLen;
    for (;;) {
        if (listing->pending) {
            listing->pending = 0;
        } else {
            if (!FindNextFileW((HANDLE)listing->handle, &found)) return nullptr;
            if (!Narrow(found.cFileName, name, room)) continue;
        }
        if (strcmp(name, ".") != 0 && strcmp(name, "..") != 0) return listing->path;
    }
}

void PlatformCloseFolderListing(PlatformFolderListing *listing)
{
    if (listing->handle != nullptr) FindClose((HANDLE)listing->handle);
    listing->handle = nullptr;
}

int PlatformIsFolder(const char *path)
{
    static wchar_t wide[kWidePathLen];
    if (!Widen(path, wide)) return 0;
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return 1;
    HANDLE h = OpenEntry(path, 0, 0);   // a link or a junction: where it ends
    if (h == INVALID_HANDLE_VALUE) return 0;
    BY_HANDLE_FILE_INFORMATION info;
    int folder = GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(h);
    return folder;
}

long long PlatformModTime(const char *path)
{
    static wchar_t wide[kWidePathLen];
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!Widen(path, wide) || !GetFileAttributesExW(wide, GetFileExInfoStandard, &data)) return 0;
    long long written = (long long)data.ftLastWriteTime.dwHighDateTime << 32 | data.ftLastWriteTime.dwLowDateTime;
    return FileTimeToEpochNs(written) / 1000000000LL;
}

int PlatformKeepWorkFolder(PlatformWorkFolder *keep)
{
    keep->handle = -1;
    keep->path[0] = '\0';
    static wchar_t wide[kWidePathLen];
    DWORD n = GetCurrentDirectoryW(kWidePathLen, wide);
    if (n == 0 || n >= (DWORD)kWidePathLen || !Narrow(wide, keep->path, sizeof(keep->path))) {
        keep->path[0] = '\0';
        return 0;
    }
    return 1;
}

int PlatformRestoreWorkFolder(PlatformWorkFolder *keep)
{
    static wchar_t wide[kWidePathLen];
    int ok = keep->path[0] != '\0' && Widen(keep->path, wide) && SetCurrentDirectoryW(wide) != 0;
    keep->path[0] = '\0';
    return ok;
}

const char *PlatformReplaceRefusal(const char *path)
{
    static wchar_t wide[kWidePathLen];
    if (!Widen(path, wide)) return PlatformErrorReason();
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        FailWith(GetLastError());
        return PlatformErrorReason();
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "is a folder";
    if (attributes & FILE_ATTRIBUTE_READONLY) return "file is read-only";
    return "not a regular file";
}

int PlatformRemoveStaleTemps(const char *folder, long minAgeSeconds)
{
    static wchar_t wide[kWidePathLen];
    char pattern[kPlatformPathLen];
    char path[kPlatformPathLen];
    char name[kPlatformPathLen];
    if (!Widen(folder, wide)) return 0;
    // A folder that is itself a link or a junction is not listed: its files belong elsewhere.
    DWORD attributes = GetFileAttributesW(wide);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return 0;
    int n = snprintf(pattern, sizeof(pattern), "%s\\*%s", folder, kTempEnding);
    if (n < 0 || (size_t)n >= sizeof(pattern) || !Widen(pattern, wide)) return 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(wide, &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int removed = 0;
    long long now = (long long)time(nullptr);
    do {
        // A reparse point (a link or a junction) is never followed nor removed.
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (!Narrow(found.cFileName, name, sizeof(name)) || !PlatformIsSaveTempName(name)) continue;
        long long written = (long long)found.ftLastWriteTime.dwHighDateTime << 32 | found.ftLastWriteTime.dwLowDateTime;
        if (now - FileTimeToEpochNs(written) / 1000000000LL < minAgeSeconds) continue;   // may still be written
        n = snprintf(path, sizeof(path), "%s\\%s", folder, name);
        if (n >= 0 && (size_t)n < sizeof(path) && Widen(path, wide) && DeleteFileW(wide)) removed++;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return removed;
}

int PlatformReadStamp(const char *path, PlatformStamp *stamp)
{
    *stamp = PlatformStamp{};
    HANDLE h = OpenEntry(path, FILE_READ_ATTRIBUTES, 0);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int ok = StampOfHandle(h, stamp);
    CloseHandle(h);
    return ok;
}

int PlatformStampOfFile(int file, PlatformStamp *stamp)
{
    *stamp = PlatformStamp{};
    HANDLE h = (HANDLE)_get_osfhandle(file);
    if (h == INVALID_HANDLE_VALUE || !StampOfHandle(h, stamp)) return 0;
    if (stamp->device == 0 && file == sTempFile) stamp->device = sTempVolume;
    return 1;
}

void PlatformCatchCloseSignals(void)
{
    signal(SIGTERM, NoteCloseSignal);
    if (sRescueDone == nullptr) sRescueDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(NoteConsoleClose, TRUE);
}

void PlatformCatchSessionEnd(void *window)
{
    // A console program that has a window hears of a logoff or a shutdown only through the
    // window's messages; its own procedure still gets every message after this one looked.
    HWND hwnd = (HWND)window;
    if (hwnd == nullptr || sWindowProc != nullptr) return;
    sWindowProc = (WNDPROC)SetWindowLongPtrW(hwnd, GWLP_WNDPROC, (LONG_PTR)SessionWindowProc);
}

void PlatformCloseTaken(void)
{
    if (sRescueDone != nullptr) SetEvent(sRescueDone);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// path (UTF-8, either separator) as the wide name the system calls take, in the "\\?\" form when
// it is too long for the plain one; 1, or 0 with errno set.
static int Widen(const char *path, wchar_t *out)
{
    static wchar_t plain[kWidePathLen];
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, plain, kWidePathLen);
    if (n <= 0) {
        errno = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? ENAMETOOLONG : EINVAL;
        return 0;
    }
    int component = 0;
    for (wchar_t *p = plain; *p != L'\0'; p++) {
        if (*p == L'/') *p = L'\\';
        component = *p == L'\\' ? 0 : component + 1;
        if (component > kNameLen) { errno = ENAMETOOLONG; return 0; }   // the system's words are less clear
    }
    bool prefixed = wcsncmp(plain, L"\\\\?\\", 4) == 0;
    // A relative name is as long as the working folder makes it; the long form takes no relative
    // parts, so the full path is what it holds, "." and ".." resolved.
    static wchar_t full[kWidePathLen];
    DWORD len = prefixed ? 0 : GetFullPathNameW(plain, kWidePathLen, full, nullptr);
    if (prefixed || (len > 0 && len < (DWORD)kShortPathLen)) {
        memcpy(out, plain, (size_t)n * sizeof(wchar_t));
        return 1;
    }
    if (len == 0 || len >= (DWORD)kWidePathLen - 8) { errno = ENAMETOOLONG; return 0; }
    bool unc = full[0] == L'\\' && full[1] == L'\\';
    int w = unc ? _snwprintf(out, kWidePathLen, L"\\\\?\\UNC\\%ls", full + 2)
                : _snwprintf(out, kWidePathLen, L"\\\\?\\%ls", full);
    if (w < 0 || w >= kWidePathLen) { errno = ENAMETOOLONG; return 0; }
    return 1;
}

// The wide name as UTF-8, without the "\\?\" prefix the system adds to final paths; 1 or 0.
static int Narrow(const wchar_t *wide, char *out, size_t outSize)
{
    char *start = out;
    if (wcsncmp(wide, L"\\\\?\\UNC\\", 8) == 0) {
        if (outSize < 3) { errno = ENAMETOOLONG; return 0; }
        out[0] = '\\';
        out[1] = '\\';
        start = out + 2;
        outSize -= 2;
        wide += 8;
    } else if (wcsncmp(wide, L"\\\\?\\", 4) == 0) {
        wide += 4;
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, start, (int)(outSize > INT_MAX ? INT_MAX : outSize), nullptr,
                                nullptr);
    if (n <= 0) {
        errno = ENAMETOOLONG;
        out[0] = '\0';
        return 0;
    }
    return 1;
}

// Sets errno from the system's error code (for PlatformErrorReason) and returns 0.
static int FailWith(DWORD error)
{
    errno = EIO;
    for (const LastErrorCode &e : kLastErrorCodes) {
        if (e.error == error) errno = e.code;
    }
    return 0;
}

// The entry at path (links followed) opened with the given access, sharing everything so that
// nobody else's open is disturbed, folders included; INVALID_HANDLE_VALUE with errno set.
static HANDLE OpenEntry(const char *path, DWORD access, DWORD flags)
{
    static wchar_t wide[kWidePathLen];
    if (!Widen(path, wide)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE h = CreateFileW(wide, access, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        FailWith(error);
        SetLastError(error);
    }
    return h;
}

// The open file's identity, times to the 100 ns and 64-bit size; 1, or 0 for anything but a file.
static int StampOfHandle(HANDLE h, PlatformStamp *stamp)
{
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO times;
    if (!HandleIsRegularFile(h) || !GetFileInformationByHandle(h, &info)) return 0;
    if (!GetFileInformationByHandleEx(h, FileBasicInfo, &times, sizeof(times))) return 0;
    stamp->device = info.dwVolumeSerialNumber;
    stamp->file = (unsigned long long)info.nFileIndexHigh << 32 | info.nFileIndexLow;
    stamp->mtimeNs = FileTimeToEpochNs(times.LastWriteTime.QuadPart);
    stamp->ctimeNs = FileTimeToEpochNs(times.ChangeTime.QuadPart);
    stamp->size = (long long)info.nFileSizeHigh << 32 | info.nFileSizeLow;
    return 1;
}

// 1 when the open handle is a file on a disk: not a folder, a device, a console or a pipe.
static int HandleIsRegularFile(HANDLE h)
{
    if (GetFileType(h) != FILE_TYPE_DISK) return 0;
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(h, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file time (100 ns steps since 1601) as nanoseconds since 1970.
static long long FileTimeToEpochNs(long long fileTime)
{
    return (fileTime - kEpochIn1601Units) * 100;
}

// The console's events arrive on a thread of their own, and the process ends as soon as the
// handler returns from a close, a logoff or a shutdown: the request is noted, and the handler
// waits until the frame loop has taken it and kept the unsaved work.
static BOOL WINAPI NoteConsoleClose(DWORD event)
{
    PlatformNoteCloseRequest();
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;   // the program goes on to its close
    if (sRescueDone != nullptr) WaitForSingleObject(sRescueDone, kSessionRescueWaitMs);
    return TRUE;
}

// The session ends: the system may end the process any time after WM_ENDSESSION returns, and the
// frame loop may never run again, so the exit's rescue keeps the work here, on the window's thread.
static LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYENDSESSION) {
        PlatformNoteCloseRequest();
        return TRUE;
    }
    if (message == WM_ENDSESSION && wParam) {
        PlatformRunExitRescue();
        return 0;
    }
    return CallWindowProcW(sWindowProc, window, message, wParam, lParam);
}

static void NoteCloseSignal(int number)
{
    (void)number;
    PlatformNoteCloseRequest();
}
#endif
