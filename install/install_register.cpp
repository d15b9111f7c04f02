// Registering an installation: registry values, uninstall entry, autorun
// value, firewall rule, shortcuts; and starting the installed launcher.
#include "install/kxspace_model.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/scoped_handle.h"
#include "foundation/ufile.h"

namespace {

const DWORD kFirewallTimeoutMs = 10000;

// Writes a REG_SZ value whose length includes the terminator.
void setString(HKEY key, const wchar_t* name, const std::wstring& value)
{
    LONG result = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (result != ERROR_SUCCESS)
        common::log("KXSpaceModel::setString", __LINE__, L"set reg value %s lastError = %d", name,
                    static_cast<int>(result));
}

// Releases a COM interface when it goes out of scope.
template <typename T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef()
    {
        if (ptr_)
            ptr_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** receive() { return &ptr_; }
    T* operator->() const { return ptr_; }
    T* get() const { return ptr_; }

private:
    T* ptr_ = nullptr;
};

// One shell folder by its CSIDL, without trailing backslash; empty on failure.
std::wstring specialFolder(int csidl)
{
    LPITEMIDLIST items = nullptr;
    HRESULT hr = SHGetSpecialFolderLocation(nullptr, csidl, &items);
    if (FAILED(hr) || !items) {
        common::log("KXSpaceModel::createShortcuts", __LINE__,
                    L"SHGetSpecialFolderLocation %d failed hr = %d", csidl, static_cast<int>(hr));
        return std::wstring();
    }
    wchar_t path[MAX_PATH] = {0};
    BOOL ok = SHGetPathFromIDListW(items, path);
    CoTaskMemFree(items);
    if (!ok) {
        common::log("KXSpaceModel::createShortcuts", __LINE__, L"SHGetPathFromIDList %d failed",
                    csidl);
        return std::wstring();
    }
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

bool saveShellLink(const std::wstring& linkPath, const std::wstring& target,
                   const std::wstring& workingDir, const std::wstring& description)
{
    ComRef<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.receive()));
    if (FAILED(hr)) {
        common::log("KXSpaceModel::createShortcuts", __LINE__,
                    L"create shell link failed hr = %d", static_cast<int>(hr));
        return false;
    }
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingDir.c_str());
    link->SetDescription(description.c_str());
    ComRef<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.receive()));
    if (SUCCEEDED(hr))
        hr = file->Save(linkPath.c_str(), TRUE);
    if (FAILED(hr)) {
        common::log("KXSpaceModel::createShortcuts", __LINE__, L"save link %s failed hr = %d",
                    linkPath.c_str(), static_cast<int>(hr));
        return false;
    }
    return true;
}

bool isPowerShellQuote(wchar_t ch)
{
    // PowerShell closes a single-quoted string on any of these.
    return ch == L'\'' || ch == 0x2018 || ch == 0x2019 || ch == 0x201A || ch == 0x201B;
}

}  // namespace

void KXSpaceModel::pathToReg()
{
    {
        utility::ScopedRegKey key;
        LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, kProductRegKey, 0, nullptr, 0, KEY_WRITE,
                                      nullptr, key.receive(), nullptr);
        if (result == ERROR_SUCCESS) {
            common::log("KXSpaceModel::pathToReg", __LINE__, L"pathToReg installPath %s",
                        installFolder_.c_str());
            setString(key.get(), L"InstallDir", installFolder_);
            setString(key.get(), L"Version", L"010000");
            setString(key.get(), L"Language", region_);
            setString(key.get(), L"LanguageLong", regionProfile_.locale);
        } else {
            common::log("KXSpaceModel::pathToReg", __LINE__, L"open %s lastError = %d",
                        kProductRegKey, static_cast<int>(result));
        }
    }

    utility::ScopedRegKey key;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUninstallRegKey, 0, nullptr, 0, KEY_WRITE,
                                  nullptr, key.receive(), nullptr);
    if (result != ERROR_SUCCESS) {
        common::log("KXSpaceModel::pathToReg", __LINE__, L"open %s lastError = %d",
                    kUninstallRegKey, static_cast<int>(result));
        return;
    }
    setString(key.get(), L"UninstallString", installFolder_ + kUninstallerExe);
    setString(key.get(), L"DisplayName", kProductName);
    setString(key.get(), L"DisplayIcon", installFolder_ + kLauncherExe);
    setString(key.get(), L"Publisher", kProductName);
    setString(key.get(), L"DisplayVersion", L"1.0.0");
}

void KXSpaceModel::autorun()
{
    std::wstring value = L"\"" + installFolder_ + kLauncherExe + L"\" autorun";
    utility::ScopedRegKey key;
    LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, kRunRegKey, 0, KEY_SET_VALUE, key.receive());
    if (result != ERROR_SUCCESS) {
        common::log("KXSpaceModel::autorun", __LINE__, L"open run key lastError = %d",
                    static_cast<int>(result));
        return;
    }
    setString(key.get(), kProductName, value);
}

std::wstring KXSpaceModel::firewallCommand(const std::wstring& exePath)
{
    std::wstring quoted;
    for (wchar_t ch : exePath) {
        quoted += ch;
        if (isPowerShellQuote(ch))
            quoted += ch;
    }
    return std::wstring(L"New-NetFirewallRule -DisplayName \"") + kProductName +
           L"\" -Direction Inbound -Program '" + quoted +
           L"' -RemoteAddress LocalSubnet -Action Allow";
}

void KXSpaceModel::registerWindowDefinder()
{
    std::wstring exe = installFolder_ + kLauncherExe;
    common::log("KXSpaceModel::registerWindowDefinder", __LINE__, L"register firewall start %s",
                exe.c_str());
    DWORD exitCode = 0;
    bool ok = utility::process::execute(L"powershell.exe", firewallCommand(exe), false,
                                        kFirewallTimeoutMs, exitCode);
    common::log("KXSpaceModel::registerWindowDefinder", __LINE__, L"register firewall end %d",
                ok ? 1 : 0);
}

void KXSpaceModel::createShortcuts(const std::wstring& folder, const std::wstring& product,
                                   const std::wstring& linkName,
                                   const std::wstring& uninstallLinkName)
{
    const std::wstring launcher = folder + kLauncherExe;
    const std::wstring uninstaller = folder + kUninstallerExe;

    std::wstring desktop = specialFolder(CSIDL_DESKTOPDIRECTORY);
    if (desktop.empty())
        return;
    saveShellLink(desktop + L"\\" + linkName, launcher, folder, product);

    std::wstring programs = specialFolder(CSIDL_PROGRAMS);
    if (programs.empty())
        return;
    size_t dot = linkName.rfind(L'.');
    std::wstring groupDir = programs + L"\\" + linkName.substr(0, dot);
    utility::ufile::makeDir(groupDir);
    saveShellLink(groupDir + L"\\" + linkName, launcher, folder, product);

    std::wstring startMenu = specialFolder(CSIDL_STARTMENU);
    if (startMenu.empty())
        return;
    saveShellLink(startMenu + L"\\" + linkName, launcher, folder, product);

    saveShellLink(groupDir + L"\\" + uninstallLinkName, uninstaller, folder, product);
}

void KXSpaceModel::startLauncher(bool /*unused*/)
{
    if (installFolder_.empty()) {
        common::log("KXSpaceModel::startLauncher", __LINE__, L"no install folder yet");
        return;
    }
    utility::ScopedHandle process(
        utility::process::create(installFolder_ + kLauncherExe, L"from=install", true));
}
