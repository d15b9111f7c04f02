// The launcher as its user runs it: the real zulplay.exe in a fresh folder
// of its own, its remote configuration, package description and packages on
// the local test server, its window driven by real input (tests/common/ui_driver.h).
// The emulator's programs in the package are the recording stand-in, the
// crash reporter is a recording stand-in DLL, and zul_additions_peer posts
// the emulator's IPC messages.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "foundation/product.h"
#include "launcher_test_util.h"
#include "zul_deployment.h"

using launchertest::TestServer;
using launchertest::click;
using uidriver::ControlInfo;

namespace {

const wchar_t kFrameClass[] = L"KXZULMainFrame";
const wchar_t kBoxClass[] = L"MessageBoxWindow";
const wchar_t kEndpoint[] = L"{6A43FC71-98D6-43A1-83F3-6A53B0D557FD}";
const DWORD kJobMs = 180000;  // a whole package job, also under emulated 32-bit Wine

std::wstring fixture(const std::wstring& name) { return testutil::exeDir() + L"zulplay_fixture\\" + name; }

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::vector<std::wstring> lines(const std::wstring& text)
{
    std::vector<std::wstring> out;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    return out;
}

std::wstring readText(const std::wstring& path) { return testutil::widen(testutil::readFile(path)); }

// One launcher installation in a fresh folder: the launcher, libcurl and the
// crash-reporter stand-in, with settings that let its close button end it.
class LauncherFolder {
public:
    LauncherFolder()
    {
        for (const wchar_t* name : {L"zulplay.exe", L"libcurl.dll", L"crashreport.dll"})
            CopyFileW(fixture(name).c_str(), temp_.file(name).c_str(), FALSE);
        testutil::writeFile(temp_.file(L"config.data"), "autorun=0|existgame=1|minbyclose=0|configversion=1000");
        CreateDirectoryW(game().c_str(), nullptr);
    }
    std::wstring app() const { return temp_.path(); }
    std::wstring game() const { return temp_.path() + L"game\\"; }
    std::wstring exe() const { return temp_.path() + L"zulplay.exe"; }
    std::wstring log() const { return readText(temp_.path() + L"log\\main.log"); }
    bool waitForLog(const std::wstring& text, DWORD ms = 30000) const
    {
        return testutil::pumpUntil([&] { return contains(log(), text); }, ms);
    }

private:
    testutil::TempDir temp_;
};

// A program of the fixture started in a folder, ended with the test.
struct Helper {
    PROCESS_INFORMATION info = {};
    explicit Helper(const std::wstring& exe, const std::wstring& args)
    {
        std::wstring line = L"\"" + exe + L"\" " + args;
        STARTUPINFOW startup = {sizeof(startup)};
        CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    }
    ~Helper()
    {
        if (info.hProcess) {
            TerminateProcess(info.hProcess, 1);
            WaitForSingleObject(info.hProcess, 5000);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    bool exited(DWORD ms) const { return info.hProcess && WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0; }
};

int postIpc(UINT message)
{
    Helper peer(fixture(L"zul_additions_peer.exe"),
                std::wstring(L"post ") + kEndpoint + L" " + std::to_wstring(message) + L" 0 0");
    DWORD code = 100;
    if (peer.exited(20000))
        GetExitCodeProcess(peer.info.hProcess, &code);
    return static_cast<int>(code);
}

ControlInfo waitFor(HWND window, const wchar_t* name, const std::function<bool(const ControlInfo&)>& done,
                    DWORD ms = kJobMs)
{
    return uidriver::waitForControl(window, name, done, ms);
}

class ZulplayProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        // The package's tools run elevated only under a trusted root.
        ASSERT_TRUE(launchertest::trustTestPublisher());
        server.reset();
        // The game folder is <app dir>game\ only while the registry names none.
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, product::kRegistryKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"pathDir");
            RegCloseKey(key);
        }
        SetEnvironmentVariableW(L"ZUL_TEST_HOST", server.url("/f").c_str());
        player = testutil::readFile(fixture(L"player.7z"));
        ASSERT_GT(player.size(), 10000u);
        ASSERT_TRUE(server.put("pkg/player.7z", player));
        ASSERT_TRUE(server.put("pkg/corrupt.7z", testutil::readFile(fixture(L"player_corrupt.7z"))));
        ASSERT_TRUE(server.put("pkg/game.apk", launchertest::makeData(200000, 7)));
        putConfig(1203, 1000);
    }

    void putConfig(int appMinVersion, int playerMinVersion)
    {
        const std::string config = "{\"appminversion\": " + std::to_string(appMinVersion) + ", \"apkurl\": \"" +
                                   server.narrowUrl("/f/pkg/game.apk") +
                                   "\", \"playerminversion\": " + std::to_string(playerMinVersion) +
                                   ", \"playerurl\": \"" + server.narrowUrl("/f/pkg/player.7z") +
                                   "\", \"version\": 1000}";
        ASSERT_TRUE(server.put("zul/config_sea.data", config));
    }
    // The package description: "sea" with the package's address and version text.
    void putDescription(const std::string& pathAndQuery, const std::string& version)
    {
        ASSERT_TRUE(server.put("zul/kxzulx", "{\"sea\": {\"url\": \"" + server.narrowUrl(pathAndQuery) +
                                                 "\", \"vershow\": \"" + version + "\"}}"));
    }
    // Starts the launcher and waits for its window with the configuration applied.
    HWND start(uidriver::Program& launcher, const LauncherFolder& folder)
    {
        HWND window = uidriver::waitForWindow(kFrameClass, launcher.pid(), 60000);
        EXPECT_NE(nullptr, window);
        EXPECT_TRUE(folder.waitForLog(L"local config version"));
        // Sized, laid out and answering.
        EXPECT_TRUE(folder.waitForLog(L"screenX:"));
        EXPECT_TRUE(waitFor(
                        window, L"startBtn", [](const ControlInfo& c) { return c.visible; }, 30000)
                        .visible);
        return window;
    }
    static bool startReady(const ControlInfo& c) { return c.visible && c.enabled; }

    TestServer server;
    std::string player;
};

}  // namespace

