#include "skinui/controls/list_element_ui.h"

#include "skinui/controls/button_ui.h"
#include "skinui/controls/measure_dc.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

bool IsMouseEvent(const UiEvent& event) { return event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND; }

RECT Deflate(RECT rc, const RECT& padding)
{
    rc.left += padding.left;
    rc.top += padding.top;
    rc.right -= padding.right;
    rc.bottom -= padding.bottom;
    return rc;
}

}  // namespace

// ---- CListElementUI ----

CListElementUI::CListElementUI()
    : m_iIndex(-1), m_iDrawIndex(0), m_bSelected(false), m_uButtonState(0), m_pOwner(nullptr)
{
}

const wchar_t* CListElementUI::GetClass() const { return L"ListElement"; }

LPVOID CListElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"IListItem") == 0) {
        return static_cast<IListItemUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"ListElement") == 0) {
        return static_cast<CListElementUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

UINT CListElementUI::GetControlFlags() const { return UIFLAG_WANTRETURN; }

void CListElementUI::SetOwner(CControlUI* owner)
{
    if (owner != nullptr) {
        m_pOwner = static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner"));
    }
}

bool CListElementUI::Activate() { return ActivateListRow(*this); }

bool CListElementUI::Select(bool select, bool sendNotify)
{
    if (!IsEnabled()) {
        return false;
    }
    m_bSelected = select;
    // The owner is told every time: a row the skin marked selected before it
    // had an owner becomes the owner's selection at its first click.
    if (select && m_pOwner != nullptr) {
        m_pOwner->SelectItem(m_iIndex, false, sendNotify);
    }
    InvalidateListRow(*this);
    return true;
}

void CListElementUI::SetVisible(bool visible)
{
    CControlUI::SetVisible(visible);
    DeselectHiddenListRow(*this, m_bSelected, m_pOwner);
}

void CListElementUI::SetEnabled(bool enable)
{
    CControlUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
    }
}

void CListElementUI::PassToOwner(UiEvent& event)
{
    if (m_pOwner != nullptr) {
        m_pOwner->DoEvent(event);
    } else {
        CControlUI::DoEvent(event);
    }
}

void CListElementUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event)) {
        PassToOwner(event);
        return;
    }
    if (DoListRowActivation(*this, event)) {
        return;
    }
    PassToOwner(event);
}

void CListElementUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name != nullptr && wcscmp(name, L"selected") == 0) {
        Select(true, true);
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CListElementUI::PaintBackground(HDC hDC)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info == nullptr) {
        return;
    }
    const UiRowState state = {m_iDrawIndex, m_bSelected, (m_uButtonState & UISTATE_HOT) != 0, IsEnabled()};
    PaintListRowBackground(hDC, *this, m_diBk, *info, state, false);
}

DWORD CListElementUI::StateTextColor(const UiListInfo& info) const
{
    DWORD color = info.dwTextColor;
    if (m_bSelected)
        color = info.dwSelectedTextColor;
    if ((m_uButtonState & UISTATE_HOT) != 0)
        color = info.dwHotTextColor;
    if (!IsEnabled())
        color = info.dwDisabledTextColor;
    return color;
}

// ---- CListLabelElementUI ----

CListLabelElementUI::CListLabelElementUI()
    : m_cxyEstimate(),
      m_bNeedEstimate(true),
      m_szAvailableLast(),
      m_iItemHeightLast(0),
      m_iFontLast(-1),
      m_uTextStyleLast(0),
      m_rcTextPaddingLast(),
      m_iWidthLast(0)
{
}

const wchar_t* CListLabelElementUI::GetClass() const { return L"ListLabelElement"; }

LPVOID CListLabelElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListLabelElement") == 0) {
        return static_cast<CListLabelElementUI*>(this);
    }
    return CListElementUI::GetInterface(name);
}

void CListLabelElementUI::SetOwner(CControlUI* owner)
{
    m_bNeedEstimate = true;
    CListElementUI::SetOwner(owner);
}

void CListLabelElementUI::SetText(const wchar_t* text)
{
    m_bNeedEstimate = true;
    CListElementUI::SetText(text);
}

void CListLabelElementUI::SetFixedWidth(int cx)
{
    m_bNeedEstimate = true;
    CListElementUI::SetFixedWidth(cx);
}

void CListLabelElementUI::SetFixedHeight(int cy)
{
    m_bNeedEstimate = true;
    CListElementUI::SetFixedHeight(cy);
}

void CListLabelElementUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event)) {
        PassToOwner(event);
        return;
    }
    if (DoListRowMouse(*this, *this, m_uButtonState, event)) {
        return;
    }
    CListElementUI::DoEvent(event);
}

