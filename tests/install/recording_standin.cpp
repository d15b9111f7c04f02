// Stand-in for a program the installer starts (the launcher, the
// uninstaller, powershell.exe). It appends its whole command line, in UTF-8
// with CR LF, to "<its own path without .exe>.cmdline.txt" and exits with 0.
#include <windows.h>

#include <string>

#include "foundation/system_dll.h"

int wmain()
{
    utility::restrictDllSearch();
    wchar_t self[MAX_PATH] = {0};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length < 5 || length >= MAX_PATH)
        return 1;
    const std::wstring record = std::wstring(self, length - 4) + L".cmdline.txt";
    const wchar_t* line = GetCommandLineW();
    std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line, -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.back() = '\r';
    utf8 += '\n';
    HANDLE file = CreateFileW(record.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
