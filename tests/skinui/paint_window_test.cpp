// The window manager's output side in real windows (needs a display): deferred
// layout and "windowinit", the off-screen paint, WM_PRINTCLIENT, layered
// windows with their mask image and native children, and the window
// attributes, colours, option groups and default attribute lists.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "draw_test_canvas.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"

using namespace SkinUI;

namespace {

// A top-level popup window whose messages go to its manager first.
class HostWindow {
public:
    HostWindow(int width, int height)
    {
        static ATOM atom = 0;
        if (atom == 0) {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &HostWindow::Proc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.lpszClassName = L"ZulPaintTestWindow";
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            atom = ::RegisterClassW(&wc);
        }
        hwnd = ::CreateWindowExW(0, L"ZulPaintTestWindow", L"paint", WS_POPUP, 50, 50, width, height, nullptr,
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        manager.Init(hwnd, L"paint");
    }
    ~HostWindow()
    {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd);
    }
    void Show()
    {
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(hwnd);
    }

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        HostWindow* self = reinterpret_cast<HostWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self != nullptr) {
            LRESULT result = 0;
            if (self->manager.MessageHandler(msg, wParam, lParam, result)) return result;
        }
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    HWND hwnd = nullptr;
    CUiManager manager;
};

// Counts its paints.
class PaintCounter : public CControlUI {
public:
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stop) override
    {
        ++paints;
        return CControlUI::DoPaint(hDC, rcPaint, stop);
    }
    int paints = 0;
};

class NotifyCounter : public INotifyUI {
public:
    void Notify(UiNotify& msg) override
    {
        types.push_back(msg.sType.GetData());
        if (msg.sType == L"windowinit") {
            sender = msg.pSender;
            rootWidthAtInit = msg.pSender != nullptr ? msg.pSender->GetWidth() : -1;
            paintsAtInit = root != nullptr ? root->paints : -1;
        }
    }
    int Count(const wchar_t* type) const
    {
        int n = 0;
        for (const std::wstring& t : types)
            if (t == type) ++n;
        return n;
    }
    std::vector<std::wstring> types;
    CControlUI* sender = nullptr;
    int rootWidthAtInit = -1;
    PaintCounter* root = nullptr;
    int paintsAtInit = -1;
};

TEST(PaintWindowTest, FirstPaintLaysOutAndSendsWindowInitOnce)
{
    HostWindow host(200, 120);
    NotifyCounter notes;
    host.manager.AddNotifier(&notes);
    PaintCounter* root = new PaintCounter;
    notes.root = root;
    root->SetBkColor(0xFF336699);
    ASSERT_TRUE(host.manager.AttachDialog(root));
    EXPECT_EQ(0, notes.Count(L"windowinit"));
    host.Show();
    ASSERT_TRUE(testutil::pumpUntil([&] { return root->paints > 0; }, 3000));
    EXPECT_EQ(1, notes.Count(L"windowinit"));
    EXPECT_EQ(root, notes.sender);
    EXPECT_EQ(200, notes.rootWidthAtInit);  // laid out before the notification
    EXPECT_EQ(0, notes.paintsAtInit);       // and nothing painted yet
    EXPECT_EQ(120, root->GetHeight());

    for (int i = 0; i < 3; ++i) {
        root->NeedUpdate();
        host.manager.InvalidateAll();
        ::UpdateWindow(host.hwnd);
    }
    testutil::pumpFor(100);
    EXPECT_EQ(1, notes.Count(L"windowinit"));
    EXPECT_GE(root->paints, 2);

    // WM_PRINTCLIENT paints the tree into the given DC.
    drawtest::Canvas canvas(200, 120, 0xFF000000);
    ::SendMessageW(host.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0x336699u, canvas.Rgb(100, 60));
    host.manager.RemoveNotifier(&notes);
}

TEST(PaintWindowTest, ReattachingKeepsNameLookupsForTheNewTree)
{
    HostWindow host(100, 100);
    CControlUI* first = new CControlUI;
    first->SetName(L"first");
    host.manager.AttachDialog(first);
    EXPECT_EQ(first, host.manager.FindControl(L"first"));
    CControlUI* second = new CControlUI;
    second->SetName(L"second");
    host.manager.AttachDialog(second);
    EXPECT_EQ(nullptr, host.manager.FindControl(L"first"));
    EXPECT_EQ(second, host.manager.FindControl(L"second"));
}

class LayeredPaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CUiManager::SetInstance(::GetModuleHandleW(nullptr));
        mask = dir.file(L"mask.tga");
        ASSERT_TRUE(testutil::writeFile(mask, drawtest::MakeTga(4, 4, std::vector<DWORD>(16, 0x80FFFFFF))));
    }
    testutil::TempDir dir;
    std::wstring mask;
};

