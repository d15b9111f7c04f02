#include "skinui/controls/combo_ui.h"

#include <algorithm>

#include "skinui/controls/button_ui.h"
#include "skinui/controls/combo_wnd.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/state_image.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

IListItemUI* ItemOf(CControlUI* control)
{
    return control != nullptr ? static_cast<IListItemUI*>(control->GetInterface(L"IListItem")) : nullptr;
}

int ScaleForEnlarge(int value)
{
    if (!CUiManager::IsEnlargeMode()) {
        return value;
    }
    return static_cast<int>(static_cast<float>(value) * CUiManager::GetEnlargeScale());
}

// Font of the face text (a font the skin is expected to define).
const int kFaceFont = 12;
const int kFaceEnlargeFont = 18;

}  // namespace

CComboUI::CComboUI()
    : m_pWindow(nullptr),
      m_iCurSel(-1),
      m_bShowText(true),
      m_bSelectCloseFlag(true),
      m_dwShowTextColor(0),
      m_rcTextPadding(),
      m_szDropBox{0, CUiManager::IsEnlargeMode() ? 225 : 150},
      m_uButtonState(0),
      m_dwHotBkColor(0),
      m_dwPushedBkColor(0),
      m_dwTextColor(0)
{
    m_ListInfo.nFont = CUiManager::IsEnlargeMode() ? 3 : 0;
    m_ListInfo.uTextStyle = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
}

CComboUI::~CComboUI() { CloseDropDown(true); }

const wchar_t* CComboUI::GetClass() const { return L"Combo"; }

