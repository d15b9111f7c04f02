#include "skinui/controls/rich_edit_ui.h"

#include <windowsx.h>
#include <imm.h>
#include <richedit.h>
#include <textserv.h>

#include <vector>

#include "foundation/log.h"
#include "skinui/controls/scroll_bar_ui.h"
#include "skinui/controls/txt_win_host.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/draw_kit.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

// Blinks the drawn caret of a layered window.
const UINT kCaretTimerId = 20;
const LONG kDefaultLimitText = 32767;
// The largest position a scroll message's thumb word carries.
const int kMaxThumbPosition = 0xFFFF;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }
bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= WM_KEYLAST; }
bool IsButtonMessage(UINT msg) { return msg >= WM_LBUTTONDOWN && msg <= WM_RBUTTONUP; }

bool RectsMeet(const RECT& a, const RECT& b)
{
    RECT tmp;
    return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

}  // namespace

CRichEditUI::CRichEditUI()
    : m_pTwh(nullptr),
      m_bVScrollBarFixing(false),
      m_bWantTab(true),
      m_bWantReturn(true),
      m_bWantCtrlReturn(true),
      m_bTransparent(true),
      m_bRich(true),
      m_dwTextColor(0),
      m_iFont(-1),
      m_lLimitText(kDefaultLimitText),
      m_lTwhStyle(ES_MULTILINE),
      m_bDrawCaret(true),
      m_bInited(false),
      m_rcTextPadding()
{
}

CRichEditUI::~CRichEditUI()
{
    if (m_pTwh != nullptr) {
        CTxtWinHost* host = m_pTwh;
        m_pTwh = nullptr;
        host->Shutdown();
        host->Release();
    }
    if (m_pManager != nullptr) {
        m_pManager->RemoveMessageFilter(this);
    }
}

const wchar_t* CRichEditUI::GetClass() const { return L"RichEdit"; }

LPVOID CRichEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"RichEdit") == 0) {
        return static_cast<CRichEditUI*>(this);
    }
    if (name != nullptr && wcscmp(name, L"WantTab") == 0) {
        return static_cast<IWantTabUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

UINT CRichEditUI::GetControlFlags() const
{
    if (!IsEnabled()) {
        return 0;
    }
    return IsKeyboardEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : UIFLAG_SETCURSOR;
}

// ---- Text ----

CUiString CRichEditUI::GetText() const
{
    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    if (services == nullptr) {
        return m_sText;
    }
    GETTEXTLENGTHEX lengthInfo = {GTL_PRECISE | GTL_NUMCHARS, 1200};
    LRESULT length = 0;
    services->TxSendMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthInfo), 0, &length);
    if (length <= 0) {
        return CUiString();
    }
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
    GETTEXTEX textInfo = {};
    // The buffer size is given in bytes.
    textInfo.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    textInfo.flags = GT_DEFAULT;
    textInfo.codepage = 1200;
    LRESULT copied = 0;
    services->TxSendMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&textInfo), reinterpret_cast<LPARAM>(buffer.data()),
                            &copied);
    buffer.back() = L'\0';
    return CUiString(buffer.data());
}

void CRichEditUI::SetText(const wchar_t* text)
{
    m_sText = text;
    if (m_pTwh == nullptr) {
        return;
    }
    TxSendMessage(EM_SETSEL, 0, -1, nullptr);
    TxSendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(m_sText.GetData()), nullptr);
}

HRESULT CRichEditUI::TxSendMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    LRESULT ignored = 0;
    if (result == nullptr) {
        result = &ignored;
    }
    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    if (services == nullptr) {
        return S_FALSE;
    }
    if (msg == WM_KEYDOWN && wParam == VK_RETURN) {
        bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        if (!m_bWantReturn || (ctrl && !m_bWantCtrlReturn)) {
            if (m_pManager != nullptr) {
                m_pManager->SendNotify(this, L"return");
            }
            *result = 0;
            return S_OK;
        }
    }
    // The character the key stroke was translated into (CR, or LF with
    // Ctrl) must not break the line either.
    if (msg == WM_CHAR &&
        ((wParam == L'\r' && !m_bWantReturn) || (wParam == L'\n' && (!m_bWantReturn || !m_bWantCtrlReturn)))) {
        *result = 0;
        return S_OK;
    }
    return services->TxSendMessage(msg, wParam, lParam, result);
}

