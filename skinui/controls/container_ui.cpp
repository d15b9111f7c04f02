#include "skinui/controls/container_ui.h"

#include <stdlib.h>

#include "foundation/log.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

CScrollBarUI* NewBar(CContainerUI* owner, bool horizontal)
{
    CScrollBarUI* bar = new CScrollBarUI;
    bar->SetScrollRange(0);
    bar->SetHorizontal(horizontal);
    bar->SetOwner(owner);
    return bar;
}

// The bar when it exists and is visible, else null.
CScrollBarUI* VisibleBar(CScrollBarUI* bar) { return bar != nullptr && bar->IsVisible() ? bar : nullptr; }

CScrollBarUI* ActiveBar(CScrollBarUI* bar)
{
    CScrollBarUI* visible = VisibleBar(bar);
    return visible != nullptr && visible->IsEnabled() ? visible : nullptr;
}

void DeleteBar(CScrollBarUI*& bar)
{
    CScrollBarUI* old = bar;
    bar = nullptr;
    if (old != nullptr) {
        old->Delete();
    }
}

bool RectsMeet(const RECT& a, const RECT& b)
{
    RECT tmp;
    return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

int Clamp(int value, int low, int high)
{
    if (value < low)
        value = low;
    if (value > high)
        value = high;
    return value;
}

}  // namespace

CContainerUI::CContainerUI()
    : m_rcInset(),
      m_iChildPadding(0),
      m_iChildAlign(UICHILD_ALIGN_LEFT),
      m_iChildVAlign(UICHILD_VALIGN_TOP),
      m_bAutoDestroy(true),
      m_bDelayedDestroy(true),
      m_bMouseChildEnabled(true),
      m_bScrollProcess(false),
      m_pVerticalScrollBar(nullptr),
      m_pHorizontalScrollBar(nullptr)
{
}

CContainerUI::~CContainerUI()
{
    // Children go at once: the manager may be on its way out too.
    m_bDelayedDestroy = false;
    RemoveAll();
    DeleteBar(m_pVerticalScrollBar);
    DeleteBar(m_pHorizontalScrollBar);
    m_items.Empty();
}

const wchar_t* CContainerUI::GetClass() const { return L"Container"; }

LPVOID CContainerUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"IContainer") == 0) {
        return static_cast<IContainerUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"Container") == 0) {
        return static_cast<CContainerUI*>(this);
    }
    return CControlUI::GetInterface(name);
}

// ---- Children ----

CControlUI* CContainerUI::GetItemAt(int index) const { return static_cast<CControlUI*>(m_items.GetAt(index)); }

int CContainerUI::GetItemIndex(CControlUI* control) const { return m_items.Find(control); }

int CContainerUI::GetCount() const { return m_items.GetSize(); }

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, m_items.GetSize()); }

bool CContainerUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr) {
        return false;
    }
    if (m_pManager != nullptr) {
        m_pManager->InitControls(control, this);
    } else {
        control->SetManager(nullptr, this, false);
    }
    if (IsVisible()) {
        NeedUpdate();
    } else {
        control->SetInternVisible(false);
    }
    if (!m_items.InsertAt(index, control)) {
        common::log("CContainerUI::AddAt", __LINE__, L"child not kept at index %d of %d", index, m_items.GetSize());
        return false;
    }
    return true;
}

void CContainerUI::DestroyChild(CControlUI* control)
{
    if (m_bDelayedDestroy && m_pManager != nullptr) {
        m_pManager->AddDelayedCleanup(control);
    } else {
        control->Delete();
    }
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy)
{
    int index = m_items.Find(control);
    if (control == nullptr || index < 0) {
        return false;
    }
    NeedUpdate();
    if (!doNotDestroy && m_bAutoDestroy) {
        DestroyChild(control);
    }
    return m_items.Remove(index);
}

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) { return Remove(GetItemAt(index), doNotDestroy); }

void CContainerUI::RemoveAll()
{
    for (int i = 0; m_bAutoDestroy && i < m_items.GetSize(); ++i) {
        DestroyChild(ChildAt(i));
    }
    m_items.Empty();
    NeedUpdate();
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index)
{
    int current = m_items.Find(control);
    if (control == nullptr || current < 0) {
        return false;
    }
    // A bad index would take the child out for good.
    if (index < 0 || index >= m_items.GetSize()) {
        return false;
    }
    NeedUpdate();
    m_items.Remove(current);
    return m_items.InsertAt(index, control);
}

