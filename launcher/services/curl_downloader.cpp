#include "launcher/services/curl_downloader.h"

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <mutex>

#include "foundation/log.h"
#include "foundation/scoped_handle.h"
#include "foundation/ufile.h"
#include "foundation/url_policy.h"
#include "foundation/ustring.h"
#include "launcher/services/file_download.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/server_certificate.h"

using utility::ustring::toWide;

namespace {

std::wstring curlErrorText(CURLcode code) { return toWide(curl_easy_strerror(code)); }

// Cleans up an easy handle when it goes out of scope.
typedef utility::ScopedResource<utility::NullMeansNone<CURL*, &curl_easy_cleanup>> EasyHandle;
typedef utility::ScopedResource<utility::NullMeansNone<CURLU*, &curl_url_cleanup>> UrlHandle;

// Every address either download fetches, redirects included.
const utility::urlpolicy::Schemes kSchemes = utility::urlpolicy::Schemes::HttpOrHttps;

// The body of a memory download while it arrives.
struct MemoryChunk {
    char* block = nullptr;
    size_t size = 0;
    bool tooLarge = false;  // the body passed kMaxDocumentBytes
    ~MemoryChunk() { free(block); }
};

// Shared with the progress callback during a download.
struct ProgressRecord {
    DWORD lastReportMs = 0;
    unsigned long long offset = 0;
    KXCurlDownloader::ProgressCallback callback;
    const utility::WorkerThread* worker = nullptr;
};

// Where a file download writes, and what it checks before the first byte.
struct FileTarget {
    HANDLE file = INVALID_HANDLE_VALUE;
    CURL* easy = nullptr;
    unsigned long long offset = 0;    // bytes already on disk
    unsigned long long written = 0;   // bytes written by this transfer
    unsigned long long maxBytes = 0;  // the largest file taken; 0: no limit
    bool checked = false;
    bool rangeRefused = false;
    bool tooLarge = false;
};

// A resumed download may only append a 206 whose range starts at the end of
// the file. libcurl refuses most other answers itself (CURLE_RANGE_ERROR);
// this also catches a 206 without a start ("bytes */total").
bool rangeContinuesFile(FileTarget& target)
{
    long status = 0;
    curl_easy_getinfo(target.easy, CURLINFO_RESPONSE_CODE, &status);
    if (target.offset == 0 || status != 206)
        return true;
    curl_header* header = nullptr;
    if (curl_easy_header(target.easy, "Content-Range", 0, CURLH_HEADER, -1, &header) == CURLHE_OK && header &&
        header->value) {
        if (utility::rangeContinuesFile(toWide(header->value), target.offset))
            return true;
    }
    common::log("KXCurlDownloader::downloadFile", __LINE__, L"asked for bytes from %I64u, got range [%s]",
                target.offset, header && header->value ? toWide(header->value).c_str() : L"");
    return false;
}

size_t writeFileCallback(void* data, size_t size, size_t count, void* userdata)
{
    FileTarget* target = static_cast<FileTarget*>(userdata);
    if (!target->checked) {
        target->checked = true;
        target->rangeRefused = !rangeContinuesFile(*target);
    }
    if (target->rangeRefused)
        return 0;
    unsigned long long total = static_cast<unsigned long long>(size) * count;
    if (total > 0xFFFFFFFFull)
        return 0;
    // A server may send no length, or more than it announced: the bytes
    // are counted as they come.
    if (!utility::urlpolicy::withinCap(target->offset + target->written, total, target->maxBytes)) {
        target->tooLarge = true;
        return 0;
    }
    DWORD written = 0;
    if (!WriteFile(target->file, data, static_cast<DWORD>(total), &written, nullptr) || written != total) {
        common::log("KXCurlDownloader::writeFileCallback", __LINE__, L"write file failed lastError = %d",
                    GetLastError());
        return 0;
    }
    target->written += total;
    return static_cast<size_t>(total);
}

// Any answer but 0 makes curl abort the transfer. Sizes are 64-bit all the
// way: packages may be larger than 2 GiB.
int progressCallback(void* clientp, curl_off_t dltotal, curl_off_t dlnow, curl_off_t, curl_off_t)
{
    ProgressRecord* record = static_cast<ProgressRecord*>(clientp);
    if (record && record->worker && record->worker->isStopRequested())
        return 1;
    if (!record || !record->callback || dltotal <= 0)
        return 0;
    const unsigned long long done = record->offset + static_cast<unsigned long long>(dlnow > 0 ? dlnow : 0);
    const unsigned long long total = record->offset + static_cast<unsigned long long>(dltotal);
    const int percent = done >= total ? 100 : static_cast<int>(static_cast<double>(done) / total * 100.0);
    DWORD now = GetTickCount();
    if (now - record->lastReportMs > KXCurlDownloader::kProgressIntervalMs && percent != 100) {
        record->lastReportMs = now;
        record->callback(percent, done, total);
    }
    return 0;
}

// The host of an address as a certificate names it: no brackets around an
// IPv6 literal. Empty when the address has none.
std::wstring hostOf(const char* url)
{
    UrlHandle parsed(curl_url());
    char* host = nullptr;
    if (!parsed.valid() || curl_url_set(parsed.get(), CURLUPART_URL, url, 0) != CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK || !host)
        return std::wstring();
    std::string name(host);
    curl_free(host);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']')
        name = name.substr(1, name.size() - 2);
    return toWide(name);
}

