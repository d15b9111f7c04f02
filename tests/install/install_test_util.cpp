#include "install_test_util.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <mutex>

#include "foundation/log.h"
#include "common/test_util.h"

namespace insttest {

std::vector<Progress> runInstallJob(KXSpaceModel& model, DWORD timeoutMs)
{
    std::vector<Progress> seen;
    DWORD uiThread = GetCurrentThreadId();
    bool offThread = false;
    model.setProgressCallback([&](int percent, const std::wstring& text) {
        if (GetCurrentThreadId() != uiThread)
            offThread = true;
        seen.push_back(Progress{percent, text});
    });
    if (!model.startInstallJob())
        return seen;
    testutil::pumpUntil(
        [&] { return !seen.empty() && (seen.back().percent == 100 || seen.back().percent == -1); },
        timeoutMs);
    model.joinWorker(5000);
    testutil::pumpFor(50);
    model.setProgressCallback(nullptr);
    if (offThread)
        seen.push_back(Progress{-1000, L"progress reported off the UI thread"});
    return seen;
}

namespace {
std::mutex g_logMutex;
std::vector<std::wstring> g_logLines;

void captureSink(const char* function, int line, const wchar_t* message)
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

bool LogCapture::contains(const std::wstring& text) const { return count(text) > 0; }

int LogCapture::count(const std::wstring& text) const
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    int n = 0;
    for (const std::wstring& line : g_logLines) {
        if (line.find(text) != std::wstring::npos)
            ++n;
    }
    return n;
}

bool readRegString(HKEY root, const std::wstring& key, const std::wstring& name,
                   std::wstring& value)
{
    value.clear();
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    wchar_t buffer[2048] = {0};
    DWORD size = sizeof(buffer) - sizeof(wchar_t);
    DWORD type = 0;
    LONG result = RegQueryValueExW(handle, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return false;
    value = buffer;
    return true;
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
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
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
        if (SUCCEEDED(file->Load(link.c_str(), STGM_READ))) {
            wchar_t path[MAX_PATH] = {0};
            wchar_t dir[MAX_PATH] = {0};
            ok = SUCCEEDED(shellLink->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                 SUCCEEDED(shellLink->GetWorkingDirectory(dir, MAX_PATH));
            target = path;
            workingDir = dir;
        }
        file->Release();
    }
    shellLink->Release();
    return ok;
}

void removeInstallTraces()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kProductRegKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProductRegKey);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kUninstallRegKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallRegKey);
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunRegKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        RegDeleteValueW(run, kProductName);
        RegCloseKey(run);
    }
    for (const std::wstring& link : shortcutPaths())
        DeleteFileW(link.c_str());
    RemoveDirectoryW((shellFolder(CSIDL_PROGRAMS) + L"\\ZUL").c_str());
}

namespace {
void collectFiles(const std::wstring& root, const std::wstring& relative,
                  std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            collectFiles(root, relative + name + L"\\", files);
        else
            files.push_back(relative + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
}
}  // namespace

std::vector<std::wstring> listFiles(const std::wstring& folder)
{
    std::vector<std::wstring> files;
    collectFiles(folder, L"", files);
    return files;
}

std::vector<std::wstring> recordedCommandLines(const std::wstring& recordFile)
{
    std::vector<std::wstring> lines;
    std::string bytes;
    if (!testutil::readFile(recordFile, bytes))
        return lines;
    size_t start = 0;
    for (size_t end = bytes.find("\r\n"); end != std::string::npos;
         end = bytes.find("\r\n", start)) {
        lines.push_back(testutil::widen(bytes.substr(start, end - start)));
        start = end + 2;
    }
    return lines;
}

}  // namespace insttest
