// The UI framework's process-wide set-up for the installer: the module, the
// control elements, the language column, the optional "skin" folder beside
// the program and the skin archive of resource 129 with its language table.
#pragma once

#include <windows.h>

#include <string>

// locale: the language table's column ("en_US", "zh_TW" ...); the first
// column when the table has none of that name.
void initSkinResource(HINSTANCE instance, const std::wstring& locale);
