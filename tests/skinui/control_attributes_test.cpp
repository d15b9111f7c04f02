// CControlUI without a window: attributes into geometry and state, float
// bookkeeping, visibility and focus, FindControl, events and names.
#include <gtest/gtest.h>

#include "skinui/controls/container_ui.h"
#include "skinui/core/delegate.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::EventLog;
using skintest::NotifyLog;
using skintest::RecControl;
using skintest::RectIs;

namespace {

// A manager with a container root at (0,0,200,200) whose children are placed
// by their "pos", and a notifier listening to it.
struct Tree {
    Tree()
    {
        manager.AttachDialog(root);
        manager.AddNotifier(&notes);
    }
    ~Tree() { manager.RemoveNotifier(&notes); }
    CControlUI* Add(CControlUI* child, const wchar_t* pos = L"0,0,10,10")
    {
        child->SetAttribute(L"float", L"true");
        child->SetAttribute(L"pos", pos);
        root->Add(child);
        root->SetPos(RECT{0, 0, 200, 200}, false);
        return child;
    }
    RecControl* AddRec(const wchar_t* name, UINT flags = 0)
    {
        RecControl* child = new RecControl(name, &log, flags);
        Add(child);
        return child;
    }
    // The log and the notifier outlive the manager and its tree.
    EventLog log;
    NotifyLog notes;
    CUiManager manager;
    CContainerUI* root = new CContainerUI;
};

}  // namespace

TEST(ControlAttributes, GeometryColoursAndState)
{
    CControlUI c;
    c.SetAttribute(L"pos", L"10,20,110,70");
    EXPECT_EQ(20, c.GetFixedXY().cy);
    EXPECT_EQ(100, c.GetFixedWidth());
    EXPECT_EQ(50, c.GetFixedHeight());
    c.SetAttribute(L"width", L"-5");  // negative sizes are ignored
    EXPECT_EQ(100, c.GetFixedWidth());
    c.SetAttribute(L"minwidth", L"40");
    c.SetAttribute(L"maxwidth", L"30");
    EXPECT_EQ(40, c.GetMaxWidth());  // the larger of max and min
    c.SetAttribute(L"maxheight", L"-1");
    EXPECT_EQ(9999, c.GetMaxHeight());
    c.SetAttribute(L"bordersize", L"2");
    EXPECT_TRUE(RectIs(c.GetBorderSize(), 2, 2, 2, 2));
    c.SetAttribute(L"float", L"0,0.5,1,1");
    EXPECT_DOUBLE_EQ(0.5, c.GetFloatPercent().top);

    c.SetAttribute(L"bkcolor", L"  #FF102030");
    EXPECT_EQ(0xFF102030u, c.GetBkColor());
    c.SetAttribute(L"bkcolorIndex", L"7");  // out of the theme table: no colour
    EXPECT_EQ(0u, c.GetBkColor());
    c.SetAttribute(L"keyboard", L"TRUE");
    EXPECT_FALSE(c.IsKeyboardEnabled());
    c.SetAttribute(L"tooltip", L"first<n>second");
    EXPECT_STREQ(L"first\r\nsecond", c.GetToolTip().GetData());
    // Names are case-sensitive: "Width" is a custom attribute, and its first value stays.
    c.SetAttribute(L"Width", L"77");
    c.SetAttribute(L"Width", L"88");
    EXPECT_STREQ(L"77", c.GetCustomAttribute(L"Width"));
}

TEST(ControlAttributes, AttributeListStopsAtAMalformedPair)
{
    CControlUI c;
    c.ApplyAttributeList(L"width=\"30\" height=40 tag=\"5\"");
    EXPECT_EQ(30, c.GetFixedWidth());
    EXPECT_EQ(0, c.GetFixedHeight());
    EXPECT_EQ(0, c.GetTag());
    CControlUI d;
    d.ApplyAttributeList(L"width=\"30\"height=\"40\"");  // no blank after the quote
    EXPECT_EQ(30, d.GetFixedWidth());
    EXPECT_EQ(0, d.GetFixedHeight());
}

