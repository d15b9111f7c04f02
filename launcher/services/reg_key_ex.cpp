#include "launcher/services/reg_key_ex.h"

#include "foundation/log.h"

namespace utility {

LONG RegKeyEx::RegRegOpen(HKEY root, const std::wstring& subKey, REGSAM access)
{
    close();
    HKEY key = nullptr;
    LONG result = RegOpenKeyExW(root, subKey.c_str(), 0, access, &key);
    if (result == ERROR_SUCCESS) {
        key_.reset(key);
    } else {
        common::log("utility::RegKeyEx::RegRegOpen", __LINE__, L"open reg = %s, lastError = %d", subKey.c_str(),
                    result);
    }
    return result;
}

LONG RegKeyEx::RegRead(const std::wstring& valueName, std::wstring& value)
{
    value.clear();
    if (!key_.valid()) {
        common::log("utility::RegKeyEx::RegRead", __LINE__, L"m_hKey is null, query reg = %s", valueName.c_str());
        return ERROR_INVALID_HANDLE;
    }
    // One spare character so that a value stored without terminator still ends.
    wchar_t buffer[kReadBufferBytes / sizeof(wchar_t) + 1] = {0};
    DWORD type = REG_NONE;
    DWORD bytes = kReadBufferBytes;
    LONG result = RegQueryValueExW(key_.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                   &bytes);
    if (result == ERROR_SUCCESS && type != REG_SZ)
        result = ERROR_UNSUPPORTED_TYPE;
    if (result != ERROR_SUCCESS) {
        common::log("utility::RegKeyEx::RegRead", __LINE__, L"read reg lastError = %d", result);
        return result;
    }
    size_t chars = bytes / sizeof(wchar_t);
    while (chars > 0 && buffer[chars - 1] == L'\0')
        --chars;
    value.assign(buffer, chars);
    return ERROR_SUCCESS;
}

LONG RegKeyEx::RegWrite(const std::wstring& valueName, const std::wstring& value)
{
    if (!key_.valid()) {
        common::log("utility::RegKeyEx::RegWrite", __LINE__, L"m_hKey is null, query reg = %s", valueName.c_str());
        return ERROR_INVALID_HANDLE;
    }
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    LONG result = RegSetValueExW(key_.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 bytes);
    if (result != ERROR_SUCCESS)
        common::log("utility::RegKeyEx::RegWrite", __LINE__, L"write reg 1 lastError = %d", result);
    return result;
}

LONG RegKeyEx::RegWriteDword(const std::wstring& valueName, DWORD value)
{
    if (!key_.valid()) {
        common::log("utility::RegKeyEx::RegWriteDword", __LINE__, L"m_hKey is null, query reg = %s", valueName.c_str());
        return ERROR_INVALID_HANDLE;
    }
    LONG result = RegSetValueExW(key_.get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                 sizeof(value));
    if (result != ERROR_SUCCESS)
        common::log("utility::RegKeyEx::RegWriteDword", __LINE__, L"write reg %s lastError = %d", valueName.c_str(),
                    result);
    return result;
}

LONG RegKeyEx::RegRemoveValue(const std::wstring& valueName)
{
    if (!key_.valid())
        return ERROR_INVALID_HANDLE;
    LONG result = RegDeleteValueW(key_.get(), valueName.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        common::log("utility::RegKeyEx::RegRemoveValue", __LINE__, L"delete value %s lastError = %d", valueName.c_str(),
                    result);
    return result;
}

LONG RegKeyEx::RegRemoveKey(HKEY root, const std::wstring& subKey)
{
    LONG result = RegDeleteKeyW(root, subKey.c_str());
    if (result == ERROR_FILE_NOT_FOUND)
        return ERROR_SUCCESS;
    if (result != ERROR_SUCCESS)
        common::log("utility::RegKeyEx::RegRemoveKey", __LINE__, L"delete key %s lastError = %d", subKey.c_str(),
                    result);
    return result;
}

LONG RegKeyEx::RegCreate(HKEY root, const std::wstring& subKey)
{
    close();
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                  nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        key_.reset(key);
    } else {
        common::log("utility::RegKeyEx::RegCreate", __LINE__, L"create reg  lastError = %d", result);
    }
    return result;
}

void RegKeyEx::close() { key_.reset(); }

}  // namespace utility
