// Starting the emulator client and stopping the emulator's processes.
//
// The client is started as the desktop user where the system allows it, else
// through the shell. Before a new emulator package is unpacked (and its repair
// tool runs), the emulator's processes are stopped by image name, but
// only those whose executable lies in the game folder: a program of the same
// name elsewhere (the user's own adb.exe) is left alone.
#pragma once

#include <windows.h>

#include <string>

namespace emulator {

// One image to stop and how long to wait for it to end.
struct StopEntry {
    const wchar_t* image;
    DWORD waitMs;
};

// The emulator's images, stopped in order before a package is unpacked over
// them (a running program cannot be replaced) and the repair tool runs.
extern const StopEntry kEmulatorStopList[];
extern const size_t kEmulatorStopCount;

// True when path names a file inside folder (at any depth); both are made
// full paths and compared without case.
bool isPathInFolder(const std::wstring& path, const std::wstring& folder);

// Ends the running processes of the listed images whose executable lies in
// folder, each waited for up to its time. Returns how many were ended.
int stopProcessesInFolder(const std::wstring& folder, const StopEntry* entries, size_t count);

// Starts the client with the parameters in its own folder (the game folder):
// as the desktop user on Windows 8 and later, otherwise (or when that fails)
// through the shell. True when it started.
bool startClient(const std::wstring& clientPath, const std::wstring& params);

}  // namespace emulator
