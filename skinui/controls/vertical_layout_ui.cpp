#include "skinui/controls/vertical_layout_ui.h"

#include <algorithm>

#include "skinui/controls/layout_limits.h"
#include "skinui/core/attribute_parser.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : m_separator(true) {}

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0) {
        return static_cast<CVerticalLayoutUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const { return m_separator.GetControlFlags(*this); }

void CVerticalLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    rc = GetContentRect();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return;
    }
    // Scrolled content is laid out at its full size. The layout's own bars
    // count (a list answers GetScrollPos with its body's).
    const SIZE scrollPos = CContainerUI::GetScrollPos();
    const SIZE scrollRange = CContainerUI::GetScrollRange();
    const int availableCx = rc.right - rc.left + scrollRange.cx;
    const int availableCy = rc.bottom - rc.top + scrollRange.cy;

    // The room taken by the children that have a height, and how many share the rest.
    int adjustables = 0;
    int fixedTotal = 0;
    int estimated = 0;
    int cxNeeded = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat()) {
            continue;
        }
        const RECT pad = child->GetPadding();
        const int cxChild = availableCx - pad.left - pad.right;
        SIZE sz = child->EstimateSize(
            CUiSize(std::min(LayoutLimitWidth(child), cxChild), std::min(LayoutLimitHeight(child), availableCy)));
        if (sz.cy == 0) {
            ++adjustables;
        } else {
            sz.cy = LayoutClamp(sz.cy, child->GetMinHeight(), child->GetMaxHeight());
        }
        fixedTotal += pad.top + sz.cy + pad.bottom;
        sz.cx = LayoutClamp(std::max<int>(sz.cx, 0), child->GetMinWidth(), child->GetMaxWidth());
        cxNeeded = std::max<int>(cxNeeded, pad.left + sz.cx + pad.right);
        ++estimated;
    }
    const int gaps = estimated > 0 ? (estimated - 1) * m_iChildPadding : 0;
    fixedTotal += gaps;
    const int expand = adjustables > 0 ? std::max(0, (availableCy - fixedTotal) / adjustables) : 0;

    int y = rc.top - scrollPos.cy;
    int remaining = availableCy;
    // What the children not placed yet take besides the shared room: their
    // paddings, the heights of those that have one and the gaps between. The
    // last sharing child gets what they leave, so the column ends exactly at
    // the bottom whatever the rounding of the share.
    int fixedRemaining = fixedTotal;
    int adjusted = 0;
    int placed = 0;
    int cyNeeded = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible()) {
            continue;
        }
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT pad = child->GetPadding();
        const int cxChild = availableCx - pad.left - pad.right;
        remaining -= pad.top;
        fixedRemaining -= pad.top + pad.bottom;
        SIZE sz = child->EstimateSize(
            CUiSize(std::min(LayoutLimitWidth(child), cxChild), std::min(LayoutLimitHeight(child), remaining)));
        if (sz.cy == 0) {
            ++adjusted;
            sz.cy = adjusted == adjustables ? std::max(0, remaining - static_cast<int>(pad.bottom) - fixedRemaining)
                                            : expand;
            sz.cy = LayoutClamp(sz.cy, child->GetMinHeight(), child->GetMaxHeight());
        } else {
            sz.cy = LayoutClamp(sz.cy, child->GetMinHeight(), child->GetMaxHeight());
            fixedRemaining -= sz.cy;
        }
        if (++placed < estimated) {
            fixedRemaining -= m_iChildPadding;
        }

        int cx = child->GetMaxWidth();
        if (cx == 0) {
            cx = cxChild;
        }
        cx = std::max(cx, 0);
        cx = std::min(cx, std::min(LayoutLimitWidth(child), cxChild));
        cx = std::max(cx, child->GetMinWidth());
        const int cy = sz.cy;

        RECT rcChild;
        if (m_iChildAlign == UICHILD_ALIGN_CENTER) {
            int x = (rc.left + rc.right) / 2 + (scrollRange.cx / 2 - scrollPos.cx) - cx / 2;
            rcChild = {x, y + pad.top, x + cx, y + pad.top + cy};
        } else if (m_iChildAlign == UICHILD_ALIGN_RIGHT) {
            int right = rc.right + (scrollRange.cx - scrollPos.cx);
            rcChild = {right - cx - pad.right, y + pad.top, right - pad.right, y + pad.top + cy};
        } else {
            int left = rc.left - scrollPos.cx;
            rcChild = {left + pad.left, y + pad.top, left + pad.left + cx, y + pad.top + cy};
        }
        child->SetPos(rcChild, false);

        y += pad.top + cy + pad.bottom + m_iChildPadding;
        cyNeeded += pad.top + cy + pad.bottom;
        remaining -= cy + m_iChildPadding + pad.bottom;
    }
    cyNeeded += gaps;
    ProcessScrollBar(rc, cxNeeded, cyNeeded);
}

void CVerticalLayoutUI::DoEvent(UiEvent& event)
{
    if (m_separator.DoEvent(*this, m_rcItem, m_cxyFixed, event)) {
        return;
    }
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"sepheight") == 0) {
        SetSepHeight(ParseInt(value));
    } else if (name != nullptr && wcscmp(name, L"sepimm") == 0) {
        SetSepImmMode(ParseBool(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

bool CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint) { return m_separator.DoPostPaint(hDC); }

}  // namespace SkinUI