TEST(ControlGeometry, FloatChildRecordsItsLayoutAndCoverFollows)
{
    Tree t;
    CControlUI* child = t.Add(new CControlUI, L"-10,5,10,25");
    child->SetAttribute(L"float", L"0.5,0,0.5,0");
    t.root->SetPos(RECT{100, 100, 300, 200}, false);
    EXPECT_TRUE(RectIs(child->GetPos(), 190, 105, 210, 125));

    // Placing it directly records its float layout back.
    child->SetPos(RECT{120, 10, 150, 40}, false);
    EXPECT_TRUE(RectIs(child->GetPos(), 220, 110, 250, 140));
    EXPECT_EQ(20, child->GetFixedXY().cx);  // 120 - trunc(0.5 * 200)
    EXPECT_EQ(30, child->GetFixedWidth());  // 150 - 20 - 100
    EXPECT_TRUE(RectIs(child->GetRelativePos(), 120, 10, 150, 40));

    CControlUI plain;
    plain.SetPos(RECT{50, 50, 10, 10}, false);  // an inverted rectangle is normalised
    EXPECT_TRUE(RectIs(plain.GetPos(), 50, 50, 50, 50));

    CControlUI* cover = new CControlUI;
    cover->SetMaxWidth(40);
    CControlUI* owner = t.Add(new CControlUI);
    owner->SetCover(cover);
    EXPECT_EQ(owner, cover->GetParent());
    owner->SetPos(RECT{0, 0, 100, 50}, false);
    EXPECT_TRUE(RectIs(cover->GetPos(), 0, 0, 40, 50));
    owner->SetVisible(false);
    EXPECT_FALSE(cover->IsVisible());
}

TEST(ControlFocus, HidingTheFocusClearsTheWindowFocus)
{
    Tree t;
    RecControl* a = t.AddRec(L"a", UIFLAG_TABSTOP);
    RecControl* b = t.AddRec(L"b", UIFLAG_TABSTOP);
    a->SetFocus();
    EXPECT_TRUE(a->IsFocused());
    a->SetVisible(false);
    EXPECT_EQ(nullptr, t.manager.GetFocus());
    EXPECT_EQ(1, t.notes.Count(L"setfocus"));
    EXPECT_EQ(1, t.notes.Count(L"killfocus"));
    b->SetFocus();
    b->SetVisibleKeepFocus(false);
    EXPECT_EQ(b, t.manager.GetFocus());
    // A hidden or disabled control never takes the focus.
    t.manager.SetFocus(a);
    EXPECT_EQ(nullptr, t.manager.GetFocus());
    a->SetVisible(true);
    a->SetEnabled(false);
    t.manager.SetFocus(a);
    EXPECT_EQ(nullptr, t.manager.GetFocus());
}

TEST(ControlFind, ManagerHitTestTakesTheTopVisibleMouseControlCoverFirst)
{
    Tree t;
    CControlUI* first = t.Add(new CControlUI, L"0,0,60,60");
    CControlUI* second = t.Add(new CControlUI, L"40,40,100,100");
    POINT overlap = {50, 50};
    EXPECT_EQ(second, t.manager.FindControl(overlap));
    second->SetVisible(false);
    EXPECT_EQ(first, t.manager.FindControl(overlap));
    second->SetVisible(true);
    second->SetMouseEnabled(false);  // mouse-disabled controls are passed by hit tests
    EXPECT_EQ(first, t.manager.FindControl(overlap));
    EXPECT_EQ(t.root, t.manager.FindControl(POINT{150, 150}));
    EXPECT_EQ(nullptr, t.manager.FindControl(POINT{500, 500}));
    CControlUI* cover = new CControlUI;
    first->SetCover(cover);
    cover->SetPos(RECT{0, 0, 10, 10}, false);
    EXPECT_EQ(cover, t.manager.FindControl(POINT{5, 5}));
}

