// CControlUI without a window: attributes into geometry and state, float
// bookkeeping, visibility and focus, FindControl flags, events and names.
#include <gtest/gtest.h>

#include "control_test_tree.h"
#include "skinui/core/delegate.h"

using namespace SkinUI;
using testtree::EventLog;
using testtree::NotifyLog;
using testtree::RecControl;
using testtree::TestContainer;

namespace {

bool RectIs(const RECT& rc, int l, int t, int r, int b)
{
    return rc.left == l && rc.top == t && rc.right == r && rc.bottom == b;
}

}  // namespace

TEST(ControlAttributes, GeometryAttributes)
{
    CControlUI c;
    c.SetAttribute(L"pos", L"10,20,110,70");
    EXPECT_EQ(10, c.GetFixedXY().cx);
    EXPECT_EQ(20, c.GetFixedXY().cy);
    EXPECT_EQ(100, c.GetFixedWidth());
    EXPECT_EQ(50, c.GetFixedHeight());

    c.SetAttribute(L"padding", L"1,2,3,4");
    EXPECT_TRUE(RectIs(c.GetPadding(), 1, 2, 3, 4));

    c.SetAttribute(L"width", L"-5");  // negative sizes are ignored
    EXPECT_EQ(100, c.GetFixedWidth());
    c.SetAttribute(L"minwidth", L"40");
    c.SetAttribute(L"maxwidth", L"30");
    EXPECT_EQ(40, c.GetMaxWidth());  // the larger of max and min
    c.SetAttribute(L"maxheight", L"-1");
    EXPECT_EQ(9999, c.GetMaxHeight());

    c.SetAttribute(L"bordersize", L"2");
    EXPECT_TRUE(RectIs(c.GetBorderSize(), 2, 2, 2, 2));
    c.SetAttribute(L"bordersize", L"1,0,1,0");
    EXPECT_TRUE(RectIs(c.GetBorderSize(), 1, 0, 1, 0));
    c.SetAttribute(L"borderround", L"6,8");
    EXPECT_EQ(6, c.GetBorderRound().cx);
    EXPECT_EQ(8, c.GetBorderRound().cy);
}

TEST(ControlAttributes, ColoursAndStateFlags)
{
    CControlUI c;
    c.SetAttribute(L"bkcolor", L"  #FF102030");
    EXPECT_EQ(0xFF102030u, c.GetBkColor());
    c.SetAttribute(L"bkcolor1", L"FF405060");
    EXPECT_EQ(0xFF405060u, c.GetBkColor());
    c.SetAttribute(L"bkcolor2", L" #80FFFFFF");
    EXPECT_EQ(0x80FFFFFFu, c.GetBkColor2());
    c.SetAttribute(L"bordercolor", L"#FF0000FF");
    EXPECT_EQ(0xFF0000FFu, c.GetBorderColor());
    c.SetAttribute(L"bkcolorIndex", L"7");  // out of the theme table: no colour
    EXPECT_EQ(0u, c.GetBkColor());

    EXPECT_FALSE(c.IsKeyboardEnabled());
    c.SetAttribute(L"keyboard", L"TRUE");
    EXPECT_FALSE(c.IsKeyboardEnabled());
    c.SetAttribute(L"keyboard", L"true");
    EXPECT_TRUE(c.IsKeyboardEnabled());
    c.SetAttribute(L"enabled", L"false");
    EXPECT_FALSE(c.IsEnabled());
    c.SetAttribute(L"mouse", L"no");
    EXPECT_FALSE(c.IsMouseEnabled());
    c.SetAttribute(L"menu", L"true");
    EXPECT_TRUE(c.IsContextMenuUsed());

    c.SetAttribute(L"tooltip", L"first<n>second");
    EXPECT_STREQ(L"first\r\nsecond", c.GetToolTip().GetData());
    c.SetAttribute(L"shortcut", L"xyz");
    EXPECT_EQ(L'x', c.GetShortcut());
    c.SetAttribute(L"tag", L"42");
    EXPECT_EQ(42, c.GetTag());

    // Names are case-sensitive: "Width" is a custom attribute.
    c.SetAttribute(L"Width", L"77");
    EXPECT_EQ(0, c.GetFixedWidth());
    EXPECT_STREQ(L"77", c.GetCustomAttribute(L"Width"));
    c.SetAttribute(L"Width", L"88");  // the first value stays
    EXPECT_STREQ(L"77", c.GetCustomAttribute(L"Width"));
    c.AddCustomAttribute(L"empty", L"");
    EXPECT_EQ(nullptr, c.GetCustomAttribute(L"empty"));
}

