// zulinst.exe: the installer's entry point.
#include <windows.h>

#include "foundation/system_dll.h"
#include "install/kxspace_impl.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    // Run from a Downloads folder: no DLL is ever taken from beside it.
    utility::restrictDllSearch(utility::ProgramFolderDlls::Refused);
    KXSpaceImpl* impl = new KXSpaceImpl();
    int exitCode = impl->entrance(instance, commandLine != nullptr ? commandLine : L"");
    delete impl;
    return exitCode;
}
