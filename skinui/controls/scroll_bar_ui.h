// CScrollBarUI: the drawn scroll bar that containers attach to themselves. A
// thin bar with an optional arrow button at each end, a thumb whose length
// follows the ratio of visible to total size and a rail mark in the thumb's
// middle. It keeps a range and a position, repeats arrow and page steps while
// the mouse is held, drags the thumb, and either drives its owner container's
// scroll operations or, without owner, moves itself and raises "scroll"
// (wParam the new position, lParam the old one).
#pragma once

#include <windows.h>

#include "skinui/core/control_ui.h"
#include "skinui/core/draw_kit.h"

namespace SkinUI {

class CContainerUI;

// The parts of the bar that have their own four images.
enum UiScrollBarPart {
    UISCROLLBAR_BUTTON1 = 0,  // up or left arrow
    UISCROLLBAR_BUTTON2 = 1,  // down or right arrow
    UISCROLLBAR_THUMB = 2,
    UISCROLLBAR_RAIL = 3,  // grip mark in the thumb's middle
    UISCROLLBAR_BK = 4,    // the bar's background
    UISCROLLBAR_PART_COUNT = 5,
};

// The four images of a part, by the state they show.
enum UiScrollBarImage {
    UISCROLLBAR_NORMAL = 0,
    UISCROLLBAR_HOT = 1,
    UISCROLLBAR_PUSHED = 2,
    UISCROLLBAR_DISABLED = 3,
    UISCROLLBAR_IMAGE_COUNT = 4,
};

class CScrollBarUI : public CControlUI {
public:
    CScrollBarUI();

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void SetFocus() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // The container this bar scrolls (null: the bar moves itself).
    CContainerUI* GetOwner() const { return m_pOwner; }
    void SetOwner(CContainerUI* owner) { m_pOwner = owner; }

    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool horizontal = true);
    // Maximum position; 0 means nothing to scroll. Negative becomes 0.
    int GetScrollRange() const { return m_nRange; }
    void SetScrollRange(int range);
    int GetScrollPos() const { return m_nScrollPos; }
    // Clamped to 0..range and snapped to the scroll unit; with notify and a
    // manager a change raises a queued "scroll".
    void SetScrollPos(int pos, bool notify = true);
    // Step of the arrow buttons; negative values are ignored.
    int GetLineSize() const { return m_nLineSize; }
    void SetLineSize(int size);
    // Above 1: positions snap to multiples of it and it replaces the line size.
    int GetScrollUnit() const { return m_nScrollUnit; }
    void SetScrollUnit(int unit);
    bool IsShowButton1() const { return m_bShowButton1; }
    void SetShowButton1(bool show);
    bool IsShowButton2() const { return m_bShowButton2; }
    void SetShowButton2(bool show);

    // Fill colours of the arrow buttons and the thumb (0: none). A thumb
    // colour replaces the thumb images.
    DWORD GetButton1Color() const { return m_parts[UISCROLLBAR_BUTTON1].color; }
    void SetButton1Color(DWORD color) { SetPartColor(UISCROLLBAR_BUTTON1, color); }
    DWORD GetButton2Color() const { return m_parts[UISCROLLBAR_BUTTON2].color; }
    void SetButton2Color(DWORD color) { SetPartColor(UISCROLLBAR_BUTTON2, color); }
    DWORD GetThumbColor() const { return m_parts[UISCROLLBAR_THUMB].color; }
    void SetThumbColor(DWORD color) { SetPartColor(UISCROLLBAR_THUMB, color); }

    // Image descriptions of every part and state. Setting the description
    // that is already loaded does nothing.
    const wchar_t* GetImage(UiScrollBarPart part, UiScrollBarImage image) const;
    void SetImage(UiScrollBarPart part, UiScrollBarImage image, const wchar_t* description);

private:
    // Rectangle, state bits (4 disabled, 8 hot, 16 pushed, 64 captured),
    // colour and images of one part. Only the buttons and the thumb use the
    // rectangle, the state and the colour.
    struct Part {
        RECT rc;
        UINT state;
        DWORD color;
        UiDrawInfo images[UISCROLLBAR_IMAGE_COUNT];
    };

    void SetPartColor(UiScrollBarPart part, DWORD color);
    // The thickness of the bar: fixed width, or fixed height when horizontal.
    int GetThickness() const;
    // The mouse coordinate along the bar.
    int Along(POINT pt) const;
    // One line (page = false) or one page back (direction -1) or forward (+1):
    // through the owner's scroll operations, or the bar's own position.
    void Step(int direction, bool page);
    // Where the thumb would go for a drag offset: remembered position + offset.
    void ApplyDrag();
    void OnButtonDown(POINT pt);
    void OnButtonUp();
    void OnMouseMove(POINT pt);
    void OnRepeatTimer();
    // Events the bar does not keep go to the owner, else to the base.
    void PassEvent(UiEvent& event);
    // The state image of a part inside rc: disabled, pushed or hot by the
    // state bits, falling back to the normal image.
    void DrawPartImage(HDC hDC, Part& part, UINT state, const RECT& rc);
    void PaintPart(HDC hDC, Part& part);
    void PaintRail(HDC hDC);

    bool m_bHorizontal;
    int m_nRange;
    int m_nScrollPos;
    int m_nLineSize;
    int m_nScrollUnit;
    CContainerUI* m_pOwner;
    POINT m_ptLastMouse;       // where a thumb drag started
    int m_nLastScrollPos;      // position when a thumb drag started
    int m_nLastScrollOffset;   // drag offset in scroll units
    int m_nScrollRepeatDelay;  // timer ticks since the button went down
    bool m_bShowButton1;
    bool m_bShowButton2;
    Part m_parts[UISCROLLBAR_PART_COUNT];
};

}  // namespace SkinUI