TEST_F(LayeredPaintTest, LayeredWindowPaintsIntoItsDibThroughTheMask)
{
    HostWindow host(120, 80);
    NotifyCounter notes;
    host.manager.AddNotifier(&notes);
    PaintCounter* root = new PaintCounter;
    root->SetBkColor(0xFFFF0000);
    host.manager.AttachDialog(root);
    host.manager.SetWindowAttribute(L"layeredimage", (L"file='" + mask + L"'").c_str());
    ASSERT_TRUE(host.manager.IsLayered());
    EXPECT_NE(0, ::GetWindowLongPtrW(host.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    host.Show();

    ASSERT_TRUE(testutil::pumpUntil([&] { return root->paints > 0; }, 3000));
    testutil::pumpFor(50);
    EXPECT_EQ(1, notes.Count(L"windowinit"));
    const BYTE* bits = host.manager.GetLayeredBits();
    ASSERT_NE(nullptr, bits);
    ::GdiFlush();
    const DWORD pixel = reinterpret_cast<const DWORD*>(bits)[40 * 120 + 60];
    // Red times the mask alpha 0x80, alpha from the mask.
    EXPECT_EQ(0x80, drawtest::Alpha(pixel));
    EXPECT_NEAR(0x80, drawtest::Red(pixel), 1);
    EXPECT_EQ(0, drawtest::Green(pixel));

    // Invalidations are coalesced and painted by the timer.
    int before = root->paints;
    RECT part = {10, 10, 20, 20};
    host.manager.Invalidate(part);
    RECT other = {30, 30, 40, 40};
    host.manager.Invalidate(other);
    ASSERT_TRUE(testutil::pumpUntil([&] { return root->paints > before; }, 2000));
    testutil::pumpFor(50);
    EXPECT_EQ(before + 1, root->paints);

    // Switching back to an ordinary window kills the timer and the style.
    host.manager.SetLayered(false);
    EXPECT_FALSE(host.manager.IsLayered());
    EXPECT_EQ(0, ::GetWindowLongPtrW(host.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    host.manager.RemoveNotifier(&notes);
}

TEST_F(LayeredPaintTest, LayeredWithoutMaskIsTransparentUnderTheControls)
{
    HostWindow host(60, 40);
    PaintCounter* root = new PaintCounter;
    host.manager.AttachDialog(root);  // no background
    host.manager.SetLayered(true);
    host.manager.SetLayeredOpacity(200);
    host.Show();
    ASSERT_TRUE(testutil::pumpUntil([&] { return root->paints > 0; }, 3000));
    const BYTE* bits = host.manager.GetLayeredBits();
    ASSERT_NE(nullptr, bits);
    ::GdiFlush();
    EXPECT_EQ(0u, reinterpret_cast<const DWORD*>(bits)[20 * 60 + 30]);
}

TEST_F(LayeredPaintTest, DestroyedNativeChildrenAreDroppedAtTheNextPaint)
{
    HostWindow host(100, 60);
    PaintCounter* root = new PaintCounter;
    root->SetBkColor(0xFF00FF00);
    host.manager.AttachDialog(root);
    host.manager.SetLayered(true);
    HWND edit = ::CreateWindowExW(0, L"STATIC", L"x", WS_CHILD | WS_VISIBLE, 10, 10, 30, 20, host.hwnd, nullptr,
                                  nullptr, nullptr);
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"y", WS_CHILD | WS_VISIBLE, 50, 10, 30, 20, host.hwnd, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(host.manager.AddNativeWindow(root, edit));
    ASSERT_TRUE(host.manager.AddNativeWindow(root, gone));
    EXPECT_FALSE(host.manager.AddNativeWindow(root, edit));
    ::DestroyWindow(gone);
    host.Show();
    ASSERT_TRUE(testutil::pumpUntil([&] { return root->paints > 0; }, 3000));
    int before = root->paints;
    host.manager.InvalidateAll();
    ASSERT_TRUE(testutil::pumpUntil([&] { return root->paints > before; }, 2000));
    EXPECT_FALSE(host.manager.RemoveNativeWindow(gone));
    EXPECT_TRUE(host.manager.RemoveNativeWindow(edit));
}

TEST(PaintWindowTest, WindowWithoutTreeStillValidatesItsPaint)
{
    HostWindow host(50, 50);
    host.Show();
    testutil::pumpFor(50);
    drawtest::Canvas canvas(50, 50, 0xFFFFFFFF);
    // Nothing to print without a tree; the paint itself must not fail.
    ::SendMessageW(host.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0, canvas.CountNot(0xFFFFFFFF));
    ::InvalidateRect(host.hwnd, nullptr, FALSE);
    ::UpdateWindow(host.hwnd);
    RECT update = {0, 0, 0, 0};
    EXPECT_FALSE(::GetUpdateRect(host.hwnd, &update, FALSE));
}

TEST(WindowAttributeTest, TableOfAttributes)
{
    HostWindow host(100, 100);
    CUiManager& m = host.manager;
    m.SetWindowAttribute(L"Size", L"300,200");
    EXPECT_EQ(300, m.GetInitSize().cx);
    RECT window = {0, 0, 0, 0};
    ::GetWindowRect(host.hwnd, &window);
    EXPECT_EQ(300, window.right - window.left);  // no tree yet: resized at once
    m.SetWindowAttribute(L"caption", L"0,0,0,32");
    EXPECT_EQ(32, m.GetCaptionRect().bottom);
    m.SetWindowAttribute(L"sizebox", L"4,5,6,7");
    EXPECT_EQ(7, m.GetSizeBox().bottom);
    m.SetWindowAttribute(L"roundcorner", L"3,3");
    EXPECT_EQ(3, m.GetRoundCorner().cy);
    m.SetWindowAttribute(L"MININFO", L"100,80");
    EXPECT_EQ(80, m.GetMinInfo().cy);
    m.SetWindowAttribute(L"maxinfo", L"900,700");
    EXPECT_EQ(900, m.GetMaxInfo().cx);
    m.SetWindowAttribute(L"showdirty", L"TRUE");
    EXPECT_TRUE(m.IsShowUpdateRect());

    m.SetWindowAttribute(L"noactivate", L"True");
    EXPECT_TRUE(m.IsNoActivate());
    m.SetWindowAttribute(L"NoActivate", L"false");
    EXPECT_TRUE(m.IsNoActivate());  // compared exactly: became a custom attribute
    EXPECT_STREQ(L"false", m.GetWindowCustomAttribute(L"NoActivate"));

    m.SetWindowAttribute(L"disabledfontcolor", L"#FF102030");
    EXPECT_EQ(0xFF102030u, m.GetDefaultDisabledColor());
    m.SetWindowAttribute(L"disabledfontcolor", L"FF405060");
    EXPECT_EQ(0xFF405060u, m.GetDefaultDisabledColor());
    m.SetWindowAttribute(L"LinkFontColor", L"#FF00AA00");
    EXPECT_EQ(0xFF00AA00u, m.GetDefaultLinkFontColor());
    m.SetWindowAttribute(L"selectedcolor", L"#FF111111");
    EXPECT_EQ(0xFF111111u, m.GetDefaultSelectedBkColor());

    m.SetWindowAttribute(L"appname", L"first");
    m.SetWindowAttribute(L"appname", L"second");
    EXPECT_STREQ(L"first", m.GetWindowCustomAttribute(L"appname"));

    m.SetWindowAttribute(L"opacity", L"128");
    EXPECT_EQ(128, m.GetOpacity());
    EXPECT_FALSE(m.IsLayered());
}

TEST(WindowAttributeTest, EnlargeModeScalesSizeAndCaptionOnly)
{
    CUiManager m;
    CUiManager::SetEnlargeMode(true);
    m.SetWindowAttribute(L"size", L"400,300");
    m.SetWindowAttribute(L"caption", L"0,0,0,30");
    m.SetWindowAttribute(L"mininfo", L"400,300");
    CUiManager::SetEnlargeMode(false);
    EXPECT_EQ(600, m.GetInitSize().cx);
    EXPECT_EQ(450, m.GetInitSize().cy);
    EXPECT_EQ(45, m.GetCaptionRect().bottom);
    EXPECT_EQ(400, m.GetMinInfo().cx);
}

TEST(WindowAttributeTest, DefaultColoursOptionGroupsAndAttributeLists)
{
    CUiManager a;
    CUiManager b;
    EXPECT_EQ(0xFF0000FFu, a.GetDefaultLinkFontColor());
    a.SetDefaultFontColor(0xFF123456, true);
    EXPECT_EQ(0xFF123456u, a.GetDefaultFontColor());
    CUiManager c;
    EXPECT_EQ(0xFF123456u, c.GetDefaultFontColor());  // new managers copy the shared value
    EXPECT_EQ(0xFF000000u, b.GetDefaultFontColor());  // existing ones keep their copy
    a.SetDefaultFontColor(0xFF000000, true);

    CControlUI one, two;
    EXPECT_TRUE(a.AddOptionGroup(L"g", &one));
    EXPECT_FALSE(a.AddOptionGroup(L"g", &one));
    EXPECT_TRUE(a.AddOptionGroup(L"g", &two));
    EXPECT_EQ(2, a.GetOptionGroup(L"g")->GetSize());
    a.RemoveOptionGroup(L"g", &one);
    a.RemoveOptionGroup(L"g", &two);
    EXPECT_EQ(nullptr, a.GetOptionGroup(L"g"));
    EXPECT_FALSE(a.AddOptionGroup(nullptr, &one));

    a.AddDefaultAttributeList(L"Button", L"width=\"10\"");
    a.AddDefaultAttributeList(L"Button", L"width=\"20\"");
    EXPECT_STREQ(L"width=\"20\"", a.GetDefaultAttributeList(L"Button"));
    EXPECT_EQ(nullptr, b.GetDefaultAttributeList(L"Button"));
    b.AddDefaultAttributeList(L"Label", L"height=\"5\"", true);
    EXPECT_STREQ(L"height=\"5\"", a.GetDefaultAttributeList(L"Label"));
    b.RemoveAllDefaultAttributeList(true);
    EXPECT_EQ(nullptr, a.GetDefaultAttributeList(L"Label"));
}

}  // namespace
