// The install folder choice: drive scoring over made-up drives, path
// cleaning, the folder proposal from the registry or the best drive, and the
// protection a folder the installer makes is given.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>

#include "common/test_util.h"
#include "foundation/scoped_handle.h"
#include "install/drive_choice.h"
#include "install/drive_info.h"
#include "install/kxspace_model.h"
#include "install_traces.h"

// Made-up drives.
struct FakeDrive {
    std::wstring root;  // "D:\"
    double freeMegabytes = 0;
    bool ssd = false;
    UINT type = DRIVE_FIXED;
    bool hotplug = false;
    bool freeOk = true;
    bool fileSystemOk = true;
    std::wstring fileSystem = L"NTFS";
};

inline FakeDrive fixedDrive(const std::wstring& root, double freeMegabytes, bool ssd = false)
{
    FakeDrive drive;
    drive.root = root;
    drive.freeMegabytes = freeMegabytes;
    drive.ssd = ssd;
    return drive;
}

class FakeDriveInfo : public DriveInfoSource {
public:
    std::vector<FakeDrive> drives;
    std::wstring systemRoot = L"C:\\";
    std::vector<std::wstring> ssdQueries;   // names passed to isSsd
    std::vector<std::wstring> freeQueries;  // roots passed to freeBytes

    std::vector<std::wstring> logicalDrives() override
    {
        std::vector<std::wstring> roots;
        for (const FakeDrive& drive : drives)
            roots.push_back(drive.root);
        return roots;
    }
    UINT driveType(const std::wstring& root) override { return find(root) ? find(root)->type : DRIVE_NO_ROOT_DIR; }
    bool isHotplug(const std::wstring& root) override { return find(root) && find(root)->hotplug; }
    bool isSsd(const std::wstring& name) override
    {
        ssdQueries.push_back(name);
        return find(name + L"\\") && find(name + L"\\")->ssd;
    }
    bool freeBytes(const std::wstring& root, ULONGLONG& bytes) override
    {
        freeQueries.push_back(root);
        const FakeDrive* drive = find(root);
        bytes = drive ? static_cast<ULONGLONG>(drive->freeMegabytes * 1048576.0) : 0;
        return drive && drive->freeOk;
    }
    bool fileSystemName(const std::wstring& root, std::wstring& name) override
    {
        const FakeDrive* drive = find(root);
        if (drive && drive->fileSystemOk)
            name = drive->fileSystem;
        return drive && drive->fileSystemOk;
    }
    std::wstring systemDriveRoot() override { return systemRoot; }

private:
    const FakeDrive* find(const std::wstring& root) const
    {
        for (const FakeDrive& drive : drives)
            if (_wcsicmp(drive.root.c_str(), root.c_str()) == 0)
                return &drive;
        return nullptr;
    }
};

using drivechoice::checkFreeSpace;
using drivechoice::listFixedDrives;
using drivechoice::pickBestDrive;
using drivechoice::scoreDrive;

TEST(DriveScoreTest, SsdFactorAboveTheLimitOnly)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"C:\\", 30000), fixedDrive(L"D:\\", 25000, true)};
    EXPECT_DOUBLE_EQ(30000.0, scoreDrive(info, L"C:\\"));
    EXPECT_DOUBLE_EQ(25000.0 * 1000, scoreDrive(info, L"D:\\"));
    EXPECT_EQ(L"D:\\", pickBestDrive(info));
    // The TRIM query gets the name without backslash, the free-space query the root.
    EXPECT_EQ(L"D:", info.ssdQueries.back());
    EXPECT_EQ(L"D:\\", info.freeQueries.back());

    // The truncated megabytes must exceed 24576.
    info.drives[1].freeMegabytes = 24576.5;
    EXPECT_DOUBLE_EQ(24576.5, scoreDrive(info, L"D:\\"));
    EXPECT_EQ(L"C:\\", pickBestDrive(info));
    info.drives[1].freeMegabytes = 24577;
    EXPECT_DOUBLE_EQ(24577.0 * 1000, scoreDrive(info, L"D:\\"));
}