LPVOID CComboUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"IListOwner") == 0) {
        return static_cast<IListOwnerUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"Combo") == 0) {
        return static_cast<CComboUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const { return IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0; }

HWND CComboUI::GetDropWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

// ---- The pop-up ----

bool CComboUI::Activate()
{
    if (!CContainerUI::Activate()) {
        return false;
    }
    if (m_pWindow != nullptr) {
        return true;
    }
    CComboWnd* popup = new CComboWnd;
    m_pWindow = popup;
    if (!popup->Init(this)) {
        m_pWindow = nullptr;
        delete popup;
        return false;
    }
    if (m_pManager != nullptr) {
        m_pManager->SendNotify(this, L"dropdown");
    }
    Invalidate();
    return true;
}

void CComboUI::CloseDropDown(bool destroying)
{
    HWND popup = GetDropWindow();
    if (popup == nullptr) {
        return;
    }
    // Synchronous either way: the pop-up hands the items back before it goes.
    if (destroying) {
        ::DestroyWindow(popup);
    } else {
        ::SendMessageW(popup, WM_CLOSE, 0, 0);
    }
}

// ---- Selection ----

bool CComboUI::SelectItem(int index, bool takeFocus, bool sendNotify)
{
    if (m_bSelectCloseFlag && m_pWindow != nullptr) {
        m_pWindow->Close(1);
    }
    if (index == m_iCurSel) {
        return true;
    }
    const int previous = m_iCurSel;
    if (m_iCurSel >= 0) {
        CControlUI* old = GetItemAt(m_iCurSel);
        if (old == nullptr) {
            return false;
        }
        if (IListItemUI* item = ItemOf(old)) {
            item->Select(false, sendNotify);
        }
        m_iCurSel = -1;
    }
    if (index < 0 || GetCount() == 0) {
        return false;
    }
    index = std::min(index, GetCount() - 1);
    CControlUI* control = GetItemAt(index);
    IListItemUI* item = ItemOf(control);
    if (!control->IsEnabled() || item == nullptr) {
        return false;
    }
    m_iCurSel = index;
    if (!control->IsVisible()) {
        return false;
    }
    if (m_pWindow != nullptr || takeFocus) {
        control->SetFocus();
    }
    item->Select(true, sendNotify);
    if (m_pManager != nullptr && sendNotify) {
        m_pManager->SendNotify(this, L"itemselect", m_iCurSel, previous);
    }
    Invalidate();
    return true;
}

void CComboUI::SelectKeepingOpen(int index)
{
    // A key that finds no item keeps the selection.
    if (index < 0) {
        return;
    }
    m_bSelectCloseFlag = false;
    SelectItem(index, false, true);
    m_bSelectCloseFlag = true;
}

CUiString CComboUI::GetText() const
{
    CControlUI* item = GetItemAt(m_iCurSel);
    return item != nullptr ? item->GetText() : CUiString();
}

void CComboUI::SetDisplayText(const wchar_t* text)
{
    m_sDisplayText = text;
    Invalidate();
}

// ---- Items ----

void CComboUI::RenumberItems(int from, int to)
{
    from = std::max(from, 0);
    to = std::min(to, GetCount() - 1);
    for (int i = from; i <= to; ++i) {
        if (IListItemUI* item = ItemOf(GetItemAt(i))) {
            item->SetIndex(i);
        }
    }
}

bool CComboUI::Add(CControlUI* control)
{
    if (control == nullptr) {
        return false;
    }
    if (IListItemUI* item = ItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(GetCount());
    }
    return CContainerUI::AddAt(control, GetCount());
}

bool CComboUI::AddAt(CControlUI* control, int index)
{
    if (!CContainerUI::AddAt(control, index)) {
        return false;
    }
    if (IListItemUI* item = ItemOf(control)) {
        item->SetOwner(this);
        item->SetIndex(index);
    }
    RenumberItems(index + 1, GetCount() - 1);
    if (m_iCurSel >= index) {
        ++m_iCurSel;
    }
    return true;
}

bool CComboUI::Remove(CControlUI* control, bool doNotDestroy) { return RemoveAt(GetItemIndex(control), doNotDestroy); }

bool CComboUI::RemoveAt(int index, bool doNotDestroy)
{
    CControlUI* control = GetItemAt(index);
    if (control == nullptr) {
        return false;
    }
    // The open drop list still shows the items: it lets go of them first.
    CloseDropDown(false);
    if (!CContainerUI::Remove(control, doNotDestroy)) {
        return false;
    }
    RenumberItems(index, GetCount() - 1);
    if (index == m_iCurSel) {
        m_iCurSel = -1;
        SelectItem(FindSelectable(index, false), false, true);
    } else if (index < m_iCurSel) {
        --m_iCurSel;
    }
    return true;
}

void CComboUI::RemoveAll()
{
    CloseDropDown(false);
    m_iCurSel = -1;
    CContainerUI::RemoveAll();
}

bool CComboUI::SetItemIndex(CControlUI* control, int index)
{
    const int old = GetItemIndex(control);
    if (old < 0) {
        return false;
    }
    if (old == index) {
        return true;
    }
    CControlUI* selected = GetItemAt(m_iCurSel);
    if (!CContainerUI::SetItemIndex(control, index)) {
        return false;
    }
    RenumberItems(std::min(old, index), std::max(old, index));
    m_iCurSel = selected != nullptr ? GetItemIndex(selected) : -1;
    return true;
}

bool CComboUI::SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex)
{
    if (startControl == nullptr || count < 0 || newStartIndex < 0) {
        return false;
    }
    const int start = GetItemIndex(startControl);
    if (start == newStartIndex) {
        return true;
    }
    if (start < 0 || start + count > GetCount() || newStartIndex + count > GetCount()) {
        return false;
    }
    CControlUI* selected = GetItemAt(m_iCurSel);
    if (!CContainerUI::SetMultiItemIndex(startControl, count, newStartIndex)) {
        return false;
    }
    RenumberItems(std::min(start, newStartIndex), std::max(start, newStartIndex) + count - 1);
    m_iCurSel = selected != nullptr ? GetItemIndex(selected) : -1;
    return true;
}

// ---- Geometry and state ----

