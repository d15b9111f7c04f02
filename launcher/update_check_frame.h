// KXSpaceUpdateCheckFrame: the small window shown while a check that the
// user asked for runs. Page 0 of "maintab" while checking, page 1 ("you have
// the latest version") when its owner hears there is no update.
#pragma once

#include <functional>

#include "foundation/ui_task_dispatcher.h"
#include "skinui/core/window_impl_base.h"

class KXSpaceUpdateCheckFrame : public SkinUI::WindowImplBase {
public:
    static const UINT kTickMs = 400;
    typedef std::function<void()> CloseCallback;

    // Called when the window goes away (its owner forgets it).
    void setCloseCallback(const CloseCallback& callback) { closeCallback_ = callback; }
    // The check found nothing newer: page 1, the moving dots stop.
    void showNoUpdate();

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"updatecheckframe"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"updatecheckframe.xml"; }
    void InitWindow() override;
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void onOkBtnClicked(SkinUI::UiNotify& msg);
    void onTick();

    UiTimer timer_;
    int ticks_ = 0;
    CloseCallback closeCallback_;
};
