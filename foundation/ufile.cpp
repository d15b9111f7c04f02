#include "ufile.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <new>

#include "log.h"
#include "scoped_handle.h"
#include "system_dll.h"

namespace utility {
namespace ufile {

std::wstring getParentDir(const std::wstring& path)
{
    std::wstring p = path;
    if (p.size() > 1 && (p.back() == L'\\' || p.back() == L'/'))
        p.pop_back();
    size_t at = p.find_last_of(L'\\');
    if (at == std::wstring::npos)
        at = p.find_last_of(L'/');
    if (at == std::wstring::npos)
        return std::wstring();
    return p.substr(0, at + 1);
}

bool exists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

namespace {
// The shell's folder-tree creator, exported by ordinal only.
typedef int(WINAPI* CreateDirectoryTreeFn)(HWND, LPCWSTR);

CreateDirectoryTreeFn shellCreateDirectory()
{
    static CreateDirectoryTreeFn fn = [] {
        HMODULE shell = loadSystemLibrary(L"shell32.dll");
        return shell ? reinterpret_cast<CreateDirectoryTreeFn>(
                           reinterpret_cast<void*>(GetProcAddress(shell, MAKEINTRESOURCEA(165))))
                     : nullptr;
    }();
    return fn;
}
}  // namespace

bool makeDir(const std::wstring& path)
{
    CreateDirectoryTreeFn create = shellCreateDirectory();
    int error = create ? create(nullptr, path.c_str()) : static_cast<int>(ERROR_PROC_NOT_FOUND);
    if (error == ERROR_SUCCESS || error == ERROR_ALREADY_EXISTS)
        return true;
    common::log("utility::ufile::makeDir", __LINE__, L"make dir failed! error = %d.", error);
    return false;
}

bool removeFile(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return true;
    common::log("utility::ufile::removeFile", __LINE__, L"removeFile file from [ %s ] error = %d.", path.c_str(),
                GetLastError());
    return false;
}

bool deleteIfPresent(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)
        return true;
    common::log("utility::ufile::deleteIfPresent", __LINE__, L"delete %s failed lastError = %d", path.c_str(),
                GetLastError());
    return false;
}

std::unique_ptr<BYTE[]> readWholeFile(const std::wstring& path, DWORD& size, DWORD maxBytes)
{
    size = 0;
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return nullptr;
    LARGE_INTEGER fileSize = {};
    if (!GetFileSizeEx(file.get(), &fileSize) || fileSize.QuadPart == 0)
        return nullptr;
    if (static_cast<unsigned long long>(fileSize.QuadPart) > maxBytes) {
        common::log("utility::ufile::readWholeFile", __LINE__, L"[ %s ] holds %I64u bytes, more than %u: refused",
                    path.c_str(), static_cast<unsigned long long>(fileSize.QuadPart), maxBytes);
        return nullptr;
    }
    const DWORD wanted = static_cast<DWORD>(fileSize.QuadPart);
    std::unique_ptr<BYTE[]> bytes(new (std::nothrow) BYTE[wanted]);
    DWORD read = 0;
    if (!bytes || !ReadFile(file.get(), bytes.get(), wanted, &read, nullptr) || read != wanted) {
        common::log("utility::ufile::readWholeFile", __LINE__, L"short read of [ %s ] lastError = %d", path.c_str(),
                    GetLastError());
        return nullptr;
    }
    size = wanted;
    return bytes;
}

std::wstring getAppDataDir() { return getSpecialFolder(CSIDL_APPDATA); }

std::wstring getSpecialFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {0};
    HRESULT hr = SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    if (FAILED(hr)) {
        common::log("utility::ufile::getSpecialFolder", __LINE__, L"SHGetFolderPath %d failed hr = %d", csidl,
                    static_cast<int>(hr));
        return std::wstring();
    }
    std::wstring dir = path;
    while (!dir.empty() && (dir.back() == L'\\' || dir.back() == L'/'))
        dir.pop_back();
    return dir;
}

std::wstring withSeparator(const std::wstring& folder)
{
    if (folder.empty() || folder.back() == L'\\' || folder.back() == L'/')
        return folder;
    return folder + L'\\';
}

std::wstring joinPath(const std::wstring& folder, const std::wstring& name) { return withSeparator(folder) + name; }

}  // namespace ufile
}  // namespace utility
