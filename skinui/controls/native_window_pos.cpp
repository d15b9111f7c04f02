#include "skinui/controls/native_window_pos.h"

#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

RECT ClipToAncestorClients(const CControlUI* control, RECT rc)
{
    const RECT empty = {0, 0, 0, 0};
    for (CControlUI* parent = control->GetParent(); parent != nullptr; parent = parent->GetParent()) {
        if (!parent->IsVisible()) {
            return empty;
        }
        RECT client = parent->GetClientPos();
        if (!::IntersectRect(&rc, &rc, &client)) {
            return empty;
        }
    }
    return rc;
}

void PlaceNativeWindow(HWND hWnd, const RECT& rc)
{
    if (::IsRectEmpty(&rc)) {
        ::ShowWindow(hWnd, SW_HIDE);
        return;
    }
    ::SetWindowPos(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void RefreshLayeredNativeWindow(CUiManager* manager, CControlUI* owner, HWND hWnd)
{
    if (manager == nullptr || owner == nullptr || !manager->IsLayered() || manager->IsPainting()) {
        return;
    }
    manager->RemoveNativeWindow(hWnd);
    manager->AddNativeWindow(owner, hWnd);
}

}  // namespace SkinUI
