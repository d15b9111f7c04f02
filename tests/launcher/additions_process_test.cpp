// Process additions: device paths to drive paths, image paths, shell
// execution and starting a program as the desktop user.
#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "additions_test_log.h"
#include "common/test_util.h"
#include "launcher/services/process_ex.h"

using addtest::LogCapture;
using testutil::TempDir;
using utility::process::DosDevice;

namespace {

std::wstring childExe()
{
    wchar_t full[MAX_PATH];
    GetFullPathNameW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), MAX_PATH, full,
                     nullptr);
    return full;
}

std::wstring toDrive(const wchar_t* device, const std::vector<DosDevice>& devices)
{
    std::wstring out = L"<none>";
    if (!utility::process::DosPathToNtPath(device, &out, devices))
        return L"<false>";
    return out;
}

}  // namespace

TEST(AdditionsDosPath, VolumeNamesMatchWholeComponents)
{
    const std::vector<DosDevice> shortFirst = {{L"C:", L"\\Device\\HarddiskVolume1"},
                                               {L"D:", L"\\Device\\HarddiskVolume10"}};
    const std::vector<DosDevice> longFirst = {shortFirst[1], shortFirst[0]};
    for (const std::vector<DosDevice>& devices : {shortFirst, longFirst}) {
        EXPECT_EQ(L"D:\\games\\zulclient.exe",
                  toDrive(L"\\Device\\HarddiskVolume10\\games\\zulclient.exe", devices));
        EXPECT_EQ(L"C:\\games\\zulclient.exe",
                  toDrive(L"\\Device\\HarddiskVolume1\\games\\zulclient.exe", devices));
        EXPECT_EQ(L"C:\\X", toDrive(L"\\device\\HARDDISKVOLUME1\\X", devices));
        EXPECT_EQ(L"C:", toDrive(L"\\Device\\HarddiskVolume1", devices));
        EXPECT_EQ(L"<false>", toDrive(L"\\Device\\HarddiskVolume100\\x", devices));
        EXPECT_EQ(L"<false>", toDrive(L"\\Device\\HarddiskVolume2\\x", devices));
        EXPECT_EQ(L"<false>", toDrive(L"", devices));
    }
    std::wstring out;
    EXPECT_FALSE(utility::process::DosPathToNtPath(nullptr, &out, shortFirst));
    EXPECT_FALSE(utility::process::DosPathToNtPath(L"\\Device\\HarddiskVolume1\\x", nullptr,
                                                   shortFirst));
    EXPECT_FALSE(utility::process::DosPathToNtPath(L"\\Device\\HarddiskVolume1\\x", nullptr));
}

TEST(AdditionsDosPath, RealDeviceOfDriveC)
{
    wchar_t device[MAX_PATH] = {0};
    ASSERT_NE(0u, QueryDosDeviceW(L"C:", device, MAX_PATH));
    std::wstring out;
    ASSERT_TRUE(utility::process::DosPathToNtPath(
        (std::wstring(device) + L"\\windows\\explorer.exe").c_str(), &out));
    EXPECT_EQ(L"C:\\windows\\explorer.exe", out);

    bool sawC = false;
    for (const DosDevice& entry : utility::process::listDosDevices()) {
        EXPECT_NE(L"A:", entry.drive);
        EXPECT_NE(L"B:", entry.drive);
        sawC = sawC || entry.drive == L"C:";
    }
    EXPECT_TRUE(sawC);
}

TEST(AdditionsProcess, ProcessPathOfThisProcess)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp(self, utility::process::GetProcessPath(GetCurrentProcessId()).c_str()))
        << testutil::narrow(utility::process::GetProcessPath(GetCurrentProcessId()));
    EXPECT_EQ(L"", utility::process::GetProcessPath(0xFFFFFFF0u));
}

TEST(AdditionsProcess, ShellExWaitsAndReportsExitCode)
{
    TempDir temp;
    const std::wstring child = childExe();
    ASSERT_TRUE(testutil::fileExists(child)) << testutil::narrow(child);
    const std::wstring record = temp.file(L"record.txt");

    EXPECT_TRUE(utility::process::shellEx(child, L"exit=0 record=" + record, false, false, 20000));
    EXPECT_NE(std::string::npos, testutil::readFile(record).find("exit=0"));
    EXPECT_FALSE(utility::process::shellEx(child, L"exit=7", false, false, 20000));
    {
        LogCapture log;
        EXPECT_FALSE(utility::process::shellEx(child, L"sleep=5000", false, false, 200));
        EXPECT_EQ(1u, log.count(L"shellEx timeout!!!"));
    }
    // Timeout 0: true as soon as the program started.
    const DWORD start = GetTickCount();
    EXPECT_TRUE(utility::process::shellEx(child, L"sleep=3000 exit=5", false, false, 0));
    EXPECT_LT(GetTickCount() - start, 2500u);
    {
        LogCapture log;
        EXPECT_FALSE(utility::process::shellEx(temp.file(L"missing.exe"), L"", false, false, 0));
        EXPECT_EQ(1u, log.count(L"shellEx failed!!! lastError = "));
    }
}

