#include <gtest/gtest.h>

#include "fake_drives.h"
#include "install/drive_choice.h"

using drivechoice::checkFreeSpace;
using drivechoice::listFixedDrives;
using drivechoice::pickBestDrive;
using drivechoice::scoreDrive;

TEST(DriveScoreTest, SsdFactorNeedsMoreThan24576Megabytes)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"C:\\", 30000), fixedDrive(L"D:\\", 25000, true)};
    EXPECT_DOUBLE_EQ(30000.0, scoreDrive(info, L"C:\\"));
    EXPECT_DOUBLE_EQ(25000.0 * 1000, scoreDrive(info, L"D:\\"));
    EXPECT_EQ(L"D:\\", pickBestDrive(info));

    info.drives[1].freeMegabytes = 20000;
    EXPECT_DOUBLE_EQ(20000.0, scoreDrive(info, L"D:\\"));
    EXPECT_EQ(L"C:\\", pickBestDrive(info));

    // Exactly 24576 MB, and a fraction above it, are not boosted: the
    // truncated megabytes must exceed the limit.
    info.drives[1].freeMegabytes = 24576;
    EXPECT_DOUBLE_EQ(24576.0, scoreDrive(info, L"D:\\"));
    info.drives[1].freeMegabytes = 24576.5;
    EXPECT_DOUBLE_EQ(24576.5, scoreDrive(info, L"D:\\"));
    info.drives[1].freeMegabytes = 24577;
    EXPECT_DOUBLE_EQ(24577.0 * 1000, scoreDrive(info, L"D:\\"));

    // The TRIM query gets the drive name without backslash, the free-space
    // query the three-character root.
    EXPECT_EQ(L"D:", info.ssdQueries.back());
    EXPECT_EQ(L"D:\\", info.freeQueries.back());
}

TEST(DriveScoreTest, OnlyFat32AndNtfsScore)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"C:\\", 500), fixedDrive(L"D:\\", 900000),
                   fixedDrive(L"E:\\", 800000), fixedDrive(L"F:\\", 700)};
    info.drives[1].fileSystem = L"exFAT";
    info.drives[2].fileSystem = L"ntfs";  // names compare exactly
    info.drives[3].fileSystem = L"FAT32";
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(info, L"D:\\"));
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(info, L"E:\\"));
    EXPECT_DOUBLE_EQ(700.0, scoreDrive(info, L"F:\\"));
    EXPECT_EQ(L"F:\\", pickBestDrive(info));

    // A volume whose information cannot be read still scores; one without a
    // free-space answer does not.
    info.drives[1].fileSystemOk = false;
    EXPECT_DOUBLE_EQ(900000.0, scoreDrive(info, L"D:\\"));
    info.drives[1].freeOk = false;
    EXPECT_DOUBLE_EQ(0.0, scoreDrive(info, L"D:\\"));
}

TEST(DriveScoreTest, OnlyFixedDrivesThatAreNotHotplug)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"A:\\", 90000), fixedDrive(L"C:\\", 100),
                   fixedDrive(L"D:\\", 80000), fixedDrive(L"E:\\", 70000),
                   fixedDrive(L"F:\\", 60000), fixedDrive(L"G:\\", 50000),
                   fixedDrive(L"H:\\", 40000)};
    info.drives[0].type = DRIVE_REMOVABLE;
    info.drives[2].hotplug = true;
    info.drives[3].type = DRIVE_CDROM;
    info.drives[4].type = DRIVE_REMOTE;
    info.drives[5].type = DRIVE_RAMDISK;
    info.drives[6].type = DRIVE_UNKNOWN;
    std::vector<std::wstring> fixed = listFixedDrives(info);
    ASSERT_EQ(1u, fixed.size());
    EXPECT_EQ(L"C:\\", fixed[0]);
    EXPECT_EQ(L"C:\\", pickBestDrive(info));
}

TEST(DriveScoreTest, TiesKeepTheEarlierDriveAndNothingUsableGivesEmpty)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"C:\\", 40000), fixedDrive(L"D:\\", 40000),
                   fixedDrive(L"E:\\", 39999)};
    EXPECT_EQ(L"C:\\", pickBestDrive(info));

    info.drives = {fixedDrive(L"C:\\", 0), fixedDrive(L"D:\\", 5000)};
    info.drives[1].fileSystem = L"exFAT";
    EXPECT_EQ(L"", pickBestDrive(info));
    info.drives.clear();
    EXPECT_EQ(L"", pickBestDrive(info));
}

TEST(CheckFreeSpaceTest, UserFolders)
{
    FakeDriveInfo info;
    info.drives = {fixedDrive(L"D:\\", 1000)};
    struct Case {
        const wchar_t* path;
        bool ok;
    };
    const Case cases[] = {
        {L"D:\\Games", true},
        {L"D:/Games/ZUL/", true},
        {L"  D:\\Games\\ZUL\\  ", true},
        {L"D:\\a\\\\b", true},        // a doubled backslash collapses first
        {L"D:\\a\\ b\\c", true},
        {L"D:\\a\\ ", true},          // the last piece is not tested
        {L"D:\\ \\b", false},         // a piece of blanks
        {L"D:\\", false},             // a bare root is two characters after cleaning
        {L"D:", false},
        {L"", false},
        {L"D:\\Ga?mes", false},
        {L"D:\\Games\\a:b", false},
        {L"D:\\Ga<m>es", false},
        {L"D:\\Ga|mes", false},
        {L"D:\\Ga\"mes", false},
        {L"E:\\Games", false},        // no such drive
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "path '" << c.path << "'");
        EXPECT_EQ(c.ok, checkFreeSpace(info, c.path));
    }
    info.drives[0].freeMegabytes = 0;
    EXPECT_FALSE(checkFreeSpace(info, L"D:\\Games"));
}
