// CSliderUI ("Slider"): a progress bar with a thumb the user drags or clicks
// to set the value; the wheel steps it. "valuechanged" goes out when the
// button is released (and, in immediate mode, at every move while dragging)
// and at each wheel notch. The thumb is a filled rectangle when a thumb
// colour is set, else the normal, hot or pushed thumb image.
#pragma once

#include <windows.h>

#include "skinui/controls/progress_ui.h"

namespace SkinUI {

class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    ~CSliderUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    void PaintStatusImage(HDC hDC) override;

    // The thumb in window coordinates, at the place of the value.
    RECT GetThumbRect() const;
    // The value a click at that point gives.
    int ValueAt(POINT pt) const;

    int GetChangeStep() const { return m_nStep; }
    void SetChangeStep(int step) { m_nStep = step; }
    SIZE GetThumbSize() const { return m_szThumb; }
    void SetThumbSize(SIZE size);
    DWORD GetThumbColor() const { return m_dwThumbColor; }
    void SetThumbColor(DWORD color);
    bool IsImmMode() const { return m_bImmMode; }
    void SetImmMode(bool imm) { m_bImmMode = imm; }
    void SetThumbImage(const wchar_t* description);
    void SetThumbHotImage(const wchar_t* description);
    void SetThumbPushedImage(const wchar_t* description);

private:
    // The range used for positions: never empty, so nothing divides by 0.
    long long Range() const;
    void SetImage(UiDrawInfo& info, const wchar_t* description);

    SIZE m_szThumb;
    UINT m_uButtonState;
    int m_nStep;
    bool m_bImmMode;
    DWORD m_dwThumbColor;
    UiDrawInfo m_diThumb;
    UiDrawInfo m_diThumbHot;
    UiDrawInfo m_diThumbPushed;
};

}  // namespace SkinUI
