#include "skinui/controls/box_layout_ui.h"

#include <algorithm>

#include "skinui/controls/layout_limits.h"
#include "skinui/core/attribute_parser.h"

namespace SkinUI {

namespace {

// The two directions of a box layout: along its axis and across it. Sizes,
// paddings and rectangles are read and made through it, so that one pass
// lays out both layouts.
struct Axis {
    bool vertical;

    LONG& Along(SIZE& size) const { return vertical ? size.cy : size.cx; }
    LONG& Across(SIZE& size) const { return vertical ? size.cx : size.cy; }
    LONG Along(const SIZE& size) const { return vertical ? size.cy : size.cx; }
    LONG Across(const SIZE& size) const { return vertical ? size.cx : size.cy; }
    // The near and far edges of a rectangle (or padding), along and across.
    LONG Near(const RECT& rc) const { return vertical ? rc.top : rc.left; }
    LONG Far(const RECT& rc) const { return vertical ? rc.bottom : rc.right; }
    LONG AcrossNear(const RECT& rc) const { return vertical ? rc.left : rc.top; }
    LONG AcrossFar(const RECT& rc) const { return vertical ? rc.right : rc.bottom; }

    int Limit(const CControlUI* child) const { return vertical ? LayoutLimitHeight(child) : LayoutLimitWidth(child); }
    int AcrossLimit(const CControlUI* child) const
    {
        return vertical ? LayoutLimitWidth(child) : LayoutLimitHeight(child);
    }
    int Min(const CControlUI* child) const { return vertical ? child->GetMinHeight() : child->GetMinWidth(); }
    int Max(const CControlUI* child) const { return vertical ? child->GetMaxHeight() : child->GetMaxWidth(); }
    int AcrossMin(const CControlUI* child) const { return vertical ? child->GetMinWidth() : child->GetMinHeight(); }
    int AcrossMax(const CControlUI* child) const { return vertical ? child->GetMaxWidth() : child->GetMaxHeight(); }

    CUiSize Size(int along, int across) const { return vertical ? CUiSize(across, along) : CUiSize(along, across); }
    RECT Rect(int nearAlong, int nearAcross, int farAlong, int farAcross) const
    {
        return vertical ? RECT{nearAcross, nearAlong, farAcross, farAlong}
                        : RECT{nearAlong, nearAcross, farAlong, farAcross};
    }
};

}  // namespace

CBoxLayoutUI::CBoxLayoutUI(bool vertical) : m_separator(vertical), m_bVertical(vertical) {}

UINT CBoxLayoutUI::GetControlFlags() const { return m_separator.GetControlFlags(*this); }

void CBoxLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    if (!StartLayoutPass(rc, needInvalidate)) {
        return;
    }
    const Axis axis{m_bVertical};
    // Scrolled content is laid out at its full size. The layout's own bars
    // count (a list answers GetScrollPos with its body's).
    const SIZE scrollPos = CContainerUI::GetScrollPos();
    const SIZE scrollRange = CContainerUI::GetScrollRange();
    const int available = axis.Far(rc) - axis.Near(rc) + axis.Along(scrollRange);
    const int availableAcross = axis.AcrossFar(rc) - axis.AcrossNear(rc) + axis.Across(scrollRange);

