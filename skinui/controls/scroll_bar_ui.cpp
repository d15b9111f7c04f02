#include "skinui/controls/scroll_bar_ui.h"

#include <limits.h>
#include <stdio.h>

#include "foundation/log.h"
#include "skinui/controls/container_ui.h"
#include "skinui/controls/state_image.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// Timer of the held mouse button: it repeats arrow and page steps and moves
// a dragged thumb.
const UINT kRepeatTimerId = 10;
const UINT kRepeatElapseMs = 50;
// Ticks the button must be held before the steps repeat (300 ms).
const int kRepeatDelayTicks = 6;
const int kDefaultThickness = 4;

// State bits of the buttons and the thumb.
const UINT kStateDisabled = 4;
const UINT kStateHot = 8;
const UINT kStatePushed = 16;
const UINT kStateCaptured = 64;  // the thumb is being dragged

// File names of the parts' default images, and their corners.
struct PartDefault {
    const wchar_t* file;
    const wchar_t* corner;
};
const PartDefault kPartDefaults[UISCROLLBAR_PART_COUNT] = {
    {L"scroll_button1.png", L""},
    {L"scroll_button2.png", L""},
    {L"scroll_thumb.png", L" corner='3,3,3,3'"},
    {L"scroll_tail.png", L" corner='2,2,2,2'"},
    {L"scroll_back.png", L" corner='2,2,2,2'"},
};

// The image attributes: a part and one of its state images each.
struct PartImage {
    UiScrollBarPart part;
    UiScrollBarImage image;
};
const UiImageAttribute<PartImage> kImageAttributes[] = {
    {L"button1normalimage", nullptr, {UISCROLLBAR_BUTTON1, UISCROLLBAR_NORMAL}},
    {L"button1hotimage", nullptr, {UISCROLLBAR_BUTTON1, UISCROLLBAR_HOT}},
    {L"button1pushedimage", nullptr, {UISCROLLBAR_BUTTON1, UISCROLLBAR_PUSHED}},
    {L"button1disabledimage", nullptr, {UISCROLLBAR_BUTTON1, UISCROLLBAR_DISABLED}},
    {L"button2normalimage", nullptr, {UISCROLLBAR_BUTTON2, UISCROLLBAR_NORMAL}},
    {L"button2hotimage", nullptr, {UISCROLLBAR_BUTTON2, UISCROLLBAR_HOT}},
    {L"button2pushedimage", nullptr, {UISCROLLBAR_BUTTON2, UISCROLLBAR_PUSHED}},
    {L"button2disabledimage", nullptr, {UISCROLLBAR_BUTTON2, UISCROLLBAR_DISABLED}},
    {L"thumbnormalimage", nullptr, {UISCROLLBAR_THUMB, UISCROLLBAR_NORMAL}},
    {L"thumbhotimage", nullptr, {UISCROLLBAR_THUMB, UISCROLLBAR_HOT}},
    {L"thumbpushedimage", nullptr, {UISCROLLBAR_THUMB, UISCROLLBAR_PUSHED}},
    {L"thumbdisabledimage", nullptr, {UISCROLLBAR_THUMB, UISCROLLBAR_DISABLED}},
    {L"railnormalimage", nullptr, {UISCROLLBAR_RAIL, UISCROLLBAR_NORMAL}},
    {L"railhotimage", nullptr, {UISCROLLBAR_RAIL, UISCROLLBAR_HOT}},
    {L"railpushedimage", nullptr, {UISCROLLBAR_RAIL, UISCROLLBAR_PUSHED}},
    {L"raildisabledimage", nullptr, {UISCROLLBAR_RAIL, UISCROLLBAR_DISABLED}},
    {L"bknormalimage", nullptr, {UISCROLLBAR_BK, UISCROLLBAR_NORMAL}},
    {L"bkhotimage", nullptr, {UISCROLLBAR_BK, UISCROLLBAR_HOT}},
    {L"bkpushedimage", nullptr, {UISCROLLBAR_BK, UISCROLLBAR_PUSHED}},
    {L"bkdisabledimage", nullptr, {UISCROLLBAR_BK, UISCROLLBAR_DISABLED}},
};

// Exchanges x and y: horizontal geometry is worked out as vertical geometry.
RECT Transpose(const RECT& rc) { return RECT{rc.top, rc.left, rc.bottom, rc.right}; }