TEST(ControlEvents, ListenersVetoAndDefaultHandling)
{
    Tree t;
    RecControl* child = t.AddRec(L"child");
    UiEvent event = {};
    event.Type = UIEVENT_TIMER;
    event.wParam = 7;
    child->Event(event);
    ASSERT_EQ(1, t.notes.Count(L"timer"));
    EXPECT_EQ(7u, t.notes.entries.back().wParam);
    event.Type = UIEVENT_CONTEXTMENU;
    child->Event(event);
    EXPECT_EQ(0, t.notes.Count(L"menu"));
    child->SetContextMenuUsed(true);
    child->Event(event);
    EXPECT_EQ(1, t.notes.Count(L"menu"));
    child->OnEvent += CDelegateStatic([](void*) { return false; });
    t.log.clear();
    child->Event(event);
    EXPECT_TRUE(t.log.empty());

    // Unhandled events go up to the parent's DoEvent.
    CControlUI leaf;
    leaf.SetManager(&t.manager, t.AddRec(L"parent"), false);
    event.Type = UIEVENT_BUTTONDOWN;
    leaf.Event(event);
    EXPECT_EQ(EventLog{"parent:13"}, t.log);
}

TEST(ControlLifecycle, NamesInitAndDestroyAndTheManagerForgetsTheControl)
{
    static int inits = 0, destroys = 0;
    Tree t;
    CControlUI* a = t.Add(new CControlUI);
    a->SetName(L"alpha");
    CControlUI* beta = t.Add(new CControlUI);
    beta->SetName(L"beta");
    a->SetName(L"gamma");  // the name map follows renames
    EXPECT_EQ(nullptr, t.manager.FindControl(L"alpha"));
    EXPECT_EQ(a, t.manager.FindControl(L"gamma"));
    // A refused rename changes nothing.
    EXPECT_FALSE(t.manager.RenameControl(a, L"beta"));  // taken by another control
    EXPECT_FALSE(t.manager.RenameControl(a, L""));
    EXPECT_EQ(a, t.manager.FindControl(L"gamma"));
    EXPECT_STREQ(L"gamma", a->GetName());
    // A control may still take another control's name: the name it left no longer finds it.
    a->SetName(L"beta");
    EXPECT_STREQ(L"beta", a->GetName());
    EXPECT_EQ(beta, t.manager.FindControl(L"beta"));
    EXPECT_EQ(nullptr, t.manager.FindControl(L"gamma"));

    CControlUI* child = new CControlUI;
    child->OnInit += CDelegateStatic([](void*) { return ++inits > 0; });
    child->OnDestroy += CDelegateStatic([](void*) { return ++destroys > 0; });
    child->SetName(L"child");
    t.manager.InitControls(child, t.root);  // attached under root without being its item
    EXPECT_EQ(1, inits);
    EXPECT_EQ(child, t.manager.FindControl(L"child"));
    t.manager.SetFocus(child);
    t.manager.AddMouseLeaveNeeded(child);
    child->Delete();
    EXPECT_EQ(1, destroys);
    EXPECT_EQ(nullptr, t.manager.GetFocus());
    EXPECT_EQ(nullptr, t.manager.FindControl(L"child"));
    EXPECT_FALSE(t.manager.RemoveMouseLeaveNeeded(child));
}

TEST(ControlWindowless, ManagerWithoutWindowIsHarmless)
{
    Tree t;
    CControlUI* child = t.Add(new CControlUI);
    t.root->SetPos(RECT{0, 0, 100, 100}, true);  // invalidation without a window does nothing
    child->Invalidate();
    EXPECT_FALSE(t.manager.SetTimer(child, 1, 10));
    t.manager.SendNotify(child, L"click");
    EXPECT_EQ(1, t.notes.Count(L"click"));
    t.manager.SendNotify(child, L"later", 0, 0, true);  // stays queued: no window to post to
    EXPECT_EQ(0, t.notes.Count(L"later"));
    LRESULT result = 0;
    EXPECT_FALSE(t.manager.MessageHandler(WM_MOUSEMOVE, 0, 0, result));
}
