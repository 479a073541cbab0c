// platform_win32.cpp: the platform module on Windows (kirto.exe): folders, the font, the save's
// file operations, real paths, stamps and the close requests.
#if defined(_WIN32)
#include "platform/platform.h"
#include "platform/platform_internal.h"

#include <cerrno>
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
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kFontCandidates[] = {
    "C:\\Windows\\Fonts\\tahoma.ttf",
};

static constexpr size_t kWriteChunk = 1u << 20;       // fits the Windows write call's unsigned count

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void NoteCloseSignal(int number);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PlatformMakeDir(const char *path)
{
    _mkdir(path);
}

const char *PlatformFontPath(void)
{
    for (const char *path : kFontCandidates) {
        if (_access(path, 0) == 0) return path;
    }
    return kFontCandidates[0];
}

int PlatformResolveLinks(const char *path, char *out, size_t outSize)
{
    int n = snprintf(out, outSize, "%s", path);
    if (n < 0 || (size_t)n >= outSize) { errno = ENAMETOOLONG; return 0; }
    return 1;                   // links on Windows need privileges the editor's users rarely have
}

int PlatformCheckReplaceable(const char *path, int *exists)
{
    *exists = 0;
    struct _stat st;
    if (_stat(path, &st) != 0) return errno == ENOENT;
    if (!(st.st_mode & _S_IFREG)) return 0;
    if (_access(path, 2) != 0 || !(st.st_mode & _S_IWRITE)) return 0;
    *exists = 1;
    return 1;
}

