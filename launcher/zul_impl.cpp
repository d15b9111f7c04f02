#include <winsock2.h>  // before windows.h, for libcurl

#include "launcher/zul_impl.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <curl/curl.h>

#include "foundation/com_init.h"
#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/trusted_program.h"
#include "foundation/ufile.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/ustring.h"
#include "foundation/usystem.h"
#include "launcher/deployment.h"
#include "launcher/launcher_rules.h"
#include "launcher/main_frame.h"
#include "launcher/menu_wnd.h"
#include "launcher/services/config_data.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/process_ex.h"
#include "launcher/services/system_ex.h"
#include "launcher/services/zul_model.h"
#include "launcher/tray_icon.h"
#include "launcher/ui_additions.h"
#include "launcher/update_model.h"
#include "launcher/webbrowser_helper.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/ui_manager.h"
#include "zul_deployment.h"

const wchar_t KXZulImpl::kEndpointName[] = L"{6A43FC71-98D6-43A1-83F3-6A53B0D557FD}";

namespace {

// The crash reporter's entry points; the caller cleans the stack.
typedef int(__cdecl* InitBugReportFn)(const wchar_t*, const wchar_t*, const wchar_t*);
typedef int(__cdecl* SetShowReportUIFn)(int);
typedef int(__cdecl* SetRestartExePathFn)(const wchar_t*);
typedef int(__cdecl* AddCustomReportFileFn)(const wchar_t*);

template <typename Fn>
Fn entryPoint(HMODULE module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const DWORD kVistaStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MINIMIZEBOX;
const DWORD kOlderStyle = kVistaStyle | WS_SYSMENU | WS_THICKFRAME;

}  // namespace

KXZulImpl::KXZulImpl() = default;

KXZulImpl::~KXZulImpl() = default;

void KXZulImpl::entrance(HINSTANCE instance)
{
    // 1. COM: without it nothing else runs.
    utility::ScopedComInit com;
    if (!com.ok())
        return;

    // 2. OLE, common controls, COM security, Winsock.
    utility::ScopedOleInit ole;
    initProcess();

    // 14, done first. One launcher at a time: a second one hands over to the
    // first before it touches a file or starts a thread, so the first one's
    // log and workers stay its own.
    const bool second = isPlayerExist();
    if (!second) {
        // 3-6. The log folder (only this run's log), the data folder, the log
        // writer, and the browser emulation value of this executable.
        prepareFolders();
        webbrowserhelper::registerIENewVersion();

        // 7. libcurl, once for the process.
        KXCurlDownloader::globalInit();

        // 8. The model: language, game folder, the configuration worker.
        KXZulModel& model = zulModel();
        model.setConfigHost(deployment::storageHost());
        model.init();

        // 9-10. The region profile and the language table of its locale.
        model.loadRegionProfile();
        loadLanguage(instance);

        // 11. The IPC messages let through the message filter.
        KXZulModel::addMessage();

        // 12. The crash reporter.
        initCrashReport();

        // 13. The banner line.
        common::log("KXZulImpl::entrance", __LINE__, L"\r\n\r\n************ zul start ************");

        // 15-16. The region's private font and the settings of config.data.
        addRegionFont();
        KXZulSetupImpl::instance().loadConfig();

        // 17-18. The main window and the tray icon. Without a main window
        // nothing would ever end the message loop.
        common::log("KXZulImpl::entrance", __LINE__, L"create main");
        if (createMainFrame()) {
            createTrayIcon();
            // 19. The message loop, until the main window has gone.
            SkinUI::CUiManager::MessageLoop();
        }

        // 20. The font, the mutex, the workers and the tray go.
        releaseAtExit();
    }

    // The downloaded installer, when one is ready and still a program.
    KXSpaceUpdateModel& update = KXSpaceUpdateModel::instance();
    const bool needUpdate = update.needUpdate() && update.installerReady();
    const std::wstring updatePath = update.getUpdatePath();
    // 21. After a language change the launcher starts again.
    if (zulModel().needRestart())
        utility::process::shell(appDir_ + product::kLauncherExe, L"", false, true);
    // 22. Every worker has ended: libcurl and the log go last.
    if (!second) {
        common::log("KXZulImpl::entrance", __LINE__, L"It is needUpdate : %d, path %s", needUpdate ? 1 : 0,
                    updatePath.c_str());
        curl_global_cleanup();
        common::log("KXZulImpl::entrance", __LINE__, L"*********************** kxyun end ****************");
        utility::uninit();
    }
    // 23. The installer takes over, elevated, with this launcher's folder,
    // while the file that was checked is held against writes.
    if (needUpdate && !updatePath.empty()) {
        utility::TrustedProgram installer(updatePath);
        if (installer.trusted())
            utility::process::shell(installer, L"from=update|path=" + appDir_, true, false);
        else
            utility::ufile::removeFile(updatePath);
    }
    // 24. OLE, then COM, go with their owners.
}

void KXZulImpl::initProcess()
{
    InitCommonControls();
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                         EOAC_NONE, nullptr);
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    appDir_ = utility::ufile::getExeDir();
}