TEST(DriveScoreTest, OnlyFat32AndNtfsScore)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"C:\\", 500), fixedDrive(L"D:\\", 900000), fixedDrive(L"E:\\", 800000),
                   fixedDrive(L"F:\\", 700)};
    info.drives[1].fileSystem = L"exFAT";
    info.drives[2].fileSystem = L"ntfs";  // names compare exactly
    info.drives[3].fileSystem = L"FAT32";
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(info, L"E:\\"));
    EXPECT_EQ(L"F:\\", pickBestDrive(info));

    // Unreadable volume information still scores; no free-space answer does not.
    info.drives[1].fileSystemOk = false;
    EXPECT_DOUBLE_EQ(900000.0, scoreDrive(info, L"D:\\"));
    info.drives[1].freeOk = false;
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(info, L"D:\\"));
}

TEST(DriveScoreTest, FixedNotHotplugDrivesOnlyTiesKeepTheEarlier)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"A:\\", 90000), fixedDrive(L"C:\\", 100), fixedDrive(L"D:\\", 80000),
                   fixedDrive(L"E:\\", 70000)};
    info.drives[0].type = DRIVE_REMOVABLE;
    info.drives[2].hotplug = true;
    info.drives[3].type = DRIVE_REMOTE;
    EXPECT_EQ(std::vector<std::wstring>{L"C:\\"}, listFixedDrives(info));
    EXPECT_EQ(L"C:\\", pickBestDrive(info));

    info.drives = {fixedDrive(L"C:\\", 40000), fixedDrive(L"D:\\", 40000)};
    EXPECT_EQ(L"C:\\", pickBestDrive(info));
    info.drives = {fixedDrive(L"C:\\", 0)};
    EXPECT_EQ(L"", pickBestDrive(info));
}

TEST(InstallPathTest, CheckFreeSpaceOfUserFolders)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"D:\\", 1000)};
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"  D:/Games/ZUL/  ", true},
        {L"D:\\a\\\\b", true},
        {L"D:\\a\\ ", true},   // the last piece is not tested
        {L"D:\\ \\b", false},  // a piece of blanks
        {L"D:\\", false},
        {L"", false},
        {L"D:\\Games\\a:b", false},
        {L"D:\\Ga|mes", false},
        {L"E:\\Games", false},  // no such drive
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, checkFreeSpace(info, c.first)) << testutil::narrow(c.first);
    info.drives[0].freeMegabytes = 0;
    EXPECT_FALSE(checkFreeSpace(info, L"D:\\Games"));
}

TEST(InstallPathTest, SanitizeAndNormalize)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"C:/Pro<g>ram/Fi|les/", L"C:\\Program\\Files"},
        {L"  D:\\ Games \\\\ZUL\\ ", L"D:\\Games\\ZUL"},
        {L"D:\\a\\?*\\b", L"D:\\a\\b"},              // a part left empty is dropped
        {L"\\\\server\\share", L"\\server\\share"},  // one leading backslash stays
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, KXSpaceModel::sanitizePath(c.first)) << testutil::narrow(c.first);

    KXSpaceModel model;
    EXPECT_EQ(L"D:\\Games\\ZUL\\", model.normalizeInstallPath(L"D:/Games"));
    EXPECT_FALSE(model.pathIsProductFolder());
    // Anything after the last product folder is dropped.
    EXPECT_EQ(L"E:\\ZUL\\a\\ZUL\\", model.normalizeInstallPath(L"E:\\ZUL\\a\\ZUL\\b"));
    EXPECT_TRUE(model.pathIsProductFolder());
    // The product folder is matched with its exact case and as a whole part.
    EXPECT_EQ(L"E:\\zul\\ZUL\\", model.normalizeInstallPath(L"E:\\zul"));
    EXPECT_EQ(L"E:\\MyZUL\\ZUL\\", model.normalizeInstallPath(L"E:\\MyZUL"));
}

// calcInstallPath reads the per-user "InstallDir"; these tests own that value.
class CalcInstallPathTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, insttest::kProductKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, insttest::kProductKey); }
    std::wstring calc()
    {
        KXSpaceModel model;
        model.setDriveInfoSource(&drives);
        model.calcInstallPath();
        previous = model.previousInstallPath();
        return model.getInstallPath();
    }

    testutil::TempDir temp;
    FakeDriveInfo drives;
    std::wstring previous;
};

