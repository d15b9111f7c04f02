#include "launcher/main_frame.h"

#include <shlobj.h>
#include <stdlib.h>

#include "foundation/desktop_user.h"
#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/runable.h"
#include "foundation/ufile.h"
#include "foundation/usystem.h"
#include "launcher/emulator_process.h"
#include "launcher/folder_dialog.h"
#include "launcher/launcher_rules.h"
#include "launcher/services/config_data.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/zul_model.h"
#include "launcher/tray_icon.h"
#include "msg/message_box.h"
#include "skinui/controls/button_ui.h"
#include "skinui/controls/edit_ui.h"
#include "skinui/controls/progress_ui.h"
#include "skinui/controls/tab_layout_ui.h"

using SkinUI::CControlUI;
using SkinUI::CUiManager;
using SkinUI::UiNotify;

SKINUI_BEGIN_NOTIFY_MAP(KXZulMainFrame, SkinUI::WindowImplBase)
    SKINUI_ON_CLICK(L"startBtn", &KXZulMainFrame::onStartBtnClicked)
    SKINUI_ON_CLICK(L"setupBtn", &KXZulMainFrame::onSetupBtnClicked)
    SKINUI_ON_CLICK(L"pauseBtn", &KXZulMainFrame::onPauseBtnClicked)
    SKINUI_ON_CLICK(L"closebtn", &KXZulMainFrame::onCloseBtnClicked)
    SKINUI_ON_CLICK(L"chanagePathBtn", &KXZulMainFrame::onChangePathBtnClicked)
    SKINUI_ON_CLICK(L"homeBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"facebookBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"youtobeBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"discordBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"razeraduBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"NBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"buyBtn", &KXZulMainFrame::onLinkBtnClicked)
    SKINUI_ON_CLICK(L"maxbtnxx", &KXZulMainFrame::OnClick)
SKINUI_END_NOTIFY_MAP()

namespace {

// The language text of key, or the key itself when the table has none.
const wchar_t* text(const wchar_t* key)
{
    const wchar_t* found = CUiManager::GetLanguageText(key);
    return found ? found : key;
}

// A version file holds decimal text; no digits (or no file) reads as 0.
int readVersionFile(const std::wstring& path)
{
    DWORD size = 0;
    std::unique_ptr<BYTE[]> bytes = utility::ufile::readWholeFile(path, size, 64);
    if (!bytes)
        return 0;
    std::string digits(reinterpret_cast<const char*>(bytes.get()), size);
    return atoi(digits.c_str());
}

struct LinkButton {
    const wchar_t* control;
    const wchar_t* urlKey;
};

const LinkButton kLinkButtons[] = {
    {L"homeBtn", L"url_home"},       {L"facebookBtn", L"url_facebook"}, {L"youtobeBtn", L"url_youtobe"},
    {L"discordBtn", L"url_discord"}, {L"razeraduBtn", L"url_Razeradu"}, {L"NBtn", L"url_N"},
    {L"buyBtn", L"url_store"},
};

const LinkButton kOptionalLinks[] = {{L"discordBtn", L"url_discord"},
                                     {L"razeraduBtn", L"url_Razeradu"},
                                     {L"NBtn", L"url_N"}};

}  // namespace

KXZulMainFrame::KXZulMainFrame() : anchor_(std::make_shared<Anchor>(Anchor{this})), weakAnchor_(anchor_) {}

KXZulMainFrame::~KXZulMainFrame()
{
    // A window closed without WM_DESTROY reaching this object (never in the
    // launcher) must still not leave its job running over a freed object.
    stopJob(kJobStopWaitOnCloseMs);
}

// ---- Window ----

