// The label: text alignment read back from the pixels of a memory DIB, the
// size estimate, the GDI+ text effects, and its attribute rules.
#include <gtest/gtest.h>

#include <functional>

#include "skinui/controls/horizontal_layout_ui.h"
#include "skinui/controls/label_ui.h"
#include "skinui/core/gdiplus_session.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;

namespace {

const DWORD kWhite = 0x00FFFFFF;
// A TrueType face that GDI+ finds under Wine (fonts-dejavu-core).
const wchar_t kEffectFace[] = L"DejaVu Sans";

// A label in a windowless manager, painted on a white canvas.
struct PaintedLabel {
    PaintedLabel(int width, int height, RECT pos) : canvas(width, height, kWhite)
    {
        label.SetManager(&manager, nullptr, false);
        label.SetPos(pos, false);
        label.SetAttribute(L"textcolor", L"#FF000000");
        label.SetText(L"Hello");
    }
    explicit PaintedLabel(RECT pos = RECT{0, 0, 200, 40}) : PaintedLabel(pos.right, pos.bottom, pos) {}
    const Canvas& Paint()
    {
        RECT all = canvas.all();
        CDrawKit::DrawColor(canvas.dc(), all, 0xFFFFFFFF);
        label.Paint(canvas.dc(), all, nullptr);
        return canvas;
    }
    CUiManager manager;
    CLabelUI label;
    Canvas canvas;
};

// Bounding box of the pixels for which test(rgb) holds (empty when none).
RECT BoundsWhere(const Canvas& canvas, const std::function<bool(DWORD)>& test)
{
    RECT rc = {canvas.width(), canvas.height(), 0, 0};
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (test(canvas.Rgb(x, y))) {
                rc = RECT{(std::min<LONG>)(rc.left, x), (std::min<LONG>)(rc.top, y), (std::max<LONG>)(rc.right, x + 1),
                          (std::max<LONG>)(rc.bottom, y + 1)};
            }
    return rc.right == 0 ? RECT{0, 0, 0, 0} : rc;
}

bool Empty(const RECT& rc) { return ::IsRectEmpty(&rc) != FALSE; }

bool Bluish(DWORD rgb) { return skintest::Blue(rgb) > 160 && skintest::Red(rgb) < 80 && skintest::Green(rgb) < 80; }
bool Reddish(DWORD rgb) { return skintest::Red(rgb) > 160 && skintest::Blue(rgb) < 80 && skintest::Green(rgb) < 80; }
bool Dark(DWORD rgb) { return skintest::Red(rgb) < 64 && skintest::Green(rgb) < 64 && skintest::Blue(rgb) < 64; }

}  // namespace

TEST(Label, AlignmentAndPaddingReadBackFromThePixels)
{
    PaintedLabel p;
    RECT left = p.Paint().Bounds(kWhite);
    ASSERT_LT(left.left, left.right) << "no text drawn";
    EXPECT_LT(left.left, 4);
    EXPECT_NEAR((left.top + left.bottom) / 2, 20, 3);  // vertically centred by default
    const int textWidth = left.right - left.left;

    p.label.SetAttribute(L"align", L"center");
    RECT center = p.Paint().Bounds(kWhite);
    EXPECT_NEAR((center.left + center.right) / 2, 100, 2);
    p.label.SetAttribute(L"align", L"center right");  // the later word wins
    RECT right = p.Paint().Bounds(kWhite);
    EXPECT_GT(right.right, 196);
    EXPECT_EQ(textWidth, right.right - right.left);

    p.label.SetAttribute(L"valign", L"top");
    EXPECT_LT(p.Paint().Bounds(kWhite).top, 6);
    p.label.SetAttribute(L"valign", L"bottom");
    EXPECT_GT(p.Paint().Bounds(kWhite).bottom, 34);

    p.label.SetAttribute(L"align", L"left");
    p.label.SetAttribute(L"textpadding", L"30,0,0,0");
    RECT padded = p.Paint().Bounds(kWhite);
    EXPECT_GE(padded.left, 30);
    EXPECT_LT(padded.left, 34);

    // The disabled colour replaces the text colour.
    p.label.SetAttribute(L"disabledtextcolor", L"FF0000FF");
    p.label.SetEnabled(false);
    EXPECT_FALSE(Empty(BoundsWhere(p.Paint(), Bluish)));
}

