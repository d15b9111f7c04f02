#include "skinui/controls/list_ui.h"

#include <algorithm>

#include "foundation/log.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/list_body_ui.h"
#include "skinui/controls/list_header_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

IListItemUI* RowOf(CControlUI* control)
{
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"IListItem")) : nullptr;
}

// Shows the items of a hidden header for the time of a measurement, so that
// they can be placed and read; they are hidden again at the end of the scope.
class ShownHeaderItems {
public:
    explicit ShownHeaderItems(CListHeaderUI* header) : m_pHeader(header->IsVisible() ? nullptr : header)
    {
        for (int i = m_pHeader != nullptr ? m_pHeader->GetCount() - 1 : -1; i >= 0; --i) {
            m_pHeader->GetItemAt(i)->SetInternVisible(true);
        }
    }
    ~ShownHeaderItems()
    {
        for (int i = m_pHeader != nullptr ? m_pHeader->GetCount() - 1 : -1; i >= 0; --i) {
            m_pHeader->GetItemAt(i)->SetInternVisible(false);
        }
    }
    ShownHeaderItems(const ShownHeaderItems&) = delete;
    ShownHeaderItems& operator=(const ShownHeaderItems&) = delete;

private:
    CListHeaderUI* m_pHeader;
};

}  // namespace

CListUI::CListUI()
    : m_bScrollSelect(false),
      m_iCurSel(-1),
      m_iExpandedItem(-1),
      m_pCallback(nullptr),
      m_pList(new CListBodyUI(this)),
      m_pHeader(new CListHeaderUI)
{
    Add(m_pHeader);
    CVerticalLayoutUI::AddAt(m_pList, 1);
}

CListUI::~CListUI() {}

const wchar_t* CListUI::GetClass() const { return L"List"; }

LPVOID CListUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"List") == 0) {
        return static_cast<CListUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"IList") == 0) {
        return static_cast<IListUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"IListOwner") == 0) {
        return static_cast<IListOwnerUI*>(this);
    }
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const { return IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0; }

// ---- Layout ----

void CListUI::UpdateColumns(const RECT* headerPos, int shift)
{
    m_ListInfo.nColumns = std::min(m_pHeader->GetCount(), UILIST_MAX_COLUMNS);
    ShownHeaderItems shown(m_pHeader);
    if (headerPos != nullptr) {
        m_pHeader->SetPos(*headerPos, false);
    }
    for (int i = 0; i < m_ListInfo.nColumns; ++i) {
        CControlUI* item = m_pHeader->GetItemAt(i);
        if (!item->IsVisible() || item->IsFloat()) {
            continue;
        }
        if (shift != 0) {
            item->Move(-shift, 0, false);
        }
        m_ListInfo.rcColumn[i] = item->GetPos();
    }
}

void CListUI::SetPos(RECT rc, bool needInvalidate)
{
    // The columns first: the rows' widths follow them.
    RECT rcHeader = {rc.left + m_rcInset.left, 0, rc.right - m_rcInset.right, 0};
    UpdateColumns(&rcHeader, m_pList->GetScrollPos().cx);
    CVerticalLayoutUI::SetPos(rc, needInvalidate);
    // A visible header was placed by the layout; a hidden one is placed here.
    const int shift = m_pList->GetScrollPos().cx;
    if (m_pHeader->IsVisible()) {
        UpdateColumns(nullptr, shift);
    } else {
        RECT rcHidden = {m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
                         m_rcItem.bottom - m_rcInset.bottom};
        UpdateColumns(&rcHidden, shift);
    }
}

void CListUI::Move(int dx, int dy, bool needInvalidate)
{
    CVerticalLayoutUI::Move(dx, dy, needInvalidate);
    if (!m_pHeader->IsVisible()) {
        ShownHeaderItems shown(m_pHeader);
        m_pHeader->Move(dx, dy, false);
    }
    // The rows draw their cells in the column rectangles: they move along.
    UpdateColumns(nullptr, 0);
}

void CListUI::ShiftColumns(int dx)
{
    UpdateColumns(nullptr, dx);
    m_pHeader->Invalidate();
}

// ---- Rows, header and header items ----

CListUI::Part CListUI::PartOf(CControlUI* control)
{
    if (control->GetInterface(L"ListHeader") != nullptr) {
        return kHeader;
    }
    if (wcsstr(control->GetClass(), L"ListHeaderItem") != nullptr) {
        return kHeaderItem;
    }
    return kRow;
}

