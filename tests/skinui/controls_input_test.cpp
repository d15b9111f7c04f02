// Layouts and buttons in a real window under real input (runs under Xvfb and
// moves the real pointer): a separator drag, button presses and keys, and the
// button's hot fade timer.
#include <gtest/gtest.h>

#include <functional>

#include "common/test_util.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/controls/horizontal_layout_ui.h"
#include "skinui/core/skin_builder.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::OffscreenPixel;

namespace {

void LeftButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
}

void PressKey(WORD key)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

// A topmost 400 x 200 window at (100, 100) showing the skin XML it is given.
class SkinWindow : public skintest::ManagedWindow {
public:
    explicit SkinWindow(const wchar_t* xml) : ManagedWindow(100, 100, 400, 200, WS_EX_TOPMOST)
    {
        ::SetCursorPos(0, 0);
        RegisterControlElements();
        CSkinBuilder builder;
        manager.AttachDialog(builder.Create(xml, nullptr, nullptr, &manager));
        manager.AddNotifier(&notes);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::SetForegroundWindow(hwnd);
        Repaint();
        testutil::pumpFor(50);
    }
    ~SkinWindow() override
    {
        if (::GetAsyncKeyState(VK_LBUTTON) < 0) {
            LeftButton(false);  // a test that stopped halfway leaves no button down
        }
        manager.RemoveNotifier(&notes);
        Destroy();
    }
    template <typename T>
    T* Find(const wchar_t* name)
    {
        return static_cast<T*>(manager.FindControl(name));
    }
    void Repaint()
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
    }
    void PointerTo(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(hwnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
    }
    // Pumps until done() holds, nudging the pointer at (x, y) so that the
    // window keeps getting real moves there.
    bool PointUntil(int x, int y, const std::function<bool()>& done)
    {
        for (int i = 0; i < 10; ++i) {
            PointerTo(x + (i % 2), y);
            if (testutil::pumpUntil(done, 300))
                return true;
        }
        return false;
    }
    bool Pump(const std::function<bool()>& done) { return testutil::pumpUntil(done, 5000); }
    skintest::NotifyLog notes;
};

bool IsDark(DWORD rgb)
{
    return skintest::Red(rgb) < 0x80 && skintest::Green(rgb) < 0x80 && skintest::Blue(rgb) < 0x80;
}

}  // namespace

TEST(LayoutInput, SeparatorDragShowsABarAndResizesAtTheRelease)
{
    SkinWindow w(L"<HorizontalLayout bkcolor=\"#FFFFFFFF\">"
                 L"  <HorizontalLayout name=\"side\" width=\"100\" sepwidth=\"4\" minwidth=\"60\" maxwidth=\"200\""
                 L"                    bkcolor=\"#FF0000FF\"/>"
                 L"  <Control name=\"rest\"/>"
                 L"</HorizontalLayout>");
    CHorizontalLayoutUI* side = w.Find<CHorizontalLayoutUI>(L"side");
    ASSERT_NE(nullptr, side);
    ASSERT_EQ(100, side->GetWidth());
    EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), side->GetControlFlags());

    // Press on the strip (x 96 to 100) and drag 52 pixels to the right.
    ASSERT_TRUE(w.PointUntil(98, 100, [&] { return w.manager.GetMousePos().x == 98; }));
    LeftButton(true);
    ASSERT_TRUE(w.Pump([&] { return w.manager.IsCaptured(); }));
    w.PointerTo(120, 100);
    w.Pump([&] { return side->GetFixedWidth() == 122; });
    w.PointerTo(150, 100);
    ASSERT_TRUE(w.Pump([&] { return side->GetFixedWidth() == 152; })) << side->GetFixedWidth();
    w.Repaint();
    EXPECT_EQ(100, side->GetWidth());                         // the layout keeps its size while dragging
    EXPECT_TRUE(IsDark(OffscreenPixel(w.manager, 150, 50)));  // under the bar (148 to 152)
    EXPECT_EQ(0xFFFFFFu, OffscreenPixel(w.manager, 140, 50));
    LeftButton(false);
    ASSERT_TRUE(w.Pump([&] { return !w.manager.IsCaptured(); }));
    w.Repaint();
    EXPECT_EQ(152, side->GetWidth());
    EXPECT_EQ(0x0000FFu, OffscreenPixel(w.manager, 150, 50));  // the bar is gone, the layout took its size
    EXPECT_EQ(152, w.Find<CControlUI>(L"rest")->GetX());

    // Dragging past the minimum width stops at it.
    ASSERT_TRUE(w.PointUntil(150, 100, [&] { return w.manager.GetMousePos().x == 150; }));
    LeftButton(true);
    ASSERT_TRUE(w.Pump([&] { return w.manager.IsCaptured(); }));
    w.PointerTo(100, 100);
    w.Pump([&] { return side->GetFixedWidth() == 102; });
    w.PointerTo(20, 100);
    ASSERT_TRUE(w.Pump([&] { return side->GetFixedWidth() == 60; })) << side->GetFixedWidth();
    LeftButton(false);
    ASSERT_TRUE(w.Pump([&] { return !w.manager.IsCaptured(); }));
    w.Repaint();
    EXPECT_EQ(60, side->GetWidth());
}