TEST_F(ZulplayProgram, FirstStartInstallsTheEmulatorThenHandsOverTheGame)
{
    LauncherFolder folder;
    putDescription("/f/pkg/player.7z?chunk=8192&trickle=100&hold=1", "2.5.1");
    // An emulator process of the game folder and a program of the same name elsewhere.
    CreateDirectoryW((folder.app() + L"tools").c_str(), nullptr);
    CopyFileW(fixture(L"zul_test_child.exe").c_str(), (folder.game() + L"adb.exe").c_str(), FALSE);
    CopyFileW(fixture(L"zul_test_child.exe").c_str(), (folder.app() + L"tools\\adb.exe").c_str(), FALSE);
    Helper gameAdb(folder.game() + L"adb.exe", L"sleep=300000");
    Helper userAdb(folder.app() + L"tools\\adb.exe", L"sleep=300000");

    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    // At 1280 x 1024 the window keeps the design's proportions and takes the compact layout.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT client = {};
    if (work.right - work.left == 1280 && work.bottom - work.top == 1024) {
        testutil::pumpUntil([&] { return GetClientRect(window, &client) && client.right == 1240; }, 20000);
        EXPECT_EQ(1240, client.right);
        EXPECT_EQ(737, client.bottom);
    }
    EXPECT_TRUE(waitFor(
                    window, L"left11Control", [](const ControlInfo& c) { return !c.visible; }, 20000)
                    .found);
    EXPECT_FALSE(uidriver::queryControl(window, L"left11Control").visible);
    EXPECT_FALSE(uidriver::queryControl(window, L"left22Control").visible);
    // The right column gets its width when the window lays itself out again, on its next paint.
    const ControlInfo right = waitFor(
        window, L"rightxxControl",
        [](const ControlInfo& c) { return c.laidOut() && c.screen.right - c.screen.left == 340; }, 20000);
    EXPECT_EQ(340, right.screen.right - right.screen.left);
    EXPECT_EQ(L"Download", uidriver::queryControl(window, L"startBtn").text);
    EXPECT_EQ(folder.game(), uidriver::queryControl(window, L"pathEdit").text);
    uidriver::screenshot(window, L"launcher_folder_page");

    // Start: the emulator package comes over WinINet (held after its first
    // block until the page under way is seen), is unpacked and repaired.
    click(window, L"startBtn");
    ControlInfo progress = waitFor(
        window, L"downloadLabel",
        [](const ControlInfo& c) { return c.visible && (contains(c.text, L"KB/") || contains(c.text, L"MB/")); },
        60000);
    EXPECT_TRUE(progress.visible) << testutil::narrow(progress.text);
    EXPECT_FALSE(uidriver::queryControl(window, L"startBtn").enabled);
    uidriver::screenshot(window, L"launcher_download_page");
    EXPECT_TRUE(server.release("/f/pkg/player.7z"));
    ControlInfo startBtn = waitFor(window, L"startBtn",
                                   [](const ControlInfo& c) { return c.enabled && c.text == L"Update"; });
    ASSERT_EQ(L"Update", startBtn.text);
    EXPECT_TRUE(testutil::fileExists(folder.app() + L"zulen_2.5.1.7z"));
    EXPECT_FALSE(testutil::fileExists(folder.app() + L"zulen_2.5.1.7z.tmp"));
    EXPECT_TRUE(testutil::fileExists(folder.game() + L"zulclient.exe"));
    EXPECT_EQ("1000", testutil::readFile(folder.game() + L"playerversion"));
    EXPECT_TRUE(
        testutil::pumpUntil([&] { return testutil::fileExists(folder.game() + L"driverconfig.cmdline.txt"); }, 20000));
    EXPECT_TRUE(testutil::fileExists(folder.game() + L"zulrepairer.cmdline.txt"));
    EXPECT_TRUE(gameAdb.exited(10000)) << "the game folder's adb.exe was not stopped";
    EXPECT_FALSE(userAdb.exited(0)) << "an adb.exe outside the game folder was stopped";

    // Start again: the game package is handed to the client, the version recorded.
    click(window, L"startBtn");
    const std::wstring apk = folder.game() + L"zul_app_sea_1203.apk";
    const std::wstring clientRecord = folder.game() + L"zulclient.cmdline.txt";
    ASSERT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(clientRecord); }, kJobMs));
    ASSERT_TRUE(testutil::pumpUntil([&] { return !lines(readText(clientRecord)).empty(); }, 10000));
    EXPECT_TRUE(contains(lines(readText(clientRecord))[0], L" show=0|package=com.play.zulsea|apk=" + apk))
        << testutil::narrow(readText(clientRecord));
    EXPECT_EQ(launchertest::makeData(200000, 7), testutil::readFile(apk));
    EXPECT_EQ("1203", testutil::readFile(folder.game() + L"data\\appversion1000"));
    EXPECT_TRUE(waitFor(
                    window, L"installprogressControl", [](const ControlInfo& c) { return c.visible; }, 20000)
                    .visible);
    testutil::pumpFor(2500);  // a few ticks of the install progress
    uidriver::screenshot(window, L"launcher_install_page");

    // The emulator reports the game installed: back to the folder page, ready to play.
    EXPECT_EQ(0, postIpc(9334));
    startBtn = waitFor(
        window, L"startBtn", [](const ControlInfo& c) { return c.enabled && c.text == L"Play"; }, 30000);
    EXPECT_EQ(L"Play", startBtn.text);

    // Everything is current: Start downloads nothing, starts the client and hides the window.
    const int playerRequests = server.count("/f/pkg/player.7z");
    const int apkRequests = server.count("/f/pkg/game.apk");
    click(window, L"startBtn");
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindowVisible(window); }, 20000));
    ASSERT_TRUE(testutil::pumpUntil([&] { return lines(readText(clientRecord)).size() == 2; }, 20000));
    EXPECT_FALSE(contains(lines(readText(clientRecord))[1], L"show="));
    EXPECT_EQ(playerRequests, server.count("/f/pkg/player.7z"));
    EXPECT_EQ(apkRequests, server.count("/f/pkg/game.apk"));

    // A second launcher hands over to this one and ends without a window.
    uidriver::Program second(folder.exe(), L"");
    DWORD code = 1;
    EXPECT_TRUE(second.waitForExit(30000, &code));
    EXPECT_TRUE(folder.waitForLog(L"onHandleWindowIPC, msg = 9111"));
    EXPECT_TRUE(folder.waitForLog(L"handle ipc topwindow"));
    EXPECT_TRUE(testutil::pumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));

    // The crash reporter was bound once, by the first launcher.
    const std::vector<std::wstring> calls = lines(readText(folder.app() + L"crashreport.calls.txt"));
    ASSERT_EQ(4u, calls.size()) << testutil::narrow(readText(folder.app() + L"crashreport.calls.txt"));
    EXPECT_EQ(std::wstring(L"InitBugReport|kxzul|") + ZUL_VERSION_TEXT + L"|zul", calls[0]);
    EXPECT_EQ(L"SetShowReportUI|0", calls[1]);
    EXPECT_EQ(0, _wcsicmp((L"SetRestartExePath|" + folder.exe()).c_str(), calls[2].c_str()));
    EXPECT_EQ(0, _wcsicmp((L"AddCustomReportFile|" + folder.app() + L"log\\main.log").c_str(), calls[3].c_str()));

    // Closing the window ends the launcher after its workers.
    click(window, L"closebtn");
    EXPECT_TRUE(launcher.waitForExit(30000));
    const std::wstring log = folder.log();
    for (const wchar_t* line :
         {L"************ zul start ************", L"language:en_US", L"font path:", L"load Noto Sans fonts ret:",
          L"initCrashReport start", L"initCrashReport ret 1", L"create main", L"screenX:", L"get Player url",
          L"download url ", L" download file ", L"ie download file sucess ", L"result:0 file:", L"start run repair",
          L"game installed", L"kxyun end"})
        EXPECT_TRUE(contains(log, line)) << testutil::narrow(line);
}