void CComboUI::SetPos(RECT rc, bool needInvalidate)
{
    // The items are not laid out in the closed combo; those the open pop-up
    // shows (they belong to its manager then) keep their places there.
    const RECT none = {0, 0, 0, 0};
    for (int i = 0; i < m_items.GetSize(); ++i) {
        CControlUI* item = ChildAt(i);
        if (item->GetManager() == m_pManager) {
            item->SetPos(none, false);
        }
    }
    CControlUI::SetPos(rc, needInvalidate);
}

void CComboUI::Move(int dx, int dy, bool needInvalidate) { CControlUI::Move(dx, dy, needInvalidate); }

void CComboUI::SetEnabled(bool enable)
{
    CContainerUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
    }
}

SIZE CComboUI::EstimateSize(SIZE available)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr) {
        return CContainerUI::EstimateSize(available);
    }
    return CUiSize(m_cxyFixed.cx, m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8);
}

// ---- Events ----

void CComboUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CContainerUI::DoEvent(event);
        }
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
        Invalidate();
        break;
    case UIEVENT_BUTTONDOWN:
        if (IsEnabled()) {
            Activate();
            m_uButtonState |= UISTATE_PUSHED | UISTATE_CAPTURED;
        }
        return;
    case UIEVENT_BUTTONUP:
        if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
            m_uButtonState &= ~UISTATE_CAPTURED;  // pushed stays while the pop-up is open
            Invalidate();
        }
        return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_KEYDOWN:
        if (!IsKeyboardEnabled() || !IsEnabled()) {
            break;
        }
        switch (event.chKey) {
        case VK_F4:
            Activate();
            break;
        case VK_UP:
        case VK_PRIOR:
            SelectKeepingOpen(FindSelectable(m_iCurSel - 1, false));
            break;
        case VK_DOWN:
        case VK_NEXT:
            SelectKeepingOpen(FindSelectable(m_iCurSel + 1, true));
            break;
        case VK_HOME:
            SelectKeepingOpen(FindSelectable(0, false));
            break;
        case VK_END:
            // The last selectable item, searched from the end backwards.
            SelectKeepingOpen(FindSelectable(GetCount() - 1, false));
            break;
        default:
            break;
        }
        return;
    case UIEVENT_MOUSEENTER:
        if (::PtInRect(&m_rcItem, event.ptMouse) && IsEnabled() && (m_uButtonState & UISTATE_HOT) == 0) {
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
        if (IsEnabled() && (m_uButtonState & UISTATE_HOT) != 0) {
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
    CContainerUI::DoEvent(event);
}

// ---- Attributes ----

void CComboUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    static const UiImageAttribute<UiDrawInfo CComboUI::*> kImages[] = {
        {L"normalimage", L"normalEnlargeImage", &CComboUI::m_diNormal},
        {L"hotimage", L"hotEnlargeImage", &CComboUI::m_diHot},
        {L"pushedimage", L"pushedEnlargeImage", &CComboUI::m_diPushed},
        {L"focusedimage", L"focusedEnlargeImage", &CComboUI::m_diFocused},
        {L"disabledimage", L"disabledEnlargeImage", &CComboUI::m_diDisabled},
    };
    if (SetImageAttribute(*this, kImages, name, value)) {
        return;
    }
    if (DWORD* color = ListInfoColor(m_ListInfo, name)) {
        *color = ParseColor(value);
    } else if (UiDrawInfo* itemImage = ListInfoImage(m_ListInfo, name)) {
        CLabelUI::ReplaceImage(*itemImage, value);
    } else if (wcscmp(name, L"textpadding") == 0) {
        m_rcTextPadding = ParseRect(value);
        Invalidate();
    } else if (wcscmp(name, L"showtext") == 0) {
        m_bShowText = ParseBool(value);
        Invalidate();
    } else if (wcscmp(name, L"showtextcolor") == 0) {
        m_dwShowTextColor = ParseColor(value);
    } else if (wcscmp(name, L"textcolor") == 0) {
        m_dwTextColor = ParseColor(value);
    } else if (wcscmp(name, L"hotbkcolor") == 0) {
        m_dwHotBkColor = ParseColor(value);
    } else if (wcscmp(name, L"pushedbkcolor") == 0) {
        m_dwPushedBkColor = ParseColor(value);
    } else if (wcscmp(name, L"dropbox") == 0) {
        m_sDropBoxAttributes = value;
    } else if (wcscmp(name, L"dropboxsize") == 0) {
        const CUiSize size = ParseSize(value);
        SetDropBoxSize(CUiSize(ScaleForEnlarge(size.cx), ScaleForEnlarge(size.cy)));
    } else if (wcscmp(name, L"itemheight") == 0) {
        m_ListInfo.nItemHeight = ScaleForEnlarge(ParseInt(value));
    } else if (wcscmp(name, L"itemfont") == 0) {
        m_ListInfo.nFont = ParseInt(value);
    } else if (wcscmp(name, L"itemalign") == 0) {
        m_ListInfo.uTextStyle = ApplyAlignWords(m_ListInfo.uTextStyle, value);
    } else if (wcscmp(name, L"itemtextpadding") == 0) {
        const CUiRect rc = ParseRect(value);
        m_ListInfo.rcTextPadding = {ScaleForEnlarge(rc.left), ScaleForEnlarge(rc.top), rc.right, rc.bottom};
    } else if (wcscmp(name, L"itemaltbk") == 0) {
        m_ListInfo.bAlternateBk = ParseBool(value);
    } else if (wcscmp(name, L"itemvlinesize") == 0) {
        m_ListInfo.iVLineSize = ParseInt(value);
    } else if (wcscmp(name, L"itemhlinesize") == 0) {
        m_ListInfo.iHLineSize = ParseInt(value);
    } else if (wcscmp(name, L"itemshowhtml") == 0) {
        m_ListInfo.bShowHtml = ParseBool(value);
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

// ---- Painting the face ----

bool CComboUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    return CControlUI::DoPaint(hDC, rcPaint, stopControl);
}

void CComboUI::PaintStatusImage(HDC hDC)
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
    UiDrawInfo* state = nullptr;
    if ((m_uButtonState & UISTATE_DISABLED) != 0) {
        state = &m_diDisabled;
    } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        if (m_dwPushedBkColor != 0) {
            CDrawKit::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwPushedBkColor));
        }
        state = &m_diPushed;
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        if (m_dwHotBkColor != 0) {
            CDrawKit::DrawColor(hDC, m_rcItem, GetAdjustColor(m_dwHotBkColor));
        }
        state = &m_diHot;
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0) {
        state = &m_diFocused;
    }
    if (state == nullptr || !DrawImage(hDC, *state)) {
        DrawImage(hDC, m_diNormal);
    }
}

void CComboUI::PaintText(HDC hDC)
{
    if (!m_bShowText) {
        return;
    }
    const int font = CUiManager::IsEnlargeMode() ? kFaceEnlargeFont : kFaceFont;
    if (!m_sDisplayText.IsEmpty()) {
        RECT rc = m_rcItem;
        rc.left += 10;
        CDrawKit::DrawText(hDC, m_pManager, rc, m_sDisplayText, m_dwShowTextColor, font, DT_VCENTER | DT_SINGLELINE);
        return;
    }
    CControlUI* control = GetItemAt(m_iCurSel);
    if (control == nullptr) {
        return;
    }
    RECT rc = m_rcItem;
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    if (IListItemUI* item = ItemOf(control)) {
        if (m_dwTextColor != 0) {
            item->DrawItemTextInColor(hDC, rc, m_dwTextColor);
        } else {
            item->DrawItemText(hDC, rc);
        }
        return;
    }
    // Not a list item: painted where the text goes, then put back.
    const RECT old = control->GetPos();
    control->SetPos(rc, false);
    control->Paint(hDC, rc, nullptr);
    control->SetPos(old, false);
}

}  // namespace SkinUI
