// The window base classes: binding, objects deleted before their windows,
// notify maps, the borderless behaviour of skinned windows (hit test,
// maximise, round corners, Escape), delayed deletion of container children,
// windows that close and delete themselves from a click, a skin that cannot
// be built (in a child process), and the demo window's painted pixels.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/test_util.h"
#include "demo/demo_window.h"
#include "skinui/controls/activex_ui.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/core/window_impl_base.h"
#include "skinui/core/window_wnd.h"
#include "test_helpers.h"

using namespace SkinUI;

namespace {

// A skinned window whose skin is XML text handed to the constructor.
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(const wchar_t* skin) : m_skin(skin) {}
    // A test that stops early must not leave a window bound to a dead object.
    ~TestWindow() override
    {
        if (GetHWND() != nullptr)
            ::DestroyWindow(GetHWND());
    }
    bool destroyed = false;
    int initCount = 0;

    HWND Open(int x = 100, int y = 100)
    {
        if (Create(nullptr, L"skinui test", WS_POPUP | WS_VISIBLE, 0) == nullptr)
            return nullptr;
        ::SetWindowPos(GetHWND(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        ::UpdateWindow(GetHWND());
        testutil::pumpFor(30);
        return GetHWND();
    }

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUITestWindow"; }
    CUiString GetSkinFolder() override { return L""; }
    CUiString GetSkinFile() override { return m_skin; }
    CControlUI* CreateControl(const wchar_t* className) override
    {
        return wcscmp(className, L"Counted") == 0 ? new skintest::CountedControl(L"Button") : nullptr;
    }
    void InitWindow() override { ++initCount; }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        destroyed = true;
    }

private:
    CUiString m_skin;
};

class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CUiManager::SetInstance(::GetModuleHandleW(nullptr));
        RegisterControlElements();
        CUiManager::SetLanguage(L"en_US", L"en_US");
        CUiManager::LoadZipResource(129, L"multi_language.tsv");
    }
    static LRESULT HitTest(HWND hWnd, int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(hWnd, &pt);
        return ::SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    }
    static RECT WorkArea(HWND hWnd)
    {
        MONITORINFO mi = {};
        mi.cbSize = sizeof(mi);
        ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
        return mi.rcWork;
    }
    // Runs the thread's queue the way the programs do: pre-translation first.
    static bool RunUntil(const std::function<bool()>& done, DWORD timeoutMs)
    {
        DWORD start = ::GetTickCount();
        while (!done()) {
            if (::GetTickCount() - start > timeoutMs)
                return false;
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!CUiManager::TranslateMessage(&msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageW(&msg);
                }
            }
            ::Sleep(5);
        }
        return true;
    }
};

// ---- Notify maps ----

class BaseWnd : public TestWindow {
public:
    BaseWnd() : TestWindow(L"<Window><Container/></Window>") {}
    SKINUI_DECLARE_NOTIFY_MAP()
    void OnOk(UiNotify&) { ++okClicks; }
    LRESULT OnValue(WPARAM wParam, LPARAM lParam)
    {
        lastValue = static_cast<int>(wParam + lParam);
        return 0;
    }
    void OnClick(UiNotify& msg) override
    {
        ++baseClicks;
        WindowImplBase::OnClick(msg);
    }
    int okClicks = 0;
    int baseClicks = 0;
    int lastValue = 0;
};

SKINUI_BEGIN_NOTIFY_MAP(BaseWnd, WindowImplBase)
    SKINUI_ON_CLICK(L"okbtn", &BaseWnd::OnOk)
    SKINUI_ON_NOTIFY_PARAMS(L"valuechanged", L"", &BaseWnd::OnValue)
SKINUI_END_NOTIFY_MAP()

class DerivedWnd : public BaseWnd {
public:
    SKINUI_DECLARE_NOTIFY_MAP()
    void OnKeepOpen(UiNotify&) { ++keepOpenClicks; }
    int keepOpenClicks = 0;
};

SKINUI_BEGIN_NOTIFY_MAP(DerivedWnd, BaseWnd)
    SKINUI_ON_CLICK(L"closebtn", &DerivedWnd::OnKeepOpen)
SKINUI_END_NOTIFY_MAP()

