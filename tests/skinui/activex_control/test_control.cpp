// The test ActiveX control: an in-place activatable object that fills its
// rectangle with one colour, in its own child window or, windowless, through
// IViewObject::Draw, and records every placement, click and draw.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include "test_control.h"

namespace {

ZulTestControlState g_state = {};
LONG g_locks = 0;
HINSTANCE g_module = nullptr;
const wchar_t kWindowClass[] = L"ZulTestActiveXWindow";

LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(hWnd, &ps);
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        HBRUSH fill = ::CreateSolidBrush(kTestControlWindowedColor);
        ::FillRect(hDC, &rc, fill);
        ::DeleteObject(fill);
        ::FrameRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
        ++g_state.clicks;
        return 0;
    default:
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    }
}

class TestControl : public IOleObject, public IOleInPlaceObjectWindowless, public IViewObject2 {
public:
    explicit TestControl(bool windowless) : m_windowless(windowless)
    {
        ++g_state.objectsCreated;
        ++g_state.liveObjects;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleObject)) {
            *object = static_cast<IOleObject*>(this);
        } else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceObject) ||
                   IsEqualIID(riid, IID_IOleInPlaceObjectWindowless)) {
            *object = static_cast<IOleInPlaceObjectWindowless*>(this);
        } else if (IsEqualIID(riid, IID_IViewObject) || IsEqualIID(riid, IID_IViewObject2)) {
            *object = static_cast<IViewObject2*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override
    {
        if (site != nullptr)
            site->AddRef();
        if (m_site != nullptr)
            m_site->Release();
        m_site = site;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override
    {
        if (site == nullptr)
            return E_POINTER;
        *site = m_site;
        if (m_site != nullptr)
            m_site->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR app, LPCOLESTR) override
    {
        lstrcpynW(g_state.hostName, app != nullptr ? app : L"", 32);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override
    {
        InPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) override
    {
        if (verb != OLEIVERB_INPLACEACTIVATE || site == nullptr)
            return E_NOTIMPL;
        return Activate(site);
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) override
    {
        if (clsid == nullptr)
            return E_POINTER;
        *clsid = m_windowless ? kTestControlWindowless : kTestControlWindowed;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL* size) override
    {
        if (size == nullptr)
            return E_POINTER;
        g_state.extent = *size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL* size) override
    {
        if (size == nullptr)
            return E_POINTER;
        *size = g_state.extent;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override
    {
        if (status == nullptr)
            return E_POINTER;
        *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hWnd) override
    {
        if (hWnd == nullptr)
            return E_POINTER;
        *hWnd = m_hWnd;
        return m_hWnd != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override
    {
        if (m_inPlaceSite == nullptr)
            return S_OK;
        if (m_hWnd != nullptr) {
            ::DestroyWindow(m_hWnd);
            m_hWnd = nullptr;
            g_state.window = nullptr;
        }
        IOleInPlaceSite* site = m_inPlaceSite;
        m_inPlaceSite = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) override
    {
        if (pos == nullptr)
            return E_POINTER;
        g_state.objectRect = *pos;
        if (m_hWnd != nullptr) {
            ::MoveWindow(m_hWnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM, LPARAM, LRESULT* result) override
    {
        if (result != nullptr)
            *result = 0;
        if (msg == WM_LBUTTONDOWN)
            ++g_state.clicks;
        return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget**) override { return E_NOTIMPL; }

    // IViewObject, IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, HDC hDC, LPCRECTL bounds, LPCRECTL,
                                   BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) override
    {
        if (hDC == nullptr || bounds == nullptr)
            return E_INVALIDARG;
        ++g_state.draws;
        RECT rc = {bounds->left, bounds->top, bounds->right, bounds->bottom};
        HBRUSH fill = ::CreateSolidBrush(kTestControlWindowlessColor);
        ::FillRect(hDC, &rc, fill);
        ::DeleteObject(fill);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD, DWORD, IAdviseSink*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD*, DWORD*, IAdviseSink**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override
    {
        return GetExtent(aspect, size);
    }

private:
    virtual ~TestControl()
    {
        InPlaceDeactivate();
        SetClientSite(nullptr);
        --g_state.liveObjects;
    }

    // In place: windowless when the site allows it and this is the windowless kind.
    HRESULT Activate(IOleClientSite* site)
    {
        if (m_inPlaceSite != nullptr)
            return S_OK;
        IOleInPlaceSite* inPlace = nullptr;
        if (FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlace))))
            return E_FAIL;
        if (inPlace->CanInPlaceActivate() != S_OK) {
            inPlace->Release();
            return E_FAIL;
        }
        bool windowless = false;
        IOleInPlaceSiteWindowless* siteWindowless = nullptr;
        if (m_windowless &&
            SUCCEEDED(site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&siteWindowless)))) {
            BOOL noRedraw = FALSE;
            windowless = siteWindowless->CanWindowlessActivate() == S_OK &&
                         siteWindowless->OnInPlaceActivateEx(&noRedraw, ACTIVATE_WINDOWLESS) == S_OK;
            siteWindowless->Release();
        }
        if (!windowless && FAILED(inPlace->OnInPlaceActivate())) {
            inPlace->Release();
            return E_FAIL;
        }
        m_inPlaceSite = inPlace;
        ++g_state.activations;
        g_state.windowless = windowless ? 1 : 0;

        IOleInPlaceFrame* frame = nullptr;
        IOleInPlaceUIWindow* doc = nullptr;
        RECT pos = {0, 0, 0, 0};
        RECT clip = {0, 0, 0, 0};
        OLEINPLACEFRAMEINFO info = {};
        info.cb = sizeof(info);
        inPlace->GetWindowContext(&frame, &doc, &pos, &clip, &info);
        if (frame != nullptr)
            frame->Release();
        if (doc != nullptr)
            doc->Release();
        g_state.objectRect = pos;
        if (windowless)
            return S_OK;

        HWND parent = nullptr;
        inPlace->GetWindow(&parent);
        g_state.parent = parent;
        m_hWnd = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, pos.left, pos.top, pos.right - pos.left,
                                   pos.bottom - pos.top, parent, nullptr, g_module, nullptr);
        g_state.window = m_hWnd;
        return m_hWnd != nullptr ? S_OK : E_FAIL;
    }

    ULONG m_refs = 1;
    bool m_windowless;
    IOleClientSite* m_site = nullptr;
    IOleInPlaceSite* m_inPlaceSite = nullptr;
    HWND m_hWnd = nullptr;
};

class Factory : public IClassFactory {
public:
    explicit Factory(bool windowless) : m_windowless(windowless) {}
    virtual ~Factory() {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory))
            return E_NOINTERFACE;
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        TestControl* control = new TestControl(m_windowless);
        HRESULT hr = control->QueryInterface(riid, object);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        g_locks += lock ? 1 : -1;
        return S_OK;
    }

private:
    ULONG m_refs = 1;
    bool m_windowless;
};

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        WNDCLASSW wc = {};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        ::RegisterClassW(&wc);
    } else if (reason == DLL_PROCESS_DETACH) {
        ::UnregisterClassW(kWindowClass, instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    bool windowless = IsEqualCLSID(clsid, kTestControlWindowless);
    if (!windowless && !IsEqualCLSID(clsid, kTestControlWindowed))
        return CLASS_E_CLASSNOTAVAILABLE;
    Factory* factory = new Factory(windowless);
    HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return g_state.liveObjects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

extern "C" ZulTestControlState* WINAPI ZulTestControlGetState() { return &g_state; }