TEST(AdditionsProcess, ShellStartsTheProgram)
{
    TempDir temp;
    const std::wstring record = temp.file(L"shell.txt");
    {
        LogCapture log;
        EXPECT_TRUE(utility::process::shell(childExe(), L"record=" + record, false, false));
        EXPECT_EQ(1u, log.count(L"shell filename = ["));
    }
    EXPECT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(record); }, 20000));
    EXPECT_FALSE(utility::process::shell(temp.file(L"missing.exe"), L"", false, false));
}

TEST(AdditionsProcess, TokenCommandLineIsBoundedByItsBuffer)
{
    std::wstring line;
    EXPECT_TRUE(utility::process::buildTokenCommandLine(L"C:\\a b\\zulclient.exe", nullptr, line));
    EXPECT_EQ(L"\"C:\\a b\\zulclient.exe\"", line);
    EXPECT_TRUE(utility::process::buildTokenCommandLine(L"C:\\z.exe", L"", line));
    EXPECT_EQ(L"\"C:\\z.exe\"", line);
    EXPECT_TRUE(utility::process::buildTokenCommandLine(L"C:\\z.exe", L"show=0|x=1", line));
    EXPECT_EQ(L"\"C:\\z.exe\" show=0|x=1", line);

    // 259 characters fit with the terminator, 260 do not.
    const std::wstring file = L"C:\\z.exe";  // quoted: 10 characters, then a blank
    EXPECT_TRUE(utility::process::buildTokenCommandLine(file, std::wstring(248, L'p').c_str(), line));
    EXPECT_EQ(259u, line.size());
    EXPECT_FALSE(
        utility::process::buildTokenCommandLine(file, std::wstring(249, L'p').c_str(), line));

    LogCapture log;
    EXPECT_EQ(-1, utility::process::createWithExplorerToken(file, std::wstring(600, L'p').c_str(),
                                                            true));
    EXPECT_EQ(1u, log.count(L"command line too long"));
}

TEST(AdditionsProcess, StartsWithAGivenToken)
{
    HANDLE own = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &own));
    HANDLE primary = nullptr;
    ASSERT_TRUE(DuplicateTokenEx(own, 0xF01FF, nullptr, SecurityImpersonation, TokenPrimary,
                                 &primary));
    CloseHandle(own);

    TempDir temp;
    const std::wstring record = temp.file(L"token.txt");
    DWORD exitCode = 0;
    EXPECT_EQ(0, utility::process::createWithToken(primary, childExe(),
                                                   (L"exit=9 record=" + record).c_str(), true,
                                                   &exitCode));
    EXPECT_EQ(9u, exitCode);
    EXPECT_NE(std::string::npos, testutil::readFile(record).find("exit=9"));
    // The token still belongs to the caller.
    TOKEN_TYPE type = TokenImpersonation;
    DWORD size = 0;
    EXPECT_TRUE(GetTokenInformation(primary, TokenType, &type, sizeof(type), &size));
    EXPECT_EQ(TokenPrimary, type);
    CloseHandle(primary);

    EXPECT_EQ(-1, utility::process::createWithToken(nullptr, childExe(), L"exit=0", true));
}

TEST(AdditionsProcess, ExplorerTokenOfOwnSession)
{
    TempDir temp;
    const std::wstring record = temp.file(L"explorer.txt");
    HANDLE token = nullptr;
    const DWORD error = utility::process::getExplorerToken(&token);
    if (token) {
        EXPECT_EQ(0u, error);
        DWORD session = 0, ownSession = 1, size = 0;
        EXPECT_TRUE(GetTokenInformation(token, TokenSessionId, &session, sizeof(session), &size));
        ProcessIdToSessionId(GetCurrentProcessId(), &ownSession);
        EXPECT_EQ(ownSession, session);
        CloseHandle(token);
        DWORD exitCode = 0;
        EXPECT_EQ(0, utility::process::createWithExplorerToken(
                         childExe(), (L"exit=4 record=" + record).c_str(), true, &exitCode));
        EXPECT_EQ(4u, exitCode);
        EXPECT_TRUE(testutil::fileExists(record));
    } else {
        // No explorer.exe in the Windows folder in this session (Wine runs its
        // own from system32): the start is refused and nothing runs.
        std::cout << "[   NOTE   ] no desktop explorer; checking the refusal only\n";
        EXPECT_NE(0u, error);
        EXPECT_EQ(-1, utility::process::createWithExplorerToken(
                          childExe(), (L"record=" + record).c_str(), true));
        testutil::pumpFor(300);
        EXPECT_FALSE(testutil::fileExists(record));
    }
}
