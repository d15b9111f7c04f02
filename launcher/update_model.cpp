#include "launcher/update_model.h"

#include <algorithm>

#include <rapidjson/document.h>

#include "foundation/log.h"
#include "foundation/runable.h"
#include "foundation/scoped_handle.h"
#include "foundation/trusted_program.h"
#include "foundation/ufile.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/url_policy.h"
#include "foundation/ustring.h"
#include "launcher/launcher_rules.h"
#include "launcher/services/file_download.h"
#include "launcher/services/file_ex.h"
#include "zul_deployment.h"

const int KXSpaceUpdateModel::kOwnVersion = ZUL_VERSION_NUMBER;
const wchar_t KXSpaceUpdateModel::kOwnVersionText[] = ZUL_VERSION_TEXT;
const char KXSpaceUpdateModel::kUpdatePath[] = "/zul/update_en.data";

namespace {

// Absent keys and keys of another type leave the value as it was.
void readInt(const rapidjson::Value& root, const char* key, int& value)
{
    rapidjson::Value::ConstMemberIterator it = root.FindMember(key);
    if (it != root.MemberEnd() && it->value.IsInt())
        value = it->value.GetInt();
}

void readString(const rapidjson::Value& root, const char* key, std::wstring& value)
{
    rapidjson::Value::ConstMemberIterator it = root.FindMember(key);
    if (it != root.MemberEnd() && it->value.IsString())
        value = utility::ustring::fromUtf8(std::string(it->value.GetString(), it->value.GetStringLength()));
}

// The file's size and whether it begins with the executable header "MZ".
bool readProgramHeader(const std::wstring& path, unsigned long long& size, bool& executable)
{
    utility::ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length = {};
    if (!file.valid() || !GetFileSizeEx(file.get(), &length)) {
        common::log("KXSpaceUpdateModel::readProgramHeader", __LINE__, L"%s not readable lastError = %d", path.c_str(),
                    GetLastError());
        return false;
    }
    size = static_cast<unsigned long long>(length.QuadPart);
    char header[2] = {0, 0};
    DWORD read = 0;
    executable = ReadFile(file.get(), header, sizeof(header), &read, nullptr) && read == sizeof(header) &&
                 header[0] == 'M' && header[1] == 'Z';
    return true;
}

}  // namespace

KXSpaceUpdateModel::KXSpaceUpdateModel()
{
    // The installer runs with administrator rights: it comes over https only,
    // redirects included.
    downloadDownloader_.setSchemes(utility::urlpolicy::Schemes::HttpsOnly);
}

KXSpaceUpdateModel& KXSpaceUpdateModel::instance()
{
    static KXSpaceUpdateModel* model = new KXSpaceUpdateModel();
    return *model;
}

void KXSpaceUpdateModel::setHost(const std::string& host) { host_ = host; }

void KXSpaceUpdateModel::setLanguage(const std::wstring& code) { language_ = code; }

void KXSpaceUpdateModel::setCheckCallback(const CheckCallback& callback) { checkCallback_ = callback; }

void KXSpaceUpdateModel::setProgressCallback(const ProgressCallback& callback) { progressCallback_ = callback; }

void KXSpaceUpdateModel::checkVersion(bool automatic)
{
    if (checkRunning_) {
        common::log("KXSpaceUpdateModel::checkVersion", __LINE__, L"a check runs already");
        return;
    }
    if (downloadRunning_) {
        // A new offer must not change what is being downloaded; whoever asked
        // hears of the offer under way.
        common::log("KXSpaceUpdateModel::checkVersion", __LINE__, L"check refused: the update is downloading");
        postCheckResult(updateContent(), updateVersionText());
        return;
    }
    checkRunning_ = true;
    checkDownloader_.stop();
    Runable* task = new MemberFuncRunable1<KXSpaceUpdateModel>(this, &KXSpaceUpdateModel::_threadProcCheckVersion,
                                                               automatic);
    if (!checkDownloader_.start(task)) {
        task->release();
        common::log("KXSpaceUpdateModel::checkVersion", __LINE__, L"check not started");
        finishCheck(L"", L"");
    }
}

KXSpaceUpdateModel::Offer KXSpaceUpdateModel::decide(const std::string& body, const std::wstring& language,
                                                     bool automatic)
{
    Offer offer;
    rapidjson::Document document;
    // Iteratively: a remote document nested deep must not exhaust this thread's stack.
    document.Parse<rapidjson::kParseIterativeFlag>(body.data(), body.size());
    if (document.HasParseError() || !document.IsObject()) {
        common::log("KXSpaceUpdateModel::decide", __LINE__, L"update document unreadable");
        return offer;
    }
    int version = 0;
    int forceVersion = 0;
    int noticeVersion = 0;
    readInt(document, "ver", version);
    readInt(document, "forceVer", forceVersion);
    readInt(document, "noiceVer", noticeVersion);
    readString(document, "strVer", offer.versionText);
    readString(document, "url", offer.url);
    readString(document, "content", offer.content);
    readString(document, utility::ustring::toUtf8(language).c_str(), offer.content);
    common::log("KXSpaceUpdateModel::decide", __LINE__, L"ver %d forceVer %d noiceVer %d automatic %d", version,
                forceVersion, noticeVersion, automatic ? 1 : 0);
    offer.version = version;
    if (version <= kOwnVersion)
        return offer;
    if (forceVersion > kOwnVersion)
        offer.forced = true;
    else if (automatic && noticeVersion <= kOwnVersion)
        return offer;
    offer.update = true;
    return offer;
}