void KXZulImpl::prepareFolders()
{
    const std::wstring logDir = appDir_ + L"log";
    utility::ufile::removeDir(logDir);
    utility::ufile::makeDir(logDir);
    const std::wstring appData = utility::ufile::getSpecialFolder(CSIDL_APPDATA);
    const std::wstring dataDir = utility::ufile::withSeparator(utility::ufile::joinPath(appData, L"zulplayd"));
    if (!appData.empty() && !utility::ufile::exists(dataDir))
        utility::ufile::makeDir(dataDir);
    common::setLogLimits(common::kLauncherLogLimits);
    common::startLogging(utility::ufile::joinPath(logDir, L"main.log"));
    utility::init();
}

void KXZulImpl::loadLanguage(HINSTANCE instance)
{
    const std::wstring locale = zulModel().getRegionProfile().locale;
    common::log("KXZulImpl::entrance", __LINE__, L"language:%s", locale.c_str());
    SkinUI::SetUpProgramSkin(instance, locale);
}

void KXZulImpl::addRegionFont()
{
    fontPath_ = appDir_ + L"fonts\\" + zulModel().getRegionProfile().fontFile;
    common::log("KXZulImpl::entrance", __LINE__, L"font path:%s", fontPath_.c_str());
    const int added = AddFontResourceExW(fontPath_.c_str(), FR_PRIVATE, nullptr);
    common::log("KXZulImpl::entrance", __LINE__, L"load Noto Sans fonts ret:%d  error:%d", added,
                added ? 0 : GetLastError());
}

void KXZulImpl::releaseAtExit()
{
    if (!fontPath_.empty())
        RemoveFontResourceExW(fontPath_.c_str(), FR_PRIVATE, nullptr);
    mutex_.reset();
    // The main window joined its worker when it was destroyed; the
    // configuration worker ends here, before libcurl is cleaned up.
    zulModel().stop();
    QMMenuWnd::closeOpenMenu();
    tray_.reset();
    KXSpaceUpdateModel::instance().stop();
}

bool KXZulImpl::isPlayerExist()
{
    mutex_.reset(utility::usystem::createSingleInstanceMutex(kEndpointName, false, true));
    if (mutex_.valid()) {
        ipc_.create(kEndpointName, this);
        return false;
    }
    utility::WindowIPC first;
    if (first.openByClass(kEndpointName)) {
        // The first launcher may take the foreground when it comes to the front.
        DWORD processId = 0;
        GetWindowThreadProcessId(first.window(), &processId);
        AllowSetForegroundWindow(processId);
        first.postMessage(IPC_SHOW_MAIN, 0, 0);
    }
    common::log("KXZulImpl::isPlayerExist", __LINE__, L"CCmdLine::popupExistPwnd exist");
    return true;
}

void KXZulImpl::initCrashReport()
{
    common::log("KXZulImpl::initCrashReport", __LINE__, L"initCrashReport start");
    HMODULE reporter = LoadLibraryW((appDir_ + L"crashreport.dll").c_str());
    if (!reporter) {
        common::log("KXZulImpl::initCrashReport", __LINE__, L"initCrashReport error 1");
        return;
    }
    InitBugReportFn initBugReport = entryPoint<InitBugReportFn>(reporter, "InitBugReport");
    if (!initBugReport) {
        common::log("KXZulImpl::initCrashReport", __LINE__, L"initCrashReport error 2");
        return;
    }
    const std::wstring product = utility::ustring::toLowerCopy(product::kName);
    const int ret = initBugReport(L"kxzul", ZUL_VERSION_TEXT, product.c_str());
    common::log("KXZulImpl::initCrashReport", __LINE__, L"initCrashReport ret %d", ret ? 1 : 0);

    SetShowReportUIFn showReportUI = entryPoint<SetShowReportUIFn>(reporter, "SetShowReportUI");
    if (!showReportUI)
        return;
    showReportUI(0);
    SetRestartExePathFn restartPath = entryPoint<SetRestartExePathFn>(reporter, "SetRestartExePath");
    if (!restartPath)
        return;
    wchar_t self[MAX_PATH] = {0};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    restartPath(self);
    AddCustomReportFileFn addFile = entryPoint<AddCustomReportFileFn>(reporter, "AddCustomReportFile");
    if (!addFile)
        return;
    // The reporter gets the log this launcher writes.
    addFile((appDir_ + L"log\\main.log").c_str());
}