CControlUI* CListUI::GetItemAt(int index) const { return m_pList->GetItemAt(index); }

int CListUI::GetCount() const { return m_pList->GetCount(); }

int CListUI::GetItemIndex(CControlUI* control) const
{
    if (control == nullptr) {
        return -1;
    }
    switch (PartOf(control)) {
    case kHeader:
        return CVerticalLayoutUI::GetItemIndex(control);
    case kHeaderItem:
        return m_pHeader->GetItemIndex(control);
    default:
        return m_pList->GetItemIndex(control);
    }
}

bool CListUI::AddHeader(CControlUI* header)
{
    // An empty header gives way to the new one.
    if (header != m_pHeader && m_pHeader->GetCount() == 0) {
        CVerticalLayoutUI::Remove(m_pHeader);
        m_pHeader = static_cast<CListHeaderUI*>(header->GetInterface(L"ListHeader"));
    }
    m_ListInfo.nColumns = std::min(m_pHeader->GetCount(), UILIST_MAX_COLUMNS);
    return CVerticalLayoutUI::AddAt(header, 0);
}

bool CListUI::AddHeaderItem(CControlUI* item, int index)
{
    if (m_pHeader->GetCount() >= UILIST_MAX_COLUMNS) {
        common::log("CListUI::AddHeaderItem", __LINE__, L"header item refused: the list has %d columns already",
                    UILIST_MAX_COLUMNS);
        return false;
    }
    const bool added = index < 0 ? m_pHeader->Add(item) : m_pHeader->AddAt(item, index);
    m_ListInfo.nColumns = std::min(m_pHeader->GetCount(), UILIST_MAX_COLUMNS);
    return added;
}

bool CListUI::Add(CControlUI* control)
{
    if (control == nullptr) {
        return false;
    }
    switch (PartOf(control)) {
    case kHeader:
        return AddHeader(control);
    case kHeaderItem:
        return AddHeaderItem(control, -1);
    default:
        break;
    }
    if (IListItemUI* row = RowOf(control)) {
        row->SetOwner(this);
        row->SetIndex(GetCount());
    }
    return m_pList->Add(control);
}

bool CListUI::AddAt(CControlUI* control, int index)
{
    if (control == nullptr) {
        return false;
    }
    switch (PartOf(control)) {
    case kHeader:
        return AddHeader(control);
    case kHeaderItem:
        return AddHeaderItem(control, index);
    default:
        break;
    }
    if (!m_pList->AddAt(control, index)) {
        return false;
    }
    if (IListItemUI* row = RowOf(control)) {
        row->SetOwner(this);
        row->SetIndex(index);
    }
    RenumberRows(index + 1, GetCount() - 1);
    if (m_iCurSel >= index) {
        ++m_iCurSel;
    }
    if (m_iExpandedItem >= index) {
        ++m_iExpandedItem;
    }
    return true;
}

bool CListUI::Remove(CControlUI* control, bool doNotDestroy)
{
    if (control == nullptr) {
        return false;
    }
    switch (PartOf(control)) {
    case kHeader:
        if (control == m_pHeader) {
            common::log("CListUI::Remove", __LINE__, L"the list's own header is not removed");
            return false;
        }
        return CVerticalLayoutUI::Remove(control, doNotDestroy);
    case kHeaderItem:
        return m_pHeader->Remove(control, doNotDestroy);
    default:
        return RemoveAt(m_pList->GetItemIndex(control), doNotDestroy);
    }
}

bool CListUI::RemoveAt(int index, bool doNotDestroy)
{
    if (index < 0 || !m_pList->RemoveAt(index, doNotDestroy)) {
        return false;
    }
    RenumberRows(index, GetCount() - 1);
    if (index == m_iExpandedItem) {
        m_iExpandedItem = -1;
    } else if (index < m_iExpandedItem) {
        --m_iExpandedItem;
    }
    if (index == m_iCurSel) {
        // The row that took its place, else the nearest before it.
        m_iCurSel = -1;
        SelectItem(m_pList->FindSelectable(index, false), false, true);
    } else if (index < m_iCurSel) {
        --m_iCurSel;
    }
    return true;
}

void CListUI::RemoveAll()
{
    m_iCurSel = -1;
    m_iExpandedItem = -1;
    m_pList->RemoveAll();
}