// Called on every new connection, before its request is sent: an https
// server must show a valid certificate for the host asked for. libcurl
// leaves that check to Schannel, which does not make it everywhere (see
// server_certificate.h).
int checkServer(void* easy, char*, char*, int, int)
{
    char* url = nullptr;
    char* scheme = nullptr;
    curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &url);
    curl_easy_getinfo(easy, CURLINFO_SCHEME, &scheme);
    if (!scheme || _stricmp(scheme, "https") != 0)
        return CURL_PREREQFUNC_OK;
    const std::wstring host = hostOf(url ? url : "");
    curl_tlssessioninfo* session = nullptr;
    if (host.empty() || curl_easy_getinfo(easy, CURLINFO_TLS_SSL_PTR, &session) != CURLE_OK || !session ||
        session->backend != CURLSSLBACKEND_SCHANNEL || !session->internals) {
        common::log("KXCurlDownloader::checkServer", __LINE__, L"no TLS connection to check for %s",
                    toWide(url ? url : "").c_str());
        return CURL_PREREQFUNC_ABORT;
    }
    if (!utility::servercert::verify(static_cast<CtxtHandle*>(session->internals), host))
        return CURL_PREREQFUNC_ABORT;
    return CURL_PREREQFUNC_OK;
}

// A refused address is logged by name; nothing is fetched.
bool addressAllowed(const char* function, const std::string& url)
{
    if (utility::urlpolicy::isAllowed(url, kSchemes))
        return true;
    common::log(function, __LINE__, L"address refused: %s", toWide(url).c_str());
    return false;
}

// A transfer that curl finished without error with a status of 200-299; any
// other ending is logged.
bool transferSucceeded(const char* function, CURLcode rc, long status, const std::string& url)
{
    if (rc != CURLE_OK) {
        common::log(function, __LINE__, L"curl download error %s %s", curlErrorText(rc).c_str(), toWide(url).c_str());
        return false;
    }
    if (status < 200 || status > 299) {
        common::log(function, __LINE__, L"curl download error status %d %s", status, toWide(url).c_str());
        return false;
    }
    return true;
}

// Sets an option that a download's safety rests on: the protocols, the
// certificate checks, the size caps and the callbacks that count them.
// libcurl refuses an option it does not support or a value it does not
// take; then the download must not start without it.
template <typename T>
bool setProtection(const char* function, CURL* handle, CURLoption option, T value)
{
    const CURLcode rc = curl_easy_setopt(handle, option, value);
    if (rc == CURLE_OK)
        return true;
    const curl_easyoption* known = curl_easy_option_by_id(option);
    common::log(function, __LINE__, L"curl option %s (%d) refused: %s, nothing fetched",
                toWide(known && known->name ? known->name : "").c_str(), static_cast<int>(option),
                curlErrorText(rc).c_str());
    return false;
}

