// The scroll bar on its own: thumb geometry for known ranges (painted into
// memory DIBs), position rules, the default images of every part and state,
// and, in a real window, the held arrow, track paging toward the pointer and
// thumb drags with real input, with the "scroll" notifications they raise.
#include <gtest/gtest.h>

#include <vector>

#include "common/test_util.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::RectIs;

namespace {

const DWORD kThumb = 0xFF00FF00;
const DWORD kButton1 = 0xFFFF0000;
const DWORD kButton2 = 0xFF0000FF;

// Bounding box of the pixels of exactly this colour (empty when none).
RECT ColourBounds(const skintest::Canvas& canvas, DWORD argb)
{
    RECT rc = {canvas.width(), canvas.height(), 0, 0};
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.Rgb(x, y) == (argb & 0x00FFFFFF)) {
                rc = RECT{(std::min<LONG>)(rc.left, x), (std::min<LONG>)(rc.top, y),
                          (std::max<LONG>)(rc.right, x + 1), (std::max<LONG>)(rc.bottom, y + 1)};
            }
    return rc.right == 0 ? RECT{0, 0, 0, 0} : rc;
}

// Where the thumb colour lands when the bar paints itself at rc.
RECT PaintedThumb(CScrollBarUI& bar, RECT rc)
{
    bar.SetPos(rc, false);
    skintest::Canvas canvas(rc.right, rc.bottom);
    bar.Paint(canvas.dc(), canvas.all(), nullptr);
    return ColourBounds(canvas, kThumb);
}

TEST(ScrollBarTest, ThumbLengthAndPositionFollowTheRange)
{
    CScrollBarUI bar;
    EXPECT_STREQ(L"ScrollBar", bar.GetClass());
    EXPECT_EQ(&bar, bar.GetInterface(L"ScrollBar"));
    EXPECT_EQ(4, bar.GetFixedWidth());  // a thin vertical bar by default
    bar.SetThumbColor(kThumb);
    bar.SetAttribute(L"width", L"10");
    bar.SetAttribute(L"range", L"300");
    const RECT rc = {0, 0, 10, 100};
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 0, 10, 25));  // 100 x 100 / (300 + 100)
    bar.SetScrollPos(150);
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 37, 10, 62));
    bar.SetScrollPos(300);
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 75, 10, 100));

    // Arrow buttons of the bar's thickness at both ends shorten the track.
    bar.SetAttribute(L"showbutton1", L"true");
    bar.SetAttribute(L"showbutton2", L"true");
    bar.SetAttribute(L"button1color", L"#FFFF0000");
    bar.SetButton2Color(kButton2);
    bar.SetPos(rc, false);
    skintest::Canvas canvas(10, 100);
    bar.Paint(canvas.dc(), canvas.all(), nullptr);
    EXPECT_TRUE(RectIs(ColourBounds(canvas, kButton1), 0, 0, 10, 10));
    EXPECT_TRUE(RectIs(ColourBounds(canvas, kButton2), 0, 90, 10, 100));
    EXPECT_TRUE(RectIs(ColourBounds(canvas, kThumb), 0, 70, 10, 90));  // 80 x 100 / 400, ending at button 2
    bar.SetScrollPos(0);
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 10, 10, 30));
    bar.SetScrollRange(0);  // nothing to scroll: the thumb fills the track
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 10, 10, 90));
    // Too short for a thumb: each button takes half the bar.
    bar.SetScrollRange(300);
    skintest::Canvas tiny(10, 12);
    bar.SetPos(RECT{0, 0, 10, 12}, false);
    bar.Paint(tiny.dc(), tiny.all(), nullptr);
    EXPECT_TRUE(RectIs(ColourBounds(tiny, kButton1), 0, 0, 10, 6));
    EXPECT_TRUE(RectIs(ColourBounds(tiny, kButton2), 0, 6, 10, 12));
    EXPECT_EQ(0, tiny.Count(kThumb));
}

