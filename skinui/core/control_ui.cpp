#include "skinui/core/control_ui.h"

#include "skinui/core/attribute_parser.h"
#include "skinui/core/theme_colors.h"
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

bool IsRectEmptyOrInverted(const RECT& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }

}  // namespace

CControlUI::CControlUI()
    : m_pManager(nullptr),
      m_pParent(nullptr),
      m_pCover(nullptr),
      m_bUpdateNeeded(true),
      m_bMenuUsed(false),
      m_rcItem(),
      m_rcPadding(),
      m_cXY(),
      m_cxyFixed(),
      m_cxyMin(),
      m_cxyMax{9999, 9999},
      m_bVisible(true),
      m_bInternVisible(true),
      m_bEnabled(true),
      m_bMouseEnabled(true),
      m_bKeyboardEnabled(false),
      m_bFocused(false),
      m_bFloat(false),
      m_piFloatPercent(),
      m_bSetPos(false),
      m_chShortcut(0),
      m_iTag(0),
      m_dwBackColor(0),
      m_dwBackColor2(0),
      m_dwBackColor3(0),
      m_dwBorderColor(0),
      m_dwFocusBorderColor(0),
      m_bColorHSL(false),
      m_nBorderStyle(PS_SOLID),
      m_nTooltipWidth(300),
      m_cxyBorderRound(),
      m_rcPaint(),
      m_rcBorderSize(),
      m_mCustomAttrHash(83)
{
}

void CControlUI::Delete()
{
    if (m_pManager != nullptr) {
        m_pManager->RemoveMouseLeaveNeeded(this);
    }
    delete this;
}

CControlUI::~CControlUI()
{
    if (m_pCover != nullptr) {
        CControlUI* cover = m_pCover;
        m_pCover = nullptr;
        cover->Delete();
    }
    RemoveAllCustomAttributes();
    if (OnDestroy) {
        OnDestroy(this);
    }
    if (m_pManager != nullptr) {
        m_pManager->ReapObjects(this);
    }
}

CUiString CControlUI::GetName() const { return m_sName; }

void CControlUI::SetName(const wchar_t* name)
{
    if (m_sName == name) {
        return;
    }
    // The manager moves the name-map entry and calls back here once the map
    // already maps the new name to this control.
    if (m_pManager != nullptr && m_pManager->FindControl(name) != this) {
        if (m_pManager->RenameControl(this, name)) {
            return;
        }
        // Refused (an empty name, or another control's): the control still
        // takes it, and the entry of the name it no longer bears goes.
        m_pManager->ForgetControlName(this);
    }
    m_sName = name;
}

const wchar_t* CControlUI::GetClass() const { return L"Control"; }

LPVOID CControlUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Control") == 0) {
        return this;
    }
    return nullptr;
}

UINT CControlUI::GetControlFlags() const { return 0; }
HWND CControlUI::GetNativeWindow() const { return nullptr; }
bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }
CUiManager* CControlUI::GetManager() const { return m_pManager; }

void CControlUI::SetManager(CUiManager* manager, CControlUI* parent, bool init)
{
    if (m_pCover != nullptr) {
        m_pCover->SetManager(manager, this, init);
    }
    m_pManager = manager;
    m_pParent = parent;
    if (init && m_pParent != nullptr) {
        Init();
    }
}

CControlUI* CControlUI::GetParent() const { return m_pParent; }
CControlUI* CControlUI::GetCover() const { return m_pCover; }

void CControlUI::SetCover(CControlUI* control)
{
    if (control == m_pCover) {
        return;
    }
    if (m_pCover != nullptr) {
        CControlUI* old = m_pCover;
        m_pCover = nullptr;
        old->Delete();
    }
    m_pCover = control;
    if (m_pCover == nullptr) {
        return;
    }
    if (m_pManager != nullptr) {
        m_pManager->InitControls(m_pCover, this);
    } else {
        m_pCover->SetManager(nullptr, this, false);
    }
    if (IsVisible()) {
        NeedUpdate();
    } else {
        m_pCover->SetInternVisible(false);
    }
}

CUiString CControlUI::GetText() const { return m_sText; }

void CControlUI::SetText(const wchar_t* text)
{
    if (m_sText == text) {
        return;
    }
    m_sText = text;
    NeedParentUpdate();
}

