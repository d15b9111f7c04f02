// libcurl brings winsock2.h, which must come before windows.h.
#include <winsock2.h>

#include "launcher/services/zul_model.h"

#include <curl/curl.h>

#include <rapidjson/document.h>

#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/runable.h"
#include "foundation/ufile.h"
#include "foundation/ui_task_dispatcher.h"
#include "foundation/url_policy.h"
#include "foundation/ustring.h"
#include "launcher/services/config_data.h"
#include "launcher/services/curl_downloader.h"
#include "launcher/services/file_download.h"
#include "launcher/services/file_ex.h"
#include "launcher/services/reg_key_ex.h"
#include "zul_deployment.h"

const char KXZulModel::kConfigPath[] = "/zul/config_sea.data";

// The callbacks live apart from the model so that a task still queued for
// the UI thread finds out that its model is gone instead of calling into it.
struct KXZulModel::Notifier {
    Callback onConfigLoaded;
    Callback onBackgroundChanged;
};

namespace {

KXZulModel g_zulModel;

// The bytes (UTF-8) of a string member; false when absent or not a string.
bool readString(const rapidjson::Value& root, const char* key, std::string& utf8)
{
    rapidjson::Value::ConstMemberIterator it = root.FindMember(key);
    if (it == root.MemberEnd() || !it->value.IsString())
        return false;
    utf8.assign(it->value.GetString(), it->value.GetStringLength());
    return true;
}

bool readInt(const rapidjson::Value& root, const char* key, int& value)
{
    rapidjson::Value::ConstMemberIterator it = root.FindMember(key);
    if (it == root.MemberEnd() || !it->value.IsInt())
        return false;
    value = it->value.GetInt();
    return true;
}

}  // namespace

KXZulModel& zulModel() { return g_zulModel; }

KXZulModel::KXZulModel()
    : notifier_(std::make_shared<Notifier>()),
      configHost_(ZUL_CONFIG_HOST),
      productKey_(product::kRegistryKey),
      runKey_(product::kRunRegistryKey)
{
}

KXZulModel::~KXZulModel() { stop(); }

void KXZulModel::setAppDir(const std::wstring& dir) { appDir_ = utility::ufile::withSeparator(dir); }

void KXZulModel::setConfigHost(const std::string& host)
{
    configHost_ = host;
    while (!configHost_.empty() && configHost_.back() == '/')
        configHost_.pop_back();
}

void KXZulModel::setRegistryKeys(const std::wstring& productKey, const std::wstring& runKey)
{
    productKey_ = productKey;
    runKey_ = runKey;
}

void KXZulModel::setSetupStore(KXZulSetupImpl* store) { setupStore_ = store; }

void KXZulModel::setRetryPauseMs(DWORD ms) { retryPauseMs_ = ms; }

std::string KXZulModel::configUrl() const { return storageUrl(kConfigPath); }

std::string KXZulModel::storageUrl(const std::string& path) const { return configHost_ + path; }

std::wstring KXZulModel::appDir() const { return appDir_.empty() ? utility::ufile::getExeDir() : appDir_; }

KXZulSetupImpl& KXZulModel::setupStore() const { return setupStore_ ? *setupStore_ : KXZulSetupImpl::instance(); }

void KXZulModel::init()
{
    {
        utility::ScopedLock guard(lock_);
        language_ = detectLanguage();
        languageLong_ = detectLanguageLong();
    }
    loadStoredLanguage();
    loadPathDir();

    Runable* job = new MemberFuncRunable<KXZulModel>(this, &KXZulModel::_threadConfig);
    if (!worker_.start(job)) {
        common::log("KXZulModel::init", __LINE__, L"start config worker failed");
        job->release();
    }
}

void KXZulModel::stop()
{
    if (!worker_.isRunning())
        return;
    worker_.requestStop();
    worker_.join(utility::WorkerThread::kExitStopWaitMs);
}

