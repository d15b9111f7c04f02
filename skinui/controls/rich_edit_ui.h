// CRichEditUI: a windowless rich text editor. It owns no child window: the
// system's windowless text services (through its CTxtWinHost) draw and edit
// the text inside the control's rectangle. While it is the target, the
// control hands the window's messages to the text services (it is one of the
// manager's message filters), paints through them, scrolls them with its own
// drawn scroll bars and raises "textchanged" and "return".
//
// The style attributes ("multiline", "readonly", "password", "align", the
// scroll bar styles) take effect only when set before the control is
// initialised. Without the text services the control paints its background
// and ignores input.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/core/ui_event.h"

namespace SkinUI {

class CTxtWinHost;

class CRichEditUI : public CContainerUI, public IMessageFilterUI, public IWantTabUI {
public:
    CRichEditUI();
    ~CRichEditUI() override;

    // CControlUI
    const wchar_t* GetClass() const override;
    LPVOID GetInterface(const wchar_t* name) override;
    UINT GetControlFlags() const override;
    CUiString GetText() const override;
    void SetText(const wchar_t* text) override;
    void SetPos(RECT rc, bool needInvalidate = true) override;
    void Move(int dx, int dy, bool needInvalidate = true) override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const wchar_t* name, const wchar_t* value) override;
    bool DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl) override;

    // CContainerUI: scrolling goes to the text services.
    void SetScrollPos(SIZE szPos) override;
    void LineUp() override;
    void LineDown() override;
    void PageUp() override;
    void PageDown() override;
    void HomeUp() override;
    void EndDown() override;
    void LineLeft() override;
    void LineRight() override;
    void PageLeft() override;
    void PageRight() override;
    void HomeLeft() override;
    void EndRight() override;

    // IMessageFilterUI: the window's messages while this control is the target.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    // IWantTabUI
    bool IsWantTab() const override { return m_bWantTab; }

    // Sends a message to the text services; S_FALSE without them. Return
    // that the control does not want is turned into "return" here.
    virtual HRESULT TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // A notification of the text services: EN_CHANGE raises "textchanged";
    // the selection, filter, drop, protection and clipboard codes reach the
    // window as WM_NOTIFY.
    virtual void OnTxNotify(DWORD code, void* data);

    void SetWantTab(bool want) { m_bWantTab = want; }
    bool IsWantReturn() const { return m_bWantReturn; }
    void SetWantReturn(bool want) { m_bWantReturn = want; }
    bool IsWantCtrlReturn() const { return m_bWantCtrlReturn; }
    void SetWantCtrlReturn(bool want) { m_bWantCtrlReturn = want; }
    bool IsTransparent() const { return m_bTransparent; }
    void SetTransparent(bool transparent);
    bool IsRich() const { return m_bRich; }
    void SetRich(bool rich);
    DWORD GetTextColor() const { return m_dwTextColor; }
    void SetTextColor(DWORD color);
    int GetFont() const { return m_iFont; }
    void SetFont(int index);
    LONG GetLimitText() const { return m_lLimitText; }
    RECT GetTextPadding() const { return m_rcTextPadding; }
    void SetTextPadding(RECT rc);
    // The edit style bits the text services are created with.
    DWORD GetHostStyle() const { return m_lTwhStyle; }
    // The window's font of the font index (the default font for -1).
    HFONT GetFontHandle() const;
    // The text area: the item rectangle less the inset, the visible bars and
    // the text padding (empty before the first placement).
    RECT GetTextRect() const;

private:
    friend class CTxtWinHost;

    // The host changed the vertical bar's visibility: a relayout, unless the
    // bar is being held for content that needs it.
    void OnVerticalBarShown();
    // Content height at the given width; false when it cannot be measured.
    bool MeasureContentHeight(int width, LONG& height) const;
    void SendScroll(UINT msg, WORD code) const;
    void PaintLayeredCaret(HDC hDC);
    void OnCaretTimer();

    CTxtWinHost* m_pTwh;
    bool m_bVScrollBarFixing;
    bool m_bWantTab;
    bool m_bWantReturn;
    bool m_bWantCtrlReturn;
    bool m_bTransparent;
    bool m_bRich;
    DWORD m_dwTextColor;
    int m_iFont;
    LONG m_lLimitText;
    DWORD m_lTwhStyle;
    bool m_bDrawCaret;
    bool m_bInited;
    RECT m_rcTextPadding;
};

}  // namespace SkinUI
