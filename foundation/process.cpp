#include "process.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <wchar.h>

#include <vector>

#include "log.h"
#include "scoped_handle.h"
#include "trusted_program.h"
#include "ustring.h"

namespace utility {
namespace process {

HANDLE create(const std::wstring& path, const std::wstring& params, bool show, DWORD* processId)
{
    common::log("utility::process::create", __LINE__, L"createProcess filename = [%s], param = [%s], show = %d",
                path.c_str(), params.c_str(), show ? 1 : 0);
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!params.empty())
        commandLine += L" " + params;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show ? SW_SHOW : SW_HIDE;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(path.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                        &startup, &info)) {
        common::log("utility::process::create", __LINE__, L"createProcess failed!!! lastError = %d", GetLastError());
        return nullptr;
    }
    ScopedHandle thread(info.hThread);
    if (processId)
        *processId = info.dwProcessId;
    return info.hProcess;
}

bool execute(const std::wstring& path, const std::wstring& params, bool show, DWORD timeoutMs, DWORD& exitCode)
{
    exitCode = static_cast<DWORD>(-1);
    ScopedHandle process(create(path, params, show));
    if (!process.valid()) {
        common::log("utility::process::execute", __LINE__, L"execute failed!!! last error = %d", GetLastError());
        return false;
    }
    if (timeoutMs == 0)
        return true;
    bool ok = false;
    DWORD wait = WaitForSingleObject(process.get(), timeoutMs);
    if (wait == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.get(), &exitCode);
        common::log("utility::process::execute", __LINE__, L"execute exitcode = %d lastError = %d",
                    static_cast<int>(exitCode), GetLastError());
        ok = exitCode == 0;
    } else if (wait == WAIT_TIMEOUT) {
        common::log("utility::process::execute", __LINE__, L"execute timeout!!!");
    } else {
        common::log("utility::process::execute", __LINE__, L"execute failed!!! lastError = %d", GetLastError());
    }
    return ok;
}

bool execute(const std::wstring& path, const std::wstring& params, bool show, DWORD timeoutMs)
{
    DWORD exitCode = 0;
    return execute(path, params, show, timeoutMs, exitCode);
}

bool mayStart(const TrustedProgram& program, const char* function)
{
    if (program.trusted())
        return true;
    common::log(function, __LINE__, L"%s not started: %s", program.path().c_str(), trustVerdictText(program.verdict()));
    return false;
}

bool execute(const TrustedProgram& program, const std::wstring& params, bool show, DWORD timeoutMs)
{
    if (!mayStart(program, "utility::process::execute"))
        return false;
    return execute(program.path(), params, show, timeoutMs);
}

std::wstring systemToolPath(const wchar_t* relativePath)
{
    wchar_t folder[MAX_PATH] = {};
#ifdef ZUL_TEST_HOOKS
    // Test builds only: a stand-in system folder holding recording stand-ins
    // of the tools a test watches; the other tools stay the system's.
    DWORD testLength = GetEnvironmentVariableW(L"ZUL_TEST_SYSTEM_DIR", folder, MAX_PATH);
    if (testLength > 0 && testLength < MAX_PATH) {
        std::wstring path(folder, testLength);
        if (path.back() != L'\\')
            path += L'\\';
        path += relativePath;
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return path;
    }
#endif
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        common::log("utility::process::systemToolPath", __LINE__, L"no system folder for %s lastError = %d",
                    relativePath, GetLastError());
        return std::wstring();
    }
    std::wstring path(folder, length);
    if (path.back() != L'\\')
        path += L'\\';
    return path + relativePath;
}

bool executeSystemTool(const wchar_t* relativePath, const std::wstring& params, bool show, DWORD timeoutMs,
                       DWORD& exitCode)
{
    exitCode = static_cast<DWORD>(-1);
    const std::wstring path = systemToolPath(relativePath);
    if (path.empty())
        return false;
    return execute(path, params, show, timeoutMs, exitCode);
}

bool executeSystemTool(const wchar_t* relativePath, const std::wstring& params, bool show, DWORD timeoutMs)
{
    DWORD exitCode = 0;
    return executeSystemTool(relativePath, params, show, timeoutMs, exitCode);
}

void enumProcess(std::list<ProcessEntry>& processes)
{
    processes.clear();
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid()) {
        common::log("utility::process::enumProcess", __LINE__, L"create tool help snapshot failed! err = %d",
                    GetLastError());
        return;
    }
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    if (!Process32FirstW(snapshot.get(), &entry)) {
        common::log("utility::process::enumProcess", __LINE__, L"process32First failed! err = %d", GetLastError());
        return;
    }
    do {
        processes.push_back(ProcessEntry{entry.th32ProcessID, entry.szExeFile});
    } while (Process32NextW(snapshot.get(), &entry));
}

bool isRunning(const std::wstring& exeName)
{
    std::wstring wanted = ustring::toLowerCopy(exeName);
    std::list<ProcessEntry> processes;
    enumProcess(processes);
    for (const auto& entry : processes) {
        if (ustring::toLowerCopy(entry.exeName) == wanted)
            return true;
    }
    return false;
}

std::vector<DosDevice> listDosDevices()
{
    std::vector<DosDevice> devices;
    wchar_t drives[512];
    DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(sizeof(drives) / sizeof(drives[0])), drives);
    if (length == 0 || length >= sizeof(drives) / sizeof(drives[0]))
        return devices;
    for (const wchar_t* drive = drives; *drive; drive += wcslen(drive) + 1) {
        wchar_t letter = static_cast<wchar_t>(towupper(drive[0]));
        if (letter == L'A' || letter == L'B')
            continue;
        DosDevice entry;
        entry.drive = std::wstring(1, drive[0]) + L":";
        wchar_t device[MAX_PATH] = {0};
        if (!QueryDosDeviceW(entry.drive.c_str(), device, MAX_PATH))
            continue;
        entry.device = device;
        devices.push_back(entry);
    }
    return devices;
}

bool DosPathToNtPath(const wchar_t* devicePath, std::wstring* drivePath, const std::vector<DosDevice>& devices)
{
    if (!devicePath || !drivePath)
        return false;
    for (const DosDevice& entry : devices) {
        const size_t length = entry.device.size();
        if (length == 0 || _wcsnicmp(devicePath, entry.device.c_str(), length) != 0)
            continue;
        // "\Device\HarddiskVolume1" must not claim "\Device\HarddiskVolume10\...".
        const wchar_t next = devicePath[length];
        if (next != L'\\' && next != L'\0')
            continue;
        *drivePath = entry.drive + (devicePath + length);
        return true;
    }
    return false;
}

bool DosPathToNtPath(const wchar_t* devicePath, std::wstring* drivePath)
{
    if (!devicePath || !drivePath)
        return false;
    return DosPathToNtPath(devicePath, drivePath, listDosDevices());
}

std::wstring GetProcessPath(DWORD processId)
{
    ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process.valid())
        return std::wstring();
    wchar_t image[MAX_PATH] = {0};
    if (!GetProcessImageFileNameW(process.get(), image, MAX_PATH))
        return std::wstring();
    std::wstring path;
    if (!DosPathToNtPath(image, &path)) {
        common::log("utility::process::GetProcessPath", __LINE__, L"DosPathToNtPath failed. pid:%d, error:%d \n",
                    processId, GetLastError());
        return std::wstring();
    }
    return path;
}

}  // namespace process
}  // namespace utility