void CRichEditUI::OnTxNotify(DWORD code, void* data)
{
    switch (code) {
    case EN_CHANGE:
        if (m_pManager != nullptr) {
            m_pManager->SendNotify(this, L"textchanged");
        }
        return;
    case EN_MSGFILTER:
    case EN_SELCHANGE:
    case EN_DROPFILES:
    case EN_PROTECTED:
    case EN_STOPNOUNDO:
        break;
    default:
        if (code < EN_SAVECLIPBOARD || code > EN_DRAGDROPDONE) {
            return;
        }
        break;
    }
    HWND hWnd = m_pManager != nullptr ? m_pManager->GetPaintWindow() : nullptr;
    NMHDR* header = static_cast<NMHDR*>(data);
    if (hWnd == nullptr || header == nullptr) {
        return;
    }
    header->hwndFrom = hWnd;
    header->idFrom = static_cast<UINT_PTR>(::GetWindowLongPtrW(hWnd, GWLP_ID));
    header->code = code;
    ::SendMessageW(hWnd, WM_NOTIFY, static_cast<WPARAM>(header->idFrom), reinterpret_cast<LPARAM>(header));
}

// ---- Settings ----

void CRichEditUI::SetTransparent(bool transparent)
{
    m_bTransparent = transparent;
    if (m_pTwh != nullptr) {
        m_pTwh->SetTransparent(transparent);
    }
    Invalidate();
}

void CRichEditUI::SetRich(bool rich)
{
    m_bRich = rich;
    if (m_pTwh != nullptr) {
        m_pTwh->SetRichTextFlag(rich);
    }
}

void CRichEditUI::SetTextColor(DWORD color)
{
    m_dwTextColor = color;
    if (m_pTwh != nullptr) {
        m_pTwh->SetColor(color);
    }
}

void CRichEditUI::SetFont(int index)
{
    m_iFont = index;
    if (m_pTwh != nullptr) {
        m_pTwh->SetFont(GetFontHandle());
    }
}

void CRichEditUI::SetTextPadding(RECT rc)
{
    m_rcTextPadding = rc;
    NeedUpdate();
}

HFONT CRichEditUI::GetFontHandle() const { return m_pManager != nullptr ? m_pManager->GetFont(m_iFont) : nullptr; }

void CRichEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    bool on = ParseBool(value);
    if (wcscmp(name, L"vscrollbar") == 0) {
        if (on) {
            m_lTwhStyle |= ES_DISABLENOSCROLL | WS_VSCROLL;
            EnableScrollBar(true, m_pHorizontalScrollBar != nullptr);
        }
    } else if (wcscmp(name, L"autovscroll") == 0) {
        if (on)
            m_lTwhStyle |= ES_AUTOVSCROLL;
    } else if (wcscmp(name, L"hscrollbar") == 0) {
        if (on) {
            m_lTwhStyle |= ES_DISABLENOSCROLL | WS_HSCROLL;
            EnableScrollBar(m_pVerticalScrollBar != nullptr, true);
        }
    } else if (wcscmp(name, L"autohscroll") == 0) {
        if (on)
            m_lTwhStyle |= ES_AUTOHSCROLL;
    } else if (wcscmp(name, L"wanttab") == 0) {
        SetWantTab(on);
    } else if (wcscmp(name, L"wantreturn") == 0) {
        SetWantReturn(on);
    } else if (wcscmp(name, L"wantctrlreturn") == 0) {
        SetWantCtrlReturn(on);
    } else if (wcscmp(name, L"transparent") == 0) {
        SetTransparent(on);
    } else if (wcscmp(name, L"rich") == 0) {
        SetRich(on);
    } else if (wcscmp(name, L"multiline") == 0) {
        if (wcscmp(value, L"false") == 0)
            m_lTwhStyle &= ~static_cast<DWORD>(ES_MULTILINE);
    } else if (wcscmp(name, L"readonly") == 0) {
        if (on)
            m_lTwhStyle |= ES_READONLY;
    } else if (wcscmp(name, L"password") == 0) {
        if (on)
            m_lTwhStyle |= ES_PASSWORD;
    } else if (wcscmp(name, L"align") == 0) {
        if (wcsstr(value, L"left") != nullptr) {
            m_lTwhStyle &= ~static_cast<DWORD>(ES_CENTER | ES_RIGHT);
        }
        if (wcsstr(value, L"center") != nullptr) {
            m_lTwhStyle &= ~static_cast<DWORD>(ES_RIGHT);
            m_lTwhStyle |= ES_CENTER;
        }
        if (wcsstr(value, L"right") != nullptr) {
            m_lTwhStyle &= ~static_cast<DWORD>(ES_CENTER);
            m_lTwhStyle |= ES_RIGHT;
        }
    } else if (wcscmp(name, L"font") == 0) {
        SetFont(ParseInt(value));
    } else if (wcscmp(name, L"textcolor") == 0) {
        SetTextColor(ParseColor(SkipBlanks(value)));
    } else if (wcscmp(name, L"textpadding") == 0) {
        SetTextPadding(ParseRect(value));
    } else {
        CContainerUI::SetAttribute(name, value);
    }
}

