#include "ustring.h"

#include <windows.h>
#include <wchar.h>
#include <wctype.h>

namespace utility {
namespace ustring {

std::wstring mbToWide(const char* text, int length, unsigned codePage)
{
    if (!text || length < -1 || length == 0)
        return std::wstring();
    int needed = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::wstring out(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text, length, &out[0], needed);
    if (length == -1 && !out.empty() && out.back() == L'\0')
        out.pop_back();
    return out;
}

std::wstring toWide(const std::string& text) { return mbToWide(text.c_str(), static_cast<int>(text.size()), CP_ACP); }

std::wstring fromUtf8(const std::string& text)
{
    return mbToWide(text.c_str(), static_cast<int>(text.size()), CP_UTF8);
}

std::string toUtf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                     nullptr);
    if (needed <= 0)
        return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], needed, nullptr, nullptr);
    return out;
}

void trim(std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) {
        text.clear();
        return;
    }
    size_t last = text.find_last_not_of(L' ');
    text = text.substr(first, last - first + 1);
}

void toLower(std::wstring& text)
{
    for (auto& ch : text)
        ch = static_cast<wchar_t>(towlower(ch));
}

std::wstring toLowerCopy(std::wstring text)
{
    toLower(text);
    return text;
}

std::list<std::wstring> split(const std::wstring& text, const std::wstring& separator)
{
    std::list<std::wstring> pieces;
    if (text.empty() || separator.empty())
        return pieces;
    size_t start = 0;
    for (;;) {
        size_t at = text.find(separator, start);
        std::wstring piece = text.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start);
        trim(piece);
        pieces.push_back(piece);
        if (at == std::wstring::npos)
            break;
        start = at + separator.size();
    }
    return pieces;
}

std::vector<std::wstring> splitToVector(const std::wstring& text, const std::wstring& separator)
{
    std::list<std::wstring> pieces = split(text, separator);
    return std::vector<std::wstring>(pieces.begin(), pieces.end());
}

KeyValueMap parseKeyValues(const std::list<std::wstring>& items, const std::wstring& separator)
{
    KeyValueMap map;
    if (separator.empty())
        return map;
    for (const auto& item : items) {
        size_t at = item.find(separator);
        if (at == std::wstring::npos)
            continue;
        std::wstring key = item.substr(0, at);
        trim(key);
        toLower(key);
        if (key.empty())
            continue;
        std::wstring value = item.substr(at + separator.size());
        trim(value);
        map[key] = value;
    }
    return map;
}

bool lookup(const KeyValueMap& map, const std::wstring& key, std::wstring& value)
{
    auto it = map.find(key);
    if (it == map.end())
        return false;
    value = it->second;
    return true;
}

bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix)
{
    const size_t length = wcslen(prefix);
    return text.size() >= length && _wcsnicmp(text.c_str(), prefix, length) == 0;
}

bool isDigits(const std::wstring& text)
{
    for (wchar_t ch : text) {
        if (ch < L'0' || ch > L'9')
            return false;
    }
    return true;
}

}  // namespace ustring
}  // namespace utility