TEST(ControlAttributes, FloatValues)
{
    CControlUI c;
    c.SetAttribute(L"float", L"0,0,1,1");
    EXPECT_TRUE(c.IsFloat());
    UiFloatPercent p = c.GetFloatPercent();
    EXPECT_DOUBLE_EQ(0.0, p.left);
    EXPECT_DOUBLE_EQ(1.0, p.right);
    EXPECT_DOUBLE_EQ(1.0, p.bottom);
    c.SetAttribute(L"float", L"false");
    EXPECT_FALSE(c.IsFloat());
    c.SetAttribute(L"float", L"true");
    EXPECT_TRUE(c.IsFloat());
}

TEST(ControlAttributes, AttributeListStopsAtMalformedPair)
{
    CControlUI c;
    c.ApplyAttributeList(L"width=\"30\" height=\"40\" name=\"x\"");
    EXPECT_EQ(30, c.GetFixedWidth());
    EXPECT_EQ(40, c.GetFixedHeight());
    EXPECT_STREQ(L"x", c.GetName().GetData());

    CControlUI d;
    d.ApplyAttributeList(L"width=\"30\" height=40 tag=\"5\"");
    EXPECT_EQ(30, d.GetFixedWidth());
    EXPECT_EQ(0, d.GetFixedHeight());
    EXPECT_EQ(0, d.GetTag());

    CControlUI e;
    e.ApplyAttributeList(L"width=\"30\"height=\"40\"");  // no blank after the quote
    EXPECT_EQ(30, e.GetFixedWidth());
    EXPECT_EQ(0, e.GetFixedHeight());
}

TEST(ControlAttributes, EnlargeModeScalesFixedSizesOnly)
{
    CUiManager::SetEnlargeMode(true);
    CControlUI c;
    c.SetAttribute(L"pos", L"10,20,110,70");
    c.SetAttribute(L"minwidth", L"10");
    c.SetAttribute(L"padding", L"1,3,5,7");
    CUiManager::SetEnlargeMode(false);
    EXPECT_EQ(15, c.GetFixedXY().cx);
    EXPECT_EQ(30, c.GetFixedXY().cy);
    EXPECT_EQ(150, c.GetFixedWidth());
    EXPECT_EQ(75, c.GetFixedHeight());
    EXPECT_EQ(10, c.GetMinWidth());
    // l' = 1, t' = 4, r' = trunc(1.5 * 4 + 1) = 7, b' = trunc(1.5 * 4 + 4) = 10
    EXPECT_TRUE(RectIs(c.GetPadding(), 1, 4, 7, 10));
}

TEST(ControlGeometry, FloatChildRecordsItsLayout)
{
    CUiManager manager;
    TestContainer* root = new TestContainer(L"root");
    CControlUI* child = new CControlUI;
    child->SetAttribute(L"float", L"0.5,0,0.5,0");
    child->SetAttribute(L"pos", L"-10,5,10,25");
    root->Add(child);
    manager.AttachDialog(root);
    root->SetPos(RECT{100, 100, 300, 200}, false);
    EXPECT_TRUE(RectIs(child->GetPos(), 190, 105, 210, 125));

    // Placing it directly records its float layout back.
    child->SetPos(RECT{120, 10, 150, 40}, false);
    EXPECT_TRUE(RectIs(child->GetPos(), 220, 110, 250, 140));
    EXPECT_EQ(20, child->GetFixedXY().cx);   // 120 - trunc(0.5 * 200)
    EXPECT_EQ(10, child->GetFixedXY().cy);
    EXPECT_EQ(30, child->GetFixedWidth());   // 150 - 20 - 100
    EXPECT_EQ(30, child->GetFixedHeight());
    EXPECT_TRUE(RectIs(child->GetRelativePos(), 120, 10, 150, 40));

    // An inverted rectangle is normalised.
    CControlUI plain;
    plain.SetPos(RECT{50, 50, 10, 10}, false);
    EXPECT_TRUE(RectIs(plain.GetPos(), 50, 50, 50, 50));
}

TEST(ControlGeometry, CoverFollowsPosition)
{
    CUiManager manager;  // SetPos places the cover only with a manager
    CControlUI owner;
    CControlUI* cover = new CControlUI;
    cover->SetMaxWidth(40);
    owner.SetCover(cover);
    EXPECT_EQ(&owner, cover->GetParent());
    owner.SetManager(&manager, nullptr, false);
    owner.SetPos(RECT{0, 0, 100, 50}, false);
    EXPECT_TRUE(RectIs(cover->GetPos(), 0, 0, 40, 50));
    owner.SetVisible(false);
    EXPECT_FALSE(cover->IsVisible());
    owner.SetCover(nullptr);  // deletes the old cover
    EXPECT_EQ(nullptr, owner.GetCover());
}

