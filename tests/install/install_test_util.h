// Helpers for the install job tests: running a job to its end on this
// (UI) thread, collecting log lines, reading what the job registered and
// removing it again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "install/kxspace_model.h"

namespace insttest {

struct Progress {
    int percent;
    std::wstring text;
};

// Starts the model's install job and pumps this thread's messages until
// the progress reaches 100 or -1. Returns every progress report seen.
std::vector<Progress> runInstallJob(KXSpaceModel& model, DWORD timeoutMs = 60000);

// Collects every log message of the process while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    bool contains(const std::wstring& text) const;
    int count(const std::wstring& text) const;
};

// Registry: a REG_SZ value, or false when the key or value is missing or of
// another type.
bool readRegString(HKEY root, const std::wstring& key, const std::wstring& name,
                   std::wstring& value);
bool regKeyExists(HKEY root, const std::wstring& key);

// A shell folder of this user (CSIDL), without trailing backslash.
std::wstring shellFolder(int csidl);

// Where the job saves its four shortcuts.
std::vector<std::wstring> shortcutPaths();

// Reads a shortcut back through IShellLinkW.
bool resolveShortcut(const std::wstring& link, std::wstring& target, std::wstring& workingDir);

// Removes the registry values and keys, and the shortcuts, an install makes.
void removeInstallTraces();

// Relative paths of every file below folder (with trailing backslash).
std::vector<std::wstring> listFiles(const std::wstring& folder);

// The recorded command lines of a recording stand-in, one per entry.
std::vector<std::wstring> recordedCommandLines(const std::wstring& recordFile);

}  // namespace insttest
