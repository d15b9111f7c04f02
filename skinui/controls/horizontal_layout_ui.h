// CHorizontalLayoutUI: places its children left to right. Children with a
// width share the room first; children whose estimate has no width share
// what is left, the last of them taking the rounding remainder. With
// "sepwidth" the layout is also a splitter: a strip along its right (or,
// negative, its left) edge drags its own fixed width.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/controls/layout_separator.h"

namespace SkinUI {

class CHorizontalLayoutUI : public CContainerUI {
public:
    CHorizontalLayoutUI();

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPostPaint(HDC hDC, const RECT& rcPaint) override;

    int GetSepWidth() const { return m_separator.GetSize(); }
    void SetSepWidth(int width) { m_separator.SetSize(width); }
    bool IsSepImmMode() const { return m_separator.IsImmediate(); }
    void SetSepImmMode(bool immediate) { m_separator.SetImmediate(*this, immediate); }
    RECT GetThumbRect(bool useNew = false) const { return m_separator.GetThumbRect(m_rcItem, useNew); }

private:
    CLayoutSeparator m_separator;
};

}  // namespace SkinUI
