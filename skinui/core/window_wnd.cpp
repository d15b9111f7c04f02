#include "skinui/core/window_wnd.h"

#include <string>

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {

namespace {

const wchar_t kObjectProperty[] = L"WndX";

bool RegistrationSucceeded(ATOM atom) { return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS; }

}  // namespace

CWindowWnd::CWindowWnd()
    : m_hWnd(nullptr), m_OldWndProc(::DefWindowProcW), m_bSubclassed(false), m_hIconBig(nullptr), m_hIconSmall(nullptr)
{
}

CWindowWnd::~CWindowWnd()
{
    ReleaseWindow();
    if (m_hIconBig != nullptr)
        ::DestroyIcon(m_hIconBig);
    if (m_hIconSmall != nullptr)
        ::DestroyIcon(m_hIconSmall);
}

const wchar_t* CWindowWnd::GetSuperClassName() const { return nullptr; }
UINT CWindowWnd::GetClassStyle() const { return 0; }
void CWindowWnd::OnFinalMessage(HWND hWnd) {}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcW(m_OldWndProc, m_hWnd, uMsg, wParam, lParam);
}

bool CWindowWnd::RegisterWindowClass()
{
    WNDCLASSW wc = {};
    wc.style = GetClassStyle();
    wc.lpfnWndProc = CWindowWnd::WindowProc;
    wc.hInstance = CUiManager::GetInstance();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = GetWindowClassName();
    ATOM atom = ::RegisterClassW(&wc);
    if (!RegistrationSucceeded(atom)) {
        common::log("CWindowWnd::RegisterWindowClass", __LINE__, L"class %s not registered lastError = %d",
                    wc.lpszClassName, static_cast<int>(::GetLastError()));
        return false;
    }
    return true;
}

bool CWindowWnd::RegisterSuperclass()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    const wchar_t* superName = GetSuperClassName();
    if (!::GetClassInfoExW(nullptr, superName, &wc) && !::GetClassInfoExW(CUiManager::GetInstance(), superName, &wc)) {
        common::log("CWindowWnd::RegisterSuperclass", __LINE__, L"class %s not found lastError = %d", superName,
                    static_cast<int>(::GetLastError()));
        return false;
    }
    m_OldWndProc = wc.lpfnWndProc;
    wc.lpfnWndProc = CWindowWnd::ControlProc;
    wc.hInstance = CUiManager::GetInstance();
    wc.lpszClassName = GetWindowClassName();
    ATOM atom = ::RegisterClassExW(&wc);
    if (!RegistrationSucceeded(atom)) {
        common::log("CWindowWnd::RegisterSuperclass", __LINE__, L"class %s not registered lastError = %d",
                    wc.lpszClassName, static_cast<int>(::GetLastError()));
        return false;
    }
    return true;
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        HMENU hMenu)
{
    bool registered = GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered) {
        return nullptr;
    }
    // A window destroyed while it is being made (its WM_CREATE failed, or the
    // system could not show it) has had its final message, and a window object
    // that deletes itself there is gone when CreateWindowExW returns: after a
    // failure nothing here may touch this object.
    const std::wstring className = GetWindowClassName();
    HWND hWnd = ::CreateWindowExW(exStyle, className.c_str(), name, style, x, y, cx, cy, hwndParent, hMenu,
                                  CUiManager::GetInstance(), this);
    if (hWnd == nullptr) {
        common::log("CWindowWnd::Create", __LINE__, L"window of class %s not created lastError = %d", className.c_str(),
                    static_cast<int>(::GetLastError()));
        return nullptr;
    }
    m_hWnd = hWnd;
    return hWnd;
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* name, DWORD style, DWORD exStyle, const RECT& rc, HMENU hMenu)
{
    return Create(hwndParent, name, style, exStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* name, DWORD style, DWORD exStyle)
{
    return Create(hwndParent, name, style, exStyle, 0, 0, 0, 0, nullptr);
}

void CWindowWnd::Unsubclass()
{
    if (m_hWnd == nullptr || !m_bSubclassed) {
        return;
    }
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    m_OldWndProc = ::DefWindowProcW;
    m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus)
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
        return;
    }
    ::ShowWindow(m_hWnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::Close(UINT result)
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
        return;
    }
    ::PostMessageW(m_hWnd, WM_CLOSE, static_cast<WPARAM>(result), 0);
}

