// The launcher's tray icon, tray menu and settings window as its user meets
// them: the real zulplay.exe in a fresh folder, the shell's icon messages
// posted to its tray window as the shell does, and real input on the menu
// and the settings window (tests/common/ui_driver.h).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
const wchar_t kTrayClass[] = L"KXPlayerTrayiconFrame";
const wchar_t kMenuClass[] = L"assistantupdateframe";
const wchar_t kSetupClass[] = L"KXZulSetupFrame";
const wchar_t kBoxClass[] = L"MessageBoxWindow";
const UINT kTrayMessage = 39529;
const UINT kTrayId = 8194;
const wchar_t kEndpoint[] = L"{6A43FC71-98D6-43A1-83F3-6A53B0D557FD}";

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring fixture(const std::wstring& name) { return testutil::exeDir() + L"zulplay_fixture\\" + name; }

size_t countOf(const std::wstring& text, const std::wstring& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// A value of HKEY_CURRENT_USER\key; false when it is not there.
bool readValue(const wchar_t* key, const wchar_t* name, std::wstring& value)
{
    wchar_t data[1024] = {0};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return false;
    value = data;
    return true;
}

void deleteValue(const wchar_t* key, const wchar_t* name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
        RegDeleteValueW(handle, name);
        RegCloseKey(handle);
    }
}

void resetRegistry()
{
    for (const wchar_t* name : {L"pathDir", L"Language", L"LanguageLong"})
        deleteValue(product::kRegistryKey, name);
    deleteValue(product::kRunRegistryKey, product::kName);
}

// One launcher in a fresh folder with the given settings file.
class LauncherFolder {
public:
    explicit LauncherFolder(const std::string& config)
    {
        for (const wchar_t* name : {L"zulplay.exe", L"libcurl.dll", L"crashreport.dll"})
            CopyFileW(fixture(name).c_str(), temp_.file(name).c_str(), FALSE);
        testutil::writeFile(configPath(), config);
        configWritten_ = lastWrite(configPath());
        CreateDirectoryW((temp_.path() + L"game\\").c_str(), nullptr);
    }
    std::wstring app() const { return temp_.path(); }
    std::wstring exe() const { return temp_.path() + L"zulplay.exe"; }
    std::wstring configPath() const { return temp_.file(L"config.data"); }
    std::string config() const { return testutil::readFile(configPath()); }
    std::wstring log() const { return testutil::widen(testutil::readFile(temp_.path() + L"log\\main.log")); }
    bool waitForLog(const std::wstring& text, DWORD ms = 30000) const
    {
        return testutil::pumpUntil([&] { return contains(log(), text); }, ms);
    }
    // Waits until the launcher has saved the settings with this content. The
    // launcher writes a new file and moves it onto the old one, which fails
    // while someone reads the old one: the file is read only once its write
    // time shows that a save has ended (and read again when the move still
    // held it for a moment).
    bool waitForConfig(const std::string& content)
    {
        return testutil::pumpUntil(
            [&] {
                const FILETIME written = lastWrite(configPath());
                std::string saved;
                if (CompareFileTime(&written, &configWritten_) == 0 || !testutil::readFile(configPath(), saved))
                    return false;
                configWritten_ = written;
                return saved == content;
            },
            30000);
    }

private:
    static FILETIME lastWrite(const std::wstring& path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }

    testutil::TempDir temp_;
    FILETIME configWritten_ = {};
};

class ZulplayShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        server.reset();
        resetRegistry();
        SetEnvironmentVariableW(L"ZUL_TEST_HOST", server.url("/f").c_str());
        ASSERT_TRUE(server.put("zul/config_sea.data", "{\"appminversion\": 1000, \"playerminversion\": 1000, "
                                                      "\"version\": 1000}"));
    }
    void TearDown() override { resetRegistry(); }

    // Waits for the launcher's window, laid out, with its tray icon in place.
    static HWND start(uidriver::Program& launcher, const LauncherFolder& folder)
    {
        HWND window = uidriver::waitForWindow(kFrameClass, launcher.pid(), 60000);
        EXPECT_NE(nullptr, window);
        EXPECT_TRUE(folder.waitForLog(L"addTrayIcon sucess"));
        EXPECT_TRUE(uidriver::waitForControl(
                        window, L"startBtn", [](const ControlInfo& c) { return c.visible; }, 30000)
                        .visible);
        return window;
    }
    // What the shell posts to the icon's window for a mouse message.
    static void trayMouse(DWORD pid, UINT mouseMessage)
    {
        HWND tray = uidriver::findWindow(kTrayClass, pid, false);
        ASSERT_NE(nullptr, tray);
        ASSERT_TRUE(PostMessageW(tray, kTrayMessage, kTrayId, mouseMessage));
    }
    // What a program of the emulator side posts to the launcher's channel.
    static void postToLauncher(UINT message)
    {
        HWND channel = FindWindowW(kEndpoint, nullptr);
        ASSERT_NE(nullptr, channel);
        ASSERT_TRUE(PostMessageW(channel, message, 0, 0));
    }
    static HWND openMenu(DWORD pid, POINT cursor)
    {
        EXPECT_TRUE(uidriver::movePointer(cursor));
        trayMouse(pid, WM_RBUTTONUP);
        return uidriver::waitForWindow(kMenuClass, pid, 20000);
    }

    TestServer server;
};

}  // namespace

