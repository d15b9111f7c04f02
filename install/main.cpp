// zulinst.exe: the installer's entry point.
#include <windows.h>

#include "foundation/system_dll.h"
#include "install/kxspace_impl.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    utility::restrictDllSearch();
    KXSpaceImpl* impl = new KXSpaceImpl();
    int exitCode = impl->entrance(instance, commandLine != nullptr ? commandLine : L"");
    delete impl;
    return exitCode;
}
