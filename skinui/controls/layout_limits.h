// Size limits the vertical and horizontal layouts give their children.
#pragma once

#include "skinui/core/control_ui.h"

namespace SkinUI {

// The fixed width when it is at least 1, else the maximum width.
inline int LayoutLimitWidth(const CControlUI* child)
{
    return child->GetFixedWidth() >= 1 ? child->GetFixedWidth() : child->GetMaxWidth();
}

inline int LayoutLimitHeight(const CControlUI* child)
{
    return child->GetFixedHeight() >= 1 ? child->GetFixedHeight() : child->GetMaxHeight();
}

// value raised to low, then lowered to high.
inline int LayoutClamp(int value, int low, int high)
{
    if (value < low)
        value = low;
    if (value > high)
        value = high;
    return value;
}

}  // namespace SkinUI
