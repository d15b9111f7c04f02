// Starting and waiting for programs, listing running ones and their image
// paths.
#pragma once

#include <windows.h>

#include <list>
#include <string>
#include <vector>

namespace utility {

class TrustedProgram;

namespace process {

struct ProcessEntry {
    DWORD id;
    std::wstring exeName;
};

// Starts "path" params; returns the process handle (caller closes) or null.
// The path is the program itself (passed as the application name), never a
// name to search for: a bare name would find a copy beside the program first.
HANDLE create(const std::wstring& path, const std::wstring& params, bool show, DWORD* processId = nullptr);
// Starts and waits up to timeoutMs (0: no wait). True only for exit code 0
// (or, with timeout 0, as soon as the process was created).
bool execute(const std::wstring& path, const std::wstring& params, bool show, DWORD timeoutMs);
bool execute(const std::wstring& path, const std::wstring& params, bool show, DWORD timeoutMs, DWORD& exitCode);
// A program from outside the installation that runs with this process's
// rights: started only when its check trusts it (trusted_program.h), while
// that check still holds the file; false, with a log line, when refused.
bool execute(const TrustedProgram& program, const std::wstring& params, bool show, DWORD timeoutMs);
// True when program may be started; otherwise logs under function that it
// was not and why. The starts that take a TrustedProgram ask it first.
bool mayStart(const TrustedProgram& program, const char* function);
// The full path of a tool of the system folder, "taskkill.exe", "cmd.exe" or
// "WindowsPowerShell\\v1.0\\powershell.exe"; empty (with a log line) when the
// system folder cannot be found. The programs run with administrator rights
// from folders others can write to, so system tools are started by this path
// only. Test builds take a tool from the folder ZUL_TEST_SYSTEM_DIR names
// when that folder holds it (at the same relative path).
std::wstring systemToolPath(const wchar_t* relativePath);
// execute() of the system tool named as systemToolPath names it.
bool executeSystemTool(const wchar_t* relativePath, const std::wstring& params, bool show, DWORD timeoutMs,
                       DWORD& exitCode);
bool executeSystemTool(const wchar_t* relativePath, const std::wstring& params, bool show, DWORD timeoutMs);

void enumProcess(std::list<ProcessEntry>& processes);
bool isRunning(const std::wstring& exeName);

// One drive letter with the kernel device behind it ("C:" -> "\Device\HarddiskVolume1").
struct DosDevice {
    std::wstring drive;
    std::wstring device;
};

// Turns a kernel device path ("\Device\HarddiskVolume1\dir\file") into a
// drive path ("C:\dir\file") using the machine's drives.
bool DosPathToNtPath(const wchar_t* devicePath, std::wstring* drivePath);
// Same with a given drive list (the first matching device wins).
bool DosPathToNtPath(const wchar_t* devicePath, std::wstring* drivePath, const std::vector<DosDevice>& devices);
// The machine's drives (A: and B: left out) with their devices.
std::vector<DosDevice> listDosDevices();

// Full image path of a running process with a drive letter, or empty.
std::wstring GetProcessPath(DWORD processId);

}  // namespace process
}  // namespace utility
