// The SkinUI demo window: a skinned window built from "demo.xml" in the
// program's "ZIPRES" skin archive, pages of cards, one card per control
// family. Its close button is routed by name through the base window's notify
// map; the page buttons, the action button (it shows the number of its clicks
// as its text), the tab headers and the first layout (it fills the rich edit)
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
    int GetActionClicks() const { return m_actionClicks; }
    // Shows the page of the button "page_<name>" ("basics", "lists") and marks
    // the button; false (logged) when there is no such page.
    bool ShowPage(const wchar_t* name);

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUIDemoWindow"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"demo.xml"; }
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

    // "page_basics", "page_lists": the page of that button.
    void OnPageClick(SkinUI::UiNotify& msg);
    void OnActionClick(SkinUI::UiNotify& msg);
    // "tab0" to "tab2": shows that page and marks its header.
    void OnTabClick(SkinUI::UiNotify& msg);
    // Streams section_rich.rtf into the rich edit "richdemo".
    void OnRichSectionInit(SkinUI::UiNotify& msg);

private:
    // The page at the button's place in "pagebar"; false (logged) for a
    // control that is no page button.
    bool SelectPageOf(SkinUI::CControlUI* button);

    bool m_quitOnClose;
    int m_actionClicks = 0;
};

}  // namespace skindemo
