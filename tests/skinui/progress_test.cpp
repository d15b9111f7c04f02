// The progress bar's filled part on a memory DIB: extents, clamping, large
// ranges, the vertical fill and a partial repaint.
#include <gtest/gtest.h>

#include "skinui/controls/progress_ui.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;

namespace {

const DWORD kWhite = 0x00FFFFFF;
const DWORD kGreen = 0x0000FF00;

struct PaintedBar {
    PaintedBar(int width, int height) : canvas(width, height, kWhite)
    {
        bar.SetManager(&manager, nullptr, false);
        bar.SetPos(RECT{0, 0, width, height}, false);
    }
    // The green pixels after a paint of rcPaint (the whole bar by default).
    RECT Filled(const RECT* rcPaint = nullptr)
    {
        RECT all = canvas.all();
        CDrawKit::DrawColor(canvas.dc(), all, 0xFFFFFFFF);
        bar.Paint(canvas.dc(), rcPaint != nullptr ? *rcPaint : all, nullptr);
        RECT rc = {canvas.width(), canvas.height(), 0, 0};
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.Rgb(x, y) == kGreen) {
                    rc = RECT{(std::min<LONG>)(rc.left, x), (std::min<LONG>)(rc.top, y),
                              (std::max<LONG>)(rc.right, x + 1), (std::max<LONG>)(rc.bottom, y + 1)};
                }
        return rc.right == 0 ? RECT{0, 0, 0, 0} : rc;
    }
    CUiManager manager;
    CProgressUI bar;
    Canvas canvas;
};

}  // namespace

TEST(Progress, FillExtentsFollowTheValueWithinItsRange)
{
    EXPECT_EQ(12, CProgressUI().GetFixedHeight());
    for (const wchar_t* fill : {L"forecolor", L"foreimage"}) {
        PaintedBar p(200, 12);
        p.bar.SetAttribute(fill, wcscmp(fill, L"forecolor") == 0 ? L"#FF00FF00" : L"color='FF00FF00'");
        EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 0, 0));
        p.bar.SetAttribute(L"value", L"50");
        EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 100, 12));
        p.bar.SetAttribute(L"value", L"100");
        EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 200, 12));
    }

    PaintedBar p(200, 12);
    p.bar.SetForeColor(0xFF00FF00);
    p.bar.SetValue(150);  // limited to the maximum
    EXPECT_EQ(100, p.bar.GetValue());
    p.bar.SetValue(-5);  // raised to the minimum
    EXPECT_EQ(0, p.bar.GetValue());
    p.bar.SetMinValue(10);
    p.bar.SetMaxValue(10);
    p.Filled();  // an empty range gets one step at the next paint
    EXPECT_EQ(11, p.bar.GetMaxValue());
    EXPECT_EQ(10, p.bar.GetValue());

    // A range of two thousand million: the product does not fit in 32 bits.
    p.bar.SetMinValue(0);
    p.bar.SetMaxValue(2000000000);
    p.bar.SetValue(1000000000);
    EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 100, 12));
    p.bar.SetValue(1500000000);
    EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 150, 12));

    // A repaint of the bar's right part shows only what is filled there.
    p.bar.SetValue(1000000000);
    RECT right = {150, 0, 200, 12};
    EXPECT_TRUE(skintest::RectIs(p.Filled(&right), 0, 0, 0, 0));
    RECT middle = {80, 0, 200, 12};
    EXPECT_TRUE(skintest::RectIs(p.Filled(&middle), 80, 0, 100, 12));
}

TEST(Progress, VerticalBarFillsFromTheBottom)
{
    for (const wchar_t* fill : {L"forecolor", L"foreimage"}) {
        PaintedBar p(20, 100);
        p.bar.SetAttribute(L"hor", L"false");
        p.bar.SetAttribute(fill, wcscmp(fill, L"forecolor") == 0 ? L"#FF00FF00" : L"color='FF00FF00'");
        EXPECT_FALSE(p.bar.IsHorizontal());
        EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 0, 0));  // at the minimum: empty
        p.bar.SetValue(25);
        EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 75, 20, 100));
        p.bar.SetValue(100);
        EXPECT_TRUE(skintest::RectIs(p.Filled(), 0, 0, 20, 100));
    }
}
