#include "skinui/controls/activex_ui.h"

#include <windowsx.h>
#include <ocidl.h>

#include "foundation/log.h"
#include "foundation/system_dll.h"
#include "skinui/controls/activex_ctrl.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

const int kHimetricPerInch = 2540;
// Program ids are used up to this many characters.
const int kMaxProgIdChars = 99;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }

}  // namespace

CActiveXUI::CActiveXUI()
    : m_clsid(CLSID_NULL),
      m_bCreated(false),
      m_bDelayCreate(true),
      m_pUnk(nullptr),
      m_pControl(nullptr),
      m_hwndHost(nullptr),
      m_bComInitialized(false),
      m_hModule(nullptr)
{
    // Every successful call, S_FALSE included, is balanced in the destructor.
    m_bComInitialized = SUCCEEDED(::CoInitialize(nullptr));
}

CActiveXUI::~CActiveXUI()
{
    // Released here, while COM is still up: a derived class has released
    // its own connections in its own destructor already.
    CActiveXUI::ReleaseControl();
    if (m_bComInitialized) {
        ::CoUninitialize();
    }
}

const wchar_t* CActiveXUI::GetClass() const { return L"ActiveX"; }

LPVOID CActiveXUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ActiveX") == 0) {
        return static_cast<CActiveXUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

UINT CActiveXUI::GetControlFlags() const { return UIFLAG_TABSTOP; }

HWND CActiveXUI::GetManagerWindow() const { return m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr; }

bool CActiveXUI::GetControl(REFIID iid, void** object) const
{
    if (object == nullptr) {
        return false;
    }
    *object = nullptr;
    return m_pUnk != nullptr && SUCCEEDED(m_pUnk->QueryInterface(iid, object));
}

RECT CActiveXUI::GetObjectRect() const
{
    // A windowed object is placed inside its own host window.
    if (m_pControl != nullptr && !m_pControl->IsWindowless()) {
        return RECT{0, 0, m_rcItem.right - m_rcItem.left, m_rcItem.bottom - m_rcItem.top};
    }
    return m_rcItem;
}

void CActiveXUI::ShowHostWindow()
{
    if (m_hwndHost != nullptr) {
        ::ShowWindow(m_hwndHost, IsVisible() ? SW_SHOW : SW_HIDE);
    }
}

// ---- Attributes and creation ----

void CActiveXUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"clsid") == 0) {
        CreateControl(value);
    } else if (wcscmp(name, L"modulename") == 0) {
        SetModuleName(value);
    } else if (wcscmp(name, L"delaycreate") == 0) {
        SetDelayCreate(wcscmp(value, L"true") == 0);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

bool CActiveXUI::CreateControl(const wchar_t* classOrProgId)
{
    if (classOrProgId == nullptr || classOrProgId[0] == L'\0') {
        common::log("CActiveXUI::CreateControl", __LINE__, L"no class for %s lastError = %d", m_sName.GetData(), 0);
        return false;
    }
    CLSID clsid = CLSID_NULL;
    HRESULT hr = E_FAIL;
    if (classOrProgId[0] == L'{') {
        hr = ::CLSIDFromString(classOrProgId, &clsid);
    } else {
        wchar_t progId[kMaxProgIdChars + 1] = {};
        wcsncpy(progId, classOrProgId, kMaxProgIdChars);
        hr = ::CLSIDFromProgID(progId, &clsid);
    }
    if (FAILED(hr)) {
        common::log("CActiveXUI::CreateControl", __LINE__, L"unknown class %s for %s hr = 0x%08X", classOrProgId,
                    m_sName.GetData(), static_cast<unsigned>(hr));
        return false;
    }
    return CreateControl(clsid);
}

bool CActiveXUI::CreateControl(const CLSID& clsid)
{
    if (IsEqualCLSID(clsid, CLSID_NULL)) {
        common::log("CActiveXUI::CreateControl", __LINE__, L"empty class id for %s lastError = %d", m_sName.GetData(),
                    0);
        return false;
    }
    m_clsid = clsid;
    m_bCreated = false;
    return m_bDelayCreate ? true : DoCreateControl();
}

IOleObject* CActiveXUI::CreateFromModule()
{
    // A skin folder beside the program may replace its skin: the module is a
    // file name of the program's folder (where the program allows it) or of
    // the system folder, never a path to elsewhere.
    const CUiString& path = m_sModuleName;
    HMODULE module = utility::loadModuleByName(path);
    if (module == nullptr) {
        return nullptr;
    }
    typedef HRESULT(STDAPICALLTYPE * GetClassObjectProc)(REFCLSID, REFIID, LPVOID*);
    GetClassObjectProc getClassObject = reinterpret_cast<GetClassObjectProc>(
        ::GetProcAddress(module, "DllGetClassObject"));
    IClassFactory* factory = nullptr;
    IOleObject* object = nullptr;
    HRESULT hr = E_FAIL;
    if (getClassObject == nullptr) {
        common::log("CActiveXUI::CreateFromModule", __LINE__, L"%s has no DllGetClassObject lastError = %d",
                    path.GetData(), static_cast<int>(::GetLastError()));
    } else if (FAILED(hr = getClassObject(m_clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
        common::log("CActiveXUI::CreateFromModule", __LINE__, L"%s has no factory for the class hr = 0x%08X",
                    path.GetData(), static_cast<unsigned>(hr));
    } else {
        hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(&object));
        factory->Release();
        if (FAILED(hr)) {
            object = nullptr;
            common::log("CActiveXUI::CreateFromModule", __LINE__, L"%s did not create the object hr = 0x%08X",
                        path.GetData(), static_cast<unsigned>(hr));
        }
    }
    if (object == nullptr) {
        ::FreeLibrary(module);
        return nullptr;
    }
    m_hModule = module;
    return object;
}

void CActiveXUI::UnloadModule()
{
    if (m_hModule == nullptr) {
        return;
    }
    HMODULE module = m_hModule;
    m_hModule = nullptr;
    typedef HRESULT(STDAPICALLTYPE * CanUnloadNowProc)();
    CanUnloadNowProc canUnloadNow = reinterpret_cast<CanUnloadNowProc>(::GetProcAddress(module, "DllCanUnloadNow"));
    // A module that still serves objects, or cannot tell, stays loaded.
    if (canUnloadNow != nullptr && canUnloadNow() == S_OK) {
        ::FreeLibrary(module);
    }
}

bool CActiveXUI::DoCreateControl()
{
    ReleaseControl();
    m_bCreated = true;

    if (!m_sModuleName.IsEmpty()) {
        m_pUnk = CreateFromModule();
    }
    if (m_pUnk == nullptr) {
        HRESULT hr = ::CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER, IID_IOleObject,
                                        reinterpret_cast<void**>(&m_pUnk));
        if (FAILED(hr)) {
            m_pUnk = nullptr;
            common::log("CActiveXUI::DoCreateControl", __LINE__, L"object of %s not created hr = 0x%08X",
                        m_sName.GetData(), static_cast<unsigned>(hr));
            return false;
        }
    }

    m_pControl = new CActiveXCtrl(this);
    IOleClientSite* site = static_cast<IOleClientSite*>(m_pControl);
    if (m_pManager != nullptr) {
        m_pManager->AddMessageFilter(this);
    }

    DWORD misc = 0;
    m_pUnk->GetMiscStatus(DVASPECT_CONTENT, &misc);
    HRESULT hr = S_OK;
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) != 0) {
        hr = m_pUnk->SetClientSite(site);
    }
    IPersistStreamInit* persist = nullptr;
    if (SUCCEEDED(m_pUnk->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&persist)))) {
        HRESULT initHr = persist->InitNew();
        persist->Release();
        if (FAILED(initHr)) {
            common::log("CActiveXUI::DoCreateControl", __LINE__, L"InitNew failed hr = 0x%08X",
                        static_cast<unsigned>(initHr));
        }
    }
    if ((misc & OLEMISC_SETCLIENTSITEFIRST) == 0) {
        hr = m_pUnk->SetClientSite(site);
    }
    if (FAILED(hr)) {
        common::log("CActiveXUI::DoCreateControl", __LINE__, L"SetClientSite failed hr = 0x%08X",
                    static_cast<unsigned>(hr));
    }

    IViewObject* view = nullptr;
    if (FAILED(m_pUnk->QueryInterface(IID_IViewObjectEx, reinterpret_cast<void**>(&view))) &&
        FAILED(m_pUnk->QueryInterface(IID_IViewObject2, reinterpret_cast<void**>(&view))) &&
        FAILED(m_pUnk->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) {
        view = nullptr;
    }
    if (view != nullptr) {
        m_pControl->SetViewObject(view);
        view->Release();
    }

    m_pUnk->SetHostNames(L"UIActiveX", nullptr);
    if (m_pManager != nullptr) {
        m_pManager->SendNotify(this, L"showactivex", 0, 0, true);
    }

    if (SUCCEEDED(hr) && (misc & OLEMISC_INVISIBLEATRUNTIME) == 0) {
        RECT rc = m_rcItem;
        hr = m_pUnk->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, GetManagerWindow(), &rc);
        if (FAILED(hr)) {
            common::log("CActiveXUI::DoCreateControl", __LINE__, L"in-place activation failed hr = 0x%08X",
                        static_cast<unsigned>(hr));
        }
    }

    IObjectWithSite* withSite = nullptr;
    if (SUCCEEDED(m_pUnk->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
        withSite->SetSite(site);
        withSite->Release();
    }
    return SUCCEEDED(hr);
}

