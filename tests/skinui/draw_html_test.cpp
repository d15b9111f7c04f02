// DrawHtmlText and DrawText checked by relations between measured and drawn
// results on memory DIBs: bold is wider, colour tags colour the inside of the
// rectangle only, links are recorded, measuring equals drawing, the ellipsis
// stays inside the width, escapes draw brackets, stray closing tags are ignored.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "draw_test_canvas.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

using namespace SkinUI;
using drawtest::Canvas;

namespace {

const DWORD kBlack = 0xFF000000;
const DWORD kWhite = 0xFFFFFFFF;

class DrawHtmlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CUiManager setup;
        setup.InitFontSet(L"Tahoma");
    }

    SIZE Measure(const wchar_t* text, UINT style, int width = 9999, int height = 9999)
    {
        Canvas canvas(4, 4);
        RECT rc = {0, 0, width, height};
        int links = 0;
        CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, text, kBlack, nullptr, nullptr, links, 0,
                               style | DT_CALCRECT);
        return {rc.right - rc.left, rc.bottom - rc.top};
    }

    int LineHeight() { return Measure(L"X", DT_SINGLELINE).cy; }

    CUiManager manager;
};

TEST_F(DrawHtmlTest, BoldIsWiderAndClosingRestoresThePlainFont)
{
    SIZE plain = Measure(L"Hello world", DT_SINGLELINE);
    SIZE bold = Measure(L"<b>Hello world</b>", DT_SINGLELINE);
    EXPECT_GT(plain.cx, 0);
    EXPECT_GT(bold.cx, plain.cx);
    SIZE after = Measure(L"<b></b>Hello world", DT_SINGLELINE);
    EXPECT_EQ(plain.cx, after.cx);
    // The brace form is the same tag.
    EXPECT_EQ(bold.cx, Measure(L"{b}Hello world{/b}", DT_SINGLELINE).cx);
}

TEST_F(DrawHtmlTest, ColourTagsColourTheInsideOfTheRectangleOnly)
{
    Canvas canvas(200, 40, kWhite);
    RECT rc = {20, 10, 150, 30};
    int links = 0;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"<c #FF0000>MMMMMMMMMMMMMMMMMMMMMMMMMMMM</c>", kBlack,
                           nullptr, nullptr, links, 0, DT_SINGLELINE);
    int red = 0, other = 0;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            DWORD c = canvas.Rgb(x, y);
            if (c == 0xFFFFFF) continue;
            bool inside = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
            EXPECT_TRUE(inside) << x << "," << y;
            if (drawtest::Red(c) > 0x80 && drawtest::Green(c) < 0x80 && drawtest::Blue(c) < 0x80) ++red;
            else if (drawtest::Green(c) < 0x40) ++other;
        }
    }
    EXPECT_GT(red, 20);
    EXPECT_EQ(0, other);  // nothing in the base colour (black)

    // Six digits with and without "#" give the same colour.
    Canvas a(100, 30, kWhite), b(100, 30, kWhite);
    RECT r1 = {0, 0, 100, 30}, r2 = {0, 0, 100, 30};
    CDrawKit::DrawHtmlText(a.dc(), &manager, r1, L"<c #00AA00>MM</c>", kBlack, nullptr, nullptr, links, 0, 0);
    CDrawKit::DrawHtmlText(b.dc(), &manager, r2, L"<c 00AA00>MM</c>", kBlack, nullptr, nullptr, links, 0, 0);
    EXPECT_GT(a.CountNot(kWhite), 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) ASSERT_EQ(a.Rgb(x, y), b.Rgb(x, y));
}

TEST_F(DrawHtmlTest, LinksAreRecordedWithTheirTexts)
{
    Canvas canvas(300, 40, kWhite);
    RECT rc = {0, 0, 300, 40};
    RECT links[4] = {};
    CUiString texts[4];
    int count = 4;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"Go <a first>here</a> or <a second>there</a> now", kBlack,
                           links, texts, count, 0, DT_SINGLELINE);
    ASSERT_EQ(2, count);
    EXPECT_STREQ(L"first", texts[0]);
    EXPECT_STREQ(L"second", texts[1]);
    EXPECT_GT(links[0].right, links[0].left);
    EXPECT_GT(links[0].bottom, links[0].top);
    EXPECT_LE(links[0].right, links[1].left);
    EXPECT_LE(links[1].right, 300);
    // Link text takes the manager's link colour (blue), not the text colour.
    int blue = 0;
    for (int y = links[0].top; y < links[0].bottom; ++y)
        for (int x = links[0].left; x < links[0].right; ++x) {
            DWORD c = canvas.Rgb(x, y);
            if (drawtest::Blue(c) > 0xC0 && drawtest::Red(c) < 0x60) ++blue;
        }
    EXPECT_GT(blue, 5);

    // A capacity of one records one link.
    int one = 1;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"<a x>a</a> <a y>b</a>", kBlack, links, texts, one, 0,
                           DT_SINGLELINE);
    EXPECT_EQ(1, one);
}

