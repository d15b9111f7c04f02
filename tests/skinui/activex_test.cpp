// CActiveXUI hosting the test control of zul_test_activex.dll, loaded by
// its file name through "modulename": delayed creation at the first
// placement, the size it is given, its window or its windowless painting and
// clicks, what an unknown class leaves behind, and the folders a module may
// come from.
#include <gtest/gtest.h>
#include <windows.h>

#include "activex_window.h"
#include "foundation/system_dll.h"
#include "skinui/controls/activex_ui.h"

using namespace SkinUI;
using skintest::ActiveXWindow;
using skintest::RectIs;

namespace {

const wchar_t kWindowedClass[] = L"{6B0F3C5E-9A51-4E0B-8D2A-5C1E7F2B9A10}";
const wchar_t kWindowlessClass[] = L"{6B0F3C5E-9A51-4E0B-8D2A-5C1E7F2B9A11}";

CActiveXUI* NewHost(const wchar_t* clsid)
{
    CActiveXUI* host = new CActiveXUI;
    host->SetAttribute(L"name", L"ax");
    host->SetAttribute(L"modulename", L"zul_test_activex.dll");
    host->SetAttribute(L"clsid", clsid);
    return host;
}

LONG Himetric(int pixels, int index)
{
    HDC screen = ::GetDC(nullptr);
    int dpi = ::GetDeviceCaps(screen, index);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(pixels, 2540, dpi);
}

}  // namespace

TEST(ActiveX, ModuleControlComesToLifeAtItsFirstPlacementInItsOwnWindow)
{
    skintest::TestControlModule module;
    ZulTestControlState* state = module.state;
    ActiveXWindow w;
    skintest::NotifyLog notes;
    w.manager.AddNotifier(&notes);

    CActiveXUI* host = NewHost(kWindowedClass);
    EXPECT_EQ(0, state->objectsCreated) << "creation waits for the first placement";
    w.Place(host, L"20,30,220,130");

    // Created once, activated in place in an "ActiveXWnd" child over the control.
    ASSERT_EQ(1, state->objectsCreated);
    EXPECT_EQ(1, state->activations);
    EXPECT_EQ(0, state->windowless);
    EXPECT_STREQ(L"UIActiveX", state->hostName);
    HWND hostWnd = host->GetHostWindow();
    ASSERT_NE(nullptr, hostWnd);
    EXPECT_EQ(hostWnd, state->parent);
    wchar_t text[32] = {};
    ::GetClassNameW(hostWnd, text, 32);
    EXPECT_STREQ(L"ActiveXWnd", text);
    ::GetWindowTextW(hostWnd, text, 32);
    EXPECT_STREQ(L"UIActiveX", text);
    RECT rc = w.manager.GetNativeWindowRect(hostWnd);
    EXPECT_TRUE(RectIs(rc, 20, 30, 220, 130));

    // Its size: the extent in HIMETRIC and the rectangle inside its window.
    EXPECT_EQ(Himetric(200, LOGPIXELSX), state->extent.cx);
    EXPECT_EQ(Himetric(100, LOGPIXELSY), state->extent.cy);
    EXPECT_TRUE(RectIs(state->objectRect, 0, 0, 200, 100));
    ::GetClientRect(state->window, &rc);
    EXPECT_TRUE(RectIs(rc, 0, 0, 200, 100));
    testutil::pumpFor(100);
    EXPECT_EQ(kTestControlWindowedColor, ActiveXWindow::PixelAt(state->window, 100, 50)) << "the control paints";
    EXPECT_EQ(1, notes.Count(L"showactivex"));

    // A new size reaches the object and its window; hiding hides the window.
    host->SetAttribute(L"pos", L"20,30,320,180");
    w.Repaint();
    EXPECT_EQ(Himetric(300, LOGPIXELSX), state->extent.cx);
    EXPECT_TRUE(RectIs(state->objectRect, 0, 0, 300, 150));
    EXPECT_TRUE(RectIs(w.manager.GetNativeWindowRect(hostWnd), 20, 30, 320, 180));
    host->SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(hostWnd));
    host->SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(hostWnd));

    // Gone with the control: the object, its window and the host window.
    HWND controlWnd = state->window;
    w.root->Remove(host);
    testutil::pumpFor(100);
    EXPECT_EQ(0, state->liveObjects);
    EXPECT_FALSE(::IsWindow(controlWnd));
    EXPECT_FALSE(::IsWindow(hostWnd));
    w.manager.RemoveNotifier(&notes);
}

