// The WinINet and the curl downloader against the loopback test server: the
// cases both must pass run over both clients, the rest are client-specific.
#include <winsock2.h>  // libcurl wants it before windows.h

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "common/test_util.h"
#include "foundation/scoped_handle.h"
#include "foundation/url_policy.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/file_download.h"
#include "launcher/services/http_downloader.h"
#include "launcher_test_util.h"

using utility::CHttpClient;
using utility::CHttpDownloader;

namespace {

enum Client { kWinInet, kCurl };

struct Progress {
    DWORD tick;
    unsigned long long received, total;
    int percent;  // curl only
};

class Download : public testing::Test, public CHttpDownloader::IHttpDownloadSink {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(KXCurlDownloader::globalInit()); }

    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        ASSERT_TRUE(server.reset());
        data = launchertest::makeData(300 * 1024 + 17, 5);
        ASSERT_TRUE(server.put("data.bin", data));
        target = dir.file(L"data.bin.tmp");
    }

    bool onDownloadProgress(const char*, DWORD, unsigned long long received, unsigned long long total) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back({GetTickCount(), received, total, -1});
        return keepGoing;
    }

    // The file download of the client under test; curl always resumes.
    bool fetch(const std::string& pathAndQuery, bool resume = true)
    {
        return fetchUrl(server.narrowUrl(pathAndQuery), resume);
    }
    bool fetchUrl(const std::string& url, bool resume = true, unsigned long long maxBytes = 0)
    {
        if (client == kWinInet)
            return wininet.download2file(std::wstring(url.begin(), url.end()), target, this, resume, maxBytes);
        return curl.downloadFile(
            testutil::narrow(target), url,
            [this](int percent, unsigned long long done, unsigned long long total) {
                std::lock_guard<std::mutex> lock(mutex);
                calls.push_back({GetTickCount(), done, total, percent});
            },
            maxBytes);
    }

    // Curl keeps the body of its last good fetch; WinINet appends to body.
    bool fetchMemory(const std::string& pathAndQuery, std::string& body)
    {
        return fetchMemoryUrl(server.narrowUrl(pathAndQuery), body);
    }
    bool fetchMemoryUrl(const std::string& url, std::string& body)
    {
        if (client == kWinInet)
            return wininet.downloadMemory(std::wstring(url.begin(), url.end()), body);
        if (!curl.downloadMemory(url, curl_easy_init()))
            return false;
        body = curl.body();
        return true;
    }

    std::vector<Progress> progress()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
    DWORD targetSize()
    {
        WIN32_FILE_ATTRIBUTE_DATA info = {};
        GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &info);
        return info.nFileSizeLow;
    }
    bool targetIs(const std::string& bytes) { return testutil::readFile(target) == bytes; }
    std::wstring errorLine(int status)
    {
        return client == kCurl ? L"curl download error" : L"onHttpErro status = " + std::to_wstring(status);
    }

    Client client = kWinInet;
    launchertest::TestServer server;
    launchertest::LogCapture log;
    testutil::TempDir dir;
    std::string data;
    std::wstring target;
    CHttpDownloader wininet;
    KXCurlDownloader curl;
    std::mutex mutex;
    std::vector<Progress> calls;
    bool keepGoing = true;
};

class BothClients : public Download, public testing::WithParamInterface<Client> {
    void SetUp() override
    {
        client = GetParam();
        Download::SetUp();
    }
};

INSTANTIATE_TEST_SUITE_P(Http, BothClients, testing::Values(kWinInet, kCurl),
                         [](const testing::TestParamInfo<Client>& info) {
                             return std::string(info.param == kWinInet ? "WinInet" : "Curl");
                         });

