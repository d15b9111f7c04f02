// The drawing kit's images and fills, checked on the pixels of memory DIBs:
// decoding with premultiplied alpha and the mask colour, the description
// grammar, nine-grid corners, dest clipping, tiling, hole, fade, frame
// strips, colour fills and gradients.
#include <gtest/gtest.h>

#include <stdlib.h>

#include "draw_test_canvas.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/draw_kit_internal.h"
#include "skinui/core/ui_manager.h"
#include "common/test_util.h"

using namespace SkinUI;
using drawtest::Canvas;

namespace {

const DWORD kRed = 0xFFFF0000;
const DWORD kGreen = 0xFF00FF00;
const DWORD kBlue = 0xFF0000FF;
const DWORD kWhite = 0xFFFFFFFF;
const DWORD kYellow = 0xFFFFFF00;
const DWORD kGrey = 0xFF808080;

class DrawImageTest : public ::testing::Test {
protected:
    // Writes the image and returns its absolute path (a description may use it as the file).
    std::wstring Image(const wchar_t* name, int width, int height, const std::vector<DWORD>& pixels)
    {
        std::wstring path = dir.file(name);
        EXPECT_TRUE(testutil::writeFile(path, drawtest::MakeTga(width, height, pixels)));
        return path;
    }

    bool Draw(Canvas& canvas, const RECT& item, const std::wstring& description)
    {
        UiDrawInfo info;
        info.sDrawString = description.c_str();
        RECT paint = {0, 0, canvas.width(), canvas.height()};
        return CDrawKit::DrawImageInfo(canvas.dc(), &manager, item, paint, info);
    }

    // A 10 by 10 image: 2-pixel corners red, green, blue, yellow (clockwise from
    // the top-left), grey edges, white centre.
    std::wstring NineGrid()
    {
        std::vector<DWORD> pixels(100, kWhite);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                bool left = x < 2, right = x >= 8, top = y < 2, bottom = y >= 8;
                DWORD c = kWhite;
                if (top && left) c = kRed;
                else if (top && right) c = kGreen;
                else if (bottom && right) c = kBlue;
                else if (bottom && left) c = kYellow;
                else if (top || bottom || left || right) c = kGrey;
                pixels[y * 10 + x] = c;
            }
        }
        return Image(L"nine.tga", 10, 10, pixels);
    }

    testutil::TempDir dir;
    CUiManager manager;
};

TEST_F(DrawImageTest, DecodingPremultipliesAlphaAndKeysOutTheMask)
{
    std::wstring path = Image(L"alpha.tga", 4, 1, {0x00C86432, 0x80C86432, 0xFFC86432, 0xFFFF0000});
    UiImageInfo* image = CDrawKit::LoadImage(path.c_str(), nullptr, 0xFFFF0000);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(4, image->nX);
    EXPECT_EQ(1, image->nY);
    EXPECT_TRUE(image->bAlpha);
    const DWORD* bits = reinterpret_cast<const DWORD*>(image->pBits);
    EXPECT_EQ(0x00000000u, bits[0]);
    // channel x alpha / 255: 200 * 128 / 255 = 100, 100 * 128 / 255 = 50, 50 * 128 / 255 = 25
    EXPECT_EQ(0x80643219u, bits[1]);
    EXPECT_EQ(0xFFC86432u, bits[2]);
    EXPECT_EQ(0x00000000u, bits[3]);  // equal to the mask
    CDrawKit::FreeImage(image);

    // A mask written without alpha FF keys out no opaque pixel.
    std::wstring opaque = Image(L"opaque.tga", 2, 1, {0xFFFF0000, 0xFF00FF00});
    image = CDrawKit::LoadImage(opaque.c_str(), nullptr, 0x00FF0000);
    ASSERT_NE(nullptr, image);
    EXPECT_FALSE(image->bAlpha);
    EXPECT_EQ(0xFFFF0000u, reinterpret_cast<const DWORD*>(image->pBits)[0]);
    CDrawKit::FreeImage(image);
}

