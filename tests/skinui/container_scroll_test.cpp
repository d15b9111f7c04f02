// The base container's scrolling with its scroll bars: bars made by its
// attributes in a skin, range and position after each layout, the wheel, keys
// and a thumb drag with real input in a real window, and the demo window's
// scrolling panel.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "demo/demo_window.h"
#include "scroll_window.h"
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
        L"<Container vscrollbar=\"true\" hscrollbarstyle=\"height=&quot;6&quot; thumbcolor=&quot;#FF00FF00&quot;\">"
        L"<ScrollBar name=\"free\" hor=\"true\" value=\"20\"/></Container></Window>",
        nullptr, nullptr, &manager, nullptr);
    ASSERT_NE(nullptr, root);
    manager.AttachDialog(root);
    CContainerUI* box = static_cast<CContainerUI*>(root->GetInterface(L"Container"));
    CScrollBarUI* v = box->GetVerticalScrollBar();
    CScrollBarUI* h = box->GetHorizontalScrollBar();
    ASSERT_TRUE(v != nullptr && h != nullptr);
    EXPECT_TRUE(v->GetOwner() == box && h->GetOwner() == box);
    EXPECT_FALSE(v->IsHorizontal());
    EXPECT_EQ(12, v->GetFixedWidth());  // the window's default list for "VScrollBar"
    EXPECT_EQ(20, v->GetLineSize());
    EXPECT_EQ(0, v->GetScrollRange());
    EXPECT_TRUE(h->IsHorizontal());
    EXPECT_EQ(6, h->GetFixedHeight());
    EXPECT_EQ(0xFF00FF00u, h->GetThumbColor());
    // A "ScrollBar" element is a bar of its own, without owner.
    ASSERT_NE(nullptr, manager.FindControl(L"free"));
    CScrollBarUI* free = static_cast<CScrollBarUI*>(manager.FindControl(L"free")->GetInterface(L"ScrollBar"));
    ASSERT_NE(nullptr, free);
    EXPECT_EQ(nullptr, free->GetOwner());
    EXPECT_EQ(20, free->GetScrollPos());

    box->SetAttribute(L"vscrollbar", L"no");  // removes only the vertical bar
    EXPECT_EQ(nullptr, box->GetVerticalScrollBar());
    EXPECT_EQ(h, box->GetHorizontalScrollBar());
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
    EXPECT_EQ(200, box.GetScrollRange().cy);
    EXPECT_TRUE(RectIs(bar->GetPos(), 96, 0, 100, 100));
    EXPECT_TRUE(RectIs(box.GetClientPos(), 0, 0, 96, 100));
    box.SetScrollPos(SIZE{0, 50});
    box.SetScrollPos(SIZE{0, 50});  // the same position twice moves nothing
    box.LineDown();                 // the bar's line size
    box.PageDown();                 // the client height
    EXPECT_EQ(158, box.GetScrollPos().cy);
    EXPECT_EQ(-158, child->GetPos().top);
    box.EndDown();
    EXPECT_EQ(-200, child->GetPos().top);

    // Shrinking content takes the position down with the range.
    box.content.cy = 150;
    box.SetPos(rc, false);
    EXPECT_EQ(50, box.GetScrollRange().cy);
    EXPECT_EQ(-50, child->GetPos().top);
    // Content that fits hides the bar at position 0; more content shows it again.
    box.content.cy = 80;
    box.SetPos(rc, false);
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_EQ(0, bar->GetScrollPos());
    EXPECT_TRUE(RectIs(child->GetPos(), 0, 0, 100, 100));
    box.content.cy = 400;
    box.SetPos(rc, false);
    EXPECT_EQ(300, box.GetScrollRange().cy);
    EXPECT_TRUE(RectIs(child->GetPos(), 0, 0, 96, 400));

    // With both bars each takes room from the other; narrow content drops the horizontal one.
    box.SetAttribute(L"hscrollbar", L"true");
    box.content = SIZE{300, 300};
    box.SetPos(rc, false);
    EXPECT_EQ(204, box.GetScrollRange().cx);
    EXPECT_EQ(204, box.GetScrollRange().cy);
    EXPECT_TRUE(RectIs(box.GetHorizontalScrollBar()->GetPos(), 0, 96, 96, 100));
    box.SetScrollPos(SIZE{30, 40});
    EXPECT_EQ(-30, child->GetPos().left);
    box.content.cx = 50;
    box.SetPos(rc, false);
    EXPECT_EQ(0, box.GetScrollRange().cx);
    EXPECT_EQ(200, box.GetScrollRange().cy);
    EXPECT_TRUE(RectIs(bar->GetPos(), 96, 0, 100, 100));
    EXPECT_EQ(0, child->GetPos().left);
    EXPECT_EQ(-40, child->GetPos().top);
}

