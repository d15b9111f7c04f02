// Starting and waiting for programs, listing running ones.
#pragma once

#include <windows.h>

#include <list>
#include <string>

namespace utility {
namespace process {

struct ProcessEntry {
    DWORD id;
    std::wstring exeName;
};

// Starts "path" params; returns the process handle (caller closes) or null.
HANDLE create(const std::wstring& path, const std::wstring& params, bool show,
              DWORD* processId = nullptr);
// Starts and waits up to timeoutMs (0: no wait). True only for exit code 0
// (or, with timeout 0, as soon as the process was created).
bool execute(const std::wstring& path, const std::wstring& params, bool show, DWORD timeoutMs);
bool execute(const std::wstring& path, const std::wstring& params, bool show, DWORD timeoutMs,
             DWORD& exitCode);
void enumProcess(std::list<ProcessEntry>& processes);
bool isRunning(const std::wstring& exeName);

}  // namespace process
}  // namespace utility
