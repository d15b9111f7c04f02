#include "skinui/controls/txt_win_host.h"

#include <limits.h>
#include <stdlib.h>
#include <wchar.h>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "foundation/system_dll.h"
#include "skinui/controls/rich_edit_ui.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// The interface ids of the windowless text services and their host.
const IID kIIDTextServices = {0x8D33F740, 0xCF58, 0x11CE, {0xA8, 0x9D, 0x00, 0xAA, 0x00, 0x6C, 0xAD, 0xC5}};
const IID kIIDTextHost = {0x13E670F4, 0x1A5A, 0x11CF, {0xAB, 0xEB, 0x00, 0xAA, 0x00, 0xB6, 0x5E, 0xA1}};

const LONG kDefaultTabTwips = 720;
const int kHimetricPerInch = 2540;
const int kTwipsPerInch = 1440;

// The rich-text library, from the system folder only. Loaded once and kept:
// text services objects live in it for as long as the process has controls.
HMODULE LoadTextServicesModule()
{
    static HMODULE module = nullptr;
    if (module == nullptr) {
        module = utility::loadSystemLibrary(L"msftedit.dll");
    }
    return module;
}

int PixelsPerInch(HDC hDC, int index)
{
    int dpi = hDC != nullptr ? ::GetDeviceCaps(hDC, index) : 0;
    return dpi > 0 ? dpi : 96;
}

bool NamesVertical(INT bar) { return bar == SB_VERT || bar == SB_BOTH; }
bool NamesHorizontal(INT bar) { return bar == SB_HORZ || bar == SB_BOTH; }

}  // namespace

CTxtWinHost::CTxtWinHost()
    : m_pOwner(nullptr),
      m_cRefs(1),
      m_pTextServices(nullptr),
      m_dwStyle(0),
      m_bWordWrap(false),
      m_bRich(true),
      m_bTransparent(false),
      m_bActive(false),
      m_bCaptured(false),
      m_bAutoWordSelect(false),
      m_bAllowBeep(true),
      m_bSaveSelection(true),
      m_bNeedFreshCaret(false),
      m_bCaretVisible(false),
      m_cf(),
      m_pf(),
      m_rcClient(),
      m_lMaxLength(32767),
      m_chPassword(L'*'),
      m_lAcceleratorPos(-1),
      m_sizelExtent(),
      m_ptCaret(),
      m_iCaretWidth(0),
      m_iCaretHeight(0)
{
}

CTxtWinHost::~CTxtWinHost() { Shutdown(); }

bool CTxtWinHost::Init(CRichEditUI* owner, DWORD style, const wchar_t* text)
{
    m_pOwner = owner;
    m_dwStyle = style;
    m_bRich = owner->IsRich();
    // The text services read the back style once, while they are created.
    m_bTransparent = owner->IsTransparent();
    m_lMaxLength = owner->GetLimitText();
    m_bWordWrap = (style & (ES_AUTOHSCROLL | WS_HSCROLL)) == 0;

    m_cf.cbSize = sizeof(m_cf);
    m_cf.crTextColor = CDrawKit::ToColorRef(owner->GetTextColor());
    SetFont(owner->GetFontHandle());

    m_pf.cbSize = sizeof(m_pf);
    m_pf.dwMask = PFM_ALL;
    m_pf.wAlignment = PFA_LEFT;
    if ((style & ES_CENTER) != 0) {
        m_pf.wAlignment = PFA_CENTER;
    } else if ((style & ES_RIGHT) != 0) {
        m_pf.wAlignment = PFA_RIGHT;
    }
    m_pf.cTabCount = 1;
    m_pf.rgxTabs[0] = kDefaultTabTwips;

    HMODULE module = LoadTextServicesModule();
    if (module == nullptr) {
        return false;
    }
    PCreateTextServices create = reinterpret_cast<PCreateTextServices>(::GetProcAddress(module, "CreateTextServices"));
    if (create == nullptr) {
        common::log("CTxtWinHost::Init", __LINE__, L"no CreateTextServices lastError = %d",
                    static_cast<int>(::GetLastError()));
        return false;
    }
    IUnknown* unknown = nullptr;
    HRESULT hr = create(nullptr, this, &unknown);
    if (FAILED(hr) || unknown == nullptr) {
        common::log("CTxtWinHost::Init", __LINE__, L"CreateTextServices failed hr = 0x%08X lastError = %d",
                    static_cast<unsigned>(hr), static_cast<int>(::GetLastError()));
        return false;
    }
    hr = unknown->QueryInterface(kIIDTextServices, reinterpret_cast<void**>(&m_pTextServices));
    unknown->Release();
    if (FAILED(hr) || m_pTextServices == nullptr) {
        m_pTextServices = nullptr;
        common::log("CTxtWinHost::Init", __LINE__, L"no ITextServices hr = 0x%08X lastError = %d",
                    static_cast<unsigned>(hr), 0);
        return false;
    }
    if (text != nullptr && text[0] != L'\0') {
        m_pTextServices->TxSetText(text);
    }
    return true;
}

