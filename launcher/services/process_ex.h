// The launcher's process helpers beside the foundation's utility::process:
// shell execution with elevation, image paths of running processes and
// starting a program as the desktop user while the launcher runs elevated.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace utility {
namespace process {

// ShellExecuteW with "runas" (Vista and later, when asked) or "open".
bool shell(const std::wstring& file, const std::wstring& params, bool runas, bool show);
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

// A primary token of the explorer.exe running in this process's session.
// Returns the last Win32 error seen (0 on success); *token is null when none.
DWORD getExplorerToken(HANDLE* token);

// Starts "file" params as the desktop user. 0 on success, -1 on failure.
// With wait, waits for the program to end and stores its code in *exitCode
// when given.
int createWithExplorerToken(const std::wstring& file, const wchar_t* params, bool wait,
                            DWORD* exitCode = nullptr);

// Starts "file" params with the given primary token (not taken over; the
// caller closes it). 0 on success, -1 on failure; waits as above.
int createWithToken(HANDLE token, const std::wstring& file, const wchar_t* params, bool wait,
                    DWORD* exitCode = nullptr);

// The command line createWithToken hands to the system: the quoted
// file, then a blank and the parameters when there are any. False when it
// does not fit kTokenCommandChars characters with its terminator.
const size_t kTokenCommandChars = 260;
bool buildTokenCommandLine(const std::wstring& file, const wchar_t* params, std::wstring& line);

}  // namespace process
}  // namespace utility