TEST(ScrollBarTest, LongRangesAndHorizontalBars)
{
    // Position times track length passes 32 bits here.
    CScrollBarUI bar;
    bar.SetThumbColor(kThumb);
    bar.SetFixedWidth(10);
    bar.SetScrollRange(2000000000);
    const RECT rc = {0, 0, 10, 1000};
    bar.SetScrollPos(1000000000);
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 495, 10, 505));  // the thumb never gets thinner than the bar
    bar.SetScrollPos(2000000000);
    EXPECT_TRUE(RectIs(PaintedThumb(bar, rc), 0, 990, 10, 1000));
    // Dragging the thumb half its track back is half the range back (applied at the next tick).
    UiEvent event = {};
    event.Type = UIEVENT_BUTTONDOWN;
    event.ptMouse = POINT{5, 995};
    bar.Event(event);
    event.Type = UIEVENT_MOUSEMOVE;
    event.ptMouse = POINT{5, 500};
    bar.Event(event);
    event.Type = UIEVENT_TIMER;
    event.wParam = 10;
    bar.Event(event);
    EXPECT_EQ(1000000000, bar.GetScrollPos());

    // A horizontal bar is the vertical one with x and y exchanged.
    CScrollBarUI hor;
    hor.SetThumbColor(kThumb);
    hor.SetAttribute(L"hor", L"true");
    EXPECT_TRUE(hor.IsHorizontal());
    EXPECT_EQ(0, hor.GetFixedWidth());
    EXPECT_EQ(4, hor.GetFixedHeight());
    hor.SetAttribute(L"height", L"10");
    hor.SetAttribute(L"range", L"300");
    hor.SetAttribute(L"value", L"300");
    EXPECT_TRUE(RectIs(PaintedThumb(hor, RECT{0, 0, 100, 10}), 75, 0, 100, 10));
    hor.SetHorizontal(false);  // back to vertical: the default thickness across
    EXPECT_EQ(4, hor.GetFixedWidth());
    EXPECT_EQ(0, hor.GetFixedHeight());
}

TEST(ScrollBarTest, PositionIsClampedSnappedAndLimitedByTheRange)
{
    CScrollBarUI bar;
    EXPECT_EQ(100, bar.GetScrollRange());
    bar.SetScrollPos(-5);
    EXPECT_EQ(0, bar.GetScrollPos());
    bar.SetScrollPos(150);
    EXPECT_EQ(100, bar.GetScrollPos());
    bar.SetAttribute(L"scrollunit", L"10");
    bar.SetScrollPos(14);
    EXPECT_EQ(10, bar.GetScrollPos());
    bar.SetScrollPos(15);
    EXPECT_EQ(20, bar.GetScrollPos());
    bar.SetScrollPos(16);
    EXPECT_EQ(20, bar.GetScrollPos());
    bar.SetScrollRange(12);  // the position follows a shrinking range
    EXPECT_EQ(12, bar.GetScrollPos());
    bar.SetScrollRange(-3);
    EXPECT_EQ(0, bar.GetScrollRange());
    EXPECT_EQ(0, bar.GetScrollPos());
    bar.SetAttribute(L"linesize", L"-1");  // negative steps are ignored
    bar.SetScrollUnit(-1);
    EXPECT_EQ(8, bar.GetLineSize());
    EXPECT_EQ(10, bar.GetScrollUnit());
}

