#include "system_dll.h"

#include <atomic>
#include <string>

#include "log.h"
#include "ufile.h"

namespace utility {

namespace {

std::atomic<bool> g_programFolderRefused{false};

// The folder of a path with its trailing separator; empty when it has none.
std::wstring folderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring systemFolder()
{
    wchar_t folder[MAX_PATH] = {0};
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return ufile::withSeparator(std::wstring(folder, length));
}

std::wstring programFolder()
{
    wchar_t path[MAX_PATH] = {0};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return folderOf(std::wstring(path, length));
}

// A file name alone: no folder, no drive, no "." or ".." and nothing a path
// could be made of.
bool isPlainFileName(const std::wstring& name)
{
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." &&
           name.find(L"..") == std::wstring::npos;
}

}  // namespace

bool restrictDllSearch(ProgramFolderDlls programFolder)
{
    g_programFolderRefused = programFolder == ProgramFolderDlls::Refused;
    return restrictDllSearch();
}

bool restrictDllSearch()
{
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    SetDefaultDllDirectoriesFn setDirectories =
        kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                     reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
               : nullptr;
    if (!setDirectories) {
        common::log("utility::restrictDllSearch", __LINE__, L"SetDefaultDllDirectories not available lastError = %d",
                    GetLastError());
        return false;
    }
    // LOAD_LIBRARY_SEARCH_DEFAULT_DIRS is the program's folder, the system
    // folder and the folders added with AddDllDirectory.
    const DWORD directories = programFolderServesDlls() ? LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
                                                        : LOAD_LIBRARY_SEARCH_SYSTEM32;
    if (!setDirectories(directories)) {
        common::log("utility::restrictDllSearch", __LINE__, L"SetDefaultDllDirectories failed lastError = %d",
                    GetLastError());
        return false;
    }
    return true;
}

bool programFolderServesDlls() { return !g_programFolderRefused; }

HMODULE loadSystemLibrary(const wchar_t* name)
{
    HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module)
        return module;
    DWORD error = GetLastError();
    if (error == ERROR_INVALID_PARAMETER) {
        // A system that predates the search flags: name the file in full.
        const std::wstring folder = systemFolder();
        if (!folder.empty()) {
            module = LoadLibraryW((folder + name).c_str());
            if (module)
                return module;
        }
        error = GetLastError();
    }
    common::log("utility::loadSystemLibrary", __LINE__, L"load %s failed lastError = %d", name, error);
    return nullptr;
}

HMODULE loadModuleByName(const wchar_t* fileName)
{
    const std::wstring name = fileName ? fileName : L"";
    if (!isPlainFileName(name)) {
        common::log("utility::loadModuleByName", __LINE__,
                    L"[%s] refused: only a file name of the program's or the system folder "
                    L"lastError = %d",
                    name.c_str(), ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // Each folder by full path: the same on systems without the search flags,
    // and nothing else (the PATH, the current folder) is ever searched.
    std::wstring folders[2] = {programFolderServesDlls() ? programFolder() : std::wstring(), systemFolder()};
    DWORD error = ERROR_MOD_NOT_FOUND;
    for (const std::wstring& folder : folders) {
        if (folder.empty())
            continue;
        const std::wstring path = folder + name;
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            continue;
        HMODULE module = LoadLibraryW(path.c_str());
        if (module)
            return module;
        error = GetLastError();
    }
    common::log("utility::loadModuleByName", __LINE__, L"%s not loaded lastError = %d", name.c_str(), error);
    return nullptr;
}

}  // namespace utility