SIZE CListLabelElementUI::EstimateSize(SIZE available)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info == nullptr) {
        return CUiSize(0, 0);
    }
    if (m_cxyFixed.cx > 0) {
        if (m_cxyFixed.cy > 0) {
            return m_cxyFixed;
        }
        if (info->nItemHeight != 0) {
            return CUiSize(m_cxyFixed.cx, info->nItemHeight);
        }
    }
    const CUiString text = GetMeasuredText();
    int width = GetEstimateWidth(*info);
    const bool multiLine = (info->uTextStyle & DT_SINGLELINE) == 0;
    const RECT& pad = info->rcTextPadding;
    const bool stale = m_bNeedEstimate ||
                       (multiLine && (available.cx != m_szAvailableLast.cx || available.cy != m_szAvailableLast.cy)) ||
                       info->nItemHeight != m_iItemHeightLast || info->nFont != m_iFontLast ||
                       info->uTextStyle != m_uTextStyleLast || ::EqualRect(&pad, &m_rcTextPaddingLast) == FALSE ||
                       width != m_iWidthLast || text != m_sTextLast;
    if (!stale) {
        return m_cxyEstimate;
    }
    if (m_pManager == nullptr) {
        return CUiSize(width, m_cxyFixed.cy != 0 ? m_cxyFixed.cy : info->nItemHeight);  // no font to measure with yet
    }
    m_bNeedEstimate = false;
    m_szAvailableLast = available;
    m_iItemHeightLast = info->nItemHeight;
    m_iFontLast = info->nFont;
    m_uTextStyleLast = info->uTextStyle;
    m_rcTextPaddingLast = pad;
    m_iWidthLast = width;
    m_sTextLast = text;

    CMeasureDC dc(m_pManager, "CListLabelElementUI::EstimateSize");
    const UINT style = (info->uTextStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    // Measures the text into rc (left and top stay); no text measures empty.
    auto measure = [&](RECT& rc) {
        if (text.IsEmpty() || dc.Get() == nullptr) {
            rc.right = rc.left;
            rc.bottom = rc.top;
        } else if (info->bShowHtml) {
            int links = 0;
            CDrawKit::DrawHtmlText(dc.Get(), m_pManager, rc, text, 0, nullptr, nullptr, links, info->nFont, style);
        } else {
            CDrawKit::DrawText(dc.Get(), m_pManager, rc, text, 0, info->nFont, style);
        }
    };
    int height = m_cxyFixed.cy != 0 ? m_cxyFixed.cy : info->nItemHeight;
    if (multiLine) {
        if (width == 0) {
            width = available.cx;
        }
        RECT rc = {pad.left, 0, width - pad.right, 9999};
        measure(rc);
        height = pad.top + pad.bottom + (rc.bottom - rc.top);
    } else {
        if (height == 0) {
            height = m_pManager->GetFontInfo(info->nFont)->tm.tmHeight + 8 + pad.top + pad.bottom;
        }
        if (width == 0) {
            RECT rc = {0, 0, 9999, height};
            measure(rc);
            width = (rc.right - rc.left) + pad.left + pad.right;
        }
    }
    m_cxyEstimate = CUiSize(width, height);
    return m_cxyEstimate;
}

void CListLabelElementUI::DrawItemTextInColor(HDC hDC, const RECT& rc, DWORD color)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (m_sText.IsEmpty() || info == nullptr) {
        return;
    }
    RECT rcText = Deflate(rc, info->rcTextPadding);
    if (info->bShowHtml) {
        int links = 0;
        CDrawKit::DrawHtmlText(hDC, m_pManager, rcText, m_sText, color, nullptr, nullptr, links, info->nFont,
                               info->uTextStyle);
    } else {
        CDrawKit::DrawText(hDC, m_pManager, rcText, m_sText, color, info->nFont, info->uTextStyle);
    }
}

void CListLabelElementUI::DrawItemText(HDC hDC, const RECT& rc)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info != nullptr) {
        DrawItemTextInColor(hDC, rc, StateTextColor(*info));
    }
}

bool CListLabelElementUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    PaintBackground(hDC);
    DrawItemText(hDC, m_rcItem);
    return true;
}

// ---- CListTextElementUI ----

CListTextElementUI::CListTextElementUI() : m_nLinks(0), m_rcLinks(), m_nHoverLink(-1), m_pListOwner(nullptr) {}

const wchar_t* CListTextElementUI::GetClass() const { return L"ListTextElement"; }

LPVOID CListTextElementUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ListTextElement") == 0) {
        return static_cast<CListTextElementUI*>(this);
    }
    return CListLabelElementUI::GetInterface(name);
}

UINT CListTextElementUI::GetControlFlags() const
{
    return IsEnabled() && m_nLinks > 0 ? (UIFLAG_SETCURSOR | UIFLAG_WANTRETURN) : UIFLAG_WANTRETURN;
}

void CListTextElementUI::SetOwner(CControlUI* owner)
{
    CListLabelElementUI::SetOwner(owner);
    if (owner != nullptr) {
        m_pListOwner = static_cast<IListUI*>(owner->GetInterface(L"IList"));
    }
}

CUiString CListTextElementUI::GetText(int column) const
{
    if (column < 0 || column >= static_cast<int>(m_aTexts.size())) {
        return CUiString();
    }
    return m_aTexts[column];
}

