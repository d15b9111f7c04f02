// CActiveXWnd: the child window (class "ActiveXWnd", title "UIActiveX") of
// the skin window in which a windowed ActiveX object lives in place. It sits
// over the control's rectangle, is known to the manager as the control's
// native window (focus tracking, layered printing), and deletes itself when
// the window is destroyed.
#pragma once

#include <windows.h>

#include "skinui/core/window_wnd.h"

namespace SkinUI {

class CActiveXCtrl;

class CActiveXWnd : public CWindowWnd {
public:
    // Creates the window over the owner's control; null (logged) on failure,
    // in which case the object deletes itself.
    static CActiveXWnd* Create(CActiveXCtrl* site, HWND parent, const RECT& rc);
    // The site no longer listens.
    void Detach() { m_pSite = nullptr; }

protected:
    const wchar_t* GetWindowClassName() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    explicit CActiveXWnd(CActiveXCtrl* site) : m_pSite(site) {}
    ~CActiveXWnd() override = default;

    CActiveXCtrl* m_pSite;
};

}  // namespace SkinUI
