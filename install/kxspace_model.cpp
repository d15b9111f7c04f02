#include "install/kxspace_model.h"

#include "foundation/log.h"
#include "foundation/product.h"
#include "foundation/scoped_handle.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"
#include "install/drive_choice.h"
#include "launcher/services/reg_key_ex.h"

namespace {
const REGSAM kReadWow64Key = 0x20119;  // KEY_READ | KEY_WOW64_64KEY
// The folder that an install folder ends in, the product's word.
const std::wstring kProductFolder = utility::ufile::withSeparator(product::kName);
const std::wstring kProductFolderInPath = L"\\" + kProductFolder;
}  // namespace

KXSpaceModel::KXSpaceModel() : drives_(&systemDrives_) {}

KXSpaceModel::~KXSpaceModel()
{
    // The job uses every member: end it before any of them goes.
    worker_.join(2000);
    progressCallback_ = nullptr;
}

void KXSpaceModel::setDriveInfoSource(DriveInfoSource* source) { drives_ = source ? source : &systemDrives_; }

void KXSpaceModel::calcInstallPath()
{
    // Read as wide text: a folder name outside the ANSI code page stays whole.
    std::wstring registered;
    {
        utility::RegKeyEx key;
        if (key.RegRegOpen(HKEY_CURRENT_USER, product::kRegistryKey, kReadWow64Key) != ERROR_SUCCESS ||
            key.RegRead(L"InstallDir", registered) != ERROR_SUCCESS)
            registered.clear();
    }

    if (!registered.empty() && !utility::ufile::exists(registered)) {
        common::log("KXSpaceModel::calcInstallPath", __LINE__, L"remote path from regidit %s..but not exist",
                    registered.c_str());
        registered.clear();
    }

    if (!registered.empty()) {
        previousInstallPath_ = utility::ufile::withSeparator(sanitizePath(registered));
        installPath_ = normalizeInstallPath(previousInstallPath_);
        common::log("KXSpaceModel::calcInstallPath", __LINE__, L"remote path from regidit %s",
                    previousInstallPath_.c_str());
        return;
    }

    std::wstring drive = pickBestDrive();
    if (drive.empty()) {
        // No usable drive: stay on the system drive rather than a folder
        // relative to whatever the current directory happens to be.
        drive = drives_->systemDriveRoot();
        common::log("KXSpaceModel::calcInstallPath", __LINE__, L"no usable drive, use system drive %s", drive.c_str());
    }
    installPath_ = drive + kProductFolder;
    common::log("KXSpaceModel::calcInstallPath", __LINE__, L"current path: %s", installPath_.c_str());
    if (!utility::ufile::exists(installPath_) && utility::ufile::makeDir(installPath_))
        createdInstallFolder_ = installPath_;
}

std::wstring KXSpaceModel::sanitizePath(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();

    std::wstring text = path;
    utility::ustring::trim(text);
    for (wchar_t& ch : text) {
        if (ch == L'/')
            ch = L'\\';
    }

    std::list<std::wstring> parts = utility::ustring::split(text, L"\\");
    std::wstring result;
    bool first = true;
    for (std::wstring part : parts) {
        if (first) {
            result = part;
            first = false;
            continue;
        }
        std::wstring kept;
        for (wchar_t ch : part) {
            if (wcschr(L"\"*/:<>?\\|", ch) == nullptr)
                kept += ch;
        }
        if (kept.empty())
            continue;
        result += L"\\";
        result += kept;
    }
    return result;
}

std::wstring KXSpaceModel::normalizeInstallPath(const std::wstring& path)
{
    if (path.empty())
        return std::wstring();

    std::wstring p = utility::ufile::withSeparator(sanitizePath(path));
    size_t at = p.rfind(kProductFolderInPath);
    if (at != std::wstring::npos) {
        pathIsProductFolder_ = 1;
        return p.substr(0, at) + kProductFolderInPath;
    }
    pathIsProductFolder_ = 0;
    return p + kProductFolder;
}

bool KXSpaceModel::holdsOtherFiles(const std::wstring& folder)
{
    const std::wstring dir = utility::ufile::withSeparator(folder);
    if (dir.empty() || utility::ufile::exists(dir + product::kLauncherExe))
        return false;
    WIN32_FIND_DATAW entry;
    utility::ScopedFind find(FindFirstFileW((dir + L"*").c_str(), &entry));
    if (!find.valid())
        return false;
    do {
        if (wcscmp(entry.cFileName, L".") != 0 && wcscmp(entry.cFileName, L"..") != 0)
            return true;
    } while (FindNextFileW(find.get(), &entry));
    return false;
}

std::vector<std::wstring> KXSpaceModel::listFixedDrives() { return drivechoice::listFixedDrives(*drives_); }

bool KXSpaceModel::isHotplugDrive(const std::wstring& root) { return drives_->isHotplug(root); }

bool KXSpaceModel::isSsdDrive(const std::wstring& name) { return drives_->isSsd(name); }

double KXSpaceModel::scoreDrive(const std::wstring& root) { return drivechoice::scoreDrive(*drives_, root); }

std::wstring KXSpaceModel::pickBestDrive() { return drivechoice::pickBestDrive(*drives_); }

bool KXSpaceModel::startInstallJob()
{
    Runable* job = new MemberFuncRunable<KXSpaceModel>(this, &KXSpaceModel::_threadInstallPlayerNew);
    if (!worker_.start(job)) {
        common::log("KXSpaceModel::startInstallJob", __LINE__, L"install job already started");
        job->release();
        return false;
    }
    return true;
}

void KXSpaceModel::notifyProgress(int percent, const std::wstring& text)
{
    if (progressCallback_)
        progressCallback_(percent, text);
}

void KXSpaceModel::postProgress(int percent, const std::wstring& text)
{
    poster_.post(new FunctionRunable([this, percent, text] { notifyProgress(percent, text); }));
}
