// The drawing kit's images and fills, checked on the pixels of memory DIBs:
// decoding with premultiplied alpha and the mask colour, the description
// grammar, nine-grid corners, dest clipping, tiling, hole, fade, frame
// strips, colour fills and gradients; and every drawing call leaves the
// objects selected into its DC as it found them.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/draw_kit_internal.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;

namespace {

const DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kYellow = 0xFFFF00,
            kGrey = 0x808080;

class DrawImageTest : public ::testing::Test {
protected:
    // Writes the image and returns its absolute path (a description may use it as the file).
    std::wstring Image(const wchar_t* name, int width, int height, const std::vector<DWORD>& pixels)
    {
        std::wstring path = dir.file(name);
        EXPECT_TRUE(testutil::writeFile(path, skintest::MakeTga(width, height, pixels)));
        return path;
    }
    bool Draw(Canvas& canvas, const RECT& item, const std::wstring& description)
    {
        UiDrawInfo info;
        info.sDrawString = description.c_str();
        return CDrawKit::DrawImageInfo(canvas.dc(), &manager, item, canvas.all(), info);
    }

    testutil::TempDir dir;
    CUiManager manager;
};

TEST_F(DrawImageTest, DecodingPremultipliesAlphaAndKeysOutTheMask)
{
    std::wstring path = Image(L"alpha.tga", 4, 1, {0x00C86432, 0x80C86432, 0xFFC86432, 0xFFFF0000});
    UiImageInfo* image = CDrawKit::LoadImage(path.c_str(), nullptr, 0xFFFF0000);
    ASSERT_NE(nullptr, image);
    EXPECT_TRUE(image->bAlpha);
    const DWORD* bits = reinterpret_cast<const DWORD*>(image->pBits);
    EXPECT_EQ(0x00000000u, bits[0]);
    // channel x alpha / 255: 200 * 128 / 255 = 100, 100 * 128 / 255 = 50, 50 * 128 / 255 = 25
    EXPECT_EQ(0x80643219u, bits[1]);
    EXPECT_EQ(0xFFC86432u, bits[2]);
    EXPECT_EQ(0x00000000u, bits[3]);  // equal to the mask
    CDrawKit::FreeImage(image);

    // A mask written without alpha FF keys out no opaque pixel.
    image = CDrawKit::LoadImage(Image(L"opaque.tga", 1, 1, {0xFFFF0000}).c_str(), nullptr, 0x00FF0000);
    ASSERT_NE(nullptr, image);
    EXPECT_FALSE(image->bAlpha);
    EXPECT_EQ(0xFFFF0000u, reinterpret_cast<const DWORD*>(image->pBits)[0]);
    CDrawKit::FreeImage(image);

    // Broken or missing files load as null and are tried once.
    ASSERT_TRUE(testutil::writeFile(dir.file(L"junk.png"), "not an image at all"));
    EXPECT_EQ(nullptr, CDrawKit::LoadImage(dir.file(L"junk.png").c_str(), nullptr, 0));
    Canvas canvas(8, 8);
    UiDrawInfo info;
    info.sDrawString = L"file='absent.png' corner='1,1,1,1'";
    EXPECT_FALSE(CDrawKit::DrawImageInfo(canvas.dc(), &manager, canvas.all(), canvas.all(), info));
    EXPECT_TRUE(info.bParsed);
    EXPECT_FALSE(CDrawKit::DrawImageInfo(canvas.dc(), &manager, canvas.all(), canvas.all(), info));
    EXPECT_EQ(0, canvas.CountNot(0));
}

TEST_F(DrawImageTest, DescriptionGrammar)
{
    UiDrawInfo info;
    UiImageLoadSpec spec;
    EXPECT_TRUE(CDrawKit::ParseImageDescription(
        L"file='a.png' dest='1,2,3,4' source='5,6,7,8' corner='1,1,2,2' mask='0xFFFF00FF' fade='128' hole='true' "
        L"xtiled='true' ytiled='false' hsl='true' unknown='x'",
        info, spec));
    EXPECT_STREQ(L"a.png", spec.sName);
    EXPECT_TRUE(skintest::RectIs(info.rcDest, 1, 2, 3, 4));
    EXPECT_TRUE(skintest::RectIs(info.rcSource, 5, 6, 7, 8));
    EXPECT_TRUE(skintest::RectIs(info.rcCorner, 1, 1, 2, 2));
    EXPECT_EQ(0xFFFF00FFu, spec.dwMask);
    EXPECT_EQ(128, info.uFade);
    EXPECT_TRUE(info.bHole && info.bTiledX && !info.bTiledY && spec.bHSL);

    // "res" with "restype", the "scale9" name of the corner, an empty value, a malformed tail.
    UiDrawInfo res;
    UiImageLoadSpec resSpec;
    EXPECT_FALSE(
        CDrawKit::ParseImageDescription(L"res='101' restype='PNG' scale9='3,3,3,3' fade='' hole 'x'", res, resSpec));
    EXPECT_STREQ(L"101", resSpec.sName);
    EXPECT_STREQ(L"PNG", resSpec.sResType);
    EXPECT_EQ(3, res.rcCorner.bottom);
    EXPECT_EQ(255, res.uFade);
}

TEST_F(DrawImageTest, NineGridKeepsCornersStretchesTheCentreAndLeavesAHole)
{
    // A 10 by 10 image: 2-pixel corners red, green, blue, yellow (clockwise from
    // the top-left), grey edges, white centre.
    std::vector<DWORD> pixels(100);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            bool left = x < 2, right = x >= 8, top = y < 2, bottom = y >= 8;
            DWORD c = top && left                      ? kRed
                      : top && right                   ? kGreen
                      : bottom && right                ? kBlue
                      : bottom && left                 ? kYellow
                      : top || bottom || left || right ? kGrey
                                                       : kWhite;
            pixels[y * 10 + x] = 0xFF000000 | c;
        }
    }
    std::wstring grid = L"file='" + Image(L"nine.tga", 10, 10, pixels) + L"' corner='2,2,2,2'";
    Canvas canvas(40, 30);
    ASSERT_TRUE(Draw(canvas, canvas.all(), grid));
    for (int d = 0; d < 2; ++d) {
        EXPECT_EQ(kRed, canvas.Rgb(d, d));
        EXPECT_EQ(kGreen, canvas.Rgb(39 - d, d));
        EXPECT_EQ(kBlue, canvas.Rgb(39 - d, 29 - d));
        EXPECT_EQ(kYellow, canvas.Rgb(d, 29 - d));
    }
    EXPECT_EQ(kGrey, canvas.Rgb(20, 0));
    EXPECT_EQ(kGrey, canvas.Rgb(39, 15));
    EXPECT_EQ(kWhite, canvas.Rgb(2, 2));
    EXPECT_EQ(kWhite, canvas.Rgb(37, 27));

    Canvas holed(40, 30);
    ASSERT_TRUE(Draw(holed, holed.all(), grid + L" hole='true'"));
    EXPECT_EQ(0u, holed.Rgb(20, 15));
    EXPECT_EQ(kGrey, holed.Rgb(20, 1));
}