// ---- Life cycle ----

void CRichEditUI::DoInit()
{
    if (m_bInited) {
        return;
    }
    m_bInited = true;
    CTxtWinHost* host = new CTxtWinHost;
    if (!host->Init(this, m_lTwhStyle, m_sText)) {
        // Without text services the control only paints its background.
        host->Shutdown();
        host->Release();
        common::log("CRichEditUI::DoInit", __LINE__, L"rich edit %s has no text services lastError = %d",
                    m_sName.GetData(), static_cast<int>(::GetLastError()));
        return;
    }
    m_pTwh = host;
    if (m_bTransparent) {
        m_pTwh->SetTransparent(true);
    }
    TxSendMessage(EM_SETLANGOPTIONS, 0, 0, nullptr);
    // The text services report changes only for the events asked for.
    TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE, nullptr);
    m_pTwh->Activate();
    if (m_pManager == nullptr) {
        return;
    }
    m_pManager->AddMessageFilter(this);
    if (m_pManager->IsLayered()) {
        m_pManager->SetTimer(this, kCaretTimerId, ::GetCaretBlinkTime());
    }
}

// ---- Layout ----

RECT CRichEditUI::GetTextRect() const
{
    RECT rc = GetClientPos();
    rc.left += m_rcTextPadding.left;
    rc.top += m_rcTextPadding.top;
    rc.right -= m_rcTextPadding.right;
    rc.bottom -= m_rcTextPadding.bottom;
    if (rc.right < rc.left)
        rc.right = rc.left;
    if (rc.bottom < rc.top)
        rc.bottom = rc.top;
    return rc;
}

bool CRichEditUI::MeasureContentHeight(int width, LONG& height) const
{
    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    if (services == nullptr || m_pManager == nullptr) {
        return false;
    }
    SIZEL extent = {-1, -1};
    LONG cx = width;
    LONG cy = 0;
    HRESULT hr = services->TxGetNaturalSize(DVASPECT_CONTENT, m_pManager->GetPaintDC(), nullptr, nullptr,
                                            TXTNS_FITTOCONTENT, &extent, &cx, &cy);
    if (hr != S_OK) {
        return false;
    }
    height = cy;
    return true;
}

