// The launcher's system helpers beside the foundation's utility::usystem:
// the single-instance mutex and bringing a window to the front.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace usystem {

// A named mutex. With exclusive, null when the mutex already existed.
// The caller closes the handle.
HANDLE createSingleInstanceMutex(const std::wstring& name, bool initialOwner, bool exclusive);

// Restores, raises and shows a window.
void bringToFront(HWND window);

}  // namespace usystem
}  // namespace utility