int ClampToInt(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

CScrollBarUI::CScrollBarUI()
    : m_bHorizontal(false),
      m_nRange(100),
      m_nScrollPos(0),
      m_nLineSize(8),
      m_nScrollUnit(1),
      m_pOwner(nullptr),
      m_ptLastMouse(),
      m_nLastScrollPos(0),
      m_nLastScrollOffset(0),
      m_nScrollRepeatDelay(0),
      m_bShowButton1(false),
      m_bShowButton2(false)
{
    m_cxyFixed.cx = kDefaultThickness;  // not scaled in enlarge mode
    for (int p = 0; p < UISCROLLBAR_PART_COUNT; ++p) {
        m_parts[p].rc = RECT{0, 0, 0, 0};
        m_parts[p].state = 0;
        m_parts[p].color = 0;
        for (int i = 0; i < UISCROLLBAR_IMAGE_COUNT; ++i) {
            // Frame i of a strip of four 8 by 8 state images.
            wchar_t description[128];
            swprintf(description, 128, L"file='%ls' source='%d,0,%d,8'%ls mask='#FFFF00FF'", kPartDefaults[p].file,
                     i * 8, i * 8 + 8, kPartDefaults[p].corner);
            m_parts[p].images[i].sDrawString = description;
        }
    }
}

const wchar_t* CScrollBarUI::GetClass() const { return L"ScrollBar"; }

LPVOID CScrollBarUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"ScrollBar") == 0) {
        return static_cast<CScrollBarUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

// ---- Settings ----

void CScrollBarUI::SetHorizontal(bool horizontal)
{
    if (m_bHorizontal == horizontal) {
        return;
    }
    m_bHorizontal = horizontal;
    if (m_bHorizontal && m_cxyFixed.cy == 0) {
        m_cxyFixed.cx = 0;
        m_cxyFixed.cy = kDefaultThickness;
    } else if (!m_bHorizontal && m_cxyFixed.cx == 0) {
        m_cxyFixed.cx = kDefaultThickness;
        m_cxyFixed.cy = 0;
    }
    if (m_pOwner != nullptr) {
        m_pOwner->NeedUpdate();
    } else {
        NeedParentUpdate();
    }
}

void CScrollBarUI::SetScrollRange(int range)
{
    if (m_nRange == range) {
        return;
    }
    m_nRange = range < 0 ? 0 : range;
    if (m_nScrollPos > m_nRange) {
        m_nScrollPos = m_nRange;
    }
    SetPos(m_rcItem);
}

void CScrollBarUI::SetScrollPos(int pos, bool notify)
{
    if (m_nScrollPos == pos) {
        return;
    }
    long long target = pos < 0 ? 0 : pos;
    if (m_nScrollUnit > 1) {
        long long rest = target % m_nScrollUnit;
        if (rest != 0) {
            target += rest < m_nScrollUnit / 2 ? -rest : m_nScrollUnit - rest;
        }
    }
    if (target > m_nRange) {
        target = m_nRange;
    }
    int old = m_nScrollPos;
    m_nScrollPos = static_cast<int>(target);
    // A request that ends where the bar already is changes nothing and tells nobody.
    if (m_nScrollPos == old) {
        return;
    }
    SetPos(m_rcItem);
    if (notify && m_pManager != nullptr) {
        m_pManager->SendNotify(this, L"scroll", static_cast<WPARAM>(m_nScrollPos), static_cast<LPARAM>(old), true,
                               false);
    }
}

void CScrollBarUI::SetLineSize(int size)
{
    if (size >= 0) {
        m_nLineSize = size;
    }
}

void CScrollBarUI::SetScrollUnit(int unit)
{
    if (unit >= 0) {
        m_nScrollUnit = unit;
    }
}

void CScrollBarUI::SetShowButton1(bool show)
{
    m_bShowButton1 = show;
    SetPos(m_rcItem);
}

void CScrollBarUI::SetShowButton2(bool show)
{
    m_bShowButton2 = show;
    SetPos(m_rcItem);
}

void CScrollBarUI::SetPartColor(UiScrollBarPart part, DWORD color)
{
    if (m_parts[part].color == color) {
        return;
    }
    m_parts[part].color = color;
    Invalidate();
}

const wchar_t* CScrollBarUI::GetImage(UiScrollBarPart part, UiScrollBarImage image) const
{
    if (part < 0 || part >= UISCROLLBAR_PART_COUNT || image < 0 || image >= UISCROLLBAR_IMAGE_COUNT) {
        return L"";
    }
    return m_parts[part].images[image].sDrawString;
}

void CScrollBarUI::SetImage(UiScrollBarPart part, UiScrollBarImage image, const wchar_t* description)
{
    if (part < 0 || part >= UISCROLLBAR_PART_COUNT || image < 0 || image >= UISCROLLBAR_IMAGE_COUNT) {
        common::log("CScrollBarUI::SetImage", __LINE__, L"no image %d of part %d", static_cast<int>(image),
                    static_cast<int>(part));
        return;
    }
    UiDrawInfo& info = m_parts[part].images[image];
    if (info.sDrawString == description && info.pImageInfo != nullptr) {
        return;
    }
    info.Clear();
    info.sDrawString = description;
    Invalidate();
}

void CScrollBarUI::SetVisible(bool visible)
{
    // The owner lays its bars out itself: no relayout request here.
    if (m_bVisible == visible) {
        return;
    }
    m_bVisible = visible;
    m_bFocused = false;
}

void CScrollBarUI::SetEnabled(bool enable)
{
    CControlUI::SetEnabled(enable);
    if (!enable) {
        m_parts[UISCROLLBAR_BUTTON1].state = 0;
        m_parts[UISCROLLBAR_BUTTON2].state = 0;
        m_parts[UISCROLLBAR_THUMB].state = 0;
    }
}

void CScrollBarUI::SetFocus()
{
    if (m_pOwner != nullptr) {
        m_pOwner->SetFocus();
    } else {
        CControlUI::SetFocus();
    }
}

// ---- Geometry ----

int CScrollBarUI::GetThickness() const { return m_bHorizontal ? m_cxyFixed.cy : m_cxyFixed.cx; }

int CScrollBarUI::Along(POINT pt) const { return m_bHorizontal ? pt.x : pt.y; }

void CScrollBarUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);

    // Worked out for a vertical bar; a horizontal one is the same transposed.
    // Positions and ranges may use the whole 32-bit span, so the products
    // are taken in 64 bits.
    const RECT bar = m_bHorizontal ? Transpose(m_rcItem) : m_rcItem;
    const int t = GetThickness();
    const long long height = bar.bottom - bar.top;
    const long long track = height - (m_bShowButton1 ? t : 0) - (m_bShowButton2 ? t : 0);
    RECT button1 = {bar.left, bar.top, bar.left, bar.top};
    RECT button2 = {bar.left, bar.bottom, bar.left, bar.bottom};
    RECT thumb = {0, 0, 0, 0};
    if (track > t) {
        if (m_bShowButton1)
            button1 = RECT{bar.left, bar.top, bar.left + t, bar.top + t};
        if (m_bShowButton2)
            button2 = RECT{bar.left, bar.bottom - t, bar.left + t, bar.bottom};
        thumb.left = bar.left;
        thumb.right = bar.left + t;
        if (m_nRange > 0) {
            long long length = track * height / (m_nRange + height);
            if (length < t)
                length = t;
            thumb.top = static_cast<LONG>(m_nScrollPos * (track - length) / m_nRange + button1.bottom);
            thumb.bottom = static_cast<LONG>(thumb.top + length);
            if (thumb.bottom > button2.top) {
                thumb.top = static_cast<LONG>(button2.top - length);
                thumb.bottom = button2.top;
            }
        } else {
            thumb.top = button1.bottom;
            thumb.bottom = button2.top;
        }
    } else {
        // Too short for a thumb: each shown button takes up to half the bar.
        const int size = static_cast<int>(height / 2 < t ? height / 2 : t);
        if (m_bShowButton1)
            button1 = RECT{bar.left, bar.top, bar.left + t, bar.top + size};
        if (m_bShowButton2)
            button2 = RECT{bar.left, bar.bottom - size, bar.left + t, bar.bottom};
    }
    m_parts[UISCROLLBAR_BUTTON1].rc = m_bHorizontal ? Transpose(button1) : button1;
    m_parts[UISCROLLBAR_BUTTON2].rc = m_bHorizontal ? Transpose(button2) : button2;
    m_parts[UISCROLLBAR_THUMB].rc = m_bHorizontal ? Transpose(thumb) : thumb;
}