int PlatformCreateTemp(const char *path, char *tempPath, size_t tempSize)
{
    for (int attempt = 0; attempt < kPlatformTempAttempts; attempt++) {
        if (!PlatformTempName(path, PlatformTempTag((unsigned)_getpid()), tempPath, tempSize)) return -1;
        // Exclusive creation fails on any entry already there, so the save can only ever write
        // into a file it made itself.
        int file = _open(tempPath, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
        if (file >= 0) return file;
        if (errno != EEXIST) return -1;
    }
    return -1;
}

int PlatformWriteAll(int file, const void *data, size_t size)
{
    const char *p = (const char *)data;
    while (size > 0) {
        size_t chunk = size < kWriteChunk ? size : kWriteChunk;
        long n = _write(file, p, (unsigned)chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;         // nothing taken and no error: the disk is full
        if (n <= 0) return 0;
        p += n;
        size -= (size_t)n;
    }
    return 1;
}

int PlatformCopyMode(int file, const char *from)
{
    (void)file;
    (void)from;
    return 1;                   // the only permission there is read-only, and such files are refused
}

int PlatformSyncFile(int file)
{
    return _commit(file) == 0;
}

int PlatformCloseFile(int file)
{
    return _close(file) == 0;
}

int PlatformReplaceFile(const char *from, const char *to)
{
    // rename() refuses an existing target on Windows; this call replaces it and waits for the disk.
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
    DWORD error = GetLastError();       // into errno, for PlatformErrorReason
    errno = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? EACCES
          : error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL     ? ENOSPC
          : error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND  ? ENOENT
                                                                            : EIO;
    return 0;
}

int PlatformSyncFolderOf(const char *path)
{
    (void)path;
    return 1;                   // the write-through move already reached the disk
}

int PlatformRemoveFile(const char *path)
{
    return _unlink(path) == 0;
}

int PlatformIsRegularFile(const char *path)
{
    struct _stat st;
    return _stat(path, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
}

FILE *PlatformOpenRegularFile(const char *path)
{
    if (!PlatformIsRegularFile(path)) return nullptr;   // a device is never opened
    FILE *f = fopen(path, "rb");
    struct _stat st;
    if (f != nullptr && (_fstat(_fileno(f), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)) {
        fclose(f);
        f = nullptr;
    }
    return f;
}

const char *PlatformFileRefusal(const char *path, long maxBytes)
{
    struct _stat st;
    int found = _stat(path, &st) == 0;
    bool regular = found && (st.st_mode & _S_IFMT) == _S_IFREG;
    if (!found) return errno == ENOENT || errno == ENOTDIR ? "no such file" : "unreadable file";
    if (!regular) return "not a regular file";
    if (maxBytes >= 0 && (long long)st.st_size > (long long)maxBytes) return "file too large";
    return "unreadable file";
}

int PlatformRealPath(const char *path, char *out, size_t outSize)
{
    char full[kPlatformPathLen];
    DWORD n = GetFullPathNameA(path, (DWORD)sizeof(full), full, nullptr);
    if (n == 0 || n >= sizeof(full) || _access(full, 0) != 0) return 0;
    int len = snprintf(out, outSize, "%s", full);
    return len >= 0 && (size_t)len < outSize;
}

int PlatformKeepWorkFolder(PlatformWorkFolder *keep)
{
    keep->handle = -1;
    keep->path[0] = '\0';
    DWORD n = GetCurrentDirectoryA((DWORD)sizeof(keep->path), keep->path);
    if (n == 0 || n >= sizeof(keep->path)) {
        keep->path[0] = '\0';
        return 0;
    }
    return 1;
}

int PlatformRestoreWorkFolder(PlatformWorkFolder *keep)
{
    int ok = keep->path[0] != '\0' && SetCurrentDirectoryA(keep->path) != 0;
    keep->path[0] = '\0';
    return ok;
}

const char *PlatformReplaceRefusal(const char *path)
{
    struct _stat st;
    if (_stat(path, &st) != 0) return PlatformErrorReason();
    if ((st.st_mode & _S_IFMT) == _S_IFDIR) return "is a folder";
    if ((st.st_mode & _S_IFMT) != _S_IFREG) return "not a regular file";
    return "file is read-only";
}

int PlatformRemoveStaleTemps(const char *folder, long minAgeSeconds)
{
    int removed = 0;
    time_t now = time(nullptr);
    char pattern[kPlatformPathLen];
    char path[kPlatformPathLen];
    int n = snprintf(pattern, sizeof(pattern), "%s\\*%s", folder, kTempEnding);
    if (n < 0 || (size_t)n >= sizeof(pattern)) return 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        // A reparse point (a link or a junction) is never followed nor removed.
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        if (!PlatformIsSaveTempName(found.cFileName)) continue;
        ULARGE_INTEGER written;
        written.LowPart = found.ftLastWriteTime.dwLowDateTime;
        written.HighPart = found.ftLastWriteTime.dwHighDateTime;
        // File times count 100 ns steps from 1601; time() counts seconds from 1970.
        long long seconds = (long long)(written.QuadPart / 10000000ull) - 11644473600ll;
        if ((long long)now - seconds < minAgeSeconds) continue;
        n = snprintf(path, sizeof(path), "%s\\%s", folder, found.cFileName);
        if (n >= 0 && (size_t)n < sizeof(path) && DeleteFileA(path)) removed++;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return removed;
}

int PlatformReadStamp(const char *path, PlatformStamp *stamp)
{
    *stamp = PlatformStamp{};
    struct _stat64 st;
    if (_stat64(path, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return 0;
    stamp->mtimeNs = (long long)st.st_mtime * 1000000000LL;
    stamp->size = (long long)st.st_size;
    return 1;
}

int PlatformStampOfFile(int file, PlatformStamp *stamp)
{
    *stamp = PlatformStamp{};
    struct _stat64 st;
    if (_fstat64(file, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return 0;
    stamp->mtimeNs = (long long)st.st_mtime * 1000000000LL;
    stamp->size = (long long)st.st_size;
    return 1;
}

void PlatformCatchCloseSignals(void)
{
    signal(SIGTERM, NoteCloseSignal);
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void NoteCloseSignal(int number)
{
    (void)number;
    PlatformNoteCloseRequest();
}
#endif
