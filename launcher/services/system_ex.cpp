#include "launcher/services/system_ex.h"

#include "foundation/log.h"

namespace utility {
namespace usystem {

bool isWin8Version(DWORD major, DWORD minor)
{
    // 10.0 has a minor below 2 and is still later than 6.2.
    return major > 6 || (major == 6 && minor >= 2);
}

bool isWin8OS()
{
    OSVERSIONINFOEXW info;
    ZeroMemory(&info, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
            common::log("utility::usystem::isWin8OS", __LINE__,
                        L"GetVersionEx failed. lastError = %d", GetLastError());
            return false;
        }
    }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    common::log("utility::usystem::isWin8OS", __LINE__, L"isWin8OS major = %d, minor = %d",
                info.dwMajorVersion, info.dwMinorVersion);
    return isWin8Version(info.dwMajorVersion, info.dwMinorVersion);
}

HANDLE createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool exclusive)
{
    HANDLE mutex = CreateMutexW(nullptr, initialOwner ? TRUE : FALSE, name.c_str());
    const DWORD error = GetLastError();
    if (!mutex) {
        common::log("utility::usystem::createSingleInstanceMutex", __LINE__,
                    L"CreateMutex %s failed. lastError = %d", name.c_str(), error);
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
