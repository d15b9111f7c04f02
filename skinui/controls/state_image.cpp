#include "skinui/controls/state_image.h"

#include "skinui/controls/label_ui.h"

namespace SkinUI {

bool SetStateImage(CControlUI& control, UiDrawInfo& info, const wchar_t* description, bool enlarge)
{
    if (!CLabelUI::ReplaceImage(info, description, enlarge)) {
        return false;
    }
    control.Invalidate();
    return true;
}

}  // namespace SkinUI
