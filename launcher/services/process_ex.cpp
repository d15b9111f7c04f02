#include "launcher/services/process_ex.h"

#include <shellapi.h>

#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/scoped_handle.h"
#include "foundation/trusted_program.h"
#include "foundation/usystem.h"

namespace utility {
namespace process {

namespace {

const wchar_t* verbFor(bool runas, bool useDefault)
{
    if (runas && usystem::isVistaOrLater())
        return L"runas";
    return useDefault ? nullptr : L"open";
}

}  // namespace

bool shell(const std::wstring& file, const std::wstring& params, bool runas, bool show, const std::wstring& folder)
{
    common::log("utility::process::shell", __LINE__, L"shell filename = [%s], param = [%s], runas = %d, show = %d",
                file.c_str(), params.c_str(), runas ? 1 : 0, show ? 1 : 0);
    HINSTANCE result = ShellExecuteW(nullptr, verbFor(runas, false), file.c_str(),
                                     params.empty() ? nullptr : params.c_str(),
                                     folder.empty() ? nullptr : folder.c_str(), show ? SW_SHOW : SW_HIDE);
    DWORD error = GetLastError();
    common::log("utility::process::shell", __LINE__, L"shellEx ret . lastError = %d", error);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return true;
    common::log("utility::process::shell", __LINE__, L"shellEx failed!!! lastError = %d", error);
    return false;
}

bool shellEx(const std::wstring& file, const std::wstring& params, bool runas, bool show, DWORD timeoutMs,
             HANDLE stopEvent)
{
    common::log("utility::process::shellEx", __LINE__,
                L"shellEx filename = [%s], param = [%s], runas = %d, show = %d, timeout = %d", file.c_str(),
                params.c_str(), runas ? 1 : 0, show ? 1 : 0, timeoutMs);
    SHELLEXECUTEINFOW info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;  // 0x440
    info.lpVerb = verbFor(runas, true);
    info.lpFile = file.c_str();
    info.lpParameters = params.empty() ? nullptr : params.c_str();
    info.nShow = show ? SW_SHOW : SW_HIDE;
    if (!ShellExecuteExW(&info)) {
        common::log("utility::process::shellEx", __LINE__, L"shellEx failed!!! lastError = %d", GetLastError());
        return false;
    }
    ScopedHandle process(info.hProcess);
    if (timeoutMs == 0)
        return true;
    if (!process.valid()) {
        // Handed to an already running program: there is nothing to wait for.
        common::log("utility::process::shellEx", __LINE__, L"shellEx failed!!! lastError = %d", GetLastError());
        return false;
    }
    const HANDLE waited[2] = {process.get(), stopEvent};
    const DWORD wait = WaitForMultipleObjects(stopEvent ? 2 : 1, waited, FALSE, timeoutMs);
    if (wait == WAIT_OBJECT_0 + 1) {
        common::log("utility::process::shellEx", __LINE__, L"shellEx wait stopped");
        return false;
    }
    if (wait == WAIT_OBJECT_0) {
        DWORD exitCode = static_cast<DWORD>(-1);
        GetExitCodeProcess(process.get(), &exitCode);
        common::log("utility::process::shellEx", __LINE__, L"shellEx exitcode = %d lastError = %d", exitCode,
                    GetLastError());
        return exitCode == 0;
    }
    if (wait == WAIT_TIMEOUT) {
        common::log("utility::process::shellEx", __LINE__, L"shellEx timeout!!!");
        return false;
    }
    common::log("utility::process::shellEx", __LINE__, L"shellEx failed!!! lastError = %d", GetLastError());
    return false;
}

bool shell(const TrustedProgram& program, const std::wstring& params, bool runas, bool show, const std::wstring& folder)
{
    if (!mayStart(program, "utility::process::shell"))
        return false;
    return shell(program.path(), params, runas, show, folder);
}

bool shellEx(const TrustedProgram& program, const std::wstring& params, bool runas, bool show, DWORD timeoutMs,
             HANDLE stopEvent)
{
    if (!mayStart(program, "utility::process::shellEx"))
        return false;
    return shellEx(program.path(), params, runas, show, timeoutMs, stopEvent);
}

}  // namespace process
}  // namespace utility
