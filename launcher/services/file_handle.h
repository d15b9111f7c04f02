// A raw read/write file handle, as the downloaders write their ".tmp" files.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/scoped_handle.h"

namespace utility {

class FileHandle {
public:
    // Opens for reading and writing (shared); creates the file when asked.
    bool open(const std::wstring& path, bool createIfMissing);
    // Opens an empty file, truncating an existing one.
    bool create(const std::wstring& path);
    // True only when every byte was written.
    bool write(const void* bytes, DWORD count);
    // False (logged) when the pointer cannot be moved.
    bool seekToEnd();
    void close();

    bool isOpen() const { return handle_.valid(); }
    HANDLE handle() const { return handle_.get(); }

private:
    bool openWith(const std::wstring& path, DWORD disposition, const char* function);

    ScopedHandle handle_;
};

}  // namespace utility
