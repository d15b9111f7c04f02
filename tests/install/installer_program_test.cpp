// zulinst.exe as the launcher's updater and the publisher's scripts run it:
// unattended into a fresh prefix, under a renamed file, as a second
// instance, with a damaged payload, and as the updater of an installation.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "common/ui_driver.h"
#include "install/kxspace_model.h"
#include "install_test_util.h"
#include "installer_run.h"

namespace {

using insttest::logged;

// A build path ("/work/.../zulplay.exe") as Wine names it.
std::wstring fromBuildPath(const char* path)
{
    std::wstring windowsPath = L"Z:" + testutil::widen(path);
    for (wchar_t& c : windowsPath)
        c = c == L'/' ? L'\\' : c;
    return windowsPath;
}

class InstallerProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        insttest::removeInstallTraces();
        DeleteFileW(insttest::installerLogPath().c_str());
        installPath = temp.path() + L"Games\\ZUL\\";
    }
    void TearDown() override
    {
        insttest::removeInstallTraces();
        CoUninitialize();
    }

    // The launcher was started from the install folder with "from=install".
    void expectLauncherStarted()
    {
        EXPECT_EQ(std::vector<std::wstring>{L"\"" + installPath + L"zulplay.exe\" from=install"},
                  insttest::waitForRecord(installPath + L"zulplay.cmdline.txt"));
    }

    testutil::TempDir temp;
    std::wstring installPath;
};

TEST_F(InstallerProgramTest, UnattendedRunInstallsRegistersAndStartsTheLauncherUnseen)
{
    insttest::InstallerCopy installer(insttest::testInstallerExe());
    ASSERT_TRUE(installer.made());
    const std::wstring commandLine = L"from=install|path=" + temp.path() + L"Games";

    const insttest::RunResult run = insttest::runInstaller(installer.exe(), commandLine);
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_FALSE(run.windowShown);

    insttest::expectInstalledBy(installer.exe(), installPath);
    insttest::expectFirewallCommand(installer.system(), installPath + L"zulplay.exe");
    expectLauncherStarted();
    // The folder it made gets a Program Files folder's permissions, not those
    // of the folder above (programFilesSecurity(); Wine keeps no access lists
    // on files to read back).
    EXPECT_EQ(1, logged(installPath + L" protected"));

    // The log tells the run from its first line to its end.
    const std::wstring region = KXSpaceModel::regionFromUiLanguage(GetUserDefaultUILanguage());
    for (const std::wstring& line : std::vector<std::wstring>{
             L"*******************kxspace install start *********************", L"name is zulinst.exe",
             L"installpath:" + installPath + L" language " + region + L" open:", L"shareduid: package:",
             L"player, create root window...", L"init tray icon", L"kill progress",
             L"pathToReg installPath " + installPath, L"register firewall end 1", L"kxspace install end, exit code 1"})
        EXPECT_EQ(1, logged(line)) << testutil::narrow(line);
    EXPECT_EQ(2, logged(L"cmd:" + commandLine));  // the start-up's and the model's
    EXPECT_EQ(0, logged(L"show root window"));
    // The fonts of the resources are unpacked for every region.
    EXPECT_TRUE(testutil::fileExists(insttest::shellFolder(CSIDL_APPDATA) + L"\\zulplay\\fonts\\NanumGothic.otf"));
}

TEST_F(InstallerProgramTest, RenamedCopyTakesItsRegionLanguageAndIdsFromItsName)
{
    const std::wstring name = L"pkxspace_tw_12345_u1_pkg1_share7.exe";
    insttest::InstallerCopy installer(insttest::testInstallerExe(), name);
    ASSERT_TRUE(installer.made());
    // A package token starts the launcher and closes even without "from".
    const insttest::RunResult run = insttest::runInstaller(installer.exe(),
                                                           L"from=install_silent|path=" + temp.path() + L"Games");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_FALSE(run.windowShown);

    insttest::expectRegistered(installPath, L"tw", L"zh_TW");
    expectLauncherStarted();
    EXPECT_EQ(1, logged(L"name is " + name));
    EXPECT_EQ(1, logged(L"installpath:" + installPath + L" language tw open:12345"));
    EXPECT_EQ(1, logged(L"shareduid:u1 package:pkg1"));
    // The tw profile's private font is added from the unpacked fonts.
    EXPECT_EQ(1, logged(L"load Noto Sans fonts ret:", true));
    EXPECT_EQ(0, logged(L"load Noto Sans fonts ret:0", true));
}

