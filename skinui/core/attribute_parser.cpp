#include "skinui/core/attribute_parser.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>

namespace SkinUI {

namespace {

const wchar_t kEmpty[] = L"";

const wchar_t* OrEmpty(const wchar_t* value) { return value == nullptr ? kEmpty : value; }

// Steps over the one separator character behind a number, but never past
// the end of the text.
const wchar_t* SkipSeparator(const wchar_t* p) { return *p == L'\0' ? p : p + 1; }

}  // namespace

bool ParseBool(const wchar_t* value) { return wcscmp(OrEmpty(value), L"true") == 0; }

int ParseInt(const wchar_t* value) { return static_cast<int>(wcstol(OrEmpty(value), nullptr, 10)); }

DWORD ParseColor(const wchar_t* value)
{
    const wchar_t* p = OrEmpty(value);
    if (*p == L'#') {
        ++p;
    }
    return static_cast<DWORD>(wcstoul(p, nullptr, 16));
}

const wchar_t* SkipBlanks(const wchar_t* value)
{
    const wchar_t* p = OrEmpty(value);
    while (*p != L'\0' && *p <= L' ') {
        ++p;
    }
    return p;
}

int ParseIntList(const wchar_t* value, int* out, int count)
{
    const wchar_t* p = OrEmpty(value);
    int read = 0;
    for (int i = 0; i < count; ++i) {
        if (*p == L'\0') {
            out[i] = 0;
            continue;
        }
        wchar_t* end = nullptr;
        out[i] = static_cast<int>(wcstol(p, &end, 10));
        p = SkipSeparator(end);
        ++read;
    }
    return read;
}

int ParseDoubleList(const wchar_t* value, double* out, int count)
{
    const wchar_t* p = OrEmpty(value);
    int read = 0;
    for (int i = 0; i < count; ++i) {
        if (*p == L'\0') {
            out[i] = 0.0;
            continue;
        }
        wchar_t* end = nullptr;
        out[i] = wcstod(p, &end);
        p = SkipSeparator(end);
        ++read;
    }
    return read;
}

CUiRect ParseRect(const wchar_t* value)
{
    int v[4] = {0, 0, 0, 0};
    ParseIntList(value, v, 4);
    return CUiRect(v[0], v[1], v[2], v[3]);
}

CUiSize ParseSize(const wchar_t* value)
{
    int v[2] = {0, 0};
    ParseIntList(value, v, 2);
    return CUiSize(v[0], v[1]);
}

}  // namespace SkinUI