TEST(ButtonInput, ReleaseOutsideGivesNoClickAndSpaceGivesExactlyOne)
{
    SkinWindow w(L"<Container bkcolor=\"#FFFFFFFF\">"
                 L"  <Button name=\"btn\" float=\"true\" pos=\"50,50,150,90\" keyboard=\"true\""
                 L"          normalimage=\"color='FF808080'\" pushedimage=\"color='FF0000FF'\"/>"
                 L"</Container>");
    CButtonUI* button = w.Find<CButtonUI>(L"btn");
    ASSERT_NE(nullptr, button);

    // Press inside, leave, release outside: pushed only while inside, no click.
    ASSERT_TRUE(w.PointUntil(100, 70, [&] { return (button->GetButtonState() & UISTATE_HOT) != 0; }));
    LeftButton(true);
    ASSERT_TRUE(w.Pump([&] { return (button->GetButtonState() & UISTATE_PUSHED) != 0; }));
    w.Repaint();
    EXPECT_EQ(0x0000FFu, OffscreenPixel(w.manager, 100, 70));
    w.PointerTo(300, 150);
    ASSERT_TRUE(w.Pump([&] { return (button->GetButtonState() & UISTATE_PUSHED) == 0; }));
    w.Repaint();
    EXPECT_EQ(0x808080u, OffscreenPixel(w.manager, 100, 70));
    LeftButton(false);
    ASSERT_TRUE(w.Pump([&] { return !w.manager.IsCaptured(); }));
    testutil::pumpFor(100);
    EXPECT_EQ(0, w.notes.Count(L"click"));

    // A press and a release inside: one click.
    ASSERT_TRUE(w.PointUntil(100, 70, [&] { return w.manager.GetMousePos().x == 100; }));
    LeftButton(true);
    LeftButton(false);
    ASSERT_TRUE(w.Pump([&] { return w.notes.Count(L"click") == 1; }));

    // Space on the focused button: exactly one more.
    w.manager.SetFocus(button);
    PressKey(VK_SPACE);
    ASSERT_TRUE(w.Pump([&] { return w.notes.Count(L"click") == 2; }));
    testutil::pumpFor(200);
    EXPECT_EQ(2, w.notes.Count(L"click"));
}

TEST(ButtonInput, HotFadeRunsItsTimerOnlyWhileTheImagesBlend)
{
    SkinWindow w(L"<Container bkcolor=\"#FFFFFFFF\">"
                 L"  <Button name=\"btn\" float=\"true\" pos=\"50,50,150,90\" fadedelta=\"15\""
                 L"          normalimage=\"color='FFFF0000'\" hotimage=\"color='FF00FF00'\"/>"
                 L"</Container>");
    CButtonUI* button = w.Find<CButtonUI>(L"btn");
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(0xFF0000u, OffscreenPixel(w.manager, 100, 70));

    ASSERT_TRUE(w.PointUntil(100, 70, [&] { return (button->GetButtonState() & UISTATE_HOT) != 0; }));
    // The fade timer runs: a second one of the same id is refused.
    EXPECT_FALSE(w.manager.SetTimer(button, CButtonUI::FADE_TIMER_ID, 30));
    ASSERT_TRUE(w.Pump([&] { return OffscreenPixel(w.manager, 100, 70) == 0x00FF00u; }));
    EXPECT_FALSE(w.manager.KillTimer(button, CButtonUI::FADE_TIMER_ID));  // already stopped

    w.PointerTo(300, 150);
    ASSERT_TRUE(w.Pump([&] { return (button->GetButtonState() & UISTATE_HOT) == 0; }));
    EXPECT_FALSE(w.manager.SetTimer(button, CButtonUI::FADE_TIMER_ID, 30));
    ASSERT_TRUE(w.Pump([&] { return OffscreenPixel(w.manager, 100, 70) == 0xFF0000u; }));
    EXPECT_FALSE(w.manager.KillTimer(button, CButtonUI::FADE_TIMER_ID));
}
