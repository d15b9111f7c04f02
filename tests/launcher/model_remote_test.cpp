// The launcher model's configuration worker against the loopback test server:
// document variants, the two tries, the background pictures and the
// notifications that reach the UI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "common/test_util.h"
#include "foundation/ui_task_dispatcher.h"
#include "http_test_server.h"
#include "launcher/services/config_data.h"
#include "launcher/services/zul_model.h"

namespace {

const char kConfigName[] = "zul/config_sea.data";
const char kConfigRequestPath[] = "/f/zul/config_sea.data";

class ModelRemoteTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        ASSERT_TRUE(server.reset());
        UiTaskDispatcher::create();
        log.reset(new httptest::LogCapture());

        root = L"Software\\Norvale\\ZULModelTest\\" + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
        model.setAppDir(dir.path());
        model.setConfigHost(server.narrowUrl("/f"));
        model.setRegistryKeys(root + L"\\ZUL", root + L"\\Run");
        model.setSetupStore(&store);
        model.setOnConfigLoaded([this] {
            ++loaded;
            loadedThread = GetCurrentThreadId();
        });
        model.setOnBackgroundChanged([this] {
            ++backgroundChanged;
            backgroundThread = GetCurrentThreadId();
        });

        launchPicture = httptest::makeData(30000, 1);
        playerPicture = httptest::makeData(50000, 2);
        ASSERT_TRUE(server.put("pics/launch.jpg", launchPicture));
        ASSERT_TRUE(server.put("pics/player.jpg", playerPicture));
        ASSERT_TRUE(CreateDirectoryW((dir.path() + L"data").c_str(), nullptr));
    }

    void TearDown() override
    {
        model.stop();
        log.reset();
        UiTaskDispatcher::destroy();
        RegDeleteTreeW(HKEY_CURRENT_USER, root.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, root.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Norvale\\ZULModelTest");  // when empty
    }

    void serveConfig(const std::string& json) { ASSERT_TRUE(server.put(kConfigName, json)); }

    std::string picUrl(const std::string& name) const
    {
        return server.narrowUrl("/f/pics/" + name);
    }

    // A document with every field, the given version and picture addresses.
    std::string fullConfig(int version, const std::string& launchBg, const std::string& playerBg)
    {
        return "{\"appminversion\": 12, \"apkurl\": \"https://cdn.example.com/game.apk\","
               " \"playerminversion\": 34, \"playerurl\": \"https://cdn.example.com/player.7z\","
               " \"version\": " + std::to_string(version) + ", \"launch_bg\": \"" + launchBg +
               "\", \"player_bg\": \"" + playerBg + "\"}";
    }

    // Runs the worker's job on a thread of its own while this (UI) thread
    // pumps, then delivers whatever it posted.
    void runConfig()
    {
        std::atomic<bool> done{false};
        std::thread worker([&] {
            model._threadConfig();
            done = true;
        });
        bool finished = testutil::pumpUntil([&] { return done.load(); }, 60000);
        worker.join();
        ASSERT_TRUE(finished);
        testutil::pumpFor(100);
    }

    void writeOldPictures()
    {
        ASSERT_TRUE(testutil::writeFile(model.launchBackgroundPath(), "old launch"));
        ASSERT_TRUE(testutil::writeFile(model.playerBackgroundPath(), "old player"));
    }

    httptest::TestServer server;
    testutil::TempDir dir;
    std::unique_ptr<httptest::LogCapture> log;
    KXZulSetupImpl store{dir.file(L"config.data")};
    KXZulModel model;
    std::wstring root;
    std::string launchPicture, playerPicture;
    int loaded = 0;
    int backgroundChanged = 0;
    DWORD loadedThread = 0;
    DWORD backgroundThread = 0;
};

TEST_F(ModelRemoteTest, StartUpAppliesTheDocumentAndNotifiesOnTheUiThread)
{
    serveConfig(fullConfig(1005, picUrl("launch.jpg"), picUrl("player.jpg")));
    writeOldPictures();
    model.init();
    ASSERT_TRUE(testutil::pumpUntil([&] { return loaded == 1 && backgroundChanged == 1; }, 60000));
    EXPECT_EQ(loadedThread, GetCurrentThreadId());
    EXPECT_EQ(backgroundThread, GetCurrentThreadId());

    EXPECT_EQ(model.getAppMinVersion(), 12);
    EXPECT_EQ(model.getPlayerMinVersion(), 34);
    EXPECT_EQ(model.getApkUrl(), L"https://cdn.example.com/game.apk");
    EXPECT_EQ(model.getPlayerUrl(), L"https://cdn.example.com/player.7z");
    EXPECT_EQ(model.getPathDir(), dir.path() + L"game\\");
    EXPECT_TRUE(log->contains(L"local config version 1000 current:1005"));

    // Both pictures replaced, the version raised and saved, nothing left over.
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), launchPicture);
    EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), playerPicture);
    EXPECT_FALSE(testutil::fileExists(model.launchBackgroundPath() + L".tmp"));
    EXPECT_FALSE(testutil::fileExists(model.playerBackgroundPath() + L".tmp"));
    EXPECT_EQ(store.configversion(), 1005);
    EXPECT_EQ(testutil::readFile(store.path()),
              "autorun=1|existgame=1|minbyclose=1|configversion=1005");

    model.stop();
    testutil::pumpFor(100);
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(backgroundChanged, 1);
}

