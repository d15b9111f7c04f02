#include "launcher/services/file_ex.h"

#include <wctype.h>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "foundation/scoped_handle.h"

namespace utility {
namespace ufile {

namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool startsWithDrive(const std::wstring& path, size_t at)
{
    return path.size() >= at + 3 && iswalpha(path[at]) && path[at + 1] == L':' && isSeparator(path[at + 2]);
}

// Number of non-empty names in path[from..], split at either separator.
size_t countNames(const std::wstring& path, size_t from)
{
    size_t names = 0;
    bool inName = false;
    for (size_t i = from; i < path.size(); ++i) {
        if (isSeparator(path[i])) {
            inName = false;
        } else if (!inName) {
            inName = true;
            ++names;
        }
    }
    return names;
}

// True for a full path that names a folder below a drive or share root:
// "C:\x", "\\server\share\x", "\\?\C:\x", "\\?\UNC\server\share\x".
bool isBelowRoot(const std::wstring& full)
{
    size_t at = 0;
    bool unc = false;
    if (full.size() >= 4 && isSeparator(full[0]) && isSeparator(full[1]) && (full[2] == L'?' || full[2] == L'.') &&
        isSeparator(full[3])) {
        at = 4;
        if (full.size() >= at + 4 && _wcsnicmp(full.c_str() + at, L"UNC", 3) == 0 && isSeparator(full[at + 3])) {
            at += 4;
            unc = true;
        }
    } else if (full.size() >= 2 && isSeparator(full[0]) && isSeparator(full[1])) {
        at = 2;
        unc = true;
    }
    if (unc)
        return countNames(full, at) >= 3;  // server, share, folder
    return startsWithDrive(full, at) && countNames(full, at + 3) >= 1;
}

// The folder as a full path without trailing separator, or empty when it
// must not be removed: empty, relative (also "C:x" and "\x") or a root.
std::wstring folderToRemove(const std::wstring& folder)
{
    if (folder.empty()) {
        common::log("utility::ufile::removeDir", __LINE__, L"refused: empty folder");
        return std::wstring();
    }
    const bool absolute = startsWithDrive(folder, 0) ||
                          (folder.size() >= 2 && isSeparator(folder[0]) && isSeparator(folder[1]));
    if (!absolute) {
        common::log("utility::ufile::removeDir", __LINE__, L"refused: relative folder [ %s ]", folder.c_str());
        return std::wstring();
    }
    wchar_t full[MAX_PATH] = {0};
    DWORD length = GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        common::log("utility::ufile::removeDir", __LINE__, L"refused: bad folder [ %s ] error = %d", folder.c_str(),
                    GetLastError());
        return std::wstring();
    }
    std::wstring result = full;
    while (!result.empty() && isSeparator(result.back()))
        result.pop_back();
    if (!isBelowRoot(result)) {
        common::log("utility::ufile::removeDir", __LINE__, L"refused: root folder [ %s ]", folder.c_str());
        return std::wstring();
    }
    return result;
}

bool removeDirectoryLogged(const std::wstring& dir)
{
    if (RemoveDirectoryW(dir.c_str()))
        return true;
    common::log("utility::ufile::removeDir", __LINE__, L"RemoveDirectory error = %d", GetLastError());
    return false;
}

bool removeTree(const std::wstring& dir)
{
    const DWORD attributes = GetFileAttributesW(dir.c_str());
    // A junction or directory link is removed as a link; its target stays.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return removeDirectoryLogged(dir);

    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW(joinPath(dir, L"*.*").c_str(), &data));
    if (find.valid()) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = joinPath(dir, name);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                    removeDirectoryLogged(child);
                else
                    removeTree(child);
            } else if (!DeleteFileW(child.c_str())) {
                common::log("utility::ufile::removeDir", __LINE__, L"DeleteFile fileName = %s error = %d",
                            child.c_str(), GetLastError());
            }
        } while (FindNextFileW(find.get(), &data));
        find.reset();  // the folder cannot go while it is searched
    }
    return removeDirectoryLogged(dir);
}

}  // namespace

bool getFileSize(const std::wstring& path, unsigned long long& size)
{
    size = 0;
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        // A file that is not there is no news: downloads ask before they start.
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            common::log("utility::ufile::getFileSize", __LINE__, L"open [ %s ] error = %d", path.c_str(), error);
        return false;
    }
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file.get(), &value)) {
        common::log("utility::ufile::getFileSize", __LINE__, L"size of [ %s ] error = %d", path.c_str(),
                    GetLastError());
        return false;
    }
    size = static_cast<unsigned long long>(value.QuadPart);
    return true;
}

bool getFileSize(const std::string& path, unsigned long long& size) { return getFileSize(ustring::toWide(path), size); }

bool moveFile(const std::wstring& from, const std::wstring& to, DWORD flags)
{
    if (MoveFileExW(from.c_str(), to.c_str(), flags))
        return true;
    common::log("utility::ufile::moveFile", __LINE__, L"move file from [ %s ] to [ %s ] flag = %d failed! error = %d.",
                from.c_str(), to.c_str(), flags, GetLastError());
    return false;
}

bool copyFile(const std::wstring& from, const std::wstring& to, bool failIfExists)
{
    if (CopyFileW(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE))
        return true;
    common::log("utility::ufile::copyFile", __LINE__, L"copy file from [ %s ] to [ %s ] flag = %d failed! error = %d.",
                from.c_str(), to.c_str(), failIfExists ? 1 : 0, GetLastError());
    return false;
}

bool removeDir(const std::wstring& folder)
{
    const std::wstring dir = folderToRemove(folder);
    if (dir.empty())
        return false;
    return removeTree(dir);
}

std::wstring getExeDir()
{
    wchar_t path[MAX_PATH] = {0};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        common::log("utility::ufile::getExeDir", __LINE__, L"GetModuleFileName failed. length = %d, error = %d", length,
                    GetLastError());
        return std::wstring();
    }
    return getParentDir(path);
}

bool toAnsiPath(const std::wstring& path, std::string& out)
{
    out.clear();
    if (path.empty())
        return false;
    BOOL usedDefault = FALSE;
    int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()), nullptr,
                                     0, nullptr, &usedDefault);
    if (needed <= 0 || usedDefault)
        return false;
    out.resize(static_cast<size_t>(needed));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), static_cast<int>(path.size()), &out[0], needed,
                        nullptr, &usedDefault);
    return !usedDefault;
}

}  // namespace ufile
}  // namespace utility
