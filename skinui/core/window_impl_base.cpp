#include "skinui/core/window_impl_base.h"

#include <windowsx.h>

#include "foundation/log.h"
#include "foundation/scoped_gdi.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/test_hook.h"

namespace SkinUI {

SKINUI_BEGIN_NOTIFY_MAP(WindowImplBase, CNotifyPump)
    SKINUI_ON_NOTIFY(L"click", &WindowImplBase::OnClick)
SKINUI_END_NOTIFY_MAP()

namespace {

RECT WorkAreaOf(HWND hWnd)
{
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    return mi.rcWork;
}

bool IsClientClass(const wchar_t* className)
{
    return className != nullptr && (_wcsicmp(className, L"Button") == 0 || _wcsicmp(className, L"Option") == 0 ||
                                    _wcsicmp(className, L"Text") == 0);
}

LRESULT NotHandled(bool& bHandled)
{
    bHandled = false;
    return 0;
}

}  // namespace

WindowImplBase::WindowImplBase() {}

// The window goes before the manager that its messages reach.
WindowImplBase::~WindowImplBase() { ReleaseWindow(); }

void WindowImplBase::InitWindow() {}

UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }

CControlUI* WindowImplBase::CreateControl(const wchar_t* className) { return nullptr; }

void WindowImplBase::Notify(UiNotify& msg) { NotifyPump(msg); }

void WindowImplBase::OnClick(UiNotify& msg)
{
    if (msg.pSender == nullptr) {
        return;
    }
    CUiString name = msg.pSender->GetName();
    if (name == L"closebtn") {
        Close(1);
    } else if (name == L"minbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (name == L"maxbtn") {
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    } else if (name == L"restorebtn") {
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
    }
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam)
{
    if (wParam == VK_ESCAPE) {
        Close(1);
        return 1;
    }
    return 0;
}

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
        return ResponseDefaultKeyEvent(wParam);
    }
    return 0;
}

void WindowImplBase::OnFinalMessage(HWND hWnd)
{
    m_pm.RemovePreMessageFilter(this);
    m_pm.RemoveNotifier(this);
    m_pm.ReapObjects(m_pm.GetRoot());
}

LONG WindowImplBase::GetStyle()
{
    LONG style = static_cast<LONG>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    return style & ~WS_CAPTION;
}