TEST(ActiveX, WindowlessControlPaintsIntoTheWindowAndTakesClicks)
{
    skintest::TestControlModule module;
    ZulTestControlState* state = module.state;
    ActiveXWindow w;
    CActiveXUI* host = w.Place(NewHost(kWindowlessClass), L"40,40,140,100");

    ASSERT_EQ(1, state->activations);
    EXPECT_EQ(1, state->windowless);
    EXPECT_EQ(nullptr, host->GetHostWindow());
    EXPECT_TRUE(RectIs(state->objectRect, 40, 40, 140, 100)) << "window coordinates";
    w.Repaint();
    EXPECT_GT(state->draws, 0);
    EXPECT_EQ(kTestControlWindowlessColor, ActiveXWindow::PixelAt(w.hwnd, 90, 70));

    // A real click on it reaches the object and focuses the control; one beside it does not.
    w.PointerTo(90, 70);
    w.RealButton(true);
    w.RealButton(false);
    EXPECT_EQ(1, state->clicks);
    EXPECT_EQ(host, w.manager.GetFocus());
    w.PointerTo(200, 200);
    w.RealButton(true);
    w.RealButton(false);
    EXPECT_EQ(1, state->clicks);
}

TEST(ActiveX, UnknownClassesLeaveAnEmptyControlAndALogLine)
{
    skintest::TestControlModule module;
    skintest::LogLines logs;
    ActiveXWindow w;

    CActiveXUI* unknown = new CActiveXUI;
    unknown->SetAttribute(L"clsid", L"Zul.NoSuchControl.1");
    EXPECT_EQ(1, logs.Count(L"unknown class Zul.NoSuchControl.1"));
    w.Place(unknown, L"10,10,110,60");
    void* object = nullptr;
    EXPECT_FALSE(unknown->GetControl(IID_IUnknown, &object));
    EXPECT_EQ(nullptr, unknown->GetHostWindow());

    // A module without a class factory: the registry is asked, which does not know the class.
    CActiveXUI* noFactory = new CActiveXUI;
    noFactory->SetAttribute(L"modulename", L"skinui_activex_test.exe");
    noFactory->SetAttribute(L"clsid", kWindowedClass);
    w.Place(noFactory, L"10,70,110,120");
    EXPECT_EQ(1, logs.Count(L"has no DllGetClassObject"));
    EXPECT_EQ(1, logs.Count(L"not created hr"));
    EXPECT_FALSE(noFactory->GetControl(IID_IUnknown, &object));
    EXPECT_EQ(0, module.state->objectsCreated);

    // Created at once when not delayed.
    CActiveXUI* now = new CActiveXUI;
    now->SetAttribute(L"modulename", L"zul_test_activex.dll");
    now->SetAttribute(L"delaycreate", L"false");
    w.Place(now, L"150,10,250,60");
    now->SetAttribute(L"clsid", kWindowedClass);
    EXPECT_EQ(1, module.state->objectsCreated);
}

// A skin folder beside a program may be anyone's: a module is a file name of
// the program's folder or the system folder; a path, even to the same file,
// is refused. The installer refuses its own folder as well.
TEST(ActiveX, ModulesComeOnlyFromTheProgramOrTheSystemFolder)
{
    skintest::TestControlModule module;
    skintest::LogLines logs;
    ActiveXWindow w;
    testutil::TempDir dir;
    ASSERT_TRUE(::CopyFileW((testutil::exeDir() + L"zul_test_activex.dll").c_str(),
                            dir.file(L"zul_test_activex.dll").c_str(), FALSE));
    const std::wstring paths[] = {
        dir.file(L"zul_test_activex.dll"),          testutil::exeDir() + L"zul_test_activex.dll",
        L"..\\skinui\\zul_test_activex.dll",        L".\\zul_test_activex.dll",
        L"activex_control/../zul_test_activex.dll", L"C:zul_test_activex.dll"};
    int top = 0;
    for (const std::wstring& path : paths) {
        CActiveXUI* host = new CActiveXUI;
        host->SetAttribute(L"modulename", path.c_str());
        host->SetAttribute(L"clsid", kWindowedClass);
        const std::wstring pos = L"10," + std::to_wstring(top) + L",60," + std::to_wstring(top + 20);
        w.Place(host, pos.c_str());
        top += 25;
        void* object = nullptr;
        EXPECT_FALSE(host->GetControl(IID_IUnknown, &object)) << testutil::narrow(path);
    }
    EXPECT_EQ(6, logs.Count(L"refused: only a file name of the program's or the system folder"));
    EXPECT_EQ(nullptr, ::GetModuleHandleW(dir.file(L"zul_test_activex.dll").c_str()));

    utility::restrictDllSearch(utility::ProgramFolderDlls::Refused);
    CActiveXUI* refused = w.Place(NewHost(kWindowedClass), L"100,10,150,30");
    utility::restrictDllSearch(utility::ProgramFolderDlls::Allowed);
    EXPECT_EQ(1, logs.Count(L"zul_test_activex.dll not loaded lastError = 126"));
    void* object = nullptr;
    EXPECT_FALSE(refused->GetControl(IID_IUnknown, &object));
    EXPECT_EQ(0, module.state->objectsCreated);

    // The program's folder serves it again once allowed.
    w.Place(NewHost(kWindowedClass), L"100,40,150,60");
    EXPECT_EQ(1, module.state->objectsCreated);
}
