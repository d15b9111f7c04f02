#include "uninstall/kxspace_impl.h"

#include "foundation/com_init.h"
#include "foundation/log.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/usystem.h"
#include "launcher/services/file_ex.h"
#include "skinui/controls/control_elements.h"
#include "skinui/core/ui_manager.h"
#include "uninstall/kxspace_main_frame.h"
#include "uninstall/uninstall_model.h"

namespace {

const wchar_t kLogFileName[] = L"zulplayduninstall.log";
// WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
// and before Vista also WS_SYSMENU | WS_THICKFRAME.
const DWORD kFrameStyle = 0x86030000;
const DWORD kFrameStyleXp = 0x860F0000;
const DWORD kFrameExStyle = 0x00000010;

std::wstring tempFolder()
{
    wchar_t path[MAX_PATH + 1] = {0};
    DWORD length = GetTempPathW(MAX_PATH + 1, path);
    return (length > 0 && length <= MAX_PATH) ? std::wstring(path) : std::wstring();
}

}  // namespace

int KXSpaceImpl::entrance(HINSTANCE instance, const std::wstring& commandLine)
{
    const char* fn = "KXSpaceImpl::entrance";
    // 1. COM for the shell calls of the clean-up.
    utility::ScopedComInit com;
    if (!com.ok())
        return -1;

    // 2. The UI-thread dispatcher.
    utility::init();

    // 3. The log in the temporary folder.
    common::startLogging(tempFolder() + kLogFileName);
    common::log(fn, __LINE__, L"*******************zul uninstall start *********************");
    common::log(fn, __LINE__, L"cmdLine: %s", commandLine.c_str());

    // 4. Language and region from the installer's registry values.
    KXSpaceModel* model = KXSpaceModel::instance();
    model->loadLanguage();

    // 5. The region's private font from the install folder.
    const std::wstring fontPath = utility::ufile::getExeDir() + L"fonts\\" + model->profile().fontFile;
    int fontsAdded = AddFontResourceExW(fontPath.c_str(), FR_PRIVATE, nullptr);
    common::log(fn, __LINE__, L"load Noto Sans fonts ret:%d  error:%d", fontsAdded, static_cast<int>(GetLastError()));

    // 6. The UI framework: skin archive and language table.
    SkinUI::SetUpProgramSkin(instance, model->profile().locale);

    // 7. "--playeruninstall" makes the run silent.
    model->parseCommandLine(commandLine);

    // 8, 9. The main window and the message loop until it closes. Without a
    // window nothing would ever end the loop.
    if (createMainFrame())
        SkinUI::CUiManager::MessageLoop();

    // 10. The font goes with the window.
    if (fontsAdded > 0)
        RemoveFontResourceExW(fontPath.c_str(), FR_PRIVATE, nullptr);

    // 11. Dispatcher and log, COM, then the executable itself once the job ran.
    common::log(fn, __LINE__, L"zul uninstall end, delete self %d", deleteSelfRequested() ? 1 : 0);
    utility::uninit();
    com.end();
    if (deleteSelfRequested())
        DeleteSelf();
    return 1;
}

bool KXSpaceImpl::createMainFrame()
{
    const char* fn = "KXSpaceImpl::createMainFrame";
    common::log(fn, __LINE__, L"player, create root window...");
    KXSpaceMainFrame* frame = new KXSpaceMainFrame();
    const DWORD style = utility::usystem::isVistaOrLater() ? kFrameStyle : kFrameStyleXp;
    if (frame->Create(nullptr, L"", style, kFrameExStyle) == nullptr) {
        // Not deleted here: a window destroyed while it was being created
        // has already deleted its object in its final message.
        common::log(fn, __LINE__, L"main window not created lastError = %d", static_cast<int>(GetLastError()));
        return false;
    }
    frame->CenterWindow();
    common::log(fn, __LINE__, L"init tray icon");
    common::log(fn, __LINE__, L"show root window");

    KXSpaceModel* model = KXSpaceModel::instance();
    if (model->silent()) {
        // The window stays hidden and closes itself at 100.
        model->startClean();
        return true;
    }
    frame->ShowWindow(true, true);
    return true;
}
