// The launcher model's configuration worker against the loopback test server:
// document variants, the two tries, the background pictures and the
// notifications that reach the UI thread.
#include <gtest/gtest.h>

#include <thread>

#include "common/test_util.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/url_policy.h"
#include "launcher/services/config_data.h"
#include "launcher/services/zul_model.h"
#include "launcher_test_util.h"

namespace {

const wchar_t kApkUrl[] = L"https://cdn.example.com/\u6E38\u620F.apk";

class ModelRemoteTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        ASSERT_TRUE(server.reset());
        UiTaskDispatcher::create();
        model.setAppDir(dir.path());
        model.setConfigHost(server.narrowUrl("/f"));
        model.setSetupStore(&store);
        // Keys nobody writes: the start-up only reads them.
        const wchar_t* none = L"Software\\Norvale\\ZULModelTest\\none";
        model.setRegistryKeys(none, none);
        model.setOnConfigLoaded([this] { loaded += GetCurrentThreadId() == uiThread ? 1 : 100; });
        model.setOnBackgroundChanged([this] { changed += GetCurrentThreadId() == uiThread ? 1 : 100; });
        ASSERT_TRUE(server.put("pics/launch.jpg", launchPicture));
        ASSERT_TRUE(server.put("pics/player.jpg", playerPicture));
        ASSERT_TRUE(CreateDirectoryW((dir.path() + L"data").c_str(), nullptr));
        ASSERT_TRUE(testutil::writeFile(model.launchBackgroundPath(), "old launch"));
        ASSERT_TRUE(testutil::writeFile(model.playerBackgroundPath(), "old player"));
    }

    void TearDown() override
    {
        model.stop();
        UiTaskDispatcher::destroy();
    }

    void serve(const std::string& json) { ASSERT_TRUE(server.put("zul/config_sea.data", json)); }

    std::string pic(const std::string& name) const { return server.narrowUrl("/f/pics/" + name); }

    // A document with every field (the game address in UTF-8), the given
    // version and picture addresses.
    std::string fullConfig(int version, const std::string& launchBg, const std::string& playerBg)
    {
        return "{\"appminversion\": 12,"
               " \"apkurl\": \"https://cdn.example.com/\xE6\xB8\xB8\xE6\x88\x8F.apk\","
               " \"playerminversion\": 34, \"playerurl\": \"https://cdn.example.com/caf\xC3\xA9.7z\","
               " \"version\": " +
               std::to_string(version) + ", \"launch_bg\": \"" + launchBg + "\", \"player_bg\": \"" + playerBg + "\"}";
    }

    // Runs the worker's job on a thread of its own, then delivers on this
    // (UI) thread whatever it posted.
    void runConfig()
    {
        std::thread worker([&] { model._threadConfig(); });
        worker.join();
        testutil::pumpFor(100);
    }

    void expectPictures(const std::string& launch, const std::string& player)
    {
        EXPECT_EQ(testutil::readFile(model.launchBackgroundPath()), launch);
        EXPECT_EQ(testutil::readFile(model.playerBackgroundPath()), player);
    }

    launchertest::TestServer server;
    testutil::TempDir dir;
    launchertest::LogCapture log;
    KXZulSetupImpl store{dir.file(L"config.data")};
    KXZulModel model;
    const std::string launchPicture = launchertest::makeData(30000, 1);
    const std::string playerPicture = launchertest::makeData(50000, 2);
    const DWORD uiThread = GetCurrentThreadId();
    int loaded = 0, changed = 0;  // a call off the UI thread counts 100
};

TEST_F(ModelRemoteTest, StartUpAppliesTheDocumentAndNotifiesOnTheUiThread)
{
    serve(fullConfig(1005, pic("launch.jpg"), pic("player.jpg")));
    model.init();
    ASSERT_TRUE(testutil::pumpUntil([&] { return loaded == 1 && changed == 1; }, 60000));
    EXPECT_EQ(model.getAppMinVersion(), 12);
    EXPECT_EQ(model.getPlayerMinVersion(), 34);
    EXPECT_EQ(model.getApkUrl(), kApkUrl);
    EXPECT_EQ(model.getPlayerUrl(), L"https://cdn.example.com/caf\u00E9.7z");
    EXPECT_TRUE(log.contains(L"local config version 1000 current:1005"));

    // Both pictures replaced, the version raised and saved, nothing left over.
    expectPictures(launchPicture, playerPicture);
    EXPECT_FALSE(testutil::fileExists(model.launchBackgroundPath() + L".tmp"));
    EXPECT_FALSE(testutil::fileExists(model.playerBackgroundPath() + L".tmp"));
    EXPECT_EQ(testutil::readFile(store.path()), "autorun=1|existgame=1|minbyclose=1|configversion=1005");
}

TEST_F(ModelRemoteTest, MissingVersionCountsAs1000AndNoRaiseDownloadsNothing)
{
    store.setConfigversion(999);
    serve("{\"player_bg\": \"" + pic("player.jpg") + "\"}");
    runConfig();
    EXPECT_TRUE(log.contains(L"local config version 999 current:1000"));
    expectPictures("old launch", playerPicture);
    EXPECT_EQ(store.configversion(), 1000);
    EXPECT_EQ(changed, 1);

    // At 1000 already, neither the same nor an older document downloads.
    serve(fullConfig(1000, pic("launch.jpg"), pic("player.jpg")));
    runConfig();
    serve(fullConfig(5, pic("launch.jpg"), pic("player.jpg")));
    runConfig();
    EXPECT_EQ(server.count("/f/pics/launch.jpg"), 0);
    EXPECT_EQ(server.count("/f/pics/player.jpg"), 1);
    EXPECT_EQ(store.configversion(), 1000);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(loaded, 3);
}

