// Test helper program: a skinned window whose skin file is found nowhere,
// in a process that logs to the file it is given. The window's failed build
// ends the process with exit code 1 after its error box.
//   skinui_broken_skin.exe LOG_PATH
#include <windows.h>

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_impl_base.h"

namespace {

class BrokenSkinWindow : public SkinUI::WindowImplBase {
protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUIBrokenSkinWindow"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"missing_skin.xml"; }
};

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return 2;
    }
    common::setLogSink(&common::logLine);
    common::startLogging(argv[1]);
    SkinUI::CUiManager::SetInstance(::GetModuleHandleW(nullptr));
    BrokenSkinWindow window;
    window.Create(nullptr, L"broken skin", WS_POPUP | WS_VISIBLE, 0);
    return 3;  // not reached: the failed build ends the process
}