// The folder's name is kept whole, also outside the ANSI code page.
TEST_F(CalcInstallPathTest, ExistingRegisteredFolderIsReusedUpToTheProductFolder)
{
    const std::wstring old = temp.path() + L"Old \x0418\x0433\x0440\x044B \x904A\x6232";
    const std::wstring sub = old + L"\\ZUL\\Sub\\";
    CreateDirectoryW(old.c_str(), nullptr);
    CreateDirectoryW((old + L"\\ZUL").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    insttest::writeRegString(HKEY_CURRENT_USER, insttest::kProductKey, L"InstallDir", sub);
    EXPECT_EQ(old + L"\\ZUL\\", calc());
    EXPECT_EQ(sub, previous);
}

TEST_F(CalcInstallPathTest, MissingFolderFallsBackToTheBestDriveThenTheSystemRoot)
{
    insttest::writeRegString(HKEY_CURRENT_USER, insttest::kProductKey, L"InstallDir", temp.path() + L"gone\\ZUL\\");
    drives.drives = {fixedDrive(L"Q:\\", 100), fixedDrive(L"R:\\", 50000)};
    EXPECT_EQ(L"R:\\ZUL\\", calc());
    EXPECT_EQ(L"", previous);

    // No usable drive: the system drive's root (here the temp folder, so
    // the folder the choice creates at once can be seen), never a relative path.
    drives.systemRoot = temp.path();
    drives.drives[1].hotplug = true;
    drives.drives[0].freeOk = false;
    EXPECT_EQ(temp.path() + L"ZUL\\", calc());
    EXPECT_TRUE(testutil::dirExists(temp.path() + L"ZUL"));
}

// What an install folder the installer makes is given: a Program Files
// folder's protection, shut off from the permissions of the folder above.
TEST(InstallFolderSecurityTest, AdministratorsAndSystemChangeUsersReadAndRunInsideToo)
{
    utility::ScopedLocalMemory descriptor(programFilesSecurity());
    ASSERT_TRUE(descriptor.valid());
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(descriptor.get(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl != nullptr);
    std::vector<std::wstring> entries;  // "<SID> <access mask> <inheritance flags>"
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        ASSERT_EQ(ACCESS_ALLOWED_ACE_TYPE, ace->Header.AceType);
        wchar_t* sid = nullptr;
        ASSERT_TRUE(ConvertSidToStringSidW(&ace->SidStart, &sid));
        wchar_t rights[32] = {0};
        swprintf(rights, 32, L" 0x%lx 0x%x", static_cast<unsigned long>(ace->Mask), ace->Header.AceFlags);
        entries.push_back(sid + std::wstring(rights));
        LocalFree(sid);
    }
    std::sort(entries.begin(), entries.end());
    // SYSTEM and the administrators: full control; the users: read and
    // execute; each passed on to files and folders inside.
    EXPECT_EQ((std::vector<std::wstring>{L"S-1-5-18 0x1f01ff 0x3", L"S-1-5-32-544 0x1f01ff 0x3",
                                         L"S-1-5-32-545 0x1200a9 0x3"}),
              entries);
}

// The machine's drives, except that none counts as hot-plug: Wine does not
// answer the hot-plug query, so that a volume it lets us open (C:, and the
// host's root Z: when run as root) counts as hot-plug and none may be left to
// choose from.
class MachineDrivesWithoutHotplug : public SystemDriveInfo {
public:
    bool isHotplug(const std::wstring&) override { return false; }
};

TEST(MachineDrivesTest, SystemDriveScoresAndTheBestDriveIsAListedFixedRoot)
{
    KXSpaceModel model;
    DriveInfoSource& drives = model.driveInfo();
    wchar_t windows[MAX_PATH] = {0};
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring root = std::wstring(windows, 1) + L":\\";
    EXPECT_EQ(0, _wcsicmp(root.c_str(), drives.systemDriveRoot().c_str()));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), drives.driveType(root));
    EXPECT_GT(drivechoice::scoreDrive(drives, root), 0.0);  // free space and NTFS read

    MachineDrivesWithoutHotplug machine;
    model.setDriveInfoSource(&machine);
    const std::vector<std::wstring> fixed = model.listFixedDrives();
    EXPECT_NE(fixed.end(), std::find(fixed.begin(), fixed.end(), root)) << "the system drive is not listed";
    const std::wstring best = model.pickBestDrive();
    ASSERT_EQ(3u, best.size()) << testutil::narrow(best);
    EXPECT_NE(fixed.end(), std::find(fixed.begin(), fixed.end(), best));
    EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeW(best.c_str()));
}
