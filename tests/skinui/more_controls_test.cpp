// The text control with links, the slider, the animated GIF and the
// cached-background container, in real windows under real input where the
// user drives them. The GIFs are written by the demo skin's image script.
#include <gtest/gtest.h>

#include <string>

#include "common/test_util.h"
#include "list_window.h"
#include "skinui/controls/gif_anim_ui.h"
#include "skinui/controls/slider_ui.h"
#include "skinui/controls/text_ui.h"
#include "skinui/controls/trans_bk_container_ui.h"
#include "skinui/core/container_interface.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;
using skintest::ListWindow;

namespace {

bool CursorIs(const wchar_t* id) { return ::GetCursor() == ::LoadCursorW(nullptr, id); }

std::wstring GifPath(const wchar_t* name) { return testutil::exeDir() + L"\\demo_skin\\" + name; }

}  // namespace

TEST(TextControl, LinksShowTheHandAndSendTheirIndexPlainTextHasNone)
{
    ListWindow w(L"<Window><Font id=\"0\" name=\"DejaVu Sans\" size=\"14\" default=\"true\"/>"
                 L"<Container bkcolor=\"#FFFFFFFF\">"
                 L"<Text name=\"text\" float=\"true\" pos=\"20,20,380,120\" showhtml=\"true\""
                 L"      text=\"Go {a one}first{/a} or {a two}second{/a} now\"/>"
                 L"</Container></Window>");
    CTextUI* text = w.Find<CTextUI>(L"text");
    ASSERT_NE(nullptr, text);
    ASSERT_EQ(2, text->GetLinkCount());
    const RECT second = text->GetLinkRect(1);
    EXPECT_GT(second.left, text->GetLinkRect(0).right);
    EXPECT_TRUE(second.left >= 20 && second.right <= 380 && second.top >= 20 && second.bottom <= 120);
    const int x = (second.left + second.right) / 2;
    const int y = (second.top + second.bottom) / 2;

    ASSERT_TRUE(w.TakeActivation());
    ASSERT_TRUE(w.PointTo(x, y));
    EXPECT_TRUE(w.Pump([] { return CursorIs(IDC_HAND); }));
    ASSERT_TRUE(w.PointTo(second.right + 60, y + 40));
    EXPECT_TRUE(w.Pump([] { return CursorIs(IDC_ARROW); }));
    ASSERT_TRUE(w.Click(x, y));
    ASSERT_TRUE(w.WaitNotes(L"link", 1));
    EXPECT_EQ(text, w.Notes(L"link")[0].sender);
    EXPECT_EQ(1u, w.Notes(L"link")[0].wParam);

    // Ten links: only the first eight count.
    CTextUI* many = new CTextUI;
    std::wstring markup;
    for (int i = 0; i < 10; ++i)
        markup += L"{a}L" + std::to_wstring(i) + L"{/a} ";
    many->SetAttribute(L"showhtml", L"true");
    many->SetAttribute(L"text", markup.c_str());
    many->SetAttribute(L"float", L"true");
    many->SetAttribute(L"pos", L"20,150,380,200");
    ASSERT_TRUE(static_cast<IContainerUI*>(text->GetParent()->GetInterface(L"IContainer"))->Add(many));
    w.Repaint();
    EXPECT_EQ(static_cast<int>(CTextUI::kMaxLinks), many->GetLinkCount());

    // The same text shown plain: no links, a click there sends nothing.
    text->SetAttribute(L"showhtml", L"false");
    w.Repaint();
    EXPECT_EQ(0, text->GetLinkCount());
    EXPECT_EQ(0u, text->GetControlFlags());
    ASSERT_TRUE(w.Click(x, y));
    testutil::pumpFor(200);
    EXPECT_EQ(1, w.notes.Count(L"link"));
}

