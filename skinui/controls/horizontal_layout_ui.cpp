#include "skinui/controls/horizontal_layout_ui.h"

namespace SkinUI {

CHorizontalLayoutUI::CHorizontalLayoutUI() : CBoxLayoutUI(false) {}

const wchar_t* CHorizontalLayoutUI::GetClass() const { return L"HorizontalLayout"; }

LPVOID CHorizontalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"HorizontalLayout") == 0) {
        return static_cast<CHorizontalLayoutUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

}  // namespace SkinUI
