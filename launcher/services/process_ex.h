// The launcher's process helpers beside the foundation's utility::process
// (process.h) and its desktop-user start (desktop_user.h): shell execution
// with elevation.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace process {

// ShellExecuteW with "runas" (Vista and later, when asked) or "open"; the
// program runs in folder (empty: this process's current folder).
bool shell(const std::wstring& file, const std::wstring& params, bool runas, bool show,
           const std::wstring& folder = std::wstring());
// ShellExecuteExW; timeout 0 returns as soon as the program started, otherwise
// waits up to timeoutMs and is true only for exit code 0. A stop event, when
// given, ends the wait early (false; the program is left running).
bool shellEx(const std::wstring& file, const std::wstring& params, bool runas, bool show,
             DWORD timeoutMs, HANDLE stopEvent = nullptr);

}  // namespace process
}  // namespace utility
