// The window of the list and combo box tests: topmost (windows of tests
// running beside it never cover it), built from skin XML, every notification
// recorded, and the real pointer, left button, wheel and keys (SetCursorPos
// and SendInput) to drive it. Waits are generous: the tests also run under
// emulated 32-bit Wine.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "common/test_util.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/skin_builder.h"
#include "test_helpers.h"

namespace skintest {

class ListWindow : public ManagedWindow {
public:
    ListWindow(const wchar_t* xml, int x = 100, int y = 100, int width = 400, int height = 300)
        : ManagedWindow(x, y, width, height, WS_EX_TOPMOST)
    {
        ::SetCursorPos(0, 0);
        SkinUI::RegisterControlElements();
        SkinUI::CSkinBuilder builder;
        manager.AttachDialog(builder.Create(xml, nullptr, nullptr, &manager));
        manager.AddNotifier(&notes);
        // Shown after creation: a window created visible takes Wine two seconds to destroy.
        ::ShowWindow(hwnd, SW_SHOWNOACTIVATE);
        ::SetForegroundWindow(hwnd);
        Repaint();
    }
    ~ListWindow() override
    {
        if (::GetAsyncKeyState(VK_LBUTTON) < 0) {
            Button(false);  // a test that stopped halfway leaves no button down
        }
        manager.RemoveNotifier(&notes);
        Destroy();
    }
    template <typename T>
    T* Find(const wchar_t* name)
    {
        return static_cast<T*>(manager.FindControl(name));
    }
    // Lays out and paints now.
    void Repaint()
    {
        ::InvalidateRect(hwnd, nullptr, FALSE);
        ::UpdateWindow(hwnd);
        testutil::pumpFor(30);
    }
    bool Pump(const std::function<bool()>& done, DWORD ms = 5000) { return testutil::pumpUntil(done, ms); }
    // Programs that tests running beside this one start may take the
    // activation (a console window): takes it back; true once it has it.
    bool TakeActivation()
    {
        for (int i = 0; i < 50 && ::GetForegroundWindow() != hwnd; ++i) {
            ::SetForegroundWindow(hwnd);
            testutil::pumpFor(20);
        }
        return ::GetForegroundWindow() == hwnd;
    }

    // Moves the real pointer to a point of a window's client area (this
    // window's by default) and waits until that window's manager saw it there.
    bool PointTo(int x, int y, HWND target = nullptr, SkinUI::CUiManager* targetManager = nullptr)
    {
        target = target != nullptr ? target : hwnd;
        targetManager = targetManager != nullptr ? targetManager : &manager;
        for (int i = 0; i < 10; ++i) {
            POINT pt = {x + (i % 2), y};
            ::ClientToScreen(target, &pt);
            ::SetCursorPos(pt.x, pt.y);
            if (Pump([&] { return targetManager->GetMousePos().y == y; }, 300))
                return true;
        }
        return false;
    }
    void Button(bool down)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        ::SendInput(1, &input, sizeof(input));
    }
    // A real click at a client point; true once the release came through.
    bool Click(int x, int y, HWND target = nullptr, SkinUI::CUiManager* targetManager = nullptr)
    {
        if (!PointTo(x, y, target, targetManager))
            return false;
        Button(true);
        testutil::pumpFor(60);
        Button(false);
        return Pump([] { return ::GetAsyncKeyState(VK_LBUTTON) >= 0; }) && (testutil::pumpFor(60), true);
    }
    // One notch of the real wheel, towards the user when down.
    void Wheel(bool down)
    {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_WHEEL;
        input.mi.mouseData = static_cast<DWORD>(down ? -WHEEL_DELTA : WHEEL_DELTA);
        ::SendInput(1, &input, sizeof(input));
        testutil::pumpFor(60);
    }
    void Key(WORD key)
    {
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = key;
        inputs[1] = inputs[0];
        inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, inputs, sizeof(INPUT));
        testutil::pumpFor(60);
    }

    // The notifications of one type, in order.
    std::vector<NotifyLog::Entry> Notes(const wchar_t* type) const
    {
        std::vector<NotifyLog::Entry> found;
        for (const NotifyLog::Entry& e : notes.entries)
            if (e.type == type)
                found.push_back(e);
        return found;
    }
    // Waits until count notifications of the type came.
    bool WaitNotes(const wchar_t* type, int count)
    {
        return Pump([&] { return notes.Count(type) >= count; });
    }

    NotifyLog notes;
};

}  // namespace skintest
