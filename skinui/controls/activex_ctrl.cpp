#include "skinui/controls/activex_ctrl.h"

#include "foundation/log.h"
#include "skinui/controls/activex_ui.h"
#include "skinui/controls/activex_wnd.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

// ---- CActiveXCtrl ----

CActiveXCtrl::CActiveXCtrl(CActiveXUI* owner)
    : m_cRefs(1),
      m_pOwner(owner),
      m_pWindow(nullptr),
      m_pUnkSite(nullptr),
      m_pViewObject(nullptr),
      m_pInPlaceObject(nullptr),
      m_pWindowless(nullptr),
      m_bWindowless(false),
      m_bCaptured(false),
      m_bHaveFocus(false),
      m_bInPlaceActive(false)
{
}

CActiveXCtrl::~CActiveXCtrl()
{
    DestroyWindow();
    ReleaseInPlaceObjects();
    SetViewObject(nullptr);
    SetSite(nullptr);
}

void CActiveXCtrl::Detach()
{
    DestroyWindow();
    ReleaseInPlaceObjects();
    SetViewObject(nullptr);
    SetSite(nullptr);
    if (m_bCaptured && m_pOwner != nullptr && m_pOwner->GetManager() != nullptr) {
        m_pOwner->GetManager()->ReleaseCapture();
    }
    m_bCaptured = false;
    m_pOwner = nullptr;
}

void CActiveXCtrl::SetViewObject(IViewObject* view)
{
    if (view != nullptr) {
        view->AddRef();
    }
    if (m_pViewObject != nullptr) {
        m_pViewObject->Release();
    }
    m_pViewObject = view;
}

void CActiveXCtrl::ReleaseInPlaceObjects()
{
    if (m_pWindowless != nullptr) {
        m_pWindowless->Release();
        m_pWindowless = nullptr;
    }
    if (m_pInPlaceObject != nullptr) {
        m_pInPlaceObject->Release();
        m_pInPlaceObject = nullptr;
    }
    m_bInPlaceActive = false;
}

void CActiveXCtrl::DestroyWindow()
{
    if (m_pWindow == nullptr) {
        return;
    }
    CActiveXWnd* window = m_pWindow;
    HWND hWnd = window->GetHWND();
    // The window goes now; its final message finds nobody to tell.
    m_pWindow = nullptr;
    window->Detach();
    OnWindowDestroyed(hWnd);
    ::DestroyWindow(hWnd);
}

void CActiveXCtrl::OnWindowDestroyed(HWND hWnd)
{
    m_pWindow = nullptr;
    if (m_pOwner == nullptr) {
        return;
    }
    m_pOwner->m_hwndHost = nullptr;
    if (m_pOwner->GetManager() != nullptr) {
        m_pOwner->GetManager()->RemoveNativeWindow(hWnd);
    }
}

HWND CActiveXCtrl::GetManagerWindow() const { return m_pOwner != nullptr ? m_pOwner->GetManagerWindow() : nullptr; }

// IUnknown

HRESULT STDMETHODCALLTYPE CActiveXCtrl::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleInPlaceSiteWindowless) || IsEqualIID(riid, IID_IOleInPlaceSiteEx) ||
               IsEqualIID(riid, IID_IOleInPlaceSite) || IsEqualIID(riid, IID_IOleWindow)) {
        *object = static_cast<IOleInPlaceSiteWindowless*>(this);
    } else if (IsEqualIID(riid, IID_IOleControlSite)) {
        *object = static_cast<IOleControlSite*>(this);
    } else if (IsEqualIID(riid, IID_IObjectWithSite)) {
        *object = static_cast<IObjectWithSite*>(this);
    } else if (IsEqualIID(riid, IID_IOleContainer) || IsEqualIID(riid, IID_IParseDisplayName)) {
        *object = static_cast<IOleContainer*>(this);
    }
    if (*object != nullptr) {
        AddRef();
        return S_OK;
    }
    // A control that is a COM object itself (the web browser) adds the
    // interfaces its object asks the site for.
    IUnknown* extension = m_pOwner != nullptr ? static_cast<IUnknown*>(m_pOwner->GetInterface(L"IUnknown")) : nullptr;
    return extension != nullptr ? extension->QueryInterface(riid, object) : E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActiveXCtrl::AddRef() { return ++m_cRefs; }

