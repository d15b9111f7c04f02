// The installer's window driven with the real pointer and keyboard: the
// agreement, the folder field's rules, the message boxes, Escape in the
// field, the pages from Start to "Try now", the agreement links, a failed
// installation. Each page and box is kept as a screenshot.
#include <gtest/gtest.h>

#include <objbase.h>

#include <memory>

#include "common/stand_in_desktop.h"
#include "common/ui_driver.h"
#include "install/kxspace_model.h"
#include "install_test_util.h"
#include "installer_run.h"

namespace {

using uidriver::ControlInfo;

const wchar_t kFrameClass[] = L"KXZulMainFrame";
const wchar_t kBoxClass[] = L"MessageBoxWindow";
const DWORD kWait = 20000;  // emulated 32-bit Wine is slow

bool shown(const ControlInfo& c) { return c.found && c.visible; }

class InstallerWindowTest : public testing::Test {
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
        program.reset();
        SetCursorPos(0, 0);  // hovering nothing of the next pointer test's window
        insttest::removeInstallTraces();
        CoUninitialize();
    }

    // Starts a copy of the installer with the folder <temp>\Games and waits
    // for its window in front; with a desktop it can start programs as; with
    // a main window skin, that skin in a "skin" folder beside it.
    void open(const std::wstring& sourceExe = insttest::testInstallerExe(), bool withDesktop = false,
              const std::string& mainframeXml = std::string())
    {
        desktop.reset();
        installer.reset(new insttest::InstallerCopy(sourceExe));
        ASSERT_TRUE(installer->made());
        if (!mainframeXml.empty()) {
            const std::wstring skin = installer->folder() + L"skin\\";
            ASSERT_TRUE(CreateDirectoryW(skin.c_str(), nullptr));
            ASSERT_TRUE(testutil::writeFile(skin + L"mainframe.xml", mainframeXml));
        }
        if (withDesktop) {
            desktop.reset(new testutil::StandInDesktop(testutil::exeDir() + L"powershell.exe"));
            ASSERT_TRUE(desktop->running());
        }
        program.reset(new uidriver::Program(installer->exe(), L"path=" + temp.path() + L"Games"));
        window = uidriver::waitForWindow(kFrameClass, program->pid(), kWait);
        ASSERT_TRUE(window != nullptr);
        uidriver::bringToFront(window);
        ASSERT_TRUE(shown(uidriver::waitForControl(window, L"startBtn", shown, kWait)));
    }

    ControlInfo waitFor(const std::wstring& name, const std::function<bool(const ControlInfo&)>& done)
    {
        return uidriver::waitForControl(window, name, done, kWait);
    }
    bool click(const std::wstring& name) { return uidriver::clickControl(window, name); }
    bool startEnabled(bool enabled)
    {
        return waitFor(L"startBtn", [&](const ControlInfo& c) { return c.found && c.enabled == enabled; }).enabled ==
               enabled;
    }

    // Types a folder into the field and leaves it by clicking the panel's
    // label above it, as a user does.
    void typeFolder(const std::wstring& folder)
    {
        ControlInfo edit = uidriver::queryControl(window, L"pathEdit");
        ASSERT_TRUE(shown(edit));
        // Typed again when keys went astray: on a busy display another
        // test's window can take the keyboard for a moment.
        for (int attempt = 0; attempt < 3 && edit.text != folder; ++attempt) {
            uidriver::bringToFront(window);
            ASSERT_TRUE(click(L"pathEdit"));
            Sleep(300);
            uidriver::pressKey(VK_END);
            for (size_t i = 0; i < edit.text.size() + 2; ++i)
                uidriver::pressKey(VK_BACK);
            uidriver::typeText(folder);
            edit = uidriver::waitForControl(
                window, L"pathEdit", [&](const ControlInfo& c) { return c.text == folder; }, kWait / 2);
        }
        ASSERT_EQ(folder, edit.text);
        uidriver::clickAt({edit.screen.left + 40, edit.screen.top - 14});
        Sleep(300);
    }
    std::wstring fieldText() { return uidriver::queryControl(window, L"pathEdit").text; }

