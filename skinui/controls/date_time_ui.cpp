#include "skinui/controls/date_time_ui.h"

#include <commctrl.h>

#include "foundation/log.h"
#include "skinui/controls/native_window_pos.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_wnd.h"

namespace SkinUI {

namespace {
// WM_NOTIFY as the window manager reflects it to the native child that sent it.
const UINT kReflectedNotify = WM_NOTIFY + 0x2000;
}  // namespace

// The native picker of one CDateTimeUI; it deletes itself when its window is
// destroyed, and it closes itself when it loses the focus.
class CDateTimeWnd : public CWindowWnd {
public:
    // False when the window could not be made.
    bool Init(CDateTimeUI* owner);
    // The owner's rectangle within its ancestors, in the window's client coordinates.
    RECT CalPos() const;
    void ClearOwner() { m_pOwner = nullptr; }

protected:
    const wchar_t* GetWindowClassName() const override { return L"DateTimeWnd"; }
    const wchar_t* GetSuperClassName() const override { return DATETIMEPICK_CLASSW; }
    UINT GetClassStyle() const override { return 0; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    // The picker's date becomes the owner's, unless a key already decided.
    void TakeDate();

    CDateTimeUI* m_pOwner = nullptr;
    CUiManager* m_pManager = nullptr;
};

RECT CDateTimeWnd::CalPos() const { return ClipToAncestorClients(m_pOwner, m_pOwner->GetPos()); }

bool CDateTimeWnd::Init(CDateTimeUI* owner)
{
    m_pOwner = owner;
    m_pManager = owner->GetManager();
    owner->m_nDTUpdateFlag = CDateTimeUI::DT_NONE;
    if (m_hWnd == nullptr) {
        if (Create(m_pManager->GetPaintWindow(), nullptr, WS_CHILD, 0, CalPos()) == nullptr) {
            return false;
        }
        HFONT font = m_pManager->GetFontInfo(owner->GetFont())->hFont;
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    if (owner->GetText().IsEmpty()) {
        ::GetLocalTime(&owner->m_sysTime);
    }
    ::SendMessageW(m_hWnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&owner->m_sysTime));
    ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hWnd);
    return true;
}

LRESULT CDateTimeWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_CREATE:
        m_pManager->AddNativeWindow(m_pOwner, m_hWnd);
        break;
    case WM_KILLFOCUS: {
        LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
        if (m_pOwner == nullptr) {
            return result;  // being destroyed with its owner
        }
        HWND calendar = reinterpret_cast<HWND>(::SendMessageW(m_hWnd, DTM_GETMONTHCAL, 0, 0));
        HWND gaining = reinterpret_cast<HWND>(wParam);
        if (calendar != nullptr && gaining != nullptr && (gaining == calendar || ::IsChild(calendar, gaining))) {
            return result;  // the picker's own drop-down calendar
        }
        TakeDate();
        HWND self = m_hWnd;
        HWND ownerWindow = m_pManager->GetPaintWindow();
        if (gaining != ownerWindow) {
            ::SendMessageW(ownerWindow, WM_KILLFOCUS, wParam, lParam);
        }
        // Closing deletes this object: nothing of it is touched afterwards.
        ::SendMessageW(self, WM_CLOSE, 0, 0);
        return result;
    }
    case WM_KEYUP:
        if (m_pOwner != nullptr && (wParam == VK_DELETE || wParam == VK_BACK || wParam == VK_ESCAPE)) {
            LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
            if (wParam == VK_ESCAPE) {
                m_pOwner->m_nDTUpdateFlag = CDateTimeUI::DT_KEEP;
            } else {
                m_pOwner->m_nDTUpdateFlag = CDateTimeUI::DT_DELETE;
                m_pOwner->UpdateText();
            }
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
            return result;
        }
        break;
    case kReflectedNotify:
        // The calendar closed and gave the focus elsewhere: the picker goes with it.
        if (m_pOwner != nullptr && reinterpret_cast<const NMHDR*>(lParam)->code == DTN_CLOSEUP &&
            ::GetFocus() != m_hWnd) {
            TakeDate();
            ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
        }
        break;
    case WM_PAINT:
        RefreshLayeredNativeWindow(m_pManager, m_pOwner, m_hWnd);
        break;
    default:
        break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CDateTimeWnd::TakeDate()
{
    if (m_pOwner->m_nDTUpdateFlag != CDateTimeUI::DT_NONE) {
        return;  // closed by Delete, Backspace or Escape: their result stands
    }
    ::SendMessageW(m_hWnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&m_pOwner->m_sysTime));
    m_pOwner->m_nDTUpdateFlag = CDateTimeUI::DT_UPDATE;
    m_pOwner->UpdateText();
}

