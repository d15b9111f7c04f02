// A whole file mapped read-only into memory.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { close(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps an existing file. An empty file is open with no data.
    bool open(const std::wstring& path);
    void close();

    bool isOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    const unsigned char* data() const { return static_cast<const unsigned char*>(view_); }
    DWORD size() const { return size_; }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    DWORD size_ = 0;
};

}  // namespace utility
