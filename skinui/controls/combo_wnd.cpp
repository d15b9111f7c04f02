#include "skinui/controls/combo_wnd.h"

#include <windowsx.h>

#include <algorithm>

#include "foundation/log.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/combo_ui.h"
#include "skinui/controls/list_body_ui.h"
#include "skinui/controls/scroll_bar_ui.h"

namespace SkinUI {

namespace {

// The look the drop list has before the skin's "dropbox" list applies.
const DWORD kDropBorderColor = 0xFF9396A4;
const DWORD kDropThumbColor = 0xFF6DABFF;
const DWORD kDropBarColor = 0xFFFFFFFF;
// Pixels per wheel message.
const int kWheelStep = 16;

void ToScreen(HWND hWnd, RECT& rc) { ::MapWindowPoints(hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rc), 2); }

}  // namespace

// ---- CComboBodyUI ----

bool CComboBodyUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    return PaintListRows(*this, hDC, rcPaint, stopControl, GetContentRect(),
                         m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr);
}

// ---- CComboWnd ----

bool CComboWnd::Init(CComboUI* owner)
{
    m_pOwner = owner;
    m_pLayout = nullptr;
    m_iOldSel = owner->GetCurSel();
    m_bScrollBarPressed = false;
    CUiManager* manager = owner->GetManager();
    HWND ownerWindow = manager != nullptr ? manager->GetPaintWindow() : nullptr;
    if (ownerWindow == nullptr) {
        common::log("CComboWnd::Init", __LINE__, L"combo %s has no window to open from", owner->GetName().GetData());
        return false;
    }
    const RECT rc = PlaceBelowOrAbove();
    // A window that fails while being made must not take the object with it.
    ++m_nDepth;
    HWND hWnd = Create(ownerWindow, nullptr, WS_POPUP, WS_EX_TOOLWINDOW, rc);
    --m_nDepth;
    if (hWnd == nullptr) {
        return false;
    }
    ::ShowWindow(hWnd, SW_SHOW);
    return true;
}

RECT CComboWnd::PlaceBelowOrAbove() const
{
    const SIZE drop = m_pOwner->GetDropBoxSize();
    const RECT rcCombo = m_pOwner->GetPos();
    RECT rc = rcCombo;
    rc.top = rcCombo.bottom;
    rc.bottom = rc.top + drop.cy;
    if (drop.cx > 0) {
        rc.right = rc.left + drop.cx;
    }
    // As high as the visible items need (and the border), at most the drop-box height.
    const SIZE available = {rc.right - rc.left, rc.bottom - rc.top};
    int cyItems = 0;
    for (int i = 0; i < m_pOwner->GetCount(); ++i) {
        CControlUI* item = m_pOwner->GetItemAt(i);
        if (item->IsVisible()) {
            cyItems += item->EstimateSize(available).cy;
        }
    }
    const int cy = std::min<int>(cyItems + 2, drop.cy);
    rc.bottom = rc.top + cy;

    HWND ownerWindow = m_pOwner->GetManager()->GetPaintWindow();
    ToScreen(ownerWindow, rc);
    RECT rcComboScreen = rcCombo;
    ToScreen(ownerWindow, rcComboScreen);
    // The work area of the monitor that shows the combo.
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoW(::MonitorFromRect(&rcComboScreen, MONITOR_DEFAULTTONEAREST), &monitor)) {
        common::log("CComboWnd::PlaceBelowOrAbove", __LINE__, L"GetMonitorInfo failed lastError = %d",
                    static_cast<int>(::GetLastError()));
        return rc;
    }
    if (rc.bottom > monitor.rcWork.bottom) {
        rc.left = rcComboScreen.left;
        rc.right = drop.cx > 0 ? rc.left + drop.cx : rcComboScreen.right;
        rc.bottom = rcComboScreen.top;
        rc.top = rc.bottom - cy;
    }
    return rc;
}

LRESULT CComboWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    ++m_nDepth;
    const LRESULT result = Dispatch(uMsg, wParam, lParam);
    --m_nDepth;
    if (m_nDepth == 0 && m_bFinished) {
        delete this;
    }
    return result;
}

