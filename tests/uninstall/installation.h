// A real installation for the program tests, and what an uninstall must
// take away: the install folder, the shortcuts, the product key and the
// uninstall entry (the Run value stays). Made by the install job, run as a
// program of its own (zul_uninst_install_tool.exe beside the test).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace insttest {

// Installs into `folder` (with a trailing backslash) with registration and
// shortcuts; true when the install job reported 100.
bool installWithInstallJob(const std::wstring& folder, const std::wstring& region = L"en");

// The traces of an installation in `folder` that exist now, one line each:
// the folder, each shortcut and the Programs group, the product key and the
// machine's uninstall entry. Empty when everything is gone.
std::vector<std::wstring> installationTraces(const std::wstring& folder);
// How many traces a complete installation has.
const size_t kInstallationTraceCount = 8;

// Starts the installation's zulplay.exe as a launcher that keeps running;
// the process handle (closed by the caller), null on failure.
HANDLE startLauncherStandIn(const std::wstring& folder);

// The uninstaller's log: "zulplayduninstall.log" in the temporary folder.
std::wstring uninstallerLogPath();
// The messages of its lines (the text after the line number), in order.
std::vector<std::wstring> uninstallerLogMessages();

}  // namespace insttest
