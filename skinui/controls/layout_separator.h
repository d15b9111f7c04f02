// CLayoutSeparator: the drag strip of a vertical or horizontal layout
// ("sepheight", "sepwidth"). A strip along one edge of the layout lets the
// user drag the layout's own fixed height (vertical) or width (horizontal):
// a positive size puts the strip on the bottom or right edge, a negative one
// on the top or left edge. While dragging, a translucent bar shows where the
// edge will go and the layout takes its new size when the button is
// released; in immediate mode every move lays the parent out at once.
#pragma once

#include <windows.h>

#include "skinui/core/control_ui.h"

namespace SkinUI {

class CLayoutSeparator {
public:
    // vertical: the strip moves the top or bottom edge.
    explicit CLayoutSeparator(bool vertical);

    int GetSize() const { return m_iSepSize; }
    void SetSize(int size) { m_iSepSize = size; }
    bool IsImmediate() const { return m_bImmMode; }
    // Turning the mode around during a drag drops the pending bar.
    void SetImmediate(CControlUI& owner, bool immediate);
    bool IsCaptured() const { return m_bCaptured; }

    // The strip, in the drag's new position when useNew and a drag is under
    // way, else in rcItem.
    RECT GetThumbRect(const RECT& rcItem, bool useNew) const;
    // The set-cursor flag while the owner is enabled and has a strip.
    UINT GetControlFlags(const CControlUI& owner) const;

    // The drag: true when the event was taken. rcItem and cxyFixed are the
    // owner's rectangle and fixed size; the fixed size follows the drag, the
    // rectangle changes at the release (at every move in immediate mode).
    bool DoEvent(CControlUI& owner, RECT& rcItem, SIZE& cxyFixed, const UiEvent& event);
    // Draws the bar of a drag that is not immediate; false when none is under way.
    bool DoPostPaint(HDC hDC) const;

private:
    // One move while captured; the owner's sizes bound the dragged edge.
    void OnMove(CControlUI& owner, RECT& rcItem, SIZE& cxyFixed, POINT pt);

    bool m_bVertical;
    int m_iSepSize;
    bool m_bCaptured;
    POINT m_ptLastMouse;
    RECT m_rcNewPos;
    bool m_bImmMode;
};

}  // namespace SkinUI
