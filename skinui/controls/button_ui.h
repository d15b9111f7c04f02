// CButtonUI: a label that reacts to the mouse and the keyboard. It tracks
// hot, pushed, focused and disabled states, paints a state image (or a frame
// of a four-state strip) and state colours, fades between its normal and hot
// images, and sends "click" when activated: a release inside after a press
// inside, or Space / Return while it has the focus and takes keys.
#pragma once

#include <windows.h>

#include "skinui/controls/label_ui.h"
#include "skinui/controls/state_image.h"

namespace SkinUI {

// State bits of the button family.
enum UiControlState {
    UISTATE_FOCUSED = 0x01,
    UISTATE_SELECTED = 0x02,
    UISTATE_DISABLED = 0x04,
    UISTATE_HOT = 0x08,
    UISTATE_PUSHED = 0x10,
    UISTATE_CAPTURED = 0x40,
};

class CButtonUI : public CLabelUI {
public:
    // Control timer of the hot fade.
    enum { FADE_TIMER_ID = 11, FADE_ELAPSE_MS = 30 };

    CButtonUI();
    ~CButtonUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    // Sends "click" (when visible and enabled).
    bool Activate() override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintStatusBkColor(HDC hDC) override;
    void PaintText(HDC hDC) override;
    void PaintBorder(HDC hDC) override;

    UINT GetButtonState() const { return m_uButtonState; }

    const wchar_t* GetNormalImage() const { return m_diNormal.sDrawString; }
    void SetNormalImage(const wchar_t* description) { SetStateImage(*this, m_diNormal, description); }
    void SetHotImage(const wchar_t* description) { SetStateImage(*this, m_diHot, description); }
    void SetHotForeImage(const wchar_t* description) { SetStateImage(*this, m_diHotFore, description); }
    void SetPushedImage(const wchar_t* description) { SetStateImage(*this, m_diPushed, description); }
    void SetFocusedImage(const wchar_t* description) { SetStateImage(*this, m_diFocused, description); }
    void SetDisabledImage(const wchar_t* description) { SetStateImage(*this, m_diDisabled, description); }
    void SetForeImage(const wchar_t* description) { SetStateImage(*this, m_diFore, description); }
    void SetStandardImage(const wchar_t* description) { SetStateImage(*this, m_diStandard, description); }
    // The red badge: no repaint of its own.
    void SetRedImage(const wchar_t* description) { ReplaceImage(m_diRed, description); }

    void SetHotBkColor(DWORD color) { m_dwHotBkColor = color; }
    void SetPushedBkColor(DWORD color) { m_dwPushedBkColor = color; }
    void SetDisabledBkColor(DWORD color) { m_dwDisabledBkColor = color; }
    void SetHotTextColor(DWORD color) { m_dwHotTextColor = color; }
    void SetPushedTextColor(DWORD color) { m_dwPushedTextColor = color; }
    void SetFocusedTextColor(DWORD color) { m_dwFocusedTextColor = color; }
    void SetHotBorderColor(DWORD color) { m_dwHotBorderColor = color; }
    BYTE GetFadeAlphaDelta() const { return m_uFadeAlphaDelta; }
    void SetFadeAlphaDelta(BYTE delta) { m_uFadeAlphaDelta = delta; }
    bool IsShowRed() const { return m_bShowRed; }
    void SetShowRed(bool show);

protected:
    // The focused and disabled bits follow the control.
    void RefreshStateBits();
    bool DrawFaded(HDC hDC, UiDrawInfo& info, BYTE alpha);
    // The normal-state images (step shared by the normal and disabled paths).
    void PaintNormalImage(HDC hDC);
    void StartFadeTimer();
    void OnFadeTick();

    UINT m_uButtonState;
    bool m_bShowCursor;
    bool m_bShowRed;
    bool m_bDrawMulLine;
    DWORD m_dwHotBkColor;
    DWORD m_dwPushedBkColor;
    DWORD m_dwDisabledBkColor;
    DWORD m_dwHotTextColor;
    DWORD m_dwPushedTextColor;
    DWORD m_dwFocusedTextColor;
    DWORD m_dwHotBorderColor;
    BYTE m_uFadeAlpha;
    BYTE m_uFadeAlphaDelta;
    UiDrawInfo m_diNormal;
    UiDrawInfo m_diHot;
    UiDrawInfo m_diHotFore;
    UiDrawInfo m_diPushed;
    UiDrawInfo m_diFocused;
    UiDrawInfo m_diDisabled;
    UiDrawInfo m_diStandard;
    UiDrawInfo m_diRed;
};

}  // namespace SkinUI