// ---- Input ----

void CScrollBarUI::Step(int direction, bool page)
{
    if (m_pOwner != nullptr) {
        if (m_bHorizontal) {
            if (page) {
                direction < 0 ? m_pOwner->PageLeft() : m_pOwner->PageRight();
            } else {
                direction < 0 ? m_pOwner->LineLeft() : m_pOwner->LineRight();
            }
        } else {
            if (page) {
                direction < 0 ? m_pOwner->PageUp() : m_pOwner->PageDown();
            } else {
                direction < 0 ? m_pOwner->LineUp() : m_pOwner->LineDown();
            }
        }
        return;
    }
    long long step = m_nScrollUnit > 1 ? m_nScrollUnit : m_nLineSize;
    if (page) {
        step = m_bHorizontal ? GetWidth() : GetHeight();
    }
    SetScrollPos(ClampToInt(m_nScrollPos + direction * step));
}

void CScrollBarUI::ApplyDrag()
{
    const int target = ClampToInt(static_cast<long long>(m_nLastScrollPos) + m_nLastScrollOffset);
    if (m_pOwner == nullptr) {
        SetScrollPos(target);
        return;
    }
    SIZE pos = m_pOwner->GetScrollPos();
    if (m_bHorizontal) {
        pos.cx = target;
    } else {
        pos.cy = target;
    }
    m_pOwner->SetScrollPos(pos);
}