// In cmd.exe and PowerShell "|" is a pipe: a person passes the command line in
// quotes, and the quotes reach the program. Both forms install unattended
// into a folder whose name has a space.
TEST_F(InstallerProgramTest, CommandLineInQuotesAsAShellPassesIt)
{
    insttest::InstallerCopy installer(insttest::testInstallerExe());
    ASSERT_TRUE(installer.made());
    const std::wstring whole = temp.path() + L"Bar Games";
    const std::wstring item = temp.path() + L"Other Games";
    const std::pair<std::wstring, std::wstring> runs[] = {
        {whole, L"\"from=install|path=" + whole + L"\""},    // the whole line in quotes
        {item, L"from=install| \"path=" + item + L"\\\" "},  // one item in quotes
    };
    for (const auto& folderAndLine : runs) {
        SCOPED_TRACE(testutil::narrow(folderAndLine.second));
        insttest::removeInstallTraces();
        installPath = folderAndLine.first + L"\\ZUL\\";
        const insttest::RunResult run = insttest::runInstaller(installer.exe(), folderAndLine.second);
        ASSERT_TRUE(run.ended);
        EXPECT_EQ(1u, run.exitCode);
        EXPECT_FALSE(run.windowShown);
        expectLauncherStarted();
        EXPECT_EQ(1, logged(L"installpath:" + installPath + L" language ", true));
    }
}

// No window can be made (no display): the installer says why, keeps its log
// and ends with its code, having installed nothing.
TEST_F(InstallerProgramTest, WithoutADisplayEndsWithItsCodeAndItsLog)
{
    if (testutil::hasDisplay())
        GTEST_SKIP() << "runs in the no-display entry of this test";
    insttest::InstallerCopy installer(insttest::testInstallerExe());
    ASSERT_TRUE(installer.made());
    const insttest::RunResult run = insttest::runInstaller(installer.exe(),
                                                           L"from=install|path=" + temp.path() + L"Games");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(static_cast<DWORD>(-1), run.exitCode);
    EXPECT_EQ(1, logged(L"main window not created lastError = ", true));
    EXPECT_EQ(1, logged(L"kxspace install end, exit code -1"));
    EXPECT_FALSE(testutil::dirExists(installPath));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));
}

TEST_F(InstallerProgramTest, SecondInstanceExitsAtOnceAndLogsIt)
{
    insttest::InstallerCopy installer(insttest::testInstallerExe());
    ASSERT_TRUE(installer.made());
    uidriver::Program first(installer.exe(), L"path=" + temp.path() + L"Games");
    ASSERT_TRUE(uidriver::waitForWindow(L"KXZulMainFrame", first.pid(), 20000) != nullptr);

    const DWORD start = GetTickCount();
    const insttest::RunResult second = insttest::runInstaller(installer.exe(), L"from=install", 20000);
    ASSERT_TRUE(second.ended);
    EXPECT_EQ(0u, second.exitCode);
    EXPECT_FALSE(second.windowShown);
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(1, logged(L"install exist"));
    EXPECT_EQ(2, logged(L"*******************kxspace install start *********************"));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));

    // The first one runs on and closes as asked.
    HWND window = uidriver::findWindow(L"KXZulMainFrame", first.pid());
    ASSERT_TRUE(window != nullptr);
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 0;
    EXPECT_TRUE(first.waitForExit(20000, &exitCode));
    EXPECT_EQ(1u, exitCode);
    EXPECT_EQ(1, logged(L"install exist"));  // not overwritten by the first one's last lines
}

TEST_F(InstallerProgramTest, DamagedPayloadFailsWithItsCodeAndRegistersNothing)
{
    insttest::InstallerCopy installer(insttest::corruptInstallerExe());
    ASSERT_TRUE(installer.made());
    // Unattended: the hidden run closes on the failure and says so.
    insttest::RunResult run = insttest::runInstaller(installer.exe(), L"from=install|path=" + temp.path() + L"Games");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(static_cast<DWORD>(kInstallExtractFailed), run.exitCode);
    EXPECT_FALSE(run.windowShown);
    EXPECT_EQ(1, logged(L"extract files error ", true));
    EXPECT_EQ(1, logged(L"kxspace install end, exit code 10004"));

    // The updater's silent mode closes by itself as well: no failure page
    // waits for the user.
    run = insttest::runInstaller(installer.exe(), L"from=update|upgrade=2|path=" + temp.path() + L"Games");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(static_cast<DWORD>(kInstallExtractFailed), run.exitCode);

    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_LOCAL_MACHINE, insttest::kUninstallKey));
    std::wstring runValue;
    EXPECT_FALSE(insttest::readRegString(HKEY_CURRENT_USER, insttest::kRunKey, L"ZUL", runValue));
    for (const std::wstring& link : insttest::shortcutPaths())
        EXPECT_FALSE(testutil::fileExists(link)) << testutil::narrow(link);
    EXPECT_FALSE(testutil::fileExists(installPath + L"zulplay.cmdline.txt"));
}