TEST_P(BothClients, PlainFileAndMemoryFetch)
{
    ASSERT_TRUE(fetch("/f/data.bin?trickle=100&chunk=32768"));
    EXPECT_TRUE(targetIs(data));
    EXPECT_EQ("", server.header("/f/data.bin", "Range"));
    std::vector<Progress> seen = progress();
    ASSERT_FALSE(seen.empty());
    for (const Progress& p : seen)
        EXPECT_TRUE(p.total == data.size() && p.percent < 100);
    if (client == kWinInet) {
        EXPECT_EQ(data.size(), seen.back().received);
        EXPECT_EQ("okhttp/3.5.0L", server.header("/f/data.bin", "User-Agent"));
        EXPECT_EQ("application/x-www-form-urlencoded", server.header("/f/data.bin", "Content-Type"));
    }

    std::string body = "prefix";
    ASSERT_TRUE(fetchMemory("/r/3/f/data.bin", body));
    EXPECT_TRUE(body == (client == kWinInet ? "prefix" : "") + data);  // WinINet appends
    EXPECT_FALSE(fetchMemory("/f/data.bin?status=500", body));
    EXPECT_FALSE(fetchMemory("/f/data.bin?cut=5000", body));
}

TEST_P(BothClients, ErrorStatusLeavesTheFileUntouched)
{
    ASSERT_TRUE(testutil::writeFile(target, "earlier bytes"));
    EXPECT_FALSE(fetch("/f/missing.bin"));
    EXPECT_TRUE(log.contains(errorLine(404)));
    EXPECT_FALSE(fetch("/f/data.bin?status=500"));
    EXPECT_TRUE(log.contains(errorLine(500)));
    EXPECT_EQ("earlier bytes", testutil::readFile(target));
    EXPECT_FALSE(log.contains(L"sucess"));
}

TEST_P(BothClients, MissingLengthCountsAsTheAssumedTotal)
{
    ASSERT_TRUE(fetch("/f/data.bin?nolen=1&trickle=50&chunk=65536"));
    EXPECT_TRUE(targetIs(data));
    // WinINet reports against 10 MiB; curl, knowing no total, reports nothing.
    std::vector<Progress> seen = progress();
    EXPECT_EQ(client == kCurl, seen.empty());
    for (const Progress& p : seen) {
        EXPECT_EQ(CHttpDownloader::kAssumedTotal, p.total);
        EXPECT_LE(p.received, p.total);
    }
}

TEST_P(BothClients, ResumeAsksForTheRestAndCountsFromTheOffset)
{
    ASSERT_TRUE(testutil::writeFile(target, data.substr(0, 1000)));
    ASSERT_TRUE(fetch("/f/data.bin?trickle=100&chunk=32768"));
    EXPECT_EQ("bytes=1000-", server.header("/f/data.bin", "Range"));
    EXPECT_TRUE(log.contains(L"start size 1000"));
    EXPECT_TRUE(targetIs(data));
    std::vector<Progress> seen = progress();
    ASSERT_FALSE(seen.empty());
    EXPECT_GE(seen.front().received, 1000u);
    EXPECT_EQ(data.size(), seen.front().total);
}

TEST_P(BothClients, RefusedRangeNeverCorruptsTheFile)
{
    // A 200 to a range: WinINet starts the file again, curl fails and deletes
    // it; a 416, or a 206 whose range starts elsewhere or nowhere: both delete
    // it. Either way the next call starts clean.
    for (std::string refusal : {"ignore", "416", "shift", "star"}) {
        SCOPED_TRACE(refusal);
        ASSERT_TRUE(testutil::writeFile(target, std::string(1000, 'x')));
        const bool restarts = client == kWinInet && refusal == "ignore";
        EXPECT_EQ(restarts, fetch("/f/data.bin?range=" + refusal));
        if (!restarts) {
            EXPECT_FALSE(testutil::fileExists(target));
            ASSERT_TRUE(fetch("/f/data.bin?range=" + refusal));
        }
        EXPECT_TRUE(targetIs(data));
    }
}

TEST_P(BothClients, ShortBodyFailsAndTheNextCallResumes)
{
    EXPECT_FALSE(fetch("/f/data.bin?cut=100000"));
    EXPECT_EQ(100000u, targetSize());
    ASSERT_TRUE(fetch("/f/data.bin"));
    EXPECT_EQ("bytes=100000-", server.header("/f/data.bin", "Range"));
    EXPECT_TRUE(targetIs(data));
}

