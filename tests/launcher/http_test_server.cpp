#include <winsock2.h>
#include <ws2tcpip.h>

#include "http_test_server.h"

#include <bcrypt.h>

#include <stdio.h>
#include <stdlib.h>

#include "foundation/log.h"

namespace httptest {

namespace {

std::mutex g_logMutex;
std::vector<std::wstring> g_logLines;

bool sendAll(SOCKET s, const char* data, size_t size)
{
    while (size > 0) {
        int chunk = size > 65536 ? 65536 : static_cast<int>(size);
        int n = ::send(s, data, chunk, 0);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

TestServer::TestServer()
{
    wchar_t value[32] = {0};
    DWORD n = GetEnvironmentVariableW(L"ZUL_HTTP_TEST_PORT", value, 32);
    if (n > 0 && n < 32)
        port_ = static_cast<unsigned short>(_wtoi(value));
    WSADATA data;
    wsaStarted_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

TestServer::~TestServer()
{
    if (wsaStarted_)
        WSACleanup();
}

std::wstring TestServer::url(const std::string& pathAndQuery) const
{
    std::string narrow = narrowUrl(pathAndQuery);
    return std::wstring(narrow.begin(), narrow.end());
}

std::string TestServer::narrowUrl(const std::string& pathAndQuery) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

int TestServer::request(const std::string& verb, const std::string& pathAndQuery,
                        const std::string& body, std::string* responseBody)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return 0;
    sockaddr_in addr;
    ZeroMemory(&addr, sizeof(addr));
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port_);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        closesocket(s);
        return 0;
    }
    std::string head = verb + " " + pathAndQuery + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                       "Connection: close\r\nContent-Length: " + std::to_string(body.size()) +
                       "\r\n\r\n";
    if (!sendAll(s, head.data(), head.size()) || !sendAll(s, body.data(), body.size())) {
        closesocket(s);
        return 0;
    }
    std::string response;
    char buffer[16384];
    for (;;) {
        int n = recv(s, buffer, sizeof(buffer), 0);
        if (n <= 0)
            break;
        response.append(buffer, static_cast<size_t>(n));
    }
    closesocket(s);
    int status = 0;
    if (sscanf(response.c_str(), "HTTP/1.%*d %d", &status) != 1)
        return 0;
    size_t bodyStart = response.find("\r\n\r\n");
    if (responseBody)
        *responseBody = bodyStart == std::string::npos ? std::string() : response.substr(bodyStart + 4);
    return status;
}

bool TestServer::put(const std::string& name, const std::string& bytes)
{
    return request("PUT", "/_ctl/put?name=" + name, bytes, nullptr) == 200;
}

std::string TestServer::lastRequest(const std::string& path)
{
    std::string body;
    if (request("GET", "/_ctl/last?path=" + path, "", &body) != 200)
        return std::string();
    return body;
}

int TestServer::requestCount(const std::string& path)
{
    std::string body;
    if (request("GET", "/_ctl/count?path=" + path, "", &body) != 200)
        return -1;
    return atoi(body.c_str());
}

bool TestServer::reset() { return request("GET", "/_ctl/reset", "", nullptr) == 200; }

bool TestServer::kill(int downMs)
{
    return request("GET", "/_ctl/kill?down_ms=" + std::to_string(downMs), "", nullptr) == 200;
}

bool TestServer::waitUntilUp(DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        if (request("GET", "/_ctl/ping", "", nullptr) == 200)
            return true;
        Sleep(50);
    }
    return false;
}

std::string makeData(size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 23);
    }
    return bytes;
}

std::string sha256(const std::string& bytes)
{
    BCRYPT_ALG_HANDLE alg = nullptr;
    if (BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return std::string();
    BCRYPT_HASH_HANDLE hash = nullptr;
    unsigned char digest[32] = {0};
    std::string hex;
    if (BCryptCreateHash(alg, &hash, nullptr, 0, nullptr, 0, 0) == 0) {
        size_t done = 0;
        bool ok = true;
        while (ok && done < bytes.size()) {
            ULONG n = static_cast<ULONG>(bytes.size() - done > (1u << 20) ? (1u << 20) : bytes.size() - done);
            ok = BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + done)), n, 0) == 0;
            done += n;
        }
        if (ok && BCryptFinishHash(hash, digest, sizeof(digest), 0) == 0) {
            char pair[3];
            for (unsigned char b : digest) {
                snprintf(pair, sizeof(pair), "%02x", b);
                hex += pair;
            }
        }
        BCryptDestroyHash(hash);
    }
    BCryptCloseAlgorithmProvider(alg, 0);
    return hex;
}

std::string fileSha256(const std::wstring& path)
{
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return "missing";
    std::string bytes;
    char buffer[65536];
    DWORD n = 0;
    while (ReadFile(f, buffer, sizeof(buffer), &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(f);
    return sha256(bytes);
}

unsigned long long fileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string headerValue(const std::string& rawRequest, const std::string& name)
{
    std::string key = "\r\n" + name + ": ";
    size_t at = rawRequest.find(key);
    if (at == std::string::npos)
        return std::string();
    at += key.size();
    size_t end = rawRequest.find("\r\n", at);
    return rawRequest.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

LogCapture::LogCapture() : previous_(common::logSink())
{
    {
        std::lock_guard<std::mutex> lock(g_logMutex);
        g_logLines.clear();
    }
    common::setLogSink(&LogCapture::sink);
}

LogCapture::~LogCapture() { common::setLogSink(previous_); }

void LogCapture::sink(const char* function, int line, const wchar_t* message)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logLines.push_back(message ? message : L"");
}

bool LogCapture::contains(const std::wstring& text) const
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    for (const auto& line : g_logLines) {
        if (line.find(text) != std::wstring::npos)
            return true;
    }
    return false;
}

std::vector<std::wstring> LogCapture::lines() const
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return g_logLines;
}

}  // namespace httptest
