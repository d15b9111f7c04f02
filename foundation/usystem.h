// Windows version and opening web addresses.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace usystem {

bool isVistaOrLater();
// Windows 8 or later as the running program sees its version.
bool isWin8OS();
// The version rule of isWin8OS: 6.2 and above.
bool isWin8Version(DWORD major, DWORD minor);

// Opens a web address (http or https, see url_policy.h) through the shell, in
// a browser that inherits the program's administrator rights. Anything else
// (a file, a program, a script address) is refused with a log line. The
// programs open addresses with utility::process::openUrlAsDesktopUser
// (desktop_user.h), which falls back to this where it must.
bool openUrl(const std::wstring& url);

}  // namespace usystem
}  // namespace utility
