// The install job: stop a running launcher, unpack the payload from the
// program's own resources, register the installation and report progress.
#include "install/kxspace_model.h"

#include <aclapi.h>
#include <objbase.h>
#include <sddl.h>

#include "foundation/com_init.h"
#include "foundation/log.h"
#include "foundation/module_resource.h"
#include "foundation/process.h"
#include "foundation/product.h"
#include "foundation/scoped_handle.h"
#include "foundation/ufile.h"
#include "foundation/ustring.h"

namespace {

const int kPayloadResourceId = 130;
const wchar_t kPayloadResourceType[] = L"zip";
const int kMaxExtractRetries = 2;
const DWORD kTaskkillTimeoutMs = 2000;

// The last element of an archive item name ("sub\a.exe" gives "a.exe").
std::wstring fileNamePart(const std::wstring& itemName)
{
    size_t at = itemName.find_last_of(L"\\/");
    return at == std::wstring::npos ? itemName : itemName.substr(at + 1);
}

// An item name that stays inside the install folder and names something in it.
bool isSafeItemName(const std::wstring& itemName)
{
    if (itemName.empty() || itemName[0] == L'\\' || itemName[0] == L'/')
        return false;
    if (itemName.find(L':') != std::wstring::npos)
        return false;
    std::wstring normalized = itemName;
    for (wchar_t& ch : normalized) {
        if (ch == L'/')
            ch = L'\\';
    }
    for (const std::wstring& part : utility::ustring::split(normalized, L"\\")) {
        if (part.empty() || part == L"." || part == L"..")
            return false;
    }
    return true;
}

}  // namespace

bool moveAsideFailedItem(const std::wstring& folder, const std::wstring& itemName)
{
    if (folder.empty() || !isSafeItemName(itemName)) {
        common::log("KXSpaceModel::onResult", __LINE__, L"no file to move aside for [%s]", itemName.c_str());
        return false;
    }
    const std::wstring path = utility::ufile::joinPath(folder, itemName);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    if (utility::ufile::removeFile(path))
        return true;
    std::wstring aside = path + L".tmp";
    if (!MoveFileW(path.c_str(), aside.c_str())) {
        common::log("KXSpaceModel::onResult", __LINE__, L"move %s failed lastError = %d", path.c_str(), GetLastError());
        return false;
    }
    return true;
}

void killProgressByHandle(const std::wstring& name)
{
    const std::wstring wanted = utility::ustring::toLowerCopy(name);
    std::list<utility::process::ProcessEntry> processes;
    utility::process::enumProcess(processes);
    bool first = true;
    for (const auto& entry : processes) {
        if (first) {  // the system idle process
            first = false;
            continue;
        }
        if (utility::ustring::toLowerCopy(entry.exeName) != wanted)
            continue;
        utility::ScopedHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.id));
        if (!process.valid()) {
            common::log("killProgressByHandle", __LINE__, L"open progress error %s , %d", name.c_str(), GetLastError());
            continue;
        }
        TerminateProcess(process.get(), 0);
    }
}

PSECURITY_DESCRIPTOR programFilesSecurity()
{
    // Protected (P): the parent's entries no longer apply. Each entry passes
    // to files (OI) and folders (CI) inside. FA is full control; 0x1200a9 is
    // read and execute.
    const wchar_t kProgramFilesDacl[] = L"D:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kProgramFilesDacl, SDDL_REVISION_1, &descriptor,
                                                              nullptr)) {
        common::log("programFilesSecurity", __LINE__, L"no security descriptor lastError = %d", GetLastError());
        return nullptr;
    }
    return descriptor;
}

bool protectInstallFolder(const std::wstring& folder)
{
    utility::ScopedLocalMemory descriptor(programFilesSecurity());
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!descriptor.valid() || !GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted) || !present) {
        common::log("protectInstallFolder", __LINE__, L"no access list for %s lastError = %d", folder.c_str(),
                    GetLastError());
        return false;
    }
    DWORD result = SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                         DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                         nullptr, dacl, nullptr);
    if (result != ERROR_SUCCESS) {
        common::log("protectInstallFolder", __LINE__, L"%s not protected lastError = %d", folder.c_str(),
                    static_cast<int>(result));
        return false;
    }
    common::log("protectInstallFolder", __LINE__, L"%s protected", folder.c_str());
    return true;
}

void KXSpaceModel::prepareInstallFolder()
{
    if (!utility::ufile::exists(installFolder_)) {
        // A failure here shows as the extraction's.
        if (!utility::ufile::makeDir(installFolder_))
            return;
        createdInstallFolder_ = installFolder_;
    }
    // Only a folder this run made: one the user chose that was there already
    // may hold other things, whose permissions are not ours to change.
    if (!createdInstallFolder_.empty() && _wcsicmp(createdInstallFolder_.c_str(), installFolder_.c_str()) == 0)
        protectInstallFolder(installFolder_);
}

