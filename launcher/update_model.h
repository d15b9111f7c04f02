// KXSpaceUpdateModel: the launcher's own update. It fetches the update
// document, decides whether a newer launcher is offered (optional, suggested
// at start, or forced), downloads the new installer into "update\" beside
// the launcher and remembers it for the exit path, which starts it.
//
// Threads: the check and the download run on the two downloaders' workers.
// Their results reach the windows only through tasks posted to the UI
// thread; each task reads the callback when it runs, so a window that
// cleared its callback on closing never hears from a late task. The offer
// (address, texts, version, force flag) and the installer's path are written
// by one worker and read by the other and the UI thread: they are kept under
// one lock. No check starts while the offer is being downloaded.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "foundation/worker_thread.h"
#include "launcher/services/http_downloader.h"

class KXSpaceUpdateModel : public utility::CHttpDownloader::IHttpDownloadSink {
public:
    // (description, version text); both empty when there is no update.
    typedef std::function<void(const std::wstring&, const std::wstring&)> CheckCallback;
    // A percentage, or kDownloadFailed.
    typedef std::function<void(int)> ProgressCallback;

    // The deployment's version: as the update documents number it (10000
    // for 1.0.0) and as shown ("1.0.0").
    static const int kOwnVersion;
    static const wchar_t kOwnVersionText[];
    static const char kUpdatePath[];  // "/zul/update_en.data"
    static constexpr int kDownloadFailed = -1;
    static const int kCheckTries = 3;
    static const DWORD kRetryPauseMs = 1000;
    static const DWORD kProgressIntervalMs = 1000;

    // What a check found.
    struct Offer {
        bool update = false;
        bool forced = false;
        int version = 0;
        std::wstring url;
        std::wstring content;
        std::wstring versionText;
    };

    // The process's one model, made on first use.
    static KXSpaceUpdateModel& instance();

    // Where the update document lives ("scheme://name[:port]") and the
    // language code whose description replaces "content".
    void setHost(const std::string& host);
    void setLanguage(const std::wstring& code);

    // UI thread. An empty callback clears it.
    void setCheckCallback(const CheckCallback& callback);
    void setProgressCallback(const ProgressCallback& callback);

    // Starts a check unless one runs (automatic: the check at start, which
    // offers only suggested or forced versions). While the offered installer
    // is downloading no check starts: the offer being downloaded is posted
    // again instead.
    void checkVersion(bool automatic);
    bool checkRunning() const { return checkRunning_; }
    // Stops any download and downloads the offered installer.
    bool startDownload();
    // Stops the download worker (joins it up to waitMs, 2000 ms unless given).
    void stopDownload(DWORD waitMs = utility::CHttpDownloader::kStopJoinMs);
    // Stops both workers (at exit), giving each the exit's grace.
    void stop();

    std::wstring getUpdatePath() const;
    bool needUpdate() const { return needUpdate_; }
    // When the download ends and at exit, before the installer is started
    // elevated: true when it is still a program file and its publisher is
    // trusted (trusted_program.h); otherwise it is deleted (logged).
    bool installerReady() const;
    bool downloadRunning() const { return downloadRunning_; }
    bool forceUpdate() const;
    std::wstring updateContent() const;
    std::wstring updateVersionText() const;

    // The decision on one update document (no network), against kOwnVersion.
    static Offer decide(const std::string& body, const std::wstring& language, bool automatic);
    // The installer's file in folder: "zul_" + version text + ".exe"; a
    // version text that is no safe file-name part gives way to the number.
    static std::wstring installerPath(const std::wstring& folder, const std::wstring& versionText, int version);
    // A downloaded file may be started as the installer only when it is whole
    // (as long as the server announced; a body without an announced length
    // cannot be told from a cut one), not empty and begins with the
    // executable header "MZ". A refusal is logged.
    static bool isInstaller(const std::wstring& path, unsigned long long announcedLength);

private:
    KXSpaceUpdateModel();

    void _threadProcCheckVersion(bool automatic);
    void _threadDownloadPlayer();
    // The download itself: 100 when the installer is in place, else kDownloadFailed.
    int downloadInstaller();
    bool onDownloadProgress(const char* bytes, DWORD count, unsigned long long received,
                            unsigned long long total) override;
    // Posts the check result / a progress value to the UI thread.
    void postCheckResult(const std::wstring& content, const std::wstring& version);
    void postProgress(int percent);
    // Ends a check: clears the running flag, then posts its result.
    void finishCheck(const std::wstring& content, const std::wstring& version);

    CheckCallback checkCallback_;
    ProgressCallback progressCallback_;
    utility::CHttpDownloader checkDownloader_;
    utility::CHttpDownloader downloadDownloader_;
    std::atomic<bool> checkRunning_{false};
    std::atomic<bool> downloadRunning_{false};
    DWORD lastProgressTick_ = 0;
    mutable utility::CriticalSection offerLock_;  // the fields below up to updatePath_
    std::wstring updateUrl_;
    std::wstring updateContent_;
    std::wstring updateVersionText_;
    int updateVersion_ = 0;
    bool forceUpdate_ = false;
    std::wstring updatePath_;
    std::atomic<bool> needUpdate_{false};
    std::string host_;
    std::wstring language_ = L"en";
};
