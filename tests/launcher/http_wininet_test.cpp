// The WinINet client and downloader against the loopback test server.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

#include "common/test_util.h"
#include "http_test_server.h"
#include "launcher/services/http_downloader.h"

using utility::CHttpClient;
using utility::CHttpDownloader;

namespace {

class ProgressRecorder : public CHttpDownloader::IHttpDownloadSink {
public:
    struct Call {
        DWORD count;
        unsigned long long received;
        unsigned long long total;
    };

    bool onDownloadProgress(const char* bytes, DWORD count, unsigned long long received,
                            unsigned long long total) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            calls_.push_back({count, received, total});
        }
        if (onCall)
            onCall(received);
        return answer;
    }

    std::vector<Call> calls() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return calls_;
    }

    std::function<void(unsigned long long)> onCall;
    bool answer = true;

private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

class ErrorRecorder : public CHttpClient::IHttpClientSink {
public:
    void onHttpError(int stage, DWORD error) override { stages.push_back(stage); }
    bool onHttpRecvHeader(unsigned long long, DWORD status) override
    {
        lastStatus = status;
        return true;
    }
    bool onHttpRecvData(const char*, DWORD) override { return true; }
    void onHttpComplete() override { completed = true; }

    std::vector<int> stages;
    DWORD lastStatus = 0;
    bool completed = false;
};

class WinInetDownload : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        ASSERT_TRUE(server.reset());
        data = httptest::makeData(300 * 1024 + 17, 5);
        ASSERT_TRUE(server.put("data.bin", data));
        target = dir.file(L"data.bin.tmp");
    }

    httptest::TestServer server;
    testutil::TempDir dir;
    httptest::LogCapture log;
    std::string data;
    std::wstring target;
};

TEST_F(WinInetDownload, PlainFileArrivesWholeWithDefaultHeaders)
{
    CHttpDownloader downloader;
    ProgressRecorder progress;
    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin"), target, &progress, false));
    EXPECT_TRUE(testutil::readFile(target) == data);

    std::vector<ProgressRecorder::Call> calls = progress.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(data.size(), calls.back().received);
    EXPECT_EQ(data.size(), calls.back().total);
    for (const auto& call : calls)
        EXPECT_LE(call.count, CHttpClient::kReadBlockSize);

    std::string request = server.lastRequest("/f/data.bin");
    EXPECT_EQ(0u, request.find("GET /f/data.bin HTTP/1.1"));
    EXPECT_EQ("okhttp/3.5.0L", httptest::headerValue(request, "User-Agent"));
    EXPECT_EQ("application/x-www-form-urlencoded", httptest::headerValue(request, "Content-Type"));
    EXPECT_EQ("", httptest::headerValue(request, "Range"));
}

TEST_F(WinInetDownload, CallerHeadersReplaceTheDefaults)
{
    CHttpDownloader downloader;
    downloader.setHeader(L"User-Agent", L"zultest");
    downloader.setHeader(L"Content-Type", L"text/plain");
    std::string body;
    ASSERT_TRUE(downloader.downloadMemory(server.url("/f/data.bin"), body));
    EXPECT_TRUE(body == data);
    std::string request = server.lastRequest("/f/data.bin");
    EXPECT_EQ("zultest", httptest::headerValue(request, "User-Agent"));
    EXPECT_EQ("text/plain", httptest::headerValue(request, "Content-Type"));
}

TEST_F(WinInetDownload, MemoryDownloadAppendsAndRefusesErrorStatus)
{
    CHttpDownloader downloader;
    std::string body = "prefix";
    ASSERT_TRUE(downloader.downloadMemory(server.url("/r/2/f/data.bin"), body));
    EXPECT_TRUE(body == "prefix" + data);

    std::string failed;
    EXPECT_FALSE(downloader.downloadMemory(server.url("/f/data.bin?status=500"), failed));
    EXPECT_TRUE(failed.empty());
    EXPECT_TRUE(log.contains(L"onHttpErro status = 500"));
}

TEST_F(WinInetDownload, ProgressSinkCanStopTheDownload)
{
    CHttpDownloader downloader;
    ProgressRecorder progress;
    progress.answer = false;
    EXPECT_FALSE(downloader.download2file(server.url("/f/data.bin"), target, &progress, false));
    EXPECT_EQ(1u, progress.calls().size());
    // The refused block is not written.
    EXPECT_EQ(0u, httptest::fileSize(target));
}

TEST_F(WinInetDownload, MissingLengthReportsTheAssumedTotal)
{
    CHttpDownloader downloader;
    ProgressRecorder progress;
    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin?nolen=1"), target, &progress, false));
    EXPECT_TRUE(testutil::readFile(target) == data);
    std::vector<ProgressRecorder::Call> calls = progress.calls();
    ASSERT_FALSE(calls.empty());
    for (const auto& call : calls) {
        EXPECT_EQ(10485760u, call.total);
        EXPECT_LE(call.received, call.total);
    }
}