// The default image strips of every part, written under the default file
// names: frame i (8 by 8) of part p is one colour. The top-left pixel of the
// normal thumb is the mask colour.
class ScrollBarImages : public ::testing::Test {
protected:
    static DWORD Colour(int part, int image)
    {
        return 0xFF000090u | static_cast<DWORD>(0x20 + 0x30 * part) << 16 | static_cast<DWORD>(0x30 + 0x40 * image) << 8;
    }
    void SetUp() override
    {
        const wchar_t* files[UISCROLLBAR_PART_COUNT] = {L"scroll_button1.png", L"scroll_button2.png",
                                                        L"scroll_thumb.png", L"scroll_tail.png", L"scroll_back.png"};
        for (int p = 0; p < UISCROLLBAR_PART_COUNT; ++p) {
            std::vector<DWORD> pixels(32 * 8);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 32; ++x) pixels[y * 32 + x] = Colour(p, x / 8);
            if (p == UISCROLLBAR_THUMB) pixels[0] = 0xFFFF00FF;
            ASSERT_TRUE(testutil::writeFile(dir.file(files[p]), skintest::MakeTga(32, 8, pixels)));
        }
        manager.RemoveAllImages(true);  // images of other windows of this process
        CUiManager::SetResourcePath(dir.path().substr(0, dir.path().size() - 1).c_str());
        bar = new CScrollBarUI;
        bar->SetAttribute(L"width", L"8");
        bar->SetAttribute(L"showbutton1", L"true");
        bar->SetAttribute(L"showbutton2", L"true");
        manager.AttachDialog(bar);
        bar->SetPos(RECT{0, 0, 8, 100}, false);  // thumb 8..50, rail 25..33
    }
    void TearDown() override { CUiManager::SetResourcePath(L""); }
    // Paints and checks the colour of each part: button 1, button 2, thumb, rail, background.
    ::testing::AssertionResult Shows(int button1, int button2, int thumb, int rail, int bk)
    {
        skintest::Canvas canvas(8, 100);
        bar->Paint(canvas.dc(), canvas.all(), nullptr);
        const POINT at[UISCROLLBAR_PART_COUNT] = {{4, 4}, {4, 96}, {4, 14}, {4, 29}, {4, 70}};
        const int images[UISCROLLBAR_PART_COUNT] = {button1, button2, thumb, rail, bk};
        for (int p = 0; p < UISCROLLBAR_PART_COUNT; ++p) {
            DWORD want = images[p] < 0 ? 0xFF00FF00 : Colour(p, images[p]);
            if (canvas.Rgb(at[p].x, at[p].y) != (want & 0x00FFFFFF)) {
                return ::testing::AssertionFailure() << "part " << p << " shows " << std::hex
                                                     << canvas.Rgb(at[p].x, at[p].y) << " instead of " << want;
            }
        }
        // The masked corner of the normal thumb lets the background through.
        if (thumb == UISCROLLBAR_NORMAL && canvas.Rgb(0, 8) != (Colour(UISCROLLBAR_BK, bk) & 0x00FFFFFF)) {
            return ::testing::AssertionFailure() << "mask not applied";
        }
        return ::testing::AssertionSuccess();
    }
    void Send(int type, int x, int y)
    {
        UiEvent event = {};
        event.Type = type;
        event.ptMouse = POINT{x, y};
        bar->Event(event);
    }

    testutil::TempDir dir;
    CUiManager manager;  // owns the bar
    CScrollBarUI* bar = nullptr;
};

TEST_F(ScrollBarImages, EveryPartShowsTheImageOfItsState)
{
    EXPECT_TRUE(Shows(UISCROLLBAR_NORMAL, UISCROLLBAR_NORMAL, UISCROLLBAR_NORMAL, UISCROLLBAR_NORMAL,
                      UISCROLLBAR_NORMAL));
    Send(UIEVENT_MOUSEENTER, 4, 14);  // onto the thumb: both buttons and the thumb are hot
    EXPECT_TRUE(Shows(UISCROLLBAR_HOT, UISCROLLBAR_HOT, UISCROLLBAR_HOT, UISCROLLBAR_HOT, UISCROLLBAR_HOT));
    Send(UIEVENT_BUTTONDOWN, 4, 14);
    EXPECT_TRUE(Shows(UISCROLLBAR_HOT, UISCROLLBAR_HOT, UISCROLLBAR_PUSHED, UISCROLLBAR_PUSHED, UISCROLLBAR_PUSHED));
    Send(UIEVENT_BUTTONUP, 4, 14);
    Send(UIEVENT_BUTTONDOWN, 4, 4);
    EXPECT_TRUE(Shows(UISCROLLBAR_PUSHED, UISCROLLBAR_HOT, UISCROLLBAR_HOT, UISCROLLBAR_HOT, UISCROLLBAR_HOT));
    Send(UIEVENT_BUTTONUP, 4, 4);
    Send(UIEVENT_MOUSELEAVE, 40, 40);
    EXPECT_TRUE(Shows(UISCROLLBAR_NORMAL, UISCROLLBAR_NORMAL, UISCROLLBAR_NORMAL, UISCROLLBAR_NORMAL,
                      UISCROLLBAR_NORMAL));
    bar->SetEnabled(false);
    EXPECT_TRUE(Shows(UISCROLLBAR_DISABLED, UISCROLLBAR_DISABLED, UISCROLLBAR_DISABLED, UISCROLLBAR_DISABLED,
                      UISCROLLBAR_DISABLED));
    Send(UIEVENT_MOUSEENTER, 4, 14);  // a disabled bar does not light up
    EXPECT_TRUE(Shows(UISCROLLBAR_DISABLED, UISCROLLBAR_DISABLED, UISCROLLBAR_DISABLED, UISCROLLBAR_DISABLED,
                      UISCROLLBAR_DISABLED));
    bar->SetEnabled(true);

    // A missing state image falls back to the normal one; a thumb colour
    // replaces the thumb images (the rail is still drawn on it).
    bar->SetAttribute(L"bkhotimage", L"file='missing.png'");
    bar->SetAttribute(L"thumbcolor", L"#FF00FF00");
    Send(UIEVENT_MOUSEENTER, 4, 14);
    EXPECT_TRUE(Shows(UISCROLLBAR_HOT, UISCROLLBAR_HOT, -1, UISCROLLBAR_HOT, UISCROLLBAR_NORMAL));
    EXPECT_STREQ(L"file='missing.png'", bar->GetImage(UISCROLLBAR_BK, UISCROLLBAR_HOT));
    EXPECT_STREQ(L"file='scroll_tail.png' source='8,0,16,8' corner='2,2,2,2' mask='#FFFF00FF'",
                 bar->GetImage(UISCROLLBAR_RAIL, UISCROLLBAR_HOT));
}

