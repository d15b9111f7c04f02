// CUiManager, input side: messages to events, focus, capture, hover, timers,
// tooltips, Tab and shortcut keys, notifications, delayed clean-up and the
// process's message loop.
#include "skinui/core/ui_manager.h"

#include <windowsx.h>
#include <imm.h>
#include <wctype.h>

#include "foundation/log.h"

namespace SkinUI {

namespace {

// Reflected messages go to the native child that sent them at this offset.
const UINT kReflectBase = 0x2000;
// Control timer counter start: the first window timer id is (4096 + 1) % 255 = 17.
const UINT kTimerCounterStart = 4096;
const UINT_PTR kNoTimerId = static_cast<UINT_PTR>(-1);

WORD MapKeyState()
{
    WORD state = 0;
    if (::GetKeyState(VK_LBUTTON) < 0)
        state |= UIKEYSTATE_LBUTTON;
    if (::GetKeyState(VK_RBUTTON) < 0)
        state |= UIKEYSTATE_RBUTTON;
    if (::GetKeyState(VK_SHIFT) < 0)
        state |= UIKEYSTATE_SHIFT;
    if (::GetKeyState(VK_CONTROL) < 0)
        state |= UIKEYSTATE_CONTROL;
    if (::GetKeyState(VK_MENU) < 0)
        state |= UIKEYSTATE_ALT;
    return state;
}

struct FindTabInfo {
    CControlUI* pFocus;
    CControlUI* pLast;
    bool bForward;
    bool bNextIsIt;
    bool bCollectOnly;  // walk the whole tree, only remembering the last tab stop
    bool bFromFocus;    // going forward, pFocus itself may be the answer
};

struct FindShortcutInfo {
    wchar_t ch;
    bool bPickNext;
};

bool RemoveFromList(CUiPtrArray& list, LPVOID item)
{
    int index = list.Find(item);
    return index >= 0 && list.Remove(index);
}

void DeleteTimer(UiTimerInfo* timer)
{
    if (!timer->bKilled && ::IsWindow(timer->hWnd)) {
        ::KillTimer(timer->hWnd, timer->uWinTimer);
    }
    delete timer;
}

}  // namespace

CUiPtrArray& CUiManager::Managers()
{
    static CUiPtrArray managers;
    return managers;
}

CUiManager::ControlRef::ControlRef(CUiManager& manager, CControlUI*& control)
    : m_watch(manager.m_life), m_manager(manager), m_pSlot(&control)
{
    manager.m_aControlRefs.Add(m_pSlot);
}

CUiManager::ControlRef::~ControlRef()
{
    if (!m_watch.IsDead()) {
        RemoveFromList(m_manager.m_aControlRefs, m_pSlot);
    }
}

// Asks the filters in order; the first that handles the message gives the
// result. A filter that takes the window (and this manager) away ends the
// asking as handled.
bool CUiManager::RunFilters(const CUiPtrArray& filters, const CLifeWatch& watch, UINT uMsg, WPARAM wParam,
                            LPARAM lParam, LRESULT& lRes)
{
    CUiPtrArray asked(filters);
    for (int i = 0; i < asked.GetSize(); ++i) {
        if (filters.Find(asked[i]) < 0) {
            continue;  // removed by an earlier filter
        }
        bool handled = false;
        LRESULT result = static_cast<IMessageFilterUI*>(asked[i])->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled || watch.IsDead()) {
            lRes = result;
            return true;
        }
    }
    return false;
}

void CUiManager::FillEvent(UiEvent& event, int type, CControlUI* sender) const
{
    event = UiEvent();
    event.Type = type;
    event.pSender = sender;
    event.dwTimestamp = ::GetTickCount();
    event.ptMouse = m_ptLastMousePos;
    event.wKeyState = MapKeyState();
}

void CUiManager::FillEvent(UiEvent& event, int type, CControlUI* sender, WPARAM wParam, LPARAM lParam) const
{
    FillEvent(event, type, sender);
    event.wParam = wParam;
    event.lParam = lParam;
}

void CUiManager::SendKeyEvent(CControlUI* target, int type, WPARAM wParam, LPARAM lParam)
{
    UiEvent event;
    FillEvent(event, type, target, wParam, lParam);
    event.chKey = static_cast<wchar_t>(wParam);
    target->Event(event);
}

void CUiManager::SendButtonEvent(CControlUI* target, int type, WPARAM wParam, LPARAM lParam)
{
    UiEvent event;
    FillEvent(event, type, target, wParam, lParam);
    event.wKeyState = static_cast<WORD>(wParam);
    target->Event(event);
}

CControlUI* CUiManager::PressControlAt(POINT pt)
{
    CControlUI* control = FindOwnControl(pt);
    if (control == nullptr) {
        return nullptr;
    }
    m_pEventClick = control;
    ControlRef pressed(*this, control);
    control->SetFocus();
    if (pressed.Gone()) {
        return nullptr;
    }
    // The control may go away while taking the focus.
    return m_pEventClick == control ? control : nullptr;
}

CControlUI* CUiManager::FindOwnControl(POINT pt) const
{
    CControlUI* control = FindControl(pt);
    if (control == nullptr || control->GetManager() != this) {
        return nullptr;
    }
    return control;
}

void CUiManager::RecordMousePoint(UINT uMsg, LPARAM lParam)
{
    switch (uMsg) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        m_ptLastMousePos = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        break;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(m_hWndPaint, &pt);
        m_ptLastMousePos = pt;
        break;
    }
    default:
        break;
    }
}

