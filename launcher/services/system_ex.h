// The launcher's system helpers beside the foundation's utility::usystem.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace usystem {

// Windows 8 or later as the running program sees its version.
bool isWin8OS();
// The version rule of isWin8OS: 6.2 and above.
bool isWin8Version(DWORD major, DWORD minor);

// A named mutex. With exclusive, null when the mutex already existed.
// The caller closes the handle.
HANDLE createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool exclusive);

// Restores, raises and shows a window.
void bringToFront(HWND window);

}  // namespace usystem
}  // namespace utility