TEST_F(DrawHtmlTest, MeasuredSizeContainsWhatIsDrawn)
{
    const wchar_t* text = L"The quick brown fox <b>jumps</b> over the lazy dog and keeps running far away";
    SIZE measured = Measure(text, DT_WORDBREAK, 120);
    EXPECT_LE(measured.cx, 120);
    EXPECT_GE(measured.cy, 3 * LineHeight());

    Canvas canvas(200, 200, kWhite);
    RECT rc = {10, 10, 130, 190};
    int links = 0;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, text, kBlack, nullptr, nullptr, links, 0, DT_WORDBREAK);
    RECT drawn = canvas.Bounds(kWhite);
    EXPECT_GE(drawn.left, 10);
    EXPECT_LE(drawn.right, 10 + measured.cx);
    EXPECT_LE(drawn.bottom, 10 + measured.cy);
    EXPECT_GT(drawn.bottom, 10 + measured.cy - LineHeight());
}

TEST_F(DrawHtmlTest, LineBreaksParagraphsAndSingleLine)
{
    const int line = LineHeight();
    ASSERT_GT(line, 8);
    EXPECT_EQ(2 * line, Measure(L"one<n>two", 0).cy);
    EXPECT_EQ(2 * line, Measure(L"one\ntwo", 0).cy);
    EXPECT_EQ(line, Measure(L"one<n>two", DT_SINGLELINE).cy);
    EXPECT_EQ(3 * line, Measure(L"one <p>two</p> three", 0).cy);
    EXPECT_EQ(line + 30, Measure(L"one<n><y 30>two", 0).cy);
    // Word break puts each word on its own line in a narrow rectangle.
    SIZE word = Measure(L"wwww", DT_SINGLELINE);
    EXPECT_EQ(3 * line, Measure(L"wwww wwww wwww", DT_WORDBREAK, word.cx + 2).cy);
    // x moves the pen.
    EXPECT_EQ(word.cx + 17, Measure(L"<x 17>wwww", DT_SINGLELINE).cx);
}

TEST_F(DrawHtmlTest, EllipsisStaysInsideTheWidth)
{
    Canvas canvas(200, 30, kWhite);
    RECT rc = {0, 0, 60, 30};
    int links = 0;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"Averyveryverylongwordthatdoesnotfit", kBlack, nullptr,
                           nullptr, links, 0, DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT drawn = canvas.Bounds(kWhite);
    EXPECT_GT(drawn.right, 0);
    EXPECT_LE(drawn.right, 60);
    SIZE measured = Measure(L"Averyveryverylongwordthatdoesnotfit", DT_SINGLELINE | DT_END_ELLIPSIS, 60);
    EXPECT_LE(measured.cx, 60);
    // A run shorter than the step back never reaches before its start.
    SIZE tiny = Measure(L"ab <b>WWWWWWWWWWWW</b>", DT_SINGLELINE | DT_END_ELLIPSIS, 40);
    EXPECT_LE(tiny.cx, 40);
}

TEST_F(DrawHtmlTest, EscapesDrawBracketsAndStrayClosingTagsAreIgnored)
{
    Canvas probe(4, 4);
    HGDIOBJ old = ::SelectObject(probe.dc(), manager.GetFont(0));
    SIZE braces = {0, 0}, angles = {0, 0}, text = {0, 0};
    ::GetTextExtentPoint32W(probe.dc(), L"{b}", 3, &braces);
    ::GetTextExtentPoint32W(probe.dc(), L"<b>", 3, &angles);
    ::GetTextExtentPoint32W(probe.dc(), L"text", 4, &text);
    ::SelectObject(probe.dc(), old);

    EXPECT_EQ(braces.cx, Measure(L"<{>b<}>", DT_SINGLELINE).cx);
    EXPECT_EQ(angles.cx, Measure(L"{<}b{>}", DT_SINGLELINE).cx);
    EXPECT_EQ(text.cx, Measure(L"</b></c></a></f></p></v>text", DT_SINGLELINE).cx);
    // Raw text shows tags as they are.
    SIZE raw = Measure(L"<r><b></r>", DT_SINGLELINE);
    EXPECT_EQ(angles.cx, raw.cx);

    // A stray closing colour tag keeps the base colour.
    Canvas canvas(100, 30, kWhite);
    RECT rc = {0, 0, 100, 30};
    int links = 0;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"</c>MMM", 0xFF0000FF, nullptr, nullptr, links, 0,
                           DT_SINGLELINE);
    RECT drawn = canvas.Bounds(kWhite);
    ASSERT_GT(drawn.right, 0);
    bool sawBlue = false;
    for (int y = drawn.top; y < drawn.bottom; ++y)
        for (int x = drawn.left; x < drawn.right; ++x)
            if (canvas.Rgb(x, y) == 0x0000FF) sawBlue = true;
    EXPECT_TRUE(sawBlue);
}

