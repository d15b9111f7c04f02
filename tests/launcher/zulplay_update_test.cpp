// The launcher's web views and its own update as its user meets them: the
// real zulplay.exe in a fresh folder, the web-engine stand-in (node.dll,
// which records every call and lets the test play a page calling
// "PCOpenUrl"), the update document and the new installer (the recording
// stand-in) on the local test server, the windows driven by real input.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "launcher_test_util.h"
#include "zul_deployment.h"

using launchertest::TestServer;
using launchertest::click;
using uidriver::ControlInfo;

namespace {

const wchar_t kFrameClass[] = L"KXZULMainFrame";
const wchar_t kUpdateClass[] = L"updateFrame";
const DWORD kLongMs = 180000;  // a download and the launcher's exit, also under emulated 32-bit Wine

std::wstring fixture(const std::wstring& name) { return testutil::exeDir() + L"zulplay_fixture\\" + name; }

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

std::wstring readText(const std::wstring& path) { return testutil::widen(testutil::readFile(path)); }

std::vector<std::wstring> lines(const std::wstring& text)
{
    std::vector<std::wstring> out;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    return out;
}

// One launcher installation in a fresh folder, optionally with a web engine.
class LauncherFolder {
public:
    explicit LauncherFolder(const wchar_t* engine = nullptr)
    {
        for (const wchar_t* name : {L"zulplay.exe", L"libcurl.dll", L"crashreport.dll"})
            CopyFileW(fixture(name).c_str(), temp_.file(name).c_str(), FALSE);
        if (engine)
            CopyFileW(fixture(engine).c_str(), temp_.file(L"node.dll").c_str(), FALSE);
        testutil::writeFile(temp_.file(L"config.data"), "autorun=0|existgame=1|minbyclose=0|configversion=1000");
        CreateDirectoryW((app() + L"game").c_str(), nullptr);
    }
    std::wstring app() const { return temp_.path(); }
    std::wstring exe() const { return temp_.path() + L"zulplay.exe"; }
    std::wstring log() const { return readText(temp_.path() + L"log\\main.log"); }
    std::vector<std::wstring> calls() const { return lines(readText(temp_.path() + L"node.calls.txt")); }
    bool waitForLog(const std::wstring& text, DWORD ms = 60000) const
    {
        return testutil::pumpUntil([&] { return contains(log(), text); }, ms);
    }

private:
    testutil::TempDir temp_;
};

// The user's web browser for http and https: the recording stand-in, set
// for the test's time (the machine's classes, as Wine reads only those).
class RecordingBrowser {
public:
    explicit RecordingBrowser(const std::wstring& exe)
    {
        for (int i = 0; i < 2; ++i) {
            saved_[i] = read(key(i));
            write(key(i), L"\"" + exe + L"\" \"%1\"");
        }
    }
    ~RecordingBrowser()
    {
        for (int i = 0; i < 2; ++i)
            write(key(i), saved_[i]);
    }

private:
    static std::wstring key(int i)
    {
        return std::wstring(L"Software\\Classes\\") + (i ? L"https" : L"http") + L"\\shell\\open\\command";
    }
    static std::wstring read(const std::wstring& key)
    {
        wchar_t value[1024] = {0};
        DWORD size = sizeof(value);
        if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
            ERROR_SUCCESS)
            return L"";
        return value;
    }
    static void write(const std::wstring& key, const std::wstring& command)
    {
        HKEY handle = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExW(handle, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                       static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(handle);
    }

    std::wstring saved_[2];
};

DWORD readDword(HKEY root, const wchar_t* key, const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(root, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 0;
    return value;
}

std::wstring readString(HKEY root, const wchar_t* key, const wchar_t* name)
{
    wchar_t value[260] = {0};
    DWORD size = sizeof(value);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"";
    return value;
}

bool anyFileLike(const std::wstring& pattern)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

class ZulplayUpdate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        // The new installer comes over https, from a server the prefix trusts.
        ASSERT_TRUE(server.tlsAvailable()) << "run through tests/tools/with_http_server.sh --tls";
        ASSERT_TRUE(launchertest::trustTestCertificateAuthority());
        // The installer runs elevated only under a trusted root.
        ASSERT_TRUE(launchertest::trustTestPublisher());
        server.reset();
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Norvale\\ZUL", 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"pathDir");
            RegCloseKey(key);
        }
        SetEnvironmentVariableW(L"ZUL_TEST_HOST", server.url("/f").c_str());
        ASSERT_TRUE(server.put("zul/config_sea.data",
                               "{\"appminversion\": 1000, \"playerminversion\": 1000, \"version\": 1000}"));
        installer = testutil::readFile(fixture(L"recorder.exe"));
        ASSERT_GT(installer.size(), 1000u);
        ASSERT_TRUE(server.put("pkg/zul_setup.exe", installer));
    }

    void putUpdate(const std::string& json) { ASSERT_TRUE(server.put("zul/update_en.data", json)); }

    // The installer's address, delivered slowly enough to be seen.
    std::string installerUrl() const { return server.narrowHttpsUrl("/f/pkg/zul_setup.exe?chunk=16384&trickle=120"); }

    HWND start(uidriver::Program& launcher, const LauncherFolder& folder)
    {
        HWND window = uidriver::waitForWindow(kFrameClass, launcher.pid(), 60000, false);
        EXPECT_NE(nullptr, window);
        EXPECT_TRUE(folder.waitForLog(L"screenX:"));
        return window;
    }

    // The handed-over installer's command line, once it ran.
    static std::wstring handOver(const std::wstring& installerPath)
    {
        const std::wstring record = installerPath.substr(0, installerPath.size() - 4) + L".cmdline.txt";
        testutil::pumpUntil([&] { return !lines(readText(record)).empty(); }, 30000);
        const std::vector<std::wstring> calls = lines(readText(record));
        return calls.empty() ? L"" : calls[0];
    }

    TestServer server;
    std::string installer;
};

}  // namespace