void CTxtWinHost::Shutdown()
{
    ITextServices* services = m_pTextServices;
    m_pTextServices = nullptr;
    if (services != nullptr) {
        if (m_bActive) {
            services->OnTxInPlaceDeactivate();
        }
        services->Release();
    }
    m_bActive = false;
    if (m_bCaptured && m_pOwner != nullptr && m_pOwner->GetManager() != nullptr) {
        m_pOwner->GetManager()->ReleaseCapture();
    }
    m_bCaptured = false;
    m_pOwner = nullptr;
}

HWND CTxtWinHost::GetWindow() const
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return nullptr;
    }
    return m_pOwner->GetManager()->GetPaintWindow();
}

void CTxtWinHost::PropertyChanged(DWORD mask, DWORD bits)
{
    if (m_pTextServices != nullptr) {
        m_pTextServices->OnTxPropertyBitsChange(mask, bits);
    }
}

void CTxtWinHost::SetClientRect(const RECT& rc)
{
    m_rcClient = rc;
    HDC hDC = TxGetDC();
    m_sizelExtent.cx = ::MulDiv(rc.right - rc.left, kHimetricPerInch, PixelsPerInch(hDC, LOGPIXELSX));
    m_sizelExtent.cy = ::MulDiv(rc.bottom - rc.top, kHimetricPerInch, PixelsPerInch(hDC, LOGPIXELSY));
    PropertyChanged(TXTBIT_CLIENTRECTCHANGE | TXTBIT_EXTENTCHANGE, TXTBIT_CLIENTRECTCHANGE | TXTBIT_EXTENTCHANGE);
}

void CTxtWinHost::SetTransparent(bool transparent)
{
    m_bTransparent = transparent;
    PropertyChanged(TXTBIT_BACKSTYLECHANGE, 0);
}

void CTxtWinHost::SetRichTextFlag(bool rich)
{
    m_bRich = rich;
    PropertyChanged(TXTBIT_RICHTEXT, rich ? TXTBIT_RICHTEXT : 0);
}

