#include "skinui/controls/edit_ui.h"

#include <vector>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/native_window_pos.h"
#include "skinui/controls/state_image.h"
#include "skinui/core/attribute_parser.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_wnd.h"

namespace SkinUI {

namespace {

// Messages the window manager reflects to the native child that sent them.
const UINT kReflectedCommand = WM_COMMAND + 0x2000;
const UINT kReflectedColorEdit = WM_CTLCOLOREDIT + 0x2000;
const UINT kReflectedColorStatic = WM_CTLCOLORSTATIC + 0x2000;
// The caret drawn by hand in layered windows blinks on this timer.
const UINT_PTR kCaretTimerId = 20;
// Frames of the four-state strip ("standardimage").
enum StandardFrame { kFrameNormal = 0, kFrameHot = 1, kFrameFocused = 2, kFrameDisabled = 3 };

}  // namespace

// The native edit window of one CEditUI; it deletes itself when its window
// is destroyed, and it closes itself when it loses the focus.
class CEditWnd : public CWindowWnd {
public:
    // False when the window could not be made.
    bool Init(CEditUI* owner);
    // The text area of the owner, in the owner window's client coordinates.
    RECT CalPos() const;
    // The owner goes away: the window no longer touches it.
    void ClearOwner() { m_pOwner = nullptr; }

protected:
    const wchar_t* GetWindowClassName() const override { return L"EditWnd"; }
    const wchar_t* GetSuperClassName() const override { return L"Edit"; }
    UINT GetClassStyle() const override { return 0; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void OnEditChanged();
    LRESULT OnCtlColor(HDC hDC);
    void DrawLayeredCaret(HDC hDC);

    CEditUI* m_pOwner = nullptr;
    CUiManager* m_pManager = nullptr;
    CUiString m_sLastText;  // the text of the last change report
    utility::ScopedGdiObject<HBRUSH> m_bkBrush;
    bool m_bInit = false;
    bool m_bDrawCaret = false;
};

RECT CEditWnd::CalPos() const
{
    RECT rc = m_pOwner->GetTextRect();
    const LONG fontHeight = m_pManager->GetFontInfo(m_pOwner->GetFont())->tm.tmHeight;
    if (fontHeight < rc.bottom - rc.top) {
        rc.top += (rc.bottom - rc.top - fontHeight) / 2;
        rc.bottom = rc.top + fontHeight;
    }
    rc = ClipToAncestorClients(m_pOwner, rc);
    if (!::IsRectEmpty(&rc)) {
        rc.right -= 1;
    }
    return rc;
}

bool CEditWnd::Init(CEditUI* owner)
{
    m_pOwner = owner;
    m_pManager = owner->GetManager();
    const RECT rc = CalPos();
    DWORD style = owner->m_dwWindowStyles | WS_CHILD | ES_AUTOHSCROLL;
    const UINT textStyle = owner->GetTextStyle();
    if ((textStyle & DT_CENTER) != 0) {
        style |= ES_CENTER;
    } else if ((textStyle & DT_RIGHT) != 0) {
        style |= ES_RIGHT;
    }
    if (owner->IsPasswordMode()) {
        style |= ES_PASSWORD;
    }
    if (Create(m_pManager->GetPaintWindow(), nullptr, style, 0, rc) == nullptr) {
        return false;
    }
    HFONT font = m_pManager->GetFontInfo(owner->GetFont())->hFont;
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageW(m_hWnd, EM_LIMITTEXT, owner->GetMaxChar(), 0);
    if (owner->IsPasswordMode()) {
        ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, owner->GetPasswordChar(), 0);
    }
    m_sLastText = owner->GetText();
    ::SetWindowTextW(m_hWnd, m_sLastText);
    ::SendMessageW(m_hWnd, EM_SETMODIFY, FALSE, 0);
    ::SendMessageW(m_hWnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(0, 0));
    ::EnableWindow(m_hWnd, owner->IsEnabled() ? TRUE : FALSE);
    ::SendMessageW(m_hWnd, EM_SETREADONLY, owner->IsReadOnly() ? TRUE : FALSE, 0);
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (owner->IsAutoSelAll()) {
        ::SendMessageW(m_hWnd, EM_SETSEL, 0, length > 0 ? length : 1);
    } else {
        ::SendMessageW(m_hWnd, EM_SETSEL, length, length);
    }
    m_bInit = true;
    return true;
}

LRESULT CEditWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        m_pManager->AddNativeWindow(m_pOwner, m_hWnd);
        ::SetTimer(m_hWnd, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
        break;
    case WM_KILLFOCUS: {
        LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
        if (m_pOwner == nullptr) {
            return result;  // being destroyed with its owner
        }
        HWND self = m_hWnd;
        HWND ownerWindow = m_pManager->GetPaintWindow();
        if (reinterpret_cast<HWND>(wParam) != ownerWindow) {
            ::SendMessageW(ownerWindow, WM_KILLFOCUS, wParam, lParam);
        }
        // Closing deletes this object: nothing of it is touched afterwards.
        ::SendMessageW(self, WM_CLOSE, 0, 0);
        return result;
    }
    case kReflectedCommand:
        if (HIWORD(wParam) == EN_CHANGE) {
            OnEditChanged();
        } else if (HIWORD(wParam) == EN_UPDATE) {
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN) {
            if (m_pOwner != nullptr) {
                m_pManager->SendNotify(m_pOwner, L"return");
            }
            return 0;
        }
        break;
    case kReflectedColorEdit:
    case kReflectedColorStatic:
        return OnCtlColor(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        RefreshLayeredNativeWindow(m_pManager, m_pOwner, m_hWnd);
        break;
    case WM_PRINT: {
        LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
        if (m_pManager->IsLayered()) {
            DrawLayeredCaret(reinterpret_cast<HDC>(wParam));
        }
        return result;
    }
    case WM_TIMER:
        if (wParam == kCaretTimerId) {
            m_bDrawCaret = !m_bDrawCaret;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CEditWnd::OnFinalMessage(HWND hWnd)
{
    if (m_pOwner != nullptr) {
        m_pOwner->Invalidate();
        m_pManager->RemoveNativeWindow(hWnd);
        m_pOwner->m_pWindow = nullptr;
    }
    delete this;
}

void CEditWnd::OnEditChanged()
{
    if (!m_bInit || m_pOwner == nullptr) {
        return;
    }
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    // A refused key press past the maximum may still report a change.
    if (m_sLastText == text.data()) {
        return;
    }
    m_sLastText = text.data();
    m_pOwner->m_sText = m_sLastText;
    if (m_pManager->IsLayered()) {
        m_pOwner->Invalidate();
    }
    // Last: a listener may delete the owner and with it this window.
    m_pManager->SendNotify(m_pOwner, L"textchanged");
}

LRESULT CEditWnd::OnCtlColor(HDC hDC)
{
    if (m_pOwner == nullptr) {
        return 0;
    }
    RefreshLayeredNativeWindow(m_pManager, m_pOwner, m_hWnd);
    const DWORD background = m_pOwner->GetNativeEditBkColor();
    if (background == 0xFFFFFFFF) {
        return 0;  // the system paints
    }
    ::SetBkMode(hDC, TRANSPARENT);
    DWORD textColor = m_pOwner->GetTextColor();
    if (textColor == 0) {
        textColor = m_pManager->GetDefaultFontColor();
    }
    ::SetTextColor(hDC, CDrawKit::ToColorRef(textColor));
    if (background < 0xFF000000) {
        // Translucent: the window's own painting under the field, tinted, made anew each time.
        RECT rc = m_pManager->GetNativeWindowRect(m_hWnd);
        HBRUSH brush = nullptr;
        {
            utility::ScopedGdiObject<HBITMAP> bitmap(CDrawKit::GenerateBitmap(m_pManager, rc, m_pOwner, background));
            if (!bitmap.valid()) {
                return 0;
            }
            brush = ::CreatePatternBrush(bitmap.get());  // the brush keeps its own copy
        }
        if (brush == nullptr) {
            common::log("CEditWnd::OnCtlColor", __LINE__, L"CreatePatternBrush failed lastError = %d",
                        static_cast<int>(::GetLastError()));
            return 0;
        }
        m_bkBrush.reset(brush);
    } else if (!m_bkBrush.valid()) {
        m_bkBrush.reset(::CreateSolidBrush(CDrawKit::ToColorRef(background)));
    }
    return reinterpret_cast<LRESULT>(m_bkBrush.get());
}

void CEditWnd::DrawLayeredCaret(HDC hDC)
{
    // The system caret does not show in a layered window.
    if (m_pOwner == nullptr || !m_pOwner->IsEnabled() || !m_bDrawCaret || hDC == nullptr) {
        return;
    }
    POINT caret = {0, 0};
    ::GetCaretPos(&caret);
    RECT client = {0, 0, 0, 0};
    ::GetClientRect(m_hWnd, &client);
    RECT line = {caret.x, caret.y, caret.x, caret.y + (client.bottom - client.top)};
    CDrawKit::DrawLine(hDC, line, 1, m_pOwner->GetCaretColor());
}

// ---- CEditUI ----

CEditUI::CEditUI()
    : m_pWindow(nullptr),
      m_uMaxChar(255),
      m_bReadOnly(false),
      m_bPasswordMode(false),
      m_bAutoSelAll(false),
      m_cPasswordChar(L'*'),
      m_uButtonState(0),
      m_dwNativeBkColor(0xFFFFFFFF),
      m_dwHotBorderColor(0),
      m_dwWindowStyles(0),
      m_dwCaretColor(0xFF000000)
{
    SetTextPadding(RECT{4, 3, 4, 3});
    SetBkColor(0xFFFFFFFF);
}

CEditUI::~CEditUI()
{
    if (m_pWindow == nullptr) {
        return;
    }
    // The native window must not outlive its owner: it forgets the owner and goes now.
    CEditWnd* window = m_pWindow;
    m_pWindow = nullptr;
    HWND hWnd = window->GetHWND();
    window->ClearOwner();
    if (m_pManager != nullptr) {
        m_pManager->RemoveNativeWindow(hWnd);
    }
    ::DestroyWindow(hWnd);
}

const wchar_t* CEditUI::GetClass() const { return L"Edit"; }

LPVOID CEditUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"Edit") == 0) {
        return static_cast<CEditUI*>(this);
    }
    return CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const
{
    if (!IsEnabled()) {
        return 0;
    }
    return UIFLAG_SETCURSOR | (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0);
}

HWND CEditUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

void CEditUI::OpenNativeWindow()
{
    if (m_pWindow != nullptr || m_pManager == nullptr) {
        return;
    }
    m_pWindow = new CEditWnd;
    if (!m_pWindow->Init(this)) {
        common::log("CEditUI::OpenNativeWindow", __LINE__, L"native edit window of %s not made lastError = %d",
                    GetName().GetData(), static_cast<int>(::GetLastError()));
        // A window destroyed during its creation has already deleted the object.
        delete m_pWindow;
        m_pWindow = nullptr;
    }
}

void CEditUI::CloseNativeWindow()
{
    if (m_pWindow == nullptr || m_pManager == nullptr) {
        return;
    }
    m_pManager->SetFocus(nullptr);
    // The focus was elsewhere already: close the window directly.
    if (m_pWindow != nullptr) {
        ::SendMessageW(m_pWindow->GetHWND(), WM_CLOSE, 0, 0);
    }
}

void CEditUI::SetText(const wchar_t* text)
{
    m_sText = text != nullptr ? text : L"";
    m_bNeedEstimateSize = true;
    if (m_pWindow != nullptr) {
        ::SetWindowTextW(m_pWindow->GetHWND(), m_sText);
    }
    Invalidate();
}

void CEditUI::SetPos(RECT rc, bool needInvalidate)
{
    CLabelUI::SetPos(rc, needInvalidate);
    if (m_pWindow != nullptr) {
        PlaceNativeWindow(m_pWindow->GetHWND(), m_pWindow->CalPos());
    }
}

void CEditUI::Move(int dx, int dy, bool needInvalidate)
{
    CLabelUI::Move(dx, dy, needInvalidate);
    if (m_pWindow != nullptr) {
        PlaceNativeWindow(m_pWindow->GetHWND(), m_pWindow->CalPos());
    }
}

void CEditUI::SetVisible(bool visible)
{
    CLabelUI::SetVisible(visible);
    if (!IsVisible()) {
        CloseNativeWindow();
    }
}

void CEditUI::SetInternVisible(bool visible)
{
    if (!visible) {
        CloseNativeWindow();
    }
}

void CEditUI::SetEnabled(bool enable)
{
    CLabelUI::SetEnabled(enable);
    if (!IsEnabled()) {
        m_uButtonState = 0;
    }
}

void CEditUI::SetMaxChar(UINT count)
{
    m_uMaxChar = count;
    if (m_pWindow != nullptr) {
        ::SendMessageW(m_pWindow->GetHWND(), EM_LIMITTEXT, count, 0);
    }
}

void CEditUI::SetReadOnly(bool readOnly)
{
    if (m_bReadOnly == readOnly) {
        return;
    }
    m_bReadOnly = readOnly;
    if (m_pWindow != nullptr) {
        ::SendMessageW(m_pWindow->GetHWND(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    }
    Invalidate();
}

void CEditUI::SetPasswordMode(bool passwordMode)
{
    if (m_bPasswordMode == passwordMode) {
        return;
    }
    m_bPasswordMode = passwordMode;
    Invalidate();
}

void CEditUI::SetNumberOnly(bool numberOnly)
{
    if (numberOnly) {
        m_dwWindowStyles |= ES_NUMBER;
    } else {
        m_dwWindowStyles &= ~static_cast<DWORD>(ES_NUMBER);
    }
}

void CEditUI::DoEvent(UiEvent& event)
{
    if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEBEGIN && event.Type <= UIEVENT__MOUSEEND) {
        if (m_pParent != nullptr) {
            m_pParent->DoEvent(event);
        } else {
            CLabelUI::DoEvent(event);
        }
        return;
    }
    switch (event.Type) {
    case UIEVENT_SETCURSOR:
        if (IsEnabled()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
            return;
        }
        break;
    case UIEVENT_WINDOWSIZE:
        if (m_pWindow != nullptr && m_pManager != nullptr) {
            m_pManager->SetFocusNeeded(this);
        }
        break;
    case UIEVENT_SCROLLWHEEL:
        if (m_pWindow != nullptr) {
            return;
        }
        break;
    case UIEVENT_SETFOCUS:
        if (IsEnabled() && m_pWindow == nullptr) {
            OpenNativeWindow();
            Invalidate();
        }
        break;
    case UIEVENT_KILLFOCUS:
        if (IsEnabled()) {
            Invalidate();
        }
        break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
    case UIEVENT_DBLCLICK:
        if (IsEnabled() && m_pManager != nullptr) {
            m_pManager->ReleaseCapture();
            if (IsFocused() && m_pWindow == nullptr) {
                OpenNativeWindow();
            } else if (m_pWindow != nullptr && !m_bAutoSelAll) {
                // The caret goes under the pointer.
                const int x = event.ptMouse.x - (m_rcItem.left + m_rcTextPadding.left);
                const int y = event.ptMouse.y - (m_rcItem.top + m_rcTextPadding.top);
                HWND hWnd = m_pWindow->GetHWND();
                ::SendMessageW(hWnd, EM_SETSEL, 0, 0);
                ::SendMessageW(hWnd, WM_LBUTTONDOWN, event.wParam, MAKELPARAM(x, y));
            }
        }
        return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
        return;
    case UIEVENT_MOUSEENTER:
        if (IsEnabled() && ::PtInRect(&m_rcItem, event.ptMouse)) {
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
        }
        break;
    case UIEVENT_MOUSELEAVE:
        if (::PtInRect(&m_rcItem, event.ptMouse)) {
            if (m_pManager != nullptr) {
                m_pManager->AddMouseLeaveNeeded(this);
            }
            return;
        }
        if (IsEnabled()) {
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
        }
        if (m_pManager != nullptr) {
            m_pManager->RemoveMouseLeaveNeeded(this);
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const wchar_t* name, const wchar_t* value)
{
    if (name == nullptr) {
        return;
    }
    if (value == nullptr) {
        value = L"";
    }
    static const UiImageAttribute<UiDrawInfo CEditUI::*> kImages[] = {
        {L"normalimage", L"normalEnlargeImage", &CEditUI::m_diNormal},
        {L"hotimage", L"hotEnlargeImage", &CEditUI::m_diHot},
        {L"focusedimage", L"focusedEnlargeImage", &CEditUI::m_diFocused},
        {L"disabledimage", L"disabledEnlargeImage", &CEditUI::m_diDisabled},
        {L"standardimage", L"standardEnlargeImage", &CEditUI::m_diStandard},
    };
    if (SetImageAttribute(*this, kImages, name, value)) {
        return;
    }
    if (wcscmp(name, L"readonly") == 0) {
        SetReadOnly(ParseBool(value));
    } else if (wcscmp(name, L"numberonly") == 0) {
        SetNumberOnly(ParseBool(value));
    } else if (wcscmp(name, L"password") == 0) {
        SetPasswordMode(ParseBool(value));
    } else if (wcscmp(name, L"autoselall") == 0) {
        SetAutoSelAll(ParseBool(value));
    } else if (wcscmp(name, L"maxchar") == 0) {
        SetMaxChar(static_cast<UINT>(ParseInt(value)));
    } else if (wcscmp(name, L"nativebkcolor") == 0) {
        SetNativeEditBkColor(ParseColor(value));
    } else if (wcscmp(name, L"caretcolor") == 0) {
        SetCaretColor(ParseColor(value));
    } else if (wcscmp(name, L"hotbordercolor") == 0) {
        SetHotBorderColor(ParseColor(value));
    } else {
        CLabelUI::SetAttribute(name, value);
    }
}

SIZE CEditUI::EstimateSize(SIZE available)
{
    if (m_cxyFixed.cy != 0 || m_pManager == nullptr) {
        return CControlUI::EstimateSize(available);
    }
    return SIZE{m_cxyFixed.cx, m_pManager->GetFontInfo(m_iFont)->tm.tmHeight + 8};
}

void CEditUI::PaintStatusImage(HDC hDC)
{
    if (IsFocused()) {
        m_uButtonState |= UISTATE_FOCUSED;
    } else {
        m_uButtonState &= ~UISTATE_FOCUSED;
    }
    if (!IsEnabled()) {
        m_uButtonState |= UISTATE_DISABLED;
    } else {
        m_uButtonState &= ~UISTATE_DISABLED;
    }
    auto draw = [&](UiDrawInfo& info, int frame) {
        return DrawImage(hDC, info) ||
               CDrawKit::DrawImageInfoFrame(hDC, m_pManager, m_rcItem, m_rcPaint, m_diStandard, frame);
    };
    if ((m_uButtonState & UISTATE_DISABLED) != 0) {
        if (draw(m_diDisabled, kFrameDisabled))
            return;
    } else if ((m_uButtonState & UISTATE_FOCUSED) != 0) {
        if (draw(m_diFocused, kFrameFocused))
            return;
    } else if ((m_uButtonState & UISTATE_HOT) != 0) {
        if (draw(m_diHot, kFrameHot))
            return;
    }
    draw(m_diNormal, kFrameNormal);
}

void CEditUI::PaintText(HDC hDC)
{
    ResolveDefaultColors();
    if (m_sText.IsEmpty()) {
        return;
    }
    CUiString shown = m_sText;
    if (m_bPasswordMode) {
        // One password character per character, however many units it takes.
        shown.Empty();
        for (const wchar_t* p = m_sText.GetData(); *p != L'\0'; p = ::CharNextW(p)) {
            shown += m_cPasswordChar;
        }
    }
    RECT rc = GetTextRect();
    CDrawKit::DrawText(hDC, m_pManager, rc, shown, IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor, m_iFont,
                       m_uTextStyle | DT_SINGLELINE);
}

void CEditUI::PaintBorder(HDC hDC)
{
    CLabelUI::PaintBorder(hDC);
    if ((m_uButtonState & UISTATE_HOT) != 0) {
        PaintBorderWithColor(hDC, m_dwHotBorderColor);
    }
}

}  // namespace SkinUI
