#include "skinui/controls/label_ui.h"

#include <stdlib.h>
#include <wchar.h>

#include "skinui/controls/measure_dc.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

int ScaleForEnlarge(int value)
{
    if (!CUiManager::IsEnlargeMode()) {
        return value;
    }
    return static_cast<int>(static_cast<float>(value) * CUiManager::GetEnlargeScale());
}

}  // namespace

CLabelUI::CLabelUI()
    : m_dwTextColor(0),
      m_dwDisabledTextColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_VCENTER | DT_SINGLELINE),
      m_rcTextPadding(),
      m_bShowHtml(false),
      m_szAvailableLast(),
      m_cxyFixedLast(),
      m_iMinWidthEx(0),
      m_iMaxWidthEx(0),
      m_bNeedEstimateSize(true),
      m_fLuminousFuzzy(3.0f),
      m_iGradientLength(0),
      m_iGradientAngle(0),
      m_bEnableEffect(false),
      m_bEnableLuminous(false),
      m_bEnableStroke(false),
      m_bEnableShadow(false),
      m_dwTextColor1(0xFFFFFFFF),
      m_dwTextShadowColorA(0xFF000000),
      m_dwTextShadowColorB(0xFFFFFFFF),
      m_dwStrokeColor(0),
      m_ShadowOffset{0.0f, 0.0f}
{
}

CLabelUI::~CLabelUI() {}

const wchar_t* CLabelUI::GetClass() const { return L"Label"; }

LPVOID CLabelUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Label") == 0) {
        return static_cast<CLabelUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const wchar_t* text)
{
    m_bNeedEstimateSize = true;
    CControlUI::SetText(text);
}

void CLabelUI::SetFixedWidth(int cx)
{
    m_bNeedEstimateSize = true;
    CControlUI::SetFixedWidth(cx);
}

void CLabelUI::SetFixedHeight(int cy)
{
    m_bNeedEstimateSize = true;
    CControlUI::SetFixedHeight(cy);
}

void CLabelUI::DoEvent(UiEvent& event)
{
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    CControlUI::DoEvent(event);
}

// ---- Setters ----

void CLabelUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color)
{
    m_dwDisabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetFont(int index)
{
    m_iFont = CUiManager::IsEnlargeMode() ? index + CUiManager::GetEnlargeFontOffset() : index;
    m_bNeedEstimateSize = true;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = {ScaleForEnlarge(rc.left), ScaleForEnlarge(rc.top), ScaleForEnlarge(rc.right),
                       ScaleForEnlarge(rc.bottom)};
    m_bNeedEstimateSize = true;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool showHtml)
{
    if (m_bShowHtml == showHtml) {
        return;
    }
    m_bShowHtml = showHtml;
    m_bNeedEstimateSize = true;
    Invalidate();
}

void CLabelUI::SetMultiLine(bool multiLine)
{
    if (multiLine) {
        m_uTextStyle &= ~DT_SINGLELINE;
        m_uTextStyle |= DT_WORDBREAK;
    } else {
        m_uTextStyle |= DT_SINGLELINE;
    }
    m_bNeedEstimateSize = true;
}

void CLabelUI::SetMinWidthEx(int cx) { m_iMinWidthEx = ScaleForEnlarge(cx); }
void CLabelUI::SetMaxWidthEx(int cx) { m_iMaxWidthEx = ScaleForEnlarge(cx); }

void CLabelUI::SetEnabledEffect(bool enable)
{
    m_bEnableEffect = enable;
    Invalidate();
}

void CLabelUI::SetEnabledLuminous(bool enable)
{
    m_bEnableLuminous = enable;
    Invalidate();
}

void CLabelUI::SetEnabledStroke(bool enable)
{
    m_bEnableStroke = enable;
    Invalidate();
}

void CLabelUI::SetEnabledShadow(bool enable)
{
    m_bEnableShadow = enable;
    Invalidate();
}

void CLabelUI::SetLuminousFuzzy(float fuzzy)
{
    if (fuzzy < 0.0001f) {
        return;
    }
    m_fLuminousFuzzy = fuzzy;
    Invalidate();
}

void CLabelUI::SetGradientAngle(int angle)
{
    m_iGradientAngle = angle;
    Invalidate();
}

void CLabelUI::SetGradientLength(int length)
{
    m_iGradientLength = length;
    Invalidate();
}

void CLabelUI::SetShadowOffset(float distance, int angle)
{
    if (angle < -180 || angle > 180) {
        return;
    }
    // Relative to the text: the control's position is added at paint time.
    if (angle >= 0) {
        m_ShadowOffset.x = -distance;
    } else if (angle > -180) {
        m_ShadowOffset.x = distance;
    } else {
        m_ShadowOffset.x = 0.0f;
    }
    if (angle >= -89 && angle <= 90) {
        m_ShadowOffset.y = -distance;
    } else if (angle == -90) {
        m_ShadowOffset.y = 0.0f;
    } else {
        m_ShadowOffset.y = distance;
    }
    Invalidate();
}

void CLabelUI::SetTextColor1(DWORD color)
{
    m_dwTextColor1 = color;
    Invalidate();
}

void CLabelUI::SetTextShadowColorA(DWORD color)
{
    m_dwTextShadowColorA = color;
    Invalidate();
}

void CLabelUI::SetTextShadowColorB(DWORD color)
{
    m_dwTextShadowColorB = color;
    Invalidate();
}

void CLabelUI::SetStrokeColor(DWORD color)
{
    m_dwStrokeColor = color;
    Invalidate();
}

bool CLabelUI::ReplaceImage(UiDrawInfo& info, const wchar_t* description, bool enlarge)
{
    if (enlarge && !CUiManager::IsEnlargeMode()) {
        return false;
    }
    CUiString& target = enlarge ? info.sEnlargeDrawString : info.sDrawString;
    if (target == description && info.pImageInfo != nullptr) {
        return false;
    }
    CUiString normal = info.sDrawString;
    CUiString large = info.sEnlargeDrawString;
    info.Clear();
    info.sDrawString = enlarge ? normal : CUiString(description);
    info.sEnlargeDrawString = enlarge ? CUiString(description) : large;
    return true;
}

// ---- Attributes ----

void CLabelUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"align") == 0) {
        // Each word is tested in turn: the last one found wins.
        if (wcsstr(value, L"left") != nullptr) {
            m_uTextStyle &= ~(DT_CENTER | DT_RIGHT);
        }
        if (wcsstr(value, L"center") != nullptr) {
            m_uTextStyle &= ~DT_RIGHT;
            m_uTextStyle |= DT_CENTER;
        }
        if (wcsstr(value, L"right") != nullptr) {
            m_uTextStyle &= ~DT_CENTER;
            m_uTextStyle |= DT_RIGHT;
        }
        Invalidate();
    } else if (wcscmp(name, L"valign") == 0) {
        if (wcsstr(value, L"top") != nullptr) {
            m_uTextStyle &= ~(DT_VCENTER | DT_BOTTOM);
        }
        if (wcsstr(value, L"vcenter") != nullptr) {
            m_uTextStyle &= ~DT_BOTTOM;
            m_uTextStyle |= DT_VCENTER;
        }
        if (wcsstr(value, L"bottom") != nullptr) {
            m_uTextStyle &= ~DT_VCENTER;
            m_uTextStyle |= DT_BOTTOM;
        }
        Invalidate();
    } else if (wcscmp(name, L"endellipsis") == 0) {
        if (ParseBool(value)) {
            m_uTextStyle |= DT_END_ELLIPSIS;
        } else {
            m_uTextStyle &= ~DT_END_ELLIPSIS;
        }
        Invalidate();
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(ParseInt(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        SetTextColor(ParseColor(value));
    } else if (wcscmp(name, L"disabledtextcolor") == 0) {
        SetDisabledTextColor(ParseColor(value));
    } else if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRect(value));
    } else if (wcscmp(name, L"multiline") == 0) {
        SetMultiLine(ParseBool(value));
    } else if (wcscmp(name, L"showhtml") == 0) {
        SetShowHtml(ParseBool(value));
    } else if (wcscmp(name, L"enabledeffect") == 0) {
        SetEnabledEffect(ParseBool(value));
    } else if (wcscmp(name, L"enabledluminous") == 0) {
        SetEnabledLuminous(ParseBool(value));
    } else if (wcscmp(name, L"luminousfuzzy") == 0) {
        SetLuminousFuzzy(static_cast<float>(wcstod(value, nullptr)));
    } else if (wcscmp(name, L"gradientangle") == 0) {
        SetGradientAngle(ParseInt(value));
    } else if (wcscmp(name, L"minwidthex") == 0) {
        SetMinWidthEx(ParseInt(value));
    } else if (wcscmp(name, L"maxwidthex") == 0) {
        SetMaxWidthEx(ParseInt(value));
    } else if (wcscmp(name, L"enabledstroke") == 0) {
        SetEnabledStroke(ParseBool(value));
    } else if (wcscmp(name, L"enabledshadow") == 0) {
        SetEnabledShadow(ParseBool(value));
    } else if (wcscmp(name, L"gradientlength") == 0) {
        SetGradientLength(ParseInt(value));
    } else if (wcscmp(name, L"shadowoffset") == 0) {
        double pair[2] = {0.0, 0.0};
        ParseDoubleList(value, pair, 2);
        SetShadowOffset(static_cast<float>(pair[0]), static_cast<int>(pair[1]));
    } else if (wcscmp(name, L"textcolor1") == 0) {
        SetTextColor1(ParseColor(value));
    } else if (wcscmp(name, L"textshadowcolora") == 0) {
        SetTextShadowColorA(ParseColor(value));
    } else if (wcscmp(name, L"textshadowcolorb") == 0) {
        SetTextShadowColorB(ParseColor(value));
    } else if (wcscmp(name, L"strokecolor") == 0) {
        SetStrokeColor(ParseColor(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// ---- Size and painting ----

SIZE CLabelUI::EstimateSize(SIZE available)
{
    if (m_cxyFixed.cx > 0 && m_cxyFixed.cy > 0) {
        return m_cxyFixed;
    }
    if (IsMultiLine() && (available.cx != m_szAvailableLast.cx || available.cy != m_szAvailableLast.cy)) {
        m_bNeedEstimateSize = true;
    }
    if (m_pManager == nullptr) {
        return m_cxyFixed;  // no font to measure with
    }
    if (m_bNeedEstimateSize) {
        m_bNeedEstimateSize = false;
        m_szAvailableLast = available;
        m_cxyFixedLast = m_cxyFixed;
        CMeasureDC dc(m_pManager, "CLabelUI::EstimateSize");
        const RECT& pad = m_rcTextPadding;
        // Measures the text into rc (left and top stay); no text measures empty.
        auto measure = [&](RECT& rc, UINT style) {
            if (m_sText.IsEmpty() || dc.Get() == nullptr) {
                rc.right = rc.left;
                rc.bottom = rc.top;
            } else if (m_bShowHtml) {
                int links = 0;
                CDrawKit::DrawHtmlText(dc.Get(), m_pManager, rc, m_sText, 0, nullptr, nullptr, links, m_iFont,
                                       style | DT_CALCRECT);
            } else {
                CDrawKit::DrawText(dc.Get(), m_pManager, rc, m_sText, 0, m_iFont, style | DT_CALCRECT);
            }
        };
        if (!IsMultiLine()) {
            if (m_cxyFixed.cy == 0) {
                m_cxyFixedLast.cy = m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + pad.top + pad.bottom + 8;
            }
            if (m_cxyFixed.cx == 0) {
                RECT rc = {0, 0, 9999, m_cxyFixedLast.cy};
                measure(rc, m_uTextStyle & ~(DT_CENTER | DT_RIGHT));
                m_cxyFixedLast.cx = pad.left + pad.right + (rc.right - rc.left);
            }
        } else {
            if (m_cxyFixed.cx == 0) {
                m_cxyFixedLast.cx = available.cx;
            }
            RECT rc = {pad.left, 0, m_cxyFixedLast.cx - pad.right, 9999};
            measure(rc, m_uTextStyle);
            m_cxyFixedLast.cy = pad.top + pad.bottom + (rc.bottom - rc.top);
        }
    }
    // The bounds apply to the answer, not to the cache: they may change
    // without a new measurement.
    SIZE estimate = m_cxyFixedLast;
    if (estimate.cx < m_iMinWidthEx) {
        estimate.cx = m_iMinWidthEx;
    }
    if (m_iMaxWidthEx >= 1 && estimate.cx > m_iMaxWidthEx) {
        estimate.cx = m_iMaxWidthEx;
    }
    return estimate;
}

void CLabelUI::ResolveDefaultColors()
{
    if (m_pManager == nullptr) {
        return;
    }
    if (m_dwTextColor == 0) {
        m_dwTextColor = m_pManager->GetDefaultFontColor();
    }
    if (m_dwDisabledTextColor == 0) {
        m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
    }
}

RECT CLabelUI::GetTextRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    return rc;
}

void CLabelUI::PaintText(HDC hDC)
{
    ResolveDefaultColors();
    RECT rc = GetTextRect();
    if (m_sText.IsEmpty()) {
        return;
    }
    // Without GDI+ (or a font it knows) the text is drawn plain.
    if (m_bEnableEffect && PaintEffectText(hDC, rc, m_sText)) {
        return;
    }
    DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
    if (m_bShowHtml) {
        int links = 0;
        CDrawKit::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, m_iFont, m_uTextStyle);
    } else {
        CDrawKit::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

}  // namespace SkinUI
