#include <gtest/gtest.h>

#include "common/test_util.h"
#include "skinui/core/theme_colors.h"

using namespace SkinUI;

// One test: the table is process-wide, so the steps run in a fixed order.
TEST(ThemeColorsTest, BuiltInTableThenColorsIni)
{
    const std::wstring besideExe = testutil::exeDir() + L"colors.ini";
    DeleteFileW(besideExe.c_str());

    LoadThemeColors();  // no file: the built-in table stays
    ASSERT_EQ(7, GetThemeColorCount());
    EXPECT_EQ(0xFF16171Fu, GetThemeColor(0));
    EXPECT_EQ(0xFFEAEAEBu, GetThemeColor(6));
    EXPECT_EQ(0u, GetThemeColor(7));
    EXPECT_EQ(0u, GetThemeColor(-1));

    testutil::TempDir dir;
    EXPECT_FALSE(LoadThemeColorsFromFile(dir.file(L"missing.ini").c_str()));
    EXPECT_EQ(0xFF16171Fu, GetThemeColor(0));

    // Only "toolbar" and "setupLeftBar" given: every other index takes the file defaults.
    ASSERT_TRUE(testutil::writeFile(dir.file(L"colors.ini"),
                                    "[setting]\r\ntoolbar=FF123456\r\ncontent=\r\nsetupLeftBar=#FF00AA00\r\n"));
    EXPECT_TRUE(LoadThemeColorsFromFile(dir.file(L"colors.ini").c_str()));
    EXPECT_EQ(0xFF06061Fu, GetThemeColor(0));
    EXPECT_EQ(0xFF1F1F39u, GetThemeColor(2));
    EXPECT_EQ(0xFF123456u, GetThemeColor(3));
    EXPECT_EQ(0xFF20203Au, GetThemeColor(4));  // empty value: default
    EXPECT_EQ(0xFF00AA00u, GetThemeColor(5));  // read like every colour value: "#" optional
    EXPECT_EQ(0xFF36364Du, GetThemeColor(6));

    // The file beside the executable replaces the whole table.
    ASSERT_TRUE(testutil::writeFile(besideExe, "[setting]\r\nmainToolbar=FF000001\r\nsetupBottomBar=00ABCDEF\r\n"));
    LoadThemeColors();
    DeleteFileW(besideExe.c_str());
    EXPECT_EQ(0xFF000001u, GetThemeColor(0));
    EXPECT_EQ(0xFF06061Fu, GetThemeColor(3));
    EXPECT_EQ(0x00ABCDEFu, GetThemeColor(6));
}
