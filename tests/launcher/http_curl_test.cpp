// The curl downloader against the loopback test server.
// libcurl pulls in winsock2.h, which must come before windows.h.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "common/test_util.h"
#include "http_test_server.h"
#include "launcher/services/curl_downloader.h"

namespace {

struct ProgressCall {
    DWORD tick;
    int percent;
    int done;
    int total;
};

class ProgressLog {
public:
    KXCurlDownloader::ProgressCallback callback()
    {
        return [this](int percent, int done, int total) {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back({GetTickCount(), percent, done, total});
        };
    }
    std::vector<ProgressCall> calls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<ProgressCall> calls_;
};

class CurlDownload : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(KXCurlDownloader::globalInit()); }

    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        ASSERT_TRUE(server.reset());
        data = httptest::makeData(256 * 1024 + 3, 11);
        ASSERT_TRUE(server.put("data.bin", data));
        target = dir.file(L"data.bin.tmp");
        narrowTarget = testutil::narrow(target);
    }

    httptest::TestServer server;
    testutil::TempDir dir;
    httptest::LogCapture log;
    std::string data;
    std::wstring target;
    std::string narrowTarget;
};

TEST_F(CurlDownload, MemoryFetchKeepsTheBody)
{
    KXCurlDownloader downloader;
    ASSERT_TRUE(downloader.downloadMemory(server.narrowUrl("/r/3/f/data.bin"), curl_easy_init()));
    EXPECT_TRUE(downloader.body() == data);
    EXPECT_TRUE(log.contains(L"curl download sucess " + std::to_wstring(data.size())));
}

TEST_F(CurlDownload, MemoryFetchRefusesAnErrorPage)
{
    KXCurlDownloader downloader;
    ASSERT_TRUE(downloader.downloadMemory(server.narrowUrl("/f/data.bin"), curl_easy_init()));
    EXPECT_FALSE(downloader.downloadMemory(server.narrowUrl("/f/data.bin?status=404"), curl_easy_init()));
    EXPECT_FALSE(downloader.downloadMemory(server.narrowUrl("/f/data.bin?status=500"), curl_easy_init()));
    EXPECT_TRUE(log.contains(L"curl download error"));
    // The body of the last good fetch is not replaced by an error page.
    EXPECT_TRUE(downloader.body() == data);
    EXPECT_FALSE(downloader.downloadMemory(server.narrowUrl("/f/data.bin"), nullptr));
}

TEST_F(CurlDownload, FileArrivesWholeWithThrottledProgress)
{
    std::string big = httptest::makeData(1024 * 1024, 12);
    ASSERT_TRUE(server.put("big.bin", big));
    KXCurlDownloader downloader;
    ProgressLog progress;
    // About 3.2 seconds of transfer.
    ASSERT_TRUE(downloader.downloadFile(narrowTarget, server.narrowUrl("/f/big.bin?trickle=50&chunk=16384"),
                                        progress.callback()));
    EXPECT_EQ(httptest::sha256(big), httptest::fileSha256(target));
    EXPECT_TRUE(log.contains(L"curl download  file sucess"));

    std::vector<ProgressCall> calls = progress.calls();
    ASSERT_GE(calls.size(), 2u);
    ASSERT_LE(calls.size(), 5u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_LT(calls[i].percent, 100);
        EXPECT_EQ(static_cast<int>(big.size()), calls[i].total);
        EXPECT_EQ(static_cast<int>(static_cast<double>(calls[i].done) * 100 / calls[i].total),
                  calls[i].percent);
        if (i > 0) {
            EXPECT_GE(calls[i].tick - calls[i - 1].tick, 1000u);
            EXPECT_GE(calls[i].done, calls[i - 1].done);
        }
    }
}

TEST_F(CurlDownload, MissingLengthNeverReportsProgress)
{
    KXCurlDownloader downloader;
    ProgressLog progress;
    ASSERT_TRUE(downloader.downloadFile(narrowTarget,
                                        server.narrowUrl("/f/data.bin?nolen=1&trickle=200&chunk=65536"),
                                        progress.callback()));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
    EXPECT_TRUE(progress.calls().empty());
}

TEST_F(CurlDownload, ErrorStatusFailsAndLeavesThePartialFile)
{
    ASSERT_TRUE(testutil::writeFile(target, data.substr(0, 1000)));
    KXCurlDownloader downloader;
    EXPECT_FALSE(downloader.downloadFile(narrowTarget, server.narrowUrl("/f/missing.bin"), nullptr));
    EXPECT_TRUE(testutil::readFile(target) == data.substr(0, 1000));
    EXPECT_TRUE(log.contains(L"curl download error"));
    EXPECT_FALSE(log.contains(L"curl download  file sucess"));

    EXPECT_FALSE(downloader.downloadFile(narrowTarget, server.narrowUrl("/f/data.bin?status=500"), nullptr));
    EXPECT_TRUE(testutil::readFile(target) == data.substr(0, 1000));
}

