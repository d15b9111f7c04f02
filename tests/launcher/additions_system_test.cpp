// Process, system and registry additions: device paths, shell execution,
// starting a program as the desktop user, the Windows 8 rule, the
// single-instance mutex across processes, bringing a window to the front,
// RegKeyEx.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "foundation/process.h"
#include "launcher/services/process_ex.h"
#include "launcher/services/reg_key_ex.h"
#include "launcher/services/system_ex.h"
#include "launcher_test_util.h"

using launchertest::LogCapture;
namespace process = utility::process;

namespace {

std::wstring childExe()
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), MAX_PATH, full, nullptr);
    return full;
}

std::wstring uniqueName(const wchar_t* prefix)
{
    return prefix + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount());
}

}  // namespace

TEST(AdditionsProcess, DevicePathsMatchWholeVolumeNames)
{
    const std::vector<process::DosDevice> shortFirst = {{L"C:", L"\\Device\\HarddiskVolume1"},
                                                        {L"D:", L"\\Device\\HarddiskVolume10"}};
    const std::vector<process::DosDevice> longFirst = {shortFirst[1], shortFirst[0]};
    const wchar_t* cases[][2] = {  // device path, drive path ("": no match)
        {L"\\Device\\HarddiskVolume10\\games\\zulclient.exe", L"D:\\games\\zulclient.exe"},
        {L"\\Device\\HarddiskVolume1\\games\\zulclient.exe", L"C:\\games\\zulclient.exe"},
        {L"\\device\\HARDDISKVOLUME1\\X", L"C:\\X"},
        {L"\\Device\\HarddiskVolume1", L"C:"},
        {L"\\Device\\HarddiskVolume100\\x", L""},
        {L"", L""}};
    for (const std::vector<process::DosDevice>& devices : {shortFirst, longFirst}) {
        for (const auto& c : cases) {
            std::wstring out;
            EXPECT_EQ(c[1][0] != 0, process::DosPathToNtPath(c[0], &out, devices))
                << testutil::narrow(c[0]);
            EXPECT_EQ(c[1], out);
        }
    }

    // The real device of C:, and this process's image path.
    wchar_t device[MAX_PATH] = {0}, self[MAX_PATH];
    ASSERT_NE(0u, QueryDosDeviceW(L"C:", device, MAX_PATH));
    std::wstring out;
    const std::wstring explorer = std::wstring(device) + L"\\windows\\explorer.exe";
    ASSERT_TRUE(process::DosPathToNtPath(explorer.c_str(), &out));
    EXPECT_EQ(L"C:\\windows\\explorer.exe", out);
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp(self, process::GetProcessPath(GetCurrentProcessId()).c_str()));
    EXPECT_EQ(L"", process::GetProcessPath(0xFFFFFFF0u));
}

TEST(AdditionsProcess, ShellAndShellExReportTheChild)
{
    testutil::TempDir temp;
    const std::wstring record = temp.file(L"record.txt");
    EXPECT_TRUE(process::shellEx(childExe(), L"exit=0", false, false, 20000));
    EXPECT_FALSE(process::shellEx(childExe(), L"exit=7", false, false, 20000));
    LogCapture log;
    EXPECT_FALSE(process::shellEx(childExe(), L"sleep=5000", false, false, 200));
    EXPECT_EQ(1u, log.count(L"shellEx timeout!!!"));

    EXPECT_TRUE(process::shell(childExe(), L"record=" + record, false, false));
    EXPECT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(record); }, 20000));
    EXPECT_FALSE(process::shell(temp.file(L"missing.exe"), L"", false, false));
}

TEST(AdditionsProcess, TokenCommandLineIsBoundedByTheSystemsLimit)
{
    std::wstring line;
    EXPECT_TRUE(process::buildTokenCommandLine(L"C:\\a b\\zulclient.exe", nullptr, line));
    EXPECT_EQ(L"\"C:\\a b\\zulclient.exe\"", line);
    EXPECT_TRUE(process::buildTokenCommandLine(L"C:\\z.exe", L"show=0|x=1", line));
    EXPECT_EQ(L"\"C:\\z.exe\" show=0|x=1", line);
    // 32,766 characters fit with the terminator, 32,767 do not.
    EXPECT_TRUE(process::buildTokenCommandLine(L"C:\\z.exe", std::wstring(32755, L'p').c_str(), line));
    EXPECT_EQ(32766u, line.size());
    EXPECT_FALSE(process::buildTokenCommandLine(L"C:\\z.exe", std::wstring(32756, L'p').c_str(), line));
    LogCapture log;
    EXPECT_EQ(-1, process::createWithExplorerToken(L"C:\\z.exe", std::wstring(40000, L'p').c_str(),
                                                   std::wstring(), true));
    EXPECT_EQ(1u, log.count(L"command line too long"));
}

