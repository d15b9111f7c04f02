// The main window's part in the settings window: it opens the window once,
// forgets it when it closes and answers its callbacks.
#include "launcher/main_frame.h"

#include "foundation/log.h"
#include "launcher/services/zul_model.h"
#include "launcher/setup_frame.h"

void KXZulMainFrame::showSetupFrame()
{
    if (!setupFrame_) {
        KXZulSetupFrame* frame = new KXZulSetupFrame([this] { setupFrame_ = nullptr; },
                                                     [this] { onCheckUpdateRequested(); },
                                                     [this] { onGamePathChanged(); }, [] {});
        if (!frame->Create(m_hWnd, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0)) {
            common::log("KXZulMainFrame::showSetupFrame", __LINE__, L"settings window not created lastError = %d",
                        GetLastError());
            return;  // destroyed while being made, it has deleted itself
        }
        setupFrame_ = frame;
    }
    setupFrame_->CenterWindow();
    setupFrame_->ShowWindow(true);
}

void KXZulMainFrame::onCheckUpdateRequested()
{
    common::log("KXZulMainFrame::onCheckUpdateRequested", __LINE__, L"update check asked for");
    showUpdateCheckFrame();
}

void KXZulMainFrame::onGamePathChanged()
{
    setControlText(L"pathEdit", zulModel().getPathDir());
    _checkGameAndAppVersion();
}
