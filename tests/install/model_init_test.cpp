// The model's start-up values: the region of the UI language, the tokens of
// the installer's file name and the keys of its command line.
#include <gtest/gtest.h>

#include "install/kxspace_model.h"

TEST(ModelInitTest, RegionOfTheUiLanguage)
{
    const struct {
        LANGID language;
        const wchar_t* region;
    } cases[] = {{0x0404, L"cn"}, {0x0804, L"cn"}, {0x0C04, L"cn"}, {0x0409, L"en"}, {0x0809, L"en"},
                 {0x042A, L"vn"}, {0x041E, L"th"}, {0x0421, L"id"}, {0x0411, L"en"}, {0x0412, L"en"}};
    for (const auto& c : cases)
        EXPECT_EQ(c.region, KXSpaceModel::regionFromUiLanguage(c.language)) << std::hex << c.language;
}

TEST(ModelInitTest, FileNameTokens)
{
    KXSpaceModel shared;
    shared.readFileNameTokens(L"pkxspace_tw_12345_u1_pkg1_share7.exe");
    EXPECT_EQ(L"tw", shared.getLanguage());
    EXPECT_EQ(L"12345", shared.open());
    EXPECT_EQ(L"u1", shared.sharedUid());
    EXPECT_EQ(L"", shared.uid());
    EXPECT_EQ(L"pkg1", shared.getPackage());

    KXSpaceModel own;
    own.readFileNameTokens(L"pkxspace_tw_12345_u1_pkg1_x.exe");
    EXPECT_EQ(L"u1", own.uid());
    EXPECT_EQ(L"", own.sharedUid());

    // Four tokens: region and open only; open must be all digits.
    KXSpaceModel four;
    four.readFileNameTokens(L"a_kr_x9_b.exe");
    EXPECT_EQ(L"kr", four.getLanguage());
    EXPECT_EQ(L"", four.open());
    EXPECT_EQ(L"", four.getPackage());

    // Blanks around the tokens go, empty ones still count.
    KXSpaceModel blanks;
    blanks.readFileNameTokens(L"x_ vn _ 7 __y.exe");
    EXPECT_EQ(L"vn", blanks.getLanguage());
    EXPECT_EQ(L"7", blanks.open());
    KXSpaceModel plain;
    plain.setRegion(L"th");
    plain.readFileNameTokens(L"zul_inst_setup.exe");  // three tokens: not used
    EXPECT_EQ(L"th", plain.getLanguage());
}

TEST(ModelInitTest, CommandLineKeys)
{
    KXSpaceModel model;
    model.readCommandLine(L" PATH = D:/Games/ | From=update|upgrade= 2 |x=1|=y|junk");
    EXPECT_EQ(L"D:\\Games\\ZUL\\", model.getInstallPath());
    EXPECT_EQ(L"D:\\Games\\", model.previousInstallPath());
    EXPECT_EQ(L"update", model.from());
    EXPECT_EQ(2, model.upgrade());
    EXPECT_TRUE(model.isUpdateRun());
    EXPECT_FALSE(model.isUnattendedRun());

    // A product folder in the path is kept; "install..." runs unattended.
    KXSpaceModel unattended;
    unattended.readCommandLine(L"from=install_by_script|path=E:\\Old\\ZUL\\Sub");
    EXPECT_EQ(L"E:\\Old\\ZUL\\", unattended.getInstallPath());
    EXPECT_TRUE(unattended.previousInstallPath().empty());
    EXPECT_TRUE(unattended.isUnattendedRun());
    EXPECT_EQ(-1, unattended.upgrade());
}