const RECT& CControlUI::GetPos() const { return m_rcItem; }

RECT CControlUI::GetRelativePos() const
{
    RECT rc = m_rcItem;
    if (m_pParent != nullptr) {
        const RECT& rcParent = m_pParent->GetPos();
        OffsetRect(&rc, -rcParent.left, -rcParent.top);
    }
    return rc;
}

RECT CControlUI::GetClientPos() const { return m_rcItem; }

bool CControlUI::ClipByAncestors(RECT& rc, bool stopAtHidden) const
{
    for (CControlUI* parent = m_pParent; parent != nullptr; parent = parent->GetParent()) {
        if (stopAtHidden && !parent->IsVisible()) {
            return false;
        }
        RECT rcParent = parent->GetPos();
        if (!IntersectRect(&rc, &rc, &rcParent)) {
            return false;
        }
    }
    return true;
}

void CControlUI::SetPos(RECT rc, bool needInvalidate)
{
    if (rc.right < rc.left) {
        rc.right = rc.left;
    }
    if (rc.bottom < rc.top) {
        rc.bottom = rc.top;
    }

    RECT rcInvalidate = m_rcItem;
    bool oldEmpty = IsRectEmpty(&rcInvalidate) != FALSE;

    if (!m_bFloat) {
        m_rcItem = rc;
    } else if (m_pParent != nullptr) {
        const RECT& rcParent = m_pParent->GetPos();
        int width = rcParent.right - rcParent.left;
        int height = rcParent.bottom - rcParent.top;
        m_rcItem = rc;
        OffsetRect(&m_rcItem, rcParent.left, rcParent.top);
        m_cXY.cx = rc.left - static_cast<int>(m_piFloatPercent.left * width);
        m_cXY.cy = rc.top - static_cast<int>(m_piFloatPercent.top * height);
        m_cxyFixed.cx = rc.right - m_cXY.cx - static_cast<int>(m_piFloatPercent.right * width);
        m_cxyFixed.cy = rc.bottom - m_cXY.cy - static_cast<int>(m_piFloatPercent.bottom * height);
    }
    if (oldEmpty) {
        rcInvalidate = m_rcItem;
    }

    if (m_pManager == nullptr) {
        return;
    }

    if (!m_bSetPos) {
        m_bSetPos = true;
        if (OnSize) {
            OnSize(this);
        }
        m_bSetPos = false;
    }

    m_bUpdateNeeded = false;

    if (needInvalidate && IsVisible()) {
        UnionRect(&rcInvalidate, &rcInvalidate, &m_rcItem);
        if (!ClipByAncestors(rcInvalidate, true) || IsRectEmptyOrInverted(rcInvalidate)) {
            return;
        }
        m_pManager->Invalidate(rcInvalidate);
    }

    if (m_pCover != nullptr && m_pCover->IsVisible()) {
        RECT rcCover;
        if (!m_pCover->IsFloat()) {
            int w = m_rcItem.right - m_rcItem.left;
            int h = m_rcItem.bottom - m_rcItem.top;
            if (w < m_pCover->GetMinWidth())
                w = m_pCover->GetMinWidth();
            if (w > m_pCover->GetMaxWidth())
                w = m_pCover->GetMaxWidth();
            if (h < m_pCover->GetMinHeight())
                h = m_pCover->GetMinHeight();
            if (h > m_pCover->GetMaxHeight())
                h = m_pCover->GetMaxHeight();
            rcCover = {m_rcItem.left, m_rcItem.top, m_rcItem.left + w, m_rcItem.top + h};
        } else {
            SIZE xy = m_pCover->GetFixedXY();
            UiFloatPercent p = m_pCover->GetFloatPercent();
            double W = m_rcItem.right - m_rcItem.left;
            double H = m_rcItem.bottom - m_rcItem.top;
            rcCover.left = static_cast<int>(W * p.left) + xy.cx;
            rcCover.top = static_cast<int>(H * p.top) + xy.cy;
            rcCover.right = static_cast<int>(W * p.right) + xy.cx + m_pCover->GetFixedWidth();
            rcCover.bottom = static_cast<int>(H * p.bottom) + xy.cy + m_pCover->GetFixedHeight();
        }
        m_pCover->SetPos(rcCover, false);
    }
}

