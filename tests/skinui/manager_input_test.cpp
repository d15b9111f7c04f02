// CUiManager with a real window (runs under Xvfb): posted and real mouse and
// key input turned into events, capture, hover and leave, tooltips, timers,
// Tab order, queued notifications and delayed clean-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "common/test_util.h"
#include "control_test_tree.h"

using namespace SkinUI;
using testtree::EventLog;
using testtree::NotifyLog;
using testtree::RecControl;
using testtree::TestContainer;

namespace {

// A plain top-level window whose messages go to its manager first.
class TestWindow {
public:
    TestWindow()
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc = {};
            wc.style = CS_DBLCLKS;
            wc.lpfnWndProc = &TestWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
            wc.lpszClassName = L"ZulManagerTestWindow";
            ::RegisterClassW(&wc);
            registered = true;
        }
        ::SetCursorPos(0, 0);  // the real pointer stays off the window unless a test moves it
        // Topmost: windows of tests running beside this one never cover it.
        // Shown after creation: a window created visible takes Wine two seconds to destroy.
        hwnd = ::CreateWindowExW(WS_EX_TOPMOST, L"ZulManagerTestWindow", L"manager test", WS_POPUP, 100, 100, 300,
                                 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        manager.Init(hwnd);
        root = new TestContainer(L"root");
        a = new RecControl(L"a", &log, UIFLAG_TABSTOP);
        a->SetAttribute(L"pos", L"10,10,110,60");
        a->SetAttribute(L"tooltip", L"tip of a");
        b = new RecControl(L"b", &log, UIFLAG_TABSTOP);
        b->SetAttribute(L"pos", L"150,10,250,60");
        c = new RecControl(L"c", &log, UIFLAG_TABSTOP);
        c->SetAttribute(L"pos", L"10,100,110,150");
        root->Add(a);
        root->Add(b);
        root->Add(c);
        manager.AttachDialog(root);
        manager.AddNotifier(&notes);
        ::UpdateWindow(hwnd);  // first paint: layout and "windowinit"
        // The focus asked for at attach time moves at the next paint.
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        ::SetForegroundWindow(hwnd);
        testutil::pumpFor(50);
        windowInits = notes.Count(L"windowinit");
        focusAfterInit = manager.GetFocus();
        manager.SetFocus(nullptr);
        log.clear();
        notes.entries.clear();
    }
    ~TestWindow()
    {
        manager.RemoveNotifier(&notes);
        if (::IsWindow(hwnd)) {
            closing = true;
            ::DestroyWindow(hwnd);
        }
    }
    LRESULT Send(UINT msg, WPARAM wParam, int x, int y)
    {
        return ::SendMessageW(hwnd, msg, wParam, MAKELPARAM(x, y));
    }
    bool Logged(const std::string& entry) const
    {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        TestWindow* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (msg == WM_NCCREATE) {
            self = static_cast<TestWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        if (self != nullptr) {
            LRESULT result = 0;
            if (self->manager.MessageHandler(msg, wParam, lParam, result)) {
                return result;
            }
            if (msg == WM_CLOSE && !self->closing) {
                return 0;  // the tests cancel every close
            }
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND hwnd = nullptr;
    CUiManager manager;
    EventLog log;
    NotifyLog notes;
    TestContainer* root = nullptr;
    RecControl* a = nullptr;
    RecControl* b = nullptr;
    RecControl* c = nullptr;
    bool closing = false;
    int windowInits = 0;
    CControlUI* focusAfterInit = nullptr;
};

std::string Join(const EventLog& log)
{
    std::string text;
    for (const std::string& entry : log) text += entry + " ";
    return text;
}

// Moves the real pointer to a client point and nudges it there until the log
// shows the entry: every real move arms the window's mouse tracking again.
bool PointAt(TestWindow& w, POINT client, const std::string& entry)
{
    POINT screen = client;
    ::ClientToScreen(w.hwnd, &screen);
    for (int i = 0; i < 8; ++i) {
        ::SetCursorPos(screen.x + (i % 2), screen.y);
        if (testutil::pumpUntil([&] { return w.Logged(entry); }, 500)) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(ManagerInput, FirstPaintLaysOutAndSendsWindowInitOnce)
{
    TestWindow w;
    EXPECT_EQ(1, w.windowInits);
    EXPECT_EQ(w.a, w.focusAfterInit);  // the first tab stop takes the focus at the first paints
    const RECT& rc = w.a->GetPos();
    EXPECT_EQ(10, rc.left);
    EXPECT_EQ(60, rc.bottom);
    ::InvalidateRect(w.hwnd, nullptr, FALSE);
    ::UpdateWindow(w.hwnd);
    EXPECT_EQ(0, w.notes.Count(L"windowinit"));
}

TEST(ManagerInput, MouseMovesGiveLeaveEnterAndMoveInOrder)
{
    TestWindow w;
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_EQ("a:11 a:9 ", Join(w.log));
    w.log.clear();
    w.Send(WM_MOUSEMOVE, 0, 30, 20);
    EXPECT_EQ("a:9 ", Join(w.log));
    w.log.clear();
    w.Send(WM_MOUSEMOVE, 0, 160, 20);
    EXPECT_EQ("a:10 b:11 b:9 ", Join(w.log));
    EXPECT_EQ(160, w.manager.GetMousePos().x);

    // Controls on the mouse-leave list hear every leave first.
    w.manager.AddMouseLeaveNeeded(w.c);
    w.manager.AddMouseLeaveNeeded(w.c);
    w.log.clear();
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_EQ("c:10 b:10 a:11 a:9 ", Join(w.log));
}

TEST(ManagerInput, PressCapturesAndDragsToThePressedControl)
{
    TestWindow w;
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    w.log.clear();
    w.Send(WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
    EXPECT_TRUE(w.manager.IsCaptured());
    EXPECT_EQ(w.a, w.manager.GetFocus());
    EXPECT_EQ("a:21 a:13 ", Join(w.log));
    EXPECT_EQ(MK_LBUTTON, w.a->lastEvent.wKeyState);
    EXPECT_EQ(1, w.notes.Count(L"setfocus"));

    w.log.clear();
    w.Send(WM_MOUSEMOVE, MK_LBUTTON, 160, 20);  // dragging over b
    EXPECT_EQ("a:9 ", Join(w.log));
    w.log.clear();
    w.Send(WM_LBUTTONUP, 0, 160, 20);
    EXPECT_FALSE(w.manager.IsCaptured());
    EXPECT_EQ("a:14 ", Join(w.log));

    w.log.clear();
    w.Send(WM_MOUSEMOVE, 0, 161, 20);  // after the drag the hover moves on
    EXPECT_EQ("a:10 b:11 b:9 ", Join(w.log));

    w.log.clear();
    w.Send(WM_LBUTTONDBLCLK, MK_LBUTTON, 160, 20);
    EXPECT_EQ("b:16 ", Join(w.log));
    EXPECT_TRUE(w.manager.IsCaptured());
    w.Send(WM_LBUTTONUP, 0, 160, 20);
    EXPECT_FALSE(w.manager.IsCaptured());

    w.log.clear();
    w.Send(WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
    EXPECT_EQ("a:15 ", Join(w.log));  // a already has the focus
    EXPECT_FALSE(w.manager.IsCaptured());
}

TEST(ManagerInput, WheelKeysAndContextMenu)
{
    TestWindow w;
    POINT screen = {20, 20};
    ::ClientToScreen(w.hwnd, &screen);
    ::SendMessageW(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                   MAKELPARAM(screen.x, screen.y));
    ASSERT_TRUE(w.Logged("a:18"));
    EXPECT_EQ(1u, w.a->byType[UIEVENT_SCROLLWHEEL].wParam);  // negative delta
    EXPECT_TRUE(w.Logged("a:9"));  // followed by a move at the same point
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    ASSERT_TRUE(w.Logged("a:18"));
    EXPECT_EQ(0u, w.a->byType[UIEVENT_SCROLLWHEEL].wParam);

    // Key up without a key control and a keyboard menu without a pressed control do nothing.
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_KEYUP, 'A', 0);
    ::SendMessageW(w.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(-1, -1));
    EXPECT_TRUE(w.log.empty());

    w.manager.SetFocus(w.b);
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_KEYDOWN, 'Q', 0);
    ::SendMessageW(w.hwnd, WM_CHAR, 'q', 0);
    w.manager.SetFocus(w.c);  // the key up still goes to the control that got the key down
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_KEYUP, 'Q', 0);
    EXPECT_EQ("b:4 ", Join(w.log));
    EXPECT_EQ(L'Q', w.b->byType[UIEVENT_KEYUP].chKey);
    EXPECT_EQ(L'q', w.b->byType[UIEVENT_CHAR].chKey);

    // The right button makes a pressed control; the context menu goes to it once.
    w.a->SetContextMenuUsed(true);
    w.Send(WM_RBUTTONDOWN, MK_RBUTTON, 20, 20);
    ::SendMessageW(w.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(1, w.notes.Count(L"menu"));
    ::SendMessageW(w.hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(w.hwnd), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(1, w.notes.Count(L"menu"));
}

TEST(ManagerInput, HoverShowsTooltipAndCloseClearsIt)
{
    TestWindow w;
    w.Send(WM_MOUSEMOVE, 0, 20, 20);
    w.log.clear();
    w.Send(WM_MOUSEHOVER, 0, 20, 20);
    EXPECT_TRUE(w.Logged("a:12"));
    HWND tip = w.manager.GetTooltipWindow();
    ASSERT_NE(nullptr, tip);
    wchar_t cls[64] = {};
    ::GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(L"tooltips_class32", cls);

    w.log.clear();
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
    ASSERT_TRUE(PointAt(w, POINT{30, 30}, "a:11")) << Join(w.log);
    ASSERT_TRUE(PointAt(w, POINT{31, 30}, "a:12")) << Join(w.log);  // resting gives the hover
    w.log.clear();
    ASSERT_TRUE(PointAt(w, POINT{35, 35}, "a:9")) << Join(w.log);  // a move after the hover tracks again

    POINT outside = {600, 500};
    ::ClientToScreen(w.hwnd, &outside);
    ::SetCursorPos(outside.x, outside.y);
    EXPECT_TRUE(testutil::pumpUntil([&] { return w.Logged("a:10"); }, 3000)) << Join(w.log);
}

TEST(ManagerTimers, WindowIdsFollowTheSequence)
{
    TestWindow w;
    ASSERT_TRUE(w.manager.SetTimer(w.a, 1, 100000));  // window id 17
    ASSERT_TRUE(w.manager.SetTimer(w.b, 1, 100000));  // 18
    EXPECT_FALSE(w.manager.SetTimer(w.a, 1, 100000));  // already running
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_TIMER, 18, 0);
    EXPECT_EQ("b:24 ", Join(w.log));
    EXPECT_EQ(1u, w.b->byType[UIEVENT_TIMER].wParam);
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_EQ("a:24 ", Join(w.log));

    // A killed record keeps its id and is restarted with it.
    EXPECT_TRUE(w.manager.KillTimer(w.a, 1));
    EXPECT_FALSE(w.manager.KillTimer(w.a, 1));
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_TRUE(w.log.empty());
    EXPECT_TRUE(w.manager.SetTimer(w.a, 1, 100000));
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_EQ("a:24 ", Join(w.log));

    // The sequence runs to 254 and wraps to 0.
    for (int id = 19; id <= 254; ++id) {
        ASSERT_TRUE(w.manager.SetTimer(w.c, static_cast<UINT>(id), 100000));
    }
    w.manager.KillTimer(w.c);
    ASSERT_TRUE(w.manager.SetTimer(w.c, 1000, 100000));
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_TIMER, 0, 0);
    EXPECT_EQ("c:24 ", Join(w.log));
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
    w.log.clear();
    EXPECT_TRUE(testutil::pumpUntil([&] { return w.Logged("a:24") && w.Logged("b:24"); }, 3000)) << Join(w.log);
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_TIMER, 17, 0);
    EXPECT_EQ("a:24 ", Join(w.log));

    // A deleted control loses its timers.
    RecControl* extra = new RecControl(L"extra", &w.log);
    w.manager.InitControls(extra, w.root);
    ASSERT_TRUE(w.manager.SetTimer(extra, 1, 10));
    delete extra;
    w.log.clear();
    testutil::pumpFor(60);
    EXPECT_FALSE(w.Logged("extra:24"));
}

TEST(ManagerFocus, TabWrapsAroundBothWays)
{
    TestWindow w;
    w.manager.SetFocus(w.c);
    LRESULT result = 0;
    EXPECT_TRUE(w.manager.PreMessageHandler(WM_KEYDOWN, VK_TAB, 0, result));
    EXPECT_EQ(w.a, w.manager.GetFocus());
    w.manager.SetNextTabControl(true);
    EXPECT_EQ(w.b, w.manager.GetFocus());
    w.manager.SetFocus(w.a);
    w.manager.SetNextTabControl(false);
    EXPECT_EQ(w.c, w.manager.GetFocus());
    w.manager.SetNextTabControl(false);
    EXPECT_EQ(w.b, w.manager.GetFocus());

    // Controls without the tab-stop flag are skipped.
    w.a->SetControlFlags(0);
    w.manager.SetFocus(w.c);
    w.manager.SetNextTabControl(true);
    EXPECT_EQ(w.b, w.manager.GetFocus());

    // A shortcut on a visible control focuses it through Alt+key.
    w.c->SetShortcut(L'k');
    EXPECT_TRUE(w.manager.PreMessageHandler(WM_SYSCHAR, L'K', 0, result));
    EXPECT_EQ(w.c, w.manager.GetFocus());
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

    // Synchronous "click" carries the sender and its name.
    w.manager.SendNotify(w.b, L"click");
    EXPECT_EQ(L"b", w.notes.entries.back().senderName);
}

TEST(ManagerNotify, DeletedSenderArrivesAsNull)
{
    TestWindow w;
    RecControl* gone = new RecControl(L"gone", &w.log);
    w.manager.InitControls(gone, w.root);
    w.manager.SendNotify(gone, L"click", 5, 0, true);
    delete gone;
    EXPECT_EQ(nullptr, w.manager.FindControl(L"gone"));
    ASSERT_TRUE(testutil::pumpUntil([&] { return w.notes.Count(L"click") == 1; }, 2000));
    EXPECT_EQ(nullptr, w.notes.entries.back().sender);
    EXPECT_EQ(5u, w.notes.entries.back().wParam);
}

TEST(ManagerCleanup, DelayedDeletionWaitsForTheMessage)
{
    static int destroyed = 0;
    struct Count {
        static bool Destroy(void*) { ++destroyed; return true; }
    };
    TestWindow w;
    RecControl* late = new RecControl(L"late", &w.log);
    late->OnDestroy += CDelegateStatic(&Count::Destroy);
    w.manager.InitControls(late, w.root);
    w.manager.AddMouseLeaveNeeded(late);
    w.manager.AddDelayedCleanup(late);
    EXPECT_EQ(nullptr, late->GetParent());
    EXPECT_EQ(0, destroyed);
    ASSERT_TRUE(testutil::pumpUntil([&] { return destroyed == 1; }, 2000));
    EXPECT_FALSE(w.manager.RemoveMouseLeaveNeeded(late));

    // Any destroyed control leaves the native-window list too.
    RecControl* owner = new RecControl(L"owner", &w.log);
    w.manager.InitControls(owner, w.root);
    w.manager.AddMouseLeaveNeeded(owner);
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 0, 0, 10, 10, w.hwnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w.manager.AddNativeWindow(owner, child));
    EXPECT_FALSE(w.manager.AddNativeWindow(owner, child));
    delete owner;  // not through Delete: the manager's clean-up still forgets it
    EXPECT_FALSE(w.manager.RemoveNativeWindow(child));
    EXPECT_FALSE(w.manager.RemoveMouseLeaveNeeded(owner));
    ::DestroyWindow(child);
}

TEST(ManagerTranslate, OnlyKeyMessagesHaveTheirImeKeyRewritten)
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
    msg.hwnd = nullptr;
    EXPECT_FALSE(CUiManager::TranslateMessage(&msg));
}

TEST(ManagerPaint, InvalidationIsClippedByAncestors)
{
    TestWindow w;
    w.c->SetPos(RECT{250, 150, 350, 250}, false);  // half outside the root
    ::ValidateRect(w.hwnd, nullptr);
    w.c->Invalidate();
    RECT rc = {0, 0, 0, 0};
    ASSERT_TRUE(::GetUpdateRect(w.hwnd, &rc, FALSE));
    EXPECT_EQ(250, rc.left);
    EXPECT_EQ(150, rc.top);
    EXPECT_EQ(300, rc.right);
    EXPECT_EQ(200, rc.bottom);

    w.c->SetVisible(false);
    ::ValidateRect(w.hwnd, nullptr);
    w.c->Invalidate();  // hidden controls invalidate nothing
    EXPECT_FALSE(::GetUpdateRect(w.hwnd, &rc, FALSE));
}

TEST(ManagerInput, SetCursorGoesOnlyToControlsThatAskForIt)
{
    TestWindow w;
    POINT over = {20, 20};
    ::ClientToScreen(w.hwnd, &over);
    ::SetCursorPos(over.x, over.y);
    LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    ::SendMessageW(w.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd), hit);
    EXPECT_FALSE(w.Logged("a:23"));
    w.a->SetControlFlags(UIFLAG_TABSTOP | UIFLAG_SETCURSOR);
    EXPECT_EQ(TRUE, ::SendMessageW(w.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd), hit));
    EXPECT_TRUE(w.Logged("a:23"));

    w.log.clear();
    w.manager.SetCapture();  // while capturing the cursor stays as it is
    EXPECT_EQ(TRUE, ::SendMessageW(w.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd), hit));
    EXPECT_TRUE(w.log.empty());
    w.manager.ReleaseCapture();
}

