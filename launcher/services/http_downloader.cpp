#include "launcher/services/http_downloader.h"

#include "foundation/log.h"
#include "foundation/ufile.h"
#include "launcher/services/file_ex.h"

namespace utility {

// ---- memory sink ----

void CHttpDownload2MemSink::onHttpError(int stage, DWORD error)
{
    common::log("utility::CHttpDownload2MemSink::onHttpError", __LINE__, L"onHttpErro %d, %d", stage, error);
}

bool CHttpDownload2MemSink::onHttpRecvHeader(unsigned long long contentLength, DWORD status)
{
    if (status < 200 || status > 299) {
        common::log("utility::CHttpDownload2MemSink::onHttpRecvHeader", __LINE__, L"onHttpErro status = %d", status);
        return false;
    }
    received_ = 0;
    if (contentLength != CHttpClient::kUnknownLength &&
        !urlpolicy::withinCap(0, contentLength, urlpolicy::kMaxDocumentBytes)) {
        common::log("utility::CHttpDownload2MemSink::onHttpRecvHeader", __LINE__,
                    L"document refused: larger than %u bytes (%I64u announced)",
                    static_cast<unsigned>(urlpolicy::kMaxDocumentBytes), contentLength);
        return false;
    }
    return true;
}

bool CHttpDownload2MemSink::onHttpRecvData(const char* bytes, DWORD count)
{
    if (worker_.isStopRequested())
        return false;
    // A document is small: more than this is no document of ours, and
    // taking it could exhaust the memory.
    if (!urlpolicy::withinCap(received_, count, urlpolicy::kMaxDocumentBytes)) {
        common::log("utility::CHttpDownload2MemSink::onHttpRecvData", __LINE__,
                    L"document refused: larger than %u bytes", static_cast<unsigned>(urlpolicy::kMaxDocumentBytes));
        return false;
    }
    received_ += count;
    buffer_.append(bytes, count);
    return true;
}

// ---- file sink ----

CHttpDownload2FileSink::CHttpDownload2FileSink(const std::wstring& path, const CHttpClient& client,
                                               const WorkerThread& worker, CHttpDownloader::IHttpDownloadSink* progress,
                                               unsigned long long resumeOffset, unsigned long long maxBytes)
    : path_(path),
      client_(client),
      worker_(worker),
      progress_(progress),
      resumeOffset_(resumeOffset),
      maxBytes_(maxBytes)
{
}

void CHttpDownload2FileSink::closeFile() { file_.close(); }

bool CHttpDownload2FileSink::openForAppend()
{
    if (!file_.open(path_, true)) {
        common::log("utility::CHttpDownload2FileSink::openForAppend", __LINE__,
                    L"downloader error open file error: lasterror %d", GetLastError());
        return false;
    }
    if (!file_.seekToEnd()) {
        closeFile();
        return false;
    }
    return true;
}

bool CHttpDownload2FileSink::createEmpty()
{
    if (!file_.create(path_)) {
        common::log("utility::CHttpDownload2FileSink::createEmpty", __LINE__,
                    L"create file error; filename %s lasterror:%d", path_.c_str(), GetLastError());
        return false;
    }
    return true;
}

// The server cannot serve the rest of this partial file: every later resume
// would fail the same way, so the next try starts clean.
void CHttpDownload2FileSink::deletePartialFile(const wchar_t* why)
{
    if (ufile::deleteIfPresent(path_))
        common::log("utility::CHttpDownload2FileSink::onHttpRecvHeader", __LINE__, L"%s, partial file %s deleted", why,
                    path_.c_str());
}

bool CHttpDownload2FileSink::onHttpRecvHeader(unsigned long long contentLength, DWORD status)
{
    if (status < 200 || status > 299) {
        common::log("utility::CHttpDownload2FileSink::onHttpRecvHeader", __LINE__, L"onHttpErro status = %d", status);
        if (status == 416 && resumeOffset_ > 0)
            deletePartialFile(L"range refused");
        return false;
    }

    bool known = contentLength != CHttpClient::kUnknownLength && contentLength != 0;
    total_ = known ? contentLength : CHttpDownloader::kAssumedTotal;
    received_ = 0;

    const bool continues = resumeOffset_ > 0 && status == 206;
    if (known && !urlpolicy::withinCap(continues ? resumeOffset_ : 0, contentLength, maxBytes_)) {
        common::log("utility::CHttpDownload2FileSink::onHttpRecvHeader", __LINE__,
                    L"file refused: larger than %I64u bytes (%I64u announced)", maxBytes_, contentLength);
        if (resumeOffset_ > 0)
            deletePartialFile(L"file too large");
        return false;
    }
    if (continues) {
        if (!rangeContinuesFile(client_.contentRange(), resumeOffset_)) {
            // Appending bytes from elsewhere in the file would corrupt it.
            common::log("utility::CHttpDownload2FileSink::onHttpRecvHeader", __LINE__,
                        L"asked for bytes from %I64u, got range [%s]", resumeOffset_, client_.contentRange().c_str());
            deletePartialFile(L"range does not continue the file");
            return false;
        }
        received_ = resumeOffset_;
        total_ += resumeOffset_;
        return openForAppend();
    }
    if (resumeOffset_ > 0) {
        // The range was ignored and the full body follows: appending it would
        // corrupt the file.
        common::log("utility::CHttpDownload2FileSink::onHttpRecvHeader", __LINE__,
                    L"range ignored (status %d), downloading %s from the start", status, path_.c_str());
    }
    return createEmpty();
}

bool CHttpDownload2FileSink::onHttpRecvData(const char* bytes, DWORD count)
{
    if (worker_.isStopRequested())
        return false;
    if (!file_.isOpen())
        return false;
    // A server may send no length, or more than it announced: the bytes are
    // counted as they come.
    if (!urlpolicy::withinCap(received_, count, maxBytes_)) {
        common::log("utility::CHttpDownload2FileSink::onHttpRecvData", __LINE__,
                    L"file refused: larger than %I64u bytes", maxBytes_);
        closeFile();
        deletePartialFile(L"file too large");
        return false;
    }
    received_ += count;
    if (received_ > total_)
        total_ = received_;
    if (progress_ && !progress_->onDownloadProgress(bytes, count, received_, total_))
        return false;
    if (!file_.write(bytes, count)) {
        common::log("utility::CHttpDownload2FileSink::onHttpRecvData", __LINE__, L"write %s failed lastError = %d",
                    path_.c_str(), GetLastError());
        return false;
    }
    return true;
}

void CHttpDownload2FileSink::onHttpError(int stage, DWORD error)
{
    closeFile();
    common::log("utility::CHttpDownload2FileSink::onHttpError", __LINE__, L"onHttpErro %d, %d", stage, error);
}

void CHttpDownload2FileSink::onHttpComplete() { closeFile(); }

// ---- downloader ----

bool CHttpDownloader::downloadMemory(const std::wstring& url, std::string& buffer)
{
    closeSession();
    removeHeader(L"Range");
    CHttpDownload2MemSink sink(buffer, worker_);
    bool ok = open(url, &sink) && send();
    closeSession();
    return ok;
}

bool CHttpDownloader::download2file(const std::wstring& url, const std::wstring& path, IHttpDownloadSink* progress,
                                    bool resume, unsigned long long maxBytes)
{
    closeSession();
    removeHeader(L"Range");
    resumeOffset_ = 0;
    if (resume) {
        utility::ufile::getFileSize(path, resumeOffset_);
        common::log("utility::CHttpDownloader::download2file", __LINE__, L"start size %I64u", resumeOffset_);
        if (resumeOffset_ > 0)
            setHeader(L"Range", L"bytes=" + std::to_wstring(resumeOffset_) + L"-");
    }
    CHttpDownload2FileSink sink(path, *this, worker_, progress, resumeOffset_, maxBytes);
    bool ok = open(url, &sink) && send();
    closeSession();
    sink.closeFile();
    return ok;
}

bool CHttpDownloader::start(Runable* task) { return worker_.start(task); }

void CHttpDownloader::stop(DWORD waitMs)
{
    worker_.requestStop();
    closeSession();
    worker_.join(waitMs);
}

bool CHttpDownloader::waitFor(DWORD ms)
{
    if (worker_.isStopRequested())
        return false;
    worker_.waitFor(ms);
    return !worker_.isStopRequested();
}

}  // namespace utility