TEST_F(ZulplayUpdate, WebViewsShowTheSitePagesAndOpenOnlyWebAddresses)
{
    LauncherFolder folder(L"node.dll");
    CopyFileW(fixture(L"recorder.exe").c_str(), (folder.app() + L"browser.exe").c_str(), FALSE);
    CopyFileW(fixture(L"recorder.exe").c_str(), (folder.app() + L"local.exe").c_str(), FALSE);
    RecordingBrowser browser(folder.app() + L"browser.exe");
    putUpdate("{\"ver\": 10000}");

    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);
    ASSERT_TRUE(testutil::pumpUntil(
        [&] {
            size_t shown = 0;
            for (const std::wstring& call : folder.calls())
                shown += call.rfind(L"wkeShowWindow|", 0) == 0;
            return shown == 2;
        },
        60000))
        << testutil::narrow(readText(folder.app() + L"node.calls.txt"));

    // Both views at their places with the site's pages, handlers and the bound function.
    const std::wstring size = sizeof(void*) == 4 ? L"36" : L"48";
    const std::wstring site = server.url("/f");
    const std::vector<std::wstring> calls = folder.calls();
    auto has = [&](const std::wstring& line) {
        for (const std::wstring& call : calls) {
            if (call == line)
                return true;
        }
        return false;
    };
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(L"wkeInitializeEx|null", calls[0]);
    EXPECT_TRUE(has(L"wkeCreateWebCustomWindow|" + size + L"|40000000|00000000|42|187|752|344|00BBD5F4"));
    EXPECT_TRUE(has(L"wkeCreateWebCustomWindow|" + size + L"|40000000|00000000|42|545|752|132|00BBD5F4"));
    const std::wstring language = L"?language=";
    size_t pages = 0;
    for (const std::wstring& call : calls) {
        pages += call.rfind(L"wkeLoadURLW|1|" + site + L"/PCpic" + language, 0) == 0;
        pages += call.rfind(L"wkeLoadURLW|2|" + site + L"/PCpic/news" + language, 0) == 0;
    }
    EXPECT_EQ(2u, pages);
    for (const wchar_t* view : {L"1", L"2"}) {
        for (const wchar_t* handler : {L"wkeOnDidCreateScriptContext", L"wkeOnWindowClosing", L"wkeOnWindowDestroy",
                                       L"wkeOnTitleChanged", L"wkeOnCreateView", L"wkeOnLoadUrlEnd"})
            EXPECT_TRUE(has(std::wstring(handler) + L"|" + view + L"|null")) << testutil::narrow(handler);
        EXPECT_TRUE(has(std::wstring(L"wkeOnLoadUrlBegin|") + view + L"|set"));
        EXPECT_TRUE(has(std::wstring(L"wkeOnDocumentReady|") + view + L"|set|parent"));
        EXPECT_TRUE(has(std::wstring(L"wkeSetUserAgent|") + view +
                        L"|Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) "
                        L"Chrome/69.0.2228.0 Safari/537.36"));
        EXPECT_TRUE(has(std::wstring(L"wkeShowWindow|") + view + L"|1"));
    }
    EXPECT_TRUE(has(L"wkeJsBindFunction|PCOpenUrl|set|1"));
    // At 1280 x 1024 the window takes the compact layout, which moves them up
    // when the window lays itself out again: after they were shown, maybe.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    if (work.right - work.left == 1280 && work.bottom - work.top == 1024) {
        for (const wchar_t* move : {L"wkeMoveWindow|1|42|63|752|344", L"wkeMoveWindow|2|42|421|752|132"}) {
            EXPECT_TRUE(testutil::pumpUntil(
                [&] {
                    const std::vector<std::wstring> now = folder.calls();
                    return std::find(now.begin(), now.end(), move) != now.end();
                },
                20000))
                << testutil::narrow(move);
        }
    }
    HWND view = FindWindowExW(window, nullptr, L"ZulWkeView", nullptr);
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(IsWindowVisible(view));
    testutil::pumpFor(500);
    uidriver::screenshot(window, L"launcher_web_views");

    // The browser-emulation value follows the installed Internet Explorer.
    const std::wstring ie = readString(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version");
    const DWORD code = readDword(HKEY_CURRENT_USER,
                                 L"SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\"
                                 L"FEATURE_BROWSER_EMULATION",
                                 L"zulplay.exe");
    if (ie.rfind(L"9.11.", 0) == 0) {
        EXPECT_EQ(11001u, code) << testutil::narrow(ie);
    }
    EXPECT_TRUE(folder.waitForLog(L"ie version " + std::to_wstring(code)));

    // A page opens a web address in the user's browser...
    const UINT invoke = RegisterWindowMessageW(L"ZulWkeInvoke");
    const std::wstring address = L"https://www.example.com/zul/event?id=7";
    testutil::writeFile(folder.app() + L"node.invoke.txt", testutil::narrow(address));
    PostMessageW(view, invoke, 0, 0);
    EXPECT_TRUE(
        testutil::pumpUntil([&] { return contains(readText(folder.app() + L"browser.cmdline.txt"), address); }, 60000));
    EXPECT_TRUE(folder.waitForLog(L"web jump: " + address));
    // ...but never starts a program or opens a file.
    const std::wstring local = folder.app() + L"local.exe";
    for (const std::wstring& hostile : {local, L"file:///" + local, L"  " + local}) {
        testutil::writeFile(folder.app() + L"node.invoke.txt", testutil::narrow(hostile));
        PostMessageW(view, invoke, 0, 0);
        EXPECT_TRUE(folder.waitForLog(L"refused, not a web address: " + hostile));
    }
    testutil::pumpFor(1500);
    EXPECT_FALSE(testutil::fileExists(folder.app() + L"local.cmdline.txt"));
    EXPECT_EQ(1u, lines(readText(folder.app() + L"browser.cmdline.txt")).size());

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.waitForExit(60000));
}

