#include "skinui/controls/vertical_layout_ui.h"

namespace SkinUI {

CVerticalLayoutUI::CVerticalLayoutUI() : CBoxLayoutUI(true) {}

const wchar_t* CVerticalLayoutUI::GetClass() const { return L"VerticalLayout"; }

LPVOID CVerticalLayoutUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && wcscmp(name, L"VerticalLayout") == 0) {
        return static_cast<CVerticalLayoutUI*>(this);
    }
    return CContainerUI::GetInterface(name);
}

}  // namespace SkinUI