bool CContainerUI::SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex)
{
    if (startControl == nullptr || count < 0 || newStartIndex < 0) {
        return false;
    }
    int start = m_items.Find(startControl);
    if (start == newStartIndex) {
        return true;
    }
    if (start < 0 || start + count > GetCount() || newStartIndex + count > GetCount()) {
        return false;
    }
    CUiPtrArray run(count);
    for (int i = 0; i < count; ++i) {
        run.Add(m_items[start + i]);
    }
    m_items.Remove(start, count);
    for (int i = 0; i < count; ++i) {
        if (!m_items.InsertAt(newStartIndex + i, run[i])) {
            return false;
        }
    }
    NeedUpdate();
    return true;
}

int CContainerUI::FindSelectable(int index, bool forward) const
{
    int count = GetCount();
    if (count == 0) {
        return -1;
    }
    index = Clamp(index, 0, count - 1);
    int step = forward ? 1 : -1;
    for (int i = index; i >= 0 && i < count; i += step) {
        CControlUI* child = GetItemAt(i);
        if (child->IsVisible() && child->IsEnabled() && child->GetInterface(L"IListItem") != nullptr) {
            return i;
        }
    }
    return forward ? -1 : FindSelectable(0, true);
}

// ---- Geometry and state ----

RECT CContainerUI::GetInset() const { return m_rcInset; }

void CContainerUI::SetInset(RECT rcInset)
{
    m_rcInset = rcInset;
    NeedUpdate();
}

int CContainerUI::GetChildPadding() const { return m_iChildPadding; }

void CContainerUI::SetChildPadding(int padding)
{
    m_iChildPadding = padding < 0 ? 0 : padding;
    NeedUpdate();
}

UINT CContainerUI::GetChildAlign() const { return m_iChildAlign; }
void CContainerUI::SetChildAlign(UINT align) { m_iChildAlign = align; }
UINT CContainerUI::GetChildVAlign() const { return m_iChildVAlign; }
void CContainerUI::SetChildVAlign(UINT align) { m_iChildVAlign = align; }
bool CContainerUI::IsAutoDestroy() const { return m_bAutoDestroy; }
void CContainerUI::SetAutoDestroy(bool autoDestroy) { m_bAutoDestroy = autoDestroy; }
bool CContainerUI::IsDelayedDestroy() const { return m_bDelayedDestroy; }
void CContainerUI::SetDelayedDestroy(bool delayed) { m_bDelayedDestroy = delayed; }
bool CContainerUI::IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
void CContainerUI::SetMouseChildEnabled(bool enable) { m_bMouseChildEnabled = enable; }

RECT CContainerUI::GetContentRect() const
{
    RECT rc = m_rcItem;
    rc.left += m_rcInset.left;
    rc.top += m_rcInset.top;
    rc.right -= m_rcInset.right;
    rc.bottom -= m_rcInset.bottom;
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar)) {
        rc.right -= bar->GetFixedWidth();
    }
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar)) {
        rc.bottom -= bar->GetFixedHeight();
    }
    return rc;
}

RECT CContainerUI::GetClientPos() const { return GetContentRect(); }

void CContainerUI::SetManager(CUiManager* manager, CControlUI* parent, bool init)
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        ChildAt(i)->SetManager(manager, this, init);
    }
    if (m_pVerticalScrollBar != nullptr) {
        m_pVerticalScrollBar->SetManager(manager, this, init);
    }
    if (m_pHorizontalScrollBar != nullptr) {
        m_pHorizontalScrollBar->SetManager(manager, this, init);
    }
    CControlUI::SetManager(manager, parent, init);
}

void CContainerUI::SetVisible(bool visible)
{
    if (m_bVisible == visible) {
        return;
    }
    CControlUI::SetVisible(visible);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        ChildAt(i)->SetInternVisible(IsVisible());
    }
}

void CContainerUI::SetInternVisible(bool visible)
{
    CControlUI::SetInternVisible(visible);
    for (int i = 0; i < m_items.GetSize(); ++i) {
        ChildAt(i)->SetInternVisible(IsVisible());
    }
}

