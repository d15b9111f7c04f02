// One registry key, read and written through the wide API. Every call returns
// the Win32 error code.
#pragma once

#include <windows.h>

#include <string>

#include "foundation/scoped_handle.h"

namespace utility {

class RegKeyEx {
public:
    LONG RegRegOpen(HKEY root, const std::wstring& subKey, REGSAM access);
    // Reads a REG_SZ value; values longer than kReadBufferBytes are refused.
    LONG RegRead(const std::wstring& valueName, std::wstring& value);
    // Writes a REG_SZ value including its terminator.
    LONG RegWrite(const std::wstring& valueName, const std::wstring& value);
    // Creates (or opens) the key for reading and writing.
    LONG RegCreate(HKEY root, const std::wstring& subKey);
    void close();

    HKEY handle() const { return key_.get(); }

    static const DWORD kReadBufferBytes = 2048;

private:
    ScopedRegKey key_;
};

}  // namespace utility