// The options both downloads share: the URL, the protocols, redirects, no
// reuse, signals or error bodies, the timeouts, the progress callback (which
// also watches the stop request) and certificate checking. False when a
// protection was refused.
bool setSharedOptions(const char* function, CURL* handle, const std::string& url, long connectTimeoutMs, long timeoutMs,
                      ProgressRecord* record)
{
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, static_cast<void*>(record));
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &progressCallback);
    // Schannel also checks revocation, which fails every request while the
    // revocation servers cannot be reached: a revocation that cannot be
    // checked does not fail the request.
    curl_easy_setopt(handle, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    // Only the allowed protocols, redirects included; the chain verified
    // against the system store and the host name, and every new connection
    // checked before its request is sent (checkServer).
    const char* protocols = utility::urlpolicy::curlProtocols(kSchemes);
    return setProtection(function, handle, CURLOPT_PROTOCOLS_STR, protocols) &&
           setProtection(function, handle, CURLOPT_REDIR_PROTOCOLS_STR, protocols) &&
           setProtection(function, handle, CURLOPT_SSL_VERIFYPEER, 1L) &&
           setProtection(function, handle, CURLOPT_SSL_VERIFYHOST, 2L) &&
           setProtection(function, handle, CURLOPT_PREREQFUNCTION, &checkServer) &&
           setProtection(function, handle, CURLOPT_PREREQDATA, static_cast<void*>(handle));
}

}  // namespace

bool KXCurlDownloader::globalInit()
{
    static std::once_flag once;
    static CURLcode result = CURLE_FAILED_INIT;
    std::call_once(once, [] {
        result = curl_global_init(CURL_GLOBAL_ALL);
        if (result != CURLE_OK)
            common::log("KXCurlDownloader::globalInit", __LINE__, L"curl global init error %s",
                        curlErrorText(result).c_str());
    });
    return result == CURLE_OK;
}

size_t KXCurlDownloader::WriteMemoryCallback(void* data, size_t size, size_t count, void* chunk)
{
    MemoryChunk* memory = static_cast<MemoryChunk*>(chunk);
    size_t total = size * count;
    if (count != 0 && total / count != size)
        total = static_cast<size_t>(-1);
    // A document is small: more than this is no document of ours, and
    // taking it could exhaust the memory. (The size never passes the cap,
    // so the sum below cannot overflow.)
    if (!utility::urlpolicy::withinCap(memory->size, total, utility::urlpolicy::kMaxDocumentBytes)) {
        memory->tooLarge = true;
        return 0;
    }
    const size_t wanted = memory->size + total;
    // One byte more keeps the block text-terminated for the JSON reader.
    char* grown = static_cast<char*>(realloc(memory->block, wanted + 1));
    if (!grown) {
        common::log("KXCurlDownloader::WriteMemoryCallback", __LINE__, L"not enough memory error %d", GetLastError());
        return 0;
    }
    memory->block = grown;
    memcpy(memory->block + memory->size, data, total);
    memory->size += total;
    memory->block[memory->size] = '\0';
    return total;
}

bool KXCurlDownloader::downloadMemory(const std::string& url, CURL* handle)
{
    EasyHandle easy(handle);
    if (!easy.get() || !addressAllowed("KXCurlDownloader::downloadMemory", url))
        return false;
    globalInit();

    MemoryChunk chunk;
    ProgressRecord record;
    record.worker = worker_;
    CURL* h = easy.get();
    const char* const function = "KXCurlDownloader::downloadMemory";
    // The write callback counts the body; a longer document announced is
    // refused before its body comes.
    if (!setProtection(function, h, CURLOPT_WRITEFUNCTION, &KXCurlDownloader::WriteMemoryCallback) ||
        !setProtection(function, h, CURLOPT_WRITEDATA, static_cast<void*>(&chunk)) ||
        !setSharedOptions(function, h, url, kMemoryConnectTimeoutMs, kMemoryTimeoutMs, &record) ||
        !setProtection(function, h, CURLOPT_MAXFILESIZE_LARGE,
                       static_cast<curl_off_t>(utility::urlpolicy::kMaxDocumentBytes)))
        return false;

    CURLcode rc = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    if (rc == CURLE_FILESIZE_EXCEEDED || chunk.tooLarge)
        common::log("KXCurlDownloader::downloadMemory", __LINE__, L"document refused: larger than %u bytes: %s",
                    static_cast<unsigned>(utility::urlpolicy::kMaxDocumentBytes), toWide(url).c_str());
    if (!transferSucceeded("KXCurlDownloader::downloadMemory", rc, status, url))
        return false;
    common::log("KXCurlDownloader::downloadMemory", __LINE__, L"curl download sucess %d", static_cast<int>(chunk.size));
    body_.assign(chunk.block ? chunk.block : "", chunk.size);
    return true;
}

