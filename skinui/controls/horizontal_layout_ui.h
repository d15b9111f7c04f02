// CHorizontalLayoutUI: places its children left to right (the box layout,
// box_layout_ui.h, along the x axis). With "sepwidth" the layout is also a
// splitter: a strip along its right (or, negative, its left) edge drags its
// own fixed width.
#pragma once

#include <windows.h>

#include "skinui/controls/box_layout_ui.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CBoxLayoutUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;

    int GetSepWidth() const { return m_separator.GetSize(); }
    void SetSepWidth(int width) { m_separator.SetSize(width); }
};

}  // namespace SkinUI
