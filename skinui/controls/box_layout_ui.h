// CBoxLayoutUI: the layout of CVerticalLayoutUI and CHorizontalLayoutUI,
// which place their children one after the other along one axis (down or
// across). Children with a size along the axis share the room first;
// children whose estimate has none share what is left, the last of them
// taking the rounding remainder. Across the axis each child takes its
// maximum size (else the room) and sits by the container's alignment for
// that direction. With a separator size ("sepheight", "sepwidth") the layout
// is also a splitter: a strip along its far (or, negative, its near) edge
// drags its own fixed size along the axis.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/controls/layout_separator.h"

namespace SkinUI {

class CBoxLayoutUI : public CContainerUI {
public:
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    bool IsSepImmMode() const { return m_separator.IsImmediate(); }
    void SetSepImmMode(bool immediate) { m_separator.SetImmediate(*this, immediate); }
    RECT GetThumbRect(bool useNew = false) const { return m_separator.GetThumbRect(m_rcItem, useNew); }

protected:
    // vertical: children stacked top to bottom, else left to right.
    explicit CBoxLayoutUI(bool vertical);

    CLayoutSeparator m_separator;

private:
    bool m_bVertical;
};

}  // namespace SkinUI
