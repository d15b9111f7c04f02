// CUiManager with a real window (runs under Xvfb): posted and real mouse and
// key input turned into events, capture, hover and leave, tooltips, timers,
// Tab order and focus asked ahead of the layout, queued notifications,
// delayed clean-up, and controls deleted by the handlers the manager calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/test_util.h"
#include "skinui/controls/container_ui.h"
#include "skinui/core/delegate.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::EventLog;
using skintest::NotifyLog;
using skintest::RecControl;

namespace {

// A topmost window (windows of tests running beside this one never cover it)
// with three tab stops: a (10,10,110,60), b (150,10,250,60) and c (10,100,110,150).
class TestWindow : public skintest::ManagedWindow {
public:
    TestWindow() : ManagedWindow(100, 100, 300, 200, WS_EX_TOPMOST)
    {
        ::SetCursorPos(0, 0);  // the real pointer stays off the window unless a test moves it
        // Shown after creation: a window created visible takes Wine two seconds to destroy.
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        root = new CContainerUI;
        a = Add(L"a", L"10,10,110,60");
        a->SetAttribute(L"tooltip", L"tip of a");
        b = Add(L"b", L"150,10,250,60");
        c = Add(L"c", L"10,100,110,150");
        manager.AttachDialog(root);
        manager.AddNotifier(&notes);
        ::UpdateWindow(hwnd);  // first paint: layout and "windowinit"
        Repaint();             // the focus asked for at attach time moves at the next paint
        ::SetForegroundWindow(hwnd);
        testutil::pumpFor(50);
        windowInits = notes.Count(L"windowinit");
        focusAfterInit = manager.GetFocus();
        manager.SetFocus(nullptr);
        log.clear();
        notes.entries.clear();
    }
    ~TestWindow() override
    {
        manager.RemoveNotifier(&notes);
        Destroy();
    }
    RecControl* Add(const wchar_t* name, const wchar_t* pos)
    {
        RecControl* control = new RecControl(name, &log, UIFLAG_TABSTOP);
        control->SetAttribute(L"float", L"true");
        control->SetAttribute(L"pos", pos);
        root->Add(control);
        return control;
    }
    void Repaint()
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
    }
    LRESULT Send(UINT msg, WPARAM wParam, int x, int y) { return ::SendMessageW(hwnd, msg, wParam, MAKELPARAM(x, y)); }
    // The log since the last call, as "name:type name:type ".
    std::string Take()
    {
        std::string text;
        for (const std::string& entry : log)
            text += entry + " ";
        log.clear();
        return text;
    }
    bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    POINT Screen(int x, int y) const
    {
        POINT pt = {x, y};
        ::ClientToScreen(hwnd, &pt);
        return pt;
    }
    void PointerTo(int x, int y)
    {
        POINT pt = Screen(x, y);
        ::SetCursorPos(pt.x, pt.y);
    }

    EventLog log;
    NotifyLog notes;
    CContainerUI* root = nullptr;
    RecControl* a = nullptr;
    RecControl* b = nullptr;
    RecControl* c = nullptr;
    int windowInits = 0;
    CControlUI* focusAfterInit = nullptr;
};

// Moves the real pointer to a client point and nudges it there until the log
// shows the entry: every real move arms the window's mouse tracking again.
bool PointAt(TestWindow& w, POINT client, const std::string& entry)
{
    for (int i = 0; i < 8; ++i) {
        w.PointerTo(client.x + (i % 2), client.y);
        if (testutil::pumpUntil([&] { return w.Logged(entry); }, 500))
            return true;
    }
    return false;
}

}  // namespace

TEST(ManagerInput, MouseMovesGiveLeaveEnterAndMoveInOrder)
{
    TestWindow w;
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_EQ("a:11 a:9 ", w.Take());
    w.Send(WM_MOUSEMOVE, 0, 30, 20);
    EXPECT_EQ("a:9 ", w.Take());
    w.Send(WM_MOUSEMOVE, 0, 160, 20);
    EXPECT_EQ("a:10 b:11 b:9 ", w.Take());

    // Controls on the mouse-leave list hear every leave first.
    w.manager.AddMouseLeaveNeeded(w.c);
    w.manager.AddMouseLeaveNeeded(w.c);
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_EQ("c:10 b:10 a:11 a:9 ", w.Take());
}

