// The text rows of a list or a combo box. They take their colours, images,
// font, text style and padding from their owner's UiListInfo.
//
// CListElementUI: the bare row: index, draw index, selection, hot state,
// owner, "itemactivate" on a double click or Return.
// CListLabelElementUI ("ListLabelElement"): one text; a press sends
// "itemclick" and selects the row; measured text is cached.
// CListTextElementUI ("ListTextElement"): one text per column of the list
// (from the list's text callback, else the row's own), up to 8 mark-up links
// that show the hand cursor and send "link" with their index.
#pragma once

#include <windows.h>

#include <vector>

#include "skinui/controls/list_info.h"
#include "skinui/core/control_ui.h"

namespace SkinUI {

class CListElementUI : public CControlUI, public IListItemUI {
public:
    CListElementUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // Sends "itemactivate" (when visible and enabled).
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;

    // IListItemUI
    int GetIndex() const override { return m_iIndex; }
    void SetIndex(int index) override { m_iIndex = index; }
    int GetDrawIndex() const override { return m_iDrawIndex; }
    void SetDrawIndex(int index) override { m_iDrawIndex = index; }
    IListOwnerUI* GetOwner() override { return m_pOwner; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return m_bSelected; }
    bool Select(bool select = true, bool sendNotify = true) override;
    bool IsExpanded() const override { return false; }
    bool Expand(bool expand = true) override { return false; }
    void DrawItemTextInColor(HDC hDC, const RECT& rc, DWORD color) override {}
    void DrawItemText(HDC hDC, const RECT& rc) override {}

    UINT GetButtonState() const { return m_uButtonState; }

protected:
    // Events the row does not keep: to the owner, else to the base.
    void PassToOwner(UiEvent& event);
    void PaintBackground(HDC hDC);
    // The text colour of the row's state.
    DWORD StateTextColor(const UiListInfo& info) const;

    int m_iIndex;
    int m_iDrawIndex;
    bool m_bSelected;
    UINT m_uButtonState;
    IListOwnerUI* m_pOwner;
};

class CListLabelElementUI : public CListElementUI {
public:
    CListLabelElementUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetOwner(CControlUI* owner) override;
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;
    void DoEvent(UiEvent& event) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    void DrawItemTextInColor(HDC hDC, const RECT& rc, DWORD color) override;
    void DrawItemText(HDC hDC, const RECT& rc) override;

protected:
    // The text the row is measured by, and its width when it has no fixed one.
    virtual CUiString GetMeasuredText() { return m_sText; }
    virtual int GetEstimateWidth(const UiListInfo& info) const { return m_cxyFixed.cx; }

    SIZE m_cxyEstimate;
    bool m_bNeedEstimate;

private:
    // The estimate cache: what the last estimate measured with.
    SIZE m_szAvailableLast;
    int m_iItemHeightLast;
    int m_iFontLast;
    UINT m_uTextStyleLast;
    RECT m_rcTextPaddingLast;
    int m_iWidthLast;
    CUiString m_sTextLast;
};

class CListTextElementUI : public CListLabelElementUI {
public:
    // Links a row records from its mark-up text.
    enum { MAX_LINKS = 8 };

    CListTextElementUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetOwner(CControlUI* owner) override;
    void DoEvent(UiEvent& event) override;
    void DrawItemText(HDC hDC, const RECT& rc) override;

    // The text of a column (none when the column has none).
    CUiString GetText(int column) const;
    using CListLabelElementUI::GetText;
    // Stores the text at a column, adding empty columns before it as needed.
    void SetText(int column, const wchar_t* text);
    using CListLabelElementUI::SetText;
    int GetLinkCount() const { return m_nLinks; }
    RECT GetLinkRect(int index) const;

protected:
    // Column 0's text; the width of the list's columns when there are some.
    CUiString GetMeasuredText() override;
    int GetEstimateWidth(const UiListInfo& info) const override;

private:
    // The text shown in a column: the list's callback, else the column text,
    // and in column 0 the row's own text as the last resort.
    CUiString ColumnText(int column);
    int LinkAt(POINT pt) const;

    int m_nLinks;
    RECT m_rcLinks[MAX_LINKS];
    CUiString m_sLinks[MAX_LINKS];
    int m_nHoverLink;
    IListUI* m_pListOwner;
    std::vector<CUiString> m_aTexts;
};

}  // namespace SkinUI
