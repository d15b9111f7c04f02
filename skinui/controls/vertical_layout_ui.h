// CVerticalLayoutUI: stacks its children top to bottom (the box layout,
// box_layout_ui.h, along the y axis). With "sepheight" the layout is also a
// splitter: a strip along its bottom (or, negative, its top) edge drags its
// own fixed height.
#pragma once

#include <windows.h>

#include "skinui/controls/box_layout_ui.h"

namespace SkinUI {

class CVerticalLayoutUI : public CBoxLayoutUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    int GetSepHeight() const { return m_separator.GetSize(); }
    void SetSepHeight(int height) { m_separator.SetSize(height); }
};

}  // namespace SkinUI
