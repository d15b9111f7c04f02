#include "skinui/controls/horizontal_layout_ui.h"

#include <algorithm>

#include "skinui/controls/layout_limits.h"
#include "skinui/core/attribute_parser.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : m_separator(false) {}

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0) {
        return static_cast<CHorizontalLayoutUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const { return m_separator.GetControlFlags(*this); }

void CHorizontalLayoutUI::SetPos(RECT rc, bool needInvalidate)
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

    // The room taken by the children that have a width, and how many share the rest.
    int adjustables = 0;
    int fixedTotal = 0;
    int estimated = 0;
    int cyNeeded = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat()) {
            continue;
        }
        const RECT pad = child->GetPadding();
        const int cyChild = availableCy - pad.top - pad.bottom;
        SIZE sz = child->EstimateSize(
            CUiSize(std::min(LayoutLimitWidth(child), availableCx), std::min(LayoutLimitHeight(child), cyChild)));
        if (sz.cx == 0) {
            ++adjustables;
        } else {
            sz.cx = LayoutClamp(sz.cx, child->GetMinWidth(), child->GetMaxWidth());
        }
        fixedTotal += pad.left + sz.cx + pad.right;
        sz.cy = LayoutClamp(std::max<int>(sz.cy, 0), child->GetMinHeight(), child->GetMaxHeight());
        cyNeeded = std::max<int>(cyNeeded, pad.top + sz.cy + pad.bottom);
        ++estimated;
    }
    const int gaps = estimated > 0 ? (estimated - 1) * m_iChildPadding : 0;
    fixedTotal += gaps;
    const int expand = adjustables > 0 ? std::max(0, (availableCx - fixedTotal) / adjustables) : 0;

    int x = rc.left - scrollPos.cx;
    int remaining = availableCx;
    // As in the vertical layout: the last sharing child gets exactly what
    // the children after it and the gaps leave.
    int fixedRemaining = fixedTotal;
    int adjusted = 0;
    int placed = 0;
    int cxNeeded = 0;
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
        const int cyChild = availableCy - pad.top - pad.bottom;
        remaining -= pad.left;
        fixedRemaining -= pad.left + pad.right;
        SIZE sz = child->EstimateSize(
            CUiSize(std::min(LayoutLimitWidth(child), remaining), std::min(LayoutLimitHeight(child), cyChild)));
        if (sz.cx == 0) {
            ++adjusted;
            sz.cx = adjusted == adjustables ? std::max(0, remaining - static_cast<int>(pad.right) - fixedRemaining)
                                            : expand;
            sz.cx = LayoutClamp(sz.cx, child->GetMinWidth(), child->GetMaxWidth());
        } else {
            sz.cx = LayoutClamp(sz.cx, child->GetMinWidth(), child->GetMaxWidth());
            fixedRemaining -= sz.cx;
        }
        if (++placed < estimated) {
            fixedRemaining -= m_iChildPadding;
        }

        int cy = child->GetMaxHeight();
        if (cy == 0) {
            cy = cyChild;
        }
        cy = std::max(cy, 0);
        cy = std::min(cy, std::min(LayoutLimitHeight(child), cyChild));
        cy = std::max(cy, child->GetMinHeight());
        const int cx = sz.cx;

        RECT rcChild;
        if (m_iChildVAlign == UICHILD_VALIGN_VCENTER) {
            int top = (rc.top + rc.bottom) / 2 + (scrollRange.cy / 2 - scrollPos.cy) - cy / 2;
            rcChild = {x + pad.left, top, x + pad.left + cx, top + cy};
        } else if (m_iChildVAlign == UICHILD_VALIGN_BOTTOM) {
            int bottom = rc.bottom + (scrollRange.cy - scrollPos.cy);
            rcChild = {x + pad.left, bottom - cy - pad.bottom, x + pad.left + cx, bottom - pad.bottom};
        } else {
            int top = rc.top - scrollPos.cy;
            rcChild = {x + pad.left, top + pad.top, x + pad.left + cx, top + pad.top + cy};
        }
        child->SetPos(rcChild, false);

        x += pad.left + cx + pad.right + m_iChildPadding;
        cxNeeded += pad.left + cx + pad.right;
        remaining -= cx + m_iChildPadding + pad.right;
    }
    cxNeeded += gaps;
    ProcessScrollBar(rc, cxNeeded, cyNeeded);
}

void CHorizontalLayoutUI::DoEvent(UiEvent& event)
{
    if (m_separator.DoEvent(*this, m_rcItem, m_cxyFixed, event)) {
        return;
    }
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"sepwidth") == 0) {
        SetSepWidth(ParseInt(value));
    } else if (name != nullptr && wcscmp(name, L"sepimm") == 0) {
        SetSepImmMode(ParseBool(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

bool CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint) { return m_separator.DoPostPaint(hDC); }

}  // namespace SkinUI
