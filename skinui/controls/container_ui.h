// CContainerUI: the control that owns children. It keeps them in order,
// initialises and destroys them, paints them clipped to its client area,
// searches them for the window manager, carries the inset, child padding and
// child alignment the layouts use, and owns up to two scroll bars that shift
// its children. By itself it places every child over its whole client area;
// the layouts derive from it and replace the placement.
#pragma once

#include <windows.h>

#include "skinui/core/container_interface.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/ui_ptr_array.h"

namespace SkinUI {

class CScrollBarUI;

// Child alignment values of "childalign" and "childvalign".
enum UiChildAlign {
    UICHILD_ALIGN_LEFT = 0,
    UICHILD_ALIGN_CENTER = 1,
    UICHILD_ALIGN_RIGHT = 2,
    UICHILD_VALIGN_TOP = 0,
    UICHILD_VALIGN_VCENTER = 4,
    UICHILD_VALIGN_BOTTOM = 8,
};

class CContainerUI : public CControlUI, public IContainerUI {
public:
    CContainerUI();
    ~CContainerUI() override;

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetManager(CUiManager* manager, CControlUI* parent, bool init = true) override;
    RECT GetClientPos() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    void SetInternVisible(bool visible = true) override;
    void SetMouseEnabled(bool enable = true) override;
    CControlUI* FindControl(FINDCONTROLPROC proc, LPVOID data, UINT flags) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // IContainerUI
    CControlUI* GetItemAt(int index) const override;
    int GetItemIndex(CControlUI* control) const override;
    bool SetItemIndex(CControlUI* control, int index) override;
    bool SetMultiItemIndex(CControlUI* startControl, int count, int newStartIndex) override;
    int GetCount() const override;
    bool Add(CControlUI* control) override;
    bool AddAt(CControlUI* control, int index) override;
    bool Remove(CControlUI* control, bool doNotDestroy = false) override;
    bool RemoveAt(int index, bool doNotDestroy = false) override;
    void RemoveAll() override;

    // Own operations.
    virtual RECT GetInset() const;
    virtual void SetInset(RECT rcInset);
    virtual int GetChildPadding() const;
    // A negative padding is stored as 0.
    virtual void SetChildPadding(int padding);
    virtual UINT GetChildAlign() const;
    virtual void SetChildAlign(UINT align);
    virtual UINT GetChildVAlign() const;
    virtual void SetChildVAlign(UINT align);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool autoDestroy);
    virtual bool IsDelayedDestroy() const;
    virtual void SetDelayedDestroy(bool delayed);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool enable = true);

    // Index of the nearest visible, enabled list item from index in the given
    // direction; -1 when there is none.
    virtual int FindSelectable(int index, bool forward = true) const;

    // Scrolling, in pixels. A direction without a visible bar reads as 0.
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE szPos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void PageUp();
    virtual void PageDown();
    virtual void HomeUp();
    virtual void EndDown();
    virtual void LineLeft();
    virtual void LineRight();
    virtual void PageLeft();
    virtual void PageRight();
    virtual void HomeLeft();
    virtual void EndRight();
    virtual void EnableScrollBar(bool enableVertical = true, bool enableHorizontal = false);
    virtual CScrollBarUI* GetVerticalScrollBar() const;
    virtual CScrollBarUI* GetHorizontalScrollBar() const;

    // Places the floating child at index by its fixed position and float percentages.
    virtual void SetFloatPos(int index);
    // Called by the layouts after placing the children: shows, hides and
    // sizes the scroll bars for the content size (cxNeeded, cyNeeded) in rc.
    virtual void ProcessScrollBar(RECT rc, int cxNeeded, int cyNeeded);
    // The last step of a paint pass: the visible scroll bars that meet
    // rcPaint. False when the pass reached stopControl.
    bool PaintScrollBars(HDC hDC, const RECT& rcPaint, CControlUI* stopControl);

protected:
    // The own child at index (null out of range). The container's own work
    // (layout, painting, searching) goes through it: a derived class may
    // answer GetItemAt with other controls (the list answers with its rows).
    CControlUI* ChildAt(int index) const { return static_cast<CControlUI*>(m_items.GetAt(index)); }
    // The common start of a layout pass: stores rc as the control's
    // rectangle and makes it the content rectangle; without children the
    // bars are processed for no content and the answer is false (the pass
    // ends).
    bool StartLayoutPass(RECT& rc, bool needInvalidate);
    // The own child at index when a layout pass places it: null for a hidden
    // child, and for a floating one, which this places by SetFloatPos.
    CControlUI* LayoutChildAt(int index);
    // The control rectangle less the inset and the visible bars.
    RECT GetContentRect() const;
    // Hands a removed child to the delayed clean-up or deletes it.
    void DestroyChild(CControlUI* control);
    // Each visible child at area's top-left with area's size, bounded by its
    // minimum and maximum; floating children by their own position.
    void PlaceChildren(const RECT& area);
    // SetPos of the own rectangle (the relative one for a floating container)
    // inside the scroll-processing guard.
    void Relayout();
    void SetOwnPos(bool needInvalidate);
    int GetVerticalLineSize() const;
    int GetHorizontalLineSize() const;
    // The client extent less the inset and the other direction's visible bar.
    int GetVerticalPageSize() const;
    int GetHorizontalPageSize() const;
    void ScrollBy(int dx, int dy);
    // ProcessScrollBar for a container with only this one bar: the content
    // needs `needed` pixels where `room` are free; rcBar is the bar's place.
    void ProcessSingleBar(CScrollBarUI* scrollBar, int needed, int room, const RECT& rcBar);

    CUiPtrArray m_items;
    RECT m_rcInset;
    int m_iChildPadding;
    UINT m_iChildAlign;
    UINT m_iChildVAlign;
    bool m_bAutoDestroy;
    bool m_bDelayedDestroy;
    bool m_bMouseChildEnabled;
    bool m_bScrollProcess;
    CScrollBarUI* m_pVerticalScrollBar;
    CScrollBarUI* m_pHorizontalScrollBar;
};

}  // namespace SkinUI
