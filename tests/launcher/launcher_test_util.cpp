#include <winsock2.h>

#include "launcher_test_util.h"

#include <wincrypt.h>

#include <stdio.h>

#include <gtest/gtest.h>

#include "common/test_util.h"
#include "common/ui_driver.h"

namespace launchertest {

bool trustTestCertificateAuthority()
{
    wchar_t path[MAX_PATH] = {0};
    const DWORD length = GetEnvironmentVariableW(L"ZUL_TEST_CA_FILE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    return testutil::trustRootCertificate(path);
}

bool trustTestPublisher() { return testutil::trustRootCertificate(testutil::exeDir() + L"signing\\root.der"); }

std::wstring signedVariant(const wchar_t* name) { return testutil::exeDir() + L"signing\\" + name + L".exe"; }

int TestServer::request(const std::string& verb, const std::string& pathAndQuery, const std::string& body,
                        std::string* responseBody)
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return 0;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port_);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string out = verb + " " + pathAndQuery + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                      "Connection: close\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    bool sent = connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    for (size_t done = 0; sent && done < out.size();) {
        int n = send(s, out.data() + done, static_cast<int>(out.size() - done), 0);
        sent = n > 0;
        done += sent ? static_cast<size_t>(n) : 0;
    }
    std::string response;
    char buffer[16384];
    for (int n; sent && (n = recv(s, buffer, sizeof(buffer), 0)) > 0;)
        response.append(buffer, static_cast<size_t>(n));
    closesocket(s);
    WSACleanup();
    int status = 0;
    size_t bodyStart = response.find("\r\n\r\n");
    if (sscanf(response.c_str(), "HTTP/1.%*d %d", &status) == 1 && responseBody && bodyStart != std::string::npos)
        *responseBody = response.substr(bodyStart + 4);
    return status;
}

void click(HWND window, const wchar_t* name)
{
    if (!testutil::pumpUntil([&] { return uidriver::clickControl(window, name); }, 20000))
        ADD_FAILURE() << "no click landed on " << testutil::narrow(name);
}

}  // namespace launchertest
