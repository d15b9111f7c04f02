// The installer's one model: the install folder choice, the install job on
// its worker thread and the progress it reports to the main window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/region_profile.h"
#include "foundation/sz/sz_extract.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/worker_thread.h"
#include "install/drive_info.h"

// Error codes of a failed install job.
enum InstallError {
    kInstallOk = 0,
    kInstallResourceNotFound = 10001,
    kInstallResourceNotLoaded = 10002,
    kInstallResourceNotLocked = 10003,
    kInstallExtractFailed = 10004,
};

// After a failed extraction attempt: deletes the item it stopped on, or
// renames it to the same name + ".tmp" when it cannot be deleted. Only plain
// files inside folder are touched: an empty name, a folder, or a name that
// leads outside is refused (false).
bool moveAsideFailedItem(const std::wstring& folder, const std::wstring& itemName);

// Terminates every process whose executable name equals name (any case).
void killProgressByHandle(const std::wstring& name);

// The protection of a Program Files folder: administrators and SYSTEM have
// full control, users read and run, what is made inside inherits that, and
// the parent's permissions no longer apply. A security descriptor that the
// caller frees with LocalFree (utility::ScopedLocalMemory); null (logged) on failure.
PSECURITY_DESCRIPTOR programFilesSecurity();
// Gives a folder that protection. False (logged) on failure.
bool protectInstallFolder(const std::wstring& folder);

class KXSpaceModel : public SzExtractCallback {
public:
    // Called on the UI thread with 0-80 while unpacking, then 80, 90, 100,
    // or -1 and the language-table key of the failure's text (the worker
    // never reads the table: the window looks the text up).
    typedef std::function<void(int percent, const std::wstring& text)> ProgressCallback;

    KXSpaceModel();
    ~KXSpaceModel();
    KXSpaceModel(const KXSpaceModel&) = delete;
    KXSpaceModel& operator=(const KXSpaceModel&) = delete;

    // The installer program's one model.
    static KXSpaceModel& instance();

    // Start-up: the region from the UI language, then the tokens of the
    // program's own file name, then the command line ("key=value|..." with
    // the keys path, upgrade and from), then the install path.
    void init(const std::wstring& commandLine);
    // "cn" for any Chinese UI language; "en", "vn", "th" or "id" by the
    // primary language; "en" for every other.
    static std::wstring regionFromUiLanguage(LANGID language);
    static std::wstring defaultRegionFromUiLanguage();
    // The "_"-separated tokens of a file name such as
    // "pkxspace_tw_12345_u1_pkg1_share7.exe": region, open, uid or shared
    // uid, package. Names of fewer than 4 tokens change nothing.
    void readFileNameTokens(const std::wstring& fileName);
    // The keys path, upgrade and from of the command line, and the install
    // path that follows from them.
    void readCommandLine(const std::wstring& commandLine);

    // Values filled by the installer's start-up.
    void setProgressCallback(const ProgressCallback& callback) { progressCallback_ = callback; }
    void setInstallPath(const std::wstring& path) { installPath_ = path; }
    std::wstring getInstallPath() const { return installPath_; }
    const std::wstring& previousInstallPath() const { return previousInstallPath_; }
    bool pathIsProductFolder() const { return pathIsProductFolder_ != 0; }
    void setRegion(const std::wstring& region) { region_ = region; }
    std::wstring getLanguage() const { return region_; }
    void setFrom(const std::wstring& from) { from_ = from; }
    const std::wstring& from() const { return from_; }
    // Run by the launcher as its updater ("from=update"), or unattended
    // ("from=install..."; the window is never shown).
    bool isUpdateRun() const { return from_ == L"update"; }
    bool isUnattendedRun() const { return from_.compare(0, 7, L"install") == 0; }
    int upgrade() const { return upgrade_; }
    bool showWindow() const { return showWindow_ != 0; }
    const std::wstring& open() const { return open_; }
    const std::wstring& sharedUid() const { return sharedUid_; }
    const std::wstring& uid() const { return uid_; }
    std::wstring getPackage() const { return package_; }
    // The region's private font in the fonts folder, or empty when the
    // region has none.
    std::wstring getFontPath() const;
    // The per-user data folder of the installer and the launcher
    // (%APPDATA%\zulplay\) and its fonts folder, with trailing backslashes.
    static std::wstring dataFolder();
    static std::wstring fontsFolder();
    RegionProfile& regionProfile() { return regionProfile_; }
    int errorCode() const { return errorCode_; }
    const std::wstring& errorKey() const { return errorKey_; }

    // Install folder choice.
    void calcInstallPath();
    static std::wstring sanitizePath(const std::wstring& path);
    std::wstring normalizeInstallPath(const std::wstring& path);
    // A folder that exists and holds something, but no installation of ours
    // (no launcher in it): someone else's files.
    static bool holdsOtherFiles(const std::wstring& folder);
    std::vector<std::wstring> listFixedDrives();
    bool isHotplugDrive(const std::wstring& root);
    bool isSsdDrive(const std::wstring& name);
    double scoreDrive(const std::wstring& root);
    std::wstring pickBestDrive();
    // The drives the choice looks at; the machine's own unless replaced.
    // The source is not owned; null restores the machine's drives.
    void setDriveInfoSource(DriveInfoSource* source);
    DriveInfoSource& driveInfo() { return *drives_; }

    // Install job.
    // Starts _threadInstallPlayerNew on the worker; false while a job is held.
    bool startInstallJob();
    // Waits for the job up to timeoutMs, then ends it.
    void joinWorker(DWORD timeoutMs) { worker_.join(timeoutMs); }
    void _threadInstallPlayerNew();
    // Makes the install folder when it is missing; protects it when this run
    // made it (protectInstallFolder). A folder that was there keeps its permissions.
    void prepareInstallFolder();
    void killProgressIfExist();
    void pathToReg();
    void autorun();
    void registerWindowDefinder();
    void createShortcuts(const std::wstring& folder, const std::wstring& product, const std::wstring& linkName,
                         const std::wstring& uninstallLinkName);
    void startLauncher(bool unused);
    void notifyProgress(int percent, const std::wstring& text);
    void postProgress(int percent, const std::wstring& text);

    // The firewall rule command for the launcher at exePath, every single
    // quote of the path doubled so that it stays one PowerShell string.
    static std::wstring firewallCommand(const std::wstring& exePath);

    // SzExtractCallback, called on the worker thread.
    bool shouldContinue() override;
    void onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount, uint64_t bytesDone,
                      uint64_t bytesTotal) override;
    void onResult(int32_t code, const wchar_t* itemName) override;

private:
    void fail(int code, const wchar_t* key);

    ProgressCallback progressCallback_;
    std::wstring installPath_;
    std::wstring installFolder_;
    std::wstring createdInstallFolder_;  // the install folder this run made, if any
    std::wstring previousInstallPath_;
    utility::WorkerThread worker_;
    uint64_t lastPostedPercent_ = 0;
    std::wstring from_;
    int errorCode_ = kInstallOk;
    std::wstring errorKey_;
    BYTE showWindow_ = 1;
    BYTE kxspace_ = 1;  // cleared by the file-name token "pkxspace"; nothing reads it
    BYTE retrying_ = 0;
    int upgrade_ = -1;
    BYTE pathIsProductFolder_ = 1;
    std::wstring open_;
    std::wstring region_ = L"en";
    std::wstring sharedUid_;
    std::wstring uid_;
    std::wstring package_;
    RegionProfile regionProfile_;

    std::wstring lastItemName_;  // worker thread only
    UiTaskPoster poster_;
    SystemDriveInfo systemDrives_;
    DriveInfoSource* drives_;
};