bool CUiManager::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    if (m_hWndPaint == nullptr) {
        return false;
    }

    CLifeWatch watch(m_life);
    if (RunFilters(m_aMessageFilters, watch, uMsg, wParam, lParam, lRes)) {
        if (!watch.IsDead()) {
            RecordMousePoint(uMsg, lParam);
        }
        return true;
    }

    if (m_bLayered) {
        switch (uMsg) {
        case WM_NCCALCSIZE:
        case WM_NCPAINT:
            lRes = 0;
            return true;
        case WM_NCACTIVATE:
            if (!::IsIconic(m_hWndPaint)) {
                lRes = (wParam == 0) ? TRUE : FALSE;
                return true;
            }
            break;
        default:
            break;
        }
    }

    switch (uMsg) {
    case WM_CLOSE:
        OnClose();
        return false;
    case WM_ERASEBKGND:
        lRes = 1;
        return true;
    case WM_PAINT:
        lRes = 0;
        return OnPaint();
    case WM_PRINTCLIENT:
        OnPrintClient(wParam, lParam);
        return false;
    case WM_GETMINMAXINFO: {
        MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (info != nullptr) {
            if (m_szMinWindow.cx > 0)
                info->ptMinTrackSize.x = m_szMinWindow.cx;
            if (m_szMinWindow.cy > 0)
                info->ptMinTrackSize.y = m_szMinWindow.cy;
            if (m_szMaxWindow.cx > 0)
                info->ptMaxTrackSize.x = m_szMaxWindow.cx;
            if (m_szMaxWindow.cy > 0)
                info->ptMaxTrackSize.y = m_szMaxWindow.cy;
        }
        return false;
    }
    case WM_SIZE: {
        if (m_pFocus != nullptr) {
            UiEvent event;
            FillEvent(event, UIEVENT_WINDOWSIZE, m_pFocus, wParam, lParam);
            m_pFocus->Event(event);
            if (watch.IsDead()) {
                return true;
            }
        }
        if (m_pRoot != nullptr) {
            m_pRoot->NeedUpdate();
        }
        if (m_bLayered) {
            InvalidateAll();
        }
        lRes = 0;
        return true;
    }
    case WM_MOUSEACTIVATE:
        if (m_bNoActivate) {
            lRes = MA_NOACTIVATE;
            return true;
        }
        return false;
    case WM_KILLFOCUS: {
        HWND hFocus = reinterpret_cast<HWND>(wParam);
        if (hFocus == nullptr || !::IsChild(m_hWndPaint, hFocus)) {
            return false;
        }
        HWND top = hFocus;
        while (::GetParent(top) != nullptr && ::GetParent(top) != m_hWndPaint) {
            top = ::GetParent(top);
        }
        int index = m_aNativeWindow.Find(top);
        if (index >= 0) {
            CControlUI* owner = static_cast<CControlUI*>(m_aNativeWindowControl.GetAt(index));
            if (owner != nullptr && owner != m_pFocus) {
                SetFocus(owner, false);
            }
        }
        return false;
    }
    case WM_SETCURSOR: {
        if (m_pRoot == nullptr || LOWORD(lParam) != HTCLIENT) {
            return false;
        }
        if (m_bMouseCapture) {
            lRes = TRUE;
            return true;
        }
        POINT pt = {0, 0};
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWndPaint, &pt);
        CControlUI* control = FindOwnControl(pt);
        if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) {
            return false;
        }
        UiEvent event;
        FillEvent(event, UIEVENT_SETCURSOR, control, wParam, lParam);
        event.ptMouse = pt;
        control->Event(event);
        lRes = TRUE;
        return true;
    }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header == nullptr) {
            return false;
        }
        lRes = ::SendMessageW(header->hwndFrom, uMsg + kReflectBase, wParam, lParam);
        return true;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0) {
            return false;
        }
        lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), uMsg + kReflectBase, wParam, lParam);
        return true;
    case WM_KEYDOWN: {
        if (m_pFocus == nullptr) {
            return false;
        }
        m_pEventKey = m_pFocus;
        SendKeyEvent(m_pFocus, UIEVENT_KEYDOWN, wParam, lParam);
        return false;
    }
    case WM_KEYUP: {
        if (m_pEventKey == nullptr) {
            return false;
        }
        CControlUI* key = m_pEventKey;
        m_pEventKey = nullptr;
        SendKeyEvent(key, UIEVENT_KEYUP, wParam, lParam);
        return false;
    }
    case WM_CHAR: {
        if (m_pFocus == nullptr) {
            return false;
        }
        SendKeyEvent(m_pFocus, UIEVENT_CHAR, wParam, lParam);
        return false;
    }
    case WM_CONTEXTMENU: {
        if (m_pRoot == nullptr || m_bMouseCapture) {
            return false;
        }
        RecordMousePoint(uMsg, lParam);
        if (m_pEventClick == nullptr) {
            return false;
        }
        CControlUI* click = m_pEventClick;
        m_pEventClick = nullptr;
        UiEvent event;
        FillEvent(event, UIEVENT_CONTEXTMENU, click);
        event.wKeyState = LOWORD(wParam);
        event.lParam = reinterpret_cast<LPARAM>(click);
        click->Event(event);
        return false;
    }
    case WM_TIMER:
        OnTimer(wParam, lParam);
        return false;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, lParam);
        return false;
    case WM_LBUTTONDOWN: {
        if (!m_bNoActivate) {
            ::SetFocus(m_hWndPaint);
        }
        if (m_pRoot == nullptr) {
            return false;
        }
        RecordMousePoint(uMsg, lParam);
        CControlUI* control = PressControlAt(m_ptLastMousePos);
        if (control == nullptr) {
            return false;
        }
        SetCapture();
        SendButtonEvent(control, UIEVENT_BUTTONDOWN, wParam, lParam);
        return false;
    }
    case WM_LBUTTONDBLCLK: {
        if (!m_bNoActivate) {
            ::SetFocus(m_hWndPaint);
        }
        RecordMousePoint(uMsg, lParam);
        CControlUI* control = FindOwnControl(m_ptLastMousePos);
        if (control == nullptr) {
            return false;
        }
        SetCapture();
        m_pEventClick = control;
        SendButtonEvent(control, UIEVENT_DBLCLICK, wParam, lParam);
        return false;
    }
    case WM_LBUTTONUP: {
        RecordMousePoint(uMsg, lParam);
        if (m_pEventClick == nullptr) {
            return false;
        }
        ReleaseCapture();
        CControlUI* click = m_pEventClick;
        m_pEventClick = nullptr;
        SendButtonEvent(click, UIEVENT_BUTTONUP, wParam, lParam);
        return false;
    }
    case WM_RBUTTONDOWN: {
        if (!m_bNoActivate) {
            ::SetFocus(m_hWndPaint);
        }
        m_ptLastMousePos = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        CControlUI* control = PressControlAt(m_ptLastMousePos);
        if (control == nullptr) {
            return false;
        }
        SendButtonEvent(control, UIEVENT_RBUTTONDOWN, wParam, lParam);
        return false;
    }
    case WM_MOUSEWHEEL: {
        if (m_pRoot == nullptr) {
            return false;
        }
        RecordMousePoint(uMsg, lParam);
        CControlUI* control = FindOwnControl(m_ptLastMousePos);
        if (control == nullptr) {
            return false;
        }
        UiEvent event;
        FillEvent(event, UIEVENT_SCROLLWHEEL, control);
        event.wParam = GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? 1 : 0;
        event.lParam = lParam;
        control->Event(event);
        if (watch.IsDead()) {
            return true;
        }
        ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0,
                       MAKELPARAM(static_cast<WORD>(m_ptLastMousePos.x), static_cast<WORD>(m_ptLastMousePos.y)));
        return false;
    }
    case WM_MOUSEHOVER:
        return OnMouseHover(lParam);
    case WM_MOUSELEAVE:
        OnMouseLeave();
        return false;
    case WM_UI_CLEANUP:
        OnCleanupMessage();
        return false;
    default:
        return false;
    }
}

