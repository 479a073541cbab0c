// platform.cpp: folder creation, the font path and the save's file operations on Windows and POSIX.
#include "platform/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <sys/types.h>
#else
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#endif

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kFontCandidates[] = {
    "C:\\Windows\\Fonts\\tahoma.ttf",
    "/usr/share/wine/fonts/tahoma.ttf",                      // Debian fonts-wine, Tahoma's metrics
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",       // Debian fonts-dejavu-core
};

static constexpr size_t kWriteChunk = 1u << 20;       // fits the Windows write call's unsigned count
#if !defined(_WIN32)
static constexpr size_t kLinkTextLen = PATH_MAX;
#endif

static unsigned sTempSerial;                          // tells apart the names one run generates

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int PathExists(const char *path);
static unsigned TempTag(void);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PlatformMakeDir(const char *path)
{
#if defined(_WIN32)
    _mkdir(path);
#else
    mkdir(path, 0755);
#endif
}

const char *PlatformFontPath(void)
{
    for (const char *path : kFontCandidates) {
        if (PathExists(path)) return path;
    }
    return kFontCandidates[0];
}

int PlatformResolveLinks(const char *path, char *out, size_t outSize)
{
    int n = snprintf(out, outSize, "%s", path);
    if (n < 0 || (size_t)n >= outSize) return 0;
#if defined(_WIN32)
    return 1;                   // links on Windows need privileges the editor's users rarely have
#else
    char link[kLinkTextLen];
    char joined[kLinkTextLen];
    for (int hop = 0; hop <= kPlatformMaxLinkHops; hop++) {
        struct stat st;
        if (lstat(out, &st) != 0 || !S_ISLNK(st.st_mode)) return 1;     // the chain ends here
        if (hop == kPlatformMaxLinkHops) return 0;
        ssize_t len = readlink(out, link, sizeof(link));
        if (len <= 0 || (size_t)len >= sizeof(link)) return 0;
        link[len] = '\0';
        // A relative link names an entry in the folder of the link itself.
        const char *slash = strrchr(out, '/');
        int folderLen = (link[0] == '/' || !slash) ? 0 : (int)(slash - out) + 1;
        n = snprintf(joined, sizeof(joined), "%.*s%s", folderLen, out, link);
        if (n < 0 || (size_t)n >= sizeof(joined) || (size_t)n >= outSize) return 0;
        memcpy(out, joined, (size_t)n + 1);
    }
    return 0;
#endif
}

