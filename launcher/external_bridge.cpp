#include "launcher/external_bridge.h"

#include "foundation/log.h"
#include "launcher/web_engine.h"

namespace {

// An argument as text: strings as they are, other types through
// VariantChangeType; empty when it has no text form.
std::wstring argumentText(const VARIANT& argument)
{
    if (V_VT(&argument) == VT_BSTR)
        return V_BSTR(&argument) ? std::wstring(V_BSTR(&argument), SysStringLen(V_BSTR(&argument))) : std::wstring();
    VARIANT text;
    VariantInit(&text);
    std::wstring value;
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(&argument), 0, VT_BSTR)) && V_BSTR(&text))
        value.assign(V_BSTR(&text), SysStringLen(V_BSTR(&text)));
    VariantClear(&text);
    return value;
}

// Arguments arrive last first.
const VARIANT& argumentAt(const DISPPARAMS& params, UINT index) { return params.rgvarg[params.cArgs - 1 - index]; }

}  // namespace

HRESULT STDMETHODCALLTYPE ExternalImp::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE ExternalImp::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG STDMETHODCALLTYPE ExternalImp::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE ExternalImp::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ExternalImp::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE ExternalImp::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        const wchar_t* name = names[i] ? names[i] : L"";
        if (wcscmp(name, L"openUrl") == 0) {
            ids[i] = kOpenUrl;
        } else if (wcscmp(name, L"getLocationLat") == 0) {
            ids[i] = kGetLocationLat;
        } else if (wcscmp(name, L"setLocation") == 0) {
            ids[i] = kSetLocation;
        } else {
            ids[i] = DISPID_UNKNOWN;
            result = DISP_E_UNKNOWNNAME;
        }
    }
    return result;
}

HRESULT STDMETHODCALLTYPE ExternalImp::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                              UINT*)
{
    const UINT count = params && params->rgvarg ? params->cArgs : 0;
    switch (id) {
    case kOpenUrl:
        // Only web addresses: the launcher runs elevated.
        if (count > 0)
            wke::openPageAddress(argumentText(argumentAt(*params, 0)));
        else
            common::log("ExternalImp::Invoke", __LINE__, L"openUrl without an address");
        return S_OK;
    case kGetLocationLat:
        return S_OK;
    case kSetLocation:
        if (count != 2)
            return E_NOTIMPL;
        if (onSetLocation_)
            onSetLocation_(argumentText(argumentAt(*params, 0)), argumentText(argumentAt(*params, 1)));
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

LocationEventHandler::~LocationEventHandler()
{
    if (external_) {
        // A page may still hold the object: it no longer reaches this handler.
        external_->setLocationCallback(nullptr);
        external_->Release();
    }
}

HRESULT LocationEventHandler::GetExternal(IDispatch** dispatch)
{
    if (!dispatch)
        return E_POINTER;
    if (!external_) {
        external_ = new ExternalImp();
        external_->setLocationCallback([this](const std::wstring& latitude, const std::wstring& longitude) {
            onSetLocation(latitude, longitude);
        });
    }
    external_->AddRef();
    *dispatch = external_;
    return S_OK;
}

void LocationEventHandler::onSetLocation(const std::wstring& latitude, const std::wstring& longitude)
{
    location_ = latitude + L"," + longitude;
    common::log("LocationEventHandler::onSetLocation", __LINE__, L"location %s", location_.c_str());
}