TEST_F(DrawImageTest, BrokenOrMissingImagesLoadAsNull)
{
    std::wstring junk = dir.file(L"junk.png");
    ASSERT_TRUE(testutil::writeFile(junk, "not an image at all"));
    EXPECT_EQ(nullptr, CDrawKit::LoadImage(junk.c_str(), nullptr, 0));
    EXPECT_EQ(nullptr, CDrawKit::LoadImage(dir.file(L"absent.png").c_str(), nullptr, 0));
    EXPECT_EQ(nullptr, CDrawKit::LoadImage(L"", nullptr, 0));

    Canvas canvas(8, 8);
    UiDrawInfo info;
    info.sDrawString = L"file='absent.png' corner='1,1,1,1'";
    RECT item = {0, 0, 8, 8};
    EXPECT_FALSE(CDrawKit::DrawImageInfo(canvas.dc(), &manager, item, item, info));
    EXPECT_TRUE(info.bParsed);
    EXPECT_FALSE(CDrawKit::DrawImageInfo(canvas.dc(), &manager, item, item, info));  // tried once
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
    EXPECT_FALSE(spec.bTypeGiven);
    EXPECT_EQ(1, info.rcDest.left);
    EXPECT_EQ(4, info.rcDest.bottom);
    EXPECT_EQ(8, info.rcSource.bottom);
    EXPECT_EQ(2, info.rcCorner.right);
    EXPECT_EQ(0xFFFF00FFu, spec.dwMask);
    EXPECT_EQ(128, info.uFade);
    EXPECT_TRUE(info.bHole);
    EXPECT_TRUE(info.bTiledX);
    EXPECT_FALSE(info.bTiledY);
    EXPECT_TRUE(spec.bHSL);

    // A plain name, "res" with "restype", "color", "scale9" and a malformed tail.
    UiDrawInfo plain;
    UiImageLoadSpec plainSpec;
    EXPECT_TRUE(CDrawKit::ParseImageDescription(L"skin\\bk.png", plain, plainSpec));
    EXPECT_STREQ(L"skin\\bk.png", plainSpec.sName);

    UiDrawInfo res;
    UiImageLoadSpec resSpec;
    EXPECT_FALSE(CDrawKit::ParseImageDescription(L"res='101' restype='PNG' scale9='3,3,3,3' fade 'x'", res, resSpec));
    EXPECT_STREQ(L"101", resSpec.sName);
    EXPECT_STREQ(L"PNG", resSpec.sResType);
    EXPECT_TRUE(resSpec.bTypeGiven);
    EXPECT_EQ(3, res.rcCorner.bottom);
    EXPECT_EQ(255, res.uFade);

    UiDrawInfo color;
    UiImageLoadSpec colorSpec;
    EXPECT_TRUE(CDrawKit::ParseImageDescription(L"color='#FF112233' fade=''", color, colorSpec));
    EXPECT_STREQ(L"*COLOR*", colorSpec.sResType);
    EXPECT_EQ(255, color.uFade);  // an empty value is not applied
}

TEST_F(DrawImageTest, NineGridKeepsCornersAndStretchesTheCentre)
{
    std::wstring path = NineGrid();
    Canvas canvas(40, 30);
    RECT item = {0, 0, 40, 30};
    ASSERT_TRUE(Draw(canvas, item, L"file='" + path + L"' corner='2,2,2,2'"));
    for (int d = 0; d < 2; ++d) {
        for (int e = 0; e < 2; ++e) {
            EXPECT_EQ(kRed & 0xFFFFFF, canvas.Rgb(d, e));
            EXPECT_EQ(kGreen & 0xFFFFFF, canvas.Rgb(39 - d, e));
            EXPECT_EQ(kBlue & 0xFFFFFF, canvas.Rgb(39 - d, 29 - e));
            EXPECT_EQ(kYellow & 0xFFFFFF, canvas.Rgb(d, 29 - e));
        }
    }
    EXPECT_EQ(kGrey & 0xFFFFFF, canvas.Rgb(20, 0));
    EXPECT_EQ(kGrey & 0xFFFFFF, canvas.Rgb(0, 15));
    EXPECT_EQ(kGrey & 0xFFFFFF, canvas.Rgb(39, 15));
    EXPECT_EQ(kWhite & 0xFFFFFF, canvas.Rgb(20, 15));
    EXPECT_EQ(kWhite & 0xFFFFFF, canvas.Rgb(2, 2));
    EXPECT_EQ(kWhite & 0xFFFFFF, canvas.Rgb(37, 27));

    // With a hole the centre stays as it was.
    Canvas holed(40, 30, 0xFF000000);
    ASSERT_TRUE(Draw(holed, item, L"file='" + path + L"' corner='2,2,2,2' hole='true'"));
    EXPECT_EQ(0u, holed.Rgb(20, 15));
    EXPECT_EQ(kRed & 0xFFFFFF, holed.Rgb(0, 0));
    EXPECT_EQ(kGrey & 0xFFFFFF, holed.Rgb(20, 1));
}