void KXSpaceUpdateModel::_threadProcCheckVersion(bool automatic)
{
    common::log("KXSpaceUpdateModel::_threadProcCheckVersion", __LINE__, L"start check version");
    const std::wstring address = utility::ustring::toWide(host_ + kUpdatePath);
    std::string body;
    bool fetched = false;
    for (int attempt = 0; attempt < kCheckTries && !fetched; ++attempt) {
        // Each try starts from an empty body: a cut answer must not prefix the next.
        body.clear();
        fetched = checkDownloader_.downloadMemory(address, body);
        if (!fetched && attempt + 1 < kCheckTries && !checkDownloader_.waitFor(kRetryPauseMs))
            break;
    }
    Offer offer;
    if (fetched) {
        offer = decide(body, language_, automatic);
    } else {
        common::log("KXSpaceUpdateModel::_threadProcCheckVersion", __LINE__, L"update document not fetched: %s",
                    address.c_str());
    }
    if (!offer.update) {
        common::log("KXSpaceUpdateModel::_threadProcCheckVersion", __LINE__, L"no update");
        finishCheck(L"", L"");
        return;
    }
    // The offer is published before the result is posted; the UI reads it
    // after the task arrives.
    {
        utility::ScopedLock guard(offerLock_);
        updateUrl_ = offer.url;
        updateContent_ = offer.content;
        updateVersionText_ = offer.versionText;
        updateVersion_ = offer.version;
        forceUpdate_ = offer.forced;
    }
    common::log("KXSpaceUpdateModel::_threadProcCheckVersion", __LINE__, L"update %s forced %d",
                offer.versionText.c_str(), offer.forced ? 1 : 0);
    finishCheck(offer.content, offer.versionText);
}

void KXSpaceUpdateModel::finishCheck(const std::wstring& content, const std::wstring& version)
{
    // Not checking any more before the window hears the result: a check it
    // starts on the result is not refused (and so never left unanswered).
    checkRunning_ = false;
    postCheckResult(content, version);
}

std::wstring KXSpaceUpdateModel::installerPath(const std::wstring& folder, const std::wstring& versionText, int version)
{
    if (rules::isSafeVersionText(versionText))
        return folder + L"zul_" + versionText + L".exe";
    common::log("KXSpaceUpdateModel::installerPath", __LINE__, L"update version [%s] refused, using %d",
                versionText.c_str(), version);
    return folder + L"zul_" + std::to_wstring(version) + L".exe";
}

bool KXSpaceUpdateModel::startDownload()
{
    stopDownload();
    lastProgressTick_ = 0;
    downloadRunning_ = true;
    Runable* task = new MemberFuncRunable<KXSpaceUpdateModel>(this, &KXSpaceUpdateModel::_threadDownloadPlayer);
    if (!downloadDownloader_.start(task)) {
        task->release();
        downloadRunning_ = false;
        common::log("KXSpaceUpdateModel::startDownload", __LINE__, L"download not started");
        return false;
    }
    return true;
}

void KXSpaceUpdateModel::stopDownload(DWORD waitMs)
{
    downloadDownloader_.stop(waitMs);
    // Also when the worker had to be ended before it could say so.
    downloadRunning_ = false;
}

void KXSpaceUpdateModel::stop()
{
    checkDownloader_.stop(utility::WorkerThread::kExitStopWaitMs);
    stopDownload(utility::WorkerThread::kExitStopWaitMs);
}

std::wstring KXSpaceUpdateModel::getUpdatePath() const { return utility::lockedCopy(offerLock_, updatePath_); }

bool KXSpaceUpdateModel::forceUpdate() const { return utility::lockedCopy(offerLock_, forceUpdate_); }

std::wstring KXSpaceUpdateModel::updateContent() const { return utility::lockedCopy(offerLock_, updateContent_); }

std::wstring KXSpaceUpdateModel::updateVersionText() const
{
    return utility::lockedCopy(offerLock_, updateVersionText_);
}

