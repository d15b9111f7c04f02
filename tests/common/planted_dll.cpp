// Planted beside test programs under system DLLs' names (msimg32.dll, gdiplus.dll,
// uxtheme.dll): it records in the process environment that it was loaded, and
// in a file "<its own path>.loaded" for a test that watches another process,
// so that a test can tell the program never loaded it instead of the system's copy.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    SetEnvironmentVariableW(L"ZUL_PLANTED_DLL_LOADED", L"1");
    wchar_t marker[MAX_PATH + 8] = {0};
    const DWORD length = GetModuleFileNameW(self, marker, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        lstrcatW(marker, L".loaded");
        HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return TRUE;
}
