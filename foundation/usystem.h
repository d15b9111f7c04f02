// Windows version and URL opening.
#pragma once

#include <windows.h>

#include <string>

namespace utility {
namespace usystem {

bool isVistaOrLater();
// Opens a URL or document with the shell; falls back to iexplore.exe.
bool openUrl(const std::wstring& url);

}  // namespace usystem
}  // namespace utility