bool KXSpaceUpdateModel::isInstaller(const std::wstring& path, unsigned long long announcedLength)
{
    unsigned long long size = 0;
    bool executable = false;
    if (!readProgramHeader(path, size, executable))
        return false;
    if (announcedLength == utility::CHttpClient::kUnknownLength) {
        common::log("KXSpaceUpdateModel::isInstaller", __LINE__,
                    L"installer %s refused: %I64u bytes without an announced length", path.c_str(), size);
        return false;
    }
    if (size != announcedLength) {
        common::log("KXSpaceUpdateModel::isInstaller", __LINE__, L"installer %s refused: %I64u of %I64u bytes",
                    path.c_str(), size, announcedLength);
        return false;
    }
    if (size == 0 || !executable) {
        common::log("KXSpaceUpdateModel::isInstaller", __LINE__, L"installer %s refused: no program (%I64u bytes)",
                    path.c_str(), size);
        return false;
    }
    return true;
}

bool KXSpaceUpdateModel::installerReady() const
{
    unsigned long long size = 0;
    bool executable = false;
    const std::wstring path = getUpdatePath();
    if (!readProgramHeader(path, size, executable) || size == 0 || !executable) {
        common::log("KXSpaceUpdateModel::installerReady", __LINE__, L"installer %s is no program any more, deleted",
                    path.c_str());
        utility::ufile::removeFile(path);
        return false;
    }
    // It will run with administrator rights: only when its publisher signed it.
    utility::TrustedProgram installer(path);
    if (installer.trusted())
        return true;
    common::log("KXSpaceUpdateModel::installerReady", __LINE__, L"installer %s refused: %s, deleted", path.c_str(),
                utility::trustVerdictText(installer.verdict()));
    utility::ufile::removeFile(path);
    return false;
}

void KXSpaceUpdateModel::_threadDownloadPlayer()
{
    int result = downloadInstaller();
    // An installer that would be refused at exit is refused now, as a failed download.
    if (result == 100 && !installerReady()) {
        needUpdate_ = false;
        result = kDownloadFailed;
    }
    // Not downloading any more before the window hears the end: a check it
    // starts on the last report is not refused.
    downloadRunning_ = false;
    postProgress(result);
}

int KXSpaceUpdateModel::downloadInstaller()
{
    // An installer downloaded before is deleted below: only this download may be started.
    needUpdate_ = false;

    const std::wstring folder = utility::ufile::getExeDir() + L"update\\";
    if (!utility::ufile::exists(folder) && !utility::ufile::makeDir(folder)) {
        common::log("KXSpaceUpdateModel::downloadInstaller", __LINE__, L"update folder not made lastError = %d",
                    GetLastError());
        return kDownloadFailed;
    }
    std::wstring url, versionText;
    int version = 0;
    {
        utility::ScopedLock guard(offerLock_);
        url = updateUrl_;
        versionText = updateVersionText_;
        version = updateVersion_;
    }
    const std::wstring file = installerPath(folder, versionText, version);
    common::log("KXSpaceUpdateModel::downloadInstaller", __LINE__, L"update:  download file %s", file.c_str());
    utility::ufile::removeFile(file);
    utility::FileDownloadRequest request;
    request.what = L"installer";
    request.url = url;
    request.target = file;
    request.schemes = utility::urlpolicy::Schemes::HttpsOnly;
    request.wininet = &downloadDownloader_;
    request.wininetTries = 1;
    request.worker = &downloadDownloader_.worker();
    request.progress = this;
    request.accept = [this](const std::wstring& partial) {
        return isInstaller(partial, downloadDownloader_.contentLength());
    };
    if (utility::downloadToFile(request) != utility::DownloadResult::kDone)
        return kDownloadFailed;
    common::log("KXSpaceUpdateModel::downloadInstaller", __LINE__, L"update: download file sucess %s", file.c_str());
    utility::lockedStore(offerLock_, updatePath_, file);
    needUpdate_ = true;
    return 100;
}

bool KXSpaceUpdateModel::onDownloadProgress(const char* bytes, DWORD count, unsigned long long received,
                                            unsigned long long total)
{
    const DWORD now = GetTickCount();
    if (lastProgressTick_ == 0 || now - lastProgressTick_ >= kProgressIntervalMs) {
        // 100 means the installer is in place: the bytes alone make at most 99.
        postProgress(std::min(rules::downloadPercent(received, total), 99));
        lastProgressTick_ = now ? now : 1;
    }
    if (total > 0 && received >= total)
        postProgress(99);
    return true;
}

void KXSpaceUpdateModel::postCheckResult(const std::wstring& content, const std::wstring& version)
{
    postToUiThread(new FunctionRunable([this, content, version] {
        // A copy: the callback may clear itself while it runs.
        const CheckCallback callback = checkCallback_;
        if (callback)
            callback(content, version);
    }));
}

void KXSpaceUpdateModel::postProgress(int percent)
{
    postToUiThread(new FunctionRunable([this, percent] {
        const ProgressCallback callback = progressCallback_;
        if (callback)
            callback(percent);
    }));
}
