#include "skinui/controls/list_container_element_ui.h"

#include "skinui/controls/button_ui.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

// ---- CListContainerElementUI ----

CListContainerElementUI::CListContainerElementUI()
    : m_iIndex(-1),
      m_iDrawIndex(0),
      m_bSelected(false),
      m_bExpandable(false),
      m_bExpanded(false),
      m_uButtonState(0),
      m_pOwner(nullptr)
{
}

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElement"; }

LPVOID CListContainerElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"IListItem") == 0) {
        return static_cast<IListItemUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"ListContainerElement") == 0) {
        return static_cast<CListContainerElementUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CListContainerElementUI::GetControlFlags() const { return UIFLAG_WANTRETURN; }

void CListContainerElementUI::SetOwner(CControlUI* owner)
{
    if (owner != nullptr) {
        m_pOwner = static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner"));
    }
}

bool CListContainerElementUI::Activate() { return ActivateListRow(*this); }

bool CListContainerElementUI::Select(bool select, bool sendNotify)
{
    if (!IsEnabled()) {
        return false;
    }
    m_bSelected = select;
    if (select && m_pOwner != nullptr) {
        m_pOwner->SelectItem(m_iIndex, sendNotify, true);
    }
    InvalidateListRow(*this);
    return true;
}

bool CListContainerElementUI::Expand(bool expand)
{
    if (m_pOwner == nullptr) {
        return false;
    }
    if (expand == m_bExpanded) {
        return true;
    }
    m_bExpanded = expand;
    if (m_bExpandable) {
        if (!m_pOwner->ExpandItem(m_iIndex, expand)) {
            return false;
        }
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, expand ? L"itemexpand" : L"itemcollapse");
        }
    }
    return true;
}

void CListContainerElementUI::SetVisible(bool visible)
{
    CContainerUI::SetVisible(visible);
    DeselectHiddenListRow(*this, m_bSelected, m_pOwner);
}

void CListContainerElementUI::SetEnabled(bool enable)
{
    CContainerUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
    }
}

void CListContainerElementUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pOwner != nullptr) {
            m_pOwner->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    if (DoListRowActivation(*this, event) || DoListRowMouse(*this, *this, m_uButtonState, event)) {
        return;
    }
    if (m_pOwner != nullptr) {
        m_pOwner->DoEvent(event);
    } else {
        CControlUI::DoEvent(event);
    }
}

void CListContainerElementUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"selected") == 0) {
        Select(true, true);
    } else if (name != nullptr && wcscmp(name, L"expandable") == 0) {
        SetExpandable(ParseBool(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

SIZE CListContainerElementUI::EstimateSize(SIZE available)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info == nullptr || m_cxyFixed.cy != 0) {
        return m_cxyFixed;
    }
    return CUiSize(m_cxyFixed.cx, info->nItemHeight);
}

void CListContainerElementUI::PaintBackground(HDC hDC)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info == nullptr) {
        return;
    }
    const UiRowState state = {m_iDrawIndex, m_bSelected, (m_uButtonState & UISTATE_HOT) != 0, IsEnabled()};
    PaintListRowBackground(hDC, *this, m_diBk, *info, state, true);
}

bool CListContainerElementUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    PaintBackground(hDC);
    return CContainerUI::DoPaint(hDC, rcPaint, stopControl);
}

// ---- CListHBoxElementUI ----

const wchar_t* CListHBoxElementUI::GetClass() const { return L"ListHBoxElement"; }

LPVOID CListHBoxElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHBoxElement") == 0) {
        return static_cast<CListHBoxElementUI*>(this);
    }
    return CListContainerElementUI::GetInterface(name);
}

void CListHBoxElementUI::SetPos(RECT rc, bool needInvalidate)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info == nullptr) {
        CListContainerElementUI::SetPos(rc, needInvalidate);
        return;
    }
    CControlUI::SetPos(rc, needInvalidate);
    int column = 0;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = LayoutChildAt(i);
        if (child == nullptr) {
            continue;
        }
        const RECT pad = child->GetPadding();
        RECT rcChild;
        if (info->nColumns <= 0) {
            rcChild = {m_rcItem.left + pad.left, m_rcItem.top + pad.top, m_rcItem.right - pad.right,
                       m_rcItem.bottom - pad.bottom};
        } else if (column < info->nColumns) {
            const RECT& cell = info->rcColumn[column];
            rcChild = {cell.left + pad.left, m_rcItem.top + pad.top, cell.right - pad.right,
                       m_rcItem.bottom - pad.bottom};
            if (column < info->nColumns - 1) {
                rcChild.right -= info->iVLineSize;
            }
            ++column;
        } else {
            continue;  // past the last column: not placed
        }
        child->SetPos(rcChild, false);
    }
}

bool CListHBoxElementUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    PaintBackground(hDC);
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info != nullptr && info->iVLineSize > 0) {
        for (int i = 0; i < info->nColumns - 1; ++i) {
            const int x = info->rcColumn[i].right - info->iVLineSize / 2;
            RECT line = {x, m_rcItem.top, x, m_rcItem.bottom};
            CDrawKit::DrawLine(hDC, line, info->iVLineSize, GetAdjustColor(info->dwVLineColor));
        }
    }
    return CContainerUI::DoPaint(hDC, rcPaint, stopControl);
}

}  // namespace SkinUI