// ---- In a real window ----

// Collects the "scroll" notifications: (new position, old position).
class ScrollNotes : public INotifyUI {
public:
    void Notify(UiNotify& msg) override
    {
        if (msg.sType == L"scroll") entries.push_back({msg.pSender, static_cast<int>(msg.wParam), static_cast<int>(msg.lParam)});
    }
    struct Entry {
        CControlUI* sender;
        int now;
        int old;
    };
    std::vector<Entry> entries;
};

// A topmost window (windows of tests running beside it never cover it) whose
// root holds the test's controls at fixed places.
class BarWindow : public skintest::ManagedWindow {
public:
    BarWindow() : ManagedWindow(100, 100, 300, 260, WS_EX_TOPMOST)
    {
        ::SetCursorPos(0, 0);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        root = new CContainerUI;
        manager.AttachDialog(root);
        manager.AddNotifier(&notes);
    }
    ~BarWindow() override
    {
        manager.RemoveNotifier(&notes);
        Destroy();
    }
    // A bar floating at pos with the given attributes; the window is laid out and painted.
    CScrollBarUI* AddBar(const wchar_t* pos, const wchar_t* attributes)
    {
        CScrollBarUI* bar = new CScrollBarUI;
        bar->SetAttribute(L"float", L"true");
        bar->SetAttribute(L"pos", pos);
        bar->ApplyAttributeList(attributes);
        root->Add(bar);
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        ::SetForegroundWindow(hwnd);
        testutil::pumpFor(50);
        return bar;
    }
    void PointerTo(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(hwnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
        testutil::pumpFor(30);
    }
    void Send(UINT msg, int x, int y) { ::SendMessageW(hwnd, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y)); }

    CContainerUI* root = nullptr;
    ScrollNotes notes;
};

void RealButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(1u, ::SendInput(1, &input, sizeof(input)));
}

// Waits (generously: emulated runs are slow) until the bar reaches pos.
bool Reaches(CScrollBarUI* bar, int pos)
{
    return testutil::pumpUntil([&] { return bar->GetScrollPos() == pos; }, 5000);
}

