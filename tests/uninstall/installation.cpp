#include "installation.h"

#include <shlobj.h>

#include "common/test_util.h"
#include "install/install_traces.h"

namespace insttest {

bool installWithInstallJob(const std::wstring& folder, const std::wstring& region)
{
    const std::wstring tool = testutil::exeDir() + L"zul_uninst_install_tool.exe";
    // No backslash before the closing quote: it would escape the quote.
    std::wstring bare = folder;
    while (!bare.empty() && bare.back() == L'\\')
        bare.pop_back();
    std::wstring command = L"\"" + tool + L"\" \"" + bare + L"\" " + region;
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(tool.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    DWORD exitCode = 1;
    if (WaitForSingleObject(info.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(info.hProcess, &exitCode);
    else
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    return exitCode == 0;
}

std::vector<std::wstring> installationTraces(const std::wstring& folder)
{
    std::vector<std::wstring> traces;
    if (testutil::dirExists(folder))
        traces.push_back(L"folder " + folder);
    for (const std::wstring& link : shortcutPaths())
        if (testutil::fileExists(link))
            traces.push_back(L"shortcut " + link);
    const std::wstring group = shellFolder(CSIDL_PROGRAMS) + L"\\ZUL";
    if (testutil::dirExists(group))
        traces.push_back(L"programs group " + group);
    if (regKeyExists(HKEY_CURRENT_USER, kProductKey))
        traces.push_back(std::wstring(L"HKCU\\") + kProductKey);
    if (regKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey))
        traces.push_back(std::wstring(L"HKLM\\") + kUninstallKey);
    return traces;
}

HANDLE startLauncherStandIn(const std::wstring& folder)
{
    const std::wstring exe = folder + L"zulplay.exe";
    std::wstring command = L"\"" + exe + L"\" sleep=120000";
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info))
        return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

std::wstring uninstallerLogPath()
{
    wchar_t temp[MAX_PATH + 1] = {0};
    GetTempPathW(MAX_PATH + 1, temp);
    return std::wstring(temp) + L"zulplayduninstall.log";
}

std::vector<std::wstring> uninstallerLogMessages()
{
    std::vector<std::wstring> messages;
    const std::wstring text = testutil::widen(testutil::readFile(uninstallerLogPath()));
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const size_t at = text.find(L"):", start);
        if (at < end)
            messages.push_back(text.substr(at + 2, end - at - 2));
    }
    return messages;
}

}  // namespace insttest