TEST(Label, EstimatesItsSizeFromTheTextAndTheWidthBounds)
{
    PaintedLabel p;
    UiFontInfo* font = p.manager.GetFontInfo(-1);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font->hFont);
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, L"Hello", 5, &extent);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);

    SIZE sz = p.label.EstimateSize(CUiSize(500, 100));
    EXPECT_EQ(extent.cx, sz.cx);
    EXPECT_EQ(font->tm.tmHeight + 8, sz.cy);
    p.label.SetAttribute(L"textpadding", L"5,2,7,3");
    sz = p.label.EstimateSize(CUiSize(500, 100));
    EXPECT_EQ(extent.cx + 12, sz.cx);
    EXPECT_EQ(font->tm.tmHeight + 13, sz.cy);

    p.label.SetAttribute(L"minwidthex", L"140");  // raised for a short text
    EXPECT_EQ(140, p.label.EstimateSize(CUiSize(500, 100)).cx);
    p.label.SetAttribute(L"minwidthex", L"0");
    p.label.SetAttribute(L"maxwidthex", L"20");
    EXPECT_EQ(20, p.label.EstimateSize(CUiSize(500, 100)).cx);
    p.label.SetAttribute(L"maxwidthex", L"0");  // no upper bound
    EXPECT_EQ(extent.cx + 12, p.label.EstimateSize(CUiSize(500, 100)).cx);
    p.label.SetAttribute(L"width", L"70");
    p.label.SetAttribute(L"height", L"30");
    EXPECT_EQ(70, p.label.EstimateSize(CUiSize(500, 100)).cx);

    // Multi-line: the available width, and as many lines as the text needs.
    CLabelUI lines;
    lines.SetManager(&p.manager, nullptr, false);
    lines.SetAttribute(L"multiline", L"true");
    lines.SetText(L"one two three four five six seven eight nine ten");
    SIZE wrapped = lines.EstimateSize(CUiSize(60, 400));
    EXPECT_EQ(60, wrapped.cx);
    EXPECT_GE(wrapped.cy, 3 * font->tm.tmHeight);

    // In a horizontal layout each label takes the width of its own text.
    CHorizontalLayoutUI row;
    CLabelUI* first = new CLabelUI;
    CLabelUI* second = new CLabelUI;
    first->SetText(L"Hello");
    second->SetText(L"Hello Hello");
    row.Add(first);
    row.Add(second);
    row.SetManager(&p.manager, nullptr, false);
    row.SetPos(RECT{0, 0, 400, 30}, false);
    EXPECT_EQ(extent.cx, first->GetWidth());
    EXPECT_EQ(first->GetPos().right, second->GetX());
    EXPECT_GT(second->GetWidth(), 2 * extent.cx);
}

TEST(Label, TextEffectsDrawWhatThePlainTextDoesNot)
{
    // A label laid out away from the window's corner: the effects follow the text.
    PaintedLabel plain(320, 100, RECT{100, 40, 300, 80});
    PaintedLabel effect(320, 100, RECT{100, 40, 300, 80});
    // GDI+ draws only TrueType families it finds: the label names one.
    for (PaintedLabel* p : {&plain, &effect}) {
        p->manager.AddFont(0, kEffectFace, 20, true, false, false);
        p->label.SetAttribute(L"font", L"0");
    }
    effect.label.SetAttribute(L"enabledeffect", L"true");
    effect.label.SetAttribute(L"enabledstroke", L"true");
    effect.label.SetAttribute(L"strokecolor", L"#FF0000FF");
    EXPECT_TRUE(CGdiplusSession::IsRunning());

    ASSERT_FALSE(Empty(BoundsWhere(plain.Paint(), Dark)));
    EXPECT_TRUE(Empty(BoundsWhere(plain.canvas, Bluish)));
    RECT stroke = BoundsWhere(effect.Paint(), Bluish);
    RECT text = BoundsWhere(effect.canvas, Dark);
    ASSERT_FALSE(Empty(stroke)) << "no stroke drawn";
    ASSERT_FALSE(Empty(text));
    EXPECT_NEAR(stroke.left, text.left - 1, 1);  // one pixel around the text
    EXPECT_NEAR(stroke.bottom, text.bottom + 1, 1);

    // The shadow lies at its offset from the text, wherever the label is.
    effect.label.SetAttribute(L"enabledstroke", L"false");
    effect.label.SetAttribute(L"enabledshadow", L"true");
    effect.label.SetAttribute(L"textshadowcolora", L"#FFFF0000");
    effect.label.SetAttribute(L"shadowoffset", L"4,-135");  // four pixels right and down
    RECT shadow = BoundsWhere(effect.Paint(), Reddish);
    text = BoundsWhere(effect.canvas, Dark);
    ASSERT_FALSE(Empty(shadow)) << "no shadow drawn";
    EXPECT_NEAR(shadow.right, text.right + 4, 1);
    EXPECT_NEAR(shadow.bottom, text.bottom + 4, 1);
    EXPECT_EQ(4.0f, effect.label.GetShadowOffset().x);
    EXPECT_EQ(4.0f, effect.label.GetShadowOffset().y);

    // The gradient runs down the text rectangle (red at its top, blue at its
    // bottom) wherever the label lies.
    for (int top : {0, 23, 57}) {
        PaintedLabel p(200, 100, RECT{0, top, 200, top + 40});
        p.manager.AddFont(0, kEffectFace, 24, true, false, false);
        p.label.SetAttribute(L"font", L"0");
        p.label.SetAttribute(L"enabledeffect", L"true");
        p.label.SetAttribute(L"textcolor", L"#FFFF0000");
        p.label.SetAttribute(L"textcolor1", L"#FF0000FF");
        const Canvas& canvas = p.Paint();
        RECT ink = canvas.Bounds(kWhite);
        ASSERT_FALSE(Empty(ink));
        int redOverBlue[2] = {0, 0};  // upper and lower quarter of the ink
        const int quarter = (ink.bottom - ink.top) / 4;
        for (int half = 0; half < 2; ++half) {
            const int y0 = half == 0 ? ink.top : ink.bottom - quarter;
            for (int y = y0; y < y0 + quarter; ++y)
                for (int x = ink.left; x < ink.right; ++x) {
                    DWORD rgb = canvas.Rgb(x, y);
                    redOverBlue[half] += skintest::Red(rgb) - skintest::Blue(rgb);
                }
        }
        EXPECT_GT(redOverBlue[0], 0) << "top " << top;
        EXPECT_LT(redOverBlue[1], 0) << "top " << top;
    }
}