TEST_F(ZulplayUpdate, LauncherRunsWithoutOrWithAnIncompleteEngine)
{
    putUpdate("{\"ver\": 10000}");
    for (const wchar_t* engine : {static_cast<const wchar_t*>(nullptr), L"node_incomplete.dll"}) {
        LauncherFolder folder(engine);
        uidriver::Program launcher(folder.exe(), L"");
        HWND window = start(launcher, folder);
        ASSERT_NE(nullptr, window);
        EXPECT_TRUE(folder.waitForLog(L"wkeInitialize ret 0"));
        if (engine) {
            EXPECT_TRUE(folder.waitForLog(L"wke api not found: wkeMoveWindow"));
            for (const std::wstring& call : folder.calls())
                ADD_FAILURE() << "engine called: " << testutil::narrow(call);
        }
        EXPECT_EQ(nullptr, FindWindowExW(window, nullptr, L"ZulWkeView", nullptr));
        EXPECT_TRUE(uidriver::waitForControl(
                        window, L"startBtn", [](const ControlInfo& c) { return c.visible; }, 30000)
                        .visible);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(launcher.waitForExit(60000));
    }
}

TEST_F(ZulplayUpdate, SuggestedUpdateIsOfferedAtStartAndHandsOverAtExit)
{
    LauncherFolder folder;
    putUpdate("{\"ver\": 10001, \"strVer\": \"1.0.1\", \"url\": \"" + installerUrl() +
              "\", \"content\": \"Plain notes\", \"en\": \"Faster start, and the news page is new.\","
              " \"forceVer\": 0, \"noiceVer\": 10001}");
    uidriver::Program launcher(folder.exe(), L"");
    HWND main = start(launcher, folder);
    ASSERT_NE(nullptr, main);
    HWND offer = uidriver::waitForWindow(kUpdateClass, launcher.pid(), 60000);
    ASSERT_NE(nullptr, offer);
    EXPECT_EQ(main, GetWindow(offer, GW_OWNER));
    EXPECT_TRUE(IsWindowEnabled(main)) << "a suggested update is not modal";
    EXPECT_EQ(L"Faster start, and the news page is new.", uidriver::queryControl(offer, L"contentLabel").text);
    EXPECT_EQ(L"New version: 1.0.1", uidriver::queryControl(offer, L"updateVersionLabel").text);
    EXPECT_EQ(std::wstring(L"Current version: ") + ZUL_VERSION_TEXT,
              uidriver::queryControl(offer, L"oldVersionLabel").text);
    EXPECT_TRUE(uidriver::queryControl(offer, L"closebtn").visible);
    testutil::pumpFor(500);
    uidriver::screenshot(offer, L"update_offer");

    click(offer, L"updateBtn");
    ControlInfo label = uidriver::waitForControl(
        offer, L"progressLabel",
        [](const ControlInfo& c) { return c.visible && contains(c.text, L"Downloading the update"); }, 30000);
    EXPECT_TRUE(label.visible) << testutil::narrow(label.text);
    EXPECT_FALSE(uidriver::queryControl(offer, L"updateBtn").visible);
    EXPECT_TRUE(uidriver::queryControl(offer, L"updateprogress").visible);
    uidriver::waitForControl(
        offer, L"progressLabel", [](const ControlInfo& c) { return !contains(c.text, L" 0%"); }, 20000);
    uidriver::screenshot(offer, L"update_downloading");

    // The installer is in place: the launcher ends and hands over to it.
    DWORD code = 1;
    ASSERT_TRUE(launcher.waitForExit(kLongMs, &code));
    const std::wstring path = folder.app() + L"update\\zul_1.0.1.exe";
    EXPECT_TRUE(testutil::readFile(path) == installer);
    EXPECT_FALSE(testutil::fileExists(path + L".tmp"));
    const std::wstring commandLine = handOver(path);
    EXPECT_TRUE(contains(commandLine, L"from=update|path=" + folder.app())) << testutil::narrow(commandLine);
    const std::wstring log = folder.log();
    for (const std::wstring& line : {L"update:  download file " + path, L"update: download file sucess " + path,
                                     L"It is needUpdate : 1, path " + path})
        EXPECT_TRUE(contains(log, line)) << testutil::narrow(line);
}

