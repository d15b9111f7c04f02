// The SkinUI demo program: opens the demo window from the skin archive in its
// resources and runs the message loop until the window closes.
//   skinui_demo.exe [autoclose=MS] [page=NAME] [msgbox]
// page=NAME shows the page of the option "page_NAME" first; msgbox opens the
// two-button message box over the window.
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
    std::wstring page;
    at = args.find(L"page=");
    if (at != std::wstring::npos) {
        const size_t end = args.find(L' ', at);
        page = args.substr(at + 5, end == std::wstring::npos ? std::wstring::npos : end - at - 5);
    }
    const bool messageBox = args.find(L"msgbox") != std::wstring::npos;

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
    if (!page.empty()) {
        window.ShowPage(page.c_str());
    }
    window.CenterWindow();
    window.ShowWindow(true);
    if (messageBox) {
        window.OpenMessageBox(true);
    }
    window.CloseAfter(autoCloseMs);
    SkinUI::CUiManager::MessageLoop();
    ::CoUninitialize();
    return 0;
}