void KXSpaceModel::killProgressIfExist()
{
    common::log("KXSpaceModel::killProgressIfExist", __LINE__, L"kill progress");
    utility::process::executeSystemTool(L"taskkill.exe", std::wstring(L"/F /IM ") + product::kLauncherExe, false,
                                        kTaskkillTimeoutMs);
    if (utility::process::isRunning(product::kLauncherExe)) {
        common::log("KXSpaceModel::killProgressIfExist", __LINE__, L"kill progress by handle %s",
                    product::kLauncherExe);
        killProgressByHandle(product::kLauncherExe);
    }
}

void KXSpaceModel::fail(int code, const wchar_t* key)
{
    errorCode_ = code;
    errorKey_ = key;
}

void KXSpaceModel::_threadInstallPlayerNew()
{
    installFolder_ = installPath_;
    errorCode_ = kInstallOk;
    errorKey_.clear();

    utility::ResourceBytes payload;
    switch (utility::findResource(nullptr, MAKEINTRESOURCEW(kPayloadResourceId), kPayloadResourceType, payload)) {
    case utility::kResourceFound:
        break;
    case utility::kResourceNotFound:
        common::log("KXSpaceModel::_threadInstallPlayerNew", __LINE__, L"FindResource error %d", GetLastError());
        fail(kInstallResourceNotFound, L"install_failed_damaged");
        break;
    case utility::kResourceNotLoaded:
        common::log("KXSpaceModel::_threadInstallPlayerNew", __LINE__, L"LoadResource error %d", GetLastError());
        fail(kInstallResourceNotLoaded, L"install_failed_load");
        break;
    case utility::kResourceNotLocked:
        common::log("KXSpaceModel::_threadInstallPlayerNew", __LINE__, L"Can not lock resource id = %d, err=%d",
                    kPayloadResourceId, GetLastError());
        fail(kInstallResourceNotLocked, L"install_failed_lock");
        break;
    }

    if (errorCode_ == kInstallOk) {
        killProgressIfExist();
        prepareInstallFolder();

        SzResultCode result = SzExtractToDir(payload.data, payload.size, installFolder_, this);
        for (int retries = 0; result != kSzOk && retries < kMaxExtractRetries; ++retries) {
            retrying_ = 1;
            common::log("KXSpaceModel::_threadInstallPlayerNew", __LINE__, L"try  zip");
            result = SzExtractToDir(payload.data, payload.size, installFolder_, this);
        }

        if (result == kSzOk) {
            postProgress(80, std::wstring());
            pathToReg();
            autorun();
            registerWindowDefinder();
            utility::ScopedComInit com;
            createShortcuts(installFolder_, product::kName, product::kLinkName, product::kUninstallLinkName);
            postProgress(90, std::wstring());
        } else {
            common::log("KXSpaceModel::_threadInstallPlayerNew", __LINE__, L"extract files error %d", result);
            fail(kInstallExtractFailed, L"install_failed_unpack");
        }
    }

    if (errorCode_ >= kInstallResourceNotFound && errorCode_ <= kInstallExtractFailed)
        postProgress(-1, errorKey_);
    else
        postProgress(100, std::wstring());
}

bool KXSpaceModel::shouldContinue() { return true; }

void KXSpaceModel::onProcessing(const wchar_t* itemName, uint64_t itemIndex, uint64_t itemCount, uint64_t bytesDone,
                                uint64_t bytesTotal)
{
    const wchar_t* name = itemName ? itemName : L"";
    if (lastItemName_ != name) {
        common::log("KXSpaceModel::onProcessing", __LINE__, L"unzip %s", name);
        lastItemName_ = name;
    }
    if (retrying_)
        return;
    if (bytesTotal == 0)
        return;
    // Multiply first for exact percentages; divide first only where the
    // product would not fit in 64 bits (bytesTotal is then above 2^57).
    uint64_t percent = 80;
    if (bytesDone < bytesTotal) {
        percent = bytesDone <= UINT64_MAX / 80 ? bytesDone * 80 / bytesTotal : bytesDone / (bytesTotal / 80);
    }
    if (percent != lastPostedPercent_) {
        lastPostedPercent_ = percent;
        postProgress(static_cast<int>(percent), std::wstring());
    }
}

void KXSpaceModel::onResult(int32_t code, const wchar_t* itemName)
{
    const std::wstring name = itemName ? itemName : L"";
    common::log("KXSpaceModel::onResult", __LINE__, L"onResult %s, %d", name.c_str(), code);
    if (code == kSzOk) {
        postProgress(80, std::wstring());
        return;
    }

    size_t exeAt = utility::ustring::toLowerCopy(name).find(L".exe");
    std::wstring exeName = fileNamePart(name);
    if (exeAt != std::wstring::npos && exeAt > 0 && !exeName.empty()) {
        common::log("KXSpaceModel::onResult", __LINE__, L"try taskkill %s", exeName.c_str());
        std::wstring image = exeName.find(L' ') == std::wstring::npos ? exeName : L"\"" + exeName + L"\"";
        utility::process::executeSystemTool(L"taskkill.exe", L"/F /IM " + image, false, kTaskkillTimeoutMs);
    }

    // Move the item that blocked this attempt out of the way, so that the
    // next attempt writes a fresh copy.
    moveAsideFailedItem(installFolder_, name);
}
