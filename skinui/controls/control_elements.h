// The skin elements of the controls library: RegisterControlElements adds
// every control class of skinui/controls to the skin builder's element table
// (CSkinBuilder::RegisterElement). Programs call it once at start-up, before
// their first window is created. SetUpProgramSkin is the whole start-up of a
// program's skin: the module, these elements, the language column, the
// optional "skin" folder beside the program and the skin archive of resource
// 129 with its language table.
#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {

void RegisterControlElements();

// locale: the language table's column ("en_US", "zh_TW" ...); en_US when the
// table has none of that name.
void SetUpProgramSkin(HINSTANCE instance, const std::wstring& locale);

}  // namespace SkinUI
