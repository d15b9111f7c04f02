#include "skinui/controls/option_ui.h"

#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

COptionUI::COptionUI() : m_bSelected(false), m_dwSelectedBkColor(0), m_dwSelectedTextColor(0) {}

COptionUI::~COptionUI()
{
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) {
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
    }
}

const wchar_t* COptionUI::GetClass() const { return L"Option"; }

LPVOID COptionUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Option") == 0) {
        return static_cast<COptionUI*>(this);
    }
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CUiManager* manager, CControlUI* parent, bool init)
{
    // Moving to another window (or to none) leaves the old window's group.
    if (m_pManager != nullptr && m_pManager != manager && !m_sGroupName.IsEmpty()) {
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
    }
    CButtonUI::SetManager(manager, parent, init);
    if (init && m_pManager != nullptr && !m_sGroupName.IsEmpty()) {
        m_pManager->AddOptionGroup(m_sGroupName, this);
    }
}

void COptionUI::SetGroup(const wchar_t* groupName)
{
    if (m_sGroupName == (groupName != nullptr ? groupName : L"")) {
        return;
    }
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) {
        m_pManager->RemoveOptionGroup(m_sGroupName, this);
    }
    m_sGroupName = groupName != nullptr ? groupName : L"";
    if (!m_sGroupName.IsEmpty() && m_pManager != nullptr) {
        m_pManager->AddOptionGroup(m_sGroupName, this);
    }
}

void COptionUI::Selected(bool selected, bool sendNotify)
{
    if (m_bSelected == selected) {
        return;
    }
    m_bSelected = selected;
    if (selected) {
        m_uButtonState |= UISTATE_SELECTED;
    } else {
        m_uButtonState &= ~UISTATE_SELECTED;
    }
    // Repainting is asked for first: a "selectchanged" listener may delete the option.
    Invalidate();
    if (m_pManager == nullptr) {
        return;
    }
    if (m_sGroupName.IsEmpty()) {
        if (sendNotify) {
            m_pManager->SendNotify(this, L"selectchanged");
        }
        return;
    }
    if (!selected) {
        return;
    }
    const CUiPtrArray* group = m_pManager->GetOptionGroup(m_sGroupName);
    if (group != nullptr) {
        CUiPtrArray members(*group);
        for (int i = 0; i < members.GetSize(); ++i) {
            CControlUI* member = static_cast<CControlUI*>(members[i]);
            COptionUI* option = static_cast<COptionUI*>(member->GetInterface(L"Option"));
            if (option != nullptr && option != this) {
                option->Selected(false, sendNotify);
            }
        }
    }
    if (sendNotify) {
        m_pManager->SendNotify(this, L"selectchanged");
    }
}

bool COptionUI::Activate()
{
    // A "click" handler may close the window and with it delete this option.
    CLifeWatch watch(m_life);
    if (!CButtonUI::Activate()) {
        return false;
    }
    if (watch.IsDead()) {
        return true;
    }
    Selected(m_sGroupName.IsEmpty() ? !m_bSelected : true, true);
    return true;
}

void COptionUI::SetEnabled(bool enable)
{
    CButtonUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = m_bSelected ? UISTATE_SELECTED : 0;
    }
}

void COptionUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    static const UiImageAttribute<UiDrawInfo COptionUI::*> kImages[] = {
        {L"selectedimage", L"selectedEnlargeImage", &COptionUI::m_diSelected},
        {L"selectedhotimage", L"selectedhotEnlargeImage", &COptionUI::m_diSelectedHot},
        {L"selecteddisabledimage", L"selectedDisabledEnlargeImage", &COptionUI::m_diSelectedDisabled},
        {L"foreimage", L"foreEnlargeImage", &COptionUI::m_diOptionFore},
    };
    if (SetImageAttribute(*this, kImages, name, value)) {
        return;
    }
    if (wcscmp(name, L"group") == 0) {
        SetGroup(value);
    } else if (wcscmp(name, L"selected") == 0) {
        Selected(ParseBool(value), true);
    } else if (wcscmp(name, L"selectedbkcolor") == 0) {
        SetSelectedBkColor(ParseColor(value));
    } else if (wcscmp(name, L"selectedtextcolor") == 0) {
        SetSelectedTextColor(ParseColor(value));
    } else {
        CButtonUI::SetAttribute(name, value);
    }
}

SIZE COptionUI::EstimateSize(SIZE available)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr) {
        return CButtonUI::EstimateSize(available);
    }
    return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + 8};
}

bool COptionUI::PaintSelectedImage(HDC hDC)
{
    if ((m_uButtonState & UISTATE_HOT) != 0 && DrawImage(hDC, m_diSelectedHot)) {
        return true;
    }
    if ((m_uButtonState & UISTATE_DISABLED) != 0 && DrawImage(hDC, m_diSelectedDisabled)) {
        return true;
    }
    if (DrawImage(hDC, m_diSelected)) {
        return true;
    }
    if (m_dwSelectedBkColor != 0) {
        CDrawKit::DrawColor(hDC, m_rcPaint, GetAdjustColor(m_dwSelectedBkColor));
        return true;
    }
    return false;
}

void COptionUI::PaintStatusImage(HDC hDC)
{
    RefreshStateBits();
    if (!m_bSelected || !PaintSelectedImage(hDC)) {
        // Options never show a pushed look.
        const UINT state = m_uButtonState;
        m_uButtonState &= ~UISTATE_PUSHED;
        CButtonUI::PaintStatusImage(hDC);
        m_uButtonState = state;
    }
    DrawImage(hDC, m_diOptionFore);
}

void COptionUI::PaintText(HDC hDC)
{
    ResolveDefaultColors();
    if (m_sText.IsEmpty()) {
        return;
    }
    DWORD color = m_bSelected && m_dwSelectedTextColor != 0 ? m_dwSelectedTextColor : m_dwTextColor;
    if (!IsEnabled()) {
        color = m_dwDisabledTextColor;
    }
    RECT rc = GetTextRect();
    if (m_bShowHtml) {
        int links = 0;
        CDrawKit::DrawHtmlText(hDC, m_pManager, rc, m_sText, color, nullptr, nullptr, links, m_iFont, m_uTextStyle);
    } else {
        CDrawKit::DrawText(hDC, m_pManager, rc, m_sText, color, m_iFont, m_uTextStyle);
    }
}

const wchar_t* CCheckBoxUI::GetClass() const { return L"CheckBox"; }

LPVOID CCheckBoxUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"CheckBox") == 0) {
        return static_cast<CCheckBoxUI*>(this);
    }
    return COptionUI::GetInterface(name);
}

}  // namespace SkinUI
