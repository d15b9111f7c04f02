// zuldl: downloads one URL to a file and prints the time taken and the peak
// working set; the download benchmark compares its three modes.
//   zuldl wininet URL FILE   the WinINet downloader
//   zuldl curl URL FILE      the curl downloader
//   zuldl bare URL FILE      a plain WinINet read loop with the same request and block size
#include <winsock2.h>  // before windows.h, for libcurl
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "foundation/log.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/http_downloader.h"

namespace {

std::string toAcp(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return std::string();
    std::string out(static_cast<size_t>(n - 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

// The platform's own ceiling for the WinINet path: no sinks, no checks.
bool bareDownload(const std::wstring& url, const std::wstring& path)
{
    utility::CHttpClient parts;
    if (!parts.open(url, nullptr))
        return false;
    HINTERNET session = InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = session ? InternetConnectW(session, parts.host().c_str(), parts.port(),
                                                      nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1)
                                   : nullptr;
    const wchar_t* accept[] = {L"*/*", nullptr};
    HINTERNET request = connection ? HttpOpenRequestW(connection, L"GET", parts.path().c_str(),
                                                      L"HTTP/1.1", nullptr, accept,
                                                      parts.requestFlags(), 1)
                                   : nullptr;
    std::wstring headers = parts.buildHeaderBlock();
    bool ok = request && HttpSendRequestW(request, headers.c_str(),
                                          static_cast<DWORD>(headers.size()), nullptr, 0);
    HANDLE file = ok ? CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr)
                     : INVALID_HANDLE_VALUE;
    ok = file != INVALID_HANDLE_VALUE;
    std::vector<char> block(utility::CHttpClient::kReadBlockSize);
    while (ok) {
        DWORD read = 0;
        if (!InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &read)) {
            ok = false;
            break;
        }
        if (read == 0)
            break;
        DWORD written = 0;
        ok = WriteFile(file, block.data(), read, &written, nullptr) && written == read;
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (request)
        InternetCloseHandle(request);
    if (connection)
        InternetCloseHandle(connection);
    if (session)
        InternetCloseHandle(session);
    return ok;
}

// The tool has no log file: its log lines go to the error stream.
void logToStderr(const char* function, int line, const wchar_t* message)
{
    fprintf(stderr, "%s(%d): %ls\n", function, line, message);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        fwprintf(stderr, L"usage: zuldl wininet|curl|bare URL FILE\n");
        return 2;
    }
    common::setLogSink(&logToStderr);
    std::wstring mode = argv[1];
    std::wstring url = argv[2];
    std::wstring path = argv[3];

    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool ok = false;
    if (mode == L"wininet") {
        utility::CHttpDownloader downloader;
        ok = downloader.download2file(url, path, nullptr, false);
    } else if (mode == L"curl") {
        KXCurlDownloader::globalInit();
        KXCurlDownloader downloader;
        ok = downloader.downloadFile(toAcp(path), toAcp(url), [](int, int, int) {});
    } else if (mode == L"bare") {
        ok = bareDownload(url, path);
    } else {
        fwprintf(stderr, L"unknown mode %ls\n", mode.c_str());
        return 2;
    }
    QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;

    PROCESS_MEMORY_COUNTERS counters;
    ZeroMemory(&counters, sizeof(counters));
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    printf("mode=%ls ok=%d seconds=%.3f peak_mb=%.1f\n", mode.c_str(), ok ? 1 : 0, seconds,
           counters.PeakWorkingSetSize / (1024.0 * 1024.0));
    return ok ? 0 : 1;
}