TEST_F(DrawImageTest, DestIsClampedToTheItemRectangle)
{
    std::wstring path = Image(L"red.tga", 4, 4, std::vector<DWORD>(16, kRed));
    Canvas canvas(60, 60, 0xFF000000);
    RECT item = {10, 10, 30, 30};
    ASSERT_TRUE(Draw(canvas, item, L"file='" + path + L"' dest='5,5,100,100'"));
    RECT drawn = canvas.Bounds(0);
    EXPECT_EQ(15, drawn.left);
    EXPECT_EQ(15, drawn.top);
    EXPECT_EQ(30, drawn.right);
    EXPECT_EQ(30, drawn.bottom);

    // A dest that misses the item draws nothing; the whole-image draw fills the item.
    Canvas empty(60, 60, 0xFF000000);
    ASSERT_TRUE(Draw(empty, item, L"file='" + path + L"' dest='25,25,30,30'"));
    EXPECT_EQ(0, empty.CountNot(0));
    Canvas whole(60, 60, 0xFF000000);
    ASSERT_TRUE(Draw(whole, item, path));
    EXPECT_EQ(400, whole.CountNot(0));
}

TEST_F(DrawImageTest, TilingRepeatsUnstretchedTilesAndCutsTheLast)
{
    // A 3 by 3 tile: red top-left pixel, blue elsewhere.
    std::vector<DWORD> tile(9, kBlue);
    tile[0] = kRed;
    std::wstring path = Image(L"tile.tga", 3, 3, tile);
    auto countRed = [](const Canvas& canvas) {
        int red = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.Rgb(x, y) == (kRed & 0xFFFFFF)) ++red;
        return red;
    };

    Canvas both(10, 7);
    RECT item = {0, 0, 10, 7};
    ASSERT_TRUE(Draw(both, item, L"file='" + path + L"' xtiled='true' ytiled='true'"));
    EXPECT_EQ(4 * 3, countRed(both));  // columns at 0,3,6,9 and rows at 0,3,6
    EXPECT_EQ(kRed & 0xFFFFFF, both.Rgb(9, 6));
    EXPECT_EQ(kBlue & 0xFFFFFF, both.Rgb(8, 5));

    Canvas xOnly(10, 3);
    RECT row = {0, 0, 10, 3};
    ASSERT_TRUE(Draw(xOnly, row, L"file='" + path + L"' xtiled='true'"));
    EXPECT_EQ(4, countRed(xOnly));

    // A source without area (right of the image) draws nothing and does not hang.
    Canvas none(10, 7);
    ASSERT_TRUE(Draw(none, item, L"file='" + path + L"' source='3,0,3,3' xtiled='true' ytiled='true'"));
    EXPECT_EQ(0, none.CountNot(0));
}

TEST_F(DrawImageTest, FrameIndexSelectsAQuarterOfTheStrip)
{
    std::vector<DWORD> strip(100 * 2);
    const DWORD colors[4] = {kRed, kGreen, kBlue, kYellow};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 100; ++x) strip[y * 100 + x] = colors[x / 25];
    std::wstring path = Image(L"strip.tga", 100, 2, strip);
    Canvas canvas(25, 2);
    UiDrawInfo info;
    info.sDrawString = path.c_str();
    RECT item = {0, 0, 25, 2};
    ASSERT_TRUE(CDrawKit::DrawImageInfoFrame(canvas.dc(), &manager, item, item, info, 2));
    EXPECT_EQ(50, info.rcSource.left);
    EXPECT_EQ(75, info.rcSource.right);
    EXPECT_EQ(0, canvas.CountNot(kBlue));
}

