// Registering an installation: registry values, uninstall entry, autorun
// value, firewall rule, shortcuts; and starting the installed launcher.
#include "install/kxspace_model.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/scoped_handle.h"
#include "foundation/ufile.h"
#include "launcher/services/reg_key_ex.h"
#include "zul_deployment.h"

namespace {

const DWORD kFirewallTimeoutMs = 10000;

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

bool saveShellLink(const std::wstring& linkPath, const std::wstring& target, const std::wstring& workingDir,
                   const std::wstring& description)
{
    ComRef<IShellLinkW> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(link.receive()));
    if (FAILED(hr)) {
        common::log("KXSpaceModel::createShortcuts", __LINE__, L"create shell link failed hr = %d",
                    static_cast<int>(hr));
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
        common::log("KXSpaceModel::createShortcuts", __LINE__, L"save link %s failed hr = %d", linkPath.c_str(),
                    static_cast<int>(hr));
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
        utility::RegKeyEx key;
        if (key.RegCreate(HKEY_CURRENT_USER, product::kRegistryKey) == ERROR_SUCCESS) {
            common::log("KXSpaceModel::pathToReg", __LINE__, L"pathToReg installPath %s", installFolder_.c_str());
            key.RegWrite(L"InstallDir", installFolder_);
            key.RegWrite(L"Version", ZUL_VERSION_REGISTRY);
            key.RegWrite(L"Language", region_);
            key.RegWrite(L"LanguageLong", regionProfile_.locale);
        }
    }

    utility::RegKeyEx key;
    if (key.RegCreate(HKEY_LOCAL_MACHINE, product::kUninstallRegistryKey) != ERROR_SUCCESS)
        return;
    // Quoted: the system's program list runs it as a command line, where an
    // unquoted path with blanks names another program.
    key.RegWrite(L"UninstallString", L"\"" + installFolder_ + product::kUninstallerExe + L"\"");
    key.RegWrite(L"DisplayName", product::kName);
    key.RegWrite(L"DisplayIcon", installFolder_ + product::kLauncherExe);
    key.RegWrite(L"Publisher", ZUL_PUBLISHER);
    key.RegWrite(L"DisplayVersion", ZUL_VERSION_TEXT);
}

void KXSpaceModel::autorun()
{
    utility::RegKeyEx key;
    if (key.RegRegOpen(HKEY_CURRENT_USER, product::kRunRegistryKey, KEY_SET_VALUE) != ERROR_SUCCESS)
        return;
    key.RegWrite(product::kName, L"\"" + installFolder_ + product::kLauncherExe + L"\" autorun");
}

std::wstring KXSpaceModel::firewallCommand(const std::wstring& exePath)
{
    std::wstring quoted;
    for (wchar_t ch : exePath) {
        quoted += ch;
        if (isPowerShellQuote(ch))
            quoted += ch;
    }
    return std::wstring(L"New-NetFirewallRule -DisplayName \"") + product::kName + L"\" -Direction Inbound -Program '" +
           quoted + L"' -RemoteAddress LocalSubnet -Action Allow";
}

void KXSpaceModel::registerWindowDefinder()
{
    std::wstring exe = installFolder_ + product::kLauncherExe;
    common::log("KXSpaceModel::registerWindowDefinder", __LINE__, L"register firewall start %s", exe.c_str());
    // Neither the user's profile scripts nor a prompt: PowerShell runs with
    // the installer's administrator rights.
    DWORD exitCode = 0;
    bool ok = utility::process::executeSystemTool(L"WindowsPowerShell\\v1.0\\powershell.exe",
                                                  L"-NoProfile -NonInteractive " + firewallCommand(exe), false,
                                                  kFirewallTimeoutMs, exitCode);
    common::log("KXSpaceModel::registerWindowDefinder", __LINE__, L"register firewall end %d", ok ? 1 : 0);
}

void KXSpaceModel::createShortcuts(const std::wstring& folder, const std::wstring& product,
                                   const std::wstring& linkName, const std::wstring& uninstallLinkName)
{
    const std::wstring launcher = folder + product::kLauncherExe;
    const std::wstring uninstaller = folder + product::kUninstallerExe;

    std::wstring desktop = utility::ufile::getSpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (desktop.empty())
        return;
    saveShellLink(utility::ufile::joinPath(desktop, linkName), launcher, folder, product);

    std::wstring programs = utility::ufile::getSpecialFolder(CSIDL_PROGRAMS);
    if (programs.empty())
        return;
    size_t dot = linkName.rfind(L'.');
    std::wstring groupDir = utility::ufile::joinPath(programs, linkName.substr(0, dot));
    utility::ufile::makeDir(groupDir);
    saveShellLink(utility::ufile::joinPath(groupDir, linkName), launcher, folder, product);

    std::wstring startMenu = utility::ufile::getSpecialFolder(CSIDL_STARTMENU);
    if (startMenu.empty())
        return;
    saveShellLink(utility::ufile::joinPath(startMenu, linkName), launcher, folder, product);

    saveShellLink(utility::ufile::joinPath(groupDir, uninstallLinkName), uninstaller, folder, product);
}

void KXSpaceModel::startLauncher(bool /*unused*/)
{
    if (installFolder_.empty()) {
        common::log("KXSpaceModel::startLauncher", __LINE__, L"no install folder yet");
        return;
    }
    utility::ScopedHandle process(
        utility::process::create(installFolder_ + product::kLauncherExe, L"from=install", true));
}
