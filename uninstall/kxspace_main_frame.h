// The uninstaller's main window: asks the user to confirm (page 0), shows the
// clean-up job's progress (page 1) and its end (page 2). In silent mode it is
// never shown and closes itself when the job reaches 100.
#pragma once

#include <windows.h>

#include "skinui/core/window_impl_base.h"

class KXSpaceMainFrame : public SkinUI::WindowImplBase {
public:
    SKINUI_DECLARE_NOTIFY_MAP()

    // UI thread: a job progress value; 100 shows the end page.
    void onUninstallProgress(int percent);

protected:
    const wchar_t* GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    SkinUI::CUiString GetSkinFolder() override;
    SkinUI::CUiString GetSkinFile() override;
    // Refused while the clean-up job runs: the title-bar button, Escape, the
    // system menu and the task bar alike.
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    void onSureClicked(SkinUI::UiNotify& msg);
    // "Not yet", the title-bar close and the end page's Confirm.
    void onCloseClicked(SkinUI::UiNotify& msg);
    void onOpenSurvey(SkinUI::UiNotify& msg);

    // The skin names two controls "cancelBtn"; the manager's look-up by name
    // answers the last one, the end page's Confirm. This is the title bar's.
    SkinUI::CControlUI* titleCloseButton();
};
