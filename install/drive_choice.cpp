#include "install/drive_choice.h"

#include "foundation/log.h"
#include "foundation/ustring.h"

namespace drivechoice {

namespace {
const double kSsdBoost = 1000.0;
const long long kSsdMinMegabytes = 24576;
}  // namespace

std::vector<std::wstring> listFixedDrives(DriveInfoSource& drives)
{
    std::vector<std::wstring> fixed;
    for (const std::wstring& root : drives.logicalDrives()) {
        if (drives.driveType(root) != DRIVE_FIXED)
            continue;
        if (drives.isHotplug(root)) {
            common::log("KXSpaceModel::listFixedDrives", __LINE__, L"skip hotplug drive %s", root.c_str());
            continue;
        }
        fixed.push_back(root);
    }
    return fixed;
}

double scoreDrive(DriveInfoSource& drives, const std::wstring& root)
{
    ULONGLONG freeBytes = 0;
    if (!drives.freeBytes(root.substr(0, 3), freeBytes))
        return 0.0;

    std::wstring fileSystem;
    if (drives.fileSystemName(root, fileSystem) && fileSystem != L"FAT32" && fileSystem != L"NTFS")
        return 0.0;

    double megabytes = static_cast<double>(freeBytes) / 1048576.0;
    if (drives.isSsd(root.substr(0, 2)) && static_cast<long long>(megabytes) > kSsdMinMegabytes)
        return megabytes * kSsdBoost;
    return megabytes;
}

std::wstring pickBestDrive(DriveInfoSource& drives)
{
    double best = 0.0;
    std::wstring result;
    for (const std::wstring& root : listFixedDrives(drives)) {
        double score = scoreDrive(drives, root);
        common::log("KXSpaceModel::pickBestDrive", __LINE__, L"drive %s score %d", root.c_str(),
                    static_cast<int>(score > 2e9 ? 2e9 : score));
        if (score > best) {
            best = score;
            result = root;
        }
    }
    return result;
}

namespace {

// "/" to "\", runs of "\" collapsed, no "\" at either end, blanks trimmed.
std::wstring normalizeUserPath(const std::wstring& path)
{
    std::wstring out;
    for (wchar_t ch : path) {
        if (ch == L'/')
            ch = L'\\';
        if (ch == L'\\' && !out.empty() && out.back() == L'\\')
            continue;
        out += ch;
    }
    while (!out.empty() && out.front() == L'\\')
        out.erase(0, 1);
    while (!out.empty() && out.back() == L'\\')
        out.pop_back();
    utility::ustring::trim(out);
    return out;
}

}  // namespace

bool checkFreeSpace(DriveInfoSource& drives, const std::wstring& path)
{
    std::wstring folder = normalizeUserPath(path);
    if (folder.size() < 3)
        return false;

    ULONGLONG freeBytes = 0;
    if (!drives.freeBytes(folder.substr(0, 3), freeBytes) || freeBytes == 0)
        return false;

    std::wstring rest = folder.substr(3);
    std::wstring trimmed = rest;
    utility::ustring::trim(trimmed);
    if (trimmed.find_first_of(L"/:*?\"<>|") != std::wstring::npos)
        return false;

    size_t start = 0;
    for (size_t slash = rest.find(L'\\'); slash != std::wstring::npos; slash = rest.find(L'\\', start)) {
        std::wstring piece = rest.substr(start, slash - start);
        utility::ustring::trim(piece);
        if (piece.empty())
            return false;
        start = slash + 1;
    }
    return true;
}

}  // namespace drivechoice