bool CUiManager::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (m_pRoot == nullptr) {
        return false;
    }
    if (!m_bMouseTracking) {
        TRACKMOUSEEVENT tme = {};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWndPaint;
        tme.dwHoverTime = m_hwndTooltip == nullptr
                              ? m_uHoverTime
                              : static_cast<DWORD>(::SendMessageW(m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
        if (!::TrackMouseEvent(&tme)) {
            common::log("CUiManager::OnMouseMove", __LINE__, L"TrackMouseEvent failed lastError = %d",
                        static_cast<int>(::GetLastError()));
        }
        m_bMouseTracking = true;
    }

    m_ptLastMousePos = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlUI* newHover = FindControl(m_ptLastMousePos);
    if (newHover != nullptr && newHover->GetManager() != this) {
        return false;
    }

    // Every control told below may delete controls or close the window.
    ControlRef hover(*this, newHover);
    UiEvent event;
    if (!m_bMouseCapture) {
        if (newHover != m_pEventHover && m_pEventHover != nullptr) {
            FillEvent(event, UIEVENT_MOUSELEAVE, m_pEventHover, wParam, lParam);
            ControlRef sender(*this, event.pSender);
            // A copy: listeners may register or leave while being told.
            CUiPtrArray listeners(m_aNeedMouseLeaveNeeded);
            for (int i = 0; i < listeners.GetSize(); ++i) {
                CControlUI* listener = static_cast<CControlUI*>(listeners[i]);
                if (m_aNeedMouseLeaveNeeded.Find(listener) >= 0) {
                    listener->Event(event);
                    if (hover.Gone()) {
                        return false;
                    }
                }
            }
            if (m_pEventHover != nullptr) {
                CControlUI* left = m_pEventHover;
                m_pEventHover = nullptr;
                left->Event(event);
                if (hover.Gone()) {
                    return false;
                }
            }
            if (m_hwndTooltip != nullptr) {
                ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
            }
        }
        if (newHover != m_pEventHover && newHover != nullptr) {
            m_pEventHover = newHover;
            FillEvent(event, UIEVENT_MOUSEENTER, newHover, wParam, lParam);
            newHover->Event(event);
            if (hover.Gone()) {
                return false;
            }
        }
    }

    CControlUI* target = m_pEventClick;
    if (target == nullptr) {
        target = m_bMouseCapture ? newHover : m_pEventHover;
    }
    if (target != nullptr) {
        FillEvent(event, UIEVENT_MOUSEMOVE, target, wParam, lParam);
        target->Event(event);
    }
    return false;
}

void CUiManager::OnMouseLeave()
{
    if (m_hwndTooltip != nullptr) {
        ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&m_ToolTip));
    }
    if (m_bMouseTracking) {
        CLifeWatch watch(m_life);
        POINT pt = {0, 0};
        ::GetCursorPos(&pt);
        RECT rcWindow = {0, 0, 0, 0};
        ::GetWindowRect(m_hWndPaint, &rcWindow);
        bool overNativeChild = !::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint &&
                               ::PtInRect(&rcWindow, pt) &&
                               ::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0,
                                              MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y))) == HTCLIENT;
        if (overNativeChild) {
            ::ScreenToClient(m_hWndPaint, &pt);
            ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
        } else {
            ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, static_cast<LPARAM>(-1));
        }
        if (watch.IsDead()) {
            return;
        }
    }
    m_bMouseTracking = false;
}

