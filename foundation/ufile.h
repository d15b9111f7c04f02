// Path, folder and file helpers.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace utility {
namespace ufile {

// Files read whole into memory (skins, images) are refused above this size.
const DWORD kMaxWholeFileBytes = 64 * 1024 * 1024;

std::wstring getParentDir(const std::wstring& path);
bool exists(const std::wstring& path);
// Creates the whole folder tree; an existing folder is success.
bool makeDir(const std::wstring& path);
// Deletes a file; a file that is not there is logged as a failure.
bool removeFile(const std::wstring& path);
// Deletes a file that may not be there: true when it is gone (also when it
// never was); any other failure is logged with its error code.
bool deleteIfPresent(const std::wstring& path);
// The whole content of a file in a block of size bytes (the caller owns it).
// Null when the file cannot be opened (GetLastError tells why, nothing is
// logged: callers probe), is empty, cannot be read whole, or holds more than
// maxBytes (logged, never thrown).
std::unique_ptr<BYTE[]> readWholeFile(const std::wstring& path, DWORD& size, DWORD maxBytes = kMaxWholeFileBytes);
// The user's roaming application-data folder, without trailing separator.
std::wstring getAppDataDir();
// A shell folder by its CSIDL, without trailing separator; empty (with a log
// line) when the system cannot name it.
std::wstring getSpecialFolder(int csidl);
// The folder ending in a backslash or slash (one is added); empty stays empty.
std::wstring withSeparator(const std::wstring& folder);
// folder and name with one separator between them, whether or not folder
// ends with one (withSeparator(folder) + name); an empty folder gives name.
std::wstring joinPath(const std::wstring& folder, const std::wstring& name);

}  // namespace ufile
}  // namespace utility
