// The install job end to end, from the payload resource of this executable:
// files, registry, shortcuts, firewall command, launcher start, retries.
#include <gtest/gtest.h>

#include "foundation/process.h"
#include "install_test_util.h"

using insttest::Progress;

namespace {

std::wstring payloadSource() { return testutil::exeDir() + L"payload_src\\"; }
std::wstring childExe() { return testutil::exeDir() + L"..\\zul_test_child.exe"; }

// Extraction percentages rise within 1-80, then 80 (end of the extraction),
// 80 (after it), 90 (registered) and 100 follow, all without text.
void expectSuccessfulProtocol(const std::vector<Progress>& seen)
{
    ASSERT_GE(seen.size(), 4u);
    const size_t tail = seen.size() - 4;
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_TRUE(seen[i].text.empty());
        if (i < tail) {
            EXPECT_GE(seen[i].percent, i == 0 ? 1 : seen[i - 1].percent + 1);
            EXPECT_LE(seen[i].percent, 80);
        }
    }
    EXPECT_EQ((std::vector<int>{80, 80, 90, 100}), (std::vector<int>{seen[tail].percent, seen[tail + 1].percent,
                                                                     seen[tail + 2].percent, seen[tail + 3].percent}));
}

// A copy of the test helper program started as the launcher from folder.
HANDLE startFakeLauncher(const std::wstring& folder)
{
    const std::wstring exe = folder + L"zulplay.exe";
    CreateDirectoryW(folder.c_str(), nullptr);
    if (!CopyFileW(childExe().c_str(), exe.c_str(), FALSE))
        return nullptr;
    HANDLE process = utility::process::create(exe, L"sleep=60000", false);
    testutil::pumpFor(300);
    return process;
}

bool endedWithin(HANDLE process, DWORD ms)
{
    const bool ended = WaitForSingleObject(process, ms) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process, 1);
    CloseHandle(process);
    return ended;
}

class InstallJobTest : public insttest::InstallJobFixture {
protected:
    // Every payload file installed byte for byte as it was staged.
    void expectPayloadInstalled()
    {
        const insttest::PayloadItems items = insttest::payloadItems();
        insttest::expectPayloadInstalled(items, installPath);
        for (const auto& item : items)
            EXPECT_TRUE(testutil::readFile(payloadSource() + item.first) == item.second)
                << testutil::narrow(item.first);
    }
    void expectRegistered() { insttest::expectRegistered(installPath, L"tw", L"zh_TW"); }
    void expectShortcuts() { insttest::expectShortcuts(installPath); }
    void expectFirewallCommandFor(const std::wstring& quotedProgram)
    {
        insttest::expectFirewallCommand(system, quotedProgram);
    }
};

}  // namespace

TEST_F(InstallJobTest, StopsTheRunningLauncherInstallsRegistersAndStartsIt)
{
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Games").c_str(), nullptr));
    HANDLE running = startFakeLauncher(installPath);
    ASSERT_TRUE(running != nullptr);

    const std::vector<Progress> seen = insttest::runInstallJob(model);
    EXPECT_TRUE(endedWithin(running, 5000));
    expectSuccessfulProtocol(seen);
    EXPECT_EQ(kInstallOk, model.errorCode());
    EXPECT_EQ(0, logs->count(L"try  zip"));  // stopped before, so no retry
    expectPayloadInstalled();
    expectRegistered();
    expectShortcuts();
    expectFirewallCommandFor(installPath + L"zulplay.exe");

    // The window starts the launcher at the end; it always gets from=install.
    const std::wstring record = installPath + L"zulplay.cmdline.txt";
    model.startLauncher(false);
    ASSERT_TRUE(testutil::pumpUntil([&] { return testutil::fileExists(record); }, 10000));
    testutil::pumpFor(200);
    EXPECT_EQ(std::vector<std::wstring>{L"\"" + installPath + L"zulplay.exe\" from=install"},
              insttest::recordedCommandLines(record));
}

TEST_F(InstallJobTest, QuotesInThePathStayInsideTheFirewallString)
{
    // An ASCII and a typographic quote: both end a PowerShell single-quoted
    // string unless doubled.
    installPath = temp.path() + L"O'Brien\x2019s '; Remove-Item x; '\\ZUL\\";
    model.setInstallPath(installPath);
    const std::vector<Progress> seen = insttest::runInstallJob(model);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(100, seen.back().percent);
    expectPayloadInstalled();
    expectFirewallCommandFor(temp.path() + L"O''Brien\x2019\x2019s ''; Remove-Item x; ''\\ZUL\\zulplay.exe");
    EXPECT_TRUE(logs->contains(L"register firewall end 1"));

    // A long path is kept whole (no fixed buffer).
    std::wstring path = L"C:\\";
    while (path.size() < 3000)
        path += L"abcdefghijklmnopqrstuvwxyz0123456789\\";
    EXPECT_EQ(L"New-NetFirewallRule -DisplayName \"ZUL\" -Direction Inbound -Program '" + path +
                  L"' -RemoteAddress LocalSubnet -Action Allow",
              KXSpaceModel::firewallCommand(path));
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
    HANDLE process = startFakeLauncher(temp.path() + L"elsewhere\\");
    ASSERT_TRUE(process != nullptr);
    model.onResult(1015, L"sub\\zulplay.exe");
    EXPECT_TRUE(endedWithin(process, 5000));
    EXPECT_TRUE(logs->contains(L"try taskkill zulplay.exe"));
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
    HANDLE lock = CreateFileW(locked.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);

    const std::vector<Progress> seen = insttest::runInstallJob(model);
    CloseHandle(lock);
    expectSuccessfulProtocol(seen);
    EXPECT_EQ(1, logs->count(L"try  zip"));
    expectPayloadInstalled();
    EXPECT_EQ("old launcher", testutil::readFile(locked + L".tmp"));
    SetFileAttributesW((locked + L".tmp").c_str(), FILE_ATTRIBUTE_NORMAL);

    // The percentages rise (checked above) and none goes beyond the bytes
    // before the locked file: all belong to the first attempt.
    uint64_t total = 0, before = 0;
    bool found = false;
    for (const auto& item : insttest::payloadItems()) {
        found = found || item.first == L"zulplay.exe";
        before += found ? 0 : item.second.size();
        total += item.second.size();
    }
    ASSERT_TRUE(found);
    const int limit = static_cast<int>(before * 80 / total);
    ASSERT_GT(limit, 1);
    ASSERT_GT(seen.size(), 4u);
    EXPECT_LE(seen[seen.size() - 5].percent, limit);
}

TEST(MoveAsideTest, OnlyFilesInsideTheInstallFolderAreTouched)
{
    testutil::TempDir temp;
    const std::wstring folder = temp.path() + L"ZUL\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder + L"fonts").c_str(), nullptr));
    ASSERT_TRUE(testutil::writeFile(temp.path() + L"outside.txt", "x"));

    // Names that are empty, lead outside or name a folder move nothing.
    for (const wchar_t* name :
         {L"", L"..\\outside.txt", L"../outside.txt", L".", L"fonts", L"\\outside.txt", L"C:outside.txt"}) {
        EXPECT_FALSE(moveAsideFailedItem(folder, name)) << testutil::narrow(name);
        EXPECT_TRUE(testutil::dirExists(folder + L"fonts"));
        EXPECT_FALSE(testutil::dirExists(temp.path() + L"ZUL.tmp"));
        EXPECT_TRUE(testutil::fileExists(temp.path() + L"outside.txt"));
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
    EXPECT_EQ("b", testutil::readFile(folder + L"fonts\\b.ttf.tmp"));
}
