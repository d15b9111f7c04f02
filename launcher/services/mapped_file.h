// A whole file mapped read-only into memory.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/scoped_handle.h"

namespace utility {

class MappedFile {
public:
    // Maps an existing file. An empty file is open with no data.
    bool open(const std::wstring& path);
    void close();

    bool isOpen() const { return file_.valid(); }
    const unsigned char* data() const { return static_cast<const unsigned char*>(view_.get()); }
    DWORD size() const { return size_; }

private:
    ScopedHandle file_;
    ScopedHandle mapping_;
    ScopedMappedView view_;
    DWORD size_ = 0;
};

}  // namespace utility
