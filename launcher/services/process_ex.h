// The launcher's process helpers beside the foundation's utility::process:
// shell execution with elevation, image paths of running processes and
// starting a program as the desktop user while the launcher runs elevated.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// One drive letter with the kernel device behind it ("C:" -> "\Device\HarddiskVolume1").
struct DosDevice {
    std::wstring drive;
    std::wstring device;
};

// Turns a kernel device path ("\Device\HarddiskVolume1\dir\file") into a
// drive path ("C:\dir\file") using the machine's drives.
bool DosPathToNtPath(const wchar_t* devicePath, std::wstring* drivePath);
// Same with a given drive list (the first matching device wins).
bool DosPathToNtPath(const wchar_t* devicePath, std::wstring* drivePath,
                     const std::vector<DosDevice>& devices);
// The machine's drives (A: and B: left out) with their devices.
std::vector<DosDevice> listDosDevices();

// Full image path of a running process with a drive letter, or empty.
std::wstring GetProcessPath(DWORD processId);

// A primary token of the explorer.exe (of the Windows folder) running in this
// process's session. Returns the last Win32 error seen (0 on success); *token
// is null when none. Test builds take the Windows folder from
// ZUL_TEST_WINDOWS_DIR when it is set.
DWORD getExplorerToken(HANDLE* token);

// Starts "file" params as the desktop user, in folder (empty: this process's
// current folder). 0 on success, -1 on failure. With wait, waits for the
// program to end and stores its code in *exitCode when given.
int createWithExplorerToken(const std::wstring& file, const wchar_t* params, const std::wstring& folder,
                            bool wait, DWORD* exitCode = nullptr);

// Starts "file" params in folder with the given primary token (not taken
// over; the caller closes it). 0 on success, -1 on failure; waits as above.
int createWithToken(HANDLE token, const std::wstring& file, const wchar_t* params, const std::wstring& folder,
                    bool wait, DWORD* exitCode = nullptr);

// The command line createWithToken hands to the system: the quoted
// file, then a blank and the parameters when there are any. False when it
// does not fit the system's limit of kMaxCommandChars characters with its
// terminator.
const size_t kMaxCommandChars = 32767;
bool buildTokenCommandLine(const std::wstring& file, const wchar_t* params, std::wstring& line);

// Opens a web address (http or https only, see foundation/url_policy.h) in
// the user's browser. The launcher runs elevated: where it can start programs
// as the desktop user (Windows 8 and later), the system folder's rundll32.exe
// opens the address through url.dll as that user; otherwise, or when that
// fails, the shell opens it (utility::usystem::openUrl). False when the
// address was refused or nothing could be started.
bool openUrlAsDesktopUser(const std::wstring& url);

}  // namespace process
}  // namespace utility