bool CUiManager::OnMouseHover(LPARAM lParam)
{
    m_bMouseTracking = false;
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlUI* hover = FindOwnControl(pt);
    if (hover == nullptr) {
        return false;
    }
    if (m_pEventHover != nullptr) {
        CLifeWatch watch(m_life);
        UiEvent event;
        FillEvent(event, UIEVENT_MOUSEHOVER, m_pEventHover);
        event.ptMouse = pt;
        event.lParam = lParam;
        m_pEventHover->Event(event);
        if (watch.IsDead()) {
            return true;
        }
        // The hover listener may have changed the tree.
        hover = FindOwnControl(pt);
        if (hover == nullptr) {
            return true;
        }
    }

    CUiString tip = hover->GetToolTip();
    if (tip.IsEmpty()) {
        return true;
    }
    ProcessLanguageText(tip);
    m_sToolTipText = tip;

    ZeroMemory(&m_ToolTip, sizeof(m_ToolTip));
    m_ToolTip.cbSize = TTTOOLINFOW_V2_SIZE;
    m_ToolTip.uFlags = TTF_IDISHWND;
    m_ToolTip.hwnd = m_hWndPaint;
    m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
    m_ToolTip.hinst = GetInstance();
    m_ToolTip.lpszText = const_cast<wchar_t*>(m_sToolTipText.GetData());
    m_ToolTip.rect = hover->GetPos();

    if (m_hwndTooltip == nullptr) {
        m_hwndTooltip = ::CreateWindowExW(0, L"tooltips_class32", nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint,
                                          nullptr, GetInstance(), nullptr);
        if (m_hwndTooltip == nullptr) {
            common::log("CUiManager::OnMouseHover", __LINE__, L"tooltip window not created lastError = %d",
                        static_cast<int>(::GetLastError()));
            return true;
        }
        if (m_iTooltipWidth >= 0) {
            m_iTooltipWidth = static_cast<int>(::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, m_iTooltipWidth));
        }
        ::SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    }
    ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, hover->GetToolTipWidth());
    ::SendMessageW(m_hwndTooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
    return true;
}

void CUiManager::OnClose()
{
    CLifeWatch watch(m_life);
    UiEvent event;
    if (m_pEventHover != nullptr) {
        CControlUI* hover = m_pEventHover;
        m_pEventHover = nullptr;
        FillEvent(event, UIEVENT_MOUSELEAVE, hover);
        hover->Event(event);
        if (watch.IsDead()) {
            return;
        }
    }
    if (m_pEventClick != nullptr) {
        CControlUI* click = m_pEventClick;
        m_pEventClick = nullptr;
        if (m_bMouseCapture) {
            ReleaseCapture();
        }
        FillEvent(event, UIEVENT_BUTTONUP, click);
        click->Event(event);
        if (watch.IsDead()) {
            return;
        }
    }
    SetFocus(nullptr);
    if (watch.IsDead()) {
        return;
    }
    if (::GetActiveWindow() == m_hWndPaint) {
        bool child = (::GetWindowLongPtrW(m_hWndPaint, GWL_STYLE) & WS_CHILD) != 0;
        HWND next = child ? ::GetParent(m_hWndPaint) : ::GetWindow(m_hWndPaint, GW_OWNER);
        if (next != nullptr) {
            ::SetFocus(next);
        }
    }
    if (m_hwndTooltip != nullptr) {
        ::DestroyWindow(m_hwndTooltip);
        m_hwndTooltip = nullptr;  // a cancelled close creates it again at the next hover
    }
}

void CUiManager::OnTimer(WPARAM wParam, LPARAM lParam)
{
    if (wParam == UI_LAYERED_TIMER_ID) {
        if (m_bLayered && !::IsRectEmpty(&m_rcLayeredUpdate) && ::IsWindowVisible(m_hWndPaint) &&
            !::IsIconic(m_hWndPaint)) {
            OnPaint();
        }
        return;
    }
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        const UiTimerInfo* timer = static_cast<const UiTimerInfo*>(m_aTimers[i]);
        if (timer->hWnd == m_hWndPaint && timer->uWinTimer == LOWORD(wParam) && !timer->bKilled) {
            UiEvent event;
            FillEvent(event, UIEVENT_TIMER, timer->pSender);
            event.wParam = timer->nLocalID;
            event.lParam = lParam;
            timer->pSender->Event(event);
            return;
        }
    }
}

// ---- Focus and capture ----

void CUiManager::SetFocus(CControlUI* control, bool focusWindow)
{
    ControlRef wanted(*this, control);
    // A focus set ahead of the layout (SetFocusNeeded) has not been told yet.
    const bool told = control == m_pFocus && !m_bFocusSilent;
    if (focusWindow && m_hWndPaint != nullptr && ::GetFocus() != m_hWndPaint && !told && !m_bNoActivate) {
        ::SetFocus(m_hWndPaint);
        if (wanted.Gone()) {
            return;
        }
    }
    if (told) {
        return;
    }
    if (!DropFocus() || control == nullptr) {
        return;
    }
    if (control->GetManager() == this && control->IsVisible() && control->IsEnabled()) {
        m_pFocus = control;
        UiEvent event;
        FillEvent(event, UIEVENT_SETFOCUS, control);
        control->Event(event);
        if (!wanted.Gone() && m_pFocus != nullptr) {
            SendNotify(m_pFocus, L"setfocus");
        }
    }
}

bool CUiManager::DropFocus()
{
    if (m_pFocus == nullptr) {
        return true;
    }
    CControlUI* old = m_pFocus;
    if (m_bFocusSilent) {
        m_bFocusSilent = false;
        m_pFocus = nullptr;
        return true;
    }
    ControlRef leaving(*this, old);
    UiEvent event;
    FillEvent(event, UIEVENT_KILLFOCUS, old);
    old->Event(event);
    if (leaving.Gone()) {
        return false;
    }
    if (old != nullptr) {  // a control that went with its own kill focus has nothing left to tell
        SendNotify(old, L"killfocus");
        if (leaving.Gone()) {
            return false;
        }
    }
    m_pFocus = nullptr;
    return true;
}

