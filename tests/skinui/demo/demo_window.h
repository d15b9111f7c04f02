// The SkinUI demo window: a skinned window built from "demo.xml" in the
// program's "ZIPRES" skin archive, pages of cards (one card per control
// family) chosen by the page options above them. Its close button is routed
// by name through the base window's notify map; the action button (it shows
// the number of its clicks as its text), the tab headers, the page options,
// the message-box buttons and the first layout (it fills the rich edit)
// through the demo's own map.
#pragma once

#include <windows.h>

#include "skinui/core/window_impl_base.h"

namespace skindemo {

class DemoWindow : public SkinUI::WindowImplBase {
public:
    // quitOnClose: the window ends the message loop when it is destroyed.
    explicit DemoWindow(bool quitOnClose) : m_quitOnClose(quitOnClose) {}
    // The window goes before the object that handles its messages.
    ~DemoWindow() override;

    // Closes the window after ms milliseconds (0: never).
    void CloseAfter(UINT ms);
    // Shows the page of the option "page_" + name; false when there is none.
    bool ShowPage(const wchar_t* name);
    // Opens the sample message box of one or two buttons over the window.
    void OpenMessageBox(bool twoButtons);
    int GetActionClicks() const { return m_actionClicks; }

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUIDemoWindow"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"demo.xml"; }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

    void OnActionClick(SkinUI::UiNotify& msg);
    // "tab0" to "tab2": shows that page and marks its header.
    void OnTabClick(SkinUI::UiNotify& msg);
    // An option of the group "demopages" selected: the page of the same index.
    void OnSelectChanged(SkinUI::UiNotify& msg);
    void OnMessageBoxClick(SkinUI::UiNotify& msg);
    // Streams section_rich.rtf into the rich edit "richdemo".
    void OnRichSectionInit(SkinUI::UiNotify& msg);
    // "valuechanged" of the slider on the tree page.
    void OnSliderChanged(SkinUI::UiNotify& msg);

private:
    bool m_quitOnClose;
    int m_actionClicks = 0;
};

}  // namespace skindemo
