// CLabelUI: the text control and the base of every text-bearing control. It
// draws its text in a padded rectangle with DrawText alignment flags, one of
// the window's fonts and a normal or disabled colour, optionally as mark-up
// text, and sizes itself to its text when no fixed size is set. With
// "enabledeffect" the text is drawn by GDI+ instead, with a gradient, a drop
// shadow, a one-pixel stroke and a blurred glow (label_ui_effects.cpp).
#pragma once

#include <windows.h>

#include "skinui/core/control_ui.h"
#include "skinui/core/gdiplus_session.h"

namespace SkinUI {

// Shift of the shadow and the glow, relative to the text rectangle.
struct UiShadowOffset {
    float x;
    float y;
};

class CLabelUI : public CControlUI {
public:
    CLabelUI();
    ~CLabelUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    void SetText(const wchar_t* text) override;
    void SetFixedWidth(int cx) override;
    void SetFixedHeight(int cy) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC hDC) override;

    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    int GetFont() const { return m_iFont; }
    void SetFont(int index);
    UINT GetTextStyle() const { return m_uTextStyle; }
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const { return m_bShowHtml; }
    void SetShowHtml(bool showHtml = true);
    bool IsMultiLine() const { return (m_uTextStyle & DT_SINGLELINE) == 0; }
    // On: word breaks instead of a single line. Off sets the single line
    // again and leaves the word-break flag as it is.
    void SetMultiLine(bool multiLine = true);
    int GetMinWidthEx() const { return m_iMinWidthEx; }
    void SetMinWidthEx(int cx);
    int GetMaxWidthEx() const { return m_iMaxWidthEx; }
    void SetMaxWidthEx(int cx);

    // The image setters of the text controls and the list family: nothing
    // when the description is unchanged and its image is loaded; else the
    // record drops its image and takes the description (the enlarge-mode one
    // only while enlarge mode is on). True when the record changed.
    static bool ReplaceImage(UiDrawInfo& info, const wchar_t* description, bool enlarge = false);

    bool IsEnabledEffect() const { return m_bEnableEffect; }
    void SetEnabledEffect(bool enable);
    bool IsEnabledLuminous() const { return m_bEnableLuminous; }
    void SetEnabledLuminous(bool enable);
    bool IsEnabledStroke() const { return m_bEnableStroke; }
    void SetEnabledStroke(bool enable);
    bool IsEnabledShadow() const { return m_bEnableShadow; }
    void SetEnabledShadow(bool enable);
    float GetLuminousFuzzy() const { return m_fLuminousFuzzy; }
    // Values below 0.0001 are ignored.
    void SetLuminousFuzzy(float fuzzy);
    int GetGradientAngle() const { return m_iGradientAngle; }
    void SetGradientAngle(int angle);
    int GetGradientLength() const { return m_iGradientLength; }
    void SetGradientLength(int length);
    UiShadowOffset GetShadowOffset() const { return m_ShadowOffset; }
    // distance in pixels; angle from -180 to 180 (others are ignored).
    void SetShadowOffset(float distance, int angle);
    DWORD GetTextColor1() const { return m_dwTextColor1; }
    void SetTextColor1(DWORD color);
    DWORD GetTextShadowColorA() const { return m_dwTextShadowColorA; }
    void SetTextShadowColorA(DWORD color);
    DWORD GetTextShadowColorB() const { return m_dwTextShadowColorB; }
    void SetTextShadowColorB(DWORD color);
    DWORD GetStrokeColor() const { return m_dwStrokeColor; }
    void SetStrokeColor(DWORD color);

protected:
    // Colours left at 0 take the window's defaults and keep them.
    void ResolveDefaultColors();
    // The item rectangle less the text padding.
    RECT GetTextRect() const;

    DWORD m_dwTextColor;
    DWORD m_dwDisabledTextColor;
    int m_iFont;
    UINT m_uTextStyle;
    RECT m_rcTextPadding;
    bool m_bShowHtml;
    SIZE m_szAvailableLast;
    SIZE m_cxyFixedLast;
    int m_iMinWidthEx;
    int m_iMaxWidthEx;
    bool m_bNeedEstimateSize;

private:
    // The GDI+ path of PaintText (label_ui_effects.cpp); false when GDI+
    // cannot draw here (not started, a font it does not know).
    bool PaintEffectText(HDC hDC, const RECT& rcText, const CUiString& text);

    float m_fLuminousFuzzy;
    int m_iGradientLength;
    int m_iGradientAngle;
    bool m_bEnableEffect;
    bool m_bEnableLuminous;
    bool m_bEnableStroke;
    bool m_bEnableShadow;
    DWORD m_dwTextColor1;
    DWORD m_dwTextShadowColorA;
    DWORD m_dwTextShadowColorB;
    DWORD m_dwStrokeColor;
    UiShadowOffset m_ShadowOffset;
    CGdiplusSession m_gdiplus;
};

}  // namespace SkinUI
