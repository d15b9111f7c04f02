#include "skinui/controls/list_info.h"

#include "skinui/controls/button_ui.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

DWORD* ListInfoColor(UiListInfo& info, const wchar_t* name)
{
    struct Entry {
        const wchar_t* name;
        DWORD UiListInfo::*field;
    };
    static const Entry kColors[] = {
        {L"itemtextcolor", &UiListInfo::dwTextColor},
        {L"itembkcolor", &UiListInfo::dwBkColor},
        {L"itemselectedtextcolor", &UiListInfo::dwSelectedTextColor},
        {L"itemselectedbkcolor", &UiListInfo::dwSelectedBkColor},
        {L"itemhottextcolor", &UiListInfo::dwHotTextColor},
        {L"itemhotbkcolor", &UiListInfo::dwHotBkColor},
        {L"itemdisabledtextcolor", &UiListInfo::dwDisabledTextColor},
        {L"itemdisabledbkcolor", &UiListInfo::dwDisabledBkColor},
        {L"itemhlinecolor", &UiListInfo::dwHLineColor},
        {L"itemvlinecolor", &UiListInfo::dwVLineColor},
    };
    for (const Entry& entry : kColors) {
        if (name != nullptr && wcscmp(name, entry.name) == 0) {
            return &(info.*entry.field);
        }
    }
    return nullptr;
}

UiDrawInfo* ListInfoImage(UiListInfo& info, const wchar_t* name)
{
    struct Entry {
        const wchar_t* name;
        UiDrawInfo UiListInfo::*field;
    };
    static const Entry kImages[] = {
        {L"itembkimage", &UiListInfo::diBk},
        {L"itemselectedimage", &UiListInfo::diSelected},
        {L"itemhotimage", &UiListInfo::diHot},
        {L"itemdisabledimage", &UiListInfo::diDisabled},
    };
    for (const Entry& entry : kImages) {
        if (name != nullptr && wcscmp(name, entry.name) == 0) {
            return &(info.*entry.field);
        }
    }
    return nullptr;
}

UINT ApplyAlignWords(UINT style, const wchar_t* value)
{
    if (value == nullptr) {
        return style;
    }
    if (wcsstr(value, L"left") != nullptr) {
        style &= ~(DT_CENTER | DT_RIGHT);
    }
    if (wcsstr(value, L"center") != nullptr) {
        style = (style & ~DT_RIGHT) | DT_CENTER;
    }
    if (wcsstr(value, L"right") != nullptr) {
        style = (style & ~DT_CENTER) | DT_RIGHT;
    }
    return style;
}

UINT ApplyVAlignWords(UINT style, const wchar_t* value)
{
    if (value == nullptr) {
        return style;
    }
    if (wcsstr(value, L"top") != nullptr) {
        style &= ~(DT_VCENTER | DT_BOTTOM);
    }
    if (wcsstr(value, L"vcenter") != nullptr) {
        style = (style & ~DT_BOTTOM) | DT_VCENTER;
    }
    if (wcsstr(value, L"bottom") != nullptr) {
        style = (style & ~DT_VCENTER) | DT_BOTTOM;
    }
    return style;
}

UINT ApplyMultiLine(UINT style, bool multiLine)
{
    return multiLine ? ((style & ~DT_SINGLELINE) | DT_WORDBREAK) : (style | DT_SINGLELINE);
}

bool ActivateListRow(CControlUI& row)
{
    if (!row.CControlUI::Activate()) {
        return false;
    }
    if (row.GetManager() != nullptr) {
        row.GetManager()->SendNotify(&row, L"itemactivate");
    }
    return true;
}

bool DoListRowActivation(CControlUI& row, const UiEvent& event)
{
    if (event.Type == UIEVENT_DBLCLICK) {
        if (row.IsEnabled()) {
            row.Activate();
            InvalidateListRow(row);
        }
        return true;
    }
    if (event.Type == UIEVENT_KEYDOWN && event.chKey == VK_RETURN && row.IsKeyboardEnabled() && row.IsEnabled()) {
        row.Activate();
        InvalidateListRow(row);
        return true;
    }
    return false;
}

