// A message channel between processes: the receiving end is a hidden window
// whose class name is the channel's name; the sending end finds that window
// and posts to it.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class IWindowIPCHandle {
public:
    virtual ~IWindowIPCHandle() = default;
    virtual LRESULT onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class WindowIPC {
public:
    WindowIPC() = default;
    ~WindowIPC();
    WindowIPC(const WindowIPC&) = delete;
    WindowIPC& operator=(const WindowIPC&) = delete;

    // Receiving end: registers the class and creates the hidden window. Its
    // messages (WM_COPYDATA and WM_USER + 1 and above) go to the handler on
    // the creating thread.
    bool create(const std::wstring& channelName, IWindowIPCHandle* handler);
    // Sending end: finds a top-level window by class and title (empty = any).
    bool open(const std::wstring& className, const std::wstring& windowName);
    bool openByClass(const std::wstring& className);
    bool postMessage(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    IWindowIPCHandle* handler_ = nullptr;
    bool ownsWindow_ = false;
};

}  // namespace utility
