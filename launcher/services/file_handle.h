// A raw read/write file handle, as the downloaders write their ".tmp" files.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class FileHandle {
public:
    FileHandle() = default;
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    // Opens for reading and writing (shared); creates the file when asked.
    bool open(const std::wstring& path, bool createIfMissing);
    // Opens an empty file, truncating an existing one.
    bool create(const std::wstring& path);
    // True only when every byte was written.
    bool write(const void* bytes, DWORD count);
    void seekToEnd();
    void close();

    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE handle() const { return handle_; }

private:
    bool openWith(const std::wstring& path, DWORD disposition, const char* function);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace utility