TEST_F(ZulplayUpdate, ForcedUpdateIsModalAndAHostileVersionStaysInTheUpdateFolder)
{
    LauncherFolder folder;
    putUpdate("{\"ver\": 10002, \"strVer\": \"..\\\\..\\\\evil\", \"url\": \"" + installerUrl() +
              "\", \"content\": \"Required update.\", \"forceVer\": 10002}");
    uidriver::Program launcher(folder.exe(), L"");
    HWND main = start(launcher, folder);
    ASSERT_NE(nullptr, main);
    HWND offer = uidriver::waitForWindow(kUpdateClass, launcher.pid(), 60000);
    ASSERT_NE(nullptr, offer);
    // No way out: the download starts at once and the main window waits.
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindowEnabled(main); }, 10000));
    EXPECT_FALSE(uidriver::queryControl(offer, L"closebtn").visible);
    EXPECT_TRUE(uidriver::waitForControl(
                    offer, L"updateprogress", [](const ControlInfo& c) { return c.visible; }, 20000)
                    .visible);
    EXPECT_FALSE(uidriver::queryControl(offer, L"updateBtn").visible);
    testutil::pumpFor(800);
    uidriver::screenshot(offer, L"update_forced");

    ASSERT_TRUE(launcher.waitForExit(kLongMs));
    const std::wstring path = folder.app() + L"update\\zul_10002.exe";
    EXPECT_TRUE(testutil::readFile(path) == installer);
    EXPECT_TRUE(contains(handOver(path), L"from=update|path=" + folder.app()));
    EXPECT_TRUE(contains(folder.log(), L"update version [..\\..\\evil] refused, using 10002"));
    for (const std::wstring& dir : {folder.app(), folder.app() + L"update\\", folder.app() + L"..\\"})
        EXPECT_FALSE(anyFileLike(dir + L"*evil*")) << testutil::narrow(dir);
}