TEST(Slider, ClicksGiveTheValueAtThePointAndDragsNotifyAsConfigured)
{
    // 110 wide, a 10-pixel thumb, range 0..100: one value per pixel of track.
    ListWindow w(L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                 L"<Slider name=\"slider\" float=\"true\" pos=\"20,40,130,60\" min=\"0\" max=\"100\" value=\"20\""
                 L"        thumbsize=\"10,10\" thumbcolor=\"#FF3A70DB\" forecolor=\"#FFD6E4FF\"/>"
                 L"<Slider name=\"imm\" float=\"true\" pos=\"20,100,130,120\" imm=\"true\" thumbsize=\"10,10\"/>"
                 L"</Container></Window>");
    CSliderUI* slider = w.Find<CSliderUI>(L"slider");
    CSliderUI* imm = w.Find<CSliderUI>(L"imm");
    ASSERT_TRUE(slider != nullptr && imm != nullptr);
    ASSERT_TRUE(w.TakeActivation());
    const struct {
        int x;
        int value;
    } clicks[] = {{20 + 55, 50}, {20 + 3, 0}, {130 - 2, 100}, {20 + 30, 25}};
    int sent = 0;
    for (const auto& click : clicks) {
        ASSERT_TRUE(w.Click(click.x, 50));
        ASSERT_TRUE(w.WaitNotes(L"valuechanged", ++sent)) << click.x;
        EXPECT_EQ(click.value, slider->GetValue()) << click.x;
    }
    // The thumb sits at the value: 25 of 100 over a 100-pixel track.
    const RECT thumb = slider->GetThumbRect();
    EXPECT_EQ(20 + 25, thumb.left);
    EXPECT_EQ(45, thumb.top);

    // A drag without immediate mode: one notification, at the release.
    ASSERT_TRUE(w.PointTo(40, 50));
    w.Button(true);
    testutil::pumpFor(100);
    for (int x = 50; x <= 90; x += 10)
        ASSERT_TRUE(w.PointTo(x, 50));
    EXPECT_EQ(sent, w.notes.Count(L"valuechanged"));
    w.Button(false);
    ASSERT_TRUE(w.WaitNotes(L"valuechanged", ++sent));
    testutil::pumpFor(200);
    EXPECT_EQ(sent, w.notes.Count(L"valuechanged"));
    EXPECT_NEAR(65, slider->GetValue(), 1);

    // Immediate mode: one more for each move while dragging.
    ASSERT_TRUE(w.PointTo(40, 110));
    w.Button(true);
    testutil::pumpFor(100);
    for (int x = 50; x <= 90; x += 10)
        ASSERT_TRUE(w.PointTo(x, 110));
    EXPECT_GE(w.notes.Count(L"valuechanged"), sent + 5);
    w.Button(false);
    EXPECT_TRUE(w.Pump([] { return ::GetAsyncKeyState(VK_LBUTTON) >= 0; }));
    EXPECT_NEAR(65, imm->GetValue(), 1);
}

TEST(Slider, EmptyRangesAndThumbWideSlidersDoNotDivideByZero)
{
    CSliderUI slider;
    slider.SetPos(RECT{0, 0, 10, 10}, false);  // as wide as its thumb
    slider.SetMinValue(5);
    slider.SetMaxValue(5);
    slider.SetValue(5);
    EXPECT_EQ(0, slider.GetThumbRect().left);
    EXPECT_EQ(5, slider.ValueAt(POINT{4, 5}));
    slider.SetMaxValue(50);  // no track: every point is at one end
    EXPECT_EQ(5, slider.ValueAt(POINT{4, 5}));
    EXPECT_EQ(50, slider.ValueAt(POINT{5, 5}));
    slider.SetAttribute(L"hor", L"false");
    slider.SetPos(RECT{0, 0, 10, 10}, false);
    EXPECT_EQ(0, slider.GetThumbRect().top);
    EXPECT_EQ(5, slider.ValueAt(POINT{5, 6}));
}

TEST(GifAnim, FramesFollowTheirDelaysStopGoesBackToTheFirst)
{
    const std::wstring source = GifPath(L"anim3.gif");
    ASSERT_TRUE(testutil::fileExists(source));
    ListWindow w((L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                  L"<GifAnim name=\"gif\" float=\"true\" pos=\"20,20,52,52\" bkimage=\"" +
                  source + L"\"/></Container></Window>")
                     .c_str());
    CGifAnimUI* gif = w.Find<CGifAnimUI>(L"gif");
    ASSERT_NE(nullptr, gif);
    ASSERT_TRUE(w.Pump([&] { return gif->IsLoaded(); }));
    EXPECT_EQ(3u, gif->GetFrameCount());
    EXPECT_EQ(300u, gif->GetFrameDelayMs(1));
    EXPECT_TRUE(gif->IsPlaying());

    // Stopped: the first frame, red, and it stays there.
    const DWORD colours[] = {0xFF0000, 0x00FF00, 0x0000FF};
    gif->StopGif();
    EXPECT_FALSE(gif->IsPlaying());
    EXPECT_EQ(0u, gif->GetCurrentFrame());
    {
        Canvas canvas(80, 80, 0xFF000000);
        gif->DoPaint(canvas.dc(), canvas.all(), nullptr);
        EXPECT_EQ(colours[0], canvas.Rgb(36, 36));
        EXPECT_EQ(0u, canvas.Rgb(10, 10));  // nothing outside the control
    }
    testutil::pumpFor(700);
    EXPECT_EQ(0u, gif->GetCurrentFrame());

    // Played: green no sooner than 300 ms later, blue 300 ms after that.
    const DWORD start = ::GetTickCount();
    gif->PlayGif();
    for (UINT frame = 1; frame <= 2; ++frame) {
        ASSERT_TRUE(w.Pump([&] { return gif->GetCurrentFrame() == frame; }, 10000)) << frame;
        EXPECT_GE(::GetTickCount() - start, frame * 300u - 20u) << frame;
        Canvas canvas(80, 80, 0xFF000000);
        gif->DoPaint(canvas.dc(), canvas.all(), nullptr);
        EXPECT_EQ(colours[frame], canvas.Rgb(36, 36)) << frame;
    }

    // Hidden and shown again: it starts over from the first frame.
    gif->SetVisible(false);
    gif->SetVisible(true);
    EXPECT_TRUE(gif->IsPlaying());
    EXPECT_TRUE(w.Pump([&] { return gif->GetCurrentFrame() == 1; }, 10000));
}

