// The edit box under real input (SendInput) in a skinned window: the native
// window its focus opens, typed characters, the maximum length, Return and
// Escape, and the native window closing when the control is hidden or deleted.
#include <gtest/gtest.h>

#include "common/ui_driver.h"
#include "skinned_window.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/edit_ui.h"

using namespace SkinUI;
using skintest::RunQueueFor;
using skintest::RunQueueUntil;
using skintest::SkinnedWindow;

namespace {

const wchar_t kEdits[] =
    L"<Window size=\"400,200\">"
    L"<Font id=\"0\" name=\"DejaVu Sans\" size=\"14\" default=\"true\"/>"
    L"<Container name=\"root\" bkcolor=\"#FFFFFFFF\">"
    L"  <Edit name=\"edit\" float=\"true\" pos=\"20,20,220,48\" textpadding=\"10,0,0,0\" maxchar=\"5\""
    L"        bordersize=\"1\" bordercolor=\"#FF808080\"/>"
    L"  <Button name=\"other\" float=\"true\" pos=\"20,100,120,130\" text=\"other\"/>"
    L"</Container></Window>";

class EditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(nullptr, w.GetHWND());
        edit = w.Find<CEditUI>(L"edit");
        ASSERT_NE(nullptr, edit);
    }
    // A real click on the edit box: true once its native window has the focus.
    bool OpenByClick()
    {
        w.Click(edit);
        return RunQueueUntil(
            [&] { return edit->GetNativeWindow() != nullptr && ::GetFocus() == edit->GetNativeWindow(); }, 5000);
    }
    SkinnedWindow w{kEdits};
    CEditUI* edit = nullptr;
};

TEST_F(EditTest, FocusOpensTheNativeWindowOverTheTextArea)
{
    EXPECT_EQ(nullptr, edit->GetNativeWindow());
    ASSERT_TRUE(OpenByClick());
    HWND native = edit->GetNativeWindow();
    wchar_t className[32] = L"";
    ::GetClassNameW(native, className, 32);
    EXPECT_STREQ(L"EditWnd", className);
    EXPECT_EQ(w.GetHWND(), ::GetParent(native));
    EXPECT_EQ(edit, w.GetManager().GetFocus());

    // Inside the padding, centred on the font's height, one pixel short of the right edge.
    const int fontHeight = w.GetManager().GetFontInfo(edit->GetFont())->tm.tmHeight;
    ASSERT_LT(fontHeight, 28);
    const int top = 20 + (28 - fontHeight) / 2;
    EXPECT_TRUE(skintest::RectIs(w.ChildRect(native), 30, top, 219, top + fontHeight));

    // A translucent native background: the window's painting under the field, tinted half red.
    edit->SetNativeEditBkColor(0x80FF0000);
    ::InvalidateRect(native, nullptr, TRUE);
    ::UpdateWindow(native);
    RECT rcNative = w.ChildRect(native);
    POINT pt = {rcNative.right - 5, (rcNative.top + rcNative.bottom) / 2};
    ::ClientToScreen(w.GetHWND(), &pt);
    // The painting reaches the screen a little later under a slow (emulated) system.
    COLORREF shown = 0;
    RunQueueUntil(
        [&] {
            HDC screen = ::GetDC(nullptr);
            shown = ::GetPixel(screen, pt.x, pt.y);
            ::ReleaseDC(nullptr, screen);
            return GetGValue(shown) < 0xC0;
        },
        5000);
    EXPECT_EQ(0xFF, GetRValue(shown));
    EXPECT_NEAR(0x80, GetGValue(shown), 2);
    EXPECT_NEAR(0x80, GetBValue(shown), 2);

    // A click elsewhere closes it; the control keeps nothing of it.
    w.Click(w.Find<CControlUI>(L"other"));
    EXPECT_TRUE(RunQueueUntil([&] { return edit->GetNativeWindow() == nullptr; }, 5000));
    EXPECT_FALSE(::IsWindow(native));
}

TEST_F(EditTest, TypedCharactersReportOneChangeEachAndTheMaximumHolds)
{
    ASSERT_TRUE(OpenByClick());
    uidriver::typeText(L"abc");
    ASSERT_TRUE(RunQueueUntil([&] { return w.notes.Count(L"textchanged") == 3; }, 5000))
        << w.notes.Count(L"textchanged");
    EXPECT_STREQ(L"abc", edit->GetText().GetData());

    uidriver::typeText(L"defg");  // "maxchar" 5: the last two are refused
    RunQueueUntil([&] { return w.notes.Count(L"textchanged") >= 5; }, 5000);
    RunQueueFor(200);
    EXPECT_EQ(5, w.notes.Count(L"textchanged"));
    EXPECT_STREQ(L"abcde", edit->GetText().GetData());

    // Return: one "return", the editing goes on.
    skintest::RealKey(VK_RETURN);
    EXPECT_TRUE(RunQueueUntil([&] { return w.notes.Count(L"return") == 1; }, 5000));
    RunQueueFor(100);
    EXPECT_EQ(1, w.notes.Count(L"return"));
    EXPECT_NE(nullptr, edit->GetNativeWindow());

    // Escape stays with the edit box: the window is not asked to close.
    skintest::RealKey(VK_ESCAPE);
    RunQueueFor(300);
    EXPECT_EQ(0, w.closes);
    EXPECT_NE(nullptr, edit->GetNativeWindow());
    EXPECT_STREQ(L"abcde", edit->GetText().GetData());
}

TEST_F(EditTest, HidingOrDeletingTheControlClosesTheNativeWindow)
{
    ASSERT_TRUE(OpenByClick());
    HWND native = edit->GetNativeWindow();
    edit->SetVisible(false);
    EXPECT_EQ(nullptr, edit->GetNativeWindow());
    EXPECT_FALSE(::IsWindow(native));

    edit->SetVisible(true);
    RunQueueFor(::GetDoubleClickTime() + 100);  // the next click on the same spot is no double click
    ASSERT_TRUE(OpenByClick());
    native = edit->GetNativeWindow();
    // Deleted while editing: the native window goes with it and never reaches the freed control.
    CContainerUI* root = w.Find<CContainerUI>(L"root");
    ASSERT_TRUE(root->Remove(edit));
    EXPECT_TRUE(RunQueueUntil([&] { return !::IsWindow(native); }, 5000));
    uidriver::typeText(L"x");
    RunQueueFor(100);
    EXPECT_EQ(0, w.notes.Count(L"textchanged"));
}

}  // namespace
