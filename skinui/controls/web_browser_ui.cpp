#include "skinui/controls/web_browser_ui.h"

#include <exdispid.h>
#include <ocidl.h>

#include <initializer_list>

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// The document interfaces this file needs that the platform's import
// libraries do not carry.
const IID kIIDCustomDoc = {0x3050F3F0, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
const GUID kCGIDDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

// The range of event ids the sink answers.
const DISPID kFirstEvent = DISPID_STATUSTEXTCHANGE;  // 102
const DISPID kLastEvent = DISPID_NEWWINDOW3;         // 273

// An event's arguments in signature order (the call holds them last first),
// after checking their count and types. Integers may come signed or not.
HRESULT TakeArgs(const DISPPARAMS* params, std::initializer_list<VARTYPE> types, VARIANT** out)
{
    if (params == nullptr || params->cArgs != types.size() || (params->cArgs > 0 && params->rgvarg == nullptr)) {
        return DISP_E_BADPARAMCOUNT;
    }
    UINT i = 0;
    for (VARTYPE type : types) {
        VARIANT* arg = &params->rgvarg[params->cArgs - 1 - i];
        bool integer = type == VT_I4 && V_VT(arg) == VT_UI4;
        if (V_VT(arg) != type && !integer) {
            return DISP_E_TYPEMISMATCH;
        }
        out[i++] = arg;
    }
    return S_OK;
}

// A property read through late binding; an empty value when it is missing.
HRESULT GetProperty(IDispatch* object, const wchar_t* name, VARTYPE type, VARIANT* value)
{
    ::VariantInit(value);
    if (object == nullptr) {
        return E_POINTER;
    }
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    if (FAILED(hr)) {
        return hr;
    }
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    hr = object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
    if (SUCCEEDED(hr) && V_VT(value) != type) {
        hr = ::VariantChangeType(value, value, 0, type);
    }
    if (FAILED(hr)) {
        ::VariantClear(value);
    }
    return hr;
}

// The IDispatch of a property holding an object; null when it is missing.
IDispatch* GetObjectProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT value;
    if (FAILED(GetProperty(object, name, VT_DISPATCH, &value))) {
        return nullptr;
    }
    return V_DISPATCH(&value);  // the reference moves to the caller
}

// An integer property; 0 when it is missing or holds no number.
long GetIntProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT value;
    if (FAILED(GetProperty(object, name, VT_I4, &value))) {
        return 0;  // the value's number was never set
    }
    return V_I4(&value);
}

// A text property (the caller frees it); null when it is missing or holds no text.
BSTR GetTextProperty(IDispatch* object, const wchar_t* name)
{
    VARIANT value;
    if (FAILED(GetProperty(object, name, VT_BSTR, &value))) {
        return nullptr;
    }
    return V_BSTR(&value);  // the string moves to the caller
}

bool SameObject(IUnknown* a, IUnknown* b)
{
    if (a == nullptr || b == nullptr) {
        return false;
    }
    IUnknown* identityA = nullptr;
    IUnknown* identityB = nullptr;
    a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityA));
    b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityB));
    bool same = identityA != nullptr && identityA == identityB;
    if (identityA != nullptr)
        identityA->Release();
    if (identityB != nullptr)
        identityB->Release();
    return same;
}

}  // namespace

CWebBrowserUI::CWebBrowserUI()
    : m_pWebBrowser2(nullptr), m_dwCookie(0), m_dwRef(0), m_bAutoNavi(false), m_pWebBrowserEventHandler(nullptr)
{
    // The system web browser, {8856F961-340A-11D0-A96B-00C04FD705A2}.
    CreateControl(CLSID_WebBrowser);
}

CWebBrowserUI::~CWebBrowserUI()
{
    // The base destructor cannot reach this class's part any more: the
    // browser lets go of this object here, before it is freed.
    CWebBrowserUI::ReleaseControl();
    if (m_dwRef != 0) {
        common::log("CWebBrowserUI::~CWebBrowserUI", __LINE__, L"browser %s still holds %d references",
                    m_sName.GetData(), static_cast<int>(m_dwRef));
    }
}

const wchar_t* CWebBrowserUI::GetClass() const { return L"WebBrowser"; }

LPVOID CWebBrowserUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"WebBrowser") == 0) {
        return static_cast<CWebBrowserUI*>(this);
    }
    // The site offers the browser this object's COM faces.
    if (name != nullptr && wcscmp(name, L"IUnknown") == 0) {
        return static_cast<IUnknown*>(static_cast<IDispatch*>(this));
    }
    return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"homepage") == 0) {
        SetHomePage(value);
    } else if (wcscmp(name, L"autonavi") == 0) {
        SetAutoNavigation(wcscmp(value, L"true") == 0);
    } else {
        CActiveXUI::SetAttribute(name, value);
    }
}

