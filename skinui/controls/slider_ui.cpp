#include "skinui/controls/slider_ui.h"

#include "skinui/controls/button_ui.h"
#include "skinui/controls/state_image.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

CSliderUI::CSliderUI() : m_uButtonState(0), m_nStep(1), m_bImmMode(false), m_dwThumbColor(0)
{
    m_szThumb.cx = 10;
    m_szThumb.cy = 10;
    m_uTextStyle = DT_SINGLELINE | DT_CENTER;
}

CSliderUI::~CSliderUI() {}

const wchar_t* CSliderUI::GetClass() const { return L"Slider"; }

LPVOID CSliderUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Slider") == 0) {
        return static_cast<CSliderUI*>(this);
    }
    return CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const
{
    if (!IsEnabled()) {
        return 0;
    }
    return UIFLAG_SETCURSOR | (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0);
}

void CSliderUI::SetEnabled(bool enable)
{
    CProgressUI::SetEnabled(enable);
    if (!enable) {
        m_uButtonState = 0;
    }
}

long long CSliderUI::Range() const
{
    const long long range = static_cast<long long>(m_nMax) - m_nMin;
    return range > 0 ? range : 1;
}

RECT CSliderUI::GetThumbRect() const
{
    // A value outside the range (the range changed after it) sits at its end.
    long long done = static_cast<long long>(m_nValue) - m_nMin;
    done = done < 0 ? 0 : (done > Range() ? Range() : done);
    RECT rc;
    if (m_bHorizontal) {
        const long long track = m_rcItem.right - m_rcItem.left - m_szThumb.cx;
        rc.left = m_rcItem.left + static_cast<LONG>(track > 0 ? done * track / Range() : 0);
        rc.top = (m_rcItem.top + m_rcItem.bottom - m_szThumb.cy) / 2;
    } else {
        const long long track = m_rcItem.bottom - m_rcItem.top - m_szThumb.cy;
        rc.left = (m_rcItem.left + m_rcItem.right - m_szThumb.cx) / 2;
        rc.top = m_rcItem.bottom - static_cast<LONG>(track > 0 ? track * done / Range() : 0) - m_szThumb.cy;
    }
    rc.right = rc.left + m_szThumb.cx;
    rc.bottom = rc.top + m_szThumb.cy;
    return rc;
}

int CSliderUI::ValueAt(POINT pt) const
{
    if (m_bHorizontal) {
        const long long track = m_rcItem.right - m_rcItem.left - m_szThumb.cx;
        if (pt.x >= m_rcItem.right - m_szThumb.cx / 2) {
            return m_nMax;
        }
        // A slider no wider than its thumb has no track: the start.
        if (pt.x <= m_rcItem.left + m_szThumb.cx / 2 || track <= 0) {
            return m_nMin;
        }
        return static_cast<int>(m_nMin + Range() * (pt.x - m_rcItem.left - m_szThumb.cx / 2) / track);
    }
    const long long track = m_rcItem.bottom - m_rcItem.top - m_szThumb.cy;
    if (pt.y <= m_rcItem.top + m_szThumb.cy / 2) {
        return m_nMax;
    }
    if (pt.y >= m_rcItem.bottom - m_szThumb.cy / 2 || track <= 0) {
        return m_nMin;
    }
    return static_cast<int>(m_nMin + Range() * (m_rcItem.bottom - m_szThumb.cy / 2 - pt.y) / track);
}

void CSliderUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CProgressUI::DoEvent(event);
        }
        return;
    }
    switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
            m_uButtonState |= UISTATE_CAPTURED;
            const int value = ValueAt(event.ptMouse);
            if (value != m_nValue && value >= m_nMin && value <= m_nMax) {
                m_nValue = value;
                Invalidate();
            }
        }
        return;
    case UIEVENT_BUTTONUP:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            m_uButtonState &= ~UISTATE_CAPTURED;
            m_nValue = ValueAt(event.ptMouse);
            CLifeWatch watch(m_life);
            if (m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"valuechanged");
            }
            if (!watch.IsDead()) {
                Invalidate();
            }
        }
        return;
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_SCROLLWHEEL:
        SetValue(LOWORD(event.wParam) == SB_LINEUP ? m_nValue + m_nStep : m_nValue - m_nStep);
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"valuechanged");
        }
        return;
    case UIEVENT_MOUSEMOVE:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            m_nValue = ValueAt(event.ptMouse);
            CLifeWatch watch(m_life);
            if (m_bImmMode && m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"valuechanged");
            }
            if (!watch.IsDead()) {
                Invalidate();
            }
        }
        return;
    case UIEVENT_SETCURSOR: {
        const RECT thumb = GetThumbRect();
        if (IsEnabled() && ::PtInRect(&thumb, event.ptMouse)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    }
    case UIEVENT_MOUSEENTER:
        if (IsEnabled() && ::PtInRect(&m_rcItem, event.ptMouse)) {
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
        if (IsEnabled()) {
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

void CSliderUI::SetThumbSize(SIZE size)
{
    m_szThumb = size;
    Invalidate();
}

void CSliderUI::SetThumbColor(DWORD color)
{
    m_dwThumbColor = color;
    Invalidate();
}

void CSliderUI::SetImage(UiDrawInfo& info, const wchar_t* description)
{
    // An image that never loaded is painted (and tried) again.
    if (!SetStateImage(*this, info, description) && info.pImageInfo == nullptr) {
        Invalidate();
    }
}

void CSliderUI::SetThumbImage(const wchar_t* description) { SetImage(m_diThumb, description); }
void CSliderUI::SetThumbHotImage(const wchar_t* description) { SetImage(m_diThumbHot, description); }
void CSliderUI::SetThumbPushedImage(const wchar_t* description) { SetImage(m_diThumbPushed, description); }

void CSliderUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    static const UiImageAttribute<UiDrawInfo CSliderUI::*> kImages[] = {
        {L"thumbimage", nullptr, &CSliderUI::m_diThumb},
        {L"thumbhotimage", nullptr, &CSliderUI::m_diThumbHot},
        {L"thumbpushedimage", nullptr, &CSliderUI::m_diThumbPushed},
    };
    bool enlarge = false;
    if (const auto* image = FindImageAttribute(kImages, name, enlarge)) {
        SetImage(this->*image->image, value);
    } else if (wcscmp(name, L"thumbsize") == 0) {
        int size[2] = {m_szThumb.cx, m_szThumb.cy};
        ParseIntList(value, size, 2);
        SetThumbSize(SIZE{size[0], size[1]});
    } else if (wcscmp(name, L"thumbcolor") == 0) {
        SetThumbColor(ParseColor(value));
    } else if (wcscmp(name, L"step") == 0) {
        SetChangeStep(ParseInt(value));
    } else if (wcscmp(name, L"imm") == 0) {
        SetImmMode(wcscmp(value, L"true") == 0);
    } else {
        CProgressUI::SetAttribute(name, value);
    }
}

void CSliderUI::PaintStatusImage(HDC hDC)
{
    CProgressUI::PaintStatusImage(hDC);
    RECT thumb = GetThumbRect();
    if (m_dwThumbColor != 0) {
        RECT rcFill;
        if (::IntersectRect(&rcFill, &thumb, &m_rcPaint)) {
            CDrawKit::DrawColor(hDC, rcFill, GetAdjustColor(m_dwThumbColor));
        }
        return;
    }
    ::OffsetRect(&thumb, -m_rcItem.left, -m_rcItem.top);
    UiDrawInfo* const states[] = {
        (m_uButtonState & UISTATE_CAPTURED) != 0 ? &m_diThumbPushed : nullptr,
        (m_uButtonState & (UISTATE_CAPTURED | UISTATE_HOT)) == UISTATE_HOT ? &m_diThumbHot : nullptr,
        &m_diThumb,
    };
    for (UiDrawInfo* info : states) {
        if (info == nullptr || info->sDrawString.IsEmpty()) {
            continue;
        }
        DrawImage(nullptr, *info);  // the first load reads the description's own "dest"
        info->rcDest = thumb;
        if (DrawImage(hDC, *info)) {
            return;
        }
    }
}

}  // namespace SkinUI
