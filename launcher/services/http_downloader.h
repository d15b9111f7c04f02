// WinINet downloads into memory or into a file (with resume), run on the
// downloader's own worker thread and cut short by stop().
#pragma once

#include <windows.h>

#include <string>

#include "foundation/worker_thread.h"
#include "launcher/services/file_download.h"
#include "launcher/services/file_handle.h"
#include "launcher/services/http_client.h"

namespace utility {

class CHttpDownloader : public CHttpClient {
public:
    // Implemented by the owner of a file download; told of every block.
    typedef IDownloadProgress IHttpDownloadSink;

    // The total reported when the server gives no length.
    static constexpr unsigned long long kAssumedTotal = 10485760;
    static constexpr DWORD kStopJoinMs = 2000;

    CHttpDownloader() {}

    // Appends the whole body to buffer; a body longer than
    // urlpolicy::kMaxDocumentBytes fails.
    bool downloadMemory(const std::wstring& url, std::string& buffer);
    // Writes the body to path; with resume, continues after the bytes
    // already in the file. With maxBytes (0: none), a file that would grow
    // beyond it, announced or found while it arrives, is refused and its
    // partial file deleted. (Files are fetched through downloadToFile.)
    bool download2file(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* sink, bool resume,
                       unsigned long long maxBytes = 0);

    bool start(Runable* task);
    // Requests a stop, aborts the transfer and joins the worker for up to
    // waitMs (then ends it by force).
    void stop(DWORD waitMs = kStopJoinMs);
    // An interruptible pause: false when a stop was requested.
    bool waitFor(DWORD ms);

    WorkerThread& worker() { return worker_; }
    unsigned long long resumeOffset() const { return resumeOffset_; }

private:
    WorkerThread worker_;
    unsigned long long resumeOffset_ = 0;
};

// Collects a body into the caller's buffer; a body longer than
// urlpolicy::kMaxDocumentBytes, announced or found while reading, is refused.
class CHttpDownload2MemSink : public CHttpClient::IHttpClientSink {
public:
    CHttpDownload2MemSink(std::string& buffer, const WorkerThread& worker) : buffer_(buffer), worker_(worker) {}

    void onHttpError(int stage, DWORD error) override;
    bool onHttpRecvHeader(unsigned long long contentLength, DWORD status) override;
    bool onHttpRecvData(const char* bytes, DWORD count) override;
    void onHttpComplete() override {}

private:
    std::string& buffer_;
    const WorkerThread& worker_;
    size_t received_ = 0;
};

// Writes a body to a file: 206 continues the partial file when its range
// starts where the file ends, 200 starts it anew; 416, a 206 for another
// range, or a file beyond the cap deletes it so the next try starts clean.
class CHttpDownload2FileSink : public CHttpClient::IHttpClientSink {
public:
    // client: the one receiving the response (its Content-Range is checked).
    CHttpDownload2FileSink(const std::wstring& path, const CHttpClient& client, const WorkerThread& worker,
                           CHttpDownloader::IHttpDownloadSink* progress, unsigned long long resumeOffset,
                           unsigned long long maxBytes = 0);

    void onHttpError(int stage, DWORD error) override;
    bool onHttpRecvHeader(unsigned long long contentLength, DWORD status) override;
    bool onHttpRecvData(const char* bytes, DWORD count) override;
    void onHttpComplete() override;

    void closeFile();
    unsigned long long received() const { return received_; }
    unsigned long long total() const { return total_; }

private:
    bool openForAppend();
    bool createEmpty();
    void deletePartialFile(const wchar_t* why);

    FileHandle file_;
    std::wstring path_;
    const CHttpClient& client_;
    const WorkerThread& worker_;
    CHttpDownloader::IHttpDownloadSink* progress_;
    unsigned long long received_ = 0;
    unsigned long long total_ = 0;
    unsigned long long resumeOffset_;
    unsigned long long maxBytes_;
};

}  // namespace utility