TEST(ControlFocus, HidingTheFocusClearsTheWindowFocus)
{
    CUiManager manager;
    EventLog log;
    TestContainer* root = new TestContainer(L"root");
    RecControl* a = new RecControl(L"a", &log, UIFLAG_TABSTOP);
    RecControl* b = new RecControl(L"b", &log, UIFLAG_TABSTOP);
    root->Add(a);
    root->Add(b);
    manager.AttachDialog(root);
    NotifyLog notes;
    manager.AddNotifier(&notes);

    a->SetFocus();
    EXPECT_EQ(a, manager.GetFocus());
    EXPECT_TRUE(a->IsFocused());
    EXPECT_EQ(1, notes.Count(L"setfocus"));
    a->SetVisible(false);
    EXPECT_EQ(nullptr, manager.GetFocus());
    EXPECT_FALSE(a->IsFocused());
    EXPECT_EQ(1, notes.Count(L"killfocus"));

    b->SetFocus();
    b->SetVisibleKeepFocus(false);
    EXPECT_EQ(b, manager.GetFocus());

    // A hidden or disabled control never takes the focus.
    manager.SetFocus(a);
    EXPECT_EQ(nullptr, manager.GetFocus());
    a->SetVisible(true);
    a->SetEnabled(false);
    manager.SetFocus(a);
    EXPECT_EQ(nullptr, manager.GetFocus());
    manager.RemoveNotifier(&notes);
}

TEST(ControlFind, FlagsAndHitTestOrder)
{
    CUiManager manager;
    TestContainer* root = new TestContainer(L"root");
    CControlUI* first = new CControlUI;
    first->SetAttribute(L"name", L"first");
    first->SetAttribute(L"pos", L"0,0,60,60");
    CControlUI* second = new CControlUI;
    second->SetAttribute(L"name", L"second");
    second->SetAttribute(L"pos", L"40,40,100,100");
    root->Add(first);
    root->Add(second);
    manager.AttachDialog(root);
    root->SetPos(RECT{0, 0, 200, 200}, false);

    struct Finder {
        static CControlUI* CALLBACK Hit(CControlUI* c, LPVOID data)
        {
            const RECT& rc = c->GetPos();
            return ::PtInRect(&rc, *static_cast<POINT*>(data)) ? c : nullptr;
        }
    };
    POINT overlap = {50, 50};
    EXPECT_EQ(first, root->FindControl(Finder::Hit, &overlap, UIFIND_HITTEST));
    EXPECT_EQ(second, root->FindControl(Finder::Hit, &overlap, UIFIND_HITTEST | UIFIND_TOP_FIRST));
    EXPECT_EQ(second, manager.FindControl(overlap));
    EXPECT_EQ(root, root->FindControl(Finder::Hit, &overlap, UIFIND_HITTEST | UIFIND_ME_FIRST));

    second->SetVisible(false);
    EXPECT_EQ(first, manager.FindControl(overlap));
    EXPECT_EQ(second, root->FindControl(Finder::Hit, &overlap, UIFIND_HITTEST | UIFIND_TOP_FIRST));
    second->SetVisible(true);
    second->SetEnabled(false);
    EXPECT_EQ(first, root->FindControl(Finder::Hit, &overlap, UIFIND_HITTEST | UIFIND_TOP_FIRST | UIFIND_ENABLED));
    second->SetEnabled(true);
    second->SetMouseEnabled(false);  // mouse-disabled controls are passed by hit tests
    EXPECT_EQ(first, manager.FindControl(overlap));

    POINT outside = {150, 150};
    EXPECT_EQ(root, manager.FindControl(outside));
    POINT away = {500, 500};
    EXPECT_EQ(nullptr, manager.FindControl(away));

    // A cover is searched before the control itself.
    CControlUI* cover = new CControlUI;
    first->SetCover(cover);
    cover->SetPos(RECT{0, 0, 10, 10}, false);
    POINT corner = {5, 5};
    EXPECT_EQ(cover, manager.FindControl(corner));
}