TEST_F(DrawImageTest, AlphaImagesBlendAndFadeScalesThem)
{
    std::wstring half = Image(L"halfred.tga", 2, 2, std::vector<DWORD>(4, 0x80FF0000));
    Canvas canvas(2, 2, 0xFF0000FF);
    RECT item = {0, 0, 2, 2};
    ASSERT_TRUE(Draw(canvas, item, half));
    DWORD c = canvas.At(1, 1);
    EXPECT_NEAR(0x80, drawtest::Red(c), 2);
    EXPECT_NEAR(0x7F, drawtest::Blue(c), 2);

    std::wstring red = Image(L"fadered.tga", 2, 2, std::vector<DWORD>(4, kRed));
    Canvas faded(2, 2, 0xFF000000);
    ASSERT_TRUE(Draw(faded, item, L"file='" + red + L"' fade='128'"));
    EXPECT_NEAR(0x80, drawtest::Red(faded.At(0, 0)), 2);

    // Without AlphaBlend the software blend mixes the same way, stretched too.
    drawkit::SetMsimg32Disabled(true);
    Canvas soft(6, 6, 0xFF0000FF);
    RECT big = {0, 0, 6, 6};
    bool drawn = Draw(soft, big, half);
    drawkit::SetMsimg32Disabled(false);
    ASSERT_TRUE(drawn);
    EXPECT_NEAR(0x80, drawtest::Red(soft.At(3, 3)), 2);
    EXPECT_NEAR(0x7F, drawtest::Blue(soft.At(5, 5)), 2);
}

TEST_F(DrawImageTest, ColourImagesAndResourceTypes)
{
    Canvas canvas(6, 6, 0xFF000000);
    RECT item = {1, 1, 5, 5};
    ASSERT_TRUE(Draw(canvas, item, L"color='FF00FF00'"));
    EXPECT_EQ(16, canvas.CountNot(0));
    EXPECT_EQ(kGreen & 0xFFFFFF, canvas.Rgb(2, 2));
    // No such resource in the test executable and no such file.
    UiDrawInfo info;
    info.sDrawString = L"res='4711' restype='PNG'";
    EXPECT_FALSE(CDrawKit::DrawImageInfo(canvas.dc(), &manager, item, item, info));
}

TEST(DrawColorTest, AlphaZeroHalfAndFull)
{
    Canvas canvas(4, 4, 0xFF000000);
    RECT rc = {0, 0, 4, 4};
    CDrawKit::DrawColor(canvas.dc(), rc, 0x00FF0000);
    EXPECT_EQ(0, canvas.CountNot(0));
    CDrawKit::DrawColor(canvas.dc(), rc, 0x80FF0000);
    EXPECT_NEAR(0x80, drawtest::Red(canvas.At(2, 2)), 2);
    CDrawKit::DrawColor(canvas.dc(), rc, 0xFF00FF00);
    EXPECT_EQ(0x00FF00u, canvas.Rgb(3, 3));

    // The software blend gives the same half-strength colour.
    drawkit::SetMsimg32Disabled(true);
    Canvas soft(4, 4, 0xFF000000);
    CDrawKit::DrawColor(soft.dc(), rc, 0x80FF0000);
    drawkit::SetMsimg32Disabled(false);
    EXPECT_NEAR(0x80, drawtest::Red(soft.At(1, 1)), 2);
}

TEST(DrawGradientTest, EndsTakeTheTwoColours)
{
    for (bool software : {false, true}) {
        drawkit::SetMsimg32Disabled(software);
        Canvas canvas(8, 64, 0xFF000000);
        RECT rc = {0, 0, 8, 64};
        CDrawKit::DrawGradient(canvas.dc(), rc, 0xFFFF0000, 0xFF0000FF, true, 64);
        DWORD top = canvas.At(4, 0);
        DWORD bottom = canvas.At(4, 63);
        EXPECT_NEAR(0xFF, drawtest::Red(top), 8) << software;
        EXPECT_NEAR(0x00, drawtest::Blue(top), 8) << software;
        EXPECT_NEAR(0x00, drawtest::Red(bottom), 8) << software;
        EXPECT_NEAR(0xFF, drawtest::Blue(bottom), 8) << software;

        Canvas horizontal(64, 4, 0xFF000000);
        RECT row = {0, 0, 64, 4};
        CDrawKit::DrawGradient(horizontal.dc(), row, 0xFF00FF00, 0xFFFFFFFF, false, 16);
        EXPECT_NEAR(0x00, drawtest::Red(horizontal.At(0, 2)), 8) << software;
        EXPECT_NEAR(0xFF, drawtest::Red(horizontal.At(63, 2)), 8) << software;

        // Alpha 0 on both ends draws nothing.
        Canvas none(8, 8, 0xFF000000);
        RECT small = {0, 0, 8, 8};
        CDrawKit::DrawGradient(none.dc(), small, 0x00FF0000, 0x000000FF, true, 16);
        EXPECT_EQ(0, none.CountNot(0)) << software;
    }
    drawkit::SetMsimg32Disabled(false);
}

