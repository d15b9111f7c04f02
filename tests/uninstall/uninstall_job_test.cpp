#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>
#include <vector>

#include "common/test_util.h"
#include "install/install_traces.h"
#include "uninstall/uninstall_model.h"

namespace {

using insttest::kProductKey;
using insttest::kRunKey;
using insttest::kUninstallKey;

void setString(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value)
{
    ASSERT_TRUE(insttest::writeRegString(root, key, name, value));
}

std::wstring downloadsFolder()
{
    PWSTR path = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Downloads, KF_FLAG_CREATE, nullptr, &path)))
        return std::wstring();
    std::wstring folder = path;
    CoTaskMemFree(path);
    return folder;
}

bool valueExists(HKEY root, const wchar_t* key, const wchar_t* name)
{
    std::wstring value;
    return insttest::readRegString(root, key, name, value);
}

// An installation as the installer leaves it: files, registry values and shortcuts.
class UninstallJobTest : public testing::Test {
protected:
    void SetUp() override
    {
        utility::init();
        logs_.reset(new insttest::LogCapture());
        installDir_ = dir_.path() + L"Program Files\\ZUL\\";
        CreateDirectoryW((dir_.path() + L"Program Files").c_str(), nullptr);
        CreateDirectoryW(installDir_.c_str(), nullptr);
        CreateDirectoryW((installDir_ + L"data").c_str(), nullptr);
        testutil::writeFile(installDir_ + L"data\\engine.bin", std::string(4096, 'e'));
        testutil::writeFile(installDir_ + L"host1.txt", "http://a/");
        CopyFileW(childExe().c_str(), (installDir_ + L"zulplay.exe").c_str(), FALSE);
        CopyFileW(childExe().c_str(), (installDir_ + L"zulplayuninst.exe").c_str(), FALSE);

        setString(HKEY_CURRENT_USER, kProductKey, L"InstallDir", installDir_);
        setString(HKEY_CURRENT_USER, kProductKey, L"Version", L"1.0.0.1");
        setString(HKEY_CURRENT_USER, kProductKey, L"playerDir", installDir_);
        setString(HKEY_CURRENT_USER, kProductKey, L"Language", L"en");
        setString(HKEY_CURRENT_USER, kProductKey, L"pathDir", L"D:\\Games\\");
        setString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName", L"ZUL");
        setString(HKEY_CURRENT_USER, kRunKey, L"ZUL", L"\"" + installDir_ + L"zulplay.exe\" autorun");

        // The install job's four shortcuts and the machine-wide ones of older installs.
        links_ = insttest::shortcutPaths();
        links_.push_back(insttest::shellFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\ZUL.lnk");
        links_.push_back(insttest::shellFolder(CSIDL_COMMON_PROGRAMS) + L"\\ZUL.lnk");
        CreateDirectoryW(programsZul().c_str(), nullptr);
        for (const auto& link : links_)
            ASSERT_TRUE(testutil::writeFile(link, "link")) << testutil::narrow(link);

        model_ = KXSpaceModel::instance();
        model_->setStepPause(50);
        model_->setProgressCallback([this](int percent) {
            progress_.push_back(percent);
            progressThreads_.push_back(GetCurrentThreadId());
            cleaningSeen_.push_back(model_->isCleaning());
        });
        setDeleteSelfRequested(false);
    }

    void TearDown() override
    {
        model_->joinWorker(5000);
        model_->setProgressCallback(nullptr);
        model_->setProgramFolder(L"");
        utility::uninit();
        logs_.reset();
        insttest::removeInstallTraces();
        for (const auto& link : links_)
            DeleteFileW(link.c_str());
    }

    static std::wstring programsZul() { return insttest::shellFolder(CSIDL_PROGRAMS) + L"\\ZUL"; }

    static std::wstring childExe() { return testutil::exeDir() + L"..\\zul_test_child.exe"; }

    bool runJob()
    {
        if (!model_->startClean())
            return false;
        return testutil::pumpUntil([this] { return !progress_.empty() && progress_.back() == 100; }, 30000);
    }

    testutil::TempDir dir_;
    std::wstring installDir_;
    std::vector<std::wstring> links_;
    std::unique_ptr<insttest::LogCapture> logs_;
    KXSpaceModel* model_ = nullptr;
    std::vector<int> progress_;
    std::vector<DWORD> progressThreads_;
    std::vector<bool> cleaningSeen_;
};

TEST_F(UninstallJobTest, RemovesTheWholeInstallationButKeepsTheRunValue)
{
    // A running launcher is stopped before its folder goes.
    PROCESS_INFORMATION info = {};
    STARTUPINFOW startup = {sizeof(startup)};
    std::wstring command = L"\"" + installDir_ + L"zulplay.exe\" sleep=60000";
    ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
    CloseHandle(info.hThread);

    model_->setProgramFolder(installDir_);
    EXPECT_FALSE(model_->isCleaning());
    ASSERT_TRUE(runJob());
    EXPECT_FALSE(model_->isCleaning());
    EXPECT_EQ(cleaningSeen_, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(removedInstallFolder(), installDir_);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 5000), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);