TEST_F(WinInetDownload, ErrorStatusLeavesTheFileUntouched)
{
    ASSERT_TRUE(testutil::writeFile(target, "earlier bytes"));
    CHttpDownloader downloader;
    ProgressRecorder progress;
    EXPECT_FALSE(downloader.download2file(server.url("/f/missing.bin"), target, &progress, true));
    EXPECT_EQ("earlier bytes", testutil::readFile(target));
    EXPECT_TRUE(log.contains(L"onHttpErro status = 404"));
    EXPECT_TRUE(progress.calls().empty());

    EXPECT_FALSE(downloader.download2file(server.url("/f/data.bin?status=500"), target, &progress, false));
    EXPECT_EQ("earlier bytes", testutil::readFile(target));
    EXPECT_TRUE(log.contains(L"onHttpErro status = 500"));
}

TEST_F(WinInetDownload, ResumeAsksForTheRestAndCountsFromTheOffset)
{
    ASSERT_TRUE(testutil::writeFile(target, data.substr(0, 1000)));
    CHttpDownloader downloader;
    ProgressRecorder progress;
    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin"), target, &progress, true));
    EXPECT_EQ(1000u, downloader.resumeOffset());
    EXPECT_EQ("bytes=1000-", httptest::headerValue(server.lastRequest("/f/data.bin"), "Range"));
    EXPECT_TRUE(log.contains(L"start size 1000"));
    std::vector<ProgressRecorder::Call> calls = progress.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(1000u + calls.front().count, calls.front().received);
    EXPECT_EQ(data.size(), calls.front().total);
    EXPECT_EQ(data.size(), calls.back().received);
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));

    // Without resume the same file is replaced, and no range is asked for.
    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin"), target, nullptr, false));
    EXPECT_EQ("", httptest::headerValue(server.lastRequest("/f/data.bin"), "Range"));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
}

TEST_F(WinInetDownload, RangeIgnoredByTheServerStartsTheFileAgain)
{
    ASSERT_TRUE(testutil::writeFile(target, std::string(1000, 'x')));
    CHttpDownloader downloader;
    ProgressRecorder progress;
    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin?range=ignore"), target, &progress, true));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
    std::vector<ProgressRecorder::Call> calls = progress.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().count, calls.front().received);
    EXPECT_EQ(data.size(), calls.back().total);
}

TEST_F(WinInetDownload, UnsatisfiableRangeDeletesThePartialFile)
{
    ASSERT_TRUE(testutil::writeFile(target, data.substr(0, 1000)));
    CHttpDownloader downloader;
    EXPECT_FALSE(downloader.download2file(server.url("/f/data.bin?range=416"), target, nullptr, true));
    EXPECT_FALSE(testutil::fileExists(target));
    EXPECT_TRUE(log.contains(L"onHttpErro status = 416"));

    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin?range=416"), target, nullptr, true));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));
}

TEST_F(WinInetDownload, ShortBodyFailsAndTheNextCallResumes)
{
    CHttpDownloader downloader;
    EXPECT_FALSE(downloader.download2file(server.url("/f/data.bin?cut=100000"), target, nullptr, true));
    EXPECT_EQ(100000u, httptest::fileSize(target));

    ProgressRecorder progress;
    ASSERT_TRUE(downloader.download2file(server.url("/f/data.bin"), target, &progress, true));
    EXPECT_EQ("bytes=100000-", httptest::headerValue(server.lastRequest("/f/data.bin"), "Range"));
    EXPECT_EQ(httptest::sha256(data), httptest::fileSha256(target));

    // The same holds for a memory download.
    std::string body;
    EXPECT_FALSE(downloader.downloadMemory(server.url("/f/data.bin?cut=5000"), body));
}

TEST_F(WinInetDownload, ServerKilledMidTransferIsResumedAfterItReturns)
{
    std::string big = httptest::makeData(2 * 1024 * 1024, 9);
    ASSERT_TRUE(server.put("big.bin", big));
    const std::wstring slowUrl = server.url("/f/big.bin?trickle=20&chunk=32768");

    CHttpDownloader downloader;
    ProgressRecorder progress;
    HANDLE halfway = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    progress.onCall = [&](unsigned long long received) {
        if (received >= 256 * 1024)
            SetEvent(halfway);
    };
    std::atomic<int> firstResult{-1};
    std::thread first([&] {
        firstResult = downloader.download2file(slowUrl, target, &progress, true) ? 1 : 0;
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(halfway, 20000));
    ASSERT_TRUE(server.kill(1500));
    first.join();
    CloseHandle(halfway);
    EXPECT_EQ(0, firstResult);
    unsigned long long partial = httptest::fileSize(target);
    EXPECT_GT(partial, 0u);
    EXPECT_LT(partial, big.size());

    // Retry the way the download jobs do until the server is back.
    bool done = false;
    for (int attempt = 0; attempt < 40 && !done; ++attempt) {
        done = downloader.download2file(server.url("/f/big.bin"), target, nullptr, true);
        if (!done)
            Sleep(100);
    }
    ASSERT_TRUE(done);
    EXPECT_EQ("bytes=" + std::to_string(partial) + "-",
              httptest::headerValue(server.lastRequest("/f/big.bin"), "Range"));
    EXPECT_EQ(httptest::sha256(big), httptest::fileSha256(target));
}

TEST_F(WinInetDownload, StopFromAnotherThreadEndsASlowDownloadPromptly)
{
    std::string big = httptest::makeData(1024 * 1024, 3);
    ASSERT_TRUE(server.put("big.bin", big));
    CHttpDownloader downloader;
    ProgressRecorder progress;
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    progress.onCall = [&](unsigned long long) { SetEvent(started); };
    std::atomic<int> result{-1};
    const std::wstring url = server.url("/f/big.bin?trickle=300&chunk=2048");
    ASSERT_TRUE(downloader.start(new FunctionRunable([&] {
        result = downloader.download2file(url, target, &progress, false) ? 1 : 0;
    })));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(started, 20000));
    CloseHandle(started);

    DWORD before = GetTickCount();
    downloader.stop();
    DWORD elapsed = GetTickCount() - before;
    EXPECT_LT(elapsed, 1500u);
    EXPECT_EQ(0, result);
    EXPECT_FALSE(downloader.waitFor(10));
}