TEST(DrawFrameTest, RectOutlineStaysInsideAndLinesReachTheirEnds)
{
    Canvas canvas(20, 20, 0xFF000000);
    RECT rc = {2, 2, 18, 18};
    CDrawKit::DrawRect(canvas.dc(), rc, 2, 0xFFFF0000);
    RECT bounds = canvas.Bounds(0);
    EXPECT_EQ(2, bounds.left);
    EXPECT_EQ(18, bounds.right);
    EXPECT_EQ(0xFF0000u, canvas.Rgb(3, 10));
    EXPECT_EQ(0u, canvas.Rgb(10, 10));  // no fill

    Canvas line(20, 5, 0xFF000000);
    RECT from = {0, 2, 15, 2};
    CDrawKit::DrawLine(line.dc(), from, 1, 0xFF00FF00);
    EXPECT_EQ(0x00FF00u, line.Rgb(0, 2));
    EXPECT_EQ(0x00FF00u, line.Rgb(14, 2));
    EXPECT_EQ(0u, line.Rgb(16, 2));
}

TEST(AdjustColorTest, NeutralKeepsAndHueRotates)
{
    EXPECT_EQ(0x80123456u, CDrawKit::AdjustColor(0x80123456, 180, 100, 100));
    DWORD rotated = CDrawKit::AdjustColor(0xFFFF0000, 300, 100, 100);  // +120 degrees: red to green
    EXPECT_EQ(0xFF00FF00u, rotated);
    DWORD dark = CDrawKit::AdjustColor(0xFFFFFFFF, 180, 100, 50);
    EXPECT_NEAR(0x80, drawtest::Red(dark), 1);
    EXPECT_EQ(0xFF, drawtest::Alpha(dark));
}

TEST(DrawClipTest, ClipRestrictsAndRestores)
{
    Canvas canvas(10, 10, 0xFF000000);
    RECT all = {0, 0, 10, 10};
    {
        CDrawClip clip;
        RECT part = {2, 2, 5, 5};
        CDrawClip::GenerateClip(canvas.dc(), part, clip);
        CDrawKit::DrawColor(canvas.dc(), all, 0xFFFFFFFF);
        EXPECT_EQ(9, canvas.CountNot(0));
    }
    CDrawKit::DrawColor(canvas.dc(), all, 0xFFFFFFFF);
    EXPECT_EQ(100, canvas.CountNot(0));
}

}  // namespace

namespace {

TEST(GenerateBitmapTest, RendersTheTreeIntoANewBitmapOfTheRect)
{
    CUiManager manager;
    CControlUI* root = new CControlUI;
    root->SetBkColor(0xFF00FF00);
    manager.AttachDialog(root);
    RECT all = {0, 0, 40, 30};
    root->SetPos(all, false);
    RECT part = {5, 5, 25, 15};
    HBITMAP bitmap = CDrawKit::GenerateBitmap(&manager, part);
    ASSERT_NE(nullptr, bitmap);
    BITMAP info = {};
    ASSERT_NE(0, ::GetObjectW(bitmap, sizeof(info), &info));
    EXPECT_EQ(20, info.bmWidth);
    EXPECT_EQ(10, info.bmHeight);
    EXPECT_EQ(32, info.bmBitsPixel);
    ASSERT_NE(nullptr, info.bmBits);
    ::GdiFlush();
    EXPECT_EQ(0x00FF00u, static_cast<const DWORD*>(info.bmBits)[5 * 20 + 10] & 0xFFFFFF);
    ::DeleteObject(bitmap);

    // An opaque background colour covers the copy.
    bitmap = CDrawKit::GenerateBitmap(&manager, part, nullptr, 0xFF0000FF);
    ASSERT_NE(nullptr, bitmap);
    ::GetObjectW(bitmap, sizeof(info), &info);
    EXPECT_EQ(0x0000FFu, static_cast<const DWORD*>(info.bmBits)[0] & 0xFFFFFF);
    ::DeleteObject(bitmap);

    CUiManager empty;
    EXPECT_EQ(nullptr, CDrawKit::GenerateBitmap(&empty, part));
}

}  // namespace