TEST_P(BothClients, ServerKilledMidTransferIsResumedAfterItReturns)
{
    std::string big = launchertest::makeData(2 * 1024 * 1024, 9);
    ASSERT_TRUE(server.put("big.bin", big));
    std::atomic<int> first{-1};
    std::thread worker([&] { first = fetch("/f/big.bin?trickle=20&chunk=32768"); });
    ASSERT_TRUE(testutil::pumpUntil([&] { return targetSize() >= 256 * 1024; }, 20000));
    ASSERT_TRUE(server.kill(1500));
    worker.join();
    EXPECT_EQ(0, first);
    DWORD partial = targetSize();
    EXPECT_LT(partial, big.size());

    // Retry the way the download jobs do until the server is back.
    bool done = false;
    for (int attempt = 0; attempt < 40 && !done; ++attempt) {
        done = fetch("/f/big.bin");
        if (!done)
            Sleep(100);
    }
    ASSERT_TRUE(done);
    EXPECT_EQ("bytes=" + std::to_string(partial) + "-", server.header("/f/big.bin", "Range"));
    EXPECT_TRUE(targetIs(big));
}

TEST_P(BothClients, TlsAcceptsOnlyACertificateForTheHostName)
{
    ASSERT_TRUE(server.tlsAvailable()) << "run through tests/tools/with_http_server.sh --tls";
    ASSERT_TRUE(launchertest::trustTestCertificateAuthority());
    std::string body;
    ASSERT_TRUE(fetchMemoryUrl(server.narrowHttpsUrl("/f/data.bin"), body));
    EXPECT_TRUE(body == data);
    ASSERT_TRUE(fetchUrl(server.narrowHttpsUrl("/f/data.bin"), false));
    EXPECT_TRUE(targetIs(data));

    // A certificate of the same authority for another name, or one for this
    // name that nobody trusts: no request is answered, no byte taken.
    ASSERT_TRUE(DeleteFileW(target.c_str()));
    for (const std::string& url :
         {server.narrowOtherHttpsUrl("/f/data.bin"), server.narrowUntrustedHttpsUrl("/f/data.bin")}) {
        SCOPED_TRACE(url);
        body.clear();
        EXPECT_FALSE(fetchMemoryUrl(url, body));
        EXPECT_TRUE(body.empty());
        EXPECT_FALSE(fetchUrl(url, false));
        EXPECT_EQ(0u, targetSize());
    }
    EXPECT_EQ(2, server.count("/f/data.bin")) << "a request reached a server with a wrong certificate";
}

TEST_P(BothClients, OnlyWebAddressesAreFetched)
{
    // A local file and an ftp address: refused by name, nothing written.
    const std::wstring secret = dir.file(L"secret.txt");
    ASSERT_TRUE(testutil::writeFile(secret, "a local file"));
    std::string local = "file:///" + testutil::narrow(secret);
    std::replace(local.begin(), local.end(), '\\', '/');
    for (const std::string& url : {local, "ftp://127.0.0.1:" + std::to_string(server.port()) + "/f/data.bin"}) {
        SCOPED_TRACE(url);
        EXPECT_FALSE(fetchUrl(url, false));
        EXPECT_FALSE(testutil::fileExists(target));
        std::string body;
        EXPECT_FALSE(fetchMemoryUrl(url, body));
        EXPECT_TRUE(body.empty());
        EXPECT_TRUE(log.contains(L"address refused: " + std::wstring(url.begin(), url.end())));
    }
    EXPECT_EQ(0, server.count("/f/data.bin"));
}

TEST_P(BothClients, DocumentsAboveTheCapAreRefused)
{
    const unsigned long long cap = utility::urlpolicy::kMaxDocumentBytes;
    ASSERT_TRUE(server.putBig("limit.json", cap, "&nolen=1"));
    ASSERT_TRUE(server.putBig("large.json", cap + 1));
    // Without a length and without an end: the client stops reading at the cap.
    ASSERT_TRUE(server.putBig("endless.json", 64 * cap, "&nolen=1"));
    std::string body;
    ASSERT_TRUE(fetchMemory("/f/limit.json", body));
    EXPECT_EQ(cap, body.size());
    for (const char* name : {"large.json", "endless.json"}) {
        SCOPED_TRACE(name);
        body.clear();
        EXPECT_FALSE(fetchMemory(std::string("/f/") + name, body));
        EXPECT_LE(body.size(), cap);
    }
    EXPECT_EQ(2u, log.count(L"document refused: larger than 4194304 bytes"));
}

