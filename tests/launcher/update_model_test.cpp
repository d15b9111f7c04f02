// The self-update model against the loopback test server: which documents
// make an offer, the three tries, the installer download with its progress,
// what may become the installer, and callbacks that a closing window cleared.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/ui_task_dispatcher.h"
#include "launcher/services/file_ex.h"
#include "launcher/update_model.h"
#include "launcher_test_util.h"

namespace {

typedef KXSpaceUpdateModel Model;

class UpdateModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available() && server.tlsAvailable()) << "run through tests/tools/with_http_server.sh --tls";
        // The installer comes over https only.
        ASSERT_TRUE(launchertest::trustTestCertificateAuthority());
        // It runs elevated: only a program of the trusted test publisher.
        ASSERT_TRUE(launchertest::trustTestPublisher());
        ASSERT_TRUE(server.reset());
        UiTaskDispatcher::create();
        model().setHost(server.narrowUrl("/f"));
        model().setLanguage(L"en");
        model().setCheckCallback([this](const std::wstring& content, const std::wstring& version) {
            results.push_back(content + L"|" + version);
        });
        model().setProgressCallback([this](int percent) { progress.push_back(percent); });
    }
    void TearDown() override
    {
        model().stop();
        model().setCheckCallback(Model::CheckCallback());
        model().setProgressCallback(Model::ProgressCallback());
        UiTaskDispatcher::destroy();
    }
    static Model& model() { return Model::instance(); }
    std::wstring check(bool automatic)
    {
        results.clear();
        model().checkVersion(automatic);
        EXPECT_TRUE(testutil::pumpUntil([&] { return !results.empty(); }, 60000));
        return results.empty() ? L"(none)" : results[0];
    }
    // Offers version text "5.0" from url and downloads it; the last progress.
    int downloadFrom(const std::string& url)
    {
        EXPECT_TRUE(
            server.put("zul/update_en.data", "{\"ver\": 10005, \"strVer\": \"5.0\", \"url\": \"" + url + "\"}"));
        EXPECT_EQ(L"|5.0", check(false));
        progress.clear();
        EXPECT_TRUE(model().startDownload());
        EXPECT_TRUE(testutil::pumpUntil(
            [&] { return !progress.empty() && (progress.back() == 100 || progress.back() == Model::kDownloadFailed); },
            60000));
        return progress.empty() ? 0 : progress.back();
    }

    launchertest::TestServer server;
    std::vector<std::wstring> results;
    std::vector<int> progress;
};

}  // namespace

TEST(UpdateDecision, OffersFollowTheVersionsAndTheCheckKind)
{
    const std::string optional = "{\"ver\": 10001, \"strVer\": \"1.0.1\", \"forceVer\": 0, \"noiceVer\": 0}";
    EXPECT_FALSE(Model::decide(optional, L"en", true).update);
    EXPECT_TRUE(Model::decide(optional, L"en", false).update);
    EXPECT_FALSE(Model::decide(optional, L"en", false).forced);

    const Model::Offer suggested = Model::decide("{\"ver\": 10001, \"noiceVer\": 10001}", L"en", true);
    EXPECT_TRUE(suggested.update);
    EXPECT_FALSE(suggested.forced);
    const Model::Offer forced = Model::decide("{\"ver\": 10002, \"forceVer\": 10002}", L"en", true);
    EXPECT_TRUE(forced.update);
    EXPECT_TRUE(forced.forced);
    EXPECT_FALSE(Model::decide("{\"ver\": 10000, \"forceVer\": 20000, \"noiceVer\": 20000}", L"en", false).update);
    // Keys of another type count as absent; no object, no offer.
    EXPECT_FALSE(Model::decide("{\"ver\": \"10001\"}", L"en", false).update);
    EXPECT_FALSE(Model::decide("[10001]", L"en", false).update);
    EXPECT_FALSE(Model::decide("{\"ver\": 100", L"en", false).update);

    const std::string texts = "{\"ver\": 10001, \"content\": \"plain\", \"en\": \"english\", \"fr\": 5}";
    EXPECT_EQ(L"english", Model::decide(texts, L"en", false).content);
    EXPECT_EQ(L"plain", Model::decide(texts, L"fr", false).content);
    EXPECT_EQ(L"plain", Model::decide(texts, L"de", false).content);
}