ULONG STDMETHODCALLTYPE CActiveXCtrl::Release()
{
    ULONG refs = --m_cRefs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

// IObjectWithSite

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SetSite(IUnknown* site)
{
    if (site != nullptr) {
        site->AddRef();
    }
    if (m_pUnkSite != nullptr) {
        m_pUnkSite->Release();
    }
    m_pUnkSite = site;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetSite(REFIID riid, void** site)
{
    if (site == nullptr) {
        return E_POINTER;
    }
    *site = nullptr;
    return m_pUnkSite != nullptr ? m_pUnkSite->QueryInterface(riid, site) : E_FAIL;
}

// IOleClientSite

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SaveObject() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetContainer(IOleContainer** container)
{
    if (container == nullptr) {
        return E_POINTER;
    }
    *container = nullptr;
    if (m_pOwner == nullptr) {
        return E_UNEXPECTED;
    }
    *container = static_cast<IOleContainer*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ShowObject()
{
    if (m_pOwner == nullptr) {
        return E_UNEXPECTED;
    }
    m_pOwner->Invalidate();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnShowWindow(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::RequestNewObjectLayout() { return E_NOTIMPL; }

// IOleInPlaceSiteWindowless

HRESULT STDMETHODCALLTYPE CActiveXCtrl::CanWindowlessActivate() { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetCapture() { return m_bCaptured ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SetCapture(BOOL capture)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return E_UNEXPECTED;
    }
    m_bCaptured = capture != FALSE;
    if (m_bCaptured) {
        m_pOwner->GetManager()->SetCapture();
    } else {
        m_pOwner->GetManager()->ReleaseCapture();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetFocus() { return m_bHaveFocus ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::SetFocus(BOOL focus)
{
    if (m_pOwner == nullptr) {
        return E_UNEXPECTED;
    }
    m_bHaveFocus = focus != FALSE;
    if (m_bHaveFocus) {
        m_pOwner->SetFocus();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetDC(LPCRECT, DWORD, HDC* hDC)
{
    if (hDC == nullptr) {
        return E_POINTER;
    }
    HWND hWnd = GetManagerWindow();
    *hDC = hWnd != nullptr ? ::GetDC(hWnd) : nullptr;
    return *hDC != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ReleaseDC(HDC hDC)
{
    HWND hWnd = GetManagerWindow();
    if (hWnd == nullptr || hDC == nullptr) {
        return E_UNEXPECTED;
    }
    ::ReleaseDC(hWnd, hDC);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::InvalidateRect(LPCRECT rect, BOOL)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return E_UNEXPECTED;
    }
    RECT area = m_pOwner->GetPos();
    if (rect != nullptr && !::IntersectRect(&area, rect, &m_pOwner->GetPos())) {
        return S_OK;
    }
    m_pOwner->GetManager()->Invalidate(area);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::InvalidateRgn(HRGN, BOOL erase) { return InvalidateRect(nullptr, erase); }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::AdjustRect(LPRECT) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    HWND hWnd = GetManagerWindow();
    if (result == nullptr || hWnd == nullptr) {
        return E_UNEXPECTED;
    }
    *result = ::DefWindowProcW(hWnd, msg, wParam, lParam);
    return S_OK;
}

// IOleInPlaceSiteEx

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags)
{
    if (m_pOwner == nullptr || m_pOwner->m_pUnk == nullptr) {
        return E_UNEXPECTED;
    }
    if (noRedraw != nullptr) {
        *noRedraw = FALSE;
    }
    ReleaseInPlaceObjects();
    IOleObject* object = m_pOwner->m_pUnk;
    HRESULT hr = object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlaceObject));
    if (FAILED(hr)) {
        m_pInPlaceObject = nullptr;
        common::log("CActiveXCtrl::OnInPlaceActivateEx", __LINE__, L"no in-place object hr = 0x%08X",
                    static_cast<unsigned>(hr));
        return hr;
    }
    m_bWindowless = (flags & ACTIVATE_WINDOWLESS) != 0;
    if (m_bWindowless) {
        hr = object->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&m_pWindowless));
        if (FAILED(hr)) {
            m_pWindowless = nullptr;
            ReleaseInPlaceObjects();
            common::log("CActiveXCtrl::OnInPlaceActivateEx", __LINE__, L"no windowless object hr = 0x%08X",
                        static_cast<unsigned>(hr));
            return hr;
        }
    } else if (m_pWindow == nullptr) {
        HWND parent = GetManagerWindow();
        m_pWindow = parent != nullptr ? CActiveXWnd::Create(this, parent, m_pOwner->GetPos()) : nullptr;
        if (m_pWindow == nullptr) {
            ReleaseInPlaceObjects();
            return E_FAIL;
        }
        m_pOwner->m_hwndHost = m_pWindow->GetHWND();
        if (m_pOwner->GetManager() != nullptr) {
            m_pOwner->GetManager()->AddNativeWindow(m_pOwner, m_pOwner->m_hwndHost);
        }
        m_pOwner->ShowHostWindow();
    }
    m_bInPlaceActive = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceDeactivateEx(BOOL)
{
    ReleaseInPlaceObjects();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::RequestUIActivate() { return S_OK; }

// IOleInPlaceSite

HRESULT STDMETHODCALLTYPE CActiveXCtrl::CanInPlaceActivate() { return m_pOwner != nullptr ? S_OK : S_FALSE; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnUIActivate() { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                                         LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (frame == nullptr || doc == nullptr || pos == nullptr || clip == nullptr) {
        return E_POINTER;
    }
    *frame = nullptr;
    *doc = nullptr;
    HWND hWnd = GetManagerWindow();
    if (m_pOwner == nullptr || hWnd == nullptr) {
        return E_UNEXPECTED;
    }
    *frame = new CActiveXFrameWnd(hWnd);
    *pos = m_pOwner->GetObjectRect();
    *clip = *pos;
    if (info != nullptr) {
        info->fMDIApp = FALSE;
        info->hwndFrame = hWnd;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::Scroll(SIZE) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnUIDeactivate(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::DiscardUndoState() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::DeactivateAndUndo() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnPosRectChange(LPCRECT) { return E_NOTIMPL; }

// IOleWindow

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetWindow(HWND* hWnd)
{
    if (hWnd == nullptr) {
        return E_POINTER;
    }
    *hWnd = m_pWindow != nullptr ? m_pWindow->GetHWND() : GetManagerWindow();
    return *hWnd != nullptr ? S_OK : E_FAIL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ContextSensitiveHelp(BOOL) { return S_OK; }

// IOleControlSite

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnControlInfoChanged() { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::LockInPlaceActive(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::GetExtendedControl(IDispatch** dispatch)
{
    if (dispatch == nullptr) {
        return E_POINTER;
    }
    *dispatch = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::TransformCoords(POINTL*, POINTF*, DWORD) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::OnFocus(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ShowPropertyFrame() { return E_NOTIMPL; }

// IOleContainer

HRESULT STDMETHODCALLTYPE CActiveXCtrl::EnumObjects(DWORD, IEnumUnknown** enumerator)
{
    if (enumerator == nullptr) {
        return E_POINTER;
    }
    *enumerator = new CActiveXEnum(m_pOwner != nullptr ? m_pOwner->m_pUnk : nullptr);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXCtrl::LockContainer(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXCtrl::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** moniker)
{
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

// ---- CActiveXFrameWnd ----

CActiveXFrameWnd::CActiveXFrameWnd(HWND frame) : m_cRefs(1), m_hWndFrame(frame), m_pActiveObject(nullptr) {}

CActiveXFrameWnd::~CActiveXFrameWnd() { SetActiveObject(nullptr, nullptr); }

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleWindow) ||
        IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActiveXFrameWnd::AddRef() { return ++m_cRefs; }

ULONG STDMETHODCALLTYPE CActiveXFrameWnd::Release()
{
    ULONG refs = --m_cRefs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::RemoveMenus(HMENU) { return S_OK; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::EnableModeless(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR)
{
    if (active != nullptr) {
        active->AddRef();
    }
    if (m_pActiveObject != nullptr) {
        m_pActiveObject->Release();
    }
    m_pActiveObject = active;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::GetWindow(HWND* hWnd)
{
    if (hWnd == nullptr) {
        return E_POINTER;
    }
    *hWnd = m_hWndFrame;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXFrameWnd::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---- CActiveXEnum ----

CActiveXEnum::CActiveXEnum(IUnknown* object) : m_cRefs(1), m_pObject(object), m_iPos(0)
{
    if (m_pObject != nullptr) {
        m_pObject->AddRef();
    }
}

CActiveXEnum::~CActiveXEnum()
{
    if (m_pObject != nullptr) {
        m_pObject->Release();
    }
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IEnumUnknown)) {
        *object = static_cast<IEnumUnknown*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CActiveXEnum::AddRef() { return ++m_cRefs; }

ULONG STDMETHODCALLTYPE CActiveXEnum::Release()
{
    ULONG refs = --m_cRefs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Next(ULONG count, IUnknown** items, ULONG* fetched)
{
    if (fetched != nullptr) {
        *fetched = 0;
    }
    if (items == nullptr || (count > 1 && fetched == nullptr)) {
        return E_POINTER;
    }
    if (count == 0 || m_iPos > 0 || m_pObject == nullptr) {
        return count == 0 ? S_OK : S_FALSE;
    }
    items[0] = m_pObject;
    m_pObject->AddRef();
    m_iPos = 1;
    if (fetched != nullptr) {
        *fetched = 1;
    }
    return count == 1 ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Skip(ULONG count)
{
    m_iPos += count;
    return m_pObject != nullptr && m_iPos <= 1 ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Reset()
{
    m_iPos = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CActiveXEnum::Clone(IEnumUnknown** clone)
{
    if (clone == nullptr) {
        return E_POINTER;
    }
    CActiveXEnum* copy = new CActiveXEnum(m_pObject);
    copy->m_iPos = m_iPos;
    *clone = copy;
    return S_OK;
}

}  // namespace SkinUI