TEST(ContainerScroll, WheelKeysAndThumbDragScrollTheContainer)
{
    skintest::ScrollWindow w;
    // 210 by 210 with bars of 10: a client area of 200 by 200 over content of 600 by 600.
    ContentBox* box = new ContentBox;
    box->content = SIZE{600, 600};
    box->SetAttribute(L"keyboard", L"true");
    box->SetAttribute(L"vscrollbarstyle", L"width=\"10\" linesize=\"20\"");
    box->SetAttribute(L"hscrollbarstyle", L"height=\"10\"");
    CControlUI* child = new CControlUI;
    box->Add(child);
    w.Place(box, L"20,20,230,230");
    ASSERT_EQ(400, box->GetScrollRange().cx);
    ASSERT_EQ(400, box->GetScrollRange().cy);

    w.Wheel(100, 100, true);  // over the content: one vertical line
    EXPECT_EQ(20, box->GetScrollPos().cy);
    EXPECT_EQ(0, child->GetPos().top);
    w.Wheel(100, 100, false);
    EXPECT_EQ(0, box->GetScrollPos().cy);
    w.Wheel(100, 225, true);  // over the horizontal bar: horizontal, though a vertical bar exists
    EXPECT_EQ(8, box->GetScrollPos().cx);
    EXPECT_EQ(0, box->GetScrollPos().cy);

    w.manager.SetFocus(box);
    ::SendMessageW(w.hwnd, WM_KEYDOWN, VK_NEXT, 0);  // a page is the client height
    EXPECT_EQ(200, box->GetScrollPos().cy);
    ::SendMessageW(w.hwnd, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(0, box->GetScrollPos().cy);

    // The thumb (200 x 200 / 600 = 66, track 134) dragged by 67 pixels: half the range.
    w.PointerTo(225, 50);
    w.RealButton(true);
    w.PointerTo(225, 117);
    EXPECT_TRUE(testutil::pumpUntil([&] { return box->GetScrollPos().cy == 200; }, 5000));
    w.RealButton(false);
    EXPECT_EQ(20 - 200, child->GetPos().top);
    EXPECT_EQ(8, box->GetScrollPos().cx);  // the other axis stays
    EXPECT_EQ(box, w.manager.GetFocus());  // a click on a bar focuses its container
    testutil::pumpFor(100);
    EXPECT_TRUE(w.notes.empty());  // the container scrolls without "scroll" notifications
}

TEST(ContainerScroll, DemoPanelScrollsItsContent)
{
    CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    RegisterControlElements();
    CUiManager::SetLanguage(L"en_US", L"en_US");
    CUiManager::LoadZipResource(129, L"multi_language.tsv");
    skindemo::DemoWindow wnd(false);
    HWND hWnd = wnd.Create(nullptr, L"SkinUI demo", WS_POPUP, 0);
    ASSERT_NE(nullptr, hWnd);
    ::ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    ::UpdateWindow(hWnd);
    testutil::pumpFor(50);
    CControlUI* found = wnd.GetManager().FindControl(L"scrollpanel");
    ASSERT_NE(nullptr, found);
    ASSERT_NE(nullptr, found->GetInterface(L"VerticalLayout"));  // the layout tells its bar the content height
    CContainerUI* panel = static_cast<CContainerUI*>(found->GetInterface(L"Container"));
    EXPECT_TRUE(panel->GetVerticalScrollBar()->IsVisible());
    EXPECT_EQ(168, panel->GetScrollRange().cy);  // 12 rows of 24 with gaps of 4 (332 pixels) in 164
    POINT pt = {panel->GetPos().left + 20, panel->GetPos().top + 20};
    ::ClientToScreen(hWnd, &pt);
    ::SendMessageW(hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(24, panel->GetScrollPos().cy);
    ::DestroyWindow(hWnd);
}

}  // namespace