TEST_F(DrawHtmlTest, AlignmentFlagsMoveTheText)
{
    Canvas left(200, 40, kWhite), centre(200, 40, kWhite), right(200, 40, kWhite);
    RECT r1 = {0, 0, 200, 40}, r2 = r1, r3 = r1;
    int links = 0;
    CDrawKit::DrawHtmlText(left.dc(), &manager, r1, L"Mid", kBlack, nullptr, nullptr, links, 0, DT_SINGLELINE);
    CDrawKit::DrawHtmlText(centre.dc(), &manager, r2, L"Mid", kBlack, nullptr, nullptr, links, 0,
                           DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    CDrawKit::DrawHtmlText(right.dc(), &manager, r3, L"Mid", kBlack, nullptr, nullptr, links, 0,
                           DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    RECT a = left.Bounds(kWhite), b = centre.Bounds(kWhite), c = right.Bounds(kWhite);
    EXPECT_LT(a.left, 10);
    EXPECT_NEAR(100, (b.left + b.right) / 2, 4);
    EXPECT_NEAR(20, (b.top + b.bottom) / 2, 5);
    EXPECT_GT(c.right, 190);
    EXPECT_GT(c.bottom, 32);
}

TEST_F(DrawHtmlTest, LanguageKeysAreSubstituted)
{
    CUiManager::SetLanguageText(L"html_greeting", L"Hello there");
    EXPECT_EQ(Measure(L"Hello there", DT_SINGLELINE).cx, Measure(L"@html_greeting", DT_SINGLELINE).cx);

    Canvas canvas(200, 30, kWhite);
    RECT rc = {0, 0, 200, 30};
    CDrawKit::DrawText(canvas.dc(), &manager, rc, L"@html_greeting", 0xFF000000, 0, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(Measure(L"Hello there", DT_SINGLELINE).cx, rc.right);
}

TEST_F(DrawHtmlTest, InlineImagesTakeAFrameAndMoveToTheNextLineWhenFull)
{
    testutil::TempDir dir;
    std::wstring path = dir.file(L"icon.tga");
    ASSERT_TRUE(testutil::writeFile(path, drawtest::MakeTga(10, 40, std::vector<DWORD>(400, 0xFFFF0000))));
    SIZE whole = Measure((L"<i " + path + L">").c_str(), DT_SINGLELINE);
    EXPECT_EQ(10, whole.cx);
    EXPECT_EQ(40, whole.cy);
    EXPECT_EQ(5, Measure((L"<i " + path + L" 2 1>").c_str(), DT_SINGLELINE).cx);
    EXPECT_EQ(5, Measure((L"<i file='" + path + L"' 2 7>").c_str(), DT_SINGLELINE).cx);
    // Three images in a 25-pixel line: the third starts a second line.
    std::wstring three = L"<i " + path + L"><i " + path + L"><i " + path + L">";
    SIZE wrapped = Measure(three.c_str(), 0, 25);
    EXPECT_EQ(20, wrapped.cx);
    EXPECT_EQ(80, wrapped.cy);

    // Drawn at the bottom of a taller line by default, at the top with v top.
    Canvas canvas(60, 60, kWhite);
    RECT rc = {0, 0, 60, 60};
    int links = 0;
    std::wstring text = L"<y 50><v top><i " + path + L"></v>";
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, text.c_str(), kBlack, nullptr, nullptr, links, 0, 0);
    RECT drawn = canvas.Bounds(kWhite);
    EXPECT_EQ(0, drawn.top);
    EXPECT_EQ(40, drawn.bottom);
}

TEST_F(DrawHtmlTest, SelectionPaintsTheSelectedBackground)
{
    manager.SetDefaultSelectedBkColor(0xFF00C000);
    Canvas canvas(120, 30, kWhite);
    RECT rc = {0, 0, 120, 30};
    int links = 0;
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"ab <s>cd</s> ef", kBlack, nullptr, nullptr, links, 0,
                           DT_SINGLELINE);
    int selected = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if (canvas.Rgb(x, y) == 0x00C000) ++selected;
    EXPECT_GT(selected, 20);
    // The selection ends with its closing tag: the last letters are on white.
    RECT drawn = canvas.Bounds(kWhite);
    EXPECT_NE(0x00C000u, canvas.Rgb(drawn.right - 1, drawn.top));
}

TEST_F(DrawHtmlTest, NothingIsDrawnWithoutTextManagerOrArea)
{
    Canvas canvas(50, 20, kWhite);
    RECT rc = {0, 0, 50, 20};
    RECT empty = {5, 5, 5, 20};
    int links = 3;
    CDrawKit::DrawHtmlText(canvas.dc(), nullptr, rc, L"abc", kBlack, nullptr, nullptr, links, 0, 0);
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, rc, L"", kBlack, nullptr, nullptr, links, 0, 0);
    CDrawKit::DrawHtmlText(canvas.dc(), &manager, empty, L"abc", kBlack, nullptr, nullptr, links, 0, 0);
    EXPECT_EQ(0, canvas.CountNot(kWhite));
    EXPECT_EQ(0, links);
}

}  // namespace
