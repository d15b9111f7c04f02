// The UI driver (tests/common/ui_driver.h) against the skinned demo program
// run as its own process: the window found by class and process, the named
// controls' rectangles as the window answers them, real clicks and keys that
// reach the controls and switch the demo's pages, and a screenshot that shows
// the window.
#include <gtest/gtest.h>

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <memory>

#include "common/test_util.h"
#include "common/ui_driver.h"

namespace {

const wchar_t kDemoClass[] = L"SkinUIDemoWindow";

bool RectIs(const RECT& rc, const RECT& expected)
{
    return rc.left == expected.left && rc.top == expected.top && rc.right == expected.right &&
           rc.bottom == expected.bottom;
}

// A client rectangle of the window in screen coordinates.
RECT ScreenRect(HWND window, int left, int top, int right, int bottom)
{
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    return {origin.x + left, origin.y + top, origin.x + right, origin.y + bottom};
}

class UiDriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        demo.reset(new uidriver::Program(testutil::exeDir() + L"skinui_demo.exe", L"autoclose=120000"));
        ASSERT_TRUE(demo->started());
        window = uidriver::waitForWindow(kDemoClass, demo->pid(), 30000);
        ASSERT_NE(window, nullptr);
        // In the screen's bottom-right corner, as far as it goes from the top-left where
        // other tests open their windows, and whole on the screen for the screenshot.
        RECT rc;
        ASSERT_TRUE(::GetWindowRect(window, &rc));
        const int x = (std::max)(0, static_cast<int>(::GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)));
        const int y = (std::max)(0, static_cast<int>(::GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)));
        ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The window paints and answers once its skin is built.
        ASSERT_TRUE(uidriver::waitForControl(
                        window, L"actionbtn", [](const uidriver::ControlInfo& c) { return c.found; }, 10000)
                        .found);
    }
    std::unique_ptr<uidriver::Program> demo;
    HWND window = nullptr;
};

TEST_F(UiDriverTest, FindsTheWindowAndAnswersNamedControlsInScreenCoordinates)
{
    EXPECT_EQ(window, uidriver::findWindow(kDemoClass, demo->pid()));
    EXPECT_EQ(nullptr, uidriver::findWindow(kDemoClass, ::GetCurrentProcessId()));  // not a window of this process

    // The first button of the third card.
    uidriver::ControlInfo button = uidriver::queryControl(window, L"actionbtn");
    EXPECT_TRUE(button.found && button.visible && button.enabled);
    EXPECT_TRUE(RectIs(button.screen, ScreenRect(window, 676, 156, 804, 190)));
    EXPECT_EQ(L"Normal", button.text);
    // A named container, and a control inside the container that an Include put into it.
    uidriver::ControlInfo sections = uidriver::queryControl(window, L"sections");
    EXPECT_TRUE(sections.found && sections.visible);
    EXPECT_TRUE(RectIs(sections.screen, ScreenRect(window, 0, 96, 980, 940)));
    uidriver::ControlInfo card = uidriver::queryControl(window, L"buttonsection");
    EXPECT_TRUE(RectIs(card.screen, ScreenRect(window, 658, 110, 962, 370)));
    // A control of a page not shown is found, hidden.
    uidriver::ControlInfo hidden = uidriver::queryControl(window, L"listsection");
    EXPECT_TRUE(hidden.found);
    EXPECT_FALSE(hidden.visible);

    EXPECT_FALSE(uidriver::queryControl(window, L"nosuchcontrol").found);
    EXPECT_FALSE(uidriver::queryControl(window, L"actionbtn", 1).found);             // there is one only
    EXPECT_FALSE(uidriver::queryControl(::GetDesktopWindow(), L"actionbtn").found);  // not a skinned window
}

