// The fixed paint order of CControlUI checked on the pixels of a memory DIB.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skinui/core/delegate.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;

namespace {

const DWORD kWhite = 0x00FFFFFF;

// Records the order of the paint steps.
class OrderControl : public CControlUI {
public:
    void PaintBkColor(HDC hDC) override { steps.push_back("bkcolor"); }
    void PaintStatusBkColor(HDC) override { steps.push_back("statusbkcolor"); }
    void PaintBkImage(HDC hDC) override { steps.push_back("bkimage"); }
    void PaintStatusImage(HDC) override { steps.push_back("statusimage"); }
    void PaintText(HDC) override { steps.push_back("text"); }
    void PaintBorder(HDC hDC) override { steps.push_back("border"); }
    std::vector<std::string> steps;
};

// A control at (10,10,60,60) with the given attributes, painted on a white 100 x 100 canvas.
struct Painted {
    typedef std::pair<const wchar_t*, const wchar_t*> Attribute;
    explicit Painted(std::initializer_list<Attribute> attributes) : canvas(100, 100, kWhite)
    {
        control.SetManager(&manager, nullptr, false);
        control.SetPos(RECT{10, 10, 60, 60}, false);
        for (const auto& a : attributes)
            control.SetAttribute(a.first, a.second);
        Paint();
    }
    void Paint() { control.Paint(canvas.dc(), canvas.all(), nullptr); }
    DWORD At(int x, int y) const { return canvas.Rgb(x, y); }
    CUiManager manager;
    CControlUI control;
    Canvas canvas;
};

}  // namespace

TEST(ControlPaint, StepsRunInFixedOrder)
{
    Canvas canvas(100, 100);
    OrderControl c;
    c.SetPos(RECT{10, 10, 60, 60}, false);
    EXPECT_TRUE(c.Paint(canvas.dc(), canvas.all(), nullptr));
    std::vector<std::string> expected = {"bkcolor", "statusbkcolor", "bkimage", "statusimage", "text", "border"};
    EXPECT_EQ(expected, c.steps);

    c.steps.clear();
    EXPECT_FALSE(c.Paint(canvas.dc(), canvas.all(), &c));              // the stop control paints nothing
    EXPECT_TRUE(c.Paint(canvas.dc(), RECT{70, 70, 90, 90}, nullptr));  // nothing to paint there
    c.OnPaint += CDelegateStatic([](void*) { return false; });
    EXPECT_TRUE(c.Paint(canvas.dc(), canvas.all(), nullptr));
    EXPECT_TRUE(c.steps.empty());
}

TEST(ControlPaint, BackgroundColourHidesImageAndBorderIsOnTop)
{
    Painted p(
        {{L"bkimage", L"color='FF00FF00' dest='0,0,20,20'"}, {L"bordercolor", L"#FF0000FF"}, {L"bordersize", L"1"}});
    EXPECT_EQ(0x00FF00u, p.At(15, 15));  // image inside its dest
    EXPECT_EQ(0xFFFFFFu, p.At(40, 40));  // outside dest nothing
    EXPECT_EQ(0x0000FFu, p.At(10, 10));  // border over the image corner
    EXPECT_EQ(0x0000FFu, p.At(59, 59));
    EXPECT_EQ(0xFFFFFFu, p.At(60, 60));  // outside the control

    p.control.SetAttribute(L"bkcolor", L"#FFFF0000");
    p.Paint();
    EXPECT_EQ(0xFF0000u, p.At(15, 15));  // a bk colour never draws the bk image
    EXPECT_EQ(0x0000FFu, p.At(10, 30));
    EXPECT_EQ(0xFFFFFFu, p.At(9, 30));
}

TEST(ControlPaint, BorderSidesAndFocusColour)
{
    Painted sides({{L"bordercolor", L"#FF0000FF"}, {L"bordersize", L"1,0,1,0"}});
    EXPECT_EQ(0x0000FFu, sides.At(10, 30));  // left line at left + 1/2
    EXPECT_EQ(0x0000FFu, sides.At(60, 30));  // right line at right - 1/2
    EXPECT_EQ(0xFFFFFFu, sides.At(30, 10));  // no top line
    Painted noLeft({{L"bordercolor", L"#FF0000FF"}, {L"bordersize", L"0,1,0,1"}});
    EXPECT_EQ(0, noLeft.canvas.CountNot(kWhite));  // the left size decides: nothing

    Painted focused({{L"bordercolor", L"#FF0000FF"}, {L"focusbordercolor", L"#FF00FF00"}, {L"bordersize", L"1"}});
    UiEvent focus = {};
    focus.Type = UIEVENT_SETFOCUS;
    focused.control.Event(focus);
    focused.Paint();
    EXPECT_EQ(0x00FF00u, focused.At(10, 30));
    focused.control.PaintBorderWithColor(focused.canvas.dc(), 0xFFFF0000);  // focused with a focus colour: nothing
    EXPECT_EQ(0x00FF00u, focused.At(10, 30));
}

TEST(ControlPaint, GradientsTranslucentFillAndRoundClip)
{
    Painted two({{L"bkcolor", L"#FF000000"}, {L"bkcolor2", L"#FFFFFFFF"}});
    EXPECT_LT(two.At(30, 11) & 0xFF, 0x20u);
    EXPECT_GT(two.At(30, 58) & 0xFF, 0xE0u);
    Painted three({{L"bkcolor", L"#FF000000"}, {L"bkcolor2", L"#FFFFFFFF"}, {L"bkcolor3", L"#FF000000"}});
    EXPECT_GT(three.At(30, 35) & 0xFF, 0xD0u);
    EXPECT_LT(three.At(30, 58) & 0xFF, 0x40u);
    Painted half({{L"bkcolor", L"#80000000"}});  // half-transparent black over white
    EXPECT_NEAR(0x80, static_cast<int>(half.At(30, 30) & 0xFF), 0x10);

    Painted round({{L"bkcolor", L"#FFFF0000"}, {L"borderround", L"20,20"}});
    EXPECT_EQ(0xFFFFFFu, round.At(10, 10));  // corner cut away
    EXPECT_EQ(0xFF0000u, round.At(35, 10));
    CDrawKit::DrawColor(round.canvas.dc(), RECT{0, 0, 20, 20}, 0xFF00FF00);  // the clip is gone after the paint
    EXPECT_EQ(0x00FF00u, round.At(10, 10));
}
