// The launcher's one download to a file, for every file it fetches: the
// emulator and game packages, its own installer, the background pictures.
//
// downloadToFile owns the partial file, target + ".tmp"; callers never touch
// it. A fresh download deletes one that an earlier call left; a resumable one
// continues it. It tries WinINet, then libcurl, as often as asked, each try
// continuing the bytes of the one before, and moves the finished file onto
// the target in one step (an old target stays in place until then). Every
// failure is logged once and removes the partial file, except a cut or
// stopped transfer of a resumable download: its bytes are the true
// beginning of the file, kept for the next call. (A partial file that the
// server cannot continue, or one past the cap, is deleted by the transport
// that finds out.)
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "foundation/url_policy.h"

namespace utility {

class CHttpDownloader;
class WorkerThread;

// Told of a file download's bytes as they arrive, on the download thread.
class IDownloadProgress {
public:
    // received and total include the bytes that were already on disk;
    // received never exceeds total. count is the bytes since the last call;
    // bytes holds them where the transport hands them over (WinINet) and is
    // null where it reports counts only (libcurl, at most once a second).
    // False stops the download.
    virtual bool onDownloadProgress(const char* bytes, DWORD count, unsigned long long received,
                                    unsigned long long total) = 0;

protected:
    ~IDownloadProgress() {}
};

// True when a 206's Content-Range ("bytes FIRST-LAST/TOTAL") starts at
// offset, the end of the partial file: only then may its body be appended.
// "bytes */TOTAL" and anything unreadable do not continue the file.
bool rangeContinuesFile(const std::wstring& contentRange, unsigned long long offset);

enum class DownloadResult { kDone, kFailed, kStopped };

struct FileDownloadRequest {
    const wchar_t* what = L"file";  // names the file in log lines: "package", "picture", ...
    std::wstring url;
    std::wstring target;
    // Continue a partial file left by an earlier call; else start fresh.
    bool resume = false;
    // The largest file taken, bytes on disk included; 0: no limit.
    unsigned long long maxBytes = 0;
    urlpolicy::Schemes schemes = urlpolicy::Schemes::HttpOrHttps;
    // WinINet tries go through this downloader (its schemes and headers hold);
    // the caller may abort it from another thread with closeSession().
    CHttpDownloader* wininet = nullptr;
    int wininetTries = 0;
    int curlTries = 0;
    DWORD retryPauseMs = 100;
    // Its stop request ends the download (kStopped); the pause between tries waits on it.
    WorkerThread* worker = nullptr;
    IDownloadProgress* progress = nullptr;
    // Checks the whole partial file before it is moved into place; false
    // refuses it (the check logs why). An empty file is always refused.
    std::function<bool(const std::wstring& partial)> accept;
};

std::wstring partialPathOf(const std::wstring& target);

// kDone only when the target holds the whole file.
DownloadResult downloadToFile(const FileDownloadRequest& request);

}  // namespace utility
