// One registry key, read and written through the wide API: the programs'
// registry access (their own keys, the Run key, the uninstall entry, the
// browser emulation). Every call logs a failure and returns the Win32 error
// code. (foundation/regkey.h is the narrow, read-only reader.)
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
    // Writes a REG_DWORD value.
    LONG RegWriteDword(const std::wstring& valueName, DWORD value);
    // Deletes a value; one that is not there counts as deleted.
    LONG RegRemoveValue(const std::wstring& valueName);
    // Creates (or opens) the key for reading and writing.
    LONG RegCreate(HKEY root, const std::wstring& subKey);
    // Deletes a key without subkeys; one that is not there counts as deleted.
    static LONG RegRemoveKey(HKEY root, const std::wstring& subKey);
    void close();

    HKEY handle() const { return key_.get(); }

    static const DWORD kReadBufferBytes = 2048;

private:
    ScopedRegKey key_;
};

}  // namespace utility