TEST_F(ZulplayUpdate, FailedDownloadBringsBackTheUpdateButton)
{
    LauncherFolder folder;
    putUpdate("{\"ver\": 10001, \"strVer\": \"1.0.3\", \"url\": \"" + server.narrowHttpsUrl("/f/pkg/missing.exe") +
              "\", \"content\": \"Notes\", \"noiceVer\": 10001}");
    uidriver::Program launcher(folder.exe(), L"");
    HWND main = start(launcher, folder);
    ASSERT_NE(nullptr, main);
    HWND offer = uidriver::waitForWindow(kUpdateClass, launcher.pid(), 60000);
    ASSERT_NE(nullptr, offer);
    click(offer, L"updateBtn");
    ControlInfo label = uidriver::waitForControl(
        offer, L"progressLabel", [](const ControlInfo& c) { return c.visible && contains(c.text, L"download failed"); },
        60000);
    EXPECT_TRUE(label.visible) << testutil::narrow(label.text);
    EXPECT_TRUE(uidriver::waitForControl(
                    offer, L"updateBtn", [](const ControlInfo& c) { return c.visible; }, 10000)
                    .visible);
    EXPECT_FALSE(uidriver::queryControl(offer, L"updateprogress").visible);
    testutil::pumpFor(500);
    uidriver::screenshot(offer, L"update_failed");
    EXPECT_FALSE(anyFileLike(folder.app() + L"update\\zul_*"));

    // "Later" closes the offer; the launcher goes on and ends without a hand-over.
    click(offer, L"cancelBtn");
    EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(offer); }, 20000));
    EXPECT_TRUE(IsWindow(main));
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(launcher.waitForExit(60000));
    EXPECT_TRUE(contains(folder.log(), L"It is needUpdate : 0"));
}

// The windows a player sees, in each language the launcher takes from the
// registry, and in Arabic from a table beside the program: the update offer
// at start, the main window and the settings window, each kept under
// build/artifacts/<locale>/.
TEST_F(ZulplayUpdate, WindowsInEveryLanguage)
{
    putUpdate("{\"ver\": 10001, \"strVer\": \"1.0.1\", \"url\": \"" + installerUrl() +
              "\", \"content\": \"1.0.1\", \"forceVer\": 0, \"noiceVer\": 10001}");
    const wchar_t kKey[] = L"Software\\Norvale\\ZUL";
    for (const testutil::ScreenshotLanguage& language : testutil::screenshotLanguages()) {
        SCOPED_TRACE(language.locale);
        const std::wstring folder = testutil::widen(language.locale) + L"\\";
        const std::wstring region = language.region;
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Language", REG_SZ, region.c_str(),
                                                 static_cast<DWORD>((region.size() + 1) * 2)));
        LauncherFolder installation;
        if (std::string(language.locale) == "ar_IL") {
            ASSERT_TRUE(testutil::writeTableSpeaking(ZUL_LAUNCHER_LANGUAGE_TABLE,
                                                     installation.app() + L"multi_language.tsv", "ar_IL"));
        }
        uidriver::Program launcher(installation.exe(), L"");
        HWND main = start(launcher, installation);
        ASSERT_NE(nullptr, main);
        HWND offer = uidriver::waitForWindow(kUpdateClass, launcher.pid(), 60000);
        ASSERT_NE(nullptr, offer);
        testutil::pumpFor(500);
        uidriver::screenshot(offer, folder + L"launcher_update_offer");
        click(offer, L"closebtn");
        ASSERT_TRUE(testutil::pumpUntil([&] { return !IsWindow(offer); }, 20000));

        ASSERT_TRUE(uidriver::waitForControl(
                        main, L"startBtn", [](const ControlInfo& c) { return c.visible; }, 30000)
                        .visible);
        uidriver::bringToFront(main);
        testutil::pumpFor(500);
        uidriver::screenshot(main, folder + L"launcher_main_window");

        click(main, L"setupBtn");
        HWND setup = uidriver::waitForWindow(L"KXZulSetupFrame", launcher.pid(), 20000);
        ASSERT_NE(nullptr, setup);
        ASSERT_TRUE(uidriver::waitForControl(
                        setup, L"versionLabel", [](const ControlInfo& c) { return c.visible; }, 20000)
                        .visible);
        testutil::pumpFor(500);
        uidriver::screenshot(setup, folder + L"launcher_settings");
        click(setup, L"closebtn");
        ASSERT_TRUE(testutil::pumpUntil([&] { return !IsWindow(setup); }, 20000));

        PostMessageW(main, WM_CLOSE, 0, 0);
        EXPECT_TRUE(launcher.waitForExit(kLongMs));
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"Language");
}
