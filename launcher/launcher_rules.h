// The launcher's rules that need no window, network or file: the main
// window's size on a work area, the game folder a chosen folder becomes, the
// download texts, and the names of the package files.
#pragma once

#include <windows.h>

#include <string>

namespace rules {

// The main window's client size as designed, and the height at and below
// which the compact layout is used.
const int kDesignWidth = 1642;
const int kDesignHeight = 977;
const int kCompactMaxHeight = 800;

// The client size for a work area: the design size, narrowed to the work
// width less 40 (keeping the proportions), then lowered to the work height
// less 20 (keeping them again).
SIZE mainClientSize(int workWidth, int workHeight);

// The game folder a folder picked in the browse dialog becomes: a separator
// at the end, then leaf + "\" unless the path holds leaf (a drive root always
// gets it). The main window uses "Game", the settings window "ZUL". Empty
// for a choice of one character or none.
std::wstring gameFolderFromChoice(const std::wstring& chosen, const std::wstring& leaf = L"Game");

// Whole percent of received out of total; 0 when total is 0.
int downloadPercent(unsigned long long received, unsigned long long total);
// "12KB/300MB" (done below 1 MiB in KB, else in MB; the total in MB).
std::wstring downloadSizeText(unsigned long long done, unsigned long long total);
// "512KB/S" or "3MB/S" for the bytes of the last interval.
std::wstring downloadSpeedText(unsigned long long bytesPerSecond);
// "hh:mm:ss" left at that speed; false (no text) when nothing arrived in the
// last interval or nothing is left to come.
bool downloadTimeLeftText(unsigned long long done, unsigned long long total, unsigned long long bytesPerSecond,
                          std::wstring& text);

// The emulator package's version as the server names it may become part of a
// file name only when it is 1 to 32 characters of [A-Za-z0-9._-] without
// "..".
bool isSafeVersionText(const std::wstring& version);
// The emulator package file: <app dir>zulen_<version>.7z.
std::wstring playerPackagePath(const std::wstring& appDir, const std::wstring& version);
// The game package file: <game folder>zul_app_sea_<version>.apk.
std::wstring apkPackagePath(const std::wstring& gameDir, int version);
// The file that records the installed game package's version:
// <game folder>data\appversion1000.
std::wstring localAppVersionPath(const std::wstring& gameDir);
// The emulator client's command line that hands it a game package.
std::wstring clientInstallParams(const std::wstring& apkPath);

}  // namespace rules
