// zuldl: downloads one URL to a file and prints the time taken and the peak
// working set; the download benchmark compares its first three modes, the
// package benchmark the last two.
//   zuldl wininet URL FILE        the WinINet downloader
//   zuldl curl URL FILE           the curl downloader
//   zuldl bare URL FILE           a plain WinINet read loop with the same request and block size
//   zuldl package URL FILE DIR    the launcher's emulator-package path: the WinINet
//                                 downloader into FILE.tmp with the main window's
//                                 progress sink, moved onto FILE, unpacked into DIR
#include <winsock2.h>  // before windows.h, for libcurl
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "foundation/log.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/system_dll.h"
#include "launcher/launcher_rules.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/http_downloader.h"

namespace {

// The platform's own ceiling for the WinINet path: no sinks, no checks.
bool bareDownload(const std::wstring& url, const std::wstring& path)
{
    utility::CHttpClient parts;
    if (!parts.open(url, nullptr))
        return false;
    const wchar_t* accept[] = {L"*/*", nullptr};
    const std::wstring headers = parts.buildHeaderBlock();
    HINTERNET session = InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET connection = InternetConnectW(session, parts.host().c_str(), parts.port(), nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 1);
    HINTERNET request = HttpOpenRequestW(connection, L"GET", parts.path().c_str(), L"HTTP/1.1", nullptr, accept,
                                         parts.requestFlags(), 1);
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    bool ok = request && file != INVALID_HANDLE_VALUE &&
              HttpSendRequestW(request, headers.c_str(), static_cast<DWORD>(headers.size()), nullptr, 0);
    std::vector<char> block(utility::CHttpClient::kReadBlockSize);
    for (DWORD read = 1, written = 0; ok && read > 0;) {
        ok = InternetReadFile(request, block.data(), static_cast<DWORD>(block.size()), &read) &&
             WriteFile(file, block.data(), read, &written, nullptr) && written == read;
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    for (HINTERNET handle : {request, connection, session}) {
        if (handle)
            InternetCloseHandle(handle);
    }
    return ok;
}

// What the launcher's main window does with download progress and unpack
// events, without a window to show them: the progress is counted and turned
// into a percentage once a second; the unpack goes on to the end.
class PackageSink : public utility::CHttpDownloader::IHttpDownloadSink, public SzExtractCallback {
public:
    bool onDownloadProgress(const char*, DWORD count, unsigned long long received, unsigned long long total) override
    {
        bytes_ += count;
        const DWORD now = GetTickCount();
        if (last_ == 0 || now - last_ >= 1000) {
            percent_ = rules::downloadPercent(received, total);
            last_ = now ? now : 1;
            bytes_ = 0;
        }
        return true;
    }
    bool shouldContinue() override { return true; }
    void onProcessing(const wchar_t*, uint64_t, uint64_t, uint64_t, uint64_t) override {}
    void onResult(int32_t code, const wchar_t*) override { result_ = code; }

    int percent_ = 0;
    int32_t result_ = -1;

private:
    DWORD last_ = 0;
    unsigned long long bytes_ = 0;
};

double secondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

// The tool has no log file: its log lines go to the error stream.
void logToStderr(const char* function, int line, const wchar_t* message)
{
    fprintf(stderr, "%s(%d): %ls\n", function, line, message);
}

std::string toAcp(const std::wstring& text)
{
    std::string out(text.size() * 4 + 1, '\0');
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &out[0], static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    utility::restrictDllSearch();
    const std::wstring mode = argc >= 4 ? argv[1] : L"";
    const bool package = mode == L"package" && argc == 5;
    if (!package && (argc != 4 || (mode != L"wininet" && mode != L"curl" && mode != L"bare"))) {
        fwprintf(stderr, L"usage: zuldl wininet|curl|bare URL FILE\n       zuldl package URL FILE DIR\n");
        return 2;
    }
    common::setLogSink(&logToStderr);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool ok = false;
    double downloadSeconds = 0;
    if (package) {
        PackageSink sink;
        const std::wstring partial = std::wstring(argv[3]) + L".tmp";
        utility::CHttpDownloader downloader;
        ok = downloader.download2file(argv[2], partial, &sink, true) &&
             utility::ufile::moveFile(partial, argv[3], MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
        downloadSeconds = secondsSince(start);
        ok = ok && SzExtractFileToDir(argv[3], argv[4], &sink) == kSzOk && sink.result_ == kSzOk;
    } else if (mode == L"wininet") {
        utility::CHttpDownloader downloader;
        ok = downloader.download2file(argv[2], argv[3], nullptr, false);
    } else if (mode == L"curl") {
        KXCurlDownloader::globalInit();
        KXCurlDownloader downloader;
        ok = downloader.downloadFile(toAcp(argv[3]), toAcp(argv[2]), [](int, int, int) {});
    } else {
        ok = bareDownload(argv[2], argv[3]);
    }
    QueryPerformanceCounter(&end);

    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    printf("mode=%ls ok=%d seconds=%.3f peak_mb=%.1f", mode.c_str(), ok ? 1 : 0,
           static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
           counters.PeakWorkingSetSize / (1024.0 * 1024.0));
    if (package)
        printf(" download_seconds=%.3f", downloadSeconds);
    printf("\n");
    return ok ? 0 : 1;
}
