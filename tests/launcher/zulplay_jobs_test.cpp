// The launcher's package jobs as its user meets them: the real zulplay.exe in
// a fresh folder, its documents and packages on the local test server, its
// windows driven by real input. The game-folder dialog of a test build takes
// its answer from the file named by ZUL_TEST_FOLDER_CHOICE (the dialog itself
// is the system's). The emulator's programs in the package are the recording
// stand-in (tests/install/recording_standin.cpp).
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <functional>
#include <string>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "foundation/product.h"
#include "launcher_test_util.h"

using launchertest::TestServer;
using launchertest::click;
using uidriver::ControlInfo;

namespace {

const wchar_t kFrameClass[] = L"KXZULMainFrame";
const wchar_t kSetupClass[] = L"KXZulSetupFrame";
const DWORD kJobMs = 180000;  // a whole package job, also under emulated 32-bit Wine

std::wstring fixture(const std::wstring& name) { return testutil::exeDir() + L"zulplay_fixture\\" + name; }

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

size_t countOf(const std::wstring& text, const std::wstring& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

void deleteStoredGameFolder()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, product::kRegistryKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"pathDir");
        RegCloseKey(key);
    }
}

std::wstring storedGameFolder()
{
    wchar_t data[1024] = {0};
    DWORD size = sizeof(data) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, product::kRegistryKey, L"pathDir", RRF_RT_REG_SZ, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return std::wstring();
    return data;
}

size_t fileSize(const std::wstring& path) { return testutil::readFile(path).size(); }

bool folderIsEmpty(const std::wstring& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return true;
    bool empty = true;
    do {
        empty = empty && (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return empty;
}

// One launcher in a fresh folder, with settings that let its close button end it.
class LauncherFolder {
public:
    LauncherFolder()
    {
        for (const wchar_t* name : {L"zulplay.exe", L"libcurl.dll", L"crashreport.dll"})
            CopyFileW(fixture(name).c_str(), temp_.file(name).c_str(), FALSE);
        testutil::writeFile(temp_.file(L"config.data"), "autorun=0|existgame=1|minbyclose=0|configversion=1000");
        CreateDirectoryW(game().c_str(), nullptr);
        SetEnvironmentVariableW(L"ZUL_TEST_FOLDER_CHOICE", temp_.file(L"choice.txt").c_str());
    }
    ~LauncherFolder()
    {
        SetEnvironmentVariableW(L"ZUL_TEST_FOLDER_CHOICE", nullptr);
        endStandIns();
    }
    std::wstring app() const { return temp_.path(); }
    std::wstring game() const { return temp_.path() + L"game\\"; }
    std::wstring exe() const { return temp_.path() + L"zulplay.exe"; }
    std::wstring log() const { return testutil::widen(testutil::readFile(temp_.path() + L"log\\main.log")); }
    bool waitForLog(const std::wstring& text, DWORD ms = 30000) const
    {
        return testutil::pumpUntil([&] { return contains(log(), text); }, ms);
    }
    // The folder the next game-folder dialog answers with (made, as a chosen folder is).
    void choose(const std::wstring& folder) const
    {
        CreateDirectoryW(folder.c_str(), nullptr);
        testutil::writeFile(temp_.file(L"choice.txt"), testutil::narrow(folder));
    }

private:
    // Stand-ins left waiting below the folder (a repair tool that hangs) go with it.
    void endStandIns() const
    {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry = {sizeof(entry)};
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE,
                                         entry.th32ProcessID);
            if (!process)
                continue;
            wchar_t path[MAX_PATH] = {0};
            DWORD length = MAX_PATH;
            if (QueryFullProcessImageNameW(process, 0, path, &length) &&
                _wcsnicmp(path, app().c_str(), app().size()) == 0) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
            }
            CloseHandle(process);
        }
        CloseHandle(snapshot);
    }

    testutil::TempDir temp_;
};