void CUiManager::SetFocusNeeded(CControlUI* control)
{
    CLifeWatch watch(m_life);
    if (!m_bNoActivate && m_hWndPaint != nullptr) {
        ::SetFocus(m_hWndPaint);
        if (watch.IsDead()) {
            return;
        }
    }
    if (control == nullptr || !DropFocus()) {
        return;
    }
    // The first tab stop at or after the control holds the focus without
    // being told; the next paint tells it (SetNextTabControl).
    m_bFocusNeeded = true;
    if (m_pRoot == nullptr) {
        return;
    }
    const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
    FindTabInfo info = {control, nullptr, true, false, false, true};
    m_pFocus = m_pRoot->FindControl(FindControlFromTab, &info, flags);
    if (m_pFocus == nullptr) {
        FindTabInfo wrap = {nullptr, nullptr, true, false, false, false};
        m_pFocus = m_pRoot->FindControl(FindControlFromTab, &wrap, flags);
    }
    m_bFocusSilent = m_pFocus != nullptr;
    m_pRoot->NeedUpdate();
}

bool CUiManager::SetNextTabControl(bool forward)
{
    if (m_bUpdateNeeded && forward) {
        m_bFocusNeeded = true;
        if (m_hWndPaint != nullptr) {
            ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
        }
        return true;
    }
    if (m_pRoot == nullptr) {
        return false;
    }
    CControlUI* answer = nullptr;
    if (m_bFocusSilent) {
        answer = m_pFocus;  // set ahead of the layout: now it is told
    } else {
        const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
        FindTabInfo info = {m_pFocus, nullptr, forward, false, false, false};
        answer = m_pRoot->FindControl(FindControlFromTab, &info, flags);
        if (answer == nullptr) {
            if (forward) {
                FindTabInfo wrap = {nullptr, nullptr, true, false, false, false};
                answer = m_pRoot->FindControl(FindControlFromTab, &wrap, flags);
            } else {
                FindTabInfo all = {nullptr, nullptr, false, false, true, false};
                m_pRoot->FindControl(FindControlFromTab, &all, flags);
                answer = all.pLast;
            }
        }
    }
    CLifeWatch watch(m_life);
    if (answer != nullptr) {
        SetFocus(answer, true);
        if (watch.IsDead()) {
            return true;
        }
    }
    m_bFocusNeeded = false;
    return true;
}

void CUiManager::SetCapture()
{
    if (m_hWndPaint != nullptr) {
        ::SetCapture(m_hWndPaint);
    }
    m_bMouseCapture = true;
}

void CUiManager::ReleaseCapture()
{
    if (m_hWndPaint != nullptr) {
        ::ReleaseCapture();
    }
    m_bMouseCapture = false;
}

// ---- Timers ----

UINT_PTR CUiManager::NextWindowTimerId()
{
    // The sequence runs 17, 18, ... 254, 0, 1, ...; ids still held by a record
    // of this window are skipped so that no live timer is replaced.
    for (int tries = 0; tries < 255; ++tries) {
        m_uTimerID = (m_uTimerID + 1) % 0xFF;
        bool held = false;
        for (int i = 0; i < m_aTimers.GetSize() && !held; ++i) {
            const UiTimerInfo* timer = static_cast<const UiTimerInfo*>(m_aTimers[i]);
            held = timer->hWnd == m_hWndPaint && timer->uWinTimer == m_uTimerID;
        }
        if (!held) {
            return m_uTimerID;
        }
    }
    return kNoTimerId;
}

UiTimerInfo* CUiManager::FindTimer(CControlUI* control, UINT timerID) const
{
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        UiTimerInfo* timer = static_cast<UiTimerInfo*>(m_aTimers[i]);
        if (timer->pSender == control && timer->hWnd == m_hWndPaint && timer->nLocalID == timerID) {
            return timer;
        }
    }
    return nullptr;
}

bool CUiManager::SetTimer(CControlUI* control, UINT timerID, UINT elapse)
{
    if (control == nullptr || m_hWndPaint == nullptr) {
        return false;
    }
    if (UiTimerInfo* timer = FindTimer(control, timerID)) {
        if (!timer->bKilled) {
            return false;
        }
        if (::SetTimer(m_hWndPaint, timer->uWinTimer, elapse, nullptr) == 0) {
            common::log("CUiManager::SetTimer", __LINE__, L"SetTimer failed lastError = %d",
                        static_cast<int>(::GetLastError()));
            return false;
        }
        timer->bKilled = false;
        return true;
    }
    UINT_PTR winTimer = NextWindowTimerId();
    if (winTimer == kNoTimerId) {
        common::log("CUiManager::SetTimer", __LINE__, L"no free window timer id for %s lastError = %d",
                    control->GetName().GetData(), 0);
        return false;
    }
    if (::SetTimer(m_hWndPaint, winTimer, elapse, nullptr) == 0) {
        common::log("CUiManager::SetTimer", __LINE__, L"SetTimer failed lastError = %d",
                    static_cast<int>(::GetLastError()));
        return false;
    }
    UiTimerInfo* timer = new UiTimerInfo{control, timerID, m_hWndPaint, winTimer, false};
    if (!m_aTimers.Add(timer)) {
        ::KillTimer(m_hWndPaint, winTimer);
        delete timer;
        return false;
    }
    return true;
}