TEST(ManagerInput, PressCapturesAndDragsToThePressedControl)
{
    TestWindow w;
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    w.Take();
    w.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_TRUE(w.manager.IsCaptured());
    EXPECT_EQ(w.a, w.manager.GetFocus());
    EXPECT_EQ("a:21 a:13 ", w.Take());
    EXPECT_EQ(MK_LBUTTON, w.a->byType[UIEVENT_BUTTONDOWN].wKeyState);
    w.Send(WM_MOUSEMOVE, MK_LBUTTON, 160, 20);  // dragging over b
    EXPECT_EQ("a:9 ", w.Take());
    w.Send(WM_LBUTTONUP, 0, 160, 20);
    EXPECT_FALSE(w.manager.IsCaptured());
    EXPECT_EQ("a:14 ", w.Take());
    w.Send(WM_MOUSEMOVE, 0, 161, 20);  // after the drag the hover moves on
    EXPECT_EQ("a:10 b:11 b:9 ", w.Take());

    w.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 160, 20);
    EXPECT_EQ("b:16 ", w.Take());
    EXPECT_TRUE(w.manager.IsCaptured());
    w.Send(WM_LBUTTONUP, 0, 160, 20);
    w.Take();
    w.Send(WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
    EXPECT_EQ("a:15 ", w.Take());  // a already has the focus
    EXPECT_FALSE(w.manager.IsCaptured());
}

