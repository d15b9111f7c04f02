#include "launcher/web_engine.h"

#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "foundation/ustring.h"

namespace wke {

const char kUserAgent[] =
    "Mozilla/5.0 (Windows NT 6.1) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/69.0.2228.0 Safari/537.36";

namespace {

// Every engine function is called with the caller cleaning the stack.
typedef void(__cdecl* DocumentReadyCallback)(WebView, void*);
typedef bool(__cdecl* LoadUrlBeginCallback)(WebView, void*, const char*, void*);
typedef JsValue(__cdecl* NativeFunction)(JsExecState, void*);

struct Api {
    void(__cdecl* wkeInitializeEx)(const void*);
    WebView(__cdecl* wkeCreateWebCustomWindow)(const WindowCreateInfo*);
    void(__cdecl* wkeOnDidCreateScriptContext)(WebView, void*, void*);
    void(__cdecl* wkeOnWindowClosing)(WebView, void*, void*);
    void(__cdecl* wkeOnWindowDestroy)(WebView, void*, void*);
    void(__cdecl* wkeOnTitleChanged)(WebView, void*, void*);
    void(__cdecl* wkeOnCreateView)(WebView, void*, void*);
    void(__cdecl* wkeOnLoadUrlEnd)(WebView, void*, void*);
    void(__cdecl* wkeOnDocumentReady)(WebView, DocumentReadyCallback, void*);
    void(__cdecl* wkeOnLoadUrlBegin)(WebView, LoadUrlBeginCallback, void*);
    void(__cdecl* wkeJsBindFunction)(const char*, NativeFunction, void*, unsigned int);
    void(__cdecl* wkeSetUserAgent)(WebView, const char*);
    void(__cdecl* wkeLoadURLW)(WebView, const wchar_t*);
    void(__cdecl* wkeShowWindow)(WebView, bool);
    void(__cdecl* wkeMoveWindow)(WebView, int, int, int, int);
    JsValue(__cdecl* jsArg)(JsExecState, int);
    const wchar_t*(__cdecl* jsToStringW)(JsExecState, JsValue);
    JsValue(__cdecl* jsUndefined)();
};

Api api = {};
bool loaded = false;

template <typename Fn>
bool resolve(HMODULE module, const char* name, Fn& slot)
{
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!slot) {
        common::log("wke::loadWkeLibrary", __LINE__, L"wke api not found: %s", utility::ustring::toWide(name).c_str());
        return false;
    }
    return true;
}

bool resolveAll(HMODULE module)
{
    bool all = true;
#define ZUL_WKE_RESOLVE(name) all = resolve(module, #name, api.name) && all
    ZUL_WKE_RESOLVE(wkeInitializeEx);
    ZUL_WKE_RESOLVE(wkeCreateWebCustomWindow);
    ZUL_WKE_RESOLVE(wkeOnDidCreateScriptContext);
    ZUL_WKE_RESOLVE(wkeOnWindowClosing);
    ZUL_WKE_RESOLVE(wkeOnWindowDestroy);
    ZUL_WKE_RESOLVE(wkeOnTitleChanged);
    ZUL_WKE_RESOLVE(wkeOnCreateView);
    ZUL_WKE_RESOLVE(wkeOnLoadUrlEnd);
    ZUL_WKE_RESOLVE(wkeOnDocumentReady);
    ZUL_WKE_RESOLVE(wkeOnLoadUrlBegin);
    ZUL_WKE_RESOLVE(wkeJsBindFunction);
    ZUL_WKE_RESOLVE(wkeSetUserAgent);
    ZUL_WKE_RESOLVE(wkeLoadURLW);
    ZUL_WKE_RESOLVE(wkeShowWindow);
    ZUL_WKE_RESOLVE(wkeMoveWindow);
    ZUL_WKE_RESOLVE(jsArg);
    ZUL_WKE_RESOLVE(jsToStringW);
    ZUL_WKE_RESOLVE(jsUndefined);
#undef ZUL_WKE_RESOLVE
    return all;
}

void __cdecl showWebWindow(WebView view, void* param) { api.wkeShowWindow(view, true); }

bool __cdecl onLoadUrlBegin(WebView view, void* param, const char* url, void* job) { return false; }

JsValue __cdecl CallOpenUrl(JsExecState state, void* param)
{
    const wchar_t* text = api.jsToStringW(state, api.jsArg(state, 0));
    const std::wstring address = text ? text : L"";
    common::log("wke::CallOpenUrl", __LINE__, L"web jump: %s", address.c_str());
    openPageAddress(address);
    return api.jsUndefined();
}

}  // namespace

int loadWkeLibrary(const std::wstring& appDir)
{
    if (loaded)
        return 1;
    const std::wstring path = appDir + L"node.dll";
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        common::log("wke::loadWkeLibrary", __LINE__, L"%s not loaded lastError = %d", path.c_str(), GetLastError());
        return 0;
    }
    if (!resolveAll(module)) {
        // A call through a missing entry would crash: no views at all.
        common::log("wke::loadWkeLibrary", __LINE__, L"web engine incomplete: no web views");
        api = Api();
        FreeLibrary(module);
        return 0;
    }
    api.wkeInitializeEx(nullptr);
    loaded = true;
    return 1;
}

bool ready() { return loaded; }

WebView createView(HWND parent, int x, int y, int width, int height, const std::wstring& address)
{
    if (!loaded)
        return nullptr;
    WindowCreateInfo info = {};
    info.size = sizeof(info);
    info.parent = parent;
    info.style = WS_CHILD;
    info.styleEx = 0;
    info.x = x;
    info.y = y;
    info.width = width;
    info.height = height;
    info.color = kBackground;
    WebView view = api.wkeCreateWebCustomWindow(&info);
    if (!view) {
        common::log("wke::createView", __LINE__, L"wkeCreateWebWindow error");
        return nullptr;
    }
    api.wkeOnDidCreateScriptContext(view, nullptr, nullptr);
    api.wkeOnWindowClosing(view, nullptr, nullptr);
    api.wkeOnWindowDestroy(view, nullptr, nullptr);
    api.wkeOnTitleChanged(view, nullptr, nullptr);
    api.wkeOnCreateView(view, nullptr, nullptr);
    api.wkeOnLoadUrlEnd(view, nullptr, nullptr);
    api.wkeOnDocumentReady(view, &showWebWindow, parent);
    api.wkeOnLoadUrlBegin(view, &onLoadUrlBegin, nullptr);
    api.wkeJsBindFunction("PCOpenUrl", &CallOpenUrl, parent, 1);
    api.wkeSetUserAgent(view, kUserAgent);
    api.wkeLoadURLW(view, address.c_str());
    return view;
}

void moveView(WebView view, int x, int y, int width, int height)
{
    if (loaded && view)
        api.wkeMoveWindow(view, x, y, width, height);
}

bool openPageAddress(const std::wstring& address)
{
    // The launcher runs elevated: a page may open web addresses, never a
    // program or a file (the opener refuses them).
    return utility::process::openUrlAsDesktopUser(address);
}

}  // namespace wke