TEST(AdditionsProcess, StartsWithAGivenTokenOrTheExplorerOfThisSession)
{
    HANDLE own = nullptr, primary = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &own));
    ASSERT_TRUE(DuplicateTokenEx(own, 0xF01FF, nullptr, SecurityImpersonation, TokenPrimary, &primary));
    CloseHandle(own);
    DWORD exitCode = 0;
    EXPECT_EQ(0, process::createWithToken(primary, childExe(), L"exit=9", std::wstring(), true, &exitCode));
    EXPECT_EQ(9u, exitCode);
    EXPECT_TRUE(CloseHandle(primary));  // still the caller's

    testutil::TempDir temp;
    const std::wstring record = temp.file(L"explorer.txt");
    HANDLE token = nullptr;
    LogCapture log;
    const DWORD error = process::getExplorerToken(&token);
    // Windows runs the desktop's explorer.exe from the Windows folder; Wine
    // runs its own from system32, so under Wine the start must be refused.
    const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    EXPECT_EQ(!wine, token != nullptr) << (wine ? "Wine" : "Windows") << ", error " << error;
    if (token) {
        DWORD session = 0, ownSession = 1, size = 0;
        EXPECT_TRUE(GetTokenInformation(token, TokenSessionId, &session, sizeof(session), &size));
        ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
        EXPECT_EQ(ownSession, session);
        CloseHandle(token);
        EXPECT_EQ(0, process::createWithExplorerToken(childExe(), (L"record=" + record).c_str(), std::wstring(),
                                                      true));
        EXPECT_TRUE(testutil::fileExists(record));
    } else {
        // No explorer.exe in the Windows folder in this session (Wine runs its
        // own from system32): the start is refused and nothing runs.
        EXPECT_EQ(static_cast<DWORD>(ERROR_NOT_FOUND), error);
        EXPECT_EQ(1u, log.count(L"no explorer in session"));
        EXPECT_EQ(-1,
                  process::createWithExplorerToken(childExe(), (L"record=" + record).c_str(), std::wstring(),
                                                   true));
        testutil::pumpFor(300);
        EXPECT_FALSE(testutil::fileExists(record));
    }
}

TEST(AdditionsSystem, Win8RuleTable)
{
    const struct {
        DWORD major, minor;
        bool win8;
    } cases[] = {{5, 2, false}, {6, 1, false}, {6, 2, true}, {6, 3, true}, {10, 0, true}};
    for (const auto& c : cases)
        EXPECT_EQ(c.win8, utility::usystem::isWin8Version(c.major, c.minor)) << c.major << c.minor;
}

TEST(AdditionsSystem, SingleInstanceMutexSeenFromSecondProcess)
{
    const std::wstring name = uniqueName(L"Local\\zul_additions_mutex");
    const std::wstring peer = testutil::exeDir() + L"zul_additions_peer.exe";
    DWORD exitCode = 99;
    HANDLE first = utility::usystem::createSingleInstanceMutex(name, true, true);
    ASSERT_NE(nullptr, first);
    // In this process: the exclusive request is refused, a shared one is not.
    EXPECT_EQ(nullptr, utility::usystem::createSingleInstanceMutex(name, false, true));
    HANDLE shared = utility::usystem::createSingleInstanceMutex(name, false, false);
    EXPECT_NE(nullptr, shared);
    CloseHandle(shared);
    process::execute(peer, L"mutex " + name, false, 20000, exitCode);
    EXPECT_EQ(0u, exitCode);  // the second instance backs off
    CloseHandle(first);
    process::execute(peer, L"mutex " + name, false, 20000, exitCode);
    EXPECT_EQ(1u, exitCode);  // gone with the first instance
}

TEST(AdditionsSystem, BringToFrontRestoresAMinimizedWindow)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_MINIMIZE);
    utility::usystem::bringToFront(window);
    testutil::pumpFor(50);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(window);
    utility::usystem::bringToFront(window);  // a dead window is ignored
}

TEST(AdditionsRegKeyEx, RoundTripsAndFailures)
{
    const std::wstring subKey = uniqueName(L"Software\\ZulAdditionsTest");
    const std::wstring folder = L"D:\\Games\\ZUL \x4E2D\x6587\\";
    const std::wstring longest(utility::RegKeyEx::kReadBufferBytes / 2 - 1, L'x');
    utility::RegKeyEx key;
    ASSERT_EQ(ERROR_SUCCESS, key.RegCreate(HKEY_CURRENT_USER, subKey));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"pathDir", folder));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"empty", L""));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"longest", longest));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"tooLong", longest + L"y"));
    DWORD bytes = 0;
    RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), L"empty", RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
    EXPECT_EQ(2u, bytes);  // the terminator alone
    key.close();

    utility::RegKeyEx reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.RegRegOpen(HKEY_CURRENT_USER, subKey, KEY_READ));
    std::wstring value = L"stale";
    EXPECT_EQ(ERROR_SUCCESS, reader.RegRead(L"pathDir", value));
    EXPECT_EQ(folder, value);
    EXPECT_EQ(ERROR_SUCCESS, reader.RegRead(L"longest", value));
    EXPECT_EQ(longest, value);
    EXPECT_EQ(ERROR_SUCCESS, reader.RegRead(L"empty", value));
    EXPECT_EQ(L"", value);
    LogCapture log;
    value = L"stale";
    EXPECT_EQ(ERROR_MORE_DATA, reader.RegRead(L"tooLong", value));
    EXPECT_EQ(L"", value);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, reader.RegRead(L"missing", value));
    EXPECT_NE(ERROR_SUCCESS, reader.RegWrite(L"pathDir", L"x"));  // a read-only key
    RegDeleteTreeW(HKEY_CURRENT_USER, subKey.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, subKey.c_str());

    utility::RegKeyEx none;
    EXPECT_NE(ERROR_SUCCESS, none.RegRead(L"Language", value));
    EXPECT_NE(ERROR_SUCCESS, none.RegWrite(L"Language", L"en"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, none.RegRegOpen(HKEY_CURRENT_USER, subKey, KEY_READ));
    EXPECT_EQ(6u, log.lines().size());  // one line a failure
}
