#include "install/drive_info.h"

#include "foundation/log.h"
#include "foundation/scoped_handle.h"
#include "foundation/ufile.h"

namespace {

const DWORD kIoctlStorageGetHotplugInfo = 0x2D0C14;
const DWORD kIoctlStorageQueryProperty = 0x2D1400;
const DWORD kStorageDeviceTrimProperty = 8;
const DWORD kPropertyStandardQuery = 0;

// The 8-byte answer of the hot-plug query.
struct HotplugInfo {
    DWORD size;
    BYTE mediaRemovable;
    BYTE mediaHotplug;
    BYTE deviceHotplug;
    BYTE writeCacheEnableOverride;
};

struct PropertyQuery {
    DWORD propertyId;
    DWORD queryType;
    BYTE additionalParameters[1];
};

// The 12-byte answer of the TRIM property query.
struct TrimDescriptor {
    DWORD version;
    DWORD size;
    BYTE trimEnabled;
};

// Opens \\.\X: for a drive letter.
HANDLE openVolumeDevice(wchar_t letter)
{
    std::wstring device = L"\\\\.\\";
    device += letter;
    device += L':';
    return CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

enum VolumeQuery { kNoVolume, kQueryFailed, kAnswered };

// One storage query on the volume of a drive ("C:" or "C:\\"); kNoVolume when
// the volume cannot be opened.
VolumeQuery queryVolume(const std::wstring& drive, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize)
{
    if (drive.empty())
        return kNoVolume;
    utility::ScopedHandle device(openVolumeDevice(drive[0]));
    if (!device.valid())
        return kNoVolume;
    DWORD returned = 0;
    return DeviceIoControl(device.get(), code, in, inSize, out, outSize, &returned, nullptr) ? kAnswered : kQueryFailed;
}

}  // namespace

std::vector<std::wstring> SystemDriveInfo::logicalDrives()
{
    std::vector<std::wstring> roots;
    DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    std::vector<wchar_t> buffer(needed + 1, L'\0');
    DWORD length = needed == 0 ? 0 : GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0 || length > buffer.size()) {
        common::log("SystemDriveInfo::logicalDrives", __LINE__, L"GetLogicalDriveStrings failed lastError = %d",
                    GetLastError());
        return roots;
    }
    for (const wchar_t* root = buffer.data(); *root; root += wcslen(root) + 1)
        roots.push_back(root);
    return roots;
}

UINT SystemDriveInfo::driveType(const std::wstring& root) { return GetDriveTypeW(root.c_str()); }

bool SystemDriveInfo::isHotplug(const std::wstring& root)
{
    HotplugInfo info = {};
    switch (queryVolume(root, kIoctlStorageGetHotplugInfo, nullptr, 0, &info, sizeof(info))) {
    case kNoVolume:
        return false;
    case kQueryFailed:
        common::log("SystemDriveInfo::isHotplug", __LINE__, L"hotplug query of %s failed lastError = %d", root.c_str(),
                    GetLastError());
        return true;
    default:
        return info.mediaRemovable != 0 || info.deviceHotplug != 0;
    }
}

bool SystemDriveInfo::isSsd(const std::wstring& name)
{
    PropertyQuery query = {};
    query.propertyId = kStorageDeviceTrimProperty;
    query.queryType = kPropertyStandardQuery;
    TrimDescriptor trim = {};
    switch (queryVolume(name, kIoctlStorageQueryProperty, &query, sizeof(query), &trim, sizeof(trim))) {
    case kNoVolume:
        return false;
    case kQueryFailed:
        common::log("SystemDriveInfo::isSsd", __LINE__, L"trim query of %s failed lastError = %d", name.c_str(),
                    GetLastError());
        return false;
    default:
        return trim.trimEnabled == 1;
    }
}

bool SystemDriveInfo::freeBytes(const std::wstring& root, ULONGLONG& bytes)
{
    ULARGE_INTEGER available = {};
    bytes = 0;
    if (GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr) != 1)
        return false;
    bytes = available.QuadPart;
    return true;
}

bool SystemDriveInfo::fileSystemName(const std::wstring& root, std::wstring& name)
{
    wchar_t buffer[1024] = {0};
    name.clear();
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, nullptr, buffer,
                               static_cast<DWORD>(sizeof(buffer) / sizeof(buffer[0]))))
        return false;
    name = buffer;
    return true;
}

std::wstring SystemDriveInfo::systemDriveRoot()
{
    wchar_t windowsDir[MAX_PATH] = {0};
    UINT length = GetSystemWindowsDirectoryW(windowsDir, MAX_PATH);
    if (length >= 3 && length < MAX_PATH && windowsDir[1] == L':')
        return utility::ufile::withSeparator(std::wstring(windowsDir, 2));
    common::log("SystemDriveInfo::systemDriveRoot", __LINE__, L"GetSystemWindowsDirectory failed lastError = %d",
                GetLastError());
    return L"C:\\";
}
