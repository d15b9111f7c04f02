// String helpers: conversions, trimming, splitting, key=value parsing.
#pragma once

#include <list>
#include <map>
#include <string>
#include <vector>

namespace utility {
namespace ustring {

typedef std::map<std::wstring, std::wstring> KeyValueMap;

std::wstring mbToWide(const char* text, int length, unsigned codePage);
std::wstring toWide(const std::string& text);
// UTF-16 to UTF-8 (the log, JSON and skin files speak UTF-8).
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& text);
void trim(std::wstring& text);
void toLower(std::wstring& text);
// A lower-case copy, as toLower makes it.
std::wstring toLowerCopy(std::wstring text);
std::list<std::wstring> split(const std::wstring& text, const std::wstring& separator);
std::vector<std::wstring> splitToVector(const std::wstring& text, const std::wstring& separator);
KeyValueMap parseKeyValues(const std::list<std::wstring>& items, const std::wstring& separator);
bool lookup(const KeyValueMap& map, const std::wstring& key, std::wstring& value);
bool isDigits(const std::wstring& text);
// True when text begins with prefix, compared without regard to case.
bool startsWithNoCase(const std::wstring& text, const wchar_t* prefix);

}  // namespace ustring
}  // namespace utility
