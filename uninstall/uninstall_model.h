// The uninstaller's model: command line, language and region, and the
// clean-up job that removes the installation on a worker thread.
#pragma once

#include <functional>
#include <string>

#include "foundation/region_profile.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/worker_thread.h"

class KXSpaceModel {
public:
    typedef std::function<void(int percent)> ProgressCallback;

    static KXSpaceModel* instance();

    // "--playeruninstall" anywhere in the command line makes the run silent.
    void parseCommandLine(const std::wstring& commandLine);
    // "Language" of the per-user product key, "en" when missing or empty.
    std::wstring readRegistryLanguage();
    void loadLanguage();

    // Starts the clean-up job on the worker; false while a run is in progress.
    bool startClean();
    // UI thread: true from a successful start until the job's 100 has been
    // delivered. The window refuses to close meanwhile, so an installation is
    // never left half removed.
    bool isCleaning() const { return cleaning_; }
    // The clean-up job itself (worker thread).
    void threadClean();

    void removeShortcuts(const std::wstring& linkName, const std::wstring& unused1, const std::wstring& unused2);
    void DeleteShortcutNew(const std::wstring& linkName, const std::wstring& folderName);

    void setProgressCallback(const ProgressCallback& callback) { progress_ = callback; }
    bool silent() const { return silent_ != 0; }
    const std::wstring& language() const { return language_; }
    const RegionProfile& profile() const { return profile_; }

    // The folder the job removes: the program's own folder unless set.
    void setProgramFolder(const std::wstring& folder) { programFolder_ = folder; }
    std::wstring programFolder() const;
    // Waits for a finished job and frees the worker for another run.
    void joinWorker(DWORD timeoutMs) { worker_.join(timeoutMs); }

    // Milliseconds the job pauses after each step (the window shows each value).
    void setStepPause(DWORD ms) { stepPauseMs_ = ms; }

private:
    KXSpaceModel() = default;
    void postProgress(int percent);
    void removeInstallFolder();
    void removeRegistry();

    ProgressCallback progress_;
    utility::WorkerThread worker_;
    unsigned char silent_ = 0;
    std::wstring language_ = L"en";
    RegionProfile profile_;
    std::wstring programFolder_;
    DWORD stepPauseMs_ = 1000;
    UiTaskPoster poster_;
    bool cleaning_ = false;  // UI thread only
};

// Set by the clean-up job when it has run to its end; read after the message loop.
bool deleteSelfRequested();
void setDeleteSelfRequested(bool value);

// The install folder the clean-up job removed, with a trailing separator;
// empty when the job left the program's folder in place.
std::wstring removedInstallFolder();

// Asks the command interpreter to delete this executable once the process has
// ended, then its folder when that is empty. Only an executable lying in the
// install folder that the clean-up job removed deletes itself: a copy run from
// any other folder leaves that folder as it was.
bool DeleteSelf();
// The same for any file: waits a moment, deletes the quoted path, then removes
// `emptyFolder` (when given) if nothing is left in it.
bool deleteFileLater(const std::wstring& path, const std::wstring& emptyFolder = std::wstring());

// True when `folder` may be removed as the installation: it is the registered
// install folder or holds the launcher, and it is neither a drive root nor a
// user or system folder (Downloads, Documents, the profile, Windows, Program
// Files ...) nor a folder above one, whatever the registry says.
bool isInstallFolder(const std::wstring& folder, const std::wstring& registeredInstallDir);
