// The process-wide theme colour table: seven colours a control can pick by
// index ("bkcolorIndex"), replaced at start-up from "colors.ini" beside the
// executable when that file exists.
#pragma once

#include <windows.h>

namespace SkinUI {

// Reads "colors.ini" from the folder of the running executable; without the
// file the current table stays.
void LoadThemeColors();
// The same from a given file path; false (table unchanged) when it is missing.
bool LoadThemeColorsFromFile(const wchar_t* iniPath);
// The entry at index as ARGB; 0 when the index is out of range.
DWORD GetThemeColor(int index);
int GetThemeColorCount();

}  // namespace SkinUI
