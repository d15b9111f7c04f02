#include "regkey.h"

#include <vector>

#include "log.h"
#include "ustring.h"

namespace utility {

LONG RegKey::RegRegOpen(HKEY root, const std::string& subKey, REGSAM access)
{
    close();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExA(root, subKey.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) {
        key_.reset(key);
    } else {
        common::log("utility::RegKey::RegRegOpen", __LINE__, L"open reg = %s, lastError = %d",
                    ustring::toWide(subKey).c_str(), static_cast<int>(result));
    }
    return result;
}

LONG RegKey::RegRead(const std::string& valueName, std::string& value)
{
    value.clear();
    if (!key_.valid()) {
        common::log("utility::RegKey::RegRead", __LINE__, L"m_hKey is null, query reg = %s",
                    ustring::toWide(valueName).c_str());
        return ERROR_INVALID_HANDLE;
    }
    // One byte more than we offer the system, so the text is always terminated.
    std::vector<char> buffer(kMaxValueBytes + 1, '\0');
    DWORD type = 0;
    DWORD size = kMaxValueBytes;
    LONG result = RegQueryValueExA(key_.get(), valueName.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (result == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ)
        result = ERROR_INVALID_DATA;
    if (result != ERROR_SUCCESS) {
        common::log("utility::RegKey::RegRead", __LINE__, L"read reg lastError = %d", static_cast<int>(result));
        return result;
    }
    value.assign(buffer.data(), strnlen(buffer.data(), size));
    return ERROR_SUCCESS;
}

void RegKey::close() { key_.reset(); }

}  // namespace utility
