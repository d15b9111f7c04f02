#include "usystem.h"

#include <shellapi.h>

#include "log.h"
#include "scoped_handle.h"
#include "url_policy.h"

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
            common::log("utility::usystem::isWin8OS", __LINE__, L"GetVersionEx failed. lastError = %d", GetLastError());
            return false;
        }
    }
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    common::log("utility::usystem::isWin8OS", __LINE__, L"isWin8OS major = %d, minor = %d", info.dwMajorVersion,
                info.dwMinorVersion);
    return isWin8Version(info.dwMajorVersion, info.dwMinorVersion);
}

bool openUrl(const std::wstring& url)
{
    if (!urlpolicy::isAllowed(url, urlpolicy::Schemes::HttpOrHttps)) {
        common::log("utility::usystem::openUrl", __LINE__, L"refused, not a web address: %s", url.c_str());
        return false;
    }
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
    common::log("utility::usystem::openUrl", __LINE__, L"open url %s failed! lastError = %d", url.c_str(),
                GetLastError());
    return false;
}

}  // namespace usystem
}  // namespace utility