TEST_F(ModelRemoteTest, AddressesAreReadAsUtf8)
{
    serveConfig("{\"apkurl\": \"https://cdn.example.com/\xE6\xB8\xB8\xE6\x88\x8F.apk\","
                " \"playerurl\": \"https://cdn.example.com/caf\xC3\xA9.7z\"}");
    runConfig();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(model.getApkUrl(), L"https://cdn.example.com/\u6E38\u620F.apk");
    EXPECT_EQ(model.getPlayerUrl(), L"https://cdn.example.com/caf\u00E9.7z");
}

TEST_F(ModelRemoteTest, FieldsOfTheWrongTypeKeepTheirValues)
{
    serveConfig(fullConfig(900, "", ""));
    runConfig();
    ASSERT_EQ(loaded, 1);

    serveConfig("{\"appminversion\": \"13\", \"apkurl\": 5, \"playerminversion\": 35.5,"
                " \"playerurl\": null, \"version\": \"2000\"}");
    runConfig();
    EXPECT_EQ(loaded, 2);
    EXPECT_EQ(model.getAppMinVersion(), 12);
    EXPECT_EQ(model.getPlayerMinVersion(), 34);
    EXPECT_EQ(model.getApkUrl(), L"https://cdn.example.com/game.apk");
    EXPECT_EQ(model.getPlayerUrl(), L"https://cdn.example.com/player.7z");
    // A version that is not an integer counts as the default 1000.
    EXPECT_TRUE(log->contains(L"local config version 1000 current:1000"));

    serveConfig("{\"appminversion\": 99999999999, \"playerminversion\": -1}");
    runConfig();
    EXPECT_EQ(model.getAppMinVersion(), 12);
    EXPECT_EQ(model.getPlayerMinVersion(), -1);
}

TEST_F(ModelRemoteTest, MissingVersionCountsAs1000)
{
    store.setConfigversion(999);
    serveConfig("{\"player_bg\": \"" + picUrl("player.jpg") + "\"}");
    runConfig();
    EXPECT_TRUE(log->contains(L"local config version 999 current:1000"));
    EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), playerPicture);
    EXPECT_EQ(store.configversion(), 1000);
    EXPECT_EQ(backgroundChanged, 1);

    // Now at 1000, the same document downloads nothing.
    ASSERT_TRUE(server.reset());
    runConfig();
    EXPECT_EQ(server.requestCount("/f/pics/player.jpg"), 0);
    EXPECT_EQ(backgroundChanged, 1);
    EXPECT_EQ(loaded, 2);
}

TEST_F(ModelRemoteTest, OlderRemoteVersionDownloadsNothingButStillNotifies)
{
    store.setConfigversion(7);
    writeOldPictures();
    serveConfig(fullConfig(5, picUrl("launch.jpg"), picUrl("player.jpg")));
    runConfig();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(backgroundChanged, 0);
    EXPECT_EQ(server.requestCount("/f/pics/launch.jpg"), 0);
    EXPECT_EQ(server.requestCount("/f/pics/player.jpg"), 0);
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), "old launch");
    EXPECT_EQ(store.configversion(), 7);
}

TEST_F(ModelRemoteTest, FailedPictureKeepsTheOldPictureAndTheVersion)
{
    writeOldPictures();
    serveConfig(fullConfig(1005, picUrl("launch.jpg?status=404"), ""));
    runConfig();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(backgroundChanged, 0);
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), "old launch");
    EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), "old player");
    EXPECT_FALSE(testutil::fileExists(model.launchBackgroundPath() + L".tmp"));
    EXPECT_EQ(store.configversion(), 1000);
    EXPECT_FALSE(testutil::fileExists(store.path()));

    // A body cut short, an empty picture and a non-web address fail the same way.
    ASSERT_TRUE(server.put("pics/empty.jpg", ""));
    serveConfig(fullConfig(1005, picUrl("launch.jpg?cut=100"), picUrl("empty.jpg")));
    runConfig();
    serveConfig(fullConfig(1005, "file:///C:/windows/win.ini", ""));
    runConfig();
    EXPECT_EQ(backgroundChanged, 0);
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), "old launch");
    EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), "old player");
    EXPECT_EQ(store.configversion(), 1000);
}