TEST(ManagerFocus, NativeChildFocusAndFocusNeeded)
{
    TestWindow w;
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 150, 10, 100, 50, w.hwnd, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    ASSERT_TRUE(w.manager.AddNativeWindow(w.b, edit));
    ::SetFocus(w.hwnd);
    w.manager.SetFocus(w.a);
    ::SetFocus(edit);  // the window loses the focus to the child owned by b
    EXPECT_EQ(w.b, w.manager.GetFocus());
    ::DestroyWindow(edit);

    // Focus asked for ahead of the layout lands on the first tab stop at or after the control.
    w.c->SetControlFlags(0);
    w.manager.SetFocusNeeded(w.c);
    for (int i = 0; i < 2; ++i) {
        ::InvalidateRect(w.hwnd, nullptr, FALSE);
        ::UpdateWindow(w.hwnd);
    }
    EXPECT_EQ(w.a, w.manager.GetFocus());  // c is no tab stop: wrapped to a
    w.c->SetControlFlags(UIFLAG_TABSTOP);
    w.manager.SetFocusNeeded(w.c);
    for (int i = 0; i < 2; ++i) {
        ::InvalidateRect(w.hwnd, nullptr, FALSE);
        ::UpdateWindow(w.hwnd);
    }
    EXPECT_EQ(w.c, w.manager.GetFocus());
}