void CControlUI::Move(int dx, int dy, bool needInvalidate)
{
    RECT rcOld = m_rcItem;
    OffsetRect(&m_rcItem, dx, dy);
    if (needInvalidate && m_pManager != nullptr && IsVisible()) {
        RECT rcInvalidate;
        UnionRect(&rcInvalidate, &rcOld, &m_rcItem);
        if (!ClipByAncestors(rcInvalidate, true) || IsRectEmptyOrInverted(rcInvalidate)) {
            return;
        }
        m_pManager->Invalidate(rcInvalidate);
    }
    if (m_pCover != nullptr && m_pCover->IsVisible()) {
        m_pCover->Move(dx, dy, false);
    }
}

int CControlUI::GetWidth() const { return m_rcItem.right - m_rcItem.left; }
int CControlUI::GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
int CControlUI::GetX() const { return m_rcItem.left; }
int CControlUI::GetY() const { return m_rcItem.top; }
RECT CControlUI::GetPadding() const { return m_rcPadding; }

void CControlUI::SetPadding(RECT rcPadding)
{
    if (CUiManager::IsEnlargeMode()) {
        float s = CUiManager::GetEnlargeScale();
        RECT rc;
        rc.left = static_cast<int>(s * rcPadding.left);
        rc.top = static_cast<int>(s * rcPadding.top);
        rc.right = static_cast<int>(s * (rcPadding.right - rcPadding.left) + rc.left);
        rc.bottom = static_cast<int>(s * (rcPadding.bottom - rcPadding.top) + rc.top);
        m_rcPadding = rc;
    } else {
        m_rcPadding = rcPadding;
    }
    NeedParentUpdate();
}

SIZE CControlUI::GetFixedXY() const { return m_cXY; }

void CControlUI::SetFixedXY(SIZE szXY)
{
    m_cXY.cx = ScaleForEnlarge(szXY.cx);
    m_cXY.cy = ScaleForEnlarge(szXY.cy);
    NeedParentUpdate();
}

UiFloatPercent CControlUI::GetFloatPercent() const { return m_piFloatPercent; }

void CControlUI::SetFloatPercent(UiFloatPercent percent)
{
    m_piFloatPercent = percent;
    NeedParentUpdate();
}

int CControlUI::GetFixedWidth() const { return m_cxyFixed.cx; }

void CControlUI::SetFixedWidth(int cx)
{
    if (cx < 0) {
        return;
    }
    m_cxyFixed.cx = ScaleForEnlarge(cx);
    NeedParentUpdate();
}

int CControlUI::GetFixedHeight() const { return m_cxyFixed.cy; }

void CControlUI::SetFixedHeight(int cy)
{
    if (cy < 0) {
        return;
    }
    m_cxyFixed.cy = ScaleForEnlarge(cy);
    NeedParentUpdate();
}

int CControlUI::GetMinWidth() const { return m_cxyMin.cx; }

void CControlUI::SetMinWidth(int cx)
{
    if (m_cxyMin.cx == cx || cx < 0) {
        return;
    }
    m_cxyMin.cx = cx;
    NeedParentUpdate();
}

int CControlUI::GetMaxWidth() const { return m_cxyMax.cx < m_cxyMin.cx ? m_cxyMin.cx : m_cxyMax.cx; }

void CControlUI::SetMaxWidth(int cx)
{
    if (m_cxyMax.cx == cx || cx < 0) {
        return;
    }
    m_cxyMax.cx = cx;
    NeedParentUpdate();
}

int CControlUI::GetMinHeight() const { return m_cxyMin.cy; }

void CControlUI::SetMinHeight(int cy)
{
    if (m_cxyMin.cy == cy || cy < 0) {
        return;
    }
    m_cxyMin.cy = cy;
    NeedParentUpdate();
}

int CControlUI::GetMaxHeight() const { return m_cxyMax.cy < m_cxyMin.cy ? m_cxyMin.cy : m_cxyMax.cy; }

void CControlUI::SetMaxHeight(int cy)
{
    if (m_cxyMax.cy == cy || cy < 0) {
        return;
    }
    m_cxyMax.cy = cy;
    NeedParentUpdate();
}

CUiString CControlUI::GetToolTip() const { return m_sToolTip; }

