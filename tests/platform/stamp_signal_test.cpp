// File stamps and the close signals.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "platform/platform.h"
#include "support/map_bytes.h"

TEST(FileStamp, SizeAndTimeTellStatesApartAndOnlyRegularFilesHaveOne)
{
    TempFolder dir;
    std::string path = dir.File("a.bin");
    PlatformStamp none, first, second;
    EXPECT_EQ(PlatformReadStamp(path.c_str(), &none), 0);
    EXPECT_EQ(none.mtimeNs, 0);
    EXPECT_EQ(PlatformReadStamp(dir.path.c_str(), &none), 0);   // a folder is no file to stamp

    WriteAllBytes(path, { 1, 2, 3 });
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &first), 1);
    EXPECT_EQ(first.size, 3);
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &second), 1);
    EXPECT_EQ(PlatformStampsEqual(&first, &second), 1);

    WriteAllBytes(path, { 4, 5, 6 });           // the same size: the time tells it apart
    auto when = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, when + std::chrono::nanoseconds(1500));
    ASSERT_EQ(PlatformReadStamp(path.c_str(), &second), 1);
    EXPECT_EQ(PlatformStampsEqual(&first, &second), 0);
    second.mtimeNs = first.mtimeNs;
    second.size = 4;
    EXPECT_EQ(PlatformStampsEqual(&first, &second), 0);
}

TEST(CloseSignal, TermAndHangUpAreNotedOnceAndEndNothing)
{
    struct sigaction term, hangUp;
    sigaction(SIGTERM, nullptr, &term);
    sigaction(SIGHUP, nullptr, &hangUp);
    PlatformCatchCloseSignals();
    EXPECT_EQ(PlatformTakeCloseSignal(), 0);
    for (int signal : { SIGTERM, SIGHUP }) {
        raise(signal);                          // the test goes on: the signal only leaves a note
        raise(signal);
        EXPECT_EQ(PlatformCloseSignalled(), 1);
        EXPECT_EQ(PlatformCloseSignalled(), 1);   // looking does not take it
        EXPECT_EQ(PlatformTakeCloseSignal(), 1);
        EXPECT_EQ(PlatformTakeCloseSignal(), 0);   // two signals, one request
        EXPECT_EQ(PlatformCloseSignalled(), 0);
    }
    sigaction(SIGTERM, &term, nullptr);
    sigaction(SIGHUP, &hangUp, nullptr);
}