TEST_F(ZulplayProgram, PausedDownloadResumesFromItsPartialFile)
{
    LauncherFolder folder;
    putDescription("/f/pkg/player.7z?chunk=4096&trickle=100", "3.0");
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    click(window, L"startBtn");
    waitFor(
        window, L"downloadLabel", [](const ControlInfo& c) { return c.visible && contains(c.text, L"KB/"); }, 60000);
    click(window, L"pauseBtn");
    ASSERT_TRUE(folder.waitForLog(L"download paused"));
    const std::wstring partial = folder.app() + L"zulen_3.0.7z.tmp";
    ASSERT_TRUE(testutil::fileExists(partial));
    testutil::pumpFor(500);
    const size_t paused = testutil::readFile(partial).size();
    testutil::pumpFor(1500);
    EXPECT_EQ(paused, testutil::readFile(partial).size()) << "the download went on after the pause";
    ASSERT_GT(paused, 0u);
    ASSERT_LT(paused, player.size());
    uidriver::screenshot(window, L"launcher_download_paused");

    click(window, L"pauseBtn");
    EXPECT_TRUE(folder.waitForLog(L"download resumed, job 0"));
    ControlInfo startBtn = waitFor(window, L"startBtn", [](const ControlInfo& c) { return c.enabled; });
    EXPECT_TRUE(startBtn.enabled);
    EXPECT_EQ("bytes=" + std::to_string(paused) + "-", server.header("/f/pkg/player.7z", "Range"));
    EXPECT_TRUE(testutil::readFile(folder.app() + L"zulen_3.0.7z") == player) << "the resumed package differs";
    EXPECT_TRUE(testutil::fileExists(folder.game() + L"zulclient.exe"));
}

