#include "foundation/url_policy.h"

#include <wchar.h>

#include "foundation/ustring.h"

namespace utility {
namespace urlpolicy {

bool isAllowed(const std::wstring& url, Schemes schemes)
{
    for (wchar_t c : url) {
        if (c <= L' ' || c == 0x7f)
            return false;
    }
    const bool https = ustring::startsWithNoCase(url, L"https://");
    if (!https && (schemes == Schemes::HttpsOnly || !ustring::startsWithNoCase(url, L"http://")))
        return false;
    const size_t schemeLength = wcslen(https ? L"https://" : L"http://");
    // A host must follow: "https://" alone or "https:///path" is no address.
    return schemeLength < url.size() && url[schemeLength] != L'/' && url[schemeLength] != L'?' &&
           url[schemeLength] != L'#';
}

bool isAllowed(const std::string& url, Schemes schemes)
{
    // Bytes above 0x7f stand for themselves: only the scheme and the
    // characters below 0x80 matter here.
    std::wstring wide;
    wide.reserve(url.size());
    for (unsigned char c : url)
        wide.push_back(static_cast<wchar_t>(c));
    return isAllowed(wide, schemes);
}

bool withinCap(unsigned long long have, unsigned long long more, unsigned long long cap)
{
    return cap == 0 || (have <= cap && more <= cap - have);
}

const char* curlProtocols(Schemes schemes) { return schemes == Schemes::HttpsOnly ? "https" : "http,https"; }

}  // namespace urlpolicy
}  // namespace utility
