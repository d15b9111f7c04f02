// Stand-in for a program the installer starts (the launcher, the
// uninstaller, powershell.exe, a web browser). It appends its whole command
// line, in UTF-8 with CR LF, to "<its own path without .exe>.cmdline.txt" and
// the folder it runs in to "<its own path without .exe>.cwd.txt" (or, when
// ZUL_TEST_RECORD_DIR names a folder, to "<its name without .exe>.cmdline.txt"
// and ".cwd.txt" there: for copies in a folder that the program under test
// removes); then, when "<its own path without .exe>.wait.txt" holds a number,
// it sleeps that many milliseconds; it exits with 0.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "foundation/system_dll.h"

namespace {

// Appends the text and CR LF, in UTF-8, to the file.
bool appendLine(const std::wstring& path, const wchar_t* text)
{
    std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.back() = '\r';
    utf8 += '\n';
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
    return true;
}

}  // namespace

int wmain()
{
    utility::restrictDllSearch();
    wchar_t self[MAX_PATH] = {0};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length < 5 || length >= MAX_PATH)
        return 1;
    const std::wstring base(self, length - 4);
    std::wstring record = base;
    wchar_t recordDir[MAX_PATH] = {0};
    const DWORD dirLength = GetEnvironmentVariableW(L"ZUL_TEST_RECORD_DIR", recordDir, MAX_PATH);
    if (dirLength > 0 && dirLength < MAX_PATH)
        record = std::wstring(recordDir) + L"\\" + base.substr(base.find_last_of(L'\\') + 1);
    // The folder first: a test that sees the command line finds the folder too.
    std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), &folder[0]));
    if (!appendLine(record + L".cwd.txt", folder.c_str()) || !appendLine(record + L".cmdline.txt", GetCommandLineW()))
        return 1;

    HANDLE wait = CreateFileW((base + L".wait.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (wait != INVALID_HANDLE_VALUE) {
        char digits[16] = {0};
        DWORD read = 0;
        ReadFile(wait, digits, sizeof(digits) - 1, &read, nullptr);
        CloseHandle(wait);
        Sleep(static_cast<DWORD>(atoi(digits)));
    }
    return 0;
}