TEST(GifAnim, ImagesWithoutDelaysOrUnreadablePlayWithoutCrashing)
{
    const std::wstring source = GifPath(L"anim3_nodelay.gif");
    ListWindow w((L"<Window><Container bkcolor=\"#FFFFFFFF\">"
                  L"<GifAnim name=\"gif\" float=\"true\" pos=\"20,20,52,52\" autosize=\"true\" bkimage=\"" +
                  source +
                  L"\"/><GifAnim name=\"missing\" float=\"true\" pos=\"60,20,92,52\" bkimage=\"no_such.gif\"/>"
                  L"</Container></Window>")
                     .c_str());
    CGifAnimUI* gif = w.Find<CGifAnimUI>(L"gif");
    CGifAnimUI* missing = w.Find<CGifAnimUI>(L"missing");
    ASSERT_TRUE(gif != nullptr && missing != nullptr);
    ASSERT_TRUE(w.Pump([&] { return gif->IsLoaded(); }));
    EXPECT_EQ(16, gif->GetFixedWidth());
    EXPECT_EQ(100u, gif->GetFrameDelayMs(0));
    EXPECT_EQ(100u, gif->GetFrameDelayMs(7));  // past the frames
    gif->PlayGif();
    EXPECT_TRUE(w.Pump([&] { return gif->GetCurrentFrame() == 2; }, 10000));
    EXPECT_FALSE(missing->IsLoaded());
    missing->PlayGif();
    EXPECT_FALSE(missing->IsPlaying());
    w.Repaint();
}

TEST(GifAnim, ARelativeNameMissingFromTheSkinIsReadFromTheWorkingFolder)
{
    wchar_t previous[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryW(testutil::exeDir().c_str()));
    ListWindow w(L"<Window><Container><GifAnim name=\"gif\" float=\"true\" pos=\"0,0,32,32\""
                 L" bkimage=\"demo_skin\\anim3.gif\"/></Container></Window>");
    CGifAnimUI* gif = w.Find<CGifAnimUI>(L"gif");
    ASSERT_NE(nullptr, gif);
    EXPECT_TRUE(w.Pump([&] { return gif->IsLoaded(); }));
    EXPECT_EQ(3u, gif->GetFrameCount());
    ::SetCurrentDirectoryW(previous);
}

TEST(TransBkContainer, PaintsItsCachedBackgroundFromTheOffsetAndNothingOutside)
{
    // The cache: a 40 x 40 picture whose pixel (x, y) is RGB(x, y, 0x80).
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 40, 40);
    ::ReleaseDC(nullptr, screen);
    ::SelectObject(memory, bitmap);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ::SetPixel(memory, x, y, RGB(x, y, 0x80));

    CTransBkContainerUI container;
    Canvas canvas(100, 100, 0xFF000000);
    container.SetPos(RECT{10, 10, 50, 50}, false);
    container.Paint(canvas.dc(), canvas.all(), nullptr);
    EXPECT_EQ(0, canvas.CountNot(0));  // no cache: no background of its own

    container.SetCachedBackground(memory, bitmap);
    container.Paint(canvas.dc(), RECT{30, 25, 100, 100}, nullptr);
    EXPECT_EQ(0x140F80u, canvas.Rgb(30, 25));  // (20, 15) of the cache
    EXPECT_EQ(0x272780u, canvas.Rgb(49, 49));
    EXPECT_EQ(0u, canvas.Rgb(29, 30));  // left of the paint rectangle
    EXPECT_EQ(0u, canvas.Rgb(50, 30));  // right of the control
    const RECT painted = canvas.Bounds(0);
    EXPECT_EQ(30, painted.left);
    EXPECT_EQ(25, painted.top);
    EXPECT_EQ(50, painted.right);
    EXPECT_EQ(50, painted.bottom);

    // The same context with a new bitmap: only the old bitmap goes.
    screen = ::GetDC(nullptr);
    HBITMAP second = ::CreateCompatibleBitmap(screen, 40, 40);
    ::ReleaseDC(nullptr, screen);
    ::SelectObject(memory, second);
    ::PatBlt(memory, 0, 0, 40, 40, WHITENESS);
    container.SetCachedBackground(memory, second);
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(memory));
    EXPECT_EQ(0u, ::GetObjectType(bitmap));
    container.Paint(canvas.dc(), canvas.all(), nullptr);
    EXPECT_EQ(0xFFFFFFu, canvas.Rgb(30, 25));
    // The control owns and frees both (the context first, then the bitmap).
}