TEST_F(CurlDownload, ResumeAsksForTheRestAndKeepsTheOldBytes)
{
    std::string big = httptest::makeData(1024 * 1024, 13);
    ASSERT_TRUE(server.put("big.bin", big));
    ASSERT_TRUE(testutil::writeFile(target, big.substr(0, 1000)));
    KXCurlDownloader downloader;
    ProgressLog progress;
    ASSERT_TRUE(downloader.downloadFile(narrowTarget, server.narrowUrl("/f/big.bin?trickle=100&chunk=65536"),
                                        progress.callback()));
    EXPECT_TRUE(log.contains(L"start size 1000"));
    EXPECT_EQ("bytes=1000-", httptest::headerValue(server.lastRequest("/f/big.bin"), "Range"));
    EXPECT_EQ(httptest::sha256(big), httptest::fileSha256(target));
    std::vector<ProgressCall> calls = progress.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_GE(calls.front().done, 1000);
    EXPECT_EQ(static_cast<int>(big.size()), calls.front().total);
}

TEST_F(CurlDownload, RefusedRangeDeletesThePartialFileForACleanRetry)
{
    const char* refusals[] = {"?range=ignore", "?range=416"};
    for (const char* refusal : refusals) {
        SCOPED_TRACE(refusal);
        ASSERT_TRUE(testutil::writeFile(target, data.substr(0, 1000)));
        KXCurlDownloader downloader;
        std::string url = server.narrowUrl(std::string("/f/data.bin") + refusal);
        EXPECT_FALSE(downloader.downloadFile(narrowTarget, url, nullptr));
        EXPECT_FALSE(testutil::fileExists(target));
        ASSERT_TRUE(downloader.downloadFile(narrowTarget, url, nullptr));
        EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
    }
}

TEST_F(CurlDownload, ShortBodyFailsAndTheNextCallResumes)
{
    KXCurlDownloader downloader;
    EXPECT_FALSE(downloader.downloadFile(narrowTarget, server.narrowUrl("/f/data.bin?cut=70000"), nullptr));
    EXPECT_EQ(70000u, httptest::fileSize(target));
    ASSERT_TRUE(downloader.downloadFile(narrowTarget, server.narrowUrl("/f/data.bin"), nullptr));
    EXPECT_EQ("bytes=70000-", httptest::headerValue(server.lastRequest("/f/data.bin"), "Range"));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
}

TEST_F(CurlDownload, ServerKilledMidTransferIsResumedAfterItReturns)
{
    std::string big = httptest::makeData(2 * 1024 * 1024, 14);
    ASSERT_TRUE(server.put("big.bin", big));
    KXCurlDownloader downloader;
    std::atomic<int> firstResult{-1};
    std::thread first([&] {
        firstResult = downloader.downloadFile(narrowTarget,
                                              server.narrowUrl("/f/big.bin?trickle=20&chunk=32768"),
                                              nullptr) ? 1 : 0;
    });
    DWORD start = GetTickCount();
    while (httptest::fileSize(target) < 256 * 1024 && GetTickCount() - start < 20000)
        Sleep(20);
    ASSERT_TRUE(server.kill(1500));
    first.join();
    EXPECT_EQ(0, firstResult);
    unsigned long long partial = httptest::fileSize(target);
    EXPECT_GT(partial, 0u);
    EXPECT_LT(partial, big.size());

    bool done = false;
    for (int attempt = 0; attempt < 40 && !done; ++attempt) {
        done = downloader.downloadFile(narrowTarget, server.narrowUrl("/f/big.bin"), nullptr);
        if (!done)
            Sleep(100);
    }
    ASSERT_TRUE(done);
    EXPECT_EQ("bytes=" + std::to_string(partial) + "-",
              httptest::headerValue(server.lastRequest("/f/big.bin"), "Range"));
    EXPECT_EQ(httptest::sha256(big), httptest::fileSha256(target));
}

TEST_F(CurlDownload, FollowsFiveRedirectsButNotSix)
{
    KXCurlDownloader downloader;
    ASSERT_TRUE(downloader.downloadFile(narrowTarget, server.narrowUrl("/r/5/f/data.bin"), nullptr));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
    EXPECT_EQ(1, server.requestCount("/r/5/f/data.bin"));

    std::wstring other = dir.file(L"other.bin");
    EXPECT_FALSE(downloader.downloadFile(testutil::narrow(other), server.narrowUrl("/r/6/f/data.bin"), nullptr));
    EXPECT_EQ(1, server.requestCount("/f/data.bin"));
}

TEST_F(CurlDownload, UnwritablePathFailsWithALogLine)
{
    KXCurlDownloader downloader;
    std::string path = testutil::narrow(dir.file(L"no such folder\\x.bin"));
    EXPECT_FALSE(downloader.downloadFile(path, server.narrowUrl("/f/data.bin"), nullptr));
    EXPECT_TRUE(log.contains(L"open file error  error:"));
}

}  // namespace
