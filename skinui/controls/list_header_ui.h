// CListHeaderUI: the column header of a list, a horizontal layout of
// CListHeaderItemUI captions, one per column. The list reads the items'
// rectangles as its column rectangles after every layout pass.
//
// CListHeaderItemUI: one clickable column caption ("headerclick") with an
// optional drag strip on its right edge ("sepwidth" N > 0) or left edge
// (-N) that changes the column's width, never down to its min width.
#pragma once

#include <windows.h>

#include "skinui/controls/horizontal_layout_ui.h"
#include "skinui/controls/state_image.h"
#include "skinui/core/control_ui.h"

namespace SkinUI {

class CListHeaderUI : public CHorizontalLayoutUI {
public:
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    // Height: the fixed one, else the tallest item but at least the default
    // font height + 8. Width: the sum of all items' widths.
    SIZE EstimateSize(SIZE available) override;
};

class CListHeaderItemUI : public CControlUI {
public:
    CListHeaderItemUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

    // The drag strip inside the item rectangle.
    RECT GetThumbRect() const;
    UINT GetButtonState() const { return m_uButtonState; }

    bool IsDragable() const { return m_bDragable; }
    void SetDragable(bool dragable);
    int GetSepWidth() const { return m_iSepWidth; }
    void SetSepWidth(int width) { m_iSepWidth = width; }
    int GetFont() const { return m_iFont; }
    void SetFont(int font) { m_iFont = font; }
    UINT GetTextStyle() const { return m_uTextStyle; }
    void SetTextStyle(UINT style) { m_uTextStyle = style; }
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetTextColor(DWORD color);
    DWORD GetSepColor() const { return m_dwSepColor; }
    void SetSepColor(DWORD color);
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return m_bShowHtml; }
    void SetShowHtml(bool showHtml = true);
    void SetNormalImage(const wchar_t* description) { SetStateImage(*this, m_diNormal, description); }
    void SetHotImage(const wchar_t* description) { SetStateImage(*this, m_diHot, description); }
    void SetPushedImage(const wchar_t* description) { SetStateImage(*this, m_diPushed, description); }
    void SetFocusedImage(const wchar_t* description) { SetStateImage(*this, m_diFocused, description); }
    void SetSepImage(const wchar_t* description) { SetStateImage(*this, m_diSep, description); }

private:
    // The header's parent (the list) lays out again.
    void RelayoutList();

    POINT m_ptLastMouse;
    bool m_bDragable;
    UINT m_uButtonState;
    int m_iSepWidth;
    DWORD m_dwTextColor;
    DWORD m_dwSepColor;
    int m_iFont;
    UINT m_uTextStyle;
    bool m_bShowHtml;
    RECT m_rcTextPadding;
    UiDrawInfo m_diNormal;
    UiDrawInfo m_diHot;
    UiDrawInfo m_diPushed;
    UiDrawInfo m_diFocused;
    UiDrawInfo m_diSep;
};

}  // namespace SkinUI
