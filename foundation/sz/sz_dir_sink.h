// The output side of a folder extraction: creates folders and files below
// the target folder and writes the decoded bytes into them, checking each
// file's CRC and reporting progress to the caller's callback.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "7z.h"
#include "foundation/scoped_handle.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/sz/sz_extract_all.h"
#include "foundation/sz/sz_file_opener.h"
#include "foundation/sz/sz_folder_maker.h"
#include "foundation/sz/sz_item_path.h"

// Owns the output file being written.
class SzOutFile {
public:
    // Creates or replaces the file; false with the error in GetLastError().
    bool create(const std::wstring& path);
    // Takes a file opened elsewhere.
    void adopt(HANDLE file) { handle_.reset(file); }
    // Cuts the file to nothing; false with the error in GetLastError().
    bool empty() { return SetEndOfFile(handle_.get()) != FALSE; }
    // Writes all bytes; false with the error in GetLastError().
    bool write(const Byte* data, size_t size);
    HANDLE release() { return handle_.release(); }
    void close() { handle_.reset(); }
    bool isOpen() const { return handle_.valid(); }

private:
    utility::ScopedHandle handle_;
};

// Writes on the thread that calls it; with openers, that many threads open
// the files ahead of it and one closes them behind it.
class SzDirSink : public SzOutSink {
public:
    SzDirSink(const std::wstring& targetDir, SzExtractCallback* callback, unsigned openers);
    ~SzDirSink() { end(); }
    SzDirSink(const SzDirSink&) = delete;
    SzDirSink& operator=(const SzDirSink&) = delete;

    void attach(const CSzArEx* db) override;
    size_t write(const Byte* data, size_t size) override;
    SRes finish() override;
    // Asks the callback, as before a write.
    bool keepGoing() override;
    // Closes every file. An extraction that did not reach its last item
    // also removes the files and folders opened ahead of the writer.
    void end();

    // 0, or 1005, 1015, 1016, 1017: the first error wins.
    SzResultCode errorCode() const { return errorCode_; }
    // The last item handled.
    const wchar_t* itemName() const { return itemName_; }

private:
    bool openNextFile();
    bool openFile(UInt32 index, const std::wstring& path);
    bool createFile(const std::wstring& path);
    bool takeFolder(UInt32 index, const std::wstring& path);
    void closeFile();
    bool itemPath(UInt32 index, std::wstring& path);
    // The item's path below the target folder, without a word in the log.
    bool safePath(UInt32 index, std::vector<UInt16>& name, std::wstring& path) const;
    bool foldersReady();
    bool makeFolder(const std::wstring& path);
    // What the openers do: every folder item, and every file item but for
    // refused names and the second of two items with the same path.
    void planOpening();
    void fail(SzResultCode code);

    SzResultCode errorCode_ = 0;
    const CSzArEx* db_ = nullptr;
    wchar_t itemName_[kSzItemNameChars];
    UInt32 itemIndex_ = 0;
    UInt64 bytesWritten_ = 0;
    UInt64 bytesLeft_ = 0;
    SzOutFile file_;
    UInt32 crc_ = 0;
    UInt32 expectedCrc_ = 0;
    SzExtractCallback* callback_;
    std::wstring targetDir_;

    UInt64 totalBytes_ = 0;
    SzFolderMaker folders_;
    bool foldersTried_ = false;
    bool foldersMade_ = false;
    unsigned openers_;
    std::vector<SzFileOpener::Item> plan_;
    SzFileOpener opener_;
    bool ended_ = false;
};