TEST(UpdateDecision, DeeplyNestedDocumentIsRefusedOnTheCheckWorker)
{
    // On a worker as the check runs: 100,000 levels overflow a parser that recurses.
    Model::Offer open, closed;
    open.update = closed.update = true;
    utility::WorkerThread worker;
    ASSERT_TRUE(worker.start(new FunctionRunable([&] {
        open = Model::decide(std::string(100000, '['), L"en", false);
        closed = Model::decide(std::string(100000, '[') + std::string(100000, ']'), L"en", false);
    })));
    worker.join(60000);
    EXPECT_FALSE(open.update);
    EXPECT_FALSE(closed.update);
}

TEST(UpdateDecision, VersionTextBecomesAFileNameOnlyWhenPlain)
{
    EXPECT_EQ(L"C:\\a\\update\\zul_1.0.1.exe", Model::installerPath(L"C:\\a\\update\\", L"1.0.1", 10001));
    for (const wchar_t* hostile : {L"..\\..\\evil", L"../x", L"a:b", L"", L"x\\y", L"1.0\u00e9"})
        EXPECT_EQ(L"C:\\a\\update\\zul_10002.exe", Model::installerPath(L"C:\\a\\update\\", hostile, 10002))
            << testutil::narrow(hostile);
}

TEST_F(UpdateModelTest, ChecksDeliverOnTheUiThreadAfterAtMostThreeTries)
{
    ASSERT_TRUE(server.put("zul/update_en.data",
                           "{\"ver\": 10001, \"strVer\": \"1.0.1\", \"content\": \"notes\", \"noiceVer\": 0}"));
    EXPECT_EQ(L"|", check(true));
    EXPECT_EQ(L"notes|1.0.1", check(false));
    EXPECT_FALSE(model().checkRunning());

    // The language's text replaces "content"; a second check while one runs is refused.
    server.reset();
    ASSERT_TRUE(server.put("zul/update_en.data",
                           "{\"ver\": 10001, \"strVer\": \"1.0.2\", \"content\": \"old\", \"en\": \"new\"}"));
    results.clear();
    model().checkVersion(false);
    model().checkVersion(false);  // refused: one check at a time
    ASSERT_TRUE(testutil::pumpUntil([&] { return !results.empty(); }, 60000));
    EXPECT_EQ(L"new|1.0.2", results[0]);
    EXPECT_EQ(1, server.count("/f/zul/update_en.data"));

    // Nothing to fetch: three tries with two pauses of a second, then no update.
    server.reset();
    model().setHost(server.narrowUrl("/f/missing"));
    const DWORD started = GetTickCount();
    EXPECT_EQ(L"|", check(false));
    EXPECT_EQ(3, server.count("/f/missing/zul/update_en.data"));
    EXPECT_GE(GetTickCount() - started, 1900u) << "two pauses of a second between the tries";
    testutil::pumpFor(300);
    EXPECT_EQ(1u, results.size());
}

