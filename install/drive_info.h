// The platform queries behind the install folder choice: drive list, drive
// type, hot-plug and TRIM device queries, free space and file system. The
// scoring only talks to this interface, so it can be fed made-up drives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class DriveInfoSource {
public:
    virtual ~DriveInfoSource() {}
    // Drive roots such as C:\ in the order the system gives them.
    virtual std::vector<std::wstring> logicalDrives() = 0;
    // One of the DRIVE_* values of GetDriveTypeW.
    virtual UINT driveType(const std::wstring& root) = 0;
    // Root such as C:\. True when the storage reports removable media or a
    // hot-plug device, or cannot answer the query once opened.
    virtual bool isHotplug(const std::wstring& root) = 0;
    // Name such as C:. True when the device reports TRIM enabled.
    virtual bool isSsd(const std::wstring& name) = 0;
    // Bytes free for the caller on the volume of root; false when the query fails.
    virtual bool freeBytes(const std::wstring& root, ULONGLONG& bytes) = 0;
    // File-system name of the volume (for example NTFS); false when unreadable.
    virtual bool fileSystemName(const std::wstring& root, std::wstring& name) = 0;
    // Root of the drive that holds Windows, such as C:\.
    virtual std::wstring systemDriveRoot() = 0;
};

// The real drives of this machine.
class SystemDriveInfo : public DriveInfoSource {
public:
    std::vector<std::wstring> logicalDrives() override;
    UINT driveType(const std::wstring& root) override;
    bool isHotplug(const std::wstring& root) override;
    bool isSsd(const std::wstring& name) override;
    bool freeBytes(const std::wstring& root, ULONGLONG& bytes) override;
    bool fileSystemName(const std::wstring& root, std::wstring& name) override;
    std::wstring systemDriveRoot() override;
};