TEST_F(DrawImageTest, DestIsClampedToTheItemRectangle)
{
    std::wstring path = Image(L"red.tga", 4, 4, std::vector<DWORD>(16, 0xFFFF0000));
    RECT item = {10, 10, 30, 30};
    Canvas canvas(60, 60);
    ASSERT_TRUE(Draw(canvas, item, L"file='" + path + L"' dest='5,5,100,100'"));
    EXPECT_TRUE(skintest::RectIs(canvas.Bounds(0), 15, 15, 30, 30));
    Canvas missed(60, 60);
    ASSERT_TRUE(Draw(missed, item, L"file='" + path + L"' dest='25,25,30,30'"));
    EXPECT_EQ(0, missed.CountNot(0));
    Canvas whole(60, 60);
    ASSERT_TRUE(Draw(whole, item, path));
    EXPECT_EQ(400, whole.CountNot(0));
}

TEST_F(DrawImageTest, TilingRepeatsUnstretchedTilesAndCutsTheLast)
{
    // A 3 by 3 tile: red top-left pixel, blue elsewhere.
    std::vector<DWORD> tile(9, 0xFF0000FF);
    tile[0] = 0xFFFF0000;
    std::wstring path = Image(L"tile.tga", 3, 3, tile);
    Canvas both(10, 7);
    ASSERT_TRUE(Draw(both, both.all(), L"file='" + path + L"' xtiled='true' ytiled='true'"));
    EXPECT_EQ(4 * 3, both.Count(kRed));  // columns at 0,3,6,9 and rows at 0,3,6
    EXPECT_EQ(kRed, both.Rgb(9, 6));
    EXPECT_EQ(kBlue, both.Rgb(8, 5));
    Canvas xOnly(10, 3);
    ASSERT_TRUE(Draw(xOnly, xOnly.all(), L"file='" + path + L"' xtiled='true'"));
    EXPECT_EQ(4, xOnly.Count(kRed));

    // A source without area (right of the image) draws nothing and does not hang.
    Canvas none(10, 7);
    ASSERT_TRUE(Draw(none, none.all(), L"file='" + path + L"' source='3,0,3,3' xtiled='true' ytiled='true'"));
    EXPECT_EQ(0, none.CountNot(0));
}

