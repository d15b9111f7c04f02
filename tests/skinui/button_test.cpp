// The button's state images and colours on a memory DIB, driven by the
// events the window manager sends: the four-frame strip, state images over
// the strip, the hot fore image, the multi-line caption and the clicks.
#include <gtest/gtest.h>

#include <vector>

#include "common/test_util.h"
#include "skinui/controls/button_ui.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;

namespace {

const DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00;

// A 40 x 10 strip of four 10 x 10 frames: red, green, blue, yellow.
std::wstring WriteStrip(const testutil::TempDir& dir)
{
    std::vector<DWORD> pixels;
    for (int y = 0; y < 10; ++y)
        for (DWORD colour : {kRed, kGreen, kBlue, kYellow})
            for (int x = 0; x < 10; ++x)
                pixels.push_back(colour);
    std::wstring path = dir.file(L"strip.tga");
    testutil::writeFile(path, skintest::MakeTga(40, 10, pixels));
    return path;
}

// A 20 x 20 button at (10, 10) in a windowless manager that logs notifications.
struct PaintedButton {
    PaintedButton() : canvas(40, 40, 0x00FFFFFF)
    {
        manager.AddNotifier(&notes);
        button.SetManager(&manager, nullptr, false);
        button.SetPos(RECT{10, 10, 30, 30}, false);
    }
    ~PaintedButton() { manager.RemoveNotifier(&notes); }
    DWORD Paint()
    {
        RECT all = canvas.all();
        CDrawKit::DrawColor(canvas.dc(), all, 0xFFFFFFFF);
        button.Paint(canvas.dc(), all, nullptr);
        return canvas.Rgb(20, 20);
    }
    void Send(int type, int x = 20, int y = 20, WPARAM wParam = 0)
    {
        UiEvent event = {};
        event.Type = type;
        event.pSender = &button;
        event.ptMouse = POINT{x, y};
        event.chKey = static_cast<wchar_t>(wParam);
        event.wParam = wParam;
        button.Event(event);
    }
    CUiManager manager;
    skintest::NotifyLog notes;
    CButtonUI button;
    Canvas canvas;
};

}  // namespace

TEST(Button, StandardStripShowsOneFrameByState)
{
    testutil::TempDir dir;
    PaintedButton p;
    p.button.SetAttribute(L"standardimage", (L"file='" + WriteStrip(dir) + L"'").c_str());
    EXPECT_EQ(kRed & 0xFFFFFF, p.Paint());  // normal
    p.Send(UIEVENT_MOUSEENTER);
    EXPECT_EQ(kGreen & 0xFFFFFF, p.Paint());  // hot
    p.Send(UIEVENT_BUTTONDOWN);
    EXPECT_EQ(kBlue & 0xFFFFFF, p.Paint());  // pushed
    p.Send(UIEVENT_MOUSEMOVE, 60, 60);       // dragged out: pushed only while inside
    EXPECT_EQ(kGreen & 0xFFFFFF, p.Paint());
    p.Send(UIEVENT_MOUSEMOVE);
    EXPECT_EQ(kBlue & 0xFFFFFF, p.Paint());
    p.Send(UIEVENT_MOUSEMOVE, 60, 60);
    p.Send(UIEVENT_BUTTONUP, 60, 60);  // released outside: no click
    EXPECT_EQ(0, p.notes.Count(L"click"));
    p.Send(UIEVENT_MOUSELEAVE, 60, 60);
    EXPECT_EQ(kRed & 0xFFFFFF, p.Paint());
    p.button.SetEnabled(false);
    EXPECT_EQ(kYellow & 0xFFFFFF, p.Paint());  // disabled
    EXPECT_EQ(0u, p.button.GetButtonState() & (UISTATE_HOT | UISTATE_PUSHED));

    // State images win over the strip; a missing one falls back to the frame.
    p.button.SetEnabled(true);
    p.button.SetAttribute(L"normalimage", L"color='FF808080'");
    p.button.SetAttribute(L"pushedimage", L"file='missing.png'");
    EXPECT_EQ(0x808080u, p.Paint());
    p.Send(UIEVENT_BUTTONDOWN);
    EXPECT_EQ(kBlue & 0xFFFFFF, p.Paint());
    p.Send(UIEVENT_BUTTONUP);
    EXPECT_EQ(1, p.notes.Count(L"click"));  // pressed and released inside
}

