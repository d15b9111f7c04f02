// CWebBrowserEventHandler: what the owner of a CWebBrowserUI implements to
// hear the browser's events, to answer for the browser's document host, and
// to receive script errors. Every operation has the neutral answer of a host
// that does nothing, so an owner overrides only what it needs; the control
// uses the same answers when no handler is set. The control never owns its
// handler.
#pragma once

#include <windows.h>
#include <mshtmhst.h>
#include <oaidl.h>

namespace SkinUI {

class CWebBrowserEventHandler {
public:
    CWebBrowserEventHandler() {}
    virtual ~CWebBrowserEventHandler() {}

    // Browser events. Setting *cancel to VARIANT_TRUE cancels the navigation
    // or the new window.
    virtual void BeforeNavigate2(IDispatch* browser, VARIANT* url, VARIANT* flags, VARIANT* targetFrameName,
                                 VARIANT* postData, VARIANT* headers, VARIANT_BOOL* cancel)
    {
    }
    virtual void NavigateError(IDispatch* browser, VARIANT* url, VARIANT* targetFrameName, VARIANT* statusCode,
                               VARIANT_BOOL* cancel)
    {
    }
    virtual void NavigateComplete2(IDispatch* browser, VARIANT* url) {}
    // Only for the top-level browser object, not for frames inside the page.
    virtual void DocumentComplete(IDispatch* browser, VARIANT* url) {}
    virtual void NewWindow3(IDispatch** browser, VARIANT_BOOL* cancel, DWORD flags, BSTR urlContext, BSTR url) {}
    virtual void CommandStateChange(long command, VARIANT_BOOL enable) {}

    // The document host (IDocHostUIHandler), in that interface's order.
    virtual HRESULT ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget, IDispatch* objectHit)
    {
        return S_FALSE;
    }
    virtual HRESULT GetHostInfo(DOCHOSTUIINFO* info) { return E_NOTIMPL; }
    virtual HRESULT ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject, IOleCommandTarget* commandTarget,
                           IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc)
    {
        return S_FALSE;
    }
    virtual HRESULT HideUI() { return S_OK; }
    virtual HRESULT UpdateUI() { return S_OK; }
    virtual HRESULT EnableModeless(BOOL enable) { return S_OK; }
    virtual HRESULT OnDocWindowActivate(BOOL activate) { return S_OK; }
    virtual HRESULT OnFrameWindowActivate(BOOL activate) { return S_OK; }
    virtual HRESULT ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) { return S_OK; }
    virtual HRESULT TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) { return S_FALSE; }
    virtual HRESULT GetOptionKeyPath(LPOLESTR* key, DWORD reserved) { return E_NOTIMPL; }
    virtual HRESULT GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) { return E_NOTIMPL; }
    virtual HRESULT GetExternal(IDispatch** dispatch) { return E_NOTIMPL; }
    virtual HRESULT TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) { return S_FALSE; }
    virtual HRESULT FilterDataObject(IDataObject* data, IDataObject** replacement) { return S_FALSE; }

    // A script error on a page; no error dialog is shown.
    virtual void ScriptError(long line, long character, long code, BSTR message, BSTR url) {}
};

}  // namespace SkinUI