bool DoListRowMouse(CControlUI& row, IListItemUI& item, UINT& buttonState, const UiEvent& event)
{
    CUiManager* manager = row.GetManager();
    const RECT& rcItem = row.GetPos();
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
        if (!row.IsEnabled()) {
            return false;
        }
        // The click first, then the selection it makes.
        if (manager != nullptr) {
            manager->SendNotify(&row, L"itemclick");
        }
        item.Select(true, true);
        InvalidateListRow(row);
        return true;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
        return true;
    case UIEVENT_MOUSEENTER:
        if (::PtInRect(&rcItem, event.ptMouse) && row.IsEnabled() && (buttonState & UISTATE_HOT) == 0) {
            buttonState |= UISTATE_HOT;
            InvalidateListRow(row);
        }
        return false;
    case UIEVENT_MOUSELEAVE:
        if (::PtInRect(&rcItem, event.ptMouse)) {
            if (manager != nullptr) {
                manager->AddMouseLeaveNeeded(&row);
            }
            return true;
        }
        if (row.IsEnabled() && (buttonState & UISTATE_HOT) != 0) {
            buttonState &= ~UISTATE_HOT;
            InvalidateListRow(row);
        }
        if (manager != nullptr) {
            manager->RemoveMouseLeaveNeeded(&row);
        }
        return false;
    default:
        return false;
    }
}

void DeselectHiddenListRow(CControlUI& row, bool& selected, IListOwnerUI* owner)
{
    if (!row.IsVisible() && selected) {
        selected = false;
        if (owner != nullptr) {
            owner->SelectItem(-1, false, true);
        }
    }
}

void InvalidateListRow(CControlUI& row)
{
    if (!row.IsVisible()) {
        return;
    }
    CControlUI* parent = row.GetParent();
    CContainerUI* container = parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(L"Container"))
                                                : nullptr;
    CUiManager* manager = row.GetManager();
    if (container == nullptr || manager == nullptr) {
        row.Invalidate();
        return;
    }
    RECT rcParent = container->GetPos();
    const RECT inset = container->GetInset();
    rcParent.left += inset.left;
    rcParent.top += inset.top;
    rcParent.right -= inset.right;
    rcParent.bottom -= inset.bottom;
    CScrollBarUI* vbar = container->GetVerticalScrollBar();
    if (vbar != nullptr && vbar->IsVisible()) {
        rcParent.right -= vbar->GetFixedWidth();
    }
    CScrollBarUI* hbar = container->GetHorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible()) {
        rcParent.bottom -= hbar->GetFixedHeight();
    }
    RECT rc;
    if (!::IntersectRect(&rc, &row.GetPos(), &rcParent)) {
        return;
    }
    for (CControlUI* ancestor = parent->GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
        if (!::IntersectRect(&rc, &rc, &ancestor->GetPos())) {
            return;
        }
    }
    manager->Invalidate(rc);
}

void PaintListRowBackground(HDC hDC, CControlUI& row, UiDrawInfo& ownImage, UiListInfo& info, const UiRowState& state,
                            bool containerRow)
{
    // Alternate rows of the plain parity show neither the list colour nor the list image.
    const bool plainRow = info.bAlternateBk && (state.drawIndex % 2) == info.uPlainParity;
    DWORD color = plainRow ? 0 : info.dwBkColor;
    if (!containerRow) {
        if (state.selected)
            color = info.dwSelectedBkColor;
        if (state.hot)
            color = info.dwHotBkColor;
        if (!state.enabled)
            color = info.dwDisabledBkColor;
    } else {
        if (state.hot && info.dwHotBkColor != 0)
            color = info.dwHotBkColor;
        if (state.selected && info.dwSelectedBkColor != 0)
            color = info.dwSelectedBkColor;
        if (!state.enabled && info.dwDisabledBkColor != 0)
            color = info.dwDisabledBkColor;
    }
    if (color != 0) {
        CDrawKit::DrawColor(hDC, row.GetPos(), row.GetAdjustColor(color));
    }

    UiDrawInfo* byState[3] = {};
    if (!containerRow) {
        byState[0] = !state.enabled ? &info.diDisabled : nullptr;
        byState[1] = state.hot ? &info.diHot : nullptr;
        byState[2] = state.selected ? &info.diSelected : nullptr;
    } else {
        byState[0] = !state.enabled ? &info.diDisabled : nullptr;
        byState[1] = state.selected ? &info.diSelected : nullptr;
        byState[2] = state.hot ? &info.diHot : nullptr;
    }
    for (UiDrawInfo* image : byState) {
        if (image != nullptr && row.DrawImage(hDC, *image)) {
            return;
        }
    }
    if (row.DrawImage(hDC, ownImage)) {
        return;
    }
    if (!plainRow) {
        row.DrawImage(hDC, info.diBk);
    }
}

}  // namespace SkinUI
