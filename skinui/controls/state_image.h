// The image attributes of the controls that show one image per state (the
// button, option, edit, combo box, slider, list header item and scroll bar):
// each control lists its attribute names, with their enlarge-mode twins, in
// one table of UiImageAttribute, finds a name with FindImageAttribute and
// sets the image with SetStateImage (SetImageAttribute does both).
#pragma once

#include <stddef.h>
#include <wchar.h>

#include "skinui/core/control_ui.h"

namespace SkinUI {

// One image attribute: its skin name, the name of its enlarge-mode twin
// (null when it has none) and the image it sets (a member pointer, or what
// else the control finds its image by).
template <typename Image>
struct UiImageAttribute {
    const wchar_t* name;
    const wchar_t* enlargeName;
    Image image;
};

// The entry of table that name names, or null; enlarge tells whether the
// name was the enlarge-mode twin.
template <typename Image, size_t N>
const UiImageAttribute<Image>* FindImageAttribute(const UiImageAttribute<Image> (&table)[N], const wchar_t* name,
                                                  bool& enlarge)
{
    for (const UiImageAttribute<Image>& attribute : table) {
        if (wcscmp(name, attribute.name) == 0) {
            enlarge = false;
            return &attribute;
        }
        if (attribute.enlargeName != nullptr && wcscmp(name, attribute.enlargeName) == 0) {
            enlarge = true;
            return &attribute;
        }
    }
    return nullptr;
}

// Gives info a new description (the enlarge-mode one when enlarge, which
// outside enlarge mode does nothing) and invalidates control. Nothing happens
// when the description is unchanged and its image is loaded. True when the
// description changed.
bool SetStateImage(CControlUI& control, UiDrawInfo& info, const wchar_t* description, bool enlarge = false);

// The attribute of a control whose table holds its own images: when name is
// in table, sets that image from value (SetStateImage) and returns true.
template <typename Control, size_t N>
bool SetImageAttribute(Control& control, const UiImageAttribute<UiDrawInfo Control::*> (&table)[N], const wchar_t* name,
                       const wchar_t* value)
{
    bool enlarge = false;
    const UiImageAttribute<UiDrawInfo Control::*>* attribute = FindImageAttribute(table, name, enlarge);
    if (attribute == nullptr) {
        return false;
    }
    SetStateImage(control, control.*(attribute->image), value, enlarge);
    return true;
}

}  // namespace SkinUI