void KXZulMainFrame::InitWindow()
{
    ::SetWindowTextW(m_hWnd, product::kName);
    m_pm.InitFontSet(text(L"font_name"));

    // Links that a language does not have (a short placeholder text) stay hidden.
    for (const LinkButton& link : kOptionalLinks) {
        if (CControlUI* button = m_pm.FindControl(link.control))
            button->SetVisible(wcslen(text(link.urlKey)) > 10);
    }
    KXZulModel& model = zulModel();
    if (CControlUI* rightBg = m_pm.FindControl(L"rightbgControl"))
        rightBg->SetBkImage((L"zul\\right_bg_" + model.getRegionProfile().code + L".png").c_str());
    setControlText(L"pathEdit", model.getPathDir());

    std::weak_ptr<Anchor> weak = weakAnchor_;
    model.setOnConfigLoaded([weak] {
        if (std::shared_ptr<Anchor> anchor = weak.lock())
            anchor->frame->_checkGameAndAppVersion();
    });
    model.setOnBackgroundChanged([weak] {
        if (std::shared_ptr<Anchor> anchor = weak.lock())
            anchor->frame->refreshBackground();
    });

    createWebViews();
    initSelfUpdate();
    _checkGameAndAppVersion();
}

LRESULT KXZulMainFrame::OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled)
{
    stopInstallProgress();
    stopJob(kJobStopWaitOnCloseMs);
    closeSelfUpdate();
    zulModel().setOnConfigLoaded(KXZulModel::Callback());
    zulModel().setOnBackgroundChanged(KXZulModel::Callback());
    // Tasks still queued for this window find it gone.
    anchor_.reset();
    return WindowImplBase::OnDestroy(uMsg, wParam, lParam, bHandled);
}

void KXZulMainFrame::OnFinalMessage(HWND hWnd)
{
    WindowImplBase::OnFinalMessage(hWnd);
    delete this;
    ::PostQuitMessage(0);
}

void KXZulMainFrame::adjustLayout()
{
    for (const wchar_t* name : {L"left22Control", L"left11Control", L"speedLabel"}) {
        if (CControlUI* control = m_pm.FindControl(name))
            control->SetVisible(false);
    }
    if (CControlUI* rightBg = m_pm.FindControl(L"rightbgControl"))
        rightBg->SetBkImage(L"");
    if (CControlUI* right = m_pm.FindControl(L"rightxxControl"))
        right->SetFixedWidth(340);
    if (CControlUI* bottom = m_pm.FindControl(L"startBottomControl"))
        bottom->SetFixedHeight(30);
    moveWebViewsCompact();
}

// ---- Versions and the Start button ----

void KXZulMainFrame::_checkGameAndAppVersion()
{
    if (workerState_ == kWorkerRunning) {
        common::log("KXZulMainFrame::_checkGameAndAppVersion", __LINE__, L"a job runs: the check follows its end");
        return;
    }
    // Every check starts from nothing: a flag set by an earlier check must
    // not survive a game folder or a configuration that no longer calls for it.
    needApk_ = false;
    needPlayer_ = false;

    KXZulModel& model = zulModel();
    const std::wstring game = model.getPathDir();
    const std::wstring client = utility::ufile::joinPath(game, L"zulclient.exe");
    const bool clientMissing = game.empty() || !utility::ufile::exists(client);
    setControlText(L"startBtn", text(clientMissing ? L"launcher_download_game" : L"launcher_start_game"));
    CControlUI* pathTab = m_pm.FindControl(L"pathTab");
    if (pathTab)
        pathTab->SetVisible(clientMissing);

    if (clientMissing || !utility::ufile::exists(game)) {
        common::log("KXZulMainFrame::_checkGameAndAppVersion", __LINE__, L"no player");
        return;
    }
    const int appVersion = readVersionFile(rules::localAppVersionPath(game));
    if (appVersion < 1000) {
        common::log("KXZulMainFrame::_checkGameAndAppVersion", __LINE__, L"read local version error:%d", appVersion);
        return;
    }
    if (appVersion < model.getAppMinVersion()) {
        setControlText(L"startBtn", text(L"update_window_text"));
        needApk_ = true;
        if (pathTab)
            pathTab->SetVisible(true);
    }
    const int playerVersion = readVersionFile(game + L"playerversion");
    if (playerVersion < model.getPlayerMinVersion()) {
        setControlText(L"startBtn", text(L"update_window_text"));
        needPlayer_ = true;
        if (pathTab)
            pathTab->SetVisible(true);
    }
    common::log("KXZulMainFrame::_checkGameAndAppVersion", __LINE__,
                L"local app %d player %d, remote app %d player %d, needApk %d needPlayer %d", appVersion, playerVersion,
                model.getAppMinVersion(), model.getPlayerMinVersion(), needApk_ ? 1 : 0, needPlayer_ ? 1 : 0);
}

