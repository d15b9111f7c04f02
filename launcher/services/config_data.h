// The launcher's per-user settings kept in "config.data" beside the
// executable: three on/off choices and the version of the background
// pictures last fetched. The file is one ASCII line without line end:
//   autorun=1|existgame=1|minbyclose=1|configversion=1000
#pragma once

#include <windows.h>

#include <string>

#include "foundation/worker_thread.h"

class KXZulSetupImpl {
public:
    static const int kDefaultConfigVersion = 1000;
    // Anything larger is not a settings file.
    static const DWORD kMaxFileBytes = 64 * 1024;

    // The process-wide store, reading and writing <exe dir>config.data.
    static KXZulSetupImpl& instance();

    // A store over the given file (tests, tools).
    explicit KXZulSetupImpl(const std::wstring& path);
    KXZulSetupImpl(const KXZulSetupImpl&) = delete;
    KXZulSetupImpl& operator=(const KXZulSetupImpl&) = delete;

    // Reads the file; a missing or unreadable file keeps the current values
    // (false, one log line). An empty file keeps them too (true).
    bool loadConfig();
    // Writes all four values; the old file is replaced only once the new one
    // is complete, so a failed write never loses the settings.
    bool saveConfig();

    // Applies a file's content: only "0" clears a flag; configversion is
    // taken when it starts with a number. Unknown keys are ignored.
    void applyContent(const std::string& content);
    // The line saveConfig writes.
    std::string formatContent() const;

    const std::wstring& path() const { return path_; }

    bool autorun() const;
    bool existgame() const;
    bool minbyclose() const;
    int configversion() const;
    void setAutorun(bool on);
    void setExistgame(bool on);
    void setMinbyclose(bool on);
    void setConfigversion(int version);

private:
    std::wstring path_;
    // The worker raises configversion while the UI thread changes the flags.
    mutable utility::CriticalSection lock_;
    bool autorun_ = true;
    bool existgame_ = true;
    bool minbyclose_ = true;
    int configversion_ = kDefaultConfigVersion;
};
