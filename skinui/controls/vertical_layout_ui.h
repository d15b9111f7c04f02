// CVerticalLayoutUI: stacks its children top to bottom. Children with a
// height share the room first; children whose estimate has no height share
// what is left, the last of them taking the rounding remainder. With
// "sepheight" the layout is also a splitter: a strip along its bottom (or,
// negative, its top) edge drags its own fixed height.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/controls/layout_separator.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    CVerticalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    int GetSepHeight() const { return m_separator.GetSize(); }
    void SetSepHeight(int height) { m_separator.SetSize(height); }
    bool IsSepImmMode() const { return m_separator.IsImmediate(); }
    void SetSepImmMode(bool immediate) { m_separator.SetImmediate(*this, immediate); }
    RECT GetThumbRect(bool useNew = false) const { return m_separator.GetThumbRect(m_rcItem, useNew); }

private:
    CLayoutSeparator m_separator;
};

}  // namespace SkinUI
