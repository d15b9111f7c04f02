// CWebBrowserUI: the system's web-browser ActiveX control hosted through
// CActiveXUI. It navigates to its home page, forwards the browser's events
// and the document host's questions to an optional event handler, keeps
// script errors from showing dialogs, and routes key messages to the
// browser while the keyboard focus is inside it.
//
// The control is the browser's event sink (IDispatch), document host
// (IDocHostUIHandler), service provider and command target; these COM faces
// are counted but the object belongs to the control tree. Releasing the
// browser (in this class's own destructor at the latest) disconnects all of
// them before the object goes.
#pragma once

#include <windows.h>
#include <docobj.h>
#include <exdisp.h>
#include <mshtmhst.h>
#include <servprov.h>

#include "skinui/controls/activex_ui.h"
#include "skinui/controls/web_browser_event_handler.h"
#include "skinui/core/ui_event.h"

namespace SkinUI {

class CWebBrowserUI : public CActiveXUI,
                      public IDocHostUIHandler,
                      public IServiceProvider,
                      public IOleCommandTarget,
                      public IDispatch,
                      public ITranslateAccelerator {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // CActiveXUI
    bool DoCreateControl() override;
    void ReleaseControl() override;

    // Navigates to url (nothing without a url or before the browser exists).
    void Navigate2(const wchar_t* url);
    const CUiString& GetHomePage() const { return m_sHomePage; }
    void SetHomePage(const wchar_t* url) { m_sHomePage = url; }
    bool IsAutoNavigation() const { return m_bAutoNavi; }
    void SetAutoNavigation(bool autoNavigate) { m_bAutoNavi = autoNavigate; }
    // Not owned; may be set or replaced at any time, null for none.
    void SetWebBrowserEventHandler(CWebBrowserEventHandler* handler) { m_pWebBrowserEventHandler = handler; }
    IWebBrowser2* GetWebBrowser2() const { return m_pWebBrowser2; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: the browser's events (DWebBrowserEvents2).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;

    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* pt, IUnknown* commandTarget,
                                              IDispatch* objectHit) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* activeObject, IOleCommandTarget* commandTarget,
                                     IOleInPlaceFrame* frame, IOleInPlaceUIWindow* doc) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg, const GUID* group, DWORD command) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* dropTarget, IDropTarget** replacement) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR urlIn, LPWSTR* urlOut) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* data, IDataObject** replacement) override;

    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID riid, void** object) override;

    // IOleCommandTarget: script errors.
    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD* commands, OLECMDTEXT* text) override;
    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD command, DWORD options, VARIANT* in, VARIANT* out) override;

    // ITranslateAccelerator: key messages while the focus is in the browser.
    LRESULT TranslateAccelerator(MSG* msg) override;

private:
    // The handler, or the neutral one when none is set.
    CWebBrowserEventHandler* Handler() const;
    // The browser's document as the host UI handler's owner sees it; null
    // while there is none.
    void SetDocumentUIHandler(IDocHostUIHandler* handler);
    void Disconnect();
    void ReportScriptError(VARIANT* in);

    IWebBrowser2* m_pWebBrowser2;
    DWORD m_dwCookie;
    ULONG m_dwRef;
    CUiString m_sHomePage;
    bool m_bAutoNavi;
    CWebBrowserEventHandler* m_pWebBrowserEventHandler;
};

}  // namespace SkinUI
