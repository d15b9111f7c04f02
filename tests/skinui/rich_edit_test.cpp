// CRichEditUI over the system's windowless text services in a real window,
// typed into with real keyboard input (SendInput) and pumped through the
// framework's pre-translation as the programs' message loop does: change
// notifications, Return and Ctrl+Return, Tab, the text read back, painting,
// and long text scrolling with the drawn bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/test_util.h"
#include "scroll_window.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/controls/scroll_bar_ui.h"

using namespace SkinUI;

namespace {

class EditWindow : public skintest::ScrollWindow {
public:
    EditWindow() { manager.AddNotifier(&notes); }
    ~EditWindow() override { manager.RemoveNotifier(&notes); }

    CRichEditUI* AddEdit(const wchar_t* attributes, const wchar_t* pos = L"10,10,290,110",
                         const wchar_t* barStyle = nullptr)
    {
        CRichEditUI* edit = new CRichEditUI;
        edit->ApplyAttributeList(attributes);
        if (barStyle != nullptr)
            edit->SetAttribute(L"vscrollbarstyle", barStyle);
        return Place(edit, pos);
    }
    // A real click into the control: the window and the control take the focus.
    void ClickInto(CControlUI* control)
    {
        const RECT& rc = control->GetPos();
        PointerTo(rc.left + 20, rc.top + 10);
        RealButton(true);
        RealButton(false);
        Pump(100);
    }
    void Pump(DWORD ms)
    {
        DWORD start = ::GetTickCount();
        do {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!CUiManager::TranslateMessage(&msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        } while (::GetTickCount() - start < ms);
    }
    // Windows of tests running beside this one may take the activation:
    // each key stroke waits until this window has the keyboard again.
    void TakeKeyboard()
    {
        for (int i = 0; i < 100 && (::GetForegroundWindow() != hwnd || ::GetFocus() != hwnd); ++i) {
            ::SetForegroundWindow(hwnd);
            ::SetFocus(hwnd);
            Pump(10);
        }
    }
    // Characters as real Unicode key strokes.
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) {
            TakeKeyboard();
            INPUT input[2] = {};
            for (int i = 0; i < 2; ++i) {
                input[i].type = INPUT_KEYBOARD;
                input[i].ki.wScan = ch;
                input[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
            }
            EXPECT_EQ(2u, ::SendInput(2, input, sizeof(INPUT)));
            Pump(20);
        }
        Pump(50);
    }
    // One real key stroke, optionally with Ctrl held.
    void Key(WORD vk, bool ctrl = false)
    {
        INPUT input[4] = {};
        UINT n = 0;
        auto add = [&](WORD key, DWORD flags) {
            input[n].type = INPUT_KEYBOARD;
            input[n].ki.wVk = key;
            input[n].ki.dwFlags = flags;
            ++n;
        };
        if (ctrl)
            add(VK_CONTROL, 0);
        add(vk, 0);
        add(vk, KEYEVENTF_KEYUP);
        if (ctrl)
            add(VK_CONTROL, KEYEVENTF_KEYUP);
        TakeKeyboard();
        EXPECT_EQ(n, ::SendInput(n, input, sizeof(INPUT)));
        Pump(80);
    }
    // Pixels of the window's client area that differ from rgb inside rc.
    int InkIn(const RECT& rc, DWORD rgb)
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        skintest::Canvas canvas(rc.right - rc.left, rc.bottom - rc.top);
        HDC hDC = ::GetDC(hwnd);
        ::BitBlt(canvas.dc(), 0, 0, canvas.width(), canvas.height(), hDC, rc.left, rc.top, SRCCOPY);
        ::ReleaseDC(hwnd, hDC);
        return canvas.CountNot(rgb);
    }

    skintest::NotifyLog notes;
};

const wchar_t kWhite[] = L"bkcolor=\"#FFFFFFFF\" ";

std::wstring Text(CRichEditUI* edit) { return edit->GetText().GetData(); }

}  // namespace

TEST(RichEdit, TypedTextReadsBackWithOneChangePerKeyAndPaints)
{
    EditWindow w;
    CRichEditUI* edit = w.AddEdit(kWhite);
    RECT rc = edit->GetPos();
    EXPECT_EQ(0, w.InkIn(rc, 0xFFFFFF)) << "an empty control shows its background";
    w.ClickInto(edit);
    ASSERT_TRUE(edit->IsFocused());

    w.Type(L"abc");
    EXPECT_EQ(3, w.notes.Count(L"textchanged"));
    EXPECT_EQ(L"abc", Text(edit));
    w.Type(L"\u00e9\u0416\u4e2d");
    EXPECT_EQ(L"abc\u00e9\u0416\u4e2d", Text(edit));
    w.Key(VK_BACK);
    EXPECT_EQ(7, w.notes.Count(L"textchanged"));
    EXPECT_EQ(L"abc\u00e9\u0416", Text(edit));
    EXPECT_GT(w.InkIn(rc, 0xFFFFFF), 20) << "the text services draw the text";

    // Text set by the program replaces everything.
    edit->SetText(L"replaced");
    EXPECT_EQ(L"replaced", Text(edit));
}

