#include "skinui/controls/list_body_ui.h"

#include <algorithm>

#include "skinui/controls/layout_limits.h"
#include "skinui/controls/list_header_ui.h"
#include "skinui/controls/list_ui.h"
#include "skinui/controls/scroll_bar_ui.h"

namespace SkinUI {

namespace {

bool RectsMeet(const RECT& a, const RECT& b)
{
    RECT tmp;
    return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

}  // namespace

CListBodyUI::CListBodyUI(CListUI* owner) : m_pOwner(owner) {}

void CListBodyUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    rc = GetContentRect();
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;

    int availableCx = rc.right - rc.left + GetScrollRange().cx;
    const int availableCy = rc.bottom - rc.top;
    const int gap = m_iChildPadding + (info != nullptr ? info->iHLineSize : 0);
    if (info != nullptr && info->nColumns > 0) {
        availableCx = info->rcColumn[info->nColumns - 1].right - info->rcColumn[0].left;
    }

    // The widest row, or the header's width when there is one.
    int cxNeeded = 0;
    int rows = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* row = ChildAt(i);
        if (!row->IsVisible() || row->IsFloat()) {
            continue;
        }
        SIZE sz = row->EstimateSize(CUiSize(availableCx, availableCy));
        sz.cx = LayoutClamp(std::max<int>(sz.cx, 0), row->GetMinWidth(), row->GetMaxWidth());
        cxNeeded = std::max<int>(cxNeeded, sz.cx);
        ++rows;
    }
    CListHeaderUI* header = m_pOwner != nullptr ? m_pOwner->GetHeader() : nullptr;
    if (header != nullptr && header->GetCount() > 0) {
        cxNeeded = std::max<int>(0, header->EstimateSize(CUiSize(rc.right - rc.left, availableCy)).cx);
    }

    // Each row at the height it estimates; its rectangle takes its bottom padding in.
    const SIZE scrollPos = GetScrollPos();
    const int x = rc.left - scrollPos.cx;
    int y = rc.top - scrollPos.cy;
    int remaining = availableCy;
    int cyNeeded = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* row = LayoutChildAt(i);
        if (row == nullptr) {
            continue;
        }
        const RECT pad = row->GetPadding();
        remaining -= pad.top;
        const int cxRoom = availableCx - pad.left - pad.right;
        const int cxLimit = std::min(LayoutLimitWidth(row), cxRoom);
        SIZE sz = row->EstimateSize(CUiSize(cxLimit, std::min(LayoutLimitHeight(row), remaining)));
        const int cy = LayoutClamp(sz.cy, row->GetMinHeight(), row->GetMaxHeight());
        int cx = row->GetMaxWidth();
        if (cx == 0) {
            cx = cxRoom;
        }
        cx = std::max(std::min(std::max(cx, 0), cxLimit), row->GetMinWidth());
        RECT rcRow = {x + pad.left, y + pad.top, x + pad.left + cx, y + pad.top + cy + pad.bottom};
        row->SetPos(rcRow, false);
        y += pad.top + cy + pad.bottom + gap;
        cyNeeded += pad.top + cy + pad.bottom;
        remaining -= pad.bottom + cy + gap;
    }
    ProcessScrollBar(rc, cxNeeded, cyNeeded + std::max(0, rows - 1) * gap);
}

void CListBodyUI::DoEvent(UiEvent& event)
{
    if (m_pOwner == nullptr) {
        CControlUI::DoEvent(event);
        return;
    }
    // The wheel over the horizontal bar scrolls sideways; the list takes everything else.
    if (event.Type == UIEVENT_SCROLLWHEEL && IsMouseEnabled()) {
        CScrollBarUI* hbar = GetHorizontalScrollBar();
        if (hbar != nullptr && hbar->IsVisible() && hbar->IsEnabled() && ::PtInRect(&hbar->GetPos(), event.ptMouse)) {
            if (event.wParam == 0) {
                m_pOwner->LineLeft();
            } else {
                m_pOwner->LineRight();
            }
            return;
        }
    }
    m_pOwner->DoEvent(event);
}

void CListBodyUI::SetScrollPos(SIZE szPos)
{
    const int oldX = GetScrollPos().cx;
    CVerticalLayoutUI::SetScrollPos(szPos);
    const int dx = GetScrollPos().cx - oldX;
    // The header follows sideways only: its items stay on their row.
    if (dx != 0 && m_pOwner != nullptr) {
        m_pOwner->ShiftColumns(dx);
    }
}

bool CListBodyUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    return PaintListRows(*this, hDC, rcPaint, stopControl, GetContentRect(),
                         m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr);
}

bool PaintListRows(CContainerUI& rows, HDC hDC, const RECT& rcPaint, CControlUI* stopControl, const RECT& rcContent,
                   UiListInfo* info)
{
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcPaint, &rows.GetPos())) {
        return true;
    }
    CDrawClip clip;
    CDrawClip::GenerateClip(hDC, rcTemp, clip);
    rows.CControlUI::DoPaint(hDC, rcPaint, stopControl);

    RECT rcShown;
    const bool contentPainted = ::IntersectRect(&rcShown, &rcPaint, &rcContent) != FALSE;
    int drawIndex = 0;
    for (int i = 0; i < rows.GetCount(); ++i) {
        CControlUI* row = rows.GetItemAt(i);
        if (row == stopControl) {
            return false;
        }
        if (!row->IsVisible()) {
            continue;
        }
        const RECT& rc = row->GetPos();
        if (row->IsFloat()) {
            if (RectsMeet(rcPaint, rc) && !row->Paint(hDC, rcPaint, stopControl)) {
                return false;
            }
            continue;
        }
        if (!contentPainted) {
            continue;
        }
        if (IListItemUI* item = static_cast<IListItemUI*>(row->GetInterface(L"IListItem"))) {
            item->SetDrawIndex(drawIndex++);
        }
        if (info != nullptr && info->iHLineSize > 0) {
            const int top = rc.bottom + row->GetPadding().bottom;
            const RECT band = {rc.left, top, rc.right, top + info->iHLineSize};
            if (RectsMeet(band, rcPaint)) {
                const int y = top + info->iHLineSize / 2;
                RECT line = {rc.left, y, rc.right, y};
                CDrawKit::DrawLine(hDC, line, info->iHLineSize, rows.GetAdjustColor(info->dwHLineColor));
            }
        }
        if (RectsMeet(rcPaint, rc)) {
            CDrawClip rowClip;
            CDrawClip::GenerateClip(hDC, rcShown, rowClip);
            if (!row->Paint(hDC, rcPaint, stopControl)) {
                return false;
            }
        }
    }
    return rows.PaintScrollBars(hDC, rcPaint, stopControl);
}

}  // namespace SkinUI
