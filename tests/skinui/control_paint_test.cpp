// The fixed paint order of CControlUI checked on the pixels of a memory DIB.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control_test_tree.h"
#include "skinui/core/delegate.h"

using namespace SkinUI;

namespace {

// A 100 x 100 white 32-bit canvas.
class Canvas {
public:
    Canvas()
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = kSize;
        bmi.bmiHeader.biHeight = -kSize;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        dc_ = ::CreateCompatibleDC(nullptr);
        bitmap_ = ::CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = ::SelectObject(dc_, bitmap_);
        for (int i = 0; i < kSize * kSize; ++i) bits_[i] = 0x00FFFFFF;
    }
    ~Canvas()
    {
        ::SelectObject(dc_, old_);
        ::DeleteObject(bitmap_);
        ::DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    // 0x00RRGGBB of a pixel.
    DWORD At(int x, int y) const
    {
        ::GdiFlush();
        return bits_[y * kSize + x] & 0x00FFFFFF;
    }
    static const int kSize = 100;

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    DWORD* bits_ = nullptr;
};

const RECT kAll = {0, 0, Canvas::kSize, Canvas::kSize};

// Records the order of the paint steps.
class OrderControl : public CControlUI {
public:
    void PaintBkColor(HDC hDC) override { steps.push_back("bkcolor"); CControlUI::PaintBkColor(hDC); }
    void PaintStatusBkColor(HDC) override { steps.push_back("statusbkcolor"); }
    void PaintBkImage(HDC hDC) override { steps.push_back("bkimage"); CControlUI::PaintBkImage(hDC); }
    void PaintStatusImage(HDC) override { steps.push_back("statusimage"); }
    void PaintText(HDC) override { steps.push_back("text"); }
    void PaintBorder(HDC hDC) override { steps.push_back("border"); CControlUI::PaintBorder(hDC); }
    std::vector<std::string> steps;
};

}  // namespace

TEST(ControlPaint, StepsRunInFixedOrder)
{
    Canvas canvas;
    OrderControl c;
    c.SetPos(RECT{10, 10, 60, 60}, false);
    EXPECT_TRUE(c.Paint(canvas.dc(), kAll, nullptr));
    std::vector<std::string> expected = {"bkcolor", "statusbkcolor", "bkimage", "statusimage", "text", "border"};
    EXPECT_EQ(expected, c.steps);

    c.steps.clear();
    EXPECT_FALSE(c.Paint(canvas.dc(), kAll, &c));  // the stop control paints nothing
    EXPECT_TRUE(c.steps.empty());
    RECT elsewhere = {70, 70, 90, 90};
    EXPECT_TRUE(c.Paint(canvas.dc(), elsewhere, nullptr));  // nothing to paint there
    EXPECT_TRUE(c.steps.empty());

    struct Veto {
        static bool No(void*) { return false; }
    };
    c.OnPaint += CDelegateStatic(&Veto::No);
    EXPECT_TRUE(c.Paint(canvas.dc(), kAll, nullptr));
    EXPECT_TRUE(c.steps.empty());
}

TEST(ControlPaint, BackgroundColourHidesImageAndBorderIsOnTop)
{
    CUiManager manager;
    Canvas canvas;
    CControlUI c;
    c.SetManager(&manager, nullptr, false);
    c.SetPos(RECT{10, 10, 60, 60}, false);
    c.SetAttribute(L"bkimage", L"color='FF00FF00' dest='0,0,20,20'");
    c.SetAttribute(L"bordercolor", L"#FF0000FF");
    c.SetAttribute(L"bordersize", L"1");

    c.Paint(canvas.dc(), kAll, nullptr);
    EXPECT_EQ(0x00FF00u, canvas.At(15, 15));  // image inside its dest
    EXPECT_EQ(0xFFFFFFu, canvas.At(40, 40));  // outside dest nothing
    EXPECT_EQ(0x0000FFu, canvas.At(10, 30));  // border left column
    EXPECT_EQ(0x0000FFu, canvas.At(10, 10));  // border over the image corner
    EXPECT_EQ(0x0000FFu, canvas.At(59, 59));
    EXPECT_EQ(0xFFFFFFu, canvas.At(60, 60));  // outside the control

    c.SetAttribute(L"bkcolor", L"#FFFF0000");
    c.Paint(canvas.dc(), kAll, nullptr);
    EXPECT_EQ(0xFF0000u, canvas.At(15, 15));  // a bk colour never draws the bk image
    EXPECT_EQ(0xFF0000u, canvas.At(40, 40));
    EXPECT_EQ(0x0000FFu, canvas.At(10, 30));
    EXPECT_EQ(0xFFFFFFu, canvas.At(9, 30));
}

