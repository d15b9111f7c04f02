// The window manager's output side in real windows (needs a display): deferred
// layout and "windowinit", the off-screen paint, post-paint controls, WM_PRINTCLIENT, layered
// windows with their mask image and native children, and the window
// attributes, colours, option groups and default attribute lists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/test_util.h"
#include "skinui/core/delegate.h"
#include "test_helpers.h"

using namespace SkinUI;
using skintest::Canvas;

namespace {

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

// A window with a PaintCounter as its tree (attached by the test).
class HostWindow : public skintest::ManagedWindow, public skintest::NotifyLog {
public:
    HostWindow(int width, int height, DWORD background = 0) : ManagedWindow(50, 50, width, height)
    {
        manager.AddNotifier(this);
        root->SetBkColor(background);
    }
    ~HostWindow() override
    {
        manager.RemoveNotifier(this);
        Destroy();
    }
    void Notify(UiNotify& msg) override
    {
        if (msg.sType == L"windowinit") {
            rootWidthAtInit = root->GetWidth();
            paintsAtInit = root->paints;
        }
        NotifyLog::Notify(msg);
    }
    // Shows the window and waits for the first paint of the tree.
    bool ShowAndPaint()
    {
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(hwnd);
        return testutil::pumpUntil([&] { return root->paints > 0; }, 3000);
    }
    // Pixel (x, y) of the layered window's DIB.
    DWORD LayeredPixel(int x, int y)
    {
        ::GdiFlush();
        const BYTE* bits = manager.GetLayeredBits();
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        return bits != nullptr ? reinterpret_cast<const DWORD*>(bits)[y * rc.right + x] : 0xDEADBEEF;
    }