void CContainerUI::SetMouseEnabled(bool enable)
{
    if (m_pVerticalScrollBar != nullptr) {
        m_pVerticalScrollBar->SetMouseEnabled(enable);
    }
    if (m_pHorizontalScrollBar != nullptr) {
        m_pHorizontalScrollBar->SetMouseEnabled(enable);
    }
    CControlUI::SetMouseEnabled(enable);
}

void CContainerUI::Move(int dx, int dy, bool needInvalidate)
{
    CControlUI::Move(dx, dy, needInvalidate);
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar)) {
        bar->Move(dx, dy, false);
    }
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar)) {
        bar->Move(dx, dy, false);
    }
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible()) {
            child->Move(dx, dy, false);
        }
    }
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    if (m_items.IsEmpty()) {
        return;
    }
    RECT area = m_rcItem;
    area.left += m_rcInset.left;
    area.top += m_rcInset.top;
    area.right -= m_rcInset.right;
    area.bottom -= m_rcInset.bottom;
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar)) {
        area.top -= bar->GetScrollPos();
        area.bottom += bar->GetScrollRange() - bar->GetScrollPos();
        area.right -= bar->GetFixedWidth();
    }
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar)) {
        area.left -= bar->GetScrollPos();
        area.right += bar->GetScrollRange() - bar->GetScrollPos();
        area.bottom -= bar->GetFixedHeight();
    }
    PlaceChildren(area);
}

void CContainerUI::PlaceChildren(const RECT& area)
{
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = LayoutChildAt(i);
        if (child == nullptr) {
            continue;
        }
        int w = Clamp(area.right - area.left, child->GetMinWidth(), child->GetMaxWidth());
        int h = Clamp(area.bottom - area.top, child->GetMinHeight(), child->GetMaxHeight());
        RECT rcChild = {area.left, area.top, area.left + w, area.top + h};
        child->SetPos(rcChild, false);
    }
}

bool CContainerUI::StartLayoutPass(RECT& rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    rc = GetContentRect();
    if (m_items.IsEmpty()) {
        ProcessScrollBar(rc, 0, 0);
        return false;
    }
    return true;
}

CControlUI* CContainerUI::LayoutChildAt(int index)
{
    CControlUI* child = ChildAt(index);
    if (!child->IsVisible()) {
        return nullptr;
    }
    if (child->IsFloat()) {
        SetFloatPos(index);
        return nullptr;
    }
    return child;
}

void CContainerUI::SetFloatPos(int index)
{
    CControlUI* child = ChildAt(index);
    if (child == nullptr || !child->IsVisible() || !child->IsFloat()) {
        return;
    }
    double width = m_rcItem.right - m_rcItem.left;
    double height = m_rcItem.bottom - m_rcItem.top;
    SIZE xy = child->GetFixedXY();
    UiFloatPercent p = child->GetFloatPercent();
    RECT rc;
    rc.left = static_cast<int>(width * p.left) + xy.cx;
    rc.top = static_cast<int>(height * p.top) + xy.cy;
    rc.right = static_cast<int>(width * p.right) + xy.cx + child->GetFixedWidth();
    rc.bottom = static_cast<int>(height * p.bottom) + xy.cy + child->GetFixedHeight();
    child->SetPos(rc, false);
}

// ---- Scrolling ----

SIZE CContainerUI::GetScrollPos() const
{
    SIZE sz = {0, 0};
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar))
        sz.cx = bar->GetScrollPos();
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar))
        sz.cy = bar->GetScrollPos();
    return sz;
}

SIZE CContainerUI::GetScrollRange() const
{
    SIZE sz = {0, 0};
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar))
        sz.cx = bar->GetScrollRange();
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar))
        sz.cy = bar->GetScrollRange();
    return sz;
}

void CContainerUI::SetScrollPos(SIZE szPos)
{
    int dx = 0;
    int dy = 0;
    // The container reports nothing itself: its bars move without "scroll".
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar)) {
        int old = bar->GetScrollPos();
        bar->SetScrollPos(szPos.cy, false);
        dy = bar->GetScrollPos() - old;
    }
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar)) {
        int old = bar->GetScrollPos();
        bar->SetScrollPos(szPos.cx, false);
        dx = bar->GetScrollPos() - old;
    }
    if (dx == 0 && dy == 0) {
        return;
    }
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* child = ChildAt(i);
        if (child->IsVisible() && !child->IsFloat()) {
            child->Move(-dx, -dy, false);
        }
    }
    Invalidate();
}