TEST(Label, WithoutGdiplusTheEffectLabelDrawsPlainText)
{
    ASSERT_FALSE(CGdiplusSession::IsRunning());
    CGdiplusSession::SetUnavailable(true);  // as if gdiplus.dll could not be loaded
    {
        PaintedLabel plain;
        PaintedLabel effect;
        effect.label.SetAttribute(L"enabledeffect", L"true");
        effect.label.SetAttribute(L"enabledstroke", L"true");
        effect.label.SetAttribute(L"strokecolor", L"#FF0000FF");
        EXPECT_FALSE(CGdiplusSession::IsRunning());
        const RECT text = plain.Paint().Bounds(kWhite);
        const RECT drawn = effect.Paint().Bounds(kWhite);
        ASSERT_FALSE(Empty(drawn));
        EXPECT_TRUE(::EqualRect(&text, &drawn));
        EXPECT_TRUE(Empty(BoundsWhere(effect.canvas, Bluish)));  // no stroke
    }
    CGdiplusSession::SetUnavailable(false);
    CGdiplusSession again;
    EXPECT_TRUE(again.IsStarted());
}

TEST(Label, AttributeRules)
{
    CLabelUI label;
    EXPECT_EQ(static_cast<UINT>(DT_VCENTER | DT_SINGLELINE), label.GetTextStyle());
    label.SetAttribute(L"multiline", L"true");
    EXPECT_EQ(0u, label.GetTextStyle() & DT_SINGLELINE);
    label.SetAttribute(L"multiline", L"false");  // single line again, word breaks kept
    EXPECT_EQ(static_cast<UINT>(DT_SINGLELINE | DT_WORDBREAK), label.GetTextStyle() & (DT_SINGLELINE | DT_WORDBREAK));
    label.SetAttribute(L"endellipsis", L"true");
    EXPECT_NE(0u, label.GetTextStyle() & DT_END_ELLIPSIS);

    label.SetAttribute(L"luminousfuzzy", L"0");  // ignored
    EXPECT_EQ(3.0f, label.GetLuminousFuzzy());
    label.SetAttribute(L"luminousfuzzy", L"1.5");
    EXPECT_EQ(1.5f, label.GetLuminousFuzzy());
    label.SetAttribute(L"textcolor", L"#FF112233");
    label.SetAttribute(L"textcolor1", L"FF112233");
    EXPECT_EQ(label.GetTextColor(), label.GetTextColor1());
    label.SetAttribute(L"shadowoffset", L"2,200");  // an angle out of range changes nothing
    EXPECT_EQ(0.0f, label.GetShadowOffset().x);
    label.SetAttribute(L"shadowoffset", L"2,-90");
    EXPECT_EQ(2.0f, label.GetShadowOffset().x);
    EXPECT_EQ(0.0f, label.GetShadowOffset().y);
    EXPECT_EQ(&label, label.GetInterface(L"Label"));
}

TEST(GdiplusSession, StartsOnceAndStopsWithTheLastSession)
{
    const int before = CGdiplusSession::GetSessionCount();
    {
        CGdiplusSession first;
        EXPECT_TRUE(first.IsStarted());
        {
            CLabelUI label;  // a label holds a session of its own
            EXPECT_EQ(before + 2, CGdiplusSession::GetSessionCount());
        }
        EXPECT_TRUE(CGdiplusSession::IsRunning());  // the label's end left GDI+ to the other user
    }
    EXPECT_EQ(before, CGdiplusSession::GetSessionCount());
    EXPECT_EQ(before > 0, CGdiplusSession::IsRunning());
}