// A skin folder beside the launcher replaces its skin. A control of another
// kind under a name the window drives is left alone: Start goes on.
TEST_F(ZulplayProgram, APlantedSkinWithAControlOfAnotherKindDoesNotStopStart)
{
    LauncherFolder folder;
    putDescription("/f/pkg/player.7z", "2.5.1");
    std::string skin = testutil::readFile(fixture(L"xml_mainframe.xml"));
    const std::string tabs = "<TabLayout name=\"pathTab\"";
    const size_t at = skin.find(tabs);
    ASSERT_NE(std::string::npos, at);
    skin.replace(at, tabs.size(), "<Label name=\"pathTab\"/><TabLayout name=\"pathPages\"");
    ASSERT_TRUE(CreateDirectoryW((folder.app() + L"skin").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(folder.app() + L"skin\\xml_mainframe.xml", skin));

    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(uidriver::queryControl(window, L"pathPages").found);
    click(window, L"startBtn");
    const ControlInfo startBtn = waitFor(window, L"startBtn",
                                         [](const ControlInfo& c) { return c.enabled && c.text == L"Update"; });
    EXPECT_EQ(L"Update", startBtn.text);
    EXPECT_TRUE(testutil::fileExists(folder.game() + L"zulclient.exe"));
    click(window, L"closebtn");
    DWORD code = 0;
    EXPECT_TRUE(launcher.waitForExit(30000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(ZulplayProgram, ServerErrorOnThePackageFallsBackToCurl)
{
    LauncherFolder folder;
    putDescription("/f/pkg/player.7z?fail=2", "4.0");
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    click(window, L"startBtn");
    ControlInfo startBtn = waitFor(window, L"startBtn",
                                   [](const ControlInfo& c) { return c.enabled && c.text == L"Update"; });
    EXPECT_EQ(L"Update", startBtn.text);
    EXPECT_EQ(3, server.count("/f/pkg/player.7z"));
    EXPECT_TRUE(folder.waitForLog(L"curl download file sucess "));
    EXPECT_FALSE(contains(folder.log(), L"ie download file sucess"));
    EXPECT_TRUE(testutil::readFile(folder.app() + L"zulen_4.0.7z") == player);
}

TEST_F(ZulplayProgram, FailuresAreReportedAndLeaveNoPackageBehind)
{
    LauncherFolder folder;
    // A damaged package under a version text that points out of the folder.
    putDescription("/f/pkg/corrupt.7z", "..\\\\..\\\\..\\\\evil");
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    click(window, L"startBtn");
    HWND box = uidriver::waitForWindow(kBoxClass, launcher.pid(), kJobMs);
    ASSERT_NE(nullptr, box);
    testutil::pumpFor(800);  // the window behind repaints its first page
    uidriver::screenshot(nullptr, L"launcher_unpack_failed");
    EXPECT_TRUE(folder.waitForLog(L"package version [..\\..\\..\\evil] refused, using 1000"));
    EXPECT_TRUE(folder.waitForLog(L"unpack "));
    EXPECT_FALSE(testutil::fileExists(folder.app() + L"zulen_1000.7z"));
    for (const std::wstring& dir : {folder.app(), folder.app() + L"..\\", folder.app() + L"..\\..\\"}) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((dir + L"*evil*").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search) << testutil::narrow(dir);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
    uidriver::bringToFront(box);
    uidriver::pressKey(VK_ESCAPE);
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(box); }, 10000));
    ControlInfo startBtn = waitFor(
        window, L"startBtn", [](const ControlInfo& c) { return c.enabled; }, 10000);
    EXPECT_EQ(L"Download", startBtn.text);
    EXPECT_TRUE(uidriver::queryControl(window, L"pathEdit").visible);

    // Neither WinINet nor libcurl can fetch it: back to the first page with the failure.
    putDescription("/f/pkg/missing.7z", "5.0");
    click(window, L"startBtn");
    box = uidriver::waitForWindow(kBoxClass, launcher.pid(), kJobMs);
    ASSERT_NE(nullptr, box);
    EXPECT_TRUE(folder.waitForLog(L"no installer file "));
    EXPECT_EQ(4, server.count("/f/pkg/missing.7z"));
    EXPECT_TRUE(uidriver::queryControl(window, L"startBtn").enabled);
    EXPECT_TRUE(uidriver::queryControl(window, L"pathEdit").visible);
}

TEST_F(ZulplayProgram, PackageToolsOfNoTrustedPublisherAreNotStarted)
{
    LauncherFolder folder;
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);
    struct Case {
        const char* package;
        const wchar_t* tool;
        const wchar_t* reason;
    };
    int round = 0;
    for (const Case& c : {Case{"repair_unsigned", L"zulrepairer.exe", L"unsigned"},
                          Case{"repair_altered", L"zulrepairer.exe", L"altered"},
                          Case{"repair_rogue", L"zulrepairer.exe", L"untrusted root"},
                          Case{"repair_other", L"zulrepairer.exe", L"another publisher"},
                          Case{"driver_unsigned", L"driverconfig.exe", L"unsigned"}}) {
        SCOPED_TRACE(c.package);
        const std::string name = std::string("pkg/") + c.package + ".7z";
        const std::string version = "1." + std::to_string(++round);
        ASSERT_TRUE(server.put(name, testutil::readFile(fixture(L"player_" + testutil::widen(c.package) + L".7z"))));
        putDescription("/f/" + name, version);
        click(window, L"startBtn");
        // The job ends as after a failed unpack, the package deleted.
        HWND box = uidriver::waitForWindow(kBoxClass, launcher.pid(), kJobMs);
        ASSERT_NE(nullptr, box);
        EXPECT_TRUE(folder.waitForLog(folder.game() + c.tool + L" refused: " + c.reason));
        EXPECT_FALSE(testutil::fileExists(folder.app() + L"zulen_" + testutil::widen(version) + L".7z"));
        EXPECT_FALSE(testutil::fileExists(folder.game() + L"driverconfig.cmdline.txt"));
        // Only a signed repair tool ran, ahead of the refused driver set-up.
        EXPECT_EQ(std::wstring(c.tool) == L"driverconfig.exe",
                  testutil::fileExists(folder.game() + L"zulrepairer.cmdline.txt"));
        uidriver::bringToFront(box);
        uidriver::pressKey(VK_ESCAPE);
        EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(box); }, 10000));
        EXPECT_TRUE(waitFor(
                        window, L"startBtn", [](const ControlInfo& c) { return c.enabled; }, 10000)
                        .enabled);
    }
}