void CWindowWnd::CenterWindow()
{
    if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
        return;
    }
    RECT rcWindow = {};
    ::GetWindowRect(m_hWnd, &rcWindow);
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT rcArea = mi.rcWork;
    RECT rcCenter = rcArea;
    if (owner != nullptr && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &rcCenter);
    }
    int width = rcWindow.right - rcWindow.left;
    int height = rcWindow.bottom - rcWindow.top;
    int x = (rcCenter.left + rcCenter.right) / 2 - width / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
    if (x < rcArea.left) {
        x = rcArea.left;
    } else if (x + width > rcArea.right) {
        x = rcArea.right - width;
    }
    if (y < rcArea.top) {
        y = rcArea.top;
    } else if (y + height > rcArea.bottom) {
        y = rcArea.bottom - height;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::SetIcon(UINT resourceId)
{
    if (m_hWnd == nullptr) {
        return;
    }
    HINSTANCE instance = CUiManager::GetInstance();
    HICON bigIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                                    LR_DEFAULTCOLOR));
    if (bigIcon == nullptr) {
        common::log("CWindowWnd::SetIcon", __LINE__, L"icon %d not loaded lastError = %d", static_cast<int>(resourceId),
                    static_cast<int>(::GetLastError()));
    }
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon));
    if (m_hIconBig != nullptr)
        ::DestroyIcon(m_hIconBig);
    m_hIconBig = bigIcon;

    HICON smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                      ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                      LR_DEFAULTCOLOR));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    if (m_hIconSmall != nullptr)
        ::DestroyIcon(m_hIconSmall);
    m_hIconSmall = smallIcon;
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::ReleaseWindow()
{
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    if (hWnd == nullptr || !::IsWindow(hWnd)) {
        return;
    }
    if (::GetPropW(hWnd, kObjectProperty) == static_cast<HANDLE>(this)) {
        ::RemovePropW(hWnd, kObjectProperty);
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
    } else if (::GetWindowLongPtrW(hWnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    }
    if (!::DestroyWindow(hWnd)) {
        common::log("CWindowWnd::ReleaseWindow", __LINE__, L"window %p not destroyed lastError = %d", hWnd,
                    static_cast<int>(::GetLastError()));
    }
}

CWindowWnd* CWindowWnd::CreatingObject(HWND hWnd, LPARAM lParam)
{
    const CREATESTRUCTW* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    CWindowWnd* wnd = cs != nullptr ? static_cast<CWindowWnd*>(cs->lpCreateParams) : nullptr;
    if (wnd == nullptr) {
        common::log("CWindowWnd::CreatingObject", __LINE__, L"window %p created without its object lastError = %d",
                    hWnd, static_cast<int>(::GetLastError()));
    }
    return wnd;
}

LRESULT CWindowWnd::FinalMessage(CWindowWnd* wnd, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool superclassed)
{
    LRESULT result = ::CallWindowProcW(wnd->m_OldWndProc, hWnd, uMsg, wParam, lParam);
    if (superclassed) {
        ::RemovePropW(hWnd, kObjectProperty);
    } else {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    }
    if (wnd->m_bSubclassed) {
        wnd->Unsubclass();
    }
    wnd->m_hWnd = nullptr;
    wnd->OnFinalMessage(hWnd);
    return result;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* wnd = nullptr;
    if (uMsg == WM_NCCREATE) {
        wnd = CreatingObject(hWnd, lParam);
        if (wnd != nullptr) {
            wnd->m_hWnd = hWnd;
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(wnd));
        }
    } else {
        wnd = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (uMsg == WM_NCDESTROY && wnd != nullptr) {
            return FinalMessage(wnd, hWnd, uMsg, wParam, lParam, false);
        }
    }
    if (wnd == nullptr) {
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    return wnd->HandleMessage(uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWindowWnd* wnd = nullptr;
    if (uMsg == WM_NCCREATE) {
        wnd = CreatingObject(hWnd, lParam);
        if (wnd != nullptr) {
            wnd->m_hWnd = hWnd;
            ::SetPropW(hWnd, kObjectProperty, static_cast<HANDLE>(wnd));
        }
    } else {
        wnd = static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProperty));
        if (uMsg == WM_NCDESTROY && wnd != nullptr) {
            return FinalMessage(wnd, hWnd, uMsg, wParam, lParam, true);
        }
    }
    if (wnd == nullptr) {
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    return wnd->HandleMessage(uMsg, wParam, lParam);
}

}  // namespace SkinUI
