// Made-up drives for the folder-choice tests.
#pragma once

#include <string>
#include <vector>

#include "install/drive_info.h"

struct FakeDrive {
    std::wstring root;              // "D:\"
    UINT type = DRIVE_FIXED;
    bool hotplug = false;
    bool ssd = false;
    bool freeOk = true;
    double freeMegabytes = 0;
    bool fileSystemOk = true;
    std::wstring fileSystem = L"NTFS";
};

inline FakeDrive fixedDrive(const std::wstring& root, double freeMegabytes, bool ssd = false)
{
    FakeDrive drive;
    drive.root = root;
    drive.freeMegabytes = freeMegabytes;
    drive.ssd = ssd;
    return drive;
}

class FakeDriveInfo : public DriveInfoSource {
public:
    std::vector<FakeDrive> drives;
    std::wstring systemRoot = L"C:\\";
    std::vector<std::wstring> ssdQueries;  // names passed to isSsd
    std::vector<std::wstring> freeQueries; // roots passed to freeBytes

    std::vector<std::wstring> logicalDrives() override
    {
        std::vector<std::wstring> roots;
        for (const FakeDrive& drive : drives)
            roots.push_back(drive.root);
        return roots;
    }
    UINT driveType(const std::wstring& root) override
    {
        const FakeDrive* drive = find(root);
        return drive ? drive->type : DRIVE_NO_ROOT_DIR;
    }
    bool isHotplug(const std::wstring& root) override
    {
        const FakeDrive* drive = find(root);
        return drive && drive->hotplug;
    }
    bool isSsd(const std::wstring& name) override
    {
        ssdQueries.push_back(name);
        const FakeDrive* drive = find(name + L"\\");
        return drive && drive->ssd;
    }
    bool freeBytes(const std::wstring& root, ULONGLONG& bytes) override
    {
        freeQueries.push_back(root);
        bytes = 0;
        const FakeDrive* drive = find(root);
        if (!drive || !drive->freeOk)
            return false;
        bytes = static_cast<ULONGLONG>(drive->freeMegabytes * 1048576.0);
        return true;
    }
    bool fileSystemName(const std::wstring& root, std::wstring& name) override
    {
        const FakeDrive* drive = find(root);
        if (!drive || !drive->fileSystemOk)
            return false;
        name = drive->fileSystem;
        return true;
    }
    std::wstring systemDriveRoot() override { return systemRoot; }

private:
    const FakeDrive* find(const std::wstring& root) const
    {
        for (const FakeDrive& drive : drives) {
            if (_wcsicmp(drive.root.c_str(), root.c_str()) == 0)
                return &drive;
        }
        return nullptr;
    }
};
