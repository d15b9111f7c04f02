// The programs as they ship (build/<arch>-shipped: optimised, stripped, no
// test hooks), run as a user runs them: the installer unattended into a folder
// with blanks, the launcher it starts, a second launcher, then the installed
// uninstaller, silently. The shipped programs must also ignore what only test
// builds read: the control query of the UI driver, ZUL_TEST_HOST and
// ZUL_TEST_SYSTEM_DIR. scripts/env.sh's zul_test_shipped runs this test with
// ZUL_SHIPPED_DIR naming the shipped build folder, under the local test server.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <string>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "install/kxspace_model.h"
#include "install_test_util.h"
#include "launcher_test_util.h"
#include "zul_deployment.h"

namespace {

const wchar_t kInstallerClass[] = L"KXZulMainFrame";
const wchar_t kLauncherClass[] = L"KXZULMainFrame";
const DWORD kWait = 120000;  // programs start slowly under emulated 32-bit Wine

// The shipped build folder as Wine names it, with a trailing backslash; empty when not given.
std::wstring shippedDir()
{
    wchar_t value[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"ZUL_SHIPPED_DIR", value, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return L"";
    std::wstring dir = std::wstring(L"Z:") + value + L"\\";
    for (wchar_t& c : dir)
        c = c == L'/' ? L'\\' : c;
    return dir;
}

bool contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

// The process of the first top-level window of the class; null when none shows within the time.
HANDLE waitForProcessOfWindow(const wchar_t* className, DWORD timeoutMs)
{
    HWND window = uidriver::waitForWindow(className, 0, timeoutMs, false);
    DWORD pid = 0;
    if (window != nullptr)
        GetWindowThreadProcessId(window, &pid);
    return pid != 0 ? OpenProcess(SYNCHRONIZE, FALSE, pid) : nullptr;
}

class ShippedPrograms : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        ASSERT_FALSE(shipped.empty()) << "ZUL_SHIPPED_DIR names no shipped build (scripts/env.sh runs this test)";
        ASSERT_TRUE(testutil::fileExists(installerExe())) << testutil::narrow(installerExe());
        ASSERT_TRUE(server.available()) << "run through tests/tools/with_http_server.sh";
        ASSERT_TRUE(server.reset());
        insttest::removeInstallTraces();
        // What test builds would read: the local server as every host, and
        // recording stand-ins as the system tools.
        SetEnvironmentVariableW(L"ZUL_TEST_HOST", server.url("/f").c_str());
        SetEnvironmentVariableW(L"ZUL_TEST_SYSTEM_DIR", tools.path().c_str());
        ASSERT_TRUE(CreateDirectoryW(tools.file(L"WindowsPowerShell").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(tools.file(L"WindowsPowerShell\\v1.0").c_str(), nullptr));
        for (const wchar_t* tool : {L"taskkill.exe", L"WindowsPowerShell\\v1.0\\powershell.exe"})
            ASSERT_TRUE(CopyFileW(standIn().c_str(), tools.file(tool).c_str(), FALSE)) << testutil::narrow(tool);
    }
    void TearDown() override
    {
        SetEnvironmentVariableW(L"ZUL_TEST_HOST", nullptr);
        SetEnvironmentVariableW(L"ZUL_TEST_SYSTEM_DIR", nullptr);
        insttest::removeInstallTraces();
        CoUninitialize();
    }

    std::wstring installerExe() const { return shipped + L"install\\zulinst.exe"; }
    static std::wstring standIn() { return testutil::exeDir() + L"..\\..\\install\\zul_inst_recorder.exe"; }
    // What the stand-ins for the system tools recorded: nothing, if they never ran.
    bool standInsRan() const
    {
        return testutil::fileExists(tools.file(L"taskkill.cmdline.txt")) ||
               testutil::fileExists(tools.file(L"WindowsPowerShell\\v1.0\\powershell.cmdline.txt"));
    }

    const std::wstring shipped = shippedDir();
    launchertest::TestServer server;
    testutil::TempDir tools;
};

TEST_F(ShippedPrograms, InstallerWindowDoesNotAnswerTheControlQuery)
{
    testutil::TempDir temp;
    // The test build's installer answers the same question: the question itself is right.
    {
        uidriver::Program withHooks(testutil::exeDir() + L"..\\..\\install\\zulinst.exe",
                                    L"path=" + temp.path() + L"Hooked");
        HWND window = uidriver::waitForWindow(kInstallerClass, withHooks.pid(), kWait);
        ASSERT_NE(nullptr, window);
        EXPECT_TRUE(uidriver::waitForControl(
                        window, L"startBtn", [](const uidriver::ControlInfo& c) { return c.found; }, 30000)
                        .found);
    }
    uidriver::Program shippedInstaller(installerExe(), L"path=" + temp.path() + L"Shipped");
    HWND window = uidriver::waitForWindow(kInstallerClass, shippedInstaller.pid(), kWait);
    ASSERT_NE(nullptr, window);
    // The window answers an ordinary message before and after the question:
    // a window that hangs would leave the question unanswered too.
    const auto answers = [window] {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
    };
    ASSERT_TRUE(answers());
    EXPECT_FALSE(uidriver::queryControl(window, L"startBtn").found);
    EXPECT_FALSE(uidriver::queryControl(window, L"protocolOption").found);
    EXPECT_TRUE(answers());
}

TEST_F(ShippedPrograms, InstallLaunchAndUninstallWithoutTestHooks)
{
    testutil::TempDir temp;
    const std::wstring installPath = temp.path() + L"Shipped Games\\ZUL\\";

    // The installer, unattended, from a folder with blanks into another:
    // exit code 1 without a window, its payload in place byte for byte,
    // registered, with its shortcuts.
    const std::wstring setup = temp.file(L"Setup Files\\zulinst.exe");
    ASSERT_TRUE(CreateDirectoryW(temp.file(L"Setup Files").c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(installerExe().c_str(), setup.c_str(), FALSE));
    {
        uidriver::Program installer(setup, L"from=install|path=" + temp.path() + L"Shipped Games");
        DWORD exitCode = 0;
        bool shown = false;
        const DWORD start = GetTickCount();
        while (!installer.waitForExit(20, &exitCode) && GetTickCount() - start < kWait)
            shown = shown || uidriver::findWindow(kInstallerClass, installer.pid()) != nullptr;
        ASSERT_TRUE(installer.waitForExit(0, &exitCode)) << "the installer did not end";
        EXPECT_EQ(1u, exitCode);
        EXPECT_FALSE(shown) << "the unattended installer showed its window";
    }
    insttest::expectInstalledBy(setup, installPath);

    // The launcher it started asks its own configuration host, whatever
    // ZUL_TEST_HOST says: the local server never hears from it.
    HANDLE launcher = waitForProcessOfWindow(kLauncherClass, kWait);
    ASSERT_NE(nullptr, launcher) << "the installer started no launcher";
    const std::wstring log = installPath + L"log\\main.log";
    const std::wstring compiledHost = testutil::widen(ZUL_CONFIG_HOST);
    EXPECT_TRUE(
        testutil::pumpUntil([&] { return contains(testutil::widen(testutil::readFile(log)), compiledHost); }, kWait))
        << "no request to " << ZUL_CONFIG_HOST << " in the launcher's log:\n"
        << testutil::readFile(log);
    EXPECT_EQ(0, server.count("/f/zul/config_sea.data"));
    EXPECT_EQ(0, server.count("/f/zul/update_en.data"));

    // A second launcher hands over to the first and ends.
    {
        uidriver::Program second(installPath + L"zulplay.exe", L"");
        DWORD exitCode = 1;
        EXPECT_TRUE(second.waitForExit(kWait, &exitCode));
        EXPECT_EQ(0u, exitCode);
    }
    EXPECT_TRUE(testutil::pumpUntil(
        [&] { return contains(testutil::widen(testutil::readFile(log)), L"handle ipc topwindow"); }, kWait))
        << testutil::readFile(log);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(launcher, 0)) << "the first launcher ended";

    // The installed uninstaller, silently: the launcher stopped by the
    // system's taskkill, everything of the installation gone.
    {
        uidriver::Program uninstaller(installPath + L"zulplayuninst.exe", L"--playeruninstall");
        DWORD exitCode = 0;
        ASSERT_TRUE(uninstaller.waitForExit(kWait, &exitCode));
        EXPECT_EQ(1u, exitCode);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(launcher, 30000)) << "the launcher was not stopped";
    CloseHandle(launcher);
    // The uninstaller deletes itself and the folder a moment after it ended.
    EXPECT_TRUE(testutil::pumpUntil([&] { return !testutil::dirExists(installPath); }, kWait))
        << testutil::narrow(installPath) << " is still there";
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_LOCAL_MACHINE, insttest::kUninstallKey));
    for (const std::wstring& link : insttest::shortcutPaths())
        EXPECT_FALSE(testutil::fileExists(link)) << testutil::narrow(link);

    // Neither program started a system tool from the folder ZUL_TEST_SYSTEM_DIR names.
    EXPECT_FALSE(standInsRan());
}

}  // namespace