class SidePump : public CNotifyPump {
public:
    SKINUI_DECLARE_NOTIFY_MAP()
    void OnAny(UiNotify&) { ++hits; }
    int hits = 0;
};

SKINUI_BEGIN_NOTIFY_MAP(SidePump, CNotifyPump)
    SKINUI_ON_NOTIFY(L"click", &SidePump::OnAny)
SKINUI_END_NOTIFY_MAP()

UiNotify MakeNotify(const wchar_t* type, CControlUI* sender, const wchar_t* virtualWnd = L"")
{
    UiNotify msg;
    msg.sType = type;
    msg.pSender = sender;
    msg.sVirtualWnd = virtualWnd;
    return msg;
}

TEST_F(WindowTest, NotifyMapRoutesByTypeAndNameThroughTheBaseChain)
{
    DerivedWnd wnd;
    CControlUI ok, other, close;
    ok.SetName(L"okbtn");
    other.SetName(L"OKBTN");
    close.SetName(L"closebtn");
    UiNotify click = MakeNotify(L"click", &ok);
    EXPECT_TRUE(wnd.NotifyPump(click));
    EXPECT_EQ(wnd.okClicks, 1);
    EXPECT_EQ(wnd.baseClicks, 0);
    // Names compare exactly: the other control reaches the root entry, the
    // virtual OnClick of WindowImplBase's map (overridden by BaseWnd).
    click = MakeNotify(L"click", &other);
    EXPECT_TRUE(wnd.NotifyPump(click));
    EXPECT_EQ(wnd.baseClicks, 1);
    click = MakeNotify(L"click", &close);  // the most derived map wins for "closebtn"
    EXPECT_TRUE(wnd.NotifyPump(click));
    EXPECT_EQ(wnd.keepOpenClicks, 1);
    EXPECT_EQ(wnd.baseClicks, 1);

    UiNotify value = MakeNotify(L"valuechanged", &other);
    value.wParam = 40;
    value.lParam = 2;
    EXPECT_TRUE(wnd.NotifyPump(value));
    EXPECT_EQ(wnd.lastValue, 42);
    UiNotify unknown = MakeNotify(L"CLICK", &ok);  // types compare exactly
    EXPECT_FALSE(wnd.NotifyPump(unknown));
    UiNotify orphan = MakeNotify(L"click", nullptr);  // a sender deleted meanwhile
    EXPECT_TRUE(wnd.NotifyPump(orphan));
    EXPECT_EQ(wnd.baseClicks, 2);

    // A virtual window's pump gets the notifications addressed to it.
    SidePump side;
    EXPECT_TRUE(wnd.AddVirtualWnd(L"side", &side));
    EXPECT_FALSE(wnd.AddVirtualWnd(L"side", &side));
    click = MakeNotify(L"click", &ok, L"SIDE");
    EXPECT_TRUE(wnd.NotifyPump(click));
    EXPECT_EQ(side.hits, 1);
    EXPECT_EQ(wnd.okClicks, 1);
    EXPECT_TRUE(wnd.RemoveVirtualWnd(L"side"));
}

TEST_F(WindowTest, ClickOnCloseButtonClosesTheWindowWithResultOne)
{
    BaseWnd wnd;
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(wnd.initCount, 1);
    CControlUI close;
    close.SetName(L"closebtn");
    UiNotify click = MakeNotify(L"click", &close);
    wnd.Notify(click);
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, hWnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(RunUntil([&] { return wnd.destroyed; }, 3000));
    EXPECT_EQ(wnd.GetHWND(), nullptr);
}

// ---- Binding ----

// A window of its own class, or superclassing another; it notes whether it
// was unbound (user data and "WndX" property gone) before its final message.
class BoundWnd : public CWindowWnd {
public:
    BoundWnd(const wchar_t* className, const wchar_t* superClass) : m_class(className), m_super(superClass) {}
    bool unboundAtFinal = false;

protected:
    const wchar_t* GetWindowClassName() const override { return m_class; }
    const wchar_t* GetSuperClassName() const override { return m_super; }
    void OnFinalMessage(HWND hWnd) override
    {
        unboundAtFinal = GetHWND() == nullptr && ::GetWindowLongPtrW(hWnd, GWLP_USERDATA) == 0 &&
                         ::GetPropW(hWnd, L"WndX") == nullptr;
    }

private:
    const wchar_t* m_class;
    const wchar_t* m_super;
};

