// The product's names that the installer, the uninstaller and the launcher
// share: its registry keys, executables and shortcuts. Each is written once,
// here.
#pragma once

namespace product {

// The product's word: uninstall entry, Run value, firewall rule, Programs group.
constexpr wchar_t kName[] = L"ZUL";
// Per-user key (HKEY_CURRENT_USER) of the installation's values.
constexpr wchar_t kRegistryKey[] = L"Software\\Norvale\\ZUL";
// The uninstall entry (HKEY_LOCAL_MACHINE).
constexpr wchar_t kUninstallRegistryKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZUL";
// The per-user autorun key (HKEY_CURRENT_USER) that holds the value kName.
constexpr wchar_t kRunRegistryKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

constexpr wchar_t kLauncherExe[] = L"zulplay.exe";
constexpr wchar_t kUninstallerExe[] = L"zulplayuninst.exe";
constexpr wchar_t kInstallerExe[] = L"zulinst.exe";

constexpr wchar_t kLinkName[] = L"ZUL.lnk";
constexpr wchar_t kUninstallLinkName[] = L"ZULUninstall.lnk";

}  // namespace product