TEST_F(ZulplayShell, TrayIconBringsBackTheWindowAndItsMenuStaysOnScreen)
{
    LauncherFolder folder("autorun=0|existgame=1|minbyclose=1|configversion=1000");
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    // Close only hides (the icon is there); a left click on the icon brings the window back.
    click(window, L"closebtn");
    ASSERT_TRUE(testutil::pumpUntil([&] { return !IsWindowVisible(window); }, 20000));
    trayMouse(launcher.pid(), WM_LBUTTONDOWN);
    EXPECT_TRUE(testutil::pumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 20000));
    EXPECT_TRUE(folder.waitForLog(L"TrayiconControl, mouse LButtonDown"));

    // A right click at the top-left corner: the menu opens above and right of
    // the cursor, then moves down into the work area.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    HWND menu = openMenu(launcher.pid(), {work.left + 2, work.top + 2});
    ASSERT_NE(nullptr, menu);
    RECT place = {};
    EXPECT_TRUE(testutil::pumpUntil([&] { return GetWindowRect(menu, &place) && place.top == work.top; }, 10000));
    EXPECT_EQ(work.left + 2, place.left);
    // At the bottom-right corner it moves left (the menu still open is closed first).
    HWND first = menu;
    menu = nullptr;
    EXPECT_TRUE(uidriver::movePointer({work.right - 2, work.bottom - 2}));
    trayMouse(launcher.pid(), WM_RBUTTONUP);
    // The new menu is made first and placed after: wait until it stands at the right edge.
    EXPECT_TRUE(testutil::pumpUntil(
        [&] {
            menu = uidriver::findWindow(kMenuClass, launcher.pid());
            return !IsWindow(first) && menu && GetWindowRect(menu, &place) && place.right == work.right;
        },
        20000));
    ASSERT_NE(nullptr, menu);
    EXPECT_EQ(work.bottom - 2, place.bottom);
    EXPECT_EQ(120, place.right - place.left);
    EXPECT_EQ(80, place.bottom - place.top);
    EXPECT_TRUE(uidriver::waitForControl(
                    menu, L"MENU_EXIT", [](const ControlInfo& c) { return c.visible; }, 10000)
                    .visible);
    testutil::pumpFor(300);
    uidriver::screenshot(nullptr, L"launcher_tray_menu_screen");
    uidriver::screenshot(menu, L"launcher_tray_menu");

    // Clicking elsewhere closes only the menu.
    RECT frame = {};
    GetWindowRect(window, &frame);
    uidriver::bringToFront(window);
    uidriver::clickAt({frame.left + 200, frame.top + 20});
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(menu); }, 20000));
    EXPECT_TRUE(folder.waitForLog(L"tray menu menu_focus"));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(launcher.waitForExit(0));

    // The menu's first entry shows the hidden window.
    click(window, L"closebtn");
    ASSERT_TRUE(testutil::pumpUntil([&] { return !IsWindowVisible(window); }, 20000));
    menu = openMenu(launcher.pid(), {(work.left + work.right) / 2, (work.top + work.bottom) / 2});
    ASSERT_NE(nullptr, menu);
    click(menu, L"MENU_SHOWMAIN");
    EXPECT_TRUE(testutil::pumpUntil([&] { return IsWindowVisible(window) != FALSE; }, 20000));
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(menu); }, 20000));

    // A new taskbar gets the icon again.
    PostMessageW(uidriver::findWindow(kTrayClass, launcher.pid(), false), RegisterWindowMessageW(L"TaskbarCreated"), 0,
                 0);
    EXPECT_TRUE(folder.waitForLog(L"taskbar created: icon added again"));
    EXPECT_TRUE(testutil::pumpUntil([&] { return countOf(folder.log(), L"addTrayIcon sucess") == 2; }, 20000));

    // The menu's exit ends the launcher.
    menu = openMenu(launcher.pid(), {(work.left + work.right) / 2, (work.top + work.bottom) / 2});
    ASSERT_NE(nullptr, menu);
    click(menu, L"MENU_EXIT");
    EXPECT_TRUE(launcher.waitForExit(30000));
    EXPECT_TRUE(contains(folder.log(), L"kxyun end"));
}

