// A skinned window (WindowImplBase, so Escape and Return reach its key
// filter) built from the skin XML text it is given, topmost at (100, 100) and
// made the foreground window, with its notifications recorded; the thread's
// queue run the way the programs run it (pre-translation first); the real
// pointer, button and keys driven with SetCursorPos and SendInput.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "common/test_util.h"
#include "common/ui_driver.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/window_impl_base.h"
#include "test_helpers.h"

namespace skintest {

// Runs the queue with the framework's pre-translation until done() or the time is up.
inline bool RunQueueUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!SkinUI::CUiManager::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done())
            return true;
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline void RunQueueFor(DWORD ms)
{
    RunQueueUntil([] { return false; }, ms);
}

inline void RealButton(bool down)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
}

inline void RealKey(WORD key)
{
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = key;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

class SkinnedWindow : public SkinUI::WindowImplBase {
public:
    explicit SkinnedWindow(const wchar_t* skin) : m_skin(skin)
    {
        SkinUI::CUiManager::SetInstance(::GetModuleHandleW(nullptr));
        SkinUI::RegisterControlElements();
        ::SetCursorPos(0, 0);
        // Shown after creation: a window created visible takes Wine two seconds to destroy.
        if (Create(nullptr, L"skinui test", WS_POPUP, WS_EX_TOPMOST) == nullptr)
            return;
        ::SetWindowPos(GetHWND(), HWND_TOPMOST, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        ::ShowWindow(GetHWND(), SW_SHOWNOACTIVATE);
        GetManager().AddNotifier(&notes);
        ::SetForegroundWindow(GetHWND());
        ::UpdateWindow(GetHWND());
        RunQueueUntil([this] { return ::GetForegroundWindow() == GetHWND(); }, 3000);
    }
    ~SkinnedWindow() override
    {
        if (::GetAsyncKeyState(VK_LBUTTON) < 0)
            RealButton(false);  // a test that stopped halfway
        if (GetHWND() != nullptr) {
            GetManager().RemoveNotifier(&notes);
            ::DestroyWindow(GetHWND());
        }
    }
    template <typename T>
    T* Find(const wchar_t* name)
    {
        return static_cast<T*>(GetManager().FindControl(name));
    }
    // A real click in the middle of the control, once this window has the
    // foreground; the presses name their point, so a late motion of the
    // pointer cannot move them elsewhere.
    void Click(SkinUI::CControlUI* control)
    {
        const RECT& rc = control->GetPos();
        POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ::ClientToScreen(GetHWND(), &pt);
        if (::GetForegroundWindow() != GetHWND()) {
            uidriver::bringToFront(GetHWND());
            RunQueueUntil([this] { return ::GetForegroundWindow() == GetHWND(); }, 3000);
        }
        uidriver::clickAt(pt);
        RunQueueFor(50);
    }
    // A click delivered as window messages, the real pointer untouched.
    void SendClick(SkinUI::CControlUI* control)
    {
        const RECT& rc = control->GetPos();
        LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::SendMessageW(GetHWND(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(GetHWND(), WM_LBUTTONUP, 0, at);
    }
    // The rectangle of a child window in this window's client coordinates.
    RECT ChildRect(HWND child) const
    {
        RECT rc = {};
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, GetHWND(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    int closes = 0;
    NotifyLog notes;

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUITestSkinnedWindow"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return m_skin; }
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override
    {
        ++closes;  // counted, then cancelled: the window goes with the object
        return 0;
    }

private:
    SkinUI::CUiString m_skin;
};

}  // namespace skintest
