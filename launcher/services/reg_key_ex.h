// One registry key, read and written through the wide API. Every call returns
// the Win32 error code.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class RegKeyEx {
public:
    RegKeyEx() = default;
    ~RegKeyEx() { close(); }
    RegKeyEx(const RegKeyEx&) = delete;
    RegKeyEx& operator=(const RegKeyEx&) = delete;

    LONG RegRegOpen(HKEY root, const std::wstring& subKey, REGSAM access);
    // Reads a REG_SZ value; values longer than kReadBufferBytes are refused.
    LONG RegRead(const std::wstring& valueName, std::wstring& value);
    // Writes a REG_SZ value including its terminator.
    LONG RegWrite(const std::wstring& valueName, const std::wstring& value);
    // Creates (or opens) the key for reading and writing.
    LONG RegCreate(HKEY root, const std::wstring& subKey);
    void close();

    HKEY handle() const { return key_; }

    static const DWORD kReadBufferBytes = 2048;

private:
    HKEY key_ = nullptr;
};

}  // namespace utility
