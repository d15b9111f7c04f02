// Helpers shared by the launcher's tests: a capture of the log, test data and
// the loopback test server (tests/tools/httpserver.py, started by
// tests/tools/with_http_server.sh, which passes its port in ZUL_HTTP_TEST_PORT,
// its two TLS ports and the test certificate authority's file).
#pragma once

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include <mutex>
#include <string>
#include <vector>

#include "foundation/log.h"

namespace launchertest {

// Collects "function: message" for every log line while alive.
class LogCapture {
public:
    LogCapture() : previous_(common::logSink())
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.clear();
        common::setLogSink(&LogCapture::sink);
    }
    ~LogCapture() { common::setLogSink(previous_); }

    std::vector<std::wstring> lines() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return lines_;
    }
    // Lines containing text.
    size_t count(const std::wstring& text) const
    {
        size_t n = 0;
        for (const std::wstring& line : lines())
            n += line.find(text) != std::wstring::npos;
        return n;
    }
    bool contains(const std::wstring& text) const { return count(text) > 0; }

private:
    static void sink(const char* function, int, const wchar_t* message)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::wstring(function, function + strlen(function)) + L": " + (message ? message : L""));
    }

    static inline std::mutex mutex_;
    static inline std::vector<std::wstring> lines_;
    common::LogSink previous_;
};

// Deterministic bytes that differ at every position worth checking.
inline std::string makeData(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 23);
    }
    return bytes;
}

// Talks to the test server over plain sockets, so the checks do not depend
// on the clients under test.
class TestServer {
public:
    TestServer()
        : port_(portFrom(L"ZUL_HTTP_TEST_PORT")),
          tlsPort_(portFrom(L"ZUL_HTTPS_TEST_PORT")),
          otherTlsPort_(portFrom(L"ZUL_HTTPS_OTHER_PORT")),
          untrustedTlsPort_(portFrom(L"ZUL_HTTPS_UNTRUSTED_PORT"))
    {
    }
    bool available() const { return port_ != 0; }
    unsigned short port() const { return port_; }
    // The TLS ports are there (the server was started with --tls).
    bool tlsAvailable() const { return tlsPort_ != 0 && otherTlsPort_ != 0 && untrustedTlsPort_ != 0; }
    std::string narrowUrl(const std::string& pathAndQuery) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
    }
    std::wstring url(const std::string& pathAndQuery) const { return widen(narrowUrl(pathAndQuery)); }
    // The TLS port whose certificate names this server.
    std::string narrowHttpsUrl(const std::string& pathAndQuery) const
    {
        return "https://localhost:" + std::to_string(tlsPort_) + pathAndQuery;
    }
    std::wstring httpsUrl(const std::string& pathAndQuery) const { return widen(narrowHttpsUrl(pathAndQuery)); }
    // The TLS port whose certificate names another host.
    std::string narrowOtherHttpsUrl(const std::string& pathAndQuery) const
    {
        return "https://localhost:" + std::to_string(otherTlsPort_) + pathAndQuery;
    }
    // The TLS port whose certificate names this server but signs itself.
    std::string narrowUntrustedHttpsUrl(const std::string& pathAndQuery) const
    {
        return "https://localhost:" + std::to_string(untrustedTlsPort_) + pathAndQuery;
    }

    // One request; returns the status (0 when the server could not be reached).
    int request(const std::string& verb, const std::string& pathAndQuery, const std::string& body = "",
                std::string* responseBody = nullptr);

    bool put(const std::string& name, const std::string& bytes)
    {
        return request("PUT", "/_ctl/put?name=" + name, bytes) == 200;
    }
    // Header name of the last request to path ("" when absent).
    std::string header(const std::string& path, const std::string& name)
    {
        std::string value;
        request("GET", "/_ctl/header?path=" + path + "&name=" + name, "", &value);
        return value;
    }
    int count(const std::string& path)
    {
        std::string value = "-1";
        request("GET", "/_ctl/count?path=" + path, "", &value);
        return atoi(value.c_str());
    }
    // A file of size spaces, made as it is sent; options are its defaults.
    bool putBig(const std::string& name, unsigned long long size, const std::string& options = "")
    {
        return request("GET", "/_ctl/big?name=" + name + "&size=" + std::to_string(size) + options) == 200;
    }
    bool reset() { return request("GET", "/_ctl/reset") == 200; }
    // Lets the transfers of path that wait (hold=1) go on, and the next ones.
    bool release(const std::string& path) { return request("GET", "/_ctl/release?path=" + path) == 200; }
    // Resets every open transfer and stops listening for downMs.
    bool kill(int downMs) { return request("GET", "/_ctl/kill?down_ms=" + std::to_string(downMs)) == 200; }

private:
    static unsigned short portFrom(const wchar_t* variable)
    {
        wchar_t value[16] = {0};
        if (GetEnvironmentVariableW(variable, value, 16) >= 16)
            return 0;
        return static_cast<unsigned short>(_wtoi(value));
    }
    static std::wstring widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

    unsigned short port_;
    unsigned short tlsPort_;
    unsigned short otherTlsPort_;
    unsigned short untrustedTlsPort_;
};

// Adds the test certificate authority (ZUL_TEST_CA_FILE) to the machine's
// trusted roots of this Wine prefix, where every process of the test finds
// it; true when it is there. Adding it again changes nothing.
bool trustTestCertificateAuthority();

// Adds the test root of the signed stand-ins (signing\root.der beside the
// test, tests/tools/signed_variants.sh) to the trusted roots of this Wine
// prefix: the launcher starts them elevated only under a trusted root.
bool trustTestPublisher();
// The signed recording stand-in, or a copy of it to refuse: "signed",
// "unsigned", "altered", "rogue" or "other" (signing\<name>.exe).
std::wstring signedVariant(const wchar_t* name);

// Clicks the named control of a launcher window, again and again for up to
// 20 s while other tests' windows pass over it; a failure of the calling test
// when it never lands.
void click(HWND window, const wchar_t* name);

}  // namespace launchertest