    // Waits for the message box over the window, keeps its picture, and
    // closes it with its close button; the window is disabled meanwhile.
    void expectMessageBox(const std::wstring& screenshot)
    {
        HWND box = uidriver::waitForWindow(kBoxClass, program->pid(), kWait);
        ASSERT_TRUE(box != nullptr);
        EXPECT_FALSE(IsWindowEnabled(window));
        ASSERT_TRUE(shown(uidriver::waitForControl(box, L"closebtn", shown, kWait)));
        Sleep(300);
        uidriver::screenshot(box, screenshot);
        ASSERT_TRUE(uidriver::clickControl(box, L"closebtn"));
        EXPECT_TRUE(testutil::pumpUntil([&] { return !IsWindow(box); }, kWait));
        EXPECT_TRUE(testutil::pumpUntil([&] { return IsWindowEnabled(window) != FALSE; }, kWait));
        uidriver::bringToFront(window);
    }

    DWORD waitForExit()
    {
        DWORD exitCode = 0;
        EXPECT_TRUE(program->waitForExit(kWait, &exitCode));
        return exitCode;
    }

    testutil::TempDir temp;
    std::wstring installPath;
    std::unique_ptr<insttest::InstallerCopy> installer;
    // Made after the installer copy and gone before it: each names its own
    // system folder while it lives.
    std::unique_ptr<testutil::StandInDesktop> desktop;
    std::unique_ptr<uidriver::Program> program;
    HWND window = nullptr;
};

TEST_F(InstallerWindowTest, AgreementFolderRulesMessageBoxesAndEscape)
{
    ASSERT_NO_FATAL_FAILURE(open());
    Sleep(300);
    uidriver::screenshot(window, L"installer_start_page");

    // Unticking the agreement disables Start at once; ticking enables it.
    ASSERT_TRUE(click(L"protocolOption"));
    EXPECT_TRUE(startEnabled(false));
    ASSERT_TRUE(click(L"protocolOption"));
    EXPECT_TRUE(startEnabled(true));

    // The folder panel comes into view below the window's old bottom edge.
    RECT before = {}, after = {};
    GetWindowRect(window, &before);
    ASSERT_TRUE(click(L"definepathBtn"));
    ASSERT_TRUE(
        testutil::pumpUntil([&] { return GetWindowRect(window, &after) && after.bottom > before.bottom; }, kWait));
    EXPECT_EQ(60, (after.bottom - after.top) - (before.bottom - before.top));
    EXPECT_EQ(installPath, fieldText());
    Sleep(300);
    uidriver::screenshot(window, L"installer_folder_panel");

    // A new folder gets the product folder; a name with the product word in
    // it is kept; someone else's folder of such a name gets one again.
    typeFolder(temp.path() + L"Library");
    EXPECT_EQ(temp.path() + L"Library\\ZUL\\", fieldText());
    typeFolder(temp.path() + L"MyZULGames");
    EXPECT_EQ(temp.path() + L"MyZULGames\\", fieldText());
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"ZULNotes").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(temp.path() + L"ZULNotes\\notes.txt", "mine"));
    typeFolder(temp.path() + L"ZULNotes");
    EXPECT_EQ(temp.path() + L"ZULNotes\\ZUL\\", fieldText());
    EXPECT_TRUE(startEnabled(true));

    // An invalid folder disables Start; what was typed stays.
    typeFolder(temp.path() + L"a\\ \\b");
    EXPECT_TRUE(startEnabled(false));
    EXPECT_EQ(temp.path() + L"a\\ \\b", fieldText());
    typeFolder(L"Q:\\Games");
    EXPECT_TRUE(startEnabled(false));

    // Start checks the field's folder itself: ticking the agreement enables
    // Start, and the invalid folder gets the notice.
    ASSERT_TRUE(click(L"protocolOption"));
    ASSERT_TRUE(click(L"protocolOption"));
    ASSERT_TRUE(startEnabled(true));
    ASSERT_TRUE(click(L"startBtn"));
    ASSERT_NO_FATAL_FAILURE(expectMessageBox(L"installer_invalid_path_notice"));
    EXPECT_TRUE(shown(uidriver::queryControl(window, L"protocolOption")));  // still the start page

    // A valid folder with the agreement unticked gets the warning.
    ASSERT_TRUE(click(L"protocolOption"));
    typeFolder(temp.path() + L"Games");
    ASSERT_TRUE(startEnabled(true));
    ASSERT_TRUE(click(L"startBtn"));
    ASSERT_NO_FATAL_FAILURE(expectMessageBox(L"installer_agreement_warning"));

    // Escape belongs to the field while it is being edited.
    ASSERT_TRUE(click(L"pathEdit"));
    Sleep(300);
    uidriver::pressKey(VK_ESCAPE);
    Sleep(1500);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(program->waitForExit(0));

    // Nothing was installed; the close button ends the run.
    ASSERT_TRUE(click(L"cancelBtn"));
    EXPECT_EQ(1u, waitForExit());
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));
    EXPECT_FALSE(testutil::dirExists(installPath));
}