TEST_F(WindowTest, WindowsAreBoundThroughUserDataOrTheWndXProperty)
{
    BoundWnd plain(L"SkinUITestPlain", nullptr);
    HWND hPlain = plain.Create(nullptr, L"plain", WS_POPUP, 0, 0, 0, 10, 10);
    ASSERT_NE(hPlain, nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(hPlain, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&plain));
    ::DestroyWindow(hPlain);
    EXPECT_TRUE(plain.unboundAtFinal);

    BoundWnd super(L"SkinUITestStatic", L"STATIC");
    HWND hSuper = super.Create(nullptr, L"static text", WS_POPUP, 0, 0, 0, 50, 20);
    ASSERT_NE(hSuper, nullptr);
    EXPECT_EQ(::GetPropW(hSuper, L"WndX"), static_cast<HANDLE>(&super));
    wchar_t text[32] = L"";
    ::GetWindowTextW(hSuper, text, 32);  // the superclassed procedure still answers
    EXPECT_STREQ(text, L"static text");
    ::DestroyWindow(hSuper);
    EXPECT_TRUE(super.unboundAtFinal);  // the property removed, not left holding null

    BoundWnd again(L"SkinUITestPlain", nullptr);  // a second object of the class registers again
    HWND hAgain = again.Create(nullptr, L"again", WS_POPUP, 0);
    EXPECT_NE(hAgain, nullptr);
    ::DestroyWindow(hAgain);
}

TEST_F(WindowTest, AnObjectDeletedBeforeItsWindowTakesTheWindowAlong)
{
    // Poisoned objects: a message reaching one after its deletion would crash.
    for (const wchar_t* superClass : {static_cast<const wchar_t*>(nullptr), L"STATIC"}) {
        auto* wnd = new skintest::Poisoned<BoundWnd>(superClass ? L"SkinUITestStatic" : L"SkinUITestPlain", superClass);
        HWND hWnd = wnd->Create(nullptr, L"short-lived", WS_POPUP, 0, 0, 0, 10, 10);
        ASSERT_NE(hWnd, nullptr);
        delete wnd;
        ::SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"late"));
        EXPECT_FALSE(::IsWindow(hWnd));
    }

    // A window of these classes made without its object stays unbound.
    for (const wchar_t* className : {L"SkinUITestPlain", L"SkinUITestStatic"}) {
        HWND orphan = ::CreateWindowExW(0, className, L"orphan", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        CUiManager::GetInstance(), nullptr);
        ASSERT_NE(orphan, nullptr) << testutil::narrow(className);
        EXPECT_EQ(::GetWindowLongPtrW(orphan, GWLP_USERDATA), 0);
        EXPECT_EQ(::GetPropW(orphan, L"WndX"), nullptr);
        ::DestroyWindow(orphan);
    }
}

// ---- Borderless behaviour ----

const wchar_t kCaptionSkin[] = L"<Window size=\"400,300\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" mininfo=\"320,200\">"
                               L"<Container name=\"root\">"
                               L"  <Control name=\"title\" float=\"true\" pos=\"0,0,200,40\"/>"
                               L"  <Counted name=\"capbtn\" float=\"true\" pos=\"300,5,330,35\"/>"
                               L"  <Control name=\"body\" float=\"true\" pos=\"0,40,400,300\"/>"
                               L"</Container></Window>";

