// Fonts and images of the window manager: own and shared tables, replacement
// by id, the default font fallback, lazy metrics, and image look-up order.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "draw_test_canvas.h"
#include "skinui/core/ui_manager.h"

using namespace SkinUI;

namespace {

TEST(ManagerFontsTest, AddFontReplacesByIdAndUnknownIdsFallBack)
{
    CUiManager manager;
    HFONT first = manager.AddFont(40, L"Tahoma", 15, false, false, false);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, manager.GetFont(40));
    HFONT second = manager.AddFont(40, L"Tahoma", 25, true, false, false);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, manager.GetFont(40));
    // The first font object was deleted with its record.
    LOGFONTW lf = {};
    EXPECT_EQ(0, ::GetObjectW(first, sizeof(lf), &lf));

    EXPECT_EQ(second, manager.GetFont(L"Tahoma", 25, true, false, false));
    EXPECT_EQ(nullptr, manager.GetFont(L"Tahoma", 25, false, false, false));

    HFONT fallback = manager.GetDefaultFontInfo()->hFont;
    EXPECT_NE(nullptr, fallback);
    EXPECT_EQ(fallback, manager.GetFont(41));
    EXPECT_EQ(fallback, manager.GetFont(-1));

    // Metrics are filled on first use and a bold font is heavier.
    UiFontInfo* info = manager.GetFontInfo(40);
    EXPECT_EQ(25, info->iSize);
    EXPECT_GT(info->tm.tmHeight, 20);
    EXPECT_GE(info->tm.tmWeight, FW_BOLD);
    EXPECT_EQ(info, manager.GetFontInfo(second));

    manager.RemoveAllFonts();
    EXPECT_EQ(fallback, manager.GetFont(40));
}

TEST(ManagerFontsTest, InitFontSetFillsTheSharedIdsAndDefault)
{
    CUiManager owner;
    owner.InitFontSet(L"Tahoma");
    CUiManager other;  // shared fonts reach every manager
    const int sizes[] = {12, 14, 16, 18, 20, 22, 24, 28, 32};
    for (int id = 0; id < 9; ++id) {
        UiFontInfo* info = other.GetFontInfo(id);
        EXPECT_EQ(sizes[id], info->iSize) << id;
        EXPECT_STREQ(L"Tahoma", info->sFontName);
        EXPECT_FALSE(info->bBold);
    }
    EXPECT_STREQ(L"Tahoma", other.GetDefaultFontInfo()->sFontName);
    EXPECT_EQ(12, other.GetDefaultFontInfo()->iSize);

    // A manager's own default font takes precedence once set.
    other.SetDefaultFont(L"Tahoma", 17, false, false, false);
    EXPECT_EQ(17, other.GetDefaultFontInfo()->iSize);
    EXPECT_EQ(12, owner.GetDefaultFontInfo()->iSize);
}

TEST(ManagerImagesTest, OwnThenSharedAndLoadedOnce)
{
    testutil::TempDir dir;
    std::wstring path = dir.file(L"pic.tga");
    ASSERT_TRUE(testutil::writeFile(path, drawtest::MakeTga(2, 2, std::vector<DWORD>(4, 0xFF00FF00))));
    CUiManager a;
    CUiManager b;
    const UiImageInfo* shared = a.GetImageEx(path.c_str(), nullptr, 0, false, true);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(shared, b.GetImage(path.c_str()));
    EXPECT_EQ(shared, b.GetImageEx(path.c_str()));

    const UiImageInfo* own = b.AddImage(path.c_str());
    ASSERT_NE(nullptr, own);
    EXPECT_NE(shared, own);
    EXPECT_EQ(own, b.GetImage(path.c_str()));
    EXPECT_EQ(shared, a.GetImage(path.c_str()));

    // Kept for hue/saturation/lightness when asked.
    CUiManager c;
    std::wstring second = dir.file(L"pic2.tga");
    ASSERT_TRUE(testutil::writeFile(second, drawtest::MakeTga(1, 1, {0xFFFF0000})));
    const UiImageInfo* hsl = c.AddImage(second.c_str(), nullptr, 0, true);
    ASSERT_NE(nullptr, hsl);
    EXPECT_TRUE(hsl->bUseHSL);
    ASSERT_NE(nullptr, hsl->pSrcBits);
    UiImageInfo* editable = const_cast<UiImageInfo*>(hsl);
    EXPECT_TRUE(CDrawKit::AdjustImage(true, editable, 300, 100, 100));
    EXPECT_EQ(0xFF00FF00u, reinterpret_cast<const DWORD*>(editable->pBits)[0]);
    EXPECT_TRUE(CDrawKit::AdjustImage(true, editable, 180, 100, 100));
    EXPECT_EQ(0xFFFF0000u, reinterpret_cast<const DWORD*>(editable->pBits)[0]);

    EXPECT_EQ(nullptr, c.GetImageEx(dir.file(L"missing.tga").c_str()));
    a.RemoveAllImages(true);
    EXPECT_EQ(nullptr, a.GetImage(path.c_str()));
}

TEST(ManagerImagesTest, ResourceImagesByNumberOrName)
{
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    CUiManager manager;
    const UiImageInfo* byNumber = manager.GetImageEx(L"131", L"TGA");
    ASSERT_NE(nullptr, byNumber);
    EXPECT_EQ(1, byNumber->nX);
    EXPECT_EQ(0xFFFF0000u, reinterpret_cast<const DWORD*>(byNumber->pBits)[0]);
    EXPECT_STREQ(L"TGA", byNumber->sResType);
    const UiImageInfo* byName = manager.GetImageEx(L"logo", L"TGA");
    ASSERT_NE(nullptr, byName);
    EXPECT_EQ(1, byName->nY);
    EXPECT_EQ(nullptr, manager.GetImageEx(L"132", L"TGA"));
}

TEST(ManagerEnlargeTest, ConstantsAndSwitch)
{
    EXPECT_FALSE(CUiManager::IsEnlargeMode());
    EXPECT_FLOAT_EQ(1.5f, CUiManager::GetEnlargeScale());
    EXPECT_EQ(4, CUiManager::GetEnlargeFontOffset());
}

}  // namespace