// ---------------------------------------------------------------- WinINet

TEST_F(Download, WinInetStopsWhenTheSinkRefusesABlock)
{
    keepGoing = false;
    wininet.setHeader(L"User-Agent", L"zultest");  // the caller's headers win
    EXPECT_FALSE(fetch("/f/data.bin", false));
    EXPECT_EQ("zultest", server.header("/f/data.bin", "User-Agent"));
    EXPECT_EQ(1u, progress().size());
    EXPECT_EQ(0u, targetSize());  // the refused block is not written
}

TEST_F(Download, WinInetStopFromAnotherThreadEndsATransferPromptly)
{
    std::string big = launchertest::makeData(1024 * 1024, 3);
    ASSERT_TRUE(server.put("big.bin", big));
    std::atomic<int> result{-1};
    std::atomic<int> waited{-1};
    ASSERT_TRUE(wininet.start(new FunctionRunable([&] {
        result = fetch("/f/big.bin?trickle=300&chunk=2048", false);
        waited = wininet.waitFor(30000);  // the pause between tries ends too
    })));
    ASSERT_TRUE(testutil::pumpUntil([&] { return !progress().empty(); }, 20000));
    DWORD before = GetTickCount();
    wininet.stop();
    EXPECT_LT(GetTickCount() - before, 1500u);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, waited);
}

TEST_F(Download, WinInetHttpsOnlyRefusesARedirectToHttp)
{
    ASSERT_TRUE(server.tlsAvailable()) << "run through tests/tools/with_http_server.sh --tls";
    ASSERT_TRUE(launchertest::trustTestCertificateAuthority());
    wininet.setSchemes(utility::urlpolicy::Schemes::HttpsOnly);
    EXPECT_FALSE(fetchUrl(server.narrowUrl("/f/data.bin"), false));
    EXPECT_TRUE(log.contains(L"address refused: " + server.url("/f/data.bin")));
    const std::string downgrade = server.narrowHttpsUrl("/go?to=" + server.narrowUrl("/f/data.bin"));
    EXPECT_FALSE(fetchUrl(downgrade, false));
    EXPECT_TRUE(log.contains(L"redirected address refused: " + server.url("/f/data.bin")));
    EXPECT_TRUE(progress().empty());
    EXPECT_FALSE(testutil::fileExists(target));
    // The positive control: https all the way.
    ASSERT_TRUE(fetchUrl(server.narrowHttpsUrl("/go?to=/f/data.bin"), false));
    EXPECT_TRUE(targetIs(data));
}

TEST(HttpClient, UrlPartsAndFailedStages)
{
    struct Sink : CHttpClient::IHttpClientSink {
        void onHttpError(int stage, DWORD) override { stages.push_back(stage); }
        bool onHttpRecvHeader(unsigned long long, DWORD) override { return true; }
        bool onHttpRecvData(const char*, DWORD) override { return true; }
        void onHttpComplete() override {}
        std::vector<int> stages;
    } sink;
    CHttpClient client;
    ASSERT_TRUE(client.open(L"HTTPS://example.test:8443/dir/file.bin?x=1&y=2", &sink));
    EXPECT_EQ(L"/dir/file.bin?x=1&y=2", client.path());
    EXPECT_TRUE(client.requestFlags() & INTERNET_FLAG_SECURE);
    ASSERT_TRUE(client.open(L"http://example.test/", &sink));
    EXPECT_FALSE(client.requestFlags() & INTERNET_FLAG_SECURE);

    EXPECT_FALSE(client.open(L"not a url", &sink));
    // Port 1 on the loopback has nobody listening.
    ASSERT_TRUE(client.open(L"http://127.0.0.1:1/x", &sink));
    EXPECT_FALSE(client.send());
    EXPECT_EQ((std::vector<int>{CHttpClient::kStageUrl, CHttpClient::kStageRequest}), sink.stages);
}

