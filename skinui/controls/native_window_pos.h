// Placement of the native child windows that some controls open over
// themselves while they have the focus (the edit box, the date-time picker):
// the rectangle a native window may take inside its control's ancestors, and
// moving or hiding it there.
#pragma once

#include <windows.h>

namespace SkinUI {

class CControlUI;
class CUiManager;

// rc clipped to the client rectangle of every ancestor of the control; empty
// when an ancestor is hidden or leaves nothing of it.
RECT ClipToAncestorClients(const CControlUI* control, RECT rc);
// Moves the native window to rc and shows it without activating it, or hides
// it when rc is empty.
void PlaceNativeWindow(HWND hWnd, const RECT& rc);
// A layered window paints its native children itself: outside its own paint,
// the child is registered anew, which asks for a repaint of its area.
void RefreshLayeredNativeWindow(CUiManager* manager, CControlUI* owner, HWND hWnd);

}  // namespace SkinUI
