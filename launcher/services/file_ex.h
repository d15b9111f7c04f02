// The launcher's file helpers beside the foundation's utility::ufile:
// 64-bit sizes, move, copy, removing a folder tree and the executable's folder.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace ufile {

// Size of an existing file; false (size 0) when it cannot be opened for
// reading, with a log line unless it does not exist.
bool getFileSize(const std::wstring& path, unsigned long long& size);
bool getFileSize(const std::string& path, unsigned long long& size);

// MoveFileExW with the given MOVEFILE_* flags.
bool moveFile(const std::wstring& from, const std::wstring& to, DWORD flags);
bool copyFile(const std::wstring& from, const std::wstring& to, bool failIfExists);

// Removes a folder with everything in it. Refuses empty, relative and root
// paths. Links (junctions, symbolic links) inside the tree are removed as
// links; what they point to is never touched. Files that cannot be deleted
// are logged and skipped. True when the folder is gone.
bool removeDir(const std::wstring& folder);

// Folder of the running executable with a trailing separator; empty on failure.
std::wstring getExeDir();

// The path in the ANSI code page, as the curl downloader takes it; false
// when a character has no exact ANSI form (the file would land elsewhere).
bool toAnsiPath(const std::wstring& path, std::string& out);

}  // namespace ufile
}  // namespace utility
