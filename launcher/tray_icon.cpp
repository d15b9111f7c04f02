#include "launcher/tray_icon.h"

#include "foundation/log.h"
#include "skinui/core/ui_manager.h"

namespace view {

namespace {

// The one tray control of the process (UI thread).
TrayiconControl* g_tray = nullptr;

}  // namespace

TrayIconWindow::TrayIconWindow(ITrayIconDelegate* delegate)
    : delegate_(delegate), taskbarCreated_(::RegisterWindowMessageW(L"TaskbarCreated"))
{
}

void TrayIconWindow::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}

LRESULT TrayIconWindow::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    bHandled = false;
    if (!delegate_)
        return 0;
    if (uMsg == kCallbackMessage) {
        bHandled = delegate_->onMouseMessage(static_cast<UINT>(lParam));
        return 0;
    }
    if (taskbarCreated_ && uMsg == taskbarCreated_) {
        delegate_->onTaskbarCreated();
        bHandled = true;
    }
    return 0;
}

TrayiconControl::TrayiconControl(const Callback& onLeftButton, const Callback& onRightButton)
    : onLeftButton_(onLeftButton), onRightButton_(onRightButton)
{
    g_tray = this;
}

TrayiconControl::~TrayiconControl()
{
    if (g_tray == this)
        g_tray = nullptr;
    flashTimer_.stop();
    removeTrayIcon();
    if (window_) {
        window_->forgetDelegate();
        if (::IsWindow(window_->GetHWND()))
            ::DestroyWindow(window_->GetHWND());
        window_ = nullptr;
    }
    if (icon_)
        ::DestroyIcon(icon_);
}

bool TrayiconControl::iconInTray() { return g_tray && g_tray->isIconShown(); }

bool TrayiconControl::createWindow()
{
    if (window_)
        return true;
    TrayIconWindow* window = new TrayIconWindow(this);
    if (!window->Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0)) {
        // Not deleted here: a window destroyed while it was being made has
        // deleted its object in its final message.
        common::log("TrayiconControl::createWindow", __LINE__, L"tray window not created lastError = %d",
                    GetLastError());
        return false;
    }
    window_ = window;
    return true;
}

void TrayiconControl::fillData(NOTIFYICONDATAW& data, UINT flags, HICON icon) const
{
    ZeroMemory(&data, sizeof(data));
    // The Vista layout without the balloon icon (952 bytes on 32-bit Windows).
    data.cbSize = NOTIFYICONDATAW_V3_SIZE;
    data.hWnd = window_ ? window_->GetHWND() : nullptr;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = TrayIconWindow::kCallbackMessage;
    data.hIcon = icon;
    const wchar_t* tip = SkinUI::CUiManager::GetLanguageText(L"launcher_tray_tip");
    wcsncpy(data.szTip, tip != nullptr ? tip : L"ZUL", ARRAYSIZE(data.szTip) - 1);
}

bool TrayiconControl::addTrayIcon()
{
    common::log("TrayiconControl::addTrayIcon", __LINE__, L"addTrayIcon");
    if (!createWindow())
        return false;
    if (!icon_)
        icon_ = static_cast<HICON>(
            ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kIconResource), IMAGE_ICON, 16, 16, 0));
    NOTIFYICONDATAW data;
    fillData(data, kAddFlags, icon_);
    added_ = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    if (added_)
        common::log("TrayiconControl::addTrayIcon", __LINE__, L"addTrayIcon sucess");
    else
        common::log("TrayiconControl::addTrayIcon", __LINE__, L"addTrayIcon error. last error = %d", GetLastError());
    return added_;
}

void TrayiconControl::removeTrayIcon()
{
    if (!window_ || !added_)
        return;
    NOTIFYICONDATAW data;
    fillData(data, 0, nullptr);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    added_ = false;
}

void TrayiconControl::onTaskbarCreated()
{
    common::log("TrayiconControl::onTaskbarCreated", __LINE__, L"taskbar created: icon added again");
    // The message also comes when the taskbar only changed (a new DPI): an
    // icon still there would make the add fail, so it goes first.
    added_ = true;
    removeTrayIcon();
    addTrayIcon();
}

void TrayiconControl::stopFlashing()
{
    if (!flashTimer_.isActive())
        return;
    flashTimer_.stop();
    iconShown_ = false;
    updateIcon();
}

void TrayiconControl::updateIcon()
{
    iconShown_ = !iconShown_;
    NOTIFYICONDATAW data;
    fillData(data, kUpdateFlags, iconShown_ ? icon_ : nullptr);
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool TrayiconControl::onMouseMessage(UINT mouseMessage)
{
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
        common::log("TrayiconControl::onMouseMessage", __LINE__, L"TrayiconControl, mouse LButtonDown");
        stopFlashing();
        if (onLeftButton_)
            onLeftButton_();
        return true;
    case WM_LBUTTONDBLCLK:
        common::log("TrayiconControl::onMouseMessage", __LINE__, L"TrayiconControl, mouse doubleButtonDown");
        stopFlashing();
        return true;
    case WM_RBUTTONUP:
        common::log("TrayiconControl::onMouseMessage", __LINE__, L"TrayiconControl, mouse rightButtonDown");
        if (onRightButton_)
            onRightButton_();
        return true;
    default:
        return false;
    }
}

}  // namespace view
