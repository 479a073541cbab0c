// platform.h: everything that differs between operating systems, in one small module.
//
// Holds folder creation, the interface font's path, the working folder, what kind of entry a path
// names and opening or reading only regular files (so that a pipe or a device is never opened),
// real paths, and the file operations a save is built from so that it never damages another entry
// on disk: a new file made exclusively under a unique name, complete writes, flushing a file and
// its folder to storage, copying permission bits, following symbolic links, and putting one file
// in place of another. It leaves out all that raylib already does alike everywhere (folder
// listings, the window, input) and the save's own order of steps, which lives with the map file.
// It includes no raylib header, because the Windows header cannot share a file with raylib's.
#pragma once

#include <cstddef>
#include <cstdio>

constexpr int kPlatformMaxLinkHops = 32;        // symbolic links followed before a chain counts as a loop
constexpr int kPlatformTempAttempts = 16;       // unique names tried before a new file is given up
constexpr int kPlatformPathLen = 4096;          // the longest path the module hands back
#if defined(_WIN32)
constexpr char kPlatformSeparator = '\\';       // between folders in every path the program builds
#else
constexpr char kPlatformSeparator = '/';
#endif

// Creates one folder; the result is not reported (an existing folder is fine).
void PlatformMakeDir(const char *path);
// The interface font file: the Windows font first, then free fonts of the same metrics, then
// DejaVu Sans. Returns the Windows path when none exists, so the load fails the usual way. The
// Windows build looks only in the system's own font folder.
const char *PlatformFontPath(void);

// Follows the chain of symbolic links that starts at path and writes the name it ends at (path
// itself when it is no link; the end need not exist) into out; 1, or 0 on a loop or a long name.
int PlatformResolveLinks(const char *path, char *out, size_t outSize);
// Whether the file at path may be replaced: 1 with *exists 0 when nothing is there, 1 with
// *exists 1 for a regular file the user may write; 0 for anything else (folder, read-only file).
int PlatformCheckReplaceable(const char *path, int *exists);
// Creates a new, empty file beside path under a unique name (path plus a generated suffix), never
// opening an entry that is already there; writes its name into tempPath and returns its handle,
// or -1. The handle may stay open while PlatformReplaceFile moves the file into place, so that
// the save can stamp the file it wrote (PlatformStampOfFile).
int PlatformCreateTemp(const char *path, char *tempPath, size_t tempSize);
// Writes all size bytes to the file; 1, or 0 on any error (a full disk among them).
int PlatformWriteAll(int file, const void *data, size_t size);
// Gives the open file the permission bits of the file at from (none to give when it is gone); 1 or 0.
int PlatformCopyMode(int file, const char *from);
// Flushes the file's bytes and metadata to storage; 1 or 0.
int PlatformSyncFile(int file);
// Closes the file; 1, or 0 when the system reports an error.
int PlatformCloseFile(int file);
// Moves the file at from over the file at to in one step, replacing it; 1, or 0 with both as they were.
int PlatformReplaceFile(const char *from, const char *to);
// Flushes the folder that holds path, so a rename in it survives a power cut; 1, or 0 with the
// reason for PlatformErrorReason.
int PlatformSyncFolderOf(const char *path);
// Removes the file at path, never a folder; 1 or 0.
int PlatformRemoveFile(const char *path);

// 1 when path names a regular file (links followed), found without opening it, so that a named
// pipe or a device never blocks the caller; 0 for anything else and for nothing at all.
int PlatformIsRegularFile(const char *path);
// The regular file at path opened for reading bytes, or nullptr for anything else. The file is
// checked again once open, so that a pipe put in its place after the first check cannot block.
FILE *PlatformOpenRegularFile(const char *path);
// Reads the whole of the regular file at path (PlatformOpenRegularFile) into a new buffer, released
// with free(), with a NUL after its last byte; 1, or 0 for anything else and for a file longer than
// maxBytes.
int PlatformReadRegularFile(const char *path, long maxBytes, unsigned char **data, long *size);
// Why PlatformOpenRegularFile or PlatformReadRegularFile (with maxBytes; -1 for no bound) gives
// nothing for path, asked without opening it: "no such file", "not a regular file", "file too
// large" or "unreadable file".
const char *PlatformFileRefusal(const char *path, long maxBytes);
// The absolute path of path with every link and "." or ".." resolved, written into out; 1, or 0
// when it does not exist or the result does not fit.
int PlatformRealPath(const char *path, char *out, size_t outSize);

// One folder's entries in the system's order, "." and ".." left out: what raylib's listing gives,
// with UTF-8 names on Windows too (where raylib's are in the system's code page).
struct PlatformFolderListing {
    void *handle;               // the system's listing, nullptr when none is open
    int pending;                // Windows: the first entry was found on opening and is not yet handed out
    char path[kPlatformPathLen];   // the folder, a separator, then the entry last handed out
    size_t folderLen;           // where the entry's name begins in path
};
// Opens the listing of folder; 1, or 0 when it is no folder that can be listed.
int PlatformOpenFolderListing(const char *folder, PlatformFolderListing *listing);
// The path (folder, separator, name) of the next entry, valid until the next call; nullptr at the
// end (and for a name that does not fit).
const char *PlatformNextFolderEntry(PlatformFolderListing *listing);
// Lets go of the listing; an unopened or finished one is fine.
void PlatformCloseFolderListing(PlatformFolderListing *listing);
// 1 when path names a folder (links followed).
int PlatformIsFolder(const char *path);
// The last modification time of the entry at path, in seconds since the epoch; 0 when none.
long long PlatformModTime(const char *path);

