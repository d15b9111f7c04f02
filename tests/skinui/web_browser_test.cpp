// CWebBrowserUI over the system web browser (created, never navigating to a
// real page in the test environment): the event sink's answers to each
// event id, the document host's answers and script errors, the accelerator
// hook, and a release while the browser can still send events.
#include <gtest/gtest.h>
#include <windows.h>
#include <exdispid.h>
#include <mshtmhst.h>

#include <map>
#include <string>
#include <vector>

#include "activex_window.h"
#include "skinui/controls/web_browser_ui.h"

using namespace SkinUI;
using skintest::ActiveXWindow;

namespace {

const GUID kCGIDDocHostCommandHandler = {0xF38BC242, 0xB950, 0x11D1, {0x89, 0x18, 0x00, 0xC0, 0x4F, 0xC2, 0xC8, 0x36}};

// Records every call as one line of text.
class Recorder : public CWebBrowserEventHandler {
public:
    void BeforeNavigate2(IDispatch*, VARIANT* url, VARIANT*, VARIANT*, VARIANT*, VARIANT*,
                         VARIANT_BOOL* cancel) override
    {
        calls.push_back(L"before " + std::wstring(V_VT(url) == VT_BSTR ? V_BSTR(url) : L"?"));
        *cancel = VARIANT_TRUE;
    }
    void NavigateError(IDispatch*, VARIANT*, VARIANT*, VARIANT*, VARIANT_BOOL*) override { calls.push_back(L"error"); }
    void NavigateComplete2(IDispatch*, VARIANT*) override { calls.push_back(L"navigated"); }
    void DocumentComplete(IDispatch*, VARIANT*) override { calls.push_back(L"document"); }
    void NewWindow3(IDispatch**, VARIANT_BOOL*, DWORD flags, BSTR, BSTR url) override
    {
        calls.push_back(L"newwindow " + std::to_wstring(flags) + L" " + url);
    }
    void CommandStateChange(long command, VARIANT_BOOL enable) override
    {
        calls.push_back(L"command " + std::to_wstring(command) + L" " + std::to_wstring(enable));
    }
    void ScriptError(long line, long character, long code, BSTR message, BSTR url) override
    {
        calls.push_back(L"script " + std::to_wstring(line) + L"," + std::to_wstring(character) + L"," +
                        std::to_wstring(code) + L" " + (message != nullptr ? message : L"-") + L" " +
                        (url != nullptr ? url : L"-"));
    }
    std::wstring Take()
    {
        std::wstring all;
        for (const std::wstring& call : calls)
            all += call + L";";
        calls.clear();
        return all;
    }
    std::vector<std::wstring> calls;
};

// A late-bound object with named read-only properties.
class FakeObject : public IDispatch {
public:
    void Set(const wchar_t* name, VARIANT value)
    {
        m_names.push_back(name);
        m_values.emplace_back();
        ::VariantInit(&m_values.back());
        ::VariantCopy(&m_values.back(), &value);
    }
    ~FakeObject()
    {
        for (VARIANT& v : m_values)
            ::VariantClear(&v);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        *object = nullptr;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch))
            return E_NOINTERFACE;
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override
    {
        for (size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == names[0]) {
                *ids = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override
    {
        if (id < 1 || static_cast<size_t>(id) > m_values.size())
            return DISP_E_MEMBERNOTFOUND;
        return ::VariantCopy(result, &m_values[id - 1]);
    }

private:
    std::vector<std::wstring> m_names;
    std::vector<VARIANT> m_values;
};

VARIANT Int(long value)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}
VARIANT Bool(VARIANT_BOOL value)
{
    VARIANT v;
    V_VT(&v) = VT_BOOL;
    V_BOOL(&v) = value;
    return v;
}
VARIANT Dispatch(IDispatch* object)
{
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = object;
    return v;
}
VARIANT Ref(VARIANT* target)
{
    VARIANT v;
    V_VT(&v) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&v) = target;
    return v;
}
VARIANT BoolRef(VARIANT_BOOL* target)
{
    VARIANT v;
    V_VT(&v) = VT_BOOL | VT_BYREF;
    V_BOOLREF(&v) = target;
    return v;
}