    PaintCounter* root = new PaintCounter;
    int rootWidthAtInit = -1;
    int paintsAtInit = -1;
};

TEST(PaintWindowTest, FirstPaintLaysOutAndSendsWindowInitOnce)
{
    HostWindow host(200, 120, 0xFF336699);
    ASSERT_TRUE(host.manager.AttachDialog(host.root));
    EXPECT_EQ(0, host.Count(L"windowinit"));
    ASSERT_TRUE(host.ShowAndPaint());
    EXPECT_EQ(1, host.Count(L"windowinit"));
    EXPECT_EQ(host.root, host.entries.front().sender);
    EXPECT_EQ(200, host.rootWidthAtInit);  // laid out before the notification
    EXPECT_EQ(0, host.paintsAtInit);       // and nothing painted yet
    for (int i = 0; i < 3; ++i) {
        host.root->NeedUpdate();
        host.manager.InvalidateAll();
        ::UpdateWindow(host.hwnd);
    }
    testutil::pumpFor(100);
    EXPECT_EQ(1, host.Count(L"windowinit"));
    EXPECT_GE(host.root->paints, 2);

    // WM_PRINTCLIENT paints the tree into the given DC.
    Canvas canvas(200, 120);
    ::SendMessageW(host.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0x336699u, canvas.Rgb(100, 60));
}

TEST(PaintWindowTest, WithoutATreeThePaintIsValidatedAndReattachingRenewsTheNames)
{
    HostWindow host(50, 50);
    ::ShowWindow(host.hwnd, SW_SHOWNOACTIVATE);
    ::InvalidateRect(host.hwnd, nullptr, FALSE);
    ::UpdateWindow(host.hwnd);
    RECT update = {0, 0, 0, 0};
    EXPECT_FALSE(::GetUpdateRect(host.hwnd, &update, FALSE));
    Canvas canvas(50, 50, 0xFFFFFFFF);
    ::SendMessageW(host.hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    EXPECT_EQ(0, canvas.CountNot(0xFFFFFF));

    delete host.root;

    CUiManager manager;
    CControlUI* first = new CControlUI;
    first->SetName(L"first");
    manager.AttachDialog(first);
    EXPECT_EQ(first, manager.FindControl(L"first"));
    CControlUI* second = new CControlUI;
    second->SetName(L"second");
    manager.AttachDialog(second);
    EXPECT_EQ(nullptr, manager.FindControl(L"first"));
    EXPECT_EQ(second, manager.FindControl(L"second"));
}

// Counts its post-paints; leaves the post-paint list at the first when asked.
struct PostPaintProbe {
    bool OnPostPaint(void*)
    {
        ++calls;
        if (leave)
            manager->RemovePostPaint(control);
        return true;
    }
    CUiManager* manager = nullptr;
    CControlUI* control = nullptr;
    bool leave = false;
    int calls = 0;
};

TEST(PaintWindowTest, PostPaintControlsMayLeaveTheListWhilePainted)
{
    HostWindow host(100, 60);
    host.manager.AttachDialog(host.root);
    CControlUI first, second;
    PostPaintProbe leaving{&host.manager, &first, true}, staying{&host.manager, &second, false};
    first.OnPostPaint += CDelegate<PostPaintProbe, PostPaintProbe>(&leaving, &PostPaintProbe::OnPostPaint);
    second.OnPostPaint += CDelegate<PostPaintProbe, PostPaintProbe>(&staying, &PostPaintProbe::OnPostPaint);
    host.manager.AddPostPaint(&first);
    host.manager.AddPostPaint(&second);
    ASSERT_TRUE(host.ShowAndPaint());
    EXPECT_EQ(1, leaving.calls);
    EXPECT_EQ(1, staying.calls);  // still painted after the first left the list
    host.manager.RemovePostPaint(&second);
}

class LayeredPaintTest : public ::testing::Test {
protected:
    void SetUp() override { CUiManager::SetInstance(::GetModuleHandleW(nullptr)); }
    testutil::TempDir dir;
};

TEST_F(LayeredPaintTest, LayeredWindowPaintsIntoItsDibThroughTheMask)
{
    std::wstring mask = dir.file(L"mask.tga");
    ASSERT_TRUE(testutil::writeFile(mask, skintest::MakeTga(4, 4, std::vector<DWORD>(16, 0x80FFFFFF))));
    HostWindow host(120, 80, 0xFFFF0000);
    host.manager.AttachDialog(host.root);
    host.manager.SetWindowAttribute(L"layeredimage", (L"file='" + mask + L"'").c_str());
    ASSERT_TRUE(host.manager.IsLayered());
    EXPECT_NE(0, ::GetWindowLongPtrW(host.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    ASSERT_TRUE(host.ShowAndPaint());
    testutil::pumpFor(50);
    EXPECT_EQ(1, host.Count(L"windowinit"));
    // Red times the mask alpha 0x80, alpha from the mask.
    const DWORD pixel = host.LayeredPixel(60, 40);
    EXPECT_EQ(0x80, skintest::Alpha(pixel));
    EXPECT_NEAR(0x80, skintest::Red(pixel), 1);
    EXPECT_EQ(0, skintest::Green(pixel));

    // Invalidations are coalesced and painted by the timer.
    int before = host.root->paints;
    RECT part = {10, 10, 20, 20}, other = {30, 30, 40, 40};
    host.manager.Invalidate(part);
    host.manager.Invalidate(other);
    ASSERT_TRUE(testutil::pumpUntil([&] { return host.root->paints > before; }, 2000));
    testutil::pumpFor(50);
    EXPECT_EQ(before + 1, host.root->paints);

    // Switching back to an ordinary window kills the timer and the style.
    host.manager.SetLayered(false);
    EXPECT_EQ(0, ::GetWindowLongPtrW(host.hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(LayeredPaintTest, LayeredWithoutMaskIsTransparentUnderTheControls)
{
    HostWindow host(60, 40);
    host.manager.AttachDialog(host.root);  // no background
    host.manager.SetLayered(true);
    host.manager.SetLayeredOpacity(200);
    ASSERT_TRUE(host.ShowAndPaint());
    EXPECT_EQ(0u, host.LayeredPixel(30, 20));
}

TEST_F(LayeredPaintTest, OnlyTheClientPartOfALayeredInvalidationIsPainted)
{
    HostWindow host(60, 40, 0xFF00FF00);
    host.manager.AttachDialog(host.root);
    host.manager.SetLayered(true);
    ASSERT_TRUE(host.ShowAndPaint());
    testutil::pumpFor(50);
    const DWORD green = host.LayeredPixel(30, 20);  // as GDI leaves it in the DIB
    ASSERT_EQ(0x00FF00u, green & 0x00FFFFFF);
    auto greenPixels = [&host, green] {
        int count = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                count += host.LayeredPixel(x, y) == green ? 1 : 0;
        return count;
    };
    ASSERT_EQ(60 * 40, greenPixels());

    // An area wholly beyond the right edge paints nothing and clears nothing.
    const int before = host.root->paints;
    RECT beyond = {100, 5, 120, 15};
    host.manager.Invalidate(beyond);
    ::SendMessageW(host.hwnd, WM_PAINT, 0, 0);
    EXPECT_EQ(before, host.root->paints);
    EXPECT_EQ(60 * 40, greenPixels());
    // An area across the edges is painted inside them.
    RECT across = {50, 30, 90, 60};
    host.manager.Invalidate(across);
    ::SendMessageW(host.hwnd, WM_PAINT, 0, 0);
    EXPECT_EQ(before + 1, host.root->paints);
    EXPECT_EQ(60 * 40, greenPixels());
}

TEST_F(LayeredPaintTest, AResizeUnderAHiddenRootPaintsIntoABitmapOfTheNewSize)
{
    std::wstring mask = dir.file(L"mask.tga");
    ASSERT_TRUE(testutil::writeFile(mask, skintest::MakeTga(4, 4, std::vector<DWORD>(16, 0x80FFFFFF))));
    for (bool withMask : {false, true}) {
        HostWindow host(60, 40, 0xFF00FF00);
        host.manager.AttachDialog(host.root);
        host.manager.SetLayered(true);
        if (withMask)
            host.manager.SetWindowAttribute(L"layeredimage", (L"file='" + mask + L"'").c_str());
        ASSERT_TRUE(host.ShowAndPaint());
        host.root->SetVisible(false);  // nothing to lay out: the resize asks for no layout
        ::SendMessageW(host.hwnd, WM_PAINT, 0, 0);
        ::SetWindowPos(host.hwnd, nullptr, 0, 0, 640, 480, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT client;
        ::GetClientRect(host.hwnd, &client);
        ASSERT_GT(client.right * client.bottom, 60 * 40 * 16);
        ::SendMessageW(host.hwnd, WM_PAINT, 0, 0);
        BITMAP bitmap = {};
        ASSERT_EQ(static_cast<int>(sizeof(bitmap)),
                  ::GetObjectW(host.manager.GetOffscreenBitmap(), sizeof(bitmap), &bitmap))
            << withMask;
        EXPECT_EQ(client.right, bitmap.bmWidth) << withMask;
        EXPECT_EQ(client.bottom, std::abs(bitmap.bmHeight)) << withMask;
        // Nothing painted there: no colour (the mask gives its alpha only).
        EXPECT_EQ(0u, host.LayeredPixel(client.right - 1, client.bottom - 1) & 0x00FFFFFF) << withMask;
    }
}

TEST(WindowAttributeTest, TableOfAttributes)
{
    HostWindow host(100, 100);
    delete host.root;  // no tree
    CUiManager& m = host.manager;
    m.SetWindowAttribute(L"Size", L"300,200");
    RECT window = {0, 0, 0, 0};
    ::GetWindowRect(host.hwnd, &window);
    EXPECT_EQ(300, window.right - window.left);  // no tree yet: resized at once
    m.SetWindowAttribute(L"noactivate", L"True");
    EXPECT_TRUE(m.IsNoActivate());
    m.SetWindowAttribute(L"NoActivate", L"false");
    EXPECT_TRUE(m.IsNoActivate());  // compared exactly: became a custom attribute
    EXPECT_STREQ(L"false", m.GetWindowCustomAttribute(L"NoActivate"));
    m.SetWindowAttribute(L"disabledfontcolor", L"FF405060");
    EXPECT_EQ(0xFF405060u, m.GetDefaultDisabledColor());
    m.SetWindowAttribute(L"opacity", L"128");
    EXPECT_EQ(128, m.GetOpacity());
    EXPECT_FALSE(m.IsLayered());

    CUiManager enlarged;
    CUiManager::SetEnlargeMode(true);
    enlarged.SetWindowAttribute(L"size", L"400,300");
    enlarged.SetWindowAttribute(L"mininfo", L"400,300");
    CUiManager::SetEnlargeMode(false);
    EXPECT_EQ(450, enlarged.GetInitSize().cy);
    EXPECT_EQ(400, enlarged.GetMinInfo().cx);  // not scaled
}

TEST(WindowAttributeTest, SharedAndOwnDefaultAttributeLists)
{
    CUiManager a, b;
    a.AddDefaultAttributeList(L"Button", L"width=\"20\"");
    EXPECT_EQ(nullptr, b.GetDefaultAttributeList(L"Button"));
    b.AddDefaultAttributeList(L"Label", L"height=\"5\"", true);
    EXPECT_STREQ(L"height=\"5\"", a.GetDefaultAttributeList(L"Label"));
    b.RemoveAllDefaultAttributeList(true);
    EXPECT_EQ(nullptr, a.GetDefaultAttributeList(L"Label"));
    CControlUI one;  // an option group goes with its last control
    EXPECT_TRUE(a.AddOptionGroup(L"g", &one));
    EXPECT_FALSE(a.AddOptionGroup(L"g", &one));
    a.RemoveOptionGroup(L"g", &one);
    EXPECT_EQ(nullptr, a.GetOptionGroup(L"g"));
}

}  // namespace