void CControlUI::SetToolTip(const wchar_t* text)
{
    CUiString tip(text);
    tip.Replace(L"<n>", L"\r\n");
    m_sToolTip = tip;
}

void CControlUI::SetToolTipWidth(int width) { m_nTooltipWidth = width; }
int CControlUI::GetToolTipWidth() const { return m_nTooltipWidth; }
wchar_t CControlUI::GetShortcut() const { return m_chShortcut; }
void CControlUI::SetShortcut(wchar_t ch) { m_chShortcut = ch; }
bool CControlUI::IsContextMenuUsed() const { return m_bMenuUsed; }
void CControlUI::SetContextMenuUsed(bool menuUsed) { m_bMenuUsed = menuUsed; }
const CUiString& CControlUI::GetUserData() { return m_sUserData; }
void CControlUI::SetUserData(const wchar_t* text) { m_sUserData = text; }
int CControlUI::GetTag() const { return m_iTag; }
void CControlUI::SetTag(int tag) { m_iTag = tag; }

bool CControlUI::IsVisible() const { return m_bVisible && m_bInternVisible; }

void CControlUI::SetVisible(bool visible)
{
    if (m_bVisible == visible) {
        return;
    }
    bool wasVisible = IsVisible();
    m_bVisible = visible;
    m_bFocused = false;
    if (!visible && m_pManager != nullptr && m_pManager->GetFocus() == this) {
        m_pManager->SetFocus(nullptr);
    }
    if (IsVisible() != wasVisible) {
        NeedParentUpdate();
    }
    if (m_pCover != nullptr) {
        m_pCover->SetInternVisible(IsVisible());
    }
}

void CControlUI::SetVisibleKeepFocus(bool visible)
{
    if (m_bVisible == visible) {
        return;
    }
    bool wasVisible = IsVisible();
    m_bVisible = visible;
    if (IsVisible() != wasVisible) {
        NeedParentUpdate();
    }
    if (m_pCover != nullptr) {
        m_pCover->SetInternVisible(IsVisible());
    }
}

void CControlUI::SetInternVisible(bool visible)
{
    m_bInternVisible = visible;
    if (!visible && m_pManager != nullptr && m_pManager->GetFocus() == this) {
        m_pManager->SetFocus(nullptr);
    }
    if (m_pCover != nullptr) {
        m_pCover->SetInternVisible(IsVisible());
    }
}

bool CControlUI::IsEnabled() const { return m_bEnabled; }

void CControlUI::SetEnabled(bool enable)
{
    if (m_bEnabled == enable) {
        return;
    }
    m_bEnabled = enable;
    Invalidate();
}

bool CControlUI::IsMouseEnabled() const { return m_bMouseEnabled; }
void CControlUI::SetMouseEnabled(bool enable) { m_bMouseEnabled = enable; }
bool CControlUI::IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
void CControlUI::SetKeyboardEnabled(bool enable) { m_bKeyboardEnabled = enable; }
bool CControlUI::IsFocused() const { return m_bFocused; }

void CControlUI::SetFocus()
{
    if (m_pManager != nullptr) {
        m_pManager->SetFocus(this);
    }
}

bool CControlUI::IsFloat() const { return m_bFloat; }

void CControlUI::SetFloat(bool isFloat)
{
    if (m_bFloat == isFloat) {
        return;
    }
    m_bFloat = isFloat;
    NeedParentUpdate();
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) {
        return nullptr;
    }
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) {
        return nullptr;
    }
    if ((flags & UIFIND_HITTEST) != 0 && !PtInRect(&m_rcItem, *static_cast<const POINT*>(data))) {
        return nullptr;
    }
    if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) {
        return nullptr;
    }
    bool testMe = (flags & UIFIND_HITTEST) == 0 || IsMouseEnabled();
    if ((flags & UIFIND_ME_FIRST) != 0 && testMe) {
        CControlUI* result = proc(this, data);
        if (result != nullptr) {
            return result;
        }
    }
    if (m_pCover != nullptr) {
        CControlUI* result = m_pCover->FindControl(proc, data, flags);
        if (result != nullptr) {
            return result;
        }
    }
    if ((flags & UIFIND_ME_FIRST) == 0 && testMe) {
        return proc(this, data);
    }
    return nullptr;
}