TEST(ControlNames, NameMapFollowsRenames)
{
    CUiManager manager;
    TestContainer* root = new TestContainer(L"root");
    CControlUI* a = new CControlUI;
    a->SetName(L"alpha");
    CControlUI* b = new CControlUI;
    b->SetName(L"beta");
    root->Add(a);
    root->Add(b);
    manager.AttachDialog(root);
    EXPECT_EQ(a, manager.FindControl(L"alpha"));

    a->SetName(L"gamma");
    EXPECT_EQ(nullptr, manager.FindControl(L"alpha"));
    EXPECT_EQ(a, manager.FindControl(L"gamma"));
    EXPECT_TRUE(manager.RenameControl(a, L"gamma"));
    EXPECT_FALSE(manager.RenameControl(a, L"beta"));  // taken by another control
    EXPECT_EQ(b, manager.FindControl(L"beta"));

    CUiManager other;
    EXPECT_FALSE(other.RenameControl(b, L"delta"));
}

TEST(ControlEvents, ListenersVetoAndDefaultHandling)
{
    CUiManager manager;
    NotifyLog notes;
    manager.AddNotifier(&notes);
    EventLog log;
    TestContainer* root = new TestContainer(L"root");
    RecControl* child = new RecControl(L"child", &log);
    root->Add(child);
    manager.AttachDialog(root);

    UiEvent event = {};
    event.Type = UIEVENT_TIMER;
    event.wParam = 7;
    child->Event(event);
    ASSERT_EQ(1, notes.Count(L"timer"));
    EXPECT_EQ(7u, notes.entries.back().wParam);

    event.Type = UIEVENT_CONTEXTMENU;
    child->Event(event);
    EXPECT_EQ(0, notes.Count(L"menu"));
    child->SetContextMenuUsed(true);
    child->Event(event);
    EXPECT_EQ(1, notes.Count(L"menu"));

    static int vetoes = 0;
    struct Veto {
        static bool No(void*) { ++vetoes; return false; }
    };
    child->OnEvent += CDelegateStatic(&Veto::No);
    log.clear();
    child->Event(event);
    EXPECT_EQ(1, vetoes);
    EXPECT_TRUE(log.empty());

    // Unhandled events go up to the parent's DoEvent.
    CControlUI* leaf = new CControlUI;
    RecControl* parent = new RecControl(L"parent", &log);
    root->Add(parent);
    leaf->SetManager(&manager, parent, false);
    event.Type = UIEVENT_BUTTONDOWN;
    leaf->Event(event);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("parent:13", log.back());
    delete leaf;
    manager.RemoveNotifier(&notes);
}

TEST(ControlLifecycle, InitAndDestroyListenersRun)
{
    static int inits = 0;
    static int destroys = 0;
    struct Count {
        static bool Init(void*) { ++inits; return true; }
        static bool Destroy(void*) { ++destroys; return true; }
    };
    CUiManager manager;
    TestContainer* root = new TestContainer(L"root");
    CControlUI* child = new CControlUI;
    child->OnInit += CDelegateStatic(&Count::Init);
    child->OnDestroy += CDelegateStatic(&Count::Destroy);
    child->SetName(L"child");
    manager.AttachDialog(root);
    manager.InitControls(child, root);  // attached under root without being its item
    EXPECT_EQ(1, inits);
    EXPECT_EQ(child, manager.FindControl(L"child"));
    manager.SetFocus(child);
    manager.AddMouseLeaveNeeded(child);
    child->Delete();
    EXPECT_EQ(1, destroys);
    EXPECT_EQ(nullptr, manager.GetFocus());
    EXPECT_EQ(nullptr, manager.FindControl(L"child"));
    EXPECT_FALSE(manager.RemoveMouseLeaveNeeded(child));
}

TEST(ControlWindowless, ManagerWithoutWindowIsHarmless)
{
    CUiManager manager;
    NotifyLog notes;
    manager.AddNotifier(&notes);
    TestContainer* root = new TestContainer(L"root");
    CControlUI* child = new CControlUI;
    root->Add(child);
    manager.AttachDialog(root);
    root->SetPos(RECT{0, 0, 100, 100}, true);  // invalidation without a window does nothing
    child->Invalidate();
    EXPECT_FALSE(manager.SetTimer(child, 1, 10));
    EXPECT_FALSE(manager.KillTimer(child, 1));
    manager.SendNotify(child, L"click");
    EXPECT_EQ(1, notes.Count(L"click"));
    manager.SendNotify(child, L"later", 0, 0, true);  // stays queued: no window to post to
    EXPECT_EQ(0, notes.Count(L"later"));
    LRESULT result = 0;
    EXPECT_FALSE(manager.MessageHandler(WM_MOUSEMOVE, 0, 0, result));
    manager.RemoveNotifier(&notes);
}
