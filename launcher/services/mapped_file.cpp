#include "launcher/services/mapped_file.h"

#include "foundation/log.h"

namespace utility {

bool MappedFile::open(const std::wstring& path)
{
    close();
    file_.reset(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    if (!file_.valid()) {
        common::log("utility::MappedFile::open", __LINE__, L"open [ %s ] error = %d", path.c_str(), GetLastError());
        return false;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size)) {
        common::log("utility::MappedFile::open", __LINE__, L"size of [ %s ] error = %d", path.c_str(), GetLastError());
        close();
        return false;
    }
    // The size is kept in 32 bits: a larger file is refused, not cut short.
    if (size.HighPart != 0) {
        common::log("utility::MappedFile::open", __LINE__, L"[ %s ] is 4 GB or larger", path.c_str());
        close();
        return false;
    }
    size_ = size.LowPart;
    if (size_ == 0)
        return true;  // nothing to map; open with no data
    mapping_.reset(CreateFileMappingW(file_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_.valid()) {
        common::log("utility::MappedFile::open", __LINE__, L"CreateFileMapping [ %s ] error = %d", path.c_str(),
                    GetLastError());
        close();
        return false;
    }
    view_.reset(MapViewOfFile(mapping_.get(), FILE_MAP_READ, 0, 0, 0));
    if (!view_.valid()) {
        common::log("utility::MappedFile::open", __LINE__, L"MapViewOfFile [ %s ] error = %d", path.c_str(),
                    GetLastError());
        close();
        return false;
    }
    return true;
}

void MappedFile::close()
{
    view_.reset();
    mapping_.reset();
    file_.reset();
    size_ = 0;
}

}  // namespace utility
