// CWindowWnd: a thin object over one native window. It registers the window
// class (or a superclass of an existing class), creates the window, binds
// the handle to the object and hands every message to HandleMessage.
//
// Binding: windows of a class registered here keep the object in their user
// data (GWLP_USERDATA); superclassed windows keep it in the "WndX" property.
// After WM_NCDESTROY the object is unbound and OnFinalMessage runs; the
// object may delete itself there. An object destroyed while its window still
// lives unbinds the window (a superclassed one gets its class procedure
// back) and destroys it, so that no message reaches the freed object.
#pragma once

#include <windows.h>

#include "skinui/core/life_guard.h"

namespace SkinUI {

class CWindowWnd {
public:
    CWindowWnd();
    virtual ~CWindowWnd();
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    bool RegisterWindowClass();
    bool RegisterSuperclass();

    // Null when the class cannot be registered or the window not created. A
    // window made and destroyed again inside the call (its WM_CREATE failed)
    // has had its final message: an object that deletes itself there is gone
    // when Create returns null, and the caller must not touch it.
    HWND Create(HWND hwndParent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rc,
                HMENU hMenu = nullptr);
    HWND Create(HWND hwndParent, const wchar_t* name, DWORD style, DWORD exStyle);
    // Puts the original window procedure back on a subclassed window.
    void Unsubclass();

    void ShowWindow(bool show = true, bool takeFocus = true);
    // Posts WM_CLOSE with the result in wParam.
    void Close(UINT result = IDOK);
    // Centres over the owner (or the work area) and keeps inside the work area.
    void CenterWindow();
    // The icon resource at the large and the small icon size.
    void SetIcon(UINT resourceId);

    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    virtual const wchar_t* GetWindowClassName() const = 0;
    // Null: no superclass.
    virtual const wchar_t* GetSuperClassName() const;
    virtual UINT GetClassStyle() const;
    // The default: the old window procedure.
    virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
    virtual void OnFinalMessage(HWND hWnd);

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

    // Unbinds a window that still lives and destroys it; nothing once the
    // window has gone. Called from the destructors.
    void ReleaseWindow();

    HWND m_hWnd;
    WNDPROC m_OldWndProc;
    bool m_bSubclassed;
    // Handlers may delete this object (closing its window): message
    // dispatch watches it (CLifeWatch) before touching the object again.
    CLifeAnchor m_life;

private:
    // Unbinding at WM_NCDESTROY, shared by both window procedures.
    static LRESULT FinalMessage(CWindowWnd* wnd, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool superclassed);
    // The object named by the creation parameter of WM_NCCREATE, or null.
    static CWindowWnd* CreatingObject(HWND hWnd, LPARAM lParam);

    HICON m_hIconBig;
    HICON m_hIconSmall;
};

}  // namespace SkinUI
