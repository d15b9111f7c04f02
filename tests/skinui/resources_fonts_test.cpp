// Fonts and images of the window manager: own and shared tables, replacement
// by id, the default font fallback, lazy metrics, and image look-up order.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "test_helpers.h"

using namespace SkinUI;

namespace {

TEST(ManagerFontsTest, AddFontReplacesByIdAndUnknownIdsFallBack)
{
    CUiManager manager;
    HFONT first = manager.AddFont(40, L"Tahoma", 15, false, false, false);
    HFONT second = manager.AddFont(40, L"Tahoma", 25, true, false, false);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, manager.GetFont(40));
    LOGFONTW lf = {};
    EXPECT_EQ(0, ::GetObjectW(first, sizeof(lf), &lf));  // deleted with its record
    EXPECT_EQ(second, manager.GetFont(L"Tahoma", 25, true, false, false));
    EXPECT_EQ(nullptr, manager.GetFont(L"Tahoma", 25, false, false, false));
    HFONT fallback = manager.GetDefaultFontInfo()->hFont;
    EXPECT_NE(nullptr, fallback);
    EXPECT_EQ(fallback, manager.GetFont(41));

    // Metrics are filled on first use and a bold font is heavier.
    UiFontInfo* info = manager.GetFontInfo(40);
    EXPECT_GT(info->tm.tmHeight, 20);
    EXPECT_GE(info->tm.tmWeight, FW_BOLD);
    manager.RemoveAllFonts();
    EXPECT_EQ(fallback, manager.GetFont(40));
}

TEST(ManagerFontsTest, InitFontSetFillsTheSharedIdsAndDefault)
{
    CUiManager owner;
    owner.InitFontSet(L"Tahoma");
    CUiManager other;  // shared fonts reach every manager
    EXPECT_EQ(14, other.GetFontInfo(1)->iSize);
    EXPECT_EQ(32, other.GetFontInfo(8)->iSize);
    EXPECT_STREQ(L"Tahoma", other.GetFontInfo(8)->sFontName);
    EXPECT_EQ(12, other.GetDefaultFontInfo()->iSize);
    // A manager's own default font takes precedence once set.
    other.SetDefaultFont(L"Tahoma", 17, false, false, false);
    EXPECT_EQ(17, other.GetDefaultFontInfo()->iSize);
    EXPECT_EQ(12, owner.GetDefaultFontInfo()->iSize);
}

TEST(ManagerImagesTest, OwnThenSharedLoadedOnceAndKeptForHsl)
{
    testutil::TempDir dir;
    std::wstring path = dir.file(L"pic.tga");
    ASSERT_TRUE(testutil::writeFile(path, skintest::MakeTga(1, 1, {0xFFFF0000})));
    CUiManager a, b;
    const UiImageInfo* shared = a.GetImageEx(path.c_str(), nullptr, 0, false, true);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(shared, b.GetImage(path.c_str()));
    const UiImageInfo* own = b.AddImage(path.c_str(), nullptr, 0, true);
    ASSERT_NE(nullptr, own);
    EXPECT_NE(shared, own);
    EXPECT_EQ(own, b.GetImage(path.c_str()));
    EXPECT_EQ(shared, a.GetImage(path.c_str()));

    ASSERT_TRUE(own->bUseHSL);
    ASSERT_NE(nullptr, own->pSrcBits);
    UiImageInfo* editable = const_cast<UiImageInfo*>(own);
    EXPECT_TRUE(CDrawKit::AdjustImage(true, editable, 300, 100, 100));
    EXPECT_EQ(0xFF00FF00u, reinterpret_cast<const DWORD*>(editable->pBits)[0]);
    EXPECT_TRUE(CDrawKit::AdjustImage(true, editable, 180, 100, 100));  // from the kept source again
    EXPECT_EQ(0xFFFF0000u, reinterpret_cast<const DWORD*>(editable->pBits)[0]);

    EXPECT_EQ(nullptr, b.GetImageEx(dir.file(L"missing.tga").c_str()));
    a.RemoveAllImages(true);
    EXPECT_EQ(nullptr, a.GetImage(path.c_str()));
}

TEST(ManagerImagesTest, ResourceImagesByNumberOrName)
{
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    CUiManager manager;
    const UiImageInfo* byNumber = manager.GetImageEx(L"131", L"TGA");
    ASSERT_NE(nullptr, byNumber);
    EXPECT_EQ(0xFFFF0000u, reinterpret_cast<const DWORD*>(byNumber->pBits)[0]);
    EXPECT_NE(nullptr, manager.GetImageEx(L"logo", L"TGA"));
    EXPECT_EQ(nullptr, manager.GetImageEx(L"132", L"TGA"));
}

}  // namespace