// The game reports that it runs: the hidden window comes back only when the
// setting asks for it.
TEST_F(ZulplayShell, GameExistBringsTheWindowBackWhenTheSettingSaysSo)
{
    for (const bool existgame : {false, true}) {
        SCOPED_TRACE(existgame ? "existgame=1" : "existgame=0");
        LauncherFolder folder(std::string("autorun=0|existgame=") + (existgame ? "1" : "0") +
                              "|minbyclose=1|configversion=1000");
        uidriver::Program launcher(folder.exe(), L"");
        HWND window = start(launcher, folder);
        ASSERT_NE(nullptr, window);
        click(window, L"closebtn");
        ASSERT_TRUE(testutil::pumpUntil([&] { return !IsWindowVisible(window); }, 20000));

        postToLauncher(9333);
        // A message the launcher only logs: once it is in the log, 9333 has been handled.
        postToLauncher(9222);
        ASSERT_TRUE(folder.waitForLog(L"onHandleWindowIPC, msg = 9222"));
        EXPECT_EQ(1u, countOf(folder.log(), L"game exist"));
        EXPECT_EQ(existgame, IsWindowVisible(window) != FALSE);
    }
}

// No window can be made (no display): the launcher says why, and ends with
// its log written to the last line. Its window got as far as starting the
// update check, still under way when the launcher ends: stopping it must not
// take the process down.
TEST_F(ZulplayShell, WithoutADisplayLogsWhyAndEnds)
{
    if (testutil::hasDisplay())
        GTEST_SKIP() << "runs in the no-display entry of this test";
    LauncherFolder folder("autorun=0|existgame=1|minbyclose=1|configversion=1000");
    TestServer server;
    ASSERT_TRUE(server.putBig("zul/update_en.data", 1000000, "&trickle=20&chunk=1000"));
    uidriver::Program launcher(folder.exe(), L"");
    DWORD code = 1;
    ASSERT_TRUE(launcher.waitForExit(60000, &code)) << "no exit within a minute; its log:\n"
                                                    << testutil::narrow(folder.log());
    EXPECT_EQ(0u, code);
    const std::wstring log = folder.log();
    EXPECT_TRUE(contains(log, L"main window not created lastError = "));
    EXPECT_FALSE(contains(log, L"addTrayIcon"));
    EXPECT_TRUE(contains(log, L"kxyun end"));
}

