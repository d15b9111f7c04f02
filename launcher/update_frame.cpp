#include "launcher/update_frame.h"

#include "foundation/log.h"
#include "launcher/update_model.h"
#include "skinui/controls/label_ui.h"
#include "skinui/controls/progress_ui.h"

using SkinUI::CControlUI;
using SkinUI::CUiManager;

SKINUI_BEGIN_NOTIFY_MAP(KXYunUpdateFrame, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"updateBtn", &KXYunUpdateFrame::onUpdateBtnClicked)
    SKINUI_ON_CLICK(L"cancelBtn", &KXYunUpdateFrame::onCancelBtnClicked)
SKINUI_END_NOTIFY_MAP()

namespace {

// The bottom row's height and the progress label's own.
const int kButtonRowHeight = 60;
const int kProgressLabelHeight = 22;
// The progress text's font, and the smaller one of the failure text, which
// wraps in the room beside the buttons.
const int kProgressFont = 1;
const int kFailureFont = 0;

std::wstring text(const wchar_t* key)
{
    const wchar_t* found = CUiManager::GetLanguageText(key);
    return found ? found : key;
}

}  // namespace

void KXYunUpdateFrame::setOffer(const std::wstring& content, const std::wstring& versionText, bool forced)
{
    content_ = content;
    versionText_ = versionText;
    forced_ = forced;
}

void KXYunUpdateFrame::InitWindow()
{
    m_pm.InitFontSet(text(L"font_name").c_str());
    setText(L"oldVersionLabel", text(L"update_currentVersion") + KXSpaceUpdateModel::kOwnVersionText);
    setText(L"updateVersionLabel", text(L"update_newversion") + versionText_);
    setText(L"contentLabel", content_);
    KXSpaceUpdateModel::instance().setProgressCallback([this](int percent) { onProgress(percent); });
    if (forced_) {
        if (CControlUI* close = m_pm.FindControl(L"closebtn"))
            close->SetVisible(false);
        startDownload();
    }
}

void KXYunUpdateFrame::onUpdateBtnClicked(SkinUI::UiNotify& msg) { startDownload(); }

void KXYunUpdateFrame::onCancelBtnClicked(SkinUI::UiNotify& msg)
{
    KXSpaceUpdateModel::instance().stopDownload();
    Close(IDCANCEL);
}

void KXYunUpdateFrame::startDownload()
{
    common::log("KXYunUpdateFrame::startDownload", __LINE__, L"update %s", versionText_.c_str());
    showDownloading(true);
    if (!KXSpaceUpdateModel::instance().startDownload())
        onProgress(KXSpaceUpdateModel::kDownloadFailed);
}

void KXYunUpdateFrame::onProgress(int percent)
{
    if (ready_)
        return;
    if (percent == KXSpaceUpdateModel::kDownloadFailed) {
        showDownloading(false);
        // The error takes the whole height of the progress place.
        if (CControlUI* gap = m_pm.FindControl(L"progressGap"))
            gap->SetVisible(false);
        if (auto* label = m_pm.FindControlAs<SkinUI::CLabelUI>(L"progressLabel", L"Label")) {
            label->SetVisible(true);
            label->SetMultiLine(true);
            label->SetFont(kFailureFont);
            label->SetFixedHeight(kButtonRowHeight);
            label->SetText(text(L"update_download_failed").c_str());
        }
        return;
    }
    if (auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"updateprogress", L"Progress"))
        progress->SetValue(percent);
    setText(L"progressLabel", text(L"update_downloading") + std::to_wstring(percent) + L"%");
    if (percent < 100)
        return;
    ready_ = true;
    common::log("KXYunUpdateFrame::onProgress", __LINE__, L"update ready");
    // The owner may destroy this window from its callback: nothing of this
    // object is touched after the call.
    const Callback ready = readyCallback_;
    Close(1);
    if (ready)
        ready();
}

void KXYunUpdateFrame::showDownloading(bool downloading)
{
    if (CControlUI* button = m_pm.FindControl(L"updateBtn"))
        button->SetVisible(!downloading);
    for (const wchar_t* name : {L"progressPanel", L"progressLabel"}) {
        if (CControlUI* control = m_pm.FindControl(name))
            control->SetVisible(true);
    }
    if (CControlUI* progress = m_pm.FindControl(L"updateprogress"))
        progress->SetVisible(downloading);
    if (CControlUI* space = m_pm.FindControl(L"buttonSpace"))
        space->SetVisible(false);
    if (downloading) {
        if (CControlUI* gap = m_pm.FindControl(L"progressGap"))
            gap->SetVisible(true);
        if (auto* label = m_pm.FindControlAs<SkinUI::CLabelUI>(L"progressLabel", L"Label")) {
            label->SetMultiLine(false);
            label->SetFont(kProgressFont);
            label->SetFixedHeight(kProgressLabelHeight);
        }
        if (auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"updateprogress", L"Progress"))
            progress->SetValue(0);
        setText(L"progressLabel", text(L"update_downloading") + L"0%");
    }
}

void KXYunUpdateFrame::setText(const wchar_t* name, const std::wstring& value)
{
    if (CControlUI* control = m_pm.FindControl(name))
        control->SetText(value.c_str());
}

LRESULT KXYunUpdateFrame::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    KXSpaceUpdateModel& model = KXSpaceUpdateModel::instance();
    model.setProgressCallback(KXSpaceUpdateModel::ProgressCallback());
    // The download ends with the window, unless it already delivered.
    if (!ready_)
        model.stopDownload();
    if (closeCallback_) {
        Callback callback = closeCallback_;
        closeCallback_ = Callback();
        callback();
    }
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

void KXYunUpdateFrame::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
}
