// Read-only access to one registry key through the narrow API, for names
// and values in the ANSI code page. The programs read and write their keys
// through utility::RegKeyEx (launcher/services/reg_key_ex.h), the wide one.
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
