#include "launcher/webbrowser_helper.h"

#include <stdlib.h>

#include <vector>

#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/ustring.h"
#include "launcher/services/reg_key_ex.h"

namespace webbrowserhelper {

namespace {

const wchar_t kEmulationKey[] =
    L"SOFTWARE\\Microsoft\\Internet Explorer\\MAIN\\FeatureControl\\FEATURE_BROWSER_EMULATION";

}  // namespace

std::wstring getIEVersion()
{
    utility::RegKeyEx key;
    LONG status = key.RegRegOpen(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer", KEY_READ);
    if (status != ERROR_SUCCESS) {
        common::log("webbrowserhelper::getIEVersion", __LINE__, L"failed to open key, last error: %d lstatus = %d",
                    GetLastError(), status);
        return L"";
    }
    std::wstring value;
    status = key.RegRead(L"Version", value);
    if (status != ERROR_SUCCESS) {
        common::log("webbrowserhelper::getIEVersion", __LINE__, L"failed to query key, last error: %d, status:%d",
                    GetLastError(), status);
        return L"";
    }
    return value;
}

bool setIeVersion(const std::wstring& exeName, DWORD code)
{
    utility::RegKeyEx key;
    LONG status = key.RegCreate(HKEY_CURRENT_USER, kEmulationKey);
    if (status != ERROR_SUCCESS) {
        common::log("webbrowserhelper::setIeVersion", __LINE__,
                    L"setIeVersion failed to open key. last error: %d, status = %d", GetLastError(), status);
        return false;
    }
    status = key.RegWriteDword(exeName, code);
    if (status != ERROR_SUCCESS) {
        common::log("webbrowserhelper::setIeVersion", __LINE__,
                    L"setIeVersion: failed to set key , last error: %d, status:%d", GetLastError(), status);
        return false;
    }
    return true;
}

DWORD emulationCode(const std::wstring& version, std::wstring& shown)
{
    const std::vector<std::wstring> parts = utility::ustring::splitToVector(version, L".");
    shown = L"6.0";
    if (parts.size() < 2)
        return 0;
    const int major = _wtoi(parts[0].c_str());
    const int minor = _wtoi(parts[1].c_str());
    if (major == 7) {
        shown = L"7.0";
        return 7000;
    }
    if (major == 8) {
        shown = L"8.0";
        return 8888;
    }
    if (major == 9) {
        if (minor < 10) {
            shown = L"9.0";
            return 9999;
        }
        if (minor == 10) {
            shown = L"10.0";
            return 10001;
        }
        shown = L"11.0";
        return 11001;
    }
    return 0;
}

std::wstring registerIENewVersion()
{
    common::log("webbrowserhelper::registerIENewVersion", __LINE__, L"registerIENewVersion");
    const std::wstring version = getIEVersion();
    if (utility::ustring::splitToVector(version, L".").size() < 2) {
        common::log("webbrowserhelper::registerIENewVersion", __LINE__, L"registerIENewVersion error");
        return L"";
    }
    std::wstring shown;
    const DWORD code = emulationCode(version, shown);
    if (code != 0)
        setIeVersion(product::kLauncherExe, code);
    common::log("webbrowserhelper::registerIENewVersion", __LINE__, L"ie version %d", static_cast<int>(code));
    return shown;
}

}  // namespace webbrowserhelper
