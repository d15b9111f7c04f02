#include "skinui/controls/progress_ui.h"

#include <limits.h>

#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

CProgressUI::CProgressUI() : m_bHorizontal(true), m_nMax(100), m_nMin(0), m_nValue(0), m_dwForeColor(0)
{
    m_uTextStyle = DT_SINGLELINE | DT_CENTER;
    SetFixedHeight(12);
}

CProgressUI::~CProgressUI() {}

const wchar_t* CProgressUI::GetClass() const { return L"Progress"; }

LPVOID CProgressUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Progress") == 0) {
        return static_cast<CProgressUI*>(this);
    }
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal)
{
    if (m_bHorizontal == horizontal) {
        return;
    }
    m_bHorizontal = horizontal;
    Invalidate();
}

void CProgressUI::SetMinValue(int min)
{
    m_nMin = min;
    Invalidate();
}

void CProgressUI::SetMaxValue(int max)
{
    m_nMax = max;
    Invalidate();
}

void CProgressUI::SetValue(int value)
{
    if (value > m_nMax) {
        value = m_nMax;
    }
    if (value < m_nMin) {
        value = m_nMin;
    }
    m_nValue = value;
    Invalidate();
}

void CProgressUI::SetForeColor(DWORD color)
{
    m_dwForeColor = color;
    Invalidate();
}

void CProgressUI::SetForeImage(const wchar_t* description)
{
    if (ReplaceImage(m_diFore, description)) {
        Invalidate();
    }
}

void CProgressUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"foreimage") == 0) {
        SetForeImage(value);
    } else if (wcscmp(name, L"forecolor") == 0) {
        SetForeColor(ParseColor(value));
    } else if (wcscmp(name, L"hor") == 0) {
        SetHorizontal(ParseBool(value));
    } else if (wcscmp(name, L"min") == 0) {
        SetMinValue(ParseInt(value));
    } else if (wcscmp(name, L"max") == 0) {
        SetMaxValue(ParseInt(value));
    } else if (wcscmp(name, L"value") == 0) {
        SetValue(ParseInt(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

RECT CProgressUI::GetFilledRect()
{
    if (m_nMax <= m_nMin) {
        m_nMax = m_nMin < INT_MAX ? m_nMin + 1 : m_nMin;
    }
    if (m_nValue > m_nMax) {
        m_nValue = m_nMax;
    }
    if (m_nValue < m_nMin) {
        m_nValue = m_nMin;
    }
    // 64-bit products: a range of millions times a width of hundreds does
    // not fit in 32 bits.
    const long long width = m_rcItem.right - m_rcItem.left;
    const long long height = m_rcItem.bottom - m_rcItem.top;
    long long range = static_cast<long long>(m_nMax) - m_nMin;
    if (range < 1) {
        range = 1;
    }
    if (m_bHorizontal) {
        const long long done = static_cast<long long>(m_nValue) - m_nMin;
        return RECT{0, 0, static_cast<LONG>(width * done / range), static_cast<LONG>(height)};
    }
    const long long left = static_cast<long long>(m_nMax) - m_nValue;
    return RECT{0, static_cast<LONG>(left * height / range), static_cast<LONG>(width), static_cast<LONG>(height)};
}

void CProgressUI::PaintStatusImage(HDC hDC)
{
    const RECT filled = GetFilledRect();
    // Load first: the image's own "dest" is read at the first load and then
    // replaced by the filled part.
    DrawImage(nullptr, m_diFore);
    m_diFore.rcDest = filled;
    if (m_dwForeColor != 0) {
        // The filled part on screen, as far as it is being painted.
        RECT rcFill = filled;
        ::OffsetRect(&rcFill, m_rcItem.left, m_rcItem.top);
        RECT rcPaintFill;
        if (::IntersectRect(&rcPaintFill, &rcFill, &m_rcPaint)) {
            CDrawKit::DrawColor(hDC, rcPaintFill, GetAdjustColor(m_dwForeColor));
        }
    }
    DrawImage(hDC, m_diFore);
}

}  // namespace SkinUI