CWebBrowserEventHandler* CWebBrowserUI::Handler() const
{
    static CWebBrowserEventHandler neutral;
    return m_pWebBrowserEventHandler != nullptr ? m_pWebBrowserEventHandler : &neutral;
}

// ---- Creation and release ----

bool CWebBrowserUI::DoCreateControl()
{
    if (!CActiveXUI::DoCreateControl()) {
        return false;
    }
    if (m_pManager != nullptr) {
        m_pManager->AddTranslateAccelerator(this);
    }
    if (!GetControl(IID_IWebBrowser2, reinterpret_cast<void**>(&m_pWebBrowser2))) {
        m_pWebBrowser2 = nullptr;
        common::log("CWebBrowserUI::DoCreateControl", __LINE__, L"%s hosts no web browser lastError = %d",
                    m_sName.GetData(), 0);
        return false;
    }
    if (m_bAutoNavi && !m_sHomePage.IsEmpty()) {
        Navigate2(m_sHomePage);
    }
    IConnectionPointContainer* container = nullptr;
    IConnectionPoint* point = nullptr;
    HRESULT hr = E_NOINTERFACE;
    if (GetControl(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) {
        hr = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point);
        container->Release();
    }
    if (SUCCEEDED(hr)) {
        hr = point->Advise(static_cast<IDispatch*>(this), &m_dwCookie);
        point->Release();
    }
    if (FAILED(hr)) {
        m_dwCookie = 0;
        common::log("CWebBrowserUI::DoCreateControl", __LINE__, L"browser events not connected hr = 0x%08X",
                    static_cast<unsigned>(hr));
    }
    return true;
}

void CWebBrowserUI::SetDocumentUIHandler(IDocHostUIHandler* handler)
{
    IDispatch* document = nullptr;
    if (m_pWebBrowser2 == nullptr || FAILED(m_pWebBrowser2->get_Document(&document)) || document == nullptr) {
        return;
    }
    ICustomDoc* custom = nullptr;
    if (SUCCEEDED(document->QueryInterface(kIIDCustomDoc, reinterpret_cast<void**>(&custom)))) {
        custom->SetUIHandler(handler);
        custom->Release();
    }
    document->Release();
}

void CWebBrowserUI::Disconnect()
{
    if (m_pManager != nullptr) {
        m_pManager->RemoveTranslateAccelerator(this);
    }
    if (m_pWebBrowser2 == nullptr) {
        return;
    }
    if (m_dwCookie != 0) {
        IConnectionPointContainer* container = nullptr;
        IConnectionPoint* point = nullptr;
        if (GetControl(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))) {
            if (SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &point))) {
                point->Unadvise(m_dwCookie);
                point->Release();
            }
            container->Release();
        }
        m_dwCookie = 0;
    }
    SetDocumentUIHandler(nullptr);
    m_pWebBrowser2->Release();
    m_pWebBrowser2 = nullptr;
}

void CWebBrowserUI::ReleaseControl()
{
    Disconnect();
    CActiveXUI::ReleaseControl();
}

