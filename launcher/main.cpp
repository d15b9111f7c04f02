// zulplay.exe: the launcher. The entry creates the application object and
// hands it the whole run.
#include <windows.h>

#include <memory>

#include "foundation/system_dll.h"
#include "launcher/zul_impl.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    // libcurl, the crash reporter and the web engine lie beside the launcher.
    utility::restrictDllSearch(utility::ProgramFolderDlls::Allowed);
    std::unique_ptr<KXZulImpl> application(new KXZulImpl());
    application->entrance(instance);
    return 0;
}