TEST_F(WindowTest, HitTestAnswersSizeBoxCaptionAndButtonsInTheCaption)
{
    TestWindow wnd(kCaptionSkin);
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ASSERT_TRUE(skintest::RectIs(rc, 0, 0, 400, 300));
    EXPECT_EQ(HitTest(hWnd, 1, 1), HTTOPLEFT);
    EXPECT_EQ(HitTest(hWnd, 200, 1), HTTOP);
    EXPECT_EQ(HitTest(hWnd, 399, 150), HTRIGHT);
    EXPECT_EQ(HitTest(hWnd, 399, 299), HTBOTTOMRIGHT);
    EXPECT_EQ(HitTest(hWnd, 100, 20), HTCAPTION);  // over a plain control
    EXPECT_EQ(HitTest(hWnd, 250, 20), HTCAPTION);  // over the root container
    EXPECT_EQ(HitTest(hWnd, 310, 20), HTCLIENT);   // over a button
    EXPECT_EQ(HitTest(hWnd, 100, 100), HTCLIENT);  // below the caption

    // The tracking limits come from the work area and "mininfo".
    MINMAXINFO info = {};
    ::SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT work = WorkArea(hWnd);
    EXPECT_EQ(info.ptMaxTrackSize.x, work.right - work.left);
    EXPECT_EQ(info.ptMaxTrackSize.y, work.bottom - work.top);
    EXPECT_EQ(info.ptMinTrackSize.x, 320);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);

    wnd.CenterWindow();
    ::GetWindowRect(hWnd, &rc);
    EXPECT_EQ(rc.left, (work.left + work.right) / 2 - 200);
    EXPECT_EQ(rc.top, (work.top + work.bottom) / 2 - 150);
}

