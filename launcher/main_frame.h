// KXZulMainFrame: the launcher's main window. It shows the game folder and
// the Start button, whose meaning follows the state of the game folder:
// download the emulator package, update it, update the game package, or start
// the emulator client. It owns the one worker thread that runs the package
// jobs (main_frame_jobs.cpp) and shows their progress.
//
// Threads: every handler runs on the UI thread. A job runs on the window's
// worker and reaches the window only through tasks posted to the UI thread;
// a task that arrives after the window is gone is dropped. Destroying the
// window stops the job and waits for it.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "foundation/sz/sz_extract.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/worker_thread.h"
#include "launcher/external_bridge.h"
#include "launcher/services/http_downloader.h"
#include "skinui/core/window_impl_base.h"

class KXZulSetupFrame;
class KXSpaceUpdateCheckFrame;
class KXYunUpdateFrame;

class KXZulMainFrame : public SkinUI::WindowImplBase,
                       public utility::CHttpDownloader::IHttpDownloadSink,
                       public SzExtractCallback {
public:
    // Worker states.
    static const int kWorkerIdle = -1;
    static const int kWorkerRunning = 0;
    static const int kWorkerBusy = 1;
    // How long a restart, a pause or a folder change waits for a job to end.
    static const DWORD kJobStopWaitMs = 1000;
    // How long the window's destruction waits for it.
    static const DWORD kJobStopWaitOnCloseMs = 5000;
    // Progress goes to the window at most once per interval.
    static const DWORD kProgressIntervalMs = 1000;
    static const UINT kInstallTickMs = 1000;
    // Bar geometry of the two progress pages: width = percent * 978 / 100 + 8.
    static const int kBarSpan = 978;
    static const int kBarStart = 8;

    KXZulMainFrame();
    ~KXZulMainFrame() override;

    // The compact layout for client areas of 800 pixels height or less.
    void adjustLayout();
    // The emulator reported the end of a game-package installation.
    void onGameInstalled();
    // Reads the local versions and sets the Start button and the need flags.
    void _checkGameAndAppVersion();

    // The settings window's "check for update": the update-check window
    // (made once, owned by this window) runs a manual check; its result comes
    // back here (main_frame_update.cpp).
    void showUpdateCheckFrame();

    SKINUI_DECLARE_NOTIFY_MAP()

protected:
    const wchar_t* GetWindowClassName() const override { return L"KXZULMainFrame"; }
    void OnFinalMessage(HWND hWnd) override;
    void InitWindow() override;
    SkinUI::CUiString GetSkinFolder() override { return L""; }
    SkinUI::CUiString GetSkinFile() override { return L"xml_mainframe.xml"; }
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

    // utility::CHttpDownloader::IHttpDownloadSink (download thread).
    bool onDownloadProgress(const char* bytes, DWORD count, unsigned long long received,
                            unsigned long long total) override;
    // SzExtractCallback (worker thread).
    bool shouldContinue() override;
    void onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount, uint64_t bytesDone,
                      uint64_t bytesTotal) override;
    void onResult(int32_t code, const wchar_t* itemName) override;

