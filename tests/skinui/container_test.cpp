// The base container: owning children, placement of fixed, clamped and
// floating children, hit-testing order, delayed deletion, attributes and
// clipped painting.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "skinui/controls/container_ui.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"

using namespace SkinUI;

namespace {

class CountedUI : public CControlUI {
public:
    explicit CountedUI(const wchar_t* name = L"") { SetName(name); ++s_live; }
    ~CountedUI() override { --s_live; }
    static int s_live;
};
int CountedUI::s_live = 0;

CControlUI* CALLBACK FindFirst(CControlUI* control, LPVOID) { return control; }

CControlUI* HitTest(CContainerUI& root, int x, int y, UINT extraFlags = 0)
{
    POINT pt = {x, y};
    return root.FindControl(FindFirst, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | extraFlags);
}

bool RectIs(const RECT& rc, int l, int t, int r, int b)
{
    return rc.left == l && rc.top == t && rc.right == r && rc.bottom == b;
}

::testing::AssertionResult PosIs(CControlUI* control, int l, int t, int r, int b)
{
    const RECT& rc = control->GetPos();
    if (RectIs(rc, l, t, r, b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pos is " << rc.left << "," << rc.top << "," << rc.right << ","
                                         << rc.bottom;
}

TEST(ContainerTest, OwnsItsChildrenAndReordersThem)
{
    int before = CountedUI::s_live;
    CountedUI* refused = nullptr;
    {
        CContainerUI container;
        CControlUI* a = new CountedUI(L"a");
        CControlUI* b = new CountedUI(L"b");
        CControlUI* c = new CountedUI(L"c");
        EXPECT_FALSE(container.Add(nullptr));
        EXPECT_TRUE(container.Add(a));
        EXPECT_TRUE(container.Add(c));
        EXPECT_TRUE(container.AddAt(b, 1));
        refused = new CountedUI;
        EXPECT_FALSE(container.AddAt(refused, 7));  // a bad index fails ...
        EXPECT_EQ(container.GetCount(), 3);         // ... and keeps nothing
        EXPECT_EQ(container.GetItemIndex(b), 1);
        EXPECT_EQ(a->GetParent(), &container);
        EXPECT_EQ(container.GetItemAt(3), nullptr);
        EXPECT_EQ(container.GetItemAt(-1), nullptr);

        EXPECT_FALSE(container.SetItemIndex(a, 3));  // past the end: the child stays
        EXPECT_EQ(container.GetItemIndex(a), 0);
        EXPECT_TRUE(container.SetItemIndex(a, 2));  // b c a
        EXPECT_EQ(container.GetItemAt(0), b);
        EXPECT_TRUE(container.SetMultiItemIndex(b, 2, 1));  // a b c
        EXPECT_EQ(container.GetItemAt(0), a);
        EXPECT_EQ(container.GetItemAt(2), c);
        EXPECT_FALSE(container.SetMultiItemIndex(b, 2, 2));  // would run past the end
        EXPECT_FALSE(container.SetMultiItemIndex(nullptr, 1, 0));

        EXPECT_TRUE(container.Remove(b, true));  // not destroyed
        EXPECT_EQ(container.GetCount(), 2);
        delete b;
        EXPECT_FALSE(container.Remove(b));
        EXPECT_TRUE(container.RemoveAt(0));  // no manager: deleted at once
        EXPECT_EQ(CountedUI::s_live, before + 2);  // c and the refused one
    }
    // The one refused at a bad index was never kept: it is still alive.
    EXPECT_EQ(CountedUI::s_live, before + 1);
    delete refused;
    EXPECT_EQ(CountedUI::s_live, before);
}

TEST(ContainerTest, PlacesFixedClampedAndFloatingChildren)
{
    CContainerUI root;
    root.SetAttribute(L"inset", L"10,10,10,10");
    CControlUI* fill = new CControlUI;
    CControlUI* clamped = new CControlUI;
    clamped->SetMaxWidth(50);
    clamped->SetMinHeight(500);
    CControlUI* floating = new CControlUI;
    floating->SetAttribute(L"pos", L"5,6,25,16");
    floating->SetAttribute(L"float", L"true");
    CControlUI* anchored = new CControlUI;
    anchored->SetAttribute(L"pos", L"-10,-10,0,0");
    anchored->SetAttribute(L"float", L"1.0,1.0,1.0,1.0");  // pinned to the bottom-right corner
    CControlUI* hidden = new CControlUI;
    hidden->SetVisible(false);
    for (CControlUI* c : {fill, clamped, floating, anchored, hidden}) root.Add(c);

    RECT rc = {100, 100, 300, 200};
    root.SetPos(rc, false);
    EXPECT_TRUE(PosIs(fill, 110, 110, 290, 190));
    EXPECT_TRUE(PosIs(clamped, 110, 110, 160, 610));
    EXPECT_TRUE(PosIs(floating, 105, 106, 125, 116));  // relative to the corner, inset ignored
    EXPECT_TRUE(PosIs(anchored, 290, 190, 300, 200));
    EXPECT_TRUE(PosIs(hidden, 0, 0, 0, 0));
    RECT client = root.GetClientPos();
    EXPECT_TRUE(RectIs(client, 110, 110, 290, 190));

    root.Move(5, 7, false);
    EXPECT_TRUE(PosIs(&root, 105, 107, 305, 207));
    EXPECT_TRUE(PosIs(fill, 115, 117, 295, 197));
    EXPECT_TRUE(PosIs(hidden, 0, 0, 0, 0));
}

TEST(ContainerTest, HitTestingOrderMouseChildAndClientArea)
{
    CContainerUI root;
    root.SetAttribute(L"inset", L"0,20,0,0");
    CControlUI* below = new CControlUI;
    below->SetName(L"below");
    CControlUI* above = new CControlUI;
    above->SetName(L"above");
    CControlUI* floater = new CControlUI;
    floater->SetName(L"floater");
    floater->SetAttribute(L"pos", L"0,0,20,10");
    floater->SetAttribute(L"float", L"true");
    root.Add(below);
    root.Add(above);
    root.Add(floater);
    RECT rc = {0, 0, 100, 100};
    root.SetPos(rc, false);
    // above and below overlap over the whole client area.
    EXPECT_EQ(HitTest(root, 50, 50), below);
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
    EXPECT_EQ(HitTest(root, 150, 50), nullptr);
    // Without a hit test every child is visited.
    root.SetMouseEnabled(true);
    EXPECT_EQ(root.FindControl(FindFirst, nullptr, UIFIND_ME_FIRST), &root);
    EXPECT_EQ(root.FindControl(FindFirst, nullptr, 0), below);
}

TEST(ContainerTest, HidingTheContainerHidesItsChildren)
{
    CContainerUI root;
    CControlUI* child = new CControlUI;
    root.Add(child);
    root.SetVisible(false);
    EXPECT_FALSE(child->IsVisible());
    CControlUI* late = new CControlUI;
    root.Add(late);
    EXPECT_FALSE(late->IsVisible());
    root.SetVisible(true);
    EXPECT_TRUE(child->IsVisible());
    EXPECT_TRUE(late->IsVisible());
}

TEST(ContainerTest, Attributes)
{
    CContainerUI root;
    root.SetAttribute(L"childpadding", L"-4");
    EXPECT_EQ(root.GetChildPadding(), 0);
    root.SetAttribute(L"childpadding", L"6");
    EXPECT_EQ(root.GetChildPadding(), 6);
    root.SetAttribute(L"childalign", L"center");
    root.SetAttribute(L"childvalign", L"bottom");
    EXPECT_EQ(root.GetChildAlign(), static_cast<UINT>(UICHILD_ALIGN_CENTER));
    EXPECT_EQ(root.GetChildVAlign(), static_cast<UINT>(UICHILD_VALIGN_BOTTOM));
    root.SetAttribute(L"childalign", L"middle");  // unknown: unchanged
    EXPECT_EQ(root.GetChildAlign(), static_cast<UINT>(UICHILD_ALIGN_CENTER));
    root.SetAttribute(L"name", L"base");  // falls through to the control base
    EXPECT_STREQ(root.GetName().GetData(), L"base");
    EXPECT_EQ(root.GetInterface(L"IContainer"), static_cast<IContainerUI*>(&root));
    EXPECT_EQ(root.GetInterface(L"Control"), static_cast<CControlUI*>(&root));
    EXPECT_STREQ(root.GetClass(), L"Container");
}

TEST(ContainerTest, FindSelectableSkipsWhatIsNotAListItem)
{
    CContainerUI root;
    root.Add(new CControlUI);
    EXPECT_EQ(root.FindSelectable(0, true), -1);
    EXPECT_EQ(root.FindSelectable(5, false), -1);
    CContainerUI empty;
    EXPECT_EQ(empty.FindSelectable(0), -1);
}

TEST(ContainerTest, NoScrollBarMeansNoScrolling)
{
    CContainerUI root;
    root.SetAttribute(L"vscrollbar", L"false");
    EXPECT_EQ(root.GetVerticalScrollBar(), nullptr);
    SIZE pos = root.GetScrollPos();
    EXPECT_EQ(pos.cx, 0);
    EXPECT_EQ(pos.cy, 0);
    CControlUI* child = new CControlUI;
    root.Add(child);
    RECT rc = {0, 0, 50, 50};
    root.SetPos(rc, false);
    root.LineDown();
    root.PageRight();
    EXPECT_TRUE(PosIs(child, 0, 0, 50, 50));
}

// Paints into a 32-bit DIB and reads pixels back (0x00RRGGBB).
class PixelCanvas {
public:
    PixelCanvas(int w, int h) : m_w(w)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = w;
        bmi.bmiHeader.biHeight = -h;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        m_dc = ::CreateCompatibleDC(nullptr);
        m_bmp = ::CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&m_bits), nullptr, 0);
        m_old = ::SelectObject(m_dc, m_bmp);
    }
    ~PixelCanvas()
    {
        ::SelectObject(m_dc, m_old);
        ::DeleteObject(m_bmp);
        ::DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    DWORD at(int x, int y) const { return m_bits[y * m_w + x] & 0xFFFFFF; }

private:
    int m_w;
    HDC m_dc;
    HBITMAP m_bmp;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

TEST(ContainerTest, PaintsChildrenClippedToItsClientArea)
{
    CUiManager manager;  // colours and images need a manager; no window is needed
    CContainerUI* root = new CContainerUI;
    root->SetBkColor(0xFF0000FF);  // blue
    root->SetAttribute(L"inset", L"10,10,10,10");
    CControlUI* child = new CControlUI;
    child->SetBkColor(0xFFFF0000);  // red, laid over the whole client area
    CControlUI* floater = new CControlUI;
    floater->SetAttribute(L"float", L"true");
    floater->SetAttribute(L"pos", L"30,30,80,80");  // crosses the container's edge
    floater->SetBkColor(0xFF00FF00);
    root->Add(child);
    root->Add(floater);
    manager.AttachDialog(root);
    RECT rc = {0, 0, 50, 50};
    root->SetPos(rc, false);

    PixelCanvas canvas(100, 100);
    RECT all = {0, 0, 100, 100};
    EXPECT_TRUE(root->Paint(canvas.dc(), all, nullptr));
    EXPECT_EQ(canvas.at(5, 5), 0x0000FFu);    // the inset shows the container
    EXPECT_EQ(canvas.at(20, 20), 0xFF0000u);  // the child
    EXPECT_EQ(canvas.at(35, 35), 0x00FF00u);  // the floating child over the red one ...
    EXPECT_EQ(canvas.at(45, 45), 0x0000FFu);  // ... clipped to the client area
    EXPECT_EQ(canvas.at(60, 60), 0u);         // nothing outside the container

    // A stop control ends the painting there.
    EXPECT_FALSE(root->Paint(canvas.dc(), all, floater));
}

}  // namespace
