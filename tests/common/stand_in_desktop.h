// The desktop user as the programs of a test build find it (their
// desktop-user start, foundation/desktop_user.h), and the Windows version
// under which they take that start.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace testutil {

// While it lives, in this process and in the programs it starts: a stand-in
// Windows folder (ZUL_TEST_WINDOWS_DIR) whose explorer.exe, the test child
// asleep, is the desktop's, and a stand-in system folder (ZUL_TEST_SYSTEM_DIR)
// whose rundll32.exe is the given recording stand-in. Afterwards both
// variables hold their earlier values again.
class StandInDesktop {
public:
    explicit StandInDesktop(const std::wstring& recorderExe);
    ~StandInDesktop();
    StandInDesktop(const StandInDesktop&) = delete;
    StandInDesktop& operator=(const StandInDesktop&) = delete;

    // Its explorer.exe runs and its rundll32.exe is in place.
    bool running() const;
    std::wstring windows() const { return folder_.file(L"windows\\"); }
    std::wstring system() const { return folder_.file(L"system32\\"); }
    // The command lines rundll32.exe was started with, in order, once there
    // are at least `count` of them or timeoutMs has passed.
    std::vector<std::wstring> rundllStarts(size_t count = 0, DWORD timeoutMs = 0) const;

private:
    TempDir folder_;
    ScopedEnvironmentVariable windowsVariable_;
    ScopedEnvironmentVariable systemVariable_;
    HANDLE explorer_ = nullptr;
    bool rundll_ = false;
};

// Wine shows a program Windows 7 unless its AppDefaults entry names another
// version. While it lives, the programs of this file name see Windows 8.
class SeenAsWindows8 {
public:
    explicit SeenAsWindows8(const std::wstring& exeName);
    ~SeenAsWindows8();
    SeenAsWindows8(const SeenAsWindows8&) = delete;
    SeenAsWindows8& operator=(const SeenAsWindows8&) = delete;
    bool made() const { return made_; }

private:
    std::wstring key_;
    bool made_ = false;
};

// For a case of this test program that needs Windows 8: true when this run
// sees it, and the case runs here. Otherwise the case runs in a second run of
// this program that sees Windows 8, whose result counts, and false.
bool runsHereElseAsWindows8();

}  // namespace testutil
