// What an installation leaves behind and how the tests look at it: the
// product's registry values, the shortcuts, the log lines and recorded
// command lines. Shared by the install and uninstall tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/test_util.h"

namespace insttest {

extern const wchar_t kProductKey[];    // HKCU
extern const wchar_t kUninstallKey[];  // HKLM
extern const wchar_t kRunKey[];        // HKCU

// Collects every log message of the process while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    int count(const std::wstring& text) const;
    bool contains(const std::wstring& text) const { return count(text) > 0; }
};

// A REG_SZ value; false when the key or value is missing or of another type.
bool readRegString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value);
bool writeRegString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value);
bool regKeyExists(HKEY root, const std::wstring& key);

// A shell folder of this user (CSIDL), without trailing backslash.
std::wstring shellFolder(int csidl);
// Where the install job saves its four shortcuts.
std::vector<std::wstring> shortcutPaths();
// Reads a shortcut back through IShellLinkW.
bool resolveShortcut(const std::wstring& link, std::wstring& target, std::wstring& workingDir);
// Removes the registry keys, the Run value and the shortcuts of an install.
void removeInstallTraces();

// The command lines a recording stand-in wrote, one per entry.
std::vector<std::wstring> recordedCommandLines(const std::wstring& recordFile);

// The prefix's handler of https addresses, which the shell starts for one:
// while it lives, the recording stand-in beside the test program
// ("powershell.exe") copied as <folder>browser.exe, which records the
// addresses the shell opens; afterwards the handler before.
class ShellBrowser {
public:
    explicit ShellBrowser(const std::wstring& folder);
    ~ShellBrowser();
    ShellBrowser(const ShellBrowser&) = delete;
    ShellBrowser& operator=(const ShellBrowser&) = delete;
    bool made() const { return made_; }
    // The command lines the shell started it with, in order.
    std::vector<std::wstring> opened() const;

private:
    std::wstring browser_;
    std::wstring old_;
    bool hadOld_ = false;
    bool made_ = false;
};

// A stand-in system folder: the recording stand-in beside the test program
// ("powershell.exe") as the system's WindowsPowerShell\v1.0\powershell.exe.
// While it lives, the test build's system-tool lookup (ZUL_TEST_SYSTEM_DIR)
// takes powershell from it, in this process and in the programs it starts;
// the other tools stay the system's.
class StandInSystemFolder {
public:
    StandInSystemFolder();
    bool made() const { return made_; }
    std::wstring powershellExe() const;
    // What the stand-in recorded, and the file whose number of milliseconds
    // it waits before it exits.
    std::wstring powershellRecord() const;
    std::wstring powershellWaitFile() const;

private:
    testutil::TempDir dir_;
    bool made_ = false;
    testutil::ScopedEnvironmentVariable variable_;
};

}  // namespace insttest