TEST(ScrollBarInput, HeldArrowRepeatsAfterADelayAndEachChangeIsNotified)
{
    BarWindow w;
    // 200 pixels tall, arrows of 10, lines of 10.
    CScrollBarUI* bar = w.AddBar(L"20,20,30,220", L"showbutton1=\"true\" showbutton2=\"true\" range=\"1000\" linesize=\"10\"");
    const DWORD start = ::GetTickCount();
    w.Send(WM_LBUTTONDOWN, 25, 215);  // on the down arrow
    EXPECT_EQ(10, bar->GetScrollPos());  // one line at once
    testutil::pumpUntil([&] { return ::GetTickCount() - start >= 200; }, 1000);
    EXPECT_EQ(10, bar->GetScrollPos());  // no repeat before 300 ms
    ASSERT_TRUE(testutil::pumpUntil([&] { return bar->GetScrollPos() >= 50; }, 5000));
    EXPECT_GE(::GetTickCount() - start, 300u);
    w.Send(WM_LBUTTONUP, 25, 215);
    const int held = bar->GetScrollPos();
    testutil::pumpFor(300);
    EXPECT_EQ(held, bar->GetScrollPos());  // the timer stopped with the button
    ASSERT_FALSE(w.notes.entries.empty());
    EXPECT_EQ(bar, w.notes.entries.back().sender);
    EXPECT_EQ(held, w.notes.entries.back().now);
    EXPECT_EQ(held - 10, w.notes.entries.back().old);

    // The up arrow, and "value", both report (new, old).
    w.notes.entries.clear();
    w.Send(WM_LBUTTONDOWN, 25, 25);
    w.Send(WM_LBUTTONUP, 25, 25);
    ASSERT_TRUE(testutil::pumpUntil([&] { return !w.notes.entries.empty(); }, 3000));
    EXPECT_EQ(held - 10, w.notes.entries.back().now);
    EXPECT_EQ(held, w.notes.entries.back().old);
    bar->SetAttribute(L"value", L"500");
    ASSERT_TRUE(testutil::pumpUntil([&] { return w.notes.entries.size() == 2; }, 3000));
    EXPECT_EQ(500, w.notes.entries.back().now);
    EXPECT_EQ(held - 10, w.notes.entries.back().old);
    bar->SetScrollPos(400, false);  // asked not to tell
    bar->SetScrollPos(400);         // and no change, nothing to tell
    testutil::pumpFor(100);
    EXPECT_EQ(2u, w.notes.entries.size());
}

TEST(ScrollBarInput, TrackClickPagesAndHoldingPagesUpToThePointer)
{
    BarWindow w;
    // Track 180, thumb 30 (180 x 200 / 1200), page 200: thumb top = 30 + pos x 150 / 1000.
    CScrollBarUI* bar = w.AddBar(L"20,20,30,220", L"showbutton1=\"true\" showbutton2=\"true\" range=\"1000\"");
    w.PointerTo(25, 170);
    RealButton(true);
    EXPECT_TRUE(Reaches(bar, 200));
    // Held: the thumb pages on until it lies under the pointer (800: 150..180), then stays.
    EXPECT_TRUE(Reaches(bar, 800));
    testutil::pumpFor(400);
    EXPECT_EQ(800, bar->GetScrollPos());
    RealButton(false);
    testutil::pumpFor(50);

    // Above the thumb it pages back, down to the pointer (600: 120..150).
    w.PointerTo(25, 120);
    RealButton(true);
    EXPECT_TRUE(Reaches(bar, 600));
    RealButton(false);
    testutil::pumpFor(50);
}

TEST(ScrollBarInput, ThumbDragWithRealInputMovesAHorizontalBar)
{
    BarWindow w;
    // 200 wide, no arrows, range 300: thumb 80, track 120; 60 pixels of drag are 150 positions.
    CScrollBarUI* bar = w.AddBar(L"20,20,220,30", L"hor=\"true\" height=\"10\" range=\"300\"");
    w.PointerTo(60, 25);
    RealButton(true);
    testutil::pumpFor(50);
    w.PointerTo(120, 28);  // off the axis does not matter
    EXPECT_TRUE(Reaches(bar, 150));
    w.PointerTo(0, 25);  // past the start
    EXPECT_TRUE(Reaches(bar, 0));
    w.PointerTo(120, 25);
    EXPECT_TRUE(Reaches(bar, 150));
    RealButton(false);
    testutil::pumpFor(50);
    w.PointerTo(200, 25);  // released: moving no longer drags
    EXPECT_EQ(150, bar->GetScrollPos());
    ASSERT_TRUE(testutil::pumpUntil([&] { return !w.notes.entries.empty() && w.notes.entries.back().now == 150; }, 3000));
    EXPECT_EQ(0, w.notes.entries.back().old);
}

}  // namespace
