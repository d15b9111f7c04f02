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

}  // namespace ufile
}  // namespace utility
