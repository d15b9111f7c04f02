// CRichEditUI over the system's windowless text services in a real window,
// typed into with real keyboard input (SendInput): notifications, Return and
// Ctrl+Return, Tab, the text read back, and scrolling with the drawn bar.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/test_util.h"
#include "scroll_window.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/controls/scroll_bar_ui.h"

using namespace SkinUI;

namespace {

// The scroll test window, pumped through the framework's pre-translation
// (Tab handling) as the programs' message loop does, counting notifications.
class EditWindow : public skintest::ScrollWindow {
public:
    EditWindow() { manager.AddNotifier(&notes); }
    ~EditWindow() override { manager.RemoveNotifier(&notes); }

    CRichEditUI* AddEdit(const wchar_t* attributes, const wchar_t* pos = L"10,10,290,110")
    {
        CRichEditUI* edit = new CRichEditUI;
        edit->SetName(L"edit");
        edit->ApplyAttributeList(attributes);
        Place(edit, pos);
        return edit;
    }
    // Clicks into the control with the real pointer: the window and the control take the focus.
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
    // Real key strokes: characters as Unicode packets, keys by virtual key.
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) {
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
    void Key(WORD vk, bool ctrl = false)
    {
        INPUT input[4] = {};
        int n = 0;
        auto add = [&](WORD key, bool up) {
            input[n].type = INPUT_KEYBOARD;
            input[n].ki.wVk = key;
            input[n].ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            ++n;
        };
        if (ctrl) add(VK_CONTROL, false);
        add(vk, false);
        add(vk, true);
        if (ctrl) add(VK_CONTROL, true);
        EXPECT_EQ(static_cast<UINT>(n), ::SendInput(n, input, sizeof(INPUT)));
        Pump(100);
    }

    skintest::NotifyLog notes;
};

}  // namespace

static std::string Esc(const CUiString& s)
{
    std::string out;
    for (int i = 0; i < s.GetLength(); ++i) {
        wchar_t c = s[i];
        if (c >= 32 && c < 127) out += (char)c;
        else { char b[16]; snprintf(b, 16, "\\u%04x", (unsigned)c); out += b; }
    }
    return out;
}

TEST(RichEdit, Explore)
{
    EditWindow w;
    CRichEditUI* edit = w.AddEdit(L"vscrollbar=\"true\" autovscroll=\"true\" bkcolor=\"#FFFFFFFF\"");
    w.ClickInto(edit);
    printf("focused %d\n", edit->IsFocused());
    w.Type(L"abc");
    printf("text [%s] textchanged %d\n", Esc(edit->GetText()).c_str(), w.notes.Count(L"textchanged"));
    w.Key(VK_RETURN);
    printf("after return [%s] return %d\n", Esc(edit->GetText()).c_str(), w.notes.Count(L"return"));
    w.Key(VK_RETURN, true);
    printf("after ctrl return [%s] return %d\n", Esc(edit->GetText()).c_str(), w.notes.Count(L"return"));
    w.Key(VK_TAB);
    printf("after tab [%s] focused %d\n", Esc(edit->GetText()).c_str(), edit->IsFocused());
    w.Type(L"\u00e9\u0416\u4e2d");
    printf("after unicode [%s]\n", Esc(edit->GetText()).c_str());
    for (int i = 0; i < 15; ++i) w.Key(VK_RETURN);
    CScrollBarUI* bar = edit->GetVerticalScrollBar();
    printf("bar %p visible %d range %d pos %d\n", (void*)bar, bar ? bar->IsVisible() : -1, bar ? bar->GetScrollRange() : -1,
           bar ? bar->GetScrollPos() : -1);
    w.Pump(300);
    for (int i = 0; i < 15; ++i) w.Key(VK_BACK);
    w.Pump(300);
    printf("after back: bar visible %d range %d pos %d textchanged %d\n", bar->IsVisible(), bar->GetScrollRange(), bar->GetScrollPos(), w.notes.Count(L"textchanged"));
    CRichEditUI* e2 = w.AddEdit(L"wantreturn=\"false\" bkcolor=\"#FFFFFFFF\"", L"10,150,290,200");
    w.ClickInto(e2);
    w.Type(L"xy");
    w.Key(VK_RETURN);
    printf("e2 [%s] return %d\n", Esc(e2->GetText()).c_str(), w.notes.Count(L"return"));
    RECT rc = edit->GetPos();
    printf("edit %ld,%ld,%ld,%ld\n", rc.left, rc.top, rc.right, rc.bottom);
}