// Calls the sink with the arguments in signature order, as the browser does.
HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> args, VARIANT* result = nullptr)
{
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

// Counts the manager's accelerator calls that reach it.
class CountingBrowser : public CWebBrowserUI {
public:
    LRESULT TranslateAccelerator(MSG* msg) override
    {
        ++calls;
        return CWebBrowserUI::TranslateAccelerator(msg);
    }
    using CWebBrowserUI::TranslateAccelerator;
    int calls = 0;
};

}  // namespace

TEST(WebBrowser, EventSinkAnswersEachEventIdAndChecksItsArguments)
{
    ActiveXWindow w;
    Recorder rec;
    CWebBrowserUI* browser = new CWebBrowserUI;
    browser->SetWebBrowserEventHandler(&rec);
    w.Place(browser, L"10,10,290,200");
    ASSERT_NE(nullptr, browser->GetWebBrowser2());
    ASSERT_NE(nullptr, browser->GetHostWindow());
    IDispatch* sink = browser;
    BSTR url = ::SysAllocString(L"http://zul.test/");
    VARIANT urlValue;
    V_VT(&urlValue) = VT_BSTR;
    V_BSTR(&urlValue) = url;
    VARIANT empty;
    ::VariantInit(&empty);
    VARIANT_BOOL cancel = VARIANT_FALSE;

    // Outside the events: another interface id, ids out of range or unknown in range.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(E_INVALIDARG, sink->Invoke(102, IID_IDispatch, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Fire(sink, 101, {}));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Fire(sink, 274, {}));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, Fire(sink, DISPID_TITLECHANGE, {}));
    EXPECT_EQ(S_OK, Fire(sink, DISPID_STATUSTEXTCHANGE, {}));
    EXPECT_EQ(L"", rec.Take());

    // Each event once to its handler slot, with its arguments; the handler may cancel.
    VARIANT result = Int(7);
    EXPECT_EQ(S_OK, Fire(sink, DISPID_COMMANDSTATECHANGE, {Int(2), Bool(VARIANT_FALSE)}, &result));
    EXPECT_EQ(VT_EMPTY, V_VT(&result));
    VARIANT flags = empty, frame = empty, post = empty, headers = empty;
    EXPECT_EQ(S_OK, Fire(sink, DISPID_BEFORENAVIGATE2,
                         {Dispatch(sink), Ref(&urlValue), Ref(&flags), Ref(&frame), Ref(&post), Ref(&headers),
                          BoolRef(&cancel)}));
    EXPECT_EQ(VARIANT_TRUE, cancel);
    EXPECT_EQ(S_OK, Fire(sink, DISPID_NAVIGATECOMPLETE2, {Dispatch(browser->GetWebBrowser2()), Ref(&urlValue)}))
        << "the browser has no document to give the host handler";
    EXPECT_EQ(S_OK, Fire(sink, DISPID_NAVIGATEERROR,
                         {Dispatch(sink), Ref(&urlValue), Ref(&frame), Ref(&flags), BoolRef(&cancel)}));
    VARIANT newWindow;
    IDispatch* created = nullptr;
    V_VT(&newWindow) = VT_DISPATCH | VT_BYREF;
    V_DISPATCHREF(&newWindow) = &created;
    VARIANT windowFlags;
    V_VT(&windowFlags) = VT_UI4;
    V_UI4(&windowFlags) = 6;
    EXPECT_EQ(S_OK, Fire(sink, DISPID_NEWWINDOW3, {newWindow, BoolRef(&cancel), windowFlags, urlValue, urlValue}));
    EXPECT_EQ(L"command 2 0;before http://zul.test/;navigated;error;newwindow 6 http://zul.test/;", rec.Take());

    // Document complete only from the top-level browser, not from a frame.
    FakeObject frameObject;
    EXPECT_EQ(S_OK, Fire(sink, DISPID_DOCUMENTCOMPLETE, {Dispatch(&frameObject), Ref(&urlValue)}));
    EXPECT_EQ(S_OK, Fire(sink, DISPID_DOCUMENTCOMPLETE, {Dispatch(browser->GetWebBrowser2()), Ref(&urlValue)}));
    EXPECT_EQ(L"document;", rec.Take());

    // Wrong counts or types reach nobody.
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Fire(sink, DISPID_BEFORENAVIGATE2, {Dispatch(sink), Ref(&urlValue)}));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT,
              sink->Invoke(DISPID_NEWWINDOW3, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Fire(sink, DISPID_DOCUMENTCOMPLETE, {Dispatch(sink), urlValue}));
    EXPECT_EQ(L"", rec.Take());

    // Without a handler the events are answered and go nowhere.
    browser->SetWebBrowserEventHandler(nullptr);
    EXPECT_EQ(S_OK, Fire(sink, DISPID_COMMANDSTATECHANGE, {Int(1), Bool(VARIANT_TRUE)}));
    EXPECT_EQ(L"", rec.Take());
    ::SysFreeString(url);
}