int PlatformCheckReplaceable(const char *path, int *exists)
{
    *exists = 0;
#if defined(_WIN32)
    struct _stat st;
    if (_stat(path, &st) != 0) return errno == ENOENT;
    if (!(st.st_mode & _S_IFREG)) return 0;
    if (_access(path, 2) != 0 || !(st.st_mode & _S_IWRITE)) return 0;
#else
    struct stat st;
    if (stat(path, &st) != 0) return errno == ENOENT;
    if (!S_ISREG(st.st_mode)) return 0;
    // access() says yes to root for every file, so a file without any write bit counts as
    // read-only too: whoever took the bits away meant the file to be kept as it is.
    if (access(path, W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return 0;
#endif
    *exists = 1;
    return 1;
}

int PlatformCreateTemp(const char *path, char *tempPath, size_t tempSize)
{
    for (int attempt = 0; attempt < kPlatformTempAttempts; attempt++) {
        int n = snprintf(tempPath, tempSize, "%s.%08x.tmp", path, TempTag());
        if (n < 0 || (size_t)n >= tempSize) return -1;
        // Exclusive creation fails on any entry already there, a symbolic link included, so the
        // save can only ever write into a file it made itself.
#if defined(_WIN32)
        int file = _open(tempPath, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        int file = open(tempPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
#endif
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
#if defined(_WIN32)
        long n = _write(file, p, (unsigned)chunk);
#else
        long n = (long)write(file, p, chunk);
#endif
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        p += n;
        size -= (size_t)n;
    }
    return 1;
}

int PlatformCopyMode(int file, const char *from)
{
#if defined(_WIN32)
    (void)file;
    (void)from;
    return 1;                   // the only permission there is read-only, and such files are refused
#else
    struct stat st;
    if (stat(from, &st) != 0) return 0;
    return fchmod(file, st.st_mode & 0777) == 0;
#endif
}

int PlatformSyncFile(int file)
{
#if defined(_WIN32)
    return _commit(file) == 0;
#else
    return fsync(file) == 0;
#endif
}

int PlatformCloseFile(int file)
{
#if defined(_WIN32)
    return _close(file) == 0;
#else
    return close(file) == 0;
#endif
}

int PlatformReplaceFile(const char *from, const char *to)
{
#if defined(_WIN32)
    // rename() refuses an existing target on Windows; this call replaces it and waits for the disk.
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
#else
    return rename(from, to) == 0;   // one step over an existing file on POSIX systems
#endif
}

int PlatformSyncFolderOf(const char *path)
{
#if defined(_WIN32)
    (void)path;
    return 1;                   // the write-through move already reached the disk
#else
    char folder[kLinkTextLen];
    const char *slash = strrchr(path, '/');
    int n = !slash ? snprintf(folder, sizeof(folder), ".")
                   : snprintf(folder, sizeof(folder), "%.*s", slash == path ? 1 : (int)(slash - path), path);
    if (n < 0 || (size_t)n >= sizeof(folder)) return 0;
    int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return 0;
    int ok = fsync(dir) == 0 || errno == EINVAL;     // some file systems cannot flush a folder
    close(dir);
    return ok;
#endif
}

int PlatformRemoveFile(const char *path)
{
#if defined(_WIN32)
    return _unlink(path) == 0;
#else
    return unlink(path) == 0;   // unlike remove(), never takes away a folder
#endif
}

int PlatformIsRegularFile(const char *path)
{
#if defined(_WIN32)
    struct _stat st;
    return _stat(path, &st) == 0 && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
#endif
}

FILE *PlatformOpenRegularFile(const char *path)
{
    if (!PlatformIsRegularFile(path)) return nullptr;   // a device is never opened
#if defined(_WIN32)
    FILE *f = fopen(path, "rb");
    struct _stat st;
    if (f != nullptr && (_fstat(_fileno(f), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG)) {
        fclose(f);
        f = nullptr;
    }
    return f;
#else
    // Opened without waiting for a writer, then checked on the open file itself.
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st;
    int flags = fcntl(fd, F_GETFL);
    bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flags >= 0 &&
                   fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
    FILE *f = regular ? fdopen(fd, "rb") : nullptr;
    if (f == nullptr) close(fd);
    return f;
#endif
}

int PlatformReadRegularFile(const char *path, long maxBytes, unsigned char **data, long *size)
{
    *data = nullptr;
    *size = 0;
    FILE *f = PlatformOpenRegularFile(path);
    if (f == nullptr) return 0;
    long length = -1;
    if (fseek(f, 0, SEEK_END) == 0) length = ftell(f);
    unsigned char *bytes = nullptr;
    if (length >= 0 && length <= maxBytes && fseek(f, 0, SEEK_SET) == 0) {
        bytes = (unsigned char *)calloc((size_t)length + 1, 1);   // zeroed: the NUL after the last byte
    }
    bool ok = bytes != nullptr && fread(bytes, 1, (size_t)length, f) == (size_t)length;
    fclose(f);
    if (!ok) {
        free(bytes);
        return 0;
    }
    *data = bytes;
    *size = length;
    return 1;
}

const char *PlatformFileRefusal(const char *path, long maxBytes)
{
#if defined(_WIN32)
    struct _stat st;
    int found = _stat(path, &st) == 0;
    bool regular = found && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat st;
    int found = stat(path, &st) == 0;
    bool regular = found && S_ISREG(st.st_mode);
#endif
    if (!found) return errno == ENOENT || errno == ENOTDIR ? "no such file" : "unreadable file";
    if (!regular) return "not a regular file";
    if (maxBytes >= 0 && (long long)st.st_size > (long long)maxBytes) return "file too large";
    return "unreadable file";
}

int PlatformRealPath(const char *path, char *out, size_t outSize)
{
#if defined(_WIN32)
    char full[kPlatformPathLen];
    DWORD n = GetFullPathNameA(path, (DWORD)sizeof(full), full, nullptr);
    if (n == 0 || n >= sizeof(full) || _access(full, 0) != 0) return 0;
#else
    char full[PATH_MAX];
    if (!realpath(path, full)) return 0;
#endif
    int len = snprintf(out, outSize, "%s", full);
    return len >= 0 && (size_t)len < outSize;
}

int PlatformKeepWorkFolder(PlatformWorkFolder *keep)
{
    keep->handle = -1;
    keep->path[0] = '\0';
#if defined(_WIN32)
    DWORD n = GetCurrentDirectoryA((DWORD)sizeof(keep->path), keep->path);
    if (n == 0 || n >= sizeof(keep->path)) {
        keep->path[0] = '\0';
        return 0;
    }
    return 1;
#else
    // A handle, not the name: the folder is found again even when its name has moved or a
    // folder on the way has lost its search permission.
    keep->handle = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return keep->handle >= 0;
#endif
}

int PlatformRestoreWorkFolder(PlatformWorkFolder *keep)
{
#if defined(_WIN32)
    int ok = keep->path[0] != '\0' && SetCurrentDirectoryA(keep->path) != 0;
    keep->path[0] = '\0';
    return ok;
#else
    if (keep->handle < 0) return 0;
    int ok = fchdir(keep->handle) == 0;
    close(keep->handle);
    keep->handle = -1;
    return ok;
#endif
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static int PathExists(const char *path)
{
#if defined(_WIN32)
    return _access(path, 0) == 0;
#else
    struct stat st;
    return stat(path, &st) == 0;
#endif
}

// Eight hex digits that differ between processes, runs and calls, so a name is rarely taken and
// a taken one costs one more attempt.
static unsigned TempTag(void)
{
#if defined(_WIN32)
    unsigned pid = (unsigned)_getpid();
#else
    unsigned pid = (unsigned)getpid();
#endif
    unsigned x = pid * 2654435761u ^ (unsigned)time(nullptr) * 40503u ^ ++sTempSerial * 2246822519u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return x;
}

//----------------------------------------------------------------------------------
// File stamps and close signals
//----------------------------------------------------------------------------------
// Set by the signal handler, read and cleared by the frame loop: the one thing a handler may
// safely touch.
static volatile sig_atomic_t sCloseSignal = 0;

static void NoteCloseSignal(int number)
{
    (void)number;
    sCloseSignal = 1;
}

int PlatformReadStamp(const char *path, PlatformStamp *stamp)
{
    stamp->mtimeNs = 0;
    stamp->size = 0;
#if defined(_WIN32)
    struct _stat64 st;
    if (_stat64(path, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return 0;
    stamp->mtimeNs = (long long)st.st_mtime * 1000000000LL;
#else
    struct stat st;
    if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return 0;
#if defined(__APPLE__)
    stamp->mtimeNs = (long long)st.st_mtimespec.tv_sec * 1000000000LL + st.st_mtimespec.tv_nsec;
#else
    stamp->mtimeNs = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
#endif
#endif
    stamp->size = (long long)st.st_size;
    return 1;
}

int PlatformStampsEqual(const PlatformStamp *a, const PlatformStamp *b)
{
    return a->mtimeNs == b->mtimeNs && a->size == b->size;
}

void PlatformCatchCloseSignals(void)
{
#if defined(_WIN32)
    signal(SIGTERM, NoteCloseSignal);
#else
    struct sigaction action;
    memset(&action, 0, sizeof(action));
    action.sa_handler = NoteCloseSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: a signal in the middle of a save must not make its write fail.
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
#endif
}

int PlatformCloseSignalled(void)
{
    return sCloseSignal != 0;
}

int PlatformTakeCloseSignal(void)
{
    if (sCloseSignal == 0) return 0;
    sCloseSignal = 0;
    return 1;
}