TEST_F(UpdateModelTest, InstallerDownloadReportsBelowHundredUntilItIsInPlace)
{
    const std::string installer = testutil::readFile(launchertest::signedVariant(L"signed"));
    ASSERT_TRUE(server.put("setup.exe", installer));
    ASSERT_TRUE(server.put("zul/update_en.data", "{\"ver\": 10001, \"strVer\": \"9.9.9\", \"url\": \"" +
                                                     server.narrowHttpsUrl("/f/setup.exe?chunk=65536&trickle=100") +
                                                     "\"}"));
    ASSERT_EQ(L"|9.9.9", check(false));
    const std::wstring file = utility::ufile::getExeDir() + L"update\\zul_9.9.9.exe";
    DeleteFileW(file.c_str());
    ASSERT_TRUE(model().startDownload());
    ASSERT_TRUE(testutil::pumpUntil([&] { return !progress.empty() && progress.back() == 100; }, 120000));
    EXPECT_TRUE(model().needUpdate());
    EXPECT_EQ(file, model().getUpdatePath());
    EXPECT_TRUE(testutil::readFile(file) == installer);
    EXPECT_FALSE(testutil::fileExists(file + L".tmp"));
    ASSERT_GE(progress.size(), 3u);
    for (size_t i = 0; i + 1 < progress.size(); ++i)
        EXPECT_LT(progress[i], 100) << "report " << i;
    EXPECT_EQ(99, progress[progress.size() - 2]);

    // At exit the installer is started only while it is still a program of the trusted publisher.
    EXPECT_TRUE(model().installerReady());
    ASSERT_TRUE(testutil::writeFile(file, "replaced"));
    EXPECT_FALSE(model().installerReady());
    EXPECT_FALSE(testutil::fileExists(file));
    ASSERT_TRUE(CopyFileW(launchertest::signedVariant(L"unsigned").c_str(), file.c_str(), FALSE));
    EXPECT_FALSE(model().installerReady());
    EXPECT_FALSE(testutil::fileExists(file));
}

TEST_F(UpdateModelTest, OnlyAnInstallerOfTheTrustedPublisherIsKept)
{
    const std::wstring file = utility::ufile::getExeDir() + L"update\\zul_5.0.exe";
    for (const wchar_t* reason : {L"unsigned", L"altered", L"untrusted root", L"another publisher"}) {
        const std::wstring variant = std::wstring(reason) == L"untrusted root"      ? L"rogue"
                                     : std::wstring(reason) == L"another publisher" ? L"other"
                                                                                    : reason;
        SCOPED_TRACE(testutil::narrow(variant));
        ASSERT_TRUE(server.put("setup.exe", testutil::readFile(launchertest::signedVariant(variant.c_str()))));
        launchertest::LogCapture log;
        EXPECT_EQ(Model::kDownloadFailed, downloadFrom(server.narrowHttpsUrl("/f/setup.exe")));
        EXPECT_FALSE(model().needUpdate());
        EXPECT_FALSE(testutil::fileExists(file)) << "a refused installer is deleted";
        EXPECT_TRUE(log.contains(L"utility::TrustedProgram: " + file + L" refused: " + reason));
        EXPECT_TRUE(log.contains(L"installer " + file + L" refused: " + reason + L", deleted"));
    }
}

TEST_F(UpdateModelTest, OnlyAWholeProgramOverHttpsBecomesTheInstaller)
{
    launchertest::LogCapture log;
    const std::string program = testutil::readFile(launchertest::signedVariant(L"signed"));
    ASSERT_GT(program.size(), 50000u);
    ASSERT_TRUE(server.put("setup.exe", program));
    ASSERT_TRUE(server.put("notes.txt", "not a program at all"));
    ASSERT_TRUE(server.put("empty.exe", ""));
    const std::wstring file = utility::ufile::getExeDir() + L"update\\zul_5.0.exe";
    // Over http, or redirected there; cut short without a length, or whole but
    // without one; no program; empty.
    for (const std::string& url :
         {server.narrowUrl("/f/setup.exe"), server.narrowHttpsUrl("/go?to=" + server.narrowUrl("/f/setup.exe")),
          server.narrowHttpsUrl("/f/setup.exe?nolen=1&cut=50000"), server.narrowHttpsUrl("/f/setup.exe?nolen=1"),
          server.narrowHttpsUrl("/f/notes.txt"), server.narrowHttpsUrl("/f/empty.exe")}) {
        SCOPED_TRACE(url);
        EXPECT_EQ(Model::kDownloadFailed, downloadFrom(url));
        EXPECT_FALSE(model().needUpdate());
        EXPECT_FALSE(testutil::fileExists(file));
        EXPECT_FALSE(testutil::fileExists(file + L".tmp"));
    }
    EXPECT_TRUE(log.contains(L"address refused: " + server.url("/f/setup.exe")));
    EXPECT_TRUE(log.contains(L"redirected address refused: " + server.url("/f/setup.exe")));
    EXPECT_TRUE(log.contains(L"refused: 50000 bytes without an announced length"));
    EXPECT_TRUE(log.contains(L"refused: " + std::to_wstring(program.size()) + L" bytes without an announced length"));
    EXPECT_EQ(2u, log.count(L"refused: no program"));

    // The positive control: the same program whole, over https.
    EXPECT_EQ(100, downloadFrom(server.narrowHttpsUrl("/f/setup.exe")));
    EXPECT_TRUE(testutil::readFile(file) == program);
    DeleteFileW(file.c_str());
}

