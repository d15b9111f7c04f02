#include "stand_in_desktop.h"

#include <gtest/gtest.h>

#include "foundation/process.h"
#include "foundation/usystem.h"

namespace testutil {

namespace {

std::wstring fullPath(const std::wstring& path)
{
    wchar_t full[MAX_PATH] = {0};
    GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

}  // namespace

StandInDesktop::StandInDesktop(const std::wstring& recorderExe)
    : windowsVariable_(L"ZUL_TEST_WINDOWS_DIR", folder_.file(L"windows\\")),
      systemVariable_(L"ZUL_TEST_SYSTEM_DIR", folder_.file(L"system32\\"))
{
    CreateDirectoryW(windows().c_str(), nullptr);
    CreateDirectoryW(system().c_str(), nullptr);
    rundll_ = CopyFileW(recorderExe.c_str(), (system() + L"rundll32.exe").c_str(), FALSE) != FALSE;
    if (CopyFileW(fullPath(exeDir() + L"..\\zul_test_child.exe").c_str(), (windows() + L"explorer.exe").c_str(), FALSE))
        explorer_ = utility::process::create(windows() + L"explorer.exe", L"sleep=600000", false);
}

StandInDesktop::~StandInDesktop()
{
    if (!explorer_)
        return;
    TerminateProcess(explorer_, 0);
    WaitForSingleObject(explorer_, 5000);
    CloseHandle(explorer_);
}

bool StandInDesktop::running() const
{
    return rundll_ && explorer_ && WaitForSingleObject(explorer_, 0) == WAIT_TIMEOUT;
}

std::vector<std::wstring> StandInDesktop::rundllStarts(size_t count, DWORD timeoutMs) const
{
    const std::wstring record = system() + L"rundll32.cmdline.txt";
    pumpUntil([&] { return readLines(record).size() >= count; }, timeoutMs);
    return readLines(record);
}

SeenAsWindows8::SeenAsWindows8(const std::wstring& exeName) : key_(L"Software\\Wine\\AppDefaults\\" + exeName)
{
    const wchar_t version[] = L"win8";
    made_ = RegSetKeyValueW(HKEY_CURRENT_USER, key_.c_str(), L"Version", REG_SZ, version, sizeof(version)) ==
            ERROR_SUCCESS;
}

SeenAsWindows8::~SeenAsWindows8()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
}

bool runsHereElseAsWindows8()
{
    if (utility::usystem::isWin8OS())
        return true;
    if (GetEnvironmentVariableW(L"ZUL_TEST_AS_WINDOWS8", nullptr, 0) > 0) {
        ADD_FAILURE() << "the second run does not see Windows 8 either";
        return false;
    }
    wchar_t self[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring line = L"\"" + std::wstring(self) + L"\" --gtest_filter=" +
                        widen(std::string(test->test_suite_name()) + "." + test->name());
    DWORD code = 99;
    {
        SeenAsWindows8 windows8(wcsrchr(self, L'\\') + 1);
        EXPECT_TRUE(windows8.made());
        ScopedEnvironmentVariable secondRun(L"ZUL_TEST_AS_WINDOWS8", L"1");
        // The second run writes to this run's output.
        STARTUPINFOW startup = {sizeof(startup)};
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(self, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
            WaitForSingleObject(info.hProcess, 120000);
            GetExitCodeProcess(info.hProcess, &code);
            CloseHandle(info.hProcess);
            CloseHandle(info.hThread);
        }
    }
    EXPECT_EQ(0u, code) << "the case failed in the run that sees Windows 8";
    return false;
}

}  // namespace testutil