TEST_F(ModelRemoteTest, FailedPictureKeepsTheOldPictureAndTheVersion)
{
    ASSERT_TRUE(server.put("pics/empty.jpg", ""));
    // Above the picture cap: announced, and sent without a length.
    const unsigned long long cap = utility::urlpolicy::kMaxPictureBytes;
    ASSERT_TRUE(server.putBig("pics/large.jpg", cap + 1));
    ASSERT_TRUE(server.putBig("pics/endless.jpg", 4 * cap, "&nolen=1"));
    const std::string failing[][2] = {{pic("launch.jpg?status=404"), ""},
                                      {pic("launch.jpg?cut=100"), pic("empty.jpg")},
                                      {"file:///C:/windows/win.ini", ""},
                                      {pic("large.jpg"), pic("endless.jpg")}};
    for (const auto& pictures : failing) {
        SCOPED_TRACE(pictures[0]);
        serve(fullConfig(1005, pictures[0], pictures[1]));
        runConfig();
        expectPictures("old launch", "old player");
        EXPECT_FALSE(testutil::fileExists(model.launchBackgroundPath() + L".tmp"));
        EXPECT_FALSE(testutil::fileExists(model.playerBackgroundPath() + L".tmp"));
        EXPECT_EQ(store.configversion(), 1000);
        EXPECT_FALSE(testutil::fileExists(store.path()));
    }
    EXPECT_EQ(2u, log.count(L"file refused: larger than " + std::to_wstring(cap) + L" bytes"));
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(loaded, 4);

    // One picture replaced is enough to raise the version.
    serve(fullConfig(1004, pic("launch.jpg"), pic("player.jpg?status=500")));
    runConfig();
    expectPictures(launchPicture, "old player");
    EXPECT_EQ(store.configversion(), 1004);
    EXPECT_EQ(changed, 1);
}

TEST_F(ModelRemoteTest, StaleTmpIsNotResumed)
{
    ASSERT_TRUE(testutil::writeFile(model.launchBackgroundPath() + L".tmp", launchertest::makeData(1000, 99)));
    serve(fullConfig(1001, pic("launch.jpg"), ""));
    runConfig();
    expectPictures(launchPicture, "old player");
    EXPECT_EQ(server.header("/f/pics/launch.jpg", "Range"), "");
    EXPECT_EQ(store.configversion(), 1001);
}

TEST_F(ModelRemoteTest, BadDocumentsAndFieldsChangeNothing)
{
    serve(fullConfig(900, "", ""));
    runConfig();
    const std::string bodies[] = {
        "",
        "{\"appminversion\": 3, \"apkurl\": \"x\",",
        "[{\"appminversion\": 3}]",
        "{\"apkurl\": \"\xff\xfe\", \"appminversion\": 3}",
        fullConfig(2000, pic("launch.jpg"), "") + " trailing",
    };
    for (const std::string& body : bodies) {
        SCOPED_TRACE(body);
        serve(body);
        runConfig();
        EXPECT_EQ(model.getAppMinVersion(), 12);
        EXPECT_EQ(model.getApkUrl(), kApkUrl);
    }
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(changed, 0);
    EXPECT_TRUE(log.contains(L"not a object"));
    EXPECT_EQ(server.count("/f/pics/launch.jpg"), 0);

    // Fields of the wrong type keep their values; such a version counts as 1000.
    serve("{\"appminversion\": \"13\", \"apkurl\": 5, \"playerminversion\": 35.5,"
          " \"playerurl\": null, \"version\": \"2000\"}");
    runConfig();
    EXPECT_EQ(loaded, 2);
    EXPECT_EQ(model.getAppMinVersion(), 12);
    EXPECT_EQ(model.getPlayerMinVersion(), 34);
    EXPECT_EQ(model.getApkUrl(), kApkUrl);
    EXPECT_EQ(model.getPlayerUrl(), L"https://cdn.example.com/caf\u00E9.7z");
    EXPECT_TRUE(log.contains(L"local config version 1000 current:1000"));
}

TEST_F(ModelRemoteTest, SecondTrySucceedsAfterTheFirstFails)
{
    serve(fullConfig(900, "", ""));
    // The server stops listening for a moment; the pause between the tries
    // is stretched so the second one finds it back.
    model.setRetryPauseMs(2500);
    ASSERT_TRUE(server.kill(800));
    runConfig();
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(model.getAppMinVersion(), 12);
    EXPECT_EQ(log.count(L"KXCurlDownloader::downloadMemory start"), 2u);
    EXPECT_EQ(server.count("/f/zul/config_sea.data"), 1);
}

TEST_F(ModelRemoteTest, NotificationForAModelThatIsGoneIsDropped)
{
    serve(fullConfig(900, "", ""));
    int calls = 0, keptCalls = 0;
    {
        KXZulModel shortLived;
        shortLived.setAppDir(dir.path());
        shortLived.setConfigHost(server.narrowUrl("/f"));
        shortLived.setSetupStore(&store);
        shortLived.setOnConfigLoaded([&calls] { ++calls; });
        std::thread worker([&] { shortLived._threadConfig(); });
        worker.join();  // the notification waits in the queue
    }
    // A model that stays posts the same notification after it: once that
    // one arrives, the queue has run past the dropped one.
    KXZulModel kept;
    kept.setAppDir(dir.path());
    kept.setConfigHost(server.narrowUrl("/f"));
    kept.setSetupStore(&store);
    kept.setOnConfigLoaded([&keptCalls] { ++keptCalls; });
    std::thread worker([&] { kept._threadConfig(); });
    worker.join();
    ASSERT_TRUE(testutil::pumpUntil([&] { return keptCalls == 1; }, 10000));
    EXPECT_EQ(calls, 0);
}

}  // namespace
