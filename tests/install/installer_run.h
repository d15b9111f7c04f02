// Running the installer program as its user does: a copy in a folder of its
// own (under any file name) with a stand-in system folder, its log, and the
// payload it carries.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/test_util.h"
#include "install_traces.h"

namespace insttest {

// The installer built around the test payload (recording stand-ins as the
// launcher and the uninstaller), and the one whose payload is corrupt.
std::wstring testInstallerExe();
std::wstring corruptInstallerExe();

// A copy of an installer under the given file name in a fresh folder; gone
// with the folder. While it lives, the programs this test starts take their
// powershell from a stand-in system folder.
class InstallerCopy {
public:
    explicit InstallerCopy(const std::wstring& sourceExe, const std::wstring& fileName = L"zulinst.exe");
    bool made() const { return made_ && system_.made(); }
    const std::wstring& exe() const { return exe_; }
    const std::wstring& folder() const { return folder_.path(); }
    const StandInSystemFolder& system() const { return system_; }

private:
    testutil::TempDir folder_;
    StandInSystemFolder system_;
    std::wstring exe_;
    bool made_ = false;
};

// How a run of the installer ended.
struct RunResult {
    bool ended = false;
    DWORD exitCode = 0;
    bool windowShown = false;  // a main window of the process was ever visible
};
// Starts the installer with the command line and waits for its end, watching
// for a visible main window all the while.
RunResult runInstaller(const std::wstring& exe, const std::wstring& commandLine, DWORD timeoutMs = 60000);

// The installer's log (%APPDATA%\zulplay\log\install.log) and the messages
// of its lines (the text after the line number), in order.
std::wstring installerLogPath();
std::vector<std::wstring> installerLogMessages();
// How many lines say exactly this, or begin with it.
int logged(const std::wstring& message, bool prefix = false);

// Waits until the recording stand-in wrote its file, then reads it.
std::vector<std::wstring> waitForRecord(const std::wstring& recordFile, DWORD timeoutMs = 15000);

}  // namespace insttest
