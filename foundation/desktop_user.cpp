#include "desktop_user.h"

#include <tlhelp32.h>
#include <wchar.h>

#include <vector>

#include "log.h"
#include "process.h"
#include "scoped_handle.h"
#include "system_dll.h"
#include "ufile.h"
#include "url_policy.h"
#include "usystem.h"

namespace utility {
namespace process {

namespace {

typedef BOOL(WINAPI* CreateProcessWithTokenWFn)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                                                LPPROCESS_INFORMATION);

bool sessionOf(DWORD processId, DWORD& session)
{
    session = 0;
    return ProcessIdToSessionId(processId, &session) != FALSE;
}

// The Windows folder without a trailing separator, empty on failure.
std::wstring windowsFolder()
{
    wchar_t folder[MAX_PATH] = {0};
#ifdef ZUL_TEST_HOOKS
    // Test builds only: a stand-in explorer.exe there plays the desktop's.
    const DWORD testLength = GetEnvironmentVariableW(L"ZUL_TEST_WINDOWS_DIR", folder, MAX_PATH);
    if (testLength > 0 && testLength < MAX_PATH) {
        std::wstring path(folder, testLength);
        if (path.back() == L'\\')
            path.pop_back();
        return path;
    }
#endif
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    return std::wstring(folder, length);
}

}  // namespace

DWORD getExplorerToken(HANDLE* token)
{
    if (!token)
        return ERROR_INVALID_PARAMETER;
    *token = nullptr;
    const std::wstring windows = windowsFolder();
    if (windows.empty()) {
        DWORD error = GetLastError();
        common::log("utility::process::getExplorerToken", __LINE__, L"GetWindowsDirectory failed. lastError = %d",
                    error);
        return error ? error : ERROR_BUFFER_OVERFLOW;
    }
    const std::wstring target = ufile::joinPath(windows, L"explorer.exe");

    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) {
        DWORD error = GetLastError();
        common::log("utility::process::getExplorerToken", __LINE__, L"CreateToolhelp32Snapshot failed. lastError = %d",
                    error);
        return error;
    }
    // Only the desktop of this process's own session: with several users
    // signed in, another session's explorer would start the program as them.
    DWORD ownSession = 0;
    if (!sessionOf(GetCurrentProcessId(), ownSession)) {
        DWORD error = GetLastError();
        common::log("utility::process::getExplorerToken", __LINE__, L"ProcessIdToSessionId failed. lastError = %d",
                    error);
        return error;
    }
    DWORD error = ERROR_NOT_FOUND;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"explorer.exe") != 0)
            continue;
        DWORD session = 0;
        if (!sessionOf(entry.th32ProcessID, session) || session != ownSession)
            continue;
        ScopedHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, entry.th32ProcessID));
        if (!process.valid()) {
            error = GetLastError();
            continue;
        }
        if (_wcsicmp(GetProcessPath(entry.th32ProcessID).c_str(), target.c_str()) != 0)
            continue;
        ScopedHandle source;
        if (!OpenProcessToken(process.get(), TOKEN_DUPLICATE, source.receive())) {
            error = GetLastError();
            common::log("utility::process::getExplorerToken", __LINE__,
                        L"OpenProcessToken failed. pid:%d, lastError = %d", entry.th32ProcessID, error);
            return error;
        }
        HANDLE primary = nullptr;
        if (!DuplicateTokenEx(source.get(), 0xF01FF, nullptr, SecurityImpersonation, TokenPrimary, &primary)) {
            error = GetLastError();
            common::log("utility::process::getExplorerToken", __LINE__,
                        L"DuplicateTokenEx failed. pid:%d, lastError = %d", entry.th32ProcessID, error);
            return error;
        }
        *token = primary;
        return 0;
    }
    common::log("utility::process::getExplorerToken", __LINE__, L"no explorer in session %d, lastError = %d",
                ownSession, error);
    return error;
}

bool buildTokenCommandLine(const std::wstring& file, const wchar_t* params, std::wstring& line)
{
    line = L"\"" + file + L"\"";
    if (params && *params) {
        line += L" ";
        line += params;
    }
    return line.size() < kMaxCommandChars;
}

