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
#include <dirent.h>
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
// A save's temporary file is "<name>.<8 hex digits>.tmp": made by PlatformCreateTemp, recognised
// by PlatformRemoveStaleTemps.
static constexpr int kTempTagDigits = 8;
static constexpr char kTempEnding[] = ".tmp";

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int PathExists(const char *path);
static unsigned TempTag(void);
static const char *SplitFolder(const char *path, char *folder, size_t folderSize);

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
    // A refusal leaves its cause in errno, for PlatformErrorReason.
    int n = snprintf(out, outSize, "%s", path);
    if (n < 0 || (size_t)n >= outSize) { errno = ENAMETOOLONG; return 0; }
#if defined(_WIN32)
    return 1;                   // links on Windows need privileges the editor's users rarely have
#else
    char link[kLinkTextLen];
    char joined[kLinkTextLen];
    for (int hop = 0; hop <= kPlatformMaxLinkHops; hop++) {
        struct stat st;
        if (lstat(out, &st) != 0 || !S_ISLNK(st.st_mode)) return 1;     // the chain ends here
        if (hop == kPlatformMaxLinkHops) { errno = ELOOP; return 0; }
        ssize_t len = readlink(out, link, sizeof(link));
        if (len < 0) return 0;
        if (len == 0 || (size_t)len >= sizeof(link)) { errno = ENAMETOOLONG; return 0; }
        link[len] = '\0';
        // A relative link names an entry in the folder of the link itself.
        const char *slash = strrchr(out, '/');
        int folderLen = (link[0] == '/' || !slash) ? 0 : (int)(slash - out) + 1;
        n = snprintf(joined, sizeof(joined), "%.*s%s", folderLen, out, link);
        if (n < 0 || (size_t)n >= sizeof(joined) || (size_t)n >= outSize) { errno = ENAMETOOLONG; return 0; }
        memcpy(out, joined, (size_t)n + 1);
    }
    errno = ELOOP;
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
        int n = snprintf(tempPath, tempSize, "%s.%0*x%s", path, kTempTagDigits, TempTag(), kTempEnding);
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
        if (n == 0) errno = ENOSPC;         // nothing taken and no error: the disk is full
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
    if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
    DWORD error = GetLastError();       // into errno, for PlatformErrorReason
    errno = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? EACCES
          : error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL     ? ENOSPC
          : error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND  ? ENOENT
                                                                            : EIO;
    return 0;
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
    if (SplitFolder(path, folder, sizeof(folder)) == nullptr) return 0;
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

// The folder that holds path ("." for a bare name, "/" for a name at the root) written into
// folder; the name that follows it in path, or nullptr when the folder does not fit.
static const char *SplitFolder(const char *path, char *folder, size_t folderSize)
{
    const char *slash = strrchr(path, '/');
#if defined(_WIN32)
    const char *back = strrchr(path, '\\');
    if (back && (!slash || back > slash)) slash = back;
#endif
    int n = !slash ? snprintf(folder, folderSize, ".")
                   : snprintf(folder, folderSize, "%.*s", slash == path ? 1 : (int)(slash - path), path);
    if (n < 0 || (size_t)n >= folderSize) return nullptr;
    return slash ? slash + 1 : path;
}

//----------------------------------------------------------------------------------
// Saves kept inside a folder, why a file operation failed, interrupted saves, the exit rescue
//----------------------------------------------------------------------------------
struct ErrorText {
    int code;
    const char *text;
};
static const ErrorText kErrorTexts[] = {
    { EACCES, "permission denied" },
    { EPERM, "permission denied" },
    { ENOSPC, "no space left on device" },
#if defined(EDQUOT)
    { EDQUOT, "disk quota exceeded" },
#endif
    { ENOENT, "no such folder" },                // a save names a file not there yet: its folder is missing
    { ENOTDIR, "no such folder" },
    { EROFS, "read-only file system" },
    { ELOOP, "too many links" },
    { ENAMETOOLONG, "name too long" },
    { EISDIR, "is a folder" },
    { EEXIST, "no free temporary name" },       // every name PlatformCreateTemp tried was taken
    { EIO, "input/output error" },
    { EMFILE, "too many open files" },
};
static constexpr int kErrorTextLen = 96;

static char sErrorText[kErrorTextLen];         // the system's own text for codes not listed
static void (*sExitRescue)(void);
static bool sExitHookSet;

static int PathInsideFolder(const char *real, const char *folder);
static int IsSaveTempName(const char *name);
static void RunExitRescue(void);