TEST_F(InstallerProgramTest, UpdaterRunInstallsOverTheLauncherFolderAsGiven)
{
    // The launcher's folder has no product folder of its own name.
    installPath = temp.path() + L"Apps\\Zul Player\\";
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Apps").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(installPath.c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(installPath + L"zulplay.exe", "old launcher"));
    insttest::InstallerCopy installer(insttest::testInstallerExe());
    ASSERT_TRUE(installer.made());

    const insttest::RunResult run =
        insttest::runInstaller(installer.exe(), L"from=update|path=" + installPath.substr(0, installPath.size() - 1));
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_TRUE(run.windowShown);  // the updater is seen
    EXPECT_NE("old launcher", testutil::readFile(installPath + L"zulplay.exe"));
    EXPECT_FALSE(testutil::dirExists(installPath + L"ZUL"));
    std::wstring installDir;
    EXPECT_TRUE(insttest::readRegString(HKEY_CURRENT_USER, insttest::kProductKey, L"InstallDir", installDir));
    EXPECT_EQ(installPath, installDir);
    expectLauncherStarted();
    // A folder that was there keeps its own permissions.
    EXPECT_EQ(0, logged(installPath + L" protected"));
}

// The installer runs with administrator rights from the user's Downloads
// folder: programs planted beside it under the system tools' names never run,
// nor is a DLL planted there loaded, and the installation still completes.
TEST_F(InstallerProgramTest, ProgramsAndDllsPlantedBesideItAreNeverUsed)
{
    insttest::InstallerCopy installer(insttest::testInstallerExe());
    ASSERT_TRUE(installer.made());
    for (const wchar_t* tool : {L"taskkill.exe", L"powershell.exe", L"cmd.exe"})
        ASSERT_TRUE(
            CopyFileW((testutil::exeDir() + L"powershell.exe").c_str(), (installer.folder() + tool).c_str(), FALSE));
    // The window loads uxtheme.dll by name once it runs. Wine prefers its own
    // copy of a system DLL; told otherwise for this program, it takes the
    // first copy in the search path, as Windows does.
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"..\\planted\\msimg32.dll").c_str(),
                          (installer.folder() + L"uxtheme.dll").c_str(), FALSE));
    const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\zulinst.exe\\DllOverrides";
    ASSERT_TRUE(insttest::writeRegString(HKEY_CURRENT_USER, kOverrides, L"uxtheme", L"native,builtin"));

    const insttest::RunResult run = insttest::runInstaller(installer.exe(),
                                                           L"from=install|path=" + temp.path() + L"Games");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\zulinst.exe");
    ASSERT_TRUE(run.ended);
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_EQ(1, logged(L"kill progress"));
    insttest::expectFirewallCommand(installer.system(), installPath + L"zulplay.exe");
    expectLauncherStarted();
    for (const wchar_t* trace :
         {L"taskkill.cmdline.txt", L"powershell.cmdline.txt", L"cmd.cmdline.txt", L"uxtheme.dll.loaded"})
        EXPECT_FALSE(testutil::fileExists(installer.folder() + trace)) << testutil::narrow(trace);
}

TEST(InstallerPayloadTest, CarriesTheBuiltLauncherAndUninstaller)
{
    HMODULE image = LoadLibraryExW(fromBuildPath(ZUL_PRODUCT_INSTALLER).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(image != nullptr);
    const insttest::PayloadItems items = insttest::payloadItems(image);
    FreeLibrary(image);
    const struct {
        const wchar_t* name;
        std::wstring source;
    } programs[] = {{L"zulplay.exe", fromBuildPath(ZUL_PAYLOAD_LAUNCHER)},
                    {L"zulplayuninst.exe", fromBuildPath(ZUL_PAYLOAD_UNINSTALLER)}};
    for (const auto& program : programs) {
        const std::string built = testutil::readFile(program.source);
        ASSERT_FALSE(built.empty()) << testutil::narrow(program.source);
        bool carried = false;
        for (const auto& item : items)
            carried = carried || (item.first == program.name && item.second == built);
        EXPECT_TRUE(carried) << testutil::narrow(program.name);
    }
}

}  // namespace
