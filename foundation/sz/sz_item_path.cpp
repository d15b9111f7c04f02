#include "foundation/sz/sz_item_path.h"

#include <cwctype>

namespace {

bool isDotsAndSpaces(const std::wstring& segment)
{
    for (wchar_t c : segment) {
        if (c != L'.' && c != L' ') {
            return false;
        }
    }
    return true;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, CONIN$, CONOUT$, with or without an
// extension and trailing spaces: Windows opens the device for these.
bool isDeviceName(const std::wstring& segment)
{
    std::wstring base = segment.substr(0, segment.find(L'.'));
    while (!base.empty() && base.back() == L' ') {
        base.pop_back();
    }
    for (wchar_t& c : base) {
        c = static_cast<wchar_t>(towupper(c));
    }
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" ||
        base == L"CONOUT$") {
        return true;
    }
    if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
        wchar_t digit = base[3];
        // The superscript digits count as well.
        return (digit >= L'1' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
    }
    return false;
}

bool isSegmentSafe(const std::wstring& segment)
{
    if (segment.empty() || isDotsAndSpaces(segment)) {
        return false;
    }
    for (wchar_t c : segment) {
        if (c < 0x20 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') {
            return false;
        }
    }
    return !isDeviceName(segment);
}

}  // namespace

bool SzItemRelativePath(const wchar_t* name, std::wstring& relative)
{
    relative.clear();
    if (!name || name[0] == 0) {
        return false;
    }
    std::wstring path(name);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    // A leading separator means the root of a drive or a UNC or device path;
    // a colon anywhere means a drive letter or an alternate data stream.
    if (path[0] == L'\\' || path.find(L':') != std::wstring::npos) {
        return false;
    }
    size_t start = 0;
    for (;;) {
        size_t end = path.find(L'\\', start);
        std::wstring segment = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (!isSegmentSafe(segment)) {
            return false;
        }
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
    relative.swap(path);
    return true;
}