void CTxtWinHost::SetColor(DWORD argb)
{
    m_cf.crTextColor = CDrawKit::ToColorRef(argb);
    PropertyChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetFont(HFONT font)
{
    LOGFONTW lf = {};
    if (font == nullptr || ::GetObjectW(font, sizeof(lf), &lf) == 0) {
        common::log("CTxtWinHost::SetFont", __LINE__, L"no font to read lastError = %d",
                    static_cast<int>(::GetLastError()));
        return;
    }
    HDC hDC = TxGetDC();
    int dpi = 0;
    if (hDC != nullptr) {
        dpi = PixelsPerInch(hDC, LOGPIXELSY);
    } else {
        utility::ScopedWindowDC screen(utility::takeWindowDC(nullptr));
        dpi = PixelsPerInch(screen.get().dc, LOGPIXELSY);
    }
    m_cf.yHeight = labs(lf.lfHeight) * kTwipsPerInch / dpi;
    m_cf.yOffset = 0;
    m_cf.dwEffects = 0;
    if (lf.lfWeight >= FW_BOLD)
        m_cf.dwEffects |= CFE_BOLD;
    if (lf.lfItalic)
        m_cf.dwEffects |= CFE_ITALIC;
    if (lf.lfUnderline)
        m_cf.dwEffects |= CFE_UNDERLINE;
    m_cf.bCharSet = lf.lfCharSet;
    m_cf.bPitchAndFamily = lf.lfPitchAndFamily;
    wcsncpy(m_cf.szFaceName, lf.lfFaceName, LF_FACESIZE - 1);
    m_cf.szFaceName[LF_FACESIZE - 1] = L'\0';
    m_cf.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
    PropertyChanged(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::Activate()
{
    if (m_pTextServices == nullptr) {
        return;
    }
    m_bActive = true;
    m_pTextServices->OnTxInPlaceActivate(&m_rcClient);
}

RECT CTxtWinHost::GetCaretRect() const
{
    return RECT{m_ptCaret.x, m_ptCaret.y, m_ptCaret.x + m_iCaretWidth, m_ptCaret.y + m_iCaretHeight};
}

// ---- IUnknown ----

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIIDTextHost)) {
        *object = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() { return ++m_cRefs; }

ULONG STDMETHODCALLTYPE CTxtWinHost::Release()
{
    ULONG refs = --m_cRefs;
    if (refs == 0) {
        delete this;
    }
    return refs;
}

// ---- ITextHost: device context, scroll bars, painting ----

HDC CTxtWinHost::TxGetDC()
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return nullptr;
    }
    return m_pOwner->GetManager()->GetPaintDC();
}

INT CTxtWinHost::TxReleaseDC(HDC) { return 1; }

BOOL CTxtWinHost::TxShowScrollBar(INT bar, BOOL show)
{
    if (m_pOwner == nullptr) {
        return FALSE;
    }
    CScrollBarUI* vbar = m_pOwner->GetVerticalScrollBar();
    CScrollBarUI* hbar = m_pOwner->GetHorizontalScrollBar();
    if (hbar != nullptr && NamesHorizontal(bar)) {
        hbar->SetVisible(show != FALSE);
    }
    if (vbar != nullptr && NamesVertical(bar) && vbar->IsVisible() != (show != FALSE)) {
        vbar->SetVisible(show != FALSE);
        m_pOwner->OnVerticalBarShown();
    }
    return TRUE;
}

BOOL CTxtWinHost::TxEnableScrollBar(INT bars, INT arrows)
{
    if (m_pOwner == nullptr) {
        return FALSE;
    }
    bool vertical = m_pOwner->GetVerticalScrollBar() != nullptr;
    bool horizontal = m_pOwner->GetHorizontalScrollBar() != nullptr;
    if ((NamesVertical(bars) && !vertical) || (NamesHorizontal(bars) && !horizontal)) {
        m_pOwner->EnableScrollBar(vertical || NamesVertical(bars), horizontal || NamesHorizontal(bars));
    }
    return TxShowScrollBar(bars, arrows != ESB_DISABLE_BOTH);
}

BOOL CTxtWinHost::TxSetScrollRange(INT bar, LONG minPos, INT maxPos, BOOL)
{
    if (m_pOwner == nullptr) {
        return FALSE;
    }
    CScrollBarUI* scrollBar = nullptr;
    long long page = 0;
    if (bar == SB_VERT) {
        scrollBar = m_pOwner->GetVerticalScrollBar();
        page = m_rcClient.bottom - m_rcClient.top;
    } else if (bar == SB_HORZ) {
        scrollBar = m_pOwner->GetHorizontalScrollBar();
        page = m_rcClient.right - m_rcClient.left;
    }
    if (scrollBar == nullptr) {
        return FALSE;
    }
    long long range = static_cast<long long>(maxPos) - minPos - page;
    if (range < 1) {
        scrollBar->SetScrollRange(0);
    } else {
        scrollBar->SetScrollRange(range > INT_MAX ? INT_MAX : static_cast<int>(range));
    }
    return TxShowScrollBar(bar, range >= 1);
}