TEST(ManagerInput, WheelKeysAndContextMenu)
{
    TestWindow w;
    POINT screen = w.Screen(20, 20);
    ::SendMessageW(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(1u, w.a->byType[UIEVENT_SCROLLWHEEL].wParam);  // negative delta
    EXPECT_TRUE(w.Logged("a:9"));                            // followed by a move at the same point
    ::SendMessageW(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(0u, w.a->byType[UIEVENT_SCROLLWHEEL].wParam);

    // Key up without a key control and a keyboard menu without a pressed control do nothing.
    w.Take();
    ::SendMessageW(w.hwnd, WM_KEYUP, 'A', 0);
    ::SendMessageW(w.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(-1, -1));
    EXPECT_EQ("", w.Take());

    w.manager.SetFocus(w.b);
    ::SendMessageW(w.hwnd, WM_KEYDOWN, 'Q', 0);
    ::SendMessageW(w.hwnd, WM_CHAR, 'q', 0);
    w.manager.SetFocus(w.c);  // the key up still goes to the control that got the key down
    w.Take();
    ::SendMessageW(w.hwnd, WM_KEYUP, 'Q', 0);
    EXPECT_EQ("b:4 ", w.Take());
    EXPECT_EQ(L'q', w.b->byType[UIEVENT_CHAR].chKey);

    // The right button makes a pressed control; the context menu goes to it once.
    w.a->SetContextMenuUsed(true);
    w.Send(WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
    for (int i = 0; i < 2; ++i) {
        ::SendMessageW(w.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(screen.x, screen.y));
    }
    EXPECT_EQ(1, w.notes.Count(L"menu"));
}

TEST(ManagerInput, HoverShowsTooltipAndCloseClearsIt)
{
    TestWindow w;
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    w.Send(WM_MOUSEHOVER, 0, 20, 20);
    EXPECT_TRUE(w.Logged("a:12"));
    HWND tip = w.manager.GetTooltipWindow();
    ASSERT_NE(nullptr, tip);
    wchar_t cls[64] = {};
    ::GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(L"tooltips_class32", cls);

    w.Take();
    ::SendMessageW(w.hwnd, WM_CLOSE, 0, 0);  // cancelled by the window
    EXPECT_TRUE(w.Logged("a:10"));
    EXPECT_EQ(nullptr, w.manager.GetTooltipWindow());
    EXPECT_FALSE(::IsWindow(tip));
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    w.Send(WM_MOUSEHOVER, 0, 20, 20);
    EXPECT_NE(nullptr, w.manager.GetTooltipWindow());
}

TEST(ManagerInput, RealMouseEntersHoversAndLeaves)
{
    TestWindow w;
    ASSERT_TRUE(PointAt(w, POINT{30, 30}, "a:11")) << w.Take();
    ASSERT_TRUE(PointAt(w, POINT{31, 30}, "a:12")) << w.Take();  // resting gives the hover
    w.Take();
    ASSERT_TRUE(PointAt(w, POINT{35, 35}, "a:9")) << w.Take();  // a move after the hover tracks again
    w.PointerTo(600, 500);
    EXPECT_TRUE(testutil::pumpUntil([&] { return w.Logged("a:10"); }, 3000)) << w.Take();
}

TEST(ManagerInput, MovingOntoANativeChildKeepsTheHover)
{
    TestWindow w;
    HWND child = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 60, 120, 40, 20, w.hwnd, nullptr, nullptr,
                                   nullptr);
    ASSERT_NE(nullptr, child);
    w.Send(WM_MOUSEMOVE, 0, 20, 110);  // c is hovered, tracking armed
    w.PointerTo(70, 130);              // over c and over the native child
    testutil::pumpFor(50);
    w.Take();
    ::SendMessageW(w.hwnd, WM_MOUSELEAVE, 0, 0);  // what the window gets when the pointer enters the child
    EXPECT_EQ("c:9 ", w.Take());                  // a move at the real point instead of a leave
    ::DestroyWindow(child);

    // Leaving the window for good: the hover control hears it.
    w.Send(WM_MOUSEMOVE, 0, 20, 110);
    w.PointerTo(600, 500);
    testutil::pumpFor(50);
    w.Take();
    ::SendMessageW(w.hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(w.Logged("c:10")) << w.Take();
}

TEST(ManagerTimers, WindowIdsFollowTheSequence)
{
    TestWindow w;
    ASSERT_TRUE(w.manager.SetTimer(w.a, 1, 100000));   // window id 17
    ASSERT_TRUE(w.manager.SetTimer(w.b, 1, 100000));   // 18
    EXPECT_FALSE(w.manager.SetTimer(w.a, 1, 100000));  // already running
    ::SendMessageW(w.hwnd, WM_TIMER, 18, 0);
    EXPECT_EQ("b:24 ", w.Take());
    EXPECT_EQ(1u, w.b->byType[UIEVENT_TIMER].wParam);

    // A killed record keeps its id and is restarted with it.
    EXPECT_TRUE(w.manager.KillTimer(w.a, 1));
    EXPECT_FALSE(w.manager.KillTimer(w.a, 1));
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_EQ("", w.Take());
    EXPECT_TRUE(w.manager.SetTimer(w.a, 1, 100000));
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_EQ("a:24 ", w.Take());

    // The sequence runs to 254 and wraps to 0.
    for (int id = 19; id <= 254; ++id) {
        ASSERT_TRUE(w.manager.SetTimer(w.c, static_cast<UINT>(id), 100000));
    }
    w.manager.KillTimer(w.c);
    ASSERT_TRUE(w.manager.SetTimer(w.c, 1000, 100000));
    ::SendMessageW(w.hwnd, WM_TIMER, 0, 0);
    EXPECT_EQ("c:24 ", w.Take());
    EXPECT_EQ(1000u, w.c->byType[UIEVENT_TIMER].wParam);
}

TEST(ManagerTimers, NoLiveTimerIsLostAfterThreeHundredRecords)
{
    TestWindow w;
    ASSERT_TRUE(w.manager.SetTimer(w.a, 1, 20));  // id 17, stays alive
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(w.manager.SetTimer(w.b, static_cast<UINT>(i), 100000));
        w.manager.KillTimer(w.b);
    }
    ASSERT_TRUE(w.manager.SetTimer(w.b, 7, 20));
    EXPECT_TRUE(testutil::pumpUntil([&] { return w.Logged("a:24") && w.Logged("b:24"); }, 3000)) << w.Take();
    w.Take();
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_EQ("a:24 ", w.Take());

    // A deleted control loses its timers.
    RecControl* extra = new RecControl(L"extra", &w.log);
    w.manager.InitControls(extra, w.root);
    ASSERT_TRUE(w.manager.SetTimer(extra, 1, 10));
    delete extra;
    testutil::pumpFor(60);
    EXPECT_FALSE(w.Logged("extra:24"));
}

TEST(ManagerFocus, FirstTabStopAtInitAndTabWrapsAroundBothWays)
{
    TestWindow w;
    EXPECT_EQ(1, w.windowInits);
    EXPECT_EQ(w.a, w.focusAfterInit);
    w.manager.SetFocus(w.c);
    LRESULT result = 0;
    EXPECT_TRUE(w.manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result));
    EXPECT_EQ(w.a, w.manager.GetFocus());
    w.manager.SetNextTabControl(false);
    EXPECT_EQ(w.c, w.manager.GetFocus());

    // Controls without the tab-stop flag are skipped.
    w.a->SetControlFlags(0);
    w.manager.SetNextTabControl(true);
    EXPECT_EQ(w.b, w.manager.GetFocus());

    // A shortcut on a visible control focuses it through Alt+key.
    w.c->SetShortcut(L'k');
    EXPECT_TRUE(w.manager.PreMessageHandler(WM_SYSCHAR, L'K', 0, result));
    EXPECT_EQ(w.c, w.manager.GetFocus());

    // Focus asked for ahead of the layout lands on the first tab stop at or after the control.
    w.a->SetControlFlags(UIFLAG_TABSTOP);
    w.c->SetControlFlags(0);
    w.manager.SetFocusNeeded(w.c);
    w.Repaint();
    w.Repaint();
    EXPECT_EQ(w.a, w.manager.GetFocus());  // c is no tab stop: wrapped to a
}

TEST(ManagerFocus, FocusAskedAheadOfTheLayoutRestsOnTheFirstTabStopAtOrAfterTheControl)
{
    TestWindow w;
    w.manager.SetFocus(w.a);
    w.Take();
    w.notes.entries.clear();
    w.manager.SetFocusNeeded(w.b);
    EXPECT_EQ(w.b, w.manager.GetFocus());  // at once, not yet told
    EXPECT_EQ("a:20 ", w.Take());
    w.Repaint();
    w.Repaint();
    EXPECT_EQ(w.b, w.manager.GetFocus());
    EXPECT_EQ("b:21 ", w.Take());  // told at the paint; no other control took or lost the focus meanwhile
    EXPECT_EQ(1, w.notes.Count(L"setfocus"));

    // A control that is no tab stop hands the focus to the next one.
    w.b->SetControlFlags(0);
    w.manager.SetFocusNeeded(w.b);
    EXPECT_EQ(w.c, w.manager.GetFocus());
    // Set explicitly before the paint, the focus is told at once and stays.
    w.Take();
    w.manager.SetFocus(w.c);
    EXPECT_EQ("c:21 ", w.Take());
}

TEST(ManagerNotify, QueuedNotificationsMergeWhenAsked)
{
    TestWindow w;
    w.manager.SendNotify(w.a, L"scroll", 1, 0, true, false);
    w.manager.SendNotify(w.a, L"scroll", 2, 0, true, false);
    w.manager.SendNotify(w.b, L"scroll", 3, 0, true, false);
    EXPECT_EQ(0, w.notes.Count(L"scroll"));
    testutil::pumpUntil([&] { return w.notes.Count(L"scroll") >= 2; }, 2000);
    testutil::pumpFor(20);
    ASSERT_EQ(2, w.notes.Count(L"scroll"));
    EXPECT_EQ(2u, w.notes.entries[w.notes.entries.size() - 2].wParam);
    EXPECT_EQ(w.a, w.notes.entries[w.notes.entries.size() - 2].sender);

    w.manager.SendNotify(w.a, L"textchanged", 1, 0, true, true);
    w.manager.SendNotify(w.a, L"textchanged", 2, 0, true, true);
    testutil::pumpUntil([&] { return w.notes.Count(L"textchanged") >= 2; }, 2000);
    EXPECT_EQ(2, w.notes.Count(L"textchanged"));
}

TEST(ManagerNotify, DeletedSenderArrivesAsNull)
{
    TestWindow w;
    RecControl* gone = new RecControl(L"gone", &w.log);
    w.manager.InitControls(gone, w.root);
    w.manager.SendNotify(gone, L"click", 5, 0, true);
    delete gone;
    ASSERT_TRUE(testutil::pumpUntil([&] { return w.notes.Count(L"click") == 1; }, 2000));
    EXPECT_EQ(nullptr, w.notes.entries.back().sender);
    EXPECT_EQ(5u, w.notes.entries.back().wParam);
}

TEST(ManagerCleanup, DelayedDeletionWaitsForTheMessageAndDestroyedControlsLeaveEveryList)
{
    static int destroyed = 0;
    TestWindow w;
    RecControl* late = new RecControl(L"late", &w.log);
    late->OnDestroy += CDelegateStatic([](void*) { return ++destroyed > 0; });
    w.manager.InitControls(late, w.root);
    w.manager.AddMouseLeaveNeeded(late);
    w.manager.AddDelayedCleanup(late);
    EXPECT_EQ(nullptr, late->GetParent());
    EXPECT_EQ(0, destroyed);
    ASSERT_TRUE(testutil::pumpUntil([&] { return destroyed == 1; }, 2000));
    EXPECT_FALSE(w.manager.RemoveMouseLeaveNeeded(late));

    RecControl* owner = new RecControl(L"owner", &w.log);
    w.manager.InitControls(owner, w.root);
    w.manager.AddMouseLeaveNeeded(owner);
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, w.hwnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w.manager.AddNativeWindow(owner, child));
    delete owner;  // not through Delete: the manager's clean-up still forgets it
    EXPECT_FALSE(w.manager.RemoveNativeWindow(child));
    EXPECT_FALSE(w.manager.RemoveMouseLeaveNeeded(owner));
    ::DestroyWindow(child);
}

