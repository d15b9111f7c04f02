// The launcher's process helpers beside the foundation's utility::process
// (process.h) and its desktop-user start (desktop_user.h): shell execution
// with elevation.
#pragma once

#include <windows.h>

#include <string>

namespace utility {

class TrustedProgram;

namespace process {

// ShellExecuteW with "runas" (Vista and later, when asked) or "open"; the
// program runs in folder (empty: this process's current folder).
bool shell(const std::wstring& file, const std::wstring& params, bool runas, bool show,
           const std::wstring& folder = std::wstring());
// ShellExecuteExW; timeout 0 returns as soon as the program started, otherwise
// waits up to timeoutMs and is true only for exit code 0. A stop event, when
// given, ends the wait early (false; the program is left running).
bool shellEx(const std::wstring& file, const std::wstring& params, bool runas, bool show, DWORD timeoutMs,
             HANDLE stopEvent = nullptr);
// The same for a program from outside the installation: started only when
// its check trusts it (trusted_program.h), while the check holds the file;
// false, with a log line, when refused.
bool shell(const TrustedProgram& program, const std::wstring& params, bool runas, bool show,
           const std::wstring& folder = std::wstring());
bool shellEx(const TrustedProgram& program, const std::wstring& params, bool runas, bool show, DWORD timeoutMs,
             HANDLE stopEvent = nullptr);

}  // namespace process
}  // namespace utility
