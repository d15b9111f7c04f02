// zulplayuninst.exe as its user runs it, on a real installation: silently
// with "--playeruninstall", and through its window with real input; and the
// survey form it opens.
#include <gtest/gtest.h>

#include <cstdio>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <vector>

#include "common/stand_in_desktop.h"
#include "common/test_util.h"
#include "common/ui_driver.h"
#include "foundation/region_profile.h"
#include "install/install_traces.h"
#include "installation.h"

namespace {

const wchar_t kFrameClass[] = L"KXSpaceMainFrame";

bool shown(const uidriver::ControlInfo& c) { return c.found && c.visible; }

// How many lines of the uninstaller's log say exactly this (or begin with it).
int logged(const std::wstring& message, bool prefix = false)
{
    int count = 0;
    for (const std::wstring& line : insttest::uninstallerLogMessages())
        count += prefix ? line.compare(0, message.size(), message) == 0 : line == message;
    return count;
}

// The processes that the process started and that still run.
std::vector<HANDLE> childProcesses(DWORD parent)
{
    std::vector<HANDLE> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return children;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        HANDLE child = entry.th32ParentProcessID == parent ? OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)
                                                           : nullptr;
        if (child != nullptr)
            children.push_back(child);
    }
    CloseHandle(snapshot);
    return children;
}

// Waits until the path is gone (the uninstaller deletes itself a moment after it ended).
bool goneWithin(const std::wstring& path, DWORD timeoutMs)
{
    return testutil::pumpUntil([&] { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; }, timeoutMs);
}

class UninstallerProgramTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        insttest::removeInstallTraces();
        DeleteFileW(insttest::uninstallerLogPath().c_str());
        folder_ = temp_.path() + L"Games\\ZUL\\";
    }
    void TearDown() override
    {
        if (launcher_ != nullptr) {
            TerminateProcess(launcher_, 0);
            CloseHandle(launcher_);
        }
        insttest::removeInstallTraces();
        CoUninitialize();
    }

    // A complete installation with its launcher running.
    void install()
    {
        ASSERT_TRUE(insttest::installWithInstallJob(folder_));
        ASSERT_EQ(insttest::installationTraces(folder_).size(), insttest::kInstallationTraceCount);
        launcher_ = insttest::startLauncherStandIn(folder_);
        ASSERT_NE(launcher_, nullptr);
    }

    // Everything of the installation is gone, the uninstaller and its folder
    // a few seconds after it ended; the Run value stays.
    void expectUninstalled()
    {
        EXPECT_EQ(WaitForSingleObject(launcher_, 10000), WAIT_OBJECT_0) << "the launcher was not stopped";
        EXPECT_TRUE(goneWithin(folder_ + L"zulplayuninst.exe", 20000));
        EXPECT_TRUE(goneWithin(folder_, 10000));
        for (const std::wstring& trace : insttest::installationTraces(folder_))
            ADD_FAILURE() << "left behind: " << testutil::narrow(trace);
        std::wstring run;
        EXPECT_TRUE(insttest::readRegString(HKEY_CURRENT_USER, insttest::kRunKey, L"ZUL", run));
        EXPECT_NE(run.find(folder_ + L"zulplay.exe"), std::wstring::npos);
        EXPECT_EQ(logged(L"kill exe"), 1);
        for (const wchar_t* line : {L"kill exe end", L"remote files", L"DeleteShortcutNew end"})
            EXPECT_EQ(logged(line), 1) << testutil::narrow(line);
        if (HasFailure())
            for (const std::wstring& line : insttest::uninstallerLogMessages())
                std::printf("  uninstaller log: %s\n", testutil::narrow(line).c_str());
    }

    std::wstring uninstaller() const { return folder_ + L"zulplayuninst.exe"; }

    testutil::TempDir temp_;
    std::wstring folder_;
    HANDLE launcher_ = nullptr;
};

