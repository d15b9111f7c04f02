#include "skinui/core/ui_string.h"

#include <shlwapi.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include "foundation/log.h"

namespace SkinUI {

namespace {

const wchar_t kEmpty[] = L"";

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

CUiString::CUiString() : m_pstr(m_szBuffer) { m_szBuffer[0] = L'\0'; }

CUiString::CUiString(const CUiString& src) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(src.m_pstr);
}

CUiString::CUiString(const wchar_t* text, int length) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(text, length);
}

CUiString::CUiString(wchar_t ch) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
}

CUiString::CUiString(const std::wstring& text) : m_pstr(m_szBuffer)
{
    m_szBuffer[0] = L'\0';
    Assign(text.c_str(), static_cast<int>(text.size()));
}

CUiString::~CUiString() { FreeHeap(); }

void CUiString::FreeHeap()
{
    if (m_pstr != m_szBuffer) {
        free(m_pstr);
        m_pstr = m_szBuffer;
    }
}

void CUiString::Assign(const wchar_t* text, int length)
{
    if (text == nullptr) {
        text = kEmpty;
    }
    length = length < 0 ? static_cast<int>(wcslen(text)) : static_cast<int>(wcsnlen(text, static_cast<size_t>(length)));
    // A source inside our own text would be freed or overwritten below.
    const int current = GetLength();
    if (text >= m_pstr && text <= m_pstr + current) {
        CUiString copy(text, length);
        Assign(copy.m_pstr, length);
        return;
    }
    if (length < MAX_LOCAL_STRING_LEN) {
        FreeHeap();
    } else if (m_pstr == m_szBuffer || length > current) {
        void* block = realloc(m_pstr == m_szBuffer ? nullptr : m_pstr, (length + 1) * sizeof(wchar_t));
        if (block == nullptr) {
            common::log("CUiString::Assign", __LINE__, L"out of memory for %d units", length);
            Empty();
            return;
        }
        m_pstr = static_cast<wchar_t*>(block);
    }
    memcpy(m_pstr, text, length * sizeof(wchar_t));
    m_pstr[length] = L'\0';
}

void CUiString::Empty()
{
    FreeHeap();
    m_szBuffer[0] = L'\0';
}

int CUiString::GetLength() const { return static_cast<int>(wcslen(m_pstr)); }

bool CUiString::IsEmpty() const { return m_pstr[0] == L'\0'; }

wchar_t CUiString::GetAt(int index) const { return m_pstr[index]; }

void CUiString::Append(const wchar_t* text)
{
    if (text == nullptr) {
        return;
    }
    const int current = GetLength();
    if (text >= m_pstr && text <= m_pstr + current) {
        CUiString copy(text);
        Append(copy.m_pstr);
        return;
    }
    const int added = static_cast<int>(wcslen(text));
    const int total = current + added;
    if (total >= MAX_LOCAL_STRING_LEN) {
        if (m_pstr == m_szBuffer) {
            wchar_t* block = static_cast<wchar_t*>(malloc((total + 1) * sizeof(wchar_t)));
            if (block == nullptr) {
                common::log("CUiString::Append", __LINE__, L"out of memory for %d units", total);
                return;
            }
            memcpy(block, m_szBuffer, (current + 1) * sizeof(wchar_t));
            m_pstr = block;
        } else {
            void* block = realloc(m_pstr, (total + 1) * sizeof(wchar_t));
            if (block == nullptr) {
                common::log("CUiString::Append", __LINE__, L"out of memory for %d units", total);
                return;
            }
            m_pstr = static_cast<wchar_t*>(block);
        }
    }
    memcpy(m_pstr + current, text, (added + 1) * sizeof(wchar_t));
}

CUiString& CUiString::operator=(const CUiString& src)
{
    Assign(src.m_pstr);
    return *this;
}

CUiString& CUiString::operator=(const wchar_t* text)
{
    if (text == nullptr) {
        Empty();
    } else {
        Assign(text);
    }
    return *this;
}

CUiString& CUiString::operator=(const std::wstring& text)
{
    Assign(text.c_str(), static_cast<int>(text.size()));
    return *this;
}

CUiString& CUiString::operator=(wchar_t ch)
{
    Empty();
    m_szBuffer[0] = ch;
    m_szBuffer[1] = L'\0';
    return *this;
}

CUiString& CUiString::operator+=(const CUiString& src)
{
    Append(src.m_pstr);
    return *this;
}