LRESULT CComboWnd::Dispatch(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        return OnCreate();
    case WM_CLOSE: {
        // The pop-up's hover, press and focus end while the items are still here.
        LRESULT ignored = 0;
        m_pm.MessageHandler(uMsg, wParam, lParam, ignored);
        if (m_pOwner == nullptr) {
            break;
        }
        CComboUI* owner = m_pOwner;
        HandBack();
        owner->SetPos(owner->IsFloat() ? owner->GetRelativePos() : owner->GetPos(), false);
        owner->SetFocus();
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (IsScrollBarAt(lParam)) {
            m_bScrollBarPressed = true;
        }
        break;
    case WM_LBUTTONUP:
        if (m_bScrollBarPressed) {
            m_bScrollBarPressed = false;
        } else {
            const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (m_pm.FindControl(pt) != nullptr && !IsScrollBarAt(lParam)) {
                PostMessage(WM_KILLFOCUS);  // a click on an item closes
            }
        }
        break;
    case WM_KEYDOWN:
        return OnKeyDown(wParam, lParam);
    case WM_MOUSEWHEEL:
        Scroll(0, GET_WHEEL_DELTA_WPARAM(wParam) < 0 ? kWheelStep : -kWheelStep);
        return 0;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != m_hWnd) {
            bool inside = false;
            HWND focus = ::GetFocus();
            for (HWND ancestor = focus != nullptr ? ::GetParent(focus) : nullptr; ancestor != nullptr;
                 ancestor = ::GetParent(ancestor)) {
                inside = inside || ancestor == m_hWnd;
            }
            if (!inside) {
                PostMessage(WM_CLOSE);
            }
        }
        break;
    default:
        break;
    }
    if (m_bFinished) {
        return 0;
    }
    LRESULT lRes = 0;
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes)) {
        return lRes;
    }
    if (m_bFinished) {
        return 0;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CComboWnd::OnCreate()
{
    m_pm.Init(m_hWnd);
    // Fonts and images the skin shares resolve here as in the combo's window.
    m_pm.SetUseSharedResources(true);
    m_pLayout = new CComboBodyUI(m_pOwner);
    m_pLayout->SetManager(&m_pm, nullptr, true);
    const wchar_t* defaults = m_pOwner->GetManager()->GetDefaultAttributeList(L"VerticalLayout");
    if (defaults != nullptr) {
        m_pLayout->ApplyAttributeList(defaults);
    }
    m_pLayout->SetInset(CUiRect(1, 1, 1, 1));
    m_pLayout->SetBorderColor(kDropBorderColor);
    m_pLayout->SetBorderSize(1);
    m_pLayout->SetAutoDestroy(false);  // the items stay the combo's
    m_pLayout->EnableScrollBar(true, false);
    m_pLayout->ApplyAttributeList(m_pOwner->GetDropBoxAttributeList());
    if (CScrollBarUI* bar = m_pLayout->GetVerticalScrollBar()) {
        bar->SetThumbColor(kDropThumbColor);
        bar->SetBkColor(kDropBarColor);
    }
    for (int i = 0; i < m_pOwner->GetCount(); ++i) {
        m_pLayout->Add(m_pOwner->GetItemAt(i));
    }
    m_pm.AttachDialog(m_pLayout);
    return 0;
}

LRESULT CComboWnd::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    if (m_pOwner == nullptr) {
        return 0;
    }
    switch (wParam) {
    case VK_ESCAPE:
        // Back to the selection the pop-up opened with.
        m_pOwner->SelectItem(m_iOldSel, true, true);
        if (m_pOwner != nullptr) {
            EnsureVisible(m_iOldSel);
            PostMessage(WM_KILLFOCUS);
        }
        return 0;
    case VK_RETURN:
        PostMessage(WM_KILLFOCUS);
        return 0;
    default: {
        UiEvent event = {};
        event.Type = UIEVENT_KEYDOWN;
        event.pSender = m_pOwner;
        event.dwTimestamp = ::GetTickCount();
        event.ptMouse = m_pm.GetMousePos();
        event.chKey = static_cast<wchar_t>(wParam);
        event.wParam = wParam;
        event.lParam = lParam;
        m_pOwner->DoEvent(event);
        if (m_pOwner != nullptr) {
            EnsureVisible(m_pOwner->GetCurSel());
        }
        return 0;
    }
    }
}

bool CComboWnd::IsScrollBarAt(LPARAM lParam) const
{
    const POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    CControlUI* control = m_pm.FindControl(pt);
    return control != nullptr && wcscmp(control->GetClass(), L"ScrollBar") == 0;
}

void CComboWnd::EnsureVisible(int index)
{
    if (m_pOwner == nullptr || m_pLayout == nullptr || m_pOwner->GetCurSel() < 0) {
        return;
    }
    CControlUI* item = m_pOwner->GetItemAt(index);
    if (item == nullptr) {
        return;
    }
    RECT rcBody = m_pLayout->GetPos();
    CScrollBarUI* hbar = m_pLayout->GetHorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible()) {
        rcBody.bottom -= hbar->GetFixedHeight();
    }
    const RECT& rc = item->GetPos();
    if (rc.top < rcBody.top) {
        Scroll(0, rc.top - rcBody.top);
    } else if (rc.bottom > rcBody.bottom) {
        Scroll(0, rc.bottom - rcBody.bottom);
    }
}

void CComboWnd::Scroll(int dx, int dy)
{
    if ((dx == 0 && dy == 0) || m_pLayout == nullptr) {
        return;
    }
    SIZE pos = m_pLayout->GetScrollPos();
    pos.cx += dx;
    pos.cy += dy;
    m_pLayout->SetScrollPos(pos);
}

void CComboWnd::HandBack()
{
    if (m_bHandedBack || m_pOwner == nullptr) {
        return;
    }
    m_bHandedBack = true;
    // The drop list lets go of the items (it never destroys them) and the
    // combo's own window takes them back.
    if (m_pLayout != nullptr) {
        m_pLayout->RemoveAll();
    }
    m_pOwner->SetManager(m_pOwner->GetManager(), m_pOwner->GetParent(), false);
}

void CComboWnd::OnFinalMessage(HWND hWnd)
{
    // Destroyed without WM_CLOSE (the owner window went, the combo was
    // removed): the items must not keep this window's manager.
    HandBack();
    if (m_pOwner != nullptr && m_pOwner->m_pWindow == this) {
        m_pOwner->m_pWindow = nullptr;
        m_pOwner->m_uButtonState &= ~UISTATE_PUSHED;
        m_pOwner->Invalidate();
    }
    m_pOwner = nullptr;
    m_bFinished = true;
    if (m_nDepth == 0) {
        delete this;
    }
}

}  // namespace SkinUI
