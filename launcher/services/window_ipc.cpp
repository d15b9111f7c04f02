#include "launcher/services/window_ipc.h"

#include "foundation/log.h"

namespace utility {

namespace {

HINSTANCE moduleInstance()
{
    // The module that holds this code (the executable when linked statically).
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleInstance), &module);
    return module ? module : GetModuleHandleW(nullptr);
}

}  // namespace

WindowIPC::~WindowIPC()
{
    if (ownsWindow_ && window_ && IsWindow(window_))
        DestroyWindow(window_);
}

bool WindowIPC::create(const std::wstring& channelName, IWindowIPCHandle* handler)
{
    if (window_) {
        common::log("utility::WindowIPC::create", __LINE__, L"already attached, channel = %s", channelName.c_str());
        return false;
    }
    HINSTANCE instance = moduleInstance();
    WNDCLASSEXW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &WindowIPC::windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = channelName.c_str();
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        common::log("utility::WindowIPC::create", __LINE__, L"RegisterClassEx %s failed. lastError = %d",
                    channelName.c_str(), GetLastError());
        return false;
    }
    // WM_NCCREATE stores the handle in window_ and this object in the window.
    HWND window = CreateWindowExW(0, channelName.c_str(), L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (!window) {
        common::log("utility::WindowIPC::create", __LINE__, L"CreateWindowEx %s failed. lastError = %d",
                    channelName.c_str(), GetLastError());
        window_ = nullptr;
        return false;
    }
    window_ = window;
    handler_ = handler;
    ownsWindow_ = true;
    return true;
}

bool WindowIPC::open(const std::wstring& className, const std::wstring& windowName)
{
    if (ownsWindow_) {
        common::log("utility::WindowIPC::open", __LINE__, L"this end is a receiver, class = %s", className.c_str());
        return false;
    }
    // FindWindowEx leaves the last error alone when it finds nothing, so a
    // stale error must not be taken for a failure.
    SetLastError(0);
    window_ = FindWindowExW(nullptr, nullptr, className.empty() ? nullptr : className.c_str(),
                            windowName.empty() ? nullptr : windowName.c_str());
    if (!window_) {
        const DWORD error = GetLastError();
        if (error != 0 && error != ERROR_FILE_NOT_FOUND)
            common::log("utility::WindowIPC::open", __LINE__, L"className:%s, windowName:%s, error:%d",
                        className.c_str(), windowName.c_str(), error);
    }
    return window_ != nullptr;
}

bool WindowIPC::openByClass(const std::wstring& className) { return open(className, L""); }

bool WindowIPC::postMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!window_)
        return false;
    if (PostMessageW(window_, message, wParam, lParam))
        return true;
    common::log("utility::WindowIPC::postMessage", __LINE__, L"PostMessage %d failed. lastError = %d", message,
                GetLastError());
    return false;
}

LRESULT CALLBACK WindowIPC::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTW* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        WindowIPC* self = static_cast<WindowIPC*>(create->lpCreateParams);
        if (self)
            self->window_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        WindowIPC* self = reinterpret_cast<WindowIPC*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self && self->window_ == hwnd) {
            self->window_ = nullptr;
            self->ownsWindow_ = false;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_COPYDATA || message > WM_USER) {
        WindowIPC* self = reinterpret_cast<WindowIPC*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && self->window_ == hwnd) {
            if (self->handler_)
                self->handler_->onHandleWindowIPC(message, wParam, lParam);
            return 0;
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace utility
