#include "launcher/services/system_ex.h"

#include "foundation/log.h"

namespace utility {
namespace usystem {

HANDLE createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool exclusive)
{
    HANDLE mutex = CreateMutexW(nullptr, initialOwner ? TRUE : FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!mutex) {
        common::log("utility::usystem::createSingleInstanceMutex", __LINE__, L"CreateMutex %s failed. lastError = %d",
                    name.c_str(), error);
        return nullptr;
    }
    if (error == ERROR_ALREADY_EXISTS && exclusive) {
        CloseHandle(mutex);
        return nullptr;
    }
    return mutex;
}

void bringToFront(HWND window)
{
    if (!window || !IsWindow(window))
        return;
    if (IsIconic(window))
        SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_TOPMOST)) {
        SetForegroundWindow(window);
        BringWindowToTop(window);
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW;
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, flags);
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    }
    ShowWindow(window, SW_SHOW);
}

}  // namespace usystem
}  // namespace utility
