// Turning an archive item's name into a path below the target folder.
#pragma once

#include <string>

// Room for an item name, in UTF-16 units with the terminator.
const size_t kSzItemNameChars = 260;

// Converts an item name into a relative path ('/' becomes '\\'). Returns
// false for a name that could reach outside the target folder or name a
// device: empty, leading separator, drive letter or stream (':'), empty,
// "." or ".." segments (or dots and spaces only), wildcard and control
// characters, and device names such as "CON" or "LPT1".
bool SzItemRelativePath(const wchar_t* name, std::wstring& relative);
