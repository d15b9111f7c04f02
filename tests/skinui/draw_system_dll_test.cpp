// The drawing kit and the window manager take msimg32.dll from the system
// folder only: the build plants a copy that records being loaded beside this
// program.
#include <gtest/gtest.h>

#include "common/test_util.h"
#include "skinui/core/draw_kit_internal.h"
#include "skinui/core/ui_manager.h"

namespace {

TEST(DrawSystemDllTest, Msimg32ComesFromTheSystemFolderNotFromBesideTheProgram)
{
    ASSERT_TRUE(testutil::fileExists(testutil::exeDir() + L"msimg32.dll"));
    {
        SkinUI::CUiManager manager;
        EXPECT_NE(nullptr, SkinUI::drawkit::GetMsimg32().alphaBlend);
    }
    HMODULE module = ::GetModuleHandleW(L"msimg32.dll");
    ASSERT_NE(nullptr, module);
    wchar_t path[MAX_PATH] = {0}, system[MAX_PATH] = {0};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    ::GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(0, _wcsnicmp(path, system, wcslen(system))) << testutil::narrow(path);
    EXPECT_EQ(0u, ::GetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", nullptr, 0));
}

}  // namespace
