// CTxtWinHost: the host object of the system's windowless rich-text
// services for one CRichEditUI. The text services ask it for everything a
// window would give them (device context, caret, scroll bars, timers,
// capture, focus, default formats and property bits); it answers with the
// owning control, its drawn scroll bars and the manager's window.
//
// A COM-style object: the reference count starts at 1 and the last Release
// deletes it. The owner calls Shutdown before its own Release so that the
// text services never reach a control that is going away.
#pragma once

#include <windows.h>
#include <richedit.h>
#include <textserv.h>

namespace SkinUI {

class CRichEditUI;

class CTxtWinHost : public ITextHost {
public:
    CTxtWinHost();

    // Loads the text services from the system folder and creates them for
    // owner with the host style and the creation text. False (logged) when
    // the library or the object cannot be had; the host is then unusable.
    bool Init(CRichEditUI* owner, DWORD style, const wchar_t* text);
    // Deactivates and releases the text services and forgets the owner.
    void Shutdown();

    ITextServices* GetTextServices() const { return m_pTextServices; }

    const RECT& GetClientRect() const { return m_rcClient; }
    // Stores the rectangle, derives the extent and tells the text services.
    void SetClientRect(const RECT& rc);
    bool IsCaptured() const { return m_bCaptured; }
    void SetTransparent(bool transparent);
    void SetRichTextFlag(bool rich);
    // Text colour (ARGB) and font of the default character format.
    void SetColor(DWORD argb);
    void SetFont(HFONT font);
    void SetMaxLength(LONG maxLength) { m_lMaxLength = maxLength; }
    // In-place activation over the client rectangle.
    void Activate();
    // The caret is created again at its next placement (after a window resize).
    void NeedFreshCaret() { m_bNeedFreshCaret = true; }
    bool IsCaretVisible() const { return m_bCaretVisible; }
    // The caret's rectangle in window client coordinates.
    RECT GetCaretRect() const;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ITextHost
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC hdc) override;
    BOOL TxShowScrollBar(INT bar, BOOL show) override;
    BOOL TxEnableScrollBar(INT bars, INT arrows) override;
    BOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL redraw) override;
    BOOL TxSetScrollPos(INT bar, INT pos, BOOL redraw) override;
    void TxInvalidateRect(LPCRECT rc, BOOL mode) override;
    void TxViewChange(BOOL update) override;
    BOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    BOOL TxShowCaret(BOOL show) override;
    BOOL TxSetCaretPos(INT x, INT y) override;
    BOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update, LPRECT rcUpdate,
                          UINT flags) override;
    void TxSetCapture(BOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, BOOL text) override;
    BOOL TxScreenToClient(LPPOINT pt) override;
    BOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rc) override;
    HRESULT TxGetViewInset(LPRECT rc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* pos) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD code, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC himc) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

private:
    virtual ~CTxtWinHost();
    CTxtWinHost(const CTxtWinHost&) = delete;
    CTxtWinHost& operator=(const CTxtWinHost&) = delete;

    HWND GetWindow() const;
    void PropertyChanged(DWORD mask, DWORD bits);

    CRichEditUI* m_pOwner;
    ULONG m_cRefs;
    ITextServices* m_pTextServices;
    DWORD m_dwStyle;
    bool m_bWordWrap;
    bool m_bRich;
    bool m_bTransparent;
    bool m_bActive;
    bool m_bCaptured;
    bool m_bAutoWordSelect;
    bool m_bAllowBeep;
    bool m_bSaveSelection;
    bool m_bNeedFreshCaret;
    bool m_bCaretVisible;
    CHARFORMAT2W m_cf;
    PARAFORMAT2 m_pf;
    RECT m_rcClient;
    LONG m_lMaxLength;
    wchar_t m_chPassword;
    LONG m_lAcceleratorPos;
    SIZEL m_sizelExtent;
    POINT m_ptCaret;
    int m_iCaretWidth;
    int m_iCaretHeight;
};

}  // namespace SkinUI
