// Path, folder and file helpers.
#pragma once

#include <string>

namespace utility {
namespace ufile {

std::wstring getParentDir(const std::wstring& path);
bool exists(const std::wstring& path);
// Creates the whole folder tree; an existing folder is success.
bool makeDir(const std::wstring& path);
bool removeFile(const std::wstring& path);
// The user's roaming application-data folder, without trailing separator.
std::wstring getAppDataDir();
// A shell folder by its CSIDL, without trailing separator; empty (with a log
// line) when the system cannot name it.
std::wstring getSpecialFolder(int csidl);
// The folder ending in a backslash or slash (one is added); empty stays empty.
std::wstring withSeparator(const std::wstring& folder);

}  // namespace ufile
}  // namespace utility