bool CUiManager::KillTimer(CControlUI* control, UINT timerID)
{
    UiTimerInfo* timer = FindTimer(control, timerID);
    if (timer == nullptr || timer->bKilled) {
        return false;
    }
    if (::IsWindow(timer->hWnd)) {
        ::KillTimer(timer->hWnd, timer->uWinTimer);
    }
    timer->bKilled = true;
    return true;
}

void CUiManager::KillTimer(CControlUI* control)
{
    for (int i = m_aTimers.GetSize() - 1; i >= 0; --i) {
        UiTimerInfo* timer = static_cast<UiTimerInfo*>(m_aTimers[i]);
        if (timer->pSender == control && timer->hWnd == m_hWndPaint) {
            DeleteTimer(timer);
            m_aTimers.Remove(i);
        }
    }
}

void CUiManager::RemoveAllTimers()
{
    for (int i = 0; i < m_aTimers.GetSize(); ++i) {
        DeleteTimer(static_cast<UiTimerInfo*>(m_aTimers[i]));
    }
    m_aTimers.Empty();
}

// ---- Notifications and delayed work ----

void CUiManager::SendNotify(CControlUI* control, const wchar_t* type, WPARAM wParam, LPARAM lParam, bool async,
                            bool enableRepeat)
{
    UiNotify msg;
    msg.pSender = control;
    msg.sType = type;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async, enableRepeat);
}

void CUiManager::SendNotify(UiNotify& msg, bool async, bool enableRepeat)
{
    msg.ptMouse = m_ptLastMousePos;
    msg.dwTimestamp = ::GetTickCount();
    if (m_bUsedVirtualWnd && msg.pSender != nullptr) {
        msg.sVirtualWnd = msg.pSender->GetVirtualWnd();
    }
    if (!async) {
        DeliverNotify(msg);
        return;
    }
    if (!enableRepeat) {
        for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
            UiNotify* queued = static_cast<UiNotify*>(m_aAsyncNotify[i]);
            if (queued->pSender == msg.pSender && queued->sType == msg.sType) {
                queued->wParam = msg.wParam;
                queued->lParam = msg.lParam;
                queued->ptMouse = msg.ptMouse;
                queued->dwTimestamp = msg.dwTimestamp;
                return;
            }
        }
    }
    UiNotify* copy = new UiNotify(msg);
    if (!m_aAsyncNotify.Add(copy)) {
        delete copy;
        return;
    }
    PostCleanupMessage();
}

void CUiManager::DeliverNotify(UiNotify& msg)
{
    // A sender deleted by a listener reaches the later ones as null.
    ControlRef sender(*this, msg.pSender);
    // A sender cleared by ReapObjects has no listeners left to ask.
    if (msg.pSender != nullptr && msg.pSender->OnNotify) {
        msg.pSender->OnNotify(&msg);
    }
    // A copy: a notifier may leave the list, or close and delete the window
    // with this manager, while it is told.
    CUiPtrArray notifiers(m_aNotifiers);
    for (int i = 0; i < notifiers.GetSize() && !sender.Gone(); ++i) {
        if (m_aNotifiers.Find(notifiers[i]) >= 0) {
            static_cast<INotifyUI*>(notifiers[i])->Notify(msg);
        }
    }
}

void CUiManager::PostCleanupMessage()
{
    if (m_bAsyncNotifyPosted || m_hWndPaint == nullptr) {
        return;
    }
    if (!::PostMessageW(m_hWndPaint, WM_UI_CLEANUP, 0, 0)) {
        common::log("CUiManager::PostCleanupMessage", __LINE__, L"PostMessage failed lastError = %d",
                    static_cast<int>(::GetLastError()));
        return;
    }
    m_bAsyncNotifyPosted = true;
}

void CUiManager::OnCleanupMessage()
{
    CLifeWatch watch(m_life);
    m_bAsyncNotifyPosted = false;
    while (!m_aAsyncNotify.IsEmpty()) {
        UiNotify* msg = static_cast<UiNotify*>(m_aAsyncNotify[0]);
        m_aAsyncNotify.Remove(0);
        DeliverNotify(*msg);
        delete msg;
        if (watch.IsDead()) {
            return;  // the window went with its queue
        }
    }
    DeleteDelayedCleanup();
}

void CUiManager::DeleteDelayedCleanup()
{
    CUiPtrArray controls(m_aDelayedCleanup);
    m_aDelayedCleanup.Empty();
    for (int i = 0; i < controls.GetSize(); ++i) {
        static_cast<CControlUI*>(controls[i])->Delete();
    }
}

void CUiManager::FreeAsyncNotifies()
{
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
        delete static_cast<UiNotify*>(m_aAsyncNotify[i]);
    }
    m_aAsyncNotify.Empty();
}

void CUiManager::AddDelayedCleanup(CControlUI* control)
{
    if (control == nullptr || m_aDelayedCleanup.Find(control) >= 0) {
        return;
    }
    control->SetManager(this, nullptr, false);
    m_aDelayedCleanup.Add(control);
    PostCleanupMessage();
}

