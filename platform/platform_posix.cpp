// platform_posix.cpp: the platform module on POSIX systems (the Linux build): folders, the font,
// the save's file operations, links and real paths, stamps and the close signals.
#if !defined(_WIN32)
#include "platform/platform.h"
#include "platform/platform_internal.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static const char *const kFontCandidates[] = {
    "C:\\Windows\\Fonts\\tahoma.ttf",
    "/usr/share/wine/fonts/tahoma.ttf",                      // Debian fonts-wine, Tahoma's metrics
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",       // Debian fonts-dejavu-core
};

// The signals that ask the program to end: a logout (SIGTERM, SIGHUP) and Ctrl+C or Ctrl+\ in
// its console (SIGINT, SIGQUIT). Each is a close request, which keeps the unsaved work first.
static const int kCloseSignals[] = { SIGTERM, SIGHUP, SIGINT, SIGQUIT };

static constexpr size_t kWriteChunk = 1u << 20;
static constexpr size_t kLinkTextLen = PATH_MAX;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static void NoteCloseSignal(int number);
static int StampFromStat(const struct stat *st, PlatformStamp *stamp);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void PlatformMakeDir(const char *path)
{
    mkdir(path, 0755);
}

const char *PlatformFontPath(void)
{
    for (const char *path : kFontCandidates) {
        struct stat st;
        if (stat(path, &st) == 0) return path;
    }
    return kFontCandidates[0];
}

int PlatformResolveLinks(const char *path, char *out, size_t outSize)
{
    // A refusal leaves its cause in errno, for PlatformErrorReason.
    int n = snprintf(out, outSize, "%s", path);
    if (n < 0 || (size_t)n >= outSize) { errno = ENAMETOOLONG; return 0; }
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
}