class ZulplayJobs : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        // The package's tools run elevated only under a trusted root.
        ASSERT_TRUE(launchertest::trustTestPublisher());
        server.reset();
        // The game folder is <app dir>game\ only while the registry names none.
        deleteStoredGameFolder();
        SetEnvironmentVariableW(L"ZUL_TEST_HOST", server.url("/f").c_str());
        player = testutil::readFile(fixture(L"player.7z"));
        ASSERT_GT(player.size(), 100000u);
        ASSERT_TRUE(server.put("pkg/player.7z", player));
        ASSERT_TRUE(server.put("pkg/player_nodata.7z", player));
        putConfig(1000);
    }
    void TearDown() override { deleteStoredGameFolder(); }

    void putConfig(int playerMinVersion)
    {
        ASSERT_TRUE(server.put("zul/config_sea.data",
                               "{\"appminversion\": 1000, \"playerminversion\": " + std::to_string(playerMinVersion) +
                                   ", \"playerurl\": \"" + server.narrowUrl("/f/pkg/player_nodata.7z") +
                                   "\", \"version\": 1000}"));
    }
    // The package description: "sea" with the package's address and, when
    // given, its version text.
    void putDescription(const std::string& pathAndQuery, const std::string& version)
    {
        const std::string shown = version.empty() ? "" : ", \"vershow\": \"" + version + "\"";
        ASSERT_TRUE(
            server.put("zul/kxzulx", "{\"sea\": {\"url\": \"" + server.narrowUrl(pathAndQuery) + "\"" + shown + "}}"));
    }
    // Starts the launcher and waits for its window with the configuration applied.
    static HWND start(uidriver::Program& launcher, const LauncherFolder& folder)
    {
        HWND window = uidriver::waitForWindow(kFrameClass, launcher.pid(), 60000);
        EXPECT_NE(nullptr, window);
        EXPECT_TRUE(folder.waitForLog(L"local config version"));
        EXPECT_TRUE(folder.waitForLog(L"screenX:"));
        EXPECT_TRUE(uidriver::waitForControl(
                        window, L"startBtn", [](const ControlInfo& c) { return c.visible; }, 30000)
                        .visible);
        return window;
    }
    static ControlInfo waitForStart(HWND window, const std::wstring& text, DWORD ms = kJobMs)
    {
        return uidriver::waitForControl(
            window, L"startBtn", [&](const ControlInfo& c) { return c.visible && c.enabled && c.text == text; }, ms);
    }
    static void close(HWND window, uidriver::Program& launcher)
    {
        click(window, L"closebtn");
        EXPECT_TRUE(launcher.waitForExit(30000));
    }

    TestServer server;
    std::string player;
};

}  // namespace

TEST_F(ZulplayJobs, GameFolderChangedInSettingsStopsTheJob)
{
    LauncherFolder folder;
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    // The main window's folder button: a folder named like a game folder is taken as it is.
    const std::wstring first = folder.app() + L"Games\\";
    folder.choose(folder.app() + L"Games");
    click(window, L"chanagePathBtn");
    EXPECT_EQ(first, uidriver::waitForControl(
                         window, L"pathEdit", [&](const ControlInfo& c) { return c.text == first; }, 20000)
                         .text);
    EXPECT_EQ(first, storedGameFolder());
    EXPECT_TRUE(folder.waitForLog(L"folder dialog at [" + folder.game() + L"]"));

    // A slow download into the first folder's job ...
    putDescription("/f/pkg/player.7z?chunk=2048&trickle=100", "7.0");
    click(window, L"startBtn");
    ASSERT_TRUE(
        uidriver::waitForControl(
            window, L"downloadLabel", [](const ControlInfo& c) { return c.visible && contains(c.text, L"KB/"); }, 60000)
            .visible);

    // ... is stopped by a folder chosen in the settings window: the first
    // page again, the new folder from the registry, Start enabled.
    const std::wstring second = folder.app() + L"zone\\ZUL\\";
    folder.choose(folder.app() + L"zone");
    click(window, L"setupBtn");
    HWND setup = uidriver::waitForWindow(kSetupClass, launcher.pid(), 20000);
    ASSERT_NE(nullptr, setup);
    click(setup, L"chanagePathBtn");
    ControlInfo path = uidriver::waitForControl(
        window, L"pathEdit", [&](const ControlInfo& c) { return c.visible && c.text == second; }, 20000);
    EXPECT_TRUE(path.visible) << testutil::narrow(path.text);
    EXPECT_EQ(second, path.text);
    EXPECT_EQ(second, uidriver::waitForControl(
                          setup, L"pathEdit", [&](const ControlInfo& c) { return c.text == second; }, 20000)
                          .text);
    EXPECT_EQ(second, storedGameFolder());
    EXPECT_TRUE(uidriver::waitForControl(
                    window, L"startBtn", [](const ControlInfo& c) { return c.enabled; }, 20000)
                    .enabled);
    EXPECT_TRUE(folder.waitForLog(L"game folder changed during a job: job stopped"));

    // Nothing lands in either folder after the change.
    const std::wstring partial = folder.app() + L"zulen_7.0.7z.tmp";
    const size_t stopped = fileSize(partial);
    ASSERT_GT(stopped, 0u);
    ASSERT_LT(stopped, player.size());
    testutil::pumpFor(1500);
    EXPECT_EQ(stopped, fileSize(partial)) << "the download went on after the change";
    EXPECT_TRUE(folderIsEmpty(first));
    EXPECT_TRUE(folderIsEmpty(second));
    EXPECT_FALSE(contains(folder.log(), L"terminating"));

    // Start again: the job resumes the package and unpacks into the new folder only.
    click(setup, L"closebtn");
    ASSERT_TRUE(testutil::pumpUntil([&] { return !IsWindow(setup); }, 20000));
    putDescription("/f/pkg/player.7z", "7.0");
    click(window, L"startBtn");
    EXPECT_EQ(L"Play", waitForStart(window, L"Play").text);
    EXPECT_EQ("bytes=" + std::to_string(stopped) + "-", server.header("/f/pkg/player.7z", "Range"));
    EXPECT_TRUE(testutil::fileExists(second + L"zulclient.exe"));
    EXPECT_TRUE(testutil::fileExists(second + L"zulrepairer.cmdline.txt"));
    EXPECT_TRUE(folderIsEmpty(first));
    close(window, launcher);
}