void CUiManager::ReapObjects(CControlUI* control)
{
    if (control == nullptr) {
        return;
    }
    if (control == m_pEventKey)
        m_pEventKey = nullptr;
    if (control == m_pEventHover)
        m_pEventHover = nullptr;
    if (control == m_pEventClick)
        m_pEventClick = nullptr;
    if (control == m_pFocus)
        m_pFocus = nullptr;
    if (m_pFocus == nullptr)
        m_bFocusSilent = false;
    KillTimer(control);
    ForgetControlName(control);
    // Pointers held across a call-out: the holder sees null.
    for (int i = 0; i < m_aControlRefs.GetSize(); ++i) {
        CControlUI** slot = static_cast<CControlUI**>(m_aControlRefs[i]);
        if (*slot == control)
            *slot = nullptr;
    }
    for (int i = 0; i < m_aFoundControls.GetSize(); ++i) {
        if (m_aFoundControls[i] == control)
            m_aFoundControls.GetData()[i] = nullptr;
    }
    for (int i = 0; i < m_aAsyncNotify.GetSize(); ++i) {
        UiNotify* msg = static_cast<UiNotify*>(m_aAsyncNotify[i]);
        if (msg->pSender == control) {
            msg->pSender = nullptr;
        }
    }
    // Whatever way the control went, no list may keep pointing at it.
    for (int i = m_aNeedMouseLeaveNeeded.GetSize() - 1; i >= 0; --i) {
        if (m_aNeedMouseLeaveNeeded[i] == control)
            m_aNeedMouseLeaveNeeded.Remove(i);
    }
    for (int i = m_aNativeWindowControl.GetSize() - 1; i >= 0; --i) {
        if (m_aNativeWindowControl[i] == control) {
            m_aNativeWindowControl.Remove(i);
            m_aNativeWindow.Remove(i);
        }
    }
    for (int i = m_aPostPaintControls.GetSize() - 1; i >= 0; --i) {
        if (m_aPostPaintControls[i] == control)
            m_aPostPaintControls.Remove(i);
    }
    RemoveFromOptionGroups(control);
}

// ---- Look-ups ----

CControlUI* CALLBACK CUiManager::FindControlFromPoint(CControlUI* control, LPVOID data)
{
    const POINT* pt = static_cast<const POINT*>(data);
    const RECT& rc = control->GetPos();
    return ::PtInRect(&rc, *pt) ? control : nullptr;
}

CControlUI* CALLBACK CUiManager::FindControlFromTab(CControlUI* control, LPVOID data)
{
    FindTabInfo* info = static_cast<FindTabInfo*>(data);
    if (!info->bCollectOnly && control == info->pFocus) {
        if (info->bForward) {
            info->bNextIsIt = true;
            if (!info->bFromFocus) {
                return nullptr;
            }
        } else {
            return info->pLast;
        }
    }
    if ((control->GetControlFlags() & UIFLAG_TABSTOP) == 0) {
        return nullptr;
    }
    info->pLast = control;
    if (info->bCollectOnly) {
        return nullptr;
    }
    if (info->bNextIsIt || info->pFocus == nullptr) {
        return control;
    }
    return nullptr;
}

CControlUI* CALLBACK CUiManager::FindControlFromShortcut(CControlUI* control, LPVOID data)
{
    if (!control->IsVisible()) {
        return nullptr;
    }
    FindShortcutInfo* info = static_cast<FindShortcutInfo*>(data);
    if (static_cast<wchar_t>(towupper(control->GetShortcut())) == info->ch) {
        info->bPickNext = true;
    }
    if (wcsstr(control->GetClass(), L"Label") != nullptr) {
        return nullptr;
    }
    return info->bPickNext ? control : nullptr;
}