void CRichEditUI::SetPos(RECT rc, bool needInvalidate)
{
    CControlUI::SetPos(rc, needInvalidate);
    CScrollBarUI* vbar = m_pVerticalScrollBar;
    CScrollBarUI* hbar = m_pHorizontalScrollBar;
    bool verticalWasVisible = vbar != nullptr && vbar->IsVisible();
    if (m_pTwh != nullptr) {
        m_pTwh->SetClientRect(GetTextRect());
        bool verticalWentAway = verticalWasVisible && !vbar->IsVisible();
        if (vbar != nullptr && (verticalWentAway || m_bVScrollBarFixing)) {
            // Text that fits only without the bar would bring it back at once:
            // decide once by the content's height at the width without the bar.
            RECT text = GetTextRect();
            int width = text.right - text.left + (vbar->IsVisible() ? vbar->GetFixedWidth() : 0);
            LONG height = 0;
            if (MeasureContentHeight(width, height) && height > text.bottom - text.top) {
                if (!vbar->IsVisible()) {
                    vbar->SetVisible(true);
                    vbar->SetScrollPos(0, false);
                    m_pTwh->SetClientRect(GetTextRect());
                }
                m_bVScrollBarFixing = true;
            } else if (m_bVScrollBarFixing) {
                m_bVScrollBarFixing = false;
                if (vbar->IsVisible()) {
                    vbar->SetVisible(false);
                    m_pTwh->SetClientRect(GetTextRect());
                }
            }
        }
    }

    RECT inner = m_rcItem;
    inner.left += m_rcInset.left;
    inner.top += m_rcInset.top;
    inner.right -= m_rcInset.right;
    inner.bottom -= m_rcInset.bottom;
    bool vertical = vbar != nullptr && vbar->IsVisible();
    bool horizontal = hbar != nullptr && hbar->IsVisible();
    if (vertical) {
        RECT rcBar = {inner.right - vbar->GetFixedWidth(), inner.top, inner.right,
                      inner.bottom - (horizontal ? hbar->GetFixedHeight() : 0)};
        vbar->SetPos(rcBar, needInvalidate);
    }
    if (horizontal) {
        RECT rcBar = {inner.left, inner.bottom - hbar->GetFixedHeight(),
                      inner.right - (vertical ? vbar->GetFixedWidth() : 0), inner.bottom};
        hbar->SetPos(rcBar, needInvalidate);
    }
    PlaceChildren(GetClientPos());
}

void CRichEditUI::Move(int dx, int dy, bool needInvalidate)
{
    CContainerUI::Move(dx, dy, needInvalidate);
    if (m_pTwh != nullptr) {
        m_pTwh->SetClientRect(GetTextRect());
    }
}

void CRichEditUI::OnVerticalBarShown()
{
    // The text services are inside a call of theirs: the new placement waits
    // for the next layout pass. While the bar is held for content that needs
    // it, their changes of mind are not followed.
    if (!m_bVScrollBarFixing) {
        NeedUpdate();
    }
}

// ---- Scrolling: through the text services, which move the bars back ----

void CRichEditUI::SendScroll(UINT msg, WORD code) const
{
    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    if (services != nullptr) {
        LRESULT result = 0;
        services->TxSendMessage(msg, MAKEWPARAM(code, 0), 0, &result);
    }
}

void CRichEditUI::SetScrollPos(SIZE szPos)
{
    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    if (services == nullptr) {
        return;
    }
    CScrollBarUI* bars[2] = {m_pVerticalScrollBar, m_pHorizontalScrollBar};
    const int targets[2] = {szPos.cy, szPos.cx};
    const UINT messages[2] = {WM_VSCROLL, WM_HSCROLL};
    for (int i = 0; i < 2; ++i) {
        CScrollBarUI* bar = bars[i];
        if (bar == nullptr || !bar->IsVisible() || bar->GetScrollPos() == targets[i]) {
            continue;
        }
        bar->SetScrollPos(targets[i], false);
        int pos = bar->GetScrollPos();
        LRESULT result = 0;
        if (pos <= kMaxThumbPosition) {
            services->TxSendMessage(messages[i], MAKEWPARAM(SB_THUMBPOSITION, pos), 0, &result);
            continue;
        }
        // Beyond the thumb word's reach the position goes as a point.
        POINT pt = {0, 0};
        services->TxSendMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pt), &result);
        (i == 0 ? pt.y : pt.x) = pos;
        services->TxSendMessage(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pt), &result);
    }
}

void CRichEditUI::LineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }
void CRichEditUI::LineDown() { SendScroll(WM_VSCROLL, SB_LINEDOWN); }
void CRichEditUI::PageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::EndRight() { SendScroll(WM_HSCROLL, SB_RIGHT); }

// ---- Input ----

