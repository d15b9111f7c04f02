// The records the window manager hands to controls (UiEvent) and to the
// window's listeners (UiNotify), the event type numbers controls test, and the
// small interfaces a window plugs into its manager.
#pragma once

#include <windows.h>

#include "skinui/core/ui_string.h"

namespace SkinUI {

class CControlUI;

// Event types. The numbers are part of the control contract: controls test
// the keyboard range (3-6) and the mouse range (9-18). Type 0 is never sent.
enum UiEventType {
    UIEVENT__FIRST = 0,
    UIEVENT__KEYBEGIN = 3,
    UIEVENT_KEYDOWN = 3,
    UIEVENT_KEYUP = 4,
    UIEVENT_CHAR = 5,
    UIEVENT_SYSKEY = 6,
    UIEVENT__KEYEND = 6,
    UIEVENT__MOUSEBEGIN = 9,
    UIEVENT_MOUSEMOVE = 9,
    UIEVENT_MOUSELEAVE = 10,
    UIEVENT_MOUSEENTER = 11,
    UIEVENT_MOUSEHOVER = 12,
    UIEVENT_BUTTONDOWN = 13,
    UIEVENT_BUTTONUP = 14,
    UIEVENT_RBUTTONDOWN = 15,
    UIEVENT_DBLCLICK = 16,
    UIEVENT_CONTEXTMENU = 17,
    UIEVENT_SCROLLWHEEL = 18,
    UIEVENT__MOUSEEND = 18,
    UIEVENT_KILLFOCUS = 20,
    UIEVENT_SETFOCUS = 21,
    UIEVENT_WINDOWSIZE = 22,
    UIEVENT_SETCURSOR = 23,
    UIEVENT_TIMER = 24,
};

// Bits of wKeyState taken from the live keyboard state.
enum UiKeyState {
    UIKEYSTATE_LBUTTON = 1,
    UIKEYSTATE_RBUTTON = 2,
    UIKEYSTATE_SHIFT = 4,
    UIKEYSTATE_CONTROL = 8,
    UIKEYSTATE_ALT = 32,
};

// Control flags (CControlUI::GetControlFlags).
enum UiControlFlags {
    UIFLAG_TABSTOP = 0x00000001,
    UIFLAG_SETCURSOR = 0x00000002,
    UIFLAG_WANTRETURN = 0x00000004,
};

// Flags of CControlUI::FindControl.
enum UiFindFlags : unsigned int {
    UIFIND_ALL = 0x00000000,
    UIFIND_VISIBLE = 0x00000001,
    UIFIND_ENABLED = 0x00000002,
    UIFIND_HITTEST = 0x00000004,
    UIFIND_UPDATETEST = 0x00000008,
    UIFIND_TOP_FIRST = 0x00000010,
    UIFIND_ME_FIRST = 0x80000000,
};

// One input event for one control; built on the stack by the manager.
struct UiEvent {
    int Type;
    CControlUI* pSender;
    DWORD dwTimestamp;
    POINT ptMouse;
    wchar_t chKey;
    WORD wKeyState;
    WPARAM wParam;
    LPARAM lParam;
};

// One notification from a control to the window's listeners.
struct UiNotify {
    CUiString sType;
    CUiString sVirtualWnd;
    CControlUI* pSender = nullptr;
    DWORD dwTimestamp = 0;
    POINT ptMouse = {0, 0};
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// Receives every notification of a window (the window's notify map).
class INotifyUI {
public:
    virtual void Notify(UiNotify& msg) = 0;

protected:
    ~INotifyUI() {}
};

// Sees window messages before the manager handles them (message filters) or
// before they are dispatched at all (pre-message filters).
class IMessageFilterUI {
public:
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

protected:
    ~IMessageFilterUI() {}
};

// Implemented by controls that may keep the Tab key for themselves (the rich
// edit); reached through GetInterface(L"WantTab").
class IWantTabUI {
public:
    virtual bool IsWantTab() const = 0;

protected:
    ~IWantTabUI() {}
};

// Accelerator translation hook; returning 0 consumes the message.
class ITranslateAccelerator {
public:
    virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;

protected:
    ~ITranslateAccelerator() {}
};

}  // namespace SkinUI
