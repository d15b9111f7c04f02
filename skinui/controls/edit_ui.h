// CEditUI: a one-line text field. While it is not being edited it paints
// itself like a label (state image, text, border). When it takes the focus it
// opens a CEditWnd, a native child window of the system "Edit" class laid
// exactly over its text area, hands it the text, and keeps it until the
// native window loses the focus; every change made there is copied back into
// the control's text and reported with "textchanged", Return with "return".
#pragma once

#include <windows.h>

#include "skinui/controls/label_ui.h"

namespace SkinUI {

class CEditWnd;

class CEditUI : public CLabelUI {
public:
    CEditUI();
    // An open native window is closed first and forgets its owner.
    ~CEditUI() override;

    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    HWND GetNativeWindow() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void SetVisible(bool visible = true) override;
    // Only closes an open native window when hidden; the flag stays as it is.
    void SetInternVisible(bool visible = true) override;
    void SetEnabled(bool enable = true) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;
    void PaintBorder(HDC hDC) override;

    UINT GetMaxChar() const { return m_uMaxChar; }
    void SetMaxChar(UINT count);
    bool IsReadOnly() const { return m_bReadOnly; }
    void SetReadOnly(bool readOnly);
    bool IsPasswordMode() const { return m_bPasswordMode; }
    // Takes effect the next time the native window opens.
    void SetPasswordMode(bool passwordMode);
    wchar_t GetPasswordChar() const { return m_cPasswordChar; }
    // ES_NUMBER for the next native window.
    void SetNumberOnly(bool numberOnly);
    bool IsNumberOnly() const { return (m_dwWindowStyles & ES_NUMBER) != 0; }
    bool IsAutoSelAll() const { return m_bAutoSelAll; }
    void SetAutoSelAll(bool autoSelAll) { m_bAutoSelAll = autoSelAll; }
    // 0xFFFFFFFF: the system paints the native window's background.
    DWORD GetNativeEditBkColor() const { return m_dwNativeBkColor; }
    void SetNativeEditBkColor(DWORD color) { m_dwNativeBkColor = color; }
    DWORD GetCaretColor() const { return m_dwCaretColor; }
    void SetCaretColor(DWORD color) { m_dwCaretColor = color; }
    DWORD GetHotBorderColor() const { return m_dwHotBorderColor; }
    void SetHotBorderColor(DWORD color) { m_dwHotBorderColor = color; }

private:
    friend class CEditWnd;

    // Opens the native window over the text area and moves the focus into it.
    void OpenNativeWindow();
    // Drops the window's focus, which closes the native window.
    void CloseNativeWindow();

    CEditWnd* m_pWindow;  // deletes itself when its window goes
    UINT m_uMaxChar;
    bool m_bReadOnly;
    bool m_bPasswordMode;
    bool m_bAutoSelAll;
    wchar_t m_cPasswordChar;
    UINT m_uButtonState;
    DWORD m_dwNativeBkColor;
    DWORD m_dwHotBorderColor;
    DWORD m_dwWindowStyles;
    UiDrawInfo m_diNormal;
    UiDrawInfo m_diHot;
    UiDrawInfo m_diFocused;
    UiDrawInfo m_diDisabled;
    UiDrawInfo m_diStandard;
    DWORD m_dwCaretColor;
};

}  // namespace SkinUI