TEST_F(ModelRemoteTest, OnePictureReplacedIsEnoughToRaiseTheVersion)
{
    writeOldPictures();
    serveConfig(fullConfig(1003, "", picUrl("player.jpg")));
    runConfig();
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), "old launch");
    EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), playerPicture);
    EXPECT_EQ(store.configversion(), 1003);
    EXPECT_EQ(backgroundChanged, 1);

    writeOldPictures();
    serveConfig(fullConfig(1004, picUrl("launch.jpg"), picUrl("player.jpg?status=500")));
    runConfig();
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), launchPicture);
    EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), "old player");
    EXPECT_EQ(store.configversion(), 1004);
    EXPECT_EQ(backgroundChanged, 2);
}

TEST_F(ModelRemoteTest, StaleTmpIsNotResumed)
{
    ASSERT_TRUE(testutil::writeFile(model.launchBackgroundPath() + L".tmp",
                                    httptest::makeData(1000, 99)));
    serveConfig(fullConfig(1001, picUrl("launch.jpg"), ""));
    runConfig();
    EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), launchPicture);
    EXPECT_EQ(httptest::headerValue(server.lastRequest("/f/pics/launch.jpg"), "Range"), "");
    EXPECT_EQ(store.configversion(), 1001);
}

TEST_F(ModelRemoteTest, BadDocumentsChangeNothing)
{
    serveConfig(fullConfig(900, "", ""));
    runConfig();
    ASSERT_EQ(loaded, 1);

    const std::string bodies[] = {
        "",
        "{\"appminversion\": 3, \"apkurl\": \"x\",",
        "[{\"appminversion\": 3}]",
        "\"appminversion\"",
        "{\"apkurl\": \"\xff\xfe\", \"appminversion\": 3}",
        "<html>maintenance</html>",
        fullConfig(2000, picUrl("launch.jpg"), "") + " trailing",
    };
    for (const std::string& body : bodies) {
        SCOPED_TRACE(body);
        serveConfig(body);
        runConfig();
        EXPECT_EQ(loaded, 1);
        EXPECT_EQ(backgroundChanged, 0);
        EXPECT_EQ(model.getAppMinVersion(), 12);
        EXPECT_EQ(model.getApkUrl(), L"https://cdn.example.com/game.apk");
    }
    EXPECT_TRUE(log->contains(L"not a object"));
    EXPECT_EQ(server.requestCount("/f/pics/launch.jpg"), 0);
    EXPECT_EQ(store.configversion(), 1000);
}

TEST_F(ModelRemoteTest, SecondTrySucceedsAfterTheFirstFails)
{
    serveConfig(fullConfig(900, "", ""));
    // The server stops listening for a moment; the pause between the tries
    // is stretched so the second one finds it back.
    model.setRetryPauseMs(2500);
    ASSERT_TRUE(server.kill(800));
    runConfig();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(model.getAppMinVersion(), 12);
    int starts = 0;
    for (const std::wstring& line : log->lines())
        starts += line.find(L"KXCurlDownloader::downloadMemory start") != std::wstring::npos;
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(server.requestCount(kConfigRequestPath), 1);
}

TEST_F(ModelRemoteTest, TwoFailedTriesLeaveTheInitialValues)
{
    model.setConfigHost(server.narrowUrl("/missing"));
    runConfig();
    EXPECT_EQ(loaded, 0);
    EXPECT_TRUE(log->contains(L"not a object"));
    EXPECT_EQ(server.requestCount("/missing/zul/config_sea.data"), 2);
    EXPECT_EQ(model.getAppMinVersion(), 0);
    EXPECT_EQ(model.getApkUrl(), L"");
}

TEST_F(ModelRemoteTest, NotificationForAModelThatIsGoneIsDropped)
{
    serveConfig(fullConfig(900, "", ""));
    int calls = 0;
    {
        KXZulModel shortLived;
        shortLived.setAppDir(dir.path());
        shortLived.setConfigHost(server.narrowUrl("/f"));
        shortLived.setSetupStore(&store);
        shortLived.setOnConfigLoaded([&calls] { ++calls; });
        std::thread worker([&] { shortLived._threadConfig(); });
        worker.join();  // the notification waits in the queue
    }
    testutil::pumpFor(200);
    EXPECT_EQ(calls, 0);
}

}  // namespace