// Deletes a control of the window (at once, not delayed) when told.
struct Deleter : public INotifyUI {
    void Set(CContainerUI* container, CControlUI* control, int eventType = -1)
    {
        root = container;
        victim = control;
        type = eventType;
    }
    void Run()
    {
        if (victim != nullptr) {
            root->Remove(victim);
            victim = nullptr;
        }
    }
    // OnEvent and OnSize listener: on the event type (any type when -1).
    bool OnEvent(void* param)
    {
        if (type < 0 || static_cast<UiEvent*>(param)->Type == type)
            Run();
        return true;
    }
    bool OnSize(void*)
    {
        Run();
        return true;
    }
    // Notifier: the sender of a "click".
    void Notify(UiNotify& msg) override
    {
        if (msg.sType == L"click" && msg.pSender == victim)
            Run();
    }
    CContainerUI* root = nullptr;
    CControlUI* victim = nullptr;
    int type = -1;
};

// A control deleted by a handler while the manager still holds it for the
// next step: poisoned, so that any later use of it would crash the test.
TEST(ManagerCleanup, ControlsDeletedByHandlersAreNotUsedAfterwards)
{
    Deleter onLeave, onAny, onClick, onSize;  // outlive the window that calls them
    TestWindow w;
    skintest::FaultCounter faults;
    w.root->SetDelayedDestroy(false);
    auto victim = [&w](const wchar_t* name, const wchar_t* pos) {
        auto* control = new skintest::Poisoned<RecControl>(name, &w.log);
        control->SetAttribute(L"float", L"true");
        control->SetAttribute(L"pos", pos);
        w.root->Add(control);
        w.Repaint();
        return control;
    };

    // Leaving a deletes the control being entered.
    onLeave.Set(w.root, victim(L"entered", L"150,100,250,150"), UIEVENT_MOUSELEAVE);
    w.a->OnEvent += CDelegate<Deleter, Deleter>(&onLeave, &Deleter::OnEvent);
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    w.Take();
    w.Send(WM_MOUSEMOVE, 0, 200, 120);
    EXPECT_EQ("a:10 ", w.Take());
    EXPECT_EQ(nullptr, onLeave.victim);

    // A control deleting itself from its own event listener gets no default handling.
    onAny.Set(w.root, victim(L"self", L"150,100,250,150"));
    onAny.victim->OnEvent += CDelegate<Deleter, Deleter>(&onAny, &Deleter::OnEvent);
    onAny.victim->OnEvent += CDelegate<Deleter, Deleter>(&onLeave, &Deleter::OnEvent);  // a second listener
    w.Send(WM_MOUSEMOVE, 0, 200, 121);
    EXPECT_EQ(nullptr, onAny.victim);
    EXPECT_EQ("", w.Take());

    // A notifier deleting the sender: later notifiers get a null sender.
    onClick.Set(w.root, victim(L"clicked", L"150,100,250,150"));
    skintest::NotifyLog later;
    w.manager.AddNotifier(&onClick);
    w.manager.AddNotifier(&later);
    w.manager.SendNotify(onClick.victim, L"click");
    ASSERT_EQ(1, later.Count(L"click"));
    EXPECT_EQ(nullptr, later.entries.back().sender);
    w.manager.RemoveNotifier(&later);
    w.manager.RemoveNotifier(&onClick);

    // A size handler deleting a control that waits for its own layout in the same pass.
    onSize.Set(w.root, victim(L"resized", L"150,100,250,150"));
    w.b->OnSize += CDelegate<Deleter, Deleter>(&onSize, &Deleter::OnSize);
    w.b->NeedUpdate();
    onSize.victim->NeedUpdate();
    w.Repaint();
    EXPECT_EQ(nullptr, onSize.victim);
    EXPECT_EQ(0, faults.Count());
}

