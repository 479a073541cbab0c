// platform.cpp: the part of the platform module that is the same on every system: reading a whole
// regular file, saves kept inside a folder, the reasons of failed file operations, temporary names,
// the exit rescue, stamps compared and the close requests noted. What differs lives in
// platform_posix.cpp and platform_win32.cpp.
#include "platform/platform.h"
#include "platform/platform_internal.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <ctime>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
struct ErrorText {
    int code;
    const char *text;
};
static const ErrorText kErrorTexts[] = {
#if defined(_WIN32)
    // What the Windows part makes of the system's own errors, where its words differ.
    { EBUSY, "in use by another program" },      // a sharing or lock violation
    { EROFS, "disk is write-protected" },
    { EFBIG, "file too large" },
    { EINVAL, "name Windows cannot hold" },
#endif
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
static unsigned sTempSerial;                   // tells apart the names one run generates
static void (*sExitRescue)(void);
static bool sExitHookSet;
// The names Windows keeps for devices, with or without an extension.
static const char *const kDeviceNames[] = { "CON", "PRN", "AUX", "NUL" };
static const char *const kNumberedDeviceNames[] = { "COM", "LPT" };
static const char kWindowsForbiddenChars[] = "<>:\"|?*";
// Set by a signal handler (or the system's close events), read and cleared by the frame loop: the
// one thing a handler may safely touch.
static volatile sig_atomic_t sCloseSignal = 0;

//----------------------------------------------------------------------------------
// Internal declarations
//----------------------------------------------------------------------------------
static int IsDeviceName(const char *name);
static int SamePathChar(char a, char b);

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
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

int PlatformPathLeaves(const char *path, const char *folder)
{
    char real[kPlatformPathLen];
    if (!PlatformRealPath(path, real, sizeof(real))) {
        // Not there yet: the real path of the folder that would hold it, and the name.
        char parent[kPlatformPathLen];
        const char *name = PlatformSplitFolder(path, parent, sizeof(parent));
        if (name == nullptr) return 0;
        if (name[0] == '\0' || strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return 0;  // no file to write
        char realParent[kPlatformPathLen];
        if (!PlatformRealPath(parent, realParent, sizeof(realParent))) return 0;
        size_t parentLen = strlen(realParent);
        bool rootParent = parentLen > 0 && (realParent[parentLen - 1] == '/' || realParent[parentLen - 1] == '\\');
        int n = snprintf(real, sizeof(real), "%s%s%s", realParent, rootParent ? "" : "/", name);
        if (n < 0 || (size_t)n >= sizeof(real)) return 1;
    }
    char realFolder[kPlatformPathLen];
    if (!PlatformRealPath(folder, realFolder, sizeof(realFolder))) return 1;   // nothing to show it stays inside
    return !PlatformPathInsideFolder(real, realFolder);
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

void PlatformSetExitRescue(void (*rescue)(void))
{
    // The one function handed down to this module, against the rule of no callbacks: Xlib's
    // default answer to a lost display connection is exit(1) from inside whichever library call
    // noticed it, so no return value can ever reach the program's own shutdown. An exit-time
    // handler is the one place left to keep the unsaved work, and it needs no X library of ours.
    sExitRescue = rescue;
    if (rescue != nullptr && !sExitHookSet) sExitHookSet = atexit(PlatformRunExitRescue) == 0;
}

const char *PlatformWindowsNameRefusal(const char *name)
{
    size_t len = strlen(name);
    for (size_t i = 0; i < len; i++) {
        unsigned char c = (unsigned char)name[i];
        if (c < 32) return "Windows cannot hold a control character in a name";
        if (strchr(kWindowsForbiddenChars, c) != nullptr) return "Windows cannot hold <>:\"|?* in a name";
    }
    if (len > 0 && (name[len - 1] == ' ' || name[len - 1] == '.')) {
        return "Windows cannot hold a name ending in a space or a dot";
    }
    if (IsDeviceName(name)) return "Windows keeps that name for a device";
    return nullptr;
}

const char *PlatformNameRefusal(const char *name)
{
#if defined(_WIN32)
    return PlatformWindowsNameRefusal(name);
#else
    (void)name;
    return nullptr;             // every name but "/" and NUL is stored as typed
#endif
}

int PlatformIsSaveTempName(const char *path)
{
    const char *name = path;
    for (const char *p = path; *p != '\0'; p++) {
#if defined(_WIN32)
        if (*p == '\\') name = p + 1;
#endif
        if (*p == '/') name = p + 1;
    }
    size_t len = strlen(name);
    size_t markerLen = sizeof(kTempMarker) - 1, endLen = sizeof(kTempEnding) - 1;
    size_t tail = markerLen + kTempTagDigits + endLen;
    if (len < 1 + tail || strcmp(name + len - endLen, kTempEnding) != 0) return 0;
    if (strncmp(name + len - tail, kTempMarker, markerLen) != 0) return 0;
    const char *tag = name + len - endLen - kTempTagDigits;
    for (int i = 0; i < kTempTagDigits; i++) {
        char c = tag[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return 0;
    }
    return 1;
}

int PlatformStampsEqual(const PlatformStamp *a, const PlatformStamp *b)
{
    return a->device == b->device && a->file == b->file && a->mtimeNs == b->mtimeNs && a->ctimeNs == b->ctimeNs &&
           a->size == b->size;
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

//----------------------------------------------------------------------------------
// Internal functions shared with the system parts
//----------------------------------------------------------------------------------
unsigned PlatformTempTag(unsigned pid)
{
    unsigned x = pid * 2654435761u ^ (unsigned)time(nullptr) * 40503u ^ ++sTempSerial * 2246822519u;
    x ^= x >> 15;
    x *= 2246822519u;
    x ^= x >> 13;
    return x;
}

const char *PlatformSplitFolder(const char *path, char *folder, size_t folderSize)
{
    const char *slash = strrchr(path, '/');
    int rootLen = 1;            // "/" stays the folder of "/a"
#if defined(_WIN32)
    const char *back = strrchr(path, '\\');
    if (back && (!slash || back > slash)) slash = back;
    bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':';
    if (drive) rootLen = 3;     // "C:\" stays the folder of "C:\a"
    if (drive && !slash) {      // "C:a" lies in the drive's working folder, "C:"
        int n = snprintf(folder, folderSize, "%.2s", path);
        return n < 0 || (size_t)n >= folderSize ? nullptr : path + 2;
    }
#endif
    int n = !slash ? snprintf(folder, folderSize, ".")
                   : snprintf(folder, folderSize, "%.*s", slash - path < rootLen ? (int)(slash - path) + 1
                                                                                 : (int)(slash - path), path);
    if (n < 0 || (size_t)n >= folderSize) return nullptr;
    return slash ? slash + 1 : path;
}

int PlatformPathInsideFolder(const char *real, const char *folder)
{
    size_t len = strlen(folder);
    while (len > 1 && (folder[len - 1] == '/' || folder[len - 1] == '\\')) len--;   // "/" stays "/"
    for (size_t i = 0; i < len; i++) {
        if (!SamePathChar(real[i], folder[i])) return 0;
    }
    char next = real[len];
    return next == '\0' || next == '/' || next == '\\' || folder[len - 1] == '/' || folder[len - 1] == '\\';
}

int PlatformTempName(const char *path, unsigned tag, char *out, size_t outSize)
{
    int n = snprintf(out, outSize, "%s%s%0*x%s", path, kTempMarker, kTempTagDigits, tag, kTempEnding);
    if (n >= 0 && (size_t)n < outSize) return 1;
    errno = ENAMETOOLONG;       // the save's reason, never an earlier call's
    return 0;
}

void PlatformNoteCloseRequest(void)
{
    sCloseSignal = 1;
}

void PlatformRunExitRescue(void)
{
    void (*rescue)(void) = sExitRescue;
    sExitRescue = nullptr;          // at most once, whatever the rescue itself ends in
    if (rescue != nullptr) rescue();
}

//----------------------------------------------------------------------------------
// Internal functions
//----------------------------------------------------------------------------------
// 1 for CON, PRN, AUX, NUL, COM1-9 and LPT1-9 in any case, alone or before an extension ("nul.txt"),
// trailing spaces before the dot ignored as Windows ignores them.
static int IsDeviceName(const char *name)
{
    size_t len = strcspn(name, ".");
    while (len > 0 && name[len - 1] == ' ') len--;
    char base[5] = "";
    if (len < 3 || len > 4) return 0;
    for (size_t i = 0; i < len; i++) base[i] = (char)toupper((unsigned char)name[i]);
    if (len == 3) {
        for (const char *device : kDeviceNames) {
            if (strcmp(base, device) == 0) return 1;
        }
        return 0;
    }
    for (const char *device : kNumberedDeviceNames) {
        if (strncmp(base, device, 3) == 0 && base[3] >= '1' && base[3] <= '9') return 1;
    }
    return 0;
}

// 1 when two characters of a path name the same thing: on Windows both separators are one and
// letters are compared without case, as its file systems compare them.
static int SamePathChar(char a, char b)
{
#if defined(_WIN32)
    if (a == '/') a = '\\';
    if (b == '/') b = '\\';
    return toupper((unsigned char)a) == toupper((unsigned char)b);
#else
    return a == b;
#endif
}