void CControlUI::Init()
{
    DoInit();
    if (OnInit) {
        OnInit(this);
    }
}

void CControlUI::DoInit() {}

void CControlUI::Event(UiEvent& event)
{
    if (OnEvent(&event)) {
        DoEvent(event);
    }
}

void CControlUI::DoEvent(UiEvent& event)
{
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));  // IDC_ARROW
        return;
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam);
        }
        return;
    case UIEVENT_CONTEXTMENU:
        if (IsContextMenuUsed()) {
            if (m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
            }
            return;
        }
        break;
    default:
        break;
    }
    if (m_pParent != nullptr) {
        m_pParent->DoEvent(event);
    }
}

CUiString CControlUI::GetAttribute(const wchar_t* name) { return CUiString(); }

void CControlUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"pos") == 0) {
        CUiRect rc = ParseRect(value);
        SetFixedXY(CUiSize(rc.left, rc.top));
        SetFixedWidth(rc.right - rc.left);
        SetFixedHeight(rc.bottom - rc.top);
    } else if (wcscmp(name, L"padding") == 0) {
        SetPadding(ParseRect(value));
    } else if (wcscmp(name, L"bkcolor") == 0 || wcscmp(name, L"bkcolor1") == 0) {
        SetBkColor(ParseColor(SkipBlanks(value)));
    } else if (wcscmp(name, L"bkcolor2") == 0) {
        SetBkColor2(ParseColor(SkipBlanks(value)));
    } else if (wcscmp(name, L"bkcolor3") == 0) {
        SetBkColor3(ParseColor(SkipBlanks(value)));
    } else if (wcscmp(name, L"bkcolorIndex") == 0) {
        SetBkColorIndex(ParseInt(value));
    } else if (wcscmp(name, L"bordercolor") == 0) {
        SetBorderColor(ParseColor(value));
    } else if (wcscmp(name, L"focusbordercolor") == 0) {
        SetFocusBorderColor(ParseColor(value));
    } else if (wcscmp(name, L"colorhsl") == 0) {
        SetColorHSL(ParseBool(value));
    } else if (wcscmp(name, L"bordersize") == 0) {
        if (wcschr(value, L',') != nullptr) {
            SetBorderSize(ParseRect(value));
        } else {
            SetBorderSize(ParseInt(value));
        }
    } else if (wcscmp(name, L"borderstyle") == 0) {
        SetBorderStyle(ParseInt(value));
    } else if (wcscmp(name, L"borderround") == 0) {
        SetBorderRound(ParseSize(value));
    } else if (wcscmp(name, L"bkimage") == 0) {
        SetBkImage(value);
    } else if (wcscmp(name, L"bkEnlargeimage") == 0) {
        SetBkEnlargeImage(value);
    } else if (wcscmp(name, L"width") == 0) {
        SetFixedWidth(ParseInt(value));
    } else if (wcscmp(name, L"height") == 0) {
        SetFixedHeight(ParseInt(value));
    } else if (wcscmp(name, L"minwidth") == 0) {
        SetMinWidth(ParseInt(value));
    } else if (wcscmp(name, L"minheight") == 0) {
        SetMinHeight(ParseInt(value));
    } else if (wcscmp(name, L"maxwidth") == 0) {
        SetMaxWidth(ParseInt(value));
    } else if (wcscmp(name, L"maxheight") == 0) {
        SetMaxHeight(ParseInt(value));
    } else if (wcscmp(name, L"name") == 0) {
        SetName(value);
    } else if (wcscmp(name, L"text") == 0) {
        SetText(value);
    } else if (wcscmp(name, L"tooltip") == 0) {
        SetToolTip(value);
    } else if (wcscmp(name, L"userdata") == 0) {
        SetUserData(value);
    } else if (wcscmp(name, L"tag") == 0) {
        SetTag(ParseInt(value));
    } else if (wcscmp(name, L"enabled") == 0) {
        SetEnabled(ParseBool(value));
    } else if (wcscmp(name, L"mouse") == 0) {
        SetMouseEnabled(ParseBool(value));
    } else if (wcscmp(name, L"keyboard") == 0) {
        SetKeyboardEnabled(ParseBool(value));
    } else if (wcscmp(name, L"visible") == 0) {
        SetVisible(ParseBool(value));
    } else if (wcscmp(name, L"float") == 0) {
        if (wcschr(value, L',') != nullptr) {
            double p[4] = {0, 0, 0, 0};
            ParseDoubleList(value, p, 4);
            SetFloatPercent(UiFloatPercent{p[0], p[1], p[2], p[3]});
            SetFloat(true);
        } else {
            SetFloat(ParseBool(value));
        }
    } else if (wcscmp(name, L"shortcut") == 0) {
        SetShortcut(value[0]);
    } else if (wcscmp(name, L"menu") == 0) {
        SetContextMenuUsed(ParseBool(value));
    } else if (wcscmp(name, L"virtualwnd") == 0) {
        SetVirtualWnd(value);
    } else {
        AddCustomAttribute(name, value);
    }
}

