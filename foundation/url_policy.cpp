#include "foundation/url_policy.h"

#include <cwctype>

namespace utility {
namespace urlpolicy {
namespace {

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix, size_t& length)
{
    length = 0;
    for (; prefix[length]; ++length) {
        if (length >= text.size() || std::towlower(text[length]) != prefix[length])
            return false;
    }
    return true;
}

}  // namespace

bool isAllowed(const std::wstring& url, Schemes schemes)
{
    for (wchar_t c : url) {
        if (c <= L' ' || c == 0x7f)
            return false;
    }
    size_t schemeLength = 0;
    const bool https = startsWithNoCase(url, L"https://", schemeLength);
    if (!https && (schemes == Schemes::HttpsOnly || !startsWithNoCase(url, L"http://", schemeLength)))
        return false;
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

const char* curlProtocols(Schemes schemes)
{
    return schemes == Schemes::HttpsOnly ? "https" : "http,https";
}

}  // namespace urlpolicy
}  // namespace utility
