// CComboUI ("Combo"): a closed selection box. Its items are list rows that
// it owns as container children; they show in a pop-up window of their own
// (CComboWnd) while the combo is open, and the face shows the selected one.
// The combo is their list owner: they paint by its UiListInfo and select
// through it ("itemselect"). It opens on a press or F4 ("dropdown"); Up,
// Down, Page Up, Page Down, Home and End move the selection, closed or open.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/controls/list_info.h"

namespace SkinUI {

class CComboWnd;

class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    // An open pop-up is closed first: it hands the items back.
    ~CComboUI() override;

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // Opens the pop-up; false when the combo is hidden or disabled or the
    // pop-up cannot be made.
    bool Activate() override;
    // The selected item's text.
    CUiString GetText() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    // The face only (background, state image, text, border), never the items.
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // IContainerUI: the items keep their list indexes and the selection its item.
    bool SetItemIndex(CControlUI* control, int index) override;
    bool SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex) override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    // Removing closes an open pop-up first.
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;

    // IListOwnerUI
    UiListInfo* GetListInfo() override { return &m_ListInfo; }
    int GetCurSel() const override { return m_iCurSel; }
    // An index past the end selects the last item.
    bool SelectItem(int index, bool takeFocus = false, bool sendNotify = true) override;
    bool ExpandItem(int index, bool expand = true) override { return false; }
    int GetExpandedItem() const override { return -1; }

    bool IsOpen() const { return m_pWindow != nullptr; }
    // The open pop-up's window (null while closed).
    HWND GetDropWindow() const;
    CUiString GetDropBoxAttributeList() const { return m_sDropBoxAttributes; }
    SIZE GetDropBoxSize() const { return m_szDropBox; }
    void SetDropBoxSize(SIZE size) { m_szDropBox = size; }
    // Drawn on the face instead of the selected item while not empty.
    CUiString GetDisplayText() const { return m_sDisplayText; }
    void SetDisplayText(const wchar_t* text);
    UINT GetButtonState() const { return m_uButtonState; }

private:
    friend class CComboWnd;

    // Closes the pop-up at once. A living combo takes the focus back as after
    // any close; a dying one (destroying) only gets its items back.
    void CloseDropDown(bool destroying);
    // Items from..to (inclusive, clamped) learn their index again.
    void RenumberItems(int from, int to);
    // Selects while an open pop-up stays open.
    void SelectKeepingOpen(int index);

    CComboWnd* m_pWindow;
    int m_iCurSel;
    bool m_bShowText;
    bool m_bSelectCloseFlag;
    CUiString m_sDisplayText;
    DWORD m_dwShowTextColor;
    RECT m_rcTextPadding;
    CUiString m_sDropBoxAttributes;
    SIZE m_szDropBox;
    UINT m_uButtonState;
    DWORD m_dwHotBkColor;
    DWORD m_dwPushedBkColor;
    DWORD m_dwTextColor;
    UiDrawInfo m_diNormal;
    UiDrawInfo m_diHot;
    UiDrawInfo m_diPushed;
    UiDrawInfo m_diFocused;
    UiDrawInfo m_diDisabled;
    UiListInfo m_ListInfo;
};

}  // namespace SkinUI