int CContainerUI::GetVerticalLineSize() const
{
    int line = 8;
    if (m_pManager != nullptr) {
        line = m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8;
    }
    if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->GetLineSize() > 1) {
        line = m_pVerticalScrollBar->GetLineSize();
    }
    return line;
}

int CContainerUI::GetHorizontalLineSize() const
{
    if (m_pHorizontalScrollBar != nullptr && m_pHorizontalScrollBar->GetLineSize() > 1) {
        return m_pHorizontalScrollBar->GetLineSize();
    }
    return 8;
}

int CContainerUI::GetVerticalPageSize() const
{
    int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
    if (CScrollBarUI* bar = VisibleBar(m_pHorizontalScrollBar))
        page -= bar->GetFixedHeight();
    return page;
}

int CContainerUI::GetHorizontalPageSize() const
{
    int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
    if (CScrollBarUI* bar = VisibleBar(m_pVerticalScrollBar))
        page -= bar->GetFixedWidth();
    return page;
}

void CContainerUI::ScrollBy(int dx, int dy)
{
    SIZE sz = GetScrollPos();
    sz.cx += dx;
    sz.cy += dy;
    SetScrollPos(sz);
}
void CContainerUI::LineUp() { ScrollBy(0, -GetVerticalLineSize()); }
void CContainerUI::LineDown() { ScrollBy(0, GetVerticalLineSize()); }
void CContainerUI::LineLeft() { ScrollBy(-GetHorizontalLineSize(), 0); }
void CContainerUI::LineRight() { ScrollBy(GetHorizontalLineSize(), 0); }
void CContainerUI::PageUp() { ScrollBy(0, -GetVerticalPageSize()); }
void CContainerUI::PageDown() { ScrollBy(0, GetVerticalPageSize()); }
void CContainerUI::PageLeft() { ScrollBy(-GetHorizontalPageSize(), 0); }
void CContainerUI::PageRight() { ScrollBy(GetHorizontalPageSize(), 0); }
void CContainerUI::HomeUp() { ScrollBy(0, -GetScrollPos().cy); }
void CContainerUI::EndDown() { ScrollBy(0, GetScrollRange().cy - GetScrollPos().cy); }
void CContainerUI::HomeLeft() { ScrollBy(-GetScrollPos().cx, 0); }
void CContainerUI::EndRight() { ScrollBy(GetScrollRange().cx - GetScrollPos().cx, 0); }

void CContainerUI::EnableScrollBar(bool enableVertical, bool enableHorizontal)
{
    struct Direction {
        CScrollBarUI** bar;
        bool enable;
        bool horizontal;
        const wchar_t* defaultClass;
    };
    Direction directions[2] = {{&m_pVerticalScrollBar, enableVertical, false, L"VScrollBar"},
                               {&m_pHorizontalScrollBar, enableHorizontal, true, L"HScrollBar"}};
    for (Direction& d : directions) {
        if (!d.enable) {
            DeleteBar(*d.bar);
            continue;
        }
        if (*d.bar != nullptr) {
            continue;
        }
        CScrollBarUI* bar = NewBar(this, d.horizontal);
        *d.bar = bar;
        bar->SetManager(m_pManager, nullptr, false);
        if (m_pManager != nullptr) {
            const wchar_t* list = m_pManager->GetDefaultAttributeList(d.defaultClass);
            if (list != nullptr) {
                bar->ApplyAttributeList(list);
            }
        }
    }
    NeedUpdate();
}

CScrollBarUI* CContainerUI::GetVerticalScrollBar() const { return m_pVerticalScrollBar; }
CScrollBarUI* CContainerUI::GetHorizontalScrollBar() const { return m_pHorizontalScrollBar; }

void CContainerUI::SetOwnPos(bool needInvalidate) { SetPos(m_bFloat ? GetRelativePos() : m_rcItem, needInvalidate); }

void CContainerUI::Relayout()
{
    m_bScrollProcess = true;
    SetOwnPos(true);
    m_bScrollProcess = false;
}