int PlatformCheckReplaceable(const char *path, int *exists)
{
    *exists = 0;
    struct stat st;
    if (stat(path, &st) != 0) return errno == ENOENT;
    if (!S_ISREG(st.st_mode)) return 0;
    // access() says yes to root for every file, so a file without any write bit counts as
    // read-only too: whoever took the bits away meant the file to be kept as it is.
    if (access(path, W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return 0;
    *exists = 1;
    return 1;
}

int PlatformCreateTemp(const char *path, char *tempPath, size_t tempSize)
{
    for (int attempt = 0; attempt < kPlatformTempAttempts; attempt++) {
        if (!PlatformTempName(path, PlatformTempTag((unsigned)getpid()), tempPath, tempSize)) return -1;
        // Exclusive creation fails on any entry already there, a symbolic link included, so the
        // save can only ever write into a file it made itself.
        int file = open(tempPath, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
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
        long n = (long)write(file, p, chunk);
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
    struct stat st;
    // Gone since the save looked: the file is new after all and keeps the default mode.
    if (stat(from, &st) != 0) return errno == ENOENT;
    return fchmod(file, st.st_mode & 0777) == 0;
}

int PlatformSyncFile(int file)
{
    return fsync(file) == 0;
}

int PlatformCloseFile(int file)
{
    return close(file) == 0;
}

int PlatformReplaceFile(const char *from, const char *to)
{
    return rename(from, to) == 0;   // one step over an existing file on POSIX systems
}

int PlatformSyncFolderOf(const char *path)
{
    char folder[kLinkTextLen];
    if (PlatformSplitFolder(path, folder, sizeof(folder)) == nullptr) { errno = ENAMETOOLONG; return 0; }
    int dir = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return 0;
    int ok = fsync(dir) == 0 || errno == EINVAL;     // some file systems cannot flush a folder
    close(dir);
    return ok;
}

int PlatformRemoveFile(const char *path)
{
    return unlink(path) == 0;   // unlike remove(), never takes away a folder
}

int PlatformIsRegularFile(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

FILE *PlatformOpenRegularFile(const char *path)
{
    if (!PlatformIsRegularFile(path)) return nullptr;   // a device is never opened
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
}

const char *PlatformFileRefusal(const char *path, long maxBytes)
{
    struct stat st;
    int found = stat(path, &st) == 0;
    bool regular = found && S_ISREG(st.st_mode);
    if (!found) return errno == ENOENT || errno == ENOTDIR ? "no such file" : "unreadable file";
    if (!regular) return "not a regular file";
    if (maxBytes >= 0 && (long long)st.st_size > (long long)maxBytes) return "file too large";
    return "unreadable file";
}

int PlatformRealPath(const char *path, char *out, size_t outSize)
{
    char full[PATH_MAX];
    if (!realpath(path, full)) return 0;
    int len = snprintf(out, outSize, "%s", full);
    return len >= 0 && (size_t)len < outSize;
}

int PlatformOpenFolderListing(const char *folder, PlatformFolderListing *listing)
{
    listing->pending = 0;
    listing->handle = opendir(folder);
    int n = snprintf(listing->path, sizeof(listing->path), "%s/", folder);
    listing->folderLen = n < 0 ? 0 : (size_t)n;
    if (listing->handle != nullptr && (n < 0 || (size_t)n >= sizeof(listing->path))) PlatformCloseFolderListing(listing);
    return listing->handle != nullptr;
}

const char *PlatformNextFolderEntry(PlatformFolderListing *listing)
{
    if (listing->handle == nullptr) return nullptr;
    for (struct dirent *entry = readdir((DIR *)listing->handle); entry != nullptr;
         entry = readdir((DIR *)listing->handle)) {
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) continue;
        size_t room = sizeof(listing->path) - listing->folderLen;
        int n = snprintf(listing->path + listing->folderLen, room, "%s", entry->d_name);
        if (n < 0 || (size_t)n >= room) continue;
        return listing->path;
    }
    return nullptr;
}

void PlatformCloseFolderListing(PlatformFolderListing *listing)
{
    if (listing->handle != nullptr) closedir((DIR *)listing->handle);
    listing->handle = nullptr;
}

int PlatformIsFolder(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

long long PlatformModTime(const char *path)
{
    struct stat st;
    return stat(path, &st) == 0 ? (long long)st.st_mtime : 0;
}

int PlatformKeepWorkFolder(PlatformWorkFolder *keep)
{
    keep->handle = -1;
    keep->path[0] = '\0';
    // A handle, not the name: the folder is found again even when its name has moved or a
    // folder on the way has lost its search permission.
    keep->handle = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return keep->handle >= 0;
}

int PlatformRestoreWorkFolder(PlatformWorkFolder *keep)
{
    if (keep->handle < 0) return 0;
    int ok = fchdir(keep->handle) == 0;
    close(keep->handle);
    keep->handle = -1;
    return ok;
}

const char *PlatformReplaceRefusal(const char *path)
{
    struct stat st;
    if (stat(path, &st) != 0) return PlatformErrorReason();
    if (S_ISDIR(st.st_mode)) return "is a folder";
    if (!S_ISREG(st.st_mode)) return "not a regular file";
    // A whole read-only volume, or a file too busy to write, says so rather than blame the file.
    if (access(path, W_OK) != 0 && errno != EACCES) return PlatformErrorReason();
    return "file is read-only";
}

int PlatformRemoveStaleTemps(const char *folder, long minAgeSeconds)
{
    int removed = 0;
    time_t now = time(nullptr);
    int dir = open(folder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir < 0) return 0;
    DIR *listing = fdopendir(dir);
    if (listing == nullptr) {
        close(dir);
        return 0;
    }
    for (struct dirent *entry = readdir(listing); entry != nullptr; entry = readdir(listing)) {
        if (!PlatformIsSaveTempName(entry->d_name)) continue;
        // The entry itself is looked at and removed, never where a link leads.
        struct stat st;
        if (fstatat(dir, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if ((long long)now - (long long)st.st_mtime < minAgeSeconds) continue;   // a save may still be writing it
        if (unlinkat(dir, entry->d_name, 0) == 0) removed++;
    }
    closedir(listing);          // closes dir with it
    return removed;
}

int PlatformReadStamp(const char *path, PlatformStamp *stamp)
{
    struct stat st;
    return StampFromStat(stat(path, &st) == 0 ? &st : nullptr, stamp);
}

int PlatformStampOfFile(int file, PlatformStamp *stamp)
{
    struct stat st;
    return StampFromStat(fstat(file, &st) == 0 ? &st : nullptr, stamp);
}

void PlatformCatchCloseSignals(void)
{
    struct sigaction action;
    memset(&action, 0, sizeof(action));
    action.sa_handler = NoteCloseSignal;
    sigemptyset(&action.sa_mask);
    // Restarted calls: a signal in the middle of a save must not make its write fail.
    action.sa_flags = SA_RESTART;
    for (int number : kCloseSignals) {
        struct sigaction was;
        // Whoever started the program ignored it on purpose (nohup): it stays ignored.
        if (sigaction(number, nullptr, &was) == 0 && was.sa_handler == SIG_IGN) continue;
        sigaction(number, &action, nullptr);
    }
}

void PlatformCatchSessionEnd(void *window)
{
    (void)window;               // a logout's SIGTERM or SIGHUP says it here
}

void PlatformCloseTaken(void)
{
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
static void NoteCloseSignal(int number)
{
    (void)number;
    PlatformNoteCloseRequest();
}

// The stamp of a regular file from what stat said of it (nullptr when it failed); 1, or 0 with a
// zero stamp.
static int StampFromStat(const struct stat *st, PlatformStamp *stamp)
{
    *stamp = PlatformStamp{};
    if (st == nullptr || !S_ISREG(st->st_mode)) return 0;
    stamp->device = (unsigned long long)st->st_dev;
    stamp->file = (unsigned long long)st->st_ino;
#if defined(__APPLE__)
    stamp->mtimeNs = (long long)st->st_mtimespec.tv_sec * 1000000000LL + st->st_mtimespec.tv_nsec;
    stamp->ctimeNs = (long long)st->st_ctimespec.tv_sec * 1000000000LL + st->st_ctimespec.tv_nsec;
#else
    stamp->mtimeNs = (long long)st->st_mtim.tv_sec * 1000000000LL + st->st_mtim.tv_nsec;
    stamp->ctimeNs = (long long)st->st_ctim.tv_sec * 1000000000LL + st->st_ctim.tv_nsec;
#endif
    stamp->size = (long long)st->st_size;
    return 1;
}
#endif