CControlUI* CUiManager::FindControl(POINT pt) const
{
    if (m_pRoot == nullptr) {
        return nullptr;
    }
    return m_pRoot->FindControl(FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

CControlUI* CUiManager::FindControl(const wchar_t* name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    return static_cast<CControlUI*>(m_mNameHash.Find(name));
}

bool CUiManager::RenameControl(CControlUI* control, const wchar_t* newName)
{
    if (control == nullptr) {
        return false;
    }
    CUiString oldName = control->GetName();
    if (oldName == newName) {
        return true;
    }
    if (control->GetManager() != this) {
        return false;
    }
    if (newName == nullptr || newName[0] == L'\0') {
        return false;
    }
    CControlUI* holder = static_cast<CControlUI*>(m_mNameHash.Find(newName, false));
    if (holder != nullptr && holder != control) {
        return false;
    }
    ForgetControlName(control);
    m_mNameHash.Set(newName, control);
    control->SetName(newName);
    return true;
}

void CUiManager::ForgetControlName(CControlUI* control)
{
    if (control == nullptr) {
        return;
    }
    CUiString name = control->GetName();
    if (!name.IsEmpty() && m_mNameHash.Find(name, false) == control) {
        m_mNameHash.Remove(name);
    }
}

// ---- Listener lists ----

bool CUiManager::AddNotifier(INotifyUI* notifier) { return m_aNotifiers.Add(notifier); }

bool CUiManager::RemoveNotifier(INotifyUI* notifier) { return RemoveFromList(m_aNotifiers, notifier); }

bool CUiManager::AddPreMessageFilter(IMessageFilterUI* filter) { return m_aPreMessageFilters.Add(filter); }

bool CUiManager::RemovePreMessageFilter(IMessageFilterUI* filter)
{
    return RemoveFromList(m_aPreMessageFilters, filter);
}

bool CUiManager::AddMessageFilter(IMessageFilterUI* filter) { return m_aMessageFilters.Add(filter); }

bool CUiManager::RemoveMessageFilter(IMessageFilterUI* filter) { return RemoveFromList(m_aMessageFilters, filter); }

bool CUiManager::AddTranslateAccelerator(ITranslateAccelerator* translator)
{
    return m_aTranslateAccelerator.Add(translator);
}

bool CUiManager::RemoveTranslateAccelerator(ITranslateAccelerator* translator)
{
    return RemoveFromList(m_aTranslateAccelerator, translator);
}

bool CUiManager::AddMouseLeaveNeeded(CControlUI* control)
{
    if (m_aNeedMouseLeaveNeeded.Find(control) >= 0) {
        return true;
    }
    return m_aNeedMouseLeaveNeeded.Add(control);
}

bool CUiManager::RemoveMouseLeaveNeeded(CControlUI* control)
{
    return RemoveFromList(m_aNeedMouseLeaveNeeded, control);
}

bool CUiManager::AddNativeWindow(CControlUI* control, HWND hChildWnd)
{
    if (control == nullptr || hChildWnd == nullptr || m_aNativeWindow.Find(hChildWnd) >= 0) {
        return false;
    }
    RECT rc = GetNativeWindowRect(hChildWnd);
    Invalidate(rc);
    if (!m_aNativeWindow.Add(hChildWnd)) {
        return false;
    }
    if (!m_aNativeWindowControl.Add(control)) {
        m_aNativeWindow.Remove(m_aNativeWindow.GetSize() - 1);
        return false;
    }
    return true;
}

bool CUiManager::RemoveNativeWindow(HWND hChildWnd)
{
    int index = m_aNativeWindow.Find(hChildWnd);
    if (index < 0) {
        return false;
    }
    m_aNativeWindow.Remove(index);
    m_aNativeWindowControl.Remove(index);
    return true;
}

RECT CUiManager::GetNativeWindowRect(HWND hChildWnd) const
{
    RECT rc = {0, 0, 0, 0};
    ::GetWindowRect(hChildWnd, &rc);
    ::MapWindowPoints(nullptr, m_hWndPaint, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// ---- Pre-translation and the message loop ----

bool CUiManager::TranslateAccelerator(LPMSG pMsg)
{
    CLifeWatch watch(m_life);
    CUiPtrArray translators(m_aTranslateAccelerator);
    for (int i = 0; i < translators.GetSize(); ++i) {
        if (m_aTranslateAccelerator.Find(translators[i]) < 0) {
            continue;
        }
        if (static_cast<ITranslateAccelerator*>(translators[i])->TranslateAccelerator(pMsg) == 0 || watch.IsDead()) {
            return true;
        }
    }
    return false;
}

bool CUiManager::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes)
{
    CLifeWatch watch(m_life);
    if (RunFilters(m_aPreMessageFilters, watch, uMsg, wParam, lParam, lRes)) {
        return true;
    }
    switch (uMsg) {
    case WM_KEYDOWN:
        if (wParam != VK_TAB) {
            return false;
        }
        if (m_pFocus != nullptr && m_pFocus->IsVisible() && m_pFocus->IsEnabled() &&
            wcsstr(m_pFocus->GetClass(), L"RichEdit") != nullptr) {
            IWantTabUI* wantTab = static_cast<IWantTabUI*>(m_pFocus->GetInterface(L"WantTab"));
            if (wantTab != nullptr && wantTab->IsWantTab()) {
                return false;
            }
        }
        SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
        return true;
    case WM_SYSCHAR: {
        if (m_pRoot == nullptr) {
            return false;
        }
        FindShortcutInfo info = {static_cast<wchar_t>(towupper(static_cast<wint_t>(wParam))), false};
        CControlUI* control = m_pRoot->FindControl(FindControlFromShortcut, &info,
                                                   UIFIND_ENABLED | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
        if (control == nullptr) {
            return false;
        }
        ControlRef shortcut(*this, control);
        control->SetFocus();
        if (control != nullptr) {
            control->Activate();
        }
        return true;
    }
    case WM_SYSKEYDOWN: {
        if (m_pFocus != nullptr) {
            SendKeyEvent(m_pFocus, UIEVENT_SYSKEY, wParam, lParam);
        }
        return false;
    }
    default:
        return false;
    }
}

bool CUiManager::TranslateMessage(const LPMSG pMsg)
{
    if (pMsg == nullptr || pMsg->hwnd == nullptr) {
        return false;
    }
    CUiPtrArray& managers = Managers();
    LRESULT lRes = 0;
    bool child = (::GetWindowLongPtrW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) != 0;
    if (!child) {
        for (int i = 0; i < managers.GetSize(); ++i) {
            CUiManager* manager = static_cast<CUiManager*>(managers[i]);
            if (manager->GetPaintWindow() != pMsg->hwnd) {
                continue;
            }
            if (manager->TranslateAccelerator(pMsg)) {
                return true;
            }
            // The IME reports the real key of a composition key press; only
            // key messages carry a virtual key to rewrite.
            bool keyMessage = pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP ||
                              pMsg->message == WM_SYSKEYDOWN || pMsg->message == WM_SYSKEYUP;
            if (keyMessage && pMsg->wParam == VK_PROCESSKEY) {
                pMsg->wParam = ::ImmGetVirtualKey(pMsg->hwnd);
            }
            return manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
        }
        return false;
    }
    // Escape belongs to the native child (an edit box, a date picker): it must
    // not reach the window's filters, which close the window on it.
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP) && pMsg->wParam == VK_ESCAPE) {
        return false;
    }
    // A copy: a handler may close windows, and their managers leave the list.
    CUiPtrArray asked(managers);
    for (int i = asked.GetSize() - 1; i >= 0; --i) {
        CUiManager* manager = static_cast<CUiManager*>(asked[i]);
        if (managers.Find(manager) < 0) {
            continue;
        }
        for (HWND hwnd = pMsg->hwnd; hwnd != nullptr; hwnd = ::GetParent(hwnd)) {
            if (hwnd != manager->GetPaintWindow()) {
                continue;
            }
            if (manager->TranslateAccelerator(pMsg)) {
                return true;
            }
            manager->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, lRes);
            break;
        }
    }
    return false;
}

void CUiManager::MessageLoop()
{
    MSG msg = {};
    // GetMessageW answers -1 on an invalid call: that ends the loop as 0 does.
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CUiManager::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

}  // namespace SkinUI
