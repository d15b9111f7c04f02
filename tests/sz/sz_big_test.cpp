// A file of more than 100 MB streams through a bounded amount of memory.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <vector>

#include "common/test_util.h"
#include "foundation/sz/sz_extract.h"
#include "sz_test_support.h"

namespace {

class FileReader {
public:
    explicit FileReader(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
    {
    }
    ~FileReader()
    {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
    DWORD read(char* buffer, DWORD size)
    {
        DWORD got = 0;
        if (!ReadFile(handle_, buffer, size, &got, nullptr)) return 0;
        return got;
    }

private:
    HANDLE handle_;
};

bool sameFiles(const std::wstring& a, const std::wstring& b, uint64_t* size)
{
    FileReader left(a);
    FileReader right(b);
    if (!left.ok() || !right.ok()) return false;
    std::vector<char> x(1 << 20);
    std::vector<char> y(1 << 20);
    *size = 0;
    for (;;) {
        DWORD n = left.read(x.data(), static_cast<DWORD>(x.size()));
        DWORD m = right.read(y.data(), static_cast<DWORD>(y.size()));
        if (n != m || memcmp(x.data(), y.data(), n) != 0) return false;
        if (n == 0) return true;
        *size += n;
    }
}

TEST(SzBig, HundredMegabyteFileStreamsInBoundedMemory)
{
    testutil::TempDir target;
    sztest::RecordingCallback callback;

    ASSERT_EQ(kSzOk, SzExtractFileToDir(sztest::fixture(L"big.7z"), target.path(), &callback));

    uint64_t size = 0;
    EXPECT_TRUE(sameFiles(sztest::fixture(L"src_big\\big.txt"), target.file(L"big.txt"), &size));
    EXPECT_GT(size, 100ull << 20);
    EXPECT_EQ(size, callback.lastDone);
    EXPECT_TRUE(callback.progressInOrder);
    EXPECT_GT(callback.progressCalls, 10u);

    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)));
    // The process's whole peak, Wine's own share included, far below the file.
    EXPECT_LT(counters.PeakWorkingSetSize, 80u << 20) << counters.PeakWorkingSetSize;
}

}  // namespace