TEST_F(UninstallerProgramTest, SilentRunRemovesTheInstallationWithoutEverShowingAWindow)
{
    ASSERT_NO_FATAL_FAILURE(install());
    uidriver::Program program(uninstaller(), L"--playeruninstall");
    ASSERT_TRUE(program.started());
    bool created = false;
    int sightings = 0;
    DWORD exitCode = 0;
    for (DWORD waited = 0; !program.waitForExit(20, &exitCode) && waited < 60000; waited += 20) {
        created = created || uidriver::findWindow(kFrameClass, program.pid(), false) != nullptr;
        sightings += uidriver::findWindow(kFrameClass, program.pid(), true) != nullptr;
    }
    ASSERT_TRUE(program.waitForExit(0, &exitCode)) << "no exit within a minute";
    EXPECT_EQ(exitCode, 1u);
    EXPECT_TRUE(created) << "the hidden window was never made";
    EXPECT_EQ(sightings, 0) << "a window was shown";
    expectUninstalled();

    EXPECT_EQ(logged(L"*******************zul uninstall start *********************"), 1);
    EXPECT_EQ(logged(L"cmdLine: --playeruninstall"), 1);
    EXPECT_EQ(logged(L"load Noto Sans fonts ret:1  error:", true), 1);
    EXPECT_EQ(logged(L"show root window"), 1);
}

