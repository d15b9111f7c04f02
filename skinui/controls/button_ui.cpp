#include "skinui/controls/button_ui.h"

#include <vector>

#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// Frames of the four-state strip ("standardimage").
enum StandardFrame { kFrameNormal = 0, kFrameHot = 1, kFramePushed = 2, kFrameDisabled = 3 };

// Caption lines of a multi-line mark-up caption: 14 pixels high, 18 apart.
const int kCaptionLineHeight = 14;
const int kCaptionLineStep = 18;

}  // namespace

CButtonUI::CButtonUI()
    : m_uButtonState(0),
      m_bShowCursor(false),
      m_bShowRed(false),
      m_bDrawMulLine(false),
      m_dwHotBkColor(0),
      m_dwPushedBkColor(0),
      m_dwDisabledBkColor(0),
      m_dwHotTextColor(0),
      m_dwPushedTextColor(0),
      m_dwFocusedTextColor(0),
      m_dwHotBorderColor(0),
      m_uFadeAlpha(255),
      m_uFadeAlphaDelta(0)
{
    m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

CButtonUI::~CButtonUI() {}

const wchar_t* CButtonUI::GetClass() const { return L"Button"; }

LPVOID CButtonUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Button") == 0) {
        return static_cast<CButtonUI*>(this);
    }
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const
{
    UINT flags = IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0;
    if (IsEnabled() && m_bShowCursor) {
        flags |= UIFLAG_SETCURSOR;
    }
    return flags;
}

bool CButtonUI::Activate()
{
    if (!CLabelUI::Activate()) {
        return false;
    }
    if (m_pManager != nullptr) {
        m_pManager->SendNotify(this, L"click");
    }
    return true;
}

void CButtonUI::SetEnabled(bool enable)
{
    CLabelUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
    }
}

void CButtonUI::SetShowRed(bool show)
{
    m_bShowRed = show;
    Invalidate();
}

// ---- Input ----

void CButtonUI::StartFadeTimer()
{
    if (m_pManager != nullptr) {
        m_pManager->SetTimer(this, FADE_TIMER_ID, FADE_ELAPSE_MS);
    }
}

void CButtonUI::OnFadeTick()
{
    const BYTE delta = m_uFadeAlphaDelta;
    if ((m_uButtonState & UISTATE_HOT) != 0) {
        m_uFadeAlpha = m_uFadeAlpha > delta ? static_cast<BYTE>(m_uFadeAlpha - delta) : 0;
    } else {
        m_uFadeAlpha = m_uFadeAlpha < 255 - delta ? static_cast<BYTE>(m_uFadeAlpha + delta) : 255;
    }
    if ((m_uFadeAlpha == 0 || m_uFadeAlpha == 255) && m_pManager != nullptr) {
        m_pManager->KillTimer(this, FADE_TIMER_ID);
    }
    Invalidate();
}

void CButtonUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CLabelUI::DoEvent(event);
        }
        return;
    }
    const bool inside = ::PtInRect(&m_rcItem, event.ptMouse) != FALSE;
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_KEYDOWN:
        if (IsKeyboardEnabled() && IsEnabled() && (event.chKey == VK_SPACE || event.chKey == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (inside && IsEnabled()) {
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
            Invalidate();
            if (event.Type == UIEVENT_DBLCLICK && m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"doubblebuttonclick");
            }
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            if (inside) {
                m_uButtonState |= UISTATE_PUSHED;
            } else {
                m_uButtonState &= ~UISTATE_PUSHED;
            }
            Invalidate();
            return;
        }
        break;
    case UIEVENT_BUTTONUP:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            if (inside && IsEnabled()) {
                CLifeWatch watch(m_life);
                Activate();
                if (watch.IsDead()) {
                    return;  // the click handler closed the window
                }
            }
            m_uButtonState &= ~(UISTATE_PUSHED | UISTATE_CAPTURED);
            Invalidate();
            return;
        }
        break;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed() && IsEnabled() && m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
        }
        return;
    case UIEVENT_MOUSEENTER:
        if (inside && IsEnabled()) {
            if ((m_uButtonState & UISTATE_HOT) == 0) {
                m_uButtonState |= UISTATE_HOT;
                Invalidate();
            }
            if (m_uFadeAlphaDelta != 0) {
                StartFadeTimer();
            }
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (inside) {
            // Still over the button (a child window took the pointer): wait for the real leave.
            if (m_pManager != nullptr) {
                m_pManager->AddMouseLeaveNeeded(this);
            }
            return;
        }
        if (IsEnabled() && (m_uButtonState & UISTATE_HOT) != 0) {
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
        }
        if (m_pManager != nullptr) {
            m_pManager->RemoveMouseLeaveNeeded(this);
        }
        if (m_uFadeAlphaDelta != 0) {
            StartFadeTimer();
        }
        break;
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return;
    case UIEVENT_TIMER:
        if (event.wParam == FADE_TIMER_ID) {
            OnFadeTick();
            return;
        }
        break;
    case UIEVENT_RBUTTONDOWN:
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"rightbuttondown");
        }
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

