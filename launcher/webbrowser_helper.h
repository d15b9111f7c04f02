// The system's embedded browser runs in the newest mode the installed
// Internet Explorer offers: its browser-emulation value for this executable.
#pragma once

#include <windows.h>

#include <string>

namespace webbrowserhelper {

// HKLM "SOFTWARE\Microsoft\Internet Explorer" "Version"; empty when unreadable.
std::wstring getIEVersion();
// Writes the emulation code under the user's FEATURE_BROWSER_EMULATION key.
bool setIeVersion(const std::wstring& exeName, DWORD code);
// The emulation code for an Internet Explorer version text ("9.11.9600" ->
// 11001); 0 (with version "6.0") for versions it does not know.
DWORD emulationCode(const std::wstring& version, std::wstring& shown);
// Reads the version and writes its code for "zulplay.exe"; the version the
// code stands for, empty when the version was unreadable.
std::wstring registerIENewVersion();

}  // namespace webbrowserhelper
