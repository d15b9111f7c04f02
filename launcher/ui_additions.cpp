#include "launcher/ui_additions.h"

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

SIZE ScaledClientSize(int width, int height)
{
    if (CUiManager::IsEnlargeMode()) {
        const float scale = CUiManager::GetEnlargeScale();
        if (width != -1)
            width = static_cast<int>(width * scale);
        if (height != -1)
            height = static_cast<int>(height * scale);
    }
    SIZE size = {width, height};
    return size;
}

void SetClientSize(HWND window, int width, int height)
{
    if (!::IsWindow(window)) {
        common::log("SkinUI::SetClientSize", __LINE__, L"no window lastError = %d", static_cast<int>(::GetLastError()));
        return;
    }
    const SIZE size = ScaledClientSize(width, height);
    RECT rc = {};
    ::GetClientRect(window, &rc);
    if (size.cx != -1)
        rc.right = size.cx;
    if (size.cy != -1)
        rc.bottom = size.cy;
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window, GWL_EXSTYLE));
    const BOOL hasMenu = !(style & WS_CHILD) && ::GetMenu(window) != nullptr;
    if (!::AdjustWindowRectEx(&rc, style, hasMenu, exStyle)) {
        common::log("SkinUI::SetClientSize", __LINE__, L"AdjustWindowRectEx failed lastError = %d",
                    static_cast<int>(::GetLastError()));
        return;
    }
    ::SetWindowPos(window, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

int RunModal(HWND window)
{
    HWND owner = ::GetWindow(window, GW_OWNER);
    ::ShowWindow(window, SW_SHOWNORMAL);
    if (owner != nullptr)
        ::EnableWindow(owner, FALSE);

    int result = 0;
    bool quit = false;
    int quitCode = 0;
    MSG msg = {};
    while (::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            quit = got == 0;
            quitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (msg.message == WM_CLOSE && msg.hwnd == window) {
            result = static_cast<int>(msg.wParam);
            // The owner takes the activation when the window closes.
            if (owner != nullptr) {
                ::EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!CUiManager::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit)
        ::PostQuitMessage(quitCode);
    return result;
}

}  // namespace SkinUI
