// KXZulImpl: the launcher's application object. Its entrance runs the whole
// life of the process: set-up, single instance, the main window, the message
// loop and the way out (restart after a language change).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "foundation/scoped_handle.h"
#include "launcher/services/window_ipc.h"

class KXZulMainFrame;
namespace view {
class TrayiconControl;
}

class KXZulImpl : public utility::IWindowIPCHandle {
public:
    // The launcher's endpoint: the name of its single-instance mutex and of
    // the class of its IPC channel window.
    static const wchar_t kEndpointName[];
    // Messages of the IPC channel.
    static const UINT IPC_SHOW_MAIN = 9111;
    static const UINT IPC_GAME_EXIST = 9333;
    static const UINT IPC_GAME_INSTALLED = 9334;

    KXZulImpl();
    ~KXZulImpl() override;
    KXZulImpl(const KXZulImpl&) = delete;
    KXZulImpl& operator=(const KXZulImpl&) = delete;

    void entrance(HINSTANCE instance);

    // True when another launcher runs (it was asked to show itself).
    bool isPlayerExist();
    void initCrashReport();
    // False when the main window could not be made (logged).
    bool createMainFrame();

    LRESULT onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The tray: its menu (right click) and the menu's commands.
    void popupTrayMenu();
    void onTrayMenuCommand(const std::wstring& command);

private:
    // The process part of the start-up after COM and OLE: common controls,
    // COM security, Winsock, the program's folder.
    void initProcess();
    void prepareFolders();
    void loadLanguage(HINSTANCE instance);
    void addRegionFont();
    void releaseAtExit();
    void bringMainToFront();
    void createTrayIcon();

    std::wstring appDir_;
    std::wstring fontPath_;
    KXZulMainFrame* mainFrame_ = nullptr;
    HWND mainWindow_ = nullptr;
    std::unique_ptr<view::TrayiconControl> tray_;
    utility::WindowIPC ipc_;
    utility::ScopedHandle mutex_;  // the single-instance mutex
};
