// The OLE container side of CActiveXUI, one set per hosted object:
// CActiveXCtrl, the client and in-place site (windowless-capable), control
// site, object-with-site and container; CActiveXFrameWnd, the in-place frame
// handed to the object; CActiveXEnum, the container's enumerator over its one
// object. Each is reference counted and deletes itself at the last Release.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

namespace SkinUI {

class CActiveXUI;
class CActiveXWnd;

class CActiveXCtrl : public IOleClientSite,
                     public IOleInPlaceSiteWindowless,
                     public IOleControlSite,
                     public IObjectWithSite,
                     public IOleContainer {
public:
    explicit CActiveXCtrl(CActiveXUI* owner);

    // The owner is going: the in-place window goes and the object's
    // interfaces are released; every later call finds no owner.
    void Detach();
    CActiveXUI* GetOwner() const { return m_pOwner; }

    bool IsWindowless() const { return m_bWindowless; }
    bool IsInPlaceActive() const { return m_bInPlaceActive; }
    bool IsCaptured() const { return m_bCaptured; }
    IOleInPlaceObject* GetInPlaceObject() const { return m_pInPlaceObject; }
    IOleInPlaceObjectWindowless* GetWindowless() const { return m_pWindowless; }
    IViewObject* GetViewObject() const { return m_pViewObject; }
    void SetViewObject(IViewObject* view);
    // Called by the in-place window when it is destroyed.
    void OnWindowDestroyed(HWND hWnd);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IObjectWithSite
    HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) override;
    HRESULT STDMETHODCALLTYPE GetSite(REFIID riid, void** site) override;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override;
    HRESULT STDMETHODCALLTYPE GetCapture() override;
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override;
    HRESULT STDMETHODCALLTYPE GetFocus() override;
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override;
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT rect, DWORD flags, HDC* hDC) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC hDC) override;
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT rect, BOOL erase) override;
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) override;
    HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, LPCRECT scroll, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT rect) override;
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL noRedraw) override;
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override;

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT pos) override;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hWnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override;
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL lock) override;
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* msg, DWORD modifiers) override;
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL gotFocus) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override;

    // IOleContainer
    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD flags, IEnumUnknown** enumerator) override;
    HRESULT STDMETHODCALLTYPE LockContainer(BOOL lock) override;
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* context, LPOLESTR name, ULONG* eaten,
                                               IMoniker** moniker) override;

private:
    virtual ~CActiveXCtrl();
    CActiveXCtrl(const CActiveXCtrl&) = delete;
    CActiveXCtrl& operator=(const CActiveXCtrl&) = delete;

    HWND GetManagerWindow() const;
    void ReleaseInPlaceObjects();
    void DestroyWindow();

    ULONG m_cRefs;
    CActiveXUI* m_pOwner;
    CActiveXWnd* m_pWindow;
    IUnknown* m_pUnkSite;
    IViewObject* m_pViewObject;
    IOleInPlaceObject* m_pInPlaceObject;
    IOleInPlaceObjectWindowless* m_pWindowless;
    bool m_bWindowless;
    bool m_bCaptured;
    bool m_bHaveFocus;
    bool m_bInPlaceActive;
};

// The in-place frame: the skin window, without menus, tools or accelerators.
class CActiveXFrameWnd : public IOleInPlaceFrame {
public:
    explicit CActiveXFrameWnd(HWND frame);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU ole, HWND active) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, WORD id) override;

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR name) override;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hWnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

private:
    virtual ~CActiveXFrameWnd();
    CActiveXFrameWnd(const CActiveXFrameWnd&) = delete;
    CActiveXFrameWnd& operator=(const CActiveXFrameWnd&) = delete;

    ULONG m_cRefs;
    HWND m_hWndFrame;
    IOleInPlaceActiveObject* m_pActiveObject;
};

// Enumerates the container's one object.
class CActiveXEnum : public IEnumUnknown {
public:
    explicit CActiveXEnum(IUnknown* object);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IEnumUnknown
    HRESULT STDMETHODCALLTYPE Next(ULONG count, IUnknown** items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumUnknown** clone) override;

private:
    virtual ~CActiveXEnum();
    CActiveXEnum(const CActiveXEnum&) = delete;
    CActiveXEnum& operator=(const CActiveXEnum&) = delete;

    ULONG m_cRefs;
    IUnknown* m_pObject;
    ULONG m_iPos;
};

}  // namespace SkinUI
