// The launcher's one model: the language choice, the game folder, the region
// profile, the values of the remote configuration and the worker that
// fetches that configuration once per start.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "foundation/region_profile.h"
#include "foundation/worker_thread.h"

class KXZulSetupImpl;

class KXZulModel {
public:
    typedef std::function<void()> Callback;

    // Where the remote configuration lives below the configuration host.
    static const char kConfigPath[];  // "/zul/config_sea.data"
    static const int kConfigTries = 2;
    static const DWORD kConfigRetryPauseMs = 100;
    static const int kDefaultRemoteVersion = 1000;

    KXZulModel();
    ~KXZulModel();
    KXZulModel(const KXZulModel&) = delete;
    KXZulModel& operator=(const KXZulModel&) = delete;

    // Deployment settings, fixed before init. The defaults are the release
    // ones: the executable's folder, the build's configuration host, the
    // product and Run keys above and the process-wide config.data store.
    void setAppDir(const std::wstring& dir);
    void setConfigHost(const std::string& host);
    void setRegistryKeys(const std::wstring& productKey, const std::wstring& runKey);
    void setSetupStore(KXZulSetupImpl* store);
    void setRetryPauseMs(DWORD ms);
    std::string configUrl() const;
    // An object on the configuration host ("/zul/kxzulx").
    std::string storageUrl(const std::string& path) const;
    std::wstring appDir() const;

    // Language, stored language, game folder, then the configuration worker.
    void init();
    // Asks the worker to stop and waits for it (the exit's grace, then it is ended).
    void stop();

    // Lets lower-integrity processes reach the launcher's windows: the IPC
    // messages, and the shell's "TaskbarCreated" that brings the tray icon
    // back after the shell restarted (the launcher runs elevated, the shell not).
    static void addMessage();
    // The same through the given filter function (ChangeWindowMessageFilter's shape).
    typedef BOOL(WINAPI* MessageFilterFn)(UINT message, DWORD flag);
    static void addMessage(MessageFilterFn change);

    // The UI language of this account (GetUserDefaultUILanguage).
    static std::wstring detectLanguage();
    static std::wstring detectLanguageLong();
    // The short code and long name for one language id.
    static void languageFromLangId(LANGID id, std::wstring& shortCode, std::wstring& longName);
    // The region table row of a locale ("zh_CN", "pt_PT", ...); others give en.
    static void loadRegionProfileByLocale(const std::wstring& locale, RegionProfile& profile);

    // The registry "Language", when set, replaces the short code.
    void loadStoredLanguage();
    // Fills the region profile from the short code (start-up).
    void loadRegionProfile();
    // Records a new language for the next start (settings window).
    void setLanguage(const std::wstring& locale);
    std::wstring getLanguage() const;
    std::wstring getLanguageLong() const;
    RegionProfile getRegionProfile() const;

    // Game folder: "pathDir" from the registry, else <app dir>game\ (created).
    void loadPathDir();
    void savePathDir(const std::wstring& folder);
    std::wstring getPathDir() const;

    // Writes or deletes the Run value that starts the launcher at logon.
    void setAutoRun(bool on);

    // Set by the settings window's "restart now"; read after the message loop.
    void setRestart(bool restart);
    bool needRestart() const;

    // Values of the remote configuration; meaningful after onConfigLoaded.
    int getAppMinVersion() const;
    int getPlayerMinVersion() const;
    std::wstring getApkUrl() const;
    std::wstring getPlayerUrl() const;

    // UI thread only. Each runs on the UI thread: onConfigLoaded once the
    // configuration was applied, onBackgroundChanged once new background
    // pictures are in place. Either may be left empty.
    void setOnConfigLoaded(const Callback& callback);
    void setOnBackgroundChanged(const Callback& callback);

    // The configuration worker's job.
    void _threadConfig();

    // Picture files the worker refreshes, below the application folder.
    std::wstring launchBackgroundPath() const;
    std::wstring playerBackgroundPath() const;

private:
    struct Notifier;

    KXZulSetupImpl& setupStore() const;
    void applyConfig(const std::string& body);
    bool replacePicture(const std::string& url, const std::wstring& target);
    void postNotification(bool backgroundChanged);

    // Guards every field below that the worker and the UI thread share.
    mutable utility::CriticalSection lock_;
    std::shared_ptr<Notifier> notifier_;
    std::wstring pathDir_;
    RegionProfile profile_;
    std::wstring language_ = L"en";
    std::wstring languageLong_ = L"US_EN";
    bool restart_ = false;
    int appMinVersion_ = 0;
    int playerMinVersion_ = 0;
    std::wstring apkUrl_;
    std::wstring playerUrl_;

    // Deployment settings.
    std::wstring appDir_;
    std::string configHost_;
    std::wstring productKey_;
    std::wstring runKey_;
    KXZulSetupImpl* setupStore_ = nullptr;
    DWORD retryPauseMs_ = kConfigRetryPauseMs;

    utility::WorkerThread worker_;
};

// The launcher's one model, alive for the whole process.
KXZulModel& zulModel();