TEST_F(WindowTest, MaximiseFillsTheWorkAreaAndSwapsMaxAndRestoreButtons)
{
    TestWindow wnd(L"<Window size=\"400,300\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\"><Container>"
                   L"  <Control name=\"maxbtn\" float=\"true\" pos=\"340,0,370,30\"/>"
                   L"  <Control name=\"restorebtn\" float=\"true\" pos=\"340,0,370,30\" visible=\"false\"/>"
                   L"</Container></Window>");
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    CControlUI* maxButton = wnd.GetManager().FindControl(L"maxbtn");
    CControlUI* restoreButton = wnd.GetManager().FindControl(L"restorebtn");
    ASSERT_TRUE(maxButton != nullptr && restoreButton != nullptr);

    ::SendMessageW(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    testutil::pumpFor(50);
    ASSERT_TRUE(::IsZoomed(hWnd));
    RECT rcWindow;
    ::GetWindowRect(hWnd, &rcWindow);
    RECT work = WorkArea(hWnd);
    EXPECT_TRUE(skintest::RectIs(rcWindow, work.left, work.top, work.right, work.bottom));
    EXPECT_FALSE(maxButton->IsVisible());
    EXPECT_TRUE(restoreButton->IsVisible());
    // A maximised window has no size box: the corner is caption or client.
    LRESULT corner = HitTest(hWnd, 1, 1);
    EXPECT_TRUE(corner == HTCAPTION || corner == HTCLIENT) << corner;

    ::SendMessageW(hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
    testutil::pumpFor(50);
    EXPECT_FALSE(::IsZoomed(hWnd));
    EXPECT_TRUE(maxButton->IsVisible());
    EXPECT_FALSE(restoreButton->IsVisible());
    EXPECT_EQ(HitTest(hWnd, 1, 1), HTTOPLEFT);

    // With only one of the two buttons nothing is swapped.
    TestWindow single(L"<Window size=\"400,300\"><Container>"
                      L"<Control name=\"maxbtn\" float=\"true\" pos=\"340,0,370,30\"/></Container></Window>");
    ASSERT_NE(single.Open(), nullptr);
    ::SendMessageW(single.GetHWND(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(single.GetManager().FindControl(L"maxbtn")->IsVisible());
}

TEST_F(WindowTest, RoundCornersCutTheRegionAndEscapeClosesButReturnDoesNot)
{
    TestWindow wnd(L"<Window size=\"400,300\" roundcorner=\"12,12\"><Container/></Window>");
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    ::SetWindowPos(hWnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(hWnd, region), ERROR);
    RECT box;
    ::GetRgnBox(region, &box);
    EXPECT_TRUE(skintest::RectIs(box, 0, 0, 300, 200));
    EXPECT_FALSE(::PtInRegion(region, 0, 0));  // the corner is cut
    EXPECT_TRUE(::PtInRegion(region, 150, 199));
    ::DeleteObject(region);

    ::PostMessageW(hWnd, WM_KEYDOWN, VK_RETURN, 0);
    RunUntil([] { return false; }, 100);
    EXPECT_FALSE(wnd.destroyed);
    ::PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);  // through the pre-translation filter
    EXPECT_TRUE(RunUntil([&] { return wnd.destroyed; }, 3000));
}

TEST_F(WindowTest, RemovedChildrenLiveUntilTheCleanupMessage)
{
    int before = skintest::CountedControl::live;
    TestWindow wnd(L"<Window size=\"200,100\"><Container name=\"root\"><Counted name=\"victim\"/>"
                   L"<Counted name=\"keeper\"/></Container></Window>");
    ASSERT_NE(wnd.Open(), nullptr);
    ASSERT_EQ(skintest::CountedControl::live, before + 2);
    CContainerUI* root = static_cast<CContainerUI*>(wnd.GetManager().GetRoot()->GetInterface(L"Container"));
    CControlUI* victim = wnd.GetManager().FindControl(L"victim");
    ASSERT_TRUE(root->Remove(victim));
    EXPECT_EQ(root->GetCount(), 1);
    EXPECT_EQ(skintest::CountedControl::live, before + 2);  // still alive: events may reach it
    EXPECT_EQ(wnd.GetManager().FindControl(L"victim"), victim);
    testutil::pumpFor(50);
    EXPECT_EQ(skintest::CountedControl::live, before + 1);
    EXPECT_EQ(wnd.GetManager().FindControl(L"victim"), nullptr);
}

// ---- Windows that go while their own handlers run ----

// Deletes itself when its window goes, as the message boxes do, and closes
// itself from a click on its "okbtn".
class SelfClosingWnd : public WindowImplBase {
public:
    explicit SelfClosingWnd(bool* deleted) : m_deleted(deleted) {}
    ~SelfClosingWnd() override { *m_deleted = true; }
    SKINUI_DECLARE_NOTIFY_MAP()
    void OnOk(UiNotify&) { ::DestroyWindow(GetHWND()); }

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUITestSelfClosing"; }
    CUiString GetSkinFolder() override { return L""; }
    CUiString GetSkinFile() override
    {
        return L"<Window size=\"200,100\"><Container><Button name=\"okbtn\" float=\"true\" pos=\"10,10,90,40\"/>"
               L"</Container></Window>";
    }
    void OnFinalMessage(HWND hWnd) override
    {
        WindowImplBase::OnFinalMessage(hWnd);
        delete this;
    }

private:
    bool* m_deleted;
};

SKINUI_BEGIN_NOTIFY_MAP(SelfClosingWnd, WindowImplBase)
    SKINUI_ON_CLICK(L"okbtn", &SelfClosingWnd::OnOk)
SKINUI_END_NOTIFY_MAP()

TEST_F(WindowTest, AWindowClosingAndDeletingItselfFromAClickEndsTheDispatch)
{
    // Poisoned: any use of the window object or its manager after the click would crash.
    bool deleted = false;
    SelfClosingWnd* wnd = new skintest::Poisoned<SelfClosingWnd>(&deleted);
    HWND hWnd = wnd->Create(nullptr, L"self closing", WS_POPUP | WS_VISIBLE, 0, 100, 100, 200, 100);
    ASSERT_NE(hWnd, nullptr);
    ::UpdateWindow(hWnd);
    skintest::NotifyLog later;  // told after the window itself
    wnd->GetManager().AddNotifier(&later);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    EXPECT_TRUE(deleted);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(later.Count(L"click"), 0);  // the window went before it could be told

    // The same click from the queue of notifications, with more queued behind it.
    deleted = false;
    wnd = new skintest::Poisoned<SelfClosingWnd>(&deleted);
    hWnd = wnd->Create(nullptr, L"self closing", WS_POPUP | WS_VISIBLE, 0, 100, 100, 200, 100);
    ASSERT_NE(hWnd, nullptr);
    CControlUI* ok = wnd->GetManager().FindControl(L"okbtn");
    ASSERT_NE(ok, nullptr);
    wnd->GetManager().SendNotify(ok, L"click", 0, 0, true);
    wnd->GetManager().SendNotify(ok, L"timer", 0, 0, true);
    EXPECT_TRUE(RunUntil([&] { return deleted; }, 3000));
    EXPECT_FALSE(::IsWindow(hWnd));
}

// The dialog box of another process, or null.
struct DialogSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchProcessDialog(HWND hWnd, LPARAM lParam)
{
    DialogSearch* s = reinterpret_cast<DialogSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    wchar_t cls[32] = L"";
    ::GetClassNameW(hWnd, cls, 32);
    if (owner == s->processId && wcscmp(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd)) {
        s->found = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindProcessDialog(DWORD processId)
{
    DialogSearch search = {processId, nullptr};
    ::EnumWindows(&MatchProcessDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(WindowTest, ASkinThatCannotBeBuiltEndsTheProcessWithItsLineOnDisk)
{
    testutil::TempDir dir;
    const std::wstring log = dir.file(L"broken.log");
    std::wstring command = L"\"" + testutil::exeDir() + L"skinui_broken_skin.exe\" \"" + log + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
    ::CloseHandle(child.hThread);
    HWND box = nullptr;
    EXPECT_TRUE(testutil::pumpUntil([&] { return (box = FindProcessDialog(child.dwProcessId)) != nullptr; }, 20000));
    // Already on disk while the error box is up, before the process ends.
    std::string written = testutil::readFile(log);
    EXPECT_NE(written.find("skin missing_skin.xml not built"), std::string::npos) << written;
    if (box != nullptr) {
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    DWORD code = 0;
    if (::WaitForSingleObject(child.hProcess, 20000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the process did not end";
        ::TerminateProcess(child.hProcess, 9);
        ::WaitForSingleObject(child.hProcess, 5000);
    }
    ::GetExitCodeProcess(child.hProcess, &code);
    ::CloseHandle(child.hProcess);
    EXPECT_EQ(code, 1u);
    EXPECT_NE(testutil::readFile(log).find("skin missing_skin.xml not built"), std::string::npos);
}

// ---- The demo window ----

using skintest::OffscreenPixel;

class DemoTest : public WindowTest {};

TEST_F(DemoTest, DemoWindowPaintsItsSkinFromTheArchive)
{
    skindemo::DemoWindow wnd(false);
    HWND hWnd = wnd.Create(nullptr, L"SkinUI demo", WS_POPUP | WS_VISIBLE, 0);
    ASSERT_NE(hWnd, nullptr);
    wnd.CenterWindow();
    ::UpdateWindow(hWnd);
    testutil::pumpFor(50);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    EXPECT_TRUE(skintest::RectIs(rc, 0, 0, 980, 940));
    CUiManager& pm = wnd.GetManager();
    EXPECT_EQ(OffscreenPixel(pm, 330, 240), 0xF3F5F9u);  // the page between the cards
    EXPECT_EQ(OffscreenPixel(pm, 600, 10), 0x1F2A44u);   // caption band
    EXPECT_EQ(OffscreenPixel(pm, 954, 26), 0xC8D2E6u);   // the close button's cross (normal image)
    EXPECT_EQ(OffscreenPixel(pm, 30, 80), 0x1F2A44u);    // the first page's option, selected
    EXPECT_EQ(OffscreenPixel(pm, 300, 150), 0xFFFFFFu);  // a card (first section file)
    EXPECT_EQ(OffscreenPixel(pm, 18, 240), 0xE2E7EFu);   // its border

    // Each page and section file was included, the child layout built its own.
    for (const wchar_t* name : {L"layoutsection", L"labelsection", L"buttonsection", L"progresssection", L"tabsection",
                                L"scrollsection", L"aboutcard", L"optionsection", L"editsection", L"datesection",
                                L"msgboxsection", L"richsection", L"listsection"}) {
        EXPECT_NE(pm.FindControl(name), nullptr) << testutil::narrow(name);
    }
    CControlUI* bar = pm.FindControl(L"progress35");
    ASSERT_NE(bar, nullptr);
    const RECT& rcBar = bar->GetPos();
    const int mid = (rcBar.top + rcBar.bottom) / 2;
    EXPECT_EQ(OffscreenPixel(pm, rcBar.right - 8, mid), 0xE6EBF2u);  // the track
    DWORD fill = OffscreenPixel(pm, rcBar.left + (rcBar.right - rcBar.left) / 5, mid);
    EXPECT_GT(skintest::Blue(fill), 0xE0u) << std::hex << fill;  // the fill, blue to violet
    EXPECT_LT(skintest::Green(fill), 0xA0u) << std::hex << fill;

    // Clicks are routed by control name: the action button counts, a tab
    // header shows its page, the close button closes.
    auto click = [&](const wchar_t* name) {
        CControlUI* control = pm.FindControl(name);
        ASSERT_NE(control, nullptr);
        const RECT& pos = control->GetPos();
        LPARAM at = MAKELPARAM((pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2);
        ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(hWnd, WM_LBUTTONUP, 0, at);
    };
    click(L"actionbtn");
    EXPECT_EQ(wnd.GetActionClicks(), 1);
    click(L"tab2");
    auto* tabs = static_cast<CContainerUI*>(pm.FindControl(L"demotabs"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(tabs->GetItemAt(2)->IsVisible());

    // The page options show their pages.
    CControlUI* basics = pm.FindControl(L"sections");
    CControlUI* input = pm.FindControl(L"inputsections");
    ASSERT_TRUE(basics != nullptr && input != nullptr);
    EXPECT_TRUE(basics->IsVisible());
    EXPECT_FALSE(input->IsVisible());
    click(L"page_input");
    EXPECT_FALSE(basics->IsVisible());
    EXPECT_TRUE(input->IsVisible());
    EXPECT_TRUE(wnd.ShowPage(L"basics"));
    EXPECT_TRUE(basics->IsVisible());
    EXPECT_FALSE(wnd.ShowPage(L"nosuchpage"));
    click(L"closebtn");
    EXPECT_TRUE(RunUntil([&] { return wnd.GetHWND() == nullptr; }, 3000));
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(DemoTest, ListsPageShowsItsRichTextAndItsActiveXControlOnlyWhileShown)
{
    skindemo::DemoWindow wnd(false);
    HWND hWnd = wnd.Create(nullptr, L"SkinUI demo", WS_POPUP | WS_VISIBLE, 0);
    ASSERT_NE(hWnd, nullptr);
    wnd.CenterWindow();
    ::UpdateWindow(hWnd);
    testutil::pumpFor(50);
    CUiManager& pm = wnd.GetManager();
    CControlUI* basics = pm.FindControl(L"sections");
    CControlUI* lists = pm.FindControl(L"listsections");
    auto* activex = static_cast<CActiveXUI*>(pm.FindControl(L"activexdemo"));
    auto* edit = static_cast<CRichEditUI*>(pm.FindControl(L"richdemo"));
    ASSERT_TRUE(basics && lists && activex && edit);
    EXPECT_EQ(activex->GetHostWindow(), nullptr);  // made at its first placement: its page was never shown
    auto show = [&](const wchar_t* page) {
        EXPECT_TRUE(wnd.ShowPage(page));
        ::InvalidateRect(hWnd, nullptr, FALSE);
        ::UpdateWindow(hWnd);
        testutil::pumpFor(50);
    };

    show(L"lists");
    EXPECT_FALSE(basics->IsVisible());
    EXPECT_TRUE(lists->IsVisible());
    EXPECT_EQ(OffscreenPixel(pm, 300, 150), 0xFFFFFFu);  // the first card of the page
    // The formatted text came in at the first layout, while its page was hidden.
    const std::wstring text = edit->GetText().GetData();
    EXPECT_NE(text.find(L"Rich edit with italic"), std::wstring::npos) << testutil::narrow(text);
    EXPECT_NE(text.find(L"A serif heading"), std::wstring::npos);
    // The ActiveX control runs in its own window over its place on the page.
    HWND host = activex->GetHostWindow();
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(::IsWindowVisible(host));
    RECT hostRect;
    ::GetWindowRect(host, &hostRect);
    ::MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&hostRect), 2);
    EXPECT_TRUE(::EqualRect(&hostRect, &activex->GetPos()));

    // Another page: the control's window goes with its page, and comes back with it.
    show(L"basics");
    EXPECT_TRUE(basics->IsVisible());
    EXPECT_FALSE(::IsWindowVisible(host));
    show(L"lists");
    EXPECT_EQ(activex->GetHostWindow(), host);
    EXPECT_TRUE(::IsWindowVisible(host));
}

}  // namespace