TEST(Button, HotForeImageHidesForeImageAndBadgeAndStateColoursApply)
{
    PaintedButton p;
    p.button.SetAttribute(L"normalimage", L"color='FF808080'");
    p.button.SetAttribute(L"foreimage", L"color='FF0000FF' dest='0,0,10,20'");
    p.button.SetAttribute(L"redFilePath", L"color='FFFF0000' dest='10,0,20,10'");
    p.button.SetAttribute(L"showred", L"true");
    p.Paint();
    EXPECT_EQ(0x0000FFu, p.canvas.Rgb(12, 25));  // fore image
    EXPECT_EQ(0xFF0000u, p.canvas.Rgb(25, 12));  // badge
    EXPECT_EQ(0x808080u, p.canvas.Rgb(25, 25));

    p.button.SetAttribute(L"hotforeimage", L"color='FF00FF00' dest='10,10,20,20'");
    p.Send(UIEVENT_MOUSEENTER);
    p.Paint();
    EXPECT_EQ(0x808080u, p.canvas.Rgb(12, 25));  // the normal image under a hot button without hot image
    EXPECT_EQ(0x808080u, p.canvas.Rgb(25, 12));
    EXPECT_EQ(0x00FF00u, p.canvas.Rgb(25, 25));

    PaintedButton c;
    c.button.SetAttribute(L"hotbkcolor", L"#FF00FF00");
    c.button.SetAttribute(L"pushbkcolor", L"#FF0000FF");
    c.button.SetAttribute(L"disabledbkcolor", L"#FFFFFF00");
    EXPECT_EQ(0xFFFFFFu, c.Paint());
    c.Send(UIEVENT_MOUSEENTER);
    EXPECT_EQ(0x00FF00u, c.Paint());
    c.Send(UIEVENT_BUTTONDOWN);
    EXPECT_EQ(0x0000FFu, c.Paint());
    c.button.SetEnabled(false);
    EXPECT_EQ(0xFFFF00u, c.Paint());
}

TEST(Button, KeysClickOnlyWhenTheButtonTakesKeysAndMultiLineCaptions)
{
    PaintedButton p;
    p.Send(UIEVENT_KEYDOWN, 20, 20, VK_SPACE);  // keyboard off by default
    EXPECT_EQ(0, p.notes.Count(L"click"));
    EXPECT_EQ(0u, p.button.GetControlFlags());
    p.button.SetAttribute(L"keyboard", L"true");
    EXPECT_EQ(static_cast<UINT>(UIFLAG_TABSTOP), p.button.GetControlFlags());
    p.Send(UIEVENT_KEYDOWN, 20, 20, VK_SPACE);
    p.Send(UIEVENT_KEYDOWN, 20, 20, VK_RETURN);
    p.Send(UIEVENT_KEYDOWN, 20, 20, 'A');
    EXPECT_EQ(2, p.notes.Count(L"click"));
    p.button.SetEnabled(false);
    p.Send(UIEVENT_KEYDOWN, 20, 20, VK_SPACE);
    EXPECT_EQ(2, p.notes.Count(L"click"));

    // Two caption lines, each drawn in its own band: top + 4 and top + 22 in 40 pixels.
    PaintedButton m;
    m.button.SetPos(RECT{0, 0, 40, 40}, false);
    m.button.SetAttribute(L"textcolor", L"#FF000000");
    m.button.SetAttribute(L"showhtml", L"true");
    m.button.SetAttribute(L"drawmulline", L"true");
    m.button.SetText(L"ab<n>cd");
    m.Paint();
    RECT ink = m.canvas.Bounds(0x00FFFFFF);
    EXPECT_GE(ink.top, 4);
    EXPECT_LE(ink.bottom, 36);
    int rowsWithInk = 0;
    for (int y = 18; y < 22; ++y)
        for (int x = 0; x < 40; ++x)
            rowsWithInk += m.canvas.Rgb(x, y) != 0xFFFFFF ? 1 : 0;
    EXPECT_EQ(0, rowsWithInk);  // the gap between the two bands
}
