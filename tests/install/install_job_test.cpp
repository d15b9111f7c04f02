// The install job end to end, from the payload resource of this executable:
// files, registry, shortcuts, firewall command, launcher start, retries.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include "foundation/process.h"
#include "foundation/sz/sz_extract.h"
#include "install/kxspace_model.h"
#include "install_test_util.h"
#include "common/test_util.h"

using insttest::Progress;

namespace {

std::wstring payloadSource() { return testutil::exeDir() + L"payload_src\\"; }
std::wstring powershellRecord() { return testutil::exeDir() + L"powershell.cmdline.txt"; }

// The payload's items in archive order with their sizes, read from this
// executable's own resource.
struct PayloadItem {
    std::wstring name;
    uint64_t size;
};
std::vector<PayloadItem> payloadItems()
{
    std::vector<PayloadItem> items;
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(self, MAKEINTRESOURCEW(130), L"zip");
    if (!resource)
        return items;
    const void* data = LockResource(LoadResource(self, resource));
    SzExtractInMemory(data, SizeofResource(self, resource),
                      [&](const std::wstring& name, const std::string& bytes) {
                          items.push_back(PayloadItem{name, bytes.size()});
                      });
    return items;
}

// Extraction percentages rise up to at most 80, then 80 (end of the
// extraction), 80 (after it), 90 (registered) and 100 follow.
void expectSuccessfulProtocol(const std::vector<Progress>& seen)
{
    ASSERT_GE(seen.size(), 4u);
    const size_t tailStart = seen.size() - 4;
    for (size_t i = 0; i < tailStart; ++i) {
        EXPECT_GE(seen[i].percent, 1);
        EXPECT_LE(seen[i].percent, 80);
        if (i > 0) {
            EXPECT_GT(seen[i].percent, seen[i - 1].percent);
        }
    }
    std::vector<int> tail;
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i].text.empty());
        if (i >= tailStart)
            tail.push_back(seen[i].percent);
    }
    EXPECT_EQ((std::vector<int>{80, 80, 90, 100}), tail);
}

class InstallJobTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitialize(nullptr);
        utility::init();
        logs.reset(new insttest::LogCapture());
        insttest::removeInstallTraces();
        DeleteFileW(powershellRecord().c_str());
        installPath = temp.path() + L"Games\\ZUL\\";
        model.setInstallPath(installPath);
        model.setRegion(L"tw");
        loadRegionProfile(L"tw", model.regionProfile());
    }
    void TearDown() override
    {
        insttest::removeInstallTraces();
        DeleteFileW(powershellRecord().c_str());
        logs.reset();
        utility::uninit();
        CoUninitialize();
    }

    void expectPayloadInstalled()
    {
        const std::vector<std::wstring> files = insttest::listFiles(payloadSource());
        ASSERT_GE(files.size(), 9u);
        for (const std::wstring& name : files) {
            SCOPED_TRACE(testing::Message() << "file " << name);
            std::string expected, actual;
            ASSERT_TRUE(testutil::readFile(payloadSource() + name, expected));
            ASSERT_TRUE(testutil::readFile(installPath + name, actual));
            EXPECT_TRUE(expected == actual);
        }
        EXPECT_TRUE(testutil::dirExists(installPath + L"data"));
        EXPECT_TRUE(testutil::fileExists(installPath + L"fonts\\FZY4JW.TTF"));
    }

    void expectRegistered()
    {
        std::wstring value;
        const HKEY user = HKEY_CURRENT_USER;
        EXPECT_TRUE(insttest::readRegString(user, kProductRegKey, L"InstallDir", value));
        EXPECT_EQ(installPath, value);
        EXPECT_EQ(L'\\', value.back());
        EXPECT_TRUE(insttest::readRegString(user, kProductRegKey, L"Version", value));
        EXPECT_EQ(L"010000", value);
        EXPECT_TRUE(insttest::readRegString(user, kProductRegKey, L"Language", value));
        EXPECT_EQ(L"tw", value);
        EXPECT_TRUE(insttest::readRegString(user, kProductRegKey, L"LanguageLong", value));
        EXPECT_EQ(L"zh_TW", value);

        EXPECT_TRUE(insttest::readRegString(user, kRunRegKey, L"ZUL", value));
        EXPECT_EQ(L"\"" + installPath + L"zulplay.exe\" autorun", value);

        const HKEY machine = HKEY_LOCAL_MACHINE;
        EXPECT_TRUE(insttest::readRegString(machine, kUninstallRegKey, L"UninstallString", value));
        EXPECT_EQ(installPath + L"zulplayuninst.exe", value);
        EXPECT_TRUE(insttest::readRegString(machine, kUninstallRegKey, L"DisplayName", value));
        EXPECT_EQ(L"ZUL", value);
        EXPECT_TRUE(insttest::readRegString(machine, kUninstallRegKey, L"DisplayIcon", value));
        EXPECT_EQ(installPath + L"zulplay.exe", value);
        EXPECT_TRUE(insttest::readRegString(machine, kUninstallRegKey, L"Publisher", value));
        EXPECT_EQ(L"ZUL", value);
        EXPECT_TRUE(insttest::readRegString(machine, kUninstallRegKey, L"DisplayVersion", value));
        EXPECT_EQ(L"1.0.0", value);
    }

    void expectShortcuts()
    {
        const std::vector<std::wstring> links = insttest::shortcutPaths();
        const std::wstring targets[] = {L"zulplay.exe", L"zulplay.exe", L"zulplay.exe",
                                        L"zulplayuninst.exe"};
        std::wstring folder = installPath;
        folder.pop_back();
        for (size_t i = 0; i < links.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "link " << links[i]);
            std::wstring target, workingDir;
            ASSERT_TRUE(insttest::resolveShortcut(links[i], target, workingDir));
            EXPECT_EQ(0, _wcsicmp((installPath + targets[i]).c_str(), target.c_str()))
                << testutil::narrow(target);
            if (!workingDir.empty() && workingDir.back() == L'\\')
                workingDir.pop_back();
            EXPECT_EQ(0, _wcsicmp(folder.c_str(), workingDir.c_str()))
                << testutil::narrow(workingDir);
        }
    }

    void expectFirewallCommandFor(const std::wstring& quotedProgram)
    {
        const std::vector<std::wstring> lines = insttest::recordedCommandLines(powershellRecord());
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ(L"\"powershell.exe\" New-NetFirewallRule -DisplayName \"ZUL\" -Direction Inbound "
                  L"-Program '" + quotedProgram + L"' -RemoteAddress LocalSubnet -Action Allow",
                  lines[0]);
        EXPECT_TRUE(logs->contains(L"register firewall end 1"));
    }

    testutil::TempDir temp;
    std::wstring installPath;
    KXSpaceModel model;
    std::unique_ptr<insttest::LogCapture> logs;
};

}  // namespace