void CContainerUI::ProcessSingleBar(CScrollBarUI* bar, int needed, int room, const RECT& rcBar)
{
    if (bar == nullptr) {
        return;
    }
    if (needed > room && !bar->IsVisible()) {
        bar->SetVisible(true);
        bar->SetScrollRange(needed - room);
        bar->SetScrollPos(0, false);
        Relayout();
        return;
    }
    if (!bar->IsVisible()) {
        return;
    }
    int surplus = needed - room;
    if (surplus <= 0 && !m_bScrollProcess) {
        bar->SetVisible(false);
        bar->SetScrollPos(0, false);
        bar->SetScrollRange(0);
        SetOwnPos(true);
        return;
    }
    bar->SetPos(rcBar, true);
    if (bar->GetScrollRange() != surplus) {
        int oldPos = bar->GetScrollPos();
        bar->SetScrollRange(abs(surplus));
        if (bar->GetScrollRange() == 0) {
            bar->SetVisible(false);
            bar->SetScrollPos(0, false);
        }
        if (oldPos > bar->GetScrollPos()) {
            SetOwnPos(false);
        }
    }
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxNeeded, int cyNeeded)
{
    CScrollBarUI* hbar = m_pHorizontalScrollBar;
    CScrollBarUI* vbar = m_pVerticalScrollBar;
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;

    if (hbar != nullptr && vbar == nullptr) {
        RECT rcBar = {rc.left, rc.bottom, rc.right, rc.bottom + hbar->GetFixedHeight()};
        ProcessSingleBar(m_pHorizontalScrollBar, cxNeeded, width, rcBar);
        return;
    }
    if (vbar != nullptr && hbar == nullptr) {
        RECT rcBar = {rc.right, rc.top, rc.right + vbar->GetFixedWidth(), rc.bottom};
        ProcessSingleBar(m_pVerticalScrollBar, cyNeeded, height, rcBar);
        return;
    }

    if (vbar == nullptr || hbar == nullptr) {
        return;
    }

    // Both bars: the horizontal one first, each takes room from the other.
    bool horizontalChanged = false;
    if (cxNeeded > width) {
        if (!hbar->IsVisible()) {
            hbar->SetVisible(true);
            hbar->SetScrollPos(0, false);
            rc.bottom -= hbar->GetFixedHeight();
            horizontalChanged = true;
        }
        RECT rcBar = {rc.left, rc.bottom, rc.right, rc.bottom + hbar->GetFixedHeight()};
        hbar->SetPos(rcBar, true);
        if (hbar->GetScrollRange() != cxNeeded - width) {
            hbar->SetScrollRange(cxNeeded - width);
            horizontalChanged = true;
        }
    } else if (hbar->IsVisible()) {
        hbar->SetVisible(false);
        rc.bottom += hbar->GetFixedHeight();
        horizontalChanged = true;
    }

    // When the vertical bar comes or goes, the horizontal one changes width.
    auto refitHorizontal = [&]() {
        if (hbar->IsVisible()) {
            RECT rcBar = {rc.left, rc.bottom, rc.right, rc.bottom + hbar->GetFixedHeight()};
            hbar->SetPos(rcBar, true);
            hbar->SetScrollRange(cxNeeded - (rc.right - rc.left));
        }
    };

    height = rc.bottom - rc.top;
    if (cyNeeded > height && !vbar->IsVisible()) {
        vbar->SetVisible(true);
        vbar->SetScrollRange(cyNeeded - height);
        vbar->SetScrollPos(0, false);
        rc.right -= vbar->GetFixedWidth();
        refitHorizontal();
        Relayout();
        return;
    }
    if (!vbar->IsVisible()) {
        if (horizontalChanged) {
            Relayout();
        }
        return;
    }
    int surplus = cyNeeded - height;
    if (surplus <= 0 && !m_bScrollProcess) {
        vbar->SetVisible(false);
        vbar->SetScrollPos(0, false);
        vbar->SetScrollRange(0);
        rc.right += vbar->GetFixedWidth();
        refitHorizontal();
        SetOwnPos(true);
        return;
    }
    RECT rcBar = {rc.right, rc.top, rc.right + vbar->GetFixedWidth(), rc.bottom};
    vbar->SetPos(rcBar, true);
    int oldPos = vbar->GetScrollPos();
    if (vbar->GetScrollRange() != surplus) {
        vbar->SetScrollRange(abs(surplus));
        if (vbar->GetScrollRange() == 0) {
            vbar->SetVisible(false);
            vbar->SetScrollPos(0, false);
        }
    }
    if (oldPos > vbar->GetScrollPos() || horizontalChanged) {
        SetOwnPos(false);
    }
}

