// Starting programs as the desktop user. The three programs run with
// administrator rights; what they start for the user's own session (the
// emulator client, the browser) gets the token of the desktop's explorer.exe
// where the system allows it (Windows 8 and later), so it does not inherit
// those rights.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace process {

// A primary token of the explorer.exe (of the Windows folder) running in this
// process's session. Returns the last Win32 error seen (0 on success); *token
// is null when none. Test builds take the Windows folder from
// ZUL_TEST_WINDOWS_DIR when it is set.
DWORD getExplorerToken(HANDLE* token);

// Starts "file" params as the desktop user, in folder (empty: this process's
// current folder). 0 on success, -1 on failure. With wait, waits for the
// program to end and stores its code in *exitCode when given.
int createWithExplorerToken(const std::wstring& file, const wchar_t* params, const std::wstring& folder, bool wait,
                            DWORD* exitCode = nullptr);

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

// Opens a web address (http or https only, see url_policy.h) in the user's
// browser; every program opens addresses this way. Where programs can be
// started as the desktop user (Windows 8 and later), the system folder's
// rundll32.exe opens the address through url.dll as that user; otherwise, or
// when that fails, the shell opens it (utility::usystem::openUrl). False when
// the address was refused or nothing could be started.
bool openUrlAsDesktopUser(const std::wstring& url);

}  // namespace process
}  // namespace utility