TEST(ManagerLoop, EndsOnQuit)
{
    TestWindow w;
    w.manager.SendNotify(w.a, L"queued", 0, 0, true);
    ::PostQuitMessage(3);
    CUiManager::MessageLoop();  // runs the queued notification, then returns
    EXPECT_EQ(1, w.notes.Count(L"queued"));
}

TEST(ManagerInput, MovingOntoANativeChildKeepsTheHover)
{
    TestWindow w;
    HWND child = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE, 60, 120, 40, 20, w.hwnd, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    ::SetForegroundWindow(w.hwnd);
    w.Send(WM_MOUSEMOVE, 0, 20, 110);  // c is hovered, tracking armed
    ASSERT_EQ(w.c, w.manager.FindControl(POINT{70, 130}));
    POINT onChild = {70, 130};  // over c and over the native child
    ::ClientToScreen(w.hwnd, &onChild);
    ::SetCursorPos(onChild.x, onChild.y);
    testutil::pumpFor(50);
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_MOUSELEAVE, 0, 0);  // what the window gets when the pointer enters the child
    EXPECT_FALSE(w.Logged("c:10")) << Join(w.log);
    EXPECT_TRUE(w.Logged("c:9")) << Join(w.log);  // a move at the real point instead
    ::DestroyWindow(child);

    // Leaving the window for good: the hover control hears it.
    w.Send(WM_MOUSEMOVE, 0, 20, 110);
    POINT outside = {600, 500};
    ::ClientToScreen(w.hwnd, &outside);
    ::SetCursorPos(outside.x, outside.y);
    testutil::pumpFor(50);
    w.log.clear();
    ::SendMessageW(w.hwnd, WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(w.Logged("c:10")) << Join(w.log);
}
