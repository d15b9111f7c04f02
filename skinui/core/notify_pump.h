// CNotifyPump: routes a notification (UiNotify) to a member function through
// a static notify map keyed by notification type and control name. Each
// window class declares its own map whose base is its parent class's map, so
// a lookup walks from the most derived class to the root.
//
//   // in the class (public section):
//   SKINUI_DECLARE_NOTIFY_MAP()
//   // in the .cpp:
//   SKINUI_BEGIN_NOTIFY_MAP(KXMyFrame, SkinUI::WindowImplBase)
//       SKINUI_ON_CLICK(L"startbtn", &KXMyFrame::OnStartClick)
//       SKINUI_ON_NOTIFY(L"windowinit", &KXMyFrame::OnWindowInit)
//   SKINUI_END_NOTIFY_MAP()
#pragma once

#include <windows.h>

#include "skinui/core/ui_event.h"
#include "skinui/core/ui_string.h"
#include "skinui/core/ui_string_map.h"

namespace SkinUI {

class CNotifyPump;

// Kind 2 handlers take the whole notification.
typedef void (CNotifyPump::*UiNotifyHandler)(UiNotify& msg);
// Kind 1 handlers take the notification's two parameters.
typedef LRESULT (CNotifyPump::*UiNotifyParamHandler)(WPARAM wParam, LPARAM lParam);

enum UiNotifyHandlerKind : UINT {
    UINOTIFY_KIND_END = 0,     // ends an entry array
    UINOTIFY_KIND_PARAMS = 1,  // UiNotifyParamHandler, stored as UiNotifyHandler
    UINOTIFY_KIND_NOTIFY = 2,  // UiNotifyHandler
};

struct UiNotifyMapEntry {
    CUiString sType;
    CUiString sControlName;  // empty: any control
    UINT nKind;
    UiNotifyHandler pfn;
};

struct UiNotifyMap {
    const UiNotifyMap* pBase;  // the parent class's map, null at the root
    const UiNotifyMapEntry* pEntries;
};

class CNotifyPump {
public:
    CNotifyPump();
    virtual ~CNotifyPump();
    CNotifyPump(const CNotifyPump&) = delete;
    CNotifyPump& operator=(const CNotifyPump&) = delete;

    virtual const UiNotifyMap* GetNotifyMap() const;

    // Another pump that receives the notifications of controls carrying
    // that "virtualwnd" name (compared case-insensitively).
    bool AddVirtualWnd(const wchar_t* name, CNotifyPump* pump);
    bool RemoveVirtualWnd(const wchar_t* name);

    // True when a handler ran: a virtual-window pump first, then this one.
    bool NotifyPump(UiNotify& msg);
    // The first entry of the map chain that matches type and sender name runs.
    bool LoopDispatch(UiNotify& msg);

protected:
    static const UiNotifyMapEntry s_notifyEntries[];
    static const UiNotifyMap s_notifyMap;

private:
    CUiStringMap m_VirtualWndMap;
};

}  // namespace SkinUI

// clang-format off
#define SKINUI_DECLARE_NOTIFY_MAP()                               \
    const SkinUI::UiNotifyMap* GetNotifyMap() const override;     \
    static const SkinUI::UiNotifyMapEntry s_notifyEntries[];      \
    static const SkinUI::UiNotifyMap s_notifyMap;

#define SKINUI_BEGIN_NOTIFY_MAP(theClass, baseClass)                                          \
    const SkinUI::UiNotifyMap* theClass::GetNotifyMap() const { return &theClass::s_notifyMap; } \
    const SkinUI::UiNotifyMap theClass::s_notifyMap = {&baseClass::s_notifyMap,               \
                                                       &theClass::s_notifyEntries[0]};        \
    const SkinUI::UiNotifyMapEntry theClass::s_notifyEntries[] = {

#define SKINUI_END_NOTIFY_MAP() {L"", L"", SkinUI::UINOTIFY_KIND_END, nullptr}};
// clang-format on

// Any control sending the type; the handler takes the UiNotify.
#define SKINUI_ON_NOTIFY(type, handler) \
    {type, L"", SkinUI::UINOTIFY_KIND_NOTIFY, static_cast<SkinUI::UiNotifyHandler>(handler)},
// The control of that name sending the type; the handler takes the UiNotify.
#define SKINUI_ON_NOTIFY_NAME(type, controlName, handler) \
    {type, controlName, SkinUI::UINOTIFY_KIND_NOTIFY, static_cast<SkinUI::UiNotifyHandler>(handler)},
#define SKINUI_ON_CLICK(controlName, handler) SKINUI_ON_NOTIFY_NAME(L"click", controlName, handler)
// The handler takes (wParam, lParam) of the notification.
#define SKINUI_ON_NOTIFY_PARAMS(type, controlName, handler) \
    {type, controlName, SkinUI::UINOTIFY_KIND_PARAMS,       \
     reinterpret_cast<SkinUI::UiNotifyHandler>(static_cast<SkinUI::UiNotifyParamHandler>(handler))},
