// The base container's scrolling with its scroll bars: bars made by its
// attributes in a skin, range and position after each layout, the wheel, keys
// and a thumb drag with real input in a real window, and the demo window's
// scrolling panel.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "demo/demo_window.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/core/skin_builder.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::RectIs;

namespace {

// A container that tells its bars how much room its content needs after each
// placement, as the layouts do.
class ContentBox : public CContainerUI {
public:
    void SetPos(RECT rc, bool needInvalidate = true) override
    {
        CContainerUI::SetPos(rc, needInvalidate);
        ProcessScrollBar(GetClientPos(), content.cx, content.cy);
    }
    SIZE content = {0, 0};
};

TEST(ContainerScroll, BarsComeFromTheContainersAttributes)
{
    RegisterControlElements();
    CUiManager manager;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(
        L"<Window><Default name=\"VScrollBar\" value=\"width=&quot;12&quot; linesize=&quot;20&quot;\"/>"
        L"<Container name=\"box\" vscrollbar=\"true\" "
        L"hscrollbarstyle=\"height=&quot;6&quot; thumbcolor=&quot;#FF00FF00&quot;\">"
        L"<ScrollBar name=\"free\" hor=\"true\" range=\"50\" value=\"20\"/></Container></Window>",
        nullptr, nullptr, &manager, nullptr);
    ASSERT_NE(nullptr, root);
    manager.AttachDialog(root);
    CContainerUI* box = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    CScrollBarUI* v = box->GetVerticalScrollBar();
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(box, v->GetOwner());
    EXPECT_EQ(&manager, v->GetManager());
    EXPECT_FALSE(v->IsHorizontal());
    EXPECT_EQ(12, v->GetFixedWidth());  // the window's default list for "VScrollBar"
    EXPECT_EQ(20, v->GetLineSize());
    EXPECT_EQ(0, v->GetScrollRange());
    CScrollBarUI* h = box->GetHorizontalScrollBar();
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(box, h->GetOwner());
    EXPECT_TRUE(h->IsHorizontal());
    EXPECT_EQ(6, h->GetFixedHeight());
    EXPECT_EQ(0, h->GetFixedWidth());
    EXPECT_EQ(0xFF00FF00u, h->GetThumbColor());
    EXPECT_EQ(8, h->GetLineSize());

    // A "ScrollBar" element is a bar of its own, without owner.
    CControlUI* free = manager.FindControl(L"free");
    ASSERT_NE(nullptr, free);
    CScrollBarUI* bar = static_cast<CScrollBarUI*>(free->GetInterface(L"ScrollBar"));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(nullptr, bar->GetOwner());
    EXPECT_TRUE(bar->IsHorizontal());
    EXPECT_EQ(20, bar->GetScrollPos());

    box->SetAttribute(L"vscrollbar", L"no");  // removes only the vertical bar
    EXPECT_EQ(nullptr, box->GetVerticalScrollBar());
    EXPECT_EQ(h, box->GetHorizontalScrollBar());
    box->SetAttribute(L"hscrollbar", L"false");
    EXPECT_EQ(nullptr, box->GetHorizontalScrollBar());
}

TEST(ContainerScroll, RangeAndPositionFollowTheContentAfterLayout)
{
    ContentBox box;
    box.SetAttribute(L"vscrollbar", L"true");
    CControlUI* child = new CControlUI;
    box.Add(child);
    const RECT rc = {0, 0, 100, 100};
    box.content = SIZE{0, 300};
    box.SetPos(rc, false);
    CScrollBarUI* bar = box.GetVerticalScrollBar();
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(200, box.GetScrollRange().cy);
    EXPECT_TRUE(RectIs(bar->GetPos(), 96, 0, 100, 100));
    EXPECT_TRUE(RectIs(box.GetClientPos(), 0, 0, 96, 100));

    box.SetScrollPos(SIZE{0, 50});
    EXPECT_EQ(-50, child->GetPos().top);
    box.SetScrollPos(SIZE{0, 50});  // the same position twice moves nothing
    EXPECT_EQ(-50, child->GetPos().top);
    box.LineDown();  // the bar's line size
    box.PageDown();  // the client height
    EXPECT_EQ(158, box.GetScrollPos().cy);
    EXPECT_EQ(-158, child->GetPos().top);
    box.EndDown();
    EXPECT_EQ(200, box.GetScrollPos().cy);
    EXPECT_EQ(-200, child->GetPos().top);

    // Shrinking content takes the position down with the range.
    box.content.cy = 150;
    box.SetPos(rc, false);
    EXPECT_EQ(50, box.GetScrollRange().cy);
    EXPECT_EQ(50, box.GetScrollPos().cy);
    EXPECT_EQ(-50, child->GetPos().top);
    // Content that fits hides the bar at position 0.
    box.content.cy = 80;
    box.SetPos(rc, false);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_TRUE(RectIs(child->GetPos(), 0, 0, 100, 100));
    box.content.cy = 400;
    box.SetPos(rc, false);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(300, box.GetScrollRange().cy);
    EXPECT_TRUE(RectIs(child->GetPos(), 0, 0, 96, 400));
}

TEST(ContainerScroll, BothBarsTakeRoomFromEachOther)
{
    ContentBox box;
    box.SetAttribute(L"vscrollbar", L"true");
    box.SetAttribute(L"hscrollbar", L"true");
    CControlUI* child = new CControlUI;
    box.Add(child);
    const RECT rc = {0, 0, 100, 100};
    box.content = SIZE{300, 300};
    box.SetPos(rc, false);
    SIZE range = box.GetScrollRange();
    EXPECT_EQ(204, range.cx);
    EXPECT_EQ(204, range.cy);
    EXPECT_TRUE(RectIs(box.GetVerticalScrollBar()->GetPos(), 96, 0, 100, 96));
    EXPECT_TRUE(RectIs(box.GetHorizontalScrollBar()->GetPos(), 0, 96, 96, 100));
    EXPECT_TRUE(RectIs(box.GetClientPos(), 0, 0, 96, 96));
    box.SetScrollPos(SIZE{30, 40});
    EXPECT_EQ(-30, child->GetPos().left);
    EXPECT_EQ(-40, child->GetPos().top);

    // Narrow content: the horizontal bar goes and the vertical one grows into its room.
    box.content.cx = 50;
    box.SetPos(rc, false);
    EXPECT_FALSE(box.GetHorizontalScrollBar()->IsVisible());
    EXPECT_EQ(0, box.GetScrollRange().cx);
    EXPECT_EQ(200, box.GetScrollRange().cy);
    EXPECT_EQ(40, box.GetScrollPos().cy);
    EXPECT_TRUE(RectIs(box.GetVerticalScrollBar()->GetPos(), 96, 0, 100, 100));
    EXPECT_EQ(0, child->GetPos().left);
    EXPECT_EQ(-40, child->GetPos().top);
}

// ---- In a real window ----

// A topmost window with one content box of 210 by 210 at (20, 20): bars 10
// pixels thick, content 600 by 600, so both ranges are 400 and the client
// area is 200 by 200.
class ScrollWindow : public skintest::ManagedWindow {
public:
    ScrollWindow() : ManagedWindow(100, 100, 300, 260, WS_EX_TOPMOST)
    {
        ::SetCursorPos(0, 0);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        CContainerUI* root = new CContainerUI;
        box = new ContentBox;
        box->content = SIZE{600, 600};
        box->SetAttribute(L"float", L"true");
        box->SetAttribute(L"pos", L"20,20,230,230");
        box->SetAttribute(L"keyboard", L"true");
        box->SetAttribute(L"vscrollbarstyle", L"width=\"10\" linesize=\"20\"");
        box->SetAttribute(L"hscrollbarstyle", L"height=\"10\"");
        child = new CControlUI;
        box->Add(child);
        root->Add(box);
        manager.AttachDialog(root);
        manager.AddNotifier(&notes);
        ::UpdateWindow(hwnd);
        ::SetForegroundWindow(hwnd);
        testutil::pumpFor(50);
    }
    ~ScrollWindow() override
    {
        manager.RemoveNotifier(&notes);
        Destroy();
    }
    void Wheel(int x, int y, bool down)
    {
        POINT pt = {x, y};
        ::ClientToScreen(hwnd, &pt);
        ::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(down ? -WHEEL_DELTA : WHEEL_DELTA)),
                       MAKELPARAM(pt.x, pt.y));
    }
    void PointerTo(int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(hwnd, &pt);
        ::SetCursorPos(pt.x, pt.y);
        testutil::pumpFor(30);
    }

    ContentBox* box = nullptr;
    CControlUI* child = nullptr;
    skintest::NotifyLog notes;
};

void RealButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(1u, ::SendInput(1, &input, sizeof(input)));
}

TEST(ContainerScroll, WheelKeysAndThumbDragScrollTheContainer)
{
    ScrollWindow w;
    ASSERT_EQ(400, w.box->GetScrollRange().cx);
    ASSERT_EQ(400, w.box->GetScrollRange().cy);
    EXPECT_TRUE(RectIs(w.box->GetVerticalScrollBar()->GetPos(), 220, 20, 230, 220));

    w.Wheel(100, 100, true);  // over the content: one vertical line
    EXPECT_EQ(20, w.box->GetScrollPos().cy);
    EXPECT_EQ(0, w.child->GetPos().top);
    w.Wheel(100, 100, false);
    EXPECT_EQ(0, w.box->GetScrollPos().cy);
    w.Wheel(100, 225, true);  // over the horizontal bar: horizontal, though a vertical bar exists
    EXPECT_EQ(8, w.box->GetScrollPos().cx);
    EXPECT_EQ(0, w.box->GetScrollPos().cy);

    w.manager.SetFocus(w.box);
    ::SendMessageW(w.hwnd, WM_KEYDOWN, VK_NEXT, 0);  // a page is the client height
    EXPECT_EQ(200, w.box->GetScrollPos().cy);
    ::SendMessageW(w.hwnd, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(400, w.box->GetScrollPos().cy);
    ::SendMessageW(w.hwnd, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, w.box->GetScrollPos().cy);

    // The thumb (200 x 200 / 600 = 66, track 134) dragged by 67 pixels: half the range.
    w.PointerTo(225, 50);
    RealButton(true);
    testutil::pumpFor(50);
    w.PointerTo(225, 117);
    EXPECT_TRUE(testutil::pumpUntil([&] { return w.box->GetScrollPos().cy == 200; }, 5000));
    RealButton(false);
    testutil::pumpFor(50);
    EXPECT_EQ(20 - 200, w.child->GetPos().top);
    EXPECT_EQ(8, w.box->GetScrollPos().cx);  // the other axis stays
    EXPECT_EQ(w.box, w.manager.GetFocus());  // a click on a bar focuses its container
    // The container scrolls without "scroll" notifications.
    testutil::pumpFor(100);
    EXPECT_EQ(0, w.notes.Count(L"scroll"));
}

TEST(ContainerScroll, DemoPanelScrollsItsContent)
{
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    RegisterControlElements();
    CUiManager::SetLanguage(L"en_US", L"en_US");
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
    skindemo::DemoWindow wnd(false);
    // Shown after creation: a window created visible takes Wine two seconds to destroy.
    HWND hWnd = wnd.Create(nullptr, L"SkinUI demo", WS_POPUP, 0);
    ASSERT_NE(nullptr, hWnd);
    ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hWnd);
    testutil::pumpFor(50);
    CControlUI* panel = wnd.GetManager().FindControl(L"scrollpanel");
    ASSERT_NE(nullptr, panel);
    CContainerUI* box = static_cast<CContainerUI*>(panel->GetInterface(L"Container"));
    ASSERT_NE(nullptr, box->GetVerticalScrollBar());
    EXPECT_TRUE(box->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(300, box->GetScrollRange().cy);  // 480 pixels of content in 180
    POINT pt = {box->GetPos().left + 20, box->GetPos().top + 20};
    ::ClientToScreen(hWnd, &pt);
    ::SendMessageW(hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(24, box->GetScrollPos().cy);
    ::DestroyWindow(hWnd);
}

}  // namespace
