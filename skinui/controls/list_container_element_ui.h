// Rows that hold other controls.
//
// CListContainerElementUI ("ListContainerElement"): a row that is itself a
// container of any controls; it selects, activates, sends "itemclick" and
// tracks the hot state like the text rows, and an "expandable" row also
// expands and collapses through its owner ("itemexpand", "itemcollapse").
// CListHBoxElementUI ("ListHBoxElement"): a container row whose k-th child
// is placed in the list's k-th column.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/controls/list_info.h"

namespace SkinUI {

class CListContainerElementUI : public CContainerUI, public IListItemUI {
public:
    CListContainerElementUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // Sends "itemactivate" (when visible and enabled).
    bool Activate() override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // IListItemUI
    int GetIndex() const override { return m_iIndex; }
    void SetIndex(int index) override { m_iIndex = index; }
    int GetDrawIndex() const override { return m_iDrawIndex; }
    void SetDrawIndex(int index) override { m_iDrawIndex = index; }
    IListOwnerUI* GetOwner() override { return m_pOwner; }
    void SetOwner(CControlUI* owner) override;
    bool IsSelected() const override { return m_bSelected; }
    bool Select(bool select = true, bool sendNotify = true) override;
    bool IsExpanded() const override { return m_bExpanded; }
    bool Expand(bool expand = true) override;
    void DrawItemTextInColor(HDC hDC, const RECT& rc, DWORD color) override {}
    void DrawItemText(HDC hDC, const RECT& rc) override {}

    bool IsExpandable() const { return m_bExpandable; }
    void SetExpandable(bool expandable) { m_bExpandable = expandable; }
    UINT GetButtonState() const { return m_uButtonState; }

protected:
    void PaintBackground(HDC hDC);

    int m_iIndex;
    int m_iDrawIndex;
    bool m_bSelected;
    bool m_bExpandable;
    bool m_bExpanded;
    UINT m_uButtonState;
    IListOwnerUI* m_pOwner;
};

class CListHBoxElementUI : public CListContainerElementUI {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
};

}  // namespace SkinUI