TEST_F(DrawImageTest, FrameIndexSelectsAQuarterOfTheStrip)
{
    std::vector<DWORD> strip(100 * 2);
    const DWORD colors[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
    for (int i = 0; i < 200; ++i)
        strip[i] = colors[(i % 100) / 25];
    std::wstring path = Image(L"strip.tga", 100, 2, strip);
    Canvas canvas(25, 2);
    UiDrawInfo info;
    info.sDrawString = path.c_str();
    ASSERT_TRUE(CDrawKit::DrawImageInfoFrame(canvas.dc(), &manager, canvas.all(), canvas.all(), info, 2));
    EXPECT_EQ(50, info.rcSource.left);
    EXPECT_EQ(75, info.rcSource.right);
    EXPECT_EQ(0, canvas.CountNot(kBlue));
}

TEST_F(DrawImageTest, AlphaImagesBlendAndFadeScalesThem)
{
    std::wstring half = Image(L"halfred.tga", 2, 2, std::vector<DWORD>(4, 0x80FF0000));
    Canvas canvas(2, 2, 0xFF0000FF);
    ASSERT_TRUE(Draw(canvas, canvas.all(), half));
    EXPECT_NEAR(0x80, skintest::Red(canvas.At(1, 1)), 2);
    EXPECT_NEAR(0x7F, skintest::Blue(canvas.At(1, 1)), 2);

    Canvas faded(2, 2);
    ASSERT_TRUE(Draw(faded, faded.all(),
                     L"file='" + Image(L"red.tga", 2, 2, std::vector<DWORD>(4, 0xFFFF0000)) + L"' fade='128'"));
    EXPECT_NEAR(0x80, skintest::Red(faded.At(0, 0)), 2);

    // Without AlphaBlend the software blend mixes the same way, stretched too.
    drawkit::SetMsimg32Disabled(true);
    Canvas soft(6, 6, 0xFF0000FF);
    bool drawn = Draw(soft, soft.all(), half);
    drawkit::SetMsimg32Disabled(false);
    ASSERT_TRUE(drawn);
    EXPECT_NEAR(0x80, skintest::Red(soft.At(3, 3)), 2);
    EXPECT_NEAR(0x7F, skintest::Blue(soft.At(5, 5)), 2);
}

TEST(DrawColorTest, AlphaZeroHalfAndFullInBothBlends)
{
    for (bool software : {false, true}) {
        drawkit::SetMsimg32Disabled(software);
        Canvas canvas(4, 4);
        CDrawKit::DrawColor(canvas.dc(), canvas.all(), 0x00FF0000);
        EXPECT_EQ(0, canvas.CountNot(0)) << software;
        CDrawKit::DrawColor(canvas.dc(), canvas.all(), 0x80FF0000);
        EXPECT_NEAR(0x80, skintest::Red(canvas.At(2, 2)), 2) << software;
        CDrawKit::DrawColor(canvas.dc(), canvas.all(), 0xFF00FF00);
        EXPECT_EQ(kGreen, canvas.Rgb(3, 3)) << software;
    }
    drawkit::SetMsimg32Disabled(false);
}

TEST(DrawGradientTest, EndsTakeTheTwoColours)
{
    for (bool software : {false, true}) {
        drawkit::SetMsimg32Disabled(software);
        Canvas canvas(8, 64);
        CDrawKit::DrawGradient(canvas.dc(), canvas.all(), 0xFFFF0000, 0xFF0000FF, true, 64);
        EXPECT_NEAR(0xFF, skintest::Red(canvas.At(4, 0)), 8) << software;
        EXPECT_NEAR(0x00, skintest::Blue(canvas.At(4, 0)), 8) << software;
        EXPECT_NEAR(0x00, skintest::Red(canvas.At(4, 63)), 8) << software;
        EXPECT_NEAR(0xFF, skintest::Blue(canvas.At(4, 63)), 8) << software;
        Canvas horizontal(64, 4);
        CDrawKit::DrawGradient(horizontal.dc(), horizontal.all(), 0xFF00FF00, 0xFFFFFFFF, false, 16);
        EXPECT_NEAR(0x00, skintest::Red(horizontal.At(0, 2)), 8) << software;
        EXPECT_NEAR(0xFF, skintest::Red(horizontal.At(63, 2)), 8) << software;
        Canvas none(8, 8);  // alpha 0 on both ends draws nothing
        CDrawKit::DrawGradient(none.dc(), none.all(), 0x00FF0000, 0x000000FF, true, 16);
        EXPECT_EQ(0, none.CountNot(0)) << software;
    }
    drawkit::SetMsimg32Disabled(false);
}

TEST(DrawFrameTest, OutlinesLinesAndClips)
{
    Canvas canvas(20, 20);
    CDrawKit::DrawRect(canvas.dc(), RECT{2, 2, 18, 18}, 2, 0xFFFF0000);
    EXPECT_TRUE(skintest::RectIs(canvas.Bounds(0), 2, 2, 18, 18));
    EXPECT_EQ(kRed, canvas.Rgb(3, 10));
    EXPECT_EQ(0u, canvas.Rgb(10, 10));  // no fill

    Canvas line(20, 5);
    CDrawKit::DrawLine(line.dc(), RECT{0, 2, 15, 2}, 1, 0xFF00FF00);
    EXPECT_TRUE(skintest::RectIs(line.Bounds(0), 0, 2, 15, 3));

    Canvas clipped(10, 10);
    {
        CDrawClip clip;
        CDrawClip::GenerateClip(clipped.dc(), RECT{2, 2, 5, 5}, clip);
        CDrawKit::DrawColor(clipped.dc(), clipped.all(), 0xFFFFFFFF);
        EXPECT_EQ(9, clipped.CountNot(0));
    }
    CDrawKit::DrawColor(clipped.dc(), clipped.all(), 0xFFFFFFFF);
    EXPECT_EQ(100, clipped.CountNot(0));
}

TEST(AdjustColorTest, NeutralKeepsAndHueRotates)
{
    EXPECT_EQ(0x80123456u, CDrawKit::AdjustColor(0x80123456, 180, 100, 100));
    EXPECT_EQ(0xFF00FF00u, CDrawKit::AdjustColor(0xFFFF0000, 300, 100, 100));  // +120 degrees: red to green
    DWORD dark = CDrawKit::AdjustColor(0xFFFFFFFF, 180, 100, 50);
    EXPECT_NEAR(0x80, skintest::Red(dark), 1);
    EXPECT_EQ(0xFF, skintest::Alpha(dark));
}

TEST(GenerateBitmapTest, RendersTheTreeIntoANewBitmapOfTheRect)
{
    CUiManager manager;
    CControlUI* root = new CControlUI;
    root->SetBkColor(0xFF00FF00);
    manager.AttachDialog(root);
    root->SetPos(RECT{0, 0, 40, 30}, false);
    RECT part = {5, 5, 25, 15};
    HBITMAP bitmap = CDrawKit::GenerateBitmap(&manager, part);
    BITMAP info = {};
    ASSERT_NE(0, ::GetObjectW(bitmap, sizeof(info), &info));
    EXPECT_EQ(20, info.bmWidth);
    EXPECT_EQ(10, info.bmHeight);
    ::GdiFlush();
    EXPECT_EQ(kGreen, static_cast<const DWORD*>(info.bmBits)[5 * 20 + 10] & 0xFFFFFF);
    ::DeleteObject(bitmap);
    CUiManager empty;
    EXPECT_EQ(nullptr, CDrawKit::GenerateBitmap(&empty, part));
}

TEST_F(DrawImageTest, EveryDrawingCallLeavesTheDcAsItFoundIt)
{
    Canvas canvas(60, 30, 0xFFFFFFFF);
    HDC dc = canvas.dc();
    const UINT kinds[] = {OBJ_FONT, OBJ_PEN, OBJ_BRUSH, OBJ_BITMAP};
    HGDIOBJ before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = ::GetCurrentObject(dc, kinds[i]);
    RECT rc = canvas.all();
    int links = 0;
    CDrawKit::DrawHtmlText(dc, &manager, rc, L"<b>bold</b> <i>it</i> <u>line</u> <f 0>font</f>", 0xFF000000, nullptr,
                           nullptr, links, 0, DT_WORDBREAK);
    CDrawKit::DrawText(dc, &manager, rc, L"plain", 0xFF000000, 0, DT_SINGLELINE);
    CDrawKit::DrawLine(dc, RECT{0, 0, 20, 20}, 2, 0xFF0000FF);
    CDrawKit::DrawRect(dc, rc, 1, 0xFF00FF00);
    CDrawKit::DrawRoundRect(dc, rc, 1, 6, 6, 0xFFFF0000);
    CDrawKit::DrawColor(dc, rc, 0x80FF0000);
    CDrawKit::DrawGradient(dc, rc, 0x80FF0000, 0x800000FF, true, 64);
    LPBYTE bits = nullptr;
    HBITMAP image = CDrawKit::CreateARGB32Bitmap(dc, 8, 8, &bits);
    ASSERT_NE(nullptr, image);
    CDrawKit::DrawImage(dc, image, rc, rc, RECT{0, 0, 8, 8}, RECT{2, 2, 2, 2}, true, 200, false, false, false);
    // The selections are undone: the image can go, and the DC still holds what it held.
    EXPECT_NE(0, ::DeleteObject(image));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(before[i], ::GetCurrentObject(dc, kinds[i])) << "object kind " << kinds[i];
}

}  // namespace
