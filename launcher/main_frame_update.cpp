// KXZulMainFrame: the launcher's own update. The window hears every check's
// result: an offer opens the update window (modal when the update is
// forced); no update turns an open update-check window to its "latest
// version" page.
#include "launcher/main_frame.h"

#include "foundation/log.h"
#include "foundation/product.h"
#include "launcher/deployment.h"
#include "launcher/services/zul_model.h"
#include "launcher/ui_additions.h"
#include "launcher/update_check_frame.h"
#include "launcher/update_frame.h"
#include "launcher/update_model.h"

void KXZulMainFrame::initSelfUpdate()
{
    KXSpaceUpdateModel& model = KXSpaceUpdateModel::instance();
    model.setHost(deployment::storageHost());
    model.setLanguage(zulModel().getLanguage());
    std::weak_ptr<Anchor> weak = weakAnchor_;
    model.setCheckCallback([weak](const std::wstring& content, const std::wstring& versionText) {
        if (std::shared_ptr<Anchor> anchor = weak.lock())
            anchor->frame->onUpdateChecked(content, versionText);
    });
    model.checkVersion(true);
}

void KXZulMainFrame::showUpdateCheckFrame()
{
    if (updateCheckFrame_) {
        updateCheckFrame_->ShowWindow(true);
        return;
    }
    KXSpaceUpdateCheckFrame* frame = new KXSpaceUpdateCheckFrame();
    std::weak_ptr<Anchor> weak = weakAnchor_;
    frame->setCloseCallback([weak] {
        if (std::shared_ptr<Anchor> anchor = weak.lock())
            anchor->frame->updateCheckFrame_ = nullptr;
    });
    if (!frame->Create(m_hWnd, product::kName, WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW)) {
        common::log("KXZulMainFrame::showUpdateCheckFrame", __LINE__, L"update check window not created lastError = %d",
                    GetLastError());
        return;  // destroyed while being made, it has deleted itself
    }
    updateCheckFrame_ = frame;
    frame->CenterWindow();
    frame->ShowWindow(true);
}

void KXZulMainFrame::onUpdateChecked(const std::wstring& content, const std::wstring& versionText)
{
    if (content.empty() && versionText.empty()) {
        if (updateCheckFrame_)
            updateCheckFrame_->showNoUpdate();
        return;
    }
    if (updateCheckFrame_)
        updateCheckFrame_->Close(IDOK);
    showUpdateFrame(content, versionText);
}

void KXZulMainFrame::showUpdateFrame(const std::wstring& content, const std::wstring& versionText)
{
    if (updateFrame_) {
        updateFrame_->ShowWindow(true);
        return;
    }
    const bool forced = KXSpaceUpdateModel::instance().forceUpdate();
    common::log("KXZulMainFrame::showUpdateFrame", __LINE__, L"update offer %s forced %d", versionText.c_str(),
                forced ? 1 : 0);
    KXYunUpdateFrame* frame = new KXYunUpdateFrame();
    frame->setOffer(content, versionText, forced);
    std::weak_ptr<Anchor> weak = weakAnchor_;
    frame->setCloseCallback([weak] {
        if (std::shared_ptr<Anchor> anchor = weak.lock())
            anchor->frame->updateFrame_ = nullptr;
    });
    // The installer is in place: the launcher ends and its exit path starts it.
    frame->setReadyCallback([weak] {
        if (std::shared_ptr<Anchor> anchor = weak.lock())
            ::DestroyWindow(anchor->frame->m_hWnd);
    });
    if (!frame->Create(m_hWnd, product::kName, WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW)) {
        common::log("KXZulMainFrame::showUpdateFrame", __LINE__, L"update window not created lastError = %d",
                    GetLastError());
        return;  // destroyed while being made, it has deleted itself
    }
    updateFrame_ = frame;
    frame->CenterWindow();
    if (forced)
        SkinUI::RunModal(frame->GetHWND());
    else
        frame->ShowWindow(true);
}

void KXZulMainFrame::closeSelfUpdate()
{
    KXSpaceUpdateModel::instance().setCheckCallback(KXSpaceUpdateModel::CheckCallback());
    // Owned windows go with this one; they must not reach it on the way.
    if (updateCheckFrame_) {
        updateCheckFrame_->setCloseCallback(KXSpaceUpdateCheckFrame::CloseCallback());
        updateCheckFrame_ = nullptr;
    }
    if (updateFrame_) {
        updateFrame_->setCloseCallback(KXYunUpdateFrame::Callback());
        updateFrame_ = nullptr;
    }
}
