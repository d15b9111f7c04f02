// The open state of a combo box.
//
// CComboWnd ("ComboWnd"): the pop-up window that shows a combo's items while
// it is open: a tool window owned by the combo's window, below the combo, or
// above it when it would pass the bottom of the work area of the combo's
// monitor. It borrows the items for its lifetime: WM_CLOSE hands them back
// and gives the combo the focus; a pop-up destroyed without WM_CLOSE (its
// owner window destroyed, the combo removed) hands them back as it goes.
// It closes on a click on an item, Return, Escape (which restores the
// selection it opened with) and when the focus leaves it. The object
// deletes itself when its window is gone.
//
// CComboBodyUI: the pop-up's root, a vertical layout of the combo's items
// that paints them by the combo's UiListInfo and never destroys them.
#pragma once

#include <windows.h>

#include "skinui/controls/vertical_layout_ui.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_wnd.h"

namespace SkinUI {

class CComboUI;

class CComboBodyUI : public CVerticalLayoutUI {
public:
    explicit CComboBodyUI(CComboUI* owner) : m_pOwner(owner) {}

    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

private:
    CComboUI* m_pOwner;
};

class CComboWnd : public CWindowWnd {
public:
    // Opens the pop-up for the combo; false (and nothing shown) when it
    // cannot. The object belongs to its window from then on.
    bool Init(CComboUI* owner);
    // Scrolls the item at index into view (while the combo has a selection).
    void EnsureVisible(int index);
    void Scroll(int dx, int dy);
    CUiManager& GetManager() { return m_pm; }

protected:
    const wchar_t* GetWindowClassName() const override { return L"ComboWnd"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    // Where the pop-up goes: below the combo, or above it near the bottom of
    // the work area; screen coordinates.
    RECT PlaceBelowOrAbove() const;
    LRESULT OnCreate();
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    // The items go back to the combo's own window (once).
    void HandBack();
    bool IsScrollBarAt(LPARAM lParam) const;
    LRESULT Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam);

    CUiManager m_pm;
    CComboUI* m_pOwner = nullptr;
    CComboBodyUI* m_pLayout = nullptr;
    int m_iOldSel = -1;
    bool m_bScrollBarPressed = false;
    bool m_bHandedBack = false;
    // Messages being handled; the object outlives its window until the
    // outermost one returns.
    int m_nDepth = 0;
    bool m_bFinished = false;
};

}  // namespace SkinUI