LRESULT CRichEditUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (!IsVisible() || !IsEnabled() || m_pTwh == nullptr || m_pManager == nullptr) {
        return 0;
    }
    const bool mouse = IsMouseMessage(uMsg);
    if (mouse && !IsMouseEnabled()) {
        return 0;
    }
    if (uMsg == WM_MOUSEWHEEL && (LOWORD(wParam) & MK_CONTROL) == 0) {
        return 0;
    }
    HWND hWnd = m_pManager->GetPaintWindow();
    bool claim = true;
    if (mouse || uMsg == WM_SETCURSOR) {
        if (!m_pTwh->IsCaptured()) {
            POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (uMsg == WM_SETCURSOR) {
                ::GetCursorPos(&pt);
                ::ScreenToClient(hWnd, &pt);
            } else if (uMsg == WM_MOUSEWHEEL) {
                ::ScreenToClient(hWnd, &pt);
            }
            if (IsButtonMessage(uMsg) && m_pManager->FindControl(pt) != this) {
                return 0;
            }
            const RECT& rcClient = m_pTwh->GetClientRect();
            if (!::PtInRect(&rcClient, pt) || m_pManager->IsCaptured()) {
                return 0;
            }
        }
        if (uMsg == WM_SETCURSOR) {
            claim = false;
        } else if (uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK || uMsg == WM_RBUTTONDOWN) {
            if (!m_pManager->IsNoActivate()) {
                ::SetFocus(hWnd);
            }
            SetFocus();
        }
    } else if (IsKeyMessage(uMsg)) {
        if (!IsFocused()) {
            return 0;
        }
    } else if (uMsg == WM_IME_COMPOSITION) {
        if (!IsFocused()) {
            return 0;
        }
        HIMC imc = ::ImmGetContext(hWnd);
        if (imc != nullptr) {
            RECT caret = m_pTwh->GetCaretRect();
            COMPOSITIONFORM form = {};
            form.dwStyle = CFS_FORCE_POSITION;
            form.ptCurrentPos = POINT{caret.left, caret.top};
            ::ImmSetCompositionWindow(imc, &form);
            LOGFONTW lf = {};
            HFONT font = GetFontHandle();
            if (font != nullptr && ::GetObjectW(font, sizeof(lf), &lf) != 0) {
                ::ImmSetCompositionFontW(imc, &lf);
            }
            ::ImmReleaseContext(hWnd, imc);
        }
        return 0;
    } else if (uMsg == WM_CONTEXTMENU) {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(hWnd, &pt);
        if (m_pManager->FindControl(pt) != this) {
            return 0;
        }
    } else if (uMsg == WM_HELP) {
        claim = false;
    } else {
        return 0;
    }

    LRESULT result = 0;
    HRESULT hr = TxSendMessage(uMsg, wParam, lParam, &result);
    // The manager asks the host again after the call: the message may have
    // gone to a control that no longer has its text services.
    bool captured = m_pTwh != nullptr && m_pTwh->IsCaptured();
    if (hr == S_OK || IsKeyMessage(uMsg) || uMsg == WM_CHAR || uMsg == WM_IME_CHAR || (mouse && captured)) {
        bHandled = claim;
    }
    return result;
}

