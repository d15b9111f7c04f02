// Windows version and opening web addresses.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace usystem {

bool isVistaOrLater();
// Opens a web address (http or https, see url_policy.h) in the user's browser
// through the shell. Anything else (a file, a program, a script address) is
// refused with a log line: the programs run with administrator rights.
bool openUrl(const std::wstring& url);

}  // namespace usystem
}  // namespace utility
