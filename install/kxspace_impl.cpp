#include "install/kxspace_impl.h"

#include <objbase.h>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/usystem.h"
#include "install/kxspace_main_frame.h"
#include "install/kxspace_model.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/ui_manager.h"

namespace {

const wchar_t kInstanceMutexName[] = L"{194F48E7-C3C1-40C4-8798-8BD6CEDD5796}";
const wchar_t kLogFileName[] = L"install.log";
const DWORD kOtherInstancePauseMs = 500;
const int kIconResourceId = 108;
const DWORD kWorkerJoinMs = 2000;
// WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
// and before Vista also WS_SYSMENU | WS_THICKFRAME; always on top.
const DWORD kFrameStyle = 0x86030000;
const DWORD kFrameStyleXp = 0x860F0000;
const DWORD kFrameExStyle = WS_EX_TOPMOST;

}  // namespace

int KXSpaceImpl::entrance(HINSTANCE instance, const std::wstring& commandLine)
{
    const char* fn = "KXSpaceImpl::entrance";
    KXSpaceModel& model = KXSpaceModel::instance();

    // 1. COM, for the shortcuts, the folder picker and the shell.
    if (FAILED(CoInitialize(nullptr)))
        return kExitNoCom;

    // 2. The UI-thread dispatcher.
    utility::init();

    // 3. The log: %APPDATA%\zulplay\log\install.log.
    const std::wstring dataFolder = KXSpaceModel::dataFolder();
    const std::wstring logFolder = dataFolder + L"log\\";
    utility::ufile::makeDir(logFolder);
    common::startLogging(logFolder + kLogFileName);

    // 4. The first lines.
    common::log(fn, __LINE__, L"*******************kxspace install start *********************");
    common::log(fn, __LINE__, L"cmd:%s", commandLine.c_str());

    // 5. One installer at a time.
    instanceMutex_.reset(CreateMutexW(nullptr, FALSE, kInstanceMutexName));
    if (instanceMutex_.valid() && GetLastError() == ERROR_ALREADY_EXISTS) {
        instanceMutex_.reset();
        common::log(fn, __LINE__, L"install exist");
        Sleep(kOtherInstancePauseMs);
        // The log writer takes the last line to the file before it stops.
        utility::uninit();
        CoUninitialize();
        return kExitOtherInstance;
    }
    if (!instanceMutex_.valid())
        common::log(fn, __LINE__, L"CreateMutex failed lastError = %d", GetLastError());

    // 6. The model: region, file-name tokens, command line, install path.
    model.init(commandLine);

    // 7. The region's profile.
    loadRegionProfile(model.getLanguage(), model.regionProfile());

    // 8. The skin archive and the language column of the region.
    SkinUI::SetUpProgramSkin(instance, model.regionProfile().locale);

    // 9. The main window, shown and painted. Without one nothing would end
    // the message loop.
    const bool windowMade = createMainFrame();

    // 10. The fonts of the resources, unpacked into %APPDATA%\zulplay\fonts\,
    // and 11. the region's private font added: on a thread of their own,
    // once the window stands (it needs none of them to appear).
    fonts_.start(KXSpaceModel::fontsFolder(), model.getFontPath());

    // 12. The message loop, until the main window has gone.
    if (windowMade)
        SkinUI::CUiManager::MessageLoop();

    // 13. The fonts are all written; the private font goes with the window.
    fonts_.finish();

    // 14. The install job ends before the process does.
    model.joinWorker(kWorkerJoinMs);

    // 15. The exit code tells a failed installation from a done one.
    int exitCode = kExitDone;
    if (!windowMade)
        exitCode = kExitNoCom;
    else if (model.errorCode() != kInstallOk)
        exitCode = model.errorCode();
    common::log(fn, __LINE__, L"kxspace install end, exit code %d", exitCode);
    utility::uninit();
    CoUninitialize();
    return exitCode;
}

bool KXSpaceImpl::createMainFrame()
{
    const char* fn = "KXSpaceImpl::createMainFrame";
    KXSpaceModel& model = KXSpaceModel::instance();

    common::log(fn, __LINE__, L"player, create root window...");
    mainFrame_ = new KXSpaceMainFrame(model);
    const DWORD style = utility::usystem::isVistaOrLater() ? kFrameStyle : kFrameStyleXp;
    if (mainFrame_->Create(nullptr, L"", style, kFrameExStyle) == nullptr) {
        // Not deleted here: a window destroyed while it was being made has
        // deleted its object in its final message.
        common::log(fn, __LINE__, L"main window not created lastError = %d", GetLastError());
        mainFrame_ = nullptr;
        return false;
    }
    mainFrame_->SetIcon(kIconResourceId);
    mainFrame_->CenterWindow();
    common::log(fn, __LINE__, L"init tray icon");

    if (model.isUnattendedRun()) {
        // Installs without ever showing the window.
        mainFrame_->startInstall();
        return true;
    }
    if (model.showWindow()) {
        common::log(fn, __LINE__, L"show root window");
        mainFrame_->ShowWindow(true, true);
        UpdateWindow(mainFrame_->GetHWND());
    }
    if (model.isUpdateRun())
        mainFrame_->startInstall();
    return true;
}