void CListUI::RenumberRows(int from, int to)
{
    from = std::max(from, 0);
    to = std::min(to, GetCount() - 1);
    for (int i = from; i <= to; ++i) {
        if (IListItemUI* row = RowOf(GetItemAt(i))) {
            row->SetIndex(i);
        }
    }
}

bool CListUI::SetItemIndex(CControlUI* control, int index)
{
    if (control == nullptr) {
        return false;
    }
    switch (PartOf(control)) {
    case kHeader:
        return CVerticalLayoutUI::SetItemIndex(control, index);
    case kHeaderItem:
        return m_pHeader->SetItemIndex(control, index);
    default:
        break;
    }
    const int old = m_pList->GetItemIndex(control);
    if (old < 0) {
        return false;
    }
    if (old == index) {
        return true;
    }
    CControlUI* selected = GetItemAt(m_iCurSel);
    CControlUI* expanded = GetItemAt(m_iExpandedItem);
    if (!m_pList->SetItemIndex(control, index)) {
        return false;
    }
    RenumberRows(std::min(old, index), std::max(old, index));
    m_iCurSel = selected != nullptr ? m_pList->GetItemIndex(selected) : -1;
    m_iExpandedItem = expanded != nullptr ? m_pList->GetItemIndex(expanded) : -1;
    return true;
}

bool CListUI::SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex)
{
    if (startControl == nullptr || count < 0 || newStartIndex < 0) {
        return false;
    }
    switch (PartOf(startControl)) {
    case kHeader:
        return CVerticalLayoutUI::SetMultiItemIndex(startControl, count, newStartIndex);
    case kHeaderItem:
        return m_pHeader->SetMultiItemIndex(startControl, count, newStartIndex);
    default:
        break;
    }
    const int start = m_pList->GetItemIndex(startControl);
    if (start == newStartIndex) {
        return true;
    }
    if (start < 0 || start + count > GetCount() || newStartIndex + count > GetCount()) {
        return false;
    }
    CControlUI* selected = GetItemAt(m_iCurSel);
    CControlUI* expanded = GetItemAt(m_iExpandedItem);
    if (!m_pList->SetMultiItemIndex(startControl, count, newStartIndex)) {
        return false;
    }
    RenumberRows(std::min(start, newStartIndex), std::max(start + count, newStartIndex + count));
    m_iCurSel = selected != nullptr ? m_pList->GetItemIndex(selected) : -1;
    m_iExpandedItem = expanded != nullptr ? m_pList->GetItemIndex(expanded) : -1;
    return true;
}

// ---- Selection and expansion ----

bool CListUI::SelectItem(int index, bool takeFocus, bool sendNotify)
{
    if (index == m_iCurSel) {
        return true;
    }
    const int previous = m_iCurSel;
    if (m_iCurSel >= 0) {
        if (IListItemUI* old = RowOf(GetItemAt(m_iCurSel))) {
            old->Select(false, sendNotify);
        }
        m_iCurSel = -1;
    }
    if (index < 0) {
        return false;
    }
    CControlUI* control = GetItemAt(index);
    IListItemUI* row = RowOf(control);
    if (control == nullptr || !control->IsVisible() || !control->IsEnabled() || row == nullptr) {
        return false;
    }
    m_iCurSel = index;
    if (!row->Select(true, sendNotify)) {
        m_iCurSel = -1;
        return false;
    }
    EnsureVisible(index);
    if (takeFocus) {
        control->SetFocus();
    }
    if (m_pManager != nullptr && sendNotify) {
        m_pManager->SendNotify(this, L"itemselect", index, previous);
    }
    return true;
}

void CListUI::EnsureVisible(int index)
{
    CControlUI* control = GetItemAt(index);
    if (m_iCurSel < 0 || control == nullptr) {
        return;
    }
    RECT rcBody = m_pList->GetPos();
    const RECT inset = m_pList->GetInset();
    rcBody.top += inset.top;
    rcBody.bottom -= inset.bottom;
    CScrollBarUI* hbar = m_pList->GetHorizontalScrollBar();
    if (hbar != nullptr && hbar->IsVisible()) {
        rcBody.bottom -= hbar->GetFixedHeight();
    }
    const RECT& rc = control->GetPos();
    if (rc.top < rcBody.top) {
        Scroll(0, rc.top - rcBody.top);
    } else if (rc.bottom > rcBody.bottom) {
        Scroll(0, rc.bottom - rcBody.bottom);
    }
}

