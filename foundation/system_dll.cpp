#include "system_dll.h"

#include <string>

#include "log.h"

namespace utility {

bool restrictDllSearch()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    SetDefaultDllDirectoriesFn setDirectories =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (!setDirectories) {
        common::log("utility::restrictDllSearch", __LINE__,
                    L"SetDefaultDllDirectories not available lastError = %d", GetLastError());
        return false;
    }
    if (!setDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) {
        common::log("utility::restrictDllSearch", __LINE__,
                    L"SetDefaultDllDirectories failed lastError = %d", GetLastError());
        return false;
    }
    return true;
}

HMODULE loadSystemLibrary(const wchar_t* name)
{
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module)
        return module;
    DWORD error = GetLastError();
    if (error == ERROR_INVALID_PARAMETER) {
        // A system that predates the search flags: name the file in full.
        wchar_t folder[MAX_PATH] = {0};
        UINT length = GetSystemDirectoryW(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            module = LoadLibraryW((std::wstring(folder) + L"\\" + name).c_str());
            if (module)
                return module;
        }
        error = GetLastError();
    }
    common::log("utility::loadSystemLibrary", __LINE__, L"load %s failed lastError = %d", name,
                error);
    return nullptr;
}

}  // namespace utility
