// The launcher's notification-area icon. A hidden skinned window receives
// the icon's callback message and hands the mouse message to the control: a
// left click brings the main window back, a right click opens the tray menu.
// When the taskbar is made again (explorer restarted) the icon is added again.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "foundation/ui_task_dispatcher.h"
#include "skinui/core/window_impl_base.h"

namespace view {

class ITrayIconDelegate {
public:
    // True when the mouse message was handled.
    virtual bool onMouseMessage(UINT mouseMessage) = 0;
    // The taskbar was made again: its icons are gone.
    virtual void onTaskbarCreated() = 0;

protected:
    ~ITrayIconDelegate() {}
};

class TrayIconWindow : public SkinUI::WindowImplBase {
public:
    static const UINT kCallbackMessage = 39529;

    explicit TrayIconWindow(ITrayIconDelegate* delegate);
    // The window is gone with the control; no message reaches it afterwards.
    void forgetDelegate() { delegate_ = nullptr; }
    // Only for a window never made; a made one deletes itself when it is gone.
    ~TrayIconWindow() override = default;

protected:
    const wchar_t* GetWindowClassName() const override { return L"KXPlayerTrayiconFrame"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"trayicon.xml"; }
    void OnFinalMessage(HWND hWnd) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    ITrayIconDelegate* delegate_;
    const UINT taskbarCreated_;
};

class TrayiconControl : public ITrayIconDelegate {
public:
    typedef std::function<void()> Callback;

    static const UINT kIconId = 8194;
    static const int kIconResource = 107;
    static const UINT kAddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    static const UINT kUpdateFlags = NIF_MESSAGE | NIF_ICON | NIF_INFO;

    TrayiconControl(const Callback& onLeftButton, const Callback& onRightButton);
    // Removes the icon and destroys the hidden window.
    ~TrayiconControl();
    TrayiconControl(const TrayiconControl&) = delete;
    TrayiconControl& operator=(const TrayiconControl&) = delete;

    // Makes the hidden window when needed and adds the icon; false when the
    // shell took no icon.
    bool addTrayIcon();
    void removeTrayIcon();
    // The icon is in the notification area (the last add worked).
    bool isIconShown() const { return added_; }
    // The process's tray control has its icon in the notification area: a
    // hidden main window can be brought back from there.
    static bool iconInTray();

    bool onMouseMessage(UINT mouseMessage) override;
    void onTaskbarCreated() override;

private:
    bool createWindow();
    void fillData(NOTIFYICONDATAW& data, UINT flags, HICON icon) const;
    void stopFlashing();
    // One flash step: hides or shows the icon.
    void updateIcon();

    Callback onLeftButton_;
    Callback onRightButton_;
    TrayIconWindow* window_ = nullptr;
    HICON icon_ = nullptr;
    bool added_ = false;
    UiTimer flashTimer_;
    bool iconShown_ = true;
};

}  // namespace view