void CListUI::Scroll(int dx, int dy)
{
    if (dx == 0 && dy == 0) {
        return;
    }
    SIZE pos = m_pList->GetScrollPos();
    pos.cx += dx;
    pos.cy += dy;
    m_pList->SetScrollPos(pos);
}

bool CListUI::ExpandItem(int index, bool expand)
{
    // The expanded row's own Expand asks back here: nothing more to do.
    if (expand && index >= 0 && index == m_iExpandedItem) {
        return true;
    }
    if (m_iExpandedItem >= 0 && !m_ListInfo.bMultiExpandable) {
        if (IListItemUI* row = RowOf(GetItemAt(m_iExpandedItem))) {
            row->Expand(false);
        }
        m_iExpandedItem = -1;
    }
    if (expand) {
        CControlUI* control = GetItemAt(index);
        IListItemUI* row = RowOf(control);
        if (control == nullptr || !control->IsVisible() || row == nullptr) {
            return false;
        }
        m_iExpandedItem = index;
        if (!row->Expand(true)) {
            m_iExpandedItem = -1;
            return false;
        }
    }
    NeedUpdate();
    return true;
}

// ---- Events ----

void CListUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CVerticalLayoutUI::DoEvent(event);
        }
        return;
    }
    // A move that finds no row keeps the selection.
    auto moveTo = [this](int index) {
        if (index >= 0) {
            SelectItem(index, true, true);
        }
    };
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
        m_bFocused = true;
        return;
    case UIEVENT_KILLFOCUS:
        m_bFocused = false;
        return;
    case UIEVENT_KEYDOWN:
        if (!IsKeyboardEnabled() || !IsEnabled()) {
            break;
        }
        switch (event.chKey) {
        case VK_UP:
            moveTo(m_pList->FindSelectable(m_iCurSel - 1, false));
            break;
        case VK_DOWN:
            moveTo(m_pList->FindSelectable(m_iCurSel + 1, true));
            break;
        case VK_PRIOR:
            PageUp();
            break;
        case VK_NEXT:
            PageDown();
            break;
        case VK_HOME:
            moveTo(m_pList->FindSelectable(0, false));
            break;
        case VK_END:
            moveTo(m_pList->FindSelectable(GetCount() - 1, false));
            break;
        case VK_RETURN:
            if (CControlUI* row = GetItemAt(m_iCurSel)) {
                row->Activate();
            }
            break;
        default:
            break;
        }
        return;
    case UIEVENT_SCROLLWHEEL:
        if (!IsEnabled()) {
            break;
        }
        if (event.wParam == 0) {
            m_bScrollSelect ? moveTo(m_pList->FindSelectable(m_iCurSel - 1, false)) : LineUp();
        } else {
            m_bScrollSelect ? moveTo(m_pList->FindSelectable(m_iCurSel + 1, true)) : LineDown();
        }
        return;
    case UIEVENT_RBUTTONDOWN:
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"rightbuttondown");
        }
        return;
    case UIEVENT_DBLCLICK:
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"doubblebuttonclick");
        }
        return;
    default:
        break;
    }
    CVerticalLayoutUI::DoEvent(event);
}

// ---- The body's padding and scrolling ----

int CListUI::GetChildPadding() const { return m_pList->GetChildPadding(); }
void CListUI::SetChildPadding(int padding) { m_pList->SetChildPadding(padding); }
SIZE CListUI::GetScrollPos() const { return m_pList->GetScrollPos(); }
SIZE CListUI::GetScrollRange() const { return m_pList->GetScrollRange(); }
void CListUI::SetScrollPos(SIZE szPos) { m_pList->SetScrollPos(szPos); }
void CListUI::LineUp() { m_pList->LineUp(); }
void CListUI::LineDown() { m_pList->LineDown(); }
void CListUI::PageUp() { m_pList->PageUp(); }
void CListUI::PageDown() { m_pList->PageDown(); }
void CListUI::HomeUp() { m_pList->HomeUp(); }
void CListUI::EndDown() { m_pList->EndDown(); }
void CListUI::LineLeft() { m_pList->LineLeft(); }
void CListUI::LineRight() { m_pList->LineRight(); }
void CListUI::PageLeft() { m_pList->PageLeft(); }
void CListUI::PageRight() { m_pList->PageRight(); }
void CListUI::HomeLeft() { m_pList->HomeLeft(); }
void CListUI::EndRight() { m_pList->EndRight(); }
void CListUI::EnableScrollBar(bool enableVertical, bool enableHorizontal)
{
    m_pList->EnableScrollBar(enableVertical, enableHorizontal);
}
CScrollBarUI* CListUI::GetVerticalScrollBar() const { return m_pList->GetVerticalScrollBar(); }
CScrollBarUI* CListUI::GetHorizontalScrollBar() const { return m_pList->GetHorizontalScrollBar(); }

