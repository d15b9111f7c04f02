// WindowImplBase: the base of every skinned window. It strips the caption,
// builds the control tree from its skin file, owns the window's CUiManager,
// routes notifications through its notify map and gives the window the
// borderless behaviour of the skins: hit testing by "caption" and "sizebox",
// maximising to the work area, round corners, the close / minimise /
// maximise / restore buttons and Escape to close.
//
// Message order in HandleMessage: the window's own handler slot for the
// message, then HandleCustomMessage, then the manager, then the old window
// procedure.
#pragma once

#include <windows.h>

#include "skinui/core/notify_pump.h"
#include "skinui/core/skin_builder.h"
#include "skinui/core/ui_event.h"
#include "skinui/core/ui_manager.h"
#include "skinui/core/window_wnd.h"

namespace SkinUI {

class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    WindowImplBase();
    ~WindowImplBase() override;

    virtual void InitWindow();
    // "closebtn", "minbtn", "maxbtn" and "restorebtn".
    virtual void OnClick(UiNotify& msg);

    // INotifyUI: through the notify map.
    void Notify(UiNotify& msg) override;
    // The window's pre-message filter: Return and Escape.
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    // IDialogBuilderCallback: no controls of its own.
    CControlUI* CreateControl(const wchar_t* className) override;

    CUiManager& GetManager() { return m_pm; }

    // The text of the skin-load failure box: the builder's error location and message.
    static CUiString FormatSkinLoadError(const CSkinBuilder& builder);

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    virtual CUiString GetSkinFolder() = 0;
    virtual CUiString GetSkinFile() = 0;
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);

    // Message handlers: each sets bHandled and returns the message result.
    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    // Every message without a handler of its own.
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled);
    // The current window style without WS_CAPTION.
    virtual LONG GetStyle();

    CUiManager m_pm;
};

}  // namespace SkinUI