void CListTextElementUI::SetText(int column, const wchar_t* text)
{
    if (column < 0) {
        return;
    }
    if (column >= static_cast<int>(m_aTexts.size())) {
        m_aTexts.resize(column + 1);
    }
    m_aTexts[column] = text;
    if (column == 0) {
        NeedParentUpdate();  // the row may measure differently
    }
    InvalidateListRow(*this);
}

RECT CListTextElementUI::GetLinkRect(int index) const
{
    return index >= 0 && index < m_nLinks ? m_rcLinks[index] : RECT{0, 0, 0, 0};
}

CUiString CListTextElementUI::ColumnText(int column)
{
    IListTextCallbackUI* callback = m_pListOwner != nullptr ? m_pListOwner->GetTextCallback() : nullptr;
    if (callback != nullptr) {
        return callback->GetItemText(this, m_iIndex, column);
    }
    CUiString text = GetText(column);
    if (column == 0 && text.IsEmpty()) {
        return m_sText;
    }
    return text;
}

CUiString CListTextElementUI::GetMeasuredText() { return ColumnText(0); }

int CListTextElementUI::GetEstimateWidth(const UiListInfo& info) const
{
    if (m_cxyFixed.cx == 0 && info.nColumns > 0) {
        return info.rcColumn[info.nColumns - 1].right - info.rcColumn[0].left;
    }
    return m_cxyFixed.cx;
}

int CListTextElementUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < m_nLinks; ++i) {
        if (::PtInRect(&m_rcLinks[i], pt)) {
            return i;
        }
    }
    return -1;
}

void CListTextElementUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && IsMouseEvent(event)) {
        if (m_pListOwner != nullptr) {
            m_pListOwner->DoEvent(event);
        } else {
            PassToOwner(event);
        }
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (LinkAt(event.ptMouse) >= 0) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (IsEnabled()) {
            const int link = LinkAt(event.ptMouse);
            if (link >= 0) {
                if (m_pManager != nullptr) {
                    m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link));
                }
                return;
            }
        }
        break;
    case UIEVENT_MOUSEMOVE:
        if (m_nLinks > 0) {
            const int hover = LinkAt(event.ptMouse);
            if (hover != m_nHoverLink) {
                m_nHoverLink = hover;
                InvalidateListRow(*this);
            }
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (m_nHoverLink >= 0) {
            if (::PtInRect(&m_rcLinks[m_nHoverLink], event.ptMouse)) {
                if (m_pManager != nullptr) {
                    m_pManager->AddMouseLeaveNeeded(this);
                }
                return;
            }
            m_nHoverLink = -1;
            InvalidateListRow(*this);
            if (m_pManager != nullptr) {
                m_pManager->RemoveMouseLeaveNeeded(this);
            }
        }
        break;
    default:
        break;
    }
    CListLabelElementUI::DoEvent(event);
}

void CListTextElementUI::DrawItemText(HDC hDC, const RECT& rc)
{
    UiListInfo* info = m_pOwner != nullptr ? m_pOwner->GetListInfo() : nullptr;
    if (info == nullptr) {
        return;
    }
    const DWORD color = StateTextColor(*info);
    m_nLinks = 0;
    auto drawCell = [&](const RECT& cell, const CUiString& text) {
        RECT rcText = Deflate(cell, info->rcTextPadding);
        if (!info->bShowHtml) {
            CDrawKit::DrawText(hDC, m_pManager, rcText, text, color, info->nFont, info->uTextStyle);
            return;
        }
        // The cell's links go into the slots still free.
        int links = MAX_LINKS - m_nLinks;
        RECT* rcLinks = links > 0 ? &m_rcLinks[m_nLinks] : nullptr;
        CUiString* linkTexts = links > 0 ? &m_sLinks[m_nLinks] : nullptr;
        CDrawKit::DrawHtmlText(hDC, m_pManager, rcText, text, color, rcLinks, linkTexts, links, info->nFont,
                               info->uTextStyle);
        m_nLinks += links;
    };
    if (info->nColumns <= 0) {
        drawCell(rc, ColumnText(0));
    }
    for (int i = 0; i < info->nColumns; ++i) {
        RECT cell = {info->rcColumn[i].left, rc.top, info->rcColumn[i].right, rc.bottom};
        if (info->iVLineSize > 0 && i < info->nColumns - 1) {
            const int x = cell.right - info->iVLineSize / 2;
            RECT line = {x, rc.top, x, rc.bottom};
            CDrawKit::DrawLine(hDC, line, info->iVLineSize, GetAdjustColor(info->dwVLineColor));
            cell.right -= info->iVLineSize;
        }
        drawCell(cell, ColumnText(i));
    }
    for (int i = m_nLinks; i < MAX_LINKS; ++i) {
        m_rcLinks[i] = RECT{0, 0, 0, 0};
        m_sLinks[i].Empty();
    }
}

}  // namespace SkinUI
