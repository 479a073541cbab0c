// File stamps and the close signals.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "platform/platform.h"
#include "support/map_bytes.h"

TEST(FileStamp, OnlyRegularFilesHaveOneAndTheTimeTellsSameSizedWritesApart)
{
#if defined(_WIN32)
    GTEST_SKIP() << "the Windows stamp keeps whole seconds of the modification time";
#endif
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
// Windows has no SIGHUP and no sigaction.
TEST(CloseSignal, TermAndHangUpAreNotedOnceAndEndNothing)
{
    struct sigaction term, hangUp;
    sigaction(SIGTERM, nullptr, &term);
    sigaction(SIGHUP, nullptr, &hangUp);
    PlatformCatchCloseSignals();
    EXPECT_EQ(PlatformTakeCloseSignal(), 0);
    for (int number : { SIGTERM, SIGHUP }) {
        raise(number);                          // the test goes on: the signal only leaves a note
        raise(number);
        EXPECT_EQ(PlatformCloseSignalled(), 1);   // looking does not take it
        EXPECT_EQ(PlatformTakeCloseSignal(), 1);
        EXPECT_EQ(PlatformTakeCloseSignal(), 0);   // two signals, one request
        EXPECT_EQ(PlatformCloseSignalled(), 0);
    }
    sigaction(SIGTERM, &term, nullptr);
    sigaction(SIGHUP, &hangUp, nullptr);
}
#endif