    // The room taken by the children that have a size along the axis, and
    // how many share the rest.
    int adjustables = 0;
    int fixedTotal = 0;
    int estimated = 0;
    int acrossNeeded = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (!child->IsVisible() || child->IsFloat()) {
            continue;
        }
        const RECT pad = child->GetPadding();
        const int acrossChild = availableAcross - axis.AcrossNear(pad) - axis.AcrossFar(pad);
        SIZE sz = child->EstimateSize(
            axis.Size(std::min(axis.Limit(child), available), std::min(axis.AcrossLimit(child), acrossChild)));
        if (axis.Along(sz) == 0) {
            ++adjustables;
        } else {
            axis.Along(sz) = LayoutClamp(axis.Along(sz), axis.Min(child), axis.Max(child));
        }
        fixedTotal += axis.Near(pad) + axis.Along(sz) + axis.Far(pad);
        axis.Across(sz) = LayoutClamp(std::max<int>(axis.Across(sz), 0), axis.AcrossMin(child), axis.AcrossMax(child));
        acrossNeeded = std::max<int>(acrossNeeded, axis.AcrossNear(pad) + axis.Across(sz) + axis.AcrossFar(pad));
        ++estimated;
    }
    const int gaps = estimated > 0 ? (estimated - 1) * m_iChildPadding : 0;
    fixedTotal += gaps;
    const int expand = adjustables > 0 ? std::max(0, (available - fixedTotal) / adjustables) : 0;

    // Where the children sit across the axis.
    const UINT align = m_bVertical ? m_iChildAlign : m_iChildVAlign;
    const bool centred = align == (m_bVertical ? UICHILD_ALIGN_CENTER : UICHILD_VALIGN_VCENTER);
    const bool atFar = align == (m_bVertical ? UICHILD_ALIGN_RIGHT : UICHILD_VALIGN_BOTTOM);

    int pos = axis.Near(rc) - axis.Along(scrollPos);
    int remaining = available;
    // What the children not placed yet take besides the shared room: their
    // paddings, the sizes of those that have one and the gaps between. The
    // last sharing child gets what they leave, so the row ends exactly at
    // the far edge whatever the rounding of the share.
    int fixedRemaining = fixedTotal;
    int adjusted = 0;
    int placed = 0;
    int alongNeeded = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = LayoutChildAt(i);
        if (child == nullptr) {
            continue;
        }
        const RECT pad = child->GetPadding();
        const int acrossChild = availableAcross - axis.AcrossNear(pad) - axis.AcrossFar(pad);
        remaining -= axis.Near(pad);
        fixedRemaining -= axis.Near(pad) + axis.Far(pad);
        SIZE sz = child->EstimateSize(
            axis.Size(std::min(axis.Limit(child), remaining), std::min(axis.AcrossLimit(child), acrossChild)));
        if (axis.Along(sz) == 0) {
            ++adjusted;
            axis.Along(sz) = adjusted == adjustables
                                 ? std::max(0, remaining - static_cast<int>(axis.Far(pad)) - fixedRemaining)
                                 : expand;
            axis.Along(sz) = LayoutClamp(axis.Along(sz), axis.Min(child), axis.Max(child));
        } else {
            axis.Along(sz) = LayoutClamp(axis.Along(sz), axis.Min(child), axis.Max(child));
            fixedRemaining -= axis.Along(sz);
        }
        if (++placed < estimated) {
            fixedRemaining -= m_iChildPadding;
        }

        int across = axis.AcrossMax(child);
        if (across == 0) {
            across = acrossChild;
        }
        across = std::max(across, 0);
        across = std::min(across, std::min(axis.AcrossLimit(child), acrossChild));
        across = std::max(across, axis.AcrossMin(child));
        const int along = axis.Along(sz);

        const int nearAlong = pos + axis.Near(pad);
        RECT rcChild;
        if (centred) {
            int from = (axis.AcrossNear(rc) + axis.AcrossFar(rc)) / 2 +
                       (axis.Across(scrollRange) / 2 - axis.Across(scrollPos)) - across / 2;
            rcChild = axis.Rect(nearAlong, from, nearAlong + along, from + across);
        } else if (atFar) {
            int to = axis.AcrossFar(rc) + (axis.Across(scrollRange) - axis.Across(scrollPos));
            rcChild = axis.Rect(nearAlong, to - across - axis.AcrossFar(pad), nearAlong + along,
                                to - axis.AcrossFar(pad));
        } else {
            int from = axis.AcrossNear(rc) - axis.Across(scrollPos);
            rcChild = axis.Rect(nearAlong, from + axis.AcrossNear(pad), nearAlong + along,
                                from + axis.AcrossNear(pad) + across);
        }
        child->SetPos(rcChild, false);

        pos += axis.Near(pad) + along + axis.Far(pad) + m_iChildPadding;
        alongNeeded += axis.Near(pad) + along + axis.Far(pad);
        remaining -= along + m_iChildPadding + axis.Far(pad);
    }
    alongNeeded += gaps;
    const CUiSize needed = axis.Size(alongNeeded, acrossNeeded);
    ProcessScrollBar(rc, needed.cx, needed.cy);
}

void CBoxLayoutUI::DoEvent(UiEvent& event)
{
    if (m_separator.DoEvent(*this, m_rcItem, m_cxyFixed, event)) {
        return;
    }
    CContainerUI::DoEvent(event);
}

void CBoxLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, m_bVertical ? L"sepheight" : L"sepwidth") == 0) {
        m_separator.SetSize(ParseInt(value));
    } else if (name != nullptr && wcscmp(name, L"sepimm") == 0) {
        SetSepImmMode(ParseBool(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

bool CBoxLayoutUI::DoPostPaint(HDC hDC, const RECT& rcPaint) { return m_separator.DoPostPaint(hDC); }

}  // namespace SkinUI