// The working folder as it was when PlatformKeepWorkFolder ran, held open so that it can be
// returned to even when its name can no longer be reached.
struct PlatformWorkFolder {
    int handle;                 // an open handle of the folder, -1 when none is held
    char path[kPlatformPathLen];
};
// Remembers the current working folder; 1, or 0 when it cannot be held.
int PlatformKeepWorkFolder(PlatformWorkFolder *keep);
// Makes the remembered folder the working folder again and lets go of it; 1, or 0 when it failed.
int PlatformRestoreWorkFolder(PlatformWorkFolder *keep);

//----------------------------------------------------------------------------------
// Saves kept inside a folder, why a file operation failed, interrupted saves, the exit rescue
//----------------------------------------------------------------------------------
// 1 when path (a name whose links were followed, PlatformResolveLinks) lies outside folder, both
// taken as real paths: the folder itself may be reached through links. 0 when it lies inside, and
// when the folder that would hold path cannot be resolved (no write can reach it then either).
int PlatformPathLeaves(const char *path, const char *folder);
// Why the last failed file operation of this module failed, from the system's error code, as a
// short lower-case phrase ("permission denied", "no space left on device", "no such folder").
// Asked at once, before any other call can change the code.
const char *PlatformErrorReason(void);
// Why PlatformCheckReplaceable refuses path: "is a folder", "not a regular file", "file is
// read-only", or the system's reason when the file cannot be looked at.
const char *PlatformReplaceRefusal(const char *path);
// Why Windows cannot store a file or folder named name as typed (a device name such as "CON" or
// "com1.txt", one of <>:"|?* or a control character, a trailing space or dot), or nullptr.
const char *PlatformWindowsNameRefusal(const char *name);
// PlatformWindowsNameRefusal on Windows; nullptr on other systems, which store such names as typed.
const char *PlatformNameRefusal(const char *name);
// 1 when the last name in path has the form PlatformCreateTemp gives a save's temporary file
// ("<name>.kirto-save-<8 hex digits>.tmp", at least one character before the marker).
int PlatformIsSaveTempName(const char *path);
// Removes from folder (never followed when it is itself a link) the files that PlatformCreateTemp
// made for saves that never finished: regular files named as PlatformIsSaveTempName says, last
// written at least minAgeSeconds ago. Links and anything else are left. Returns how many went.
int PlatformRemoveStaleTemps(const char *folder, long minAgeSeconds);
// Runs rescue once if the process ends through exit() while it is set: Xlib ends the process that
// way when the display connection is lost, from inside whichever call noticed it. nullptr unsets
// it, when the program comes to its own shutdown. rescue must not touch the display or the GL.
void PlatformSetExitRescue(void (*rescue)(void));

//----------------------------------------------------------------------------------
// File stamps and close signals
//----------------------------------------------------------------------------------
// What a regular file looked like at one moment: another writer changes at least one of these.
// The identity and the change time matter most: a copy that keeps the time (cp -p), or two writes
// within one tick of the file system's clock, still differ in them.
struct PlatformStamp {
    unsigned long long device;  // the volume that holds the file (Windows: its serial number)
    unsigned long long file;    // the file's number on that volume (the inode; Windows: the file index)
    long long mtimeNs;          // modification time, nanoseconds since the epoch
    long long ctimeNs;          // change time, which no tool can set, nanoseconds since the epoch
    long long size;             // bytes
};
// The stamp of the regular file at path (links followed); 1, or 0 with a zero stamp when no
// regular file is there.
int PlatformReadStamp(const char *path, PlatformStamp *stamp);
// The stamp of the open file (a save's, taken after it was put in place, so that nobody else's
// write to the path can be taken for it); 1, or 0 with a zero stamp.
int PlatformStampOfFile(int file, PlatformStamp *stamp);
// 1 when both stamps describe the same state of a file.
int PlatformStampsEqual(const PlatformStamp *a, const PlatformStamp *b);
// Makes SIGTERM, SIGHUP, SIGINT and SIGQUIT (those the system has) a close request instead of an
// end: their handler only notes them, for the frame loop to take as it takes the window's close.
// A signal ignored when the program started (nohup) stays ignored. On Windows closing the
// console, Ctrl+C and Ctrl+Break, a logoff and a shutdown are close requests too.
void PlatformCatchCloseSignals(void);
// Makes the end of the session a close request for the program's window (Windows: its HWND, the
// one way a console program with a window hears of a logoff or a shutdown); when the session ends
// for good, the exit rescue (PlatformSetExitRescue) runs before the system ends the process.
// Nothing on other systems, where the close signals say it.
void PlatformCatchSessionEnd(void *window);
// Says that the frame loop took the close request and kept the work: the console's handler holds
// the process until then (Windows ends it when the handler returns).
void PlatformCloseTaken(void);
// 1 when a close signal arrived that PlatformTakeCloseSignal has not taken yet.
int PlatformCloseSignalled(void);
// 1 once for the close signals since the last call (several count as one), else 0.
int PlatformTakeCloseSignal(void);
