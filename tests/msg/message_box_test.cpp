// The message boxes with the installer's own skin (its skin archive is linked
// in as resource 129): one box per text, the parent disabled while boxes are
// open over it, buttons between the bar's spacers, a real click that runs
// only its button's callback once the box is gone, callbacks that destroy the
// parent, icon types, and boxes that cannot be made.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "msg/message_box.h"
#include "msg/message_box_window.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/test_helpers.h"

using namespace SkinUI;

namespace {

BOOL CALLBACK CountBox(HWND hWnd, LPARAM data)
{
    wchar_t name[32] = L"";
    ::GetClassNameW(hWnd, name, 32);
    if (wcscmp(name, L"MessageBoxWindow") == 0)
        ++*reinterpret_cast<int*>(data);
    return TRUE;
}

int CountBoxes()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CountBox, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Runs the queue the way the programs do (pre-translation first).
bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (!CUiManager::TranslateMessage(&m)) {
                ::TranslateMessage(&m);
                ::DispatchMessageW(&m);
            }
        }
        if (done())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

HWND WindowOf(msg::IMessageBox* box) { return static_cast<msg::MessageBoxWindow*>(box)->GetHWND(); }

// The buttons' bar of an open box.
IContainerUI* BarOf(msg::IMessageBox* box)
{
    CControlUI* bar = static_cast<msg::MessageBoxWindow*>(box)->GetManager().FindControl(L"bottombar");
    return bar != nullptr ? static_cast<IContainerUI*>(bar->GetInterface(L"IContainer")) : nullptr;
}

// A click delivered as window messages to a control of the box.
void SendClick(HWND hWnd, CControlUI* control)
{
    const RECT& rc = control->GetPos();
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, at);
}

class MessageBoxTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CUiManager::SetInstance(::GetModuleHandleW(nullptr));
        RegisterControlElements();
        CUiManager::SetLanguage(L"en_US", L"en_US");
        CUiManager::LoadZipResource(129, L"multi_language.tsv");
    }
    void SetUp() override
    {
        ::SetCursorPos(0, 0);
        parent.reset(new skintest::ManagedWindow(100, 100, 640, 400));
        ::ShowWindow(parent->hwnd, SW_SHOWNOACTIVATE);
    }
    void TearDown() override
    {
        parent.reset();
        RunUntil([] { return CountBoxes() == 0; }, 10000);
    }
    // A box over the parent, laid out and painted.
    msg::IMessageBox* Show(const wchar_t* text, std::vector<msg::SelectionInfo> buttons = {})
    {
        msg::IMessageBox* box = msg::showMessageBox(parent->hwnd, msg::iconPathForType(2), L"Notice", text, buttons);
        if (box != nullptr)
            ::UpdateWindow(WindowOf(box));
        return box;
    }
    std::unique_ptr<skintest::ManagedWindow> parent;
};

TEST_F(MessageBoxTest, OneBoxPerTextAndTheParentWaitsForTheLastBox)
{
    msg::IMessageBox* first = Show(L"Disk full");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(nullptr, Show(L"Disk full"));  // the same text again: nothing
    EXPECT_EQ(1, CountBoxes());
    EXPECT_FALSE(::IsWindowEnabled(parent->hwnd));

    msg::IMessageBox* second = Show(L"No network");
    ASSERT_NE(nullptr, second);
    HWND firstWindow = WindowOf(first);
    ::PostMessageW(firstWindow, WM_CLOSE, 0, 0);
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(firstWindow); }, 10000));
    EXPECT_FALSE(::IsWindowEnabled(parent->hwnd));  // the second box still holds it

    // Escape closes the second box; then the parent is back and the first text shows again.
    HWND secondWindow = WindowOf(second);
    ::PostMessageW(secondWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(secondWindow); }, 10000));
    EXPECT_TRUE(::IsWindowEnabled(parent->hwnd));
    EXPECT_NE(nullptr, Show(L"Disk full"));
}