TEST_F(UpdateModelTest, FailedOrForgottenDownloadsReachNoClosedWindow)
{
    ASSERT_TRUE(server.put("zul/update_en.data", "{\"ver\": 10003, \"strVer\": \"7.0\", \"url\": \"" +
                                                     server.narrowHttpsUrl("/f/none.exe") + "\"}"));
    ASSERT_EQ(L"|7.0", check(false));
    ASSERT_TRUE(model().startDownload());
    ASSERT_TRUE(testutil::pumpUntil([&] { return !progress.empty(); }, 60000));
    EXPECT_EQ(Model::kDownloadFailed, progress.back());
    EXPECT_FALSE(testutil::fileExists(utility::ufile::getExeDir() + L"update\\zul_7.0.exe"));

    // A window that closes clears its callbacks: tasks already posted skip them.
    progress.clear();
    results.clear();
    model().checkVersion(false);
    ASSERT_TRUE(model().startDownload());
    model().setCheckCallback(Model::CheckCallback());
    model().setProgressCallback(Model::ProgressCallback());
    EXPECT_TRUE(testutil::pumpUntil([&] { return !model().checkRunning(); }, 60000));
    testutil::pumpFor(2500);
    EXPECT_TRUE(results.empty());
    EXPECT_TRUE(progress.empty());
}

TEST_F(UpdateModelTest, NoCheckChangesTheOfferWhileItIsDownloading)
{
    const std::string installer = testutil::readFile(launchertest::signedVariant(L"signed"));
    ASSERT_TRUE(server.put("setup.exe", installer));
    const std::string url = server.narrowHttpsUrl("/f/setup.exe?chunk=65536&trickle=100");
    ASSERT_TRUE(server.put("zul/update_en.data", "{\"ver\": 10001, \"strVer\": \"9.9.8\", \"content\": \"first\", "
                                                 "\"url\": \"" +
                                                     url + "\"}"));
    ASSERT_EQ(L"first|9.9.8", check(false));
    const std::wstring file = utility::ufile::getExeDir() + L"update\\zul_9.9.8.exe";
    DeleteFileW(file.c_str());
    ASSERT_TRUE(model().startDownload());
    EXPECT_TRUE(model().downloadRunning());

    // A newer offer appears meanwhile: a manual check hears of the one under way.
    ASSERT_TRUE(server.put("zul/update_en.data", "{\"ver\": 10002, \"strVer\": \"9.9.9\", \"content\": \"second\", "
                                                 "\"url\": \"" +
                                                     url + "\"}"));
    const int fetched = server.count("/f/zul/update_en.data");
    launchertest::LogCapture log;
    EXPECT_EQ(L"first|9.9.8", check(false));
    EXPECT_EQ(1u, log.count(L"check refused: the update is downloading"));
    EXPECT_EQ(fetched, server.count("/f/zul/update_en.data"));
    EXPECT_EQ(L"9.9.8", model().updateVersionText());

    ASSERT_TRUE(testutil::pumpUntil([&] { return !progress.empty() && progress.back() == 100; }, 120000));
    EXPECT_FALSE(model().downloadRunning());
    EXPECT_EQ(file, model().getUpdatePath());
    EXPECT_TRUE(testutil::readFile(file) == installer);
    DeleteFileW(file.c_str());
}
