#include "skinui/controls/tile_layout_ui.h"

#include <algorithm>

#include "skinui/core/attribute_parser.h"

namespace SkinUI {

CTileLayoutUI::CTileLayoutUI() : m_szItem{80, 80}, m_nColumns(1), m_nFixedColumns(0), m_iChildVPadding(0) {}

const wchar_t* CTileLayoutUI::GetClass() const { return L"TileLayout"; }

LPVOID CTileLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TileLayout") == 0) {
        return static_cast<CTileLayoutUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

void CTileLayoutUI::SetItemSize(SIZE size)
{
    if (m_szItem.cx == size.cx && m_szItem.cy == size.cy) {
        return;
    }
    m_szItem = size;
    NeedUpdate();
}

void CTileLayoutUI::SetColumns(int columns)
{
    if (columns < 0) {
        return;
    }
    m_nFixedColumns = columns;
    NeedUpdate();
}

void CTileLayoutUI::SetChildVPadding(int padding)
{
    m_iChildVPadding = padding < 0 ? 0 : padding;
    NeedUpdate();
}

void CTileLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    if (!StartLayoutPass(rc, needInvalidate)) {
        return;
    }
    const SIZE scrollPos = GetScrollPos();
    const SIZE scrollRange = GetScrollRange();
    const int width = rc.right - rc.left;
    const int availableCx = width + scrollRange.cx;
    const int cxItem = m_szItem.cx;
    const int cyItem = m_szItem.cy;

    int count = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = GetItemAt(i);
        count += child->IsVisible() && !child->IsFloat() ? 1 : 0;
    }

    int gap = m_iChildPadding;
    int columns = 1;
    int cxNeeded = 0;
    if (m_nFixedColumns == 0) {
        // A cell without width fits no count of columns: one column then.
        if (cxItem <= 0 || width < cxItem) {
            columns = 1;
            cxNeeded = cxItem > 0 ? cxItem : width;
        } else {
            columns = width / cxItem;
            if (columns > 1 && gap < 1) {
                gap = (width - columns * cxItem) / (columns - 1);
            }
            if (gap < 0 || columns == 1) {
                gap = 0;
            }
            cxNeeded = width;
        }
    } else {
        columns = m_nFixedColumns;
        if (columns < 2) {
            gap = 0;
        } else if (gap < 1) {
            // With a horizontal scroll range the columns spread over the
            // scrolled width only when the visible width cannot hold them.
            const int room = width < cxItem * columns ? availableCx : width;
            gap = std::max(0, (room - cxItem * columns) / (columns - 1));
        }
        const int used = std::min(count, columns);
        cxNeeded = (used - 1) * gap + cxItem * used;
    }
    m_nColumns = columns;
    const int rows = (count - 1) / columns + 1;
    const int cyNeeded = ((count - 1) / columns) * m_iChildVPadding + cyItem * rows;

    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = LayoutChildAt(i);
        if (child == nullptr) {
            continue;  // a hidden child's cell stays empty
        }
        const int cellX = rc.left + (cxItem + gap) * (i % columns) - scrollPos.cx;
        const int cellY = rc.top + (cyItem + m_iChildVPadding) * (i / columns) - scrollPos.cy;
        // A child's padding is kept free inside its cell, once.
        const RECT pad = child->GetPadding();
        const int cxCell = cxItem - pad.left - pad.right;
        const int cyCell = cyItem - pad.top - pad.bottom;
        const int cx = std::max(0, std::min(cxCell, child->GetMaxWidth()));
        const int cy = std::max(0, std::min(cyCell, child->GetMaxHeight()));
        int dx = 0;
        if (m_iChildAlign == UICHILD_ALIGN_CENTER) {
            dx = (cxCell - cx) / 2;
        } else if (m_iChildAlign == UICHILD_ALIGN_RIGHT) {
            dx = cxCell - cx;
        }
        int dy = 0;
        if (m_iChildVAlign == UICHILD_VALIGN_VCENTER) {
            dy = (cyCell - cy) / 2;
        } else if (m_iChildVAlign == UICHILD_VALIGN_BOTTOM) {
            dy = cyCell - cy;
        }
        const int left = cellX + pad.left + dx;
        const int top = cellY + pad.top + dy;
        child->SetPos(RECT{left, top, left + cx, top + cy}, false);
    }
    ProcessScrollBar(rc, cxNeeded, cyNeeded);
}

void CTileLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"itemsize") == 0) {
        SetItemSize(ParseSize(value));
    } else if (name != nullptr && wcscmp(name, L"columns") == 0) {
        SetColumns(ParseInt(value));
    } else if (name != nullptr && wcscmp(name, L"childvpadding") == 0) {
        SetChildVPadding(ParseInt(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
