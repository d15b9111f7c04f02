#include "foundation/sz/sz_dir_sink.h"

#include <set>
#include <vector>

#include "7zCrc.h"
#include "foundation/log.h"
#include "foundation/sz/sz_crc.h"
#include "foundation/ufile.h"

bool SzOutFile::create(const std::wstring& path)
{
    handle_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle_.valid();
}

bool SzOutFile::write(const Byte* data, size_t size)
{
    while (size > 0) {
        DWORD step = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(handle_.get(), data, step, &written, nullptr)) {
            return false;
        }
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

SzDirSink::SzDirSink(const std::wstring& targetDir, SzExtractCallback* callback, unsigned openers)
    : callback_(callback), targetDir_(targetDir), openers_(openers), opener_(folders_)
{
    itemName_[0] = 0;
    // The folder-creating function wants a full path.
    wchar_t full[MAX_PATH];
    DWORD length = GetFullPathNameW(targetDir.c_str(), MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH) {
        targetDir_ = full;
    } else {
        DWORD err = GetLastError();
        common::log("SzDirSink::SzDirSink", __LINE__, L"cannot resolve %s lastError = %d", targetDir.c_str(), err);
    }
    while (!targetDir_.empty() && (targetDir_.back() == L'\\' || targetDir_.back() == L'/')) {
        targetDir_.pop_back();
    }
}

void SzDirSink::attach(const CSzArEx* db)
{
    db_ = db;
    // An archive that holds nothing has no unpack positions at all.
    totalBytes_ = db->UnpackPositions ? db->UnpackPositions[db->NumFiles] - db->UnpackPositions[0] : 0;
    if (openers_ == 0 || db->NumFiles < 2 || targetDir_.empty()) {
        return;
    }
    if (!foldersReady()) {
        return;  // the first item fails as it would without openers
    }
    planOpening();
    opener_.start(plan_, openers_);
}

void SzDirSink::planOpening()
{
    plan_.assign(db_->NumFiles, SzFileOpener::Item{SzFileOpener::kSkip, std::wstring()});
    std::set<std::wstring> seen;
    std::vector<UInt16> name;
    for (UInt32 i = 0; i < db_->NumFiles; i++) {
        std::wstring path;
        if (!safePath(i, name, path)) {
            continue;
        }
        std::wstring folded = path;
        CharLowerBuffW(&folded[0], static_cast<DWORD>(folded.size()));
        if (!seen.insert(folded).second) {
            continue;
        }
        plan_[i].kind = SzArEx_IsDir(db_, i) ? SzFileOpener::kFolder : SzFileOpener::kFile;
        plan_[i].path = path;
    }
}

bool SzDirSink::safePath(UInt32 index, std::vector<UInt16>& name, std::wstring& path) const
{
    const size_t length = SzArEx_GetFileNameUtf16(db_, index, nullptr);
    name.assign(length + 1, 0);
    SzArEx_GetFileNameUtf16(db_, index, name.data());
    std::wstring relative;
    if (length > kSzItemNameChars || targetDir_.empty() ||
        !SzItemRelativePath(reinterpret_cast<const wchar_t*>(name.data()), relative)) {
        return false;
    }
    path = utility::ufile::joinPath(targetDir_, relative);
    return true;
}

void SzDirSink::fail(SzResultCode code)
{
    if (errorCode_ == 0) {
        errorCode_ = code;
    }
}

// Copies the item's name and turns it into a path below the target folder.
bool SzDirSink::itemPath(UInt32 index, std::wstring& path)
{
    std::vector<UInt16> name;
    const bool safe = safePath(index, name, path);
    lstrcpynW(itemName_, reinterpret_cast<const wchar_t*>(name.data()), static_cast<int>(kSzItemNameChars));
    if (safe) {
        return true;
    }
    if (name.size() - 1 > kSzItemNameChars) {
        common::log("SzDirSink::itemPath", __LINE__, L"item %u: name longer than %d characters refused: %s", index,
                    static_cast<int>(kSzItemNameChars - 1), itemName_);
    } else if (targetDir_.empty()) {
        common::log("SzDirSink::itemPath", __LINE__, L"no target folder for %s", itemName_);
    } else {
        common::log("SzDirSink::itemPath", __LINE__, L"item %u: unsafe name refused: %s", index,
                    reinterpret_cast<const wchar_t*>(name.data()));
    }
    return false;
}

// The target folder is made once, by the first that needs it.
bool SzDirSink::foldersReady()
{
    if (!foldersTried_) {
        foldersTried_ = true;
        foldersMade_ = folders_.start(targetDir_);
    }
    return foldersMade_;
}

// A folder the writer reaches stays, also after a stop.
bool SzDirSink::makeFolder(const std::wstring& path) { return foldersReady() && folders_.make(path, true); }

// A file the openers could not open is tried once more here, so that its
// error is this thread's own (a scanner may have held it for a moment).
bool SzDirSink::openFile(UInt32 index, const std::wstring& path)
{
    if (opener_.started() && plan_[index].kind == SzFileOpener::kFile) {
        const SzFileOpener::Opened opened = opener_.take(index);
        if (opened.file != INVALID_HANDLE_VALUE) {
            file_.adopt(opened.file);
            if (opened.hasData && !file_.empty()) {
                DWORD err = GetLastError();
                common::log("SzDirSink::openNextFile", __LINE__, L"cannot empty %s lastError = %d", path.c_str(), err);
                return false;
            }
            return true;
        }
    }
    if (!makeFolder(path.substr(0, path.rfind(L'\\')))) {
        return false;
    }
    return createFile(path);
}

// A file in use (a program that is ending, a scanner) is waited for a while;
// a stop still takes effect within a step.
bool SzDirSink::createFile(const std::wstring& path)
{
    const DWORD kInUseWaitMs = 2000;
    const DWORD kStepMs = 50;
    for (DWORD waited = 0;; waited += kStepMs) {
        if (file_.create(path)) {
            return true;
        }
        const DWORD err = GetLastError();
        const bool inUse = err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
        if (!inUse || waited >= kInUseWaitMs) {
            common::log("SzDirSink::openNextFile", __LINE__, L"cannot create %s lastError = %d", path.c_str(), err);
            return false;
        }
        if (callback_ && !callback_->shouldContinue()) {
            common::log("SzDirSink::openNextFile", __LINE__, L"stopped by the caller while %s is in use", path.c_str());
            fail(kSzErrorCancelled);
            return false;
        }
        Sleep(kStepMs);
    }
}

// The openers made it ahead (or failed, and the writer tries again).
bool SzDirSink::takeFolder(UInt32 index, const std::wstring& path)
{
    if (opener_.started() && plan_[index].kind == SzFileOpener::kFolder) {
        opener_.take(index);
    }
    return makeFolder(path);
}

void SzDirSink::closeFile()
{
    if (!file_.isOpen()) {
        return;
    }
    if (opener_.started()) {
        opener_.close(file_.release());
    } else {
        file_.close();
    }
}

void SzDirSink::end()
{
    if (ended_) {
        return;
    }
    ended_ = true;
    closeFile();
    if (!opener_.started()) {
        return;
    }
    opener_.end();
    if (db_ && itemIndex_ < db_->NumFiles) {
        folders_.removeUnkept();
    }
}

// Handles folders and empty files on the way; true when a file that takes
// data is open. On false, errorCode_ tells a failure from the end of items.
bool SzDirSink::openNextFile()
{
    while (itemIndex_ < db_->NumFiles) {
        const UInt32 index = itemIndex_;
        std::wstring path;
        if (!itemPath(index, path)) {
            fail(kSzErrorOpenFile);
            return false;
        }
        if (SzArEx_IsDir(db_, index)) {
            if (!takeFolder(index, path)) {
                fail(kSzErrorOpenFile);
                return false;
            }
            itemIndex_++;
            continue;
        }
        if (!openFile(index, path)) {
            fail(kSzErrorOpenFile);
            return false;
        }
        const UInt64 size = SzArEx_GetFileSize(db_, index);
        if (size == 0) {
            closeFile();
            itemIndex_++;
            continue;
        }
        bytesLeft_ = size;
        crc_ = CRC_INIT_VAL;
        expectedCrc_ = SzBitWithVals_Check(&db_->CRCs, index) ? db_->CRCs.Vals[index] : 0;
        return true;
    }
    return false;
}

bool SzDirSink::keepGoing()
{
    if (errorCode_ == 0 && callback_ && !callback_->shouldContinue()) {
        common::log("SzDirSink::keepGoing", __LINE__, L"stopped by the caller while a folder decodes");
        fail(kSzErrorCancelled);
    }
    return errorCode_ == 0;
}

size_t SzDirSink::write(const Byte* data, size_t size)
{
    size_t taken = 0;
    while (errorCode_ == 0 && taken < size) {
        if (callback_ && !callback_->shouldContinue()) {
            common::log("SzDirSink::write", __LINE__, L"stopped by the caller at %s", itemName_);
            fail(kSzErrorCancelled);
            break;
        }
        if (!file_.isOpen() && !openNextFile()) {
            if (errorCode_ == 0) {
                // Every item is handled: surplus bytes are ignored.
                return size;
            }
            break;
        }
        size_t chunk = size - taken;
        if (chunk > bytesLeft_) {
            chunk = static_cast<size_t>(bytesLeft_);
        }
        if (!file_.write(data + taken, chunk)) {
            DWORD err = GetLastError();
            common::log("SzDirSink::write", __LINE__, L"writing %s failed lastError = %d", itemName_, err);
            fail(kSzErrorWriteFile);
            break;
        }
        if (expectedCrc_ != 0) {
            crc_ = SzCrcUpdate(crc_, data + taken, chunk);
        }
        taken += chunk;
        bytesWritten_ += chunk;
        bytesLeft_ -= chunk;
        if (callback_) {
            callback_->onProcessing(itemName_, itemIndex_, db_->NumFiles, bytesWritten_, totalBytes_);
        }
        if (bytesLeft_ == 0) {
            itemIndex_++;
            closeFile();
            if (expectedCrc_ != 0 && CRC_GET_DIGEST(crc_) != expectedCrc_) {
                common::log("SzDirSink::write", __LINE__, L"CRC mismatch in %s", itemName_);
                fail(kSzErrorCrc);
                break;
            }
            if (itemIndex_ >= db_->NumFiles) {
                return size;
            }
        }
    }
    return taken;
}

SRes SzDirSink::finish()
{
    if (errorCode_ != 0) {
        return SZ_OK;
    }
    if (file_.isOpen() || openNextFile()) {
        // The archive's sizes promised more data than its folders held.
        common::log("SzDirSink::finish", __LINE__, L"no data left for %s", itemName_);
        return SZ_ERROR_DATA;
    }
    return SZ_OK;
}