TEST_F(ZulplayProgram, HostileRemoteAddressesAndDocumentsAreRefused)
{
    LauncherFolder folder;
    // A configuration without a length and without an end.
    ASSERT_TRUE(server.putBig("zul/config_sea.data", 256ull << 20, "&nolen=1"));
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = uidriver::waitForWindow(kFrameClass, launcher.pid(), 60000);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(folder.waitForLog(L"document refused: larger than 4194304 bytes", 60000));
    EXPECT_TRUE(folder.waitForLog(L"not a object"));
    EXPECT_TRUE(waitFor(window, L"startBtn", startReady, 30000).enabled);

    // Package addresses that are no web addresses: a package on the disk the
    // launcher could copy into the game folder, and an ftp server.
    const std::wstring local = folder.app() + L"local.7z";
    ASSERT_TRUE(CopyFileW(fixture(L"player.7z").c_str(), local.c_str(), FALSE));
    std::string localUrl = "file:///" + testutil::narrow(local);
    std::replace(localUrl.begin(), localUrl.end(), '\\', '/');
    const std::string ftpUrl = "ftp://127.0.0.1:" + std::to_string(server.port()) + "/f/pkg/player.7z";
    for (const std::string& url : {localUrl, ftpUrl}) {
        SCOPED_TRACE(url);
        ASSERT_TRUE(server.put("zul/kxzulx", "{\"sea\": {\"url\": \"" + url + "\", \"vershow\": \"6.0\"}}"));
        click(window, L"startBtn");
        HWND box = uidriver::waitForWindow(kBoxClass, launcher.pid(), kJobMs);
        ASSERT_NE(nullptr, box);
        EXPECT_TRUE(folder.waitForLog(L"package address refused: " + std::wstring(url.begin(), url.end())));
        EXPECT_FALSE(testutil::fileExists(folder.app() + L"zulen_6.0.7z"));
        EXPECT_FALSE(testutil::fileExists(folder.app() + L"zulen_6.0.7z.tmp"));
        EXPECT_FALSE(testutil::fileExists(folder.game() + L"zulclient.exe"));
        uidriver::bringToFront(box);
        uidriver::pressKey(VK_ESCAPE);
        EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(box); }, 10000));
        EXPECT_TRUE(waitFor(window, L"startBtn", startReady, 10000).enabled);
    }
    EXPECT_EQ(0, server.count("/f/pkg/player.7z"));

    click(window, L"closebtn");
    EXPECT_TRUE(launcher.waitForExit(30000));
}

TEST_F(ZulplayProgram, DeeplyNestedDocumentsAreRefusedAndTheLauncherGoesOn)
{
    LauncherFolder folder;
    // 100,000 open brackets: a parser that recurses per level runs out of stack.
    const std::string deep(100000, '[');
    ASSERT_TRUE(server.put("zul/config_sea.data", deep));
    ASSERT_TRUE(server.put("zul/kxzulx", deep));
    ASSERT_TRUE(server.put("kxzulx_en.7z", player));  // the default emulator package
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = uidriver::waitForWindow(kFrameClass, launcher.pid(), 60000);
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(folder.waitForLog(L"not a object"));

    // The package description is refused the same way and the default package installed.
    ASSERT_TRUE(waitFor(window, L"startBtn", startReady, 30000).enabled);
    click(window, L"startBtn");
    EXPECT_TRUE(folder.waitForLog(L"package description unusable, the default package is used", kJobMs));
    EXPECT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(folder.game() + L"zulclient.exe"); }, kJobMs));
    EXPECT_TRUE(waitFor(window, L"startBtn", startReady).enabled);
    EXPECT_FALSE(launcher.waitForExit(0));

    click(window, L"closebtn");
    EXPECT_TRUE(launcher.waitForExit(30000));
}
