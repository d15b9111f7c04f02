// The folder picker of the main and settings windows: the shell's browse
// dialog titled "Install Path", opened on the current folder.
#pragma once

#include <windows.h>

#include <string>

namespace view {

// The chosen folder's path, empty when the user cancelled or the choice is
// not a file-system folder.
std::wstring browseForFolder(HWND owner, const std::wstring& start);

}  // namespace view