CUiString WindowImplBase::FormatSkinLoadError(const CSkinBuilder& builder)
{
    wchar_t location[1024] = L"";
    wchar_t message[1024] = L"";
    builder.GetLastErrorLocation(location, 1024);
    builder.GetLastErrorMessage(message, 1024);
    CUiString text(L"load resource errr. location:");
    text += location;
    text += L" msg:";
    text += message;
    return text;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
#ifdef ZUL_TEST_HOOKS
    if (testhook::AnswerControlQuery(m_pm, m_hWnd, uMsg, wParam, lParam)) {
        return TRUE;
    }
#endif
    // Any handler below may close the window and delete this object (a
    // message box closing itself from its button): then nothing of it is
    // touched again.
    CLifeWatch watch(m_life);
    LRESULT lRes = 0;
    bool bHandled = true;
    switch (uMsg) {
    case WM_CREATE:
        lRes = OnCreate(uMsg, wParam, lParam, bHandled);
        break;
    case WM_CLOSE:
        lRes = OnClose(uMsg, wParam, lParam, bHandled);
        break;
    case WM_DESTROY:
        lRes = OnDestroy(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCACTIVATE:
        lRes = OnNcActivate(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCCALCSIZE:
        lRes = OnNcCalcSize(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCPAINT:
        lRes = OnNcPaint(uMsg, wParam, lParam, bHandled);
        break;
    case WM_NCHITTEST:
        lRes = OnNcHitTest(uMsg, wParam, lParam, bHandled);
        break;
    case WM_GETMINMAXINFO:
        lRes = OnGetMinMaxInfo(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEWHEEL:
        lRes = OnMouseWheel(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEHOVER:
        lRes = OnMouseHover(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SIZE:
        lRes = OnSize(uMsg, wParam, lParam, bHandled);
        break;
    case WM_CHAR:
        lRes = OnChar(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SYSCOMMAND:
        lRes = OnSysCommand(uMsg, wParam, lParam, bHandled);
        break;
    case WM_KEYDOWN:
        lRes = OnKeyDown(uMsg, wParam, lParam, bHandled);
        break;
    case WM_KILLFOCUS:
        lRes = OnKillFocus(uMsg, wParam, lParam, bHandled);
        break;
    case WM_SETFOCUS:
        lRes = OnSetFocus(uMsg, wParam, lParam, bHandled);
        break;
    case WM_LBUTTONDOWN:
        lRes = OnLButtonDown(uMsg, wParam, lParam, bHandled);
        break;
    case WM_LBUTTONUP:
        lRes = OnLButtonUp(uMsg, wParam, lParam, bHandled);
        break;
    case WM_MOUSEMOVE:
        lRes = OnMouseMove(uMsg, wParam, lParam, bHandled);
        break;
    default:
        bHandled = false;
        break;
    }
    if (bHandled || watch.IsDead()) {
        return lRes;
    }
    lRes = HandleCustomMessage(uMsg, wParam, lParam, bHandled);
    if (bHandled || watch.IsDead()) {
        return lRes;
    }
    if (m_pm.MessageHandler(uMsg, wParam, lParam, lRes) || watch.IsDead()) {
        return lRes;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT WindowImplBase::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(WS_CAPTION);
    style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);
    ::SetWindowPos(m_hWnd, nullptr, rcClient.left, rcClient.top, rcClient.right - rcClient.left,
                   rcClient.bottom - rcClient.top, SWP_FRAMECHANGED);

    m_pm.Init(m_hWnd);
    m_pm.AddPreMessageFilter(this);

    CSkinBuilder builder;
    CUiString skinFile = GetSkinFile();
    CControlUI* root = builder.Create(skinFile.GetData(), nullptr, this, &m_pm, nullptr);
    if (root == nullptr) {
        CUiString text = FormatSkinLoadError(builder);
        common::log("WindowImplBase::OnCreate", __LINE__, L"skin %s not built: %s", skinFile.GetData(), text.GetData());
        // The process ends below: the log writer puts its last lines on disk first.
        common::Logger::shutdown();
        ::MessageBoxW(nullptr, text, L"SkinUI", MB_ICONERROR);
        ::ExitProcess(1);
    }
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    return 0;
}

LRESULT WindowImplBase::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}

LRESULT WindowImplBase::OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (::IsIconic(m_hWnd)) {
        return NotHandled(bHandled);
    }
    return wParam == 0 ? TRUE : FALSE;
}

LRESULT WindowImplBase::OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if (!::IsZoomed(m_hWnd)) {
        return 0;
    }
    RECT* proposed = wParam != FALSE ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                     : reinterpret_cast<RECT*>(lParam);
    RECT work = WorkAreaOf(m_hWnd);
    proposed->right = proposed->left + (work.right - work.left);
    proposed->bottom = proposed->top + (work.bottom - work.top);
    return WVR_REDRAW;
}

LRESULT WindowImplBase::OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) { return 0; }

LRESULT WindowImplBase::OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::ScreenToClient(m_hWnd, &pt);
    RECT rcClient = {};
    ::GetClientRect(m_hWnd, &rcClient);

    if (!::IsZoomed(m_hWnd)) {
        RECT box = m_pm.GetSizeBox();
        if (pt.y < rcClient.top + box.top) {
            if (pt.x < rcClient.left + box.left)
                return HTTOPLEFT;
            if (pt.x > rcClient.right - box.right)
                return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y > rcClient.bottom - box.bottom) {
            if (pt.x < rcClient.left + box.left)
                return HTBOTTOMLEFT;
            if (pt.x > rcClient.right - box.right)
                return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (pt.x < rcClient.left + box.left)
            return HTLEFT;
        if (pt.x > rcClient.right - box.right)
            return HTRIGHT;
    }

    RECT caption = m_pm.GetCaptionRect();
    if (pt.x >= rcClient.left + caption.left && pt.x < rcClient.right - caption.right && pt.y >= caption.top &&
        pt.y < caption.bottom) {
        CControlUI* control = m_pm.FindControl(pt);
        if (control != nullptr && !IsClientClass(control->GetClass())) {
            return HTCAPTION;
        }
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT work = mi.rcWork;
    ::OffsetRect(&work, -mi.rcMonitor.left, -mi.rcMonitor.top);
    info->ptMaxPosition.x = work.left;
    info->ptMaxPosition.y = work.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    SIZE minInfo = m_pm.GetMinInfo();
    info->ptMinTrackSize.x = minInfo.cx;
    info->ptMinTrackSize.y = minInfo.cy;
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}

LRESULT WindowImplBase::OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    SIZE corner = m_pm.GetRoundCorner();
    if (!::IsIconic(m_hWnd) && (corner.cx != 0 || corner.cy != 0)) {
        RECT rc = {};
        ::GetWindowRect(m_hWnd, &rc);
        ::OffsetRect(&rc, -rc.left, -rc.top);
        rc.right++;
        rc.bottom++;
        utility::ScopedGdiObject<HRGN> region(
            ::CreateRoundRectRgn(rc.left, rc.top, rc.right, rc.bottom, corner.cx, corner.cy));
        if (!region.valid()) {
            common::log("WindowImplBase::OnSize", __LINE__, L"round-corner region not created lastError = %d",
                        static_cast<int>(::GetLastError()));
        } else if (::SetWindowRgn(m_hWnd, region.get(), TRUE) == 0) {
            common::log("WindowImplBase::OnSize", __LINE__, L"SetWindowRgn failed lastError = %d",
                        static_cast<int>(::GetLastError()));
        } else {
            region.release();  // the system owns the region once SetWindowRgn succeeds
        }
    }
    bHandled = false;
    return 0;
}

LRESULT WindowImplBase::OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) { return NotHandled(bHandled); }

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    if ((wParam & 0xFFF0) == SC_CLOSE) {
        bHandled = true;
        SendMessage(WM_CLOSE);
        return 0;
    }
    bool wasZoomed = ::IsZoomed(m_hWnd) != FALSE;
    LRESULT lRes = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (::IsWindow(m_hWnd) && wasZoomed != (::IsZoomed(m_hWnd) != FALSE)) {
        CControlUI* maxButton = m_pm.FindControl(L"maxbtn");
        if (maxButton == nullptr)
            maxButton = m_pm.FindControl(L"maxbtnxx");
        CControlUI* restoreButton = m_pm.FindControl(L"restorebtn");
        if (restoreButton == nullptr)
            restoreButton = m_pm.FindControl(L"restorebtnxx");
        if (maxButton != nullptr && restoreButton != nullptr) {
            maxButton->SetVisible(wasZoomed);
            restoreButton->SetVisible(!wasZoomed);
        }
    }
    bHandled = true;
    return lRes;
}

LRESULT WindowImplBase::OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}
LRESULT WindowImplBase::OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}

LRESULT WindowImplBase::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    return NotHandled(bHandled);
}

}  // namespace SkinUI
