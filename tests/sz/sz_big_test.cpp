// A file of more than 100 MB streams through a bounded amount of memory on
// one thread. (Decoder threads each hold a block; the memory budget bounds them.)
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include "common/test_util.h"
#include "sz_test_support.h"

TEST(SzBig, HundredMegabyteFileStreamsInBoundedMemory)
{
    testutil::TempDir target;
    sztest::RecordingCallback callback;
    const SzThreading oneThread = {1, 1ull << 30};
    ASSERT_EQ(kSzOk, SzExtractFileToDir(sztest::fixture(L"big.7z"), target.path(), &callback, oneThread));
    EXPECT_TRUE(callback.progressInOrder);
    EXPECT_GT(callback.progressCalls, 10u);

    // The process's whole peak, Wine's own share included, far below the
    // file (measured before the comparison reads both copies).
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)));
    EXPECT_LT(counters.PeakWorkingSetSize, 80u << 20) << counters.PeakWorkingSetSize;

    const std::string extracted = testutil::readFile(target.file(L"big.txt"));
    EXPECT_GT(extracted.size(), 100u << 20);
    EXPECT_EQ(extracted.size(), callback.lastDone);
    EXPECT_TRUE(extracted == testutil::readFile(sztest::fixture(L"src_big\\big.txt")));
}
