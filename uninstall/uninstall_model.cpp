#include "uninstall/uninstall_model.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/process_ex.h"
#include "launcher/services/reg_key_ex.h"

namespace {

const REGSAM kReadWow64Key = 0x20119;  // KEY_READ | KEY_WOW64_64KEY
const REGSAM kFullAccess = 0xF003F;    // KEY_ALL_ACCESS

std::atomic<bool> g_deleteSelf{false};
// Written by the job before it sets the delete-self flag, read after the flag.
std::wstring g_removedFolder;

std::wstring readProductValue(const wchar_t* name)
{
    utility::RegKeyEx key;
    std::wstring value;
    if (key.RegRegOpen(HKEY_CURRENT_USER, product::kRegistryKey, kReadWow64Key) != ERROR_SUCCESS ||
        key.RegRead(name, value) != ERROR_SUCCESS)
        return std::wstring();
    return value;
}

// A folder as a full, long, lower-case path without trailing separators, for
// comparison ("..", short names and either separator give the same text).
std::wstring normalizedFolder(const std::wstring& folder)
{
    std::wstring path = folder;
    wchar_t full[MAX_PATH] = {0};
    DWORD length = folder.empty() ? 0 : GetFullPathNameW(folder.c_str(), MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH) {
        path = full;
        wchar_t longPath[MAX_PATH] = {0};
        length = GetLongPathNameW(full, longPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            path = longPath;
    }
    for (auto& ch : path)
        if (ch == L'/')
            ch = L'\\';
    while (!path.empty() && path.back() == L'\\')
        path.pop_back();
    utility::ustring::toLower(path);
    return path;
}

bool isDriveRoot(const std::wstring& normalized)
{
    // "c:" or "\\server\share" style roots, or nothing at all.
    if (normalized.size() <= 2)
        return true;
    if (normalized.rfind(L"\\\\", 0) == 0)
        return std::count(normalized.begin() + 2, normalized.end(), L'\\') < 2;
    return false;
}

// The user's Downloads folder has no CSIDL; the known-folder call is looked
// up by name (the shell of Windows XP has none).
std::wstring downloadsFolder()
{
    typedef HRESULT(WINAPI * GetKnownFolderPathFn)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    HMODULE shell = GetModuleHandleW(L"shell32.dll");
    GetKnownFolderPathFn getPath = shell ? reinterpret_cast<GetKnownFolderPathFn>(
                                               reinterpret_cast<void*>(GetProcAddress(shell, "SHGetKnownFolderPath")))
                                         : nullptr;
    PWSTR path = nullptr;
    if (!getPath || FAILED(getPath(FOLDERID_Downloads, 0, nullptr, &path)) || !path)
        return std::wstring();
    std::wstring folder = path;
    CoTaskMemFree(path);
    return folder;
}

// The user's and the system's own folders. A copy of the launcher lying in
// one of them, or in a folder above one, does not make it an installation.
std::vector<std::wstring> protectedFolders()
{
    const int kShellFolders[] = {CSIDL_PROFILE,       CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC,
                                 CSIDL_MYPICTURES,    CSIDL_MYVIDEO,          CSIDL_APPDATA,  CSIDL_LOCAL_APPDATA,
                                 CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_WINDOWS};
    std::vector<std::wstring> folders;
    for (int csidl : kShellFolders)
        folders.push_back(utility::ufile::getSpecialFolder(csidl));
    folders.push_back(downloadsFolder());
    // A 32-bit program sees the 64-bit Program Files only through this variable.
    wchar_t programFiles64[MAX_PATH] = {0};
    DWORD length = GetEnvironmentVariableW(L"ProgramW6432", programFiles64, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        folders.push_back(programFiles64);
    return folders;
}

// The protected folder that `normalized` is, or lies above; empty when none.
std::wstring protectedFolderAtOrBelow(const std::wstring& normalized)
{
    for (const std::wstring& folder : protectedFolders()) {
        const std::wstring guarded = normalizedFolder(folder);
        if (folder.empty() || guarded.empty())
            continue;
        if (guarded == normalized || guarded.rfind(utility::ufile::withSeparator(normalized), 0) == 0)
            return folder;
    }
    return std::wstring();
}

}  // namespace

KXSpaceModel* KXSpaceModel::instance()
{
    static KXSpaceModel* model = new KXSpaceModel();
    return model;
}

void KXSpaceModel::parseCommandLine(const std::wstring& commandLine)
{
    if (commandLine.find(L"--playeruninstall") != std::wstring::npos)
        silent_ = 1;
}

std::wstring KXSpaceModel::readRegistryLanguage()
{
    std::wstring language = readProductValue(L"Language");
    return language.empty() ? L"en" : language;
}

void KXSpaceModel::loadLanguage()
{
    language_ = readRegistryLanguage();
    loadRegionProfile(language_, profile_);
}

std::wstring KXSpaceModel::programFolder() const
{
    return programFolder_.empty() ? utility::ufile::getExeDir() : utility::ufile::withSeparator(programFolder_);
}

bool KXSpaceModel::startClean()
{
    // The worker refuses a second start while it holds the first run.
    Runable* job = new MemberFuncRunable<KXSpaceModel>(this, &KXSpaceModel::threadClean);
    if (worker_.start(job)) {
        cleaning_ = true;
        return true;
    }
    job->release();
    common::log("KXSpaceModel::startClean", __LINE__, L"clean job already started");
    return false;
}

void KXSpaceModel::postProgress(int percent)
{
    poster_.post(new FunctionRunable([this, percent] {
        if (percent == 100)
            cleaning_ = false;
        if (progress_)
            progress_(percent);
    }));
}

bool isInstallFolder(const std::wstring& folder, const std::wstring& registeredInstallDir)
{
    std::wstring target = normalizedFolder(folder);
    if (isDriveRoot(target))
        return false;
    // Checked before the registered value: "InstallDir" lies in the user's
    // own hive, and an in-place update registers any folder holding the launcher.
    const std::wstring guarded = protectedFolderAtOrBelow(target);
    if (!guarded.empty()) {
        common::log("isInstallFolder", __LINE__, L"[%s] is or contains the user or system folder [%s]", folder.c_str(),
                    guarded.c_str());
        return false;
    }
    if (!registeredInstallDir.empty() && normalizedFolder(registeredInstallDir) == target)
        return true;
    DWORD attributes = GetFileAttributesW((utility::ufile::withSeparator(folder) + product::kLauncherExe).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void KXSpaceModel::removeInstallFolder()
{
    std::wstring folder = programFolder();
    g_removedFolder.clear();
    if (!isInstallFolder(folder, readProductValue(L"InstallDir"))) {
        common::log("KXSpaceModel::threadClean", __LINE__, L"[%s] is not the install folder, it is left in place",
                    folder.c_str());
        return;
    }
    utility::ufile::removeDir(folder);
    g_removedFolder = folder;
}

void KXSpaceModel::threadClean()
{
    const char* fn = "KXSpaceModel::threadClean";
    common::log(fn, __LINE__, L"kill exe");
    utility::process::executeSystemTool(L"taskkill.exe", std::wstring(L"/F /IM ") + product::kLauncherExe, false, 2000);
    common::log(fn, __LINE__, L"kill exe end");
    postProgress(10);
    Sleep(stepPauseMs_);

    common::log(fn, __LINE__, L"remote files");
    removeInstallFolder();
    postProgress(60);
    Sleep(stepPauseMs_);

    removeShortcuts(product::kLinkName, L"", product::kUninstallLinkName);
    DeleteShortcutNew(product::kLinkName, product::kName);
    postProgress(80);
    Sleep(stepPauseMs_);

    removeRegistry();
    setDeleteSelfRequested(true);
    postProgress(100);
}

void KXSpaceModel::removeShortcuts(const std::wstring& linkName, const std::wstring&, const std::wstring&)
{
    std::wstring desktop = utility::ufile::getSpecialFolder(CSIDL_DESKTOPDIRECTORY);
    if (!desktop.empty())
        utility::ufile::deleteIfPresent(utility::ufile::joinPath(desktop, linkName));

    std::wstring programs = utility::ufile::getSpecialFolder(CSIDL_PROGRAMS);
    size_t dot = linkName.find_last_of(L'.');
    std::wstring groupName = dot == std::wstring::npos ? linkName : linkName.substr(0, dot);
    if (!programs.empty() && !groupName.empty())
        utility::ufile::removeDir(utility::ufile::joinPath(programs, groupName));

    std::wstring startMenu = utility::ufile::getSpecialFolder(CSIDL_STARTMENU);
    if (!startMenu.empty())
        utility::ufile::deleteIfPresent(utility::ufile::joinPath(startMenu, linkName));
}

void KXSpaceModel::DeleteShortcutNew(const std::wstring& linkName, const std::wstring& folderName)
{
    const char* fn = "KXSpaceModel::DeleteShortcutNew";
    common::log(fn, __LINE__, L"DeleteShortcutNew begin");
    std::wstring desktop = utility::ufile::getSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
    if (desktop.empty())
        common::log(fn, __LINE__, L"SHGetFolderLocation desktop failed: %d.", GetLastError());
    else
        utility::ufile::deleteIfPresent(utility::ufile::joinPath(desktop, linkName));

    std::wstring programs = utility::ufile::getSpecialFolder(CSIDL_COMMON_PROGRAMS);
    if (programs.empty()) {
        common::log(fn, __LINE__, L"SHGetFolderLocation PROGRAMS failed: %d.", GetLastError());
    } else {
        utility::ufile::deleteIfPresent(utility::ufile::joinPath(programs, linkName));
        if (!folderName.empty())
            utility::ufile::removeDir(utility::ufile::joinPath(programs, folderName));
    }
    common::log(fn, __LINE__, L"DeleteShortcutNew end");
}

void KXSpaceModel::removeRegistry()
{
    {
        utility::RegKeyEx key;
        if (key.RegRegOpen(HKEY_CURRENT_USER, product::kRegistryKey, kFullAccess) == ERROR_SUCCESS) {
            key.RegRemoveValue(L"InstallDir");
            key.RegRemoveValue(L"Version");
            key.RegRemoveValue(L"playerDir");
        }
    }
    utility::RegKeyEx::RegRemoveKey(HKEY_CURRENT_USER, product::kRegistryKey);
    utility::RegKeyEx::RegRemoveKey(HKEY_LOCAL_MACHINE, product::kUninstallRegistryKey);
}

bool deleteSelfRequested() { return g_deleteSelf; }
void setDeleteSelfRequested(bool value) { g_deleteSelf = value; }
std::wstring removedInstallFolder() { return g_deleteSelf ? g_removedFolder : std::wstring(); }

namespace {

// The short form of a path (8.3 names pass any code page), else the path itself.
std::wstring shortPathOf(const std::wstring& path)
{
    wchar_t shortPath[MAX_PATH] = {0};
    DWORD length = GetShortPathNameW(path.c_str(), shortPath, MAX_PATH);
    return (length > 0 && length < MAX_PATH) ? std::wstring(shortPath) : path;
}

}  // namespace

bool deleteFileLater(const std::wstring& path, const std::wstring& emptyFolder)
{
    if (path.empty())
        return false;
    // The system folder's interpreter, not the one %ComSpec% names: the
    // user's environment reaches this elevated process.
    const std::wstring interpreter = utility::process::systemToolPath(L"cmd.exe");
    if (interpreter.empty())
        return false;
    // "/D": the AutoRun command of the user's registry must not run with
    // this process's rights. Paths are quoted, so blanks never split them
    // into other targets; the pause lets the exiting process release its
    // executable first. "rmdir" without "/s" removes only a folder that is
    // empty by then.
    std::wstring params = L"/D /c ping -n 3 127.0.0.1 >NUL & del /f /q \"" + shortPathOf(path) + L"\" >> NUL";
    std::wstring folder = emptyFolder;
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    if (!folder.empty())
        params += L" & rmdir \"" + shortPathOf(folder) + L"\" >NUL 2>NUL";
    // The interpreter must not stand in the folder it removes. Standing in
    // the system folder, it also finds "ping" there before any on the PATH.
    wchar_t systemDir[MAX_PATH] = {0};
    UINT systemLength = GetSystemDirectoryW(systemDir, MAX_PATH);
    const wchar_t* workDir = (systemLength > 0 && systemLength < MAX_PATH) ? systemDir : nullptr;
    return utility::process::shell(interpreter, params, false, false, workDir ? workDir : L"");
}

bool DeleteSelf()
{
    wchar_t path[MAX_PATH] = {0};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::wstring folder = removedInstallFolder();
    if (folder.empty() || normalizedFolder(folder) != normalizedFolder(utility::ufile::getParentDir(path))) {
        common::log("DeleteSelf", __LINE__, L"%s stays: it does not lie in the removed install folder", path);
        return false;
    }
    return deleteFileLater(path, folder);
}