TEST(ManagerTranslate, OnlyKeyMessagesHaveTheirImeKeyRewrittenAndTheLoopEndsOnQuit)
{
    TestWindow w;
    MSG msg = {};
    msg.hwnd = w.hwnd;
    msg.message = WM_CHAR;
    msg.wParam = VK_PROCESSKEY;
    CUiManager::TranslateMessage(&msg);
    EXPECT_EQ(static_cast<WPARAM>(VK_PROCESSKEY), msg.wParam);

    // Tab through the pre-translation step moves the focus and consumes the key.
    w.manager.SetFocus(w.a);
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_TAB;
    EXPECT_TRUE(CUiManager::TranslateMessage(&msg));
    EXPECT_EQ(w.b, w.manager.GetFocus());

    w.manager.SendNotify(w.a, L"queued", 0, 0, true);
    ::PostQuitMessage(3);
    CUiManager::MessageLoop();  // runs the queued notification, then returns
    EXPECT_EQ(1, w.notes.Count(L"queued"));
}

TEST(ManagerPaint, InvalidationIsClippedByAncestors)
{
    TestWindow w;
    w.c->SetPos(RECT{250, 150, 350, 250}, false);  // half outside the root
    ::ValidateRect(w.hwnd, nullptr);
    w.c->Invalidate();
    RECT rc = {0, 0, 0, 0};
    ASSERT_TRUE(::GetUpdateRect(w.hwnd, &rc, FALSE));
    EXPECT_TRUE(skintest::RectIs(rc, 250, 150, 300, 200));
    w.c->SetVisible(false);
    ::ValidateRect(w.hwnd, nullptr);
    w.c->Invalidate();  // hidden controls invalidate nothing
    EXPECT_FALSE(::GetUpdateRect(w.hwnd, &rc, FALSE));
}
