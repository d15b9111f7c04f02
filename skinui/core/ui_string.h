// CUiString: the framework's wide string. Short texts live in an inline
// buffer inside the object; only texts of 63 code units or more use the heap.
#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {

class CUiString {
public:
    // Texts shorter than this stay in the inline buffer.
    enum { MAX_LOCAL_STRING_LEN = 63, LOCAL_BUFFER_SIZE = 64 };

    CUiString();
    CUiString(const CUiString& src);
    // length -1 means up to the terminator; a null text gives the empty string.
    CUiString(const wchar_t* text, int length = -1);
    explicit CUiString(wchar_t ch);
    CUiString(const std::wstring& text);
    ~CUiString();

    void Assign(const wchar_t* text, int length = -1);
    void Empty();
    int GetLength() const;
    bool IsEmpty() const;
    wchar_t GetAt(int index) const;
    const wchar_t* GetData() const { return m_pstr; }
    operator const wchar_t*() const { return m_pstr; }
    // True while the text lives in a heap block rather than the inline buffer.
    bool IsOnHeap() const { return m_pstr != m_szBuffer; }

    void Append(const wchar_t* text);

    CUiString& operator=(const CUiString& src);
    CUiString& operator=(const wchar_t* text);
    CUiString& operator=(const std::wstring& text);
    CUiString& operator=(wchar_t ch);

    CUiString& operator+=(const CUiString& src);
    CUiString& operator+=(const wchar_t* text);
    CUiString& operator+=(wchar_t ch);

    CUiString operator+(const CUiString& src) const;
    CUiString operator+(const wchar_t* text) const;

    wchar_t operator[](int index) const { return m_pstr[index]; }

    // Ordinal comparison of code units: -1, 0 or 1.
    int Compare(const wchar_t* text) const;
    int CompareNoCase(const wchar_t* text) const;

    bool operator==(const CUiString& other) const { return Compare(other.m_pstr) == 0; }
    bool operator==(const wchar_t* text) const { return Compare(text) == 0; }
    bool operator!=(const CUiString& other) const { return Compare(other.m_pstr) != 0; }
    bool operator!=(const wchar_t* text) const { return Compare(text) != 0; }
    bool operator<(const CUiString& other) const { return Compare(other.m_pstr) < 0; }
    bool operator<(const wchar_t* text) const { return Compare(text) < 0; }

    void MakeLower();

    // First n units, n clamped to 0..length.
    CUiString Left(int n) const;
    // len < 0 means to the end; a negative pos counts as 0.
    CUiString Mid(int pos, int len = -1) const;

    // start must be 0 or lie strictly inside the text, else -1.
    int Find(wchar_t ch, int start = 0) const;
    // start must be 0 or at most the length, else -1.
    int Find(const wchar_t* text, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    // Replaces every occurrence; returns the count. An empty search text changes nothing.
    int Replace(const wchar_t* from, const wchar_t* to);

    // wvsprintfW rules into a 64-unit buffer (longer output is cut);
    // assigns the result and returns the number of units written.
    int FormatShort(const wchar_t* format, ...);

private:
    void FreeHeap();

    wchar_t* m_pstr;
    wchar_t m_szBuffer[LOCAL_BUFFER_SIZE];
};

}  // namespace SkinUI
