// The drawing kit, the window manager and the GDI+ session take msimg32.dll,
// comctl32.dll and gdiplus.dll from the system folder only: the build plants
// copies that record being loaded beside this program.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "skinui/core/draw_kit_internal.h"
#include "skinui/core/gdiplus_session.h"
#include "skinui/core/ui_manager.h"

namespace {

// The module is loaded, from the system folder.
void ExpectFromSystemFolder(const wchar_t* name)
{
    HMODULE module = ::GetModuleHandleW(name);
    ASSERT_NE(nullptr, module) << testutil::narrow(name);
    wchar_t path[MAX_PATH] = {0}, system[MAX_PATH] = {0};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(0, _wcsnicmp(path, system, wcslen(system))) << testutil::narrow(path);
}

TEST(DrawSystemDllTest, Msimg32AndComctl32ComeFromTheSystemFolderNotFromBesideTheProgram)
{
    ASSERT_TRUE(testutil::fileExists(testutil::exeDir() + L"msimg32.dll"));
    ASSERT_TRUE(testutil::fileExists(testutil::exeDir() + L"comctl32.dll"));
    {
        SkinUI::CUiManager manager;
        EXPECT_NE(nullptr, SkinUI::drawkit::GetMsimg32().alphaBlend);
    }
    ExpectFromSystemFolder(L"msimg32.dll");
    ExpectFromSystemFolder(L"comctl32.dll");
    EXPECT_EQ(0u, ::GetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr, 0));
}

TEST(DrawSystemDllTest, GdiplusComesFromTheSystemFolderAndGoesWithTheLastSession)
{
    ASSERT_TRUE(testutil::fileExists(testutil::exeDir() + L"gdiplus.dll"));
    ASSERT_EQ(nullptr, ::GetModuleHandleW(L"gdiplus.dll"));  // not linked
    {
        SkinUI::CGdiplusSession session;
        ASSERT_TRUE(session.IsStarted());
        ExpectFromSystemFolder(L"gdiplus.dll");
        Gdiplus::GpBitmap* bitmap = nullptr;
        ASSERT_EQ(Gdiplus::Ok,
                  session.Api().GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap));
        session.Api().GdipDisposeImage(bitmap);
    }
    EXPECT_EQ(nullptr, ::GetModuleHandleW(L"gdiplus.dll"));
    EXPECT_EQ(0u, ::GetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr, 0));
}

}  // namespace