void KXZulMainFrame::onStartBtnClicked(UiNotify& msg)
{
    const std::wstring client = utility::ufile::joinPath(zulModel().getPathDir(), L"zulclient.exe");
    if (!utility::ufile::exists(client)) {
        showInstallingState();
        startDownloadPlayer();
    } else if (needPlayer_) {
        showInstallingState();
        startDownloadPlayerNoData();
    } else if (!needApk_) {
        if (emulator::startClient(client, L"")) {
            ShowWindow(false, false);
        } else {
            common::log("KXZulMainFrame::onStartBtnClicked", __LINE__, L"client %s not started", client.c_str());
            showNotice(L"launcher_start_failed");
        }
    } else {
        showInstallingState();
        startDownloadApk();
    }
}

void KXZulMainFrame::showInstallingState()
{
    if (auto* pathTab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"pathTab", L"TabLayout")) {
        pathTab->SetVisible(true);
        pathTab->SelectItem(1);
    }
    if (CControlUI* start = m_pm.FindControl(L"startBtn")) {
        start->SetEnabled(false);
        start->SetText(text(L"launcher_btn_installing"));
    }
    setPauseImages(false);
}

void KXZulMainFrame::startDownloadPlayer() { startJob(kJobPlayer); }
void KXZulMainFrame::startDownloadPlayerNoData() { startJob(kJobPlayerNoData); }
void KXZulMainFrame::startDownloadApk() { startJob(kJobApk); }

void KXZulMainFrame::startJob(JobKind kind)
{
    if (workerState_ == kWorkerRunning || workerState_ == kWorkerBusy) {
        common::log("KXZulMainFrame::startJob", __LINE__, L"error!");
        return;
    }
    stop_ = false;
    workerState_ = kWorkerRunning;
    lastJob_ = kind;
    worker_.join(kJobStopWaitMs);
    lastProgressTick_ = 0;
    bytesSinceProgress_ = 0;
    // The job keeps this folder to its end: a change while it runs stops it.
    const std::wstring game = zulModel().getPathDir();
    Runable* job = new FunctionRunable([this, kind, game] {
        if (kind == kJobApk)
            _threadDownloadApk(game);
        else
            _threadDownloadPlayer(kind == kJobPlayerNoData, game);
    });
    if (!worker_.start(job)) {
        job->release();
        workerState_ = kWorkerIdle;
        showFailure(L"launcher_download_failed");
    }
}

void KXZulMainFrame::stopJob(DWORD waitMs)
{
    stop_ = true;
    worker_.requestStop();
    {
        utility::ScopedLock guard(downloadLock_);
        if (activeDownload_)
            activeDownload_->closeSession();
    }
    workerState_ = kWorkerIdle;
    worker_.join(waitMs);
}

void KXZulMainFrame::onPauseBtnClicked(UiNotify& msg)
{
    const int state = workerState_;
    if (state == kWorkerRunning) {
        paused_ = true;
        stopJob(kJobStopWaitMs);
        common::log("KXZulMainFrame::onPauseBtnClicked", __LINE__, L"download paused");
    } else if (state == kWorkerBusy) {
        return;
    } else {
        // Resume the job that was paused, not always the emulator package.
        paused_ = false;
        common::log("KXZulMainFrame::onPauseBtnClicked", __LINE__, L"download resumed, job %d", lastJob_);
        startJob(lastJob_);
    }
    setPauseImages(paused_);
}