    EXPECT_EQ(progress_, (std::vector<int>{10, 60, 80, 100}));
    for (DWORD thread : progressThreads_)
        EXPECT_EQ(thread, GetCurrentThreadId());
    EXPECT_FALSE(testutil::dirExists(installDir_));
    EXPECT_TRUE(testutil::dirExists(dir_.path() + L"Program Files"));
    for (const auto& link : links_)
        EXPECT_FALSE(testutil::fileExists(link)) << testutil::narrow(link);
    EXPECT_FALSE(testutil::dirExists(programsZul()));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(valueExists(HKEY_CURRENT_USER, kRunKey, L"ZUL"));
    EXPECT_TRUE(deleteSelfRequested());
    EXPECT_TRUE(logs_->contains(L"KXSpaceModel::threadClean: kill exe end"));
    EXPECT_TRUE(logs_->contains(L"KXSpaceModel::DeleteShortcutNew: DeleteShortcutNew end"));

    // The worker holds its finished run: a second start is refused.
    EXPECT_FALSE(model_->startClean());
}

// The user copied the launcher and the uninstaller into Downloads and runs
// the uninstaller there after the registry value is gone.
TEST_F(UninstallJobTest, ACopiedLauncherNeverTakesTheDownloadsFolderWithIt)
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProductKey, L"InstallDir");
    const std::wstring downloads = downloadsFolder() + L"\\";
    ASSERT_TRUE(testutil::dirExists(downloads));
    const std::vector<std::wstring> files = {downloads + L"thesis.docx", downloads + L"zulplay.exe",
                                             downloads + L"zulplayuninst.exe"};
    testutil::writeFile(files[0], "precious");
    CopyFileW(childExe().c_str(), files[1].c_str(), FALSE);
    CopyFileW(childExe().c_str(), files[2].c_str(), FALSE);

    model_->setProgramFolder(downloads);
    ASSERT_TRUE(runJob());
    EXPECT_EQ(testutil::readFile(files[0]), "precious");
    for (const auto& file : files) {
        EXPECT_TRUE(testutil::fileExists(file)) << testutil::narrow(file);
        DeleteFileW(file.c_str());
    }
    EXPECT_TRUE(logs_->contains(L"is not the install folder, it is left in place"));
    // Everything else of the installation still goes.
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, kProductKey));
    EXPECT_FALSE(testutil::fileExists(links_[0]));
}

