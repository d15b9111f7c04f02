// Read-only access to one registry key (narrow API).
#pragma once

#include <windows.h>

#include <string>

#include "scoped_handle.h"

namespace utility {

class RegKey {
public:
    LONG RegRegOpen(HKEY root, const std::string& subKey, REGSAM access);
    // Reads a string value; values longer than the read buffer are refused.
    LONG RegRead(const std::string& valueName, std::string& value);
    void close();
    HKEY handle() const { return key_.get(); }

    static const DWORD kMaxValueBytes = 4096;

private:
    ScopedRegKey key_;
};

}  // namespace utility
