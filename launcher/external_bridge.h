// The script bridge of the system's embedded browser: ExternalImp is the
// object a page reaches as window.external, LocationEventHandler the browser
// control's event handler that hands it out. The launcher's own pages run in
// the web engine and call it through its bound function instead; this bridge
// serves a page shown by the web-browser control.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <functional>
#include <string>

#include "skinui/controls/web_browser_event_handler.h"

class ExternalImp final : public IDispatch {
public:
    enum DispatchId { kOpenUrl = 100, kGetLocationLat = 101, kSetLocation = 102 };
    // Receives the two arguments of setLocation, as text.
    typedef std::function<void(const std::wstring&, const std::wstring&)> LocationCallback;

    ExternalImp() = default;
    void setLocationCallback(const LocationCallback& callback) { onSetLocation_ = callback; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    ~ExternalImp() = default;  // through Release only

    LONG refs_ = 1;
    LocationCallback onSetLocation_;
};

class LocationEventHandler : public SkinUI::CWebBrowserEventHandler {
public:
    LocationEventHandler() = default;
    ~LocationEventHandler() override;
    LocationEventHandler(const LocationEventHandler&) = delete;
    LocationEventHandler& operator=(const LocationEventHandler&) = delete;

    // One ExternalImp for the handler's life, handed out with a reference added.
    HRESULT GetExternal(IDispatch** dispatch) override;

    const std::wstring& location() const { return location_; }

private:
    void onSetLocation(const std::wstring& latitude, const std::wstring& longitude);

    ExternalImp* external_ = nullptr;
    std::wstring location_;
};
