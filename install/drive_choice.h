// Choosing the drive for a new installation and checking a folder the user
// gave. Plain functions over a DriveInfoSource.
#pragma once

#include <string>
#include <vector>

#include "install/drive_info.h"

namespace drivechoice {

// Fixed drives that are not hot-plug, in the system's order.
std::vector<std::wstring> listFixedDrives(DriveInfoSource& drives);

// Free megabytes of the drive, times 1000 for an SSD with more than
// 24576 MB free; 0 when the drive is unusable (no free-space answer, or a
// file system other than FAT32 and NTFS).
double scoreDrive(DriveInfoSource& drives, const std::wstring& root);

// The fixed drive with the highest score (the earlier one on a tie), or an
// empty string when none scores above 0.
std::wstring pickBestDrive(DriveInfoSource& drives);

// Whether a folder typed or browsed by the user can take the installation:
// a drive with free space and a path whose pieces are valid names.
bool checkFreeSpace(DriveInfoSource& drives, const std::wstring& path);

}  // namespace drivechoice
