#include "skinui/controls/layout_separator.h"

#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// The translucent bar shown where the dragged edge will go.
const DWORD kDragBarColor = 0xAA000000;

}  // namespace

CLayoutSeparator::CLayoutSeparator(bool vertical)
    : m_bVertical(vertical), m_iSepSize(0), m_bCaptured(false), m_ptLastMouse(), m_rcNewPos(), m_bImmMode(false)
{
}

void CLayoutSeparator::SetImmediate(CControlUI& owner, bool immediate)
{
    if (m_bImmMode == immediate) {
        return;
    }
    if (m_bCaptured && !m_bImmMode && owner.GetManager() != nullptr) {
        owner.GetManager()->RemovePostPaint(&owner);
    }
    m_bImmMode = immediate;
}

RECT CLayoutSeparator::GetThumbRect(const RECT& rcItem, bool useNew) const
{
    const RECT& rc = (m_bCaptured && useNew) ? m_rcNewPos : rcItem;
    const int n = m_iSepSize;
    if (m_bVertical) {
        if (n >= 0) {
            return RECT{rc.left, (rc.bottom - n > rc.top) ? rc.bottom - n : rc.top, rc.right, rc.bottom};
        }
        return RECT{rc.left, rc.top, rc.right, (rc.top - n < rc.bottom) ? rc.top - n : rc.bottom};
    }
    if (n >= 0) {
        return RECT{rc.right - n, rc.top, rc.right, rc.bottom};
    }
    return RECT{rc.left, rc.top, rc.left - n, rc.bottom};
}

UINT CLayoutSeparator::GetControlFlags(const CControlUI& owner) const
{
    return owner.IsEnabled() && m_iSepSize != 0 ? UIFLAG_SETCURSOR : 0;
}

bool CLayoutSeparator::DoEvent(CControlUI& owner, RECT& rcItem, SIZE& cxyFixed, const UiEvent& event)
{
    if (m_iSepSize == 0) {
        return false;
    }
    CUiManager* manager = owner.GetManager();
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN: {
        if (!owner.IsEnabled()) {
            return false;
        }
        RECT strip = GetThumbRect(rcItem, false);
        if (!::PtInRect(&strip, event.ptMouse)) {
            return false;
        }
        // A press without the release of the last one (the capture went
        // elsewhere) starts over: the bar is registered once.
        const bool wasCaptured = m_bCaptured;
        m_bCaptured = true;
        m_ptLastMouse = event.ptMouse;
        m_rcNewPos = rcItem;
        if (!m_bImmMode && !wasCaptured && manager != nullptr) {
            manager->AddPostPaint(&owner);
        }
        return true;
    }
    case UIEVENT_BUTTONUP:
        if (!m_bCaptured) {
            return false;
        }
        m_bCaptured = false;
        rcItem = m_rcNewPos;
        if (!m_bImmMode && manager != nullptr) {
            manager->RemovePostPaint(&owner);
        }
        owner.NeedParentUpdate();
        return true;
    case UIEVENT_MOUSEMOVE:
        if (!m_bCaptured) {
            return false;
        }
        OnMove(owner, rcItem, cxyFixed, event.ptMouse);
        return true;
    case UIEVENT_SETCURSOR: {
        RECT strip = GetThumbRect(rcItem, false);
        if (!owner.IsEnabled() || !::PtInRect(&strip, event.ptMouse)) {
            return false;
        }
        ::SetCursor(::LoadCursorW(nullptr, m_bVertical ? IDC_SIZENS : IDC_SIZEWE));
        return true;
    }
    default:
        return false;
    }
}

void CLayoutSeparator::OnMove(CControlUI& owner, RECT& rcItem, SIZE& cxyFixed, POINT pt)
{
    // Along the dragged axis: a position, the near and far edges, the limits.
    const int pos = m_bVertical ? pt.y : pt.x;
    const int delta = pos - (m_bVertical ? m_ptLastMouse.y : m_ptLastMouse.x);
    m_ptLastMouse = pt;
    RECT rc = m_rcNewPos;
    LONG& nearEdge = m_bVertical ? rc.top : rc.left;
    LONG& farEdge = m_bVertical ? rc.bottom : rc.right;
    const int minSize = m_bVertical ? owner.GetMinHeight() : owner.GetMinWidth();
    const int maxSize = m_bVertical ? owner.GetMaxHeight() : owner.GetMaxWidth();
    const int currentSize = m_bVertical ? m_rcNewPos.bottom - m_rcNewPos.top : m_rcNewPos.right - m_rcNewPos.left;
    const int n = m_iSepSize;

    if (n < 0) {
        // The strip is on the near edge: that edge follows the pointer.
        if ((delta > 0 && pos < nearEdge) || (delta < 0 && pos > nearEdge - n)) {
            return;
        }
        nearEdge += delta;
        if (farEdge - nearEdge <= minSize) {
            if (currentSize <= minSize) {
                return;
            }
            nearEdge = farEdge - minSize;
        }
        if (farEdge - nearEdge >= maxSize) {
            if (currentSize >= maxSize) {
                return;
            }
            nearEdge = farEdge - maxSize;
        }
    } else {
        if ((delta > 0 && pos < farEdge - n) || (delta < 0 && pos > farEdge)) {
            return;
        }
        farEdge += delta;
        if (farEdge - nearEdge <= minSize) {
            if (currentSize <= minSize) {
                return;
            }
            farEdge = nearEdge + minSize;
        }
        if (farEdge - nearEdge >= maxSize) {
            if (currentSize >= maxSize) {
                return;
            }
            farEdge = nearEdge + maxSize;
        }
    }

    RECT oldStrip = GetThumbRect(rcItem, true);
    m_rcNewPos = rc;
    // The fixed size follows without a relayout: the layout takes it at the release.
    if (m_bVertical) {
        cxyFixed.cy = rc.bottom - rc.top;
    } else {
        cxyFixed.cx = rc.right - rc.left;
    }
    if (m_bImmMode) {
        rcItem = rc;
        owner.NeedParentUpdate();
        return;
    }
    CUiManager* manager = owner.GetManager();
    if (manager == nullptr) {
        return;
    }
    RECT newStrip = GetThumbRect(rcItem, true);
    RECT itemStrip = GetThumbRect(rcItem, false);
    RECT area;
    ::UnionRect(&area, &oldStrip, &newStrip);
    ::UnionRect(&area, &area, &itemStrip);
    manager->Invalidate(area);
}

bool CLayoutSeparator::DoPostPaint(HDC hDC) const
{
    if (!m_bCaptured || m_bImmMode) {
        return false;
    }
    RECT bar = GetThumbRect(m_rcNewPos, true);
    CDrawKit::DrawColor(hDC, bar, kDragBarColor);
    return true;
}

}  // namespace SkinUI
