// Test helper program. Arguments (any order):
//   exit=N      exit with code N
//   sleep=MS    sleep before exiting
//   record=PATH append the whole command line (UTF-8) and CR LF to PATH
//   vista       exit with 1 when the Windows version it sees is Vista or later, else 0
#include <windows.h>

#include <stdlib.h>
#include <string>

#include "foundation/system_dll.h"
#include "foundation/usystem.h"

int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    int code = 0;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (arg.rfind(L"exit=", 0) == 0) {
            code = _wtoi(arg.c_str() + 5);
        } else if (arg == L"vista") {
            code = utility::usystem::isVistaOrLater() ? 1 : 0;
        } else if (arg.rfind(L"sleep=", 0) == 0) {
            Sleep(static_cast<DWORD>(_wtoi(arg.c_str() + 6)));
        } else if (arg.rfind(L"record=", 0) == 0) {
            HANDLE file = CreateFileW(arg.c_str() + 7, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                const wchar_t* line = GetCommandLineW();
                char utf8[8192];
                int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof(utf8) - 2, nullptr, nullptr);
                if (n > 0) {
                    utf8[n - 1] = '\r';
                    utf8[n] = '\n';
                    DWORD written = 0;
                    WriteFile(file, utf8, static_cast<DWORD>(n + 1), &written, nullptr);
                }
                CloseHandle(file);
            }
        }
    }
    return code;
}