// ---- The rows' look ----

void CListUI::SetInfoColor(DWORD& field, DWORD color)
{
    field = color;
    Invalidate();
}

void CListUI::SetInfoImage(UiDrawInfo& info, const wchar_t* description)
{
    if (CLabelUI::ReplaceImage(info, description)) {
        Invalidate();
    }
}

void CListUI::SetItemTextPadding(RECT rc)
{
    m_ListInfo.rcTextPadding = rc;
    NeedUpdate();
}

void CListUI::SetAlternateBk(bool alternate)
{
    m_ListInfo.bAlternateBk = alternate;
    Invalidate();
}

void CListUI::SetItemHLineSize(int size)
{
    m_ListInfo.iHLineSize = size;
    Invalidate();
}

void CListUI::SetItemVLineSize(int size)
{
    m_ListInfo.iVLineSize = size;
    Invalidate();
}

void CListUI::SetItemShowHtml(bool showHtml)
{
    if (m_ListInfo.bShowHtml == showHtml) {
        return;
    }
    m_ListInfo.bShowHtml = showHtml;
    NeedUpdate();
}

void CListUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    if (DWORD* color = ListInfoColor(m_ListInfo, name)) {
        SetInfoColor(*color, ParseColor(value));
    } else if (UiDrawInfo* image = ListInfoImage(m_ListInfo, name)) {
        SetInfoImage(*image, value);
    } else if (wcscmp(name, L"header") == 0) {
        m_pHeader->SetVisible(wcscmp(value, L"hidden") != 0);
    } else if (wcscmp(name, L"headerbkimage") == 0) {
        m_pHeader->SetBkImage(value);
    } else if (wcscmp(name, L"scrollselect") == 0) {
        SetScrollSelect(ParseBool(value));
    } else if (wcscmp(name, L"multiexpanding") == 0) {
        SetMultiExpanding(ParseBool(value));
    } else if (wcscmp(name, L"itemheight") == 0) {
        SetItemHeight(ParseInt(value));
    } else if (wcscmp(name, L"itemfont") == 0) {
        const int offset = CUiManager::IsEnlargeMode() ? CUiManager::GetEnlargeFontOffset() : 0;
        SetItemFont(ParseInt(value) + offset);
    } else if (wcscmp(name, L"itemalign") == 0) {
        SetItemTextStyle(ApplyAlignWords(m_ListInfo.uTextStyle, value));
    } else if (wcscmp(name, L"itemvalign") == 0) {
        SetItemTextStyle(ApplyVAlignWords(m_ListInfo.uTextStyle, value));
    } else if (wcscmp(name, L"itemendellipsis") == 0) {
        const UINT style = m_ListInfo.uTextStyle;
        SetItemTextStyle(ParseBool(value) ? (style | DT_END_ELLIPSIS) : (style & ~DT_END_ELLIPSIS));
    } else if (wcscmp(name, L"itemmultiline") == 0) {
        SetItemTextStyle(ApplyMultiLine(m_ListInfo.uTextStyle, ParseBool(value)));
    } else if (wcscmp(name, L"itemtextpadding") == 0) {
        SetItemTextPadding(ParseRect(value));
    } else if (wcscmp(name, L"itemaltbk") == 0) {
        SetAlternateBk(ParseBool(value));
    } else if (wcscmp(name, L"itemvlinesize") == 0) {
        SetItemVLineSize(ParseInt(value));
    } else if (wcscmp(name, L"itemhlinesize") == 0) {
        SetItemHLineSize(ParseInt(value));
    } else if (wcscmp(name, L"itemshowhtml") == 0) {
        SetItemShowHtml(ParseBool(value));
    } else {
        CVerticalLayoutUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
