#include <gtest/gtest.h>

#include "fake_drives.h"
#include "install/kxspace_model.h"
#include "common/test_util.h"

TEST(InstallPathTest, SanitizePath)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"", L""},
        {L"C:/Pro<g>ram/Fi|les/", L"C:\\Program\\Files"},
        {L"D:/Games/", L"D:\\Games"},
        {L"  D:\\ Games \\\\ZUL\\ ", L"D:\\Games\\ZUL"},
        {L"D:\\a\\?*\\b", L"D:\\a\\b"},          // a part left empty is dropped
        {L"\\\\server\\share", L"\\server\\share"},  // one leading backslash stays
        {L"D:\\x:y\\\"q\"", L"D:\\xy\\q"},
        {L"relative\\dir", L"relative\\dir"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "path '" << c.in << "'");
        EXPECT_EQ(c.out, KXSpaceModel::sanitizePath(c.in));
    }
}

TEST(InstallPathTest, NormalizeInstallPathKeepsOneProductFolder)
{
    KXSpaceModel model;
    EXPECT_EQ(L"", model.normalizeInstallPath(L""));

    EXPECT_EQ(L"D:\\Games\\ZUL\\", model.normalizeInstallPath(L"D:/Games"));
    EXPECT_FALSE(model.pathIsProductFolder());

    EXPECT_EQ(L"E:\\Games\\ZUL\\", model.normalizeInstallPath(L"E:\\Games\\ZUL\\"));
    EXPECT_TRUE(model.pathIsProductFolder());

    // Anything after the last product folder is dropped.
    EXPECT_EQ(L"E:\\Old\\ZUL\\", model.normalizeInstallPath(L"E:\\Old\\ZUL\\Sub\\"));
    EXPECT_TRUE(model.pathIsProductFolder());
    EXPECT_EQ(L"E:\\ZUL\\a\\ZUL\\", model.normalizeInstallPath(L"E:\\ZUL\\a\\ZUL\\b"));

    // The product folder is matched with its exact case and as a whole part.
    EXPECT_EQ(L"E:\\zul\\ZUL\\", model.normalizeInstallPath(L"E:\\zul"));
    EXPECT_FALSE(model.pathIsProductFolder());
    EXPECT_EQ(L"E:\\MyZUL\\ZUL\\", model.normalizeInstallPath(L"E:\\MyZUL"));
}

// calcInstallPath reads the per-user "InstallDir"; these tests own that value.
class CalcInstallPathTest : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kProductRegKey); }
    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProductRegKey);
        RegDeleteKeyW(HKEY_CURRENT_USER, kProductRegKey);
    }
    void setInstallDir(const std::wstring& dir)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kProductRegKey, 0, nullptr, 0,
                                                 KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExW(key, L"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                       static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }

    testutil::TempDir temp;
    FakeDriveInfo drives;
};

TEST_F(CalcInstallPathTest, ExistingRegisteredFolderIsReused)
{
    const std::wstring dir = temp.path() + L"Games\\ZUL\\";
    ASSERT_TRUE(CreateDirectoryW((temp.path() + L"Games").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    setInstallDir(dir);

    KXSpaceModel model;
    model.setDriveInfoSource(&drives);
    model.calcInstallPath();
    EXPECT_EQ(dir, model.previousInstallPath());
    EXPECT_EQ(dir, model.getInstallPath());
    EXPECT_TRUE(model.pathIsProductFolder());
}

TEST_F(CalcInstallPathTest, RegisteredSubfolderIsCutAfterTheProductFolder)
{
    const std::wstring sub = temp.path() + L"Old\\ZUL\\Sub\\";
    CreateDirectoryW((temp.path() + L"Old").c_str(), nullptr);
    CreateDirectoryW((temp.path() + L"Old\\ZUL").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(sub.c_str(), nullptr));
    setInstallDir(sub);

    KXSpaceModel model;
    model.setDriveInfoSource(&drives);
    model.calcInstallPath();
    EXPECT_EQ(sub, model.previousInstallPath());
    EXPECT_EQ(temp.path() + L"Old\\ZUL\\", model.getInstallPath());
}

TEST_F(CalcInstallPathTest, MissingRegisteredFolderFallsBackToTheBestDrive)
{
    setInstallDir(temp.path() + L"gone\\ZUL\\");
    drives.drives = {fixedDrive(L"Q:\\", 100), fixedDrive(L"R:\\", 50000)};

    KXSpaceModel model;
    model.setDriveInfoSource(&drives);
    model.calcInstallPath();
    EXPECT_EQ(L"", model.previousInstallPath());
    EXPECT_EQ(L"R:\\ZUL\\", model.getInstallPath());
}

TEST_F(CalcInstallPathTest, NoUsableDriveUsesTheSystemDriveRoot)
{
    // The made-up system drive is the temp folder, so the folder the choice
    // creates at once can be seen.
    drives.systemRoot = temp.path();
    drives.drives = {fixedDrive(L"Q:\\", 90000)};
    drives.drives[0].hotplug = true;

    KXSpaceModel model;
    model.setDriveInfoSource(&drives);
    model.calcInstallPath();
    EXPECT_EQ(temp.path() + L"ZUL\\", model.getInstallPath());
    EXPECT_TRUE(testutil::dirExists(temp.path() + L"ZUL"));
}

TEST(MachineDrivesTest, BestDriveIsAFixedRootAndTheSystemDriveIsARoot)
{
    // The machine's own drives; nothing is created. (Under Wine the hot-plug
    // query is not answered, and the host's root shows as a fixed Z:.)
    KXSpaceModel model;
    const std::wstring best = model.pickBestDrive();
    if (!best.empty()) {
        EXPECT_EQ(DRIVE_FIXED, GetDriveTypeW(best.c_str()));
        EXPECT_GT(model.scoreDrive(best), 0.0);
    }
    const std::wstring system = model.driveInfo().systemDriveRoot();
    ASSERT_EQ(3u, system.size());
    EXPECT_EQ(L":\\", system.substr(1));
    wchar_t windows[MAX_PATH] = {0};
    GetSystemWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_EQ(towupper(windows[0]), towupper(system[0]));
}