TEST(WebBrowser, DocumentHostAnswersAndScriptErrorsShowNoDialog)
{
    ActiveXWindow w;
    Recorder rec;
    CWebBrowserUI* browser = w.Place(new CWebBrowserUI, L"10,10,290,200");
    ASSERT_NE(nullptr, browser->GetWebBrowser2());

    // The browser finds this control as its document host through its client site.
    IOleObject* object = nullptr;
    ASSERT_TRUE(browser->GetControl(IID_IOleObject, reinterpret_cast<void**>(&object)));
    IOleClientSite* site = nullptr;
    object->GetClientSite(&site);
    object->Release();
    ASSERT_NE(nullptr, site);
    IDocHostUIHandler* host = nullptr;
    EXPECT_EQ(S_OK, site->QueryInterface(IID_IDocHostUIHandler, reinterpret_cast<void**>(&host)));
    EXPECT_EQ(static_cast<IDocHostUIHandler*>(browser), host);
    if (host != nullptr)
        host->Release();
    site->Release();

    // Neutral answers without a handler, with the out values cleared.
    IDispatch* external = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(E_NOTIMPL, browser->GetExternal(&external));
    EXPECT_EQ(nullptr, external);
    LPWSTR translated = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(S_FALSE, browser->TranslateUrl(0, const_cast<LPWSTR>(L"http://zul.test/"), &translated));
    EXPECT_EQ(nullptr, translated);
    EXPECT_EQ(S_OK, browser->HideUI());

    // Script errors: only the doc host group's command, reported with its five values.
    browser->SetWebBrowserEventHandler(&rec);
    VARIANT out;
    ::VariantInit(&out);
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, browser->Exec(nullptr, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out));
    EXPECT_EQ(OLECMDERR_E_UNKNOWNGROUP, browser->Exec(&IID_IDispatch, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out));
    EXPECT_EQ(OLECMDERR_E_NOTSUPPORTED,
              browser->Exec(&kCGIDDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR + 1, 0, nullptr, &out));
    FakeObject event, window, document;
    BSTR message = ::SysAllocString(L"boom");
    BSTR address = ::SysAllocString(L"http://zul.test/page");
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = message;
    event.Set(L"errorLine", Int(12));
    event.Set(L"errorCharacter", Int(5));
    event.Set(L"errorCode", Int(438));
    event.Set(L"errorMessage", text);
    V_BSTR(&text) = address;
    event.Set(L"errorUrl", text);
    window.Set(L"event", Dispatch(&event));
    document.Set(L"parentWindow", Dispatch(&window));
    VARIANT in = Dispatch(&document);
    EXPECT_EQ(S_OK, browser->Exec(&kCGIDDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &in, &out));
    EXPECT_EQ(VT_BOOL, V_VT(&out));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(&out));
    EXPECT_EQ(L"script 12,5,438 boom http://zul.test/page;", rec.Take());
    // Values missing or of no usable type are reported as 0 and no text.
    FakeObject sparse;
    BSTR notANumber = ::SysAllocString(L"not a number");
    V_BSTR(&text) = notANumber;
    sparse.Set(L"errorLine", Int(7));
    sparse.Set(L"errorCode", text);
    sparse.Set(L"errorUrl", Int(3));
    FakeObject sparseWindow, sparseDocument;
    sparseWindow.Set(L"event", Dispatch(&sparse));
    sparseDocument.Set(L"parentWindow", Dispatch(&sparseWindow));
    VARIANT sparseIn = Dispatch(&sparseDocument);
    EXPECT_EQ(S_OK, browser->Exec(&kCGIDDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, &sparseIn, &out));
    EXPECT_EQ(L"script 7,0,0 - 3;", rec.Take());
    ::SysFreeString(notANumber);
    // Without a document the scripts still go on, and nothing is reported.
    ::VariantInit(&out);
    EXPECT_EQ(S_OK, browser->Exec(&kCGIDDocHostCommandHandler, OLECMDID_SHOWSCRIPTERROR, 0, nullptr, &out));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(&out));
    EXPECT_EQ(L"", rec.Take());
    browser->SetWebBrowserEventHandler(nullptr);
    ::SysFreeString(message);
    ::SysFreeString(address);
}

