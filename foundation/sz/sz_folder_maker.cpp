#include "foundation/sz/sz_folder_maker.h"

#include <windows.h>

#include <algorithm>

#include "foundation/log.h"
#include "foundation/ufile.h"

bool SzFolderMaker::start(const std::wstring& targetDir)
{
    if (!utility::ufile::makeDir(targetDir)) {
        DWORD err = GetLastError();
        common::log("SzFolderMaker::start", __LINE__, L"cannot create %s lastError = %d", targetDir.c_str(), err);
        SetLastError(err);
        return false;
    }
    std::lock_guard<SzLock> lock(lock_);
    targetDir_ = targetDir;
    known_.insert(targetDir);
    return true;
}

bool SzFolderMaker::make(const std::wstring& path, bool kept)
{
    if (!makeOne(path)) {
        return false;
    }
    if (kept) {
        std::lock_guard<SzLock> lock(lock_);
        kept_.insert(path);
    }
    return true;
}

// Parents first; two threads making the same folder both succeed.
bool SzFolderMaker::makeOne(const std::wstring& path)
{
    {
        std::lock_guard<SzLock> lock(lock_);
        if (known_.count(path) != 0) {
            return true;
        }
        if (targetDir_.empty() || path.size() <= targetDir_.size() ||
            path.compare(0, targetDir_.size(), targetDir_) != 0) {
            common::log("SzFolderMaker::make", __LINE__, L"%s is not below the target folder", path.c_str());
            SetLastError(ERROR_BAD_PATHNAME);
            return false;
        }
    }
    const size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos || !makeOne(path.substr(0, cut))) {
        return false;
    }
    bool madeHere = true;
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        DWORD err = GetLastError();
        if (err != ERROR_ALREADY_EXISTS) {
            common::log("SzFolderMaker::make", __LINE__, L"cannot create %s lastError = %d", path.c_str(), err);
            SetLastError(err);
            return false;
        }
        madeHere = false;
    }
    std::lock_guard<SzLock> lock(lock_);
    known_.insert(path);
    if (madeHere) {
        made_.push_back(path);
    }
    return true;
}

void SzFolderMaker::removeUnkept()
{
    std::lock_guard<SzLock> lock(lock_);
    std::vector<std::wstring> doomed;
    for (const std::wstring& path : made_) {
        if (kept_.count(path) == 0) {
            doomed.push_back(path);
        }
    }
    // A folder's path is longer than its parent's: children go first.
    std::sort(doomed.begin(), doomed.end(),
              [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
    for (const std::wstring& path : doomed) {
        if (RemoveDirectoryW(path.c_str())) {
            known_.erase(path);
        }
    }
    made_.clear();
}