void CRichEditUI::DoEvent(UiEvent& event)
{
    const bool mouse = event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND;
    if (mouse && !IsMouseEnabled()) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CControlUI::DoEvent(event);
        }
        return;
    }
    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (IsEnabled() && services != nullptr && m_pManager != nullptr) {
            const RECT& rcClient = m_pTwh->GetClientRect();
            if (::PtInRect(&rcClient, event.ptMouse)) {
                services->OnTxSetCursor(DVASPECT_CONTENT, -1, nullptr, nullptr, m_pManager->GetPaintDC(), nullptr,
                                        &rcClient, event.ptMouse.x, event.ptMouse.y);
                return;
            }
        }
        break;
    case UIEVENT_WINDOWSIZE:
        if (m_pTwh != nullptr) {
            m_pTwh->NeedFreshCaret();
        }
        break;
    case UIEVENT_SETFOCUS:
        if (m_pTwh != nullptr) {
            m_pTwh->Activate();
            TxSendMessage(WM_SETFOCUS, 0, 0, nullptr);
        }
        m_bFocused = true;
        Invalidate();
        return;
    case UIEVENT_KILLFOCUS:
        if (m_pTwh != nullptr) {
            m_pTwh->Activate();
            TxSendMessage(WM_KILLFOCUS, 0, 0, nullptr);
        }
        m_bFocused = false;
        Invalidate();
        return;
    case UIEVENT_TIMER:
        if (event.wParam == kCaretTimerId) {
            OnCaretTimer();
        } else if (m_pTwh != nullptr) {
            TxSendMessage(WM_TIMER, event.wParam, event.lParam, nullptr);
        }
        return;
    case UIEVENT_SCROLLWHEEL:
        // With Ctrl the message filter gave the wheel to the text services.
        if ((event.wKeyState & UIKEYSTATE_CONTROL) != 0) {
            return;
        }
        break;
    case UIEVENT_KEYDOWN:
    case UIEVENT_KEYUP:
    case UIEVENT_CHAR:
    case UIEVENT_SYSKEY:
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_BUTTONUP:
    case UIEVENT_DBLCLICK:
        // The message filter gives these to the text services.
        return;
    default:
        break;
    }
    CContainerUI::DoEvent(event);
}

// ---- Painting ----

void CRichEditUI::OnCaretTimer()
{
    if (m_pManager == nullptr || !m_pManager->IsLayered() || m_pTwh == nullptr || !IsFocused() ||
        ::GetFocus() != m_pManager->GetPaintWindow()) {
        return;
    }
    m_bDrawCaret = !m_bDrawCaret;
    RECT caret = m_pTwh->GetCaretRect();
    if (ClipByAncestors(caret, true)) {
        RECT own;
        if (::IntersectRect(&own, &caret, &m_rcItem)) {
            m_pManager->Invalidate(own);
        }
    }
}

void CRichEditUI::PaintLayeredCaret(HDC hDC)
{
    if (m_pManager == nullptr || !m_pManager->IsLayered() || !IsFocused() || m_pTwh == nullptr) {
        return;
    }
    if (!m_pTwh->IsCaretVisible() || !m_bDrawCaret) {
        return;
    }
    RECT caret = m_pTwh->GetCaretRect();
    int width = caret.right - caret.left > 0 ? caret.right - caret.left : 1;
    CDrawKit::DrawLine(hDC, RECT{caret.left, caret.top, caret.left, caret.bottom}, width, 0xFF000000);
}

bool CRichEditUI::DoPaint(HDC hDC, const RECT& rcPaint, CControlUI* stopControl)
{
    RECT rcTemp;
    if (!::IntersectRect(&rcTemp, &rcPaint, &m_rcItem)) {
        return true;
    }
    CDrawClip clip;
    CDrawClip::GenerateClip(hDC, rcTemp, clip);
    CControlUI::DoPaint(hDC, rcPaint, stopControl);

    ITextServices* services = m_pTwh != nullptr ? m_pTwh->GetTextServices() : nullptr;
    if (services != nullptr) {
        RECT rcClient = m_pTwh->GetClientRect();
        RECTL bounds = {rcClient.left, rcClient.top, rcClient.right, rcClient.bottom};
        RECT update = rcPaint;
        services->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr, &bounds, nullptr, &update, nullptr, 0,
                         TXTVIEW_ACTIVE);
        if (m_bVScrollBarFixing) {
            LONG height = 0;
            RECT text = GetTextRect();
            int width = text.right - text.left;
            if (m_pVerticalScrollBar != nullptr && m_pVerticalScrollBar->IsVisible()) {
                width += m_pVerticalScrollBar->GetFixedWidth();
            }
            if (MeasureContentHeight(width, height) && height <= text.bottom - text.top) {
                NeedUpdate();
            }
        }
    }

    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (child == stopControl) {
            return false;
        }
        if (child->IsVisible() && RectsMeet(rcPaint, child->GetPos()) && !child->Paint(hDC, rcPaint, stopControl)) {
            return false;
        }
    }

    PaintLayeredCaret(hDC);
    return PaintScrollBars(hDC, rcPaint, stopControl);
}

}  // namespace SkinUI