TEST_F(InstallerWindowTest, StartWalksTheProgressToTheEndAndTryNowStartsTheLauncher)
{
    ASSERT_NO_FATAL_FAILURE(open());
    // The firewall step lasts long enough to see the progress page and to
    // try to close the window in the middle of the job.
    ASSERT_TRUE(testutil::writeFile(installer->system().powershellWaitFile(), "8000"));
    ASSERT_TRUE(click(L"startBtn"));
    ASSERT_TRUE(shown(waitFor(L"updateprogress", shown)));
    EXPECT_FALSE(shown(uidriver::queryControl(window, L"startBtn")));
    ASSERT_FALSE(insttest::waitForRecord(installer->system().powershellRecord()).empty());
    uidriver::screenshot(window, L"installer_progress_page");

    ASSERT_TRUE(click(L"cancelBtn"));
    PostMessageW(window, WM_CLOSE, 0, 0);
    uidriver::pressKey(VK_ESCAPE);
    const ControlInfo tryNow = waitFor(L"startBtn",
                                       [](const ControlInfo& c) { return shown(c) && c.text == L"Try now"; });
    ASSERT_TRUE(shown(tryNow));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_GE(insttest::logged(L"installing, close ignored"), 1);
    Sleep(300);
    uidriver::screenshot(window, L"installer_complete_page");
    EXPECT_FALSE(testutil::fileExists(installPath + L"zulplay.cmdline.txt"));

    ASSERT_TRUE(click(L"startBtn"));
    EXPECT_EQ(1u, waitForExit());
    EXPECT_EQ(std::vector<std::wstring>{L"\"" + installPath + L"zulplay.exe\" from=install"},
              insttest::waitForRecord(installPath + L"zulplay.cmdline.txt"));
    std::wstring installDir;
    EXPECT_TRUE(insttest::readRegString(HKEY_CURRENT_USER, insttest::kProductKey, L"InstallDir", installDir));
    EXPECT_EQ(installPath, installDir);
}

// The installer runs elevated, and the addresses of its agreement links come
// from a language table that may lie beside it. Where it can start programs
// as the desktop user (Windows 8 and later) each link opens its address as
// that user and the shell opens nothing; elsewhere the shell opens them.
TEST_F(InstallerWindowTest, AgreementLinksOpenAsTheDesktopUserElseThroughTheShell)
{
    const std::pair<const wchar_t*, std::wstring> links[] = {{L"protocolBtn1", ZUL_AGREEMENT_TERMS},
                                                             {L"protocolBtn2", ZUL_AGREEMENT_PRIVACY}};
    insttest::ShellBrowser browser(temp.path());
    ASSERT_TRUE(browser.made());

    // Windows 7, as Wine shows a program by default.
    ASSERT_NO_FATAL_FAILURE(open());
    for (size_t i = 0; i < 2; ++i) {
        uidriver::bringToFront(window);
        ASSERT_TRUE(click(links[i].first));
        testutil::pumpUntil([&] { return browser.opened().size() == i + 1; }, kWait);
        ASSERT_EQ(i + 1, browser.opened().size());
        EXPECT_NE(std::wstring::npos, browser.opened()[i].find(links[i].second));
    }
    uidriver::bringToFront(window);
    ASSERT_TRUE(click(L"cancelBtn"));
    EXPECT_EQ(1u, waitForExit());
    for (const auto& link : links)
        EXPECT_EQ(1, insttest::logged(L"opening through the shell: " + link.second));

    // Windows 8: rundll32.exe with url.dll as the desktop user, never the shell.
    DeleteFileW(insttest::installerLogPath().c_str());
    testutil::SeenAsWindows8 windows8(L"zulinst.exe");
    ASSERT_TRUE(windows8.made());
    ASSERT_NO_FATAL_FAILURE(open(insttest::testInstallerExe(), true));
    for (size_t i = 0; i < 2; ++i) {
        uidriver::bringToFront(window);
        ASSERT_TRUE(click(links[i].first));
        const std::vector<std::wstring> starts = desktop->rundllStarts(i + 1, kWait);
        ASSERT_EQ(i + 1, starts.size());
        EXPECT_EQ(L"\"" + desktop->system() + L"rundll32.exe\" url.dll,FileProtocolHandler " + links[i].second,
                  starts[i]);
    }
    uidriver::bringToFront(window);
    ASSERT_TRUE(click(L"cancelBtn"));
    EXPECT_EQ(1u, waitForExit());
    for (const auto& link : links)
        EXPECT_EQ(1, insttest::logged(L"opened as the desktop user: " + link.second));
    EXPECT_EQ(0, insttest::logged(L"opening through the shell: ", true));
    EXPECT_EQ(2u, browser.opened().size());
}

