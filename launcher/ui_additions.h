// The launcher's additions to the UI framework: a client-size setter that
// follows the framework's scale factor, and a modal message loop for a
// window. The language entries by index are CUiManager::GetLanguageCount and
// CUiManager::GetLanguageEntry.
#pragma once

#include <windows.h>

namespace SkinUI {

// Sets the client area of the window to width x height (-1 keeps that side),
// both scaled by the framework's factor while its enlarge mode is on. Only the
// size changes: no move, no activation, the z-order stays.
void SetClientSize(HWND window, int width, int height);

// The client rectangle that SetClientSize asks for, in window pixels.
SIZE ScaledClientSize(int width, int height);

// Shows the window and runs a message loop until it is gone, with its owner
// disabled meanwhile. Returns the wParam of the WM_CLOSE that closed it (0
// when none did). A WM_QUIT ends the loop and is posted again for the outer
// loop.
int RunModal(HWND window);

}  // namespace SkinUI