bool KXZulImpl::createMainFrame()
{
    KXZulMainFrame* frame = new KXZulMainFrame();
    const DWORD style = utility::usystem::isVistaOrLater() ? kVistaStyle : kOlderStyle;
    if (!frame->Create(nullptr, product::kName, style, 0)) {
        // Not deleted here: a window destroyed while it was being made has
        // deleted its object in its final message.
        common::log("KXZulImpl::createMainFrame", __LINE__, L"main window not created lastError = %d", GetLastError());
        return false;
    }
    mainFrame_ = frame;
    mainWindow_ = frame->GetHWND();
    frame->CenterWindow();
    frame->ShowWindow(true);
    utility::usystem::bringToFront(mainWindow_);

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(mainWindow_, MONITOR_DEFAULTTONEAREST), &monitor);
    const int workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    common::log("KXZulImpl::createMainFrame", __LINE__, L"screenX:%d screenY:%d", workWidth, workHeight);

    const SIZE size = rules::mainClientSize(workWidth, workHeight);
    if (size.cx != rules::kDesignWidth || size.cy != rules::kDesignHeight) {
        SkinUI::SetClientSize(mainWindow_, size.cx, size.cy);
        frame->CenterWindow();
    }
    if (size.cy <= rules::kCompactMaxHeight)
        frame->adjustLayout();
    return true;
}

void KXZulImpl::bringMainToFront()
{
    if (mainFrame_ && IsWindow(mainWindow_))
        utility::usystem::bringToFront(mainWindow_);
}

LRESULT KXZulImpl::onHandleWindowIPC(UINT message, WPARAM wParam, LPARAM lParam)
{
    common::log("KXZulImpl::onHandleWindowIPC", __LINE__, L"onHandleWindowIPC, msg = %d", message);
    switch (message) {
    case IPC_SHOW_MAIN:
        common::log("KXZulImpl::onHandleWindowIPC", __LINE__, L"handle ipc topwindow");
        bringMainToFront();
        break;
    case IPC_GAME_EXIST:
        common::log("KXZulImpl::onHandleWindowIPC", __LINE__, L"game exist");
        if (KXZulSetupImpl::instance().existgame())
            bringMainToFront();
        break;
    case IPC_GAME_INSTALLED:
        common::log("KXZulImpl::onHandleWindowIPC", __LINE__, L"game installed");
        if (mainFrame_ && IsWindow(mainWindow_))
            mainFrame_->onGameInstalled();
        break;
    default:
        break;
    }
    return 0;
}

// ---- Tray ----

void KXZulImpl::createTrayIcon()
{
    if (!mainFrame_)
        return;
    tray_.reset(new view::TrayiconControl([this] { bringMainToFront(); }, [this] { popupTrayMenu(); }));
    tray_->addTrayIcon();
}

void KXZulImpl::popupTrayMenu()
{
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    if (mainFrame_ && IsWindow(mainWindow_))
        ::SetForegroundWindow(mainWindow_);
    QMMenuWnd::closeOpenMenu();

    MenuStyle& style = MenuStyle::current();
    style.itemHeight = 40;
    style.itemWidth = 120;
    style.rowBkColor = 0xFFFFFFFF;
    style.textColor = 0xFF000000;
    style.hotTextColor = 0xFF000000;
    style.hotBkColor = 0xFFE3E5E8;
    style.imageTextIndent = 32;

    QMMenuWnd* menu = new QMMenuWnd([this](const std::wstring& command) { onTrayMenuCommand(command); });
    if (!menu->create(IsWindow(mainWindow_) ? mainWindow_ : nullptr))
        return;  // a menu destroyed while it was being made has deleted itself
    const wchar_t* showMain = SkinUI::CUiManager::GetLanguageText(L"menu_showmain");
    const wchar_t* exit = SkinUI::CUiManager::GetLanguageText(L"menu_exit");
    menu->addItem(L"MENU_SHOWMAIN", showMain ? showMain : L"menu_showmain", L"", L"");
    menu->addItem(L"MENU_EXIT", exit ? exit : L"menu_exit", L"", L"");
    menu->popup(cursor.x, cursor.y, 2);
}

void KXZulImpl::onTrayMenuCommand(const std::wstring& command)
{
    common::log("KXZulImpl::onTrayMenuCommand", __LINE__, L"tray menu %s", command.c_str());
    if (command == L"MENU_EXIT") {
        if (IsWindow(mainWindow_))
            ::PostMessageW(mainWindow_, WM_CLOSE, IDOK, 0);
        else
            ::PostQuitMessage(0);
    } else if (command == L"MENU_SHOWMAIN") {
        bringMainToFront();
    }
}