void CScrollBarUI::OnButtonDown(POINT pt)
{
    m_nScrollRepeatDelay = 0;
    m_nLastScrollOffset = 0;
    if (m_pManager != nullptr) {
        m_pManager->SetTimer(this, kRepeatTimerId, kRepeatElapseMs);
    }
    Part& thumb = m_parts[UISCROLLBAR_THUMB];
    if (::PtInRect(&m_parts[UISCROLLBAR_BUTTON1].rc, pt)) {
        m_parts[UISCROLLBAR_BUTTON1].state |= kStatePushed;
        Step(-1, false);
    } else if (::PtInRect(&m_parts[UISCROLLBAR_BUTTON2].rc, pt)) {
        m_parts[UISCROLLBAR_BUTTON2].state |= kStatePushed;
        Step(1, false);
    } else if (::PtInRect(&thumb.rc, pt)) {
        thumb.state |= kStatePushed | kStateCaptured;
        m_ptLastMouse = pt;
        m_nLastScrollPos = m_nScrollPos;
    } else {
        const RECT rcThumb = m_bHorizontal ? Transpose(thumb.rc) : thumb.rc;
        if (Along(pt) < rcThumb.top) {
            Step(-1, true);
        } else if (Along(pt) > rcThumb.bottom) {
            Step(1, true);
        }
    }
    Invalidate();
}

void CScrollBarUI::OnButtonUp()
{
    m_nLastScrollOffset = 0;
    m_nScrollRepeatDelay = 0;
    if (m_pManager != nullptr) {
        m_pManager->KillTimer(this, kRepeatTimerId);
    }
    UINT& thumb = m_parts[UISCROLLBAR_THUMB].state;
    UINT& button1 = m_parts[UISCROLLBAR_BUTTON1].state;
    UINT& button2 = m_parts[UISCROLLBAR_BUTTON2].state;
    if ((thumb & kStateCaptured) != 0) {
        thumb &= ~(kStatePushed | kStateCaptured);
    } else if ((button1 & kStatePushed) != 0) {
        button1 &= ~kStatePushed;
    } else if ((button2 & kStatePushed) != 0) {
        button2 &= ~kStatePushed;
    }
    Invalidate();
}

