// The base container: owning children, placement of fixed, clamped and
// floating children, hit-testing order, delayed deletion, attributes and
// clipped painting. Its scrolling is tested with the scroll bar.
#include <gtest/gtest.h>

#include "skinui/controls/container_ui.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::CountedControl;
using skintest::RectIs;

namespace {

CControlUI* CALLBACK FindFirst(CControlUI* control, LPVOID) { return control; }

CControlUI* HitTest(CContainerUI& root, int x, int y, UINT extraFlags = 0)
{
    POINT pt = {x, y};
    return root.FindControl(FindFirst, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | extraFlags);
}

CControlUI* Floating(const wchar_t* pos, const wchar_t* percent = L"true")
{
    CControlUI* control = new CControlUI;
    control->SetAttribute(L"float", percent);
    control->SetAttribute(L"pos", pos);
    return control;
}

TEST(ContainerTest, OwnsItsChildrenAndReordersThem)
{
    int before = CountedControl::live;
    CountedControl* refused = new CountedControl;
    {
        CContainerUI container;
        CControlUI* a = new CountedControl;
        CControlUI* b = new CountedControl;
        CControlUI* c = new CountedControl;
        EXPECT_FALSE(container.Add(nullptr));
        EXPECT_TRUE(container.Add(a));
        EXPECT_TRUE(container.Add(c));
        EXPECT_TRUE(container.AddAt(b, 1));
        EXPECT_FALSE(container.AddAt(refused, 7));  // a bad index fails and keeps nothing
        EXPECT_EQ(container.GetCount(), 3);
        EXPECT_EQ(a->GetParent(), &container);

        EXPECT_FALSE(container.SetItemIndex(a, 3));  // past the end: the child stays
        EXPECT_TRUE(container.SetItemIndex(a, 2));   // b c a
        EXPECT_EQ(container.GetItemAt(0), b);
        EXPECT_TRUE(container.SetMultiItemIndex(b, 2, 1));  // a b c
        EXPECT_EQ(container.GetItemAt(0), a);
        EXPECT_FALSE(container.SetMultiItemIndex(b, 2, 2));  // would run past the end

        EXPECT_TRUE(container.Remove(b, true));  // not destroyed
        delete b;
        EXPECT_FALSE(container.Remove(b));
        EXPECT_TRUE(container.RemoveAt(0));           // no manager: deleted at once
        EXPECT_EQ(CountedControl::live, before + 2);  // c and the refused one
    }
    EXPECT_EQ(CountedControl::live, before + 1);
    delete refused;
}

TEST(ContainerTest, PlacesFixedClampedAndFloatingChildren)
{
    CContainerUI root;
    root.SetAttribute(L"inset", L"10,10,10,10");
    CControlUI* fill = new CControlUI;
    CControlUI* clamped = new CControlUI;
    clamped->SetMaxWidth(50);
    clamped->SetMinHeight(500);
    CControlUI* floating = Floating(L"5,6,25,16");
    CControlUI* anchored = Floating(L"-10,-10,0,0", L"1.0,1.0,1.0,1.0");  // pinned to the bottom-right corner
    CControlUI* hidden = new CControlUI;
    hidden->SetVisible(false);
    for (CControlUI* c : {fill, clamped, floating, anchored, hidden})
        root.Add(c);

    root.SetPos(RECT{100, 100, 300, 200}, false);
    EXPECT_TRUE(RectIs(fill->GetPos(), 110, 110, 290, 190));
    EXPECT_TRUE(RectIs(clamped->GetPos(), 110, 110, 160, 610));
    EXPECT_TRUE(RectIs(floating->GetPos(), 105, 106, 125, 116));  // relative to the corner, inset ignored
    EXPECT_TRUE(RectIs(anchored->GetPos(), 290, 190, 300, 200));
    EXPECT_TRUE(RectIs(hidden->GetPos(), 0, 0, 0, 0));
    root.Move(5, 7, false);
    EXPECT_TRUE(RectIs(fill->GetPos(), 115, 117, 295, 197));
    EXPECT_TRUE(RectIs(hidden->GetPos(), 0, 0, 0, 0));

    // Hiding the container hides its children, those added later too.
    root.SetVisible(false);
    EXPECT_FALSE(fill->IsVisible());
    CControlUI* late = new CControlUI;
    root.Add(late);
    EXPECT_FALSE(late->IsVisible());
    root.SetVisible(true);
    EXPECT_TRUE(late->IsVisible());
}

TEST(ContainerTest, HitTestingOrderMouseChildAndClientArea)
{
    CContainerUI root;
    root.SetAttribute(L"inset", L"0,20,0,0");
    CControlUI* below = new CControlUI;
    CControlUI* above = new CControlUI;
    CControlUI* floater = Floating(L"0,0,20,10");
    for (CControlUI* c : {below, above, floater})
        root.Add(c);
    root.SetPos(RECT{0, 0, 100, 100}, false);
    EXPECT_EQ(HitTest(root, 50, 50), below);  // above and below overlap over the whole client area
    EXPECT_EQ(HitTest(root, 50, 50, UIFIND_TOP_FIRST), above);
    // Inside the inset band only floating children are found.
    EXPECT_EQ(HitTest(root, 5, 5), floater);
    EXPECT_EQ(HitTest(root, 50, 5), &root);
    // Children that do not take the mouse let it through to the container.
    below->SetMouseEnabled(false);
    above->SetMouseEnabled(false);
    EXPECT_EQ(HitTest(root, 50, 50), &root);
    below->SetMouseEnabled(true);
    root.SetAttribute(L"mousechild", L"false");
    EXPECT_EQ(HitTest(root, 50, 50), &root);
    EXPECT_EQ(HitTest(root, 5, 5), &root);
    root.SetMouseEnabled(false);
    EXPECT_EQ(HitTest(root, 50, 50), nullptr);
    // Without a hit test every child is visited.
    root.SetMouseEnabled(true);
    EXPECT_EQ(root.FindControl(FindFirst, nullptr, UIFIND_ME_FIRST), &root);
    EXPECT_EQ(root.FindControl(FindFirst, nullptr, 0), below);
}

TEST(ContainerTest, LayoutAttributes)
{
    CContainerUI root;
    root.SetAttribute(L"childpadding", L"-4");  // negative padding is stored as 0
    EXPECT_EQ(root.GetChildPadding(), 0);
    root.SetAttribute(L"childalign", L"center");
    root.SetAttribute(L"childalign", L"middle");  // unknown: unchanged
    EXPECT_EQ(root.GetChildAlign(), static_cast<UINT>(UICHILD_ALIGN_CENTER));
    root.Add(new CControlUI);
    EXPECT_EQ(root.FindSelectable(0, true), -1);  // no list items
}

TEST(ContainerTest, PaintsChildrenClippedToItsClientArea)
{
    CUiManager manager;  // colours and images need a manager; no window is needed
    CContainerUI* root = new CContainerUI;
    root->SetBkColor(0xFF0000FF);  // blue
    root->SetAttribute(L"inset", L"10,10,10,10");
    CControlUI* child = new CControlUI;
    child->SetBkColor(0xFFFF0000);                   // red, laid over the whole client area
    CControlUI* floater = Floating(L"30,30,80,80");  // crosses the container's edge
    floater->SetBkColor(0xFF00FF00);
    root->Add(child);
    root->Add(floater);
    manager.AttachDialog(root);
    root->SetPos(RECT{0, 0, 50, 50}, false);

    skintest::Canvas canvas(100, 100);
    EXPECT_TRUE(root->Paint(canvas.dc(), canvas.all(), nullptr));
    EXPECT_EQ(canvas.Rgb(5, 5), 0x0000FFu);                         // the inset shows the container
    EXPECT_EQ(canvas.Rgb(20, 20), 0xFF0000u);                       // the child
    EXPECT_EQ(canvas.Rgb(35, 35), 0x00FF00u);                       // the floating child over the red one ...
    EXPECT_EQ(canvas.Rgb(45, 45), 0x0000FFu);                       // ... clipped to the client area
    EXPECT_EQ(canvas.Rgb(60, 60), 0u);                              // nothing outside the container
    EXPECT_FALSE(root->Paint(canvas.dc(), canvas.all(), floater));  // a stop control ends the painting there
}

}  // namespace
