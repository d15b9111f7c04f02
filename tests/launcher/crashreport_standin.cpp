// Stand-in for the crash reporter "crashreport.dll": the four entry points
// the launcher calls, each appending one line (UTF-8, CR LF) to
// "crashreport.calls.txt" beside the DLL: its name and its arguments,
// separated by "|".
#include <windows.h>

#include <string>

namespace {

void record(const std::wstring& line)
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&record), &self);
    wchar_t path[MAX_PATH] = {0};
    const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"crashreport.calls.txt";
    const std::wstring text = line + L"\r\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                          nullptr);
    std::string utf8(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
    HANDLE out = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(out);
}

std::wstring text(const wchar_t* value) { return value ? value : L"(null)"; }

}  // namespace

extern "C" {

__declspec(dllexport) int __cdecl InitBugReport(const wchar_t* app, const wchar_t* version, const wchar_t* product)
{
    record(L"InitBugReport|" + text(app) + L"|" + text(version) + L"|" + text(product));
    return 1;
}

__declspec(dllexport) int __cdecl SetShowReportUI(int show)
{
    record(L"SetShowReportUI|" + std::to_wstring(show));
    return 1;
}

__declspec(dllexport) int __cdecl SetRestartExePath(const wchar_t* path)
{
    record(L"SetRestartExePath|" + text(path));
    return 1;
}

__declspec(dllexport) int __cdecl AddCustomReportFile(const wchar_t* path)
{
    record(L"AddCustomReportFile|" + text(path));
    return 1;
}

}  // extern "C"