TEST_F(UninstallJobTest, ALockedFileIsSkippedAndTheJobGoesOn)
{
    HANDLE locked = CreateFileW((installDir_ + L"data\\engine.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    testutil::writeFile(installDir_ + L"readonly.txt", "r");
    SetFileAttributesW((installDir_ + L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    model_->setProgramFolder(installDir_);
    ASSERT_TRUE(runJob());
    CloseHandle(locked);
    EXPECT_EQ(progress_.back(), 100);
    EXPECT_TRUE(testutil::fileExists(installDir_ + L"data\\engine.bin"));
    EXPECT_FALSE(testutil::fileExists(installDir_ + L"host1.txt"));
    EXPECT_FALSE(testutil::fileExists(installDir_ + L"zulplay.exe"));
    EXPECT_FALSE(insttest::regKeyExists(HKEY_CURRENT_USER, kProductKey));
}

TEST(UninstallFolderCheck, OnlyTheRegisteredFolderOrOneHoldingTheLauncherQualifies)
{
    testutil::TempDir dir;
    EXPECT_FALSE(isInstallFolder(L"C:\\", L"C:\\"));
    EXPECT_FALSE(isInstallFolder(L"C:", L"C:"));
    EXPECT_FALSE(isInstallFolder(L"", L""));
    EXPECT_TRUE(isInstallFolder(dir.path(), dir.path()));
    std::wstring upper = dir.path();
    CharUpperW(&upper[0]);
    upper.pop_back();  // no trailing separator
    EXPECT_TRUE(isInstallFolder(dir.path(), upper));
    EXPECT_FALSE(isInstallFolder(dir.path(), L"D:\\Other\\"));
    testutil::writeFile(dir.file(L"zulplay.exe"), "MZ");
    EXPECT_TRUE(isInstallFolder(dir.path(), L""));
}

// Neither a copy of the launcher nor the registered "InstallDir" makes a user
// or system folder, nor a folder above one, the installation; a folder below
// them still qualifies.
TEST(UninstallFolderCheck, UserAndSystemFoldersAndTheirParentsAreRefused)
{
    insttest::LogCapture logs;
    const std::wstring profile = insttest::shellFolder(CSIDL_PROFILE);
    const std::wstring appData = insttest::shellFolder(CSIDL_APPDATA);
    std::vector<std::wstring> refused = {downloadsFolder(), appData.substr(0, appData.rfind(L'\\')),
                                         profile.substr(0, profile.rfind(L'\\'))};
    for (int csidl :
         {CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO,
          CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS})
        refused.push_back(insttest::shellFolder(csidl));
    for (const std::wstring& folder : refused) {
        SCOPED_TRACE(testutil::narrow(folder));
        ASSERT_TRUE(testutil::dirExists(folder));
        const std::wstring launcher = folder + L"\\zulplay.exe";
        ASSERT_TRUE(testutil::writeFile(launcher, "MZ"));
        std::wstring other = folder + L"/";  // another spelling of the same folder
        CharUpperW(&other[0]);
        const int before = logs.count(L"is or contains the user or system folder");
        EXPECT_FALSE(isInstallFolder(folder, L""));
        EXPECT_FALSE(isInstallFolder(other, L""));
        EXPECT_FALSE(isInstallFolder(folder, folder));  // registered as the install folder or not
        EXPECT_EQ(before + 3, logs.count(L"is or contains the user or system folder"));
        DeleteFileW(launcher.c_str());
    }

    const std::wstring below = downloadsFolder() + L"\\ZUL";
    CreateDirectoryW(below.c_str(), nullptr);
    ASSERT_TRUE(testutil::writeFile(below + L"\\zulplay.exe", "MZ"));
    EXPECT_TRUE(isInstallFolder(below, L""));
    testutil::removeTree(below);
}

TEST(UninstallStartup, SilentSwitchAndRegistryLanguage)
{
    KXSpaceModel* model = KXSpaceModel::instance();
    RegDeleteKeyW(HKEY_CURRENT_USER, kProductKey);
    model->loadLanguage();
    EXPECT_EQ(model->language(), L"en");
    EXPECT_EQ(model->profile().locale, L"en_US");
    setString(HKEY_CURRENT_USER, kProductKey, L"Language", L"tw");
    EXPECT_EQ(model->readRegistryLanguage(), L"tw");
    RegDeleteKeyW(HKEY_CURRENT_USER, kProductKey);

    model->parseCommandLine(L"\"C:\\x\\zulplayuninst.exe\" --PLAYERUNINSTALL");
    EXPECT_FALSE(model->silent());
    model->parseCommandLine(L"\"C:\\x\\zulplayuninst.exe\" x--playeruninstallx");
    EXPECT_TRUE(model->silent());
}

TEST(UninstallDeleteSelf, TheCommandDeletesAnExecutableWhosePathHasBlanks)
{
    testutil::TempDir dir;
    std::wstring folder = dir.path() + L"Program Files (x86)\\Z U L\\";
    CreateDirectoryW((dir.path() + L"Program Files (x86)").c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring target = folder + L"zul play uninst.exe";
    std::wstring bystander = dir.path() + L"Program.txt";  // what an unquoted "del" would hit
    testutil::writeFile(target, "MZ");
    testutil::writeFile(bystander, "keep");
    ASSERT_TRUE(deleteFileLater(target));
    EXPECT_TRUE(testutil::pumpUntil([&] { return !testutil::fileExists(target); }, 20000));
    EXPECT_TRUE(testutil::fileExists(bystander));
}

// The system folder's interpreter, told to skip the user's AutoRun command,
// which would otherwise run with the uninstaller's administrator rights.
TEST(UninstallDeleteSelf, TheInterpreterIsStartedWithoutTheUsersAutoRun)
{
    testutil::TempDir system, dir;
    const std::wstring interpreter = system.file(L"cmd.exe");
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"powershell.exe").c_str(), interpreter.c_str(), FALSE));
    const std::wstring target = dir.file(L"zulplayuninst.exe");
    testutil::writeFile(target, "MZ");
    {
        testutil::ScopedEnvironmentVariable standIns(L"ZUL_TEST_SYSTEM_DIR", system.path());
        ASSERT_TRUE(deleteFileLater(target));
    }
    const std::wstring record = system.file(L"cmd.cmdline.txt");
    ASSERT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(record); }, 20000));
    const std::vector<std::wstring> lines = insttest::recordedCommandLines(record);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(0u, lines[0].find(L"\"" + interpreter + L"\" /D /c ")) << testutil::narrow(lines[0]);
}

// The install folder goes after the executable only when nothing else is left in it.
TEST(UninstallDeleteSelf, TheFolderGoesWithTheExecutableOnlyWhenItIsLeftEmpty)
{
    testutil::TempDir dir;
    const std::wstring emptied = dir.path() + L"Z U L\\";
    const std::wstring kept = dir.path() + L"kept\\";
    CreateDirectoryW(emptied.c_str(), nullptr);
    CreateDirectoryW(kept.c_str(), nullptr);
    testutil::writeFile(emptied + L"zulplayuninst.exe", "MZ");
    testutil::writeFile(kept + L"zulplayuninst.exe", "MZ");
    testutil::writeFile(kept + L"saved game.dat", "keep");
    ASSERT_TRUE(deleteFileLater(emptied + L"zulplayuninst.exe", emptied));
    ASSERT_TRUE(deleteFileLater(kept + L"zulplayuninst.exe", kept));
    EXPECT_TRUE(testutil::pumpUntil([&] { return !testutil::dirExists(emptied); }, 20000));
    EXPECT_TRUE(testutil::pumpUntil([&] { return !testutil::fileExists(kept + L"zulplayuninst.exe"); }, 20000));
    EXPECT_TRUE(testutil::fileExists(kept + L"saved game.dat"));
}

}  // namespace
