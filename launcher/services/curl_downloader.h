// The launcher's libcurl client: a fetch into memory and a fetch into a file
// with resume, a speed cap and percentage progress.
#pragma once

#include <curl/curl.h>

#include <functional>
#include <string>

#include "foundation/worker_thread.h"

class KXCurlDownloader {
public:
    // (percent, bytes done, bytes total); called at most once a second and
    // never with 100: the caller reports completion itself.
    typedef std::function<void(int, unsigned long long, unsigned long long)> ProgressCallback;

    static constexpr long kMemoryConnectTimeoutMs = 4000;
    static constexpr long kMemoryTimeoutMs = 8000;
    static constexpr long kFileConnectTimeoutMs = 4000;
    static constexpr long kFileTimeoutMs = 1800000;
    static constexpr long kMaxRedirects = 5;
    static constexpr curl_off_t kMaxRecvSpeed = 20971520;
    static constexpr unsigned kProgressIntervalMs = 1000;

    // With a worker, both downloads end early (false) once its stop is
    // requested: curl asks at least once a second while a transfer lasts.
    explicit KXCurlDownloader(const utility::WorkerThread* worker = nullptr) : worker_(worker) {}

    // curl_global_init, once per process; later calls return the first result.
    static bool globalInit();

    // Both downloads fetch only http and https addresses (also when
    // redirected) and take an https server only with a valid certificate for
    // its host name.

    // Fetches url with a handle made by curl_easy_init; the handle is always
    // cleaned up. On success the body is kept (see body()). A body longer
    // than utility::urlpolicy::kMaxDocumentBytes is refused.
    bool downloadMemory(const std::string& url, CURL* handle);
    // Fetches url into path, continuing after the bytes already in the file.
    // With maxBytes (0: none), a file that would grow beyond it, announced or
    // found while it arrives, is refused and its partial file deleted.
    bool downloadFile(const std::string& path, const std::string& url, const ProgressCallback& progress,
                      unsigned long long maxBytes = 0);

    const std::string& body() const { return body_; }

    static size_t WriteMemoryCallback(void* data, size_t size, size_t count, void* chunk);

private:
    const utility::WorkerThread* worker_;
    std::string body_;
};
