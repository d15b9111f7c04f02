#include "test_util.h"

#include <shellapi.h>
#include <wincrypt.h>

#include <vector>

namespace testutil {

TempDir::TempDir()
{
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    wchar_t name[64];
    swprintf(name, 64, L"zult_%lu_%ld_%lu\\", GetCurrentProcessId(), InterlockedIncrement(&counter), GetTickCount());
    path_ = std::wstring(base) + name;
    CreateDirectoryW(path_.c_str(), nullptr);
}

TempDir::~TempDir() { removeTree(path_); }

ScopedEnvironmentVariable::ScopedEnvironmentVariable(const wchar_t* name, const std::wstring& value) : name_(name)
{
    wchar_t previous[32768] = {0};
    const DWORD length = GetEnvironmentVariableW(name, previous, 32768);
    hadPrevious_ = length > 0 && length < 32768;
    if (hadPrevious_)
        previous_.assign(previous, length);
    SetEnvironmentVariableW(name, value.c_str());
}

ScopedEnvironmentVariable::~ScopedEnvironmentVariable()
{
    SetEnvironmentVariableW(name_.c_str(), hadPrevious_ ? previous_.c_str() : nullptr);
}

void removeTree(const std::wstring& path)
{
    std::wstring dir = path;
    if (!dir.empty() && dir.back() == L'\\')
        dir.pop_back();
    if (dir.size() < 4)
        return;  // never a drive root
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = dir + L"\\" + name;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                removeTree(child);
            } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveDirectoryW(child.c_str());
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(dir.c_str());
}

bool writeFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool readFile(const std::wstring& path, std::string& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    CloseHandle(file);
    return true;
}

std::string readFile(const std::wstring& path)
{
    std::string bytes;
    readFile(path, bytes);
    return bytes;
}

std::vector<std::wstring> readLines(const std::wstring& path)
{
    const std::wstring text = widen(readFile(path));
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

bool fileExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool dirExists(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring exeDir()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir = path;
    return dir.substr(0, dir.find_last_of(L'\\') + 1);
}

bool writeTableSpeaking(const std::string& unixSource, const std::wstring& path, const std::string& language)
{
    std::wstring source = L"Z:" + widen(unixSource);
    for (wchar_t& c : source) {
        if (c == L'/')
            c = L'\\';
    }
    std::string table;
    if (!readFile(source, table))
        return false;
    const size_t rowEnd = table.find_first_of("\r\n");
    std::string row = table.substr(0, rowEnd);
    const size_t english = row.find("\ten_US");
    const size_t other = row.find("\t" + language);
    if (english == std::string::npos || other == std::string::npos || language.size() != 5)
        return false;
    row.replace(other + 1, 5, "en_US");
    row.replace(english + 1, 5, language);
    return writeFile(path, row + table.substr(rowEnd));
}

std::vector<ScreenshotLanguage> screenshotLanguages()
{
    const std::vector<ScreenshotLanguage> all = {{L"en", "en_US"}, {L"tw", "zh_TW"}, {L"cn", "zh_CN"}, {L"kr", "ko_KR"},
                                                 {L"jp", "ja_JP"}, {L"vn", "vi_VN"}, {L"th", "th_TH"}, {L"pt", "pt_PT"},
                                                 {L"id", "in_ID"}, {L"en", "ar_IL"}};
    if (sizeof(void*) == 8)
        return all;
    return {all[0], all[1], all[6], all[9]};
}

bool hasDisplay() { return GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0; }

bool pumpUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (pred())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void pumpFor(DWORD ms)
{
    pumpUntil([] { return false; }, ms);
}

std::wstring widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string narrow(const std::wstring& wide)
{
    if (wide.empty())
        return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
}

bool trustRootCertificate(const std::wstring& derFile)
{
    const std::string der = readFile(derFile);
    if (der.empty())
        return false;
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (!root)
        return false;
    const BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING,
                                                        reinterpret_cast<const BYTE*>(der.data()),
                                                        static_cast<DWORD>(der.size()), CERT_STORE_ADD_USE_EXISTING,
                                                        nullptr);
    CertCloseStore(root, 0);
    return added != FALSE;
}

}  // namespace testutil
