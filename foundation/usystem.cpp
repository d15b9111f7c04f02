#include "usystem.h"

#include <shellapi.h>

#include "log.h"
#include "scoped_handle.h"

namespace utility {
namespace usystem {

bool isVistaOrLater()
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXW);
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) {
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)))
            return false;
    }
    return info.dwMajorVersion >= 6;
}

bool openUrl(const std::wstring& url)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"open";
    info.lpFile = url.c_str();
    info.nShow = SW_SHOW;
    if (ShellExecuteExW(&info)) {
        ScopedHandle process(info.hProcess);
        return true;
    }
    common::log("utility::usystem::openUrl", __LINE__, L"open url failed! lastError = %d",
                GetLastError());
    HINSTANCE result = ShellExecuteW(nullptr, L"open", L"iexplore.exe", url.c_str(), nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace usystem
}  // namespace utility