void KXZulMainFrame::setPauseImages(bool paused)
{
    auto* pause = m_pm.FindControlAs<SkinUI::CButtonUI>(L"pauseBtn", L"Button");
    if (!pause)
        return;
    const wchar_t* kind = paused ? L"play" : L"pause";
    pause->SetNormalImage((std::wstring(L"zul\\") + kind + L"_normal.png").c_str());
    pause->SetHotImage((std::wstring(L"zul\\") + kind + L"_hot.png").c_str());
    pause->SetPushedImage((std::wstring(L"zul\\") + kind + L"_pushed.png").c_str());
}

// ---- Other buttons ----

void KXZulMainFrame::onSetupBtnClicked(UiNotify& msg) { showSetupFrame(); }

void KXZulMainFrame::onCloseBtnClicked(UiNotify& msg)
{
    // Hidden without a tray icon, nothing could bring the window back.
    if (KXZulSetupImpl::instance().minbyclose() && view::TrayiconControl::iconInTray()) {
        ShowWindow(false, false);
        return;
    }
    Close(IDOK);
}

void KXZulMainFrame::onLinkBtnClicked(UiNotify& msg)
{
    if (!msg.pSender)
        return;
    for (const LinkButton& link : kLinkButtons) {
        if (msg.pSender->GetName() == link.control) {
            const std::wstring url = text(link.urlKey);
            common::log("KXZulMainFrame::onLinkBtnClicked", __LINE__, L"open %s", url.c_str());
            utility::process::openUrlAsDesktopUser(url);
            return;
        }
    }
}

void KXZulMainFrame::onChangePathBtnClicked(UiNotify& msg)
{
    const std::wstring path = view::browseForFolder(m_hWnd, zulModel().getPathDir());
    const std::wstring folder = rules::gameFolderFromChoice(path);
    if (folder.empty()) {
        common::log("KXZulMainFrame::onChangePathBtnClicked", __LINE__, L"no folder chosen [%s]", path.c_str());
        return;
    }
    common::log("KXZulMainFrame::onChangePathBtnClicked", __LINE__, L"game folder %s", folder.c_str());
    setControlText(L"pathEdit", folder);
    zulModel().savePathDir(folder);
    _checkGameAndAppVersion();
}

// ---- Progress ----

bool KXZulMainFrame::onDownloadProgress(const char* bytes, DWORD count, unsigned long long received,
                                        unsigned long long total)
{
    bytesSinceProgress_ += count;
    const DWORD now = ::GetTickCount();
    if (lastProgressTick_ == 0 || now - lastProgressTick_ >= kProgressIntervalMs) {
        const int percent = rules::downloadPercent(received, total);
        const unsigned long long speed = bytesSinceProgress_;
        postToWindow([percent, received, total, speed](KXZulMainFrame& frame) {
            frame.updateDownloadProgress(percent, received, total, speed);
        });
        lastProgressTick_ = now ? now : 1;
        bytesSinceProgress_ = 0;
    }
    return !stop_;
}

void KXZulMainFrame::updateDownloadProgress(int percent, unsigned long long done, unsigned long long total,
                                            unsigned long long speed)
{
    setControlText(L"downloadLabel", text(L"launcher_downloading") + rules::downloadSizeText(done, total));
    setControlText(L"speedLabel", text(L"launcher_speed") + rules::downloadSpeedText(speed));
    // Nothing arrived in the last interval: the time left keeps its last value.
    std::wstring left;
    if (rules::downloadTimeLeftText(done, total, speed, left))
        setControlText(L"leftTimeLabel", text(L"launcher_lefttime") + left);
    if (auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"downloadprogressControl", L"Progress"))
        progress->SetValue(percent);
    if (percent > 0)
        setBarWidth(L"loadingSpaceControl", percent);
}

