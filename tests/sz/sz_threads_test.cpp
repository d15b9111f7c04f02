// An archive of independent LZMA2 blocks (7zz c=1m) decoded on several
// threads: the tree and the failure codes of one thread, a stop that ends
// the extraction at once, and a memory budget that costs threads, never the
// extraction.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

#include "7zCrc.h"
#include "common/test_util.h"
#include "foundation/log.h"
#include "sz_test_support.h"

using sztest::RecordingCallback;

namespace {

const uint64_t kGiB = 1ull << 30;
const SzThreading kOneThread = {1, kGiB};
const SzThreading kEightThreads = {8, kGiB};

// The layer's log lines, which tell how many threads decoded a folder.
std::mutex gLogMutex;
std::wstring gLog;

void captureLog(const char*, int, const wchar_t* message)
{
    std::lock_guard<std::mutex> lock(gLogMutex);
    gLog += message;
    gLog += L"\n";
}

class LogCapture {
public:
    LogCapture()
    {
        std::lock_guard<std::mutex> lock(gLogMutex);
        gLog.clear();
        common::setLogSink(&captureLog);
    }
    ~LogCapture() { common::setLogSink(nullptr); }
    // The threads the last planned folder was decoded on; 0 when none was planned.
    unsigned threads()
    {
        std::lock_guard<std::mutex> lock(gLogMutex);
        const size_t at = gLog.rfind(L" threads, budget");
        if (at == std::wstring::npos)
            return 0;
        const size_t start = gLog.rfind(L' ', at - 1) + 1;
        return static_cast<unsigned>(_wtoi(gLog.substr(start, at - start).c_str()));
    }
};

uint64_t packedSize(const std::string& archive)
{
    uint64_t offset = 0;
    memcpy(&offset, archive.data() + 12, 8);
    return offset;  // one folder: its packed stream fills the space before the header
}

TEST(SzThreads, DecodesOnThreadsWithinAnyBudget)
{
    const std::string archive = sztest::readFixture(L"mt.7z");
    const sztest::Tree expected = sztest::readTree(sztest::fixture(L"src_mt"));
    struct Case {
        SzThreading threading;
        unsigned threads;  // as planned
    };
    // 3 MiB cannot hold two 1 MiB blocks beside the single-thread fallback's
    // dictionary; 6 MiB holds two just so.
    const Case cases[] = {{kEightThreads, 8}, {{3, kGiB}, 3}, {{8, 6u << 20}, 2}, {{8, 3u << 20}, 0}, {kOneThread, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.threading.threads << " threads, budget " << c.threading.memoryBudget);
        testutil::TempDir target;
        RecordingCallback callback;
        LogCapture log;
        EXPECT_EQ(kSzOk, SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()), target.path(), &callback,
                                        c.threading));
        EXPECT_EQ(c.threads, log.threads());
        EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path())));
        EXPECT_EQ(std::vector<int32_t>{kSzOk}, callback.results);
        EXPECT_TRUE(callback.progressInOrder);
        EXPECT_EQ(callback.lastTotal, callback.lastDone);
    }

    // From a file, whose reader answers its end as the decoder threads expect.
    testutil::TempDir target;
    EXPECT_EQ(kSzOk, SzExtractFileToDir(sztest::fixture(L"mt.7z"), target.path(), nullptr, kEightThreads));
    EXPECT_EQ("", sztest::diffTrees(expected, sztest::readTree(target.path())));
}