CUiString CControlUI::GetAttributeList(bool ignoreDefault) { return CUiString(); }

void CControlUI::ApplyAttributeList(const wchar_t* list)
{
    if (list == nullptr) {
        return;
    }
    const wchar_t* p = list;
    while (*p != L'\0') {
        const wchar_t* start = p;
        while (*p != L'\0' && *p != L'=') {
            ++p;
        }
        CUiString name(start, static_cast<int>(p - start));
        if (*p != L'=' || p[1] != L'"') {
            return;
        }
        p += 2;
        start = p;
        while (*p != L'\0' && *p != L'"') {
            ++p;
        }
        if (*p != L'"') {
            return;
        }
        CUiString value(start, static_cast<int>(p - start));
        ++p;
        SetAttribute(name, value);
        if (*p != L' ') {
            return;
        }
        ++p;
    }
}

SIZE CControlUI::EstimateSize(SIZE available) { return m_cxyFixed; }

bool CControlUI::Paint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    if (stopControl == this) {
        return false;
    }
    if (!IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) {
        return true;
    }
    if (OnPaint && !OnPaint(this)) {
        return true;
    }
    if (!DoPaint(hDC, rcPaint, stopControl)) {
        return false;
    }
    if (m_pCover != nullptr) {
        return m_pCover->Paint(hDC, rcPaint, nullptr);
    }
    return true;
}

bool CControlUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    CDrawClip roundClip;
    if (m_cxyBorderRound.cx >= 1 || m_cxyBorderRound.cy >= 1) {
        CDrawClip::GenerateRoundClip(hDC, m_rcPaint, m_rcItem, m_cxyBorderRound.cx, m_cxyBorderRound.cy, roundClip);
    }
    PaintBkColor(hDC);
    PaintStatusBkColor(hDC);
    PaintBkImage(hDC);
    PaintStatusImage(hDC);
    PaintText(hDC);
    PaintBorder(hDC);
    return true;
}

void CControlUI::PaintBkColor(HDC hDC)
{
    if (m_dwBackColor == 0) {
        return;
    }
    DWORD first = GetAdjustColor(m_dwBackColor);
    if (m_dwBackColor2 != 0) {
        DWORD second = GetAdjustColor(m_dwBackColor2);
        if (m_dwBackColor3 != 0) {
            RECT rc = m_rcItem;
            rc.bottom = (m_rcItem.top + m_rcItem.bottom) / 2;
            CDrawKit::DrawGradient(hDC, rc, first, second, true, 8);
            rc.top = rc.bottom;
            rc.bottom = m_rcItem.bottom;
            CDrawKit::DrawGradient(hDC, rc, second, GetAdjustColor(m_dwBackColor3), true, 8);
        } else {
            CDrawKit::DrawGradient(hDC, m_rcItem, first, second, true, 16);
        }
    } else if (first >= 0xFF000000) {
        CDrawKit::DrawColor(hDC, m_rcPaint, first);
    } else {
        CDrawKit::DrawColor(hDC, m_rcItem, first);
    }
}

void CControlUI::PaintBkImage(HDC hDC)
{
    if (m_dwBackColor != 0) {
        return;
    }
    DrawImage(hDC, m_diBk);
}

void CControlUI::PaintStatusImage(HDC hDC) {}
void CControlUI::PaintStatusBkColor(HDC hDC) {}
void CControlUI::PaintText(HDC hDC) {}