int PlatformPathLeaves(const char *path, const char *folder)
{
    char real[kPlatformPathLen];
    if (!PlatformRealPath(path, real, sizeof(real))) {
        // Not there yet: the real path of the folder that would hold it, and the name.
        char parent[kPlatformPathLen];
        const char *name = SplitFolder(path, parent, sizeof(parent));
        if (name == nullptr) return 0;
        if (name[0] == '\0' || strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return 0;  // no file to write
        char realParent[kPlatformPathLen];
        if (!PlatformRealPath(parent, realParent, sizeof(realParent))) return 0;
        bool rootParent = strcmp(realParent, "/") == 0;
        int n = snprintf(real, sizeof(real), "%s%s%s", realParent, rootParent ? "" : "/", name);
        if (n < 0 || (size_t)n >= sizeof(real)) return 1;
    }
    char realFolder[kPlatformPathLen];
    if (!PlatformRealPath(folder, realFolder, sizeof(realFolder))) return 1;   // nothing to show it stays inside
    return !PathInsideFolder(real, realFolder);
}

const char *PlatformErrorReason(void)
{
    int code = errno;
    for (const ErrorText &e : kErrorTexts) {
        if (e.code == code) return e.text;
    }
    if (code == 0) return "unknown error";
    snprintf(sErrorText, sizeof(sErrorText), "%s", strerror(code));
    if (sErrorText[0] >= 'A' && sErrorText[0] <= 'Z') sErrorText[0] = (char)(sErrorText[0] - 'A' + 'a');
    return sErrorText;
}

const char *PlatformReplaceRefusal(const char *path)
{
#if defined(_WIN32)
    struct _stat st;
    if (_stat(path, &st) != 0) return PlatformErrorReason();
    if ((st.st_mode & _S_IFMT) == _S_IFDIR) return "is a folder";
    if ((st.st_mode & _S_IFMT) != _S_IFREG) return "not a regular file";
#else
    struct stat st;
    if (stat(path, &st) != 0) return PlatformErrorReason();
    if (S_ISDIR(st.st_mode)) return "is a folder";
    if (!S_ISREG(st.st_mode)) return "not a regular file";
#endif
    return "file is read-only";
}

int PlatformRemoveStaleTemps(const char *folder, long minAgeSeconds)
{
    int removed = 0;
    time_t now = time(nullptr);
#if defined(_WIN32)
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
        if (!IsSaveTempName(found.cFileName)) continue;
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
#else
    int dir = open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) return 0;
    DIR *listing = fdopendir(dir);
    if (listing == nullptr) {
        close(dir);
        return 0;
    }
    for (struct dirent *entry = readdir(listing); entry != nullptr; entry = readdir(listing)) {
        if (!IsSaveTempName(entry->d_name)) continue;
        // The entry itself is looked at and removed, never where a link leads.
        struct stat st;
        if (fstatat(dir, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if ((long long)now - (long long)st.st_mtime < minAgeSeconds) continue;   // a save may still be writing it
        if (unlinkat(dir, entry->d_name, 0) == 0) removed++;
    }
    closedir(listing);          // closes dir with it
#endif
    return removed;
}

void PlatformSetExitRescue(void (*rescue)(void))
{
    // The one function handed down to this module, against the rule of no callbacks: Xlib's
    // default answer to a lost display connection is exit(1) from inside whichever library call
    // noticed it, so no return value can ever reach the program's own shutdown. An exit-time
    // handler is the one place left to keep the unsaved work, and it needs no X library of ours.
    sExitRescue = rescue;
    if (rescue != nullptr && !sExitHookSet) sExitHookSet = atexit(RunExitRescue) == 0;
}

// 1 when the real path real is folder itself or lies beneath it.
static int PathInsideFolder(const char *real, const char *folder)
{
    size_t len = strlen(folder);
    while (len > 1 && (folder[len - 1] == '/' || folder[len - 1] == '\\')) len--;   // "/" stays "/"
    if (strncmp(real, folder, len) != 0) return 0;
    char next = real[len];
    return next == '\0' || next == '/' || next == '\\' || folder[len - 1] == '/' || folder[len - 1] == '\\';
}

// 1 for "<name>.<8 hex digits>.tmp" with a name of at least one character, as PlatformCreateTemp
// makes them.
static int IsSaveTempName(const char *name)
{
    size_t len = strlen(name);
    size_t endLen = sizeof(kTempEnding) - 1;
    if (len < 1 + 1 + kTempTagDigits + endLen || strcmp(name + len - endLen, kTempEnding) != 0) return 0;
    const char *tag = name + len - endLen - kTempTagDigits;
    if (tag[-1] != '.') return 0;
    for (int i = 0; i < kTempTagDigits; i++) {
        char c = tag[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return 0;
    }
    return 1;
}

static void RunExitRescue(void)
{
    void (*rescue)(void) = sExitRescue;
    sExitRescue = nullptr;          // at most once, whatever the rescue itself ends in
    if (rescue != nullptr) rescue();
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
