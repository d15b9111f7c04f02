#include "skinui/controls/text_ui.h"

#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

CTextUI::CTextUI() : m_nLinks(0), m_nHoverLink(-1)
{
    ZeroMemory(m_rcLinks, sizeof(m_rcLinks));
    m_uTextStyle = DT_WORDBREAK;
    m_rcTextPadding.left = 2;
    m_rcTextPadding.right = 2;
}

CTextUI::~CTextUI() {}

const wchar_t* CTextUI::GetClass() const { return L"Text"; }

LPVOID CTextUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Text") == 0) {
        return static_cast<CTextUI*>(this);
    }
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const { return IsEnabled() && m_nLinks > 0 ? UIFLAG_SETCURSOR : 0; }

RECT CTextUI::GetLinkRect(int index) const
{
    if (index < 0 || index >= m_nLinks) {
        return RECT{0, 0, 0, 0};
    }
    return m_rcLinks[index];
}

const CUiString* CTextUI::GetLinkContent(int index) const
{
    return index >= 0 && index < m_nLinks ? &m_sLinks[index] : nullptr;
}

int CTextUI::LinkAt(POINT pt) const
{
    for (int i = 0; i < m_nLinks; ++i) {
        if (::PtInRect(&m_rcLinks[i], pt)) {
            return i;
        }
    }
    return -1;
}

void CTextUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CLabelUI::DoEvent(event);
        }
        return;
    }
    const int link = LinkAt(event.ptMouse);
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (link >= 0 && IsEnabled()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (link >= 0 && IsEnabled()) {
            Invalidate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if (link >= 0 && IsEnabled()) {
            if (m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link));
            }
            return;
        }
        break;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEMOVE:
        if (m_nLinks > 0 && IsEnabled()) {
            if (link != m_nHoverLink) {
                m_nHoverLink = link;
                Invalidate();
                return;
            }
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (m_nLinks > 0 && IsEnabled() && m_nHoverLink >= 0) {
            if (m_nHoverLink < m_nLinks && ::PtInRect(&m_rcLinks[m_nHoverLink], event.ptMouse)) {
                if (m_pManager != nullptr) {
                    m_pManager->AddMouseLeaveNeeded(this);
                }
                return;
            }
            m_nHoverLink = -1;
            Invalidate();
            if (m_pManager != nullptr) {
                m_pManager->RemoveMouseLeaveNeeded(this);
            }
            return;
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CTextUI::PaintText(HDC hDC)
{
    if (m_sText.IsEmpty()) {
        m_nLinks = 0;
        return;
    }
    ResolveDefaultColors();
    RECT rc = GetTextRect();
    const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        m_nLinks = kMaxLinks;
        CDrawKit::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, m_rcLinks, m_sLinks, m_nLinks, m_iFont,
                               m_uTextStyle);
    } else {
        // Plain text has no links: none of an earlier mark-up text stays.
        m_nLinks = 0;
        CDrawKit::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
    if (m_nHoverLink >= m_nLinks) {
        m_nHoverLink = -1;
    }
}

}  // namespace SkinUI
