// KXYunUpdateFrame: the offer of a newer launcher. "updateBtn" (or, when the
// update is forced, the opening itself) downloads the installer with its
// progress shown; once the installer is in place the window closes with
// result 1 and asks its owner to end the launcher, whose exit path starts
// the installer. A failed download brings the update button back with an
// error text.
#pragma once

#include <functional>
#include <string>

#include "skinui/core/window_impl_base.h"

class KXYunUpdateFrame : public SkinUI::WindowImplBase {
public:
    typedef std::function<void()> Callback;

    // Before Create: the offer to show.
    void setOffer(const std::wstring& content, const std::wstring& versionText, bool forced);
    // Called once the installer is ready (the launcher should end).
    void setReadyCallback(const Callback& callback) { readyCallback_ = callback; }
    // Called when the window goes away.
    void setCloseCallback(const Callback& callback) { closeCallback_ = callback; }

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"updateFrame"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"updateframe.xml"; }
    void InitWindow() override;
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void onUpdateBtnClicked(SkinUI::UiNotify& msg);
    void onCancelBtnClicked(SkinUI::UiNotify& msg);
    void startDownload();
    void onProgress(int percent);
    void showDownloading(bool downloading);
    void setText(const wchar_t* name, const std::wstring& value);

    std::wstring content_;
    std::wstring versionText_;
    bool forced_ = false;
    bool ready_ = false;
    Callback readyCallback_;
    Callback closeCallback_;
};