// ------------------------------------------------------------------- curl

TEST_F(Download, CurlProgressAtMostOnceASecondAndNever100)
{
    client = kCurl;
    std::string big = launchertest::makeData(1024 * 1024, 12);
    ASSERT_TRUE(server.put("big.bin", big));
    // About 3.2 seconds of transfer.
    ASSERT_TRUE(fetch("/f/big.bin?trickle=50&chunk=16384"));
    EXPECT_TRUE(targetIs(big));
    EXPECT_TRUE(log.contains(L"curl download  file sucess"));
    std::vector<Progress> seen = progress();
    ASSERT_GE(seen.size(), 2u);
    ASSERT_LE(seen.size(), 5u);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_LT(seen[i].percent, 100);
        EXPECT_EQ(static_cast<int>(seen[i].received * 100 / seen[i].total), seen[i].percent);
        if (i > 0) {
            EXPECT_GE(seen[i].tick - seen[i - 1].tick, 1000u);
        }
    }
}

// A stop request ends a slow transfer within about a second, on both paths,
// without the worker having to be terminated.
TEST_F(Download, CurlStopEndsASlowTransferWithinASecond)
{
    for (bool toFile : {true, false}) {
        SCOPED_TRACE(toFile ? "file" : "memory");
        ASSERT_TRUE(server.reset());
        utility::WorkerThread worker;
        KXCurlDownloader stoppable(&worker);
        std::atomic<int> result{-1};
        const std::string url = server.narrowUrl("/f/data.bin?trickle=400&chunk=512");
        ASSERT_TRUE(worker.start(new FunctionRunable([&] {
            result = toFile ? stoppable.downloadFile(testutil::narrow(target), url, {})
                            : stoppable.downloadMemory(url, curl_easy_init());
        })));
        ASSERT_TRUE(testutil::pumpUntil([&] { return server.count("/f/data.bin") == 1; }, 10000));
        Sleep(500);
        const DWORD before = GetTickCount();
        worker.requestStop();
        worker.join(5000);
        EXPECT_LT(GetTickCount() - before, 1500u);
        EXPECT_EQ(0, result);
        EXPECT_FALSE(log.contains(L"terminating it"));
    }
}

// A package larger than 2 GiB: the sizes reach the progress callback whole.
TEST_F(Download, CurlProgressCarriesSizesAbove2GiB)
{
    client = kCurl;
    const unsigned long long onDisk = 3ull << 30;
    const unsigned long long size = onDisk + 256 * 1024;
    ASSERT_TRUE(server.putBig("huge.bin", size));
    {
        // A sparse partial file: only its length matters here.
        utility::ScopedHandle file(
            CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(onDisk);
        ASSERT_TRUE(file.valid() && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get()));
    }
    // Sixteen blocks over 1.6 s: a client the machine's load holds up for a
    // while still sees the transfer under way, not only its end (which the
    // callback never reports).
    const bool fetched = fetch("/f/huge.bin?trickle=100&chunk=16384");
    DeleteFileW(target.c_str());
    ASSERT_TRUE(fetched);
    std::vector<Progress> seen = progress();
    ASSERT_FALSE(seen.empty());
    for (const Progress& p : seen) {
        EXPECT_EQ(size, p.total);
        EXPECT_GE(p.received, onDisk);
        EXPECT_EQ(static_cast<int>(p.received * 100 / p.total), p.percent);
    }
}