TEST(WebBrowser, AcceleratorsOnlyWhileTheFocusIsInsideAndUntilRelease)
{
    ActiveXWindow w;
    CountingBrowser* browser = new CountingBrowser;
    MSG key = {w.hwnd, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    MSG click = {w.hwnd, WM_LBUTTONDOWN, 0, 0, 0, {0, 0}};
    EXPECT_EQ(E_NOTIMPL, browser->TranslateAccelerator(&key)) << "no browser yet";
    w.Place(browser, L"10,10,290,200");
    ASSERT_NE(nullptr, browser->GetWebBrowser2());
    browser->calls = 0;

    ::SetFocus(w.hwnd);
    EXPECT_EQ(S_FALSE, browser->TranslateAccelerator(&click));
    EXPECT_EQ(S_FALSE, browser->TranslateAccelerator(&key)) << "the focus is elsewhere";
    EXPECT_FALSE(w.manager.TranslateAccelerator(&key));
    EXPECT_EQ(3, browser->calls);

    // Released: the hook is gone from the manager.
    browser->ReleaseControl();
    EXPECT_EQ(nullptr, browser->GetWebBrowser2());
    EXPECT_FALSE(w.manager.TranslateAccelerator(&key));
    EXPECT_EQ(3, browser->calls);
}

TEST(WebBrowser, ReleaseWhileTheBrowserCanStillSendEventsIsSafe)
{
    skintest::LogLines logs;
    ActiveXWindow w;
    Recorder rec;
    CWebBrowserUI* browser = new CWebBrowserUI;
    browser->SetWebBrowserEventHandler(&rec);
    w.Place(browser, L"10,10,290,200");
    IWebBrowser2* kept = browser->GetWebBrowser2();
    ASSERT_NE(nullptr, kept);
    kept->AddRef();

    // The control goes while the browser object lives on and navigates.
    w.root->Remove(browser);
    testutil::pumpFor(100);
    VARIANT target;
    V_VT(&target) = VT_BSTR;
    V_BSTR(&target) = ::SysAllocString(L"about:blank");
    VARIANT empty;
    ::VariantInit(&empty);
    kept->Navigate2(&target, &empty, &empty, &empty, &empty);
    ::VariantClear(&target);
    testutil::pumpFor(200);
    kept->Release();

    EXPECT_EQ(L"", rec.Take()) << "no event reached the released control";
    EXPECT_EQ(0, logs.Count(L"still holds")) << "the browser let go of every reference";
}
