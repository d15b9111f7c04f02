// Process, system and registry additions: shell execution, the
// single-instance mutex across processes, bringing a window to the front,
// RegKeyEx.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
    HWND window = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
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
    reader.close();

    // A DWORD value; values and keys removed, those not there count as removed.
    ASSERT_EQ(ERROR_SUCCESS, key.RegCreate(HKEY_CURRENT_USER, subKey));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWriteDword(L"mode", 11001));
    DWORD mode = 0;
    bytes = sizeof(mode);
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), L"mode", RRF_RT_REG_DWORD, nullptr, &mode, &bytes));
    EXPECT_EQ(11001u, mode);
    for (const wchar_t* name : {L"mode", L"pathDir", L"empty", L"longest", L"tooLong", L"mode"})
        EXPECT_EQ(ERROR_SUCCESS, key.RegRemoveValue(name));
    key.close();
    EXPECT_EQ(ERROR_SUCCESS, utility::RegKeyEx::RegRemoveKey(HKEY_CURRENT_USER, subKey));
    EXPECT_EQ(ERROR_SUCCESS, utility::RegKeyEx::RegRemoveKey(HKEY_CURRENT_USER, subKey));

    utility::RegKeyEx none;
    EXPECT_NE(ERROR_SUCCESS, none.RegRead(L"Language", value));
    EXPECT_NE(ERROR_SUCCESS, none.RegWrite(L"Language", L"en"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, none.RegRegOpen(HKEY_CURRENT_USER, subKey, KEY_READ));
    EXPECT_EQ(6u, log.lines().size());  // one line a failure
}
