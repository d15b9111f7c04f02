// CListBodyUI: the part of a list that holds its rows. A vertical layout that
// stacks the rows at the heights they estimate, with the owner's horizontal
// lines between them, gives each row its draw index (which decides the
// alternate background) as it paints, and scrolls the header items together
// with the rows when it scrolls sideways. Events it does not keep go to the
// owner list.
#pragma once

#include <windows.h>

#include "skinui/controls/list_info.h"
#include "skinui/controls/vertical_layout_ui.h"

namespace SkinUI {

class CListUI;

class CListBodyUI : public CVerticalLayoutUI {
public:
    explicit CListBodyUI(CListUI* owner);

    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(UiEvent& event) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;
    void SetScrollPos(SIZE szPos) override;

    CListUI* GetOwner() const { return m_pOwner; }

private:
    CListUI* m_pOwner;
};

// DoPaint of a row container (a list body or a combo box's drop list),
// clipped to the container: its own background, then the children: every
// shown row gets the next draw index, a horizontal line of the owner's line
// size goes under it, rows are clipped to rcContent, floating children only
// to the container; the scroll bars come last. False when the paint pass
// reached stopControl.
bool PaintListRows(CContainerUI& rows, HDC hDC, const RECT& rcPaint, CControlUI* stopControl, const RECT& rcContent,
                   UiListInfo* info);

}  // namespace SkinUI
