#include "skinui/core/test_hook.h"

#ifdef ZUL_TEST_HOOKS

#include <cwchar>

#include "foundation/log.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/ui_manager.h"

namespace SkinUI {
namespace testhook {

namespace {

struct Search {
    const wchar_t* name;
    int remaining;
};

CControlUI* CALLBACK FindNth(CControlUI* control, LPVOID data)
{
    Search* search = static_cast<Search*>(data);
    if (wcscmp(control->GetName().GetData(), search->name) != 0) {
        return nullptr;
    }
    return search->remaining-- == 0 ? control : nullptr;
}

bool ShownWithAncestors(CControlUI* control)
{
    for (; control != nullptr; control = control->GetParent()) {
        if (!control->IsVisible()) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool AnswerControlQuery(CUiManager& manager, HWND window, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    static const UINT queryId = ::RegisterWindowMessageW(kQueryMessageName);
    const COPYDATASTRUCT* question = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (uMsg != WM_COPYDATA || question == nullptr || question->dwData != queryId ||
        question->cbData != sizeof(ControlQuery)) {
        return false;
    }
    ControlQuery query = *static_cast<const ControlQuery*>(question->lpData);
    query.name[127] = 0;

    ControlAnswer answer = {};
    Search search = {query.name, query.index};
    CControlUI* root = manager.GetRoot();
    CControlUI* control = root != nullptr ? root->FindControl(FindNth, &search, UIFIND_ME_FIRST) : nullptr;
    if (control != nullptr) {
        answer.found = 1;
        answer.visible = ShownWithAncestors(control) ? 1 : 0;
        answer.enabled = control->IsEnabled() ? 1 : 0;
        answer.screen = control->GetPos();
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&answer.screen), 2);
        CUiString text = control->GetText();
        CUiManager::ProcessLanguageText(text);
        wcsncpy(answer.text, text.GetData(), 511);
    }
    COPYDATASTRUCT reply = {queryId, sizeof(answer), &answer};
    HWND driver = reinterpret_cast<HWND>(wParam);
    if (::SendMessageW(driver, WM_COPYDATA, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&reply)) == 0) {
        common::log("testhook::AnswerControlQuery", __LINE__, L"answer not taken lastError = %d",
                    static_cast<int>(::GetLastError()));
    }
    return true;
}

}  // namespace testhook
}  // namespace SkinUI

#endif  // ZUL_TEST_HOOKS