// No window can be made (no display): the uninstaller says why, keeps its
// log and ends without having removed anything.
TEST_F(UninstallerProgramTest, WithoutADisplayRemovesNothingAndEnds)
{
    if (testutil::hasDisplay())
        GTEST_SKIP() << "runs in the no-display entry of this test";
    ASSERT_NO_FATAL_FAILURE(install());
    uidriver::Program program(uninstaller(), L"--playeruninstall");
    DWORD exitCode = 0;
    ASSERT_TRUE(program.waitForExit(60000, &exitCode)) << "no exit within a minute";
    EXPECT_EQ(exitCode, 1u);
    EXPECT_EQ(logged(L"main window not created lastError = ", true), 1);
    EXPECT_EQ(logged(L"zul uninstall end, delete self 0"), 1);
    EXPECT_EQ(logged(L"kill exe"), 0);
    EXPECT_EQ(insttest::installationTraces(folder_).size(), insttest::kInstallationTraceCount);
    EXPECT_EQ(WaitForSingleObject(launcher_, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the launcher was stopped";
}

TEST_F(UninstallerProgramTest, NotYetRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(install());
    uidriver::Program program(uninstaller(), L"");
    HWND window = uidriver::waitForWindow(kFrameClass, program.pid(), 20000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(uidriver::waitForControl(window, L"callServicerBtn", shown, 5000).text, L"Not yet");
    EXPECT_EQ(uidriver::queryControl(window, L"sureBtn").text, L"Uninstall");
    uidriver::screenshot(window, L"uninstaller_confirm_page");

    ASSERT_TRUE(uidriver::clickControl(window, L"callServicerBtn"));
    DWORD exitCode = 0;
    ASSERT_TRUE(program.waitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_EQ(logged(L"zul uninstall end, delete self 0"), 1);
    EXPECT_EQ(logged(L"kill exe"), 0);
    EXPECT_EQ(insttest::installationTraces(folder_).size(), insttest::kInstallationTraceCount);
    EXPECT_TRUE(testutil::fileExists(uninstaller()));
    EXPECT_EQ(WaitForSingleObject(launcher_, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "the launcher was stopped";
}

TEST_F(UninstallerProgramTest, UninstallRunsOnceIgnoresCloseUntilDoneAndConfirmExits)
{
    ASSERT_NO_FATAL_FAILURE(install());
    uidriver::Program program(uninstaller(), L"");
    HWND window = uidriver::waitForWindow(kFrameClass, program.pid(), 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(shown(uidriver::waitForControl(window, L"sureBtn", shown, 5000)));

    // A double click: the first click starts the job and turns the page.
    ASSERT_TRUE(uidriver::clickControl(window, L"sureBtn", 0, 2));
    ASSERT_TRUE(shown(uidriver::waitForControl(window, L"updateprogress", shown, 5000)));
    // Close while the job runs: Escape, and the title bar's close button
    // (the first "cancelBtn"), which is disabled meanwhile.
    uidriver::pressKey(VK_ESCAPE);
    const uidriver::ControlInfo titleClose = uidriver::queryControl(window, L"cancelBtn", 0);
    EXPECT_FALSE(titleClose.enabled);
    uidriver::clickAt(titleClose.center());
    Sleep(300);
    uidriver::screenshot(window, L"uninstaller_progress_page");

    // The window survives to the end page; its Confirm is the second "cancelBtn".
    const uidriver::ControlInfo confirm = uidriver::waitForControl(window, L"cancelBtn", shown, 30000, 1);
    ASSERT_TRUE(shown(confirm)) << "the window did not reach its end page";
    EXPECT_EQ(confirm.text, L"Confirm");
    EXPECT_TRUE(uidriver::queryControl(window, L"cancelBtn", 0).enabled);
    EXPECT_GE(logged(L"close ignored while the uninstall runs"), 1);
    uidriver::screenshot(window, L"uninstaller_completed_page");

    ASSERT_TRUE(uidriver::clickControl(window, L"cancelBtn", 1));
    DWORD exitCode = 0;
    ASSERT_TRUE(program.waitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    expectUninstalled();
}

// Even registered as the install folder ("InstallDir" lies in the user's own
// hive), the Downloads folder keeps everything in it.
TEST_F(UninstallerProgramTest, ACopyInTheRegisteredDownloadsFolderRemovesNothingThere)
{
    PWSTR known = nullptr;
    ASSERT_HRESULT_SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Downloads, KF_FLAG_CREATE, nullptr, &known));
    const std::wstring downloads = std::wstring(known) + L"\\";
    CoTaskMemFree(known);
    ASSERT_TRUE(insttest::writeRegString(HKEY_CURRENT_USER, insttest::kProductKey, L"InstallDir", downloads));
    const std::wstring files[] = {downloads + L"zulplayuninst.exe", downloads + L"zulplay.exe",
                                  downloads + L"holiday.jpg"};
    ASSERT_TRUE(
        CopyFileW((testutil::exeDir() + L"..\\..\\uninstall\\zulplayuninst.exe").c_str(), files[0].c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), files[1].c_str(), FALSE));
    ASSERT_TRUE(testutil::writeFile(files[2], "a picture"));

    std::vector<HANDLE> children;
    {
        uidriver::Program program(files[0], L"--playeruninstall");
        ASSERT_TRUE(program.waitForExit(60000));
        children = childProcesses(program.pid());
    }
    EXPECT_EQ(logged(L"zul uninstall end, delete self 1"), 1);
    // A delete the uninstaller asked for runs in a command interpreter it
    // started, which waits a moment first: wait until any such child is gone.
    for (HANDLE child : children) {
        EXPECT_EQ(WaitForSingleObject(child, 60000), WAIT_OBJECT_0) << "a program the uninstaller started still runs";
        CloseHandle(child);
    }
    for (const std::wstring& file : files) {
        EXPECT_TRUE(testutil::fileExists(file)) << testutil::narrow(file);
        DeleteFileW(file.c_str());
    }
}

// The uninstaller runs with administrator rights from a folder others may
// write to: programs planted beside it under the system tools' names, and a
// command interpreter named by the user's ComSpec, never run; the uninstall
// still completes, its self-delete included.
TEST_F(UninstallerProgramTest, PlantedSystemToolsAndTheUsersComSpecNeverRun)
{
    ASSERT_NO_FATAL_FAILURE(install());
    testutil::TempDir records, elsewhere;
    const std::wstring standIn = testutil::exeDir() + L"powershell.exe";
    for (const wchar_t* tool : {L"taskkill.exe", L"powershell.exe", L"cmd.exe"})
        ASSERT_TRUE(CopyFileW(standIn.c_str(), (folder_ + tool).c_str(), FALSE)) << testutil::narrow(tool);
    ASSERT_TRUE(CopyFileW(standIn.c_str(), elsewhere.file(L"cmd.exe").c_str(), FALSE));
    {
        // The stand-ins beside it go with the install folder: they record elsewhere.
        testutil::ScopedEnvironmentVariable recordDir(L"ZUL_TEST_RECORD_DIR", records.path());
        testutil::ScopedEnvironmentVariable comspec(L"ComSpec", elsewhere.file(L"cmd.exe"));
        uidriver::Program program(uninstaller(), L"--playeruninstall");
        ASSERT_TRUE(program.waitForExit(60000));
    }
    expectUninstalled();
    for (const wchar_t* record : {L"taskkill.cmdline.txt", L"powershell.cmdline.txt", L"cmd.cmdline.txt"})
        EXPECT_FALSE(testutil::fileExists(records.file(record))) << testutil::narrow(record);
}

// The uninstaller runs elevated. Its survey form (whose button a skin beside
// it adds; the shipped skin has none) opens as the desktop user where it can
// start programs as that user (Windows 8 and later), and the shell opens
// nothing.
TEST_F(UninstallerProgramTest, SurveyFormOpensAsTheDesktopUserNeverThroughTheShell)
{
    const std::wstring copy = temp_.file(L"zulplayuninst.exe");
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"..\\..\\uninstall\\zulplayuninst.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW(temp_.file(L"skin").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(
        temp_.file(L"skin\\uninstallmainframe.xml"),
        "<Window size=\"640,400\"><Container name=\"root\" bkcolor=\"#FFFFFFFF\">"
        "<Button name=\"quickBackBtn\" float=\"true\" pos=\"200,120,440,160\" text=\"Survey\" />"
        "<Button name=\"callServicerBtn\" float=\"true\" pos=\"200,240,440,280\" text=\"Not yet\" />"
        "</Container></Window>"));
    insttest::ShellBrowser browser(temp_.path());
    ASSERT_TRUE(browser.made());
    testutil::SeenAsWindows8 windows8(L"zulplayuninst.exe");
    ASSERT_TRUE(windows8.made());
    testutil::StandInDesktop desktop(testutil::exeDir() + L"powershell.exe");
    ASSERT_TRUE(desktop.running());

    uidriver::Program program(copy, L"");
    HWND window = uidriver::waitForWindow(kFrameClass, program.pid(), 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(uidriver::clickControl(window, L"quickBackBtn"));
    RegionProfile profile;
    loadRegionProfile(L"en", profile);  // the profile without a registered language
    const std::vector<std::wstring> starts = desktop.rundllStarts(1, 20000);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0],
              L"\"" + desktop.system() + L"rundll32.exe\" url.dll,FileProtocolHandler " + profile.surveyForm2);

    ASSERT_TRUE(uidriver::clickControl(window, L"callServicerBtn"));
    DWORD exitCode = 0;
    ASSERT_TRUE(program.waitForExit(15000, &exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_EQ(logged(L"opened as the desktop user: " + profile.surveyForm2), 1);
    EXPECT_EQ(logged(L"opening through the shell: ", true), 0);
    EXPECT_TRUE(browser.opened().empty());
}

// The confirm page a player sees, in each language the uninstaller takes
// from the installation's registry, and in Arabic from a table beside it:
// each kept under build/artifacts/<locale>/.
TEST_F(UninstallerProgramTest, ConfirmPageInEveryLanguage)
{
    ASSERT_NO_FATAL_FAILURE(install());
    const std::wstring table = folder_ + L"multi_language.tsv";
    for (const testutil::ScreenshotLanguage& language : testutil::screenshotLanguages()) {
        SCOPED_TRACE(language.locale);
        const std::wstring region = language.region;
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Norvale\\zul", L"Language", REG_SZ,
                                                 region.c_str(), static_cast<DWORD>((region.size() + 1) * 2)));
        DeleteFileW(table.c_str());
        if (std::string(language.locale) == "ar_IL") {
            ASSERT_TRUE(testutil::writeTableSpeaking(ZUL_UNINSTALLER_LANGUAGE_TABLE, table, "ar_IL"));
        }
        uidriver::Program program(uninstaller(), L"");
        HWND window = uidriver::waitForWindow(kFrameClass, program.pid(), 20000);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(shown(uidriver::waitForControl(window, L"callServicerBtn", shown, 5000)));
        Sleep(300);
        uidriver::screenshot(window, testutil::widen(language.locale) + L"\\uninstaller_confirm_page");
        ASSERT_TRUE(uidriver::clickControl(window, L"callServicerBtn"));
        DWORD exitCode = 0;
        ASSERT_TRUE(program.waitForExit(15000, &exitCode));
        EXPECT_EQ(exitCode, 1u);
    }
    DeleteFileW(table.c_str());
}

}  // namespace
