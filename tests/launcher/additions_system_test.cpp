// System and registry additions: the Windows 8 rule, the single-instance
// mutex across processes, bringing a window to the front, RegKeyEx.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "additions_test_log.h"
#include "common/test_util.h"
#include "foundation/process.h"
#include "launcher/services/reg_key_ex.h"
#include "launcher/services/system_ex.h"

using addtest::LogCapture;

namespace {

std::wstring peerExe() { return testutil::exeDir() + L"zul_additions_peer.exe"; }

// Runs the peer and returns its exit code (-1 when it did not run).
int runPeer(const std::wstring& params)
{
    DWORD exitCode = static_cast<DWORD>(-1);
    utility::process::execute(peerExe(), params, false, 20000, exitCode);
    return static_cast<int>(exitCode);
}

std::wstring uniqueName(const wchar_t* prefix)
{
    wchar_t name[128];
    swprintf(name, 128, L"%s_%lu_%lu", prefix, GetCurrentProcessId(), GetTickCount());
    return name;
}

}  // namespace

TEST(AdditionsSystem, Win8RuleTable)
{
    struct Case {
        DWORD major, minor;
        bool win8;
    } cases[] = {{5, 1, false}, {5, 2, false}, {6, 0, false}, {6, 1, false}, {6, 2, true},
                 {6, 3, true},  {7, 0, true},  {10, 0, true}, {10, 1, true}, {4, 9, false}};
    for (const Case& c : cases)
        EXPECT_EQ(c.win8, utility::usystem::isWin8Version(c.major, c.minor))
            << c.major << "." << c.minor;

    LogCapture log;
    const bool answer = utility::usystem::isWin8OS();
    ASSERT_EQ(1u, log.count(L"isWin8OS major = "));
    DWORD major = 0, minor = 0;
    ASSERT_EQ(2, swscanf(log.lines()[0].c_str(), L"utility::usystem::isWin8OS: isWin8OS major = %lu, minor = %lu",
                         &major, &minor));
    EXPECT_EQ(utility::usystem::isWin8Version(major, minor), answer);
}

TEST(AdditionsSystem, SingleInstanceMutexSeenFromSecondProcess)
{
    ASSERT_TRUE(testutil::fileExists(peerExe()));
    const std::wstring name = uniqueName(L"Local\\zul_additions_mutex");

    HANDLE first = utility::usystem::createSingleInstanceMutex(name, true, true);
    ASSERT_NE(nullptr, first);
    // In this process: the exclusive request is refused, a shared one is not.
    EXPECT_EQ(nullptr, utility::usystem::createSingleInstanceMutex(name, false, true));
    HANDLE shared = utility::usystem::createSingleInstanceMutex(name, false, false);
    EXPECT_NE(nullptr, shared);
    if (shared)
        CloseHandle(shared);

    EXPECT_EQ(0, runPeer(L"mutex " + name));  // the second instance backs off
    CloseHandle(first);
    EXPECT_EQ(1, runPeer(L"mutex " + name));  // gone with the first instance
}

TEST(AdditionsSystem, BringToFrontRestoresAndShows)
{
    HWND window = CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);

    ShowWindow(window, SW_MINIMIZE);
    testutil::pumpFor(50);
    ASSERT_TRUE(IsIconic(window));
    utility::usystem::bringToFront(window);
    testutil::pumpFor(50);
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    ShowWindow(window, SW_HIDE);
    utility::usystem::bringToFront(window);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    DestroyWindow(window);
    utility::usystem::bringToFront(window);  // a dead window is ignored
    utility::usystem::bringToFront(nullptr);
}

class AdditionsRegKeyEx : public testing::Test {
protected:
    void SetUp() override { subKey_ = L"Software\\" + uniqueName(L"ZulAdditionsTest"); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str()); }

    DWORD storedBytes(const std::wstring& name, DWORD& type)
    {
        DWORD bytes = 0;
        type = REG_NONE;
        RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND,
                     &type, nullptr, &bytes);
        return bytes;
    }

    std::wstring subKey_;
};

TEST_F(AdditionsRegKeyEx, RoundTrips)
{
    utility::RegKeyEx key;
    ASSERT_EQ(ERROR_SUCCESS, key.RegCreate(HKEY_CURRENT_USER, subKey_));
    const std::wstring folder = L"D:\\Games\\ZUL \x4E2D\x6587\\";
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"pathDir", folder));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"empty", L""));
    DWORD type = 0;
    EXPECT_EQ(2u, storedBytes(L"empty", type));  // the terminator alone
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ((folder.size() + 1) * 2, storedBytes(L"pathDir", type));

    // The longest value that fits the read buffer with its terminator.
    const std::wstring longest(utility::RegKeyEx::kReadBufferBytes / 2 - 1, L'x');
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"longest", longest));
    EXPECT_EQ(ERROR_SUCCESS, key.RegWrite(L"tooLong", longest + L"y"));
    key.close();

    utility::RegKeyEx reader;
    ASSERT_EQ(ERROR_SUCCESS, reader.RegRegOpen(HKEY_CURRENT_USER, subKey_, KEY_READ));
    std::wstring value = L"stale";
    EXPECT_EQ(ERROR_SUCCESS, reader.RegRead(L"pathDir", value));
    EXPECT_EQ(folder, value);
    EXPECT_EQ(ERROR_SUCCESS, reader.RegRead(L"empty", value));
    EXPECT_EQ(L"", value);
    EXPECT_EQ(ERROR_SUCCESS, reader.RegRead(L"longest", value));
    EXPECT_EQ(longest, value);
    {
        LogCapture log;
        EXPECT_EQ(ERROR_MORE_DATA, reader.RegRead(L"tooLong", value));
        EXPECT_EQ(L"", value);
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, reader.RegRead(L"missing", value));
        EXPECT_EQ(1u, log.count(L"read reg lastError = 234"));  // ERROR_MORE_DATA
        EXPECT_EQ(2u, log.count(L"read reg lastError = "));
        // Read-only key: writing is refused and logged.
        EXPECT_NE(ERROR_SUCCESS, reader.RegWrite(L"pathDir", L"x"));
        EXPECT_EQ(1u, log.count(L"write reg 1 lastError = "));
    }
    DWORD number = 5;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), L"number",
                                             REG_DWORD, &number, sizeof(number)));
    EXPECT_EQ(ERROR_UNSUPPORTED_TYPE, reader.RegRead(L"number", value));
    EXPECT_EQ(L"", value);

    // Creating an existing key opens it with its values.
    utility::RegKeyEx again;
    ASSERT_EQ(ERROR_SUCCESS, again.RegCreate(HKEY_CURRENT_USER, subKey_));
    EXPECT_EQ(ERROR_SUCCESS, again.RegRead(L"pathDir", value));
    EXPECT_EQ(folder, value);
}

TEST_F(AdditionsRegKeyEx, FailuresWithoutKey)
{
    LogCapture log;
    utility::RegKeyEx key;
    std::wstring value;
    EXPECT_NE(ERROR_SUCCESS, key.RegRead(L"Language", value));
    EXPECT_NE(ERROR_SUCCESS, key.RegWrite(L"Language", L"en"));
    EXPECT_EQ(2u, log.count(L"m_hKey is null, query reg = Language"));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.RegRegOpen(HKEY_CURRENT_USER, subKey_, KEY_READ));
    EXPECT_EQ(nullptr, key.handle());
    EXPECT_EQ(1u, log.count(L"open reg = " + subKey_ + L", lastError = 2"));
}