// ---- Attributes ----

void CButtonUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    static const UiImageAttribute<UiDrawInfo CButtonUI::*> kImages[] = {
        {L"normalimage", L"normalEnlargeImage", &CButtonUI::m_diNormal},
        {L"hotimage", L"hotEnlargeImage", &CButtonUI::m_diHot},
        {L"pushedimage", L"pushedEnlargeImage", &CButtonUI::m_diPushed},
        {L"focusedimage", L"focusedEnlargeImage", &CButtonUI::m_diFocused},
        {L"disabledimage", L"disabledEnlargeImage", &CButtonUI::m_diDisabled},
        {L"hotforeimage", L"hotforeEnlargeImage", &CButtonUI::m_diHotFore},
        {L"standardimage", L"standardEnlargeImage", &CButtonUI::m_diStandard},
        {L"foreimage", L"foreEnlargeImage", &CButtonUI::m_diFore},
    };
    if (SetImageAttribute(*this, kImages, name, value)) {
        return;
    }
    if (wcscmp(name, L"redFilePath") == 0) {
        SetRedImage(value);
    } else if (wcscmp(name, L"redFilePathEnlarge") == 0) {
        // Replaces the badge itself, in enlarge mode only.
        if (CUiManager::IsEnlargeMode()) {
            SetRedImage(value);
        }
    } else if (wcscmp(name, L"fadedelta") == 0) {
        SetFadeAlphaDelta(static_cast<BYTE>(ParseInt(value)));
    } else if (wcscmp(name, L"hotbkcolor") == 0) {
        SetHotBkColor(ParseColor(value));
    } else if (wcscmp(name, L"pushbkcolor") == 0) {
        SetPushedBkColor(ParseColor(value));
    } else if (wcscmp(name, L"disabledbkcolor") == 0) {
        SetDisabledBkColor(ParseColor(value));
    } else if (wcscmp(name, L"hottextcolor") == 0) {
        SetHotTextColor(ParseColor(value));
    } else if (wcscmp(name, L"pushedtextcolor") == 0) {
        SetPushedTextColor(ParseColor(value));
    } else if (wcscmp(name, L"focusedtextcolor") == 0) {
        SetFocusedTextColor(ParseColor(value));
    } else if (wcscmp(name, L"showcursor") == 0) {
        m_bShowCursor = ParseBool(value);
    } else if (wcscmp(name, L"showred") == 0) {
        SetShowRed(ParseBool(value));
    } else if (wcscmp(name, L"drawmulline") == 0) {
        m_bDrawMulLine = ParseBool(value);
    } else if (wcscmp(name, L"hotbordercolor") == 0) {
        SetHotBorderColor(ParseColor(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

SIZE CButtonUI::EstimateSize(SIZE available)
{
    if (m_cxyFixed.cx != 0 && m_cxyFixed.cy != 0) {
        return m_cxyFixed;
    }
    return CLabelUI::EstimateSize(available);
}

// ---- Painting ----

void CButtonUI::RefreshStateBits()
{
    if (IsFocused()) {
        m_uButtonState |= UISTATE_FOCUSED;
    } else {
        m_uButtonState &= ~UISTATE_FOCUSED;
    }
    if (!IsEnabled()) {
        m_uButtonState |= UISTATE_DISABLED;
    } else {
        m_uButtonState &= ~UISTATE_DISABLED;
    }
}

void CButtonUI::PaintStatusBkColor(HDC hDC)
{
    RefreshStateBits();
    DWORD color = 0;
    if ((m_uButtonState & UISTATE_DISABLED) != 0) {
        color = m_dwDisabledBkColor;
    } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        color = m_dwPushedBkColor;
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        color = m_dwHotBkColor;
    }
    if (color != 0) {
        CDrawKit::DrawColor(hDC, m_rcPaint, GetAdjustColor(color));
    }
}

bool CButtonUI::DrawFaded(HDC hDC, UiDrawInfo& info, BYTE alpha)
{
    // Load first: the description's own fade is read at the first load.
    if (!DrawImage(nullptr, info)) {
        return false;
    }
    const BYTE own = info.uFade;
    info.uFade = static_cast<BYTE>(own * alpha / 255);
    bool drawn = DrawImage(hDC, info);
    info.uFade = own;
    return drawn;
}

void CButtonUI::PaintNormalImage(HDC hDC)
{
    if ((m_uButtonState & UISTATE_FOCUSED) != 0 && DrawImage(hDC, m_diFocused)) {
        return;
    }
    if (m_uFadeAlphaDelta != 0) {
        if (m_uFadeAlpha < 255) {
            DrawFaded(hDC, m_diHot, static_cast<BYTE>(255 - m_uFadeAlpha));
            DrawFaded(hDC, m_diNormal, m_uFadeAlpha);
        } else {
            DrawImage(hDC, m_diNormal);
        }
        return;
    }
    if (!DrawImage(hDC, m_diNormal)) {
        CDrawKit::DrawImageInfoFrame(hDC, m_pManager, m_rcItem, m_rcPaint, m_diStandard, kFrameNormal);
    }
}

void CButtonUI::PaintStatusImage(HDC hDC)
{
    RefreshStateBits();
    auto frame = [&](int index) {
        return CDrawKit::DrawImageInfoFrame(hDC, m_pManager, m_rcItem, m_rcPaint, m_diStandard, index);
    };
    if ((m_uButtonState & UISTATE_DISABLED) != 0) {
        if (!DrawImage(hDC, m_diDisabled) && !frame(kFrameDisabled)) {
            PaintNormalImage(hDC);
        }
    } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        if (!DrawImage(hDC, m_diPushed) && !frame(kFramePushed)) {
            DrawImage(hDC, m_diNormal);
        }
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        if (m_uFadeAlphaDelta != 0) {
            if (m_uFadeAlpha != 0) {
                DrawFaded(hDC, m_diNormal, m_uFadeAlpha);
                DrawFaded(hDC, m_diHot, static_cast<BYTE>(255 - m_uFadeAlpha));
            } else {
                DrawImage(hDC, m_diHot);
            }
        } else if (!DrawImage(hDC, m_diHot) && !frame(kFrameHot)) {
            DrawImage(hDC, m_diNormal);
        }
        if (DrawImage(hDC, m_diHotFore)) {
            return;  // the hot fore image replaces the fore image and the badge
        }
    } else {
        PaintNormalImage(hDC);
    }
    DrawImage(hDC, m_diFore);
    if (m_bShowRed) {
        DrawImage(hDC, m_diRed);
    }
}

void CButtonUI::PaintText(HDC hDC)
{
    RefreshStateBits();
    ResolveDefaultColors();
    if (m_sText.IsEmpty()) {
        return;
    }
    RECT rc = GetTextRect();
    DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if ((m_uButtonState & UISTATE_PUSHED) != 0 && m_dwPushedTextColor != 0) {
        color = m_dwPushedTextColor;
    } else if ((m_uButtonState & UISTATE_HOT) != 0 && m_dwHotTextColor != 0) {
        color = m_dwHotTextColor;
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0 && m_dwFocusedTextColor != 0) {
        color = m_dwFocusedTextColor;
    }
    if (!m_bShowHtml) {
        CDrawKit::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
        return;
    }
    int links = 0;
    if (m_bDrawMulLine) {
        // The caption's lines, each centred in a band of its own.
        std::vector<CUiString> lines;
        CUiString rest = m_sText;
        for (int at = rest.Find(L"<n>"); at >= 0; at = rest.Find(L"<n>")) {
            lines.push_back(rest.Left(at));
            rest = rest.Mid(at + 3);
        }
        lines.push_back(rest);
        const int count = static_cast<int>(lines.size());
        if (count >= 2) {
            int top = rc.top + (rc.bottom - rc.top - kCaptionLineStep * count + 4) / 2;
            for (int i = 0; i < count; ++i, top += kCaptionLineStep) {
                RECT line = {rc.left, top, rc.right, top + kCaptionLineHeight};
                links = 0;
                CDrawKit::DrawHtmlText(hDC, m_pManager, line, lines[i], color, nullptr, nullptr, links, m_iFont,
                                       m_uTextStyle);
            }
            return;
        }
    }
    CDrawKit::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, m_iFont, m_uTextStyle);
}

void CButtonUI::PaintBorder(HDC hDC)
{
    CLabelUI::PaintBorder(hDC);
    if ((m_uButtonState & UISTATE_HOT) != 0) {
        PaintBorderWithColor(hDC, m_dwHotBorderColor);
    }
}

}  // namespace SkinUI