void KXZulMainFrame::startInstallProgress()
{
    installCounter_ = 0;
    if (auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"installprogressControl", L"Progress"))
        progress->SetValue(0);
    if (CControlUI* bar = m_pm.FindControl(L"loadingSpaceControlInstall"))
        bar->SetFixedWidth(1);
    if (auto* pathTab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"pathTab", L"TabLayout")) {
        pathTab->SetVisible(true);
        pathTab->SelectItem(2);
    }
    installTimer_.start(kInstallTickMs, new FunctionRunable([this] { onInstallTick(); }));
}

void KXZulMainFrame::onInstallTick()
{
    if (installCounter_ < 99)
        ++installCounter_;
    if (auto* progress = m_pm.FindControlAs<SkinUI::CProgressUI>(L"installprogressControl", L"Progress"))
        progress->SetValue(installCounter_);
    if (installCounter_ >= 1)
        setBarWidth(L"loadingSpaceControlInstall", installCounter_);
}

void KXZulMainFrame::stopInstallProgress() { installTimer_.stop(); }

void KXZulMainFrame::setBarWidth(const wchar_t* barName, int percent)
{
    if (CControlUI* bar = m_pm.FindControl(barName))
        bar->SetFixedWidth(percent * kBarSpan / 100 + kBarStart);
}

void KXZulMainFrame::showFolderPage()
{
    stopInstallProgress();
    if (auto* pathTab = m_pm.FindControlAs<SkinUI::CTabLayoutUI>(L"pathTab", L"TabLayout"))
        pathTab->SelectItem(0);
    zulModel().loadPathDir();
    setControlText(L"pathEdit", zulModel().getPathDir());
    if (CControlUI* start = m_pm.FindControl(L"startBtn"))
        start->SetEnabled(true);
    _checkGameAndAppVersion();
}

void KXZulMainFrame::onGameInstalled()
{
    // The report ends the hand-over's install progress; it must not enable
    // Start in the middle of another job.
    if (workerState_ == kWorkerRunning) {
        common::log("KXZulMainFrame::onGameInstalled", __LINE__, L"a job runs: report ignored");
        return;
    }
    showFolderPage();
}

void KXZulMainFrame::showFailure(const wchar_t* key)
{
    showFolderPage();
    showNotice(key);
}

void KXZulMainFrame::showNotice(const wchar_t* key)
{
    msg::showMessageBox(m_hWnd, msg::iconPathForType(2), text(L"prompt"), text(key),
                        {msg::makeConfirmSelection(nullptr)});
}

void KXZulMainFrame::refreshBackground()
{
    KXZulModel& model = zulModel();
    const std::wstring launch = model.launchBackgroundPath();
    if (utility::ufile::exists(launch)) {
        if (CControlUI* background = m_pm.FindControl(L"launchBGControl"))
            background->SetBkImage(launch.c_str());
    }
    const std::wstring player = model.playerBackgroundPath();
    const std::wstring game = model.getPathDir();
    if (utility::ufile::exists(player) && !game.empty())
        utility::ufile::copyFile(player, utility::ufile::joinPath(game, L"data\\launch_1920.jpg"), false);
}

void KXZulMainFrame::setControlText(const wchar_t* name, const std::wstring& value)
{
    if (CControlUI* control = m_pm.FindControl(name))
        control->SetText(value.c_str());
}

// ---- Posting to the window ----

void KXZulMainFrame::postToWindow(const std::function<void(KXZulMainFrame&)>& fn) const
{
    std::weak_ptr<Anchor> weak = weakAnchor_;
    postToUiThread(new FunctionRunable([weak, fn] {
        std::shared_ptr<Anchor> anchor = weak.lock();
        if (anchor && !anchor->frame->stop_)
            fn(*anchor->frame);
    }));
}

void KXZulMainFrame::finishJob(const std::function<void(KXZulMainFrame&)>& fn)
{
    // Whatever the job did, the worker is free again once the window hears of
    // its end; state changes stay on the UI thread.
    postToWindow([fn](KXZulMainFrame& frame) {
        frame.workerState_ = kWorkerIdle;
        fn(frame);
    });
}