TEST_F(InstallJobTest, InstallsRegistersAndStartsTheLauncher)
{
    const std::vector<Progress> seen = insttest::runInstallJob(model);
    expectSuccessfulProtocol(seen);
    EXPECT_EQ(kInstallOk, model.errorCode());

    expectPayloadInstalled();
    expectRegistered();
    expectShortcuts();
    expectFirewallCommandFor(installPath + L"zulplay.exe");
    EXPECT_EQ(0, logs->count(L"try  zip"));

    // The window starts the launcher at the end; it always gets from=install.
    const std::wstring record = installPath + L"zulplay.cmdline.txt";
    model.startLauncher(false);
    ASSERT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(record); }, 10000));
    testutil::pumpFor(200);
    const std::vector<std::wstring> lines = insttest::recordedCommandLines(record);
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(L"\"" + installPath + L"zulplay.exe\" from=install", lines[0]);
}

TEST_F(InstallJobTest, QuotesInThePathStayInsideTheFirewallString)
{
    // An ASCII quote and a typographic one: both end a PowerShell
    // single-quoted string unless doubled.
    installPath = temp.path() + L"O'Brien\x2019s '; Remove-Item x; '\\ZUL\\";
    model.setInstallPath(installPath);
    const std::vector<Progress> seen = insttest::runInstallJob(model);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(100, seen.back().percent);

    expectPayloadInstalled();
    const std::wstring quoted = temp.path() + L"O''Brien\x2019\x2019s ''; Remove-Item x; ''\\ZUL\\zulplay.exe";
    expectFirewallCommandFor(quoted);
}

TEST_F(InstallJobTest, ExtractionPercentagesAreGuardedAndPostedOnChange)
{
    std::vector<int> seen;
    model.setProgressCallback([&](int percent, const std::wstring&) { seen.push_back(percent); });
    model.onProcessing(L"a", 0, 1, 0, 0);  // an archive of no bytes
    model.onProcessing(L"a", 0, 1, 10, 0);
    model.onProcessing(L"a", 0, 2, 50, 100);
    model.onProcessing(L"a", 0, 2, 51, 100);  // still 40
    model.onProcessing(L"b", 1, 2, 100, 100);
    model.onProcessing(L"b", 1, 2, 1ull << 60, 1ull << 61);  // no 64-bit overflow
    testutil::pumpFor(100);
    EXPECT_EQ((std::vector<int>{40, 80, 40}), seen);
    model.setProgressCallback(nullptr);
}

TEST_F(InstallJobTest, FailedExeItemIsStoppedByItsImageName)
{
    // The launcher copy runs from another folder: only its image name ties
    // it to the item the extraction stopped on.
    const std::wstring folder = temp.path() + L"elsewhere\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring exe = folder + L"zulplay.exe";
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), exe.c_str(),
                          FALSE));
    HANDLE process = utility::process::create(exe, L"sleep=60000", false);
    ASSERT_TRUE(process != nullptr);
    testutil::pumpFor(300);

    model.onResult(1015, L"sub\\zulplay.exe");
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 5000));
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0)
        TerminateProcess(process, 1);
    CloseHandle(process);
    EXPECT_TRUE(logs->contains(L"try taskkill zulplay.exe"));
}

