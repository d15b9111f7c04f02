#include "launcher/services/http_client.h"

#include <wchar.h>

#include <vector>

#include "foundation/log.h"
#include "foundation/ustring.h"

namespace utility {

namespace {

// One response header as text; "" when absent or longer than 255 characters.
std::wstring headerText(HINTERNET request, DWORD query)
{
    wchar_t text[256] = {0};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (!HttpQueryInfoW(request, query, text, &size, nullptr))
        return std::wstring();
    return text;
}

// The address a request was answered from, after any redirect; "" when unknown.
std::wstring requestUrl(HINTERNET request)
{
    DWORD size = 0;
    InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &size);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!InternetQueryOptionW(request, INTERNET_OPTION_URL, text.data(), &size))
        return std::wstring();
    return text.data();
}

// This much data waiting means the sender keeps up: read whole blocks.
const DWORD kFlowingBytes = 8192;
// A whole-block read that takes longer means the sender has slowed down.
const DWORD kSlowReadMs = 100;

}  // namespace

CHttpClient::CHttpClient() {}

CHttpClient::~CHttpClient() { closeSession(); }

void CHttpClient::setHeader(const std::wstring& name, const std::wstring& value) { headers_[name] = value; }

void CHttpClient::removeHeader(const std::wstring& name) { headers_.erase(name); }

