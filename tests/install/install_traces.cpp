#include "install_traces.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <mutex>

#include "common/test_util.h"
#include "foundation/log.h"

namespace insttest {

const wchar_t kProductKey[] = L"Software\\Norvale\\ZUL";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZUL";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {
std::mutex g_logMutex;
std::vector<std::wstring> g_logLines;

void captureSink(const char* function, int, const wchar_t* message)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logLines.push_back(testutil::widen(function) + L": " + message);
}
}  // namespace

LogCapture::LogCapture()
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logLines.clear();
    common::setLogSink(&captureSink);
}

LogCapture::~LogCapture() { common::setLogSink(nullptr); }

int LogCapture::count(const std::wstring& text) const
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    int n = 0;
    for (const std::wstring& line : g_logLines)
        n += line.find(text) != std::wstring::npos ? 1 : 0;
    return n;
}

bool readRegString(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& value)
{
    wchar_t buffer[2048] = {0};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    value.clear();
    if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

bool writeRegString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    return RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool regKeyExists(HKEY root, const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::wstring shellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {0};
    SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path);
    std::wstring folder = path;
    while (!folder.empty() && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

std::vector<std::wstring> shortcutPaths()
{
    const std::wstring programs = shellFolder(CSIDL_PROGRAMS) + L"\\ZUL\\";
    return {shellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\ZUL.lnk", programs + L"ZUL.lnk",
            shellFolder(CSIDL_STARTMENU) + L"\\ZUL.lnk", programs + L"ZULUninstall.lnk"};
}

bool resolveShortcut(const std::wstring& link, std::wstring& target, std::wstring& workingDir)
{
    target.clear();
    workingDir.clear();
    IShellLinkW* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&shellLink))))
        return false;
    bool ok = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t path[MAX_PATH] = {0};
        wchar_t dir[MAX_PATH] = {0};
        ok = SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
             SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
             SUCCEEDED(shellLink->GetWorkingDirectory(dir, MAX_PATH));
        target = path;
        workingDir = dir;
        file->Release();
    }
    shellLink->Release();
    return ok;
}

void removeInstallTraces()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProductKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"ZUL");
    for (const std::wstring& link : shortcutPaths())
        DeleteFileW(link.c_str());
    RemoveDirectoryW((shellFolder(CSIDL_PROGRAMS) + L"\\ZUL").c_str());
}

std::vector<std::wstring> recordedCommandLines(const std::wstring& recordFile)
{
    return testutil::readLines(recordFile);
}

namespace {
const wchar_t kHttpsCommand[] = L"https\\shell\\open\\command";
const wchar_t kPowerShell[] = L"WindowsPowerShell\\v1.0\\powershell";
}  // namespace

ShellBrowser::ShellBrowser(const std::wstring& folder) : browser_(folder + L"browser.exe")
{
    hadOld_ = readRegString(HKEY_CLASSES_ROOT, kHttpsCommand, L"", old_);
    made_ = CopyFileW((testutil::exeDir() + L"powershell.exe").c_str(), browser_.c_str(), FALSE) &&
            writeRegString(HKEY_CLASSES_ROOT, kHttpsCommand, L"", L"\"" + browser_ + L"\" \"%1\"");
}

ShellBrowser::~ShellBrowser()
{
    if (hadOld_)
        writeRegString(HKEY_CLASSES_ROOT, kHttpsCommand, L"", old_);
    else
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kHttpsCommand);
}

std::vector<std::wstring> ShellBrowser::opened() const
{
    return recordedCommandLines(browser_.substr(0, browser_.size() - 4) + L".cmdline.txt");
}

StandInSystemFolder::StandInSystemFolder() : variable_(L"ZUL_TEST_SYSTEM_DIR", dir_.path())
{
    made_ = CreateDirectoryW(dir_.file(L"WindowsPowerShell").c_str(), nullptr) &&
            CreateDirectoryW(dir_.file(L"WindowsPowerShell\\v1.0").c_str(), nullptr) &&
            CopyFileW((testutil::exeDir() + L"powershell.exe").c_str(), powershellExe().c_str(), FALSE);
}

std::wstring StandInSystemFolder::powershellExe() const { return dir_.path() + kPowerShell + L".exe"; }
std::wstring StandInSystemFolder::powershellRecord() const { return dir_.path() + kPowerShell + L".cmdline.txt"; }
std::wstring StandInSystemFolder::powershellWaitFile() const { return dir_.path() + kPowerShell + L".wait.txt"; }

}  // namespace insttest
