#include "skinui/controls/list_header_ui.h"

#include <algorithm>

#include "skinui/controls/button_ui.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/list_info.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

// ---- Header ----

const wchar_t* CListHeaderUI::GetClass() const { return L"ListHeader"; }

LPVOID CListHeaderUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHeader") == 0) {
        return this;
    }
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::EstimateSize(SIZE available)
{
    SIZE size = {0, m_cxyFixed.cy};
    if (size.cy == 0 && m_pManager != nullptr) {
        for (int i = 0; i < m_items.GetSize(); ++i) {
            size.cy = std::max<LONG>(size.cy, ChildAt(i)->EstimateSize(available).cy);
        }
        size.cy = std::max<LONG>(size.cy, m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8);
    }
    for (int i = 0; i < m_items.GetSize(); ++i) {
        size.cx += ChildAt(i)->EstimateSize(available).cx;
    }
    return size;
}

// ---- Header item ----

CListHeaderItemUI::CListHeaderItemUI()
    : m_ptLastMouse(),
      m_bDragable(true),
      m_uButtonState(0),
      m_iSepWidth(4),
      m_dwTextColor(0),
      m_dwSepColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
      m_bShowHtml(false),
      m_rcTextPadding{2, 0, 2, 0}
{
    SetMinWidth(16);
}

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItem"; }

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListHeaderItem") == 0) {
        return this;
    }
    return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const { return IsEnabled() && m_iSepWidth != 0 ? UIFLAG_SETCURSOR : 0; }

void CListHeaderItemUI::SetEnabled(bool enable)
{
    CControlUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
    }
}

RECT CListHeaderItemUI::GetThumbRect() const
{
    if (m_iSepWidth >= 0) {
        return {m_rcItem.right - m_iSepWidth, m_rcItem.top, m_rcItem.right, m_rcItem.bottom};
    }
    return {m_rcItem.left, m_rcItem.top, m_rcItem.left - m_iSepWidth, m_rcItem.bottom};
}

void CListHeaderItemUI::SetDragable(bool dragable)
{
    m_bDragable = dragable;
    if (!m_bDragable) {
        m_uButtonState &= ~UISTATE_CAPTURED;
    }
}

void CListHeaderItemUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    Invalidate();
}

void CListHeaderItemUI::SetSepColor(DWORD color)
{
    m_dwSepColor = color;
    Invalidate();
}

void CListHeaderItemUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = rc;
    Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool showHtml)
{
    if (m_bShowHtml == showHtml) {
        return;
    }
    m_bShowHtml = showHtml;
    Invalidate();
}

void CListHeaderItemUI::RelayoutList()
{
    if (m_pParent != nullptr) {
        m_pParent->NeedParentUpdate();
    }
}

void CListHeaderItemUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    const RECT thumb = GetThumbRect();
    const bool inThumb = ::PtInRect(&thumb, event.ptMouse) != FALSE;
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (!IsEnabled()) {
            break;
        }
        if (!inThumb) {
            m_uButtonState |= UISTATE_PUSHED;
            if (m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"headerclick");
            }
            Invalidate();
        } else if (m_bDragable) {
            m_uButtonState |= UISTATE_CAPTURED;
            m_ptLastMouse = event.ptMouse;
        }
        return;
    case UIEVENT_BUTTONUP:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            m_uButtonState &= ~UISTATE_CAPTURED;
            RelayoutList();
        } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
            m_uButtonState &= ~UISTATE_PUSHED;
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            RECT rc = m_rcItem;
            const int dx = event.ptMouse.x - m_ptLastMouse.x;
            if (m_iSepWidth < 0) {
                rc.left += dx;
            } else {
                rc.right += dx;
            }
            // A move that would reach the min width is ignored: the drag
            // goes on from where the width stopped.
            const int width = rc.right - rc.left;
            if (width > GetMinWidth()) {
                m_cxyFixed.cx = width;
                m_ptLastMouse = event.ptMouse;
                RelayoutList();
            }
            return;
        }
        break;
    case UIEVENT_SETCURSOR:
        if (IsEnabled() && m_bDragable && inThumb) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled() && (m_uButtonState & UISTATE_HOT) == 0) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (::PtInRect(&m_rcItem, event.ptMouse)) {
            if (m_pManager != nullptr) {
                m_pManager->AddMouseLeaveNeeded(this);
            }
            return;
        }
        if ((m_uButtonState & UISTATE_HOT) != 0) {
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
        }
        if (m_pManager != nullptr) {
            m_pManager->RemoveMouseLeaveNeeded(this);
        }
        break;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

void CListHeaderItemUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    static const UiImageAttribute<UiDrawInfo CListHeaderItemUI::*> kImages[] = {
        {L"normalimage", nullptr, &CListHeaderItemUI::m_diNormal},
        {L"hotimage", nullptr, &CListHeaderItemUI::m_diHot},
        {L"pushedimage", nullptr, &CListHeaderItemUI::m_diPushed},
        {L"focusedimage", nullptr, &CListHeaderItemUI::m_diFocused},
        {L"sepimage", nullptr, &CListHeaderItemUI::m_diSep},
    };
    if (SetImageAttribute(*this, kImages, name, value)) {
        return;
    }
    if (wcscmp(name, L"dragable") == 0) {
        SetDragable(ParseBool(value));
    } else if (wcscmp(name, L"align") == 0) {
        SetTextStyle(ApplyAlignWords(m_uTextStyle, value));
    } else if (wcscmp(name, L"valign") == 0) {
        SetTextStyle(ApplyVAlignWords(m_uTextStyle, value));
    } else if (wcscmp(name, L"endellipsis") == 0) {
        SetTextStyle(ParseBool(value) ? (m_uTextStyle | DT_END_ELLIPSIS) : (m_uTextStyle & ~DT_END_ELLIPSIS));
    } else if (wcscmp(name, L"multiline") == 0) {
        SetTextStyle(ApplyMultiLine(m_uTextStyle, ParseBool(value)));
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(ParseInt(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        SetTextColor(ParseColor(value));
    } else if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRect(value));
    } else if (wcscmp(name, L"showhtml") == 0) {
        SetShowHtml(ParseBool(value));
    } else if (wcscmp(name, L"sepwidth") == 0) {
        SetSepWidth(ParseInt(value));
    } else if (wcscmp(name, L"sepcolor") == 0) {
        SetSepColor(ParseColor(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CListHeaderItemUI::PaintStatusImage(HDC hDC)
{
    if (IsFocused()) {
        m_uButtonState |= UISTATE_FOCUSED;
    } else {
        m_uButtonState &= ~UISTATE_FOCUSED;
    }
    UiDrawInfo* state = nullptr;
    if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        state = &m_diPushed;
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        state = &m_diHot;
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0) {
        state = &m_diFocused;
    }
    if (state == nullptr || !DrawImage(hDC, *state)) {
        DrawImage(hDC, m_diNormal);
    }

    if (m_iSepWidth <= 0) {
        return;
    }
    const RECT thumb = GetThumbRect();
    // The separator image goes into the strip, given relative to the item.
    if (DrawImage(nullptr, m_diSep) && m_diSep.pImageInfo != nullptr) {
        m_diSep.rcDest = {thumb.left - m_rcItem.left, thumb.top - m_rcItem.top, thumb.right - m_rcItem.left,
                          thumb.bottom - m_rcItem.top};
        if (DrawImage(hDC, m_diSep)) {
            return;
        }
    }
    if (m_dwSepColor != 0) {
        const int x = thumb.left + m_iSepWidth / 2;
        RECT line = {x, thumb.top, x, thumb.bottom};
        CDrawKit::DrawLine(hDC, line, m_iSepWidth, GetAdjustColor(m_dwSepColor));
    }
}

void CListHeaderItemUI::PaintText(HDC hDC)
{
    if (m_sText.IsEmpty()) {
        return;
    }
    DWORD color = m_dwTextColor;
    if (color == 0 && m_pManager != nullptr) {
        color = m_pManager->GetDefaultFontColor();
    }
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    if (m_bShowHtml) {
        int links = 0;
        CDrawKit::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, m_iFont, m_uTextStyle);
    } else {
        CDrawKit::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

}  // namespace SkinUI
