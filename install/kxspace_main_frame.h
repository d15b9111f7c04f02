// The installer's only window: the start page (agreement, links, custom
// folder), the progress page and the finished page of the tab layout
// "maintab". It starts the install job, follows its progress and hands over
// to the launcher at the end.
#pragma once

#include <windows.h>

#include <string>

#include "skinui/core/window_impl_base.h"

class KXSpaceModel;

namespace SkinUI {
class CControlUI;
}

class KXSpaceMainFrame : public SkinUI::WindowImplBase {
public:
    explicit KXSpaceMainFrame(KXSpaceModel& model);

    SKINUI_DECLARE_NOTIFY_MAP()

    // Shows the progress page and starts the install job.
    void startInstall();
    // A progress report of the job, on the UI thread: 0-99, 100 done, -1 failed.
    void onProgress(int percent, const std::wstring& text);
    // A folder the user typed or browsed: the product folder rule, then the
    // validity check; a valid folder becomes the install path. False when
    // the path was ignored or is not valid.
    bool applyPath(const std::wstring& path);
    bool checkFreeSpace(const std::wstring& path);
    void showWarningBox(HWND parent, const std::wstring& title, const std::wstring& content);
    void showNoticeBox(HWND parent, const std::wstring& title, const std::wstring& content);

protected:
    const wchar_t* GetWindowClassName() const override;
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    SkinUI::CUiString GetSkinFolder() override;
    SkinUI::CUiString GetSkinFile() override;
    // While the job runs the window stays: closing it would end the job in
    // the middle of writing the install folder.
    LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

private:
    void onInstallNow(SkinUI::UiNotify& msg);
    void onTasteNow(SkinUI::UiNotify& msg);
    void onCancel(SkinUI::UiNotify& msg);
    void onTogglePathPanel(SkinUI::UiNotify& msg);
    void onOpenTerms(SkinUI::UiNotify& msg);
    void onOpenPrivacy(SkinUI::UiNotify& msg);
    void onBrowsePath(SkinUI::UiNotify& msg);
    void onToggleWindowHeight(SkinUI::UiNotify& msg);
    void onStartClicked(SkinUI::UiNotify& msg);
    void onPathEditKillFocus(SkinUI::UiNotify& msg);
    void onProtocolChanged(SkinUI::UiNotify& msg);

    void startLauncherAndClose();
    // The failure's text of the language table, from its key.
    void showFailure(const std::wstring& key);
    // Makes the window taller (positive) or shorter, keeping left, top and width.
    void growWindow(int dy);
    void showMessageBox(HWND parent, int iconType, const std::wstring& title, const std::wstring& content);
    std::wstring pathEditText();
    bool isProtocolAccepted();
    SkinUI::CControlUI* control(const wchar_t* name);

    KXSpaceModel& model_;
    bool pathPanelOpen_ = false;
    bool installed_ = false;
    bool installing_ = false;
};
