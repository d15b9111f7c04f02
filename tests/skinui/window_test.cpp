// The window base classes: binding, notify maps, the borderless behaviour of
// skinned windows (hit test, maximise, round corners, Escape), delayed
// deletion of container children, and the demo window's painted pixels.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/test_util.h"
#include "demo/demo_window.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_impl_base.h"
#include "skinui/core/window_wnd.h"

using namespace SkinUI;

namespace {

class TestButtonUI : public CControlUI {
public:
    const wchar_t* GetClass() const override { return L"Button"; }
};

class CountedUI : public CControlUI {
public:
    CountedUI() { ++s_live; }
    ~CountedUI() override { --s_live; }
    static int s_live;
};
int CountedUI::s_live = 0;

// A skinned window whose skin is XML text handed to the constructor.
class TestWindow : public WindowImplBase {
public:
    explicit TestWindow(const wchar_t* skin) : m_skin(skin) {}
    // A test that stops early must not leave a window bound to a dead object.
    ~TestWindow() override
    {
        if (GetHWND() != nullptr) ::DestroyWindow(GetHWND());
    }
    bool destroyed = false;
    int initCount = 0;

    HWND Open(int x = 100, int y = 100)
    {
        if (Create(nullptr, L"skinui test", WS_POPUP | WS_VISIBLE, 0) == nullptr) return nullptr;
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
        if (wcscmp(className, L"TestButton") == 0) return new TestButtonUI;
        if (wcscmp(className, L"Counted") == 0) return new CountedUI;
        return nullptr;
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
    static POINT ToScreen(HWND hWnd, int x, int y)
    {
        POINT pt = {x, y};
        ::ClientToScreen(hWnd, &pt);
        return pt;
    }
    static LRESULT HitTest(HWND hWnd, int x, int y)
    {
        POINT pt = ToScreen(hWnd, x, y);
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
            if (::GetTickCount() - start > timeoutMs) return false;
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
    static void Destroy(WindowImplBase& w)
    {
        if (w.GetHWND() != nullptr) ::DestroyWindow(w.GetHWND());
    }
};

// ---- Notify maps ----

class BaseWnd : public TestWindow {
public:
    BaseWnd() : TestWindow(L"<Window><Container/></Window>") {}
    SKINUI_DECLARE_NOTIFY_MAP()
    void OnOk(UiNotify& msg) { ++okClicks; }
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
    void OnKeepOpen(UiNotify& msg) { ++keepOpenClicks; }
    int keepOpenClicks = 0;
};

SKINUI_BEGIN_NOTIFY_MAP(DerivedWnd, BaseWnd)
    SKINUI_ON_CLICK(L"closebtn", &DerivedWnd::OnKeepOpen)
SKINUI_END_NOTIFY_MAP()

class SidePump : public CNotifyPump {
public:
    SKINUI_DECLARE_NOTIFY_MAP()
    void OnAny(UiNotify& msg) { ++hits; }
    int hits = 0;
};

SKINUI_BEGIN_NOTIFY_MAP(SidePump, CNotifyPump)
    SKINUI_ON_NOTIFY(L"click", &SidePump::OnAny)
SKINUI_END_NOTIFY_MAP()

UiNotify MakeNotify(const wchar_t* type, CControlUI* sender)
{
    UiNotify msg;
    msg.sType = type;
    msg.pSender = sender;
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
    EXPECT_EQ(wnd.okClicks, 1);
    EXPECT_EQ(wnd.baseClicks, 1);

    // The most derived map wins for "closebtn".
    click = MakeNotify(L"click", &close);
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
}

TEST_F(WindowTest, VirtualWindowPumpsGetTheirControlsFirst)
{
    BaseWnd wnd;
    SidePump side;
    EXPECT_TRUE(wnd.AddVirtualWnd(L"side", &side));
    EXPECT_FALSE(wnd.AddVirtualWnd(L"side", &side));
    CControlUI ok;
    ok.SetName(L"okbtn");
    UiNotify click = MakeNotify(L"click", &ok);
    click.sVirtualWnd = L"SIDE";
    EXPECT_TRUE(wnd.NotifyPump(click));
    EXPECT_EQ(side.hits, 1);
    EXPECT_EQ(wnd.okClicks, 0);
    click.sVirtualWnd = L"";
    EXPECT_TRUE(wnd.NotifyPump(click));
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
    EXPECT_FALSE(::IsWindow(hWnd));
}

// ---- Binding ----

class PlainWnd : public CWindowWnd {
public:
    bool finalSeen = false;
    bool unboundAtFinal = false;

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUITestPlain"; }
    void OnFinalMessage(HWND hWnd) override
    {
        finalSeen = true;
        unboundAtFinal = GetHWND() == nullptr && ::GetWindowLongPtrW(hWnd, GWLP_USERDATA) == 0;
    }
};

class SuperWnd : public CWindowWnd {
public:
    bool finalSeen = false;
    bool propertyGoneAtFinal = false;

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUITestStatic"; }
    const wchar_t* GetSuperClassName() const override { return L"STATIC"; }
    void OnFinalMessage(HWND hWnd) override
    {
        finalSeen = true;
        propertyGoneAtFinal = GetHWND() == nullptr && ::GetPropW(hWnd, L"WndX") == nullptr;
    }
};

TEST_F(WindowTest, WindowsAreBoundThroughUserDataOrTheWndXProperty)
{
    PlainWnd plain;
    HWND hPlain = plain.Create(nullptr, L"plain", WS_POPUP, 0, 0, 0, 10, 10);
    ASSERT_NE(hPlain, nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(hPlain, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&plain));
    ::DestroyWindow(hPlain);
    EXPECT_TRUE(plain.finalSeen);
    EXPECT_TRUE(plain.unboundAtFinal);

    SuperWnd super;
    HWND hSuper = super.Create(nullptr, L"static text", WS_POPUP, 0, 0, 0, 50, 20);
    ASSERT_NE(hSuper, nullptr);
    EXPECT_EQ(::GetPropW(hSuper, L"WndX"), static_cast<HANDLE>(&super));
    // The superclassed procedure still answers: STATIC keeps the text.
    wchar_t text[32] = L"";
    ::GetWindowTextW(hSuper, text, 32);
    EXPECT_STREQ(text, L"static text");
    ::DestroyWindow(hSuper);
    EXPECT_TRUE(super.finalSeen);
    EXPECT_TRUE(super.propertyGoneAtFinal);  // removed, not left holding null

    // A second object of the same classes registers again without failing.
    PlainWnd again;
    HWND hAgain = again.Create(nullptr, L"again", WS_POPUP, 0);
    EXPECT_NE(hAgain, nullptr);
    ::DestroyWindow(hAgain);
}

// ---- Borderless behaviour ----

const wchar_t kCaptionSkin[] =
    L"<Window size=\"400,300\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\" mininfo=\"320,200\">"
    L"<Container name=\"root\">"
    L"  <Control name=\"title\" float=\"true\" pos=\"0,0,200,40\"/>"
    L"  <TestButton name=\"capbtn\" float=\"true\" pos=\"300,5,330,35\"/>"
    L"  <Control name=\"body\" float=\"true\" pos=\"0,40,400,300\"/>"
    L"</Container></Window>";

TEST_F(WindowTest, HitTestAnswersSizeBoxCaptionAndButtonsInTheCaption)
{
    TestWindow wnd(kCaptionSkin);
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ASSERT_EQ(rc.right, 400);
    ASSERT_EQ(rc.bottom, 300);
    EXPECT_EQ(HitTest(hWnd, 1, 1), HTTOPLEFT);
    EXPECT_EQ(HitTest(hWnd, 398, 2), HTTOPRIGHT);
    EXPECT_EQ(HitTest(hWnd, 200, 1), HTTOP);
    EXPECT_EQ(HitTest(hWnd, 1, 150), HTLEFT);
    EXPECT_EQ(HitTest(hWnd, 399, 150), HTRIGHT);
    EXPECT_EQ(HitTest(hWnd, 200, 299), HTBOTTOM);
    EXPECT_EQ(HitTest(hWnd, 1, 299), HTBOTTOMLEFT);
    EXPECT_EQ(HitTest(hWnd, 399, 299), HTBOTTOMRIGHT);
    EXPECT_EQ(HitTest(hWnd, 100, 20), HTCAPTION);   // over a plain control
    EXPECT_EQ(HitTest(hWnd, 250, 20), HTCAPTION);   // over the root container
    EXPECT_EQ(HitTest(hWnd, 310, 20), HTCLIENT);    // over a button
    EXPECT_EQ(HitTest(hWnd, 100, 100), HTCLIENT);   // below the caption
    Destroy(wnd);
}

TEST_F(WindowTest, MaximiseFillsTheWorkAreaAndSwapsMaxAndRestoreButtons)
{
    TestWindow wnd(
        L"<Window size=\"400,300\" caption=\"0,0,0,40\" sizebox=\"4,4,4,4\"><Container>"
        L"  <Control name=\"maxbtn\" float=\"true\" pos=\"340,0,370,30\"/>"
        L"  <Control name=\"restorebtn\" float=\"true\" pos=\"340,0,370,30\" visible=\"false\"/>"
        L"</Container></Window>");
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    CControlUI* maxButton = wnd.GetManager().FindControl(L"maxbtn");
    CControlUI* restoreButton = wnd.GetManager().FindControl(L"restorebtn");
    ASSERT_NE(maxButton, nullptr);
    ASSERT_NE(restoreButton, nullptr);

    ::SendMessageW(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    testutil::pumpFor(50);
    ASSERT_TRUE(::IsZoomed(hWnd));
    RECT rcWindow;
    ::GetWindowRect(hWnd, &rcWindow);
    RECT work = WorkArea(hWnd);
    EXPECT_EQ(rcWindow.left, work.left);
    EXPECT_EQ(rcWindow.top, work.top);
    EXPECT_EQ(rcWindow.right - rcWindow.left, work.right - work.left);
    EXPECT_EQ(rcWindow.bottom - rcWindow.top, work.bottom - work.top);
    RECT rcClient;
    ::GetClientRect(hWnd, &rcClient);
    EXPECT_EQ(rcClient.right, work.right - work.left);
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
    Destroy(wnd);
}

TEST_F(WindowTest, OnlyOneOfMaxAndRestoreChangesNothing)
{
    TestWindow wnd(L"<Window size=\"400,300\"><Container>"
                   L"<Control name=\"maxbtn\" float=\"true\" pos=\"340,0,370,30\"/></Container></Window>");
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    ::SendMessageW(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(wnd.GetManager().FindControl(L"maxbtn")->IsVisible());
    Destroy(wnd);
}

TEST_F(WindowTest, MinMaxInfoComesFromTheWorkAreaAndMinInfo)
{
    TestWindow wnd(kCaptionSkin);
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    MINMAXINFO info = {};
    ::SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    RECT work = WorkArea(hWnd);
    EXPECT_EQ(info.ptMaxTrackSize.x, work.right - work.left);
    EXPECT_EQ(info.ptMaxTrackSize.y, work.bottom - work.top);
    EXPECT_EQ(info.ptMinTrackSize.x, 320);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);
    Destroy(wnd);
}

TEST_F(WindowTest, EscapeClosesThroughThePreMessageFilterAndReturnDoesNot)
{
    TestWindow wnd(kCaptionSkin);
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    ::PostMessageW(hWnd, WM_KEYDOWN, VK_RETURN, 0);
    RunUntil([] { return false; }, 100);
    EXPECT_FALSE(wnd.destroyed);
    ::PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(RunUntil([&] { return wnd.destroyed; }, 3000));
    EXPECT_FALSE(::IsWindow(hWnd));
}

TEST_F(WindowTest, RoundCornersCutTheWindowRegion)
{
    TestWindow wnd(L"<Window size=\"400,300\" roundcorner=\"12,12\"><Container/></Window>");
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    ::SetWindowPos(hWnd, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(::GetWindowRgn(hWnd, region), ERROR);
    RECT box;
    ::GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 300);
    EXPECT_EQ(box.bottom, 200);
    EXPECT_FALSE(::PtInRegion(region, 0, 0));      // the corner is cut
    EXPECT_TRUE(::PtInRegion(region, 150, 100));
    EXPECT_TRUE(::PtInRegion(region, 150, 199));
    ::DeleteObject(region);
    Destroy(wnd);
}

TEST_F(WindowTest, CenterWindowCentresInTheWorkArea)
{
    TestWindow wnd(kCaptionSkin);
    HWND hWnd = wnd.Open(0, 0);
    ASSERT_NE(hWnd, nullptr);
    wnd.CenterWindow();
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    RECT work = WorkArea(hWnd);
    EXPECT_EQ(rc.left, (work.left + work.right) / 2 - 200);
    EXPECT_EQ(rc.top, (work.top + work.bottom) / 2 - 150);
    Destroy(wnd);
}

TEST_F(WindowTest, RemovedChildrenLiveUntilTheCleanupMessage)
{
    TestWindow wnd(L"<Window size=\"200,100\"><Container name=\"root\"><Counted name=\"victim\"/>"
                   L"<Counted name=\"keeper\"/></Container></Window>");
    int before = CountedUI::s_live;
    HWND hWnd = wnd.Open();
    ASSERT_NE(hWnd, nullptr);
    ASSERT_EQ(CountedUI::s_live, before + 2);
    CContainerUI* root = static_cast<CContainerUI*>(wnd.GetManager().GetRoot()->GetInterface(L"Container"));
    ASSERT_NE(root, nullptr);
    CControlUI* victim = wnd.GetManager().FindControl(L"victim");
    ASSERT_TRUE(root->Remove(victim));
    EXPECT_EQ(root->GetCount(), 1);
    EXPECT_EQ(CountedUI::s_live, before + 2);  // still alive: events may reach it
    EXPECT_EQ(wnd.GetManager().FindControl(L"victim"), victim);
    testutil::pumpFor(50);
    EXPECT_EQ(CountedUI::s_live, before + 1);
    EXPECT_EQ(wnd.GetManager().FindControl(L"victim"), nullptr);
    Destroy(wnd);
    EXPECT_EQ(CountedUI::s_live, before + 1);  // the window object still owns its tree
}

// ---- The demo window ----

// The pixel of the manager's last off-screen paint at (x, y), as 0xRRGGBB.
DWORD OffscreenPixel(CUiManager& manager, int x, int y)
{
    HBITMAP bitmap = manager.GetOffscreenBitmap();
    if (bitmap == nullptr) return 0xFFFFFFFF;
    BITMAP info = {};
    ::GetObjectW(bitmap, sizeof(info), &info);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = info.bmWidth;
    bmi.bmiHeader.biHeight = -info.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    std::string pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight * 4, '\0');
    HDC dc = ::GetDC(nullptr);
    int lines = ::GetDIBits(dc, bitmap, 0, info.bmHeight, &pixels[0], &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    if (lines != info.bmHeight) return 0xFFFFFFFF;
    const BYTE* p = reinterpret_cast<const BYTE*>(pixels.data()) + (static_cast<size_t>(y) * info.bmWidth + x) * 4;
    return (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
}

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
    EXPECT_EQ(rc.right, 480);
    EXPECT_EQ(rc.bottom, 320);
    CUiManager& pm = wnd.GetManager();
    EXPECT_EQ(OffscreenPixel(pm, 5, 300), 0x1E2A3Au);    // window background
    EXPECT_EQ(OffscreenPixel(pm, 200, 20), 0x2E4A6Au);   // caption band
    EXPECT_EQ(OffscreenPixel(pm, 20, 20), 0xF0C040u);    // logo
    EXPECT_EQ(OffscreenPixel(pm, 456, 20), 0xD83C3Cu);   // close button image ...
    EXPECT_EQ(OffscreenPixel(pm, 444, 8), 0xFFFFFFu);    // ... with its frame
    EXPECT_EQ(OffscreenPixel(pm, 72, 80), 0x3CB05Au);    // action button image
    EXPECT_EQ(OffscreenPixel(pm, 24, 64), 0x202020u);    // its frame corner
    EXPECT_EQ(OffscreenPixel(pm, 300, 200), 0x3E5878u);  // the included panel's fill
    EXPECT_EQ(OffscreenPixel(pm, 300, 66), 0x324660u);   // the panel's inset
    EXPECT_EQ(OffscreenPixel(pm, 16, 150), 0x5A7AA0u);   // the body's border
    Destroy(wnd);
}

TEST_F(DemoTest, ImageElementsLoadFromTheSkinArchive)
{
    CUiManager manager;
    CSkinBuilder builder;
    CControlUI* root = builder.Create(L"<Window><Image name=\"close.png\" mask=\"#FFFF00FF\"/>"
                                      L"<Image name=\"missing.png\"/><Container/></Window>",
                                      nullptr, nullptr, &manager);
    ASSERT_NE(root, nullptr);
    manager.AttachDialog(root);
    const UiImageInfo* image = manager.GetImage(L"close.png");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->nX, 24);
    EXPECT_EQ(image->dwMask, 0xFFFF00FFu);
    EXPECT_EQ(manager.GetImage(L"missing.png"), nullptr);
}

TEST_F(DemoTest, ClicksAreRoutedByControlName)
{
    skindemo::DemoWindow wnd(false);
    HWND hWnd = wnd.Create(nullptr, L"SkinUI demo", WS_POPUP | WS_VISIBLE, 0);
    ASSERT_NE(hWnd, nullptr);
    ::UpdateWindow(hWnd);
    testutil::pumpFor(30);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(72, 80));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(72, 80));
    EXPECT_EQ(wnd.GetActionClicks(), 1);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(456, 20));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(456, 20));
    EXPECT_TRUE(RunUntil([&] { return wnd.GetHWND() == nullptr; }, 3000));
    EXPECT_FALSE(::IsWindow(hWnd));
}

}  // namespace