BOOL CTxtWinHost::TxSetScrollPos(INT bar, INT pos, BOOL redraw)
{
    if (m_pOwner == nullptr) {
        return FALSE;
    }
    CScrollBarUI* scrollBar = bar == SB_VERT   ? m_pOwner->GetVerticalScrollBar()
                              : bar == SB_HORZ ? m_pOwner->GetHorizontalScrollBar()
                                               : nullptr;
    if (scrollBar != nullptr) {
        scrollBar->SetScrollPos(pos, redraw != FALSE);
    }
    return TRUE;
}

void CTxtWinHost::TxInvalidateRect(LPCRECT rc, BOOL)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return;
    }
    RECT area = rc != nullptr ? *rc : m_rcClient;
    m_pOwner->GetManager()->Invalidate(area);
}

void CTxtWinHost::TxViewChange(BOOL)
{
    if (m_pOwner != nullptr) {
        m_pOwner->Invalidate();
    }
}

// ---- ITextHost: caret, timers, capture, focus, cursor ----

BOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height)
{
    m_iCaretWidth = width;
    m_iCaretHeight = height;
    HWND hWnd = GetWindow();
    return hWnd != nullptr && ::CreateCaret(hWnd, bitmap, width, height);
}

BOOL CTxtWinHost::TxShowCaret(BOOL show)
{
    m_bCaretVisible = show != FALSE;
    HWND hWnd = GetWindow();
    if (hWnd == nullptr) {
        return FALSE;
    }
    return show ? ::ShowCaret(hWnd) : ::HideCaret(hWnd);
}

BOOL CTxtWinHost::TxSetCaretPos(INT x, INT y)
{
    HWND hWnd = GetWindow();
    if (hWnd == nullptr) {
        return FALSE;
    }
    CUiManager* manager = m_pOwner->GetManager();
    if (manager->IsLayered()) {
        RECT old = GetCaretRect();
        manager->Invalidate(old);
    }
    m_ptCaret = POINT{x, y};
    if (manager->IsLayered()) {
        RECT now = GetCaretRect();
        manager->Invalidate(now);
    }
    if (m_bNeedFreshCaret) {
        m_bNeedFreshCaret = false;
        ::CreateCaret(hWnd, nullptr, m_iCaretWidth, m_iCaretHeight);
        if (m_bCaretVisible) {
            ::ShowCaret(hWnd);
        }
    }
    return ::SetCaretPos(x, y);
}

BOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return FALSE;
    }
    // Setting a running timer again restarts it, as a window timer would.
    m_pOwner->GetManager()->KillTimer(m_pOwner, id);
    return m_pOwner->GetManager()->SetTimer(m_pOwner, id, timeout);
}

void CTxtWinHost::TxKillTimer(UINT id)
{
    if (m_pOwner != nullptr && m_pOwner->GetManager() != nullptr) {
        m_pOwner->GetManager()->KillTimer(m_pOwner, id);
    }
}

void CTxtWinHost::TxScrollWindowEx(INT, INT, LPCRECT, LPCRECT, HRGN, LPRECT, UINT) {}

void CTxtWinHost::TxSetCapture(BOOL capture)
{
    if (m_pOwner == nullptr || m_pOwner->GetManager() == nullptr) {
        return;
    }
    if (capture) {
        m_pOwner->GetManager()->SetCapture();
    } else {
        m_pOwner->GetManager()->ReleaseCapture();
    }
    m_bCaptured = capture != FALSE;
}

void CTxtWinHost::TxSetFocus()
{
    if (m_pOwner != nullptr) {
        m_pOwner->SetFocus();
    }
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, BOOL) { ::SetCursor(cursor); }

BOOL CTxtWinHost::TxScreenToClient(LPPOINT pt)
{
    HWND hWnd = GetWindow();
    return hWnd != nullptr && pt != nullptr && ::ScreenToClient(hWnd, pt);
}

BOOL CTxtWinHost::TxClientToScreen(LPPOINT pt)
{
    HWND hWnd = GetWindow();
    return hWnd != nullptr && pt != nullptr && ::ClientToScreen(hWnd, pt);
}