TEST_F(MessageBoxTest, ARealClickRunsOnlyItsButtonsCallbackOnceTheBoxIsGone)
{
    int confirmed = 0;
    int cancelled = 0;
    bool parentEnabled = false;
    bool boxGone = false;
    HWND boxWindow = nullptr;
    msg::SelectionInfo cancel{L"Cancel", [&] { ++cancelled; }, false};
    msg::IMessageBox* box = Show(L"Install now?", {msg::makeConfirmSelection([&] {
                                                       ++confirmed;
                                                       parentEnabled = ::IsWindowEnabled(parent->hwnd) != FALSE;
                                                       boxGone = !::IsWindow(boxWindow);
                                                   }),
                                                   cancel});
    ASSERT_NE(nullptr, box);
    boxWindow = WindowOf(box);

    // Both buttons between the two spacers, in order, with the installer's captions.
    IContainerUI* bar = BarOf(box);
    ASSERT_NE(nullptr, bar);
    ASSERT_EQ(4, bar->GetCount());
    CControlUI* confirm = bar->GetItemAt(1);
    EXPECT_NE(nullptr, confirm->GetInterface(L"Selection"));
    EXPECT_STREQ(L"Confirm", confirm->GetText().GetData());
    EXPECT_STREQ(L"Cancel", bar->GetItemAt(2)->GetText().GetData());
    EXPECT_EQ(nullptr, bar->GetItemAt(3)->GetInterface(L"Selection"));

    uidriver::bringToFront(boxWindow);
    RunUntil([] { return false; }, 200);
    EXPECT_FALSE(uidriver::screenshot(boxWindow, L"skinui_msgbox_zulinst").empty());

    const RECT& rc = confirm->GetPos();
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(boxWindow, &pt);
    uidriver::clickAt(pt);
    ASSERT_TRUE(RunUntil([&] { return confirmed == 1; }, 10000));
    RunUntil([] { return false; }, 200);
    EXPECT_EQ(1, confirmed);
    EXPECT_EQ(0, cancelled);
    EXPECT_TRUE(parentEnabled);
    EXPECT_TRUE(boxGone);
    EXPECT_EQ(0, CountBoxes());
}

TEST_F(MessageBoxTest, CallbacksThatDestroyTheParentAreSafe)
{
    // A button's callback.
    msg::IMessageBox* box = Show(L"Quit?", {msg::makeConfirmSelection([&] { parent->Destroy(); })});
    ASSERT_NE(nullptr, box);
    HWND boxWindow = WindowOf(box);
    SendClick(boxWindow, BarOf(box)->GetItemAt(1));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(parent->hwnd); }, 10000));
    EXPECT_FALSE(::IsWindow(boxWindow));

    // The close button's callback, which alone runs.
    SetUp();
    int confirmed = 0;
    box = Show(L"Quit?", {msg::makeConfirmSelection([&] { ++confirmed; })});
    ASSERT_NE(nullptr, box);
    box->setCloseCallback([&] { parent->Destroy(); });
    boxWindow = WindowOf(box);
    SendClick(boxWindow, static_cast<msg::MessageBoxWindow*>(box)->GetManager().FindControl(L"closebtn"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(parent->hwnd); }, 10000));
    EXPECT_FALSE(::IsWindow(boxWindow));
    EXPECT_EQ(0, confirmed);

    // A parent destroyed under an open box takes the box with it.
    SetUp();
    box = Show(L"Quit?");
    ASSERT_NE(nullptr, box);
    boxWindow = WindowOf(box);
    parent->Destroy();
    EXPECT_FALSE(::IsWindow(boxWindow));
    SetUp();
    EXPECT_NE(nullptr, Show(L"Quit?"));  // its text went with it
}

TEST_F(MessageBoxTest, IconTypesEmptyBarsAndWindowsThatCannotBeMade)
{
    EXPECT_STREQ(L"common/msg_noice48.png", msg::iconPathForType(0).GetData());
    EXPECT_STREQ(L"common/msg_noice48.png", msg::iconPathForType(2).GetData());
    EXPECT_STREQ(L"common/msg_ok.png", msg::iconPathForType(3).GetData());
    // A type outside the table has no icon, so its box takes the skin without one.
    EXPECT_STREQ(L"", msg::iconPathForType(5).GetData());
    EXPECT_STREQ(L"", msg::iconPathForType(-1).GetData());

    // A bar without spacers takes the button first; a skin without a bar refuses it.
    msg::IMessageBox* box = msg::createMessageBox(
        parent->hwnd, L"<Window size=\"300,120\"><VerticalLayout><HorizontalLayout name=\"bottombar\"/>"
                      L"</VerticalLayout></Window>");
    ASSERT_NE(nullptr, box);
    box->addSelection(msg::makeConfirmSelection(nullptr));
    ASSERT_EQ(1, BarOf(box)->GetCount());
    EXPECT_NE(nullptr, BarOf(box)->GetItemAt(0)->GetInterface(L"Selection"));
    box->setIcon(L"");  // no icon control in this skin: logged, nothing else
    ::DestroyWindow(WindowOf(box));
    box = msg::createMessageBox(parent->hwnd, L"<Window><Container/></Window>");
    ASSERT_NE(nullptr, box);
    box->addRemoteSelection(msg::makeConfirmSelection(nullptr));
    ::DestroyWindow(WindowOf(box));
    EXPECT_TRUE(::IsWindowEnabled(parent->hwnd));

    // A parent that is gone: no box, the text is forgotten, no parent stays disabled.
    skintest::ManagedWindow gone(0, 0, 10, 10);
    HWND dead = gone.hwnd;
    gone.Destroy();
    EXPECT_EQ(nullptr, msg::showMessageBox(dead, msg::iconPathForType(0), L"Notice", L"Gone", {}));
    EXPECT_NE(nullptr, Show(L"Gone"));
    EXPECT_FALSE(::IsWindowEnabled(parent->hwnd));
}

}  // namespace