namespace {

// buildTokenCommandLine, with a log line when the line does not fit.
bool commandLineFits(const char* function, const std::wstring& file, const wchar_t* params, std::wstring& line)
{
    if (buildTokenCommandLine(file, params, line))
        return true;
    common::log(function, __LINE__, L"command line too long (%d characters): %s", static_cast<int>(line.size()),
                line.c_str());
    return false;
}

}  // namespace

int createWithToken(HANDLE token, const std::wstring& file, const wchar_t* params, const std::wstring& folder,
                    bool wait, DWORD* exitCode)
{
    std::wstring line;
    if (!commandLineFits("utility::process::createWithToken", file, params, line))
        return -1;
    if (!token) {
        common::log("utility::process::createWithToken", __LINE__, L"no token for %s", line.c_str());
        return -1;
    }
    ScopedLibrary advapi(loadSystemLibrary(L"ADVAPI32.dll"));
    CreateProcessWithTokenWFn createWithToken = advapi.get()
                                                    ? reinterpret_cast<CreateProcessWithTokenWFn>(
                                                          GetProcAddress(advapi.get(), "CreateProcessWithTokenW"))
                                                    : nullptr;
    if (!createWithToken) {
        common::log("utility::process::createWithToken", __LINE__, L"CreateProcessWithTokenW not found, lastError = %d",
                    GetLastError());
        return -1;
    }
    // The system may write into the command line, so it gets its own area,
    // as long as the line with its terminator.
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    wchar_t* commandLine = buffer.data();
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info;
    ZeroMemory(&info, sizeof(info));
    if (!createWithToken(token, LOGON_WITH_PROFILE, nullptr, commandLine, 0, nullptr,
                         folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
        common::log("utility::process::createWithToken", __LINE__,
                    L"CreateProcessWithTokenW failed. cmd = %s, folder = [%s], lastError = %d", line.c_str(),
                    folder.c_str(), GetLastError());
        return -1;
    }
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    common::log("utility::process::createWithToken", __LINE__, L"started cmd = %s, folder = [%s], pid = %d",
                line.c_str(), folder.c_str(), info.dwProcessId);
    if (wait) {
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = static_cast<DWORD>(-1);
        GetExitCodeProcess(process.get(), &code);
        if (exitCode)
            *exitCode = code;
    }
    return 0;
}

int createWithExplorerToken(const std::wstring& file, const wchar_t* params, const std::wstring& folder, bool wait,
                            DWORD* exitCode)
{
    std::wstring line;
    if (!commandLineFits("utility::process::createWithExplorerToken", file, params, line))
        return -1;
    // Owned here and closed on every path, success included.
    ScopedHandle token;
    DWORD error = getExplorerToken(token.receive());
    if (!token.valid()) {
        common::log("utility::process::createWithExplorerToken", __LINE__, L"no explorer token, lastError = %d", error);
        return -1;
    }
    return createWithToken(token.get(), file, params, folder, wait, exitCode);
}

bool openUrlAsDesktopUser(const std::wstring& url)
{
    if (!urlpolicy::isAllowed(url, urlpolicy::Schemes::HttpOrHttps)) {
        common::log("utility::process::openUrlAsDesktopUser", __LINE__, L"refused, not a web address: %s", url.c_str());
        return false;
    }
    if (usystem::isWin8OS()) {
        // The address is the tool's one argument: it holds no blank (the
        // policy sees to that), and a quote, which a parser would take away,
        // goes as %22, which the browser reads the same.
        std::wstring argument;
        for (wchar_t c : url)
            argument += c == L'"' ? std::wstring(L"%22") : std::wstring(1, c);
        const std::wstring tool = systemToolPath(L"rundll32.exe");
        if (!tool.empty() && createWithExplorerToken(tool, (L"url.dll,FileProtocolHandler " + argument).c_str(),
                                                     std::wstring(), false) == 0) {
            common::log("utility::process::openUrlAsDesktopUser", __LINE__, L"opened as the desktop user: %s",
                        url.c_str());
            return true;
        }
    }
    common::log("utility::process::openUrlAsDesktopUser", __LINE__, L"opening through the shell: %s", url.c_str());
    return usystem::openUrl(url);
}

}  // namespace process
}  // namespace utility
