// The main window's jobs, run on its worker thread: the emulator package
// (find, download, unpack, repair) and the game package (download, hand it to
// the emulator client). They touch the window only through postToWindow.
#include <winsock2.h>  // before windows.h, for libcurl

#include "launcher/main_frame.h"

#include <curl/curl.h>

#include <rapidjson/document.h>

#include "foundation/log.h"
#include "foundation/process.h"
#include "foundation/trusted_program.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "launcher/deployment.h"
#include "launcher/emulator_process.h"
#include "launcher/launcher_rules.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/file_download.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/file_handle.h"
#include "launcher/services/process_ex.h"
#include "launcher/services/zul_model.h"

namespace {

const int kDownloadTries = 2;
const DWORD kRetryPauseMs = 100;
const int kDescriptionTries = 2;
const wchar_t kDefaultPlayerVersion[] = L"1.0";
const DWORD kRepairWaitMs = 60000;

// The "sea" object's string member, when present and not empty.
bool seaString(const rapidjson::Value& sea, const char* key, std::wstring& value)
{
    rapidjson::Value::ConstMemberIterator it = sea.FindMember(key);
    if (it == sea.MemberEnd() || !it->value.IsString() || it->value.GetStringLength() == 0)
        return false;
    value = utility::ustring::fromUtf8(std::string(it->value.GetString(), it->value.GetStringLength()));
    return true;
}

}  // namespace

// ---- Emulator package ----

void KXZulMainFrame::resolvePlayerPackage(bool noData, std::wstring& address, std::wstring& version, bool& versioned)
{
    KXZulModel& model = zulModel();
    address = utility::ustring::fromUtf8(deployment::defaultPlayerPackageUrl());
    version = kDefaultPlayerVersion;
    versioned = false;
    if (noData) {
        address = model.getPlayerUrl();
        return;
    }
    common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L"get Player url");
    const std::string url = model.storageUrl(deployment::kPlayerDescriptionPath);
    std::string body;
    bool fetched = false;
    for (int attempt = 0; attempt < kDescriptionTries && !fetched; ++attempt) {
        KXCurlDownloader downloader(&worker_);
        fetched = downloader.downloadMemory(url, curl_easy_init());
        if (fetched) {
            body = downloader.body();
            break;
        }
        if (stopRequested())
            return;
        worker_.waitFor(kRetryPauseMs);
    }
    rapidjson::Document document;
    // Iteratively: a remote document nested deep must not exhaust this thread's stack.
    document.Parse<rapidjson::kParseIterativeFlag>(body.data(), body.size());
    if (!fetched || document.HasParseError() || !document.IsObject()) {
        common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__,
                    L"package description unusable, the default package is used");
        return;
    }
    rapidjson::Value::ConstMemberIterator sea = document.FindMember("sea");
    if (sea == document.MemberEnd() || !sea->value.IsObject())
        return;
    seaString(sea->value, "url", address);
    std::wstring shown;
    if (!seaString(sea->value, "vershow", shown))
        return;
    // The text becomes part of a file name in an elevated process: only a
    // plain version text may, anything else gives way to the number.
    if (rules::isSafeVersionText(shown)) {
        version = shown;
        versioned = true;
        return;
    }
    const int number = model.getPlayerMinVersion();
    common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L"package version [%s] refused, using %d",
                shown.c_str(), number);
    if (number > 0) {
        version = std::to_wstring(number);
        versioned = true;
    }
}

void KXZulMainFrame::_threadDownloadPlayer(bool noData, const std::wstring& game)
{
    std::wstring address, version;
    bool versioned = false;
    resolvePlayerPackage(noData, address, version, versioned);
    if (stopRequested())
        return;
    common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L"download url %s %s", address.c_str(),
                version.c_str());
    if (address.empty()) {
        finishJob([](KXZulMainFrame& frame) { frame.showFailure(L"launcher_download_failed"); });
        return;
    }

    const std::wstring package = rules::playerPackagePath(zulModel().appDir(), version);
    // A package named without a version may be an older one: fetch it anew.
    if (!versioned)
        utility::ufile::deleteIfPresent(package);
    if (!utility::ufile::exists(package)) {
        common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L" download file %s", package.c_str());
        const utility::DownloadResult result = downloadPackage(address, package, true);
        if (result == utility::DownloadResult::kStopped)
            return;
        if (result == utility::DownloadResult::kFailed || !utility::ufile::exists(package)) {
            common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L"no installer file %s", package.c_str());
            finishJob([](KXZulMainFrame& frame) { frame.showFailure(L"launcher_download_failed"); });
            return;
        }
    }

    postToWindow([](KXZulMainFrame& frame) { frame.startInstallProgress(); });
    emulator::stopProcessesInFolder(game, emulator::kEmulatorStopList, emulator::kEmulatorStopCount);
    const SzResultCode unpacked = SzExtractFileToDir(package, game, this);
    if (stopRequested())
        return;
    if (unpacked != kSzOk) {
        // A damaged package would be found and unpacked again at every
        // start: it goes, the emulator stays marked as needed.
        common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L"unpack %s failed with %d, package deleted",
                    package.c_str(), unpacked);
        utility::ufile::deleteIfPresent(package);
        finishJob([](KXZulMainFrame& frame) { frame.showFailure(L"launcher_unpack_failed"); });
        return;
    }
    needPlayer_ = false;
    common::log("KXZulMainFrame::_threadDownloadPlayer", __LINE__, L"start run repair");
    const RepairResult repaired = runRepair(game);
    if (repaired == kRepairStopped)
        return;
    if (repaired == kRepairRefused) {
        // As with a damaged package: it goes, the emulator stays needed.
        needPlayer_ = true;
        utility::ufile::deleteIfPresent(package);
        finishJob([](KXZulMainFrame& frame) { frame.showFailure(L"launcher_unpack_failed"); });
        return;
    }
    finishJob([](KXZulMainFrame& frame) { frame.showFolderPage(); });
}

