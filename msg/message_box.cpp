#include "msg/message_box.h"

#include <map>
#include <new>
#include <set>
#include <string>

#include "foundation/log.h"
#include "msg/message_box_window.h"
#include "skinui/core/ui_manager.h"

namespace msg {

using SkinUI::CUiManager;
using SkinUI::CUiString;

const wchar_t kMessageBoxSkin[] = L"common/xml_messagebox.xml";
const wchar_t kMessageBoxNoIconSkin[] = L"common/xml_messagebox_noicon.xml";

namespace {

// The content texts of the open boxes (UI thread only).
std::set<std::wstring>& OpenMessages()
{
    static std::set<std::wstring> texts;
    return texts;
}

}  // namespace

bool tryRegisterMessage(const CUiString& text) { return OpenMessages().insert(text.GetData()).second; }

bool unregisterMessage(const CUiString& text) { return OpenMessages().erase(text.GetData()) > 0; }

SelectionInfo makeConfirmSelection(std::function<void()> callback)
{
    SelectionInfo info;
    info.text = CUiManager::GetLanguageTextA("confirm");
    info.callback = std::move(callback);
    info.primary = true;
    return info;
}

CUiString iconPathForType(int type)
{
    // Built once: the enlarge mode of the first call holds for the whole run.
    static const std::map<int, CUiString> table = [] {
        const CUiString notice = CUiManager::IsEnlargeMode() ? L"commonEnalarge/msg_noice48.png"
                                                             : L"common/msg_noice48.png";
        return std::map<int, CUiString>{{0, notice}, {1, notice}, {2, notice}, {3, L"common/msg_ok.png"}};
    }();
    auto it = table.find(type);
    if (it != table.end()) {
        return it->second;
    }
    // No icon: the caller's box takes the skin without one.
    common::log("msg::iconPathForType", __LINE__, L"unknown icon type %d: no icon", type);
    return CUiString();
}

IMessageBox* createMessageBox(HWND parent, const CUiString& skin)
{
    MessageBoxWindow* box = new (std::nothrow) MessageBoxWindow(parent, skin);
    if (box == nullptr) {
        common::log("msg::createMessageBox", __LINE__, L"no memory for a message box lastError = %d", 0);
        return nullptr;
    }
    bool deleted = false;
    box->WatchDeletion(&deleted);
    if (box->Create(parent, L"", WS_POPUP | WS_BORDER | WS_SYSMENU, WS_EX_TOPMOST | WS_EX_TOOLWINDOW) == nullptr) {
        common::log("msg::createMessageBox", __LINE__, L"message box window %s not made lastError = %d", skin.GetData(),
                    static_cast<int>(::GetLastError()));
        if (!deleted) {
            delete box;  // lets the parent go
        }
        return nullptr;
    }
    box->WatchDeletion(nullptr);
    box->CenterWindow();
    box->ShowWindow(true, true);
    return box;
}

IMessageBox* showMessageBox(HWND parent, const CUiString& iconPath, const CUiString& title, const CUiString& content,
                            const std::vector<SelectionInfo>& selections)
{
    if (!tryRegisterMessage(content)) {
        common::log("msg::showMessageBox", __LINE__, L"a box with the same text is open: %s", content.GetData());
        return nullptr;
    }
    IMessageBox* box = createMessageBox(parent, iconPath.IsEmpty() ? kMessageBoxNoIconSkin : kMessageBoxSkin);
    if (box == nullptr) {
        unregisterMessage(content);
        return nullptr;
    }
    box->setTitle(title);
    box->setContent(content);
    for (const SelectionInfo& info : selections) {
        box->addSelection(info);
    }
    return box;
}

}  // namespace msg