void CControlUI::PaintBorder(HDC hDC)
{
    if (m_rcBorderSize.left <= 0) {
        return;
    }
    if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0) {
        return;
    }
    DWORD color = (IsFocused() && m_dwFocusBorderColor != 0) ? m_dwFocusBorderColor : m_dwBorderColor;
    DrawBorderFigures(hDC, GetAdjustColor(color));
}

void CControlUI::PaintBorderWithColor(HDC hDC, DWORD color)
{
    if (color == 0 || m_rcBorderSize.left <= 0) {
        return;
    }
    if (IsFocused() && m_dwFocusBorderColor != 0) {
        return;
    }
    DrawBorderFigures(hDC, GetAdjustColor(color));
}

void CControlUI::DrawBorderFigures(HDC hDC, DWORD color)
{
    if (color == 0) {
        return;
    }
    const RECT& b = m_rcBorderSize;
    if (m_cxyBorderRound.cx < 1 && m_cxyBorderRound.cy < 1) {
        if (b.left == b.top && b.left == b.right && b.left == b.bottom) {
            CDrawKit::DrawRect(hDC, m_rcItem, b.left, color, m_nBorderStyle);
            return;
        }
        RECT line;
        line = {m_rcItem.left + b.left / 2, m_rcItem.top, m_rcItem.left + b.left / 2, m_rcItem.bottom};
        CDrawKit::DrawLine(hDC, line, b.left, color, m_nBorderStyle);
        if (b.top > 0) {
            line = {m_rcItem.left + b.left, m_rcItem.top + b.top / 2, m_rcItem.right - b.right,
                    m_rcItem.top + b.top / 2};
            CDrawKit::DrawLine(hDC, line, b.top, color, m_nBorderStyle);
        }
        if (b.right > 0) {
            line = {m_rcItem.right - b.right / 2, m_rcItem.top, m_rcItem.right - b.right / 2, m_rcItem.bottom};
            CDrawKit::DrawLine(hDC, line, b.right, color, m_nBorderStyle);
        }
        if (b.bottom > 0) {
            line = {m_rcItem.left + b.left, m_rcItem.bottom - b.bottom / 2, m_rcItem.right - b.right,
                    m_rcItem.bottom - b.bottom / 2};
            CDrawKit::DrawLine(hDC, line, b.bottom, color, m_nBorderStyle);
        }
        return;
    }
    CDrawKit::DrawRoundRect(hDC, m_rcItem, b.left, m_cxyBorderRound.cx, m_cxyBorderRound.cy, color, m_nBorderStyle);
}

bool CControlUI::DoPostPaint(HDC hDC, const RECT& rcPaint)
{
    if (OnPostPaint) {
        return OnPostPaint(this);
    }
    return false;
}

void CControlUI::Invalidate()
{
    if (!IsVisible()) {
        return;
    }
    RECT rc = m_rcItem;
    if (!ClipByAncestors(rc, false)) {
        return;
    }
    if (m_pManager != nullptr) {
        m_pManager->Invalidate(rc);
    }
}

bool CControlUI::IsUpdateNeeded() const { return m_bUpdateNeeded; }

void CControlUI::NeedUpdate()
{
    if (!IsVisible()) {
        return;
    }
    m_bUpdateNeeded = true;
    Invalidate();
    if (m_pManager != nullptr) {
        m_pManager->NeedUpdate();
    }
}

void CControlUI::NeedParentUpdate()
{
    if (m_pParent != nullptr) {
        m_pParent->NeedUpdate();
        m_pParent->Invalidate();
    } else {
        NeedUpdate();
    }
    if (m_pManager != nullptr) {
        m_pManager->NeedUpdate();
    }
}

CUiString CControlUI::GetVirtualWnd() const
{
    if (!m_sVirtualWnd.IsEmpty()) {
        return m_sVirtualWnd;
    }
    if (m_pParent != nullptr) {
        return m_pParent->GetVirtualWnd();
    }
    return CUiString();
}

void CControlUI::SetVirtualWnd(const wchar_t* value)
{
    m_sVirtualWnd = value;
    if (m_pManager != nullptr) {
        m_pManager->SetUsedVirtualWnd(true);
    }
}

bool CControlUI::DrawImage(HDC hDC, UiDrawInfo& info)
{
    return CDrawKit::DrawImageInfo(hDC, m_pManager, m_rcItem, m_rcPaint, info);
}