TEST(RichEdit, ReturnInsertsALineBreakOnlyWhenTheControlWantsIt)
{
    EditWindow w;
    CRichEditUI* plain = w.AddEdit(kWhite, L"10,10,290,60");
    w.ClickInto(plain);
    w.Type(L"a");
    w.Key(VK_RETURN);
    w.Key(VK_RETURN, true);
    EXPECT_EQ(L"a\r\r", Text(plain)) << "Return and Ctrl+Return both break the line";
    EXPECT_EQ(0, w.notes.Count(L"return"));

    CRichEditUI* noReturn = w.AddEdit(L"wantreturn=\"false\"", L"10,70,290,120");
    w.ClickInto(noReturn);
    w.Type(L"b");
    w.Key(VK_RETURN);
    EXPECT_EQ(1, w.notes.Count(L"return"));
    EXPECT_EQ(L"b", Text(noReturn)) << "nothing is inserted";

    CRichEditUI* noCtrlReturn = w.AddEdit(L"wantctrlreturn=\"false\"", L"10,130,290,180");
    w.ClickInto(noCtrlReturn);
    w.Type(L"c");
    w.Key(VK_RETURN, true);
    EXPECT_EQ(2, w.notes.Count(L"return"));
    w.Key(VK_RETURN);
    EXPECT_EQ(L"c\r", Text(noCtrlReturn));
    EXPECT_EQ(2, w.notes.Count(L"return"));
}

TEST(RichEdit, TabStaysInAControlThatWantsIt)
{
    EditWindow w;
    CRichEditUI* wants = w.AddEdit(L"keyboard=\"true\"", L"10,10,290,60");
    CRichEditUI* refuses = w.AddEdit(L"keyboard=\"true\" wanttab=\"false\"", L"10,70,290,120");
    // The window hands its first tab stop the focus at a paint after the first layout.
    ::InvalidateRect(w.hwnd, nullptr, FALSE);
    ::UpdateWindow(w.hwnd);
    w.ClickInto(wants);
    ASSERT_EQ(wants, w.manager.GetFocus());
    w.Key(VK_TAB);
    EXPECT_EQ(wants, w.manager.GetFocus());
    EXPECT_EQ(L"\t", Text(wants));

    w.ClickInto(refuses);
    ASSERT_EQ(refuses, w.manager.GetFocus());
    w.Key(VK_TAB);
    EXPECT_EQ(wants, w.manager.GetFocus()) << "the window's Tab order takes over";
    EXPECT_EQ(L"", Text(refuses));
}

TEST(RichEdit, LongTextScrollsWithTheDrawnBar)
{
    EditWindow w;
    CRichEditUI* edit = w.AddEdit(L"vscrollbar=\"true\" autovscroll=\"true\" bkcolor=\"#FFFFFFFF\"", L"10,10,290,110",
                                  L"width=\"8\" thumbcolor=\"#FF3060A0\"");
    CScrollBarUI* bar = edit->GetVerticalScrollBar();
    ASSERT_NE(nullptr, bar);
    w.ClickInto(edit);
    w.Type(L"x");
    w.Pump(100);
    EXPECT_FALSE(bar->IsVisible()) << "one line fits";

    for (int i = 0; i < 12; ++i) {
        w.Key(VK_RETURN);
    }
    w.Type(L"end");
    w.Pump(100);
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_GT(bar->GetScrollRange(), 0);
    EXPECT_EQ(bar->GetScrollRange(), bar->GetScrollPos()) << "the caret at the end is in view";
    const RECT& rcBar = bar->GetPos();
    EXPECT_EQ(edit->GetPos().right, rcBar.right);
    EXPECT_EQ(8, rcBar.right - rcBar.left);
    EXPECT_LE(edit->GetTextRect().right, rcBar.left) << "the text keeps clear of the bar";

    // The wheel and the bar's own scrolling move the text and the bar together.
    int bottom = bar->GetScrollPos();
    POINT pt = w.Screen(100, 50);
    ::SendMessageW(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(pt.x, pt.y));
    w.Pump(50);
    EXPECT_LT(bar->GetScrollPos(), bottom);
    edit->HomeUp();
    EXPECT_EQ(0, bar->GetScrollPos());
    edit->SetScrollPos(SIZE{0, bottom / 2});
    EXPECT_EQ(bottom / 2, bar->GetScrollPos());

    // Emptied, the text fits again and the bar goes.
    edit->SetText(L"");
    w.Pump(100);
    ::UpdateWindow(w.hwnd);
    w.Pump(100);
    EXPECT_FALSE(bar->IsVisible());
}