bool CHttpClient::open(const std::wstring& url, IHttpClientSink* sink)
{
    sink_ = sink;
    contentLength_ = kUnknownLength;
    if (!urlpolicy::isAllowed(url, schemes_)) {
        common::log("utility::CHttpClient::open", __LINE__, L"address refused: %s", url.c_str());
        return failStage(kStageUrl, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }
    ScopedInternetHandle session(InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session.valid()) {
        DWORD err = GetLastError();
        common::log("utility::CHttpClient::open", __LINE__, L"InternetOpen failed lastError = %d", err);
        return failStage(kStageSession, err);
    }
    {
        ScopedLock guard(sessionLock_);
        session_.reset(session.release());
    }

    wchar_t hostName[256] = {0};
    std::vector<wchar_t> urlPath(url.size() + 1, L'\0');
    std::vector<wchar_t> extra(url.size() + 1, L'\0');
    URL_COMPONENTSW parts;
    ZeroMemory(&parts, sizeof(parts));
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = hostName;
    parts.dwHostNameLength = static_cast<DWORD>(sizeof(hostName) / sizeof(hostName[0]));
    parts.lpszUrlPath = urlPath.data();
    parts.dwUrlPathLength = static_cast<DWORD>(urlPath.size());
    parts.lpszExtraInfo = extra.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
    if (url.empty() || !InternetCrackUrlW(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts)) {
        DWORD err = GetLastError();
        common::log("utility::CHttpClient::open", __LINE__, L"InternetCrackUrl failed %s lastError = %d", url.c_str(),
                    err);
        return failStage(kStageUrl, err);
    }
    host_.assign(hostName, parts.dwHostNameLength);
    port_ = parts.nPort;
    path_.assign(urlPath.data(), parts.dwUrlPathLength);
    path_.append(extra.data(), parts.dwExtraInfoLength);
    if (path_.empty())
        path_ = L"/";
    secure_ = ustring::startsWithNoCase(url, L"https://");
    return true;
}

std::wstring CHttpClient::buildHeaderBlock()
{
    if (headers_.find(L"Content-Type") == headers_.end())
        headers_[L"Content-Type"] = L"application/x-www-form-urlencoded";
    if (headers_.find(L"User-Agent") == headers_.end())
        headers_[L"User-Agent"] = L"okhttp/3.5.0L";
    std::wstring block;
    for (const auto& header : headers_)
        block += header.first + L": " + header.second + L"\r\n";
    return block;
}

DWORD CHttpClient::requestFlags() const { return kRequestFlags | (secure_ ? INTERNET_FLAG_SECURE : 0); }

bool CHttpClient::send()
{
    // The handles are made and closed under the session lock: a stop from
    // another thread (closeSession) never meets WinINet changing the same
    // tree of handles, and a stop in between cancels what the request does.
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    bool haveSession = false;
    ScopedInternetHandle connection;
    ScopedInternetHandle request;
    DWORD error = 0;
    {
        ScopedLock guard(sessionLock_);
        haveSession = session_.valid();
        if (haveSession)
            connection.reset(
                InternetConnectW(session_.get(), host_.c_str(), port_, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1));
        if (connection.valid())
            request.reset(HttpOpenRequestW(connection.get(), L"GET", path_.c_str(), L"HTTP/1.1", nullptr, acceptTypes,
                                           requestFlags(), 1));
        error = GetLastError();
    }
    bool ok = false;
    if (!haveSession) {
        common::log("utility::CHttpClient::send", __LINE__, L"no session lastError = %d", ERROR_INVALID_HANDLE);
        failStage(kStageConnect, ERROR_INVALID_HANDLE);
    } else if (!connection.valid()) {
        common::log("utility::CHttpClient::send", __LINE__, L"InternetConnect %s failed lastError = %d", host_.c_str(),
                    error);
        failStage(kStageConnect, error);
    } else if (!request.valid()) {
        common::log("utility::CHttpClient::send", __LINE__, L"send request %s failed lastError = %d", path_.c_str(),
                    error);
        failStage(kStageRequest, error);
    } else {
        ok = sendRequest(request.get());
    }
    ScopedLock guard(sessionLock_);
    request.reset();
    connection.reset();
    return ok;
}

bool CHttpClient::sendRequest(HINTERNET request)
{
    std::wstring headerBlock = buildHeaderBlock();
    if (!HttpSendRequestW(request, headerBlock.c_str(), static_cast<DWORD>(headerBlock.size()), nullptr, 0)) {
        DWORD err = GetLastError();
        common::log("utility::CHttpClient::send", __LINE__, L"send request %s failed lastError = %d", path_.c_str(),
                    err);
        return failStage(kStageRequest, err);
    }

    // WinINet follows redirects by itself: the address it ended at must be
    // one this client may fetch (an https download must not end over http).
    const std::wstring finalUrl = requestUrl(request);
    if (!urlpolicy::isAllowed(finalUrl, schemes_)) {
        common::log("utility::CHttpClient::send", __LINE__, L"redirected address refused: %s lastError = %d",
                    finalUrl.c_str(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
        return failStage(kStageRequest, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    }

    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        DWORD err = GetLastError();
        common::log("utility::CHttpClient::send", __LINE__, L"query status failed lastError = %d", err);
        return failStage(kStageStatus, err);
    }

    // Read as text: a length above 4 GiB does not fit the numeric query.
    unsigned long long contentLength = kUnknownLength;
    const std::wstring lengthText = headerText(request, HTTP_QUERY_CONTENT_LENGTH);
    wchar_t* end = nullptr;
    unsigned long long value = _wcstoui64(lengthText.c_str(), &end, 10);
    if (end != lengthText.c_str())
        contentLength = value;
    contentLength_ = contentLength;
    contentRange_ = headerText(request, HTTP_QUERY_CONTENT_RANGE);

    if (sink_ && !sink_->onHttpRecvHeader(contentLength, status))
        return false;
    return readBody(request, contentLength);
}

bool CHttpClient::readBody(HINTERNET request, unsigned long long contentLength)
{
    std::vector<char> block(kReadBlockSize);
    unsigned long long received = 0;
    // While data flows, read whole blocks. From a slow sender take only what
    // has arrived, so that a stop request does not wait for a block to fill.
    bool flowing = false;
    for (;;) {
        DWORD wanted = kReadBlockSize;
        if (!flowing) {
            // Waits until data is there; 0 means the end.
            DWORD available = 0;
            if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
                common::log("utility::CHttpClient::readBody", __LINE__,
                            L"wait for data failed after %I64u bytes lastError = %d", received, GetLastError());
                return false;
            }
            if (available >= kFlowingBytes)
                flowing = true;
            else if (available > 0)
                wanted = available;
        }
        DWORD started = GetTickCount();
        DWORD read = 0;
        if (!InternetReadFile(request, block.data(), wanted, &read)) {
            common::log("utility::CHttpClient::readBody", __LINE__, L"read failed after %I64u bytes lastError = %d",
                        received, GetLastError());
            return false;
        }
        if (flowing && GetTickCount() - started > kSlowReadMs)
            flowing = false;
        if (read == 0) {
            // A connection that closes early also reads as 0 bytes: only a
            // body of the announced length is complete.
            if (contentLength != kUnknownLength && received < contentLength) {
                common::log("utility::CHttpClient::readBody", __LINE__,
                            L"body ended early: %I64u of %I64u bytes lastError = %d", received, contentLength,
                            ERROR_HANDLE_EOF);
                return false;
            }
            if (sink_)
                sink_->onHttpComplete();
            return true;
        }
        received += read;
        if (sink_ && !sink_->onHttpRecvData(block.data(), read))
            return false;
    }
}

bool CHttpClient::failStage(int stage, DWORD error)
{
    if (sink_)
        sink_->onHttpError(stage, error);
    return false;
}

void CHttpClient::closeSession()
{
    ScopedLock guard(sessionLock_);
    session_.reset();
}

}  // namespace utility