TEST_F(UiDriverTest, RealClicksReachTheControlAndTheScreenshotShowsTheWindow)
{
    ASSERT_TRUE(uidriver::clickControl(window, L"actionbtn"));
    EXPECT_EQ(L"1", uidriver::waitForControl(
                        window, L"actionbtn", [](const uidriver::ControlInfo& c) { return c.text == L"1"; }, 5000)
                        .text);
    ASSERT_TRUE(uidriver::clickControl(window, L"actionbtn"));
    EXPECT_EQ(L"2", uidriver::waitForControl(
                        window, L"actionbtn", [](const uidriver::ControlInfo& c) { return c.text == L"2"; }, 5000)
                        .text);

    // Raised again, with a hand's last move onto the action button: its hot
    // paint comes a moment later, so the screen is read until it shows.
    uidriver::bringToFront(window);
    const RECT button = uidriver::queryControl(window, L"actionbtn").screen;
    const POINT rest = {(button.left + button.right) / 2, (button.top + button.bottom) / 2};
    ASSERT_TRUE(uidriver::movePointer(POINT{rest.x + 2, rest.y + 2}));
    ASSERT_TRUE(uidriver::movePointer(rest));
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    std::wstring path;
    UINT width = 0, height = 0;
    DWORD hot = 0, caption = 0;
    testutil::pumpUntil(
        [&] {
            path = uidriver::screenshot(window, L"ui_driver_demo");
            if (path.empty())
                return false;
            Gdiplus::Bitmap shot(path.c_str());
            width = shot.GetWidth();
            height = shot.GetHeight();
            Gdiplus::Color colour;
            shot.GetPixel(686, 173, &colour);  // inside the action button
            hot = colour.GetValue() & 0xFFFFFFu;
            shot.GetPixel(600, 10, &colour);  // the caption band
            caption = colour.GetValue() & 0xFFFFFFu;
            return hot == 0x6B9FFFu;
        },
        5000);
    Gdiplus::GdiplusShutdown(token);
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(980u, width);
    EXPECT_EQ(940u, height);
    EXPECT_EQ(0x6B9FFFu, hot) << "the action button's hot blue";
    EXPECT_EQ(0x1F2A44u, caption);

    // The close button closes the window, and the program ends normally.
    ASSERT_TRUE(uidriver::clickControl(window, L"closebtn"));
    DWORD code = 1;
    EXPECT_TRUE(demo->waitForExit(15000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(UiDriverTest, PageOptionsShowTheirPages)
{
    auto shown = [](const uidriver::ControlInfo& c) { return c.visible; };
    auto hidden = [](const uidriver::ControlInfo& c) { return c.found && !c.visible; };
    ASSERT_TRUE(uidriver::clickControl(window, L"page_lists"));
    EXPECT_TRUE(uidriver::waitForControl(window, L"listsection", shown, 5000).visible);
    EXPECT_TRUE(hidden(uidriver::waitForControl(window, L"actionbtn", hidden, 5000)));
    EXPECT_FALSE(uidriver::clickControl(window, L"actionbtn"));  // not on the page shown
    ASSERT_TRUE(uidriver::clickControl(window, L"page_basics"));
    EXPECT_TRUE(uidriver::waitForControl(window, L"actionbtn", shown, 5000).visible);
    EXPECT_TRUE(hidden(uidriver::queryControl(window, L"listsection")));
}

// The demo program shows the page its command line names first.
TEST(UiDriverDemoPages, TheCommandLineNamesThePageShownFirst)
{
    uidriver::Program demo(testutil::exeDir() + L"skinui_demo.exe", L"autoclose=60000 page=lists");
    ASSERT_TRUE(demo.started());
    HWND window = uidriver::waitForWindow(kDemoClass, demo.pid(), 30000);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(uidriver::waitForControl(
                    window, L"listsection", [](const uidriver::ControlInfo& c) { return c.visible; }, 10000)
                    .visible);
    EXPECT_FALSE(uidriver::queryControl(window, L"actionbtn").visible);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(demo.waitForExit(15000, &code));
    EXPECT_EQ(0u, code);
}

TEST_F(UiDriverTest, KeysGoToTheForegroundWindow)
{
    uidriver::bringToFront(window);
    ASSERT_TRUE(testutil::pumpUntil([&] { return ::GetForegroundWindow() == window; }, 5000));
    uidriver::pressKey(VK_ESCAPE);  // skinned windows close on Escape
    DWORD code = 1;
    EXPECT_TRUE(demo->waitForExit(15000, &code));
    EXPECT_EQ(0u, code);

    // Typed text arrives as characters in the focused edit field.
    HWND edit = ::CreateWindowExW(WS_EX_TOPMOST, L"EDIT", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 300, 300, 200, 30,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    uidriver::bringToFront(edit);
    ::SetFocus(edit);
    testutil::pumpFor(100);
    uidriver::typeText(L"D:\\Games ZUL");
    wchar_t text[64] = L"";
    testutil::pumpUntil([&] { return ::GetWindowTextW(edit, text, 64) == 12; }, 5000);
    EXPECT_STREQ(L"D:\\Games ZUL", text);
    ::DestroyWindow(edit);
}

}  // namespace