void CDateTimeWnd::OnFinalMessage(HWND hWnd)
{
    if (m_pOwner != nullptr) {
        m_pManager->RemoveNativeWindow(hWnd);
        m_pOwner->m_pWindow = nullptr;
    }
    delete this;
}

// ---- CDateTimeUI ----

CDateTimeUI::CDateTimeUI() : m_sysTime(), m_nDTUpdateFlag(DT_UPDATE), m_bReadOnly(false), m_pWindow(nullptr)
{
    ::GetLocalTime(&m_sysTime);
    UpdateText();
    m_nDTUpdateFlag = DT_NONE;
}

CDateTimeUI::~CDateTimeUI()
{
    if (m_pWindow == nullptr) {
        return;
    }
    // The picker must not outlive its owner: it forgets the owner and goes now.
    CDateTimeWnd* window = m_pWindow;
    m_pWindow = nullptr;
    HWND hWnd = window->GetHWND();
    window->ClearOwner();
    if (m_pManager != nullptr) {
        m_pManager->RemoveNativeWindow(hWnd);
    }
    ::DestroyWindow(hWnd);
}

const wchar_t* CDateTimeUI::GetClass() const { return L"DateTime"; }

LPVOID CDateTimeUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"DateTime") == 0) {
        return static_cast<CDateTimeUI*>(this);
    }
    return CLabelUI::GetInterface(name);
}

UINT CDateTimeUI::GetControlFlags() const { return IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0; }

HWND CDateTimeUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

void CDateTimeUI::UpdateText()
{
    if (m_nDTUpdateFlag == DT_DELETE) {
        SetText(L"");
    } else if (m_nDTUpdateFlag == DT_UPDATE) {
        CUiString text;
        text.FormatShort(L"%4d-%02d-%02d", m_sysTime.wYear, m_sysTime.wMonth, m_sysTime.wDay);
        SetText(text);
    }
}

void CDateTimeUI::OpenNativeWindow()
{
    if (m_pManager == nullptr) {
        return;
    }
    if (m_pWindow == nullptr) {
        m_pWindow = new CDateTimeWnd;
    }
    if (!m_pWindow->Init(this)) {
        common::log("CDateTimeUI::OpenNativeWindow", __LINE__, L"date picker of %s not made lastError = %d",
                    GetName().GetData(), static_cast<int>(::GetLastError()));
        // A window destroyed during its creation has already deleted the object.
        delete m_pWindow;
        m_pWindow = nullptr;
    }
}

void CDateTimeUI::SetPos(RECT rc, bool needInvalidate)
{
    CLabelUI::SetPos(rc, needInvalidate);
    if (m_pWindow != nullptr) {
        PlaceNativeWindow(m_pWindow->GetHWND(), m_pWindow->CalPos());
    }
}

void CDateTimeUI::Move(int dx, int dy, bool needInvalidate)
{
    CLabelUI::Move(dx, dy, needInvalidate);
    if (m_pWindow != nullptr) {
        PlaceNativeWindow(m_pWindow->GetHWND(), m_pWindow->CalPos());
    }
}

void CDateTimeUI::DoEvent(UiEvent& event)
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
            if (m_pWindow != nullptr || IsFocused()) {
                OpenNativeWindow();
            }
        }
        return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

}  // namespace SkinUI
