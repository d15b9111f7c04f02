// Test-side helpers for the download tests: the loopback test server
// (tests/tools/httpserver.py, started by tests/tools/with_http_server.sh),
// test data, SHA-256 digests and a capture of the log.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace httptest {

// Talks to the test server over plain sockets, so the checks do not depend
// on the clients under test.
class TestServer {
public:
    TestServer();
    ~TestServer();
    // False when ZUL_HTTP_TEST_PORT is not set (the test runs without the driver).
    bool available() const { return port_ != 0; }
    unsigned short port() const { return port_; }

    std::wstring url(const std::string& pathAndQuery) const;
    std::string narrowUrl(const std::string& pathAndQuery) const;

    bool put(const std::string& name, const std::string& bytes);
    // The request line and headers of the last request to path ("" when none).
    std::string lastRequest(const std::string& path);
    int requestCount(const std::string& path);
    bool reset();
    // Drops every open transfer with a reset and stops listening for downMs.
    bool kill(int downMs);
    // Waits until the server answers again.
    bool waitUntilUp(DWORD timeoutMs);

    // One request; returns the status (0 when the server could not be reached).
    int request(const std::string& verb, const std::string& pathAndQuery,
                const std::string& body, std::string* responseBody);

private:
    unsigned short port_ = 0;
    bool wsaStarted_ = false;
};

// Deterministic bytes that differ at every position worth checking.
std::string makeData(size_t size, unsigned seed);
std::string sha256(const std::string& bytes);
std::string fileSha256(const std::wstring& path);
unsigned long long fileSize(const std::wstring& path);
// The value of one header in a raw request text ("" when absent).
std::string headerValue(const std::string& rawRequest, const std::string& name);

// Collects every log line while alive.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    bool contains(const std::wstring& text) const;
    std::vector<std::wstring> lines() const;

private:
    static void sink(const char* function, int line, const wchar_t* message);
    void (*previous_)(const char*, int, const wchar_t*);
};

}  // namespace httptest
