// Readers for the numeric skin attribute values, shared by every class that
// takes attributes: integers, integer and decimal lists (rectangles, sizes,
// pairs), ARGB colours and booleans. A null value reads like an empty one.
#pragma once

#include <windows.h>

#include "skinui/core/ui_types.h"

namespace SkinUI {

// True only for the exact text "true".
bool ParseBool(const wchar_t* value);
// Base-10 integer (wcstol rules); 0 when there is no number.
int ParseInt(const wchar_t* value);
// Unsigned hexadecimal AARRGGBB after one optional leading "#".
DWORD ParseColor(const wchar_t* value);
// Skips the characters up to 0x20 at the start of a value.
const wchar_t* SkipBlanks(const wchar_t* value);

// Reads count base-10 integers, each followed by exactly one separator
// character of any kind. At the end of the text the rest read as 0.
// Returns how many numbers were read before the end of the text.
int ParseIntList(const wchar_t* value, int* out, int count);
// The same with decimal numbers (wcstod rules).
int ParseDoubleList(const wchar_t* value, double* out, int count);

// "l,t,r,b"
CUiRect ParseRect(const wchar_t* value);
// "cx,cy"
CUiSize ParseSize(const wchar_t* value);

}  // namespace SkinUI