// The download to a file: a resumable one continues the partial file a cut
// transfer left, over either transport; a fresh one never does. A failed or
// refused file leaves the old target in place and no partial file.
TEST_F(Download, DownloadToFileOwnsThePartialFile)
{
    const std::wstring file = dir.file(L"data.bin");
    ASSERT_EQ(target, utility::partialPathOf(file));
    utility::FileDownloadRequest request;
    request.target = file;
    request.wininet = &wininet;
    request.resume = true;
    request.wininetTries = 1;
    request.url = server.url("/f/data.bin?cut=100000");
    EXPECT_EQ(utility::DownloadResult::kFailed, utility::downloadToFile(request));
    EXPECT_EQ(100000u, targetSize());
    request.wininetTries = 0;
    request.curlTries = 1;
    request.url = server.url("/f/data.bin");
    ASSERT_EQ(utility::DownloadResult::kDone, utility::downloadToFile(request));
    EXPECT_EQ("bytes=100000-", server.header("/f/data.bin", "Range"));
    EXPECT_TRUE(testutil::readFile(file) == data);
    EXPECT_FALSE(testutil::fileExists(target));

    request.resume = false;
    request.wininetTries = 1;
    request.curlTries = 0;
    const std::string refusals[] = {"/f/data.bin?cut=100000", "/f/data.bin?status=500", "/f/data.bin"};
    for (const std::string& refusal : refusals) {
        SCOPED_TRACE(refusal);
        ASSERT_TRUE(testutil::writeFile(target, "stale"));
        request.url = server.url(refusal);
        request.accept = [](const std::wstring&) { return false; };
        EXPECT_EQ(utility::DownloadResult::kFailed, utility::downloadToFile(request));
        EXPECT_EQ("", server.header("/f/data.bin", "Range"));
        EXPECT_FALSE(testutil::fileExists(target));
        EXPECT_TRUE(testutil::readFile(file) == data);
    }
    request.url = server.url("/f/data.bin");
    request.schemes = utility::urlpolicy::Schemes::HttpsOnly;
    EXPECT_EQ(utility::DownloadResult::kFailed, utility::downloadToFile(request));
    EXPECT_TRUE(log.contains(L"file address refused: " + request.url));
}

// A file capped at its own size is taken whole; one byte less, and it is
// refused (by its length, or counted as it arrives without one) and deleted.
TEST_P(BothClients, FilesAboveTheirCapAreRefusedAndDeleted)
{
    const std::string url = server.narrowUrl("/f/data.bin");
    for (const char* options : {"", "?nolen=1"}) {
        SCOPED_TRACE(options);
        ASSERT_TRUE(fetchUrl(url + options, true, data.size()));
        EXPECT_TRUE(targetIs(data));
        ASSERT_TRUE(DeleteFileW(target.c_str()));
        EXPECT_FALSE(fetchUrl(url + options, true, data.size() - 1));
        EXPECT_FALSE(testutil::fileExists(target));
        // The bytes already on disk count.
        ASSERT_TRUE(testutil::writeFile(target, data.substr(0, 1000)));
        EXPECT_FALSE(fetchUrl(url + options, true, data.size() - 1));
        EXPECT_FALSE(testutil::fileExists(target));
    }
    EXPECT_EQ(4u, log.count(L"file refused: larger than " + std::to_wstring(data.size() - 1) + L" bytes"));
}

TEST_F(Download, CurlRefusesACapItCannotTake)
{
    const std::string url = server.narrowUrl("/f/data.bin");
    // A cap libcurl does not take (beyond its signed sizes): the download
    // stops before its request, and before it touches the file.
    EXPECT_FALSE(curl.downloadFile(testutil::narrow(target), url, {}, ~0ull));
    EXPECT_TRUE(log.contains(L"curl option MAXFILESIZE_LARGE (30117) refused"));
    EXPECT_FALSE(testutil::fileExists(target));
    EXPECT_EQ(0, server.count("/f/data.bin"));
}

TEST_F(Download, CurlFollowsFiveRedirectsButNotSix)
{
    client = kCurl;
    ASSERT_TRUE(fetch("/r/5/f/data.bin"));
    EXPECT_TRUE(targetIs(data));
    target = dir.file(L"other.bin");
    EXPECT_FALSE(fetch("/r/6/f/data.bin"));
    EXPECT_EQ(1, server.count("/f/data.bin"));
}

TEST_F(Download, CurlBadTargetsFailWithoutHarm)
{
    client = kCurl;
    target = dir.file(L"no such folder\\x.bin");
    EXPECT_FALSE(fetch("/f/data.bin"));
    EXPECT_TRUE(log.contains(L"open file error  error:"));
    EXPECT_FALSE(curl.downloadMemory(server.narrowUrl("/f/data.bin"), nullptr));
}

}  // namespace