void CScrollBarUI::OnMouseMove(POINT pt)
{
    Part& thumb = m_parts[UISCROLLBAR_THUMB];
    if ((thumb.state & kStateCaptured) != 0) {
        // The thumb follows at the next timer tick.
        const RECT bar = m_bHorizontal ? Transpose(m_rcItem) : m_rcItem;
        const RECT rcThumb = m_bHorizontal ? Transpose(thumb.rc) : thumb.rc;
        const int t = GetThickness();
        const long long track = static_cast<long long>(bar.bottom - bar.top) - (rcThumb.bottom - rcThumb.top) -
                                (m_bShowButton1 ? t : 0) - (m_bShowButton2 ? t : 0);
        if (track != 0) {
            const long long moved = static_cast<long long>(Along(pt)) - Along(m_ptLastMouse);
            m_nLastScrollOffset = ClampToInt(moved * m_nRange / track);
        }
        return;
    }
    const bool over = IsEnabled() && ::PtInRect(&thumb.rc, pt);
    const bool hot = (thumb.state & kStateHot) != 0;
    if (over != hot) {
        thumb.state ^= kStateHot;
        Invalidate();
    }
}

void CScrollBarUI::OnRepeatTimer()
{
    ++m_nScrollRepeatDelay;
    const Part& thumb = m_parts[UISCROLLBAR_THUMB];
    if ((thumb.state & kStateCaptured) != 0) {
        ApplyDrag();
        Invalidate();
        return;
    }
    if (m_nScrollRepeatDelay < kRepeatDelayTicks) {
        return;
    }
    if ((m_parts[UISCROLLBAR_BUTTON1].state & kStatePushed) != 0) {
        Step(-1, false);
        return;
    }
    if ((m_parts[UISCROLLBAR_BUTTON2].state & kStatePushed) != 0) {
        Step(1, false);
        return;
    }
    // Held on the rail: page toward the pointer until the thumb reaches it.
    POINT pt = {0, 0};
    if (m_pManager == nullptr || !::GetCursorPos(&pt)) {
        common::log("CScrollBarUI::OnRepeatTimer", __LINE__, L"no pointer position lastError = %d",
                    static_cast<int>(::GetLastError()));
        return;
    }
    ::ScreenToClient(m_pManager->GetPaintWindow(), &pt);
    const RECT rcThumb = m_bHorizontal ? Transpose(thumb.rc) : thumb.rc;
    if (Along(pt) < rcThumb.top) {
        Step(-1, true);
    } else if (Along(pt) > rcThumb.bottom) {
        Step(1, true);
    }
}

void CScrollBarUI::DoEvent(UiEvent& event)
{
    const bool mouseEvent = event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND;
    if (mouseEvent && !IsMouseEnabled()) {
        PassEvent(event);
        return;
    }
    UINT& thumb = m_parts[UISCROLLBAR_THUMB].state;
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled()) {
            OnButtonDown(event.ptMouse);
        }
        return;
    case UIEVENT_BUTTONUP:
        OnButtonUp();
        return;
    case UIEVENT_MOUSEMOVE:
        OnMouseMove(event.ptMouse);
        return;
    case UIEVENT_TIMER:
        if (event.wParam == kRepeatTimerId) {
            OnRepeatTimer();
            return;
        }
        break;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled() && ::PtInRect(&m_rcItem, event.ptMouse)) {
            m_parts[UISCROLLBAR_BUTTON1].state |= kStateHot;
            m_parts[UISCROLLBAR_BUTTON2].state |= kStateHot;
            if (::PtInRect(&m_parts[UISCROLLBAR_THUMB].rc, event.ptMouse)) {
                thumb |= kStateHot;
            }
            Invalidate();
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (::PtInRect(&m_rcItem, event.ptMouse)) {
            // Still over the bar (a control laid over it took the hover).
            if (m_pManager != nullptr) {
                m_pManager->AddMouseLeaveNeeded(this);
            }
            return;
        }
        if (IsEnabled()) {
            m_parts[UISCROLLBAR_BUTTON1].state &= ~kStateHot;
            m_parts[UISCROLLBAR_BUTTON2].state &= ~kStateHot;
            thumb &= ~kStateHot;
            Invalidate();
        }
        if (m_pManager != nullptr) {
            m_pManager->RemoveMouseLeaveNeeded(this);
        }
        break;
    default:
        break;
    }
    PassEvent(event);
}

void CScrollBarUI::PassEvent(UiEvent& event)
{
    if (m_pOwner != nullptr) {
        m_pOwner->DoEvent(event);
    } else {
        CControlUI::DoEvent(event);
    }
}

void CScrollBarUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    bool enlarge = false;
    if (wcscmp(name, L"button1color") == 0) {
        SetButton1Color(ParseColor(value));
    } else if (wcscmp(name, L"button2color") == 0) {
        SetButton2Color(ParseColor(value));
    } else if (wcscmp(name, L"thumbcolor") == 0) {
        SetThumbColor(ParseColor(value));
    } else if (const auto* attribute = FindImageAttribute(kImageAttributes, name, enlarge)) {
        SetImage(attribute->image.part, attribute->image.image, value);
    } else if (wcscmp(name, L"hor") == 0) {
        SetHorizontal(ParseBool(value));
    } else if (wcscmp(name, L"linesize") == 0) {
        SetLineSize(ParseInt(value));
    } else if (wcscmp(name, L"range") == 0) {
        SetScrollRange(ParseInt(value));
    } else if (wcscmp(name, L"value") == 0) {
        SetScrollPos(ParseInt(value), true);
    } else if (wcscmp(name, L"scrollunit") == 0) {
        SetScrollUnit(ParseInt(value));
    } else if (wcscmp(name, L"showbutton1") == 0) {
        SetShowButton1(ParseBool(value));
    } else if (wcscmp(name, L"showbutton2") == 0) {
        SetShowButton2(ParseBool(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

// ---- Painting ----

void CScrollBarUI::DrawPartImage(HDC hDC, Part& part, UINT state, const RECT& rc)
{
    UiScrollBarImage image = UISCROLLBAR_NORMAL;
    if ((state & kStateDisabled) != 0) {
        image = UISCROLLBAR_DISABLED;
    } else if ((state & kStatePushed) != 0) {
        image = UISCROLLBAR_PUSHED;
    } else if ((state & kStateHot) != 0) {
        image = UISCROLLBAR_HOT;
    }
    if (image != UISCROLLBAR_NORMAL && CDrawKit::DrawImageInfo(hDC, m_pManager, rc, m_rcPaint, part.images[image])) {
        return;
    }
    CDrawKit::DrawImageInfo(hDC, m_pManager, rc, m_rcPaint, part.images[UISCROLLBAR_NORMAL]);
}

void CScrollBarUI::PaintPart(HDC hDC, Part& part)
{
    if (part.color != 0) {
        RECT rc;
        if (::IntersectRect(&rc, &part.rc, &m_rcPaint)) {
            CDrawKit::DrawColor(hDC, rc, GetAdjustColor(part.color));
        }
        // A thumb colour replaces the thumb images; button colours lie under them.
        if (&part == &m_parts[UISCROLLBAR_THUMB]) {
            return;
        }
    }
    DrawPartImage(hDC, part, part.state, part.rc);
}

void CScrollBarUI::PaintRail(HDC hDC)
{
    // A square of the bar's thickness centred on the thumb's middle.
    const Part& thumb = m_parts[UISCROLLBAR_THUMB];
    const RECT rcThumb = m_bHorizontal ? Transpose(thumb.rc) : thumb.rc;
    const int t = GetThickness();
    const int top = (rcThumb.top + rcThumb.bottom) / 2 - t / 2;
    const RECT rail = {rcThumb.left, top, rcThumb.left + t, top + t};
    DrawPartImage(hDC, m_parts[UISCROLLBAR_RAIL], thumb.state, m_bHorizontal ? Transpose(rail) : rail);
}

bool CScrollBarUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    PaintBkColor(hDC);
    PaintBkImage(hDC);

    const UINT disabled = IsEnabled() ? 0 : kStateDisabled;
    for (int p = UISCROLLBAR_BUTTON1; p <= UISCROLLBAR_THUMB; ++p) {
        m_parts[p].state = (m_parts[p].state & ~kStateDisabled) | disabled;
    }
    Part& thumb = m_parts[UISCROLLBAR_THUMB];
    if (m_dwBackColor == 0) {
        DrawPartImage(hDC, m_parts[UISCROLLBAR_BK], thumb.state, m_rcItem);
    }
    if (m_bShowButton1) {
        PaintPart(hDC, m_parts[UISCROLLBAR_BUTTON1]);
    }
    if (m_bShowButton2) {
        PaintPart(hDC, m_parts[UISCROLLBAR_BUTTON2]);
    }
    if (!::IsRectEmpty(&thumb.rc)) {
        PaintPart(hDC, thumb);
        PaintRail(hDC);
    }
    PaintBorder(hDC);
    return true;
}

}  // namespace SkinUI
