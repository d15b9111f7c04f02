// The SkinUI demo window: a skinned window built from "demo.xml" in the
// program's "ZIPRES" skin archive. Its close button is routed by name through
// the base window's notify map; the action button through the demo's own map.
#pragma once

#include <windows.h>

#include "skinui/controls/container_ui.h"
#include "skinui/core/control_ui.h"
#include "skinui/core/window_impl_base.h"

namespace skindemo {

// Until the button control is part of the framework, the demo's skin gets its
// "Button" elements from here (the builder asks the window for names its
// element table does not know): an image control that sends "click".
class DemoButtonUI : public SkinUI::CControlUI {
public:
    const wchar_t* GetClass() const override { return L"Button"; }
    UINT GetControlFlags() const override { return SkinUI::UIFLAG_TABSTOP; }
    void DoEvent(SkinUI::UiEvent& event) override;
};

// Until the layouts are part of the framework, the demo's "ScrollPanel" is a
// container that tells its scroll bars, after each placement, the size its
// children ask for (their minimum sizes), as the layouts do.
class DemoScrollPanelUI : public SkinUI::CContainerUI {
public:
    void SetPos(RECT rc, bool needInvalidate = true) override;
};

class DemoWindow : public SkinUI::WindowImplBase {
public:
    // quitOnClose: the window ends the message loop when it is destroyed.
    explicit DemoWindow(bool quitOnClose) : m_quitOnClose(quitOnClose) {}
    // The window goes before the object that handles its messages.
    ~DemoWindow() override;

    // Closes the window after ms milliseconds (0: never).
    void CloseAfter(UINT ms);
    int GetActionClicks() const { return m_actionClicks; }

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"SkinUIDemoWindow"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"demo.xml"; }
    SkinUI::CControlUI* CreateControl(const wchar_t* className) override;
    LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

    void OnActionClick(SkinUI::UiNotify& msg);
    void OnRichSectionInit(SkinUI::UiNotify& msg);

private:
    bool m_quitOnClose;
    int m_actionClicks = 0;
};

}  // namespace skindemo
