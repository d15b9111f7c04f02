// Planted beside test programs under system DLLs' names (msimg32.dll, gdiplus.dll): it
// records in the process environment that it was loaded, so that a test can
// tell the program never loaded it instead of the system's copy.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        SetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", L"1");
    return TRUE;
}
