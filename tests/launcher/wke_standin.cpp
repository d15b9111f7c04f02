// Stand-in for the web engine "node.dll": only the functions the launcher
// calls. Each call appends one line (UTF-8, CR LF) to "node.calls.txt"
// beside the DLL: the function's name and its arguments separated by "|",
// views numbered from 1 in creation order. A view is a plain child window of
// class "ZulWkeView" painted in its background colour with its address.
// A test makes a page call the bound "PCOpenUrl": it writes the argument to
// "node.invoke.txt" beside the DLL and posts the registered message
// "ZulWkeInvoke" to a view window.
// Built with ZUL_WKE_INCOMPLETE it lacks wkeMoveWindow (an older engine).
#include <windows.h>

#include <string>
#include <vector>

namespace {

typedef long long JsValue;
typedef void(__cdecl* DocumentReadyCallback)(void*, void*);
typedef JsValue(__cdecl* NativeFunction)(void*, void*);

struct WindowCreateInfo {
    int size;
    HWND parent;
    DWORD style;
    DWORD styleEx;
    int x;
    int y;
    int width;
    int height;
    COLORREF color;
};

struct View {
    int number = 0;
    HWND window = nullptr;
    COLORREF color = 0;
    std::wstring address;
    DocumentReadyCallback ready = nullptr;
    void* readyParam = nullptr;
};

// The state a script call hands the native function: its one argument.
struct ExecState {
    std::wstring argument;
};

std::vector<View*> views;
NativeFunction bound = nullptr;
void* boundParam = nullptr;
const UINT kDocumentReady = WM_APP + 1;

std::wstring besideSelf(const wchar_t* name)
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&besideSelf), &self);
    wchar_t path[MAX_PATH] = {0};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file(path, length);
    return file.substr(0, file.find_last_of(L'\\') + 1) + name;
}

std::string utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                          nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], bytes, nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text)
{
    const int chars = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(chars > 0 ? chars : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], chars);
    return out;
}

