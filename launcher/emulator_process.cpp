#include "launcher/emulator_process.h"

#include <list>
#include <vector>

#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/scoped_handle.h"
#include "foundation/trusted_program.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "foundation/usystem.h"
#include "launcher/services/process_ex.h"

namespace emulator {

const StopEntry kEmulatorStopList[] = {
    {L"zulclient.exe", 3000},
    {L"zulmulti.exe", 3000},
    {L"adb.exe", 3000},
    {L"aapt.exe", 3000},
    {L"bugreport.exe", 1000},
    {L"kx.exe", 3000},
    {L"kxconsole.exe", 3000},
    {L"vmware-vdiskmanager.exe", 3000},
    {L"TarnhubHeadless.exe", 10000},
    {L"TarnhubSVC.exe", 1000},
    {L"Tarnvm.exe", 1000},
    {L"driverconfig.exe", 3000},
    {L"kxrecord.exe", 1000},
    {L"zulrepairer.exe", 3000},
    {L"vbox-img.exe", 3000},
};
const size_t kEmulatorStopCount = sizeof(kEmulatorStopList) / sizeof(kEmulatorStopList[0]);

namespace {

// The full, lower-case form of a path; empty when the system cannot make one.
std::wstring comparable(const std::wstring& path)
{
    wchar_t full[MAX_PATH * 2] = {0};
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 2)
        return std::wstring();
    return utility::ustring::toLowerCopy(full);
}

// The folder of a file as a full path with its trailing separator (C:\g\ for
// C:\g\\zulclient.exe); empty when the system cannot make one.
std::wstring folderOf(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> full(size);
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), &name);
    if (length == 0 || length >= size || !name)
        return std::wstring();
    return std::wstring(full.data(), name);
}

bool endProcess(DWORD processId, const wchar_t* image, DWORD waitMs)
{
    utility::ScopedHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process.valid()) {
        common::log("emulator::stopProcessesInFolder", __LINE__, L"open %s (pid %d) failed lastError = %d", image,
                    processId, GetLastError());
        return false;
    }
    if (!TerminateProcess(process.get(), 1)) {
        common::log("emulator::stopProcessesInFolder", __LINE__, L"terminate %s (pid %d) failed lastError = %d", image,
                    processId, GetLastError());
        return false;
    }
    if (WaitForSingleObject(process.get(), waitMs) != WAIT_OBJECT_0)
        common::log("emulator::stopProcessesInFolder", __LINE__, L"%s (pid %d) did not end within %d ms", image,
                    processId, waitMs);
    return true;
}

}  // namespace

bool isPathInFolder(const std::wstring& path, const std::wstring& folder)
{
    std::wstring file = comparable(path);
    const std::wstring dir = utility::ufile::withSeparator(comparable(folder));
    if (file.empty() || dir.empty())
        return false;
    return file.size() > dir.size() && file.compare(0, dir.size(), dir) == 0;
}

int stopProcessesInFolder(const std::wstring& folder, const StopEntry* entries, size_t count)
{
    std::list<utility::process::ProcessEntry> processes;
    utility::process::enumProcess(processes);
    const DWORD self = GetCurrentProcessId();
    int ended = 0;
    for (size_t i = 0; i < count; ++i) {
        for (const utility::process::ProcessEntry& entry : processes) {
            if (entry.id == self || _wcsicmp(entry.exeName.c_str(), entries[i].image) != 0)
                continue;
            const std::wstring path = utility::process::GetProcessPath(entry.id);
            if (!isPathInFolder(path, folder)) {
                common::log("emulator::stopProcessesInFolder", __LINE__,
                            L"%s (pid %d) at [%s] is not the game's, left running", entries[i].image, entry.id,
                            path.c_str());
                continue;
            }
            common::log("emulator::stopProcessesInFolder", __LINE__, L"stopping %s (pid %d)", path.c_str(), entry.id);
            if (endProcess(entry.id, entries[i].image, entries[i].waitMs))
                ++ended;
        }
    }
    return ended;
}

bool startClient(const std::wstring& clientPath, const std::wstring& params)
{
    // The client runs in its own folder, the game folder.
    const std::wstring folder = folderOf(clientPath);
    if (utility::usystem::isWin8OS() &&
        utility::process::createWithExplorerToken(clientPath, params.c_str(), folder, false) != -1) {
        common::log("emulator::startClient", __LINE__, L"client started as the desktop user in [%s]", folder.c_str());
        return true;
    }
    common::log("emulator::startClient", __LINE__, L"run player adminstror");
    // This way the client inherits the launcher's administrator rights.
    utility::TrustedProgram client(clientPath);
    return utility::process::shell(client, params, false, true, folder);
}

}  // namespace emulator