TEST_F(ZulplayJobs, ClosingDuringTheRepairToolEndsTheLauncherAtOnce)
{
    LauncherFolder folder;
    // The repair tool hangs well past the launcher's wait for its worker.
    testutil::writeFile(folder.game() + L"zulrepairer.wait.txt", "120000");
    putDescription("/f/pkg/player.7z", "8.0");
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);

    click(window, L"startBtn");
    ASSERT_TRUE(
        testutil::pumpUntil([&] { return testutil::fileExists(folder.game() + L"zulrepairer.cmdline.txt"); }, kJobMs));
    close(window, launcher);
    const std::wstring log = folder.log();
    EXPECT_TRUE(contains(log, L"stopped while the repair tool runs"));
    EXPECT_FALSE(contains(log, L"terminating")) << "the worker was cut off";
    EXPECT_TRUE(contains(log, L"kxyun end"));
    EXPECT_FALSE(testutil::fileExists(folder.game() + L"driverconfig.cmdline.txt"));
}

TEST_F(ZulplayJobs, EmulatorPackageFromEachSource)
{
    LauncherFolder folder;
    // The driver tool the first job starts is still running when the second
    // unpacks over it.
    const std::wstring driverWait = folder.game() + L"driverconfig.wait.txt";
    testutil::writeFile(driverWait, "60000");
    // A description without a version text: the package is named 1.0.
    putDescription("/f/pkg/player.7z", "");
    uidriver::Program launcher(folder.exe(), L"");
    HWND window = start(launcher, folder);
    ASSERT_NE(nullptr, window);
    click(window, L"startBtn");
    EXPECT_EQ(L"Play", waitForStart(window, L"Play").text);
    EXPECT_TRUE(folder.waitForLog(L"download url " + server.url("/f/pkg/player.7z") + L" 1.0"));
    EXPECT_TRUE(testutil::readFile(folder.app() + L"zulen_1.0.7z") == player);
    EXPECT_EQ(1, server.count("/f/pkg/player.7z"));

    // A package of the described version already in the folder is unpacked
    // without a download (its address has nothing to give).
    testutil::writeFile(folder.app() + L"zulen_9.0.7z", player);
    putDescription("/f/pkg/absent.7z", "9.0");
    DeleteFileW((folder.game() + L"zulclient.exe").c_str());
    click(window, L"startBtn");
    ASSERT_TRUE(testutil::pumpUntil([&] { return countOf(folder.log(), L"start run repair") == 2; }, kJobMs))
        << "the launcher's log ends with:\n"
        << testutil::narrow(folder.log().substr(folder.log().size() > 4000 ? folder.log().size() - 4000 : 0));
    EXPECT_EQ(L"Play", waitForStart(window, L"Play").text);
    EXPECT_TRUE(testutil::fileExists(folder.game() + L"zulclient.exe"));
    EXPECT_EQ(0, server.count("/f/pkg/absent.7z"));
    EXPECT_TRUE(contains(folder.log(), L"stopping " + folder.game() + L"driverconfig.exe"));
    DeleteFileW(driverWait.c_str());
    close(window, launcher);

    // The emulator older than the remote minimum: Start fetches the package
    // from the configuration's player address, without asking for a description.
    putConfig(2000);
    const int descriptions = server.count("/f/zul/kxzulx");
    uidriver::Program again(folder.exe(), L"");
    window = start(again, folder);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(L"Update", waitForStart(window, L"Update", 30000).text);
    click(window, L"startBtn");
    ASSERT_TRUE(folder.waitForLog(L"start run repair", kJobMs));
    EXPECT_EQ(L"Update", waitForStart(window, L"Update").text);
    EXPECT_TRUE(contains(folder.log(), L"download url " + server.url("/f/pkg/player_nodata.7z") + L" 1.0"));
    EXPECT_FALSE(contains(folder.log(), L"get Player url"));
    EXPECT_EQ(descriptions, server.count("/f/zul/kxzulx"));
    EXPECT_EQ(1, server.count("/f/pkg/player_nodata.7z"));
    close(window, again);
}