TEST(ControlPaint, BorderSidesAndFocusColour)
{
    CUiManager manager;
    Canvas canvas;
    CControlUI c;
    c.SetManager(&manager, nullptr, false);
    c.SetPos(RECT{10, 10, 60, 60}, false);
    c.SetAttribute(L"bordercolor", L"#FF0000FF");
    c.SetAttribute(L"focusbordercolor", L"#FF00FF00");
    c.SetAttribute(L"bordersize", L"1,0,1,0");
    c.Paint(canvas.dc(), kAll, nullptr);
    EXPECT_EQ(0x0000FFu, canvas.At(10, 30));  // left line at left + 1/2
    EXPECT_EQ(0x0000FFu, canvas.At(60, 30));  // right line at right - 1/2
    EXPECT_EQ(0xFFFFFFu, canvas.At(30, 10));  // no top line

    Canvas second;
    c.SetAttribute(L"bordersize", L"0,1,0,1");  // the left size decides: nothing
    c.Paint(second.dc(), kAll, nullptr);
    EXPECT_EQ(0xFFFFFFu, second.At(30, 10));
    EXPECT_EQ(0xFFFFFFu, second.At(30, 59));

    Canvas third;
    c.SetAttribute(L"bordersize", L"1");
    UiEvent focus = {};
    focus.Type = UIEVENT_SETFOCUS;
    c.Event(focus);
    ASSERT_TRUE(c.IsFocused());
    c.Paint(third.dc(), kAll, nullptr);
    EXPECT_EQ(0x00FF00u, third.At(10, 30));
    c.PaintBorderWithColor(third.dc(), 0xFFFF0000);  // focused with a focus colour: nothing
    EXPECT_EQ(0x00FF00u, third.At(10, 30));
}

TEST(ControlPaint, GradientsAndTranslucentFill)
{
    Canvas canvas;
    CControlUI c;
    c.SetPos(RECT{0, 0, 100, 100}, false);
    c.SetAttribute(L"bkcolor", L"#FF000000");
    c.SetAttribute(L"bkcolor2", L"#FFFFFFFF");
    c.Paint(canvas.dc(), kAll, nullptr);
    DWORD top = canvas.At(50, 1) & 0xFF;
    DWORD bottom = canvas.At(50, 98) & 0xFF;
    EXPECT_LT(top, 0x20u);
    EXPECT_GT(bottom, 0xE0u);

    Canvas three;
    c.SetAttribute(L"bkcolor3", L"#FF000000");  // black, white in the middle, black
    c.Paint(three.dc(), kAll, nullptr);
    EXPECT_LT(three.At(50, 1) & 0xFF, 0x20u);
    EXPECT_GT(three.At(50, 49) & 0xFF, 0xD0u);
    EXPECT_LT(three.At(50, 98) & 0xFF, 0x30u);

    Canvas half;
    CControlUI t;
    t.SetPos(RECT{0, 0, 100, 100}, false);
    t.SetAttribute(L"bkcolor", L"#80000000");  // half-transparent black over white
    t.Paint(half.dc(), kAll, nullptr);
    DWORD grey = half.At(50, 50) & 0xFF;
    EXPECT_GT(grey, 0x70u);
    EXPECT_LT(grey, 0x90u);
}

TEST(ControlPaint, RoundBorderClipsTheCorners)
{
    Canvas canvas;
    CControlUI c;
    c.SetPos(RECT{10, 10, 60, 60}, false);
    c.SetAttribute(L"bkcolor", L"#FFFF0000");
    c.SetAttribute(L"borderround", L"20,20");
    c.Paint(canvas.dc(), kAll, nullptr);
    EXPECT_EQ(0xFFFFFFu, canvas.At(10, 10));  // corner cut away
    EXPECT_EQ(0xFF0000u, canvas.At(35, 35));
    EXPECT_EQ(0xFF0000u, canvas.At(35, 10));
    // The clip is gone after the paint.
    CDrawKit::DrawColor(canvas.dc(), RECT{0, 0, 20, 20}, 0xFF00FF00);
    EXPECT_EQ(0x00FF00u, canvas.At(10, 10));
}

TEST(ControlPaint, FloatControlTakesItsImageSize)
{
    CUiManager manager;
    CControlUI c;
    c.SetManager(&manager, nullptr, false);
    c.SetFloat(true);
    c.SetBkImage(L"color='FF123456'");
    EXPECT_EQ(1, c.GetFixedWidth());
    EXPECT_EQ(1, c.GetFixedHeight());
    ASSERT_NE(nullptr, c.GetBkImageInfo().pImageInfo);
    // A missing file is tried once and draws nothing.
    CControlUI d;
    d.SetManager(&manager, nullptr, false);
    d.SetBkImage(L"file='no-such-image.png'");
    EXPECT_EQ(nullptr, d.GetBkImageInfo().pImageInfo);
    EXPECT_TRUE(d.GetBkImageInfo().bParsed);
}