TEST_F(ZulplayShell, SettingsWriteConfigRunValueAndLanguage)
{
    const std::string initial = "autorun=0|existgame=1|minbyclose=0|configversion=1005";
    LauncherFolder folder(initial);
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    click(window, L"setupBtn");
    HWND setup = uidriver::waitForWindow(kSetupClass, launcher.pid(), 20000);
    ASSERT_NE(nullptr, setup);
    ControlInfo version = uidriver::waitForControl(
        setup, L"versionLabel", [](const ControlInfo& c) { return c.visible; }, 20000);
    EXPECT_EQ(std::wstring(L"Current version: ") + ZUL_VERSION_TEXT, version.text);
    EXPECT_EQ(folder.app() + L"game\\", uidriver::queryControl(setup, L"pathEdit").text);
    EXPECT_EQ(L"English", uidriver::queryControl(setup, L"languageCombo").text);
    testutil::pumpFor(500);
    uidriver::screenshot(setup, L"launcher_settings");
    // Opening the window changed nothing.
    EXPECT_EQ(initial, folder.config());
    EXPECT_EQ(nullptr, uidriver::findWindow(kBoxClass, launcher.pid()));

    std::wstring run;
    click(setup, L"autoRunOnOpt");
    EXPECT_TRUE(folder.waitForConfig("autorun=1|existgame=1|minbyclose=0|configversion=1005")) << folder.config();
    ASSERT_TRUE(readValue(product::kRunRegistryKey, product::kName, run));
    EXPECT_EQ(0, _wcsicmp((L"\"" + folder.exe() + L"\" autorun").c_str(), run.c_str())) << testutil::narrow(run);
    click(setup, L"autoRunOffOpt");
    EXPECT_TRUE(folder.waitForConfig("autorun=0|existgame=1|minbyclose=0|configversion=1005")) << folder.config();
    EXPECT_FALSE(readValue(product::kRunRegistryKey, product::kName, run));
    click(setup, L"exstgameNotTopOpt");
    EXPECT_TRUE(folder.waitForConfig("autorun=0|existgame=0|minbyclose=0|configversion=1005")) << folder.config();
    click(setup, L"closeMinOpt");
    EXPECT_TRUE(folder.waitForConfig("autorun=0|existgame=0|minbyclose=1|configversion=1005")) << folder.config();

    // The update check: the server has no update document, so after its
    // tries the check window says the version is the latest.
    click(setup, L"checkUpdateBtn");
    EXPECT_TRUE(folder.waitForLog(L"update check asked for"));
    HWND check = uidriver::waitForWindow(L"updatecheckframe", launcher.pid(), 20000);
    ASSERT_NE(nullptr, check);
    EXPECT_TRUE(uidriver::waitForControl(
                    check, L"latestLabel", [](const ControlInfo& c) { return c.visible; }, 60000)
                    .visible);
    testutil::pumpFor(500);
    uidriver::screenshot(check, L"launcher_update_check_latest");
    click(check, L"okBtn");
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(check); }, 20000));
    uidriver::bringToFront(setup);

    // The list offers the five languages; closing it on the current one does nothing.
    click(setup, L"languageCombo");
    HWND drop = uidriver::waitForWindow(L"ComboWnd", launcher.pid(), 20000);
    ASSERT_NE(nullptr, drop);
    testutil::pumpFor(500);
    uidriver::screenshot(nullptr, L"launcher_settings_languages");
    uidriver::pressKey(VK_RETURN);
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(drop); }, 20000));
    testutil::pumpFor(1000);
    EXPECT_EQ(nullptr, uidriver::findWindow(kBoxClass, launcher.pid()));
    std::wstring stored;
    EXPECT_FALSE(readValue(product::kRegistryKey, L"LanguageLong", stored));

    // The next language (the table's order: English, then Simplified Chinese)
    // is stored and the restart is offered; "restart now" starts a new launcher in it.
    click(setup, L"languageCombo");
    drop = uidriver::waitForWindow(L"ComboWnd", launcher.pid(), 20000);
    ASSERT_NE(nullptr, drop);
    ASSERT_TRUE(uidriver::waitForPainted(drop, 20000));  // its rows laid out
    RECT list = {};
    GetWindowRect(drop, &list);
    uidriver::clickAt({(list.left + list.right) / 2, list.top + 34 + 17});
    HWND box = uidriver::waitForWindow(kBoxClass, launcher.pid(), 20000);
    ASSERT_NE(nullptr, box) << testutil::narrow(folder.log());
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(drop); }, 20000));
    EXPECT_TRUE(readValue(product::kRegistryKey, L"LanguageLong", stored));
    EXPECT_EQ(L"zh_CN", stored);
    testutil::pumpFor(500);
    uidriver::screenshot(box, L"launcher_settings_restart");
    const ControlInfo bar = uidriver::waitForControl(
        box, L"bottombar", [](const ControlInfo& c) { return c.laidOut(); }, 10000);
    ASSERT_TRUE(bar.laidOut());
    uidriver::bringToFront(box);
    uidriver::clickAt({bar.center().x - 30, bar.center().y});
    DWORD code = 1;
    EXPECT_TRUE(launcher.waitForExit(30000, &code));

    HWND restarted = nullptr;
    ASSERT_TRUE(testutil::pumpUntil(
        [&] {
            restarted = uidriver::findWindow(kFrameClass, 0);
            DWORD pid = 0;
            if (restarted)
                GetWindowThreadProcessId(restarted, &pid);
            return restarted && pid != launcher.pid();
        },
        60000));
    EXPECT_TRUE(folder.waitForLog(L"language:zh_CN"));
    DWORD restartedPid = 0;
    GetWindowThreadProcessId(restarted, &restartedPid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, restartedPid);
    ASSERT_NE(nullptr, process);
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}
