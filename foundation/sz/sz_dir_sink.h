// The output side of a folder extraction: creates folders and files below
// the target folder and writes the decoded bytes into them, checking each
// file's CRC and reporting progress to the caller's callback.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "7z.h"
#include "foundation/scoped_handle.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/sz/sz_extract_all.h"
#include "foundation/sz/sz_item_path.h"

// Owns the output file being written.
class SzOutFile {
public:
    // Creates or replaces the file; false with the error in GetLastError().
    bool create(const std::wstring& path);
    // Writes all bytes; false with the error in GetLastError().
    bool write(const Byte* data, size_t size);
    void close() { handle_.reset(); }
    bool isOpen() const { return handle_.valid(); }

private:
    utility::ScopedHandle handle_;
};

class SzDirSink : public SzOutSink {
public:
    SzDirSink(const std::wstring& targetDir, SzExtractCallback* callback);

    void attach(const CSzArEx* db) override;
    size_t write(const Byte* data, size_t size) override;
    SRes finish() override;
    // Asks the callback, as before a write.
    bool keepGoing() override;

    // 0, or 1005, 1015, 1016, 1017: the first error wins.
    SzResultCode errorCode() const { return errorCode_; }
    // The last item handled.
    const wchar_t* itemName() const { return itemName_; }

private:
    bool openNextFile();
    bool itemPath(UInt32 index, std::wstring& path);
    bool makeFolder(const std::wstring& path);
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
    // Folders made so far: a solid archive's files jump between folders.
    std::set<std::wstring> madeFolders_;
};
