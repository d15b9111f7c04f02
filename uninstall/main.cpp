// The uninstaller's entry point: the application object runs the whole life
// of the process and its answer is the exit code.
#include <windows.h>

#include "foundation/system_dll.h"
#include "uninstall/kxspace_impl.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    // Before COM or anything else loads a DLL: never one from the current
    // folder or the PATH. Its own folder is the install folder.
    utility::restrictDllSearch(utility::ProgramFolderDlls::Allowed);
    KXSpaceImpl* app = new KXSpaceImpl();
    int result = app->entrance(instance, commandLine != nullptr ? commandLine : L"");
    delete app;
    return result;
}
