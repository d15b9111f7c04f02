// KXZulSetupFrame: the launcher's settings window. Three on/off choices
// (start with Windows, come to the front when the game runs, what the close
// button does), each saved to config.data at once; the game folder with its
// Browse button; the version with the update check button; the UI language,
// which applies at the next start (the window offers to restart now); and
// two "about" links.
//
// The window's initial state is set without notifications: opening the
// window changes nothing.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skinui/core/window_impl_base.h"

class KXZulSetupFrame : public SkinUI::WindowImplBase {
public:
    typedef std::function<void()> Callback;

    // The version the window shows after the "update_currentVersion" text.
    static const wchar_t kVersion[];
    // The locales the language list offers.
    static const wchar_t* const kLocales[];
    static const int kLocaleCount = 5;

    // Set by the main window, in this order: the window is gone; check for an
    // update; the game folder changed; one more that nothing calls.
    KXZulSetupFrame(const Callback& onClosed, const Callback& onCheckUpdate, const Callback& onPathChanged,
                    const Callback& onOther);
    // Only for a window never made; a made one deletes itself when it is gone.
    ~KXZulSetupFrame() override = default;

    // The language list's rows: display name and locale of each entry of the
    // language table whose locale is one of kLocales.
    struct LanguageItem {
        std::wstring name;
        std::wstring locale;
    };
    static std::vector<LanguageItem> languageItems();

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"KXZulSetupFrame"; }
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"xm_setupframe.xml"; }
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    void onAutoRunChanged(SkinUI::UiNotify& msg);
    void onExistGameChanged(SkinUI::UiNotify& msg);
    void onCloseModeChanged(SkinUI::UiNotify& msg);
    void onLanguageSelected(SkinUI::UiNotify& msg);
    void onChangePathClicked(SkinUI::UiNotify& msg);
    void onCheckUpdateClicked(SkinUI::UiNotify& msg);
    void onAboutLinkClicked(SkinUI::UiNotify& msg);

    // Selects the "on" or "off" option of a pair without a notification.
    void showFlag(const wchar_t* onOption, const wchar_t* offOption, bool on);
    void fillLanguages();
    void askRestart();

    Callback onClosed_;
    Callback onCheckUpdate_;
    Callback onPathChanged_;
    Callback onOther_;
};