// The emulator's programs were stopped before the unpack.
KXZulMainFrame::RepairResult KXZulMainFrame::runRepair(const std::wstring& game)
{
    // Both came with the package into a folder others may write to, and run
    // with this launcher's rights: only when their publisher signed them.
    utility::TrustedProgram repairer(game + L"zulrepairer.exe");
    if (!repairer.trusted())
        return kRepairRefused;
    // The repair tool may take its minute; a stop (the window closing) must
    // not wait for it, or the worker would be cut off in the middle.
    utility::process::shellEx(repairer, L"", true, false, kRepairWaitMs, worker_.stopEvent());
    repairer.release();
    if (stopRequested()) {
        common::log("KXZulMainFrame::runRepair", __LINE__, L"stopped while the repair tool runs");
        return kRepairStopped;
    }
    utility::TrustedProgram driverSetup(game + L"driverconfig.exe");
    if (!driverSetup.trusted())
        return kRepairRefused;
    utility::process::execute(driverSetup, L"", false, 0);
    return kRepairDone;
}

// ---- Game package ----

void KXZulMainFrame::_threadDownloadApk(const std::wstring& game)
{
    KXZulModel& model = zulModel();
    const int version = model.getAppMinVersion();
    const std::wstring apk = rules::apkPackagePath(game, version);
    common::log("KXZulMainFrame::_threadDownloadApk", __LINE__, L" download file %s", apk.c_str());
    // The game package is always fetched anew.
    utility::ufile::deleteIfPresent(apk);

    const utility::DownloadResult result = downloadPackage(model.getApkUrl(), apk, false);
    if (result == utility::DownloadResult::kStopped)
        return;
    // No package, no hand-over and no version record.
    if (result == utility::DownloadResult::kFailed || !utility::ufile::exists(apk)) {
        common::log("KXZulMainFrame::_threadDownloadApk", __LINE__, L"no installer file %s", apk.c_str());
        finishJob([](KXZulMainFrame& frame) { frame.showFailure(L"launcher_download_failed"); });
        return;
    }

    const std::wstring client = utility::ufile::joinPath(game, L"zulclient.exe");
    const std::wstring params = rules::clientInstallParams(apk);
    postToWindow([](KXZulMainFrame& frame) { frame.startInstallProgress(); });
    if (!emulator::startClient(client, params)) {
        common::log("KXZulMainFrame::_threadDownloadApk", __LINE__, L"client %s not started", client.c_str());
        finishJob([](KXZulMainFrame& frame) { frame.showFailure(L"launcher_start_failed"); });
        return;
    }
    needApk_ = false;
    writeLocalAppVersion(game, version);
    // The install progress runs until the emulator reports the game installed.
    finishJob([](KXZulMainFrame&) {});
}

bool KXZulMainFrame::writeLocalAppVersion(const std::wstring& gameDir, int version)
{
    const std::wstring path = rules::localAppVersionPath(gameDir);
    utility::ufile::makeDir(gameDir + L"data");
    utility::ufile::deleteIfPresent(path);
    utility::FileHandle file;
    const std::string digits = std::to_string(version);
    if (!file.open(path, true) || !file.write(digits.data(), static_cast<DWORD>(digits.size()))) {
        common::log("KXZulMainFrame::writeLocalAppVersion", __LINE__, L"write %s failed lastError = %d", path.c_str(),
                    GetLastError());
        return false;
    }
    return true;
}

// ---- Downloads ----

utility::DownloadResult KXZulMainFrame::downloadPackage(const std::wstring& url, const std::wstring& target,
                                                        bool resume)
{
    utility::CHttpDownloader downloader;
    utility::FileDownloadRequest request;
    request.what = L"package";
    request.url = url;
    request.target = target;
    request.resume = resume;
    request.wininet = &downloader;
    request.wininetTries = kDownloadTries;
    request.curlTries = kDownloadTries;
    request.retryPauseMs = kRetryPauseMs;
    request.worker = &worker_;
    request.progress = this;
    {
        utility::ScopedLock guard(downloadLock_);
        activeDownload_ = &downloader;
    }
    const utility::DownloadResult result = utility::downloadToFile(request);
    {
        utility::ScopedLock guard(downloadLock_);
        activeDownload_ = nullptr;
    }
    return result;
}

// ---- Unpack callbacks ----

bool KXZulMainFrame::shouldContinue() { return !stop_; }

void KXZulMainFrame::onProcessing(const wchar_t*, uint64_t, uint64_t, uint64_t, uint64_t) {}

void KXZulMainFrame::onResult(int32_t code, const wchar_t* itemName)
{
    common::log("KXZulMainFrame::onResult", __LINE__, L"result:%d file:%s", code, itemName ? itemName : L"");
}
