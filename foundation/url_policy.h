// Which addresses the programs may fetch or open, and how large a fetched
// document may grow. The installer and the launcher run with administrator
// rights: an address from a remote document, a language table or a page is
// followed only when it is a plain web address, and the launcher's own
// updater only over https. The downloaders and the openers of web addresses
// (openUrlAsDesktopUser, openUrl) ask here, nowhere else.
#pragma once

#include <cstddef>
#include <string>

namespace utility {
namespace urlpolicy {

enum class Schemes {
    HttpOrHttps,  // packages, documents, pages opened in the browser
    HttpsOnly,    // the launcher's updater
};

// The largest remote document (configuration, update information, package
// description) a program keeps in memory; a longer one is refused.
const size_t kMaxDocumentBytes = 4 * 1024 * 1024;
// The largest picture (the launcher's backgrounds) a program writes to disk;
// a longer one is refused.
const unsigned long long kMaxPictureBytes = 16 * 1024 * 1024;

// True when a body of have bytes may take more: have + more stays within
// cap (0: no cap), without overflow. Every downloader asks here, for an
// announced length (have: the bytes on disk) and for each block it receives.
bool withinCap(unsigned long long have, unsigned long long more, unsigned long long cap);

// True when the address is "scheme://host..." with an allowed scheme (any
// case), a host, and no space or control character anywhere in it.
bool isAllowed(const std::wstring& url, Schemes schemes);
bool isAllowed(const std::string& url, Schemes schemes);

// The same sets as libcurl's protocol lists, for CURLOPT_PROTOCOLS_STR and
// CURLOPT_REDIR_PROTOCOLS_STR.
const char* curlProtocols(Schemes schemes);

}  // namespace urlpolicy
}  // namespace utility