void KXZulModel::addMessage()
{
    HMODULE user32 = GetModuleHandleW(L"User32.dll");
    MessageFilterFn change = user32 ? reinterpret_cast<MessageFilterFn>(
                                          reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter")))
                                    : nullptr;
    addMessage(change);
}

void KXZulModel::addMessage(MessageFilterFn change)
{
    if (!change) {
        common::log("KXZulModel::addMessage", __LINE__, L"ChangeWindowMessageFilter error");
        return;
    }
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    if (!taskbarCreated)
        common::log("KXZulModel::addMessage", __LINE__, L"TaskbarCreated not registered lastError = %d",
                    GetLastError());
    const UINT kMessages[] = {WM_COPYDATA, WM_USER, 9111, 9222, 9333, 9334, taskbarCreated};
    const DWORD kAdd = 1;  // MSGFLT_ADD
    for (UINT message : kMessages) {
        if (!message)
            continue;
        if (!change(message, kAdd))
            common::log("KXZulModel::addMessage", __LINE__, L"allow message %d failed lastError = %d", message,
                        GetLastError());
    }
}

void KXZulModel::languageFromLangId(LANGID id, std::wstring& shortCode, std::wstring& longName)
{
    // By primary language (any sub-language); English and everything else last.
    struct Language {
        WORD primary;
        const wchar_t* shortCode;
        const wchar_t* longName;
    };
    static const Language kLanguages[] = {{LANG_CHINESE, L"cn", L"zh_CN"},
                                          {LANG_VIETNAMESE, L"vn", L"vi_VN"},
                                          {LANG_THAI, L"th", L"th_TH"},
                                          {LANG_INDONESIAN, L"id", L"in_ID"},
                                          {0, L"en", L"en_US"}};
    const Language* found = kLanguages;
    while (found->primary != 0 && found->primary != PRIMARYLANGID(id))
        ++found;
    shortCode = found->shortCode;
    longName = found->longName;
}

std::wstring KXZulModel::detectLanguage()
{
    std::wstring shortCode, longName;
    languageFromLangId(GetUserDefaultUILanguage(), shortCode, longName);
    return shortCode;
}

std::wstring KXZulModel::detectLanguageLong()
{
    std::wstring shortCode, longName;
    languageFromLangId(GetUserDefaultUILanguage(), shortCode, longName);
    return longName;
}

void KXZulModel::loadRegionProfileByLocale(const std::wstring& locale, RegionProfile& profile)
{
    struct LocaleRow {
        const wchar_t* locale;
        const wchar_t* region;
    };
    static const LocaleRow kRows[] = {
        {L"zh_CN", L"cn"}, {L"zh_TW", L"tw"}, {L"ko_KR", L"kr"}, {L"ja_JP", L"jp"},
        {L"vi_VN", L"vn"}, {L"th_TH", L"th"}, {L"pt_PT", L"pt"}, {L"in_ID", L"id"},
    };
    const wchar_t* region = L"en";
    for (const LocaleRow& row : kRows) {
        if (locale == row.locale) {
            region = row.region;
            break;
        }
    }
    ::loadRegionProfile(region, profile);
}

void KXZulModel::loadStoredLanguage()
{
    utility::RegKeyEx key;
    if (key.RegRegOpen(HKEY_CURRENT_USER, productKey_, KEY_READ) != ERROR_SUCCESS)
        return;
    std::wstring stored;
    if (key.RegRead(L"Language", stored) != ERROR_SUCCESS)
        return;
    stored = stored.substr(0, stored.find(L'\0'));
    if (stored.empty())
        return;
    common::log("KXZulModel::loadStoredLanguage", __LINE__, L"stored language %s", stored.c_str());
    utility::ScopedLock guard(lock_);
    language_ = stored;
}

void KXZulModel::loadRegionProfile()
{
    RegionProfile profile;
    ::loadRegionProfile(getLanguage(), profile);
    utility::ScopedLock guard(lock_);
    profile_ = profile;
}

void KXZulModel::setLanguage(const std::wstring& locale)
{
    RegionProfile profile;
    loadRegionProfileByLocale(locale, profile);
    {
        utility::ScopedLock guard(lock_);
        profile_ = profile;
        language_ = profile.code;
    }
    common::log("KXZulModel::setLanguage", __LINE__, L"language %s locale %s", profile.code.c_str(), locale.c_str());
    utility::RegKeyEx key;
    if (key.RegCreate(HKEY_CURRENT_USER, productKey_) != ERROR_SUCCESS)
        return;
    key.RegWrite(L"Language", profile.code);
    key.RegWrite(L"LanguageLong", locale);
}

std::wstring KXZulModel::getLanguage() const { return utility::lockedCopy(lock_, language_); }

std::wstring KXZulModel::getLanguageLong() const { return utility::lockedCopy(lock_, languageLong_); }

RegionProfile KXZulModel::getRegionProfile() const { return utility::lockedCopy(lock_, profile_); }

void KXZulModel::loadPathDir()
{
    std::wstring folder;
    utility::RegKeyEx key;
    if (key.RegRegOpen(HKEY_CURRENT_USER, productKey_, KEY_READ) == ERROR_SUCCESS &&
        key.RegRead(L"pathDir", folder) == ERROR_SUCCESS) {
        folder = folder.substr(0, folder.find(L'\0'));
    } else {
        folder.clear();
    }
    if (folder.empty()) {
        folder = appDir() + L"game\\";
        if (!utility::ufile::exists(folder) && !utility::ufile::makeDir(folder))
            common::log("KXZulModel::loadPathDir", __LINE__, L"create game folder %s error %d", folder.c_str(),
                        GetLastError());
    }
    folder = utility::ufile::withSeparator(folder);
    common::log("KXZulModel::loadPathDir", __LINE__, L"game folder %s", folder.c_str());
    utility::ScopedLock guard(lock_);
    pathDir_ = folder;
}

void KXZulModel::savePathDir(const std::wstring& folder)
{
    const std::wstring dir = utility::ufile::withSeparator(folder);
    {
        utility::ScopedLock guard(lock_);
        pathDir_ = dir;
    }
    utility::RegKeyEx key;
    if (key.RegCreate(HKEY_CURRENT_USER, productKey_) != ERROR_SUCCESS)
        return;
    key.RegWrite(L"pathDir", dir);
}

std::wstring KXZulModel::getPathDir() const { return utility::lockedCopy(lock_, pathDir_); }

void KXZulModel::setAutoRun(bool on)
{
    utility::RegKeyEx key;
    if (key.RegRegOpen(HKEY_CURRENT_USER, runKey_, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return;
    if (on) {
        key.RegWrite(product::kName, L"\"" + appDir() + product::kLauncherExe + L"\" autorun");
        return;
    }
    key.RegRemoveValue(product::kName);
}

void KXZulModel::setRestart(bool restart) { utility::lockedStore(lock_, restart_, restart); }

bool KXZulModel::needRestart() const { return utility::lockedCopy(lock_, restart_); }

int KXZulModel::getAppMinVersion() const { return utility::lockedCopy(lock_, appMinVersion_); }

int KXZulModel::getPlayerMinVersion() const { return utility::lockedCopy(lock_, playerMinVersion_); }

std::wstring KXZulModel::getApkUrl() const { return utility::lockedCopy(lock_, apkUrl_); }

std::wstring KXZulModel::getPlayerUrl() const { return utility::lockedCopy(lock_, playerUrl_); }

void KXZulModel::setOnConfigLoaded(const Callback& callback) { notifier_->onConfigLoaded = callback; }

void KXZulModel::setOnBackgroundChanged(const Callback& callback) { notifier_->onBackgroundChanged = callback; }

std::wstring KXZulModel::launchBackgroundPath() const { return appDir() + L"data\\launch_bg.jpg"; }

std::wstring KXZulModel::playerBackgroundPath() const { return appDir() + L"data\\player_bg.jpg"; }

void KXZulModel::postNotification(bool backgroundChanged)
{
    std::weak_ptr<Notifier> weak = notifier_;
    postToUiThread(new FunctionRunable([weak, backgroundChanged] {
        std::shared_ptr<Notifier> notifier = weak.lock();
        if (!notifier)
            return;
        Callback callback = backgroundChanged ? notifier->onBackgroundChanged : notifier->onConfigLoaded;
        if (callback)
            callback();
    }));
}

void KXZulModel::_threadConfig()
{
    const std::string url = configUrl();
    std::string body;
    for (int attempt = 0; attempt < kConfigTries; ++attempt) {
        common::log("KXZulModel::_threadConfig", __LINE__, L"KXCurlDownloader::downloadMemory start");
        CURL* handle = curl_easy_init();
        if (!handle) {
            common::log("KXZulModel::_threadConfig", __LINE__, L"curl init error");
        } else {
            KXCurlDownloader downloader(&worker_);
            if (downloader.downloadMemory(url, handle)) {
                body = downloader.body();
                break;
            }
        }
        if (worker_.isStopRequested())
            return;
        worker_.waitFor(retryPauseMs_);
    }
    if (worker_.isStopRequested())
        return;
    applyConfig(body);
}

void KXZulModel::applyConfig(const std::string& body)
{
    rapidjson::Document document;
    // Iteratively: a remote document nested deep must not exhaust this thread's stack.
    document.Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseIterativeFlag>(body.data(), body.size());
    if (document.HasParseError())
        common::log("KXZulModel::applyConfig", __LINE__, L"parse config error %d at %d",
                    static_cast<int>(document.GetParseError()), static_cast<int>(document.GetErrorOffset()));
    if (document.HasParseError() || !document.IsObject()) {
        common::log("KXZulModel::applyConfig", __LINE__, L"not a object");
        return;
    }

    int number = 0;
    std::string text;
    {
        utility::ScopedLock guard(lock_);
        if (readInt(document, "appminversion", number))
            appMinVersion_ = number;
        if (readString(document, "apkurl", text))
            apkUrl_ = utility::ustring::fromUtf8(text);
        if (readInt(document, "playerminversion", number))
            playerMinVersion_ = number;
        if (readString(document, "playerurl", text))
            playerUrl_ = utility::ustring::fromUtf8(text);
    }
    postNotification(false);

    int remoteVersion = kDefaultRemoteVersion;
    readInt(document, "version", remoteVersion);
    KXZulSetupImpl& store = setupStore();
    const int localVersion = store.configversion();
    common::log("KXZulModel::applyConfig", __LINE__, L"local config version %d current:%d", localVersion,
                remoteVersion);
    if (remoteVersion <= localVersion)
        return;

    int replaced = 0;
    if (readString(document, "launch_bg", text) && !text.empty() && replacePicture(text, launchBackgroundPath()))
        ++replaced;
    if (worker_.isStopRequested())
        return;
    if (readString(document, "player_bg", text) && !text.empty() && replacePicture(text, playerBackgroundPath()))
        ++replaced;
    if (replaced == 0)
        return;

    store.setConfigversion(remoteVersion);
    store.saveConfig();
    postNotification(true);
}

bool KXZulModel::replacePicture(const std::string& url, const std::wstring& target)
{
    const std::wstring folder = utility::ufile::getParentDir(target);
    if (!utility::ufile::exists(folder) && !utility::ufile::makeDir(folder))
        return false;
    // One move replaces the old picture, so a failed download leaves it in place.
    utility::FileDownloadRequest request;
    request.what = L"picture";
    request.url = utility::ustring::fromUtf8(url);
    request.target = target;
    request.maxBytes = utility::urlpolicy::kMaxPictureBytes;
    request.curlTries = 1;
    request.worker = &worker_;
    if (utility::downloadToFile(request) != utility::DownloadResult::kDone)
        return false;
    common::log("KXZulModel::replacePicture", __LINE__, L"picture %s replaced", target.c_str());
    return true;
}