bool KXCurlDownloader::downloadFile(const std::string& path, const std::string& url, const ProgressCallback& progress,
                                    unsigned long long maxBytes)
{
    common::log("KXCurlDownloader::downloadFile", __LINE__, L"KXCurlDownloader::downloadfile start");
    if (!addressAllowed("KXCurlDownloader::downloadFile", url))
        return false;
    unsigned long long startSize = 0;
    utility::ufile::getFileSize(path, startSize);
    common::log("KXCurlDownloader::downloadFile", __LINE__, L"start size %I64u", startSize);

    ProgressRecord record;
    record.offset = startSize;
    record.callback = progress;
    record.worker = worker_;

    globalInit();
    EasyHandle easy(curl_easy_init());
    if (!easy.get()) {
        common::log("KXCurlDownloader::downloadFile", __LINE__, L"curl init error");
        return false;
    }
    CURL* h = easy.get();
    if (startSize > 0)
        curl_easy_setopt(h, CURLOPT_RESUME_FROM_LARGE, static_cast<curl_off_t>(startSize));
    FileTarget target;
    target.easy = h;
    target.offset = startSize;
    target.maxBytes = maxBytes;
    curl_easy_setopt(h, CURLOPT_MAX_RECV_SPEED_LARGE, kMaxRecvSpeed);
    // The options are all set before the file is touched. A longer file
    // announced is refused before its body comes (the length announced is
    // that of the rest after the bytes on disk).
    const char* const function = "KXCurlDownloader::downloadFile";
    if (!setProtection(function, h, CURLOPT_WRITEFUNCTION, &writeFileCallback) ||
        !setProtection(function, h, CURLOPT_WRITEDATA, static_cast<void*>(&target)) ||
        !setSharedOptions(function, h, url, kFileConnectTimeoutMs, kFileTimeoutMs, &record) ||
        !setProtection(function, h, CURLOPT_MAXREDIRS, kMaxRedirects) ||
        (maxBytes > startSize &&
         !setProtection(function, h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes - startSize))))
        return false;

    utility::ScopedHandle file(
        CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    startSize > 0 ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        common::log("KXCurlDownloader::downloadFile", __LINE__, L"open file error  error:%d %s", GetLastError(),
                    toWide(path).c_str());
        return false;
    }
    if (startSize > 0) {
        LARGE_INTEGER zero;
        zero.QuadPart = 0;
        if (!SetFilePointerEx(file.get(), zero, nullptr, FILE_END)) {
            common::log("KXCurlDownloader::downloadFile", __LINE__, L"open file error  error:%d %s", GetLastError(),
                        toWide(path).c_str());
            return false;
        }
    }
    target.file = file.get();

    CURLcode rc = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    file.reset();

    if (maxBytes != 0 && (rc == CURLE_FILESIZE_EXCEEDED || target.tooLarge)) {
        common::log("KXCurlDownloader::downloadFile", __LINE__,
                    L"file refused: larger than %I64u bytes, deleting partial file %s: %s", maxBytes,
                    toWide(path).c_str(), toWide(url).c_str());
        utility::ufile::deleteIfPresent(toWide(path));
        return false;
    }
    // A refused range (curl keeps going on 416 as if the file were whole) or
    // one that does not continue the file would fail every later resume the
    // same way: start the next try clean.
    if (startSize > 0 && (rc == CURLE_RANGE_ERROR || status == 416 || target.rangeRefused)) {
        common::log("KXCurlDownloader::downloadFile", __LINE__, L"range refused (status %d), deleting partial file %s",
                    status, toWide(path).c_str());
        utility::ufile::deleteIfPresent(toWide(path));
        if (rc == CURLE_OK || target.rangeRefused)
            rc = CURLE_RANGE_ERROR;
    }
    if (!transferSucceeded("KXCurlDownloader::downloadFile", rc, status, url))
        return false;
    common::log("KXCurlDownloader::downloadFile", __LINE__, L"curl download  file sucess");
    return true;
}