private:
    enum JobKind { kJobPlayer, kJobPlayerNoData, kJobApk };
    // Lets posted tasks find out that the window is gone.
    struct Anchor {
        KXZulMainFrame* frame;
    };

    // ---- Notify handlers (one per control name) ----
    void onStartBtnClicked(SkinUI::UiNotify& msg);
    void onSetupBtnClicked(SkinUI::UiNotify& msg);
    void onPauseBtnClicked(SkinUI::UiNotify& msg);
    void onCloseBtnClicked(SkinUI::UiNotify& msg);
    void onChangePathBtnClicked(SkinUI::UiNotify& msg);
    void onLinkBtnClicked(SkinUI::UiNotify& msg);

    // ---- Settings window (main_frame_setup.cpp) ----
    void showSetupFrame();
    // The settings window's update check button.
    void onCheckUpdateRequested();
    // The settings window chose another game folder.
    void onGamePathChanged();

    // ---- UI thread ----
    void showInstallingState();
    void startDownloadPlayer();
    void startDownloadPlayerNoData();
    void startDownloadApk();
    void startJob(JobKind kind);
    // Stops the running job and waits for it up to waitMs; the state goes idle.
    void stopJob(DWORD waitMs);
    void updateDownloadProgress(int percent, unsigned long long done, unsigned long long total,
                                unsigned long long speed);
    void startInstallProgress();
    void onInstallTick();
    void stopInstallProgress();
    // Page 0 with the Start button enabled, the game folder reloaded and the
    // versions checked again (after an unpack, a game installation or a failure).
    void showFolderPage();
    // Page 0 and a message box with the language text of key.
    void showFailure(const wchar_t* key);
    void showNotice(const wchar_t* key);
    void refreshBackground();
    void setPauseImages(bool paused);
    void setBarWidth(const wchar_t* barName, int percent);
    void setControlText(const wchar_t* name, const std::wstring& text);

    // ---- Worker thread (main_frame_jobs.cpp) ----
    // Each job works in the game folder it was started with.
    void _threadDownloadPlayer(bool noData, const std::wstring& game);
    void _threadDownloadApk(const std::wstring& game);
    // Stopped: the job was stopped on the way (the driver tool then stays
    // unstarted). Refused: a tool is not signed by a trusted publisher and
    // was not started.
    enum RepairResult { kRepairDone, kRepairStopped, kRepairRefused };
    RepairResult runRepair(const std::wstring& game);
    // WinINet twice, then libcurl twice, onto target (resume: continuing the
    // partial file an earlier job left).
    utility::DownloadResult downloadPackage(const std::wstring& url, const std::wstring& target, bool resume);
    // The address and version text of the emulator package.
    void resolvePlayerPackage(bool noData, std::wstring& address, std::wstring& version, bool& versioned);
    bool stopRequested() const { return stop_; }
    // Runs fn on the UI thread with the window, unless by then the window is
    // gone or the job was stopped (the stopper has set the window's state).
    void postToWindow(const std::function<void(KXZulMainFrame&)>& fn) const;
    // The end of a job: the worker goes idle, then fn runs on the UI thread.
    void finishJob(const std::function<void(KXZulMainFrame&)>& fn);
    static bool writeLocalAppVersion(const std::wstring& gameDir, int version);

    // Download throttle (download thread).
    DWORD lastProgressTick_ = 0;
    unsigned long long bytesSinceProgress_ = 0;

    utility::WorkerThread worker_;
    std::atomic<bool> stop_{false};
    bool paused_ = false;
    std::atomic<int> workerState_{kWorkerIdle};
    JobKind lastJob_ = kJobPlayer;
    std::atomic<bool> needApk_{false};
    std::atomic<bool> needPlayer_{false};

    // The WinINet download running now, so that a stop can abort it at once.
    utility::CriticalSection downloadLock_;
    utility::CHttpDownloader* activeDownload_ = nullptr;

    int installCounter_ = 0;
    UiTimer installTimer_;

    KXZulSetupFrame* setupFrame_ = nullptr;
    // ---- Web views (main_frame_web.cpp) ----
    void createWebViews();
    void createBrowser1(const std::wstring& address);
    void createBrowser2(const std::wstring& address);
    void moveWebViewsCompact();
    void* webView1_ = nullptr;
    void* webView2_ = nullptr;
    // The embedded browser's script bridge, one per page; the engine's views
    // above call the launcher through their bound function instead.
    LocationEventHandler locationHandlers_[2];

    // ---- Self-update (main_frame_update.cpp) ----
    void initSelfUpdate();
    void onUpdateChecked(const std::wstring& content, const std::wstring& versionText);
    void showUpdateFrame(const std::wstring& content, const std::wstring& versionText);
    // The model forgets this window; the update windows go with it.
    void closeSelfUpdate();
    KXSpaceUpdateCheckFrame* updateCheckFrame_ = nullptr;
    KXYunUpdateFrame* updateFrame_ = nullptr;

    std::shared_ptr<Anchor> anchor_;
    const std::weak_ptr<Anchor> weakAnchor_;
};
