// The check that a TLS server is the host it was asked for: its certificate
// chains to a root the system trusts, is meant for server authentication and
// names the host. WinINet makes this check itself; libcurl leaves it to
// Schannel, and not every Schannel makes it (Wine's accepts any
// certificate), so the curl downloader asks here before it sends a request.
#pragma once

#ifndef SECURITY_WIN32
#define SECURITY_WIN32
#endif
#include <windows.h>
#include <security.h>

#include <string>

namespace utility {
namespace servercert {

// True when the certificate of the established Schannel connection is valid
// for host (a name or an address literal, without brackets). A refusal is
// logged with the host and the reason.
bool verify(CtxtHandle* connection, const std::wstring& host);

}  // namespace servercert
}  // namespace utility
