#include "skinui/controls/tab_layout_ui.h"

#include <algorithm>

#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

CTabLayoutUI::CTabLayoutUI() : m_iCurSel(-1) {}

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayout"; }

LPVOID CTabLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"TabLayout") == 0) {
        return static_cast<CTabLayoutUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

void CTabLayoutUI::TakePage(CControlUI* control)
{
    if (m_iCurSel == -1 && control->IsVisible()) {
        m_iCurSel = GetItemIndex(control);
    } else {
        control->SetVisible(false);
    }
}

bool CTabLayoutUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CTabLayoutUI::AddAt(CControlUI* control, int index)
{
    const int before = m_iCurSel;
    if (!CContainerUI::AddAt(control, index)) {
        return false;
    }
    TakePage(control);
    // The current page moved one place on.
    if (before != -1 && before >= index) {
        ++m_iCurSel;
    }
    return true;
}

bool CTabLayoutUI::Remove(CControlUI* control, bool doNotDestroy)
{
    if (control == nullptr) {
        return false;
    }
    const int index = GetItemIndex(control);
    if (!CContainerUI::Remove(control, doNotDestroy)) {
        return false;
    }
    if (index == m_iCurSel) {
        if (GetCount() > 0) {
            m_iCurSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_iCurSel = -1;
        }
        NeedParentUpdate();
    } else if (index < m_iCurSel) {
        --m_iCurSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll()
{
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(int index, bool sendNotify)
{
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    if (index == m_iCurSel) {
        return true;
    }
    const int old = m_iCurSel;
    m_iCurSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* page = GetItemAt(i);
        if (i == index) {
            page->SetVisible(true);
            page->SetFocus();
        } else {
            page->SetVisible(false);
        }
    }
    NeedParentUpdate();
    if (m_pManager != nullptr) {
        m_pManager->SetNextTabControl();
        if (sendNotify) {
            m_pManager->SendNotify(this, L"tabselect", static_cast<WPARAM>(m_iCurSel), static_cast<LPARAM>(old));
        }
    }
    return true;
}

void CTabLayoutUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    RECT inner = m_rcItem;
    inner.left += m_rcInset.left;
    inner.top += m_rcInset.top;
    inner.right -= m_rcInset.right;
    inner.bottom -= m_rcInset.bottom;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = LayoutChildAt(i);
        if (child == nullptr || i != m_iCurSel) {
            continue;
        }
        const RECT pad = child->GetPadding();
        const RECT room = {inner.left + pad.left, inner.top + pad.top, inner.right - pad.right,
                           inner.bottom - pad.bottom};
        const int cxRoom = room.right - room.left;
        const int cyRoom = room.bottom - room.top;
        SIZE sz = child->EstimateSize(CUiSize(cxRoom, cyRoom));
        if (sz.cx == 0) {
            sz.cx = std::max(0, cxRoom);
        }
        sz.cx = std::min<int>(std::max<int>(sz.cx, child->GetMinWidth()), child->GetMaxWidth());
        if (sz.cy == 0) {
            sz.cy = std::max(0, cyRoom);
        }
        sz.cy = std::min<int>(std::max<int>(sz.cy, child->GetMinHeight()), child->GetMaxHeight());
        child->SetPos(RECT{room.left, room.top, room.left + sz.cx, room.top + sz.cy}, false);
    }
}

void CTabLayoutUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"selectedid") == 0) {
        SelectItem(ParseInt(value));
    }
    CContainerUI::SetAttribute(name, value);
}

}  // namespace SkinUI