HRESULT CTxtWinHost::TxActivate(LONG*) { return S_OK; }

HRESULT CTxtWinHost::TxDeactivate(LONG) { return S_OK; }

// ---- ITextHost: geometry, formats, properties ----

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rc)
{
    if (rc == nullptr) {
        return E_INVALIDARG;
    }
    *rc = m_rcClient;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rc)
{
    if (rc == nullptr) {
        return E_INVALIDARG;
    }
    *rc = RECT{0, 0, 0, 0};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format)
{
    if (format == nullptr) {
        return E_INVALIDARG;
    }
    *format = reinterpret_cast<const CHARFORMATW*>(&m_cf);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format)
{
    if (format == nullptr) {
        return E_INVALIDARG;
    }
    *format = reinterpret_cast<const PARAFORMAT*>(&m_pf);
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) { return ::GetSysColor(index); }

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style)
{
    if (style == nullptr) {
        return E_INVALIDARG;
    }
    *style = m_bTransparent ? TXTBACK_TRANSPARENT : TXTBACK_OPAQUE;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length)
{
    if (length == nullptr) {
        return E_INVALIDARG;
    }
    *length = static_cast<DWORD>(m_lMaxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars)
{
    if (scrollBars == nullptr) {
        return E_INVALIDARG;
    }
    *scrollBars = m_dwStyle & (WS_VSCROLL | WS_HSCROLL | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_DISABLENOSCROLL);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch)
{
    if (ch == nullptr) {
        return E_INVALIDARG;
    }
    *ch = m_chPassword;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* pos)
{
    if (pos == nullptr) {
        return E_INVALIDARG;
    }
    *pos = m_lAcceleratorPos;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL extent)
{
    if (extent == nullptr) {
        return E_INVALIDARG;
    }
    *extent = m_sizelExtent;
    return S_OK;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW*) { return S_OK; }

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT*) { return S_OK; }

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits)
{
    if (bits == nullptr) {
        return E_INVALIDARG;
    }
    DWORD result = 0;
    if ((m_dwStyle & ES_MULTILINE) != 0) {
        result |= TXTBIT_MULTILINE;
    }
    if (m_bRich) {
        result |= TXTBIT_RICHTEXT;
    }
    if ((m_dwStyle & ES_READONLY) != 0)
        result |= TXTBIT_READONLY;
    if ((m_dwStyle & ES_PASSWORD) != 0)
        result |= TXTBIT_USEPASSWORD;
    if ((m_dwStyle & ES_NOHIDESEL) == 0)
        result |= TXTBIT_HIDESELECTION;
    if (m_bAutoWordSelect)
        result |= TXTBIT_AUTOWORDSEL;
    if (m_bWordWrap)
        result |= TXTBIT_WORDWRAP;
    if (m_bAllowBeep)
        result |= TXTBIT_ALLOWBEEP;
    if (m_bSaveSelection)
        result |= TXTBIT_SAVESELECTION;
    *bits = result & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD code, void* data)
{
    if (code == EN_REQUESTRESIZE) {
        const REQRESIZE* request = static_cast<const REQRESIZE*>(data);
        if (request != nullptr) {
            LONG width = request->rc.right - request->rc.left;
            LONG height = request->rc.bottom - request->rc.top;
            if (width > m_rcClient.right - m_rcClient.left)
                m_rcClient.right = m_rcClient.left + width;
            if (height > m_rcClient.bottom - m_rcClient.top)
                m_rcClient.bottom = m_rcClient.top + height;
        }
        return S_OK;
    }
    if (m_pOwner != nullptr) {
        m_pOwner->OnTxNotify(code, data);
    }
    return S_OK;
}

HIMC CTxtWinHost::TxImmGetContext() { return nullptr; }

void CTxtWinHost::TxImmReleaseContext(HIMC) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width)
{
    if (width == nullptr) {
        return E_INVALIDARG;
    }
    *width = 0;
    return S_OK;
}

}  // namespace SkinUI