TEST(FirewallCommandTest, LongPathIsKeptWhole)
{
    std::wstring path = L"C:\\";
    while (path.size() < 3000)
        path += L"abcdefghijklmnopqrstuvwxyz0123456789\\";
    path += L"zulplay.exe";
    const std::wstring command = KXSpaceModel::firewallCommand(path);
    EXPECT_EQ(L"New-NetFirewallRule -DisplayName \"ZUL\" -Direction Inbound -Program '" + path +
                  L"' -RemoteAddress LocalSubnet -Action Allow",
              command);
}

TEST_F(InstallJobTest, LockedLauncherIsMovedAsideAndTheRetryPostsNoPercentages)
{
    // Locked like the image of a running launcher: it cannot be written
    // (open without write sharing) or deleted (read-only), only renamed.
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Games").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(installPath.c_str(), nullptr));
    const std::wstring locked = installPath + L"zulplay.exe";
    ASSERT_TRUE(testutil::writeFile(locked, "old launcher"));
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);

    const std::vector<Progress> seen = insttest::runInstallJob(model);
    CloseHandle(lock);
    expectSuccessfulProtocol(seen);
    EXPECT_EQ(1, logs->count(L"try  zip"));
    EXPECT_TRUE(logs->contains(L"try taskkill zulplay.exe"));
    expectPayloadInstalled();
    EXPECT_EQ("old launcher", testutil::readFile(locked + L".tmp"));
    SetFileAttributesW((locked + L".tmp").c_str(), FILE_ATTRIBUTE_NORMAL);

    // Every extraction percentage belongs to the first attempt: none goes
    // beyond the bytes that came before the locked file.
    const std::vector<PayloadItem> items = payloadItems();
    ASSERT_FALSE(items.empty());
    uint64_t total = 0, before = 0;
    bool found = false;
    for (const PayloadItem& item : items) {
        if (item.name == L"zulplay.exe")
            found = true;
        if (!found)
            before += item.size;
        total += item.size;
    }
    ASSERT_TRUE(found);
    const int limit = static_cast<int>(before * 80 / total);
    ASSERT_GT(limit, 1);
    for (size_t i = 0; i + 4 < seen.size(); ++i)
        EXPECT_LE(seen[i].percent, limit);
}

TEST_F(InstallJobTest, RunningLauncherIsStoppedFirst)
{
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Games").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(installPath.c_str(), nullptr));
    const std::wstring running = installPath + L"zulplay.exe";
    ASSERT_TRUE(CopyFileW((testutil::exeDir() + L"..\\zul_test_child.exe").c_str(), running.c_str(),
                          FALSE));
    HANDLE process = utility::process::create(running, L"sleep=60000", false);
    ASSERT_TRUE(process != nullptr);
    testutil::pumpFor(300);

    const std::vector<Progress> seen = insttest::runInstallJob(model);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, 5000));
    CloseHandle(process);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(100, seen.back().percent);
    expectPayloadInstalled();
}

TEST_F(InstallJobTest, SecondStartWhileTheJobIsHeldIsRefused)
{
    ASSERT_TRUE(model.startInstallJob());
    EXPECT_FALSE(model.startInstallJob());
    model.joinWorker(60000);
    testutil::pumpFor(100);
}

TEST(MoveAsideTest, OnlyFilesInsideTheInstallFolderAreTouched)
{
    testutil::TempDir temp;
    const std::wstring folder = temp.path() + L"ZUL\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"fonts").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(temp.path() + L"outside.txt", "x"));

    // Names that are empty, lead outside or name a folder move nothing.
    const wchar_t* refused[] = {L"", L"..\\outside.txt", L"../outside.txt", L".",
                                L"fonts", L"\\outside.txt", L"C:outside.txt"};
    for (const wchar_t* name : refused) {
        SCOPED_TRACE(testing::Message() << "name '" << name << "'");
        EXPECT_FALSE(moveAsideFailedItem(folder, name));
        EXPECT_TRUE(testutil::dirExists(folder));
        EXPECT_FALSE(testutil::dirExists(temp.path() + L"ZUL.tmp"));
        EXPECT_TRUE(testutil::fileExists(temp.path() + L"outside.txt"));
        EXPECT_TRUE(testutil::dirExists(folder + L"fonts"));
    }
    EXPECT_FALSE(moveAsideFailedItem(L"", L"a.exe"));

    // A file that can be deleted is deleted; one that cannot is renamed.
    ASSERT_TRUE(testutil::writeFile(folder + L"a.dll", "a"));
    EXPECT_TRUE(moveAsideFailedItem(folder, L"a.dll"));
    EXPECT_FALSE(testutil::fileExists(folder + L"a.dll"));
    EXPECT_FALSE(testutil::fileExists(folder + L"a.dll.tmp"));

    ASSERT_TRUE(testutil::writeFile(folder + L"fonts\\b.ttf", "b"));
    ASSERT_TRUE(SetFileAttributesW((folder + L"fonts\\b.ttf").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(moveAsideFailedItem(folder, L"fonts\\b.ttf"));
    EXPECT_FALSE(testutil::fileExists(folder + L"fonts\\b.ttf"));
    EXPECT_EQ("b", testutil::readFile(folder + L"fonts\\b.ttf.tmp"));
}
