// Read-only access to one registry key (narrow API).
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { close(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    LONG RegRegOpen(HKEY root, const std::string& subKey, REGSAM access);
    // Reads a string value; values longer than the read buffer are refused.
    LONG RegRead(const std::string& valueName, std::string& value);
    void close();
    HKEY handle() const { return key_; }

    static const DWORD kMaxValueBytes = 4096;

private:
    HKEY key_ = nullptr;
};

}  // namespace utility