void CActiveXUI::ReleaseControl()
{
    m_hwndHost = nullptr;
    if (m_pUnk != nullptr) {
        IOleObject* object = m_pUnk;
        m_pUnk = nullptr;
        IObjectWithSite* withSite = nullptr;
        if (SUCCEEDED(object->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
            withSite->SetSite(nullptr);
            withSite->Release();
        }
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        object->Release();
    }
    if (m_pControl != nullptr) {
        CActiveXCtrl* site = m_pControl;
        m_pControl = nullptr;
        site->Detach();
        site->Release();
    }
    UnloadModule();
    if (m_pManager != nullptr) {
        m_pManager->RemoveMessageFilter(this);
    }
}

// ---- Placement and visibility ----

void CActiveXUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    // A delayed object comes to life at its first placement.
    if (!m_bCreated && !IsEqualCLSID(m_clsid, CLSID_NULL)) {
        DoCreateControl();
    }
    if (m_pUnk == nullptr || m_pControl == nullptr) {
        return;
    }
    HDC hDC = m_pManager != nullptr ? m_pManager->GetPaintDC() : nullptr;
    int dpiX = hDC != nullptr ? ::GetDeviceCaps(hDC, LOGPIXELSX) : 96;
    int dpiY = hDC != nullptr ? ::GetDeviceCaps(hDC, LOGPIXELSY) : 96;
    SIZEL extent = {::MulDiv(m_rcItem.right - m_rcItem.left, kHimetricPerInch, dpiX > 0 ? dpiX : 96),
                    ::MulDiv(m_rcItem.bottom - m_rcItem.top, kHimetricPerInch, dpiY > 0 ? dpiY : 96)};
    m_pUnk->SetExtent(DVASPECT_CONTENT, &extent);
    if (m_pControl->GetInPlaceObject() != nullptr) {
        RECT object = GetObjectRect();
        m_pControl->GetInPlaceObject()->SetObjectRects(&object, &object);
    }
    if (m_hwndHost != nullptr) {
        ::MoveWindow(m_hwndHost, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                     m_rcItem.bottom - m_rcItem.top, TRUE);
    }
}

void CActiveXUI::Move(int dx, int dy, bool needInvalidate)
{
    CControlUI::Move(dx, dy, needInvalidate);
    if (m_hwndHost != nullptr) {
        ::MoveWindow(m_hwndHost, m_rcItem.left, m_rcItem.top, m_rcItem.right - m_rcItem.left,
                     m_rcItem.bottom - m_rcItem.top, TRUE);
    }
}

void CActiveXUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    ShowHostWindow();
}

void CActiveXUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    ShowHostWindow();
}

bool CActiveXUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    CControlUI::DoPaint(hDC, rcPaint, stopControl);
    // A windowless object draws itself into the window's painting.
    if (m_pControl != nullptr && m_pControl->IsInPlaceActive() && m_pControl->IsWindowless() &&
        m_pControl->GetViewObject() != nullptr) {
        RECTL bounds = {m_rcItem.left, m_rcItem.top, m_rcItem.right, m_rcItem.bottom};
        m_pControl->GetViewObject()->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hDC, &bounds, nullptr,
                                          nullptr, 0);
    }
    return true;
}

// ---- Window messages of a windowless object ----

LRESULT CActiveXUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (m_pControl == nullptr || !m_pControl->IsInPlaceActive() || m_pControl->GetWindowless() == nullptr ||
        m_pManager == nullptr) {
        return 0;
    }
    const bool mouse = IsMouseMessage(uMsg);
    if (mouse && (!IsVisible() || !IsEnabled())) {
        return 0;
    }
    HWND hWnd = m_pManager->GetPaintWindow();
    bool claim = true;
    if (mouse || uMsg == WM_SETCURSOR) {
        if (!m_pControl->IsCaptured()) {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (uMsg == WM_SETCURSOR) {
                ::GetCursorPos(&pt);
                ::ScreenToClient(hWnd, &pt);
            } else if (uMsg == WM_MOUSEWHEEL) {
                ::ScreenToClient(hWnd, &pt);
            }
            // The view object says where it is; without one, its rectangle does.
            DWORD hit = ::PtInRect(&m_rcItem, pt) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
            IViewObjectEx* view = nullptr;
            if (m_pControl->GetViewObject() != nullptr && SUCCEEDED(m_pControl->GetViewObject()->QueryInterface(
                                                              IID_IViewObjectEx, reinterpret_cast<void**>(&view)))) {
                hit = HITRESULT_OUTSIDE;
                view->QueryHitPoint(DVASPECT_CONTENT, &m_rcItem, pt, 0, &hit);
                view->Release();
            }
            if (hit != HITRESULT_HIT) {
                return 0;
            }
        }
        if (uMsg == WM_SETCURSOR) {
            claim = false;
        } else if (uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK || uMsg == WM_RBUTTONDOWN) {
            if (::GetFocus() != hWnd) {
                ::SetFocus(hWnd);
            }
            SetFocus();
        }
    } else if (IsKeyMessage(uMsg)) {
        if (m_pManager->GetFocus() != this) {
            return 0;
        }
    } else if (uMsg == WM_HELP || uMsg == WM_CONTEXTMENU) {
        claim = false;
    } else {
        return 0;
    }
    // Taking the focus may have released the object.
    if (m_pControl == nullptr || m_pControl->GetWindowless() == nullptr) {
        return 0;
    }
    LRESULT result = 0;
    if (m_pControl->GetWindowless()->OnWindowMessage(uMsg, wParam, lParam, &result) == S_OK) {
        bHandled = claim;
    }
    return result;
}

}  // namespace SkinUI
