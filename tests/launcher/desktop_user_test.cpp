// Programs the elevated launcher starts as the desktop user: the emulator
// client, in its game folder even when that folder's name is long, and the
// user's browser for a web address, never anything else. A stand-in
// explorer.exe (the test child, asleep) in the folder ZUL_TEST_WINDOWS_DIR
// names plays the desktop's; the recording stand-in plays the client and the
// system folder's rundll32.exe (ZUL_TEST_SYSTEM_DIR).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/process.h"
#include "launcher/emulator_process.h"
#include "launcher/launcher_rules.h"
#include "launcher/services/process_ex.h"
#include "launcher/services/system_ex.h"
#include "launcher_test_util.h"

using launchertest::LogCapture;

namespace {

std::wstring fullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {0};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::vector<std::wstring> lines(const std::wstring& path)
{
    const std::wstring text = testutil::widen(testutil::readFile(path));
    std::vector<std::wstring> out;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    return out;
}

// The desktop for the test's time: a stand-in explorer.exe running in the
// folder named as the Windows folder, and a system folder whose rundll32.exe
// is the recording stand-in.
class Desktop {
public:
    Desktop()
    {
        CreateDirectoryW(windows().c_str(), nullptr);
        CreateDirectoryW(system().c_str(), nullptr);
        CopyFileW(fullPath(testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), (windows() + L"explorer.exe").c_str(),
                  FALSE);
        CopyFileW((testutil::exeDir() + L"zul_recorder.exe").c_str(), (system() + L"rundll32.exe").c_str(), FALSE);
        explorer_ = utility::process::create(windows() + L"explorer.exe", L"sleep=600000", false);
        SetEnvironmentVariableW(L"ZUL_TEST_WINDOWS_DIR", windows().c_str());
        SetEnvironmentVariableW(L"ZUL_TEST_SYSTEM_DIR", system().c_str());
    }
    ~Desktop()
    {
        SetEnvironmentVariableW(L"ZUL_TEST_WINDOWS_DIR", nullptr);
        SetEnvironmentVariableW(L"ZUL_TEST_SYSTEM_DIR", nullptr);
        if (explorer_) {
            TerminateProcess(explorer_, 0);
            WaitForSingleObject(explorer_, 5000);
            CloseHandle(explorer_);
        }
    }
    bool running() const { return explorer_ && WaitForSingleObject(explorer_, 0) == WAIT_TIMEOUT; }
    std::wstring windows() const { return temp_.file(L"windows\\"); }
    std::wstring system() const { return temp_.file(L"system32\\"); }

private:
    testutil::TempDir temp_;
    HANDLE explorer_ = nullptr;
};

// The launcher starts programs as the desktop user from Windows 8 on, and
// Wine shows a program Windows 7 unless its AppDefaults entry names another
// version. True when this run sees Windows 8 or later: the case runs here.
// Otherwise the case runs in a second run of this program that Wine shows
// Windows 8, whose result counts, and false.
bool runsHereElseAsWindows8(const char* testName)
{
    const bool child = GetEnvironmentVariableW(L"ZUL_TEST_AS_WINDOWS8", nullptr, 0) > 0;
    if (utility::usystem::isWin8OS())
        return true;
    if (child) {
        ADD_FAILURE() << "the second run does not see Windows 8 either";
        return false;
    }
    wchar_t self[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring key = std::wstring(L"Software\\Wine\\AppDefaults\\") + (wcsrchr(self, L'\\') + 1);
    const wchar_t version[] = L"win8";
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"Version", REG_SZ, version,
                                             sizeof(version)));
    SetEnvironmentVariableW(L"ZUL_TEST_AS_WINDOWS8", L"1");
    // The second run writes to this run's output.
    std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_filter=DesktopUser." + testutil::widen(testName);
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {};
    DWORD code = 99;
    if (CreateProcessW(self, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
        WaitForSingleObject(info.hProcess, 120000);
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    SetEnvironmentVariableW(L"ZUL_TEST_AS_WINDOWS8", nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
    EXPECT_EQ(0u, code) << "the case failed in the run that sees Windows 8";
    return false;
}

}  // namespace

TEST(DesktopUser, ClientInALongGameFolderStartsAsTheDesktopUserInThatFolder)
{
    if (!runsHereElseAsWindows8("ClientInALongGameFolderStartsAsTheDesktopUserInThatFolder"))
        return;
    Desktop desktop;
    ASSERT_TRUE(desktop.running());
    testutil::TempDir temp;
    // A game folder of 200 characters: the hand-over line holds it twice.
    std::wstring game = temp.path() + L"game ";
    game += std::wstring(199 - game.size(), L'g') + L"\\";
    ASSERT_EQ(200u, game.size());
    ASSERT_TRUE(CreateDirectoryW(game.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"zul_recorder.exe").c_str(), (game + L"zulclient.exe").c_str(), FALSE));
    const std::wstring params = rules::clientInstallParams(rules::apkPackagePath(game, 1203));

    LogCapture log;
    EXPECT_TRUE(emulator::startClient(game + L"\\zulclient.exe", params));
    ASSERT_TRUE(testutil::pumpUntil([&] { return !lines(game + L"zulclient.cmdline.txt").empty(); }, 20000));
    EXPECT_NE(std::wstring::npos, lines(game + L"zulclient.cmdline.txt")[0].find(L" " + params));
    const std::vector<std::wstring> folders = lines(game + L"zulclient.cwd.txt");
    ASSERT_EQ(1u, folders.size());
    EXPECT_EQ(0, _wcsicmp(game.substr(0, game.size() - 1).c_str(), folders[0].c_str())) << testutil::narrow(folders[0]);
    EXPECT_EQ(1u, log.count(L"emulator::startClient: client started as the desktop user in [" + game + L"]"));
    EXPECT_EQ(0u, log.count(L"run player adminstror"));
}

TEST(DesktopUser, WebAddressesOpenAsTheDesktopUserAndNothingElseOpens)
{
    if (!runsHereElseAsWindows8("WebAddressesOpenAsTheDesktopUserAndNothingElseOpens"))
        return;
    Desktop desktop;
    ASSERT_TRUE(desktop.running());
    const std::wstring record = desktop.system() + L"rundll32.cmdline.txt";
    LogCapture log;
    const std::wstring address = L"https://www.example.com/zul/event?id=7&lang=en#top";
    EXPECT_TRUE(utility::process::openUrlAsDesktopUser(address));
    ASSERT_TRUE(testutil::pumpUntil([&] { return !lines(record).empty(); }, 20000));
    EXPECT_EQ(L"\"" + desktop.system() + L"rundll32.exe\" url.dll,FileProtocolHandler " + address, lines(record)[0]);
    EXPECT_EQ(1u, log.count(L"opened as the desktop user: " + address));

    // A quote would be taken away as the line is split: it goes encoded.
    EXPECT_TRUE(utility::process::openUrlAsDesktopUser(L"http://example.com/a\"b"));
    ASSERT_TRUE(testutil::pumpUntil([&] { return lines(record).size() == 2; }, 20000));
    EXPECT_EQ(L"\"" + desktop.system() + L"rundll32.exe\" url.dll,FileProtocolHandler http://example.com/a%22b",
              lines(record)[1]);

    const std::wstring program = desktop.windows() + L"explorer.exe";
    for (const std::wstring& refused : {program, L"file:///" + program, std::wstring(L"javascript:alert(1)"),
                                        std::wstring(L"https://example.com/a b")}) {
        EXPECT_FALSE(utility::process::openUrlAsDesktopUser(refused)) << testutil::narrow(refused);
        EXPECT_EQ(1u, log.count(L"refused, not a web address: " + refused)) << testutil::narrow(refused);
    }
    testutil::pumpFor(300);
    EXPECT_EQ(2u, lines(record).size());
    EXPECT_EQ(0u, log.count(L"through the shell"));
}
