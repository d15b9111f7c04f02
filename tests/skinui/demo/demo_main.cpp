// The SkinUI demo program: opens the demo window from the skin archive in its
// resources and runs the message loop until the window closes.
//   skinui_demo.exe [autoclose=MS]
#include <windows.h>

#include <string>

#include "demo_window.h"
#include "foundation/log.h"
#include "foundation/system_dll.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/ui_manager.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    utility::restrictDllSearch();
    UINT autoCloseMs = 0;
    std::wstring args = commandLine != nullptr ? commandLine : L"";
    size_t at = args.find(L"autoclose=");
    if (at != std::wstring::npos) {
        autoCloseMs = static_cast<UINT>(_wtoi(args.c_str() + at + 10));
    }

    ::CoInitialize(nullptr);
    SkinUI::CUiManager::SetInstance(instance);
    SkinUI::RegisterControlElements();
    SkinUI::CUiManager::SetLanguage(L"en_US", L"en_US");
    SkinUI::CUiManager::LoadZipResource(129, L"multi_language.tsv");

    skindemo::DemoWindow window(true);
    if (window.Create(nullptr, L"SkinUI demo", WS_POPUP | WS_VISIBLE | WS_MINIMIZEBOX, 0) == nullptr) {
        common::log("wWinMain", __LINE__, L"demo window not created lastError = %d",
                    static_cast<int>(::GetLastError()));
        ::CoUninitialize();
        return 2;
    }
    window.CenterWindow();
    window.ShowWindow(true);
    window.CloseAfter(autoCloseMs);
    SkinUI::CUiManager::MessageLoop();
    ::CoUninitialize();
    return 0;
}