void CWebBrowserUI::Navigate2(const wchar_t* url)
{
    if (url == nullptr || url[0] == L'\0' || m_pWebBrowser2 == nullptr) {
        return;
    }
    VARIANT target;
    ::VariantInit(&target);
    V_VT(&target) = VT_BSTR;
    V_BSTR(&target) = ::SysAllocString(url);
    VARIANT empty;
    ::VariantInit(&empty);
    HRESULT hr = m_pWebBrowser2->Navigate2(&target, &empty, &empty, &empty, &empty);
    ::VariantClear(&target);
    if (FAILED(hr)) {
        common::log("CWebBrowserUI::Navigate2", __LINE__, L"navigation to %s failed hr = 0x%08X", url,
                    static_cast<unsigned>(hr));
    }
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CWebBrowserUI::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
    } else if (IsEqualIID(riid, IID_IDocHostUIHandler)) {
        *object = static_cast<IDocHostUIHandler*>(this);
    } else if (IsEqualIID(riid, IID_IServiceProvider)) {
        *object = static_cast<IServiceProvider*>(this);
    } else if (IsEqualIID(riid, IID_IOleCommandTarget)) {
        *object = static_cast<IOleCommandTarget*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

// The control tree owns the object: the count only shows who still holds it.
ULONG STDMETHODCALLTYPE CWebBrowserUI::AddRef() { return ++m_dwRef; }

ULONG STDMETHODCALLTYPE CWebBrowserUI::Release() { return m_dwRef > 0 ? --m_dwRef : 0; }

// ---- IDispatch: the browser's events ----

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetTypeInfoCount(UINT* count)
{
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info != nullptr) {
        *info = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE CWebBrowserUI::Invoke(DISPID id, REFIID riid, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                                EXCEPINFO*, UINT*)
{
    if (!IsEqualIID(riid, IID_NULL)) {
        return E_INVALIDARG;
    }
    if (id < kFirstEvent || id > kLastEvent) {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (result != nullptr) {
        ::VariantInit(result);
    }
    const VARTYPE kVariantRef = VT_VARIANT | VT_BYREF;
    const VARTYPE kBoolRef = VT_BOOL | VT_BYREF;
    VARIANT* a[7] = {};
    HRESULT hr = S_OK;
    switch (id) {
    case DISPID_STATUSTEXTCHANGE:
        return S_OK;
    case DISPID_COMMANDSTATECHANGE:
        if (SUCCEEDED(hr = TakeArgs(params, {VT_I4, VT_BOOL}, a))) {
            Handler()->CommandStateChange(V_I4(a[0]), V_BOOL(a[1]));
        }
        break;
    case DISPID_BEFORENAVIGATE2:
        if (SUCCEEDED(
                hr = TakeArgs(params,
                              {VT_DISPATCH, kVariantRef, kVariantRef, kVariantRef, kVariantRef, kVariantRef, kBoolRef},
                              a))) {
            Handler()->BeforeNavigate2(V_DISPATCH(a[0]), V_VARIANTREF(a[1]), V_VARIANTREF(a[2]), V_VARIANTREF(a[3]),
                                       V_VARIANTREF(a[4]), V_VARIANTREF(a[5]), V_BOOLREF(a[6]));
        }
        break;
    case DISPID_NAVIGATECOMPLETE2:
        if (SUCCEEDED(hr = TakeArgs(params, {VT_DISPATCH, kVariantRef}, a))) {
            SetDocumentUIHandler(static_cast<IDocHostUIHandler*>(this));
            Handler()->NavigateComplete2(V_DISPATCH(a[0]), V_VARIANTREF(a[1]));
        }
        break;
    case DISPID_DOCUMENTCOMPLETE:
        if (SUCCEEDED(hr = TakeArgs(params, {VT_DISPATCH, kVariantRef}, a)) &&
            SameObject(V_DISPATCH(a[0]), m_pWebBrowser2)) {
            Handler()->DocumentComplete(V_DISPATCH(a[0]), V_VARIANTREF(a[1]));
        }
        break;
    case DISPID_NAVIGATEERROR:
        if (SUCCEEDED(hr = TakeArgs(params, {VT_DISPATCH, kVariantRef, kVariantRef, kVariantRef, kBoolRef}, a))) {
            Handler()->NavigateError(V_DISPATCH(a[0]), V_VARIANTREF(a[1]), V_VARIANTREF(a[2]), V_VARIANTREF(a[3]),
                                     V_BOOLREF(a[4]));
        }
        break;
    case DISPID_NEWWINDOW3:
        if (SUCCEEDED(hr = TakeArgs(params, {VT_DISPATCH | VT_BYREF, kBoolRef, VT_I4, VT_BSTR, VT_BSTR}, a))) {
            Handler()->NewWindow3(V_DISPATCHREF(a[0]), V_BOOLREF(a[1]), static_cast<DWORD>(V_I4(a[2])), V_BSTR(a[3]),
                                  V_BSTR(a[4]));
        }
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (FAILED(hr)) {
        common::log("CWebBrowserUI::Invoke", __LINE__, L"event %d with unexpected arguments hr = 0x%08X",
                    static_cast<int>(id), static_cast<unsigned>(hr));
    }
    return hr;
}

// ---- IDocHostUIHandler: to the handler ----

HRESULT STDMETHODCALLTYPE CWebBrowserUI::ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget,
                                                         IDispatch* objectHit)
{
    return Handler()->ShowContextMenu(id, pt, commandTarget, objectHit);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetHostInfo(DOCHOSTUIINFO* info) { return Handler()->GetHostInfo(info); }

HRESULT STDMETHODCALLTYPE CWebBrowserUI::ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject,
                                                IOleCommandTarget* commandTarget, IOleInPlaceFrame* frame,
                                                IOleInPlaceUIWindow* doc)
{
    return Handler()->ShowUI(id, activeObject, commandTarget, frame, doc);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::HideUI() { return Handler()->HideUI(); }

HRESULT STDMETHODCALLTYPE CWebBrowserUI::UpdateUI() { return Handler()->UpdateUI(); }

HRESULT STDMETHODCALLTYPE CWebBrowserUI::EnableModeless(BOOL enable) { return Handler()->EnableModeless(enable); }

HRESULT STDMETHODCALLTYPE CWebBrowserUI::OnDocWindowActivate(BOOL activate)
{
    return Handler()->OnDocWindowActivate(activate);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::OnFrameWindowActivate(BOOL activate)
{
    return Handler()->OnFrameWindowActivate(activate);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow)
{
    return Handler()->ResizeBorder(border, window, frameWindow);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command)
{
    return Handler()->TranslateAccelerator(msg, group, command);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetOptionKeyPath(LPOLESTR* key, DWORD reserved)
{
    if (key != nullptr) {
        *key = nullptr;
    }
    return Handler()->GetOptionKeyPath(key, reserved);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement)
{
    if (replacement != nullptr) {
        *replacement = nullptr;
    }
    return Handler()->GetDropTarget(dropTarget, replacement);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::GetExternal(IDispatch** dispatch)
{
    if (dispatch != nullptr) {
        *dispatch = nullptr;
    }
    return Handler()->GetExternal(dispatch);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut)
{
    if (urlOut != nullptr) {
        *urlOut = nullptr;
    }
    return Handler()->TranslateUrl(translate, urlIn, urlOut);
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::FilterDataObject(IDataObject* data, IDataObject** replacement)
{
    if (replacement != nullptr) {
        *replacement = nullptr;
    }
    return Handler()->FilterDataObject(data, replacement);
}

// ---- IServiceProvider ----

HRESULT STDMETHODCALLTYPE CWebBrowserUI::QueryService(REFGUID, REFIID, void** object)
{
    if (object != nullptr) {
        *object = nullptr;
    }
    return E_NOINTERFACE;
}

// ---- IOleCommandTarget: script errors ----

HRESULT STDMETHODCALLTYPE CWebBrowserUI::QueryStatus(const GUID* group, ULONG, OLECMD*, OLECMDTEXT*)
{
    if (group == nullptr || !IsEqualGUID(*group, kCGIDDocHostCommandHandler)) {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    return OLECMDERR_E_NOTSUPPORTED;
}

HRESULT STDMETHODCALLTYPE CWebBrowserUI::Exec(const GUID* group, DWORD command, DWORD, VARIANT* in, VARIANT* out)
{
    if (group == nullptr || !IsEqualGUID(*group, kCGIDDocHostCommandHandler)) {
        return OLECMDERR_E_UNKNOWNGROUP;
    }
    if (command != OLECMDID_SHOWSCRIPTERROR) {
        return OLECMDERR_E_NOTSUPPORTED;
    }
    ReportScriptError(in);
    // Scripts go on running and no error dialog is shown.
    if (out != nullptr) {
        ::VariantClear(out);
        V_VT(out) = VT_BOOL;
        V_BOOL(out) = VARIANT_TRUE;
    }
    return S_OK;
}

void CWebBrowserUI::ReportScriptError(VARIANT* in)
{
    if (in == nullptr || (V_VT(in) != VT_UNKNOWN && V_VT(in) != VT_DISPATCH) || V_UNKNOWN(in) == nullptr) {
        common::log("CWebBrowserUI::ReportScriptError", __LINE__, L"script error without a document lastError = %d", 0);
        return;
    }
    IDispatch* document = nullptr;
    if (FAILED(V_UNKNOWN(in)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&document)))) {
        return;
    }
    IDispatch* window = GetObjectProperty(document, L"parentWindow");
    IDispatch* event = GetObjectProperty(window, L"event");
    if (event != nullptr) {
        // A page's error event may lack any of these, or hold them as other types.
        const long line = GetIntProperty(event, L"errorLine");
        const long character = GetIntProperty(event, L"errorCharacter");
        const long code = GetIntProperty(event, L"errorCode");
        BSTR message = GetTextProperty(event, L"errorMessage");
        BSTR url = GetTextProperty(event, L"errorUrl");
        common::log("CWebBrowserUI::ReportScriptError", __LINE__, L"script error %ld at line %ld in %s", code, line,
                    url != nullptr ? url : L"");
        Handler()->ScriptError(line, character, code, message, url);
        ::SysFreeString(message);
        ::SysFreeString(url);
        event->Release();
    }
    if (window != nullptr) {
        window->Release();
    }
    document->Release();
}

// ---- Accelerators ----

LRESULT CWebBrowserUI::TranslateAccelerator(MSG* msg)
{
    if (msg == nullptr || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) {
        return S_FALSE;
    }
    if (m_pWebBrowser2 == nullptr) {
        return E_NOTIMPL;
    }
    HWND host = GetHostWindow();
    HWND focus = ::GetFocus();
    if (host == nullptr || focus == nullptr || (focus != host && !::IsChild(host, focus))) {
        return S_FALSE;
    }
    IOleInPlaceActiveObject* active = nullptr;
    HRESULT hr = m_pWebBrowser2->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(&active));
    if (FAILED(hr)) {
        return hr;
    }
    hr = active->TranslateAccelerator(msg);
    active->Release();
    return hr;
}

}  // namespace SkinUI
