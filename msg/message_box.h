// The message boxes of the installer and the launcher: a small skinned popup
// with a title, a mark-up content text and one or more buttons, each button
// with a callback of its own. There is no result and no nested message loop:
// the caller fills the box and returns; what follows happens in the callbacks,
// on the UI thread. While a box is open its parent window is disabled, and the
// same content text is never shown in two boxes at once.
//
//   msg::showMessageBox(mainWindow, msg::iconPathForType(2), title, text,
//                       {msg::makeConfirmSelection([this] { onConfirmed(); })});
//
// A button's callback runs once the box is gone and the parent is enabled
// again; it may destroy the parent.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "skinui/core/ui_string.h"

namespace msg {

// One button of a box.
struct SelectionInfo {
    SkinUI::CUiString text;          // caption, may hold mark-up
    std::function<void()> callback;  // may be empty
    bool primary = true;             // filled look, else the secondary ("cancel") look
};

// A box as its caller sees it (the box window implements it).
class IMessageBox {
public:
    // A path shows it as "msgiconimage"'s background; empty hides the icon and widens the text.
    virtual void setIcon(const SkinUI::CUiString& path) = 0;
    virtual void setTitle(const SkinUI::CUiString& text) = 0;
    // Centred mark-up text; the box remembers it as its key among the open boxes.
    virtual void setContent(const SkinUI::CUiString& text) = 0;
    // Run when "closebtn" closes the box.
    virtual void setCloseCallback(std::function<void()> callback) = 0;
    // A button before the last child of "bottombar" (between its two spacers).
    virtual void addSelection(const SelectionInfo& info) = 0;
    virtual void addRemoteSelection(const SelectionInfo& info) = 0;

protected:
    ~IMessageBox() {}
};

// Makes, centres and shows a box over the parent (disabled meanwhile) from the
// skin file; null when the window cannot be made (the parent is enabled again).
IMessageBox* createMessageBox(HWND parent, const SkinUI::CUiString& skin);

// The set of open content texts: true when the text was not there yet.
bool tryRegisterMessage(const SkinUI::CUiString& text);
// True when the text was there.
bool unregisterMessage(const SkinUI::CUiString& text);

// The language table's "confirm" caption, primary, with the callback.
SelectionInfo makeConfirmSelection(std::function<void()> callback);
// The icon of a message type (0 to 3); other types have none (an empty path).
SkinUI::CUiString iconPathForType(int type);

// The skins of a box with and without an icon.
extern const wchar_t kMessageBoxSkin[];
extern const wchar_t kMessageBoxNoIconSkin[];

// Shows a box with the title, the content and one button per record, in
// order; the skin with an icon unless the icon path is empty. Nothing happens
// when a box with the same content is open. Returns the box, or null when
// none was shown.
IMessageBox* showMessageBox(HWND parent, const SkinUI::CUiString& iconPath, const SkinUI::CUiString& title,
                            const SkinUI::CUiString& content, const std::vector<SelectionInfo>& selections);

}  // namespace msg