TEST(SzThreads, DamagedArchivesGiveTheCodesOfOneThread)
{
    const std::string archive = sztest::readFixture(L"mt.7z");
    const uint64_t packed = packedSize(archive);
    ASSERT_GT(packed, 1u << 20);

    std::string corrupt = archive;
    corrupt[32 + packed / 2] ^= 0x20;

    const std::string words = sztest::readFixture(L"src_mt\\text\\words.txt");
    CrcGenerateTable();
    const UInt32 crc = CrcCalc(words.data(), words.size());
    const UInt32 wrongCrc = crc ^ 1;
    const std::string mismatched = sztest::withHeaderPatched(archive,
                                                             std::string(reinterpret_cast<const char*>(&crc), 4),
                                                             std::string(reinterpret_cast<const char*>(&wrongCrc), 4));

    // The header says the packed stream is a third shorter than it is.
    const std::string sizes("\x04\x06\x00\x01\x09", 5);
    const std::string size = sztest::headerNumber(packed);
    const std::string truncated = sztest::withHeaderPatched(
        archive, sizes + size, sizes + sztest::headerNumber(packed - packed / 3, size.size()));

    struct Case {
        const char* what;
        const std::string& archive;
        SzResultCode code;
    };
    const Case cases[] = {{"corrupt block", corrupt, kSzErrorData},
                          {"CRC mismatch", mismatched, kSzErrorCrc},
                          {"truncated stream", truncated, kSzErrorData}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_FALSE(c.archive.empty());
        for (const SzThreading& threading : {kOneThread, kEightThreads}) {
            SCOPED_TRACE(threading.threads);
            testutil::TempDir target;
            RecordingCallback callback;
            EXPECT_EQ(c.code, SzExtractToDir(c.archive.data(), static_cast<uint32_t>(c.archive.size()), target.path(),
                                             &callback, threading));
            EXPECT_EQ(std::vector<int32_t>{c.code}, callback.results);
        }
    }
}

// Stops at half the bytes, keeping what the target folder holds then and
// the files written so far.
class StopHalfway : public RecordingCallback {
public:
    explicit StopHalfway(const std::wstring& target) : target_(target) {}
    bool shouldContinue() override
    {
        if (stopped)
            return false;
        if (progressCalls == 0 || lastDone < lastTotal / 2)
            return RecordingCallback::shouldContinue();
        atStop = sztest::readTree(target_);
        for (std::wstring name : progressNames) {
            std::replace(name.begin(), name.end(), L'/', L'\\');
            written.insert(name);
        }
        stopped = true;
        QueryPerformanceCounter(&stoppedAt);
        return false;
    }
    bool stopped = false;
    LARGE_INTEGER stoppedAt = {};
    sztest::Tree atStop;
    std::set<std::wstring> written;

private:
    std::wstring target_;
};

// Files are opened ahead of the writer: after a stop, the folder holds the
// files written before it, unchanged since, and none of those opened ahead.
TEST(SzThreads, StopHalfwayEndsWithin100MsAndKeepsOnlyWhatWasWritten)
{
    const std::string archive = sztest::readFixture(L"mt.7z");
    const sztest::Tree source = sztest::readTree(sztest::fixture(L"src_mt"));
    for (const SzThreading& threading : {kOneThread, kEightThreads}) {
        SCOPED_TRACE(threading.threads);
        testutil::TempDir target;
        StopHalfway callback(target.path());
        EXPECT_EQ(kSzErrorCancelled, SzExtractToDir(archive.data(), static_cast<uint32_t>(archive.size()),
                                                    target.path(), &callback, threading));
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        ASSERT_TRUE(callback.stopped);
        const double ms = 1000.0 * (now.QuadPart - callback.stoppedAt.QuadPart) / frequency.QuadPart;
        EXPECT_LT(ms, 100.0);
        EXPECT_EQ(std::vector<int32_t>{kSzErrorCancelled}, callback.results);
        size_t whole = 0;
        for (const auto& entry : sztest::readTree(target.path())) {
            if (entry.second == "<dir>")
                continue;
            SCOPED_TRACE(testutil::narrow(entry.first));
            EXPECT_EQ(1u, callback.written.count(entry.first)) << "a file opened ahead was left behind";
            const auto then = callback.atStop.find(entry.first);
            EXPECT_TRUE(then != callback.atStop.end() && then->second == entry.second)
                << "written after the stop: " << entry.second.size() << " bytes now";
            const auto original = source.find(entry.first);
            whole += original != source.end() && original->second == entry.second ? 1 : 0;
        }
        EXPECT_GE(whole + 1, callback.written.size());
    }
}

}  // namespace