// In English, and with a skin whose folder button is the one that toggles
// the panel and says so ("definePathBtn").
TEST_F(InstallerWindowTest, FailedInstallationShowsWhyAndLetsTheUserClose)
{
    std::string skin = testutil::readFile(L"" ZUL_INSTALLER_SKIN_DIR "/mainframe.xml");
    const std::string shipped = "name=\"definepathBtn\"";
    ASSERT_NE(std::string::npos, skin.find(shipped));
    skin.replace(skin.find(shipped), shipped.size(), "name=\"definePathBtn\"");
    ASSERT_NO_FATAL_FAILURE(open(insttest::corruptInstallerExe(), false, skin));
    auto buttonSays = [&](const wchar_t* text) {
        return waitFor(L"definePathBtn", [&](const ControlInfo& c) { return c.text == text; }).text;
    };
    EXPECT_EQ(L"Custom Installation", buttonSays(L"Custom Installation"));
    // The panel stands (below the window's edge): the first click hides it.
    ASSERT_TRUE(click(L"definePathBtn"));
    EXPECT_EQ(L"Custom", buttonSays(L"Custom"));
    ASSERT_TRUE(click(L"definePathBtn"));
    EXPECT_EQ(L"Back", buttonSays(L"Back"));

    const std::wstring why = L"The installation package could not be unpacked.";
    ASSERT_TRUE(click(L"startBtn"));
    const ControlInfo status = waitFor(L"updateStatusLabel",
                                       [&](const ControlInfo& c) { return shown(c) && c.text == why; });
    ASSERT_EQ(why, status.text);
    Sleep(300);
    uidriver::screenshot(window, L"installer_failure");

    ASSERT_TRUE(click(L"cancelBtn"));
    EXPECT_EQ(static_cast<DWORD>(kInstallExtractFailed), waitForExit());
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, insttest::kProductKey));
}

}  // namespace

// The pages a player sees, in each language the installer takes from the
// region of its file name, and in Arabic from a table beside the program:
// each kept under build/artifacts/<locale>/.
TEST_F(InstallerWindowTest, PagesInEveryLanguage)
{
    for (const testutil::ScreenshotLanguage& language : testutil::screenshotLanguages()) {
        SCOPED_TRACE(language.locale);
        const std::wstring folder = testutil::widen(language.locale) + L"\\";
        insttest::removeInstallTraces();
        installer.reset(new insttest::InstallerCopy(insttest::testInstallerExe(),
                                                    std::wstring(L"zulinst_") + language.region + L"_a_b.exe"));
        ASSERT_TRUE(installer->made());
        if (std::string(language.locale) == "ar_IL") {
            ASSERT_TRUE(testutil::writeTableSpeaking(ZUL_INSTALLER_LANGUAGE_TABLE,
                                                     installer->folder() + L"multi_language.tsv", "ar_IL"));
        }
        const std::wstring games = temp.path() + testutil::widen(language.locale);
        program.reset(new uidriver::Program(installer->exe(), L"path=" + games));
        window = uidriver::waitForWindow(kFrameClass, program->pid(), kWait);
        ASSERT_TRUE(window != nullptr);
        uidriver::bringToFront(window);
        const ControlInfo start = waitFor(L"startBtn", shown);
        ASSERT_TRUE(shown(start));
        SetCursorPos(0, 0);  // off the close button the last run's pointer clicked
        Sleep(300);
        uidriver::screenshot(window, folder + L"installer_start_page");

        RECT before = {}, after = {};
        GetWindowRect(window, &before);
        ASSERT_TRUE(click(L"definepathBtn"));
        ASSERT_TRUE(
            testutil::pumpUntil([&] { return GetWindowRect(window, &after) && after.bottom > before.bottom; }, kWait));
        Sleep(300);
        uidriver::screenshot(window, folder + L"installer_folder_panel");

        ASSERT_TRUE(click(L"startBtn"));
        ASSERT_TRUE(
            shown(waitFor(L"startBtn", [&](const ControlInfo& c) { return shown(c) && c.text != start.text; })));
        Sleep(300);
        uidriver::screenshot(window, folder + L"installer_complete_page");
        ASSERT_TRUE(click(L"cancelBtn"));
        EXPECT_EQ(1u, waitForExit());
        program.reset();
    }
}
