#include <winsock2.h>  // before windows.h, for libcurl

#include "launcher/services/file_download.h"

#include <stdlib.h>

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "foundation/worker_thread.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/http_downloader.h"

namespace utility {

namespace {

const DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED;

bool stopRequested(const FileDownloadRequest& request) { return request.worker && request.worker->isStopRequested(); }

// libcurl reports the bytes so far at most once a second; the progress
// hears the bytes since its last call.
class CurlProgress {
public:
    CurlProgress(IDownloadProgress* progress, unsigned long long onDisk) : progress_(progress), previous_(onDisk) {}

    void operator()(int, unsigned long long done, unsigned long long total)
    {
        const unsigned long long count = done > previous_ ? done - previous_ : 0;
        previous_ = done;
        if (progress_)
            progress_->onDownloadProgress(nullptr, static_cast<DWORD>(count > MAXDWORD ? MAXDWORD : count), done,
                                          total);
    }

private:
    IDownloadProgress* progress_;
    unsigned long long previous_;
};

// One try over either transport, continuing the partial file; true when it is complete.
bool tryWinInet(const FileDownloadRequest& request, const std::wstring& partial)
{
    return request.wininet->download2file(request.url, partial, request.progress, true, request.maxBytes);
}

bool tryCurl(const FileDownloadRequest& request, const std::wstring& partial, const std::string& ansiPartial)
{
    unsigned long long onDisk = 0;
    ufile::getFileSize(partial, onDisk);
    KXCurlDownloader downloader(request.worker);
    const CurlProgress progress(request.progress, onDisk);
    return downloader.downloadFile(ansiPartial, ustring::toUtf8(request.url),
                                   KXCurlDownloader::ProgressCallback(progress), request.maxBytes);
}

// Checks the finished partial file and moves it onto the target.
DownloadResult finish(const FileDownloadRequest& request, const std::wstring& partial)
{
    if (request.accept && !request.accept(partial)) {
        ufile::deleteIfPresent(partial);
        return DownloadResult::kFailed;
    }
    unsigned long long size = 0;
    if (!ufile::getFileSize(partial, size) || size == 0) {
        common::log("utility::downloadToFile", __LINE__, L"%s %s is empty", request.what, request.url.c_str());
        ufile::deleteIfPresent(partial);
        return DownloadResult::kFailed;
    }
    if (!ufile::moveFile(partial, request.target, kMoveFlags)) {
        common::log("utility::downloadToFile", __LINE__, L"%s %s not moved into place lastError = %d", request.what,
                    request.target.c_str(), GetLastError());
        ufile::deleteIfPresent(partial);
        return DownloadResult::kFailed;
    }
    return DownloadResult::kDone;
}

}  // namespace

bool rangeContinuesFile(const std::wstring& contentRange, unsigned long long offset)
{
    const size_t digits = contentRange.find_first_of(L"0123456789*");
    if (digits == std::wstring::npos || contentRange[digits] == L'*')
        return false;
    wchar_t* end = nullptr;
    const unsigned long long first = _wcstoui64(contentRange.c_str() + digits, &end, 10);
    return end && *end == L'-' && first == offset;
}

std::wstring partialPathOf(const std::wstring& target) { return target + L".tmp"; }

DownloadResult downloadToFile(const FileDownloadRequest& request)
{
    // The address comes from a remote document: only a web address is
    // fetched (a file:// one would copy a local file into the folder).
    if (!urlpolicy::isAllowed(request.url, request.schemes)) {
        common::log("utility::downloadToFile", __LINE__, L"%s address refused: %s", request.what, request.url.c_str());
        return DownloadResult::kFailed;
    }
    const std::wstring partial = partialPathOf(request.target);
    std::string ansiPartial;
    const bool curlPossible = request.curlTries > 0 && ufile::toAnsiPath(partial, ansiPartial);
    if (request.curlTries > 0 && !curlPossible)
        common::log("utility::downloadToFile", __LINE__, L"path %s has no ANSI form, no curl try", partial.c_str());

    if (!request.resume && !ufile::deleteIfPresent(partial))
        return DownloadResult::kFailed;
    const int wininetTries = request.wininet ? request.wininetTries : 0;
    const int curlTries = curlPossible ? request.curlTries : 0;
    for (int attempt = 0; attempt < wininetTries + curlTries; ++attempt) {
        if (attempt > 0 && request.worker)
            request.worker->waitFor(request.retryPauseMs);
        if (stopRequested(request))
            return DownloadResult::kStopped;
        const bool wininet = attempt < wininetTries;
        if (wininet ? tryWinInet(request, partial) : tryCurl(request, partial, ansiPartial)) {
            common::log("utility::downloadToFile", __LINE__,
                        wininet ? L"ie download file sucess %s" : L"curl download file sucess %s",
                        request.target.c_str());
            return finish(request, partial);
        }
    }
    const bool stopped = stopRequested(request);
    if (!request.resume)
        ufile::deleteIfPresent(partial);
    common::log("utility::downloadToFile", __LINE__, stopped ? L"%s download stopped: %s" : L"%s download failed: %s",
                request.what, request.url.c_str());
    return stopped ? DownloadResult::kStopped : DownloadResult::kFailed;
}

}  // namespace utility
