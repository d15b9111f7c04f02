#include "skinui/core/theme_colors.h"

#include <string>
#include <vector>

#include "foundation/log.h"
#include "skinui/core/attribute_parser.h"

namespace SkinUI {

namespace {

struct ThemeKey {
    const wchar_t* key;
    const wchar_t* fallback;
};

// Keys of the "setting" section of "colors.ini", in table order.
const ThemeKey kThemeKeys[] = {
    {L"mainToolbar", L"FF06061F"},    {L"mainContent", L"FF20203A"}, {L"mainToolbarPopup", L"FF1F1F39"},
    {L"toolbar", L"FF06061F"},        {L"content", L"FF20203A"},     {L"setupLeftBar", L"FF20203A"},
    {L"setupBottomBar", L"FF36364D"},
};

std::vector<std::wstring>& ThemeTable()
{
    static std::vector<std::wstring> table = {
        L"FF16171F", L"FF20203A", L"FF21212E", L"FF2E3956", L"FFF5F5F5", L"FFEAEAEB", L"FFEAEAEB",
    };
    return table;
}

}  // namespace

bool LoadThemeColorsFromFile(const wchar_t* iniPath)
{
    if (iniPath == nullptr || GetFileAttributesW(iniPath) == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    std::vector<std::wstring>& table = ThemeTable();
    table.clear();
    for (const ThemeKey& entry : kThemeKeys) {
        wchar_t value[1024] = {0};
        GetPrivateProfileStringW(L"setting", entry.key, L"", value, 1024, iniPath);
        table.push_back(value[0] != L'\0' ? value : entry.fallback);
    }
    common::log("LoadThemeColorsFromFile", __LINE__, L"theme colours read from %s", iniPath);
    return true;
}

void LoadThemeColors()
{
    wchar_t path[MAX_PATH] = {0};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        common::log("LoadThemeColors", __LINE__, L"GetModuleFileNameW failed lastError = %d",
                    static_cast<int>(GetLastError()));
        return;
    }
    std::wstring iniPath(path, length);
    const size_t slash = iniPath.find_last_of(L"\\/");
    iniPath = (slash == std::wstring::npos ? std::wstring() : iniPath.substr(0, slash + 1)) + L"colors.ini";
    LoadThemeColorsFromFile(iniPath.c_str());
}

DWORD GetThemeColor(int index)
{
    const std::vector<std::wstring>& table = ThemeTable();
    if (index < 0 || index >= static_cast<int>(table.size())) {
        return 0;
    }
    return ParseColor(table[index].c_str());
}

int GetThemeColorCount() { return static_cast<int>(ThemeTable().size()); }

}  // namespace SkinUI