// ---- Painting, searching, events, attributes ----

bool CContainerUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) {
        return true;
    }
    CDrawClip clip;
    CDrawClip::GenerateClip(hDC, rcTemp, clip);
    CControlUI::DoPaint(hDC, rcPaint, stopControl);

    if (!m_items.IsEmpty()) {
        RECT rcClient = GetContentRect();
        // When only the border area is painted, children are kept to the
        // control rectangle; else the client area clips all but floating ones.
        bool clientPainted = ::IntersectRect(&rcTemp, &rcPaint, &rcClient) != FALSE;
        CDrawClip childClip;
        if (clientPainted) {
            CDrawClip::GenerateClip(hDC, rcTemp, childClip);
        }
        for (int i = 0; i < m_items.GetSize(); ++i) {
            CControlUI* child = ChildAt(i);
            if (child == stopControl) {
                return false;
            }
            if (!child->IsVisible() || !RectsMeet(rcPaint, child->GetPos())) {
                continue;
            }
            const RECT& bounds = clientPainted && !child->IsFloat() ? rcClient : m_rcItem;
            if (!RectsMeet(bounds, child->GetPos())) {
                continue;
            }
            if (!child->Paint(hDC, rcPaint, stopControl)) {
                return false;
            }
        }
    }
    return PaintScrollBars(hDC, rcPaint, stopControl);
}

bool CContainerUI::PaintScrollBars(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    CControlUI* bars[2] = {m_pVerticalScrollBar, m_pHorizontalScrollBar};
    for (CControlUI* bar : bars) {
        if (bar == nullptr) {
            continue;
        }
        if (bar == stopControl) {
            return false;
        }
        if (bar->IsVisible() && RectsMeet(rcPaint, bar->GetPos()) && !bar->Paint(hDC, rcPaint, stopControl)) {
            return false;
        }
    }
    return true;
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags)
{
    if ((flags & UIFIND_VISIBLE) != 0 && !IsVisible()) {
        return nullptr;
    }
    if ((flags & UIFIND_ENABLED) != 0 && !IsEnabled()) {
        return nullptr;
    }
    bool hitTest = (flags & UIFIND_HITTEST) != 0;
    if (hitTest && !::PtInRect(&m_rcItem, *static_cast<const POINT*>(data))) {
        return nullptr;
    }
    if ((flags & UIFIND_UPDATETEST) != 0 && proc(this, data) != nullptr) {
        return nullptr;
    }
    bool testMe = !hitTest || IsMouseEnabled();
    if ((flags & UIFIND_ME_FIRST) != 0 && testMe) {
        CControlUI* result = proc(this, data);
        if (result != nullptr) {
            return result;
        }
    }

    if (m_pCover != nullptr && (!hitTest || m_bMouseChildEnabled)) {
        CControlUI* result = m_pCover->FindControl(proc, data, flags);
        if (result != nullptr) {
            return result;
        }
    }
    if (testMe) {
        CControlUI* bars[2] = {m_pVerticalScrollBar, m_pHorizontalScrollBar};
        for (CControlUI* bar : bars) {
            CControlUI* result = bar != nullptr ? bar->FindControl(proc, data, flags) : nullptr;
            if (result != nullptr) {
                return result;
            }
        }
    }

    if (!hitTest || m_bMouseChildEnabled) {
        RECT rcClient = GetContentRect();
        int count = m_items.GetSize();
        bool topFirst = (flags & UIFIND_TOP_FIRST) != 0;
        for (int i = 0; i < count; ++i) {
            CControlUI* child = ChildAt(topFirst ? count - 1 - i : i);
            CControlUI* found = child->FindControl(proc, data, flags);
            if (found == nullptr) {
                continue;
            }
            if (!hitTest || found->IsFloat() || child->IsFloat() ||
                ::PtInRect(&rcClient, *static_cast<const POINT*>(data))) {
                return found;
            }
        }
    }

    if ((flags & UIFIND_ME_FIRST) == 0 && testMe) {
        return proc(this, data);
    }
    return nullptr;
}

void CContainerUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    if (event.Type == UIEVENT_SETFOCUS) {
        m_bFocused = true;
        return;
    }
    if (event.Type == UIEVENT_KILLFOCUS) {
        m_bFocused = false;
        return;
    }
    if (event.Type == UIEVENT_KEYDOWN && IsKeyboardEnabled() && IsEnabled()) {
        if (ActiveBar(m_pVerticalScrollBar) != nullptr) {
            switch (event.chKey) {
            case VK_PRIOR:
                PageUp();
                return;
            case VK_NEXT:
                PageDown();
                return;
            case VK_HOME:
                HomeUp();
                return;
            case VK_END:
                EndDown();
                return;
            case VK_UP:
                LineUp();
                return;
            case VK_DOWN:
                LineDown();
                return;
            default:
                break;
            }
        } else if (ActiveBar(m_pHorizontalScrollBar) != nullptr) {
            switch (event.chKey) {
            case VK_PRIOR:
                PageLeft();
                return;
            case VK_NEXT:
                PageRight();
                return;
            case VK_HOME:
                HomeLeft();
                return;
            case VK_END:
                EndRight();
                return;
            case VK_UP:
                LineLeft();
                return;
            case VK_DOWN:
                LineRight();
                return;
            default:
                break;
            }
        }
    }
    if (event.Type == UIEVENT_SCROLLWHEEL) {
        bool forward = event.wParam != 0;
        CScrollBarUI* hbar = ActiveBar(m_pHorizontalScrollBar);
        CScrollBarUI* vbar = ActiveBar(m_pVerticalScrollBar);
        if (hbar != nullptr && ::PtInRect(&hbar->GetPos(), event.ptMouse)) {
            forward ? LineRight() : LineLeft();
            return;
        }
        if (vbar != nullptr) {
            forward ? LineDown() : LineUp();
            return;
        }
        if (hbar != nullptr) {
            forward ? LineRight() : LineLeft();
            return;
        }
    }
    CControlUI::DoEvent(event);
}

void CContainerUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (wcscmp(name, L"inset") == 0) {
        SetInset(ParseRect(value));
    } else if (wcscmp(name, L"mousechild") == 0) {
        SetMouseChildEnabled(ParseBool(value));
    } else if (wcscmp(name, L"vscrollbar") == 0) {
        // Through the getters: a list keeps its bars on its body.
        EnableScrollBar(ParseBool(value), GetHorizontalScrollBar() != nullptr);
    } else if (wcscmp(name, L"vscrollbarstyle") == 0) {
        EnableScrollBar(true, GetHorizontalScrollBar() != nullptr);
        GetVerticalScrollBar()->ApplyAttributeList(value);
    } else if (wcscmp(name, L"hscrollbar") == 0) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, ParseBool(value));
    } else if (wcscmp(name, L"hscrollbarstyle") == 0) {
        EnableScrollBar(GetVerticalScrollBar() != nullptr, true);
        GetHorizontalScrollBar()->ApplyAttributeList(value);
    } else if (wcscmp(name, L"childpadding") == 0) {
        SetChildPadding(ParseInt(value));
    } else if (wcscmp(name, L"childalign") == 0) {
        if (wcscmp(value, L"left") == 0)
            m_iChildAlign = UICHILD_ALIGN_LEFT;
        else if (wcscmp(value, L"center") == 0)
            m_iChildAlign = UICHILD_ALIGN_CENTER;
        else if (wcscmp(value, L"right") == 0)
            m_iChildAlign = UICHILD_ALIGN_RIGHT;
    } else if (wcscmp(name, L"childvalign") == 0) {
        if (wcscmp(value, L"top") == 0)
            m_iChildVAlign = UICHILD_VALIGN_TOP;
        else if (wcscmp(value, L"vcenter") == 0)
            m_iChildVAlign = UICHILD_VALIGN_VCENTER;
        else if (wcscmp(value, L"bottom") == 0)
            m_iChildVAlign = UICHILD_VALIGN_BOTTOM;
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
