// The scroll bar on its own: thumb geometry for known ranges (painted into
// memory DIBs), position rules, the default images of every part and state,
// and, in a real window, the held arrow and track paging toward the real
// pointer, with the "scroll" notifications they raise. Thumb drags with real
// input are tested with a container (container_scroll_test.cpp).
#include <gtest/gtest.h>

#include <vector>

#include "common/test_util.h"
#include "scroll_window.h"
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
                rc = RECT{(std::min<LONG>)(rc.left, x), (std::min<LONG>)(rc.top, y), (std::max<LONG>)(rc.right, x + 1),
                          (std::max<LONG>)(rc.bottom, y + 1)};
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
        return 0xFF000090u | static_cast<DWORD>(0x20 + 0x30 * part) << 16 |
               static_cast<DWORD>(0x30 + 0x40 * image) << 8;
    }
    void SetUp() override
    {
        const wchar_t* files[UISCROLLBAR_PART_COUNT] = {L"scroll_button1.png", L"scroll_button2.png",
                                                        L"scroll_thumb.png", L"scroll_tail.png", L"scroll_back.png"};
        for (int p = 0; p < UISCROLLBAR_PART_COUNT; ++p) {
            std::vector<DWORD> pixels(32 * 8);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 32; ++x)
                    pixels[y * 32 + x] = Colour(p, x / 8);
            if (p == UISCROLLBAR_THUMB)
                pixels[0] = 0xFFFF00FF;
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
    // Paints and checks the image each part shows, in the order button 1,
    // button 2, thumb, rail, background: '0' normal, '1' hot, '2' pushed,
    // '3' disabled, 'c' the thumb colour.
    ::testing::AssertionResult Shows(const char* images)
    {
        skintest::Canvas canvas(8, 100);
        bar->Paint(canvas.dc(), canvas.all(), nullptr);
        const POINT at[UISCROLLBAR_PART_COUNT] = {{4, 4}, {4, 96}, {4, 14}, {4, 29}, {4, 70}};
        for (int p = 0; p < UISCROLLBAR_PART_COUNT; ++p) {
            DWORD want = (images[p] == 'c' ? 0xFF00FF00 : Colour(p, images[p] - '0')) & 0x00FFFFFF;
            if (canvas.Rgb(at[p].x, at[p].y) != want) {
                return ::testing::AssertionFailure() << "part " << p << " shows " << std::hex
                                                     << canvas.Rgb(at[p].x, at[p].y) << " instead of " << want;
            }
        }
        // The masked corner of the normal thumb lets the background through.
        if (images[2] == '0' && canvas.Rgb(0, 8) != (Colour(UISCROLLBAR_BK, images[4] - '0') & 0x00FFFFFF)) {
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
    EXPECT_TRUE(Shows("00000"));
    Send(UIEVENT_MOUSEENTER, 4, 14);  // onto the thumb: both buttons and the thumb are hot
    EXPECT_TRUE(Shows("11111"));
    Send(UIEVENT_BUTTONDOWN, 4, 14);  // the background and the rail follow the thumb
    EXPECT_TRUE(Shows("11222"));
    Send(UIEVENT_BUTTONUP, 4, 14);
    Send(UIEVENT_BUTTONDOWN, 4, 4);
    EXPECT_TRUE(Shows("21111"));
    Send(UIEVENT_BUTTONUP, 4, 4);
    Send(UIEVENT_MOUSELEAVE, 40, 40);
    EXPECT_TRUE(Shows("00000"));
    bar->SetEnabled(false);
    Send(UIEVENT_MOUSEENTER, 4, 14);  // a disabled bar does not light up
    EXPECT_TRUE(Shows("33333"));
    bar->SetEnabled(true);

    // A missing state image falls back to the normal one; a thumb colour
    // replaces the thumb images (the rail is still drawn on it).
    bar->SetAttribute(L"bkhotimage", L"file='missing.png'");
    bar->SetAttribute(L"thumbcolor", L"#FF00FF00");
    Send(UIEVENT_MOUSEENTER, 4, 14);
    EXPECT_TRUE(Shows("11c10"));
    EXPECT_STREQ(L"file='scroll_tail.png' source='8,0,16,8' corner='2,2,2,2' mask='#FFFF00FF'",
                 bar->GetImage(UISCROLLBAR_RAIL, UISCROLLBAR_HOT));
}

// ---- In a real window ----

// Waits (generously: emulated runs are slow) until the bar reaches pos.
bool Reaches(CScrollBarUI* bar, int pos)
{
    return testutil::pumpUntil([&] { return bar->GetScrollPos() == pos; }, 5000);
}

CScrollBarUI* NewBar(const wchar_t* attributes)
{
    CScrollBarUI* bar = new CScrollBarUI;
    bar->ApplyAttributeList(attributes);
    return bar;
}

TEST(ScrollBarInput, HeldArrowRepeatsAfterADelayAndEachChangeIsNotified)
{
    skintest::ScrollWindow w;
    // 200 pixels tall, arrows of 10, lines of 10.
    CScrollBarUI* bar = w.Place(NewBar(L"showbutton1=\"true\" showbutton2=\"true\" range=\"1000\" linesize=\"10\""),
                                L"20,20,30,220");
    const DWORD start = ::GetTickCount();
    w.Send(WM_LBUTTONDOWN, 25, 215);     // on the down arrow
    EXPECT_EQ(10, bar->GetScrollPos());  // one line at once
    testutil::pumpUntil([&] { return ::GetTickCount() - start >= 200; }, 1000);
    EXPECT_EQ(10, bar->GetScrollPos());  // no repeat before 300 ms
    ASSERT_TRUE(testutil::pumpUntil([&] { return bar->GetScrollPos() >= 50; }, 5000));
    EXPECT_GE(::GetTickCount() - start, 300u);
    w.Send(WM_LBUTTONUP, 25, 215);
    const int held = bar->GetScrollPos();
    testutil::pumpFor(300);
    EXPECT_EQ(held, bar->GetScrollPos());  // the timer stopped with the button
    ASSERT_FALSE(w.notes.empty());
    EXPECT_EQ(bar, w.notes.back().sender);
    EXPECT_EQ(held, w.notes.back().now);
    EXPECT_EQ(held - 10, w.notes.back().old);

    // The up arrow, and "value", report (new, old) too; a call asked not to tell, or
    // that changes nothing, does not.
    w.notes.clear();
    w.Send(WM_LBUTTONDOWN, 25, 25);
    w.Send(WM_LBUTTONUP, 25, 25);
    ASSERT_TRUE(testutil::pumpUntil([&] { return !w.notes.empty(); }, 3000));  // queued ones would merge
    bar->SetAttribute(L"value", L"500");
    bar->SetScrollPos(400, false);
    bar->SetScrollPos(400);
    testutil::pumpFor(100);
    ASSERT_EQ(2u, w.notes.size());
    EXPECT_EQ(held - 10, w.notes[0].now);
    EXPECT_EQ(held, w.notes[0].old);
    EXPECT_EQ(500, w.notes[1].now);
    EXPECT_EQ(held - 10, w.notes[1].old);
}

TEST(ScrollBarInput, TrackClickPagesAndHoldingPagesUpToThePointer)
{
    skintest::ScrollWindow w;
    // Track 180, thumb 30 (180 x 200 / 1200), page 200: thumb top = 30 + pos x 150 / 1000.
    CScrollBarUI* bar = w.Place(NewBar(L"showbutton1=\"true\" showbutton2=\"true\" range=\"1000\""), L"20,20,30,220");
    w.PointerTo(25, 170);
    w.RealButton(true);
    EXPECT_TRUE(Reaches(bar, 200));
    // Held: the thumb pages on until it lies under the pointer (800: 150..180), then stays.
    EXPECT_TRUE(Reaches(bar, 800));
    testutil::pumpFor(400);
    EXPECT_EQ(800, bar->GetScrollPos());
    w.RealButton(false);
    // Above the thumb it pages back, down to the pointer (600: 120..150).
    w.PointerTo(25, 120);
    w.RealButton(true);
    EXPECT_TRUE(Reaches(bar, 600));
    w.RealButton(false);
}

}  // namespace