void record(const std::wstring& line)
{
    const std::string text = utf8(line + L"\r\n");
    HANDLE out = CreateFileW(besideSelf(L"node.calls.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(out);
}

std::wstring number(long long value) { return std::to_wstring(value); }

std::wstring hex(DWORD value)
{
    wchar_t text[16];
    wsprintfW(text, L"%08X", value);
    return text;
}

std::wstring viewName(void* view) { return view ? number(static_cast<View*>(view)->number) : L"null"; }

std::wstring setOrNull(const void* pointer) { return pointer ? L"set" : L"null"; }

std::wstring readInvokeArgument()
{
    HANDLE in = CreateFileW(besideSelf(L"node.invoke.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return L"";
    char buffer[4096];
    DWORD got = 0;
    ReadFile(in, buffer, sizeof(buffer), &got, nullptr);
    CloseHandle(in);
    return wide(std::string(buffer, got));
}

LRESULT CALLBACK viewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    View* view = reinterpret_cast<View*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    static const UINT invoke = RegisterWindowMessageW(L"ZulWkeInvoke");
    if (view && message == kDocumentReady) {
        record(L"documentReady|" + number(view->number));
        if (view->ready)
            view->ready(view, view->readyParam);
        return 0;
    }
    if (view && message == invoke) {
        ExecState state;
        state.argument = readInvokeArgument();
        record(L"PCOpenUrl|" + state.argument);
        if (bound)
            bound(&state, boundParam);
        record(L"PCOpenUrl returned");
        return 0;
    }
    if (view && message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(view->color);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0x16, 0x25, 0x4A));
        InflateRect(&client, -16, -12);
        DrawTextW(dc, view->address.c_str(), -1, &client, DT_LEFT | DT_TOP | DT_WORDBREAK);
        EndPaint(window, &paint);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass()
{
    static bool done = false;
    if (done)
        return;
    WNDCLASSW type = {};
    type.lpfnWndProc = &viewProc;
    type.hInstance = GetModuleHandleW(nullptr);
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = L"ZulWkeView";
    RegisterClassW(&type);
    done = true;
}

}  // namespace

extern "C" {

__declspec(dllexport) void __cdecl wkeInitializeEx(const void* settings)
{
    record(L"wkeInitializeEx|" + setOrNull(settings));
}

__declspec(dllexport) void* __cdecl wkeCreateWebCustomWindow(const WindowCreateInfo* info)
{
    if (!info)
        return nullptr;
    record(L"wkeCreateWebCustomWindow|" + number(info->size) + L"|" + hex(info->style) + L"|" + hex(info->styleEx) +
           L"|" + number(info->x) + L"|" + number(info->y) + L"|" + number(info->width) + L"|" + number(info->height) +
           L"|" + hex(info->color));
    registerClass();
    View* view = new View();
    view->number = static_cast<int>(views.size()) + 1;
    view->color = info->color;
    view->window = CreateWindowExW(info->styleEx, L"ZulWkeView", L"", info->style | WS_CLIPSIBLINGS, info->x, info->y,
                                   info->width, info->height, info->parent, nullptr, GetModuleHandleW(nullptr),
                                   nullptr);
    if (!view->window) {
        delete view;
        return nullptr;
    }
    SetWindowLongPtrW(view->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    views.push_back(view);
    return view;
}

#define ZUL_WKE_HANDLER(name)                                                               \
    __declspec(dllexport) void __cdecl name(void* view, void* callback, void* param)        \
    {                                                                                       \
        record(std::wstring(L"" #name L"|") + viewName(view) + L"|" + setOrNull(callback)); \
    }
ZUL_WKE_HANDLER(wkeOnDidCreateScriptContext)
ZUL_WKE_HANDLER(wkeOnWindowClosing)
ZUL_WKE_HANDLER(wkeOnWindowDestroy)
ZUL_WKE_HANDLER(wkeOnTitleChanged)
ZUL_WKE_HANDLER(wkeOnCreateView)
ZUL_WKE_HANDLER(wkeOnLoadUrlEnd)
ZUL_WKE_HANDLER(wkeOnLoadUrlBegin)
#undef ZUL_WKE_HANDLER

__declspec(dllexport) void __cdecl wkeOnDocumentReady(void* view, DocumentReadyCallback callback, void* param)
{
    record(L"wkeOnDocumentReady|" + viewName(view) + L"|" + setOrNull(reinterpret_cast<void*>(callback)) + L"|" +
           (param == (view ? GetParent(static_cast<View*>(view)->window) : nullptr) ? L"parent" : L"other"));
    if (view) {
        static_cast<View*>(view)->ready = callback;
        static_cast<View*>(view)->readyParam = param;
    }
}

__declspec(dllexport) void __cdecl wkeJsBindFunction(const char* name, NativeFunction function, void* param,
                                                     unsigned int argumentCount)
{
    record(L"wkeJsBindFunction|" + wide(name ? name : "") + L"|" + setOrNull(reinterpret_cast<void*>(function)) + L"|" +
           number(argumentCount));
    bound = function;
    boundParam = param;
}

__declspec(dllexport) void __cdecl wkeSetUserAgent(void* view, const char* agent)
{
    record(L"wkeSetUserAgent|" + viewName(view) + L"|" + wide(agent ? agent : ""));
}

__declspec(dllexport) void __cdecl wkeLoadURLW(void* view, const wchar_t* address)
{
    record(L"wkeLoadURLW|" + viewName(view) + L"|" + (address ? address : L""));
    if (!view)
        return;
    View* target = static_cast<View*>(view);
    target->address = address ? address : L"";
    PostMessageW(target->window, kDocumentReady, 0, 0);
}

__declspec(dllexport) void __cdecl wkeShowWindow(void* view, bool show)
{
    record(L"wkeShowWindow|" + viewName(view) + L"|" + number(show ? 1 : 0));
    if (view)
        ShowWindow(static_cast<View*>(view)->window, show ? SW_SHOWNA : SW_HIDE);
}

#ifndef ZUL_WKE_INCOMPLETE
__declspec(dllexport) void __cdecl wkeMoveWindow(void* view, int x, int y, int width, int height)
{
    record(L"wkeMoveWindow|" + viewName(view) + L"|" + number(x) + L"|" + number(y) + L"|" + number(width) + L"|" +
           number(height));
    if (view)
        MoveWindow(static_cast<View*>(view)->window, x, y, width, height, TRUE);
}
#endif

__declspec(dllexport) JsValue __cdecl jsArg(void* state, int index)
{
    record(L"jsArg|" + number(index));
    return index == 0 && state ? static_cast<JsValue>(reinterpret_cast<INT_PTR>(state)) : 0;
}

__declspec(dllexport) const wchar_t* __cdecl jsToStringW(void* state, JsValue value)
{
    if (!value)
        return L"";
    return reinterpret_cast<ExecState*>(static_cast<INT_PTR>(value))->argument.c_str();
}

__declspec(dllexport) JsValue __cdecl jsUndefined()
{
    record(L"jsUndefined");
    return 0;
}

}  // extern "C"