CUiString& CUiString::operator+=(const wchar_t* text)
{
    Append(text);
    return *this;
}

CUiString& CUiString::operator+=(wchar_t ch)
{
    const wchar_t text[2] = {ch, L'\0'};
    Append(text);
    return *this;
}

CUiString CUiString::operator+(const CUiString& src) const
{
    CUiString result(*this);
    result.Append(src.m_pstr);
    return result;
}

CUiString CUiString::operator+(const wchar_t* text) const
{
    CUiString result(*this);
    result.Append(text);
    return result;
}

int CUiString::Compare(const wchar_t* text) const
{
    if (text == nullptr) {
        text = kEmpty;
    }
    const wchar_t* a = m_pstr;
    while (*a != L'\0' && *a == *text) {
        ++a;
        ++text;
    }
    const unsigned short ua = static_cast<unsigned short>(*a);
    const unsigned short ub = static_cast<unsigned short>(*text);
    return ua < ub ? -1 : (ua > ub ? 1 : 0);
}

int CUiString::CompareNoCase(const wchar_t* text) const
{
    return Sign(_wcsicmp(m_pstr, text == nullptr ? kEmpty : text));
}

void CUiString::MakeLower()
{
    for (wchar_t* p = m_pstr; *p != L'\0'; ++p) {
        if (*p >= L'A' && *p <= L'Z') {
            *p = static_cast<wchar_t>(*p + (L'a' - L'A'));
        }
    }
}

CUiString CUiString::Left(int n) const
{
    const int length = GetLength();
    if (n < 0) {
        n = 0;
    }
    if (n > length) {
        n = length;
    }
    return CUiString(m_pstr, n);
}

CUiString CUiString::Mid(int pos, int len) const
{
    const int length = GetLength();
    if (pos < 0) {
        pos = 0;
    }
    if (pos >= length) {
        return CUiString();
    }
    if (len < 0 || len > length - pos) {
        len = length - pos;
    }
    if (len <= 0) {
        return CUiString();
    }
    return CUiString(m_pstr + pos, len);
}

int CUiString::Find(wchar_t ch, int start) const
{
    const int length = GetLength();
    if (start != 0 && (start < 0 || start >= length)) {
        return -1;
    }
    for (int i = start; i < length; ++i) {
        if (m_pstr[i] == ch) {
            return i;
        }
    }
    return -1;
}

int CUiString::Find(const wchar_t* text, int start) const
{
    if (text == nullptr) {
        return -1;
    }
    const int length = GetLength();
    if (start != 0 && (start < 0 || start > length)) {
        return -1;
    }
    if (text[0] == L'\0') {
        return start;
    }
    const wchar_t* hit = wcsstr(m_pstr + start, text);
    return hit == nullptr ? -1 : static_cast<int>(hit - m_pstr);
}

int CUiString::ReverseFind(wchar_t ch) const
{
    for (int i = GetLength() - 1; i >= 0; --i) {
        if (m_pstr[i] == ch) {
            return i;
        }
    }
    return -1;
}

int CUiString::Replace(const wchar_t* from, const wchar_t* to)
{
    if (from == nullptr || from[0] == L'\0') {
        return 0;
    }
    // Own copies: either text may point into this string.
    const CUiString search(from);
    const CUiString replacement(to);
    const int searchLength = search.GetLength();
    const int replacementLength = replacement.GetLength();
    int count = 0;
    int pos = Find(search.m_pstr, 0);
    while (pos >= 0) {
        CUiString rebuilt = Left(pos);
        rebuilt.Append(replacement.m_pstr);
        rebuilt.Append(m_pstr + pos + searchLength);
        Assign(rebuilt.m_pstr);
        ++count;
        pos = Find(search.m_pstr, pos + replacementLength);
    }
    return count;
}

int CUiString::FormatShort(const wchar_t* format, ...)
{
    wchar_t buffer[LOCAL_BUFFER_SIZE] = {0};
    va_list args;
    va_start(args, format);
    // wvnsprintfW keeps the wvsprintfW rules and never writes past the buffer.
    wvnsprintfW(buffer, LOCAL_BUFFER_SIZE, format == nullptr ? kEmpty : format, args);
    va_end(args);
    buffer[LOCAL_BUFFER_SIZE - 1] = L'\0';
    Assign(buffer);
    return GetLength();
}

}  // namespace SkinUI