TEST_F(WinInetDownload, StopDuringAMemoryDownloadRefusesTheNextBlock)
{
    std::string big = httptest::makeData(512 * 1024, 4);
    ASSERT_TRUE(server.put("big.bin", big));
    CHttpDownloader downloader;
    std::string body;
    std::atomic<int> result{-1};
    const std::wstring url = server.url("/f/big.bin?trickle=100&chunk=4096");
    ASSERT_TRUE(downloader.start(new FunctionRunable([&] {
        result = downloader.downloadMemory(url, body) ? 1 : 0;
    })));
    Sleep(500);
    downloader.stop();
    EXPECT_EQ(0, result);
    EXPECT_LT(body.size(), big.size());
}

TEST_F(WinInetDownload, WaitForSleepsUntilAStopIsRequested)
{
    CHttpDownloader downloader;
    DWORD before = GetTickCount();
    EXPECT_TRUE(downloader.waitFor(100));
    EXPECT_GE(GetTickCount() - before, 80u);

    std::atomic<int> waited{-1};
    ASSERT_TRUE(downloader.start(new FunctionRunable([&] {
        waited = downloader.waitFor(30000) ? 1 : 0;
    })));
    Sleep(100);
    before = GetTickCount();
    downloader.stop();
    EXPECT_LT(GetTickCount() - before, 1000u);
    EXPECT_EQ(0, waited);
}

TEST(HttpClient, OpenSplitsTheUrlAndMarksHttpsInAnyCase)
{
    CHttpClient client;
    ErrorRecorder sink;
    ASSERT_TRUE(client.open(L"HTTPS://example.test:8443/dir/file.bin?x=1&y=2", &sink));
    EXPECT_EQ(L"example.test", client.host());
    EXPECT_EQ(8443, client.port());
    EXPECT_EQ(L"/dir/file.bin?x=1&y=2", client.path());
    EXPECT_TRUE(client.isSecure());
    EXPECT_EQ(0x84001081u | INTERNET_FLAG_SECURE, client.requestFlags());

    ASSERT_TRUE(client.open(L"http://example.test/", &sink));
    EXPECT_FALSE(client.isSecure());
    EXPECT_EQ(0x84001081u, client.requestFlags());
    EXPECT_EQ(80, client.port());
    EXPECT_TRUE(sink.stages.empty());
}

TEST(HttpClient, HeaderBlockIsSortedAndHasTheDefaults)
{
    CHttpClient client;
    client.setHeader(L"Range", L"bytes=5-");
    client.setHeader(L"Accept-Language", L"en");
    EXPECT_EQ(L"Accept-Language: en\r\nContent-Type: application/x-www-form-urlencoded\r\n"
              L"Range: bytes=5-\r\nUser-Agent: okhttp/3.5.0L\r\n",
              client.buildHeaderBlock());
    client.removeHeader(L"Range");
    EXPECT_EQ(std::wstring::npos, client.buildHeaderBlock().find(L"Range"));
}

TEST(HttpClient, EachFailedStageIsReportedOnce)
{
    CHttpClient client;
    ErrorRecorder badUrl;
    EXPECT_FALSE(client.open(L"not a url", &badUrl));
    ASSERT_EQ(1u, badUrl.stages.size());
    EXPECT_EQ(CHttpClient::kStageUrl, badUrl.stages[0]);

    // Port 1 on the loopback has nobody listening.
    ErrorRecorder refused;
    ASSERT_TRUE(client.open(L"http://127.0.0.1:1/x", &refused));
    EXPECT_FALSE(client.send());
    ASSERT_EQ(1u, refused.stages.size());
    EXPECT_EQ(CHttpClient::kStageRequest, refused.stages[0]);
    EXPECT_FALSE(refused.completed);
}

}  // namespace
