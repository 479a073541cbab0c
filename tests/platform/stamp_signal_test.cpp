// File stamps and the close signals.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/platform.h"
#include "support/map_bytes.h"

TEST(FileStamp, OnlyRegularFilesHaveOneAndTheTimeTellsSameSizedWritesApart)
{
    TempFolder dir;
    std::string path = dir.File("a.bin");
    PlatformStamp first, second;
    EXPECT_EQ(PlatformReadStamp(path.c_str(), &first), 0);
    EXPECT_EQ(PlatformReadStamp(dir.path.c_str(), &first), 0);   // a folder is no file to stamp
    WriteAllBytes(path, { 1, 2, 3 });
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &first), 1);
    EXPECT_EQ(first.size, 3);
    WriteAllBytes(path, { 4, 5, 6 });
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::nanoseconds(1500));
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &second), 1);
    EXPECT_EQ(PlatformStampsEqual(&first, &second), 0);
    EXPECT_EQ(PlatformStampsEqual(&second, &second), 1);
}

#if !defined(_WIN32)
// The rest needs POSIX: change times set by hand, sigaction and signals Windows does not have.
namespace {

// Waits until the file system's clock, which stamps change times in ticks of a few milliseconds,
// has moved past changeNs: a change made then gets a change time of its own.
void WaitForTheNextTick(const TempFolder &dir, long long changeNs)
{
    std::string tick = dir.File("tick");
    for (int attempt = 0; attempt < 10000; attempt++) {
        WriteAllBytes(tick, { 1 });
        struct stat st;
        if (stat(tick.c_str(), &st) == 0 && (long long)st.st_ctim.tv_sec * 1000000000LL + st.st_ctim.tv_nsec > changeNs) {
            return;
        }
        usleep(200);
    }
}

// Gives the file at path the modification time of stamp, as cp -p and rsync -t do.
void PutBackTime(const std::string &path, const PlatformStamp &stamp)
{
    struct timespec times[2] = { { 0, UTIME_OMIT }, { stamp.mtimeNs / 1000000000LL, stamp.mtimeNs % 1000000000LL } };
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

}  // namespace

TEST(FileStamp, ACopyKeepingTimeAndSizeAndAFileMovedInAreNotTheFileStamped)
{
    TempFolder dir;
    std::string path = dir.File("map.zizudu"), other = dir.File("other");
    struct Case {
        const char *what;
        int sameFile;                          // the stamp must stay equal
    };
    const Case cases[] = { { "untouched", 1 }, { "rewritten keeping time and size", 0 },
                           { "replaced by a copy of the same time and size", 0 }, { "permissions changed", 0 } };
    for (int i = 0; i < (int)(sizeof(cases) / sizeof(cases[0])); i++) {
        WriteAllBytes(path, { 1, 2, 3 });
        PlatformStamp before, after;
        ASSERT_EQ(PlatformReadStamp(path.c_str(), &before), 1);
        WaitForTheNextTick(dir, before.ctimeNs);
        if (i == 1) {
            WriteAllBytes(path, { 4, 5, 6 });
            PutBackTime(path, before);
        }
        if (i == 2) {
            WriteAllBytes(other, { 4, 5, 6 });
            PutBackTime(other, before);
            ASSERT_EQ(rename(other.c_str(), path.c_str()), 0);   // made before the old one went: a new identity
        }
        if (i == 3) chmod(path.c_str(), 0600);
        ASSERT_EQ(PlatformReadStamp(path.c_str(), &after), 1);
        EXPECT_EQ(after.mtimeNs, before.mtimeNs) << cases[i].what;
        EXPECT_EQ(after.size, before.size) << cases[i].what;
        EXPECT_EQ(PlatformStampsEqual(&before, &after), cases[i].sameFile) << cases[i].what;
    }
}

TEST(FileStamp, AnOpenFileIsStampedAsItIsAfterItsRename)
{
    TempFolder dir;
    std::string temp = dir.File("a.tmp"), path = dir.File("a");
    int file = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(write(file, "abc", 3), 3);
    PlatformStamp before, moved, read;
    ASSERT_EQ(PlatformStampOfFile(file, &before), 1);
    ASSERT_EQ(rename(temp.c_str(), path.c_str()), 0);
    ASSERT_EQ(PlatformStampOfFile(file, &moved), 1);
    close(file);
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &read), 1);
    EXPECT_EQ(PlatformStampsEqual(&moved, &read), 1);
    EXPECT_EQ(moved.file, before.file);        // the same file, whose change time the rename may move
    EXPECT_EQ(PlatformStampOfFile(-1, &moved), 0);
}

TEST(CloseSignal, EveryCloseSignalIsNotedOnceAndOneIgnoredAtStartStaysIgnored)
{
    const int kSignals[] = { SIGTERM, SIGHUP, SIGINT, SIGQUIT };
    struct sigaction was[4];
    for (int i = 0; i < 4; i++) sigaction(kSignals[i], nullptr, &was[i]);
    signal(SIGHUP, SIG_IGN);                   // started under nohup
    PlatformCatchCloseSignals();
    EXPECT_EQ(PlatformTakeCloseSignal(), 0);
    for (int number : kSignals) {
        raise(number);                          // the test goes on: the signal only leaves a note
        raise(number);
        int noted = number != SIGHUP;
        EXPECT_EQ(PlatformCloseSignalled(), noted) << number;   // looking does not take it
        EXPECT_EQ(PlatformTakeCloseSignal(), noted) << number;
        EXPECT_EQ(PlatformTakeCloseSignal(), 0) << number;       // two signals, one request
    }
    struct sigaction now;
    sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
    for (int i = 0; i < 4; i++) sigaction(kSignals[i], &was[i], nullptr);
}
#endif
