// The window of the scrolling tests: topmost (windows of tests running beside
// it never cover it), controls floating in its root at fixed places, the real
// pointer and left button driven with SetCursorPos and SendInput, and every
// "scroll" notification recorded with its new and old position.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "common/test_util.h"
#include "skinui/controls/container_ui.h"
#include "test_helpers.h"

namespace skintest {

class ScrollWindow : public ManagedWindow, public SkinUI::INotifyUI {
public:
    struct Note {
        SkinUI::CControlUI* sender;
        int now;
        int old;
    };

    ScrollWindow() : ManagedWindow(100, 100, 300, 260, WS_EX_TOPMOST)
    {
        ::SetCursorPos(0, 0);
        // Shown after creation: a window created visible takes Wine two seconds to destroy.
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        root = new SkinUI::CContainerUI;
        manager.AttachDialog(root);
        manager.AddNotifier(this);
    }
    ~ScrollWindow() override
    {
        manager.RemoveNotifier(this);
        Destroy();
    }
    void Notify(SkinUI::UiNotify& msg) override
    {
        if (msg.sType == L"scroll") {
            notes.push_back({msg.pSender, static_cast<int>(msg.wParam), static_cast<int>(msg.lParam)});
        }
    }
    // Adds the control floating at pos ("l,t,r,b"), then lays out and paints.
    template <class T>
    T* Place(T* control, const wchar_t* pos)
    {
        control->SetAttribute(L"float", L"true");
        control->SetAttribute(L"pos", pos);
        root->Add(control);
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        ::SetForegroundWindow(hwnd);
        testutil::pumpFor(50);
        return control;
    }
    POINT Screen(int x, int y) const
    {
        POINT pt = {x, y};
        ::ClientToScreen(hwnd, &pt);
        return pt;
    }
    void PointerTo(int x, int y)
    {
        POINT pt = Screen(x, y);
        ::SetCursorPos(pt.x, pt.y);
        testutil::pumpFor(30);
    }
    // The real left button, where the pointer is.
    void RealButton(bool down)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        EXPECT_EQ(1u, ::SendInput(1, &input, sizeof(input)));
        testutil::pumpFor(30);
    }
    // A left button message at a client point, the real pointer untouched.
    void Send(UINT msg, int x, int y)
    {
        ::SendMessageW(hwnd, msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    void Wheel(int x, int y, bool down)
    {
        POINT pt = Screen(x, y);
        ::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(down ? -WHEEL_DELTA : WHEEL_DELTA)),
                       MAKELPARAM(pt.x, pt.y));
    }

    SkinUI::CContainerUI* root = nullptr;
    std::vector<Note> notes;
};

}  // namespace skintest
