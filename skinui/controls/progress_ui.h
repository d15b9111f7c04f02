// CProgressUI: a label that shows a value between a minimum and a maximum as
// the filled part of its rectangle: a solid fore colour and a fore image cut
// to the filled part, from the left (horizontal) or from the bottom. The
// label's text (a percentage, say) is drawn over it.
#pragma once

#include <windows.h>

#include "skinui/controls/label_ui.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();
    ~CProgressUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hDC) override;

    bool IsHorizontal() const { return m_bHorizontal; }
    void SetHorizontal(bool horizontal = true);
    int GetMinValue() const { return m_nMin; }
    void SetMinValue(int min);
    int GetMaxValue() const { return m_nMax; }
    void SetMaxValue(int max);
    int GetValue() const { return m_nValue; }
    // Limited to the maximum, then raised to the minimum.
    void SetValue(int value);
    DWORD GetForeColor() const { return m_dwForeColor; }
    void SetForeColor(DWORD color);
    const wchar_t* GetForeImage() const { return m_diFore.sDrawString; }
    void SetForeImage(const wchar_t* description);

protected:
    // The filled part, relative to the item rectangle.
    RECT GetFilledRect();

    bool m_bHorizontal;
    int m_nMax;
    int m_nMin;
    int m_nValue;
    DWORD m_dwForeColor;
};

}  // namespace SkinUI
