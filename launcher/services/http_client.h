// One HTTP(S) GET over WinINet whose body streams into a sink.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <map>
#include <string>

#include "foundation/scoped_handle.h"
#include "foundation/url_policy.h"
#include "foundation/worker_thread.h"

namespace utility {

// A WinINet session, connection or request.
typedef ScopedResource<NullMeansNone<HINTERNET, &InternetCloseHandle>> ScopedInternetHandle;

class CHttpClient {
public:
    // Receives one response. The slot order is part of the contract.
    class IHttpClientSink {
    public:
        // A stage of the request failed (see the stage codes below).
        virtual void onHttpError(int stage, DWORD error) = 0;
        // The header arrived; contentLength is kUnknownLength when the server
        // sent none. False abandons the transfer.
        virtual bool onHttpRecvHeader(unsigned long long contentLength, DWORD status) = 0;
        // One block of the body. False abandons the transfer.
        virtual bool onHttpRecvData(const char* bytes, DWORD count) = 0;
        // The body ended normally.
        virtual void onHttpComplete() = 0;

    protected:
        ~IHttpClientSink() {}
    };

    // Stage codes for onHttpError.
    static constexpr int kStageSession = 0;
    static constexpr int kStageUrl = 1;
    static constexpr int kStageConnect = 2;
    static constexpr int kStageRequest = 6;
    static constexpr int kStageStatus = 7;

    static constexpr unsigned long long kUnknownLength = ~0ull;
    static constexpr DWORD kReadBlockSize = 32768;
    // Always reload, never write the cache. Certificates are checked in
    // full: the chain and the host name.
    static constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                           INTERNET_FLAG_CACHE_ASYNC | 0x1;

    CHttpClient();
    virtual ~CHttpClient();
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;

    void setHeader(const std::wstring& name, const std::wstring& value);
    void removeHeader(const std::wstring& name);
    // The addresses this client fetches (http and https unless set): the one
    // opened and the one a redirect ends at.
    void setSchemes(urlpolicy::Schemes schemes) { schemes_ = schemes; }

    // Opens the session and splits the URL. An address the schemes do not
    // allow is refused (stage kStageUrl, ERROR_INTERNET_UNRECOGNIZED_SCHEME).
    bool open(const std::wstring& url, IHttpClientSink* sink);
    // Connects, sends the GET and reads the body into the sink. A response
    // from an address the schemes do not allow (after a redirect) is refused
    // before the sink hears of it (stage kStageRequest).
    bool send();
    // Closes the session; safe from another thread to abort a transfer.
    void closeSession();

    // Adds the default headers that are missing and returns the block sent.
    std::wstring buildHeaderBlock();
    // The request flags for the URL opened last.
    DWORD requestFlags() const;

    // The Content-Range header of the response being received, "" when none.
    const std::wstring& contentRange() const { return contentRange_; }
    // The Content-Length of the last response, kUnknownLength when none.
    unsigned long long contentLength() const { return contentLength_; }

    const std::wstring& host() const { return host_; }
    INTERNET_PORT port() const { return port_; }
    const std::wstring& path() const { return path_; }
    bool isSecure() const { return secure_; }

private:
    // Sends the GET on the request made by send() and reads the answer.
    bool sendRequest(HINTERNET request);
    bool readBody(HINTERNET request, unsigned long long contentLength);
    // Tells the sink that a stage failed; false.
    bool failStage(int stage, DWORD error);

    // WinINet handles are made and closed only under this lock: a session
    // closed while a handle under it is being made or closed corrupts
    // WinINet's tree of handles.
    CriticalSection sessionLock_;
    ScopedInternetHandle session_;
    std::wstring host_;
    INTERNET_PORT port_ = 0;
    std::wstring path_;
    bool secure_ = false;
    IHttpClientSink* sink_ = nullptr;
    std::map<std::wstring, std::wstring> headers_;
    std::wstring contentRange_;
    unsigned long long contentLength_ = kUnknownLength;
    urlpolicy::Schemes schemes_ = urlpolicy::Schemes::HttpOrHttps;
};

}  // namespace utility