DWORD CControlUI::GetAdjustColor(DWORD color) const
{
    if (!m_bColorHSL) {
        return color;
    }
    short H = 180;
    short S = 100;
    short L = 100;
    CUiManager::GetHSL(&H, &S, &L);
    return CDrawKit::AdjustColor(color, H, S, L);
}

void CControlUI::AddCustomAttribute(const wchar_t* name, const wchar_t* value)
{
    AddStringValue(m_mCustomAttrHash, name, value);
}

const wchar_t* CControlUI::GetCustomAttribute(const wchar_t* name) const
{
    if (name == nullptr) {
        return nullptr;
    }
    const CUiString* value = static_cast<const CUiString*>(m_mCustomAttrHash.Find(name, false));
    return value != nullptr ? value->GetData() : nullptr;
}

void CControlUI::RemoveAllCustomAttributes() { FreeStringValues(m_mCustomAttrHash); }

void CControlUI::SetBkColor(DWORD color)
{
    if (m_dwBackColor == color) {
        return;
    }
    m_dwBackColor = color;
    Invalidate();
}

void CControlUI::SetBkColor2(DWORD color)
{
    if (m_dwBackColor2 == color) {
        return;
    }
    m_dwBackColor2 = color;
    Invalidate();
}

void CControlUI::SetBkColor3(DWORD color)
{
    if (m_dwBackColor3 == color) {
        return;
    }
    m_dwBackColor3 = color;
    Invalidate();
}

void CControlUI::SetBkColorIndex(int index) { SetBkColor(GetThemeColor(index)); }

void CControlUI::SetBkImage(const wchar_t* description)
{
    if (m_diBk.sDrawString == description && m_diBk.pImageInfo != nullptr) {
        return;
    }
    CUiString enlarge = m_diBk.sEnlargeDrawString;
    m_diBk.Clear();
    m_diBk.sDrawString = description;
    m_diBk.sEnlargeDrawString = enlarge;
    DrawImage(nullptr, m_diBk);
    if (m_bFloat && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0 && m_diBk.pImageInfo != nullptr) {
        m_cxyFixed.cx = m_diBk.pImageInfo->nX;
        m_cxyFixed.cy = m_diBk.pImageInfo->nY;
    }
    Invalidate();
}

void CControlUI::SetBkEnlargeImage(const wchar_t* description)
{
    // The enlarge-mode twin is kept always and takes effect only in that mode.
    if (!CUiManager::IsEnlargeMode()) {
        m_diBk.sEnlargeDrawString = description;
        return;
    }
    if (m_diBk.sEnlargeDrawString == description && m_diBk.pImageInfo != nullptr) {
        return;
    }
    CUiString normal = m_diBk.sDrawString;
    m_diBk.Clear();
    m_diBk.sDrawString = normal;
    m_diBk.sEnlargeDrawString = description;
    DrawImage(nullptr, m_diBk);
    if (m_bFloat && m_cxyFixed.cx == 0 && m_cxyFixed.cy == 0 && m_diBk.pImageInfo != nullptr) {
        m_cxyFixed.cx = m_diBk.pImageInfo->nX;
        m_cxyFixed.cy = m_diBk.pImageInfo->nY;
    }
    Invalidate();
}

void CControlUI::SetBorderColor(DWORD color)
{
    if (m_dwBorderColor == color) {
        return;
    }
    m_dwBorderColor = color;
    Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color)
{
    if (m_dwFocusBorderColor == color) {
        return;
    }
    m_dwFocusBorderColor = color;
    Invalidate();
}

void CControlUI::SetColorHSL(bool colorHSL)
{
    if (m_bColorHSL == colorHSL) {
        return;
    }
    m_bColorHSL = colorHSL;
    Invalidate();
}

void CControlUI::SetBorderSize(int size)
{
    m_rcBorderSize = {size, size, size, size};
    Invalidate();
}

void CControlUI::SetBorderSize(RECT rc)
{
    m_rcBorderSize = rc;
    Invalidate();
}

void CControlUI::SetBorderStyle(int style)
{
    m_nBorderStyle = style;
    Invalidate();
}

void CControlUI::SetBorderRound(SIZE cxyRound)
{
    m_cxyBorderRound = cxyRound;
    Invalidate();
}

}  // namespace SkinUI
