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
    if (workerState_ != kWorkerRunning) {
        setControlText(L"pathEdit", zulModel().getPathDir());
        if (SkinUI::CControlUI* start = m_pm.FindControl(L"startBtn"))
            start->SetEnabled(true);
        _checkGameAndAppVersion();
        return;
    }
    // The job works in the folder it started with: it must not go on
    // filling the old folder, nor finish half of its work in the new one.
    common::log("KXZulMainFrame::onGamePathChanged", __LINE__, L"game folder changed during a job: job stopped");
    stopJob(kJobStopWaitMs);
    showFolderPage();
}
