#include "installer_run.h"

#include <shlobj.h>

#include "common/ui_driver.h"
#include "install_traces.h"

namespace insttest {

namespace {
const wchar_t kFrameClass[] = L"KXZulMainFrame";
}  // namespace

std::wstring testInstallerExe() { return testutil::exeDir() + L"program\\zulinst.exe"; }

std::wstring corruptInstallerExe() { return testutil::exeDir() + L"program_corrupt\\zulinst.exe"; }

InstallerCopy::InstallerCopy(const std::wstring& sourceExe, const std::wstring& fileName)
    : exe_(folder_.path() + fileName)
{
    made_ = CopyFileW(sourceExe.c_str(), exe_.c_str(), FALSE) != FALSE;
}

RunResult runInstaller(const std::wstring& exe, const std::wstring& commandLine, DWORD timeoutMs)
{
    RunResult result;
    uidriver::Program program(exe, commandLine);
    if (!program.started())
        return result;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        result.windowShown = result.windowShown || uidriver::findWindow(kFrameClass, program.pid()) != nullptr;
        if (program.waitForExit(20, &result.exitCode)) {
            result.ended = true;
            break;
        }
    }
    return result;
}

std::wstring installerLogPath() { return shellFolder(CSIDL_APPDATA) + L"\\zulplay\\log\\install.log"; }

std::vector<std::wstring> installerLogMessages()
{
    std::vector<std::wstring> messages;
    const std::wstring text = testutil::widen(testutil::readFile(installerLogPath()));
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring line = text.substr(start, end - start);
        // month-day, time, thread, function, then "(line):" and the message
        size_t field = 0;
        for (int tab = 0; tab < 4 && field != std::wstring::npos; ++tab)
            field = line.find(L'\t', field == 0 ? 0 : field + 1);
        const size_t colon = field == std::wstring::npos ? field : line.find(L"):", field);
        if (colon != std::wstring::npos)
            messages.push_back(line.substr(colon + 2));
    }
    return messages;
}

int logged(const std::wstring& message, bool prefix)
{
    int count = 0;
    for (const std::wstring& line : installerLogMessages())
        count += prefix ? line.compare(0, message.size(), message) == 0 : line == message;
    return count;
}

std::vector<std::wstring> waitForRecord(const std::wstring& recordFile, DWORD timeoutMs)
{
    testutil::pumpUntil([&] { return !recordedCommandLines(recordFile).empty(); }, timeoutMs);
    return recordedCommandLines(recordFile);
}

}  // namespace insttest
